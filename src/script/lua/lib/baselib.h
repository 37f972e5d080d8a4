// Base functions that live outside baselib.cpp (the ones that load files, in fileload.cpp), and
// the position prefix that "error" and the coroutine library share.
//
// Threads: as the state they are given.
#pragma once

#include "script/lua/lua.h"

int luaB_loadfile(lua_State* L);
int luaB_dofile(lua_State* L);
int luaB_require(lua_State* L);

// Prefixes the message on top of the stack with the position of the function at that call
// level, as "error" does: a string or number message gains "chunk:line: " (a wide message gains
// it as a wide string; a level that is no Lua function adds nothing); any other value stays as
// it is.
void luaB_prefixposition(lua_State* L, int level);
