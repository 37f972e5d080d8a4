#include <gtest/gtest.h>

#include <string>

#include "luascript.h"

namespace {

using CoroutineTest = LuaScriptTest;

TEST_F(CoroutineTest, ResumeAndYield) {
    const LuaCase cases[] = {
        {"local co = coroutine.create(function(a, b)\n"
         "  local c = coroutine.yield(a + b)\n"
         "  local d, e = coroutine.yield(c * 2)\n"
         "  return d + e\n"
         "end)\n"
         "local ok1, v1 = coroutine.resume(co, 1, 2)\n"
         "local ok2, v2 = coroutine.resume(co, 10)\n"
         "local ok3, v3 = coroutine.resume(co, 3, 4)\n"
         "return v1, v2, v3, coroutine.status(co)",
         "3, 20, 7, dead"},
        // Yields from Lua functions nested inside the coroutine.
        {"local function deep(n) if n == 0 then return coroutine.yield('bottom') end\n"
         "  return deep(n - 1) + 1 end\n"
         "local co = coroutine.create(function() return deep(3000) end)\n"
         "local ok, v = coroutine.resume(co)\n"
         "local ok2, w = coroutine.resume(co, 0)\n"
         "return v, w, coroutine.status(co)",
         "bottom, 3000, dead"},
        {"local gen = coroutine.wrap(function() for i = 1, 3 do coroutine.yield(i) end end)\n"
         "return gen(), gen(), gen()",
         "1, 2, 3"},
        {"local co = coroutine.create(function() end)\n"
         "coroutine.resume(co)\n"
         "return coroutine.resume(co)",
         "false, cannot resume dead coroutine"},
        {"local co\n"
         "co = coroutine.create(function() return coroutine.resume(co) end)\n"
         "return coroutine.resume(co)",
         "true, false, cannot resume non-suspended coroutine"},
        {"local co = coroutine.create(function() return coroutine.status(co) end) return "
         "coroutine.status(co)",
         "suspended"},
        {"local co = coroutine.create(function() error('inside') end)\n"
         "local ok, msg = coroutine.resume(co)\n"
         "return ok, msg, coroutine.status(co)",
         "false, test:1: inside, dead"},
        {"local f = coroutine.wrap(function() error({}) end) return pcall(f)", "false, table"},
        // Native boundaries stop a yield.
        {"local t = setmetatable({}, {__index = function() coroutine.yield() end})\n"
         "local co = coroutine.create(function() return t.x end)\n"
         "return coroutine.resume(co)",
         "false, attempt to yield across metamethod/C-call boundary"},
        {"local co = coroutine.create(function() return pcall(coroutine.yield) end)\n"
         "return coroutine.resume(co)",
         "true, false, attempt to yield across metamethod/C-call boundary"},
        {"local co = coroutine.create(function()\n"
         "  for k in function() coroutine.yield() end do end end)\n"
         "return coroutine.resume(co)",
         "false, attempt to yield across metamethod/C-call boundary"},
        {"return coroutine.yield()", "error: attempt to yield across metamethod/C-call boundary"},
        {"local co = coroutine.create(print)",
         "error: test:1: bad argument #1 to `create' (Lua function expected)"},
        {"local ok = coroutine.resume(1)",
         "error: test:1: bad argument #1 to `resume' (coroutine expected)"},
        // Each resume from inside a coroutine counts as a nested native call.
        {"local function nest(n) if n == 0 then return 'deep' end\n"
         "  local co = coroutine.create(nest)\n"
         "  local ok, v = coroutine.resume(co, n - 1)\n"
         "  return v end\n"
         "return nest(50), nest(300)",
         "deep, C stack overflow"},
    };
    ExpectRuns(cases);
}

// A wrapped coroutine's error is raised again at the call of the wrapping function: a string
// (or number) message gains the caller's position in front, other values pass unchanged.
TEST_F(CoroutineTest, WrapErrorGainsCallerPosition) {
    const LuaCase cases[] = {
        {"local w = coroutine.wrap(function() error('boom') end)\n"
         "return pcall(function() w() end)",
         "false, test:2: test:1: boom"},
        {"local w = coroutine.wrap(function() end)\n"
         "w()\n"
         "return pcall(function()\n"
         "  w()\n"
         "end)",
         "false, test:4: cannot resume dead coroutine"},
        {"local w = coroutine.wrap(function() error('plain', 0) end)\n"
         "return pcall(function() w() end)",
         "false, test:2: plain"},
        {"local w = coroutine.wrap(function() error(42) end)\n"
         "return pcall(function() w() end)",
         "false, test:2: test:1: 42"},
        {"local w = coroutine.wrap(function() error(L\"wide\") end)\n"
         "return pcall(function() w() end)",
         "false, L\"test:2: test:1: wide\""},
        {"local w = coroutine.wrap(function() error({}) end)\n"
         "return pcall(function() w() end)",
         "false, table"},
        {"local w = coroutine.wrap(function() error(true) end)\n"
         "return pcall(function() w() end)",
         "false, true"},
        {"local w = coroutine.wrap(function() error(nil) end)\n"
         "return pcall(function() w() end)",
         "false, nil"},
        // Called straight from a native function there is no position to add.
        {"local w = coroutine.wrap(function() error('boom') end) return pcall(w)",
         "false, test:1: boom"},
        // Each wrapping level adds the position of its own call.
        {"local inner = coroutine.wrap(function() error('deep') end)\n"
         "local outer = coroutine.wrap(function() inner() end)\n"
         "return pcall(function() outer() end)",
         "false, test:3: test:2: test:1: deep"},
        // A run-time error inside the coroutine, and the values a caught one leaves.
        {"local w = coroutine.wrap(function() local t = nil; return t.x end)\n"
         "local ok, e = pcall(function() return w() end)\n"
         "return e",
         "test:2: test:1: attempt to index local `t' (a nil value)"},
    };
    ExpectRuns(cases);
}

// The script host runs a script's coroutine on the state's own main thread.
class MainStateCoroutineTest : public LuaScriptTest {
protected:
    // Runs code for one result, a function, and starts it with lua_resume on the main state.
    int Start(const char* code) {
        EXPECT_EQ(luaL_loadbuffer(L, code, strlen(code), "=script"), 0);
        EXPECT_EQ(lua_pcall(L, 0, 1, 0), 0);
        EXPECT_TRUE(lua_isfunction(L, -1));
        return lua_resume(L, 0);
    }

    std::string Global(const char* name) { return LuaGlobalText(L, name); }
};

TEST_F(MainStateCoroutineTest, RunsUntilItsYieldsAndEnds) {
    EXPECT_FALSE(lua_isyielded(L));
    ASSERT_EQ(Start("return function()\n"
                    "  step = 1\n"
                    "  local got = coroutine.yield('waiting')\n"
                    "  step = got\n"
                    "  coroutine.yield()\n"
                    "  step = 'done'\n"
                    "end"),
              0);
    EXPECT_TRUE(lua_isyielded(L));
    EXPECT_EQ(Global("step"), "1");
    ASSERT_EQ(lua_gettop(L), 1);  // the value it yielded
    EXPECT_EQ(LuaValueText(L, 1), "waiting");
    lua_settop(L, 0);

    lua_pushstring(L, "two");
    EXPECT_EQ(lua_resume(L, 1), 0);
    EXPECT_TRUE(lua_isyielded(L));
    EXPECT_EQ(Global("step"), "two");

    EXPECT_EQ(lua_resume(L, 0), 0);
    EXPECT_FALSE(lua_isyielded(L));
    EXPECT_EQ(Global("step"), "done");
}

TEST_F(MainStateCoroutineTest, NativeCallsWhileSuspended) {
    ASSERT_EQ(Start("return function()\n"
                    "  local before = shared\n"
                    "  coroutine.yield()\n"
                    "  result = tostring(before) .. '+' .. shared\n"
                    "end"),
              0);
    ASSERT_TRUE(lua_isyielded(L));
    // Text and functions run on the waiting state, each in frames of its own.
    lua_settop(L, 0);
    EXPECT_EQ(lua_dostring(L, "shared = 'b'"), 0);
    EXPECT_EQ(Run("local t = {} for i = 1, 10 do t[i] = i end return t[10]"), "10");
    lua_pushcfunction(L, [](lua_State* L) -> int {
        lua_pushliteral(L, "from C");
        return 1;
    });
    EXPECT_EQ(lua_pcall(L, 0, 1, 0), 0);
    EXPECT_EQ(LuaValueText(L, -1), "from C");
    lua_settop(L, 0);
    // A failure or a yield in such a call stays there.
    EXPECT_EQ(Run("error('no')"), "error: test:1: no");
    EXPECT_EQ(Run("coroutine.yield()"),
              "error: attempt to yield across metamethod/C-call boundary");
    EXPECT_TRUE(lua_isyielded(L));

    EXPECT_EQ(lua_resume(L, 0), 0) << LuaValueText(L, -1);
    EXPECT_FALSE(lua_isyielded(L));
    EXPECT_EQ(Global("result"), "nil+b");
}

TEST_F(MainStateCoroutineTest, FailureEndsTheCoroutine) {
    ASSERT_EQ(Start("return function() coroutine.yield() error('broken') end"), 0);
    ASSERT_TRUE(lua_isyielded(L));
    EXPECT_EQ(lua_resume(L, 0), LUA_ERRRUN);
    EXPECT_EQ(LuaValueText(L, -1), "script:1: broken");
    EXPECT_FALSE(lua_isyielded(L));
    lua_settop(L, 0);
    EXPECT_EQ(lua_resume(L, 0), LUA_ERRRUN);
    EXPECT_EQ(LuaValueText(L, -1), "cannot resume dead coroutine");
    lua_settop(L, 0);
    EXPECT_EQ(Run("return 1 + 1"), "2");
}

TEST_F(MainStateCoroutineTest, ResumingARunningStateIsRefused) {
    lua_pushcfunction(L, [](lua_State* L) -> int {
        lua_pushnil(L);
        lua_pushnil(L);
        int status = lua_resume(L, 0);
        lua_pushnumber(L, status);
        return 2;
    });
    ASSERT_EQ(lua_pcall(L, 0, 2, 0), 0);
    EXPECT_EQ(LuaValueText(L, -2), "cannot resume non-suspended coroutine");
    EXPECT_EQ(LuaValueText(L, -1), "1");
}

TEST_F(MainStateCoroutineTest, NativeFunctionsThatYield) {
    // A native function called from Lua may yield; its resume values become its results.
    lua_register(L, "wait", [](lua_State* L) -> int { return lua_yield(L, lua_gettop(L)); });
    ASSERT_EQ(Start("return function() local a, b = wait('w') got = a .. b end"), 0);
    EXPECT_EQ(LuaValueText(L, -1), "w");
    lua_settop(L, 0);
    lua_pushliteral(L, "x");
    lua_pushliteral(L, "y");
    EXPECT_EQ(lua_resume(L, 2), 0);
    EXPECT_EQ(Global("got"), "xy");

    // One that is itself the coroutine's function cannot.
    lua_State* co = lua_newthread(L);
    lua_pushcfunction(co, [](lua_State* L) -> int { return lua_yield(L, 0); });
    EXPECT_EQ(lua_resume(co, 0), LUA_ERRRUN);
    EXPECT_EQ(LuaValueText(co, -1), "cannot yield a C function");
}

}  // namespace
