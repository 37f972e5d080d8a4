// Memory of a state: every block of the core is made, resized and freed here, through the
// allocator kept in the global state, and counted in the collector's byte total.
//
// Failures raise: "memory allocation error: block too big" (a run-time error) for requests of
// kMaxBlockSize bytes or more, the memory error (status 4) when the allocator refuses.
#pragma once

#include <new>

#include "script/lua/object.h"

void* luaM_realloc(lua_State* L, void* block, lu_mem oldsize, lu_mem size);

// count * size, or a "block too big" error when the product passes the block limit.
lu_mem luaM_checkedsize(lua_State* L, lu_mem count, lu_mem size);
// a + b, with the same check.
lu_mem luaM_checkedadd(lua_State* L, lu_mem a, lu_mem b);

// Grows a vector of *size elements (doubling, at least 4) up to limit; errormsg is raised when
// fewer than 4 free places would remain.
void* luaM_growaux(lua_State* L, void* block, int* size, int size_elem, int limit,
                   const char* errormsg);

// The core's small objects of fixed size (tables and their small hash parts, closures,
// upvalues, short strings) are cut
// from slabs, one free list per 16-byte size class, instead of each being a call to the
// allocator. They count in the byte total with their own size, exactly as other blocks, and
// must be freed with the size they were made with. Larger requests go to luaM_realloc. Slabs
// go back to the allocator only when the state closes (luaM_freeslabs).
void* luaM_newobject(lua_State* L, size_t size);
void luaM_freeobject(lua_State* L, void* block, size_t size);
struct global_State;
void luaM_freeslabs(global_State* g);

inline void luaM_free(lua_State* L, void* block, lu_mem size) {
    luaM_realloc(L, block, size, 0);
}

template <typename T>
T* luaM_newvector(lua_State* L, int n) {
    return static_cast<T*>(luaM_realloc(L, nullptr, 0, luaM_checkedsize(L, n, sizeof(T))));
}

template <typename T>
void luaM_freearray(lua_State* L, T* block, int n) {
    luaM_realloc(L, block, static_cast<lu_mem>(n) * sizeof(T), 0);
}

template <typename T>
T* luaM_reallocvector(lua_State* L, T* block, int oldn, int n) {
    return static_cast<T*>(luaM_realloc(L, block, static_cast<lu_mem>(oldn) * sizeof(T),
                                        luaM_checkedsize(L, n, sizeof(T))));
}

// Grows v (of *size elements) when nelems fills it.
template <typename T>
void luaM_growvector(lua_State* L, T*& v, int nelems, int* size, int limit, const char* e) {
    if (nelems + 1 > *size) {
        v = static_cast<T*>(luaM_growaux(L, v, size, sizeof(T), limit, e));
    }
}
