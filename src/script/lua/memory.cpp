#include "script/lua/memory.h"

#include "script/lua/calls.h"
#include "script/lua/debuginfo.h"
#include "script/lua/state.h"

// Free blocks are poisoned for AddressSanitizer, so that a use after free is still caught.
#if defined(__SANITIZE_ADDRESS__)
#define UMBRAVA_LUA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define UMBRAVA_LUA_ASAN 1
#endif
#endif
#ifdef UMBRAVA_LUA_ASAN
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif

namespace {

constexpr int MINSIZEARRAY = 4;

constexpr size_t kSmallGranule = 16;
constexpr size_t kSmallLimit = kSmallGranule * kSmallClasses;
constexpr size_t kSlabSize = 8192;
// A slab starts with the link to the next slab, padded to keep the blocks 16-byte aligned.
constexpr size_t kSlabHeader = 16;

size_t classof(size_t size) {
    return (size - 1) / kSmallGranule;
}

// A new slab cut into free blocks of class c, in address order.
void refill(lua_State* L, size_t c) {
    global_State* g = G(L);
    void* slab = g->frealloc(g->ud, nullptr, 0, kSlabSize);
    if (slab == nullptr) luaD_throw(L, LUA_ERRMEM);
    *static_cast<void**>(slab) = g->small.slabs;
    g->small.slabs = slab;
    size_t blocksize = (c + 1) * kSmallGranule;
    size_t count = (kSlabSize - kSlabHeader) / blocksize;
    char* first = static_cast<char*>(slab) + kSlabHeader;
    for (size_t i = count; i-- > 0;) {
        char* block = first + i * blocksize;
        *reinterpret_cast<void**>(block) = g->small.free[c];
        g->small.free[c] = block;
        ASAN_POISON_MEMORY_REGION(block, blocksize);
    }
}

}  // namespace

void* luaM_newobject(lua_State* L, size_t size) {
    if (size > kSmallLimit) return luaM_realloc(L, nullptr, 0, size);
    global_State* g = G(L);
    size_t c = classof(size);
    if (g->small.free[c] == nullptr) refill(L, c);
    void* block = g->small.free[c];
    ASAN_UNPOISON_MEMORY_REGION(block, (c + 1) * kSmallGranule);
    g->small.free[c] = *static_cast<void**>(block);
    g->nblocks += size;
    return block;
}

void luaM_freeobject(lua_State* L, void* block, size_t size) {
    if (size > kSmallLimit) {
        luaM_free(L, block, size);
        return;
    }
    global_State* g = G(L);
    size_t c = classof(size);
    *static_cast<void**>(block) = g->small.free[c];
    g->small.free[c] = block;
    ASAN_POISON_MEMORY_REGION(block, (c + 1) * kSmallGranule);
    g->nblocks -= size;
}

void luaM_freeslabs(global_State* g) {
    void* slab = g->small.slabs;
    while (slab != nullptr) {
        void* next = *static_cast<void**>(slab);
        ASAN_UNPOISON_MEMORY_REGION(slab, kSlabSize);
        g->frealloc(g->ud, slab, kSlabSize, 0);
        slab = next;
    }
    g->small.slabs = nullptr;
    for (void*& head : g->small.free)
        head = nullptr;
}

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
