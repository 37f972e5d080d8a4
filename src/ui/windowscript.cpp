#include "ui/windowscript.h"

#include "script/lua/lua.h"

bool TWindowScript::DeliverCommand() {
    lua_State* L = GetState();
    lua_pushnil(L);
    lua_insert(L, -2);
    return Resume(2) == 0;
}
