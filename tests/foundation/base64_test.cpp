#include "foundation/prefs/base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Encode(const std::string& data) {
    std::string out(static_cast<size_t>(Base64EncodedSize(static_cast<int>(data.size()))), '?');
    int written = Base64Encode(out.data(), reinterpret_cast<const uint8_t*>(data.data()),
                               static_cast<int>(data.size()));
    EXPECT_EQ(written, static_cast<int>(out.size()));
    return out;
}

std::string Decode(const std::string& text) {
    std::vector<uint8_t> out(static_cast<size_t>(Base64DecodedSize(static_cast<int>(text.size()))));
    int count = Base64Decode(out.data(), text.data(), static_cast<int>(text.size()));
    EXPECT_LE(count, static_cast<int>(out.size()));
    return std::string(out.begin(), out.begin() + count);
}

TEST(Base64Test, StandardVectors) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"\xff\xfe\xfd", "//79"},
    };
    for (const auto& [data, text] : cases) {
        EXPECT_EQ(Encode(data), text);
        EXPECT_EQ(Decode(text), data) << text;
    }
}

TEST(Base64Test, Sizes) {
    const int cases[][3] = {{0, 0, 0}, {1, 4, 3}, {2, 4, 3},  {3, 4, 3},
                            {4, 8, 3}, {5, 8, 6}, {9, 12, 9}, {12, 16, 9}};
    for (const auto& c : cases) {
        EXPECT_EQ(Base64EncodedSize(c[0]), c[1]) << c[0];
        EXPECT_EQ(Base64DecodedSize(c[0]), c[2]) << c[0];
    }
}

TEST(Base64Test, LenientDecoding) {
    EXPECT_EQ(Decode("Zm9"), "fo");  // read as "Zm9="
    EXPECT_EQ(Decode("Zg"), "f");    // read as "Zg=="
    EXPECT_EQ(Decode("Zm9vYg"), "foob");
    // Characters outside the alphabet count as A (0).
    EXPECT_EQ(Decode("Z!=="), Decode("ZA=="));
    EXPECT_EQ(Decode("\x80\xff\n "), Decode("AAAA"));
    EXPECT_EQ(Decode("AAAA"), std::string(3, '\0'));
}

TEST(Base64Test, PadInsideTheTextKeepsEachGroupInItsPlace) {
    // "=" reads as 64 in every position; each group gives its three bytes at 3 * group, and the
    // count drops by one or two for a group that ends in pads.
    EXPECT_EQ(Decode("Zg==Zm9v"), std::string("f\x10@f"));
    EXPECT_EQ(Decode("Zm8=Zm9v"), std::string("fo@fo"));
    // A third-place pad without a fourth lowers nothing.
    EXPECT_EQ(Decode("Zg=v").size(), 3u);
}

TEST(Base64Test, EveryByteRoundTrips) {
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    for (size_t n = 0; n <= all.size(); n += 37)
        EXPECT_EQ(Decode(Encode(all.substr(0, n))), all.substr(0, n));
}

}  // namespace
