#include <gtest/gtest.h>

#include <string>

#include "luascript.h"

namespace {

using VmTest = LuaScriptTest;

TEST_F(VmTest, BitOperators) {
    const LuaCase cases[] = {
        {"return 6 & 3", "2"},
        {"return -1 & 255", "255"},
        {"return -1 | 0", "4294967295"},
        {"return 2.9 & 3", "2"},
        {"return -2.9 & 255", "254"},
        {"return 1 << 32", "1"},
        {"return 1 << 33", "2"},
        {"return 1 << -1", "2147483648"},
        {"return 4294967295 >> 31", "1"},
        {"return 4294967296 | 5", "5"},
        {"return 2 ^ 3, 5 ^ 5, (-1) ^ 0, -1 ^ 0", "1, 0, 4294967295, -1"},
        {"return (0/0) & 1, 1e300 | 1, -1e300 | 2", "0, 1, 2"},
        {"return 9223372036854775807 | 0", "0"},  // 2^63 is past the 64-bit range
        {"return -9223372036854775808 | 1", "1"},
        {"local a, b = 12, 10 return a & b, a | b, a ^ b, a << 1, a >> 1", "8, 14, 6, 24, 6"},
        // Nothing converts: a numeric string is refused, and the second operand is blamed
        // when the first one would convert.
        {"return '6' & 3", "error: test:1: attempt to perform arithmetic on a number value"},
        {"local s = 'x' return s | 1",
         "error: test:1: attempt to perform arithmetic on local `s' (a string value)"},
        {"return 1 << {}", "error: test:1: attempt to perform arithmetic on a table value"},
        {"local t = setmetatable({}, {__add = function() return 1 end}) return t & 1",
         "error: test:1: attempt to perform arithmetic on local `t' (a table value)"},
    };
    ExpectRuns(cases);
}

TEST_F(VmTest, PowerOperatorOnValuesThatConvert) {
    EXPECT_EQ(Run("return '2' ^ '3'"), "error: test:1: `__pow' (`^' operator) is not a function");
    EXPECT_EQ(Run("function __pow(a, b) return a * 10 + b end return '2' ^ '3', 2 ^ '3', 2 ^ 3"),
              "23, 23, 1");
    EXPECT_EQ(Run("return L\"4\" ^ 1"), "41");
    EXPECT_EQ(Run("__pow = 5 return '2' ^ 1"),
              "error: test:1: `__pow' (`^' operator) is not a function");
    EXPECT_EQ(Run("return 'x' ^ 1"),
              "error: test:1: attempt to perform arithmetic on a string value");
    EXPECT_EQ(Run("local t = setmetatable({}, {__pow = function(a, b) return 'pow' end})\n"
                  "return t ^ 2"),
              "pow");
}

TEST_F(VmTest, ValuesOfOtherTypesAndTheirTables) {
    const LuaCase cases[] = {
        {"local mt = {__add = function(a, b) return 'add' end}\n"
         "return setmetatable({}, mt) + 1",
         "add"},
        // The first operand's table is found first, and is not a function.
        {"local mt = {__add = function(a, b) return 'add' end}\n"
         "return 1 + setmetatable({}, mt)",
         "error: test:2: attempt to perform arithmetic on a table value"},
        {"local mt = {__concat = function(a, b) return 'cat' end}\n"
         "local t = setmetatable({}, mt) return t .. 'x', t .. 1",
         "cat, cat"},
        {"local mt = {__concat = function(a, b) return 'cat' end}\n"
         "local t = setmetatable({}, mt) return 'x' .. t",
         "error: test:2: attempt to concatenate local `t' (a table value)"},
        {"local mt = {__concat = function(a, b) return 'cat' end}\n"
         "local t = setmetatable({}, mt) return 1 .. t",
         "error: test:2: attempt to concatenate local `t' (a table value)"},
        {"local mt = {__unm = function(a) return 'unm' end}\n"
         "return -setmetatable({}, mt), -'2'",
         "unm, -2"},
        {"local n return -n",
         "error: test:1: attempt to perform arithmetic on local `n' (a nil value)"},
        // Two functions (or booleans) find their type's table as handler: calling it fails.
        {"local f, g = print, type return f < g", "error: test:1: attempt to call a table value"},
        {"return true <= false", "error: test:1: attempt to call a table value"},
        {"return {} < {}", "error: test:1: attempt to compare two table values"},
        {"return 1 < 'x'", "error: test:1: attempt to compare number with string"},
        {"return nil < 1", "error: test:1: attempt to compare nil with number"},
        {"return newproxy() < newproxy()", "error: test:1: attempt to compare two userdata values"},
        // Fields of a number live in the numbers' table.
        {"return (5).x", "nil"},
        {"local n = 5 n.y = 7 return (6).y, (1).y", "7, 7"},
        {"local b = true b.flag = 1 return (false).flag", "1"},
        {"return (nil).x", "error: test:1: attempt to index a nil value"},
        // A full userdata without "__index" reads through its metatable; writing fails.
        {"local u = newproxy(true) getmetatable(u).x = 5 return u.x, u.y", "5, nil"},
        {"local u = newproxy(true) u.y = 1",
         "error: test:1: attempt to index local `u' (a userdata value)"},
        {"local u = newproxy(true) getmetatable(u).__index = function(t, k) return k .. '!' end\n"
         "return u.z",
         "z!"},
    };
    ExpectRuns(cases);
}

TEST_F(VmTest, NamesInTypeErrors) {
    const LuaCase cases[] = {
        {"local l l()", "error: test:1: attempt to call local `l' (a nil value)"},
        {"nothere()", "error: test:1: attempt to call global `nothere' (a nil value)"},
        {"local t = {} t.x.y = 1", "error: test:1: attempt to index field `x' (a nil value)"},
        {"local t = {} t:m()", "error: test:1: attempt to call method `m' (a nil value)"},
        {"local t = {} local u = t.a + 1",
         "error: test:1: attempt to perform arithmetic on field `a' (a nil value)"},
        {"local a = {} local b = a return b .. 'x'",
         "error: test:1: attempt to concatenate local `b' (a table value)"},
        {"x = 1\n\ny = x.z.w", "error: test:3: attempt to index field `z' (a nil value)"},
        {"local t = {} t[nil] = 1", "error: test:1: table index is nil"},
        {"local t = {} t[0/0] = 1", "error: test:1: table index is NaN"},
        {"local t = {} setmetatable(t, t) t.__index = t return t.x",
         "error: test:1: loop in gettable"},
        {"local t = {} setmetatable(t, t) t.__newindex = t t.x = 1",
         "error: test:1: loop in settable"},
    };
    ExpectRuns(cases);
}

TEST_F(VmTest, NumericForLoops) {
    const LuaCase cases[] = {
        {"local s = '' for i = 1, 3 do s = s .. i end return s", "123"},
        {"local s = '' for i = 3, 1, -1 do s = s .. i end return s", "321"},
        {"local n = 0 for i = 1, 0 do n = n + 1 end return n", "0"},
        {"local n = 0 for i = 1, 1 do n = n + 1 end return n", "1"},
        {"local s = '' for i = 0, 1, 0.25 do s = s .. i .. ' ' end return s", "0 0.25 0.5 0.75 1 "},
        {"local s = '' for i = '1', '3' do s = s .. i end return s", "123"},
        {"local n = 0 for i = 1, 10, 4 do n = n + i end return n", "15"},
        {"for i = 1, 'x' do end", "error: test:1: `for' limit must be a number"},
        {"local t = setmetatable({}, {__sub = function() return 's' end})\n"
         "for i = t, 2 do end",
         "error: test:2: `for' initial value must be a number"},
        {"local t = setmetatable({}, {__sub = function() return 1 end})\n"
         "for i = t, 2, {} do end",
         "error: test:2: `for' step must be a number"},
        {"for i = nil, 2 do end", "error: test:1: attempt to perform arithmetic on a nil value"},
        // The loop variable is the counter itself.
        {"local n = 0 for i = 1, 3 do i = i * 10 n = n + 1 end return n", "1"},
        {"local s = '' for k, v in ipairs({'a', 'b'}) do s = s .. k .. v end return s", "1a2b"},
        {"local t = {} for k in next, {5} do t[1] = k end return t[1]", "1"},
        {"local n = 0 for k, v in {7, 8} do n = n + v end return n", "15"},
    };
    ExpectRuns(cases);
}

TEST_F(VmTest, CallsVarargsAndTailCalls) {
    const LuaCase cases[] = {
        {"local function f(a, b, c) return c, b, a end return f(1, 2)", "nil, 2, 1"},
        {"local function f(...) return arg.n, arg[1], arg[3] end return f(nil, 2, nil)",
         "3, nil, nil"},
        {"local function f(a, ...) return a, unpack(arg) end return f(1, 2, 3)", "1, 2, 3"},
        {"local function f() return 1, 2, 3 end local function g() return f() end\n"
         "return g()",
         "1, 2, 3"},
        {"local function count(n) if n == 0 then return 'done' end return count(n - 1) end\n"
         "return count(100000)",
         "done"},
        {"local function f() return end return f()", ""},
        {"local t = setmetatable({}, {__call = function(self, a, b) return a + b end})\n"
         "return t(2, 3)",
         "5"},
        {"local f = function(...) return arg.n end return f(unpack({1, 2, 3, 4}))", "4"},
        {"return (function(a) return a end)(5, 6, 7)", "5"},
        {"local co = {} local function f(a, b, c, d, e, f, g, h, i, j) return j end\n"
         "return f(1, 2, 3, 4, 5, 6, 7, 8, 9, 10)",
         "10"},
    };
    ExpectRuns(cases);
}

TEST_F(VmTest, DeepRecursionIsAnErrorNotACrash) {
    EXPECT_EQ(Run("local function f(n) return 1 + f(n + 1) end return pcall(f, 1)"),
              "false, test:1: stack overflow");
    // The state is usable afterwards, at full depth again.
    EXPECT_EQ(Run("local function f(n) if n == 0 then return 0 end return 1 + f(n - 1) end\n"
                  "return f(4000)"),
              "4000");
    EXPECT_EQ(Run("local function f(n) if n == 0 then return 0 end return 1 + f(n - 1) end\n"
                  "return pcall(f, 5000)"),
              "false, test:1: stack overflow");
    // Metamethods nest in the native stack: their depth is bounded on its own.
    EXPECT_EQ(Run("local t = setmetatable({}, {__index = function(t, k) return t[k] end})\n"
                  "return pcall(function() return t.x end)"),
              "false, test:1: C stack overflow");
    EXPECT_EQ(Run("return 1"), "1");
}

TEST_F(VmTest, EqualityAndWideStrings) {
    const LuaCase cases[] = {
        {"local eq = function() return true end\n"
         "local a = setmetatable({}, {__eq = eq}) local b = setmetatable({}, {__eq = eq})\n"
         "return a == b, a ~= b, a == {}",
         "true, false, false"},
        {"return L\"a\" == 'a', L\"a\" == L\"a\", 1 == '1'", "false, true, false"},
        {"return L\"a\" .. 1, 1 .. L\"a\", L\"a\" .. 2 .. 3", "L\"a1\", L\"1a\", L\"a23\""},
        {"return L\"a\" .. 'b'", "error: test:1: attempt to concatenate a wstring value"},
        {"return L\"12\" + 1, L\"0x1F\" + 0, L\" 1\" + 0",
         "error: test:1: attempt to perform arithmetic on a wstring value"},
        {"return L\"12\" + 1, L\"0x1F\" + 0, L\"1 \" + 0", "13, 31, 1"},
        {"return 'a\\0b' < 'a\\0c', 'a' < 'a\\0', 'b' > 'a'", "true, true, true"},
        {"local t = {} t[L\"k\"] = 1 t['k'] = 2 return t[L\"k\"], t.k", "1, 2"},
    };
    ExpectRuns(cases);
}

// "and" and "or" give one of their operands, "not" a boolean, whatever the nesting.
TEST_F(VmTest, LogicalOperatorValues) {
    const LuaCase cases[] = {
        {"return ((1 or false) and true) or false", "true"},
        {"local x, b = 1, false return (x or b) and ((not nil) or nil)", "true"},
        {"local x, b = 1, false return not ((not (nil and x)) or b)", "false"},
        {"local x, b = 1, false local v = not (not (nil and x)) return v", "false"},
        {"local a, b = nil, 2 return a or b, a and b, b and a, not a, not b",
         "2, nil, nil, true, false"},
        {"local x = 1 local t = {} t.v = (x > 0) and 'pos' or 'neg' return t.v", "pos"},
        {"local x = 1 if (x == 1 or x == 2) and not (x == 3) then return 'in' end", "in"},
        {"local n = 0 while not (n >= 3) and (n < 10 or false) do n = n + 1 end return n", "3"},
    };
    ExpectRuns(cases);
}

int gHookCalls[5];

void CountingHook(lua_State*, lua_Debug* ar) {
    gHookCalls[ar->event]++;
}

TEST_F(VmTest, Hooks) {
    for (int& n : gHookCalls)
        n = 0;
    lua_sethook(L, CountingHook, LUA_MASKCALL | LUA_MASKRET | LUA_MASKLINE, 0);
    EXPECT_EQ(Run("local function f() return 1 end\n"
                  "local x = f()\n"
                  "x = x + f()\n"
                  "return x"),
              "2");
    lua_sethook(L, nullptr, 0, 0);
    EXPECT_EQ(gHookCalls[LUA_HOOKCALL], 3);  // the chunk and f twice
    EXPECT_EQ(gHookCalls[LUA_HOOKRET], 3);
    EXPECT_GE(gHookCalls[LUA_HOOKLINE], 5);

    for (int& n : gHookCalls)
        n = 0;
    lua_sethook(L, CountingHook, LUA_MASKCOUNT, 10);
    EXPECT_EQ(Run("local n = 0 for i = 1, 100 do n = n + i end return n"), "5050");
    lua_sethook(L, nullptr, 0, 0);
    EXPECT_GE(gHookCalls[LUA_HOOKCOUNT], 15);  // about 200 instructions, one call each 10
}

// Native functions that switch the count hook on and off while the chunk runs.
int HookOn(lua_State* L) {
    lua_sethook(L, CountingHook, LUA_MASKCOUNT, 1);
    return 0;
}

int HookOff(lua_State* L) {
    lua_sethook(L, nullptr, 0, 0);
    return 0;
}

// A hook that clears itself at its first call.
void OneShotHook(lua_State* L, lua_Debug* ar) {
    gHookCalls[ar->event]++;
    lua_sethook(L, nullptr, 0, 0);
}

int OneShotOn(lua_State* L) {
    lua_sethook(L, OneShotHook, LUA_MASKLINE, 0);
    return 0;
}

// Hooks set or cleared by code the chunk calls take effect from the next instruction on, in
// the function that made the call and in its callers.
TEST_F(VmTest, HooksChangedWhileRunning) {
    lua_register(L, "hookon", HookOn);
    lua_register(L, "hookoff", HookOff);
    lua_register(L, "oneshot", OneShotOn);
    for (int& n : gHookCalls)
        n = 0;
    EXPECT_EQ(Run("local n = 0 for i = 1, 10 do n = n + i end\n"
                  "hookon()\n"
                  "for i = 1, 10 do n = n + i end\n"
                  "hookoff()\n"
                  "for i = 1, 1000 do n = n + i end return n"),
              "500610");
    int counted = gHookCalls[LUA_HOOKCOUNT];
    EXPECT_GE(counted, 20);   // every instruction of the second loop, one call each
    EXPECT_LT(counted, 100);  // none of the last loop's 2000 or more

    for (int& n : gHookCalls)
        n = 0;
    EXPECT_EQ(Run("local function f() hookon() end\n"
                  "local n = 0 f() for i = 1, 10 do n = n + i end\n"
                  "hookoff() return n"),
              "55");
    EXPECT_GE(gHookCalls[LUA_HOOKCOUNT], 20);  // the caller's loop after f returned

    for (int& n : gHookCalls)
        n = 0;
    EXPECT_EQ(Run("oneshot()\nlocal n = 0\nfor i = 1, 10 do\n n = n + i\nend\nreturn n"), "55");
    EXPECT_EQ(gHookCalls[LUA_HOOKLINE], 1);
    EXPECT_EQ(lua_gethookmask(L), 0);
}

// Lookups through chains of "__index" tables are remembered; every kind of change to a table
// of the chain must show in the next lookup. Each case reads, changes, and reads again.
TEST_F(VmTest, InheritedLookupsFollowChanges) {
    Run("function chain()\n"
        "  local Base = {} Base.__index = Base\n"
        "  function Base.who() return 'base' end\n"
        "  local Mid = setmetatable({}, Base) Mid.__index = Mid\n"
        "  local Leaf = setmetatable({}, Mid) Leaf.__index = Leaf\n"
        "  return setmetatable({}, Leaf), Base, Mid, Leaf\n"
        "end");
    const LuaCase cases[] = {
        // a method replaced in place, at the top of the chain and in between
        {"local o, B = chain() local a = o.who() B.who = function() return 'new' end "
         "return a, o.who()",
         "base, new"},
        {"local o, B, M = chain() local a = o.who() M.who = function() return 'mid' end "
         "return a, o.who(), B.who()",
         "base, mid, base"},
        // removed, and added where it was missing
        {"local o, B = chain() local a = o.who() B.who = nil return a, o.who", "base, nil"},
        {"local o, B = chain() local a = o.extra B.extra = 1 return a, o.extra", "nil, 1"},
        {"local o, B = chain() local a = o.extra rawset(B, 'extra', 2) return a, o.extra",
         "nil, 2"},
        // many new keys: the class grows while a lookup is remembered
        {"local o, B = chain() local a = o.who() for i = 1, 100 do B['k' .. i] = i end "
         "return a, o.who(), o.k77",
         "base, base, 77"},
        // the chain itself rewired: another metatable, another "__index", a handler function
        {"local o, B, M = chain() local a = o.who() "
         "setmetatable(M, {__index = {who = function() return 'other' end}}) "
         "return a, o.who()",
         "base, other"},
        {"local o, B, M, Lf = chain() local a = o.who() "
         "Mid2 = {who = function() return 'mid2' end} Lf.__index = Mid2 return a, o.who()",
         "base, mid2"},
        {"local o, B = chain() local a = o.who() "
         "local mt = getmetatable(B) or {} B.__index = function(t, k) return k end "
         "local M = getmetatable(getmetatable(o)) M.__index = function(t, k) return k .. '!' end "
         "return a, o.who, o.zzz",
         "base, who!, zzz!"},
        {"local o, B, M, Lf = chain() local a = o.extra "
         "local top = setmetatable({}, {__index = {extra = 'top'}}) setmetatable(B, {__index = "
         "top}) "
         "return a, o.extra",
         "nil, top"},
        // an object given a new metatable after lookups through the old one
        {"local o, B = chain() local a = o.who() "
         "setmetatable(o, {__index = {who = function() return 'own' end}}) return a, o.who()",
         "base, own"},
        // a field of the object itself comes first
        {"local o = chain() local a = o.who() o.who = function() return 'self' end "
         "return a, o.who()",
         "base, self"},
        // wide-string keys are keys of their own
        {"local o, B = chain() B[L\"w\"] = 1 local a = o[L\"w\"] B[L\"w\"] = 2 "
         "return a, o[L\"w\"], o.w",
         "1, 2, nil"},
        // globals inherited through "__index": the inherited table written as globals
        {"local base = {x = 1} local env = setmetatable({}, {__index = base}) "
         "local read = loadstring('return x') setfenv(read, env) "
         "local write = loadstring('x = x + 1') setfenv(write, base) "
         "local a = read() write() return a, read()",
         "1, 2"},
        // an object used as a class of its own after being read through
        {"local o, B = chain() local sub = setmetatable({}, {__index = o}) local a = sub.who() "
         "o.who = function() return 'o' end return a, sub.who()",
         "base, o"},
        // cycles: the same message whether or not the lookup was seen before
        {"local A, Bt = {}, {} setmetatable(A, {__index = Bt}) setmetatable(Bt, {__index = A}) "
         "local r1 = pcall(function() return A.x end) Bt.y = 1 "
         "local ok, e = pcall(function() return A.x end) return r1, e",
         "false, test:1: loop in gettable"},
    };
    ExpectRuns(cases);
}

// A chain just short enough is read; one table longer it is a loop, even after the shorter
// lookup from the same table on.
TEST_F(VmTest, InheritedLookupsKeepTheLoopLimit) {
    EXPECT_EQ(Run("local c = {} for i = 1, 100 do c[i] = {} end\n"
                  "for i = 1, 99 do setmetatable(c[i], {__index = c[i + 1]}) end\n"
                  "local near = setmetatable({}, {__index = c[2]})\n"
                  "local far = setmetatable({}, {__index = c[1]})\n"
                  "c[100].v = 'end'\n"
                  "local a, b = near.v, near.missing\n"
                  "local ok, e = pcall(function() return far.v end)\n"
                  "return a, b, e"),
              "end, nil, test:7: loop in gettable");
}

// Weak values of a class go at a collection; what was read through the chain before goes too.
TEST_F(VmTest, InheritedLookupsForgetCollectedValues) {
    EXPECT_EQ(Run("local Base = setmetatable({}, {__mode = 'v'})\n"
                  "local o = setmetatable({}, {__index = Base})\n"
                  "Base.item = {}\n"
                  "local before = type(o.item)\n"
                  "collectgarbage()\n"
                  "return before, o.item"),
              "table, nil");
}

TEST_F(VmTest, CollectionWhileRunning) {
    // A tiny threshold collects at every allocation point of the loop.
    lua_setgcthreshold(L, 0);
    EXPECT_EQ(Run("local keep = {}\n"
                  "for i = 1, 500 do\n"
                  "  local t = {i, tostring(i) .. 'x', function() return i end}\n"
                  "  keep[i] = t\n"
                  "  collectgarbage(0)\n"
                  "end\n"
                  "return keep[500][2], keep[100][3](), keep[1][1]"),
              "500x, 500, 1");
}

}  // namespace
