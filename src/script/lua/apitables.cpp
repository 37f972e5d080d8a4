// The native interface, part two: get and set functions, calls, the collector, coroutines and
// the rest. Functions that take a table refuse other values instead of touching them: raw
// reads push nil, raw writes and lua_next drop their operands, lua_getn answers 0.

#include "script/lua/api.h"
#include "script/lua/collector.h"
#include "script/lua/compiler/undump.h"
#include "script/lua/debuginfo.h"
#include "script/lua/function.h"
#include "script/lua/numconv.h"
#include "script/lua/stringtable.h"
#include "script/lua/table.h"
#include "script/lua/vmops.h"

namespace {

Table* tableat(lua_State* L, int idx) {
    const TValue* t = luaA_index(L, idx);
    return (t != nullptr && ttistable(t)) ? hvalue(t) : nullptr;
}

const TValue* valueat(lua_State* L, int idx) {
    const TValue* o = luaA_index(L, idx);
    return o != nullptr ? o : luaO_nilobject();
}

bool validtype(int type) {
    return type >= 1 && type <= LUA_TWSTRING;
}

struct CallS {
    StkId func;
    int nresults;
};

void f_call(lua_State* L, void* ud) {
    CallS* c = static_cast<CallS*>(ud);
    luaD_call(L, c->func, c->nresults);
}

struct CCallS {
    lua_CFunction func;
    void* ud;
};

void f_Ccall(lua_State* L, void* ud) {
    CCallS* c = static_cast<CCallS*>(ud);
    Closure* cl = luaF_newCclosure(L, 0);
    static_cast<CClosure*>(cl)->f = c->func;
    setclvalue(L->top, cl);
    incr_top(L);
    setpvalue(L->top, c->ud);
    incr_top(L);
    luaD_call(L, L->top - 2, 0);
}

// Room for the results of a call whose function sits nargs + 1 slots below the top, and a
// call record top that covers them all when every result is kept.
void prepareresults(lua_State* L, int nargs, int nresults) {
    if (nresults > nargs + 1) luaD_checkstack(L, nresults - nargs - 1);
}

void adjustresults(lua_State* L, int nresults) {
    if (nresults == LUA_MULTRET && L->top >= L->ci->top) L->ci->top = L->top;
}

}  // namespace

void lua_gettable(lua_State* L, int idx) {
    TValue t = *valueat(L, idx);
    luaV_gettable(L, &t, L->top - 1, L->top - 1);
}

void lua_rawget(lua_State* L, int idx) {
    Table* t = tableat(L, idx);
    if (L->top == L->base) return;
    if (t == nullptr) {
        setnilvalue(L->top - 1);
        return;
    }
    setobj(L->top - 1, luaH_get(t, L->top - 1));
}

void lua_rawgeti(lua_State* L, int idx, int n) {
    Table* t = tableat(L, idx);
    if (t == nullptr) {
        setnilvalue(L->top);
    } else {
        setobj(L->top, luaH_getnum(t, n));
    }
    api_incr_top(L);
}

void lua_newtable(lua_State* L) {
    luaC_checkGC(L);
    sethvalue(L->top, luaH_new(L, 0, 0));
    api_incr_top(L);
}

void* lua_newuserdata(lua_State* L, size_t size) {
    luaC_checkGC(L);
    Udata* u = luaS_newudata(L, size);
    setuvalue(L->top, u);
    api_incr_top(L);
    return udatablock(u);
}

int lua_getmetatable(lua_State* L, int objindex) {
    const TValue* obj = luaA_index(L, objindex);
    if (obj == nullptr) return 0;
    Table* mt = luaT_getmetatable(L, obj);
    if (mt == nullptr) return 0;
    sethvalue(L->top, mt);
    api_incr_top(L);
    return 1;
}

void lua_getfenv(lua_State* L, int idx) {
    const TValue* o = valueat(L, idx);
    if (ttisfunction(o) && !clvalue(o)->isC) {
        setobj(L->top, &static_cast<LClosure*>(clvalue(o))->g);
    } else {
        setobj(L->top, gt(L));
    }
    api_incr_top(L);
}

void lua_pushtypemetatable(lua_State* L, int type) {
    if (validtype(type)) {
        setobj(L->top, &G(L)->typemeta[type]);
    } else {
        setnilvalue(L->top);
    }
    api_incr_top(L);
}

void lua_settable(lua_State* L, int idx) {
    TValue t = *valueat(L, idx);
    luaV_settable(L, &t, L->top - 2, L->top - 1);
    L->top -= 2;
}

void lua_rawset(lua_State* L, int idx) {
    Table* t = tableat(L, idx);
    if (t != nullptr) setobj(luaH_set(L, t, L->top - 2), L->top - 1);
    L->top -= 2;
}

void lua_rawseti(lua_State* L, int idx, int n) {
    Table* t = tableat(L, idx);
    if (t != nullptr) setobj(luaH_setnum(L, t, n), L->top - 1);
    L->top--;
}

int lua_setmetatable(lua_State* L, int objindex) {
    TValue* obj = luaA_index(L, objindex);
    const TValue* top = L->top - 1;
    Table* mt = ttisnil(top) ? hvalue(defaultmeta(L)) : ttistable(top) ? hvalue(top) : nullptr;
    int res = 0;
    if (obj != nullptr && mt != nullptr) {
        if (ttistable(obj)) {
            luaH_changing(L, hvalue(obj));
            hvalue(obj)->metatable = mt;
            res = 1;
        } else if (ttisuserdata(obj)) {
            uvalue(obj)->metatable = mt;
            res = 1;
        }
    }
    L->top--;
    return res;
}

int lua_setfenv(lua_State* L, int idx) {
    TValue* o = luaA_index(L, idx);
    L->top--;
    if (o == nullptr || !ttisfunction(o) || clvalue(o)->isC || !ttistable(L->top)) return 0;
    setobj(&static_cast<LClosure*>(clvalue(o))->g, L->top);
    return 1;
}

void lua_settypemetatable(lua_State* L, int type) {
    if (validtype(type) && ttistable(L->top - 1)) {
        setobj(&G(L)->typemeta[type], L->top - 1);
        G(L)->indexepoch++;
    }
    L->top--;
}

void lua_call(lua_State* L, int nargs, int nresults) {
    prepareresults(L, nargs, nresults);
    luaD_call(L, L->top - (nargs + 1), nresults);
    adjustresults(L, nresults);
}

int lua_pcall(lua_State* L, int nargs, int nresults, int errfunc) {
    ptrdiff_t func = 0;
    if (errfunc != 0) {
        StkId o = luaA_index(L, errfunc);
        if (o != nullptr && o >= L->stack && o < L->top) func = savestack(L, o);
    }
    prepareresults(L, nargs, nresults);
    CallS c;
    c.func = L->top - (nargs + 1);
    c.nresults = nresults;
    int status = luaD_pcall(L, f_call, &c, savestack(L, c.func), func);
    adjustresults(L, nresults);
    return status;
}

int lua_cpcall(lua_State* L, lua_CFunction func, void* ud) {
    CCallS c;
    c.func = func;
    c.ud = ud;
    return luaD_pcall(L, f_Ccall, &c, savestack(L, L->top), 0);
}

int lua_dump(lua_State* L, lua_Chunkwriter writer, void* data) {
    // Only a Lua function without upvalues stands alone as a main function.
    const TValue* o = L->top - 1;
    if (L->top <= L->base || !ttisfunction(o) || clvalue(o)->isC || clvalue(o)->nupvalues != 0) {
        return 0;
    }
    return luaU_dump(L, static_cast<LClosure*>(clvalue(o))->p, writer, data) ? 1 : 0;
}

int lua_getgcthreshold(lua_State* L) {
    return static_cast<int>(G(L)->GCthreshold >> 10);
}

int lua_getgccount(lua_State* L) {
    return static_cast<int>(G(L)->nblocks >> 10);
}

void lua_setgcthreshold(lua_State* L, int newthreshold) {
    if (static_cast<lu_mem>(static_cast<unsigned>(newthreshold)) > (kMaxLuMem >> 10) ||
        newthreshold < 0) {
        G(L)->GCthreshold = kMaxLuMem;
    } else {
        G(L)->GCthreshold = static_cast<lu_mem>(newthreshold) << 10;
    }
    luaC_checkGC(L);
}

const char* lua_version() {
    return LUA_VERSION;
}

int lua_error(lua_State* L) {
    luaG_errormsg(L);
}

int lua_next(lua_State* L, int idx) {
    Table* t = tableat(L, idx);
    if (t == nullptr) {
        L->top--;
        return 0;
    }
    bool more = luaH_next(L, t, L->top - 1);
    if (more) {
        api_incr_top(L);
    } else {
        L->top--;
    }
    return more;
}

void lua_concat(lua_State* L, int n) {
    if (n >= 2) {
        luaC_checkGC(L);
        luaV_concat(L, n, static_cast<int>(L->top - L->base) - 1);
        L->top -= (n - 1);
    } else if (n == 0) {
        luaC_checkGC(L);
        setsvalue(L->top, luaS_newlstr(L, "", 0));
        api_incr_top(L);
    }
}

int lua_pushupvalues(lua_State* L) {
    if (L->ci == L->base_ci || !curr_func(L)->isC) return 0;
    CClosure* func = static_cast<CClosure*>(curr_func(L));
    int n = func->nupvalues;
    luaD_checkstack(L, n + LUA_MINSTACK);
    for (int i = 0; i < n; i++) {
        setobj(L->top, &func->upvalue[i]);
        L->top++;
    }
    return n;
}

int lua_getn(lua_State* L, int idx) {
    Table* t = tableat(L, idx);
    if (t == nullptr) return 0;
    const TValue* n = luaH_getstr(t, luaS_new(L, "n"));
    if (ttisnumber(n)) return luaO_clampint(nvalue(n));
    return luaH_getn(t);
}
