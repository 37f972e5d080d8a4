// Helpers for tests that run Lua text: a state with the base, string and table libraries open, and
// a chunk's results (or its error) as one line of text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "script/lua/lib/lualib.h"

// A value as text: nil, true, numbers as Lua writes them, strings as they are, wide strings
// as L"..." with units past ASCII as \x{hex}, other values by type name.
inline std::string LuaValueText(lua_State* L, int idx) {
    switch (lua_type(L, idx)) {
        case LUA_TNIL:
            return "nil";
        case LUA_TBOOLEAN:
            return lua_toboolean(L, idx) ? "true" : "false";
        case LUA_TNUMBER: {
            lua_pushvalue(L, idx);
            std::string s = lua_tostring(L, -1);
            lua_pop(L, 1);
            return s;
        }
        case LUA_TSTRING:
            return std::string(lua_tostring(L, idx), lua_strlen(L, idx));
        case LUA_TWSTRING: {
            const char16_t* w = lua_towstring(L, idx);
            size_t n = lua_strlen(L, idx);
            std::string s = "L\"";
            for (size_t i = 0; i < n; i++) {
                if (w[i] >= 32 && w[i] < 127) {
                    s += static_cast<char>(w[i]);
                } else {
                    char buf[16];
                    snprintf(buf, sizeof buf, "\\x{%x}", static_cast<unsigned>(w[i]));
                    s += buf;
                }
            }
            return s + "\"";
        }
        default:
            return lua_typename(L, lua_type(L, idx));
    }
}

// The global of that name as LuaValueText writes it.
inline std::string LuaGlobalText(lua_State* L, const char* name) {
    lua_pushstring(L, name);
    lua_gettable(L, LUA_GLOBALSINDEX);
    std::string text = LuaValueText(L, -1);
    lua_pop(L, 1);
    return text;
}

// Runs code in the state (chunk name "=test", so positions read "test:<line>:"); answers its
// results separated by ", ", or "error: " and the message of a syntax or run-time error. The
// stack is left as found.
inline std::string RunLuaChunk(lua_State* L, const std::string& code) {
    int top = lua_gettop(L);
    int status = luaL_loadbuffer(L, code.data(), code.size(), "=test");
    if (status == 0) status = lua_pcall(L, 0, LUA_MULTRET, 0);
    std::string out;
    if (status != 0) {
        out = "error: " + LuaValueText(L, -1);
    } else {
        for (int i = top + 1; i <= lua_gettop(L); i++) {
            if (i > top + 1) out += ", ";
            out += LuaValueText(L, i);
        }
    }
    lua_settop(L, top);
    return out;
}

// A chunk and the text Run answers for it.
struct LuaCase {
    const char* code;
    const char* result;
};

class LuaScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        L = lua_open();
        luaopen_base(L);
        luaopen_string(L);
        luaopen_table(L);
    }
    void TearDown() override { lua_close(L); }

    std::string Run(const std::string& code) { return RunLuaChunk(L, code); }

    template <size_t N>
    void ExpectRuns(const LuaCase (&cases)[N]) {
        for (const LuaCase& c : cases) {
            EXPECT_EQ(Run(c.code), c.result) << c.code;
        }
    }

    // Run with hex(s), the bytes of s as hexadecimal pairs, available to the code.
    std::string RunHex(const std::string& code) {
        return Run(
            "local function hex(s) local o = {} "
            "for i = 1, string.len(s) do o[i] = string.format('%02x', string.byte(s, i)) end "
            "return table.concat(o, ' ') end " +
            code);
    }
    template <size_t N>
    void ExpectRunsHex(const LuaCase (&cases)[N]) {
        for (const LuaCase& c : cases) {
            EXPECT_EQ(RunHex(c.code), c.result) << c.code;
        }
    }

    // Compiles code only; answers "" or the syntax error.
    std::string Compile(const std::string& code) {
        int status = luaL_loadbuffer(L, code.data(), code.size(), "=test");
        std::string out = status == 0 ? "" : LuaValueText(L, -1);
        lua_pop(L, 1);
        return out;
    }

    lua_State* L = nullptr;
};
