// Base functions that live outside baselib.cpp: the ones that load files (fileload.cpp).
//
// Threads: as the state they are given.
#pragma once

#include "script/lua/lua.h"

int luaB_loadfile(lua_State* L);
int luaB_dofile(lua_State* L);
int luaB_require(lua_State* L);
