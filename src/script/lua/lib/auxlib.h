// The auxiliary layer: helpers on top of the native interface for writing library functions
// (argument checks with their messages, string buffers, references, table sizes, loading and
// running text). Everything here goes through lua.h only.
//
// Argument errors read "bad argument #<n> to `<function>' (<message>)", or "calling `<name>'
// on bad self (<message>)" for the receiver of a method call.
//
// Threads: as the state they are given.
#pragma once

#include <cstddef>

#include "script/lua/lua.h"

struct luaL_reg {
    const char* name;
    lua_CFunction func;
};

// Registers the functions of l (up to a null name) in the global table libname (made when
// missing), or in the table on top below the nup upvalues when libname is null; each function
// gets the nup values on top as upvalues, which are popped. The library table stays on top.
void luaL_openlib(lua_State* L, const char* libname, const luaL_reg* l, int nup);
// Pushes field e of obj's metatable and answers 1; answers 0 and pushes nothing when absent.
int luaL_getmetafield(lua_State* L, int obj, const char* e);
// Calls the metamethod e of obj with obj; answers 1 with its result pushed, 0 when absent.
int luaL_callmeta(lua_State* L, int obj, const char* e);
int luaL_typerror(lua_State* L, int narg, const char* tname);
int luaL_argerror(lua_State* L, int numarg, const char* extramsg);
const char* luaL_checklstring(lua_State* L, int numArg, size_t* l);
const char* luaL_optlstring(lua_State* L, int numArg, const char* def, size_t* l);
lua_Number luaL_checknumber(lua_State* L, int numArg);
lua_Number luaL_optnumber(lua_State* L, int nArg, lua_Number def);
// The argument as a wide string (a number is converted in place); len gets its unit count.
const char16_t* luaL_checkwstring(lua_State* L, int numArg, size_t* len);

void luaL_checkstack(lua_State* L, int sz, const char* msg);
void luaL_checktype(lua_State* L, int narg, int t);
void luaL_checkany(lua_State* L, int narg);

int luaL_newmetatable(lua_State* L, const char* tname);
void luaL_getmetatable(lua_State* L, const char* tname);
void* luaL_checkudata(lua_State* L, int ud, const char* tname);

// Pushes "chunk:line: " for the function at the given level, or "" when unknown.
void luaL_where(lua_State* L, int lvl);
// Raises the formatted message with the position of the calling Lua function in front.
int luaL_error(lua_State* L, const char* fmt, ...);

// The index of st in the null-terminated list, or -1.
int luaL_findstring(const char* st, const char* const lst[]);

constexpr int LUA_NOREF = -2;
constexpr int LUA_REFNIL = -1;
// Stores the value on top (popped) in table t under a new integer key and answers it.
int luaL_ref(lua_State* L, int t);
void luaL_unref(lua_State* L, int t, int ref);

// The size of a table: its field "n", else the size set by luaL_setn, else the count of
// elements from 1 up to the first nil.
int luaL_getn(lua_State* L, int t);
void luaL_setn(lua_State* L, int t, int n);

int luaL_loadbuffer(lua_State* L, const char* buff, size_t sz, const char* name);
// Loads a file through the framework's file layer (any name FileOpen takes: asset names,
// archive members, "user:" and the other prefixes, "::" real paths) under the chunk name
// "@" + name. Text is read in text mode; a file whose first byte is neither blank nor
// printable (a binary chunk, a UTF-16 source) is read again in binary mode. A file that
// cannot be opened or read gives status 2 with "cannot read <name>: <reason>".
int luaL_loadfile(lua_State* L, const char* filename);

// Loads and runs a chunk; a failure is reported to the global "_ALERT" (or the standard error
// stream when it is not a function). Answers the status.
int lua_dobuffer(lua_State* L, const char* buff, size_t sz, const char* n);
int lua_dostring(lua_State* L, const char* str);

inline void luaL_argcheck(lua_State* L, bool cond, int numarg, const char* extramsg) {
    if (!cond) luaL_argerror(L, numarg, extramsg);
}
inline const char* luaL_checkstring(lua_State* L, int n) {
    return luaL_checklstring(L, n, nullptr);
}
inline const char* luaL_optstring(lua_State* L, int n, const char* d) {
    return luaL_optlstring(L, n, d, nullptr);
}
int luaL_checkint(lua_State* L, int n);
int luaL_optint(lua_State* L, int n, int d);

// String buffers: text is gathered in the buffer's own area and moved to the stack as pieces
// when it fills; the result is one string (or, for a wide buffer, one wide string). While a
// buffer is in use the stack above it belongs to it.
constexpr int LUAL_BUFFERSIZE = 512;

struct luaL_Buffer {
    char* p;   // current write position
    int lvl;   // pieces on the stack
    int wide;  // 0: a byte buffer; 1: a wide buffer (units of 2 bytes)
    lua_State* L;
    char buffer[LUAL_BUFFERSIZE];
};

void luaL_buffinit(lua_State* L, luaL_Buffer* B);
void luaL_wbuffinit(lua_State* L, luaL_Buffer* B);
// Empties the area onto the stack when needed and answers it.
char* luaL_prepbuffer(luaL_Buffer* B);
void luaL_addlstring(luaL_Buffer* B, const char* s, size_t l);
void luaL_addstring(luaL_Buffer* B, const char* s);
void luaL_addlwstring(luaL_Buffer* B, const char16_t* s, size_t l);
// Adds the value on top (a string, or a wide string for a wide buffer) and pops it.
void luaL_addvalue(luaL_Buffer* B);
void luaL_pushresult(luaL_Buffer* B);

inline void luaL_putchar(luaL_Buffer* B, char c) {
    if (B->p >= B->buffer + LUAL_BUFFERSIZE) luaL_prepbuffer(B);
    *B->p++ = c;
}
inline void luaL_addchar(luaL_Buffer* B, char c) {
    luaL_putchar(B, c);
}
inline void luaL_addsize(luaL_Buffer* B, size_t n) {
    B->p += n;
}
