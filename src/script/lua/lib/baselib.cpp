// The base library: the global functions every script sees, with the program's wide-string
// additions ("towstring", wide strings in "tostring" and "print").

#include <cstdio>
#include <cstring>

#include "foundation/utf8.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lib/baselib.h"
#include "script/lua/lib/lualib.h"

namespace {

// Writes UTF-16 units as UTF-8; a unit that pairs with nothing is written as U+FFFD.
void writewide(FILE* out, const char16_t* s, size_t len) {
    for (size_t i = 0; i < len; i++) {
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < len && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            i++;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        char bytes[4];
        int n = Utf8Encode(cp, bytes);
        fwrite(bytes, 1, static_cast<size_t>(n), out);
    }
}

int luaB_print(lua_State* L) {
    int n = lua_gettop(L);
    lua_pushliteral(L, "tostring");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushliteral(L, "towstring");
    lua_gettable(L, LUA_GLOBALSINDEX);
    for (int i = 1; i <= n; i++) {
        bool wide = lua_type(L, i) == LUA_TWSTRING;
        lua_pushvalue(L, wide ? n + 2 : n + 1);
        lua_pushvalue(L, i);
        lua_call(L, 1, 1);
        const char16_t* ws = wide ? lua_towstring(L, -1) : nullptr;
        const char* s = wide ? nullptr : lua_tostring(L, -1);
        if (ws == nullptr && s == nullptr) {
            return luaL_error(L, "`tostring' must return a string to `print'");
        }
        if (i > 1) fputs("\t", stdout);
        if (wide) {
            writewide(stdout, ws, lua_strlen(L, -1));
        } else {
            fwrite(s, 1, lua_strlen(L, -1), stdout);
        }
        lua_pop(L, 1);
    }
    fputs("\n", stdout);
    return 0;
}

int luaB_tonumber(lua_State* L) {
    int base = luaL_optint(L, 2, 10);
    if (base == 10) {
        luaL_checkany(L, 1);
        if (lua_isnumber(L, 1)) {
            lua_pushnumber(L, lua_tonumber(L, 1));
            return 1;
        }
        lua_pushnil(L);
        return 1;
    }
    char narrow[100];
    const char* s1;
    if (lua_type(L, 1) == LUA_TWSTRING) {
        size_t len = lua_strlen(L, 1);
        if (len >= sizeof narrow) {
            lua_pushnil(L);
            return 1;
        }
        const char16_t* w = lua_towstring(L, 1);
        for (size_t i = 0; i < len; i++)
            narrow[i] = static_cast<char>(w[i] & 0xFF);
        narrow[len] = '\0';
        s1 = narrow;
    } else {
        s1 = luaL_checkstring(L, 1);
    }
    luaL_argcheck(L, 2 <= base && base <= 36, 2, "base out of range");
    // An unsigned 32-bit reading: leading space, a sign, "0x" in base 16, then digits;
    // too large a value stays at the largest one.
    const char* p = s1;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        p++;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    auto digit = [base](char c) {
        int d = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'z') ? c - 'a' + 10
                : (c >= 'A' && c <= 'Z') ? c - 'A' + 10
                                         : 99;
        return d < base ? d : -1;
    };
    if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && digit(p[2]) >= 0) p += 2;
    const char* digits = p;
    uint64_t value = 0;
    bool overflow = false;
    for (int d; (d = digit(*p)) >= 0; p++) {
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0xFFFFFFFFu;
        }
    }
    if (p != digits) {
        while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
            p++;
        if (*p == '\0') {
            uint32_t n = static_cast<uint32_t>(value);
            if (negative && !overflow) n = 0u - n;
            lua_pushnumber(L, static_cast<lua_Number>(n));
            return 1;
        }
    }
    lua_pushnil(L);
    return 1;
}

// Pushes the wide string of a byte text, one unit per byte.
void pushwidened(lua_State* L, const char* s, size_t len) {
    luaL_Buffer b;
    luaL_wbuffinit(L, &b);
    for (size_t i = 0; i < len; i++) {
        char16_t u = static_cast<unsigned char>(s[i]);
        luaL_addlwstring(&b, &u, 1);
    }
    luaL_pushresult(&b);
}

}  // namespace

void luaB_prefixposition(lua_State* L, int level) {
    if (!lua_isstring(L, -1)) return;
    luaL_where(L, level);
    if (lua_type(L, -2) == LUA_TWSTRING) {
        // The position joins a wide message as a wide string.
        pushwidened(L, lua_tostring(L, -1), lua_strlen(L, -1));
        lua_remove(L, -2);
    }
    lua_insert(L, -2);
    lua_concat(L, 2);
}

namespace {

int luaB_error(lua_State* L) {
    int level = luaL_optint(L, 2, 1);
    luaL_checkany(L, 1);
    lua_pushvalue(L, 1);
    if (level != 0) luaB_prefixposition(L, level);
    return lua_error(L);
}

// Pushes the "__metatable" field of argument 1's metatable and answers true; answers false
// and pushes nothing when there is none. The field's name is the closure's upvalue, so that
// this runs without making the name again on every call.
bool getprotection(lua_State* L) {
    if (!lua_getmetatable(L, 1)) return false;
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_rawget(L, -2);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 2);
        return false;
    }
    lua_remove(L, -2);
    return true;
}

int luaB_getmetatable(lua_State* L) {
    luaL_checkany(L, 1);
    if (!lua_getmetatable(L, 1)) {
        lua_pushnil(L);
        return 1;
    }
    getprotection(L);  // it takes precedence when present
    return 1;
}

int luaB_setmetatable(lua_State* L) {
    int t = lua_type(L, 2);
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_argcheck(L, t == LUA_TNIL || t == LUA_TTABLE, 2, "nil or table expected");
    if (getprotection(L)) luaL_error(L, "cannot change a protected metatable");
    lua_settop(L, 2);
    lua_setmetatable(L, 1);
    return 1;
}

// Pushes the function argument 1 names: itself, or the function at that call level.
void getfunc(lua_State* L) {
    if (lua_isfunction(L, 1)) {
        lua_pushvalue(L, 1);
        return;
    }
    lua_Debug ar;
    int level = luaL_optint(L, 1, 1);
    luaL_argcheck(L, level >= 0, 1, "level must be non-negative");
    if (lua_getstack(L, level, &ar) == 0) luaL_argerror(L, 1, "invalid level");
    lua_getinfo(L, "f", &ar);
    if (lua_isnil(L, -1)) {
        luaL_error(L, "no function environment for tail call at level %d", level);
    }
}

// Pushes the environment of the function on top and its "__fenv" field; true when set.
bool aux_getfenv(lua_State* L) {
    lua_getfenv(L, -1);
    lua_pushliteral(L, "__fenv");
    lua_rawget(L, -2);
    return !lua_isnil(L, -1);
}

int luaB_getfenv(lua_State* L) {
    getfunc(L);
    if (!aux_getfenv(L)) lua_pop(L, 1);  // no "__fenv": the environment itself
    return 1;
}

int luaB_setfenv(lua_State* L) {
    luaL_checktype(L, 2, LUA_TTABLE);
    getfunc(L);
    if (aux_getfenv(L)) luaL_error(L, "`setfenv' cannot change a protected environment");
    lua_pop(L, 2);
    lua_pushvalue(L, 2);
    if (lua_isnumber(L, 1) && lua_tonumber(L, 1) == 0) {
        lua_replace(L, LUA_GLOBALSINDEX);  // level 0: the thread's globals
    } else if (lua_setfenv(L, -2) == 0) {
        luaL_error(L, "`setfenv' cannot change environment of given function");
    }
    return 0;
}

int luaB_rawequal(lua_State* L) {
    luaL_checkany(L, 1);
    luaL_checkany(L, 2);
    lua_pushboolean(L, lua_rawequal(L, 1, 2));
    return 1;
}

int luaB_rawget(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_checkany(L, 2);
    lua_rawget(L, 1);
    return 1;
}

int luaB_rawset(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_checkany(L, 2);
    luaL_checkany(L, 3);
    lua_rawset(L, 1);
    return 1;
}

int luaB_gcinfo(lua_State* L) {
    lua_pushnumber(L, static_cast<lua_Number>(lua_getgccount(L)));
    lua_pushnumber(L, static_cast<lua_Number>(lua_getgcthreshold(L)));
    return 2;
}

int luaB_collectgarbage(lua_State* L) {
    lua_setgcthreshold(L, luaL_optint(L, 1, 0));
    return 0;
}

int luaB_type(lua_State* L) {
    luaL_checkany(L, 1);
    lua_pushstring(L, lua_typename(L, lua_type(L, 1)));
    return 1;
}

int luaB_next(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_settop(L, 2);  // a missing key is nil
    if (lua_next(L, 1)) return 2;
    lua_pushnil(L);
    return 1;
}

int luaB_pairs(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_pushliteral(L, "next");
    lua_rawget(L, LUA_GLOBALSINDEX);
    lua_pushvalue(L, 1);
    lua_pushnil(L);
    return 3;
}

int luaB_ipairs(lua_State* L) {
    lua_Number i = lua_tonumber(L, 2);
    luaL_checktype(L, 1, LUA_TTABLE);
    if (i == 0 && lua_isnone(L, 2)) {  // the start of a for loop
        lua_pushliteral(L, "ipairs");
        lua_rawget(L, LUA_GLOBALSINDEX);
        lua_pushvalue(L, 1);
        lua_pushnumber(L, 0);
        return 3;
    }
    i++;
    lua_pushnumber(L, i);
    lua_rawgeti(L, 1, luaL_checkint(L, -1));
    return lua_isnil(L, -1) ? 0 : 2;
}

int load_aux(lua_State* L, int status) {
    if (status == 0) return 1;
    lua_pushnil(L);
    lua_insert(L, -2);  // nil, then the message
    return 2;
}

int luaB_loadstring(lua_State* L) {
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    const char* chunkname = luaL_optstring(L, 2, s);
    return load_aux(L, luaL_loadbuffer(L, s, l, chunkname));
}

int luaB_assert(lua_State* L) {
    luaL_checkany(L, 1);
    if (!lua_toboolean(L, 1)) {
        return luaL_error(L, "%s", luaL_optstring(L, 2, "assertion failed!"));
    }
    lua_settop(L, 1);
    return 1;
}

int luaB_unpack(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    int n = luaL_getn(L, 1);
    luaL_checkstack(L, n, "table too big to unpack");
    for (int i = 1; i <= n; i++)
        lua_rawgeti(L, 1, i);
    return n;
}

int luaB_pcall(lua_State* L) {
    luaL_checkany(L, 1);
    int status = lua_pcall(L, lua_gettop(L) - 1, LUA_MULTRET, 0);
    lua_pushboolean(L, status == 0);
    lua_insert(L, 1);
    return lua_gettop(L);
}

int luaB_xpcall(lua_State* L) {
    luaL_checkany(L, 2);
    lua_settop(L, 2);
    lua_insert(L, 1);  // the handler goes below the function
    int status = lua_pcall(L, 0, LUA_MULTRET, 1);
    lua_pushboolean(L, status == 0);
    lua_replace(L, 1);
    return lua_gettop(L);
}

// The text of a value without a "__tostring" handler, "%p" style for objects.
void pushobjecttext(lua_State* L, const char* kind, const void* p) {
    char buff[128];
    snprintf(buff, sizeof buff, "%.40s: %p", kind, p);
    lua_pushstring(L, buff);
}

int luaB_tostring(lua_State* L) {
    luaL_checkany(L, 1);
    if (luaL_callmeta(L, 1, "__tostring")) return 1;
    switch (lua_type(L, 1)) {
        case LUA_TNUMBER:
            lua_pushstring(L, lua_tostring(L, 1));
            return 1;
        case LUA_TSTRING:
            lua_pushvalue(L, 1);
            return 1;
        case LUA_TBOOLEAN:
            lua_pushstring(L, lua_toboolean(L, 1) ? "true" : "false");
            return 1;
        case LUA_TWSTRING: {
            // The low byte of each unit.
            size_t len = lua_strlen(L, 1);
            const char16_t* w = lua_towstring(L, 1);
            luaL_Buffer b;
            luaL_buffinit(L, &b);
            for (size_t i = 0; i < len; i++)
                luaL_putchar(&b, static_cast<char>(w[i] & 0xFF));
            luaL_pushresult(&b);
            return 1;
        }
        case LUA_TTABLE:
            pushobjecttext(L, "table", lua_topointer(L, 1));
            return 1;
        case LUA_TFUNCTION:
            pushobjecttext(L, "function", lua_topointer(L, 1));
            return 1;
        case LUA_TUSERDATA:
        case LUA_TLIGHTUSERDATA:
            pushobjecttext(L, "userdata", lua_touserdata(L, 1));
            return 1;
        case LUA_TTHREAD:
            pushobjecttext(L, "thread", lua_tothread(L, 1));
            return 1;
        default:
            lua_pushliteral(L, "nil");
            return 1;
    }
}

int luaB_towstring(lua_State* L) {
    luaL_checkany(L, 1);
    char buff[128];
    switch (lua_type(L, 1)) {
        case LUA_TNIL:
            lua_pushliteral(L, "nil");  // a byte string
            return 1;
        case LUA_TNUMBER:
            lua_pushvalue(L, 1);
            lua_towstring(L, -1);
            return 1;
        case LUA_TSTRING: {
            // Each byte sign-extended: bytes from 0x80 give units from 0xFF80.
            size_t len = lua_strlen(L, 1);
            const char* s = lua_tostring(L, 1);
            luaL_Buffer b;
            luaL_wbuffinit(L, &b);
            for (size_t i = 0; i < len; i++) {
                char16_t u =
                    static_cast<char16_t>(static_cast<int16_t>(static_cast<signed char>(s[i])));
                luaL_addlwstring(&b, &u, 1);
            }
            luaL_pushresult(&b);
            return 1;
        }
        case LUA_TTABLE:
            snprintf(buff, sizeof buff, "%.40s: %p", lua_typename(L, LUA_TTABLE),
                     lua_topointer(L, 1));
            pushwidened(L, buff, strlen(buff));
            return 1;
        case LUA_TFUNCTION:
            snprintf(buff, sizeof buff, "function: %p", lua_topointer(L, 1));
            pushwidened(L, buff, strlen(buff));
            return 1;
        case LUA_TUSERDATA:
            snprintf(buff, sizeof buff, "userdata: %p", lua_touserdata(L, 1));
            pushwidened(L, buff, strlen(buff));
            return 1;
        case LUA_TTHREAD:
            snprintf(buff, sizeof buff, "thread: %p", static_cast<void*>(lua_tothread(L, 1)));
            pushwidened(L, buff, strlen(buff));
            return 1;
        case LUA_TWSTRING:
            lua_pushvalue(L, 1);
            return 1;
        default:  // booleans and light userdata have no wide form
            return luaL_argerror(L, 1, "value expected");
    }
}

// A full userdata with no metatable, or one with a new metatable (true), or with the
// metatable of another proxy.
int luaB_newproxy(lua_State* L) {
    lua_settop(L, 1);
    lua_newuserdata(L, 0);
    if (lua_toboolean(L, 1) == 0) return 1;
    if (lua_isboolean(L, 1)) {
        lua_newtable(L);
        lua_pushvalue(L, -1);
        lua_pushboolean(L, 1);
        lua_rawset(L, lua_upvalueindex(1));  // a metatable of proxies
    } else {
        bool validproxy = false;
        if (lua_getmetatable(L, 1)) {
            lua_rawget(L, lua_upvalueindex(1));
            validproxy = lua_toboolean(L, -1);
            lua_pop(L, 1);
        }
        luaL_argcheck(L, validproxy, 1, "boolean or proxy expected");
        lua_getmetatable(L, 1);
    }
    lua_setmetatable(L, 2);
    return 1;
}

const luaL_reg base_funcs[] = {
    {"error", luaB_error},
    {"getmetatable", luaB_getmetatable},
    {"setmetatable", luaB_setmetatable},
    {"getfenv", luaB_getfenv},
    {"setfenv", luaB_setfenv},
    {"next", luaB_next},
    {"ipairs", luaB_ipairs},
    {"pairs", luaB_pairs},
    {"print", luaB_print},
    {"tonumber", luaB_tonumber},
    {"tostring", luaB_tostring},
    {"towstring", luaB_towstring},
    {"type", luaB_type},
    {"assert", luaB_assert},
    {"unpack", luaB_unpack},
    {"rawequal", luaB_rawequal},
    {"rawget", luaB_rawget},
    {"rawset", luaB_rawset},
    {"pcall", luaB_pcall},
    {"xpcall", luaB_xpcall},
    {"collectgarbage", luaB_collectgarbage},
    {"gcinfo", luaB_gcinfo},
    {"loadfile", luaB_loadfile},
    {"dofile", luaB_dofile},
    {"loadstring", luaB_loadstring},
    {"require", luaB_require},
    {nullptr, nullptr},
};

// Registry names of the per-type metatables, by type number.
const char* const kTypeMetatableNames[] = {
    "_nil",   "_boolean",  "_lightuserdata", "_number", "_string",
    "_table", "_function", "_userdata",      "_thread", "_wstring",
};

}  // namespace

int luaopen_base(lua_State* L) {
    lua_pushliteral(L, "_G");
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    luaL_openlib(L, nullptr, base_funcs, 0);
    lua_pushliteral(L, "_VERSION");
    lua_pushliteral(L, LUA_VERSION);
    lua_rawset(L, -3);
    // newproxy keeps its valid metatables in a weak-keyed table.
    lua_pushliteral(L, "newproxy");
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua_setmetatable(L, -2);
    lua_pushliteral(L, "__mode");
    lua_pushliteral(L, "k");
    lua_rawset(L, -3);
    lua_pushcclosure(L, luaB_newproxy, 1);
    lua_rawset(L, -3);
    lua_rawset(L, -1);  // _G._G = _G
    // The metatable functions keep the name "__metatable" as their upvalue; the keys exist
    // already, so the globals' order stays that of the list above.
    const lua_CFunction protected_funcs[] = {luaB_getmetatable, luaB_setmetatable};
    const char* const protected_names[] = {"getmetatable", "setmetatable"};
    for (int i = 0; i < 2; i++) {
        lua_pushstring(L, protected_names[i]);
        lua_pushliteral(L, "__metatable");
        lua_pushcclosure(L, protected_funcs[i], 1);
        lua_rawset(L, LUA_GLOBALSINDEX);
    }
    luaB_opencoroutine(L);
    lua_pushliteral(L, "_LOADED");
    lua_newtable(L);
    lua_settable(L, LUA_GLOBALSINDEX);
    for (int type = LUA_TBOOLEAN; type <= LUA_TWSTRING; type++) {
        lua_pushstring(L, kTypeMetatableNames[type]);
        lua_pushtypemetatable(L, type);
        lua_rawset(L, LUA_REGISTRYINDEX);
    }
    return 0;
}
