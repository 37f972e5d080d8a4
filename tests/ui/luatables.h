// A Lua state for the window-system tests, and the window description tables made in it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "script/luatable.h"
#include "script/script.h"

namespace uitest {

class TLuaTables {
public:
    TLuaTables() : mScript(std::make_unique<TScript>()), L(mScript->GetState()) {}

    lua_State* State() const { return L; }

    // Runs Lua text (a failure fails the test).
    void Run(const std::string& code) {
        EXPECT_EQ(lua_dostring(L, code.c_str()), 0) << code;
        lua_settop(L, 0);
    }
    // A wrapper over the value of a Lua expression.
    std::unique_ptr<TLuaTable> Table(const std::string& expression) {
        std::string code = "return " + expression;
        int top = lua_gettop(L);
        EXPECT_EQ(luaL_loadbuffer(L, code.data(), code.size(), "=table"), 0) << expression;
        EXPECT_EQ(lua_pcall(L, 0, 1, 0), 0) << expression;
        auto table = std::make_unique<TLuaTable>(L);
        lua_settop(L, top);
        return table;
    }

private:
    std::unique_ptr<TScript> mScript;
    lua_State* L;
};

}  // namespace uitest
