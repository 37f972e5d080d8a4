#include <gtest/gtest.h>

#include <string>

#include "luascript.h"

namespace {

using BaseLibTest = LuaScriptTest;

TEST_F(BaseLibTest, Functions) {
    const LuaCase cases[] = {
        {"return _VERSION, _G == getfenv(0), _G._G == _G", "Lua 5.0.2, true, true"},
        {"return type(_LOADED), type(coroutine), type(newproxy)", "table, table, function"},
        {"return type(loadfile), type(dofile), type(require)", "function, function, function"},
        {"return type(nil), type(1), type(L\"w\"), type(print), type(newproxy())",
         "nil, number, wstring, function, userdata"},
        {"return tostring(nil), tostring(true), tostring(12), tostring('s'), tostring(1e15)",
         "nil, true, 12, s, 1e+15"},
        {"return tostring(L\"a\\x263A\"), tostring(L\"\")", "a:, "},
        {"return string.sub(tostring({}), 1, 9), string.sub(tostring(print), 1, 10)",
         "table: 0x, function: "},
        {"local t = setmetatable({}, {__tostring = function() return 'T' end}) return tostring(t)",
         "T"},
        {"return towstring(nil), towstring(12), towstring('a\\128'), towstring(L\"w\")",
         "nil, L\"12\", L\"a\\x{ff80}\", L\"w\""},
        {"return type(towstring(nil)), towstring('')", "string, L\"\""},
        {"local w = towstring(true)",
         "error: test:1: bad argument #1 to `towstring' (value expected)"},
        {"local w = towstring()", "error: test:1: bad argument #1 to `towstring' (value expected)"},
        {"return tostring(towstring('\\128'))", "\x80"},
        {"return tonumber('10'), tonumber(' 0x10 '), tonumber('1e1'), tonumber('x'), tonumber({})",
         "10, nil, 10, nil, nil"},
        {"return tonumber(L\"12\"), tonumber(L\"0x1F\")", "12, 31"},
        {"return tonumber('ff', 16), tonumber(L\"ff\", 16), tonumber('z', 36), tonumber('777', 8)",
         "255, 255, 35, 511"},
        {"return tonumber('  11  ', 2), tonumber('12', 2), tonumber('', 16), tonumber('0x1f', 16)",
         "3, nil, nil, 31"},
        {"return tonumber('-1', 16), tonumber('ffffffffff', 16)", "4294967295, 4294967295"},
        {"return tonumber(L\""
         "1111111111111111111111111111111111111111111111111"
         "111111111111111111111111111111111111111111111111111\", 2)",
         "nil"},
        {"local n = tonumber('1', 1)",
         "error: test:1: bad argument #2 to `tonumber' (base out of range)"},
        {"return getmetatable(1) == getmetatable(2), getmetatable('a') ~= getmetatable(1)",
         "true, true"},
        {"return type(getmetatable(print)), type(getmetatable(true)), getmetatable(nil)",
         "table, table, nil"},
        {"return getmetatable({}) == getmetatable({}), getmetatable({}) ~= getmetatable(1)",
         "true, true"},
        {"local t = setmetatable({}, {__metatable = 'locked'}) return getmetatable(t)", "locked"},
        {"local t = setmetatable({}, {__metatable = 1}) setmetatable(t, {})",
         "error: test:1: cannot change a protected metatable"},
        {"local t = setmetatable(1, {})",
         "error: test:1: bad argument #1 to `setmetatable' (table expected, got number)"},
        {"local t = {} t = setmetatable(t, 5)",
         "error: test:1: bad argument #2 to `setmetatable' (nil or table expected)"},
        // A native function called in tail position still has its caller's frame, so it is named.
        {"return setmetatable(1, {})",
         "error: test:1: bad argument #1 to `setmetatable' (table expected, got number)"},
        {"local s = 'x' return s:rep({})",
         "error: test:1: bad argument #1 to `rep' (number expected, got table)"},
        {"local t = {} return rawequal(t, t), rawequal(t, {}), rawget({5}, 1)", "true, false, 5"},
        {"local t = setmetatable({}, {__newindex = function() end}) rawset(t, 'k', 1) return t.k",
         "1"},
        {"return unpack({1, 2, nil, 4})", "1, 2"},
        {"return unpack({n = 3, 1})", "1, nil, nil"},
        {"return pcall(error, 'm', 0)", "false, m"},
        {"local function f() error('m', 2) end\nlocal ok, e = pcall(function()\nf()\nend)\n"
         "return e",
         "test:3: m"},
        {"return pcall(error, L\"wide\")", "false, L\"wide\""},
        {"local ok, e = pcall(function() error(L\"wide\") end) return e", "L\"test:1: wide\""},
        {"return xpcall(function() error('x') end, function(m) return 'handled ' .. m end)",
         "false, handled test:1: x"},
        {"return xpcall(function() return 1, 2 end, print)", "true, 1, 2"},
        {"return assert(1, 2)", "1"},
        {"assert(false)", "error: test:1: assertion failed!"},
        {"assert(nil, 'why')", "error: test:1: why"},
        {"return loadstring('return 1 + 1')()", "2"},
        {"return loadstring('x = ', 'chunk')",
         "nil, [string \"chunk\"]:1: unexpected symbol near `<eof>'"},
        {"local n = 0 for k, v in pairs({a = 1, b = 2, 3}) do n = n + v end return n", "6"},
        {"return next({}), next({7})", "nil, 1, 7"},
        {"return next({}, 'x')", "error: invalid key for `next'"},
        {"local s = 0 for i, v in ipairs({1, 2, nil, 4}) do s = s + v end return s", "3"},
        {"x = 1 local function f() return x end setfenv(f, {x = 2}) return f(), x", "2, 1"},
        {"local function f() return getfenv(1) end return f() == _G", "true"},
        {"local e = {__fenv = 'no'} local function f() end setfenv(f, e) return getfenv(f)", "no"},
        {"local function f() end setfenv(f, {__fenv = 1}) setfenv(f, {})",
         "error: test:1: `setfenv' cannot change a protected environment"},
        {"setfenv(print, {})",
         "error: test:1: `setfenv' cannot change environment of given function"},
        {"local e = getfenv(-1)",
         "error: test:1: bad argument #1 to `getfenv' (level must be non-negative)"},
        {"local e = getfenv(50)", "error: test:1: bad argument #1 to `getfenv' (invalid level)"},
        {"local k, t = gcinfo() collectgarbage() local k2 = gcinfo() return k2 <= k + 1", "true"},
        {"local p = newproxy(true) local q = newproxy(p) return getmetatable(p) == getmetatable(q)",
         "true"},
        {"local p = newproxy({})",
         "error: test:1: bad argument #1 to `newproxy' (boolean or proxy expected)"},
        // An argument error in a method call does not count the receiver.
        {"local n = 5 getmetatable(n).next = next local x = n:next()",
         "error: test:1: calling `next' on bad self (table expected, got number)"},
        {"local t = {} t.rawget = rawget local x = t:rawget()",
         "error: test:1: bad argument #1 to `rawget' (value expected)"},
        {"print(setmetatable({}, {__tostring = function() return {} end}))",
         "error: test:1: `tostring' must return a string to `print'"},
    };
    ExpectRuns(cases);
}

TEST(BaseLibOnlyTest, PerTypeMetatablesAreRegistered) {
    // The base library alone: the string library replaces the metatable of strings later.
    lua_State* L = lua_open();
    luaopen_base(L);
    const char* names[] = {nullptr,  "_boolean",  "_lightuserdata", "_number", "_string",
                           "_table", "_function", "_userdata",      "_thread", "_wstring"};
    for (int type = LUA_TBOOLEAN; type <= LUA_TWSTRING; type++) {
        lua_pushstring(L, names[type]);
        lua_rawget(L, LUA_REGISTRYINDEX);
        lua_pushtypemetatable(L, type);
        EXPECT_TRUE(lua_istable(L, -1)) << names[type];
        EXPECT_TRUE(lua_rawequal(L, -1, -2)) << names[type];
        lua_pop(L, 2);
    }
    lua_pushliteral(L, "_nil");
    lua_rawget(L, LUA_REGISTRYINDEX);
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_close(L);
}

TEST_F(BaseLibTest, PrintWritesWideStringsAsUtf8) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(Run("print(1, 'a\\0b', nil, L\"\\x263A\\xD83D\\xDE00\\xD800!\", true) print()"), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              std::string("1\ta\0b\tnil\t\xE2\x98\xBA\xF0\x9F\x98\x80\xEF\xBF\xBD!\ttrue\n\n", 28));
    testing::internal::CaptureStdout();
    EXPECT_EQ(Run("towstring = function() return 'narrow' end print(L\"w\")"),
              "error: test:1: `tostring' must return a string to `print'");
    testing::internal::GetCapturedStdout();
}

TEST_F(BaseLibTest, DoStringReportsThroughAlert) {
    EXPECT_EQ(lua_dostring(L, "x = 1"), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(lua_dostring(L, "error('loud')"), LUA_ERRRUN);
    EXPECT_EQ(lua_dostring(L, "x ="), LUA_ERRSYNTAX);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[string \"error('loud')\"]:1: loud\n[string \"x =\"]:1: unexpected symbol near "
              "`<eof>'\n");
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_EQ(Run("function _ALERT(m) alerted = m end"), "");
    EXPECT_EQ(lua_dostring(L, "error('quiet')"), LUA_ERRRUN);
    EXPECT_EQ(Run("return alerted"), "[string \"error('quiet')\"]:1: quiet");
    EXPECT_EQ(lua_gettop(L), 0);
    // Results of a chunk that ran stay on the stack.
    EXPECT_EQ(lua_dobuffer(L, "return 1, 2", 11, "=buf"), 0);
    EXPECT_EQ(lua_gettop(L), 2);
}

TEST_F(BaseLibTest, Buffers) {
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    std::string expected;
    for (int i = 0; i < 3000; i++) {
        char c = static_cast<char>('a' + i % 26);
        luaL_putchar(&b, c);
        expected += c;
        if (i % 700 == 0) {
            lua_pushliteral(L, "<v>");
            luaL_addvalue(&b);
            expected += "<v>";
        }
    }
    luaL_addstring(&b, "end");
    luaL_pushresult(&b);
    EXPECT_EQ(LuaValueText(L, -1), expected + "end");
    lua_settop(L, 0);

    luaL_wbuffinit(L, &b);
    luaL_pushresult(&b);
    EXPECT_EQ(LuaValueText(L, -1), "L\"\"");
    lua_settop(L, 0);

    luaL_wbuffinit(L, &b);
    std::u16string units;
    for (int i = 0; i < 1000; i++)
        units += static_cast<char16_t>(0x4E00 + i);
    luaL_addlwstring(&b, units.data(), units.size());
    lua_pushlwstring(L, u"!", 1);
    luaL_addvalue(&b);
    lua_pushnumber(L, 2.5);  // a number joins a wide buffer as its wide text
    luaL_addvalue(&b);
    luaL_pushresult(&b);
    ASSERT_EQ(lua_type(L, -1), LUA_TWSTRING);
    EXPECT_EQ(std::u16string(lua_towstring(L, -1), lua_strlen(L, -1)), units + u"!2.5");
    lua_settop(L, 0);

    luaL_wbuffinit(L, &b);
    luaL_addlwstring(&b, u"n=", 2);
    lua_pushnumber(L, 12);
    luaL_addvalue(&b);
    luaL_pushresult(&b);
    ASSERT_EQ(lua_type(L, -1), LUA_TWSTRING);
    EXPECT_EQ(std::u16string(lua_towstring(L, -1), lua_strlen(L, -1)), u"n=12");
}

TEST_F(BaseLibTest, CheckWideString) {
    lua_register(L, "wlen", [](lua_State* L) -> int {
        size_t len;
        luaL_checkwstring(L, 1, &len);
        lua_pushnumber(L, static_cast<lua_Number>(len));
        return 1;
    });
    EXPECT_EQ(Run("return wlen(L\"abc\"), wlen(12.5)"), "3, 4");
    EXPECT_EQ(Run("local n = wlen('abc')"),
              "error: test:1: bad argument #1 to `wlen' (wstring expected, got string)");
}

TEST_F(BaseLibTest, ReferencesAndSizes) {
    lua_newtable(L);
    lua_pushliteral(L, "a");
    int ra = luaL_ref(L, 1);
    lua_pushliteral(L, "b");
    int rb = luaL_ref(L, 1);
    lua_pushnil(L);
    EXPECT_EQ(luaL_ref(L, 1), LUA_REFNIL);
    EXPECT_GT(ra, 2);  // the first slots are the library's own
    EXPECT_NE(ra, rb);
    lua_rawgeti(L, 1, rb);
    EXPECT_EQ(LuaValueText(L, -1), "b");
    lua_pop(L, 1);
    luaL_unref(L, 1, ra);
    lua_pushliteral(L, "c");
    EXPECT_EQ(luaL_ref(L, 1), ra);  // a freed reference is used again
    lua_settop(L, 0);

    EXPECT_EQ(Run("return 1"), "1");
    lua_newtable(L);
    EXPECT_EQ(luaL_getn(L, 1), 0);
    luaL_setn(L, 1, 7);
    EXPECT_EQ(luaL_getn(L, 1), 7);
    lua_pushliteral(L, "n");
    lua_pushnumber(L, 3);
    lua_rawset(L, 1);
    EXPECT_EQ(luaL_getn(L, 1), 3);  // a numeric field "n" comes first
    luaL_setn(L, 1, 9);
    lua_pushliteral(L, "n");
    lua_rawget(L, 1);
    EXPECT_EQ(LuaValueText(L, -1), "9");
}

}  // namespace
