#include <gtest/gtest.h>

#include <string>

#include "luascript.h"

namespace {

using StringPackTest = LuaScriptTest;

TEST_F(StringPackTest, PackWritesEachCode) {
    const LuaCase cases[] = {
        {"return hex(string.pack('z', 'ab'))", "61 62 00"},
        {"return hex(string.pack('p', 'ab'))", "02 61 62"},
        {"return hex(string.pack('P>P', 'a', 'b'))", "01 00 61 00 01 62"},
        {"return hex(string.pack('a', 'ab'))", "02 00 00 00 61 62"},
        {"return hex(string.pack('A', 'a\\0b'))", "61 00 62"},
        {"return hex(string.pack('f d n', 1.5, -2, 0.5))",
         "00 00 c0 3f 00 00 00 00 00 00 00 c0 00 00 00 00 00 00 e0 3f"},
        {"return hex(string.pack('cbhH', -1, 255, -2, 65535))", "ff ff fe ff ff ff"},
        {"return hex(string.pack('iIlL', -1, 1, 2, 4294967295))",
         "ff ff ff ff 01 00 00 00 02 00 00 00 ff ff ff ff"},
        {"return hex(string.pack('<i>i=i', 1, 1, 1))", "01 00 00 00 00 00 00 01 01 00 00 00"},
        {"return hex(string.pack('>d', 1))", "3f f0 00 00 00 00 00 00"},
        {"return hex(string.pack('BB', true, false))", "01 00"},
        {"return hex(string.pack('b3, b', 1, 2, 3, 4))", "01 02 03 04"},
        {"return hex(string.pack('b0', 7))", "07"},
        {"return hex(string.pack('i', 2^32))", "22 00 00 00"},  // "^" is the exclusive or
        {"return hex(string.pack('i', 4294967297.5))", "01 00 00 00"},
        {"return hex(string.pack('wz', L\"A\\x263A\"))", "41 00 3a 26 00 00"},
        {"return hex(string.pack('>wp', L\"AB\"))", "02 00 41 00 42"},
        {"return hex(string.pack('wA', 12))", "31 00 32 00"},
        {"return hex(string.pack('', 1))", ""},
    };
    ExpectRunsHex(cases);
}

// "@count[:fill]" opens a field padded to count bytes; the next "@" closes it.
TEST_F(StringPackTest, PaddedFields) {
    const LuaCase cases[] = {
        {"return hex(string.pack('@4:32Ab@', 'x', 1))", "78 01 20 20"},
        {"return hex(string.pack('@2Ai@', 'abc', 1))", "61 62 63 01 00 00 00"},
        {"return hex(string.pack('@3b@', 1))", "01 00 00"},
        {"return hex(string.pack('@3:300b@', 1))", "01 2c 2c"},
        {"return hex(string.pack('b@2:1@b@3:2b@', 9, 8, 7))", "09 01 01 08 07 02 02"},
        {"return hex(string.pack('@8:255A', 'x'))", "78"},
        {"return hex(string.pack('@@'))", "00"},
    };
    ExpectRunsHex(cases);
}

TEST_F(StringPackTest, UnpackReadsBackWhatPackWrote) {
    const LuaCase cases[] = {
        {"return string.unpack(string.pack('iHz', -5, 65535, 'str'), 'iHz')", "11, -5, 65535, str"},
        {"return string.unpack(string.pack('cbhHiIlL', -1, 255, -2, 65535, -3, 3, -4, 4), "
         "'cbhHiIlL')",
         "23, -1, 255, -2, 65535, -3, 3, -4, 4"},
        {"return string.unpack(string.pack('>f<d>n', 1.5, 0.25, -8), '>f<d>n')",
         "21, 1.5, 0.25, -8"},
        {"return string.unpack(string.pack('p>Pa', 'x', 'yy', 'zzz'), 'p>Pa')", "14, x, yy, zzz"},
        {"return string.unpack('\\1\\0\\7', 'BBB')", "4, true, false, true"},
        {"return string.unpack('abcdef', 'A2A3')", "6, ab, cde"},
        {"return string.unpack('abc', 'A0')", "2, a"},
        {"return string.unpack('\\1\\2\\3', 'b3')", "4, 1, 2, 3"},
        {"return string.unpack('abc', 'b', 2)", "3, 98"},
        {"return string.unpack('abc', 'b', -1)", "-1"},
        {"return string.unpack('abc', 'b', 0)", "0"},
        {"return string.unpack('abc', 'b', 9)", "9"},
        {"return string.unpack('', 'z')", "1"},
        // A wide "z" ends after its terminating unit.
        {"return string.unpack(string.pack('wz', L\"h\\xE9\"), 'wz')", "7, L\"h\\x{e9}\""},
        {"return string.unpack(string.pack('>wzwA', L\"ab\", L\"c\"), '>wzwA')",
         "9, L\"ab\", L\"c\""},
        {"return string.unpack(string.pack('wa', L\"\"), 'wa')", "5, L\"\""},
        {"return string.unpack('a\\0\\0\\0', 'wz')", "5, L\"a\""},
    };
    ExpectRuns(cases);
}

// Nothing is read outside the data: a field that does not fit ends it, and the position is
// the one after the last whole value.
TEST_F(StringPackTest, ShortFieldsEndTheData) {
    const LuaCase cases[] = {
        {"return string.unpack('\\5ab', 'p')", "1"},
        {"return string.unpack('\\0\\9a', 'P')", "1"},
        {"return string.unpack('\\255\\255\\255\\127', 'a')", "1"},
        {"return string.unpack('\\255\\255\\255\\255xyz', 'a')", "1"},
        {"return string.unpack('ab', 'A5')", "1"},
        {"return string.unpack('ab', 'A2147483647')", "1"},
        {"return string.unpack('abc', 'z')", "1"},
        {"return string.unpack('\\1abc', 'bz')", "2, 1"},
        {"return string.unpack(string.rep('\\1', 9), 'i9')", "9, 16843009, 16843009"},
        {"return string.unpack('abc', 'h2')", "3, 25185"},
        // A wide field never takes a lone last byte as half a unit.
        {"return string.unpack('abc', 'wA2')", "1"},
        {"return string.unpack('a\\0b', 'wz')", "1"},
        {"return string.unpack('a\\0b\\0', 'wz')", "1"},
        {"return string.unpack('\\2\\0a', 'wp')", "1"},
        {"return string.unpack('x\\2a\\0b\\0', 'bwp')", "7, 120, L\"ab\""},
        {"return string.unpack(string.pack('wzb', L\"a\", 1), 'wzb')", "6, L\"a\", 1"},
        {"return string.unpack('ab', 'd')", "1"},
        // More values than a relative stack index reaches still come after their position.
        {"local t = {string.unpack(string.rep('a', 12000), 'b12000')} "
         "return table.getn(t), t[1], t[2], t[12001]",
         "12001, 12001, 97, 97"},
    };
    ExpectRuns(cases);
}

TEST_F(StringPackTest, Errors) {
    const LuaCase cases[] = {
        {"local s = string.pack('q')", "error: test:1: bad argument #1 to `pack' (bad code `q')"},
        {"local s = string.pack('wi', 1)",
         "error: test:1: bad argument #1 to `pack' (bad code `w')"},
        {"local s = string.unpack('x', '@')",
         "error: test:1: bad argument #2 to `unpack' (bad code `@')"},
        {"local s = string.unpack('x', 'bq')",
         "error: test:1: bad argument #2 to `unpack' (bad code `q')"},
        {"local s = string.pack('B', 1)", "error: test:1: expected a boolean"},
        {"local s = string.pack('i')",
         "error: test:1: bad argument #2 to `pack' (number expected, got no value)"},
        {"local s = string.pack('b99999999999999', 1)",
         "error: test:1: bad argument #3 to `pack' (number expected, got no value)"},
        {"local s = string.pack(' 99999999999<99999999999')", ""},
        {"local s = string.pack('p', string.rep('x', 256))",
         "error: test:1: bad argument #2 to `pack' (string too long)"},
        {"local s = string.pack('P', string.rep('x', 65536))",
         "error: test:1: bad argument #2 to `pack' (string too long)"},
        {"local s = string.pack('wz', 'bytes')",
         "error: test:1: bad argument #2 to `pack' (wstring expected, got string)"},
        {"local s = string.pack('z', L\"w\")",
         "error: test:1: bad argument #2 to `pack' (string expected, got wstring)"},
    };
    ExpectRuns(cases);
}

}  // namespace
