#include "script/lua/function.h"

#include "script/lua/collector.h"
#include "script/lua/memory.h"
#include "script/lua/state.h"

Closure* luaF_newCclosure(lua_State* L, int nelems) {
    void* block = luaM_newobject(L, sizeCclosure(nelems));
    CClosure* c = new (block) CClosure;
    c->isC = 1;
    c->nupvalues = static_cast<lu_byte>(nelems);
    c->gclist = nullptr;
    c->f = nullptr;
    for (int i = 0; i < nelems; i++)
        setnilvalue(&c->upvalue[i]);
    luaC_link(L, c, LUA_TFUNCTION);
    return c;
}

Closure* luaF_newLclosure(lua_State* L, int nelems, const TValue* e) {
    void* block = luaM_newobject(L, sizeLclosure(nelems));
    LClosure* c = new (block) LClosure;
    c->isC = 0;
    c->nupvalues = static_cast<lu_byte>(nelems);
    c->gclist = nullptr;
    c->p = nullptr;
    setobj(&c->g, e);
    for (int i = 0; i < nelems; i++)
        c->upvals[i] = nullptr;
    luaC_link(L, c, LUA_TFUNCTION);
    return c;
}

UpVal* luaF_findupval(lua_State* L, StkId level) {
    GCObject** pp = &L->openupval;
    UpVal* p;
    while ((p = static_cast<UpVal*>(*pp)) != nullptr && p->v >= level) {
        if (p->v == level) return p;
        pp = &p->next;
    }
    void* block = luaM_newobject(L, sizeof(UpVal));
    UpVal* v = new (block) UpVal;
    v->tt = LUA_TUPVAL;
    v->marked = 0;
    v->v = level;
    setnilvalue(&v->value);
    // Open upvalues stay in the thread's list, ordered by level, until they are closed.
    v->next = *pp;
    *pp = v;
    return v;
}

void luaF_close(lua_State* L, StkId level) {
    UpVal* p;
    while ((p = static_cast<UpVal*>(L->openupval)) != nullptr && p->v >= level) {
        setobj(&p->value, p->v);
        p->v = &p->value;
        L->openupval = p->next;
        luaC_link(L, p, LUA_TUPVAL);
    }
}

Proto* luaF_newproto(lua_State* L) {
    void* block = luaM_realloc(L, nullptr, 0, sizeof(Proto));
    Proto* f = new (block) Proto;
    f->k = nullptr;
    f->sizek = 0;
    f->p = nullptr;
    f->sizep = 0;
    f->code = nullptr;
    f->sizecode = 0;
    f->sizelineinfo = 0;
    f->sizeupvalues = 0;
    f->nups = 0;
    f->upvalues = nullptr;
    f->numparams = 0;
    f->is_vararg = 0;
    f->maxstacksize = 0;
    f->lineinfo = nullptr;
    f->sizelocvars = 0;
    f->locvars = nullptr;
    f->lineDefined = 0;
    f->source = nullptr;
    f->gclist = nullptr;
    luaC_link(L, f, LUA_TPROTO);
    return f;
}

void luaF_freeproto(lua_State* L, Proto* f) {
    luaM_freearray(L, f->code, f->sizecode);
    luaM_freearray(L, f->p, f->sizep);
    luaM_freearray(L, f->k, f->sizek);
    luaM_freearray(L, f->lineinfo, f->sizelineinfo);
    luaM_freearray(L, f->locvars, f->sizelocvars);
    luaM_freearray(L, f->upvalues, f->sizeupvalues);
    luaM_free(L, f, sizeof(Proto));
}

void luaF_freeclosure(lua_State* L, Closure* c) {
    size_t size = c->isC ? sizeCclosure(c->nupvalues) : sizeLclosure(c->nupvalues);
    luaM_freeobject(L, c, size);
}

const char* luaF_getlocalname(const Proto* f, int local_number, int pc) {
    for (int i = 0; i < f->sizelocvars && f->locvars[i].startpc <= pc; i++) {
        if (pc < f->locvars[i].endpc) {
            local_number--;
            if (local_number == 0) return getstr(f->locvars[i].varname);
        }
    }
    return nullptr;
}
