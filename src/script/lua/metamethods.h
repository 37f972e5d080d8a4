// Metamethods: the event names, their lookup in metatables, and the per-type rule.
//
// Tables and full userdata answer events from their own metatable. Every other value answers
// with the per-type metatable of its tag itself, whatever the event: so indexing a number reads
// the numbers' table, while an operator on it finds a table, not a function, and fails.
#pragma once

#include "script/lua/object.h"

// Event order binds the names list and the absence cache of Table::flags.
enum TMS {
    TM_INDEX,
    TM_NEWINDEX,
    TM_GC,
    TM_MODE,
    TM_EQ,  // last event cached in Table::flags
    TM_ADD,
    TM_SUB,
    TM_MUL,
    TM_DIV,
    TM_POW,
    TM_UNM,
    TM_LT,
    TM_LE,
    TM_CONCAT,
    TM_CALL,
    TM_N
};

// Interns the event names and keeps them from collection.
void luaT_init(lua_State* L);

// The handler of a cached event in events, or null; records an absence in events->flags.
const TValue* luaT_gettm(Table* events, TMS event, TString* ename);

// The handler of event for o, or the shared nil.
const TValue* luaT_gettmbyobj(lua_State* L, const TValue* o, TMS event);

// The metatable of o as the native interface reads it: its own for tables and full userdata,
// the per-type slot otherwise (null for nil).
Table* luaT_getmetatable(lua_State* L, const TValue* o);

// Fast path for cached events: null when the metatable surely lacks the handler. The names
// are the global state's (names[event] is G(L)->tmname[event]).
inline const TValue* luaT_fasttm(Table* et, TMS event, TString* const* names) {
    if (et == nullptr || (et->flags & (1u << event)) != 0) return nullptr;
    return luaT_gettm(et, event, names[event]);
}
