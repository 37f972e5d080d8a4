#include "script/lua/collector.h"

#include <cstring>

#include "script/lua/calls.h"
#include "script/lua/function.h"
#include "script/lua/memory.h"
#include "script/lua/stringtable.h"
#include "script/lua/table.h"

namespace {

struct GCState {
    global_State* g;
    GCObject* gray;  // reached objects whose references are still to be marked
    GCObject* wk;    // weak-key tables reached so far
    GCObject* wv;    // weak-value tables
    GCObject* wkv;   // tables weak in both
};

bool ismarked(const GCObject* o) {
    return (o->marked & (kMarkBit | kFixedBit)) != 0;
}

GCObject** gclistof(GCObject* o) {
    switch (o->tt) {
        case LUA_TTABLE:
            return &static_cast<Table*>(o)->gclist;
        case LUA_TFUNCTION:
            return &static_cast<Closure*>(o)->gclist;
        case LUA_TTHREAD:
            return &static_cast<lua_State*>(o)->gclist;
        default:
            return &static_cast<Proto*>(o)->gclist;
    }
}

void reallymarkobject(GCState* st, GCObject* o);

const TValue* gfasttm(global_State* g, Table* et, TMS event) {
    if ((et->flags & (1u << event)) != 0) return nullptr;
    return luaT_gettm(et, event, g->tmname[event]);
}

void markvalue(GCState* st, const TValue* v) {
    if (iscollectable(v) && !ismarked(gcvalue(v))) reallymarkobject(st, gcvalue(v));
}

void markobj(GCState* st, GCObject* o) {
    if (o != nullptr && !ismarked(o)) reallymarkobject(st, o);
}

void reallymarkobject(GCState* st, GCObject* o) {
    o->marked |= kMarkBit;
    switch (o->tt) {
        case LUA_TSTRING:
        case LUA_TWSTRING:
            break;
        case LUA_TUSERDATA:
            markobj(st, static_cast<Udata*>(o)->metatable);
            break;
        case LUA_TUPVAL:
            markvalue(st, static_cast<UpVal*>(o)->v);
            break;
        default:
            *gclistof(o) = st->gray;
            st->gray = o;
            break;
    }
}

void traversetable(GCState* st, Table* h) {
    markobj(st, h->metatable);
    bool weakkey = false;
    bool weakvalue = false;
    const TValue* mode = gfasttm(st->g, h->metatable, TM_MODE);
    if (mode != nullptr && ttisstring(mode)) {
        weakkey = strchr(svalue(mode), 'k') != nullptr;
        weakvalue = strchr(svalue(mode), 'v') != nullptr;
    }
    h->marked &= static_cast<lu_byte>(~(kWeakKeyBit | kWeakValueBit));
    if (weakkey || weakvalue) {
        if (weakkey) h->marked |= kWeakKeyBit;
        if (weakvalue) h->marked |= kWeakValueBit;
        GCObject** list = (weakkey && weakvalue) ? &st->wkv : weakkey ? &st->wk : &st->wv;
        h->gclist = *list;
        *list = h;
    }
    if (!weakvalue) {
        for (int i = h->sizearray - 1; i >= 0; i--)
            markvalue(st, &h->array[i]);
    }
    for (int i = sizenode(h) - 1; i >= 0; i--) {
        Node* n = gnode(h, i);
        if (ttisnil(gval(n))) continue;
        if (!weakkey) markvalue(st, gkey(n));
        if (!weakvalue) markvalue(st, gval(n));
    }
}

void traverseproto(GCState* st, Proto* f) {
    markobj(st, f->source);
    for (int i = 0; i < f->sizek; i++)
        markvalue(st, &f->k[i]);
    for (int i = 0; i < f->sizeupvalues; i++)
        markobj(st, f->upvalues[i]);
    for (int i = 0; i < f->sizep; i++)
        markobj(st, f->p[i]);
    for (int i = 0; i < f->sizelocvars; i++)
        markobj(st, f->locvars[i].varname);
}

void traverseclosure(GCState* st, Closure* cl) {
    if (cl->isC) {
        CClosure* c = static_cast<CClosure*>(cl);
        for (int i = 0; i < c->nupvalues; i++)
            markvalue(st, &c->upvalue[i]);
        return;
    }
    LClosure* l = static_cast<LClosure*>(cl);
    markobj(st, l->p);
    markvalue(st, &l->g);
    for (int i = 0; i < l->nupvalues; i++)
        markobj(st, l->upvals[i]);
}

void traversestack(GCState* st, lua_State* L1) {
    markvalue(st, gt(L1));
    if (L1->stack == nullptr) return;  // a thread whose creation failed
    StkId lim = L1->top;
    for (CallInfo* ci = L1->base_ci; ci <= L1->ci; ci++) {
        if (lim < ci->top) lim = ci->top;
    }
    StkId o = L1->stack;
    for (; o < L1->top; o++)
        markvalue(st, o);
    // Stale values above the top would otherwise outlive the objects they point to.
    StkId end = L1->stack + L1->stacksize;
    for (; o <= lim && o < end; o++)
        setnilvalue(o);
}

void propagatemarks(GCState* st) {
    while (st->gray != nullptr) {
        GCObject* o = st->gray;
        st->gray = *gclistof(o);
        switch (o->tt) {
            case LUA_TTABLE:
                traversetable(st, static_cast<Table*>(o));
                break;
            case LUA_TFUNCTION:
                traverseclosure(st, static_cast<Closure*>(o));
                break;
            case LUA_TTHREAD:
                traversestack(st, static_cast<lua_State*>(o));
                break;
            default:
                traverseproto(st, static_cast<Proto*>(o));
                break;
        }
    }
}

// Whether a weak entry's key or value is gone. Strings and wide strings are values: they are
// kept (and marked here). A value that is a userdata already finalised counts as gone.
bool iscleared(const TValue* o, bool iskey) {
    if (!iscollectable(o)) return false;
    if (ttisstring(o) || ttiswstring(o)) {
        gcvalue(o)->marked |= kMarkBit;
        return false;
    }
    if (!ismarked(gcvalue(o))) return true;
    return ttisuserdata(o) && !iskey && (gcvalue(o)->marked & kFinalizedBit) != 0;
}

void removeentry(Node* n) {
    setnilvalue(gval(n));
}

void cleartablekeys(GCObject* l) {
    for (; l != nullptr; l = static_cast<Table*>(l)->gclist) {
        Table* h = static_cast<Table*>(l);
        for (int i = sizenode(h) - 1; i >= 0; i--) {
            Node* n = gnode(h, i);
            if (!ttisnil(gval(n)) && iscleared(gkey(n), true)) removeentry(n);
        }
    }
}

void cleartablevalues(GCObject* l) {
    for (; l != nullptr; l = static_cast<Table*>(l)->gclist) {
        Table* h = static_cast<Table*>(l);
        for (int i = h->sizearray - 1; i >= 0; i--) {
            if (iscleared(&h->array[i], false)) setnilvalue(&h->array[i]);
        }
        for (int i = sizenode(h) - 1; i >= 0; i--) {
            Node* n = gnode(h, i);
            if (!ttisnil(gval(n)) && iscleared(gval(n), false)) removeentry(n);
        }
    }
}

// A dead thread's open upvalues that a live closure still reaches are closed and kept; the
// others go with the thread.
void releaseupvalues(lua_State* L, lua_State* L1) {
    while (L1->openupval != nullptr) {
        UpVal* uv = static_cast<UpVal*>(L1->openupval);
        L1->openupval = uv->next;
        if (uv->marked & kMarkBit) {
            setobj(&uv->value, uv->v);
            uv->v = &uv->value;
            uv->marked &= static_cast<lu_byte>(~kMarkBit);
            uv->next = G(L)->rootgc;
            G(L)->rootgc = uv;
        } else {
            luaM_freeobject(L, uv, sizeof(UpVal));
        }
    }
}

void unmarkupvalues(lua_State* L1) {
    for (GCObject* o = L1->openupval; o != nullptr; o = o->next) {
        o->marked &= static_cast<lu_byte>(~kMarkBit);
    }
}

void freeobj(lua_State* L, GCObject* o) {
    switch (o->tt) {
        case LUA_TPROTO:
            luaF_freeproto(L, static_cast<Proto*>(o));
            break;
        case LUA_TFUNCTION:
            luaF_freeclosure(L, static_cast<Closure*>(o));
            break;
        case LUA_TUPVAL:
            luaM_freeobject(L, o, sizeof(UpVal));
            break;
        case LUA_TTABLE:
            luaH_free(L, static_cast<Table*>(o));
            break;
        case LUA_TTHREAD:
            releaseupvalues(L, static_cast<lua_State*>(o));
            luaE_freethread(L, static_cast<lua_State*>(o));
            break;
        case LUA_TUSERDATA:
            luaM_free(L, o, sizeudata(static_cast<Udata*>(o)));
            break;
        default:
            luaM_freeobject(L, o, sizeanystring(static_cast<TString*>(o)));
            break;
    }
}

void sweeplist(lua_State* L, GCObject** p) {
    GCObject* curr;
    while ((curr = *p) != nullptr) {
        if (ismarked(curr)) {
            curr->marked &= static_cast<lu_byte>(~kMarkBit);
            if (curr->tt == LUA_TTHREAD) unmarkupvalues(static_cast<lua_State*>(curr));
            p = &curr->next;
        } else {
            *p = curr->next;
            freeobj(L, curr);
        }
    }
}

void sweepstrings(lua_State* L) {
    stringtable* tb = &G(L)->strt;
    for (int i = 0; i < tb->size; i++) {
        GCObject** p = &tb->hash[i];
        GCObject* curr;
        while ((curr = *p) != nullptr) {
            if (ismarked(curr)) {
                curr->marked &= static_cast<lu_byte>(~kMarkBit);
                p = &curr->next;
            } else {
                *p = curr->next;
                tb->nuse--;
                freeobj(L, curr);
            }
        }
    }
}

void checkSizes(lua_State* L, size_t deadmem) {
    global_State* g = G(L);
    if (g->strt.nuse < static_cast<uint32_t>(g->strt.size / 4) &&
        g->strt.size > MINSTRTABSIZE * 2) {
        luaS_resize(L, g->strt.size / 2);
    }
    if (g->buff.size > LUA_MINBUFFER * 2) {
        size_t newsize = g->buff.size / 2;
        g->buff.buffer = static_cast<char*>(luaM_realloc(L, g->buff.buffer, g->buff.size, newsize));
        g->buff.size = newsize;
    }
    g->GCthreshold = 2 * g->nblocks - deadmem;
}

size_t mark(lua_State* L) {
    global_State* g = G(L);
    GCState st = {g, nullptr, nullptr, nullptr, nullptr};
    markvalue(&st, defaultmeta(L));
    markvalue(&st, registry(L));
    for (int i = 0; i < NUM_TYPE_SLOTS; i++)
        markvalue(&st, &g->typemeta[i]);
    reallymarkobject(&st, g->mainthread);
    if (L != g->mainthread) markobj(&st, L);
    propagatemarks(&st);
    cleartablevalues(st.wkv);
    cleartablevalues(st.wv);
    // Keys are cleared only after the userdata waiting for finalisers are kept alive again.
    GCObject* wkv = st.wkv;
    st.wkv = nullptr;
    st.wv = nullptr;
    size_t deadmem = luaC_separateudata(L);
    for (GCObject* o = g->tmudata; o != nullptr; o = o->next)
        markobj(&st, o);
    propagatemarks(&st);
    cleartablekeys(wkv);
    cleartablekeys(st.wk);
    cleartablevalues(st.wv);
    cleartablekeys(st.wkv);
    cleartablevalues(st.wkv);
    return deadmem;
}

}  // namespace

void luaC_link(lua_State* L, GCObject* o, lu_byte tt) {
    o->next = G(L)->rootgc;
    G(L)->rootgc = o;
    o->marked = 0;
    o->tt = tt;
}

size_t luaC_separateudata(lua_State* L) {
    size_t deadmem = 0;
    GCObject** p = &G(L)->rootudata;
    GCObject* curr;
    GCObject* collected = nullptr;
    GCObject** lastcollected = &collected;
    while ((curr = *p) != nullptr) {
        Udata* u = static_cast<Udata*>(curr);
        if (ismarked(curr) || (curr->marked & kFinalizedBit) != 0) {
            p = &curr->next;
        } else if (luaT_fasttm(L, u->metatable, TM_GC) == nullptr) {
            curr->marked |= kFinalizedBit;  // nothing to call
            p = &curr->next;
        } else {
            deadmem += sizeudata(u);
            curr->marked |= kFinalizedBit;
            *p = curr->next;
            curr->next = nullptr;
            *lastcollected = curr;
            lastcollected = &curr->next;
        }
    }
    *lastcollected = G(L)->tmudata;
    G(L)->tmudata = collected;
    return deadmem;
}

void luaC_callGCTM(lua_State* L) {
    global_State* g = G(L);
    lu_byte oldah = L->allowhook;
    L->allowhook = 0;
    while (g->tmudata != nullptr) {
        Udata* udata = static_cast<Udata*>(g->tmudata);
        // Back among the living userdata; it stays marked as finalised.
        g->tmudata = udata->next;
        udata->next = g->rootudata;
        g->rootudata = udata;
        udata->marked &= static_cast<lu_byte>(~kMarkBit);
        const TValue* tm = luaT_fasttm(L, udata->metatable, TM_GC);
        if (tm != nullptr) {
            TValue handler = *tm;
            luaD_checkstack(L, 2);
            setobj(L->top, &handler);
            setuvalue(L->top + 1, udata);
            L->top += 2;
            luaD_call(L, L->top - 2, 0);
        }
    }
    L->allowhook = oldah;
}

void luaC_collectgarbage(lua_State* L) {
    // Weak entries may go and tables may be freed: no remembered lookup survives.
    G(L)->indexepoch++;
    size_t deadmem = mark(L);
    sweepstrings(L);
    sweeplist(L, &G(L)->rootudata);
    sweeplist(L, &G(L)->rootgc);
    G(L)->mainthread->marked &= static_cast<lu_byte>(~kMarkBit);
    unmarkupvalues(G(L)->mainthread);
    checkSizes(L, deadmem);
    luaC_callGCTM(L);
}

void luaC_freeall(lua_State* L) {
    global_State* g = G(L);
    GCObject* lists[] = {g->rootgc, g->rootudata, g->tmudata};
    g->rootgc = g->rootudata = g->tmudata = nullptr;
    for (GCObject* o : lists) {
        while (o != nullptr) {
            GCObject* next = o->next;
            freeobj(L, o);
            o = next;
        }
    }
    // Upvalues a dead thread closed while being freed.
    while (g->rootgc != nullptr) {
        GCObject* next = g->rootgc->next;
        freeobj(L, g->rootgc);
        g->rootgc = next;
    }
    luaS_freeall(L);
}
