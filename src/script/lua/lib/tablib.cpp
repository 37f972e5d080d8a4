// The table library: the "table" table with concat, foreach, foreachi, getn, setn, sort,
// insert and remove. Sizes are those of luaL_getn / luaL_setn (a numeric field "n", else the
// size set before, else the count up to the first nil); elements are read and written raw.

#include "script/lua/lib/auxlib.h"
#include "script/lua/lib/lualib.h"
#include "script/lua/lib/strlib.h"

namespace {

int aux_getn(lua_State* L, int n) {
    luaL_checktype(L, n, LUA_TTABLE);
    return luaL_getn(L, n);
}

int luaB_foreachi(lua_State* L) {
    int n = aux_getn(L, 1);
    luaL_checktype(L, 2, LUA_TFUNCTION);
    for (int i = 1; i <= n; i++) {
        lua_pushvalue(L, 2);
        lua_pushnumber(L, static_cast<lua_Number>(i));
        lua_rawgeti(L, 1, i);
        lua_call(L, 2, 1);
        if (!lua_isnil(L, -1)) return 1;  // a result other than nil ends the walk
        lua_pop(L, 1);
    }
    return 0;
}

int luaB_foreach(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_pushnil(L);
    while (lua_next(L, 1) != 0) {
        lua_pushvalue(L, 2);
        lua_pushvalue(L, -3);  // key
        lua_pushvalue(L, -3);  // value
        lua_call(L, 2, 1);
        if (!lua_isnil(L, -1)) return 1;
        lua_pop(L, 2);  // the value and the result; the key stays for lua_next
    }
    return 0;
}

int luaB_getn(lua_State* L) {
    lua_pushnumber(L, static_cast<lua_Number>(aux_getn(L, 1)));
    return 1;
}

int luaB_setn(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_setn(L, 1, luaL_checkint(L, 2));
    return 0;
}

int luaB_tinsert(lua_State* L) {
    int v = lua_gettop(L);
    int n = aux_getn(L, 1) + 1;
    int pos;
    if (v == 2) {  // table.insert(t, value): at the end
        pos = n;
    } else {
        pos = luaL_checkint(L, 2);
        if (pos > n) n = pos;  // the table grows up to the position
        v = 3;                 // any further argument is ignored
    }
    luaL_setn(L, 1, n);
    while (--n >= pos) {  // moves the elements above up by one
        lua_rawgeti(L, 1, n);
        lua_rawseti(L, 1, n + 1);
    }
    lua_pushvalue(L, v);
    lua_rawseti(L, 1, pos);
    return 0;
}

int luaB_tremove(lua_State* L) {
    int n = aux_getn(L, 1);
    int pos = luaL_optint(L, 2, n);
    // Outside 1..n there is nothing to remove (an empty table included); the last element
    // stays where it is.
    if (pos < 1 || pos > n) return 0;
    luaL_setn(L, 1, n - 1);
    lua_rawgeti(L, 1, pos);  // the result
    for (; pos < n; pos++) {
        lua_rawgeti(L, 1, pos + 1);
        lua_rawseti(L, 1, pos);
    }
    lua_pushnil(L);
    lua_rawseti(L, 1, n);
    return 1;
}

int str_concat(lua_State* L) {
    size_t lsep;
    const char* sep = luaL_optlstring(L, 2, "", &lsep);
    int i = luaL_optint(L, 3, 1);
    int n = luaL_optint(L, 4, 0);
    luaL_checktype(L, 1, LUA_TTABLE);
    if (n == 0) n = luaL_getn(L, 1);
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    for (; i <= n; i++) {
        lua_rawgeti(L, 1, i);
        luaL_argcheck(L, str_isbytes(L, -1), 1, "table contains non-strings");
        luaL_addvalue(&b);
        if (i != n) luaL_addlstring(&b, sep, lsep);
        if (i == n) break;  // n may be the largest int
    }
    luaL_pushresult(&b);
    return 1;
}

// Quicksort of t[lo..up] in place, with the comparison of argument 2 (or "<"). The median of
// three elements is the pivot, the smaller part is sorted by recursion and the larger one by
// the loop, so the native stack stays shallow whatever the order.

void set2(lua_State* L, int i, int j) {
    lua_rawseti(L, 1, i);
    lua_rawseti(L, 1, j);
}

bool sort_comp(lua_State* L, int a, int b) {
    if (!lua_isnil(L, 2)) {
        lua_pushvalue(L, 2);
        lua_pushvalue(L, a - 1);  // -1 for the function pushed
        lua_pushvalue(L, b - 2);  // -2 for the function and a
        lua_call(L, 2, 1);
        bool res = lua_toboolean(L, -1);
        lua_pop(L, 1);
        return res;
    }
    return lua_lessthan(L, a, b);
}

void auxsort(lua_State* L, int lo, int up) {
    while (lo < up) {
        // Orders t[lo], t[(lo+up)/2] and t[up].
        lua_rawgeti(L, 1, lo);
        lua_rawgeti(L, 1, up);
        if (sort_comp(L, -1, -2)) {  // t[up] < t[lo]?
            set2(L, lo, up);
        } else {
            lua_pop(L, 2);
        }
        if (up - lo == 1) break;  // two elements
        int i = lo + (up - lo) / 2;
        lua_rawgeti(L, 1, i);
        lua_rawgeti(L, 1, lo);
        if (sort_comp(L, -2, -1)) {  // t[i] < t[lo]?
            set2(L, i, lo);
        } else {
            lua_pop(L, 1);
            lua_rawgeti(L, 1, up);
            if (sort_comp(L, -1, -2)) {  // t[up] < t[i]?
                set2(L, i, up);
            } else {
                lua_pop(L, 2);
            }
        }
        if (up - lo == 2) break;  // three elements
        lua_rawgeti(L, 1, i);     // the pivot
        lua_pushvalue(L, -1);
        lua_rawgeti(L, 1, up - 1);
        set2(L, i, up - 1);
        // t[lo] <= pivot == t[up-1] <= t[up]: what is left is t[lo+1..up-2].
        i = lo;
        int j = up - 1;
        for (;;) {
            while (lua_rawgeti(L, 1, ++i), sort_comp(L, -1, -2)) {
                if (i > up) luaL_error(L, "invalid order function for sorting");
                lua_pop(L, 1);
            }
            while (lua_rawgeti(L, 1, --j), sort_comp(L, -3, -1)) {
                if (j < lo) luaL_error(L, "invalid order function for sorting");
                lua_pop(L, 1);
            }
            if (j < i) {
                lua_pop(L, 3);  // the pivot, t[i] and t[j]
                break;
            }
            set2(L, i, j);
        }
        lua_rawgeti(L, 1, up - 1);
        lua_rawgeti(L, 1, i);
        set2(L, up - 1, i);  // the pivot goes between the two parts
        if (i - lo < up - i) {
            j = lo;
            i = i - 1;
            lo = i + 2;
        } else {
            j = i + 1;
            i = up;
            up = j - 2;
        }
        auxsort(L, j, i);  // the smaller part
    }
}

int luaB_sort(lua_State* L) {
    int n = aux_getn(L, 1);
    luaL_checkstack(L, 40, "");  // the partition keeps a few values on the stack
    if (!lua_isnoneornil(L, 2)) luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_settop(L, 2);
    auxsort(L, 1, n);
    return 0;
}

const luaL_reg tab_funcs[] = {
    {"concat", str_concat},   {"foreach", luaB_foreach}, {"foreachi", luaB_foreachi},
    {"getn", luaB_getn},      {"setn", luaB_setn},       {"sort", luaB_sort},
    {"insert", luaB_tinsert}, {"remove", luaB_tremove},  {nullptr, nullptr},
};

}  // namespace

int luaopen_table(lua_State* L) {
    luaL_openlib(L, "table", tab_funcs, 0);
    lua_pop(L, 1);
    return 0;
}
