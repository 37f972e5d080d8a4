// Binary chunks: the precompiled form of a main function and the functions inside it, written
// by lua_dump and string.dump and read back by lua_load whenever a chunk begins with ESC.
//
// Layout: a header (ESC "Lua", version 0x50, the byte-order byte: 1 little-endian, 0 big-endian,
// then the sizes 4 (int), 4 (size_t), 4 (instruction), the field widths 6, 8, 9, 9 of an
// instruction, 8 (number) and the double 31415926.535897933), then the main function. A
// function is: source, line defined, upvalue count, parameter count, vararg flag, maximum stack
// size (four bytes), line info, locals, upvalue names, constants, nested functions, code. Ints
// and sizes are 4 bytes whatever the host's sizes are; a string is a size n (0: none) and n
// bytes ending in a zero; a wide-string constant (type 9) is a size n and n 16-bit units ending
// in a zero unit. Every multi-byte value follows the writer's byte order; the reader swaps when
// it differs from its own. Ordinary string bytes are never swapped.
//
// Threads: as the state that writes or reads the chunk.
#pragma once

#include "script/lua/object.h"
#include "script/lua/compiler/zio.h"

// Reads the binary chunk on z (its first byte, ESC, not yet taken). The whole chunk is taken
// from the reader before anything is built, and every count is checked against the bytes left.
// A chunk that fails a check raises its message as a run-time error (status 1).
Proto* luaU_undump(lua_State* L, Zio* z, ZBuffer* buff);

// Writes f and the functions inside it as a binary chunk through writer, in the host's byte
// order, or big-endian when asked (chunks as another machine would write them). Stops at the
// first piece the writer refuses and answers false then.
bool luaU_dump(lua_State* L, const Proto* f, lua_Chunkwriter writer, void* data,
               bool bigEndian = false);
