// The "coroutine" table: create, wrap, resume, yield, status.

#include "script/lua/calls.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lib/baselib.h"
#include "script/lua/lib/lualib.h"

namespace {

// Resumes co with the narg values on top of L; answers the count of values it moved back
// onto L, or -1 with the error on top of L.
int auxresume(lua_State* L, lua_State* co, int narg) {
    if (!lua_checkstack(co, narg)) luaL_error(L, "too many arguments to resume");
    lua_xmove(L, co, narg);
    // The resumed coroutine runs one native call deeper than its resumer.
    int status = luaD_resume(co, narg, L->nCcalls + 1);
    if (status == 0) {
        int nres = lua_gettop(co);
        if (!lua_checkstack(L, nres)) luaL_error(L, "too many results to resume");
        lua_xmove(co, L, nres);
        return nres;
    }
    lua_xmove(co, L, 1);
    return -1;
}

int luaB_coresume(lua_State* L) {
    lua_State* co = lua_tothread(L, 1);
    luaL_argcheck(L, co != nullptr, 1, "coroutine expected");
    int r = auxresume(L, co, lua_gettop(L) - 1);
    if (r < 0) {
        lua_pushboolean(L, 0);
        lua_insert(L, -2);
        return 2;  // false and the error
    }
    lua_pushboolean(L, 1);
    lua_insert(L, -(r + 1));
    return r + 1;  // true and what the coroutine passed
}

int auxwrap(lua_State* L) {
    lua_State* co = lua_tothread(L, lua_upvalueindex(1));
    int r = auxresume(L, co, lua_gettop(L));
    if (r < 0) {
        // The error is raised again where the wrapped function was called, so a message
        // gains that position in front of the one it had inside the coroutine.
        luaB_prefixposition(L, 1);
        lua_error(L);
    }
    return r;
}

int luaB_cocreate(lua_State* L) {
    lua_State* NL = lua_newthread(L);
    luaL_argcheck(L, lua_isfunction(L, 1) && !lua_iscfunction(L, 1), 1, "Lua function expected");
    lua_pushvalue(L, 1);
    lua_xmove(L, NL, 1);
    return 1;
}

int luaB_cowrap(lua_State* L) {
    luaB_cocreate(L);
    lua_pushcclosure(L, auxwrap, 1);
    return 1;
}

int luaB_yield(lua_State* L) {
    return lua_yield(L, lua_gettop(L));
}

int luaB_costatus(lua_State* L) {
    lua_State* co = lua_tothread(L, 1);
    luaL_argcheck(L, co != nullptr, 1, "coroutine expected");
    if (L == co) {
        lua_pushliteral(L, "running");
        return 1;
    }
    lua_Debug ar;
    if (lua_getstack(co, 0, &ar) == 0 && lua_gettop(co) == 0) {
        lua_pushliteral(L, "dead");
    } else {
        lua_pushliteral(L, "suspended");
    }
    return 1;
}

const luaL_reg co_funcs[] = {
    {"create", luaB_cocreate}, {"wrap", luaB_cowrap},     {"resume", luaB_coresume},
    {"yield", luaB_yield},     {"status", luaB_costatus}, {nullptr, nullptr},
};

}  // namespace

void luaB_opencoroutine(lua_State* L) {
    luaL_openlib(L, "coroutine", co_funcs, 0);
    lua_pop(L, 1);
}
