// The native interface, part one: indices, stack manipulation, access and push functions.

#include <cstring>

#include "script/lua/api.h"
#include "script/lua/collector.h"
#include "script/lua/function.h"
#include "script/lua/numconv.h"
#include "script/lua/stringtable.h"
#include "script/lua/table.h"
#include "script/lua/vmops.h"

TValue* luaA_index(lua_State* L, int idx) {
    if (idx > 0) {
        if (idx > L->top - L->base) return nullptr;
        return L->base + (idx - 1);
    }
    if (idx > LUA_REGISTRYINDEX) {
        if (idx == 0 || -idx > L->top - L->base) return nullptr;
        return L->top + idx;
    }
    if (idx == LUA_REGISTRYINDEX) return registry(L);
    if (idx == LUA_GLOBALSINDEX) return gt(L);
    if (idx < LUA_REGISTRYSLOTS) {
        long long k = static_cast<long long>(LUA_REGISTRYSLOTS) - idx;
        if (k > 2147483647) return luaO_nilobject();
        return const_cast<TValue*>(luaH_getnum(hvalue(registry(L)), static_cast<int>(k)));
    }
    if (L->ci == L->base_ci) return nullptr;
    Closure* func = curr_func(L);
    int n = LUA_GLOBALSINDEX - idx;
    if (!func->isC || n > func->nupvalues) return nullptr;
    return &static_cast<CClosure*>(func)->upvalue[n - 1];
}

lua_CFunction lua_atpanic(lua_State* L, lua_CFunction panicf) {
    lua_CFunction old = G(L)->panic;
    G(L)->panic = panicf;
    return old;
}

lua_State* lua_newthread(lua_State* L) {
    luaC_checkGC(L);
    lua_State* L1 = luaE_newthread(L);
    setthvalue(L->top, L1);
    api_incr_top(L);
    return L1;
}

int lua_gettop(lua_State* L) {
    return static_cast<int>(L->top - L->base);
}

void lua_settop(lua_State* L, int idx) {
    if (idx >= 0) {
        int have = static_cast<int>(L->top - L->base);
        if (idx > have) luaD_checkstack(L, idx - have);
        while (L->top < L->base + idx)
            setnilvalue(L->top++);
        L->top = L->base + idx;
    } else {
        int have = static_cast<int>(L->top - L->base);
        int drop = -(idx + 1);
        L->top -= (drop > have) ? have : drop;
    }
}

void lua_remove(lua_State* L, int idx) {
    StkId p = luaA_index(L, idx);
    if (p == nullptr || p < L->base || p >= L->top) return;
    while (++p < L->top)
        setobj(p - 1, p);
    L->top--;
}

void lua_insert(lua_State* L, int idx) {
    StkId p = luaA_index(L, idx);
    if (p == nullptr || p < L->base || p >= L->top) return;
    for (StkId q = L->top; q > p; q--)
        setobj(q, q - 1);
    setobj(p, L->top);
}

void lua_replace(lua_State* L, int idx) {
    if (L->top == L->base) return;
    TValue* o;
    if (idx < LUA_REGISTRYSLOTS) {
        long long k = static_cast<long long>(LUA_REGISTRYSLOTS) - idx;
        o = (k > 2147483647) ? nullptr : luaH_setnum(L, hvalue(registry(L)), static_cast<int>(k));
    } else {
        o = luaA_index(L, idx);
    }
    if (o != nullptr) setobj(o, L->top - 1);
    L->top--;
}

void lua_pushvalue(lua_State* L, int idx) {
    const TValue* o = luaA_index(L, idx);
    setobj(L->top, o != nullptr ? o : luaO_nilobject());
    api_incr_top(L);
}

int lua_checkstack(lua_State* L, int size) {
    if (size < 0) return 1;
    if ((L->top - L->base) + size > LUA_MAXCSTACK) return 0;
    luaD_checkstack(L, size);
    if (L->ci->top < L->top + size) L->ci->top = L->top + size;
    return 1;
}

void lua_xmove(lua_State* from, lua_State* to, int n) {
    if (from == to || n <= 0) return;
    if (n > from->top - from->base) n = static_cast<int>(from->top - from->base);
    // Room for all of them at once: what a push of each would have grown, with one check.
    luaD_checkstack(to, n);
    from->top -= n;
    for (int i = 0; i < n; i++)
        setobj(to->top + i, from->top + i);
    to->top += n;
}

int lua_type(lua_State* L, int idx) {
    const TValue* o = luaA_index(L, idx);
    return o == nullptr ? LUA_TNONE : ttype(o);
}

const char* lua_typename(lua_State*, int t) {
    return luaO_typename(t);
}

int lua_iscfunction(lua_State* L, int idx) {
    const TValue* o = luaA_index(L, idx);
    return o != nullptr && ttisfunction(o) && clvalue(o)->isC;
}

int lua_isnumber(lua_State* L, int idx) {
    TValue n;
    const TValue* o = luaA_index(L, idx);
    return o != nullptr && luaV_tonumber(o, &n) != nullptr;
}

int lua_isstring(lua_State* L, int idx) {
    int t = lua_type(L, idx);
    return t == LUA_TSTRING || t == LUA_TNUMBER || t == LUA_TWSTRING;
}

int lua_isuserdata(lua_State* L, int idx) {
    const TValue* o = luaA_index(L, idx);
    return o != nullptr && (ttisuserdata(o) || ttislightuserdata(o));
}

int lua_rawequal(lua_State* L, int index1, int index2) {
    const TValue* o1 = luaA_index(L, index1);
    const TValue* o2 = luaA_index(L, index2);
    return o1 != nullptr && o2 != nullptr && luaO_rawequalObj(o1, o2);
}

int lua_equal(lua_State* L, int index1, int index2) {
    const TValue* o1 = luaA_index(L, index1);
    const TValue* o2 = luaA_index(L, index2);
    return o1 != nullptr && o2 != nullptr && luaV_equalobj(L, o1, o2);
}

int lua_lessthan(lua_State* L, int index1, int index2) {
    const TValue* o1 = luaA_index(L, index1);
    const TValue* o2 = luaA_index(L, index2);
    return o1 != nullptr && o2 != nullptr && luaV_lessthan(L, o1, o2);
}

lua_Number lua_tonumber(lua_State* L, int idx) {
    TValue n;
    const TValue* o = luaA_index(L, idx);
    if (o != nullptr && (o = luaV_tonumber(o, &n)) != nullptr) return nvalue(o);
    return 0;
}

int lua_toboolean(lua_State* L, int idx) {
    const TValue* o = luaA_index(L, idx);
    return o != nullptr && !l_isfalse(o);
}

const char* lua_tostring(lua_State* L, int idx) {
    StkId o = luaA_index(L, idx);
    if (o == nullptr) return nullptr;
    if (ttisstring(o)) return svalue(o);
    if (!luaV_tostring(L, o)) return nullptr;
    // The slot keeps the new string alive even if the collection moves the stack.
    const char* s = svalue(o);
    luaC_checkGC(L);
    return s;
}

const char16_t* lua_towstring(lua_State* L, int idx) {
    StkId o = luaA_index(L, idx);
    if (o == nullptr) return nullptr;
    if (ttiswstring(o)) return getwstr(tsvalue(o));
    if (!luaV_towstring(L, o)) return nullptr;
    const char16_t* s = getwstr(tsvalue(o));
    luaC_checkGC(L);
    return s;
}

size_t lua_strlen(lua_State* L, int idx) {
    StkId o = luaA_index(L, idx);
    if (o == nullptr) return 0;
    if (ttisstring(o) || ttiswstring(o)) return tsvalue(o)->len;
    if (!luaV_tostring(L, o)) return 0;
    size_t len = tsvalue(o)->len;
    luaC_checkGC(L);
    return len;
}

lua_CFunction lua_tocfunction(lua_State* L, int idx) {
    const TValue* o = luaA_index(L, idx);
    if (o == nullptr || !ttisfunction(o) || !clvalue(o)->isC) return nullptr;
    return static_cast<CClosure*>(clvalue(o))->f;
}

void* lua_touserdata(lua_State* L, int idx) {
    const TValue* o = luaA_index(L, idx);
    if (o == nullptr) return nullptr;
    if (ttislightuserdata(o)) return pvalue(o);
    if (!ttisuserdata(o)) return nullptr;
    Udata* u = uvalue(o);
    if (ispointerudata(u)) {
        void* p;
        memcpy(&p, udatablock(u), sizeof p);
        return p;
    }
    return udatablock(u);
}

lua_State* lua_tothread(lua_State* L, int idx) {
    const TValue* o = luaA_index(L, idx);
    return (o != nullptr && ttisthread(o)) ? thvalue(o) : nullptr;
}

const void* lua_topointer(lua_State* L, int idx) {
    const TValue* o = luaA_index(L, idx);
    if (o == nullptr) return nullptr;
    switch (ttype(o)) {
        case LUA_TTABLE:
        case LUA_TFUNCTION:
        case LUA_TTHREAD:
            return gcvalue(o);
        case LUA_TUSERDATA:
        case LUA_TLIGHTUSERDATA:
            return lua_touserdata(L, idx);
        default:
            return nullptr;
    }
}

void lua_pushnil(lua_State* L) {
    setnilvalue(L->top);
    api_incr_top(L);
}

void lua_pushnumber(lua_State* L, lua_Number n) {
    setnvalue(L->top, n);
    api_incr_top(L);
}

void lua_pushlstring(lua_State* L, const char* s, size_t len) {
    luaC_checkGC(L);
    setsvalue(L->top, luaS_newlstr(L, s != nullptr ? s : "", s != nullptr ? len : 0));
    api_incr_top(L);
}

void lua_pushstring(lua_State* L, const char* s) {
    if (s == nullptr) {
        lua_pushnil(L);
    } else {
        lua_pushlstring(L, s, strlen(s));
    }
}

void lua_pushlwstring(lua_State* L, const char16_t* s, size_t len) {
    luaC_checkGC(L);
    static const char16_t empty[1] = {0};
    setsvalue(L->top, luaS_newlwstr(L, s != nullptr ? s : empty, s != nullptr ? len : 0));
    api_incr_top(L);
}

void lua_pushwstring(lua_State* L, const char16_t* s) {
    if (s == nullptr) {
        lua_pushnil(L);
    } else {
        lua_pushlwstring(L, s, luaO_wstrlen(s));
    }
}

const char* lua_pushvfstring(lua_State* L, const char* fmt, va_list argp) {
    luaC_checkGC(L);
    return luaO_pushvfstring(L, fmt, argp);
}

const char* lua_pushfstring(lua_State* L, const char* fmt, ...) {
    va_list argp;
    va_start(argp, fmt);
    const char* ret = lua_pushvfstring(L, fmt, argp);
    va_end(argp);
    return ret;
}

void lua_pushcclosure(lua_State* L, lua_CFunction fn, int n) {
    int have = static_cast<int>(L->top - L->base);
    if (n < 0) n = 0;
    if (n > have) n = have;
    if (n > 255) n = 255;
    luaC_checkGC(L);
    CClosure* cl = static_cast<CClosure*>(luaF_newCclosure(L, n));
    cl->f = fn;
    L->top -= n;
    while (n--)
        setobj(&cl->upvalue[n], L->top + n);
    setclvalue(L->top, cl);
    api_incr_top(L);
}

void lua_pushboolean(lua_State* L, int b) {
    setbvalue(L->top, b != 0);
    api_incr_top(L);
}

void lua_pushlightuserdata(lua_State* L, void* p) {
    setpvalue(L->top, p);
    api_incr_top(L);
}

void lua_pushpointer(lua_State* L, void* p) {
    luaC_checkGC(L);
    setuvalue(L->top, luaS_newpointer(L, p));
    api_incr_top(L);
}
