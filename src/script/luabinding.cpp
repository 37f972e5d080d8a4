#include "script/luabinding.h"

#include "script/script.h"

str LuaToStr(lua_State* L, int index) {
    const char* text = lua_tostring(L, index);
    return text != nullptr ? str(text) : str();
}

void PushLuaStr(lua_State* L, str text) {
    lua_pushstring(L, text.c_str());
}

namespace luabinding {

void RaiseUnbound(lua_State* L) {
    luaL_error(L, "call of a native function that is no longer bound");
    __builtin_unreachable();
}

int SetGlobal(lua_State* L, const char* name, lua_CFunction trampoline) {
    lua_pushvalue(L, -1);
    int ref = luaL_ref(L, LUA_REGISTRYINDEX);
    lua_pushcclosure(L, trampoline, 1);
    lua_pushstring(L, name);
    lua_insert(L, -2);
    lua_rawset(L, LUA_GLOBALSINDEX);
    return ref;
}

}  // namespace luabinding

void LuaUnbind(lua_State* L, const char* name, int ref) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, ref);
    if (auto* block = static_cast<luabinding::TBlockHead*>(lua_touserdata(L, -1)))
        block->object = nullptr;
    lua_pop(L, 1);
    luaL_unref(L, LUA_REGISTRYINDEX, ref);
    lua_pushstring(L, name);
    lua_pushnil(L);
    lua_rawset(L, LUA_GLOBALSINDEX);
}

TLuaBindings::TLuaBindings(TScript* script) {
    if (script != nullptr) mState = script->GetLiveState();
}

lua_State* TLuaBindings::GetLiveState() const {
    std::shared_ptr<lua_State*> state = mState.lock();
    return state ? *state : nullptr;
}

void TLuaBindings::UnbindAll() {
    lua_State* L = GetLiveState();
    if (L != nullptr) {
        for (const Bound& bound : mBound)
            LuaUnbind(L, bound.name.c_str(), bound.ref);
    }
    mBound.clear();
}
