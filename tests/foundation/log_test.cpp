#include "foundation/log.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "support/tempdir.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

class LogTest : public ::testing::Test {
protected:
    TempDir mDir;
};

// "<ctime without newline>: <message>\n", e.g. "Thu Dec 10 13:43:58 2026: hello\n".
void ExpectLineShape(const std::string& line, const std::string& message) {
    ASSERT_GE(line.size(), 26u + message.size());
    EXPECT_EQ(line.substr(24, 2), ": ") << line;
    EXPECT_EQ(line.substr(26), message + "\n");
    EXPECT_EQ(line[3], ' ');
    EXPECT_EQ(line[13], ':');
}

TEST_F(LogTest, SetLogFileDeletesOlderLogAndWritesLines) {
    WriteFileBytes(mDir.File("logfile.txt"), "old contents\n");
    SetLogFile(mDir.Path().c_str());
    EXPECT_EQ(std::string(GetLogPath().c_str()), mDir.File("logfile.txt"));
    EXPECT_EQ(ReadFileBytes(mDir.File("logfile.txt")), "");

    LogPrintf("hello %d", 42);
    std::string contents = ReadFileBytes(mDir.File("logfile.txt"));
    ExpectLineShape(contents, "hello 42");
    EXPECT_EQ(GetLogWritePosition(), static_cast<int>(contents.size()));
}

TEST_F(LogTest, CreatesMissingFolder) {
    std::string folder = mDir.File("logs");
    SetLogFile(folder.c_str());
    LogPrintf("x");
    EXPECT_FALSE(ReadFileBytes(folder + "/logfile.txt").empty());
}

TEST_F(LogTest, OffWritesNothing) {
    SetLogFile(mDir.Path().c_str());
    SetLogFile(nullptr);
    EXPECT_EQ(GetLogPath().Length(), 0u);
    LogPrintf("dropped");
    EXPECT_EQ(ReadFileBytes(mDir.File("logfile.txt")), "");
}

TEST_F(LogTest, MemoryMaxArgumentKeepsPathAndPosition) {
    SetLogFile(mDir.Path().c_str());
    LogPrintf("first");
    int position = GetLogWritePosition();
    SetLogFile("__MEMORYMAX__=1234");
    EXPECT_EQ(std::string(GetLogPath().c_str()), mDir.File("logfile.txt"));
    EXPECT_EQ(GetLogWritePosition(), position);
    LogPrintf("second");
    std::string contents = ReadFileBytes(mDir.File("logfile.txt"));
    EXPECT_NE(contents.find("first\n"), std::string::npos);
    EXPECT_NE(contents.find("second\n"), std::string::npos);
}

// Fill the log with lines of a fixed size until the position lands exactly on the ceiling; the
// line written there still goes at 102,400, and the next one wraps to 51,200 behind the banner.
TEST_F(LogTest, WrapsAtTheCeiling) {
    SetLogFile(mDir.Path().c_str());
    LogPrintf("%s", "probe");
    const int stampSize = GetLogWritePosition() - 6;  // "probe\n"
    SetLogFile(mDir.Path().c_str());

    const int lineSize = 1024;
    const std::string body(lineSize - stampSize - 1, 'a');
    while (GetLogWritePosition() + lineSize <= logfile::kCeiling)
        LogPrintf("%s", body.c_str());
    int rest = logfile::kCeiling - GetLogWritePosition();
    if (rest > 0) LogPrintf("%s", std::string(rest - stampSize - 1, 'b').c_str());
    ASSERT_EQ(GetLogWritePosition(), logfile::kCeiling);

    LogPrintf("at ceiling");
    std::string contents = ReadFileBytes(mDir.File("logfile.txt"));
    ExpectLineShape(contents.substr(logfile::kCeiling), "at ceiling");
    EXPECT_GT(GetLogWritePosition(), logfile::kCeiling);
    size_t fullSize = contents.size();

    LogPrintf("wrapped");
    contents = ReadFileBytes(mDir.File("logfile.txt"));
    std::string banner = logfile::kWrapBanner;
    EXPECT_EQ(contents.substr(logfile::kWrapPosition, banner.size()), banner);
    size_t lineStart = logfile::kWrapPosition + banner.size();
    size_t lineEnd = contents.find('\n', lineStart);
    ExpectLineShape(contents.substr(lineStart, lineEnd + 1 - lineStart), "wrapped");
    EXPECT_EQ(GetLogWritePosition(), static_cast<int>(lineEnd + 1));
    EXPECT_EQ(contents.size(), fullSize);  // the old tail stays until overwritten
}

// Two threads log at once; every line arrives whole. Run under the tsan preset.
TEST_F(LogTest, ConcurrentWritersKeepLinesWhole) {
    SetLogFile(mDir.Path().c_str());
    auto work = [](char tag) {
        for (int i = 0; i < 50; ++i)
            LogPrintf("%c%c%c%c", tag, tag, tag, tag);
    };
    std::thread a(work, 'x'), b(work, 'y');
    a.join();
    b.join();
    std::string contents = ReadFileBytes(mDir.File("logfile.txt"));
    size_t lines = 0;
    for (size_t start = 0; start < contents.size();) {
        size_t end = contents.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        std::string tail = contents.substr(end - 4, 4);
        EXPECT_TRUE(tail == "xxxx" || tail == "yyyy") << tail;
        ++lines;
        start = end + 1;
    }
    EXPECT_EQ(lines, 100u);
}

}  // namespace
