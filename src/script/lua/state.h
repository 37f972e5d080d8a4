// Threads and the global state they share.
//
// A lua_State is one thread: its value stack, its call records and its open upvalues. All
// threads of a state share one global_State: the string table, the collector's lists and
// counters, the allocator, the registry, the default metatable and the per-type metatables.
// The main thread and the global state are one allocation made by lua_newstate.
//
// Threads: a state is used by one system thread at a time.
#pragma once

#include "script/lua/metamethods.h"
#include "script/lua/object.h"

struct lua_longjmp;

struct stringtable {
    GCObject** hash;
    uint32_t nuse;  // number of strings and wide strings
    int size;
};

// A growable scratch buffer (concatenation, formatting, the lexer).
struct Mbuffer {
    char* buffer;
    size_t size;
};

// Call record flags.
constexpr lu_byte CI_C = 1;      // a native function
constexpr lu_byte CI_YIELD = 2;  // suspended in a yield

// One active call. For a Lua function base is register 0 and savedpc its next instruction;
// for a native function base is its first argument. The called function sits at func.
struct CallInfo {
    StkId base;
    StkId func;
    StkId top;  // slots this call may use, [base, top)
    const Instruction* savedpc;
    int nresults;   // results the caller expects; LUA_MULTRET for all
    int tailcalls;  // tail calls lost under this record
    lu_byte state;
};

// One remembered lookup of a string key through a chain of tables joined by "__index" tables:
// valid while the global state's index epoch is the one it was made in.
struct IndexCacheEntry {
    Table* start;  // the first table of the chain (an "__index" table)
    TString* key;
    lu_mem epoch;
    int steps;     // tables the lookup looked at
    TValue value;  // what the lookup found; nil when no table of the chain has the key
};

constexpr int kIndexCacheSize = 256;

// The free blocks of the small-object slabs (memory.cpp): one list per size class, each block
// linked through its first word, and the list of the slabs themselves.
constexpr int kSmallClasses = 16;
struct SmallBlocks {
    void* free[kSmallClasses];
    void* slabs;
};

struct global_State {
    stringtable strt;
    lua_Alloc frealloc;
    void* ud;
    GCObject* rootgc;     // every collectable object but strings, userdata and open upvalues
    GCObject* rootudata;  // full userdata
    GCObject* tmudata;    // userdata waiting for their finaliser
    Mbuffer buff;
    lu_mem GCthreshold;
    lu_mem nblocks;  // bytes in use
    lua_CFunction panic;
    TValue l_registry;
    TValue defaultmeta;  // its own metatable; the metatable "nil" sets
    TValue typemeta[NUM_TYPE_SLOTS];
    lua_State* mainthread;
    Node dummynode[1];  // the hash part of every table without one
    TString* tmname[TM_N];
    TString* memerrmsg;  // made at start so that reporting a memory error needs no memory
    TString* errerrmsg;
    // Advanced by every change to a table marked kIndexChainBit, by every change of a per-type
    // metatable and by every collection (which may free and reuse the tables remembered).
    lu_mem indexepoch;
    IndexCacheEntry indexcache[kIndexCacheSize];
    SmallBlocks small;
};

struct lua_State : GCObject {
    lu_byte hookmask;
    lu_byte allowhook;
    lu_byte hookinit;
    unsigned short nCcalls;     // nested native calls
    unsigned short baseCcalls;  // nCcalls when the running coroutine was resumed
    StkId top;                  // first free slot
    StkId base;                 // base of the current call
    global_State* l_G;
    CallInfo* ci;
    StkId stack_last;  // last usable slot; EXTRA_STACK more follow it
    StkId stack;
    int stacksize;
    CallInfo* end_ci;
    CallInfo* base_ci;
    int size_ci;
    int basehookcount;
    int hookcount;
    lua_Hook hook;
    TValue l_gt;          // the thread's globals
    GCObject* openupval;  // open upvalues, highest stack level first
    GCObject* gclist;
    lua_longjmp* errorJmp;  // innermost protected call
    ptrdiff_t errfunc;      // stack offset of the error handler, 0 for none
};

inline global_State* G(lua_State* L) {
    return L->l_G;
}
inline TValue* registry(lua_State* L) {
    return &G(L)->l_registry;
}
inline TValue* gt(lua_State* L) {
    return &L->l_gt;
}
inline TValue* defaultmeta(lua_State* L) {
    return &G(L)->defaultmeta;
}

// Forgets the remembered "__index" lookups when t took part in one; called before t changes.
inline void luaH_changing(lua_State* L, Table* t) {
    if (t->marked & kIndexChainBit) L->l_G->indexepoch++;
}

inline const TValue* luaT_fasttm(lua_State* L, Table* et, TMS event) {
    return luaT_fasttm(et, event, L->l_G->tmname);
}

inline lua_State* thvalue(const TValue* o) {
    return static_cast<lua_State*>(o->value.gc);
}
inline void setthvalue(TValue* o, lua_State* th) {
    setgcvalue(o, th, LUA_TTHREAD);
}

inline Closure* curr_func(lua_State* L) {
    return clvalue(L->ci->func);
}
inline Closure* ci_func(CallInfo* ci) {
    return clvalue(ci->func);
}
inline bool isLua(CallInfo* ci) {
    return (ci->state & CI_C) == 0;
}

inline ptrdiff_t savestack(lua_State* L, const TValue* p) {
    return reinterpret_cast<const char*>(p) - reinterpret_cast<const char*>(L->stack);
}
inline StkId restorestack(lua_State* L, ptrdiff_t n) {
    return reinterpret_cast<StkId>(reinterpret_cast<char*>(L->stack) + n);
}
inline ptrdiff_t saveci(lua_State* L, const CallInfo* p) {
    return reinterpret_cast<const char*>(p) - reinterpret_cast<const char*>(L->base_ci);
}
inline CallInfo* restoreci(lua_State* L, ptrdiff_t n) {
    return reinterpret_cast<CallInfo*>(reinterpret_cast<char*>(L->base_ci) + n);
}

lua_State* luaE_newthread(lua_State* L);
void luaE_freethread(lua_State* L, lua_State* L1);
