// The collector: a stop-the-world mark and sweep with weak tables and userdata finalisers.
//
// A collection runs when the bytes in use reach the threshold (luaC_checkGC, called only at
// points where any stack slot may move and any finaliser may run), and sets the next threshold
// at twice what survived. Weak tables ("__mode" with "k" and/or "v" in their metatable) lose
// entries whose key or value was not reached; strings and wide strings are values, never weak.
// Unreached userdata whose metatable has "__gc" are kept for one more cycle and their
// finaliser is called, newest first; an error in a finaliser propagates to the caller.
#pragma once

#include "script/lua/state.h"

void luaC_collectgarbage(lua_State* L);
inline void luaC_checkGC(lua_State* L) {
    if (G(L)->nblocks >= G(L)->GCthreshold) luaC_collectgarbage(L);
}

// Links a new object into the list the collector sweeps.
void luaC_link(lua_State* L, GCObject* o, lu_byte tt);

// Moves unreached userdata that need a finaliser to the pending list; answers their bytes.
size_t luaC_separateudata(lua_State* L);
void luaC_callGCTM(lua_State* L);
// Frees every object of the state (closing it).
void luaC_freeall(lua_State* L);
