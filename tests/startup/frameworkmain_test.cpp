#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "archivewriter.h"
#include "foundation/file/fileindex.h"
#include "foundation/prefs/stringtable.h"
#include "foundation/task/animtask.h"
#include "script/luabinding.h"
#include "foundation/random.h"
#include "foundation/settingsmap.h"
#include "online/portal.h"
#include "platform/win32platform.h"
#include "port/window/messages.h"
#include "port/window/queue.h"
#include "startupfixture.h"
#include "support/printers.h"
#include "ui/gamestate.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace startup_test {
namespace {

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

str Config(const char* key) {
    return TPlatform::GetConfig(key, "<absent>");
}

TEST_F(StartupTest, GameMainSeesEverySettingAndTeardownClearsAll) {
    std::map<std::string, std::string> seen;
    TPlatform* seenPlatform = nullptr;
    gGameBody = [&](TPlatform* platform, const char*) {
        seenPlatform = platform;
        for (const char* key : {"installkey", "startupdir", "version", "gamename", "buildtag",
                                "hwnd", "computerid", "memorymax", "texturememorymax",
                                "utf8modeinit"}) {
            seen[key] = Config(key).c_str();
        }
        EXPECT_EQ(TPlatform::GetInstance(), platform);
    };
    EXPECT_EQ(Run("-msn"), kReturned);
    ASSERT_EQ(gGameMainCalls, 1);
    EXPECT_NE(seenPlatform, nullptr);
    for (const auto& [key, value] : seen) {
        EXPECT_NE(value, "<absent>") << key;
    }
    EXPECT_EQ(seen["installkey"], mProgramFolder);
    EXPECT_EQ(seen["gamename"], "Umbrava");
    EXPECT_EQ(seen["memorymax"], "100000000");
    EXPECT_EQ(seen["texturememorymax"], "100000000");
    EXPECT_EQ(seen["utf8modeinit"], "");
    EXPECT_NE(seen["hwnd"], "0");

    std::string log = ReadFileBytes(UserFolder() + "/logfile.txt");
    EXPECT_NE(log.find("Umbrava, version " + seen["version"] + "."), std::string::npos) << log;

    // After the teardown.
    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
    for (const char* key : {"installkey", "gamename", "hwnd", "memorymax"}) {
        EXPECT_FALSE(TSettingsMap::GetInstance().Has(key)) << key;
    }
    str name;
    EXPECT_FALSE(FindIndexedFile("", name, true));
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
}

TEST_F(StartupTest, SeedsFollowTheClock) {
    // For the clock at 123456: srand(123456 * 8627 mod 104729) = srand(65711), and the four words
    // of three rand() calls each, worked out once outside the program.
    const uint32_t words[4] = {0x7ef4797eu, 0x37432cc7u, 0x402c318cu, 0x1ca2aa92u};
    TRandom expected;
    expected.SeedByArray(words, 4);
    std::vector<uint32_t> wanted = {expected.Next(), expected.Next(), expected.Next()};
    std::vector<uint32_t> drawn;
    gGameBody = [&](TPlatform* platform, const char*) {
        for (int i = 0; i < 3; ++i) drawn.push_back(platform->Random());
    };
    Run("");
    EXPECT_EQ(drawn, wanted);
}

TEST_F(StartupTest, TitleWithoutVersionData) {
    port::control::SetVersionInfoHidden(true);
    std::string title, version, buildtag;
    gGameBody = [&](TPlatform* platform, const char*) {
        title = platform->GetTitle().c_str();
        version = Config("version").c_str();
        buildtag = Config("buildtag").c_str();
    };
    Run("");
    EXPECT_EQ(title, "Corvane Application");
    EXPECT_EQ(version, "");
    EXPECT_EQ(buildtag, "");

    TPlatform::SetConfig("gamename", "Moon Farm");
    Run("");
    EXPECT_EQ(title, "Moon Farm");
}

TEST_F(StartupTest, SettingsFileChildrenInDocumentOrder) {
    ASSERT_TRUE(WriteFileBytes(Asset("settings.xml"),
                               "<settings><publisher>P</publisher><colour>red</colour>"
                               "<colour>blue</colour></settings>"));
    std::string colour, publisher;
    gGameBody = [&](TPlatform*, const char*) {
        colour = Config("colour").c_str();
        publisher = Config("publisher").c_str();
    };
    EXPECT_EQ(Run(""), kReturned);
    EXPECT_EQ(colour, "blue");  // the later child wins
    EXPECT_EQ(publisher, "P");

    std::filesystem::remove(Asset("settings.xml"));
    EXPECT_EQ(Run(""), kReturned);  // a missing file is skipped
    EXPECT_EQ(colour, "<absent>");
}

TEST_F(StartupTest, StringsSwitchTheWindowScriptToUtf8) {
    bool utf8 = true;
    gGameBody = [&](TPlatform*, const char*) { utf8 = TWindowManager::Get()->IsScriptUtf8(); };
    Run("");
    EXPECT_FALSE(utf8);

    ASSERT_TRUE(WriteFileBytes(Asset("strings.xml"),
                               "<Row><Cell><Data>HELLO</Data></Cell><Cell><Data>Hi</Data></Cell>"
                               "</Row>"));
    str text;
    gGameBody = [&](TPlatform* platform, const char*) {
        utf8 = TWindowManager::Get()->IsScriptUtf8();
        text = platform->GetStringTable()->GetString("HELLO");
    };
    Run("");
    EXPECT_TRUE(utf8);
    EXPECT_EQ(text, str("Hi"));
}

TEST_F(StartupTest, UserStringTablesLayOverTheAssetOne) {
    ASSERT_TRUE(WriteFileBytes(Asset("strings.xml"),
                               "<Row><Cell><Data>HELLO</Data></Cell><Cell><Data>Hi</Data></Cell>"
                               "</Row><Row><Cell><Data>BYE</Data></Cell><Cell><Data>Bye</Data>"
                               "</Cell></Row>"));
    std::filesystem::create_directories(UserFolder());
    ASSERT_TRUE(WriteFileBytes(UserFolder() + "/strings_more.xml",
                               "<Row><Cell><Data>HELLO</Data></Cell><Cell><Data>Hey</Data></Cell>"
                               "</Row>"));
    ASSERT_TRUE(WriteFileBytes(UserFolder() + "/other.xml",
                               "<Row><Cell><Data>BYE</Data></Cell><Cell><Data>Later</Data></Cell>"
                               "</Row>"));
    str hello, bye;
    gGameBody = [&](TPlatform* platform, const char*) {
        hello = platform->GetStringTable()->GetString("HELLO");
        bye = platform->GetStringTable()->GetString("BYE");
    };
    Run("");
    EXPECT_EQ(hello, str("Hey"));
    EXPECT_EQ(bye, str("Bye"));  // not a "string" file
}

TEST_F(StartupTest, WorkingDirectoryOption) {
    std::string folder = mRoot.Path() + "/my work";
    std::filesystem::create_directories(folder);
    std::string current;
    gGameBody = [&](TPlatform*, const char*) {
        current = std::filesystem::current_path().string();
    };
    std::string line = "-msn -wd=\"" + folder + "\" -x";
    Run(line.c_str());
    EXPECT_EQ(current, folder);
    // The switch comes before the log file is opened, so its log line is not in this log.
}

TEST_F(StartupTest, UnmakeableUserFolderLeavesTheLogClosed) {
    // A file where the folders would go: they cannot be made.
    ASSERT_TRUE(WriteFileBytes(mRoot.Path() + "/blocked", "x"));
    port::control::SetSpecialFolder(CSIDL_APPDATA, mRoot.Path() + "/blocked");
    port::control::SetSpecialFolder(CSIDL_COMMON_APPDATA, mRoot.Path() + "/blocked");
    bool rootLogBefore = std::filesystem::exists("/logfile.txt");
    EXPECT_EQ(Run(""), kReturned);
    EXPECT_EQ(gGameMainCalls, 1);
    if (!rootLogBefore) {
        EXPECT_FALSE(std::filesystem::exists("/logfile.txt"));
    }
    EXPECT_FALSE(std::filesystem::exists(mProgramFolder + "logfile.txt"));
}

TEST_F(StartupTest, ModulePluginsFromTheAssetFolder) {
    namespace fs = std::filesystem;
    fs::copy_file(STARTUP_TEST_PLUGIN, Asset("good.bvmod"));
    fs::copy_file(STARTUP_TEST_BARE_MODULE, Asset("bare.bvmod"));
    size_t handlers = 0;
    bool suspendFromPlugin = false;
    std::string cmdline;
    gGameBody = [&](TPlatform*, const char*) {
        handlers = TGameState::GetHandlers().size();
        for (TGameStateHandler* handler : TGameState::GetHandlers()) {
            suspendFromPlugin = suspendFromPlugin || handler->QuerySuspend();
        }
        cmdline = TGameState::Get()->GetState("cmdline").c_str();
    };
    EXPECT_EQ(Run("-x --multiple"), kReturned);
    EXPECT_EQ(handlers, 1u);  // the bare module is dropped
    EXPECT_TRUE(suspendFromPlugin);
    EXPECT_EQ(cmdline, "-x --multiple");
    EXPECT_TRUE(TGameState::GetHandlers().empty());  // gone with the game state
}

TEST_F(StartupTest, PluginInsideAnArchiveIsDropped) {
    std::string bytes = ReadFileBytes(STARTUP_TEST_PLUGIN);
    ASSERT_FALSE(bytes.empty());
    std::string error;
    ASSERT_TRUE(bvpack::WriteArchive({{"packed.bvmod", bytes}}, Asset("data.bvp"), &error)) << error;
    bool indexed = false;
    size_t handlers = 1;
    gGameBody = [&](TPlatform*, const char*) {
        str name;
        while (FindIndexedFile("", name, false)) {
            indexed = indexed || name == str("packed.bvmod");
        }
        handlers = TGameState::GetHandlers().size();
    };
    EXPECT_EQ(Run(""), kReturned);
    EXPECT_TRUE(indexed);
    EXPECT_EQ(handlers, 0u);
}

TEST_F(StartupTest, GameStateValues) {
    std::string userdir, commondir;
    gGameBody = [&](TPlatform*, const char*) {
        userdir = TGameState::Get()->GetState("userdatadir").c_str();
        commondir = TGameState::Get()->GetState("commondatadir").c_str();
    };
    Run("");
    EXPECT_EQ(userdir, UserFolder());  // no trailing "/"
    EXPECT_EQ(commondir, mRoot.Path() + "/common/Brisvel/Umbrava");
    EXPECT_EQ(TGameState::Get(), nullptr);
}

TEST_F(StartupTest, CommandLineSettings) {
    std::map<std::string, std::string> seen;
    bool zylom = false;
    gGameBody = [&](TPlatform*, const char*) {
        for (const char* key : {"cheatcode", "downloadurl", "stringtest", "a", "b"}) {
            seen[key] = Config(key).c_str();
        }
        zylom = IsZylomMode();
    };
    Run("-zylom --cheat abc def -url=http://x.y/z w options=a=1&b=2 c --stringtest");
    EXPECT_TRUE(zylom);
    EXPECT_EQ(seen["cheatcode"], "abc");
    EXPECT_EQ(seen["downloadurl"], "http://x.y/z");
    EXPECT_EQ(seen["stringtest"], "1");
    EXPECT_EQ(seen["a"], "1");
    EXPECT_EQ(seen["b"], "2");
}

std::string gRemembered;
void Remember(str text) {
    gRemembered = text.c_str();
}

TEST_F(StartupTest, WindowScriptReadsTheWindowFunctions) {
    std::string answer;
    gGameBody = [&](TPlatform*, const char*) {
        port::control::AdvanceTime(250);
        TPlatform::SetConfig("flag", "1");
        TWindowScript* script = TWindowManager::Get()->GetScript();
        LuaBindFunction(script->GetState(), "Remember", &Remember);
        script->DoLuaString(
            "Remember(GetConfig('flag', 'x') .. ',' .. GetConfig('none', 'fallback') .. ',' .. "
            "GetTimer() .. ',' .. tostring(IsEnabled('flag')) .. ',' .. "
            "tostring(IsEnabled('none')))");
        answer = gRemembered;
    };
    Run("");
    EXPECT_EQ(answer, "1,fallback,250,true,false");
}

class CountingTask : public TAnimTask {
public:
    explicit CountingTask(int* runs) : mRuns(runs) {}
    bool Animate() override {
        ++*mRuns;
        return true;
    }

private:
    int* mRuns;
};

TEST_F(StartupTest, MainTaskListRunsAddedTasks) {
    int runs = 0;
    bool removed = false, removedAgain = true;
    gGameBody = [&](TPlatform* platform, const char*) {
        auto* task = new CountingTask(&runs);
        platform->AddTask(task);
        platform->UpdateTasks();
        removed = platform->RemoveTask(task);
        removedAgain = platform->RemoveTask(task);
        delete task;
        platform->AddTask(new CountingTask(&runs));  // left for the teardown to delete
    };
    Run("");
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(removed);
    EXPECT_FALSE(removedAgain);
}

}  // namespace
}  // namespace startup_test
