#include "script/lua/lua.h"

#include <gtest/gtest.h>

#include <string>

#include "script/lua/object.h"

namespace {

class LuaApiTest : public ::testing::Test {
protected:
    void SetUp() override { L = lua_open(); }
    void TearDown() override { lua_close(L); }

    lua_State* L = nullptr;
};

TEST_F(LuaApiTest, TypeNames) {
    const char* expected[] = {"nil",   "boolean",  "userdata", "number", "string",
                              "table", "function", "userdata", "thread", "wstring"};
    for (int t = 0; t <= 9; t++)
        EXPECT_STREQ(lua_typename(L, t), expected[t]) << t;
    EXPECT_STREQ(lua_typename(L, LUA_TNONE), "no value");
    EXPECT_EQ(lua_type(L, 1), LUA_TNONE);
    EXPECT_EQ(lua_type(L, -1), LUA_TNONE);
    EXPECT_EQ(lua_type(L, lua_upvalueindex(1)), LUA_TNONE);
    lua_pushwstring(L, u"x");
    EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
}

TEST_F(LuaApiTest, WideStringsAreInternedAndMeasuredInUnits) {
    lua_pushwstring(L, u"h\u00e9llo");
    const char16_t units[] = {u'h', u'\u00e9', u'l', u'l', u'o'};
    lua_pushlwstring(L, units, 5);
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
    EXPECT_EQ(lua_topointer(L, -1), nullptr);
    EXPECT_TRUE(lua_isstring(L, -1));
    EXPECT_EQ(lua_tostring(L, -1), nullptr);
    EXPECT_EQ(lua_strlen(L, -1), 5u);
    EXPECT_EQ(std::u16string(lua_towstring(L, -1)), u"h\u00e9llo");
    EXPECT_EQ(lua_towstring(L, -1), lua_towstring(L, -2));

    // Units after a zero unit belong to the text.
    const char16_t withZero[] = {u'a', 0, u'b'};
    lua_pushlwstring(L, withZero, 3);
    EXPECT_EQ(lua_strlen(L, -1), 3u);

    lua_pushwstring(L, u"");
    EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
    EXPECT_EQ(lua_strlen(L, -1), 0u);
    lua_pushlwstring(L, nullptr, 0);
    EXPECT_TRUE(lua_rawequal(L, -1, -2));

    lua_pushwstring(L, nullptr);
    EXPECT_TRUE(lua_isnil(L, -1));

    // A number converts in place to its wide text; a byte string does not.
    lua_pushnumber(L, 12);
    EXPECT_EQ(std::u16string(lua_towstring(L, -1)), u"12");
    EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
    lua_pushstring(L, "12");
    EXPECT_EQ(lua_towstring(L, -1), nullptr);
}

TEST_F(LuaApiTest, StringAndWideStringAreDifferentKeys) {
    lua_newtable(L);
    lua_pushstring(L, "1");
    lua_pushnumber(L, 10);
    lua_rawset(L, -3);
    lua_pushwstring(L, u"1");
    lua_pushnumber(L, 20);
    lua_rawset(L, -3);
    lua_pushnumber(L, 1);
    lua_pushnumber(L, 30);
    lua_rawset(L, -3);

    lua_pushstring(L, "1");
    lua_rawget(L, -2);
    EXPECT_EQ(lua_tonumber(L, -1), 10);
    lua_pop(L, 1);
    lua_pushwstring(L, u"1");
    lua_rawget(L, -2);
    EXPECT_EQ(lua_tonumber(L, -1), 20);
    lua_pop(L, 1);

    lua_pushstring(L, "1");
    lua_pushwstring(L, u"1");
    EXPECT_FALSE(lua_rawequal(L, -1, -2));
    EXPECT_FALSE(lua_equal(L, -1, -2));
}

TEST_F(LuaApiTest, UserdataLengthIsEvenAndBlockIsReturned) {
    for (size_t size : {0u, 1u, 5u, 6u, 7u}) {
        void* block = lua_newuserdata(L, size);
        Udata* u = reinterpret_cast<Udata*>(block) - 1;
        EXPECT_EQ(u->len, size + (size & 1)) << size;
        EXPECT_EQ(lua_touserdata(L, -1), block);
        EXPECT_EQ(lua_topointer(L, -1), block);
        EXPECT_EQ(lua_type(L, -1), LUA_TUSERDATA);
        lua_pop(L, 1);
    }
}

TEST_F(LuaApiTest, PointerUserdataGivesBackItsPointer) {
    int target = 0;
    lua_pushpointer(L, &target);
    EXPECT_EQ(lua_type(L, -1), LUA_TUSERDATA);
    EXPECT_EQ(lua_touserdata(L, -1), &target);
    EXPECT_EQ(lua_topointer(L, -1), &target);
    lua_pushpointer(L, nullptr);
    EXPECT_EQ(lua_touserdata(L, -1), nullptr);
    // It takes the userdata type's metatable like any new userdata.
    EXPECT_EQ(lua_getmetatable(L, -1), 1);
    lua_pushtypemetatable(L, LUA_TUSERDATA);
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
}

void rawseti(lua_State* L, int key, double value) {
    lua_pushnumber(L, value);
    lua_rawseti(L, -2, key);
}

TEST_F(LuaApiTest, GetnCases) {
    lua_newtable(L);
    EXPECT_EQ(lua_getn(L, -1), 0);
    lua_pushstring(L, "n");
    lua_pushnumber(L, 3.7);
    lua_rawset(L, -3);
    EXPECT_EQ(lua_getn(L, -1), 3);
    lua_pop(L, 1);

    lua_newtable(L);
    rawseti(L, 1, 1);
    rawseti(L, 2, 2);
    rawseti(L, 4, 4);
    EXPECT_EQ(lua_getn(L, -1), 4);
    lua_pop(L, 1);

    lua_newtable(L);
    rawseti(L, 1, 1);
    rawseti(L, 2, 2);
    rawseti(L, 10, 10);
    EXPECT_EQ(lua_getn(L, -1), 10);
    lua_pop(L, 1);

    lua_newtable(L);
    lua_pushnumber(L, 7.5);
    lua_pushboolean(L, 1);
    lua_rawset(L, -3);
    lua_pushnumber(L, -3);
    lua_pushboolean(L, 1);
    lua_rawset(L, -3);
    EXPECT_EQ(lua_getn(L, -1), 7);
    lua_pop(L, 1);

    lua_pushnumber(L, 5);
    EXPECT_EQ(lua_getn(L, -1), 0);
    EXPECT_EQ(lua_getn(L, 42), 0);
}

TEST_F(LuaApiTest, TypeMetatableForStrings) {
    lua_newtable(L);
    lua_pushstring(L, "marker");
    lua_pushboolean(L, 1);
    lua_rawset(L, -3);
    lua_pushvalue(L, -1);
    lua_settypemetatable(L, LUA_TSTRING);
    lua_pushstring(L, "any text");
    ASSERT_EQ(lua_getmetatable(L, -1), 1);
    EXPECT_TRUE(lua_rawequal(L, -1, -3));
    lua_pop(L, 2);
    lua_pushtypemetatable(L, LUA_TSTRING);
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
    lua_pop(L, 2);

    // A non-table on top is popped and leaves the slot as it was.
    lua_pushtypemetatable(L, LUA_TSTRING);
    int before = lua_gettop(L);
    lua_pushnumber(L, 1);
    lua_settypemetatable(L, LUA_TSTRING);
    EXPECT_EQ(lua_gettop(L), before);
    lua_pushtypemetatable(L, LUA_TSTRING);
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
}

TEST_F(LuaApiTest, EveryValueButNilHasAMetatable) {
    lua_newtable(L);
    ASSERT_EQ(lua_getmetatable(L, -1), 1);
    lua_pushtypemetatable(L, LUA_TTABLE);
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
    lua_pop(L, 2);

    // nil means the default metatable, which is its own metatable and is reported too.
    lua_pushnil(L);
    EXPECT_EQ(lua_setmetatable(L, -2), 1);
    ASSERT_EQ(lua_getmetatable(L, -1), 1);
    lua_pushtypemetatable(L, LUA_TTABLE);
    EXPECT_FALSE(lua_rawequal(L, -1, -2));
    lua_pop(L, 1);
    ASSERT_EQ(lua_getmetatable(L, -1), 1);
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
    lua_pop(L, 3);

    lua_pushnumber(L, 1);
    EXPECT_EQ(lua_getmetatable(L, -1), 1);
    lua_pushboolean(L, 0);
    EXPECT_EQ(lua_getmetatable(L, -1), 1);
    lua_pushnil(L);
    int top = lua_gettop(L);
    EXPECT_EQ(lua_getmetatable(L, -1), 0);
    EXPECT_EQ(lua_getmetatable(L, 99), 0);
    EXPECT_EQ(lua_gettop(L), top);

    // Other types cannot take a metatable; the value is popped anyway.
    lua_pushnumber(L, 5);
    lua_newtable(L);
    EXPECT_EQ(lua_setmetatable(L, -2), 0);
    EXPECT_EQ(lua_gettop(L), top + 1);
}

TEST_F(LuaApiTest, RegistryIntegerSlots) {
    lua_pushstring(L, "first");
    lua_rawseti(L, LUA_REGISTRYINDEX, 1);
    lua_pushstring(L, "seventh");
    lua_rawseti(L, LUA_REGISTRYINDEX, 7);
    EXPECT_STREQ(lua_tostring(L, lua_registryslot(1)), "first");
    EXPECT_STREQ(lua_tostring(L, lua_registryslot(7)), "seventh");
    EXPECT_EQ(lua_type(L, lua_registryslot(3)), LUA_TNIL);
    lua_pushvalue(L, lua_registryslot(7));
    EXPECT_STREQ(lua_tostring(L, -1), "seventh");
    lua_pushnumber(L, 5);
    lua_replace(L, lua_registryslot(3));
    lua_rawgeti(L, LUA_REGISTRYINDEX, 3);
    EXPECT_EQ(lua_tonumber(L, -1), 5);
}

int PushHundred(lua_State* L) {
    for (int i = 0; i < 100; i++)
        lua_pushnumber(L, i);
    lua_concat(L, 0);
    return 101;
}

TEST_F(LuaApiTest, PushesGrowTheStack) {
    lua_pushcfunction(L, PushHundred);
    lua_call(L, 0, LUA_MULTRET);
    ASSERT_EQ(lua_gettop(L), 101);
    for (int i = 0; i < 100; i++)
        EXPECT_EQ(lua_tonumber(L, i + 1), i);
    EXPECT_STREQ(lua_tostring(L, 101), "");

    lua_settop(L, 0);
    for (int i = 0; i < 5000; i++)
        lua_pushnumber(L, i);
    EXPECT_EQ(lua_tonumber(L, 5000), 4999);
    lua_settop(L, 10000);
    EXPECT_TRUE(lua_isnil(L, 10000));
}

TEST_F(LuaApiTest, CheckstackLimit) {
    EXPECT_TRUE(lua_checkstack(L, 2048));
    EXPECT_FALSE(lua_checkstack(L, 2049));
    lua_pushnil(L);
    EXPECT_FALSE(lua_checkstack(L, 2048));
}

TEST_F(LuaApiTest, StackManipulation) {
    for (int i = 1; i <= 4; i++)
        lua_pushnumber(L, i);
    lua_insert(L, 1);  // 4 1 2 3
    lua_remove(L, 2);  // 4 2 3
    lua_pushnumber(L, 9);
    lua_replace(L, 1);  // 9 2 3
    ASSERT_EQ(lua_gettop(L), 3);
    EXPECT_EQ(lua_tonumber(L, 1), 9);
    EXPECT_EQ(lua_tonumber(L, 2), 2);
    EXPECT_EQ(lua_tonumber(L, 3), 3);
    lua_settop(L, 5);
    EXPECT_TRUE(lua_isnil(L, 5));
    lua_settop(L, -3);
    EXPECT_EQ(lua_gettop(L), 3);
    lua_pop(L, 10);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaApiTest, NonTablesAreRefusedByRawAccess) {
    lua_pushnumber(L, 5);
    lua_pushstring(L, "k");
    lua_rawget(L, 1);
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pop(L, 1);
    lua_rawgeti(L, 1, 1);
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pop(L, 1);

    lua_pushstring(L, "k");
    lua_pushstring(L, "v");
    lua_rawset(L, 1);
    EXPECT_EQ(lua_gettop(L), 1);
    lua_pushstring(L, "v");
    lua_rawseti(L, 1, 1);
    EXPECT_EQ(lua_gettop(L), 1);
    lua_pushnil(L);
    EXPECT_EQ(lua_next(L, 1), 0);
    EXPECT_EQ(lua_gettop(L), 1);
    // Nothing was written into the numbers' shared table.
    lua_pushtypemetatable(L, LUA_TNUMBER);
    lua_pushnil(L);
    EXPECT_EQ(lua_next(L, -2), 0);
}

TEST_F(LuaApiTest, NextVisitsEveryEntryOnce) {
    lua_newtable(L);
    for (int i = 1; i <= 20; i++)
        rawseti(L, i, i);
    for (int i = 0; i < 20; i++) {
        lua_pushfstring(L, "k%d", i);
        lua_pushnumber(L, 100 + i);
        lua_rawset(L, -3);
    }
    lua_pushwstring(L, u"w");
    lua_pushnumber(L, 1000);
    lua_rawset(L, -3);
    double sum = 0;
    int count = 0;
    int lastIndex = 0;
    lua_pushnil(L);
    while (lua_next(L, -2)) {
        // The array part comes first, in order.
        if (count < 20) {
            EXPECT_EQ(lua_tonumber(L, -2), lastIndex + 1);
            lastIndex++;
        }
        sum += lua_tonumber(L, -1);
        count++;
        // Clearing the visited field does not disturb the traversal.
        lua_pushvalue(L, -2);
        lua_pushnil(L);
        lua_rawset(L, -5);
        lua_pop(L, 1);
    }
    EXPECT_EQ(count, 41);
    EXPECT_EQ(sum, 210 + (100 * 20 + 190) + 1000);

    lua_pushstring(L, "absent");
    EXPECT_EQ(lua_gettop(L), 2);
}

TEST_F(LuaApiTest, UpvaluePseudoIndices) {
    lua_pushstring(L, "up1");
    lua_pushnumber(L, 2);
    lua_pushcclosure(
        L,
        [](lua_State* L) -> int {
            EXPECT_STREQ(lua_tostring(L, lua_upvalueindex(1)), "up1");
            EXPECT_EQ(lua_tonumber(L, lua_upvalueindex(2)), 2);
            EXPECT_EQ(lua_type(L, lua_upvalueindex(3)), LUA_TNONE);
            EXPECT_EQ(lua_pushupvalues(L), 2);
            return 2;
        },
        2);
    EXPECT_STREQ(lua_getupvalue(L, -1, 1), "");
    EXPECT_STREQ(lua_tostring(L, -1), "up1");
    lua_pop(L, 1);
    EXPECT_EQ(lua_getupvalue(L, -1, 3), nullptr);
    lua_call(L, 0, 2);
    EXPECT_STREQ(lua_tostring(L, 1), "up1");
    EXPECT_EQ(lua_tonumber(L, 2), 2);
}

TEST_F(LuaApiTest, GlobalsAndRegistryTakeTheTablesMetatable) {
    lua_pushtypemetatable(L, LUA_TTABLE);
    ASSERT_EQ(lua_getmetatable(L, LUA_GLOBALSINDEX), 1);
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
    ASSERT_EQ(lua_getmetatable(L, LUA_REGISTRYINDEX), 1);
    EXPECT_TRUE(lua_rawequal(L, -1, -3));

    lua_register(L, "answer", [](lua_State* L) -> int {
        lua_pushnumber(L, 42);
        return 1;
    });
    lua_pushstring(L, "answer");
    lua_gettable(L, LUA_GLOBALSINDEX);
    EXPECT_TRUE(lua_iscfunction(L, -1));
    lua_call(L, 0, 1);
    EXPECT_EQ(lua_tonumber(L, -1), 42);
}

TEST_F(LuaApiTest, ThreadsShareGlobals) {
    lua_State* L1 = lua_newthread(L);
    EXPECT_EQ(lua_tothread(L, -1), L1);
    lua_pushstring(L1, "shared");
    lua_pushnumber(L1, 7);
    lua_settable(L1, LUA_GLOBALSINDEX);
    lua_pushstring(L, "shared");
    lua_gettable(L, LUA_GLOBALSINDEX);
    EXPECT_EQ(lua_tonumber(L, -1), 7);
    lua_pushstring(L1, "moved");
    lua_xmove(L1, L, 1);
    EXPECT_STREQ(lua_tostring(L, -1), "moved");
    EXPECT_EQ(lua_gettop(L1), 0);
}

TEST_F(LuaApiTest, PushFormatted) {
    EXPECT_STREQ(lua_pushfstring(L, "%s=%d (%f) %c%%", "x", -3, 0.5, 'y'), "x=-3 (0.5) y%");
    EXPECT_STREQ(lua_pushfstring(L, "%f", 1e100), "1e+100");
}

}  // namespace
