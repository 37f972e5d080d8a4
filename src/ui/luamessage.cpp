#include "ui/luamessage.h"

#include "script/lua/lua.h"

namespace {

const char kMetatableKey[] = "bvMessageMetatable";

void PushMetatable(lua_State* L) {
    lua_pushstring(L, kMetatableKey);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

// "__gc": deletes the message. The metatable goes with it, so that a script calling the function
// itself cannot have the message deleted twice (nor read after that).
int CollectMessage(lua_State* L) {
    if (TMessage* message = GetLuaMessage(L, 1)) {
        lua_pushnil(L);
        lua_setmetatable(L, 1);
        delete message;
    }
    return 0;
}

// "__index": "type" and "name"; any other key nil. A nil message answers nothing.
int IndexMessage(lua_State* L) {
    if (lua_isnil(L, 1)) return 0;
    TMessage* message = GetLuaMessage(L, 1);
    const char* key = lua_tostring(L, 2);
    if (message != nullptr && key != nullptr) {
        str field(key);
        if (field == "type") {
            lua_pushnumber(L, message->GetType());
            return 1;
        }
        if (field == "name") {
            lua_pushstring(L, message->GetName().c_str());
            return 1;
        }
    }
    lua_pushnil(L);
    return 1;
}

}  // namespace

TLuaMessageWrapper::TLuaMessageWrapper(lua_State* state)
    : TMessage(kGeneric, str()), TLuaMessage(state) {
    if (TMessage* message = GetWrapped()) CopyFrom(*message);
}

TMessage* TLuaMessageWrapper::GetWrapped() const {
    PushObject();
    TMessage* message = GetLuaMessage(mState, -1);
    lua_pop(mState, 1);
    return message;
}

TMessage* Unwrapped(TMessage* message) {
    if (message == nullptr || !message->IsKindOf(TLuaMessageWrapper::TypeId())) return message;
    TMessage* wrapped = static_cast<TLuaMessageWrapper*>(message)->GetWrapped();
    return wrapped != nullptr ? wrapped : message;
}

void RegisterMessageMetatable(lua_State* L) {
    lua_pushstring(L, kMetatableKey);
    lua_newtable(L);
    lua_pushstring(L, "__gc");
    lua_pushcfunction(L, &CollectMessage);
    lua_rawset(L, -3);
    lua_pushstring(L, "__index");
    lua_pushcfunction(L, &IndexMessage);
    lua_rawset(L, -3);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

void PushLuaMessage(lua_State* L, TMessage* message) {
    lua_pushpointer(L, message);
    PushMetatable(L);
    lua_setmetatable(L, -2);
}

TMessage* GetLuaMessage(lua_State* L, int index) {
    if (lua_type(L, index) != LUA_TUSERDATA || !lua_getmetatable(L, index)) return nullptr;
    PushMetatable(L);
    bool isMessage = lua_rawequal(L, -1, -2) != 0;
    lua_pop(L, 2);
    return isMessage ? static_cast<TMessage*>(lua_touserdata(L, index)) : nullptr;
}
