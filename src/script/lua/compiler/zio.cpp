#include "script/lua/compiler/zio.h"

#include <cstring>

#include "script/lua/memory.h"

namespace {

// Asks the reader for the next piece; false at the end of the chunk.
bool fill(Zio* z) {
    size_t size = 0;
    const char* piece = z->reader(z->L, z->data, &size);
    if (piece == nullptr || size == 0) return false;
    z->p = piece;
    z->n = size;
    return true;
}

}  // namespace

void luaZ_init(lua_State* L, Zio* z, lua_Chunkreader reader, void* data, const char* name) {
    z->n = 0;
    z->p = nullptr;
    z->reader = reader;
    z->data = data;
    z->name = name;
    z->L = L;
    z->wide = false;
    z->npending = 0;
}

int luaZ_getbyte(Zio* z) {
    if (z->npending > 0) return z->pending[--z->npending];
    if (z->n == 0 && !fill(z)) return EOZ;
    z->n--;
    return static_cast<unsigned char>(*z->p++);
}

void luaZ_ungetbyte(Zio* z, int c) {
    if (c == EOZ || z->npending == 2) return;
    z->pending[z->npending++] = c;
}

int luaZ_lookahead(Zio* z) {
    int c = luaZ_getbyte(z);
    luaZ_ungetbyte(z, c);
    return c;
}

size_t luaZ_read(Zio* z, void* b, size_t n) {
    unsigned char* out = static_cast<unsigned char*>(b);
    while (n > 0 && z->npending > 0) {
        *out++ = static_cast<unsigned char>(z->pending[--z->npending]);
        n--;
    }
    while (n > 0) {
        if (z->n == 0 && !fill(z)) return n;
        size_t m = n <= z->n ? n : z->n;
        memcpy(out, z->p, m);
        z->n -= m;
        z->p += m;
        out += m;
        n -= m;
    }
    return 0;
}

char* luaZ_openspace(lua_State* L, ZBuffer* b, size_t n) {
    if (n > b->size) {
        size_t newsize = b->size * 2;
        if (newsize < n) newsize = n;
        if (newsize < LUA_MINBUFFER) newsize = LUA_MINBUFFER;
        b->buffer = static_cast<char*>(luaM_realloc(L, b->buffer, b->size, newsize));
        b->size = newsize;
    }
    return b->buffer;
}

void luaZ_freebuffer(lua_State* L, ZBuffer* b) {
    luaM_free(L, b->buffer, b->size);
    b->buffer = nullptr;
    b->n = 0;
    b->size = 0;
}
