#include <gtest/gtest.h>

#include "script/lua/lua.h"

namespace {

int gFinalized = 0;

int CountFinalizer(lua_State*) {
    gFinalized++;
    return 0;
}

void FullCollect(lua_State* L) {
    lua_setgcthreshold(L, 0);
}

// registry[name] = a new table whose metatable has the given "__mode".
void MakeWeak(lua_State* L, const char* name, const char* mode) {
    lua_pushstring(L, name);
    lua_newtable(L);
    lua_newtable(L);
    lua_pushstring(L, "__mode");
    lua_pushstring(L, mode);
    lua_rawset(L, -3);
    lua_setmetatable(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

void PushRegistry(lua_State* L, const char* name) {
    lua_pushstring(L, name);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

int CountEntries(lua_State* L, int idx) {
    int n = 0;
    lua_pushnil(L);
    while (lua_next(L, idx < 0 ? idx - 1 : idx)) {
        n++;
        lua_pop(L, 1);
    }
    return n;
}

// One round: many short-lived tables, strings, wide strings and userdata, some with a
// finaliser, entered in weak tables; answers how many finalisable userdata it made.
int Churn(lua_State* L, int round) {
    int finalisable = 0;
    PushRegistry(L, "wk");
    PushRegistry(L, "wv");
    PushRegistry(L, "wkv");
    int wk = lua_gettop(L) - 2, wv = wk + 1, wkv = wk + 2;
    for (int i = 0; i < 60; i++) {
        lua_newtable(L);
        int t = lua_gettop(L);
        lua_pushfstring(L, "name %d %d", round, i);
        lua_pushlwstring(L, u"wide text", 1 + i % 9);
        lua_rawset(L, t);
        lua_pushnumber(L, i);
        lua_rawseti(L, t, 1);

        void* block = lua_newuserdata(L, 16 + i);
        static_cast<char*>(block)[0] = 1;
        if (i % 3 == 0) {
            PushRegistry(L, "gcmeta");
            lua_setmetatable(L, -2);
            finalisable++;
        }
        int u = lua_gettop(L);

        lua_pushvalue(L, u);
        lua_pushvalue(L, t);
        lua_rawset(L, wk);
        lua_pushvalue(L, u);
        lua_rawseti(L, wv, i + 1);
        lua_pushvalue(L, t);
        lua_pushfstring(L, "value %d", i);
        lua_rawset(L, wkv);
        if (i % 10 == 0) FullCollect(L);
        lua_settop(L, wkv);
    }
    lua_settop(L, wk - 1);
    return finalisable;
}

TEST(LuaCollectorTest, StressRoundsDoNotGrow) {
    lua_State* L = lua_open();
    gFinalized = 0;
    lua_pushstring(L, "gcmeta");
    lua_newtable(L);
    lua_pushstring(L, "__gc");
    lua_pushcfunction(L, CountFinalizer);
    lua_rawset(L, -3);
    lua_rawset(L, LUA_REGISTRYINDEX);
    MakeWeak(L, "wk", "k");
    MakeWeak(L, "wv", "v");
    MakeWeak(L, "wkv", "kv");

    // Strings and wide strings in weak tables are values: they stay.
    PushRegistry(L, "wv");
    lua_pushstring(L, "kept");
    lua_pushstring(L, "text");
    lua_rawset(L, -3);
    lua_pushstring(L, "keptwide");
    lua_pushwstring(L, u"wide");
    lua_rawset(L, -3);
    lua_pop(L, 1);

    int made = 0;
    int baseline = 0;
    for (int round = 0; round < 400; round++) {
        made += Churn(L, round);
        FullCollect(L);
        FullCollect(L);
        if (round == 10) baseline = lua_getgccount(L);
    }
    EXPECT_LE(lua_getgccount(L), baseline + 1);
    EXPECT_EQ(gFinalized, made);

    // Values of weak-key tables are strong: a table held there by a finalised userdata goes
    // one collection after the userdata.
    FullCollect(L);

    PushRegistry(L, "wk");
    EXPECT_EQ(CountEntries(L, -1), 0);
    PushRegistry(L, "wkv");
    EXPECT_EQ(CountEntries(L, -1), 0);
    PushRegistry(L, "wv");
    EXPECT_EQ(CountEntries(L, -1), 2);
    lua_pushstring(L, "keptwide");
    lua_rawget(L, -2);
    EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
    lua_close(L);
}

TEST(LuaCollectorTest, FinalisedUserdataLeaveWeakValuesButKeepWeakKeys) {
    lua_State* L = lua_open();
    MakeWeak(L, "wk", "k");
    MakeWeak(L, "wv", "v");
    // The finaliser keeps its userdata alive in a global.
    lua_pushstring(L, "gcmeta");
    lua_newtable(L);
    lua_pushstring(L, "__gc");
    lua_pushcfunction(L, [](lua_State* L) -> int {
        lua_pushstring(L, "resurrected");
        lua_pushvalue(L, 1);
        lua_settable(L, LUA_GLOBALSINDEX);
        return 0;
    });
    lua_rawset(L, -3);
    lua_rawset(L, LUA_REGISTRYINDEX);

    lua_newuserdata(L, 8);
    PushRegistry(L, "gcmeta");
    lua_setmetatable(L, -2);
    PushRegistry(L, "wk");
    lua_pushvalue(L, -2);
    lua_pushstring(L, "key entry");
    lua_rawset(L, -3);
    lua_pop(L, 1);
    PushRegistry(L, "wv");
    lua_pushvalue(L, -2);
    lua_rawseti(L, -2, 1);
    lua_settop(L, 0);

    FullCollect(L);
    lua_pushstring(L, "resurrected");
    lua_gettable(L, LUA_GLOBALSINDEX);
    EXPECT_EQ(lua_type(L, -1), LUA_TUSERDATA);
    PushRegistry(L, "wv");
    EXPECT_EQ(CountEntries(L, -1), 0);
    PushRegistry(L, "wk");
    EXPECT_EQ(CountEntries(L, -1), 1);
    lua_close(L);
}

TEST(LuaCollectorTest, FinaliserErrorsReachTheCaller) {
    lua_State* L = lua_open();
    gFinalized = 0;
    lua_newuserdata(L, 1);
    lua_newtable(L);
    lua_pushstring(L, "__gc");
    lua_pushcfunction(L, [](lua_State* L) -> int {
        gFinalized++;
        lua_pushstring(L, "finaliser failed");
        return lua_error(L);
    });
    lua_rawset(L, -3);
    lua_setmetatable(L, -2);
    lua_pop(L, 1);
    lua_pushcfunction(L, [](lua_State* L) -> int {
        FullCollect(L);
        return 0;
    });
    EXPECT_EQ(lua_pcall(L, 0, 0, 0), LUA_ERRRUN);
    EXPECT_STREQ(lua_tostring(L, -1), "finaliser failed");
    EXPECT_EQ(gFinalized, 1);
    lua_settop(L, 0);
    FullCollect(L);
    EXPECT_EQ(gFinalized, 1);
    lua_close(L);
}

TEST(LuaCollectorTest, CloseRunsPendingFinalisersOnce) {
    lua_State* L = lua_open();
    gFinalized = 0;
    lua_pushstring(L, "keep");
    lua_newtable(L);
    for (int i = 1; i <= 5; i++) {
        lua_newuserdata(L, 4);
        lua_newtable(L);
        lua_pushstring(L, "__gc");
        lua_pushcfunction(L, CountFinalizer);
        lua_rawset(L, -3);
        lua_setmetatable(L, -2);
        lua_rawseti(L, -2, i);
    }
    lua_settable(L, LUA_GLOBALSINDEX);
    lua_close(L);
    EXPECT_EQ(gFinalized, 5);
}

TEST(LuaCollectorTest, AutomaticCollectionKeepsReachableValues) {
    lua_State* L = lua_open();
    lua_newtable(L);
    for (int i = 1; i <= 20000; i++) {
        lua_pushfstring(L, "item %d", i);
        lua_rawseti(L, 1, i);
        lua_newtable(L);  // garbage that makes collections run on their own
        lua_pop(L, 1);
        lua_State* thread = lua_newthread(L);
        lua_pushnumber(thread, i);
        lua_pop(L, 1);
    }
    EXPECT_GT(lua_getgcthreshold(L), 0);
    for (int i = 1; i <= 20000; i += 997) {
        lua_rawgeti(L, 1, i);
        char expected[32];
        snprintf(expected, sizeof expected, "item %d", i);
        EXPECT_STREQ(lua_tostring(L, -1), expected);
        lua_pop(L, 1);
    }
    EXPECT_EQ(lua_getn(L, 1), 20000);
    lua_close(L);
}

}  // namespace
