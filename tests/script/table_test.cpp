#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>

#include "script/lua/lua.h"
#include "script/lua/object.h"
#include "script/lua/table.h"

namespace {

// A key of the shadow model: kind (0 number, 1 string, 2 wide string, 3 boolean) and its text.
using Key = std::pair<int, std::string>;

void PushKey(lua_State* L, const Key& key) {
    switch (key.first) {
        case 0:
            lua_pushnumber(L, std::stod(key.second));
            break;
        case 1:
            lua_pushstring(L, key.second.c_str());
            break;
        case 2: {
            std::u16string w(key.second.begin(), key.second.end());
            lua_pushlwstring(L, w.data(), w.size());
            break;
        }
        default:
            lua_pushboolean(L, key.second == "true");
            break;
    }
}

Key KeyAt(lua_State* L, int idx) {
    switch (lua_type(L, idx)) {
        case LUA_TNUMBER: {
            char text[64];
            snprintf(text, sizeof text, "%.17g", lua_tonumber(L, idx));
            return {0, text};
        }
        case LUA_TSTRING:
            return {1, lua_tostring(L, idx)};
        case LUA_TWSTRING: {
            const char16_t* w = lua_towstring(L, idx);
            return {2, std::string(w, w + lua_strlen(L, idx))};
        }
        default:
            return {3, lua_toboolean(L, idx) ? "true" : "false"};
    }
}

Key RandomKey(std::mt19937& rng) {
    int kind = static_cast<int>(rng() % 8);
    char text[64];
    if (kind < 4) {
        // Mostly small integers (array part candidates), some negatives and fractions.
        int v = static_cast<int>(rng() % 200) - 20;
        double d = (rng() % 5 == 0) ? v + 0.5 : v;
        snprintf(text, sizeof text, "%.17g", d);
        return {0, text};
    }
    if (kind == 7) return {3, (rng() & 1) ? "true" : "false"};
    snprintf(text, sizeof text, "k%u", static_cast<unsigned>(rng() % 150));
    return {kind < 6 ? 1 : 2, text};
}

TEST(LuaTableTest, RandomOperationsMatchAModel) {
    lua_State* L = lua_open();
    std::mt19937 rng(12345);
    std::map<Key, double> model;
    lua_newtable(L);
    for (int step = 0; step < 30000; step++) {
        Key key = RandomKey(rng);
        int op = static_cast<int>(rng() % 10);
        if (op < 6) {
            double value = static_cast<double>(step);
            PushKey(L, key);
            lua_pushnumber(L, value);
            lua_rawset(L, 1);
            model[key] = value;
        } else if (op < 9) {
            PushKey(L, key);
            lua_pushnil(L);
            lua_rawset(L, 1);
            model.erase(key);
        } else {
            PushKey(L, key);
            lua_rawget(L, 1);
            auto it = model.find(key);
            if (it == model.end()) {
                EXPECT_TRUE(lua_isnil(L, -1)) << key.second;
            } else {
                EXPECT_EQ(lua_tonumber(L, -1), it->second) << key.second;
            }
            lua_pop(L, 1);
        }
        if (step % 1000 == 999) {
            lua_setgcthreshold(L, 0);
            std::map<Key, double> seen;
            lua_pushnil(L);
            while (lua_next(L, 1)) {
                Key k = KeyAt(L, -2);
                EXPECT_TRUE(seen.emplace(k, lua_tonumber(L, -1)).second) << k.second;
                lua_pop(L, 1);
            }
            EXPECT_EQ(seen, model);
        }
    }
    lua_close(L);
}

TEST(LuaTableTest, SizingFollowsTheUseOfTheArrayPart) {
    lua_State* L = lua_open();
    lua_newtable(L);
    for (int i = 1; i <= 4; i++) {
        lua_pushnumber(L, i);
        lua_rawseti(L, -2, i);
    }
    Table* h = static_cast<Table*>(const_cast<void*>(lua_topointer(L, -1)));
    EXPECT_EQ(h->sizearray, 4);
    EXPECT_EQ(sizenode(h), 1);
    // Keys 1, 2 and 10: the array keeps 1 and 2, 10 goes to the hash part.
    lua_newtable(L);
    for (int k : {1, 2, 10}) {
        lua_pushnumber(L, k);
        lua_rawseti(L, -2, k);
    }
    h = static_cast<Table*>(const_cast<void*>(lua_topointer(L, -1)));
    EXPECT_EQ(h->sizearray, 2);
    EXPECT_EQ(sizenode(h), 2);
    // String keys: two keys make a hash part of four nodes, as the sizing rounds up.
    lua_newtable(L);
    for (const char* k : {"a", "b"}) {
        lua_pushstring(L, k);
        lua_pushboolean(L, 1);
        lua_rawset(L, -3);
    }
    h = static_cast<Table*>(const_cast<void*>(lua_topointer(L, -1)));
    EXPECT_EQ(h->sizearray, 0);
    EXPECT_EQ(sizenode(h), 4);
    lua_close(L);
}

TEST(LuaTableTest, InvalidKeys) {
    lua_State* L = lua_open();
    struct Case {
        lua_CFunction f;
        const char* message;
    };
    const Case cases[] = {
        {[](lua_State* L) -> int {
             lua_newtable(L);
             lua_pushnil(L);
             lua_pushnumber(L, 1);
             lua_rawset(L, -3);
             return 0;
         },
         "table index is nil"},
        {[](lua_State* L) -> int {
             lua_newtable(L);
             lua_pushnumber(L, 0.0 / 0.0);
             lua_pushnumber(L, 1);
             lua_rawset(L, -3);
             return 0;
         },
         "table index is NaN"},
        {[](lua_State* L) -> int {
             lua_newtable(L);
             lua_pushstring(L, "absent");
             lua_next(L, -2);
             return 0;
         },
         "invalid key for `next'"},
    };
    for (const Case& c : cases) {
        lua_pushcfunction(L, c.f);
        EXPECT_EQ(lua_pcall(L, 0, 0, 0), LUA_ERRRUN);
        EXPECT_STREQ(lua_tostring(L, -1), c.message);
        lua_settop(L, 0);
    }
    lua_close(L);
}

}  // namespace
