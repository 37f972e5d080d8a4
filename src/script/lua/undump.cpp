// The binary chunk reader. This build does not read binary chunks yet: every one is refused.

#include "script/lua/undump.h"

#include "script/lua/calls.h"

Proto* luaU_undump(lua_State* L, Zio* z, ZBuffer*) {
    char id[LUA_IDSIZE];
    luaO_chunkid(id, z->name, LUA_IDSIZE);
    luaO_pushfstring(L, "%s: binary chunks cannot be read in this build", id);
    luaD_throw(L, LUA_ERRSYNTAX);
}
