#include "script/lua/lib/auxlib.h"

#include <cstdio>
#include <cstring>

#include "script/lua/numconv.h"

namespace {

// Registry slots of the reference free list and of the table of sizes set by luaL_setn.
constexpr int FREELIST_REF = 1;
constexpr int ARRAYSIZE_REF = 2;
constexpr int RESERVED_REFS = 2;

// Pieces kept on the stack unmerged, at most.
constexpr int LIMIT = LUA_MINSTACK / 2;

int abs_index(lua_State* L, int i) {
    return (i > 0 || i <= LUA_REGISTRYINDEX) ? i : lua_gettop(L) + i + 1;
}

[[noreturn]] void tag_error(lua_State* L, int narg, int tag) {
    luaL_typerror(L, narg, lua_typename(L, tag));
    __builtin_unreachable();
}

// A number on top read as a size, popping topop values; -1 when it is not a number.
int checkint(lua_State* L, int topop) {
    int n = luaO_clampint(lua_tonumber(L, -1));
    if (n == 0 && !lua_isnumber(L, -1)) n = -1;
    lua_pop(L, topop);
    return n;
}

// Pushes the weak-keyed table of sizes, making it on first use.
void getsizes(lua_State* L) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, ARRAYSIZE_REF);
    if (!lua_isnil(L, -1)) return;
    lua_pop(L, 1);
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua_setmetatable(L, -2);  // its own metatable
    lua_pushliteral(L, "__mode");
    lua_pushliteral(L, "k");
    lua_rawset(L, -3);
    lua_pushvalue(L, -1);
    lua_rawseti(L, LUA_REGISTRYINDEX, ARRAYSIZE_REF);
}

size_t unitsize(const luaL_Buffer* B) {
    return B->wide ? 2 : 1;
}
size_t bufflen(const luaL_Buffer* B) {
    return static_cast<size_t>(B->p - B->buffer);
}
size_t bufffree(const luaL_Buffer* B) {
    return LUAL_BUFFERSIZE - bufflen(B);
}

// Moves the area's text onto the stack as a new piece.
bool emptybuffer(luaL_Buffer* B) {
    size_t l = bufflen(B);
    if (l == 0) return false;
    if (B->wide) {
        char16_t units[LUAL_BUFFERSIZE / 2];
        memcpy(units, B->buffer, l & ~static_cast<size_t>(1));
        lua_pushlwstring(B->L, units, l / 2);
    } else {
        lua_pushlstring(B->L, B->buffer, l);
    }
    B->p = B->buffer;
    B->lvl++;
    return true;
}

// Joins the newest pieces while they outgrow the ones below, or while there are too many.
void adjuststack(luaL_Buffer* B) {
    if (B->lvl <= 1) return;
    lua_State* L = B->L;
    int toget = 1;
    size_t toplen = lua_strlen(L, -1);
    do {
        size_t l = lua_strlen(L, -(toget + 1));
        if (B->lvl - toget + 1 >= LIMIT || toplen > l) {
            toplen += l;
            toget++;
        } else {
            break;
        }
    } while (toget < B->lvl);
    lua_concat(L, toget);
    B->lvl = B->lvl - toget + 1;
}

void callalert(lua_State* L, int status) {
    if (status == 0) return;
    lua_pushliteral(L, "_ALERT");
    lua_gettable(L, LUA_GLOBALSINDEX);
    if (lua_isfunction(L, -1)) {
        lua_insert(L, -2);
        lua_call(L, 1, 0);
        return;
    }
    const char* msg = lua_tostring(L, -2);
    fprintf(stderr, "%s\n", msg != nullptr ? msg : "(null)");
    lua_pop(L, 2);
}

struct LoadS {
    const char* s;
    size_t size;
};

const char* getS(lua_State*, void* ud, size_t* size) {
    LoadS* ls = static_cast<LoadS*>(ud);
    if (ls->size == 0) return nullptr;
    *size = ls->size;
    ls->size = 0;
    return ls->s;
}

}  // namespace

void luaL_openlib(lua_State* L, const char* libname, const luaL_reg* l, int nup) {
    if (libname != nullptr) {
        lua_pushstring(L, libname);
        lua_gettable(L, LUA_GLOBALSINDEX);
        if (lua_isnil(L, -1)) {
            lua_pop(L, 1);
            lua_newtable(L);
            lua_pushstring(L, libname);
            lua_pushvalue(L, -2);
            lua_settable(L, LUA_GLOBALSINDEX);
        }
        lua_insert(L, -(nup + 1));
    }
    for (; l->name != nullptr; l++) {
        lua_pushstring(L, l->name);
        for (int i = 0; i < nup; i++)
            lua_pushvalue(L, -(nup + 1));
        lua_pushcclosure(L, l->func, nup);
        lua_settable(L, -(nup + 3));
    }
    lua_pop(L, nup);
}

int luaL_getmetafield(lua_State* L, int obj, const char* event) {
    if (!lua_getmetatable(L, obj)) return 0;
    lua_pushstring(L, event);
    lua_rawget(L, -2);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 2);
        return 0;
    }
    lua_remove(L, -2);
    return 1;
}

int luaL_callmeta(lua_State* L, int obj, const char* event) {
    obj = abs_index(L, obj);
    if (!luaL_getmetafield(L, obj, event)) return 0;
    lua_pushvalue(L, obj);
    lua_call(L, 1, 1);
    return 1;
}

int luaL_typerror(lua_State* L, int narg, const char* tname) {
    const char* msg =
        lua_pushfstring(L, "%s expected, got %s", tname, lua_typename(L, lua_type(L, narg)));
    return luaL_argerror(L, narg, msg);
}

int luaL_argerror(lua_State* L, int narg, const char* extramsg) {
    lua_Debug ar;
    ar.name = nullptr;
    ar.namewhat = "";
    if (lua_getstack(L, 0, &ar)) lua_getinfo(L, "n", &ar);
    if (strcmp(ar.namewhat, "method") == 0) {
        narg--;  // self is not counted
        if (narg == 0) {
            return luaL_error(L, "calling `%s' on bad self (%s)", ar.name, extramsg);
        }
    }
    if (ar.name == nullptr) ar.name = "?";
    return luaL_error(L, "bad argument #%d to `%s' (%s)", narg, ar.name, extramsg);
}

const char* luaL_checklstring(lua_State* L, int narg, size_t* len) {
    const char* s = lua_tostring(L, narg);
    if (s == nullptr) tag_error(L, narg, LUA_TSTRING);
    if (len != nullptr) *len = lua_strlen(L, narg);
    return s;
}

const char* luaL_optlstring(lua_State* L, int narg, const char* def, size_t* len) {
    if (lua_isnoneornil(L, narg)) {
        if (len != nullptr) *len = def != nullptr ? strlen(def) : 0;
        return def;
    }
    return luaL_checklstring(L, narg, len);
}

lua_Number luaL_checknumber(lua_State* L, int narg) {
    lua_Number d = lua_tonumber(L, narg);
    if (d == 0 && !lua_isnumber(L, narg)) tag_error(L, narg, LUA_TNUMBER);
    return d;
}

lua_Number luaL_optnumber(lua_State* L, int narg, lua_Number def) {
    if (lua_isnoneornil(L, narg)) return def;
    return luaL_checknumber(L, narg);
}

int luaL_checkint(lua_State* L, int n) {
    return luaO_clampint(luaL_checknumber(L, n));
}

int luaL_optint(lua_State* L, int n, int d) {
    return luaO_clampint(luaL_optnumber(L, n, d));
}

const char16_t* luaL_checkwstring(lua_State* L, int narg, size_t* len) {
    const char16_t* s = lua_towstring(L, narg);
    if (s == nullptr) tag_error(L, narg, LUA_TWSTRING);
    if (len != nullptr) *len = lua_strlen(L, narg);
    return s;
}

void luaL_checkstack(lua_State* L, int space, const char* mes) {
    if (!lua_checkstack(L, space)) luaL_error(L, "stack overflow (%s)", mes);
}

void luaL_checktype(lua_State* L, int narg, int t) {
    if (lua_type(L, narg) != t) tag_error(L, narg, t);
}

void luaL_checkany(lua_State* L, int narg) {
    if (lua_type(L, narg) == LUA_TNONE) luaL_argerror(L, narg, "value expected");
}

int luaL_newmetatable(lua_State* L, const char* tname) {
    lua_pushstring(L, tname);
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (!lua_isnil(L, -1)) return 0;  // the name is taken: its table stays on top
    lua_pop(L, 1);
    lua_newtable(L);
    lua_pushstring(L, tname);
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
    lua_pushvalue(L, -1);
    lua_pushstring(L, tname);
    lua_rawset(L, LUA_REGISTRYINDEX);
    return 1;
}

void luaL_getmetatable(lua_State* L, const char* tname) {
    lua_pushstring(L, tname);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

void* luaL_checkudata(lua_State* L, int ud, const char* tname) {
    if (!lua_getmetatable(L, ud)) return nullptr;
    lua_rawget(L, LUA_REGISTRYINDEX);
    const char* tn = lua_tostring(L, -1);
    bool match = tn != nullptr && strcmp(tn, tname) == 0;
    lua_pop(L, 1);
    return match ? lua_touserdata(L, ud) : nullptr;
}

void luaL_where(lua_State* L, int level) {
    lua_Debug ar;
    if (lua_getstack(L, level, &ar)) {
        lua_getinfo(L, "Sl", &ar);
        if (ar.currentline > 0) {
            lua_pushfstring(L, "%s:%d: ", ar.short_src, ar.currentline);
            return;
        }
    }
    lua_pushliteral(L, "");
}

int luaL_error(lua_State* L, const char* fmt, ...) {
    va_list argp;
    va_start(argp, fmt);
    luaL_where(L, 1);
    lua_pushvfstring(L, fmt, argp);
    va_end(argp);
    lua_concat(L, 2);
    return lua_error(L);
}

int luaL_findstring(const char* name, const char* const list[]) {
    for (int i = 0; list[i] != nullptr; i++) {
        if (strcmp(list[i], name) == 0) return i;
    }
    return -1;
}

int luaL_ref(lua_State* L, int t) {
    t = abs_index(L, t);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        return LUA_REFNIL;  // nil has one fixed reference
    }
    lua_rawgeti(L, t, FREELIST_REF);
    int ref = luaO_clampint(lua_tonumber(L, -1));
    lua_pop(L, 1);
    if (ref != 0) {
        lua_rawgeti(L, t, ref);  // the free list moves on
        lua_rawseti(L, t, FREELIST_REF);
    } else {
        ref = luaL_getn(L, t);
        if (ref < RESERVED_REFS) ref = RESERVED_REFS;
        ref++;
        luaL_setn(L, t, ref);
    }
    lua_rawseti(L, t, ref);
    return ref;
}

void luaL_unref(lua_State* L, int t, int ref) {
    if (ref < 0) return;
    t = abs_index(L, t);
    lua_rawgeti(L, t, FREELIST_REF);
    lua_rawseti(L, t, ref);  // t[ref] = the old first free
    lua_pushnumber(L, static_cast<lua_Number>(ref));
    lua_rawseti(L, t, FREELIST_REF);
}

void luaL_setn(lua_State* L, int t, int n) {
    t = abs_index(L, t);
    lua_pushliteral(L, "n");
    lua_rawget(L, t);
    if (checkint(L, 1) >= 0) {  // a numeric field "n" is kept up to date
        lua_pushliteral(L, "n");
        lua_pushnumber(L, static_cast<lua_Number>(n));
        lua_rawset(L, t);
    } else {
        getsizes(L);
        lua_pushvalue(L, t);
        lua_pushnumber(L, static_cast<lua_Number>(n));
        lua_rawset(L, -3);
        lua_pop(L, 1);
    }
}

int luaL_getn(lua_State* L, int t) {
    t = abs_index(L, t);
    lua_pushliteral(L, "n");
    lua_rawget(L, t);
    int n = checkint(L, 1);
    if (n >= 0) return n;
    getsizes(L);
    lua_pushvalue(L, t);
    lua_rawget(L, -2);
    n = checkint(L, 2);
    if (n >= 0) return n;
    for (n = 1;; n++) {
        lua_rawgeti(L, t, n);
        if (lua_isnil(L, -1)) break;
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    return n - 1;
}

void luaL_buffinit(lua_State* L, luaL_Buffer* B) {
    B->L = L;
    B->p = B->buffer;
    B->lvl = 0;
    B->wide = 0;
}

void luaL_wbuffinit(lua_State* L, luaL_Buffer* B) {
    luaL_buffinit(L, B);
    B->wide = 1;
}

char* luaL_prepbuffer(luaL_Buffer* B) {
    if (emptybuffer(B)) adjuststack(B);
    return B->buffer;
}

void luaL_addlstring(luaL_Buffer* B, const char* s, size_t l) {
    while (l > 0) {
        if (bufffree(B) == 0) luaL_prepbuffer(B);
        size_t m = bufffree(B) < l ? bufffree(B) : l;
        memcpy(B->p, s, m);
        B->p += m;
        s += m;
        l -= m;
    }
}

void luaL_addstring(luaL_Buffer* B, const char* s) {
    luaL_addlstring(B, s, strlen(s));
}

void luaL_addlwstring(luaL_Buffer* B, const char16_t* s, size_t l) {
    for (size_t i = 0; i < l; i++) {
        if (bufffree(B) < 2) luaL_prepbuffer(B);
        memcpy(B->p, &s[i], 2);
        B->p += 2;
    }
}

void luaL_pushresult(luaL_Buffer* B) {
    emptybuffer(B);
    if (B->lvl == 0 && B->wide) {
        lua_pushlwstring(B->L, u"", 0);
    } else {
        lua_concat(B->L, B->lvl);
    }
    B->lvl = 1;
}

void luaL_addvalue(luaL_Buffer* B) {
    lua_State* L = B->L;
    // The conversion comes first: a number becomes the buffer's kind of string in place
    // before it is measured.
    const void* text = B->wide ? static_cast<const void*>(lua_towstring(L, -1))
                               : static_cast<const void*>(lua_tostring(L, -1));
    size_t vl = lua_strlen(L, -1) * unitsize(B);
    if (text != nullptr && vl <= bufffree(B)) {
        memcpy(B->p, text, vl);
        B->p += vl;
        lua_pop(L, 1);
        return;
    }
    if (emptybuffer(B)) lua_insert(L, -2);  // the buffer's piece goes below the value
    B->lvl++;
    adjuststack(B);
}

int luaL_loadbuffer(lua_State* L, const char* buff, size_t size, const char* name) {
    LoadS ls = {buff, size};
    return lua_load(L, getS, &ls, name);
}

int lua_dobuffer(lua_State* L, const char* buff, size_t size, const char* name) {
    int status = luaL_loadbuffer(L, buff, size, name);
    if (status == 0) status = lua_pcall(L, 0, LUA_MULTRET, 0);
    callalert(L, status);
    return status;
}

int lua_dostring(lua_State* L, const char* str) {
    return lua_dobuffer(L, str, strlen(str), str);
}
