// Binary chunks: reading the precompiled form of a main function back into a prototype.
//
// Threads: as the state that loads the chunk.
#pragma once

#include "script/lua/object.h"
#include "script/lua/zio.h"

// Reads the binary chunk on z (its first byte, ESC, not yet taken); raises a syntax error
// when it cannot be read.
Proto* luaU_undump(lua_State* L, Zio* z, ZBuffer* buff);
