#include <gtest/gtest.h>

#include <string>

#include "luascript.h"

namespace {

using StringLibTest = LuaScriptTest;

TEST_F(StringLibTest, SimpleFunctions) {
    const LuaCase cases[] = {
        {"return string.len(''), string.len('a\\0b'), string.len(123)", "0, 3, 3"},
        {"return string.sub('hello', 2, 4), string.sub('hello', -3), string.sub('hello', 0)",
         "ell, llo, hello"},
        {"return string.sub('hello', 4, 2), string.sub('hello', 10), string.sub('hello', -100, 2)",
         ", , he"},
        {"return string.sub('hello', 2, 1e10), string.sub('hello', -1e10, -4)", "ello, he"},
        {"return string.upper('aBc\\228'), string.lower('AbC\\196')", "ABC\xE4, abc\xC4"},
        {"return string.char(), string.char(104, 105)", ", hi"},
        {"local s = string.char(256)", "error: test:1: bad argument #1 to `char' (invalid value)"},
        {"local s = string.char(65, -1)",
         "error: test:1: bad argument #2 to `char' (invalid value)"},
        {"return string.rep('ab', 3), string.rep('x', 0), string.rep('x', -5), string.rep('', 1e9)",
         "ababab, , , "},
        {"local r = string.rep('abcd', 1073741824)", "error: test:1: string size overflow"},
        {"return string.byte('ABC'), string.byte('ABC', 3), string.byte('ABC', -1)", "65, 67, 67"},
        {"return string.byte('ABC', 4)", ""},
        {"return string.byte('', 1)", ""},
        {"return string.byte('ABC', 0)", ""},
        {"local s = 'abc' return s:len(), s:upper(), ('%d'):format(5), s:byte(2)", "3, ABC, 5, 98"},
        {"return getmetatable('') == string", "true"},
        {"local n = string.len(L\"w\")",
         "error: test:1: bad argument #1 to `len' (string expected, got wstring)"},
        {"local n = string.len()",
         "error: test:1: bad argument #1 to `len' (string expected, got no value)"},
        {"local s = ('x'):rep()",
         "error: test:1: bad argument #1 to `rep' (number expected, got no value)"},
    };
    ExpectRuns(cases);
}

TEST_F(StringLibTest, Format) {
    const LuaCase cases[] = {
        {"return string.format('%d %5d %-5d| %05d %+d', 1, 2, 3, 4, 5)", "1     2 3    | 00004 +5"},
        {"return string.format('%i %c%c %o %u', 7, 72, 105, 8, 3)", "7 Hi 10 3"},
        {"return string.format('%5.2f %e %g %G %E', 3.14159, 1000, 0.0001, 1e20, 2)",
         " 3.14 1.000000e+03 0.0001 1E+20 2.000000E+00"},
        {"return string.format('%s|%10s|%-4s|%.2s', 'a', 'right', 'l', 'trunc')",
         "a|     right|l   |tr"},
        {"return string.format('%s %s', 1, 2.5)", "1 2.5"},
        {"return string.format('%%d %d%%', 5)", "%d 5%"},
        {"return string.len(string.format('%s', string.rep('x', 300)))", "300"},
        {"return string.len(string.format('%.3s', string.rep('x', 300)))", "3"},
        {"return string.format('%q', 'a\"b\\\\c\\nd')", "\"a\\\"b\\\\c\\\nd\""},
        {"return string.format('%q', 'a\\0b\\r')", "\"a\\000b\r\""},
        {"local r = string.format('%d')",
         "error: test:1: bad argument #2 to `format' (number expected, got no value)"},
        {"local r = string.format('%d', 'x')",
         "error: test:1: bad argument #2 to `format' (number expected, got string)"},
        {"local r = string.format('%y', 1)", "error: test:1: invalid option to `format'"},
        {"local r = string.format('%', 1)", "error: test:1: invalid option to `format'"},
        {"local r = string.format('%1$d', 1)", "error: test:1: obsolete option (d$) to `format'"},
        {"local r = string.format('%123d', 1)",
         "error: test:1: invalid format (width or precision too long)"},
        {"local r = string.format('%1.123d', 1)",
         "error: test:1: invalid format (width or precision too long)"},
        {"local r = string.format('%------------------------d', 1)",
         "error: test:1: invalid format (too long)"},
        // A missing argument is never read from the result being built.
        {"local r = string.format(string.rep('x', 600) .. '%s')",
         "error: test:1: bad argument #2 to `format' (string expected, got no value)"},
        // The extra directives.
        {"return string.format('%B|%5B|%B|%B', nil, true, false, 1 == 1)", "false|true|false|true"},
        {"local r = string.format('%B', 0)",
         "error: test:1: bad argument #2 to `format' (boolean expected, got number)"},
        {"local r = string.format('[%B]')",
         "error: test:1: bad argument #2 to `format' (boolean expected, got no value)"},
        {"return string.format('%Q', 'a\\0b')", "\"a\\x00b\""},
        {"return string.format('%Q', 'q\"\\\\\\7\\8\\9\\10\\11\\12\\13\\127\\200~')",
         "\"q\\\"\\\\\\a\\b\\t\\n\\v\\f\\r\\x7f\\xc8~\""},
        {"return string.format('%Q', 12)", "\"12\""},
        {"return string.format('%Q', L\"a\\x263A\\0\\t\\\"\")", "L\"a\\x263a\\x0000\\t\\\"\""},
        {"local r = string.format('%Q', {})",
         "error: test:1: bad argument #2 to `format' (string expected, got table)"},
        {"return string.format('<%bq>%d', 99, 7)", "<>7"},
        {"return string.format('%d%b', 7)", "7"},
    };
    ExpectRuns(cases);
}

TEST_F(StringLibTest, FormatRawDirectives) {
    const LuaCase cases[] = {
        {"return hex(string.format('%bw%bb', 258, 65))", "02 01 41"},
        {"return hex(string.format('%bd', -2))", "fe ff ff ff"},
        {"return hex(string.format('%bd|%bw', 1.9, -1.9))", "01 00 00 00 7c ff ff"},
        {"return hex(string.format('%bF', 1))", "00 00 00 00 00 00 f0 3f"},
        {"return hex(string.format('%bf', -2))", "00 00 00 c0"},
        {"return hex(string.format('%bb', 511))", "ff"},
        {"local r = string.format('%bF')",
         "error: test:1: bad argument #2 to `format' (number expected, got no value)"},
    };
    ExpectRunsHex(cases);
}

// Integer directives take the number's low 32 bits after truncation to 64 bits. Like every item,
// a character ends at its first zero byte.
TEST_F(StringLibTest, FormatIntegersWrap) {
    const LuaCase cases[] = {
        {"return string.format('%x %X %u %o', -1, -1, -1, -1)",
         "ffffffff FFFFFFFF 4294967295 37777777777"},
        {"return string.format('%d %i %x', 2147483648, 2147483648, 2147483648)",
         "-2147483648 -2147483648 80000000"},
        {"return string.format('%d %u %x', 4294967297, 4294967297, 4294967297)", "1 1 1"},
        {"local nan = 0/0 return string.format('%d %x %u', nan, nan, nan)", "0 0 0"},
        {"return string.format('%d %d %d', 1e30, -1e30, 1/0)", "0 0 0"},
        {"return string.format('%d %d', 2.9, -2.9)", "2 -2"},
        {"return string.len(string.format('%c', 0)), string.format('%c', 321)", "0, A"},
        {"return string.len(string.format('a%cb%5c', 0, 256)), "
         "string.len(string.format('%-3c|', 0))",
         "6, 1"},
    };
    ExpectRuns(cases);
}

// find's start position is clamped to the subject: before its start means 1, past its end
// means length + 1, where only an empty match is found. Never an argument error.
TEST_F(StringLibTest, FindStartClamped) {
    const LuaCase cases[] = {
        {"return string.find('abc', 'a', -10)", "1, 1"},
        {"return string.find('abc', '', 10)", "4, 3"},
        {"return string.find('abc', 'a', 0)", "1, 1"},
        {"return string.find('abc', '', 0)", "1, 0"},
        {"return string.find('abc', '', 4)", "4, 3"},
        {"return string.find('abc', 'c', 4)", "nil"},
        {"return string.find('abc', 'c', 100)", "nil"},
        {"return string.find('abc', '[a-c]', -100)", "1, 1"},
        {"return string.find('abc', '(x*)$', 10)", "4, 3, "},
        {"return string.find('abc', '^', 5)", "4, 3"},
        {"return string.find('abc', 'b', -2, 1)", "2, 2"},
        {"return string.find('', '', -1)", "1, 0"},
        {"return string.find('', 'a', 5)", "nil"},
        {"return string.find('hello', 'l', 7)", "nil"},
        {"return string.find('hello', 'l', -10)", "3, 3"},
    };
    ExpectRuns(cases);
}

// The patterns of the language, with Lua 5.0's rules: gsub drops a match whose function gives
// no string; "%0" and a capture that does not exist are errors.
TEST_F(StringLibTest, Patterns) {
    const LuaCase cases[] = {
        {"return string.find('hello world', 'o w')", "5, 7"},
        {"return string.find('hello', 'l+')", "3, 4"},
        {"return string.find('hello', 'xyz')", "nil"},
        {"return string.find('a.b', '.', 1, 1)", "2, 2"},
        {"return string.find('hello', '')", "1, 0"},
        {"return string.find('hello', '', 6)", "6, 5"},
        {"return string.find('hello', 'l', -2)", "4, 4"},
        {"return string.find('key = value', '(%w+)%s*=%s*(%w+)')", "1, 11, key, value"},
        {"return string.find('abc', '()b()')", "2, 2, 2, 3"},
        {"return string.find('aaab', '^a-b$')", "1, 4"},
        {"return string.find('xab', '^ab')", "nil"},
        {"return string.find('a$b', 'a$b')", "1, 3"},
        {"return string.find('f(a(b)c)', '%b()')", "2, 8"},
        {"return string.find('THE (quick) fox', '%f[%a]%a+', 5)", "6, 10"},
        {"return string.find('abcabc', '(abc)%1')", "1, 6, abc"},
        {"return string.find('a1 B2_', '[%a_][%d]', 3)", "4, 5"},
        {"return string.find('x]y', '[]]')", "2, 2"},
        {"return string.find('a-z', '[a%-]+')", "1, 2"},
        {"return string.find('az', '[^a-y]')", "2, 2"},
        {"return string.find('\\0x', '%z')", "1, 1"},
        {"return string.find('  x', '%S')", "3, 3"},
        {"return string.find('a', 'b?a')", "1, 1"},
        {"return string.find('a.b', '%.')", "2, 2"},
        {"local r = string.find('abc', '[a')", "error: test:1: malformed pattern (missing `]')"},
        {"local r = string.find('abc', 'a%')", "error: test:1: malformed pattern (ends with `%')"},
        {"local r = string.find('abc', '(a')", "error: test:1: unfinished capture"},
        {"local r = string.find('abc', '%a)')", "error: test:1: invalid pattern capture"},
        {"return string.find('a)', 'a)')", "1, 2"},
        {"local r = string.find('abc', '%1')", "error: test:1: invalid capture index"},
        {"local r = string.find('abc', '%b')", "error: test:1: unbalanced pattern"},
        {"local r = string.find('abc', '%fa')", "error: test:1: missing `[' after `%f' in pattern"},
        {"local r = string.find(string.rep('a', 40), string.rep('(a)', 33))",
         "error: test:1: too many captures"},
        {"local r = string.find(string.rep('a', 300), string.rep('a?', 300))",
         "error: test:1: pattern too complex"},
        {"return string.gsub('hello world', '(%w+)', '<%1>')", "<hello> <world>, 2"},
        {"return string.gsub('hello world', '(%w+)', '%1 %1', 1)", "hello hello world, 1"},
        {"local r = string.gsub('hello', '%w+', '%0')", "error: test:1: invalid capture index"},
        {"local r = string.gsub('hello', '%w+', '%1')", "error: test:1: invalid capture index"},
        {"return string.gsub('abc', '', '-')", "-a-b-c-, 4"},
        {"return string.gsub('abc', '^', '>')", ">abc, 1"},
        {"return string.gsub('a b', ' ', '%%')", "a%b, 1"},
        {"local r = string.gsub('abc', 'b', '%') return string.len(r), string.byte(r, 2)", "3, 0"},
        {"local r = string.gsub('abc', '%w', '%2')", "error: test:1: invalid capture index"},
        {"local r = string.gsub('$x $y', '%$(%w+)', {x = 1})",
         "error: test:1: bad argument #3 to `gsub' (string or function expected)"},
        {"local r = string.gsub('a', 'a', L\"w\")",
         "error: test:1: bad argument #3 to `gsub' (string or function expected)"},
        {"return string.gsub('a1b2', '%d', function(d) return d * 2 end)", "a2b4, 2"},
        {"return string.gsub('a1b2', '%d', function(d) if d == '1' then return 'one' end end)",
         "aoneb, 2"},
        {"return string.gsub('abc', '(b)(c)', function(x, y) return y .. x end)", "acb, 1"},
        {"local r = string.gsub('abc', 'b', function() return L\"w\" end)",
         "error: test:1: invalid replacement value (a wstring)"},
        {"return string.gsub('abc', 'x*', '-', 2)", "-a-bc, 2"},
        {"local r = {} for w in string.gfind('one two  three', '%a+') do "
         "table.insert(r, w) end return table.concat(r, ',')",
         "one,two,three"},
        {"local r = {} for k, v in string.gfind('a=1, b=2', '(%w+)=(%w+)') do "
         "table.insert(r, k .. v) end return table.concat(r, ' ')",
         "a1 b2"},
        {"local n = 0 for e in string.gfind('abc', 'x*') do n = n + 1 end return n", "4"},
        {"local r = '' for p in string.gfind('abc', '()') do r = r .. p end return r", "1234"},
    };
    ExpectRuns(cases);
}

TEST_F(StringLibTest, Dump) {
    const LuaCase cases[] = {
        {"local f = loadstring(string.dump(function(a, b) return a .. b, 2 * 21 end)) "
         "return f('x', 'y')",
         "xy, 42"},
        {"return string.sub(string.dump(function() end), 1, 4) == '\\27Lua'", "true"},
        {"local up = 1 return string.dump(function() return up end)",
         "error: test:1: unable to dump given function"},
        {"local r = string.dump(print)", "error: test:1: unable to dump given function"},
        {"local r = string.dump(1)",
         "error: test:1: bad argument #1 to `dump' (function expected, got number)"},
        {"local ok, m = loadstring(string.sub(string.dump(function() end), 1, 20)) return m",
         "unexpected end of file in binary string"},
    };
    ExpectRuns(cases);
}

TEST_F(StringLibTest, Lualex) {
    const LuaCase cases[] = {
        {"return hex(string.lualex('a\\\\x41\\\\n\\\\65\\\\t', 0))", "61 41 00 0a 41 09"},
        {"return hex(string.lualex('\\\\a\\\\b\\\\f\\\\r\\\\v\\\\\\\\\\\\\"\\\\q', 0))",
         "07 08 0c 0d 0b 5c 22 71"},
        {"return hex(string.lualex('\\\\xg\\\\x4142\\\\1234', 0))", "78 67 41 00 34 32 7b 34"},
        {"return hex(string.lualex('\\\\999', 0)), hex(string.lualex('x\\\\', 0))", "e7, 78 5c"},
        // Any other mode writes two bytes per character.
        {"return hex(string.lualex('a\\\\n\\\\x263A\\\\300', 1))", "61 00 0a 00 3a 26 2c 01"},
        {"local r = string.lualex('x')",
         "error: test:1: bad argument #2 to `lualex' (number expected, got no value)"},
    };
    ExpectRunsHex(cases);
}

}  // namespace
