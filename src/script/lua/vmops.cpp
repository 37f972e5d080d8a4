#include "script/lua/vmops.h"

#include <cstring>

#include "script/lua/calls.h"
#include "script/lua/debuginfo.h"
#include "script/lua/memory.h"
#include "script/lua/numconv.h"
#include "script/lua/stringtable.h"
#include "script/lua/table.h"

namespace {

void callTM(lua_State* L, const TValue* f, const TValue* p1, const TValue* p2, const TValue* p3) {
    TValue fn = *f, a = *p1, b = *p2, c = *p3;
    luaD_checkstack(L, 4);
    setobj(L->top, &fn);
    setobj(L->top + 1, &a);
    setobj(L->top + 2, &b);
    setobj(L->top + 3, &c);
    L->top += 4;
    luaD_call(L, L->top - 4, 0);
}

// The "__lt"/"__le" handler shared by both operands, called; -1 when there is none.
int call_orderTM(lua_State* L, const TValue* p1, const TValue* p2, TMS event) {
    const TValue* tm1 = luaT_gettmbyobj(L, p1, event);
    if (ttisnil(tm1)) return -1;
    const TValue* tm2 = luaT_gettmbyobj(L, p2, event);
    if (!luaO_rawequalObj(tm1, tm2)) return -1;
    TValue result;
    luaV_callTMres(L, tm1, p1, p2, &result);
    return !l_isfalse(&result);
}

// The "__eq" handler of two metatables when both agree on it.
const TValue* get_compTM(lua_State* L, Table* mt1, Table* mt2, TMS event) {
    const TValue* tm1 = luaT_fasttm(L, mt1, event);
    if (tm1 == nullptr) return nullptr;
    if (mt1 == mt2) return tm1;
    const TValue* tm2 = luaT_fasttm(L, mt2, event);
    if (tm2 == nullptr) return nullptr;
    return luaO_rawequalObj(tm1, tm2) ? tm1 : nullptr;
}

// strcoll over the whole length, zeros included.
int l_strcmp(const TString* ls, const TString* rs) {
    const char* l = getstr(ls);
    size_t ll = ls->len;
    const char* r = getstr(rs);
    size_t lr = rs->len;
    for (;;) {
        int temp = strcoll(l, r);
        if (temp != 0) return temp;
        size_t len = strlen(l);  // both are equal up to a zero here
        if (len == lr) return (len == ll) ? 0 : 1;
        if (len == ll) return -1;
        len++;
        l += len;
        ll -= len;
        r += len;
        lr -= len;
    }
}

bool tostr(lua_State* L, StkId o) {
    return ttisstring(o) || luaV_tostring(L, o);
}
bool towstr(lua_State* L, StkId o) {
    return ttiswstring(o) || luaV_towstring(L, o);
}

// Room for n bytes in the shared buffer. It grows at least twofold, so that a string built
// by repeated concatenation does not move the buffer every time; its old contents are not
// kept.
char* openspace(lua_State* L, size_t n) {
    Mbuffer* b = &G(L)->buff;
    if (n > b->size) {
        size_t newsize = (b->size < kMaxBlockSize / 2) ? b->size * 2 : n;
        if (newsize < n) newsize = n;
        if (newsize < LUA_MINBUFFER) newsize = LUA_MINBUFFER;
        luaM_free(L, b->buffer, b->size);
        b->buffer = nullptr;
        b->size = 0;
        b->buffer = static_cast<char*>(luaM_realloc(L, nullptr, 0, newsize));
        b->size = newsize;
    }
    return b->buffer;
}

// One pass over the top values of a concatenation: answers how many it joined into the first.
int concatpass(lua_State* L, StkId top, int total, bool wide) {
    int n = 2;
    bool usable = wide ? (towstr(L, top - 2) && towstr(L, top - 1))
                       : (tostr(L, top - 2) && tostr(L, top - 1));
    if (!usable) {
        if (!luaV_callbinTM(L, top - 2, top - 1, top - 2, TM_CONCAT)) {
            luaG_concaterror(L, top - 2, top - 1);
        }
        return n;
    }
    // An empty last value leaves the one below it (already converted) as the result.
    if (tsvalue(top - 1)->len == 0) return n;
    lu_mem tl = static_cast<lu_mem>(tsvalue(top - 1)->len) + tsvalue(top - 2)->len;
    while (n < total && (wide ? towstr(L, top - n - 1) : tostr(L, top - n - 1))) {
        tl += tsvalue(top - n - 1)->len;
        n++;
    }
    if (tl > kMaxBlockSize) luaG_runerror(L, "string size overflow");
    size_t unit = wide ? 2 : 1;
    char* buffer = openspace(L, luaM_checkedsize(L, tl, unit));
    size_t used = 0;
    for (int i = n; i > 0; i--) {
        size_t l = tsvalue(top - i)->len * unit;
        memcpy(buffer + used, getstr(tsvalue(top - i)), l);
        used += l;
    }
    if (wide) {
        setsvalue(top - n, luaS_newlwstr(L, reinterpret_cast<const char16_t*>(buffer), tl));
    } else {
        setsvalue(top - n, luaS_newlstr(L, buffer, tl));
    }
    return n;
}

IndexCacheEntry* indexcacheslot(global_State* g, const Table* start, const TString* key) {
    uintptr_t h = (reinterpret_cast<uintptr_t>(start) >> 4) * 0x9E3779B1u +
                  (reinterpret_cast<uintptr_t>(key) >> 4);
    return &g->indexcache[(h ^ (h >> 16)) & (kIndexCacheSize - 1)];
}

// Reads key through the chain of tables that starts at start and goes on through each
// table's "__index" when that is a table, as the general loop would in at most budget steps.
// Answers false, having found nothing, when the chain leaves the tables (a handler function,
// a value of another type, the registry, whose integer slots the native interface writes in
// place) or is longer than budget; the general loop then walks it itself. Every table the
// walk looks at, and each one's metatable, is marked so that a change to it forgets the
// lookup remembered here.
bool indexchain(lua_State* L, Table* start, TString* key, int budget, TValue* out) {
    global_State* g = G(L);
    IndexCacheEntry* e = indexcacheslot(g, start, key);
    if (e->start == start && e->key == key && e->epoch == g->indexepoch && e->steps <= budget) {
        *out = e->value;
        return true;
    }
    const TValue* registrytable = registry(L);
    Table* h = start;
    for (int step = 0; step < budget; step++) {
        if (ttistable(registrytable) && h == hvalue(registrytable)) return false;
        h->marked |= kIndexChainBit;
        const TValue* v = luaH_getstr(h, key);
        Table* mt = h->metatable;
        mt->marked |= kIndexChainBit;
        const TValue* tm = ttisnil(v) ? luaT_fasttm(L, mt, TM_INDEX) : nullptr;
        if (tm == nullptr) {
            // Found here, or no table further on has it.
            e->start = start;
            e->key = key;
            e->epoch = g->indexepoch;
            e->steps = step + 1;
            e->value = *v;
            *out = *v;
            return true;
        }
        if (!ttistable(tm)) return false;
        h = hvalue(tm);
    }
    return false;
}

}  // namespace

void luaV_callTMres(lua_State* L, const TValue* tm, const TValue* p1, const TValue* p2,
                    TValue* result) {
    TValue fn = *tm, a = *p1, b = *p2;
    luaD_checkstack(L, 3);
    setobj(L->top, &fn);
    setobj(L->top + 1, &a);
    setobj(L->top + 2, &b);
    L->top += 3;
    luaD_call(L, L->top - 3, 1);
    L->top--;
    *result = *L->top;
}

bool luaV_callbinTM(lua_State* L, const TValue* p1, const TValue* p2, StkId res, TMS event) {
    ptrdiff_t result = savestack(L, res);
    const TValue* tm = luaT_gettmbyobj(L, p1, event);
    if (ttisnil(tm)) tm = luaT_gettmbyobj(L, p2, event);
    if (!ttisfunction(tm)) return false;
    TValue value;
    luaV_callTMres(L, tm, p1, p2, &value);
    setobj(restorestack(L, result), &value);
    return true;
}

const TValue* luaV_tonumber(const TValue* obj, TValue* n) {
    lua_Number num;
    if (ttisnumber(obj)) return obj;
    if (ttisstring(obj) && luaO_str2d(svalue(obj), &num)) {
        setnvalue(n, num);
        return n;
    }
    if (ttiswstring(obj) && luaO_wstr2d(getwstr(tsvalue(obj)), &num)) {
        setnvalue(n, num);
        return n;
    }
    return nullptr;
}

bool luaV_tostring(lua_State* L, StkId obj) {
    if (!ttisnumber(obj)) return false;
    char s[LUAI_MAXNUMBER2STR];
    int len = lua_number2str(s, nvalue(obj));
    setsvalue(obj, luaS_newlstr(L, s, static_cast<size_t>(len)));
    return true;
}

bool luaV_towstring(lua_State* L, StkId obj) {
    if (!ttisnumber(obj)) return false;
    char s[LUAI_MAXNUMBER2STR];
    int len = lua_number2str(s, nvalue(obj));
    char16_t w[LUAI_MAXNUMBER2STR];
    for (int i = 0; i < len; i++)
        w[i] = static_cast<unsigned char>(s[i]);
    setsvalue(obj, luaS_newlwstr(L, w, static_cast<size_t>(len)));
    return true;
}

void luaV_gettable(lua_State* L, const TValue* t, TValue* key, StkId val) {
    luaV_finishget(L, t, key, val, nullptr);
}

void luaV_finishget(lua_State* L, const TValue* t, TValue* key, StkId val, const TValue* tm) {
    ptrdiff_t valr = savestack(L, val);
    TValue tcur = *t;
    TValue k = *key;
    for (int loop = 0; loop < MAXTAGLOOP; loop++) {
        if (tm == nullptr) {
            if (ttistable(&tcur)) {
                Table* h = hvalue(&tcur);
                const TValue* res = luaH_get(h, &k);
                if (!ttisnil(res) || (tm = luaT_fasttm(L, h->metatable, TM_INDEX)) == nullptr) {
                    setobj(restorestack(L, valr), res);
                    return;
                }
            } else {
                tm = luaT_gettmbyobj(L, &tcur, TM_INDEX);
                if (ttisnil(tm)) {
                    // A userdata without "__index" is read through its metatable itself.
                    if (ttisuserdata(&tcur)) {
                        sethvalue(&tcur, uvalue(&tcur)->metatable);
                        tm = nullptr;
                        continue;
                    }
                    luaG_typeerror(L, loop == 0 ? t : &tcur, "index");
                }
            }
        }
        if (ttisfunction(tm)) {
            TValue result;
            luaV_callTMres(L, tm, &tcur, &k, &result);
            setobj(restorestack(L, valr), &result);
            return;
        }
        if (ttistable(tm) && (ttisstring(&k) || ttiswstring(&k))) {
            // Inheritance through "__index" tables: looked up once, then remembered.
            TValue result;
            if (indexchain(L, hvalue(tm), tsvalue(&k), MAXTAGLOOP - loop - 1, &result)) {
                setobj(restorestack(L, valr), &result);
                return;
            }
        }
        tcur = *tm;
        tm = nullptr;
    }
    luaG_runerror(L, "loop in gettable");
}

// Writing a field of a value that is neither a table nor a full userdata stores into that
// type's shared metatable (for strings the string library itself, so s.foo = 1 sets
// string.foo). Scripts may rely on such writes raising no error.
void luaV_settable(lua_State* L, const TValue* t, TValue* key, StkId val) {
    TValue tcur = *t;
    TValue k = *key;
    TValue v = *val;
    for (int loop = 0; loop < MAXTAGLOOP; loop++) {
        const TValue* tm;
        if (ttistable(&tcur)) {
            Table* h = hvalue(&tcur);
            TValue* oldval = luaH_set(L, h, &k);
            if (!ttisnil(oldval) || (tm = luaT_fasttm(L, h->metatable, TM_NEWINDEX)) == nullptr) {
                setobj(oldval, &v);
                return;
            }
        } else if (ttisnil(tm = luaT_gettmbyobj(L, &tcur, TM_NEWINDEX))) {
            luaG_typeerror(L, loop == 0 ? t : &tcur, "index");
        }
        if (ttisfunction(tm)) {
            callTM(L, tm, &tcur, &k, &v);
            return;
        }
        tcur = *tm;
    }
    luaG_runerror(L, "loop in settable");
}

bool luaV_lessthan(lua_State* L, const TValue* l, const TValue* r) {
    if (ttype(l) != ttype(r)) luaG_ordererror(L, l, r);
    if (ttisnumber(l)) return nvalue(l) < nvalue(r);
    if (ttisstring(l)) return l_strcmp(tsvalue(l), tsvalue(r)) < 0;
    int res = call_orderTM(L, l, r, TM_LT);
    if (res != -1) return res != 0;
    luaG_ordererror(L, l, r);
}

bool luaV_lessequal(lua_State* L, const TValue* l, const TValue* r) {
    if (ttype(l) != ttype(r)) luaG_ordererror(L, l, r);
    if (ttisnumber(l)) return nvalue(l) <= nvalue(r);
    if (ttisstring(l)) return l_strcmp(tsvalue(l), tsvalue(r)) <= 0;
    int res = call_orderTM(L, l, r, TM_LE);
    if (res != -1) return res != 0;
    res = call_orderTM(L, r, l, TM_LT);  // a <= b as not (b < a)
    if (res != -1) return res == 0;
    luaG_ordererror(L, l, r);
}

bool luaV_equalval(lua_State* L, const TValue* t1, const TValue* t2) {
    const TValue* tm;
    if (ttisuserdata(t1)) {
        if (uvalue(t1) == uvalue(t2)) return true;
        tm = get_compTM(L, uvalue(t1)->metatable, uvalue(t2)->metatable, TM_EQ);
    } else if (ttistable(t1)) {
        if (hvalue(t1) == hvalue(t2)) return true;
        tm = get_compTM(L, hvalue(t1)->metatable, hvalue(t2)->metatable, TM_EQ);
    } else {
        return luaO_rawequalObj(t1, t2);
    }
    if (tm == nullptr) return false;
    TValue result;
    luaV_callTMres(L, tm, t1, t2, &result);
    return !l_isfalse(&result);
}

// The run's mode comes from the last string or wide string in it: wide when that is a wide
// string, narrow otherwise. Wide passes turn numbers into wide strings and refuse strings.
void luaV_concat(lua_State* L, int total, int last) {
    bool wide = false;
    for (int i = last; i > last - total; i--) {
        const TValue* o = L->base + i;
        if (ttisstring(o)) break;
        if (ttiswstring(o)) {
            wide = true;
            break;
        }
    }
    do {
        StkId top = L->base + last + 1;
        int n = concatpass(L, top, total, wide);
        total -= n - 1;
        last -= n - 1;
    } while (total > 1);
}
