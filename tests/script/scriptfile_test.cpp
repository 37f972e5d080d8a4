// The script host with files: script files run through their compiled assets, the search path,
// and a whole screen script run from inside an archive as the program runs one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/assetmanager.h"
#include "foundation/task/taskmanager.h"
#include "port/control.h"
#include "script/script.h"
#include "scriptfiles.h"
#include "support/logcapture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ScriptFileHostTest : public ScriptFilesTest {
protected:
    void SetUp() override {
        ScriptFilesTest::SetUp();
        port::control::UseFakeClock(true);
        port::control::SetTime(20000);
        SetAssetManager(&mAssets);
        mScript = new TScript;
        mTasks.AddTask(mScript);
        S = mScript->GetState();
    }
    void TearDown() override {
        mTasks.DeleteAll();
        SetAssetManager(nullptr);  // before the manager goes
        ScriptFilesTest::TearDown();
    }

    std::string Global(const char* name) { return LuaGlobalText(S, name); }
    void Pass() {
        port::control::AdvanceTime(16);
        mTasks.Update(0);
    }

    testing_support::LogCapture mLog;
    TAssetManager mAssets;
    TTaskManager mTasks;
    TScript* mScript = nullptr;
    lua_State* S = nullptr;
};

TEST_F(ScriptFileHostTest, RunScript) {
    Put("scripts/ok.lua", "ran = (ran or 0) + 1 return 'ignored'");
    Put("scripts/bad.lua", "x = = 1");
    Put("scripts/fails.lua", "error('boom')");
    Scan();
    lua_pushliteral(S, "below");

    EXPECT_TRUE(mScript->RunScript("scripts/ok.lua"));
    EXPECT_TRUE(mScript->RunScript("SCRIPTS/OK.LUA"));
    EXPECT_EQ(Global("ran"), "2");
    EXPECT_THAT(mLog.Messages(), IsEmpty());

    // Missing: nothing logged.
    EXPECT_FALSE(mScript->RunScript("scripts/none.lua"));
    EXPECT_FALSE(mScript->RunScript(""));
    EXPECT_THAT(mLog.Messages(), IsEmpty());

    EXPECT_FALSE(mScript->RunScript("scripts/bad.lua"));
    EXPECT_FALSE(mScript->RunScript("scripts/fails.lua"));
    EXPECT_THAT(mLog.Messages(),
                ElementsAre("Lua error: scripts/bad.lua:1: unexpected symbol near `='",
                            "Lua error: scripts/fails.lua:1: boom",
                            "Failed to run script scripts/fails.lua: 1"));
    EXPECT_EQ(lua_gettop(S), 1);

    // An "_ALERT" of the script's own that fails is logged too, and the host goes on.
    mLog.Clear();
    ASSERT_EQ(RunLuaChunk(S, "_ALERT = function(m) error('no alert', 0) end"), "");
    EXPECT_FALSE(mScript->RunScript("scripts/bad.lua"));
    EXPECT_THAT(mLog.Messages(), ElementsAre("Lua error: no alert"));
    EXPECT_EQ(lua_gettop(S), 1);
    EXPECT_EQ(LuaValueText(S, 1), "below");
}

TEST_F(ScriptFileHostTest, ScriptsFindFilesThroughTheSearchPath) {
    Put("lib/helper.lua", "helper_loaded = (helper_loaded or 0) + 1");
    Put("scripts/main.lua", "require 'lib/helper.lua' dofile('lib/helper.lua')");
    Scan();
    EXPECT_TRUE(mScript->RunScript("scripts/main.lua"));
    EXPECT_EQ(Global("helper_loaded"), "2");
    mScript->DoLuaString("require 'lib/helper.lua'");  // already loaded
    EXPECT_EQ(Global("helper_loaded"), "2");
    EXPECT_EQ(Global("LUA_PATH"), "assets/?;?;../?;../../?");
    EXPECT_THAT(mLog.Messages(), IsEmpty());
}

TEST_F(ScriptFileHostTest, DumpTableWritesThroughDebugOut) {
    EXPECT_EQ(RunLuaChunk(S, "DumpTable({ 1, x = { y = 'z' } })"), "");  // the native one
    ASSERT_EQ(RunLuaChunk(S, "DebugOut = function(s) dumped = s end"), "");
    EXPECT_EQ(RunLuaChunk(S, "DumpTable({ 1, x = { y = 'z' } })"), "");
    EXPECT_EQ(Global("dumped"), "Dump Table: \n  1 -> 1\n  x -> {\n    y -> z\n  }\n");
    EXPECT_EQ(RunLuaChunk(S, "DumpTable({ { { { { { 1 } } } } } })"), "");
    EXPECT_EQ(Global("dumped"),
              "Dump Table: \n  1 -> {\n    1 -> {\n      1 -> {\n        1 -> {\n          1 -> {\n"
              "            ...\n          }\n        }\n      }\n    }\n  }\n");
}

TEST_F(ScriptFileHostTest, ScreenScriptFromAnArchiveRunsAsACoroutine) {
    // A UTF-16 script with the language's additions, packed in an archive, with nothing loose.
    const std::u16string source =
        u"local evens = 0\n"
        u"for i = 1, 10 do\n"
        u"  if (i & 1) == 1 then continue end\n"
        u"  evens = evens + i\n"
        u"end\n"
        u"local record = string.pack('<hz', 513, 'ok')\n"
        u"result = evens .. ',' .. ((0x0F | 0x30) << 2 >> 1) .. ',' .. (6 ^ 3) .. ',' ..\n"
        u"         string.len(record) .. ',' .. string.byte(record, 2)\n"
        u"local greeting = L\"h\u00e9llo \u263a\"\n"
        u"return function()\n"
        u"  for step = 1, 3 do\n"
        u"    steps = step\n"
        u"    coroutine.yield()\n"
        u"  end\n"
        u"  finished = greeting\n"
        u"end\n";
    Pack("screens.bvp", {{"scripts/screen.lua", Utf16File(source)}});
    Scan();
    ASSERT_FALSE(std::filesystem::exists(mDir.File("assets/scripts/screen.lua")));

    ASSERT_TRUE(mScript->RunScript("scripts/screen.lua"));
    EXPECT_EQ(Global("result"), "30,126,5,5,2");
    EXPECT_EQ(Global("steps"), "1");
    EXPECT_TRUE(mScript->IsYielded());
    EXPECT_FALSE(mScript->IsStopped());
    EXPECT_EQ(lua_gettop(S), 0);

    Pass();
    EXPECT_EQ(Global("steps"), "2");
    Pass();
    EXPECT_EQ(Global("steps"), "3");
    EXPECT_EQ(Global("finished"), "nil");
    Pass();
    EXPECT_FALSE(mScript->IsYielded());
    EXPECT_TRUE(mScript->IsStopped());
    EXPECT_EQ(Global("finished"), "L\"h\\x{e9}llo \\x{263a}\"");
    EXPECT_EQ(lua_gettop(S), 0);
    EXPECT_THAT(mLog.Messages(), IsEmpty());
}

}  // namespace
