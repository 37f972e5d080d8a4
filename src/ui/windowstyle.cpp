#include "ui/windowstyle.h"

#include "foundation/saturate.h"
#include "script/lua/lua.h"
#include "script/luaobjectwrapper.h"
#include "script/luatable.h"
#include "script/script.h"

namespace {

// Restores the stack height it was made at.
class TStackGuard {
public:
    explicit TStackGuard(lua_State* L) : mState(L), mTop(lua_gettop(L)) {}
    ~TStackGuard() { lua_settop(mState, mTop); }
    TStackGuard(const TStackGuard&) = delete;
    TStackGuard& operator=(const TStackGuard&) = delete;

private:
    lua_State* mState;
    int mTop;
};

// Pushes table[key] for the table on top (with metamethods), or the global of that name when the
// value on top is no table.
void PushEntry(lua_State* L, const str& key) {
    bool table = lua_istable(L, -1);
    lua_pushstring(L, key.c_str());
    lua_gettable(L, table ? -2 : LUA_GLOBALSINDEX);
}

}  // namespace

bool TWindowStyle::PushValue(const str& key) const {
    lua_State* L = mTable->GetState();
    mTable->PushObject();
    PushEntry(L, key);
    if (!lua_isnil(L, -1)) return true;
    lua_pop(L, 2);
    lua_pushstring(L, "gCurrentDefaultStyle");
    lua_gettable(L, LUA_GLOBALSINDEX);
    for (int links = 0; lua_istable(L, -1); ++links) {
        PushEntry(L, key);
        if (!lua_isnil(L, -1)) return true;
        lua_pop(L, 1);
        if (links == kMaxParentLinks) break;
        lua_pushstring(L, "parent");
        lua_gettable(L, -2);
        lua_remove(L, -2);
    }
    return false;
}

double TWindowStyle::GetNumber(const str& key, double fallback) const {
    if (mTable == nullptr) return fallback;
    TStackGuard guard(mTable->GetState());
    return PushValue(key) ? lua_tonumber(mTable->GetState(), -1) : fallback;
}

int32_t TWindowStyle::GetInt(const str& key, int32_t fallback) const {
    return TruncateToInt(GetNumber(key, fallback));
}

str TWindowStyle::GetString(const str& key, const str& fallback) const {
    if (mTable == nullptr) return fallback;
    TStackGuard guard(mTable->GetState());
    return PushValue(key) ? TScript::PopString(mTable->GetState()) : fallback;
}

TVec4 TWindowStyle::GetColor(const str& key, const TVec4& fallback) const {
    if (mTable == nullptr) return fallback;
    lua_State* L = mTable->GetState();
    TStackGuard guard(L);
    return PushValue(key) && lua_istable(L, -1) ? TScript::PopColor(L) : fallback;
}

bool TWindowStyle::GetBool(const str& key, bool fallback) const {
    if (mTable == nullptr) return fallback;
    TStackGuard guard(mTable->GetState());
    return PushValue(key) ? TScript::PopBool(mTable->GetState()) : fallback;
}

TLuaTable* TWindowStyle::GetTable(const str& key) const {
    if (mTable == nullptr) return nullptr;
    TStackGuard guard(mTable->GetState());
    return PushValue(key) ? new TLuaTable(mTable->GetState()) : nullptr;
}

TLuaFunction* TWindowStyle::GetFunction(const str& key) const {
    if (mTable == nullptr) return nullptr;
    TStackGuard guard(mTable->GetState());
    return PushValue(key) ? new TLuaFunction(mTable->GetState()) : nullptr;
}
