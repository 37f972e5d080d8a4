// The input stream of a chunk being loaded: pieces handed out by a lua_Chunkreader, read byte
// by byte or, for a source marked wide, in 16-bit little-endian units. Bytes looked at ahead
// of time are kept and handed out again first.
//
// Also the growable scratch buffer the lexer collects token text in.
//
// Threads: as the state that loads the chunk.
#pragma once

#include "script/lua/object.h"

// End of the stream.
constexpr int EOZ = -1;

struct Zio {
    size_t n;       // bytes left in the current piece
    const char* p;  // next byte of the current piece
    lua_Chunkreader reader;
    void* data;
    const char* name;  // the chunk name
    lua_State* L;
    bool wide;       // characters are 16-bit units, low byte first
    int pending[2];  // bytes put back, handed out last to first
    int npending;
};

void luaZ_init(lua_State* L, Zio* z, lua_Chunkreader reader, void* data, const char* name);
// The next byte, or EOZ.
int luaZ_getbyte(Zio* z);
// Hands a byte read ahead back to the stream (at most two at a time).
void luaZ_ungetbyte(Zio* z, int c);
// The next byte without taking it, or EOZ.
int luaZ_lookahead(Zio* z);
// The next character: a byte, or a unit of a wide stream; EOZ at the end (also when a wide
// stream ends inside a unit).
inline int luaZ_getchar(Zio* z) {
    if (!z->wide && z->npending == 0 && z->n > 0) {
        z->n--;
        return static_cast<unsigned char>(*z->p++);
    }
    if (!z->wide) return luaZ_getbyte(z);
    int lo = luaZ_getbyte(z);
    if (lo == EOZ) return EOZ;
    int hi = luaZ_getbyte(z);
    if (hi == EOZ) return EOZ;
    return lo | (hi << 8);
}
// Reads n bytes into b; answers how many could not be read (0 when all were).
size_t luaZ_read(Zio* z, void* b, size_t n);

// Scratch text of the lexer, made through the state's allocator.
struct ZBuffer {
    char* buffer;
    size_t n;  // bytes in use
    size_t size;
};

inline void luaZ_initbuffer(ZBuffer* b) {
    b->buffer = nullptr;
    b->n = 0;
    b->size = 0;
}
// Room for at least n bytes; the contents are kept.
char* luaZ_openspace(lua_State* L, ZBuffer* b, size_t n);
void luaZ_freebuffer(lua_State* L, ZBuffer* b);
