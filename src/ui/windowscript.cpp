#include "ui/windowscript.h"

#include "platform/platform.h"
#include "script/lua/lua.h"
#include "script/luabinding.h"

namespace {

str WindowGetConfig(str key, str fallback) {
    return TPlatform::GetConfig(key, fallback);
}

// A double holds every 32-bit count exactly.
double WindowGetTimer() {
    return static_cast<double>(TPlatform::GetTimer());
}

bool WindowIsEnabled(str key) {
    return IsEnabled(key);
}

bool WindowStringToClipboard(str text) {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr && application->StringToClipboard(text);
}

}  // namespace

TWindowScript::TWindowScript(lua_State* state) : TScript(state) {
    lua_State* L = GetState();
    LuaBindFunction(L, "GetConfig", &WindowGetConfig);
    LuaBindFunction(L, "GetTimer", &WindowGetTimer);
    LuaBindFunction(L, "IsEnabled", &WindowIsEnabled);
    LuaBindFunction(L, "StringToClipboard", &WindowStringToClipboard);
}

bool TWindowScript::DeliverCommand() {
    lua_State* L = GetState();
    lua_pushnil(L);
    lua_insert(L, -2);
    return Resume(2) == 0;
}
