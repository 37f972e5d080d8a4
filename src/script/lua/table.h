// Tables: an array part for the keys 1..n and a hash part of 2^k nodes with chained
// collisions, sized on every rehash so that the array part is the largest power of two more
// than half full. Lookups answer the shared nil for a missing key; luaH_set makes the key and
// answers its value slot (nil when new), to be written by the caller.
#pragma once

#include "script/lua/object.h"

const TValue* luaH_getnum(Table* t, int key);
TValue* luaH_setnum(lua_State* L, Table* t, int key);
const TValue* luaH_getstr(Table* t, TString* key);
const TValue* luaH_getwstr(Table* t, TString* key);
const TValue* luaH_get(Table* t, const TValue* key);
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
