#include "foundation/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

TEST(Utf8Test, SequenceLength) {
    const struct {
        unsigned char lead;
        int length;
    } cases[] = {{0x00, 0}, {0x41, 1}, {0x7F, 1}, {0x80, 1}, {0xBF, 1}, {0xC0, 2},
                 {0xDF, 2}, {0xE0, 3}, {0xEF, 3}, {0xF0, 4}, {0xFF, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(Utf8SequenceLength(c.lead), c.length) << int(c.lead);
}

TEST(Utf8Test, EncodeTable) {
    const struct {
        uint32_t codePoint;
        const char* bytes;
    } cases[] = {
        {0x41, "\x41"},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0xE9, "\xC3\xA9"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0x20AC, "\xE2\x82\xAC"},
        {0xD800, "\xED\xA0\x80"},  // surrogates are encoded like any other value
        {0xFFFD, "\xEF\xBF\xBD"},
        {0xFEFF, ""},
        {0xFFFE, ""},
        {0xFFFF, ""},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x1F600, "\xF0\x9F\x98\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {0x110000, ""},
    };
    for (const auto& c : cases) {
        char out[4] = {};
        int count = Utf8Encode(c.codePoint, out);
        EXPECT_EQ(std::string(out, count), std::string(c.bytes)) << std::hex << c.codePoint;
    }
}

TEST(Utf8Test, DecodeTable) {
    const struct {
        const char* bytes;
        uint32_t codePoint;
    } cases[] = {
        {"", 0},
        {"A", 0x41},
        {"\xE2\x82\xAC", 0x20AC},
        {"\xC3\xA9", 0xE9},
        {"\xF0\x9F\x98\x80", 0x1F600},
        {"\xC3\x41", 0},           // second byte without its top bit
        {"\x80", 0},               // stray continuation byte
        {"\xE2\x82", 0},           // cut short by the terminator
        {"\xC0\x80", 0},           // overlong NUL passes through to 0
        {"\xC1\xBF", 0x7F},        // overlong forms pass
        {"\xED\xA0\x80", 0xD800},  // surrogates pass
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8Decode(c.bytes), c.codePoint) << c.bytes;
}

TEST(Utf8Test, RoundTripOfEveryEncodableCodePoint) {
    for (uint32_t c = 1; c < 0x110000; c += (c < 0x10000 ? 1 : 97)) {
        char out[5] = {};
        int count = Utf8Encode(c, out);
        if (count == 0) continue;
        EXPECT_EQ(Utf8SequenceLength(static_cast<unsigned char>(out[0])), count);
        ASSERT_EQ(Utf8Decode(out), c);
    }
}

TEST(Utf8Test, TextWalks) {
    using namespace std::string_view_literals;
    // "\xC3\xA9" is a two-byte character, "\xF0\x9F\x98\x80" a four-byte one.
    const struct {
        std::string_view text;
        bool singleByte;
        size_t count;
        size_t prevAtEnd;
        size_t offsetOf2;
    } cases[] = {
        {""sv, true, 0, 0, 0},
        {"abc"sv, true, 3, 1, 2},
        {"a\xC3"sv, false, 2, 1, 2},  // a lead byte at the end
        {"\xC3\xA9x\xC3\xA9"sv, false, 3, 2, 3},
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80"sv, false, 2, 4, 8},
        {"\xF0\x9F"sv, false, 1, 2, 2},  // a sequence cut by the end
        {"\x80z"sv, true, 2, 1, 2},      // a stray continuation byte
        {"\xBF\x80"sv, true, 2, 1, 2},
        {"a\0b"sv, false, 3, 1, 2},  // a NUL is no single-byte text
    };
    for (const auto& c : cases) {
        std::string shown(c.text);
        EXPECT_EQ(IsSingleByteText(c.text), c.singleByte) << shown;
        EXPECT_EQ(Utf8CharCount(c.text), c.count) << shown;
        EXPECT_EQ(Utf8PrevCharLength(c.text, c.text.size()), c.prevAtEnd) << shown;
        EXPECT_EQ(Utf8CharOffset(c.text, 2), c.offsetOf2) << shown;
        EXPECT_EQ(Utf8PrevCharLength(c.text, 0), 0u) << shown;
    }
    // Inside a text, and past its end (clamped).
    EXPECT_EQ(Utf8PrevCharLength("\xC3\xA9x"sv, 2), 2u);
    EXPECT_EQ(Utf8PrevCharLength("\xC3\xA9x"sv, 1), 1u);
    EXPECT_EQ(Utf8PrevCharLength("ab"sv, 9), 1u);
}

}  // namespace
