#include <gtest/gtest.h>

#include <string>

#include "luascript.h"
#include "script/lua/api.h"
#include "script/lua/object.h"

namespace {

using ParserTest = LuaScriptTest;

std::string Repeat(const std::string& text, int n, const std::string& separator = "") {
    std::string out;
    for (int i = 0; i < n; i++) {
        if (i > 0) out += separator;
        out += text;
    }
    return out;
}

// Names a1 ... an separated by sep.
std::string Names(int n, const std::string& sep) {
    std::string out;
    for (int i = 1; i <= n; i++) {
        if (i > 1) out += sep;
        out += 'a';
        out += std::to_string(i);
    }
    return out;
}

TEST_F(ParserTest, BreakAndContinueLevels) {
    const LuaCase cases[] = {
        {"local n = 0\n"
         "for i = 1, 3 do for j = 1, 3 do n = n + 1; if j == 2 then break 2 end end end\n"
         "return n",
         "2"},
        {"while true do while true do break 3 end end",
         "error: test:1: no loop to break near `end'"},
        {"while true do break 0 end", "error: test:1: loop block number out of range near `0'"},
        {"while true do break 101 end", "error: test:1: loop block number out of range near `101'"},
        {"while true do break 1.5 end",
         "error: test:1: loop block number must be integer near `1.5'"},
        {"while true do continue 1e300 end",
         "error: test:1: loop block number out of range near `1e300'"},
        {"while true do break x end", "error: test:1: `end' expected near `x'"},
        {"while true do break -1 end", "error: test:1: `end' expected near `-'"},
        {"break", "error: test:1: no loop to break near `<eof>'"},
        {"if x then continue end", "error: test:1: no loop to continue near `end'"},
        {"while true do local f = function() break end end",
         "error: test:1: no loop to break near `end'"},
        {"while true do local f = function() continue end end",
         "error: test:1: no loop to continue near `end'"},
        // Like break and return, continue ends its block.
        {"while true do continue; x = 1 end", "error: test:1: `end' expected near `x'"},
        {"while false do continue; end return 1", "1"},
        // continue re-tests the condition of repeat and steps a numeric for.
        {"local n, i = 0, 0\n"
         "repeat i = i + 1; if i % 2 == 0 then continue end n = n + 1 until i >= 5\n"
         "return n, i",
         "error: test:2: `then' expected near `%'"},
        {"local n, i = 0, 0\n"
         "repeat i = i + 1; if i == 2 or i == 4 then continue end n = n + 1 until i >= 5\n"
         "return n, i",
         "3, 5"},
        {"local s = ''\nfor i = 1, 5 do if i == 3 then continue end s = s .. i end\nreturn s",
         "1245"},
        {"local s = ''\nfor k, v in ipairs({1, 2, 3, 4}) do if v == 2 then continue end s = s .. v "
         "end\n"
         "return s",
         "134"},
        {"local s, i = '', 0\nwhile i < 5 do i = i + 1; if i == 2 then continue end s = s .. i "
         "end\n"
         "return s",
         "1345"},
        // continue 2 in an inner for inside a while skips both rests and re-tests the while.
        {"local s, i = '', 0\n"
         "while i < 3 do\n"
         "  i = i + 1\n"
         "  for j = 1, 3 do if j == 2 then continue 2 end s = s .. i .. j end\n"
         "  s = s .. 'x'\n"
         "end\n"
         "return s",
         "112131"},
        {"local s = ''\n"
         "for i = 1, 2 do repeat for j = 1, 3 do if j == 2 then continue 3 end s = s .. j end "
         "until true s = s .. 'x' end\n"
         "return s",
         "11"},
        {"local n = 0\nfor i = 1, 3 do while true do break 1 end n = n + 1 end return n", "3"},
    };
    ExpectRuns(cases);
}

// Closures made before a continue or a counted break keep their own variables.
TEST_F(ParserTest, LoopJumpsCloseCapturedLocals) {
    const LuaCase cases[] = {
        {"local f = {}\n"
         "for i = 1, 3 do local x = i; f[i] = function() return x end; continue end\n"
         "return f[1](), f[2](), f[3]()",
         "1, 2, 3"},
        {"local f = {}\n"
         "for i = 1, 3 do local x = i; while true do f[i] = function() return x end; continue 2 "
         "end end\n"
         "return f[1](), f[2](), f[3]()",
         "1, 2, 3"},
        {"local f, n = {}, 0\n"
         "while n < 3 do n = n + 1; local x = n; if true then f[n] = function() return x end "
         "continue end end\n"
         "return f[1](), f[2](), f[3]()",
         "1, 2, 3"},
        // The closure is written after the break: only the counted break can close x.
        {"local g, d\n"
         "for i = 1, 3 do local x = i; while true do if d then break 2 end; g = function() "
         "return x end; d = true end end\n"
         "local a, b, c, e, f = 10, 20, 30, 40, 50\n"
         "return g()",
         "1"},
        // A plain break out of a for loop closes its control variable.
        {"local g\n"
         "for i = 1, 3 do g = function() return i end; break end\n"
         "local a, b, c, d, e = 10, 20, 30, 40, 50\n"
         "return g()",
         "1"},
        {"local g\n"
         "for i = 1, 3 do if i == 2 then break end; g = function() return i end end\n"
         "local a, b, c, d, e = 10, 20, 30, 40, 50\n"
         "return g()",
         "2"},
    };
    ExpectRuns(cases);
}

TEST_F(ParserTest, OperatorPriorities) {
    struct Case {
        const char* expr;
        const char* result;
    } cases[] = {
        {"1 + 2 & 3", "3"},
        {"1 | 2 & 3", "3"},
        {"2 ^ 3 & 1", "1"},
        {"1 << 2 << 3", "32"},
        {"256 >> 2 >> 1", "32"},
        {"-a & b", "255"},
        {"-(a & b)", "-1"},
        {"not nil & 1", "error: test:1: attempt to perform arithmetic on a boolean value"},
        {"2 * 3 & 7", "6"},
        {"2 * (3 & 7)", "6"},
        {"1 .. 2 & 3", "12"},
        {"1 + 1 == 2 & 2", "true"},
        {"5 ^ 1 ^ 1", "5"},  // right to left: 5 ^ (1 ^ 1)
        {"a ^ 3 ^ 3", "1"},
        {"1 < 2 == true", "true"},
        {"nil or 1 and 2", "2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(std::string("local a, b = 1, 255 return ") + c.expr), c.result) << c.expr;
    }
}

TEST_F(ParserTest, TableSizeHints) {
    struct SizeCase {
        const char* constructor;
        int nodes;
        int array;
    } cases[] = {
        {"{ & 10 & 100 }", 16, 112},
        {"{ & 0 & 50, 1, 2 }", 1, 56},  // no hash part: the one shared empty node
        {"{ & 5 }", 8, 0},
        {"{ & 1 & 1, 1, 2, 3, a = 1, b = 2, c = 3 }", 4, 3},  // more items than the hints
    };
    for (const SizeCase& c : cases) {
        std::string code = std::string("return ") + c.constructor;
        ASSERT_EQ(luaL_loadbuffer(L, code.data(), code.size(), "=t"), 0) << c.constructor;
        ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
        Table* t = hvalue(luaA_index(L, -1));
        EXPECT_EQ(sizenode(t), c.nodes) << c.constructor;
        EXPECT_EQ(t->sizearray, c.array) << c.constructor;
        lua_pop(L, 1);
    }
    EXPECT_EQ(Run("local t = { & 0 & 50, 1, 2 } return t[1], t[2], t[3]"), "1, 2, nil");
    EXPECT_EQ(Run("local t = { & 2.9 ; x = 1 } return t.x"), "1");
    EXPECT_EQ(Run("local n = 4\nlocal t = { & n }"),
              "error: test:2: size expected following & (line 2) near `n'");
    EXPECT_EQ(Run("local t = {\n & 1 &\n }"),
              "error: test:3: size expected following & (line 3) near `}'");
    EXPECT_EQ(Run("local t = { & -1 }"),
              "error: test:1: size expected following & (line 1) near `-'");
    EXPECT_EQ(Run("local t = { & 1e300 }"),
              "error: test:1: size too large following & (line 1) near `1e300'");
    EXPECT_EQ(Run("local t = { & 1 & 16777217 }"),
              "error: test:1: size too large following & (line 1) near `16777217'");
}

TEST_F(ParserTest, SyntaxMessages) {
    struct Case {
        std::string code;
        std::string message;
    } cases[] = {
        {"f(", "test:1: unexpected symbol near `<eof>'"},
        {"f(1", "test:1: `)' expected near `<eof>'"},
        {"while x do\n\n", "test:3: `end' expected (to close `while' at line 1) near `<eof>'"},
        {"local 1", "test:1: <name> expected near `1'"},
        {"function f(1) end", "test:1: <name> or `...' expected near `1'"},
        {"x = )", "test:1: unexpected symbol near `)'"},
        {"a:b = 1", "test:1: function arguments expected near `='"},
        {"a = f\n(g)()", "test:2: ambiguous syntax (function call x new statement) near `('"},
        {"for a b", "test:1: `=' or `in' expected near `b'"},
        {"a, f() = 1", "test:1: syntax error near `='"},
        {"x = 1 end", "test:1: <eof> expected near `end'"},
        {"x = 1 y", "test:1: `=' expected near `<eof>'"},
        {"local continue = 1", "test:1: <name> expected near `continue'"},
        {"f 'a' L'b'", ""},  // L 'b' is a call
        {"f L\"b\"", "test:1: `=' expected near `L\"b\"'"},
        {"return return", "test:1: unexpected symbol near `return'"},
        {"while " + Names(40, " and ") + " do end",
         "test:1: `while' condition too complex near `do'"},
        {"x = " + Repeat("(", 201) + "1" + Repeat(")", 201),
         "test:1: too many syntax levels near `('"},
        {Repeat("do ", 201) + Repeat("end ", 201), "test:1: too many syntax levels near `do'"},
        {"local " + Names(201, ","), "test:1: too many local variables (limit=200) near `<eof>'"},
        {"function f(" + Names(101, ",") + ") end",
         "test:1: too many parameters (limit=100) near `)'"},
        {"local " + Names(33, ",") + "\nfunction f() return " + Names(33, "+") + " end",
         "test:2: too many upvalues (limit=32) near `end'"},
        {"f(" + Repeat("1", 260, ",") + ")", "test:1: function or expression too complex near `1'"},
        {"while x do " + Repeat("a = 1", 66000, " ") + " end",
         "test:1: control structure too long near `end'"},
        {"t = {" + Repeat("1", 262145, ",") + "}",
         "test:1: too many items in a constructor (limit=262143) near `}'"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Compile(c.code), c.message) << c.code.substr(0, 80);
    }
}

TEST_F(ParserTest, LimitsAreReachable) {
    // Right below each limit compiles.
    EXPECT_EQ(Compile("local " + Names(200, ",")), "");
    EXPECT_EQ(Compile("function f(" + Names(100, ",") + ") end"), "");
    EXPECT_EQ(
        Compile("local " + Names(32, ",") + "\nfunction f() return " + Names(32, "+") + " end"),
        "");
    EXPECT_EQ(Compile("x = " + Repeat("(", 190) + "1" + Repeat(")", 190)), "");
    EXPECT_EQ(Compile("f(" + Repeat("1", 240, ",") + ")"), "");
    EXPECT_EQ(Run("return " + Repeat("1", 200, ",")).size(), 200u * 3 - 2);
    EXPECT_EQ(Run("local t = {" + Repeat("7", 262144, ",") + "} return t[262144], t[262145]"),
              "7, nil");
}

TEST_F(ParserTest, LanguageOfTheRelease) {
    const LuaCase cases[] = {
        // The control variable of a numeric for is one variable for the whole loop.
        {"local f = {}\nfor i = 1, 3 do f[i] = function() return i end end\n"
         "return f[1](), f[3]()",
         "3, 3"},
        {"local function f(...) return arg.n, arg[2] end return f(4, 5, 6)", "3, 5"},
        {"local t = {n = 1} function t:m(x) return self.n + x end return t:m(2)", "3"},
        {"local a, b, c = (function() return 1, 2, 3 end)() return a, b, c", "1, 2, 3"},
        {"local a, b = ((function() return 1, 2 end)()) return a, b", "1, nil"},
        {"local t = {(function() return 1, 2 end)()} return t[1], t[2]", "1, 2"},
        {"local t = {(function() return 1, 2 end)(), 5} return t[1], t[2]", "1, 5"},
        {"local a = {} a.x, a.y = 1 return a.x, a.y", "1, nil"},
        {"local i, a = 1, {} i, a[i] = i + 1, 20 return i, a[1], a[2]", "2, 20, nil"},
        {"local s = [[\n[[nested]]\n]] return s", "[[nested]]\n"},
        {"x = 1; ; ; return x", "error: test:1: unexpected symbol near `;'"},
        {"do local x = 5 end return x", "nil"},
        {"local t = {[1] = 'a', [2] = 'b'; 'c'} return t[1], t[2]", "c, b"},
        {"return 1 == 1, 1 ~= 1, 'a' < 'b', 2 >= 3, not nil", "true, false, true, false, true"},
        {"local x = 0 if x then return 'then' else return 'else' end", "then"},
        {"if nil then return 1 elseif false then return 2 else return 3 end", "3"},
    };
    ExpectRuns(cases);
}

}  // namespace
