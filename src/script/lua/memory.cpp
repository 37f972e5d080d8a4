#include "script/lua/memory.h"

#include "script/lua/calls.h"
#include "script/lua/debuginfo.h"
#include "script/lua/state.h"

namespace {

constexpr int MINSIZEARRAY = 4;

}  // namespace

lu_mem luaM_checkedsize(lua_State* L, lu_mem count, lu_mem size) {
    if (size != 0 && count > kMaxBlockSize / size) {
        luaG_runerror(L, "memory allocation error: block too big");
    }
    return count * size;
}

lu_mem luaM_checkedadd(lua_State* L, lu_mem a, lu_mem b) {
    if (a >= kMaxBlockSize || b >= kMaxBlockSize - a) {
        luaG_runerror(L, "memory allocation error: block too big");
    }
    return a + b;
}

void* luaM_growaux(lua_State* L, void* block, int* size, int size_elem, int limit,
                   const char* errormsg) {
    int newsize;
    if (*size >= limit / 2) {
        // Doubling would pass the limit: take the rest while it still leaves a few places.
        if (*size >= limit - MINSIZEARRAY) luaG_runerror(L, "%s", errormsg);
        newsize = limit;
    } else {
        newsize = *size * 2;
        if (newsize < MINSIZEARRAY) newsize = MINSIZEARRAY;
    }
    void* newblock = luaM_realloc(L, block, static_cast<lu_mem>(*size) * size_elem,
                                  luaM_checkedsize(L, newsize, size_elem));
    *size = newsize;
    return newblock;
}

void* luaM_realloc(lua_State* L, void* block, lu_mem oldsize, lu_mem size) {
    global_State* g = G(L);
    if (size == 0) {
        if (block == nullptr) return nullptr;
        g->frealloc(g->ud, block, oldsize, 0);
        g->nblocks -= oldsize;
        return nullptr;
    }
    if (size >= kMaxBlockSize) luaG_runerror(L, "memory allocation error: block too big");
    void* newblock = g->frealloc(g->ud, block, oldsize, size);
    if (newblock == nullptr) luaD_throw(L, LUA_ERRMEM);
    g->nblocks = g->nblocks - oldsize + size;
    return newblock;
}
