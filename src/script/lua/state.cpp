#include "script/lua/state.h"

#include <cstdlib>

#include "script/lua/calls.h"
#include "script/lua/collector.h"
#include "script/lua/compiler/lexer.h"
#include "script/lua/function.h"
#include "script/lua/memory.h"
#include "script/lua/stringtable.h"
#include "script/lua/table.h"

namespace {

// The main thread and the global state, made in one block.
struct LG {
    lua_State l;
    global_State g;
};

void* DefaultAlloc(void*, void* block, size_t, size_t newSize) {
    if (newSize == 0) {
        free(block);
        return nullptr;
    }
    return realloc(block, newSize);
}

void preinit_state(lua_State* L) {
    L->hookmask = 0;
    L->allowhook = 1;
    L->hookinit = 0;
    L->nCcalls = 0;
    L->baseCcalls = 0;
    L->top = L->base = nullptr;
    L->l_G = nullptr;
    L->ci = L->base_ci = L->end_ci = nullptr;
    L->size_ci = 0;
    L->stack = L->stack_last = nullptr;
    L->stacksize = 0;
    L->basehookcount = 0;
    L->hookcount = 0;
    L->hook = nullptr;
    L->l_gt.tt = LUA_TNIL;
    L->l_gt.value.gc = nullptr;
    L->openupval = nullptr;
    L->gclist = nullptr;
    L->errorJmp = nullptr;
    L->errfunc = 0;
}

// L1's call records and stack, allocated on behalf of L; the base record stands for the
// native caller, with a nil in the function slot.
void stack_init(lua_State* L1, lua_State* L) {
    L1->base_ci = luaM_newvector<CallInfo>(L, BASIC_CI_SIZE);
    L1->ci = L1->base_ci;
    L1->size_ci = BASIC_CI_SIZE;
    L1->end_ci = L1->base_ci + L1->size_ci;
    int size = BASIC_STACK_SIZE + EXTRA_STACK;
    L1->stack = luaM_newvector<TValue>(L, size);
    L1->stacksize = size;
    for (int i = 0; i < size; i++)
        setnilvalue(L1->stack + i);
    L1->top = L1->stack;
    L1->stack_last = L1->stack + (size - EXTRA_STACK) - 1;
    CallInfo* ci = L1->ci;
    ci->func = L1->top++;
    ci->base = L1->base = L1->top;
    ci->top = L1->top + LUA_MINSTACK;
    ci->savedpc = nullptr;
    ci->nresults = 0;
    ci->tailcalls = 0;
    ci->state = CI_C;
}

void freestack(lua_State* L, lua_State* L1) {
    luaM_freearray(L, L1->base_ci, L1->size_ci);
    luaM_freearray(L, L1->stack, L1->stacksize);
}

// The default metatable comes first and is its own metatable; then the per-type tables, whose
// metatable it is; then the globals and the registry, which take the tables' per-type table.
void f_luaopen(lua_State* L, void*) {
    global_State* g = G(L);
    stack_init(L, L);
    luaS_resize(L, MINSTRTABSIZE);
    Table* dm = luaH_new(L, 0, 0);
    dm->metatable = dm;
    sethvalue(defaultmeta(L), dm);
    for (int i = 1; i < NUM_TYPE_SLOTS; i++) {
        Table* t = luaH_new(L, 0, 0);
        t->metatable = dm;
        sethvalue(&g->typemeta[i], t);
    }
    sethvalue(gt(L), luaH_new(L, 0, 4));
    sethvalue(registry(L), luaH_new(L, 0, 0));
    luaT_init(L);
    luaX_init(L);
    g->memerrmsg = luaS_new(L, "not enough memory");
    luaS_fix(g->memerrmsg);
    g->errerrmsg = luaS_new(L, "error in error handling");
    luaS_fix(g->errerrmsg);
    g->GCthreshold = 4 * g->nblocks;
}

void close_state(lua_State* L) {
    global_State* g = G(L);
    if (L->stack != nullptr) luaF_close(L, L->stack);
    luaC_freeall(L);
    luaM_freearray(L, g->strt.hash, g->strt.size);
    luaM_free(L, g->buff.buffer, g->buff.size);
    freestack(L, L);
    luaM_freeslabs(g);
    lua_Alloc alloc = g->frealloc;
    void* ud = g->ud;
    LG* lg = reinterpret_cast<LG*>(L);
    lg->~LG();
    alloc(ud, lg, sizeof(LG), 0);
}

void callallgcTM(lua_State* L, void*) {
    luaC_callGCTM(L);
}

}  // namespace

lua_State* luaE_newthread(lua_State* L) {
    void* block = luaM_realloc(L, nullptr, 0, sizeof(lua_State));
    lua_State* L1 = new (block) lua_State;
    preinit_state(L1);
    L1->l_G = G(L);
    L1->hook = L->hook;
    L1->hookmask = L->hookmask;
    L1->basehookcount = L->basehookcount;
    L1->hookcount = L->basehookcount;
    luaC_link(L, L1, LUA_TTHREAD);
    stack_init(L1, L);
    setobj(gt(L1), gt(L));
    return L1;
}

void luaE_freethread(lua_State* L, lua_State* L1) {
    if (L1->stack != nullptr) luaF_close(L1, L1->stack);
    freestack(L, L1);
    L1->~lua_State();
    luaM_free(L, L1, sizeof(lua_State));
}

lua_State* lua_newstate(lua_Alloc alloc, void* data) {
    void* block = alloc(data, nullptr, 0, sizeof(LG));
    if (block == nullptr) return nullptr;
    LG* lg = new (block) LG;
    lua_State* L = &lg->l;
    global_State* g = &lg->g;
    L->next = nullptr;
    L->tt = LUA_TTHREAD;
    L->marked = 0;
    preinit_state(L);
    L->l_G = g;
    g->strt.hash = nullptr;
    g->strt.nuse = 0;
    g->strt.size = 0;
    g->frealloc = alloc;
    g->ud = data;
    g->rootgc = g->rootudata = g->tmudata = nullptr;
    g->buff.buffer = nullptr;
    g->buff.size = 0;
    // No collection runs while the state is being made.
    g->GCthreshold = kMaxLuMem;
    g->nblocks = sizeof(LG);
    g->panic = nullptr;
    TValue nil;
    nil.tt = LUA_TNIL;
    nil.value.gc = nullptr;
    g->l_registry = nil;
    g->defaultmeta = nil;
    for (TValue& slot : g->typemeta)
        slot = nil;
    g->mainthread = L;
    g->dummynode[0].i_key = nil;
    g->dummynode[0].i_val = nil;
    g->dummynode[0].next = nullptr;
    for (TString*& name : g->tmname)
        name = nullptr;
    g->memerrmsg = g->errerrmsg = nullptr;
    for (void*& head : g->small.free)
        head = nullptr;
    g->small.slabs = nullptr;
    g->indexepoch = 1;
    for (IndexCacheEntry& e : g->indexcache) {
        e.start = nullptr;
        e.key = nullptr;
        e.epoch = 0;
        e.steps = 0;
        e.value = nil;
    }
    if (luaD_rawrunprotected(L, f_luaopen, nullptr) != 0) {
        close_state(L);
        return nullptr;
    }
    return L;
}

lua_State* lua_open() {
    return lua_newstate(DefaultAlloc, nullptr);
}

void lua_close(lua_State* L) {
    L = G(L)->mainthread;  // only the whole state can be closed
    luaF_close(L, L->stack);
    luaC_separateudata(L);
    L->errfunc = 0;
    // Every pending finaliser runs; one that fails leaves the rest for the next round.
    do {
        L->ci = L->base_ci;
        L->base = L->top = L->ci->base;
        L->nCcalls = 0;
        L->baseCcalls = 0;
    } while (luaD_rawrunprotected(L, callallgcTM, nullptr) != 0);
    close_state(L);
}
