#include "script/script.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/task/taskmanager.h"
#include "luascript.h"
#include "port/control.h"
#include "script/luaobjectwrapper.h"
#include "support/logcapture.h"
#include "support/printers.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ScriptHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::UseFakeClock(true);
        port::control::SetTime(5000);
        mScript = new TScript;
        mTasks.AddTask(mScript);  // the task manager owns it, as the program's does
        L = mScript->GetState();
    }

    std::string Global(const char* name) { return LuaGlobalText(L, name); }
    void Pass() {
        port::control::AdvanceTime(10);
        mTasks.Update(0);
    }
    std::vector<std::string> Log() const { return mLog.Messages(); }

    testing_support::LogCapture mLog;
    TTaskManager mTasks;
    TScript* mScript = nullptr;
    lua_State* L = nullptr;
};

TEST_F(ScriptHostTest, NewScriptHasItsGlobalsAndIsAStoppedTask) {
    EXPECT_TRUE(mScript->IsStopped());
    EXPECT_EQ(Global("_SCRIPT"), "userdata");
    EXPECT_EQ(Global("_ALERT"), "function");
    EXPECT_EQ(Global("DebugOut"), "function");
    EXPECT_EQ(Global("toparams"), "function");
    EXPECT_EQ(Global("DumpTable"), "function");
    EXPECT_EQ(Global("_Internal_DumpTable"), "function");
    EXPECT_EQ(Global("_Internal_DumpEntry"), "function");
    EXPECT_EQ(Global("GetClosure"), "nil");
    EXPECT_EQ(Global("coroutine"), "table");
    EXPECT_EQ(Global("string"), "table");
    EXPECT_EQ(Global("table"), "table");
    EXPECT_EQ(RunLuaChunk(L, "return math, io, os, debug, loadlib"), "nil, nil, nil, nil, nil");
    EXPECT_EQ(TScript::GetSearchPath(), str("assets/?;?;../?;../../?"));
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_THAT(Log(), IsEmpty());

    // A state handed in: no "_SCRIPT", and no script behind it; the script still closes it.
    TScript given(lua_open());
    EXPECT_EQ(RunLuaChunk(given.GetState(), "return _SCRIPT, type(_ALERT)"), "nil, function");
    EXPECT_EQ(TScript::FromState(given.GetState()), nullptr);
}

TEST_F(ScriptHostTest, ReturnedFunctionRunsAsCoroutineAcrossPasses) {
    mScript->DoLuaString(
        "steps = 0 return function() for i = 1, 3 do steps = i coroutine.yield(i) end "
        "steps = 'done' return 'a', 'b' end");
    EXPECT_TRUE(mScript->IsYielded());
    EXPECT_FALSE(mScript->IsStopped());
    EXPECT_EQ(mScript->GetPeriod(), 0u);
    EXPECT_EQ(Global("steps"), "1");
    EXPECT_EQ(lua_gettop(L), 0);

    Pass();
    EXPECT_EQ(Global("steps"), "2");
    Pass();
    EXPECT_EQ(Global("steps"), "3");
    EXPECT_TRUE(mScript->IsYielded());
    Pass();
    EXPECT_EQ(Global("steps"), "done");
    EXPECT_FALSE(mScript->IsYielded());
    EXPECT_TRUE(mScript->IsStopped());
    EXPECT_EQ(lua_gettop(L), 0);  // what it returned is gone
    Pass();
    EXPECT_THAT(Log(), IsEmpty());

    // The state is usable, and a new coroutine starts the task again.
    mScript->DoLuaString("return function() coroutine.yield() steps = 'again' end");
    EXPECT_FALSE(mScript->IsStopped());
    Pass();
    EXPECT_EQ(Global("steps"), "again");
    EXPECT_TRUE(mScript->IsStopped());
}

TEST_F(ScriptHostTest, CoroutineFailures) {
    ASSERT_EQ(RunLuaChunk(L,
                          "function late() coroutine.yield() error('late') end\n"
                          "function early() error('early') end"),
              "");
    // Failing on a later pass: logged, and the task stops.
    mScript->DoLuaString("return late");
    ASSERT_TRUE(mScript->IsYielded());
    Pass();
    EXPECT_TRUE(mScript->IsStopped());
    EXPECT_THAT(Log(), ElementsAre("lua_resume ERROR: test:1: late"));
    EXPECT_EQ(lua_gettop(L), 0);

    // Failing before its first yield: the task was started, and its next pass finds the
    // coroutine over.
    mLog.Clear();
    mScript->DoLuaString("return early");
    EXPECT_THAT(Log(), ElementsAre("lua_resume error: test:2: early"));
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_FALSE(mScript->IsStopped());
    Pass();
    EXPECT_TRUE(mScript->IsStopped());
    EXPECT_THAT(Log(), ElementsAre("lua_resume error: test:2: early",
                                   "lua_resume ERROR: cannot resume dead coroutine"));
    Pass();
    EXPECT_EQ(Log().size(), 2u);

    // Ending before its first yield, the same way.
    mLog.Clear();
    mScript->DoLuaString("return function() ended = true end");
    EXPECT_EQ(Global("ended"), "true");
    EXPECT_FALSE(mScript->IsStopped());
    EXPECT_THAT(Log(), IsEmpty());
    Pass();
    EXPECT_TRUE(mScript->IsStopped());
    EXPECT_THAT(Log(), ElementsAre("lua_resume ERROR: cannot resume dead coroutine"));
    EXPECT_EQ(lua_gettop(L), 0);

    // Resuming with nothing waiting.
    mLog.Clear();
    EXPECT_EQ(mScript->Resume(0), LUA_ERRRUN);
    EXPECT_THAT(Log(), ElementsAre("lua_resume ERROR: cannot resume dead coroutine"));
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptHostTest, FunctionReturnedInsideACallCannotStart) {
    // While a native function runs on the state, the state is a running coroutine that cannot
    // be resumed: the failure is logged, the task started, and the function stays the result.
    lua_register(L, "Inner", [](lua_State* L) -> int {
        TScript* script = TScript::FromState(L);
        lua_pushliteral(L, "return function() coroutine.yield() end");
        luaL_loadbuffer(L, lua_tostring(L, -1), lua_strlen(L, -1), "=inner");
        lua_remove(L, -2);
        int status = script->RunFunction(0, 1);
        lua_pushnumber(L, status);
        return 2;
    });
    EXPECT_EQ(RunLuaChunk(L, "return Inner()"), "function, 0");
    EXPECT_FALSE(mScript->IsYielded());
    EXPECT_THAT(Log(), ElementsAre("lua_resume error: cannot resume non-suspended coroutine"));
    EXPECT_FALSE(mScript->IsStopped());
    Pass();
    EXPECT_TRUE(mScript->IsStopped());
    EXPECT_THAT(Log(), ElementsAre("lua_resume error: cannot resume non-suspended coroutine",
                                   "lua_resume ERROR: cannot resume dead coroutine"));
    EXPECT_EQ(lua_gettop(L), 0);

    // Inside the running coroutine: it goes on, with its task.
    mLog.Clear();
    mScript->DoLuaString("return function() got = Inner() coroutine.yield() done = true end");
    EXPECT_EQ(Global("got"), "function");
    EXPECT_TRUE(mScript->IsYielded());
    Pass();
    EXPECT_EQ(Global("done"), "true");
    EXPECT_TRUE(mScript->IsStopped());
    EXPECT_THAT(Log(), ElementsAre("lua_resume error: cannot resume non-suspended coroutine"));
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptHostTest, ResumeOnlyAWaitingCoroutine) {
    // Nothing waits: a function on the stack is not started, the values are dropped.
    lua_pushliteral(L, "below");
    ASSERT_EQ(RunLuaChunk(L, "function start() started = true end"), "");
    lua_pushliteral(L, "start");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushnumber(L, 1);
    EXPECT_EQ(mScript->Resume(1), LUA_ERRRUN);
    EXPECT_EQ(lua_gettop(L), 2);
    EXPECT_EQ(Global("started"), "nil");

    // From inside a call running on the state: that call keeps its stack.
    lua_settop(L, 0);
    lua_register(L, "ResumeInside", [](lua_State* L) -> int {
        lua_pushliteral(L, "mine");
        int status = TScript::FromState(L)->Resume(0);
        lua_pushnumber(L, status);
        return lua_gettop(L);
    });
    EXPECT_EQ(RunLuaChunk(L, "return ResumeInside('arg')"), "arg, mine, 1");
    EXPECT_THAT(Log(), ElementsAre("lua_resume ERROR: cannot resume dead coroutine",
                                   "lua_resume ERROR: cannot resume non-suspended coroutine"));
}

TEST_F(ScriptHostTest, ClosureOfAFunctionRunWhileTheScriptWaits) {
    mScript->DoLuaString("return function() coroutine.yield() end");
    ASSERT_TRUE(mScript->IsYielded());
    ASSERT_EQ(RunLuaChunk(L,
                          "function record(...) count = arg.n "
                          "seen = '' for i = 1, arg.n do seen = seen .. tostring(arg[i]) end end"),
              "");
    const int height = lua_gettop(L);
    struct Case {
        int args;
        const char* seen;
    };
    // Whatever it is given, the function gets six arguments through the closure.
    const Case cases[] = {
        {8, "123456"}, {6, "123456"}, {2, "12nilnilnilnil"}, {0, "nilnilnilnilnilnil"}};
    for (const Case& c : cases) {
        lua_pushliteral(L, "record");
        lua_gettable(L, LUA_GLOBALSINDEX);
        for (int i = 1; i <= c.args; ++i)
            lua_pushnumber(L, i);
        EXPECT_EQ(mScript->RunFunction(c.args, 0), 0);
        EXPECT_EQ(Global("count"), "6") << c.args;
        EXPECT_EQ(Global("seen"), c.seen) << c.args;
        EXPECT_EQ(lua_gettop(L), height) << c.args;
    }
    EXPECT_EQ(Global("GetClosure"), "function");
    EXPECT_TRUE(mScript->IsYielded());  // this script never takes commands
    EXPECT_THAT(Log(), IsEmpty());

    // A result asked for: the closure's, as it runs directly here.
    mScript->DoLuaString("return 5", -1, 1);
    ASSERT_EQ(lua_gettop(L), height + 1);
    EXPECT_EQ(LuaValueText(L, -1), "5");
    lua_settop(L, height);

    // More results than one: run on the waiting state directly.
    mScript->DoLuaString("return 1, 2", -1, 2);
    ASSERT_EQ(lua_gettop(L), height + 2);
    EXPECT_EQ(LuaValueText(L, -1), "2");
    lua_settop(L, height);
}

TEST_F(ScriptHostTest, ErrorsInDoLuaString) {
    mScript->DoLuaString("function LuaErrorMessage(m) reported = m end");
    lua_pushliteral(L, "below");

    // A run-time error is logged by "_ALERT"; its value is then nil, so nothing else happens.
    mScript->DoLuaString("error('broken')");
    EXPECT_THAT(Log(), ElementsAre("Lua error: [string \"error('broken')\"]:1: broken"));
    EXPECT_EQ(Global("reported"), "nil");
    EXPECT_EQ(lua_gettop(L), 1);

    // A syntax error is logged with its stage and reaches "LuaErrorMessage".
    mLog.Clear();
    mScript->DoLuaString("x = = 1");
    const std::string message =
        "Lua Error: [string \"x = = 1\"]:1: unexpected symbol near `='\n"
        "\twhen parsing";
    EXPECT_THAT(Log(), ElementsAre("DoLuaString " + message + " x = = 1"));
    EXPECT_EQ(Global("reported"), message);
    EXPECT_EQ(lua_gettop(L), 1);

    // Error values that are not strings are named by their type.
    mLog.Clear();
    mScript->DoLuaString("error({})");
    mScript->DoLuaString("error(nil)");
    mScript->DoLuaString("error(42, 0)");
    mScript->DoLuaString("error(L\"wide\")");
    mScript->DoLuaString("error(print)");
    EXPECT_THAT(Log(), ElementsAre("Lua error: (error object is a table value)",
                                   "Lua error: (error object is a nil value)", "Lua error: 42",
                                   "Lua error: (error object is a wstring value)",
                                   "Lua error: (error object is a function value)"));
    EXPECT_EQ(lua_gettop(L), 1);

    // An error inside "LuaErrorMessage" itself is logged, and the program goes on.
    mLog.Clear();
    mScript->DoLuaString("function LuaErrorMessage(m) error('again', 0) end");
    mScript->DoLuaString("(");
    std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1], "Lua error: again");
    EXPECT_EQ(lua_gettop(L), 1);
    EXPECT_EQ(LuaValueText(L, 1), "below");

    // Without an error function the run-time error keeps a string value: the stage is "running".
    mLog.Clear();
    mScript->DoLuaString("function LuaErrorMessage(m) reported = m end _ALERT = nil");
    mScript->DoLuaString("error('x')");
    EXPECT_THAT(Log(), ElementsAre("DoLuaString Lua Error: error in error handling\n"
                                   "\twhen running error('x')"));
    EXPECT_EQ(Global("reported"), "Lua Error: error in error handling\n\twhen running");
    EXPECT_EQ(lua_gettop(L), 1);

    // An error function that answers a value makes it the error value: only a string or a
    // number is reported; a wide string is not a text here.
    mLog.Clear();
    mScript->DoLuaString("reported = nil _ALERT = function(e) return L\"wide\" end");
    mScript->DoLuaString("error('x')");
    mScript->DoLuaString("_ALERT = function(e) return 12 end");
    mScript->DoLuaString("error('x')");
    EXPECT_THAT(Log(), ElementsAre("DoLuaString Lua Error: 12\n\twhen running error('x')"));
    EXPECT_EQ(Global("reported"), "Lua Error: 12\n\twhen running");
    EXPECT_EQ(lua_gettop(L), 1);
}

TEST_F(ScriptHostTest, DoLuaStringTextResultsAndPath) {
    mScript->DoLuaString("x = 1 y = 2", 5);
    EXPECT_EQ(Global("x"), "1");
    EXPECT_EQ(Global("y"), "nil");
    EXPECT_EQ(Global("LUA_PATH"), "assets/?;?;../?;../../?");
    mScript->DoLuaString("return 'a', 'b', 'c'", -1, 2);
    ASSERT_EQ(lua_gettop(L), 2);
    EXPECT_EQ(LuaValueText(L, 1), "a");
    EXPECT_EQ(LuaValueText(L, 2), "b");
    lua_settop(L, 0);
    mScript->DoLuaString("z = 3", 99);
    EXPECT_EQ(Global("z"), "3");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptHostTest, FailureWithSeveralResultsAsked) {
    luaL_loadbuffer(L, "error('x', 0)", 13, "=t");
    EXPECT_EQ(mScript->RunFunction(0, 2), LUA_ERRRUN);
    EXPECT_THAT(Log(), ElementsAre("Lua error: x",
                                   "TScript::RunFunction failure. Too many return "
                                   "results? (2, FAILURE CODE 1)"));
    lua_settop(L, 0);
}

TEST_F(ScriptHostTest, ToParams) {
    const LuaCase cases[] = {
        {"return toparams({ n = 3, 'a', [3] = 'c' })", "a, nil, c"},
        {"return toparams({ 'x', 'y' })", "x, y"},
        {"return toparams({ 'a' }, { 'b' })", "b"},  // the last argument
        {"return toparams({ n = -5, 'a' })", ""},
        {"return toparams({ n = 0, 'a' })", ""},
        {"return toparams(nil)", ""},
        {"return toparams()", ""},
        {"return toparams(42)", ""},
        {"return toparams({ n = 100000 })", "error: test:1: too many values for toparams (100000)"},
        {"return toparams({ n = 1e300 })",
         "error: test:1: too many values for toparams (2147483647)"},
    };
    for (const LuaCase& c : cases)
        EXPECT_EQ(RunLuaChunk(L, c.code), c.result) << c.code;
}

TEST_F(ScriptHostTest, PopHelpersAndGlobals) {
    lua_pushliteral(L, "below");
    lua_pushliteral(L, "2.5");
    EXPECT_EQ(mScript->PopNumber(), 2.5);
    lua_newtable(L);
    EXPECT_EQ(mScript->PopNumber(), 0);
    lua_pushnumber(L, 7);
    EXPECT_EQ(mScript->PopString(), str("7"));
    lua_pushboolean(L, 1);
    EXPECT_EQ(mScript->PopString(), str());
    EXPECT_EQ(lua_gettop(L), 1);

    struct Case {
        const char* value;
        TVec4 color;
    };
    const Case cases[] = {
        {"{ 0.5, 0.25 }", {0.5f, 0.25f, 0, 0}},
        {"{ 1, 2, 3, 4, 5 }", {1, 2, 3, 4}},
        {"{ 'x', nil, 0.75, '1' }", {0, 0, 0.75f, 1}},
        {"3", {0, 0, 0, 0}},
        {"nil", {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        std::string code = std::string("return ") + c.value;
        luaL_loadbuffer(L, code.data(), code.size(), "=color");
        lua_pcall(L, 0, 1, 0);
        TVec4 color = mScript->PopColor();
        EXPECT_EQ(color.x, c.color.x) << c.value;
        EXPECT_EQ(color.y, c.color.y) << c.value;
        EXPECT_EQ(color.z, c.color.z) << c.value;
        EXPECT_EQ(color.w, c.color.w) << c.value;
        EXPECT_EQ(lua_gettop(L), 1) << c.value;
    }

    mScript->SetGlobalString("greeting", "hello");
    EXPECT_EQ(Global("greeting"), "hello");
    EXPECT_EQ(lua_gettop(L), 1);
    EXPECT_EQ(LuaValueText(L, 1), "below");
}

TEST_F(ScriptHostTest, PopBoolReadsEachTypeAndLogsTheOthers) {
    struct Case {
        const char* value;
        bool result;
        const char* logged;  // null: nothing
    };
    const Case cases[] = {
        {"nil", false, nullptr},
        {"true", true, nullptr},
        {"false", false, nullptr},
        {"0", false, nullptr},
        {"-0.5", true, nullptr},
        {"0/0", true, nullptr},  // NaN differs from 0
        {"'true'", false, "PopBool used on lua string true"},
        {"{}", false, "PopBool used on a type that isn't a number, a boolean, or nil. (type: 5)"},
        {"print", false,
         "PopBool used on a type that isn't a number, a boolean, or nil. (type: 6)"},
        {"L\"w\"", false,
         "PopBool used on a type that isn't a number, a boolean, or nil. (type: 9)"},
    };
    lua_pushliteral(L, "below");
    for (const Case& c : cases) {
        mLog.Clear();
        std::string code = std::string("return ") + c.value;
        ASSERT_EQ(luaL_loadbuffer(L, code.data(), code.size(), "=bool"), 0) << c.value;
        ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0) << c.value;
        EXPECT_EQ(mScript->PopBool(), c.result) << c.value;
        EXPECT_EQ(lua_gettop(L), 1) << c.value;
        if (c.logged != nullptr) {
            EXPECT_THAT(Log(), ::testing::ElementsAre(c.logged)) << c.value;
        } else {
            EXPECT_THAT(Log(), ::testing::IsEmpty()) << c.value;
        }
    }
    // The state-level form reads the same.
    lua_pushnumber(L, 3);
    EXPECT_TRUE(TScript::PopBool(L));
    EXPECT_EQ(LuaValueText(L, 1), "below");
}

// Counts its deletions.
class CountedWrapper : public TLuaObjectWrapper {
public:
    CountedWrapper(lua_State* L, int* deleted) : TLuaObjectWrapper(L), mDeleted(deleted) {}
    ~CountedWrapper() override { ++*mDeleted; }

private:
    int* mDeleted;
};

TEST_F(ScriptHostTest, TemporariesGoAtTheNextRunOrResume) {
    int deleted = 0;
    mScript->AddTemporary(new CountedWrapper(L, &deleted));
    mScript->AddTemporary(new CountedWrapper(L, &deleted));
    mScript->DoLuaString("return function() coroutine.yield() coroutine.yield() end");
    EXPECT_EQ(deleted, 2);

    mScript->AddTemporary(new CountedWrapper(L, &deleted));
    Pass();
    EXPECT_EQ(deleted, 3);

    int last = 0;
    {
        auto script = std::make_unique<TScript>();
        script->AddTemporary(new CountedWrapper(script->GetState(), &last));
        script->AddTemporary(new CountedWrapper(script->GetState(), &last));
    }
    EXPECT_EQ(last, 2);
}

// Closes the state it holds when deleted.
class StateHolder : public TLuaStateOwner {
public:
    StateHolder(lua_State* L, bool* deleted) : mState(L), mDeleted(deleted) {}
    ~StateHolder() override {
        lua_close(mState);
        *mDeleted = true;
    }

private:
    lua_State* mState;
    bool* mDeleted;
};

TEST_F(ScriptHostTest, StateOwnerIsDeletedInsteadOfClosingTheState) {
    bool deleted = false;
    auto script = std::make_unique<TScript>();
    lua_State* S = script->GetState();
    script->SetStateOwner(std::make_unique<StateHolder>(S, &deleted));
    script.reset();
    EXPECT_TRUE(deleted);
}

}  // namespace
