#include "script/lua/calls.h"

#include <cstdint>
#include <cstdlib>

#include "script/lua/collector.h"
#include "script/lua/debuginfo.h"
#include "script/lua/function.h"
#include "script/lua/memory.h"
#include "script/lua/stringtable.h"
#include "script/lua/table.h"
#include "script/lua/vmops.h"

namespace {

// What luaD_throw raises: it names the protected call it is meant for, so that a boundary of
// another thread that happens to be nearer on the native stack lets it pass.
struct LuaError {
    lua_longjmp* target;
};

// Puts back the thread's previous protected call however the boundary is left.
class ProtectedScope {
public:
    ProtectedScope(lua_State* L, lua_longjmp* lj) : mL(L), mJmp(lj) {
        lj->previous = L->errorJmp;
        lj->status = 0;
        L->errorJmp = lj;
    }
    ~ProtectedScope() { mL->errorJmp = mJmp->previous; }

private:
    lua_State* mL;
    lua_longjmp* mJmp;
};

StkId Relocate(StkId p, TValue* oldstack, TValue* newstack) {
    uintptr_t offset = reinterpret_cast<uintptr_t>(p) - reinterpret_cast<uintptr_t>(oldstack);
    return reinterpret_cast<StkId>(reinterpret_cast<uintptr_t>(newstack) + offset);
}

void correctstack(lua_State* L, TValue* oldstack) {
    L->top = Relocate(L->top, oldstack, L->stack);
    for (GCObject* up = L->openupval; up != nullptr; up = up->next) {
        UpVal* uv = static_cast<UpVal*>(up);
        uv->v = Relocate(uv->v, oldstack, L->stack);
    }
    for (CallInfo* ci = L->base_ci; ci <= L->ci; ci++) {
        ci->top = Relocate(ci->top, oldstack, L->stack);
        ci->base = Relocate(ci->base, oldstack, L->stack);
        ci->func = Relocate(ci->func, oldstack, L->stack);
    }
    L->base = L->ci->base;
}

// A value that is not a function is called through its "__call" handler, which takes its
// place with the value as first argument.
StkId tryfuncTM(lua_State* L, StkId func) {
    const TValue* tm = luaT_gettmbyobj(L, func, TM_CALL);
    if (!ttisfunction(tm)) luaG_typeerror(L, func, "call");
    ptrdiff_t funcr = savestack(L, func);
    TValue handler = *tm;
    luaD_checkstack(L, 1);
    func = restorestack(L, funcr);
    for (StkId p = L->top; p > func; p--)
        setobj(p, p - 1);
    L->top++;
    setobj(func, &handler);
    return func;
}

CallInfo* nextci(lua_State* L) {
    if (L->ci + 1 == L->end_ci) return luaD_growCI(L);
    return ++L->ci;
}

}  // namespace

void luaD_adjustvarargs(lua_State* L, int nfixargs, StkId base) {
    int actual = static_cast<int>(L->top - base);
    if (actual < nfixargs) {
        luaD_checkstack(L, nfixargs - actual);
        for (; actual < nfixargs; ++actual)
            setnilvalue(L->top++);
    }
    actual -= nfixargs;
    Table* htab = luaH_new(L, actual, 1);
    for (int i = 0; i < actual; i++)
        setobj(luaH_setnum(L, htab, i + 1), L->top - actual + i);
    TValue nname;
    setsvalue(&nname, luaS_new(L, "n"));
    setnvalue(luaH_set(L, htab, &nname), static_cast<lua_Number>(actual));
    L->top -= actual;
    sethvalue(L->top, htab);
    incr_top(L);
}

StkId luaD_callrethooks(lua_State* L, StkId firstResult) {
    ptrdiff_t fr = savestack(L, firstResult);
    luaD_callhook(L, LUA_HOOKRET, -1);
    if (isLua(L->ci)) {
        while (L->ci->tailcalls-- > 0)
            luaD_callhook(L, LUA_HOOKTAILRET, -1);
    }
    return restorestack(L, fr);
}

void luaD_throw(lua_State* L, int errcode) {
    if (L->errorJmp != nullptr) {
        L->errorJmp->status = errcode;
        throw LuaError{L->errorJmp};
    }
    if (G(L)->panic != nullptr) G(L)->panic(L);
    std::exit(EXIT_FAILURE);
}

int luaD_rawrunprotected(lua_State* L, Pfunc f, void* ud) {
    lua_longjmp lj;
    ProtectedScope scope(L, &lj);
    try {
        f(L, ud);
    } catch (const LuaError& e) {
        if (e.target != &lj) throw;
    }
    return lj.status;
}

void luaD_seterrorobj(lua_State* L, int errcode, StkId oldtop) {
    switch (errcode) {
        case LUA_ERRMEM:
            setsvalue(oldtop, G(L)->memerrmsg);
            break;
        case LUA_ERRERR:
            setsvalue(oldtop, G(L)->errerrmsg);
            break;
        default:
            setobj(oldtop, L->top - 1);
            break;
    }
    L->top = oldtop + 1;
}

void luaD_reallocstack(lua_State* L, int newsize) {
    TValue* oldstack = L->stack;
    L->stack = luaM_reallocvector(L, L->stack, L->stacksize, newsize);
    for (int i = L->stacksize; i < newsize; i++)
        setnilvalue(L->stack + i);
    L->stacksize = newsize;
    L->stack_last = L->stack + newsize - 1 - EXTRA_STACK;
    correctstack(L, oldstack);
}

void luaD_restorestacklimit(lua_State* L) {
    if (L->size_ci > LUA_MAXCALLS) {
        int inuse = static_cast<int>(L->ci - L->base_ci);
        if (inuse + 1 < LUA_MAXCALLS) luaD_reallocCI(L, LUA_MAXCALLS);
    }
}

void luaD_reallocCI(lua_State* L, int newsize) {
    CallInfo* oldci = L->base_ci;
    L->base_ci = luaM_reallocvector(L, L->base_ci, L->size_ci, newsize);
    L->size_ci = newsize;
    L->ci = L->base_ci + (L->ci - oldci);
    L->end_ci = L->base_ci + L->size_ci;
}

void luaD_growstack(lua_State* L, int n) {
    if (n <= L->stacksize) {
        luaD_reallocstack(L, static_cast<int>(luaM_checkedsize(L, L->stacksize, 2)));
    } else {
        lu_mem size = luaM_checkedadd(L, L->stacksize, luaM_checkedadd(L, n, EXTRA_STACK));
        luaD_reallocstack(L, static_cast<int>(luaM_checkedsize(L, size, 1)));
    }
}

CallInfo* luaD_growCI(lua_State* L) {
    if (L->size_ci > LUA_MAXCALLS) luaD_throw(L, LUA_ERRERR);
    luaD_reallocCI(L, 2 * L->size_ci);
    // The records past the limit stay for the error handler; the error restores the limit.
    if (L->size_ci > LUA_MAXCALLS) luaG_runerror(L, "stack overflow");
    return ++L->ci;
}

void luaD_callhook(lua_State* L, int event, int line) {
    lua_Hook hook = L->hook;
    if (hook == nullptr || !L->allowhook) return;
    ptrdiff_t top = savestack(L, L->top);
    ptrdiff_t ci_top = savestack(L, L->ci->top);
    lua_Debug ar;
    ar.event = event;
    ar.currentline = line;
    ar.i_ci = (event == LUA_HOOKTAILRET) ? 0 : static_cast<int>(L->ci - L->base_ci);
    luaD_checkstack(L, LUA_MINSTACK);
    L->ci->top = L->top + LUA_MINSTACK;
    L->allowhook = 0;
    hook(L, &ar);
    L->allowhook = 1;
    L->ci->top = restorestack(L, ci_top);
    L->top = restorestack(L, top);
}

int luaD_precall(lua_State* L, StkId func, int nresults) {
    if (!ttisfunction(func)) func = tryfuncTM(L, func);
    if (!clvalue(func)->isC) {
        luaD_precallLua(L, func, nresults);
        return PCRLUA;
    }
    ptrdiff_t funcr = savestack(L, func);
    luaD_checkstack(L, LUA_MINSTACK);
    CallInfo* ci = nextci(L);
    ci->func = restorestack(L, funcr);
    L->base = ci->base = ci->func + 1;
    ci->top = L->top + LUA_MINSTACK;
    ci->savedpc = nullptr;
    ci->tailcalls = 0;
    ci->nresults = nresults;
    ci->state = CI_C;
    if (L->hookmask & LUA_MASKCALL) luaD_callhook(L, LUA_HOOKCALL, -1);
    int n = static_cast<CClosure*>(curr_func(L))->f(L);
    if (n < 0) return PCRYIELD;
    luaD_poscall(L, L->top - n);
    return PCRC;
}

void luaD_call(lua_State* L, StkId func, int nresults) {
    if (++L->nCcalls >= LUA_MAXCCALLS) {
        if (L->nCcalls == LUA_MAXCCALLS) {
            luaG_runerror(L, "C stack overflow");
        } else if (L->nCcalls >= LUA_MAXCCALLS + (LUA_MAXCCALLS >> 3)) {
            luaD_throw(L, LUA_ERRERR);  // an error while reporting the overflow
        }
    }
    if (luaD_precall(L, func, nresults) == PCRLUA) luaV_execute(L, 1);
    L->nCcalls--;
    luaC_checkGC(L);
}

int luaD_pcall(lua_State* L, Pfunc func, void* u, ptrdiff_t oldtop, ptrdiff_t ef) {
    unsigned short oldnCcalls = L->nCcalls;
    ptrdiff_t old_ci = saveci(L, L->ci);
    lu_byte old_allowhooks = L->allowhook;
    ptrdiff_t old_errfunc = L->errfunc;
    L->errfunc = ef;
    int status = luaD_rawrunprotected(L, func, u);
    if (status != 0) {
        StkId top = restorestack(L, oldtop);
        luaF_close(L, top);
        luaD_seterrorobj(L, status, top);
        L->nCcalls = oldnCcalls;
        L->ci = restoreci(L, old_ci);
        L->base = L->ci->base;
        L->allowhook = old_allowhooks;
        luaD_restorestacklimit(L);
    }
    L->errfunc = old_errfunc;
    return status;
}
