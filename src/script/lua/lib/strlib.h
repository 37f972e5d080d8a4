// The string library's functions, shared between its files: strlib.cpp (the simple functions,
// "lualex" and the library table), strformat.cpp ("format"), strmatch.cpp (the patterns of
// "find", "gfind" and "gsub") and strpack.cpp ("pack" and "unpack").
//
// Threads: as the state they are given.
#pragma once

#include <cstdint>

#include "script/lua/lua.h"

int str_format(lua_State* L);
int str_find(lua_State* L);
int str_gfind(lua_State* L);
int str_gsub(lua_State* L);
int str_pack(lua_State* L);
int str_unpack(lua_State* L);

// A string position: negative counts back from the end (-1 is the last byte).
inline int64_t str_posrelat(int pos, size_t len) {
    return pos >= 0 ? pos : static_cast<int64_t>(len) + pos + 1;
}

// A byte string or a number (which reads as its text); wide strings are not.
inline bool str_isbytes(lua_State* L, int idx) {
    int t = lua_type(L, idx);
    return t == LUA_TSTRING || t == LUA_TNUMBER;
}
