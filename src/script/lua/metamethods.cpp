#include "script/lua/metamethods.h"

#include "script/lua/state.h"
#include "script/lua/stringtable.h"
#include "script/lua/table.h"

void luaT_init(lua_State* L) {
    static const char* const names[TM_N] = {"__index", "__newindex", "__gc",  "__mode",   "__eq",
                                            "__add",   "__sub",      "__mul", "__div",    "__pow",
                                            "__unm",   "__lt",       "__le",  "__concat", "__call"};
    for (int i = 0; i < TM_N; i++) {
        G(L)->tmname[i] = luaS_new(L, names[i]);
        luaS_fix(G(L)->tmname[i]);
    }
}

const TValue* luaT_gettm(Table* events, TMS event, TString* ename) {
    const TValue* tm = luaH_getstr(events, ename);
    if (ttisnil(tm)) {
        events->flags |= static_cast<lu_byte>(1u << event);
        return nullptr;
    }
    return tm;
}

const TValue* luaT_gettmbyobj(lua_State* L, const TValue* o, TMS event) {
    switch (ttype(o)) {
        case LUA_TTABLE:
            return luaH_getstr(hvalue(o)->metatable, G(L)->tmname[event]);
        case LUA_TUSERDATA:
            return luaH_getstr(uvalue(o)->metatable, G(L)->tmname[event]);
        default:
            // Values of every other type answer with their type's table itself.
            return &G(L)->typemeta[ttype(o)];
    }
}

Table* luaT_getmetatable(lua_State* L, const TValue* o) {
    switch (ttype(o)) {
        case LUA_TTABLE:
            return hvalue(o)->metatable;
        case LUA_TUSERDATA:
            return uvalue(o)->metatable;
        default: {
            const TValue* slot = &G(L)->typemeta[ttype(o)];
            return ttistable(slot) ? hvalue(slot) : nullptr;
        }
    }
}
