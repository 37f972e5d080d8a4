// Run-time errors and what they report: the messages for operations on the wrong types, the
// position prefix of errors raised in Lua code, and the debug information read from call
// records (lua_getstack, lua_getinfo and the rest of the debug interface).
#pragma once

#include "script/lua/state.h"

// Formats the message, prefixes "chunk:line: " when the current function is a Lua function,
// and raises it as a run-time error.
[[noreturn]] void luaG_runerror(lua_State* L, const char* fmt, ...)
    __attribute__((format(printf, 2, 3)));
// Raises the value on top: through the thread's error handler when one is set.
[[noreturn]] void luaG_errormsg(lua_State* L);

[[noreturn]] void luaG_typeerror(lua_State* L, const TValue* o, const char* opname);
[[noreturn]] void luaG_concaterror(lua_State* L, StkId p1, StkId p2);
[[noreturn]] void luaG_aritherror(lua_State* L, const TValue* p1, const TValue* p2);
[[noreturn]] void luaG_ordererror(lua_State* L, const TValue* p1, const TValue* p2);

// The source line the call record is at; -1 for a native function.
int luaG_currentline(CallInfo* ci);
// The prototype run by a Lua call record.
Proto* luaG_getproto(CallInfo* ci);

// What a stack slot of a Lua call record holds by name: "local", "global", "field" or
// "method" with *name set; null when unknown. Names come from the function's code.
const char* luaG_getobjname(CallInfo* ci, int stackpos, const char** name);
// How the function of ci was called, read from its caller's code; null when unknown.
const char* luaG_getfuncname(CallInfo* ci, const char** name);

// Checks that running the code of one prototype stays inside its registers, constants,
// upvalues, nested prototypes and code: what a loaded binary chunk must pass. Nested
// prototypes are checked on their own. A run form (opcodes.h) must also have the operand
// kinds it stands for; a binary chunk may hold none (its reader refuses them first).
bool luaG_checkcode(const Proto* pt);
