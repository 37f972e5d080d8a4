// prefsdump marks the record where the game's loading of a preference file stops, keeps listing
// the records below it, and ends with status 1, as for a damaged file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "prefsfixture.h"
#include "support/tempdir.h"

namespace {

using prefs_testing::FileBuilder;
using prefs_testing::LittleEndian16;

struct DumpResult {
    int status = -1;
    std::string out;
};

DumpResult Dump(const std::string& bytes) {
    testing_support::TempDir dir;
    const std::string path = dir.File("prefs.dat");
    EXPECT_TRUE(testing_support::WriteFileBytes(path, bytes));
    const std::string command =
        std::string(PREFSDUMP) + " '" + path + "' '" + prefs_testing::kKey + "'";
    DumpResult run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The line after the record that starts at offset (its offset as the listing prints it).
std::string LineAfterRecordAt(const std::string& out, size_t offset) {
    char start[16];
    std::snprintf(start, sizeof start, "%10zu  ", offset);
    const size_t at = out.find(std::string("\n") + start);
    if (at == std::string::npos) return "<no record at " + std::to_string(offset) + ">";
    const size_t next = out.find('\n', at + 1);
    const size_t end = out.find('\n', next + 1);
    return out.substr(next + 1, end - next - 1);
}

TEST(PrefsdumpTest, MarksTheRecordWhereLoadingStops) {
    const std::string install = FileBuilder().Install("key").Get();
    const std::string withUser = FileBuilder().Install("key").User(0).Get();
    struct Case {
        const char* what;
        std::string bytes;
        size_t stopsAt;  // offset of the record where loading stops
        const char* problem;
    };
    const Case cases[] = {
        {"first record not an installation key",
         FileBuilder().User(0).Install("key").User(0).Pair("a", "1").Get(), 0,
         "first record is not an installation key"},
        {"pair before any slot", FileBuilder().Install("key").Pair("a", "1").User(0).Get(),
         install.size(), "pair before any slot"},
        {"key length 0",
         FileBuilder().Install("key").User(0).Sealed("KVPR", LittleEndian16(0) + "x").Get(),
         withUser.size(), "pair with a bad key length"},
        {"slot above 1024", FileBuilder().Install("key").User(1025).User(0).Pair("a", "1").Get(),
         install.size(), "slot number out of range"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DumpResult run = Dump(c.bytes);
        EXPECT_EQ(run.status, 1) << run.out;
        EXPECT_NE(LineAfterRecordAt(run.out, c.stopsAt)
                      .find(std::string("loading stops at this record (") + c.problem + ")"),
                  std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("; loading stops at byte " + std::to_string(c.stopsAt)),
                  std::string::npos)
            << run.out;
    }
}

TEST(PrefsdumpTest, ASoundFileHasNoMark) {
    DumpResult run =
        Dump(FileBuilder().Install("key").User(0).Pair("a", "1").User(2).Pair("b", "2").Get());
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.find("loading stops"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("5 records"), std::string::npos) << run.out;
}

}  // namespace
