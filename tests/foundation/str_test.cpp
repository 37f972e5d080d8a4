#include "foundation/str.h"

#include <gtest/gtest.h>

#include "support/printers.h"

#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(StrTest, EmptyForms) {
    str none;
    EXPECT_EQ(none.Length(), 0u);
    EXPECT_STREQ(none.c_str(), "");
    EXPECT_EQ(none, str(""));
    EXPECT_EQ(none.Capacity(), 0);
    EXPECT_EQ(none.GetAt(0), '\0');
    EXPECT_EQ(none.ToInt(), 0);
    EXPECT_EQ(none.ToFloat(), 0.0f);

    str fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(fromNull.Length(), 0u);
    EXPECT_EQ(fromNull.Capacity(), 16);
}

TEST(StrTest, CapacityRules) {
    EXPECT_EQ(str("abc").Capacity(), 4);
    EXPECT_EQ(str("").Capacity(), 1);
    EXPECT_EQ(str("abcdefgh", 3).Capacity(), 16);
    EXPECT_EQ(str("abcdefgh", 3), str("abc"));
    std::string twenty(20, 'x');
    EXPECT_EQ(str(twenty.c_str(), 20).Capacity(), 21);
    EXPECT_EQ((str("ab") + str("cd")).Capacity(), 16);
    EXPECT_EQ((str(twenty.c_str()) + str("cd")).Capacity(), 23);
    EXPECT_EQ((str("ab") + 'c').Capacity(), 16);

    str grown("abc");
    grown += str("defghijklmnopqrstu");  // 21 bytes with the terminator: exact growth
    EXPECT_EQ(grown.Capacity(), 22);
    grown.Reserve(4);  // never below 16, text kept
    EXPECT_EQ(grown.Capacity(), 16);
    EXPECT_EQ(grown, str("abcdefghijklmno"));
}

TEST(StrTest, BufferWithEmbeddedNulEndsAtIt) {
    str s("ab\0cd", 5);
    EXPECT_EQ(s.Length(), 2u);
    EXPECT_EQ(s.Capacity(), 16);
}

TEST(StrTest, CopiesShareUntilWritten) {
    str a("hello");
    str b = a;
    EXPECT_EQ(a.UseCount(), 2);
    EXPECT_EQ(a.c_str(), b.c_str());

    b += str(" world");
    EXPECT_EQ(a, str("hello"));
    EXPECT_EQ(b, str("hello world"));
    EXPECT_EQ(a.UseCount(), 1);

    str c = a, d = a, e = a, f = a, g = a;
    c.ToLower();
    d.WriteAt(0, "J", 1, false);
    e.Erase(1);
    f.Replace("l", "L", str::kAllOccurrences);
    g += 'x';
    EXPECT_EQ(a, str("hello"));
    EXPECT_EQ(d, str("Jello"));
    EXPECT_EQ(e, str("h"));
    EXPECT_EQ(f, str("heLLo"));
    EXPECT_EQ(g, str("hellox"));
}

// An in-place edit takes a private copy (capacity length + 1) before it looks at its arguments,
// so even an edit that changes nothing leaves the other holders alone.
TEST(StrTest, EditsThatChangeNothingStillUnshare) {
    struct Case {
        const char* what;
        void (*edit)(str&);
    };
    const Case cases[] = {
        {"Erase past the end", [](str& s) { s.Erase(9); }},
        {"Erase at the end", [](str& s) { s.Erase(5, 2); }},
        {"Replace without a match", [](str& s) { s.Replace("xyz", "q"); }},
        {"ToLower of lower case", [](str& s) { s.ToLower(); }},
    };
    for (const Case& c : cases) {
        str a(std::string(20, 'a').c_str());
        a.Erase(5);  // capacity 21, text "aaaaa"
        str b = a;
        c.edit(b);
        EXPECT_EQ(a.UseCount(), 1) << c.what;
        EXPECT_EQ(b.UseCount(), 1) << c.what;
        EXPECT_EQ(b.Capacity(), 6) << c.what;
        EXPECT_EQ(a.Capacity(), 21) << c.what;
        EXPECT_EQ(b, str("aaaaa")) << c.what;
    }
}

TEST(StrTest, AssignmentReleasesAndShares) {
    str a("one");
    str b("two");
    b = a;
    EXPECT_EQ(a.UseCount(), 2);
    const str& same = b;
    b = same;  // self-assignment does nothing
    EXPECT_EQ(a.UseCount(), 2);
    b = "three";
    EXPECT_EQ(a.UseCount(), 1);
    EXPECT_EQ(b, str("three"));
    b.Assign("abcdef", 2);
    EXPECT_EQ(b, str("ab"));
}

TEST(StrTest, CompareIsUnsignedAndTreatsNullAsEmpty) {
    EXPECT_EQ(str().Compare(str("a")), -1);
    EXPECT_EQ(str("a").Compare(str()), 1);
    EXPECT_EQ(str().Compare(str("")), 0);
    EXPECT_EQ(str("\xE9").Compare(str("z")), 1);
    EXPECT_EQ(str("abc").Compare(str("abd")), -1);
    EXPECT_EQ(str("abcd").Compare(str("abc")), 1);
    EXPECT_TRUE(str("a") < str("b"));
    EXPECT_FALSE(str("b") < str("a"));
}

TEST(StrTest, Conversions) {
    EXPECT_EQ(str("42abc").ToInt(), 42);
    EXPECT_EQ(str("-7").ToInt(), -7);
    EXPECT_FLOAT_EQ(str("2.5").ToFloat(), 2.5f);
    EXPECT_EQ(str("abc").GetAt(2), 'c');
    EXPECT_EQ(str("abc").GetAt(3), '\0');
}

struct SearchCase {
    const char* text;
    const char* needle;
    unsigned int flags;
    unsigned int start;
    unsigned int expected;
};

TEST(StrTest, FindCharTable) {
    const SearchCase cases[] = {
        {"banana", "a", 0, 0, 1},
        {"banana", "a", str::kBackward, 0, 5},
        {"banana", "a", str::kBackward, 1, 3},
        {"banana", "A", str::kIgnoreCase, 0, 1},
        {"banana", "A", 0, 0, str::npos},
        {"banana", "n", 0, 3, 4},
        {"banana", "b", str::kBackward, 5, 0},
        {"banana", "a", 0, 6, str::npos},
        {"banana", "a", str::kBackward, 6, str::npos},
        {"banana", "a", str::kBackward, 99, str::npos},
        {"", "a", 0, 0, str::npos},
        {"banana", "x", str::kAllOccurrences, 0, str::npos},
    };
    for (const SearchCase& c : cases) {
        EXPECT_EQ(str(c.text).FindChar(c.needle[0], c.flags, c.start), c.expected)
            << c.text << " " << c.needle << " flags " << c.flags << " start " << c.start;
    }
    EXPECT_EQ(str().FindChar('a'), str::npos);
}

TEST(StrTest, FindTable) {
    const SearchCase cases[] = {
        {"banana", "ana", 0, 0, 1},
        {"banana", "ana", 0, 2, 3},
        {"banana", "ana", str::kBackward, 0, 3},
        {"banana", "ana", str::kBackward, 1, 1},
        {"banana", "ana", str::kBackward, 3, str::npos},
        {"banana", "ANA", str::kIgnoreCase, 0, 1},
        {"banana", "ANA", str::kIgnoreCase | str::kBackward, 0, 3},
        {"banana", "nab", 0, 0, str::npos},
        {"banana", "banana", 0, 0, 0},
        {"banana", "banana!", 0, 0, str::npos},  // needle longer than the text
        {"banana", "ana", 0, 4, str::npos},      // start beyond length - n
        {"banana", "ana", str::kBackward, 4, str::npos},
        {"banana", "a", 0, 6, str::npos},
        {"banana", "", 0, 2, 2},  // an empty needle matches at the start
        {"banana", "", str::kBackward, 0, 6},
        {"", "", 0, 0, str::npos},
    };
    for (const SearchCase& c : cases) {
        EXPECT_EQ(str(c.text).Find(c.needle, c.flags, c.start), c.expected)
            << c.text << " " << c.needle << " flags " << c.flags << " start " << c.start;
    }
}

TEST(StrTest, FindFirstOf) {
    EXPECT_EQ(str("abc").FindFirstOf("xyz"), 3u);
    EXPECT_EQ(str("abc").FindFirstOf("cb"), 1u);
    EXPECT_EQ(str("abc").FindFirstOf("a", 1), 3u);
    EXPECT_EQ(str("abc").FindFirstOf("a", 7), 3u);
    EXPECT_EQ(str().FindFirstOf("a"), 0u);
}

TEST(StrTest, SubstringTable) {
    struct Case {
        unsigned int start, count;
        const char* expected;
    } cases[] = {
        {2, str::npos, "cdef"}, {6, 2, ""},       {4, 10, "ef"},         {0, 0, ""},
        {1, 2, "bc"},           {0, 6, "abcdef"}, {5, 0xFFFFFFFFu, "f"},
    };
    for (const Case& c : cases) {
        str result = str("abcdef").Substring(c.start, c.count);
        EXPECT_EQ(result, str(c.expected)) << c.start << "," << c.count;
        EXPECT_GE(result.Capacity(), 16);  // even the empty result has a representation
    }
    EXPECT_EQ(str().Substring(0), str());
}

TEST(StrTest, EraseTable) {
    struct Case {
        unsigned int position, count;
        const char* expected;
    } cases[] = {
        {2, str::npos, "ab"}, {1, 2, "adef"},   {0, 6, ""},      {4, 2, "abcd"},
        {6, 1, "abcdef"},     {9, 1, "abcdef"}, {3, 100, "abc"}, {2, 0xFFFFFFF0u, "ab"},
    };
    for (const Case& c : cases) {
        str s("abcdef");
        s.Erase(c.position, c.count);
        EXPECT_EQ(s, str(c.expected)) << c.position << "," << c.count;
    }
    str none;
    none.Erase(0);
    EXPECT_EQ(none.Length(), 0u);
}

TEST(StrTest, ReplaceTable) {
    struct Case {
        const char* text;
        const char* find;
        const char* with;
        unsigned int flags, start;
        const char* expected;
    } cases[] = {
        {"a\\b\\c", "\\", "/", str::kAllOccurrences, 0, "a/b/c"},
        {"a\\b\\c", "\\", "/", 0, 0, "a/b\\c"},
        {"aaa", "a", "bb", str::kAllOccurrences, 0, "bbbbbb"},
        {"aaa", "a", "bb", 0, 1, "abba"},
        {"hello world", "world", "", 0, 0, "hello "},
        {"abcabc", "bc", "X", str::kAllOccurrences, 0, "aXaX"},
        {"abc", "x", "y", str::kAllOccurrences, 0, "abc"},
        {"ABab", "ab", "-", str::kIgnoreCase | str::kAllOccurrences, 0, "--"},
        // An empty search text matches at the start position, once.
        {"abc", "", "X", 0, 1, "aXbc"},
        {"abc", "", "X", str::kAllOccurrences, 0, "Xabc"},
    };
    for (const Case& c : cases) {
        str s(c.text);
        s.Replace(c.find, c.with, c.flags, c.start);
        EXPECT_EQ(s, str(c.expected)) << c.text << " " << c.find << " -> " << c.with;
    }
}

TEST(StrTest, ReplaceGrowsExactlyAndAcceptsItself) {
    str s("abcdefghijklmno");  // capacity 16, length 15
    s.Replace("a", "XY");
    EXPECT_EQ(s, str("XYbcdefghijklmno"));
    EXPECT_EQ(s.Capacity(), 17);

    str t("ab");
    t.Replace(t, t + t);
    EXPECT_EQ(t, str("abab"));
}

TEST(StrTest, AppendAndConcatenate) {
    str s;
    s += str("ab");
    s += 'c';
    s.Append("defgh", 2);
    EXPECT_EQ(s, str("abcde"));
    s += s;
    EXPECT_EQ(s, str("abcdeabcde"));
    EXPECT_EQ(str("x") + str("y") + 'z', str("xyz"));
    EXPECT_EQ(str() + str(), str());

    str empty;
    empty += str();
    EXPECT_EQ(empty.Capacity(), 16);  // an append always leaves a representation
}

TEST(StrTest, WriteAt) {
    str s;
    int next = s.WriteAt(0, "abc", 3, true);
    EXPECT_EQ(next, 3);
    EXPECT_EQ(s, str("abc"));
    EXPECT_EQ(s.Capacity(), 16);

    next = s.WriteAt(-1, "def", 3, true);  // -1 appends
    EXPECT_EQ(next, 6);
    EXPECT_EQ(s, str("abcdef"));

    s.WriteAt(1, "XY", 2, false);  // inside the text, no terminator: the rest stays
    EXPECT_EQ(s, str("aXYdef"));

    // Growth doubles from the current capacity until the write fits.
    std::string chunk(20, 'z');
    s.WriteAt(-1, chunk.data(), 20, true);
    EXPECT_EQ(s.Length(), 26u);
    EXPECT_EQ(s.Capacity(), 32);
    s.WriteAt(-1, chunk.data(), 20, true);
    EXPECT_EQ(s.Capacity(), 64);

    // Past the end: the gap reads as zero bytes, and the text ends after the write.
    str t("ab");
    t.Reserve(16);
    t.WriteAt(5, "Q", 1, false);
    EXPECT_EQ(t.Length(), 2u);  // the zero gap ends the text
    EXPECT_EQ(t.c_str()[5], 'Q');
    EXPECT_EQ(t.c_str()[6], '\0');
    EXPECT_EQ(t.c_str()[3], '\0');

    str shared("abc");
    str other = shared;
    shared.WriteAt(0, "x", 1, false);
    EXPECT_EQ(other, str("abc"));
    EXPECT_EQ(shared, str("xbc"));
}

TEST(StrTest, ToLowerIsAsciiOnly) {
    str s("AbC\xC9Z09");
    s.ToLower();
    EXPECT_EQ(s, str("abc\xC9z09"));
}

TEST(StrTest, FormatStackAndHeapPaths) {
    EXPECT_EQ(str::Format("%d-%s", 42, "x"), str("42-x"));
    for (size_t size : {size_t(4095), size_t(4096), size_t(5000)}) {
        std::string big(size, 'q');
        str formatted = str::Format("%s", big.c_str());
        EXPECT_EQ(formatted.Length(), size);
        EXPECT_EQ(std::string(formatted.c_str()), big);
        // Both paths end with an exact-size buffer.
        EXPECT_EQ(formatted.Capacity(), static_cast<int>(size) + 1);
    }
    str s;
    s.Printf("%05.1f|%x", 3.25, 255u);
    EXPECT_EQ(s, str("003.2|ff"));
}

TEST(StrTest, FormatEncodingErrorGivesEmpty) {
    // A wide character the C locale cannot represent makes vsnprintf fail.
    str s = str::Format("%lc", static_cast<wint_t>(0x263A));
    EXPECT_EQ(s.Length(), 0u);
}

TEST(StrTest, FromCodePoint) {
    EXPECT_EQ(str::FromCodePoint(0x20AC), str("\xE2\x82\xAC"));
    EXPECT_EQ(str::FromCodePoint('A'), str("A"));
    EXPECT_EQ(str::FromCodePoint(0xFEFF).Capacity(), 0);
    EXPECT_EQ(str::FromCodePoint(0x110000).Length(), 0u);
}

TEST(StrTest, WritesAndAppendsOfItsOwnBytes) {
    str s("abcdefghijklmno");  // full: the next growth moves the text
    s.Append(s.c_str() + 1, 3);
    EXPECT_EQ(s, str("abcdefghijklmnobcd"));
    str t("abcdefghijklmno");
    t.WriteAt(-1, t.c_str(), 4, true);
    EXPECT_EQ(t, str("abcdefghijklmnoabcd"));
    str u("xy");
    u += u;
    u += '\0';  // appending NUL leaves the text as it is
    EXPECT_EQ(u, str("xyxy"));
}

// Copies of one text are made and released on two threads at once; run under the tsan preset.
TEST(StrTest, CopiesCrossThreads) {
    str shared("shared text");
    auto work = [&shared] {
        std::vector<str> copies;
        for (int i = 0; i < 2000; ++i) {
            copies.push_back(shared);
            if (copies.size() > 8) copies.erase(copies.begin());
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(shared.UseCount(), 1);
    EXPECT_EQ(shared, str("shared text"));
}

}  // namespace
