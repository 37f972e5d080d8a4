#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "scriptfiles.h"

namespace {

class FileLoadTest : public ScriptFilesTest {
protected:
    void SetUp() override {
        ScriptFilesTest::SetUp();
        unsetenv("LUA_PATH");
    }

    // luaL_loadfile, then a call of the chunk: "status: results" or "status: message".
    std::string LoadFile(const char* name) {
        int status = luaL_loadfile(L, name);
        if (status == 0) status = lua_pcall(L, 0, 1, 0);
        std::string out = std::to_string(status) + ": " + LuaValueText(L, -1);
        lua_settop(L, 0);
        return out;
    }
};

TEST_F(FileLoadTest, LoadsThroughTheFileLayer) {
    Put("scripts/a.lua", "return 'loose'");
    Put("scripts/crlf.lua", "local x = 'a'\r\nreturn x .. '\\\r\nb'");
    Put("scripts/bad.lua", "\n\nx = = 1");
    Put("scripts/fails.lua", "\nerror('stop')");
    Put("scripts/empty.lua", "");
    Put("Upper/Case.LUA", "return 'case'");
    Pack("scripts.bvp", {{"packed/b.lua", "return 'member'"},
                         {"packed/wide.lua", Utf16File(u"return L\"\u4E2D\" .. 1")}});
    Scan();
    EXPECT_EQ(LoadFile("scripts/a.lua"), "0: loose");
    EXPECT_EQ(LoadFile("assets/scripts/a.lua"), "0: loose");
    EXPECT_EQ(LoadFile("upper/case.lua"), "0: case");
    // Text mode drops carriage returns, also inside a string's line continuation.
    EXPECT_EQ(LoadFile("scripts/crlf.lua"), "0: a\nb");
    EXPECT_EQ(LoadFile("scripts/empty.lua"), "0: nil");
    EXPECT_EQ(LoadFile("packed/b.lua"), "0: member");
    EXPECT_EQ(LoadFile("packed/wide.lua"), "0: L\"\\x{4e2d}1\"");
    EXPECT_EQ(LoadFile("scripts/bad.lua"), "3: scripts/bad.lua:3: unexpected symbol near `='");
    EXPECT_EQ(LoadFile("scripts/fails.lua"), "1: scripts/fails.lua:2: stop");
    EXPECT_EQ(LoadFile("scripts/none.lua"),
              "2: cannot read scripts/none.lua: No such file or directory");
    EXPECT_EQ(LoadFile(""), "2: cannot read : No such file or directory");
    // A real path past the index.
    EXPECT_EQ(LoadFile("::assets/scripts/a.lua"), "0: loose");
}

TEST_F(FileLoadTest, LoadsBinaryChunkFiles) {
    Run("chunk = string.dump(function() return 'from binary', L\"w\" end)");
    lua_pushliteral(L, "chunk");
    lua_gettable(L, LUA_GLOBALSINDEX);
    Put("compiled.luc", std::string(lua_tostring(L, -1), lua_strlen(L, -1)));
    lua_settop(L, 0);
    Scan();
    EXPECT_EQ(LoadFile("compiled.luc"), "0: from binary");
    Put("truncated.luc", "\x1bLua\x50");
    Scan();
    EXPECT_EQ(LoadFile("truncated.luc"), "1: unexpected end of file in truncated.luc");
}

TEST_F(FileLoadTest, LoadfileAndDofile) {
    Put("m.lua", "return 1 + 1, 'two'");
    Put("bad.lua", "return +");
    Put("err.lua", "error('inside', 0)");
    Scan();
    const LuaCase cases[] = {
        {"local f = loadfile('m.lua') return f()", "2, two"},
        {"return loadfile('bad.lua')", "nil, bad.lua:1: unexpected symbol near `+'"},
        {"return loadfile('none.lua')", "nil, cannot read none.lua: No such file or directory"},
        {"local f = loadfile()",
         "error: test:1: bad argument #1 to `loadfile' (string expected, got no value)"},
        {"return dofile('m.lua')", "2, two"},
        {"local a, b = dofile('m.lua', 'ignored') return a, b", "2, two"},
        {"dofile('bad.lua')", "error: bad.lua:1: unexpected symbol near `+'"},
        {"dofile('err.lua')", "error: inside"},
        {"dofile('none.lua')", "error: cannot read none.lua: No such file or directory"},
    };
    ExpectRuns(cases);
}

TEST_F(FileLoadTest, RequireSearchesTheDefaultPath) {
    Put("x.lua", "count = (count or 0) + 1 seen = _REQUIREDNAME return 'x.lua'");
    Scan();
    // Without LUA_PATH (global or environment) the path is "?;?.lua": "x", then "x.lua".
    EXPECT_EQ(Run("return require('x'), count, seen, _REQUIREDNAME"), "x.lua, 1, x, nil");
    EXPECT_EQ(Run("return require('x'), count, _LOADED.x"), "x.lua, 1, x.lua");
    Put("y", "return 'plain y'");
    Put("y.lua", "return 'y.lua'");
    Scan();
    EXPECT_EQ(Run("return require('y')"), "plain y");
    EXPECT_EQ(Run("local r = require('nothere')"),
              "error: test:1: could not load package `nothere' from path `?;?.lua'");
}

TEST_F(FileLoadTest, RequirePathsAndResults) {
    Put("mods/a.lua", "return nil");
    Put("mods/b.lua", "local inner = require('a') return 'b sees ' .. tostring(inner)");
    Put("mods/broken.lua", "return return");
    Put("mods/name.lua", "return _REQUIREDNAME");
    Scan();
    const LuaCase cases[] = {
        {"LUA_PATH = 'none/?.lua;mods/?.lua' return require('a'), _LOADED.a", "true, true"},
        {"return require('b')", "b sees true"},
        {"_REQUIREDNAME = 'outer' local n = require('name') return n, _REQUIREDNAME",
         "name, outer"},
        {"local r = require('broken')",
         "error: test:1: error loading package `broken' (mods/broken.lua:1: unexpected symbol "
         "near `return')"},
        {"LUA_PATH = 'q;;?' local r = require('missing')",
         "error: test:1: could not load package `missing' from path `q;;?'"},
        {"LUA_PATH = string.rep('?', 1100) local r = require('m')",
         "error: test:1: stack overflow (too many marks in a path component)"},
        {"_LOADED = 1 local r = require('a')", "error: test:1: `_LOADED' is not a table"},
    };
    ExpectRuns(cases);
}

TEST_F(FileLoadTest, RequireReadsTheEnvironmentVariable) {
    Put("lib/e.lua", "return 'from env path'");
    Scan();
    setenv("LUA_PATH", "lib/?.lua", 1);
    EXPECT_EQ(Run("return require('e')"), "from env path");
    // The global comes first.
    EXPECT_EQ(Run("LUA_PATH = 'x/?' local r = require('f')"),
              "error: test:1: could not load package `f' from path `x/?'");
}

}  // namespace
