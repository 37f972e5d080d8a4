// Coroutines: lua_resume and lua_yield. A coroutine is a thread whose Lua frames are left in
// place when it yields; resuming continues its interpreter loop from there. The main thread
// of a state can be a coroutine too: native code resumes it, and while it waits in a yield
// native code may still call functions on it (new frames go above the suspended ones).
//
// A yield is refused across a native boundary: from inside a metamethod, an iterator of a
// for loop, or any function called from native code (counted by nCcalls above the level the
// coroutine was resumed at).

#include "script/lua/calls.h"
#include "script/lua/debuginfo.h"
#include "script/lua/function.h"
#include "script/lua/stringtable.h"
#include "script/lua/vmops.h"

namespace {

int resume_error(lua_State* L, const char* msg) {
    L->top = L->ci->base;
    setsvalue(L->top, luaS_new(L, msg));
    incr_top(L);
    return LUA_ERRRUN;
}

void resume(lua_State* L, void* ud) {
    int nargs = *static_cast<int*>(ud);
    CallInfo* ci = L->ci;
    if (ci == L->base_ci) {
        // The start: the function below the arguments.
        if (luaD_precall(L, L->top - (nargs + 1), LUA_MULTRET) != PCRLUA) return;
    } else {
        // The values passed in are the results of the native call that yielded.
        ci->state &= static_cast<lu_byte>(~CI_YIELD);
        if (luaD_poscall(L, L->top - nargs)) L->top = L->ci->top;
    }
    // Every frame above the base is a Lua frame: the loop runs until the bottom one returns.
    luaV_execute(L, static_cast<int>(L->ci - L->base_ci));
}

}  // namespace

int luaD_resume(lua_State* L, int nargs, int ccalls) {
    if (nargs < 0) nargs = 0;
    if (L->ci == L->base_ci) {
        if (nargs >= L->top - L->base) return resume_error(L, "cannot resume dead coroutine");
    } else if (!(L->ci->state & CI_YIELD)) {
        return resume_error(L, "cannot resume non-suspended coroutine");
    }
    if (ccalls >= LUA_MAXCCALLS) return resume_error(L, "C stack overflow");
    lu_byte old_allowhooks = L->allowhook;
    L->nCcalls = L->baseCcalls = static_cast<unsigned short>(ccalls);
    int status = luaD_rawrunprotected(L, resume, &nargs);
    if (status != 0) {
        // A failed coroutine is dead: back to the base, with the error there.
        L->ci = L->base_ci;
        L->base = L->ci->base;
        L->nCcalls = L->baseCcalls;
        luaF_close(L, L->base);
        luaD_seterrorobj(L, status, L->base);
        L->allowhook = old_allowhooks;
        luaD_restorestacklimit(L);
    }
    return status;
}

int lua_resume(lua_State* L, int nargs) {
    return luaD_resume(L, nargs, L->nCcalls);
}

int lua_yield(lua_State* L, int nresults) {
    CallInfo* ci = L->ci;
    if (L->nCcalls > L->baseCcalls || !(ci->state & CI_C)) {
        luaG_runerror(L, "attempt to yield across metamethod/C-call boundary");
    }
    if (ci == L->base_ci || ((ci - 1)->state & CI_C)) {
        luaG_runerror(L, "cannot yield a C function");
    }
    if (nresults < 0) nresults = 0;
    if (nresults > L->top - L->base) nresults = static_cast<int>(L->top - L->base);
    // The values yielded go to the base of the call: lua_resume's caller finds them there.
    if (L->top - nresults > L->base) {
        for (int i = 0; i < nresults; i++)
            setobj(L->base + i, L->top - nresults + i);
        L->top = L->base + nresults;
    }
    ci->state |= CI_YIELD;
    return -1;
}

int lua_isyielded(lua_State* L) {
    return L->ci != L->base_ci && (L->ci->state & CI_YIELD) != 0;
}
