// The interpreter of Lua functions and what reads their code. No Lua function can be made in
// this build (there is no compiler yet), so nothing here is ever reached with one.

#include "script/lua/debuginfo.h"
#include "script/lua/vmops.h"

void luaV_execute(lua_State* L) {
    luaG_runerror(L, "Lua functions cannot run in this build");
}

const char* luaG_getobjname(CallInfo*, int, const char**) {
    return nullptr;
}

const char* luaG_getfuncname(CallInfo*, const char**) {
    return nullptr;
}
