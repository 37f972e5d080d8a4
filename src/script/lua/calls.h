// Calls, protected calls and errors of the scripting core, and the stack and call-record growth
// they need.
//
// Errors are raised with luaD_throw, which unwinds with a C++ exception internal to the core
// to the innermost protected call of the thread (luaD_rawrunprotected). Only that boundary
// catches it: native frames in between are left through their destructors. With no protected
// call active the panic function runs and the process exits with status 1.
//
// Lua functions run in the interpreter loop (luaV_execute), which enters Lua-to-Lua calls
// without recursing in C++: luaD_precall only prepares their frame.
#pragma once

#include "script/lua/state.h"

// The record of one protected call: the thread's innermost one is L->errorJmp.
struct lua_longjmp {
    lua_longjmp* previous;
    int status;
};

using Pfunc = void (*)(lua_State* L, void* ud);

// Outcome of luaD_precall.
enum PrecallResult {
    PCRLUA,    // a Lua function: its frame is ready, the interpreter runs it
    PCRC,      // a native function ran; its results are in place
    PCRYIELD,  // a native function yielded
};

inline void luaD_checkstack(lua_State* L, int n);

[[noreturn]] void luaD_throw(lua_State* L, int errcode);
int luaD_rawrunprotected(lua_State* L, Pfunc f, void* ud);

// Calls func with the values above it; nresults of LUA_MULTRET keeps every result.
void luaD_call(lua_State* L, StkId func, int nresults);
int luaD_precall(lua_State* L, StkId func, int nresults);
// Moves the results from firstResult down to the called function's slot, adjusted to the
// count the caller expects; answers false when the caller takes all of them.
inline bool luaD_poscall(lua_State* L, StkId firstResult);

// Parts of a call the interpreter loop also takes inline: the arguments past the fixed ones
// gathered into the table "arg" (with its count in "n"), and the return hooks.
void luaD_adjustvarargs(lua_State* L, int nfixargs, StkId base);
StkId luaD_callrethooks(lua_State* L, StkId firstResult);
void luaD_callhook(lua_State* L, int event, int line);
CallInfo* luaD_growCI(lua_State* L);

// Enters the frame of the Lua function at func (the path of luaD_precall for a Lua function).
inline void luaD_precallLua(lua_State* L, StkId func, int nresults);
// Runs func protected; on error restores the stack to oldtop (where the error value goes), the
// call records and the native-call count. ef is the handler's stack offset or 0.
int luaD_pcall(lua_State* L, Pfunc func, void* u, ptrdiff_t oldtop, ptrdiff_t ef);

// lua_resume with the native call depth the coroutine runs at: a coroutine resumed from
// another counts as one more nested native call of the resumer.
int luaD_resume(lua_State* L, int nargs, int ccalls);

struct Zio;
// Compiles the source (or reads the binary chunk) on z into a function pushed on the stack;
// on failure leaves the message there instead and answers the status.
int luaD_protectedparser(lua_State* L, Zio* z, bool bin);

void luaD_reallocstack(lua_State* L, int newsize);
void luaD_reallocCI(lua_State* L, int newsize);
void luaD_growstack(lua_State* L, int n);
// Undoes the extra call records granted while reporting a "stack overflow".
void luaD_restorestacklimit(lua_State* L);

// The error value a status leaves at oldtop.
void luaD_seterrorobj(lua_State* L, int errcode, StkId oldtop);

inline void luaD_checkstack(lua_State* L, int n) {
    if (reinterpret_cast<char*>(L->stack_last) - reinterpret_cast<char*>(L->top) <=
        static_cast<ptrdiff_t>(n) * static_cast<ptrdiff_t>(sizeof(TValue))) {
        luaD_growstack(L, n);
    }
}

// Pushes one slot after a write at the old top, growing the stack at its end.
inline void incr_top(lua_State* L) {
    luaD_checkstack(L, 1);
    L->top++;
}

inline void luaD_precallLua(lua_State* L, StkId func, int nresults) {
    Proto* p = static_cast<LClosure*>(clvalue(func))->p;
    if (L->ci + 1 == L->end_ci || p->is_vararg ||
        reinterpret_cast<char*>(L->stack_last) - reinterpret_cast<char*>(L->top) <=
            static_cast<ptrdiff_t>(p->maxstacksize) * static_cast<ptrdiff_t>(sizeof(TValue))) {
        // The slow way: the stack may move under func.
        ptrdiff_t funcr = savestack(L, func);
        if (L->ci + 1 == L->end_ci) {
            // Room for the new record first, so that an overflow is reported before anything
            // else is made; the record itself is entered once the frame is ready.
            luaD_growCI(L);
            L->ci--;
        }
        if (p->is_vararg) luaD_adjustvarargs(L, p->numparams, restorestack(L, funcr) + 1);
        luaD_checkstack(L, p->maxstacksize);
        func = restorestack(L, funcr);
    }
    CallInfo* ci = ++L->ci;
    ci->func = func;
    L->base = ci->base = ci->func + 1;
    ci->top = L->base + p->maxstacksize;
    ci->savedpc = p->code;
    ci->tailcalls = 0;
    ci->nresults = nresults;
    ci->state = 0;
    for (StkId st = L->top; st < ci->top; st++)
        setnilvalue(st);
    L->top = ci->top;
    if (L->hookmask & LUA_MASKCALL) luaD_callhook(L, LUA_HOOKCALL, -1);
}

inline bool luaD_poscall(lua_State* L, StkId firstResult) {
    if (L->hookmask & LUA_MASKRET) firstResult = luaD_callrethooks(L, firstResult);
    CallInfo* ci = L->ci--;
    StkId res = ci->func;
    int wanted = ci->nresults;
    L->base = L->ci->base;
    if (wanted == 1) {  // the usual case: one value
        if (firstResult < L->top) {
            setobj(res, firstResult);
        } else {
            setnilvalue(res);
        }
        L->top = res + 1;
        return true;
    }
    int i = wanted;
    for (; i != 0 && firstResult < L->top; i--)
        setobj(res++, firstResult++);
    while (i-- > 0)
        setnilvalue(res++);
    L->top = res;
    return wanted != LUA_MULTRET;
}
