#include "script/lua/debuginfo.h"

#include <cstdarg>

#include "script/lua/api.h"
#include "script/lua/calls.h"
#include "script/lua/function.h"
#include "script/lua/vmops.h"

namespace {

int currentpc(CallInfo* ci) {
    if (!isLua(ci) || ci->savedpc == nullptr) return -1;
    return static_cast<int>(ci->savedpc - luaG_getproto(ci)->code) - 1;
}

// Prefixes "chunk:line: " to the message on top when a Lua function is running.
void addinfo(lua_State* L, const char* msg) {
    CallInfo* ci = L->ci;
    if (!isLua(ci)) return;
    char buff[LUA_IDSIZE];
    Proto* p = luaG_getproto(ci);
    luaO_chunkid(buff, p->source != nullptr ? getstr(p->source) : "?", LUA_IDSIZE);
    luaO_pushfstring(L, "%s:%d: %s", buff, luaG_currentline(ci), msg);
}

bool isinstack(CallInfo* ci, const TValue* o) {
    for (StkId p = ci->base; p < ci->top; p++) {
        if (o == p) return true;
    }
    return false;
}

void funcinfo(lua_Debug* ar, StkId func) {
    Closure* cl = clvalue(func);
    if (cl->isC) {
        ar->source = "=[C]";
        ar->linedefined = -1;
        ar->what = "C";
    } else {
        Proto* p = static_cast<LClosure*>(cl)->p;
        ar->source = p->source != nullptr ? getstr(p->source) : "=?";
        ar->linedefined = p->lineDefined;
        ar->what = (ar->linedefined == 0) ? "main" : "Lua";
    }
    luaO_chunkid(ar->short_src, ar->source, LUA_IDSIZE);
}

void info_tailcall(lua_Debug* ar) {
    ar->name = nullptr;
    ar->namewhat = "";
    ar->what = "tail";
    ar->linedefined = ar->currentline = -1;
    ar->source = "=(tail call)";
    luaO_chunkid(ar->short_src, ar->source, LUA_IDSIZE);
    ar->nups = 0;
}

const char* findlocal(lua_State* L, CallInfo* ci, int n) {
    if (!isLua(ci)) return nullptr;
    const char* name = luaF_getlocalname(luaG_getproto(ci), n, currentpc(ci));
    (void)L;
    return name;
}

const char* aux_upvalue(lua_State* L, int funcindex, int n, TValue** val) {
    TValue* fi = luaA_index(L, funcindex);
    if (fi == nullptr || !ttisfunction(fi) || n < 1) return nullptr;
    Closure* f = clvalue(fi);
    if (f->isC) {
        CClosure* c = static_cast<CClosure*>(f);
        if (n > c->nupvalues) return nullptr;
        *val = &c->upvalue[n - 1];
        return "";
    }
    LClosure* l = static_cast<LClosure*>(f);
    Proto* p = l->p;
    if (n > p->sizeupvalues || n > l->nupvalues) return nullptr;
    *val = l->upvals[n - 1]->v;
    return getstr(p->upvalues[n - 1]);
}

}  // namespace

Proto* luaG_getproto(CallInfo* ci) {
    return static_cast<LClosure*>(ci_func(ci))->p;
}

int luaG_currentline(CallInfo* ci) {
    int pc = currentpc(ci);
    if (pc < 0) return -1;
    Proto* p = luaG_getproto(ci);
    return (pc < p->sizelineinfo) ? p->lineinfo[pc] : 0;
}

void luaG_errormsg(lua_State* L) {
    if (L->errfunc != 0) {
        StkId errfunc = restorestack(L, L->errfunc);
        if (!ttisfunction(errfunc)) luaD_throw(L, LUA_ERRERR);
        setobj(L->top, L->top - 1);
        setobj(L->top - 1, errfunc);
        incr_top(L);
        luaD_call(L, L->top - 2, 1);
    }
    luaD_throw(L, LUA_ERRRUN);
}

void luaG_runerror(lua_State* L, const char* fmt, ...) {
    va_list argp;
    va_start(argp, fmt);
    const char* msg = luaO_pushvfstring(L, fmt, argp);
    va_end(argp);
    addinfo(L, msg);
    luaG_errormsg(L);
}

void luaG_typeerror(lua_State* L, const TValue* o, const char* op) {
    const char* name = nullptr;
    const char* t = luaO_typename(ttype(o));
    const char* kind = nullptr;
    if (isLua(L->ci) && isinstack(L->ci, o)) {
        kind = luaG_getobjname(L->ci, static_cast<int>(o - L->base), &name);
    }
    if (kind != nullptr) {
        luaG_runerror(L, "attempt to %s %s `%s' (a %s value)", op, kind, name, t);
    }
    luaG_runerror(L, "attempt to %s a %s value", op, t);
}

void luaG_concaterror(lua_State* L, StkId p1, StkId p2) {
    if (ttisstring(p1)) p1 = p2;
    luaG_typeerror(L, p1, "concatenate");
}

void luaG_aritherror(lua_State* L, const TValue* p1, const TValue* p2) {
    TValue temp;
    if (luaV_tonumber(p1, &temp) == nullptr) p2 = p1;  // the first operand is the wrong one
    luaG_typeerror(L, p2, "perform arithmetic on");
}

void luaG_ordererror(lua_State* L, const TValue* p1, const TValue* p2) {
    const char* t1 = luaO_typename(ttype(p1));
    const char* t2 = luaO_typename(ttype(p2));
    if (t1[2] == t2[2]) luaG_runerror(L, "attempt to compare two %s values", t1);
    luaG_runerror(L, "attempt to compare %s with %s", t1, t2);
}

int lua_getstack(lua_State* L, int level, lua_Debug* ar) {
    CallInfo* ci;
    for (ci = L->ci; level > 0 && ci > L->base_ci; ci--) {
        level--;
        if (isLua(ci)) level -= ci->tailcalls;  // lost tail calls count as levels
    }
    if (level > 0 || ci == L->base_ci) return 0;
    ar->i_ci = (level < 0) ? 0 : static_cast<int>(ci - L->base_ci);
    return 1;
}

int lua_getinfo(lua_State* L, const char* what, lua_Debug* ar) {
    StkId f = nullptr;
    CallInfo* ci = nullptr;
    bool fromStack = (*what == '>');
    if (fromStack) {
        f = L->top - 1;
        if (!ttisfunction(f)) luaG_runerror(L, "value for `lua_getinfo' is not a function");
        what++;
    } else if (ar->i_ci != 0) {
        ci = L->base_ci + ar->i_ci;
        f = ci->func;
    }
    if (f == nullptr) info_tailcall(ar);
    int status = 1;
    TValue pushed;
    setnilvalue(&pushed);
    bool push = false;
    for (; *what; what++) {
        switch (*what) {
            case 'S':
                if (f != nullptr) funcinfo(ar, f);
                break;
            case 'l':
                ar->currentline = (ci != nullptr) ? luaG_currentline(ci) : -1;
                break;
            case 'u':
                ar->nups = (f != nullptr) ? clvalue(f)->nupvalues : 0;
                break;
            case 'n':
                ar->namewhat = (ci != nullptr) ? luaG_getfuncname(ci, &ar->name) : nullptr;
                if (ar->namewhat == nullptr) {
                    ar->namewhat = "";
                    ar->name = nullptr;
                }
                break;
            case 'f':
                if (f != nullptr) {
                    pushed = *f;
                } else {
                    setnilvalue(&pushed);
                }
                push = true;
                break;
            default:
                status = 0;
                break;
        }
    }
    if (fromStack) L->top--;
    if (push) {
        setobj(L->top, &pushed);
        incr_top(L);
    }
    return status;
}

const char* lua_getlocal(lua_State* L, const lua_Debug* ar, int n) {
    CallInfo* ci = L->base_ci + ar->i_ci;
    const char* name = findlocal(L, ci, n);
    if (name != nullptr) {
        setobj(L->top, ci->base + (n - 1));
        incr_top(L);
    }
    return name;
}

const char* lua_setlocal(lua_State* L, const lua_Debug* ar, int n) {
    CallInfo* ci = L->base_ci + ar->i_ci;
    const char* name = findlocal(L, ci, n);
    L->top--;
    if (name != nullptr) setobj(ci->base + (n - 1), L->top);
    return name;
}

const char* lua_getupvalue(lua_State* L, int funcindex, int n) {
    TValue* val = nullptr;
    const char* name = aux_upvalue(L, funcindex, n, &val);
    if (name != nullptr) {
        setobj(L->top, val);
        incr_top(L);
    }
    return name;
}

const char* lua_setupvalue(lua_State* L, int funcindex, int n) {
    TValue* val = nullptr;
    const char* name = aux_upvalue(L, funcindex, n, &val);
    if (name != nullptr) {
        L->top--;
        setobj(val, L->top);
    }
    return name;
}

int lua_sethook(lua_State* L, lua_Hook func, int mask, int count) {
    if (func == nullptr || mask == 0) {
        mask = 0;
        func = nullptr;
    }
    L->hook = func;
    L->basehookcount = count;
    L->hookcount = count;
    L->hookmask = static_cast<lu_byte>(mask);
    L->hookinit = 0;
    return 1;
}

lua_Hook lua_gethook(lua_State* L) {
    return L->hook;
}
int lua_gethookmask(lua_State* L) {
    return L->hookmask;
}
int lua_gethookcount(lua_State* L) {
    return L->basehookcount;
}
