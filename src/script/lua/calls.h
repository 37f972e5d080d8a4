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
bool luaD_poscall(lua_State* L, StkId firstResult);
// Runs func protected; on error restores the stack to oldtop (where the error value goes), the
// call records and the native-call count. ef is the handler's stack offset or 0.
int luaD_pcall(lua_State* L, Pfunc func, void* u, ptrdiff_t oldtop, ptrdiff_t ef);

void luaD_callhook(lua_State* L, int event, int line);

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
CallInfo* luaD_growCI(lua_State* L);
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
