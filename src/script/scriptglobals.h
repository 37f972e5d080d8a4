// The globals every script state of the host has: "_ALERT", "DebugOut", "toparams" and the Lua
// utilities "_Internal_DumpEntry", "_Internal_DumpTable" and "DumpTable" (registered by
// RegisterScriptGlobals), and the source of "GetClosure", which TScript defines on first need.
//
// Main thread only, like the state.
#pragma once

#include "foundation/str.h"

struct lua_State;

void RegisterScriptGlobals(lua_State* L);

// The value at the index as the text of an error report: strings and numbers as text, any
// other value as "(error object is a <type> value)".
str LuaErrorText(lua_State* L, int index);

// Logs "Lua error: %s" with the value at the index.
void LogLuaError(lua_State* L, int index);

// Defines "GetClosure( f, ... )": a function of no arguments that calls f with the first six
// arguments.
extern const char* const kGetClosureSource;
