// Value operations of the interpreter, shared with the native interface: table access with
// metamethods, comparison, concatenation (narrow and wide) and conversions.
#pragma once

#include "script/lua/state.h"

// The number in obj (a number, a numeric string or wide string), stored in *n when converted;
// null when there is none.
const TValue* luaV_tonumber(const TValue* obj, TValue* n);
// Replaces a number at obj by its string; false for any other value.
bool luaV_tostring(lua_State* L, StkId obj);
// Replaces a number at obj by its wide string; false for any other value, a string included.
bool luaV_towstring(lua_State* L, StkId obj);

// val = t[key], with "__index" handlers and the per-type rule.
void luaV_gettable(lua_State* L, const TValue* t, TValue* key, StkId val);
// The rest of t[key] for a table t whose own entry for key is nil and whose "__index"
// handler is tm (not null).
void luaV_finishget(lua_State* L, const TValue* t, TValue* key, StkId val, const TValue* tm);
// t[key] = val, with "__newindex" handlers and the per-type rule.
void luaV_settable(lua_State* L, const TValue* t, TValue* key, StkId val);

bool luaV_lessthan(lua_State* L, const TValue* l, const TValue* r);
bool luaV_lessequal(lua_State* L, const TValue* l, const TValue* r);
// Equality of two values of one tag, with "__eq" for tables and userdata.
bool luaV_equalval(lua_State* L, const TValue* t1, const TValue* t2);
inline bool luaV_equalobj(lua_State* L, const TValue* a, const TValue* b) {
    return ttype(a) == ttype(b) && luaV_equalval(L, a, b);
}

// Concatenates the total values ending at register last of the current call into the first.
void luaV_concat(lua_State* L, int total, int last);

// Calls tm(p1, p2) and stores its one result in *result (not a stack slot).
void luaV_callTMres(lua_State* L, const TValue* tm, const TValue* p1, const TValue* p2,
                    TValue* result);
// Calls the event's handler of p1, or of p2 when p1 has none, storing its result at res;
// false when the handler found is not a function.
bool luaV_callbinTM(lua_State* L, const TValue* p1, const TValue* p2, StkId res, TMS event);

// Runs the Lua function of the current call record until it returns to native code: Lua
// functions it calls run in the same loop. nexeccalls is the number of Lua frames, from the
// current one down, whose return ends the run (1 for a call from native code).
void luaV_execute(lua_State* L, int nexeccalls);
