// Closures, upvalues and prototypes.
#pragma once

#include "script/lua/object.h"

Proto* luaF_newproto(lua_State* L);
Closure* luaF_newCclosure(lua_State* L, int nelems);
Closure* luaF_newLclosure(lua_State* L, int nelems, const TValue* e);
// The open upvalue for a stack slot, made when missing.
UpVal* luaF_findupval(lua_State* L, StkId level);
// Closes every open upvalue at or above level: its value moves inside it.
void luaF_close(lua_State* L, StkId level);
void luaF_freeproto(lua_State* L, Proto* f);
void luaF_freeclosure(lua_State* L, Closure* c);
// The name of the n-th local active at pc (1-based), or null.
const char* luaF_getlocalname(const Proto* func, int local_number, int pc);
