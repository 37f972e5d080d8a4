#include <gtest/gtest.h>

#include "luascript.h"

namespace {

using TableLibTest = LuaScriptTest;

TEST_F(TableLibTest, Sort) {
    const LuaCase cases[] = {
        {"local t = {5, 2, 8, 1, 9, 3} table.sort(t) return table.concat(t, ',')", "1,2,3,5,8,9"},
        {"local t = {'b', 'a', 'C'} table.sort(t) return table.concat(t)", "Cab"},
        {"local t = {5, 2, 8} table.sort(t, function(a, b) return a > b end) "
         "return table.concat(t, ',')",
         "8,5,2"},
        {"local t = {} table.sort(t) local u = {1} table.sort(u) return table.getn(t), u[1]",
         "0, 1"},
        {"local t = {3, 1, n = 2} t[3] = 0 table.sort(t) return t[1], t[2], t[3]", "1, 3, 0"},
        // Equal keys end up where Lua 5.0's quicksort puts them.
        {"local t = {} for i = 1, 12 do t[i] = {k = i - 4 * math_floor(i / 4), id = i} end "
         "table.sort(t, function(a, b) return a.k < b.k end) "
         "local ids = {} for i = 1, 12 do ids[i] = t[i].id end return table.concat(ids, ' ')",
         "12 4 8 9 5 1 6 10 2 3 11 7"},
        {"local t = {1, 'x', 2} table.sort(t)", "error: attempt to compare string with number"},
        {"local t = {} for i = 1, 20 do t[i] = 21 - i end "
         "table.sort(t, function(a, b) return true end)",
         "error: test:1: invalid order function for sorting"},
        {"table.sort({1, 2}, 3)",
         "error: test:1: bad argument #2 to `sort' (function expected, got number)"},
        {"table.sort('x')",
         "error: test:1: bad argument #1 to `sort' (table expected, got string)"},
    };
    // A floor for the case above without a math library: the integer part through format.
    Run("function math_floor(x) return tonumber(string.format('%d', x)) end");
    ExpectRuns(cases);
}

TEST_F(TableLibTest, InsertAndRemove) {
    const LuaCase cases[] = {
        {"local t = {1, 2} table.insert(t, 3) table.insert(t, 1, 0) "
         "return table.concat(t, ','), table.getn(t)",
         "0,1,2,3, 4"},
        {"local t = {} table.insert(t, 5, 'x') return table.getn(t), t[5]", "5, x"},
        {"local t = {n = 2} table.insert(t, 'a') return t.n, t[3]", "3, a"},
        {"local t = {1, 2, 3} return table.remove(t), table.getn(t), t[3]", "3, 2, nil"},
        {"local t = {1, 2, 3} return table.remove(t, 1), table.concat(t, ',')", "1, 2,3"},
        {"local t = {} return table.remove(t)", ""},
        // Outside the elements nothing is removed and the last element stays.
        {"local t = {1, 2, 3} local r = table.remove(t, 10) return r, table.getn(t), t[3]",
         "nil, 3, 3"},
        {"local t = {1, 2, 3} t[0] = 'z' local r = table.remove(t, 0) "
         "return r, t[0], table.concat(t, ',')",
         "nil, z, 1,2,3"},
        {"local t = {} table.insert(t)",
         "error: test:1: bad argument #2 to `insert' (number expected, got no value)"},
        {"table.insert(nil, 1)",
         "error: test:1: bad argument #1 to `insert' (table expected, got nil)"},
    };
    ExpectRuns(cases);
}

TEST_F(TableLibTest, SizesConcatAndWalks) {
    const LuaCase cases[] = {
        {"return table.getn({1, 2, nil, 4}), table.getn({n = 7}), table.getn({})", "2, 7, 0"},
        {"local t = {1, 2, 3} table.setn(t, 10) return table.getn(t), t.n", "10, nil"},
        {"local t = {n = 1} table.setn(t, 5) return table.getn(t), t.n", "5, 5"},
        {"return table.concat({1, 'a', 2.5}), table.concat({'a', 'b'}, ', ')", "1a2.5, a, b"},
        {"return table.concat({'a', 'b', 'c', 'd'}, '-', 2, 3), table.concat({}, 'x')", "b-c, "},
        {"return table.concat({'a', 'b'}, '', 3)", ""},
        {"local s = table.concat({'a', {}})",
         "error: test:1: bad argument #1 to `concat' (table contains non-strings)"},
        {"local s = table.concat({L\"w\"})",
         "error: test:1: bad argument #1 to `concat' (table contains non-strings)"},
        {"local s = '' table.foreachi({'a', 'b', nil, 'd'}, function(i, v) s = s .. i .. v end) "
         "return s",
         "1a2b"},
        {"return table.foreachi({5, 6, 7}, function(i, v) if v == 6 then return i end end)", "2"},
        {"local n = 0 table.foreach({a = 1, b = 2, 3}, function(k, v) n = n + v end) return n",
         "6"},
        {"return table.foreach({x = 'y'}, function(k, v) return k .. v end)", "xy"},
        {"table.foreach({}, 1)",
         "error: test:1: bad argument #2 to `foreach' (function expected, got number)"},
    };
    ExpectRuns(cases);
}

}  // namespace
