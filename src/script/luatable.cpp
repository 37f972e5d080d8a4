#include "script/luatable.h"

#include <memory>

#include "script/lua/lua.h"
#include "script/script.h"

namespace {

// Pushes the field whose key pushKey pushes; nothing when the value is not a table or the field
// is nil.
template <class PushKey>
bool PushFieldWith(const TLuaTable& table, PushKey pushKey) {
    lua_State* L = table.GetState();
    table.PushObject();
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        return false;
    }
    pushKey(L);
    lua_gettable(L, -2);
    lua_remove(L, -2);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        return false;
    }
    return true;
}

// The value on top as a number, or the default; pops it.
double PopNumberOr(lua_State* L, double fallback) {
    double value = lua_isnumber(L, -1) ? lua_tonumber(L, -1) : fallback;
    lua_pop(L, 1);
    return value;
}

}  // namespace

bool TLuaTable::IsTable() const {
    PushObject();
    bool table = lua_istable(mState, -1);
    lua_pop(mState, 1);
    return table;
}

bool TLuaTable::PushField(const char* key) const {
    return PushFieldWith(*this, [key](lua_State* L) { lua_pushstring(L, key); });
}

bool TLuaTable::PushFieldAt(double key) const {
    return PushFieldWith(*this, [key](lua_State* L) { lua_pushnumber(L, key); });
}

double TLuaTable::GetNumber(const char* key, double fallback) const {
    if (!PushField(key)) return fallback;
    return PopNumberOr(mState, fallback);
}

double TLuaTable::GetNumberAt(double key, double fallback) const {
    if (!PushFieldAt(key)) return fallback;
    return PopNumberOr(mState, fallback);
}

str TLuaTable::GetStringAt(double key, const str& fallback) const {
    if (!PushFieldAt(key)) return fallback;
    const char* text = lua_isstring(mState, -1) ? lua_tostring(mState, -1) : nullptr;
    str value = text != nullptr ? str(text) : fallback;
    lua_pop(mState, 1);
    return value;
}

TLuaTable* TLuaTable::GetTableAt(double key) const {
    if (!PushFieldAt(key)) return nullptr;
    if (!lua_istable(mState, -1)) {
        lua_pop(mState, 1);
        return nullptr;
    }
    return new TLuaTable(mState);
}

TVec4 TLuaTable::GetColor(double key, const TVec4& fallback) const {
    std::unique_ptr<TLuaTable> sub(GetTableAt(key));
    if (!sub) return fallback;
    TVec4 color;
    color.x = static_cast<float>(sub->GetNumberAt(1, fallback.x));
    color.y = static_cast<float>(sub->GetNumberAt(2, fallback.y));
    color.z = static_cast<float>(sub->GetNumberAt(3, fallback.z));
    color.w = static_cast<float>(sub->GetNumberAt(4, fallback.w));
    return color;
}

bool TLuaTable::DeleteOnResume() {
    TScript* owner = TScript::FromState(mState);
    if (owner == nullptr) return false;
    owner->AddTemporary(this);
    return true;
}
