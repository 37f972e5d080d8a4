// Tables: an array part for the keys 1..n and a hash part of 2^k nodes with chained
// collisions, sized on every rehash so that the array part is the largest power of two more
// than half full. Lookups answer the shared nil for a missing key; luaH_set makes the key and
// answers its value slot (nil when new), to be written by the caller.
#pragma once

#include "script/lua/object.h"

// The lookups are inline: the interpreter's table accesses start here. The hash-part searches
// for number keys and keys of other types are out of line.
const TValue* luaH_getnumhash(Table* t, int key);
const TValue* luaH_getany(Table* t, const TValue* key);

inline const TValue* luaH_getnum(Table* t, int key) {
    if (static_cast<unsigned>(key) - 1u < static_cast<unsigned>(t->sizearray)) {
        return &t->array[key - 1];
    }
    return luaH_getnumhash(t, key);
}

// Strings and wide strings are interned: a key matches by identity, its tag kept apart.
inline const TValue* luaH_getstr(Table* t, TString* key) {
    Node* n = &t->node[key->hash & static_cast<lu_hash>(sizenode(t) - 1)];
    do {
        if (ttype(gkey(n)) == key->tt && tsvalue(gkey(n)) == key) return gval(n);
        n = n->next;
    } while (n != nullptr);
    return luaO_nilobject();
}

inline const TValue* luaH_getwstr(Table* t, TString* key) {
    return luaH_getstr(t, key);
}

inline const TValue* luaH_get(Table* t, const TValue* key) {
    switch (ttype(key)) {
        case LUA_TSTRING:
        case LUA_TWSTRING:
            return luaH_getstr(t, tsvalue(key));
        case LUA_TNUMBER: {
            lua_Number n = nvalue(key);
            if (n >= -2147483648.0 && n <= 2147483647.0) {
                int k = static_cast<int>(n);
                if (static_cast<lua_Number>(k) == n) return luaH_getnum(t, k);
            }
            return luaH_getany(t, key);
        }
        default:
            return luaH_getany(t, key);
    }
}

TValue* luaH_setnum(lua_State* L, Table* t, int key);
// Raises "table index is nil" / "table index is NaN" for such a new key.
TValue* luaH_set(lua_State* L, Table* t, const TValue* key);

// A table with narray array slots and 2^lnhash hash nodes, whose metatable is the table
// kept in the per-type slot of tables.
Table* luaH_new(lua_State* L, int narray, int lnhash);
void luaH_free(lua_State* L, Table* t);

// The entry after the key at key (nil: the first); writes it to key and key + 1 and answers
// true, or false at the end. Raises "invalid key for `next'" for a key not in the table.
bool luaH_next(lua_State* L, Table* t, StkId key);

Node* luaH_mainposition(const Table* t, const TValue* key);

// The size lua_getn reports when the table has no numeric field "n".
int luaH_getn(Table* t);
