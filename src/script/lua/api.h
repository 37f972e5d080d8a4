// How the native interface finds values: stack indices, pseudo-indices and the upvalues of the
// running native closure. Internal to the scripting core.
#pragma once

#include "script/lua/calls.h"
#include "script/lua/state.h"

// The slot an index names, or null when the index is not valid. A missing registry integer
// slot reads as the shared nil (never written through).
TValue* luaA_index(lua_State* L, int idx);

// Pushes the slot written at the old top; the stack grows at its end, so that pushes past
// what lua_checkstack granted stay in bounds.
inline void api_incr_top(lua_State* L) {
    L->top++;
    if (L->top >= L->stack_last) luaD_growstack(L, 1);
}
