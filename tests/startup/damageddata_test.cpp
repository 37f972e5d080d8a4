// Start-up with data that is not what it should be: special files where the program reads its
// data (a pipe with no writer would keep a stream waiting for ever, so these tests would hang
// rather than fail), damaged settings, and a main loop script that is missing, does not compile
// or fails as it runs. Each ends with one line in the log naming the file and the reason.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "screens/gamemain.h"
#include "startupfixture.h"
#include "support/logcapture.h"
#include "support/printers.h"

namespace startup_test {
namespace {

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

class DamagedDataTest : public StartupTest {
protected:
    void MakePipe(const std::string& path) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        ASSERT_EQ(mkfifo(path.c_str(), 0666), 0) << path;
    }
    std::string Log() const { return ReadFileBytes(UserFolder() + "/logfile.txt"); }
    size_t CountInLog(const std::string& text) const {
        return testing_support::CountOccurrences(Log(), text);
    }
    // Runs the game's own main function; its exit code.
    int RunGame() {
        int code = -1;
        gGameBody = [&](TPlatform* platform, const char* commandLine) {
            GameMain(platform, commandLine);
            code = GameExitStatus();
        };
        EXPECT_EQ(Run(""), kReturned);
        return code;
    }
};

TEST_F(DamagedDataTest, PipesWhereverStartUpReadsAreMissing) {
    MakePipe(Asset("settings.xml"));
    MakePipe(mProgramFolder + "final.txt");
    MakePipe(Asset("strings.xml"));
    MakePipe(Asset("pack.bvp"));
    MakePipe(Asset("install.txt"));
    MakePipe(Asset("scripts/mainloop.lua"));
    MakePipe(UserFolder() + "/strings_user.xml");
    MakePipe(UserFolder() + "/prefs.dat");
    EXPECT_EQ(RunGame(), 0);  // no main loop script, as if it were missing
    // The two read by their real paths are named; the scan passes over the others.
    EXPECT_EQ(CountInLog("assets/settings.xml is a pipe, not a file: not read"), 1u) << Log();
    EXPECT_EQ(CountInLog("final.txt is a pipe, not a file: not read"), 1u) << Log();
    EXPECT_EQ(CountInLog("The main loop script scripts/mainloop.lua did not run"), 1u) << Log();
    EXPECT_EQ(CountInLog("is a pipe"), 2u) << Log();
}

TEST_F(DamagedDataTest, DamagedSettingsFilesAreNamed) {
    struct Case {
        const char* text;
        const char* line;
    };
    const Case cases[] = {
        {"<options><a>1</a></options>",
         "Settings file ::assets/settings.xml holds no settings element: no settings read"},
        {"", "Settings file ::assets/settings.xml holds no settings element: no settings read"},
        {"ZXML\x01", "XML file ::assets/settings.xml is damaged: ZXML data cut short: 5 bytes"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileBytes(Asset("settings.xml"), c.text));
        EXPECT_EQ(Run(""), kReturned);
        EXPECT_EQ(CountInLog(c.line), 1u) << c.text << "\n" << Log();
    }
    // A settings file of more than a MiB is not read.
    std::filesystem::resize_file(Asset("settings.xml"), 1024 * 1024 + 1);
    EXPECT_EQ(Run(""), kReturned);
    EXPECT_EQ(CountInLog("XML file ::assets/settings.xml not read: it holds 1048577 bytes, more "
                         "than the 1048576 read"),
              1u)
        << Log();
}

TEST_F(DamagedDataTest, TheMainLoopScriptDecidesTheExitCode) {
    struct Case {
        const char* script;  // null: no script
        int code;
        const char* line;
    };
    const Case cases[] = {
        {nullptr, 0, "The main loop script scripts/mainloop.lua did not run; the game ends."},
        {"x = 1", 0, nullptr},
        {"this is not Lua", 1,
         "The main loop script scripts/mainloop.lua failed to load or run; the game ends with a "
         "failure."},
        {"error('broken on purpose')", 1,
         "The main loop script scripts/mainloop.lua failed to load or run; the game ends with a "
         "failure."},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(Asset("scripts/mainloop.lua"));
        if (c.script != nullptr) {
            std::filesystem::create_directories(Asset("scripts"));
            ASSERT_TRUE(WriteFileBytes(Asset("scripts/mainloop.lua"), c.script));
        }
        const char* shown = c.script != nullptr ? c.script : "(none)";
        EXPECT_EQ(RunGame(), c.code) << shown;
        EXPECT_EQ(CountInLog("The main loop script"), c.line != nullptr ? 1u : 0u)
            << shown << Log();
        if (c.line != nullptr) {
            EXPECT_EQ(CountInLog(c.line), 1u) << shown << "\n" << Log();
        }
    }
    // The reason is the script layer's, and names the file.
    EXPECT_NE(Log().find("broken on purpose"), std::string::npos) << Log();
}

}  // namespace
}  // namespace startup_test
