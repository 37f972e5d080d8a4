// Table layout and placement follow the 5.0 design so that traversal order (next, pairs) is the
// one scripts of that release saw for number, string, boolean and wide-string keys: the
// same hashes, the same main positions, collisions moved through the free slot taken from the
// top of the node vector, and the same sizing on rehash. Keys hashed by address (tables,
// functions, userdata, threads) land where their addresses put them, so their order is
// arbitrary, as it always was.

#include "script/lua/table.h"

#include <cstring>

#include "script/lua/collector.h"
#include "script/lua/debuginfo.h"
#include "script/lua/memory.h"
#include "script/lua/numconv.h"
#include "script/lua/state.h"

namespace {

constexpr int MAXASIZE = 1 << MAXBITS;

Node* hashpow2(const Table* t, lu_hash n) {
    return &t->node[n & static_cast<lu_hash>(sizenode(t) - 1)];
}

// Numbers and pointers tend to have many factors of 2, so they use an odd modulus.
Node* hashmod(const Table* t, lu_hash n) {
    return &t->node[n % static_cast<lu_hash>((sizenode(t) - 1) | 1)];
}

Node* hashnum(const Table* t, lua_Number n) {
    n += 1;  // makes -0 and 0 hash alike
    uint32_t a[2];
    memcpy(a, &n, sizeof a);
    return hashmod(t, a[0] + a[1]);
}

Node* hashpointer(const Table* t, const void* p) {
    return hashmod(t, static_cast<lu_hash>(reinterpret_cast<uintptr_t>(p)));
}

// The key as an array index (1..MAXASIZE), or -1.
int arrayindex(const TValue* key) {
    if (!ttisnumber(key)) return -1;
    lua_Number n = nvalue(key);
    if (!(n >= 1 && n <= MAXASIZE)) return -1;
    int k = static_cast<int>(n);
    return static_cast<lua_Number>(k) == n ? k : -1;
}

// Where next resumes: -1 before the first entry, array slots 0..sizearray-1, then nodes.
int nextindex(lua_State* L, Table* t, StkId key) {
    if (ttisnil(key)) return -1;
    int i = arrayindex(key);
    if (i > 0 && i <= t->sizearray) return i - 1;
    const TValue* v = luaH_get(t, key);
    if (v == luaO_nilobject()) luaG_runerror(L, "invalid key for `next'");
    ptrdiff_t offset =
        reinterpret_cast<const char*>(v) - reinterpret_cast<const char*>(gval(t->node));
    return static_cast<int>(offset / static_cast<ptrdiff_t>(sizeof(Node))) + t->sizearray;
}

// Sizes the array part: the largest power of two n such that more than half of 1..n is in
// use, given nums[i] = keys in (2^(i-1), 2^i].
void computesizes(int nums[], int ntotal, int* narray, int* nhash) {
    int a = nums[0];
    int na = a;
    int n = (na == 0) ? -1 : 0;
    for (int i = 1; a < *narray && *narray >= twoto(i - 1); i++) {
        if (nums[i] > 0) {
            a += nums[i];
            if (a >= twoto(i - 1)) {
                n = i;
                na = a;
            }
        }
    }
    *nhash = ntotal - na;
    *narray = (n == -1) ? 0 : twoto(n);
}

// Counts the entries in use (plus extra, when given) by array slice and in total.
void numuse(const Table* t, const TValue* extra, int* narray, int* nhash) {
    int nums[MAXBITS + 1];
    int totaluse = 0;
    int i = 0;
    int lg = 0;
    for (; lg <= MAXBITS; lg++) {
        int ttlg = twoto(lg);
        if (ttlg > t->sizearray) {
            ttlg = t->sizearray;
            if (i >= ttlg) break;
        }
        nums[lg] = 0;
        for (; i < ttlg; i++) {
            if (!ttisnil(&t->array[i])) {
                nums[lg]++;
                totaluse++;
            }
        }
    }
    for (; lg <= MAXBITS; lg++)
        nums[lg] = 0;
    *narray = totaluse;
    auto count = [&](const TValue* key) {
        int k = arrayindex(key);
        if (k >= 0) {
            nums[luaO_log2(static_cast<unsigned>(k - 1)) + 1]++;
            (*narray)++;
        }
        totaluse++;
    };
    for (i = sizenode(t) - 1; i >= 0; i--) {
        Node* n = &t->node[i];
        if (!ttisnil(gval(n))) count(gkey(n));
    }
    if (extra != nullptr) count(extra);
    computesizes(nums, totaluse, narray, nhash);
}

void setarrayvector(lua_State* L, Table* t, int size) {
    t->array = luaM_reallocvector(L, t->array, t->sizearray, size);
    for (int i = t->sizearray; i < size; i++)
        setnilvalue(&t->array[i]);
    t->sizearray = size;
}

void setnodevector(lua_State* L, Table* t, int lsize) {
    if (lsize > MAXBITS) luaG_runerror(L, "table overflow");
    if (lsize == 0) {
        t->node = G(L)->dummynode;
    } else {
        int size = twoto(lsize);
        // A small hash part is a small object of its own.
        Node* nodes = static_cast<Node*>(
            luaM_newobject(L, luaM_checkedsize(L, static_cast<lu_mem>(size), sizeof(Node))));
        for (int i = 0; i < size; i++) {
            nodes[i].next = nullptr;
            setnilvalue(gkey(&nodes[i]));
            setnilvalue(gval(&nodes[i]));
        }
        t->node = nodes;
    }
    t->lsizenode = static_cast<lu_byte>(lsize);
    t->firstfree = gnode(t, sizenode(t) - 1);
}

void resize(lua_State* L, Table* t, int nasize, int nhsize) {
    int oldasize = t->sizearray;
    int oldhsize = t->lsizenode;
    Node* nold = t->node;
    if (nasize > oldasize) setarrayvector(L, t, nasize);
    setnodevector(L, t, nhsize);
    if (nasize < oldasize) {
        // The vanishing slice moves to the hash part before the array shrinks.
        t->sizearray = nasize;
        for (int i = nasize; i < oldasize; i++) {
            if (!ttisnil(&t->array[i])) setobj(luaH_setnum(L, t, i + 1), &t->array[i]);
        }
        t->array = luaM_reallocvector(L, t->array, oldasize, nasize);
    }
    for (int i = twoto(oldhsize) - 1; i >= 0; i--) {
        Node* old = nold + i;
        if (!ttisnil(gval(old))) setobj(luaH_set(L, t, gkey(old)), gval(old));
    }
    if (oldhsize != 0) luaM_freeobject(L, nold, sizeof(Node) * twoto(oldhsize));
}

void rehash(lua_State* L, Table* t, const TValue* extra) {
    int nasize, nhsize;
    numuse(t, extra, &nasize, &nhsize);
    resize(L, t, nasize, luaO_log2(static_cast<unsigned>(nhsize)) + 1);
}

// Inserts a key known to be absent. Its main position may hold a key of another chain, which
// then moves to the free node; when no node is free the table grows.
TValue* newkey(lua_State* L, Table* t, const TValue* key) {
    if (t->node == G(L)->dummynode) {
        // The shared empty node is never written: size the table with the new key counted.
        rehash(L, t, key);
        return luaH_set(L, t, key);
    }
    Node* mp = luaH_mainposition(t, key);
    if (!ttisnil(gval(mp))) {
        Node* othern = luaH_mainposition(t, gkey(mp));
        Node* n = t->firstfree;
        if (othern != mp) {
            // The colliding node is out of its main position: it moves to the free node.
            while (othern->next != mp)
                othern = othern->next;
            othern->next = n;
            *n = *mp;
            mp->next = nullptr;
            setnilvalue(gval(mp));
        } else {
            // The colliding node is in its own main position: the new key takes the free node.
            n->next = mp->next;
            mp->next = n;
            mp = n;
        }
    }
    setobj(gkey(mp), key);
    for (;;) {
        if (ttisnil(gkey(t->firstfree))) return gval(mp);
        if (t->firstfree == t->node) break;
        t->firstfree--;
    }
    // No free node left: a placeholder value keeps the new key counted while the table grows.
    setbvalue(gval(mp), 0);
    rehash(L, t, nullptr);
    TValue* val = const_cast<TValue*>(luaH_get(t, key));
    setnilvalue(val);
    return val;
}

}  // namespace

const TValue* luaH_getany(Table* t, const TValue* key) {
    if (ttisnil(key)) return luaO_nilobject();
    Node* n = luaH_mainposition(t, key);
    do {
        if (luaO_rawequalObj(gkey(n), key)) return gval(n);
        n = n->next;
    } while (n != nullptr);
    return luaO_nilobject();
}

Node* luaH_mainposition(const Table* t, const TValue* key) {
    switch (ttype(key)) {
        case LUA_TNUMBER:
            return hashnum(t, nvalue(key));
        case LUA_TSTRING:
        case LUA_TWSTRING:
            return hashpow2(t, tsvalue(key)->hash);
        case LUA_TBOOLEAN:
            return hashpow2(t, static_cast<lu_hash>(bvalue(key)));
        case LUA_TLIGHTUSERDATA:
            return hashpointer(t, pvalue(key));
        default:
            return hashpointer(t, gcvalue(key));
    }
}

bool luaH_next(lua_State* L, Table* t, StkId key) {
    int i = nextindex(L, t, key);
    for (i++; i < t->sizearray; i++) {
        if (!ttisnil(&t->array[i])) {
            setnvalue(key, static_cast<lua_Number>(i + 1));
            setobj(key + 1, &t->array[i]);
            return true;
        }
    }
    for (i -= t->sizearray; i < sizenode(t); i++) {
        Node* n = gnode(t, i);
        if (!ttisnil(gval(n))) {
            setobj(key, gkey(n));
            setobj(key + 1, gval(n));
            return true;
        }
    }
    return false;
}

Table* luaH_new(lua_State* L, int narray, int lnhash) {
    void* block = luaM_newobject(L, sizeof(Table));
    Table* t = new (block) Table;
    const TValue* mt = &G(L)->typemeta[LUA_TTABLE];
    t->metatable = ttistable(mt) ? hvalue(mt) : hvalue(defaultmeta(L));
    t->flags = static_cast<lu_byte>(~0);
    t->array = nullptr;
    t->sizearray = 0;
    t->lsizenode = 0;
    t->node = G(L)->dummynode;
    t->firstfree = t->node;
    t->gclist = nullptr;
    // Linked before its parts are made, so that a failed allocation leaves a valid empty table.
    luaC_link(L, t, LUA_TTABLE);
    setarrayvector(L, t, narray);
    setnodevector(L, t, lnhash);
    return t;
}

void luaH_free(lua_State* L, Table* t) {
    if (t->node != G(L)->dummynode) luaM_freeobject(L, t->node, sizeof(Node) * sizenode(t));
    luaM_freearray(L, t->array, t->sizearray);
    luaM_freeobject(L, t, sizeof(Table));
}

const TValue* luaH_getnumhash(Table* t, int key) {
    lua_Number nk = static_cast<lua_Number>(key);
    Node* n = hashnum(t, nk);
    do {
        if (ttisnumber(gkey(n)) && nvalue(gkey(n)) == nk) return gval(n);
        n = n->next;
    } while (n != nullptr);
    return luaO_nilobject();
}

TValue* luaH_set(lua_State* L, Table* t, const TValue* key) {
    luaH_changing(L, t);
    const TValue* p = luaH_get(t, key);
    t->flags = 0;
    if (p != luaO_nilobject()) return const_cast<TValue*>(p);
    if (ttisnil(key)) luaG_runerror(L, "table index is nil");
    if (ttisnumber(key) && nvalue(key) != nvalue(key)) luaG_runerror(L, "table index is NaN");
    return newkey(L, t, key);
}

TValue* luaH_setnum(lua_State* L, Table* t, int key) {
    luaH_changing(L, t);
    const TValue* p = luaH_getnum(t, key);
    if (p != luaO_nilobject()) return const_cast<TValue*>(p);
    TValue k;
    setnvalue(&k, static_cast<lua_Number>(key));
    return newkey(L, t, &k);
}

int luaH_getn(Table* t) {
    lua_Number max = 0;
    for (int i = t->sizearray; i > 0; i--) {
        if (!ttisnil(&t->array[i - 1])) {
            max = i;
            break;
        }
    }
    for (int i = sizenode(t) - 1; i >= 0; i--) {
        Node* n = gnode(t, i);
        if (ttisnumber(gkey(n)) && !ttisnil(gval(n)) && nvalue(gkey(n)) > max) {
            max = nvalue(gkey(n));
        }
    }
    return luaO_clampint(max);
}
