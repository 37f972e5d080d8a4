#include "script/luabinding.h"

#include "script/script.h"

str LuaToStr(lua_State* L, int index) {
    const char* text = lua_tostring(L, index);
    return text != nullptr ? str(text) : str();
}

void PushLuaStr(lua_State* L, str text) {
    lua_pushstring(L, text.c_str());
}

lua_State* LuaMoveToHost(lua_State* L) {
    TScript* script = TScript::FromState(L);
    lua_State* host = script != nullptr ? script->GetState() : L;
    lua_xmove(L, host, 1);
    return host;
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

namespace {

// Clears the block's object field and drops the owner's reference to it.
void ReleaseBlock(lua_State* L, int ref) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, ref);
    if (auto* block = static_cast<luabinding::TBlockHead*>(lua_touserdata(L, -1)))
        block->object = nullptr;
    lua_pop(L, 1);
    luaL_unref(L, LUA_REGISTRYINDEX, ref);
}

void ClearGlobal(lua_State* L, const char* name) {
    lua_pushstring(L, name);
    lua_pushnil(L);
    lua_rawset(L, LUA_GLOBALSINDEX);
}

// Whether the global is the closure over the binding's block.
bool GlobalHoldsBinding(lua_State* L, const char* name, int ref) {
    lua_pushstring(L, name);
    lua_rawget(L, LUA_GLOBALSINDEX);
    bool own = false;
    if (lua_iscfunction(L, -1) && lua_getupvalue(L, -1, 1) != nullptr) {
        lua_rawgeti(L, LUA_REGISTRYINDEX, ref);
        own = lua_rawequal(L, -1, -2) != 0;
        lua_pop(L, 2);
    }
    lua_pop(L, 1);
    return own;
}

}  // namespace

void LuaUnbind(lua_State* L, const char* name, int ref) {
    ReleaseBlock(L, ref);
    ClearGlobal(L, name);
}

void LuaUnbindIfOwn(lua_State* L, const char* name, int ref) {
    bool own = GlobalHoldsBinding(L, name, ref);
    ReleaseBlock(L, ref);
    if (own) ClearGlobal(L, name);
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

void TLuaBindings::UnbindAllIfOwn() {
    lua_State* L = GetLiveState();
    if (L != nullptr) {
        for (const Bound& bound : mBound)
            LuaUnbindIfOwn(L, bound.name.c_str(), bound.ref);
    }
    mBound.clear();
}
