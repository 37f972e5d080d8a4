#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/commandline.h"
#include "support/printers.h"

namespace {

using namespace commandline;

// The line in a heap block of exactly its size, so that a read past its terminator is caught
// under AddressSanitizer.
std::unique_ptr<char[]> ExactLine(const char* text) {
    size_t size = std::strlen(text) + 1;
    auto line = std::make_unique<char[]>(size);
    std::memcpy(line.get(), text, size);
    return line;
}

TEST(CommandLineTest, OptionsAreFoundAnywhereAndByCase) {
    EXPECT_TRUE(HasOption("game.exe --multiple", "--multiple"));
    EXPECT_TRUE(HasOption("x--multiplex", "--multiple"));  // inside a longer word
    EXPECT_FALSE(HasOption("--Multiple", "--multiple"));
    EXPECT_FALSE(HasOption("", "--multiple"));
}

TEST(CommandLineTest, CheatCode) {
    struct Case {
        const char* line;
        const char* code;
    };
    const Case cases[] = {
        {"--cheat abc def", "abc"},   // two words: the first
        {"-x --cheat abc", "abc"},    // to the end of the line
        {"--cheat ", ""},             // one blank at the end
        {"-x --cheat", ""},           // the last characters of the line
        {"--cheat=xyz -msn", "xyz"},  // any one separator
        {"-msn", ""},
    };
    for (const Case& c : cases) {
        auto line = ExactLine(c.line);
        EXPECT_EQ(CheatCode(line.get()), str(c.code)) << c.line;
    }
}

TEST(CommandLineTest, WordAfterStopsAtTheFirstBlank) {
    EXPECT_EQ(WordAfter("-url=http://a.b/c d", "-url="), str("http://a.b/c"));
    EXPECT_EQ(WordAfter("-url=", "-url="), str(""));
    EXPECT_EQ(WordAfter("-msn", "-url="), str(""));
    EXPECT_EQ(WordAfter("-host=/usr/bin/opener --new", "-host=", 259), str("/usr/bin/opener"));
    std::string longHost = "-host=" + std::string(300, 'p');
    EXPECT_EQ(WordAfter(longHost.c_str(), "-host=", 259).Length(), 259u);
}

TEST(CommandLineTest, HostWindowIsHexadecimal) {
    EXPECT_EQ(HostWindow("-wnd=1f -msn"), 0x1Fu);
    EXPECT_EQ(HostWindow("x -wnd=ABC"), 0xABCu);
    EXPECT_EQ(HostWindow("-wnd=0"), 0u);
    EXPECT_EQ(HostWindow("-wnd="), 0u);
    EXPECT_EQ(HostWindow("-wnd=zz"), 0u);
    EXPECT_EQ(HostWindow("-msn"), 0u);
}

TEST(CommandLineTest, WorkingDirectoryQuotedAndUnquoted) {
    struct Case {
        const char* line;
        const char* folder;
    };
    const Case cases[] = {
        {"-wd=/tmp/game -msn", "/tmp/game"},
        {"-wd=\"/tmp/my game\" -msn", "/tmp/my game"},
        {"-wd=\"/tmp/open", "/tmp/open"},  // no closing quote: to the end
        {"-wd=", ""},
        {"-msn", ""},
    };
    for (const Case& c : cases) {
        auto line = ExactLine(c.line);
        EXPECT_EQ(WorkingDirectory(line.get()), str(c.folder)) << c.line;
    }
}

TEST(CommandLineTest, OptionPairs) {
    using Pairs = std::vector<std::pair<str, str>>;
    struct Case {
        const char* line;
        Pairs pairs;
    };
    const Case cases[] = {
        // Stops at "c", which has no "=".
        {"options=a=1&b=2 c", {{"a", "1"}, {"b", "2"}}},
        // "&" is searched before the blank: a's value runs to it.
        {"options=a=1 b=2&c=3", {{"a", "1 b=2"}, {"c", "3"}}},
        {"-x options=k=v", {{"k", "v"}}},
        {"options= a=1", {}},
        {"options=", {}},
        {"options=novalue", {}},
        {"options=a=&b=2", {{"a", ""}, {"b", "2"}}},
        {"options=a=1&", {{"a", "1"}}},
        {"-msn", {}},
    };
    for (const Case& c : cases) {
        auto line = ExactLine(c.line);
        EXPECT_EQ(OptionPairs(line.get()), c.pairs) << c.line;
    }
}

TEST(CommandLineTest, JoinArgumentsQuotesThoseWithBlanks) {
    EXPECT_EQ(JoinArguments({}), "");
    EXPECT_EQ(JoinArguments({"-msn", "--multiple"}), "-msn --multiple");
    EXPECT_EQ(JoinArguments({"-wd=/tmp/my game", "-msn"}), "\"-wd=/tmp/my game\" -msn");
    EXPECT_EQ(JoinArguments({"", "x"}), " x");
}

}  // namespace
