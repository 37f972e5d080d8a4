#include "ui/windowscript.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "foundation/task/taskmanager.h"
#include "port/control.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "script/luascript.h"
#include "support/logcapture.h"
#include "ui/windowmanager.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WindowScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::UseFakeClock(true);
        port::control::SetTime(100);
        mScript = new TWindowScript;
        mTasks.AddTask(mScript);
        L = mScript->GetState();
        ASSERT_EQ(lua_dostring(L,
                               "handled = 0\n"
                               "function wait()\n"
                               "  while true do\n"
                               "    local _, command = coroutine.yield()\n"
                               "    if command then command() handled = handled + 1 end\n"
                               "  end\n"
                               "end"),
                  0);
    }

    std::string Global(const char* name) { return LuaGlobalText(L, name); }

    testing_support::LogCapture mLog;
    TTaskManager mTasks;
    TWindowScript* mScript = nullptr;
    lua_State* L = nullptr;
};

TEST_F(WindowScriptTest, CommandsGoToTheWaitingCoroutine) {
    mScript->DoLuaString("return wait");
    ASSERT_TRUE(mScript->IsYielded());

    mScript->DoLuaString("got = 'text'");
    EXPECT_EQ(Global("got"), "text");
    EXPECT_EQ(Global("handled"), "1");
    EXPECT_TRUE(mScript->IsYielded());

    // A function with arguments, through the closure.
    ASSERT_EQ(lua_dostring(L, "function sum(a, b, c) total = a + b + c end"), 0);
    lua_pushliteral(L, "sum");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushnumber(L, 1);
    lua_pushnumber(L, 2);
    lua_pushnumber(L, 3);
    EXPECT_EQ(mScript->RunFunction(3, 0), 0);
    EXPECT_EQ(Global("total"), "6");
    EXPECT_EQ(Global("handled"), "2");

    // A result asked for while the command is only handed over: nil.
    mScript->DoLuaString("return 5", -1, 1);
    ASSERT_EQ(lua_gettop(L), 1);
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_settop(L, 0);
    EXPECT_EQ(Global("handled"), "3");

    // The task keeps it waiting across passes.
    port::control::AdvanceTime(10);
    mTasks.Update(0);
    EXPECT_TRUE(mScript->IsYielded());
    EXPECT_FALSE(mScript->IsStopped());
    EXPECT_THAT(mLog.Messages(), IsEmpty());
}

TEST_F(WindowScriptTest, CommandNotTakenRunsDirectly) {
    ASSERT_EQ(lua_dostring(L, "function fragile() coroutine.yield() error('gone', 0) end"), 0);
    mScript->DoLuaString("return fragile");
    ASSERT_TRUE(mScript->IsYielded());

    // The coroutine dies instead of running the command; the command runs all the same.
    mScript->DoLuaString("ran = (ran or 0) + 1");
    EXPECT_EQ(Global("ran"), "1");
    EXPECT_FALSE(mScript->IsYielded());
    EXPECT_THAT(mLog.Messages(), ElementsAre("lua_resume ERROR: gone"));

    // The task's next pass finds it over.
    port::control::AdvanceTime(10);
    mTasks.Update(0);
    EXPECT_TRUE(mScript->IsStopped());
    EXPECT_THAT(mLog.Messages(), ElementsAre("lua_resume ERROR: gone",
                                             "lua_resume ERROR: cannot resume dead coroutine"));
}

TEST(WindowManagerTest, HoldsTheWindowScript) {
    EXPECT_EQ(TWindowManager::Get(), nullptr);
    {
        TWindowManager manager;
        EXPECT_EQ(TWindowManager::Get(), &manager);
        EXPECT_EQ(manager.GetScript(), nullptr);
        auto* script = new TWindowScript;
        manager.SetScript(script);
        EXPECT_EQ(TWindowManager::Get()->GetScript(), script);
        EXPECT_EQ(TScript::FromState(script->GetState()), script);
    }
    EXPECT_EQ(TWindowManager::Get(), nullptr);
}

}  // namespace
