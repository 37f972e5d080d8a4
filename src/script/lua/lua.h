// The native interface of the program's extended Lua (a Lua 5.0 core with a wide-string value
// type, per-type metatables and a few additions). Native code reaches scripts only through these
// lua_* functions: a lua_State is a thread of one script state; the state owns every value,
// native code refers to them through stack indices and pseudo-indices.
//
// Errors raised inside a call unwind to the innermost protected call (lua_pcall, lua_cpcall)
// as an exception internal to the core; with no protected call active the panic function runs
// and the process exits with status 1. Native functions called from scripts may therefore be
// left early by any call that can raise, and their destructors run.
//
// Threads: a state and all its threads belong to one system thread at a time; nothing here
// takes a lock.
#pragma once

#include <cstdarg>
#include <cstddef>

#define LUA_VERSION "Lua 5.0.2"

struct lua_State;

using lua_Number = double;
using lua_CFunction = int (*)(lua_State* L);
// Supplies the next piece of a chunk; null or a zero size ends it.
using lua_Chunkreader = const char* (*)(lua_State* L, void* data, size_t* size);
// Receives one piece of a dumped chunk; answers 0 on failure.
using lua_Chunkwriter = int (*)(lua_State* L, const void* p, size_t size, void* data);
// Every allocation of a state: a new size of 0 frees the block; otherwise the block grows or
// shrinks (or is made, from null) and null answers a refusal.
using lua_Alloc = void* (*)(void* data, void* block, size_t oldSize, size_t newSize);

constexpr int LUA_MULTRET = -1;

// Pseudo-indices.
constexpr int LUA_REGISTRYINDEX = -10000;
constexpr int LUA_GLOBALSINDEX = -10001;
constexpr int lua_upvalueindex(int i) {
    return LUA_GLOBALSINDEX - i;
}
// Indices below this read the registry's integer slots: lua_registryslot(k) is registry[k].
constexpr int LUA_REGISTRYSLOTS = -40000;
constexpr int lua_registryslot(int k) {
    return LUA_REGISTRYSLOTS - k;
}

// Statuses of protected calls and loads.
constexpr int LUA_ERRRUN = 1;
constexpr int LUA_ERRFILE = 2;
constexpr int LUA_ERRSYNTAX = 3;
constexpr int LUA_ERRMEM = 4;
constexpr int LUA_ERRERR = 5;

// Value types.
constexpr int LUA_TNONE = -1;
constexpr int LUA_TNIL = 0;
constexpr int LUA_TBOOLEAN = 1;
constexpr int LUA_TLIGHTUSERDATA = 2;
constexpr int LUA_TNUMBER = 3;
constexpr int LUA_TSTRING = 4;
constexpr int LUA_TTABLE = 5;
constexpr int LUA_TFUNCTION = 6;
constexpr int LUA_TUSERDATA = 7;
constexpr int LUA_TTHREAD = 8;
constexpr int LUA_TWSTRING = 9;

// Free slots a native function may use without lua_checkstack.
constexpr int LUA_MINSTACK = 20;

// State manipulation.
lua_State* lua_open();
// A state whose every allocation goes through alloc (called with data); null when even the
// state itself could not be made.
lua_State* lua_newstate(lua_Alloc alloc, void* data);
void lua_close(lua_State* L);
lua_State* lua_newthread(lua_State* L);
lua_CFunction lua_atpanic(lua_State* L, lua_CFunction panicf);

// Basic stack manipulation.
int lua_gettop(lua_State* L);
void lua_settop(lua_State* L, int idx);
void lua_pushvalue(lua_State* L, int idx);
void lua_remove(lua_State* L, int idx);
void lua_insert(lua_State* L, int idx);
void lua_replace(lua_State* L, int idx);
int lua_checkstack(lua_State* L, int size);
void lua_xmove(lua_State* from, lua_State* to, int n);

// Access functions (stack -> native). None of them raises an error.
int lua_isnumber(lua_State* L, int idx);
int lua_isstring(lua_State* L, int idx);
int lua_iscfunction(lua_State* L, int idx);
int lua_isuserdata(lua_State* L, int idx);
int lua_type(lua_State* L, int idx);
const char* lua_typename(lua_State* L, int tp);

int lua_equal(lua_State* L, int idx1, int idx2);
int lua_rawequal(lua_State* L, int idx1, int idx2);
int lua_lessthan(lua_State* L, int idx1, int idx2);

lua_Number lua_tonumber(lua_State* L, int idx);
int lua_toboolean(lua_State* L, int idx);
const char* lua_tostring(lua_State* L, int idx);
// Units of a wide string; a number is converted in place first; null for anything else.
const char16_t* lua_towstring(lua_State* L, int idx);
// Bytes of a string, units of a wide string; a number is converted in place and measured.
size_t lua_strlen(lua_State* L, int idx);
lua_CFunction lua_tocfunction(lua_State* L, int idx);
void* lua_touserdata(lua_State* L, int idx);
lua_State* lua_tothread(lua_State* L, int idx);
const void* lua_topointer(lua_State* L, int idx);

// Push functions (native -> stack). Each grows the stack when the top has reached its end,
// so pushes past what lua_checkstack granted are safe.
void lua_pushnil(lua_State* L);
void lua_pushnumber(lua_State* L, lua_Number n);
void lua_pushlstring(lua_State* L, const char* s, size_t l);
void lua_pushstring(lua_State* L, const char* s);
void lua_pushlwstring(lua_State* L, const char16_t* s, size_t l);
// Null pushes nil.
void lua_pushwstring(lua_State* L, const char16_t* s);
// Formats with %s %c %d %f %% and pushes the result; answers its text.
const char* lua_pushvfstring(lua_State* L, const char* fmt, va_list argp);
const char* lua_pushfstring(lua_State* L, const char* fmt, ...);
void lua_pushcclosure(lua_State* L, lua_CFunction fn, int n);
void lua_pushboolean(lua_State* L, int b);
void lua_pushlightuserdata(lua_State* L, void* p);
// A full userdata holding only p; lua_touserdata answers p itself.
void lua_pushpointer(lua_State* L, void* p);

// Get functions (Lua -> stack).
void lua_gettable(lua_State* L, int idx);
void lua_rawget(lua_State* L, int idx);
void lua_rawgeti(lua_State* L, int idx, int n);
void lua_newtable(lua_State* L);
void* lua_newuserdata(lua_State* L, size_t size);
int lua_getmetatable(lua_State* L, int objindex);
void lua_getfenv(lua_State* L, int idx);
// The metatable kept for a basic type (1 to 9).
void lua_pushtypemetatable(lua_State* L, int type);

// Set functions (stack -> Lua).
void lua_settable(lua_State* L, int idx);
void lua_rawset(lua_State* L, int idx);
void lua_rawseti(lua_State* L, int idx, int n);
int lua_setmetatable(lua_State* L, int objindex);
int lua_setfenv(lua_State* L, int idx);
// A table on top becomes the metatable of that basic type; the top value is popped always.
void lua_settypemetatable(lua_State* L, int type);

// Calls and chunks.
void lua_call(lua_State* L, int nargs, int nresults);
int lua_pcall(lua_State* L, int nargs, int nresults, int errfunc);
int lua_cpcall(lua_State* L, lua_CFunction func, void* ud);
int lua_load(lua_State* L, lua_Chunkreader reader, void* data, const char* chunkname);
// Writes the function on top (a Lua function without upvalues) as a binary chunk through
// writer; answers 1, or 0 when the value cannot be written or the writer refused a piece.
int lua_dump(lua_State* L, lua_Chunkwriter writer, void* data);

// Coroutines. Any thread can be one, the main thread included: lua_resume starts the function
// below the narg values on top (when no call is active) or continues the suspended one.
int lua_yield(lua_State* L, int nresults);
int lua_resume(lua_State* L, int narg);
// Whether the thread's current call is suspended in a yield.
int lua_isyielded(lua_State* L);

// Collector control, in kilobytes.
int lua_getgcthreshold(lua_State* L);
int lua_getgccount(lua_State* L);
void lua_setgcthreshold(lua_State* L, int newthreshold);

// Miscellaneous.
const char* lua_version();
int lua_error(lua_State* L);
int lua_next(lua_State* L, int idx);
void lua_concat(lua_State* L, int n);
int lua_pushupvalues(lua_State* L);
// The size of the table at idx: its field "n" when a number, else the largest non-nil index
// of the array part or the largest number key of the hash part; 0 for a value that is not a
// table.
int lua_getn(lua_State* L, int idx);

// Shorthands.
inline void lua_pop(lua_State* L, int n) {
    lua_settop(L, -n - 1);
}
inline void lua_pushcfunction(lua_State* L, lua_CFunction f) {
    lua_pushcclosure(L, f, 0);
}
inline void lua_register(lua_State* L, const char* name, lua_CFunction f) {
    lua_pushstring(L, name);
    lua_pushcfunction(L, f);
    lua_settable(L, LUA_GLOBALSINDEX);
}
inline bool lua_isfunction(lua_State* L, int n) {
    return lua_type(L, n) == LUA_TFUNCTION;
}
inline bool lua_istable(lua_State* L, int n) {
    return lua_type(L, n) == LUA_TTABLE;
}
inline bool lua_islightuserdata(lua_State* L, int n) {
    return lua_type(L, n) == LUA_TLIGHTUSERDATA;
}
inline bool lua_isnil(lua_State* L, int n) {
    return lua_type(L, n) == LUA_TNIL;
}
inline bool lua_isboolean(lua_State* L, int n) {
    return lua_type(L, n) == LUA_TBOOLEAN;
}
inline bool lua_iswstring(lua_State* L, int n) {
    return lua_type(L, n) == LUA_TWSTRING;
}
inline bool lua_isnone(lua_State* L, int n) {
    return lua_type(L, n) == LUA_TNONE;
}
inline bool lua_isnoneornil(lua_State* L, int n) {
    return lua_type(L, n) <= 0;
}
inline void lua_getregistry(lua_State* L) {
    lua_pushvalue(L, LUA_REGISTRYINDEX);
}
inline void lua_boxpointer(lua_State* L, void* u) {
    *static_cast<void**>(lua_newuserdata(L, sizeof(void*))) = u;
}
inline void* lua_unboxpointer(lua_State* L, int i) {
    return *static_cast<void**>(lua_touserdata(L, i));
}
#define lua_pushliteral(L, s) lua_pushlstring(L, "" s, sizeof(s) - 1)

// Debug interface.
constexpr int LUA_HOOKCALL = 0;
constexpr int LUA_HOOKRET = 1;
constexpr int LUA_HOOKLINE = 2;
constexpr int LUA_HOOKCOUNT = 3;
constexpr int LUA_HOOKTAILRET = 4;

constexpr int LUA_MASKCALL = 1 << LUA_HOOKCALL;
constexpr int LUA_MASKRET = 1 << LUA_HOOKRET;
constexpr int LUA_MASKLINE = 1 << LUA_HOOKLINE;
constexpr int LUA_MASKCOUNT = 1 << LUA_HOOKCOUNT;

struct lua_Debug {
    int event;
    const char* name;      // (n)
    const char* namewhat;  // (n) "global", "local", "field", "method" or ""
    const char* what;      // (S) "Lua", "C", "main", "tail"
    const char* source;    // (S)
    int currentline;       // (l)
    int nups;              // (u) number of upvalues
    int linedefined;       // (S)
    char short_src[60];    // (S)
    int i_ci;              // the call record this describes (private)
};

using lua_Hook = void (*)(lua_State* L, lua_Debug* ar);

int lua_getstack(lua_State* L, int level, lua_Debug* ar);
int lua_getinfo(lua_State* L, const char* what, lua_Debug* ar);
const char* lua_getlocal(lua_State* L, const lua_Debug* ar, int n);
const char* lua_setlocal(lua_State* L, const lua_Debug* ar, int n);
const char* lua_getupvalue(lua_State* L, int funcindex, int n);
const char* lua_setupvalue(lua_State* L, int funcindex, int n);
int lua_sethook(lua_State* L, lua_Hook func, int mask, int count);
lua_Hook lua_gethook(lua_State* L);
int lua_gethookmask(lua_State* L);
int lua_gethookcount(lua_State* L);
