// The standard libraries of the program's Lua. Each luaopen_* adds its functions to the
// state's globals (or a library table there) and answers 0. There is no math, io, os, debug
// or dynamic-loading library.
//
// Threads: as the state they are given.
#pragma once

#include "script/lua/lua.h"

// The base functions, "_G", "_VERSION", "newproxy", the "coroutine" table, "_LOADED", and
// the per-type metatables registered under "_boolean" ... "_wstring".
int luaopen_base(lua_State* L);

// The "string" table (len, sub, lower, upper, char, rep, byte, format, dump, find, gfind,
// gsub, lualex, pack, unpack), which also becomes the metatable of strings.
int luaopen_string(lua_State* L);
// The "table" table (concat, foreach, foreachi, getn, setn, sort, insert, remove).
int luaopen_table(lua_State* L);

// The "coroutine" table; luaopen_base opens it.
void luaB_opencoroutine(lua_State* L);
