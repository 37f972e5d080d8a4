// Loading script files: luaL_loadfile, which reads through the framework's file layer (so
// that archive members, memory files and the virtual prefixes all work), and the base
// functions built on it: loadfile, dofile and require.

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/file/file.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lib/baselib.h"

namespace {

constexpr const char* kPathVariable = "LUA_PATH";
constexpr const char* kDefaultPath = "?;?.lua";
constexpr const char* kLoadedTable = "_LOADED";

struct LoadF {
    TFile* f;
    char buff[LUAL_BUFFERSIZE];
};

const char* getF(lua_State*, void* ud, size_t* size) {
    LoadF* lf = static_cast<LoadF*>(ud);
    if (FileEof(lf->f)) return nullptr;
    int n = FileRead(lf->f, lf->buff, LUAL_BUFFERSIZE);
    *size = n > 0 ? static_cast<size_t>(n) : 0;
    return n > 0 ? lf->buff : nullptr;
}

// Replaces the chunk name at fnameindex with "cannot read <name>: <reason>".
int errfile(lua_State* L, int fnameindex, int error) {
    const char* filename = lua_tostring(L, fnameindex) + 1;
    // A name the file layer cannot resolve fails before any system call: it is missing.
    const char* reason = strerror(error != 0 ? error : ENOENT);
    lua_pushfstring(L, "cannot read %s: %s", filename, reason);
    lua_remove(L, fnameindex);
    return LUA_ERRFILE;
}

bool isspaceorprint(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || (c > ' ' && c < 0x7F);
}

// The search path: the global LUA_PATH, else the environment variable, else "?;?.lua".
std::string getpath(lua_State* L) {
    lua_pushstring(L, kPathVariable);
    lua_gettable(L, LUA_GLOBALSINDEX);
    const char* path = lua_tostring(L, -1);
    std::string result = path != nullptr ? path : "";
    lua_pop(L, 1);
    if (path != nullptr) return result;
    path = getenv(kPathVariable);
    return path != nullptr ? path : kDefaultPath;
}

// Pushes the next ";"-separated template of the path from pos; false after the last.
bool pushnextpath(lua_State* L, const std::string& path, size_t* pos) {
    if (*pos >= path.size()) return false;
    if (path[*pos] == ';') (*pos)++;
    size_t end = path.find(';', *pos);
    if (end == std::string::npos) end = path.size();
    lua_pushlstring(L, path.data() + *pos, end - *pos);
    *pos = end;
    return true;
}

// Replaces the template on top with the file name: every "?" becomes the package name.
void pushcomposename(lua_State* L) {
    const char* path = lua_tostring(L, -1);
    int n = 1;
    const char* wild;
    while ((wild = strchr(path, '?')) != nullptr) {
        luaL_checkstack(L, 3, "too many marks in a path component");
        lua_pushlstring(L, path, static_cast<size_t>(wild - path));
        lua_pushvalue(L, 1);
        path = wild + 1;
        n += 2;
    }
    lua_pushstring(L, path);
    lua_concat(L, n);
}

}  // namespace

int luaL_loadfile(lua_State* L, const char* filename) {
    if (filename == nullptr) filename = "";  // there is no standard input to read
    int fnameindex = lua_gettop(L) + 1;
    lua_pushfstring(L, "@%s", filename);
    errno = 0;
    LoadF lf;
    lf.f = FileOpen(filename, kFileReadText);
    if (lf.f == nullptr) return errfile(L, fnameindex, errno);
    int c = FileGetChar(lf.f);
    FileUngetChar(lf.f);
    if (!isspaceorprint(c)) {
        // Neither text nor a blank: a binary chunk or a UTF-16 source, whose bytes the text
        // mode would alter.
        FileClose(lf.f);
        errno = 0;
        lf.f = FileOpen(filename, kFileReadBinary);
        if (lf.f == nullptr) return errfile(L, fnameindex, errno);
    }
    int status = lua_load(L, getF, &lf, lua_tostring(L, -1));
    bool readfailed = FileIsClosed(lf.f);
    FileClose(lf.f);
    if (readfailed) {
        lua_settop(L, fnameindex);
        return errfile(L, fnameindex, 0);
    }
    lua_remove(L, fnameindex);
    return status;
}

int luaB_loadfile(lua_State* L) {
    const char* fname = luaL_checkstring(L, 1);
    int status = luaL_loadfile(L, fname);
    if (status == 0) return 1;
    lua_pushnil(L);
    lua_insert(L, -2);  // nil, then the message
    return 2;
}

int luaB_dofile(lua_State* L) {
    const char* fname = luaL_checkstring(L, 1);
    lua_settop(L, 1);
    if (luaL_loadfile(L, fname) != 0) lua_error(L);
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - 1;
}

int luaB_require(lua_State* L) {
    luaL_checkstring(L, 1);
    lua_settop(L, 1);
    lua_pushstring(L, kLoadedTable);
    lua_gettable(L, LUA_GLOBALSINDEX);  // 2: the table of loaded packages
    if (!lua_istable(L, 2)) return luaL_error(L, "`%s' is not a table", kLoadedTable);
    std::string path = getpath(L);
    lua_pushvalue(L, 1);
    lua_rawget(L, 2);  // 3: what the package gave when it was loaded
    if (lua_toboolean(L, -1)) return 1;
    int status = LUA_ERRFILE;
    size_t pos = 0;
    while (status == LUA_ERRFILE) {
        lua_settop(L, 3);
        if (!pushnextpath(L, path, &pos)) break;
        pushcomposename(L);
        status = luaL_loadfile(L, lua_tostring(L, -1));
    }
    switch (status) {
        case 0: {
            lua_pushliteral(L, "_REQUIREDNAME");
            lua_gettable(L, LUA_GLOBALSINDEX);  // the name being required before, kept
            lua_insert(L, -2);
            lua_pushliteral(L, "_REQUIREDNAME");
            lua_pushvalue(L, 1);
            lua_settable(L, LUA_GLOBALSINDEX);
            lua_call(L, 0, 1);
            lua_insert(L, -2);  // the result goes below the old name
            lua_pushliteral(L, "_REQUIREDNAME");
            lua_insert(L, -2);
            lua_settable(L, LUA_GLOBALSINDEX);
            if (lua_isnil(L, -1)) {  // a package that returns nothing counts as true
                lua_pushboolean(L, 1);
                lua_replace(L, -2);
            }
            lua_pushvalue(L, 1);
            lua_pushvalue(L, -2);
            lua_rawset(L, 2);
            return 1;
        }
        case LUA_ERRFILE:
            return luaL_error(L, "could not load package `%s' from path `%s'", lua_tostring(L, 1),
                              path.c_str());
        default:
            return luaL_error(L, "error loading package `%s' (%s)", lua_tostring(L, 1),
                              lua_tostring(L, -1));
    }
}
