#include "script/luaobjectwrapper.h"

#include "script/lua/lua.h"

TLuaObjectWrapper::TLuaObjectWrapper(lua_State* state) : mState(state) {
    if (lua_gettop(mState) == 0) lua_pushnil(mState);
    lua_pushlightuserdata(mState, this);
    lua_insert(mState, -2);
    lua_rawset(mState, LUA_REGISTRYINDEX);
}

TLuaObjectWrapper::~TLuaObjectWrapper() {
    lua_pushlightuserdata(mState, this);
    lua_pushnil(mState);
    lua_rawset(mState, LUA_REGISTRYINDEX);
}

void TLuaObjectWrapper::PushObject() const {
    lua_pushlightuserdata(mState, const_cast<TLuaObjectWrapper*>(this));
    lua_rawget(mState, LUA_REGISTRYINDEX);
}

int TLuaFunction::Call() const {
    int height = lua_gettop(mState);
    lua_pushstring(mState, "_ALERT");
    lua_rawget(mState, LUA_GLOBALSINDEX);
    PushObject();
    int status = 0;
    if (lua_isfunction(mState, -1)) status = lua_pcall(mState, 0, 1, height + 1);
    lua_settop(mState, height);
    return status;
}
