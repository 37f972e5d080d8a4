// The string table: every string and wide string of a state is interned here, so that equal
// texts are one object and compare by identity. A string and a wide string are never equal,
// whatever their characters. Full userdata are made here too, as in the string module's
// tradition of "objects with a raw block".
#pragma once

#include <cstring>

#include "script/lua/object.h"

void luaS_resize(lua_State* L, int newsize);
TString* luaS_newlstr(lua_State* L, const char* str, size_t l);
TString* luaS_newlwstr(lua_State* L, const char16_t* units, size_t count);
inline TString* luaS_new(lua_State* L, const char* s) {
    return luaS_newlstr(L, s, strlen(s));
}
inline void luaS_fix(TString* s) {
    s->marked |= kFixedBit;
}

// A full userdata of s bytes (the length word rounded up to even), with the slot-7 metatable.
Udata* luaS_newudata(lua_State* L, size_t s);
// A pointer userdata holding p.
Udata* luaS_newpointer(lua_State* L, void* p);

// The language's string hash, over bytes and over 16-bit units.
lu_hash luaS_hash(const char* str, size_t l);
lu_hash luaS_hashw(const char16_t* units, size_t l);

inline size_t sizestring(size_t len) {
    return sizeof(TString) + len + 1;
}
inline size_t sizewstring(size_t len) {
    return sizeof(TString) + 2 * (len + 1);
}
inline size_t sizeanystring(const TString* ts) {
    return ts->tt == LUA_TWSTRING ? sizewstring(ts->len) : sizestring(ts->len);
}

void luaS_freeall(lua_State* L);
