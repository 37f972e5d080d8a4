#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "script/lua/lua.h"
#include "script/lua/numconv.h"
#include "script/lua/stringtable.h"

namespace {

class LuaValuesTest : public ::testing::Test {
protected:
    void SetUp() override { L = lua_open(); }
    void TearDown() override { lua_close(L); }

    std::u16string Wide(int idx) {
        const char16_t* w = lua_towstring(L, idx);
        return w != nullptr ? std::u16string(w, lua_strlen(L, idx)) : u"<none>";
    }

    lua_State* L = nullptr;
};

constexpr double kNotANumber = -12345.678;  // marks "no conversion" in the tables below

TEST(LuaNumbersTest, ByteStringsFollowTheDecimalGrammar) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {" -5 ", -5},
        {"0x10", kNotANumber},
        {"inf", kNotANumber},
        {"nan", kNotANumber},
        {"1e5", 1e5},
        {"1.", 1},
        {".5", 0.5},
        {".", kNotANumber},
        {"", kNotANumber},
        {"  ", kNotANumber},
        {"1e", kNotANumber},
        {"1e+", kNotANumber},
        {"+3", 3},
        {"\t12\n", 12},
        {"1 2", kNotANumber},
        {"12abc", kNotANumber},
        {"0.1", 0.1},
        {"1e-999", 0},
        {"-.25e1", -2.5},
        {"- 1", kNotANumber},
    };
    for (const Case& c : cases) {
        lua_Number n = kNotANumber;
        bool ok = luaO_str2d(c.text, &n);
        EXPECT_EQ(ok, c.value != kNotANumber) << '"' << c.text << '"';
        if (ok) {
            EXPECT_EQ(n, c.value) << '"' << c.text << '"';
        }
    }
    lua_Number n = 0;
    ASSERT_TRUE(luaO_str2d("1e999", &n));
    EXPECT_TRUE(std::isinf(n) && n > 0);
    ASSERT_TRUE(luaO_str2d("-1e999", &n));
    EXPECT_TRUE(std::isinf(n) && n < 0);
}

TEST(LuaNumbersTest, WideNumerals) {
    struct Case {
        const char16_t* text;
        double value;
    };
    const Case cases[] = {
        {u"0x1F", 31},
        {u"0x1p4", kNotANumber},
        {u"0x1.8p1", 3},
        {u"-0x10", kNotANumber},
        {u".", 0},
        {u"+", 0},
        {u"0x", 0},
        {u"e5", 0},
        {u"12", 12},
        {u" 12", kNotANumber},
        {u"12 ", 12},
        {u"0X1f", 31},
        {u"1.5e2", 150},
        {u"-2.5", -2.5},
        {u"", kNotANumber},
        {u"0x.8", 0.5},
        {u"0x1.0p-2", 0.25},
        {u"0.1", 0.1},
        {u"12\u3000", kNotANumber},
        {u"1e+2", 100},
    };
    for (const Case& c : cases) {
        lua_Number n = kNotANumber;
        bool ok = luaO_wstr2d(c.text, &n);
        EXPECT_EQ(ok, c.value != kNotANumber) << c.value;
        if (ok) {
            EXPECT_EQ(n, c.value) << c.value;
        }
    }
    EXPECT_EQ(luaO_wstrlen(u"abc"), 3u);
    EXPECT_EQ(luaO_wstrlen(u""), 0u);
}

TEST(LuaNumbersTest, NumberToText) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.1, "0.1"},
        {1e100, "1e+100"},
        {100, "100"},
        {-0.0, "-0"},
        {1.0 / 3, "0.33333333333333"},
        {123456789012345.0, "1.2345678901234e+14"},
        {1e15, "1e+15"},
        {0.1 + 0.2, "0.3"},
        {-1.5e-7, "-1.5e-07"},
        {HUGE_VAL, "inf"},
        {-HUGE_VAL, "-inf"},
        {9007199254740992.0, "9.007199254741e+15"},
    };
    for (const Case& c : cases) {
        char out[LUAI_MAXNUMBER2STR];
        lua_number2str(out, c.value);
        EXPECT_STREQ(out, c.text);
    }
}

TEST(LuaNumbersTest, IntegerConversions) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Wrap {
        double in;
        int32_t out;
    };
    const Wrap wraps[] = {
        {-1, -1},
        {2.9, 2},
        {-2.9, -2},
        {4294967295.0, -1},
        {4294967301.0, 5},
        {9223372036854775808.0, 0},
        {-9223372036854775808.0, 0},
        {1e300, 0},
        {nan, 0},
        {HUGE_VAL, 0},
        {2147483648.0, INT_MIN},
    };
    for (const Wrap& w : wraps)
        EXPECT_EQ(luaO_wrapint(w.in), w.out) << w.in;
    EXPECT_EQ(luaO_wrapuint(-1) & 255u, 255u);
    EXPECT_EQ(luaO_wrapuint(-2.9) & 255u, 254u);

    struct Clamp {
        double in;
        int out;
    };
    const Clamp clamps[] = {{3.7, 3},         {-3.7, -3}, {1e10, INT_MAX},
                            {-1e10, INT_MIN}, {nan, 0},   {HUGE_VAL, INT_MAX}};
    for (const Clamp& c : clamps)
        EXPECT_EQ(luaO_clampint(c.in), c.out) << c.in;
}

TEST(LuaNumbersTest, StringHashIsOneAlgorithmForBytesAndUnits) {
    EXPECT_EQ(luaS_hash("ab", 2), 5161u);
    EXPECT_EQ(luaS_hashw(u"ab", 2), 5161u);
    const char* longText = "a text longer than thirty-one characters, hashed on a sample";
    std::u16string wide(longText, longText + strlen(longText));
    EXPECT_EQ(luaS_hash(longText, strlen(longText)), luaS_hashw(wide.data(), wide.size()));
    EXPECT_EQ(luaS_hashw(u"", 0), 0u);
}

TEST_F(LuaValuesTest, ConversionsThroughTheInterface) {
    lua_pushstring(L, " -5 ");
    EXPECT_TRUE(lua_isnumber(L, -1));
    EXPECT_EQ(lua_tonumber(L, -1), -5);
    lua_pushstring(L, "0x10");
    EXPECT_FALSE(lua_isnumber(L, -1));
    EXPECT_EQ(lua_tonumber(L, -1), 0);
    lua_pushwstring(L, u"0x1F");
    EXPECT_EQ(lua_tonumber(L, -1), 31);

    lua_pushnumber(L, 0.1);
    EXPECT_EQ(Wide(-1), u"0.1");
    lua_pushnumber(L, 1e100);
    EXPECT_EQ(Wide(-1), u"1e+100");
    lua_pushnumber(L, 2.5);
    EXPECT_STREQ(lua_tostring(L, -1), "2.5");
    EXPECT_EQ(lua_type(L, -1), LUA_TSTRING);
    lua_pushnumber(L, 1e15);
    EXPECT_EQ(lua_strlen(L, -1), 5u);
}

TEST_F(LuaValuesTest, WideConcatenation) {
    lua_pushnumber(L, 1);
    lua_pushwstring(L, u"a");
    lua_concat(L, 2);
    EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
    EXPECT_EQ(Wide(-1), u"1a");

    lua_pushwstring(L, u"a");
    lua_pushnumber(L, 2);
    lua_pushnumber(L, 3);
    lua_concat(L, 3);
    EXPECT_EQ(Wide(-1), u"a23");

    lua_pushnumber(L, 1);
    lua_pushnumber(L, 2);
    lua_concat(L, 2);
    EXPECT_EQ(lua_type(L, -1), LUA_TSTRING);
    EXPECT_STREQ(lua_tostring(L, -1), "12");

    lua_pushwstring(L, u"");
    lua_pushnumber(L, 5);
    lua_concat(L, 2);
    EXPECT_EQ(Wide(-1), u"5");

    lua_pushwstring(L, u"x");
    lua_pushwstring(L, u"");
    lua_concat(L, 2);
    EXPECT_EQ(Wide(-1), u"x");

    // The mode comes from the last text of the run: a wide string before it is refused.
    lua_settop(L, 0);
    lua_pushcfunction(L, [](lua_State* L) -> int {
        lua_pushwstring(L, u"w");
        lua_pushnumber(L, 1);
        lua_pushstring(L, "s");
        lua_concat(L, 3);
        return 0;
    });
    EXPECT_EQ(lua_pcall(L, 0, 0, 0), LUA_ERRRUN);
    EXPECT_STREQ(lua_tostring(L, -1), "attempt to concatenate a wstring value");
}

TEST_F(LuaValuesTest, ValuesOfOtherTypesReadAndWriteTheirTypeTable) {
    lua_pushnumber(L, 5);
    lua_pushstring(L, "x");
    lua_gettable(L, -2);
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pop(L, 1);

    // Writing a field of a number stores it in the numbers' table, without error.
    lua_pushstring(L, "x");
    lua_pushnumber(L, 1);
    lua_settable(L, -3);
    lua_pushtypemetatable(L, LUA_TNUMBER);
    lua_pushstring(L, "x");
    lua_rawget(L, -2);
    EXPECT_EQ(lua_tonumber(L, -1), 1);
    lua_settop(L, 0);

    // With a library table as the strings' table, s.foo = 1 sets that library's foo.
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua_settypemetatable(L, LUA_TSTRING);
    lua_pushstring(L, "any");
    lua_pushstring(L, "foo");
    lua_pushnumber(L, 1);
    lua_settable(L, -3);
    lua_pushstring(L, "foo");
    lua_rawget(L, 1);
    EXPECT_EQ(lua_tonumber(L, -1), 1);
    lua_pushstring(L, "other");
    lua_pushstring(L, "foo");
    lua_gettable(L, -2);
    EXPECT_EQ(lua_tonumber(L, -1), 1);
}

TEST_F(LuaValuesTest, UserdataReadsThroughItsMetatable) {
    lua_newuserdata(L, 4);
    lua_newtable(L);
    lua_pushstring(L, "size");
    lua_pushnumber(L, 3);
    lua_rawset(L, -3);
    lua_setmetatable(L, -2);
    lua_pushstring(L, "size");
    lua_gettable(L, -2);
    EXPECT_EQ(lua_tonumber(L, -1), 3);
    lua_pop(L, 1);

    lua_pushcfunction(L, [](lua_State* L) -> int {
        lua_pushstring(L, "size");
        lua_pushnumber(L, 4);
        lua_settable(L, 1);
        return 0;
    });
    lua_insert(L, 1);
    EXPECT_EQ(lua_pcall(L, 1, 0, 0), LUA_ERRRUN);
    EXPECT_STREQ(lua_tostring(L, -1), "attempt to index a userdata value");
}

int Handler(lua_State* L) {
    lua_pushstring(L, "handled");
    return 1;
}

void SetHandler(lua_State* L, int idx, const char* event, lua_CFunction f) {
    lua_getmetatable(L, idx);
    lua_pushstring(L, event);
    lua_pushcfunction(L, f);
    lua_rawset(L, -3);
    lua_pop(L, 1);
}

TEST_F(LuaValuesTest, MetamethodsOfTables) {
    lua_newtable(L);
    lua_newtable(L);
    lua_setmetatable(L, 1);
    SetHandler(L, 1, "__index", Handler);
    lua_pushstring(L, "missing");
    lua_gettable(L, 1);
    EXPECT_STREQ(lua_tostring(L, -1), "handled");
    lua_pop(L, 1);

    // "__concat" is taken from the first operand only when it has one: a table on the left
    // works, a string on the left finds the strings' table and fails.
    SetHandler(L, 1, "__concat", Handler);
    lua_pushvalue(L, 1);
    lua_pushstring(L, "x");
    lua_concat(L, 2);
    EXPECT_STREQ(lua_tostring(L, -1), "handled");
    lua_pop(L, 1);
    lua_pushcfunction(L, [](lua_State* L) -> int {
        lua_pushstring(L, "x");
        lua_pushvalue(L, 1);
        lua_concat(L, 2);
        return 0;
    });
    lua_pushvalue(L, 1);
    EXPECT_EQ(lua_pcall(L, 1, 0, 0), LUA_ERRRUN);
    EXPECT_STREQ(lua_tostring(L, -1), "attempt to concatenate a table value");
    lua_pop(L, 1);

    // Two tables sharing one metatable compare through its "__eq" and "__lt".
    lua_newtable(L);
    lua_getmetatable(L, 1);
    lua_setmetatable(L, -2);
    EXPECT_FALSE(lua_equal(L, 1, -1));
    SetHandler(L, 1, "__eq", [](lua_State* L) -> int {
        lua_pushboolean(L, 1);
        return 1;
    });
    EXPECT_TRUE(lua_equal(L, 1, -1));
    SetHandler(L, 1, "__lt", [](lua_State* L) -> int {
        lua_pushboolean(L, 0);
        return 1;
    });
    EXPECT_FALSE(lua_lessthan(L, 1, -1));
}

TEST_F(LuaValuesTest, StringOrder) {
    lua_pushlstring(L, "a\0b", 3);
    lua_pushlstring(L, "a\0c", 3);
    EXPECT_TRUE(lua_lessthan(L, 1, 2));
    EXPECT_FALSE(lua_lessthan(L, 2, 1));
    lua_pushlstring(L, "a", 1);
    EXPECT_TRUE(lua_lessthan(L, 3, 1));
    EXPECT_FALSE(lua_lessthan(L, 1, 1));
    lua_pushnumber(L, 2);
    lua_pushnumber(L, 10);
    EXPECT_TRUE(lua_lessthan(L, 4, 5));
}

}  // namespace
