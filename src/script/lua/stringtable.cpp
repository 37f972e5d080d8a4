#include "script/lua/stringtable.h"

#include "script/lua/collector.h"
#include "script/lua/debuginfo.h"
#include "script/lua/memory.h"
#include "script/lua/state.h"

namespace {

// The table never grows past this size.
constexpr int kMaxStringTableSize = 1073741822;

// Links ts at the head of its bucket and grows the table when it holds more strings than
// buckets.
void Insert(lua_State* L, TString* ts) {
    stringtable* tb = &G(L)->strt;
    int h = static_cast<int>(ts->hash & static_cast<lu_hash>(tb->size - 1));
    ts->next = tb->hash[h];
    tb->hash[h] = ts;
    tb->nuse++;
    if (tb->nuse > static_cast<uint32_t>(tb->size) && tb->size <= kMaxStringTableSize) {
        luaS_resize(L, tb->size * 2);
    }
}

TString* NewString(lua_State* L, size_t bytes, lu_byte tt, lu_hash h, size_t len) {
    void* block = luaM_newobject(L, bytes);
    TString* ts = new (block) TString;
    ts->tt = tt;
    ts->marked = 0;
    ts->reserved = 0;
    ts->hash = h;
    ts->len = static_cast<uint32_t>(len);
    return ts;
}

}  // namespace

lu_hash luaS_hash(const char* str, size_t l) {
    lu_hash h = static_cast<lu_hash>(l);
    size_t step = (l >> 5) + 1;
    for (size_t l1 = l; l1 >= step; l1 -= step) {
        h = h ^ ((h << 5) + (h >> 2) + static_cast<unsigned char>(str[l1 - 1]));
    }
    return h;
}

lu_hash luaS_hashw(const char16_t* units, size_t l) {
    lu_hash h = static_cast<lu_hash>(l);
    size_t step = (l >> 5) + 1;
    for (size_t l1 = l; l1 >= step; l1 -= step) {
        h = h ^ ((h << 5) + (h >> 2) + static_cast<uint16_t>(units[l1 - 1]));
    }
    return h;
}

void luaS_resize(lua_State* L, int newsize) {
    GCObject** newhash = luaM_newvector<GCObject*>(L, newsize);
    stringtable* tb = &G(L)->strt;
    for (int i = 0; i < newsize; i++)
        newhash[i] = nullptr;
    for (int i = 0; i < tb->size; i++) {
        GCObject* p = tb->hash[i];
        while (p != nullptr) {
            GCObject* next = p->next;
            lu_hash h = static_cast<TString*>(p)->hash;
            int h1 = static_cast<int>(h & static_cast<lu_hash>(newsize - 1));
            p->next = newhash[h1];
            newhash[h1] = p;
            p = next;
        }
    }
    luaM_freearray(L, tb->hash, tb->size);
    tb->size = newsize;
    tb->hash = newhash;
}

namespace {

// The interned string or wide string (tt) with these len units of unitsize bytes.
TString* Intern(lua_State* L, const void* text, size_t len, size_t unitsize, lu_byte tt,
                lu_hash h) {
    size_t bytes = len * unitsize;
    stringtable* tb = &G(L)->strt;
    for (GCObject* o = tb->hash[h & static_cast<lu_hash>(tb->size - 1)]; o != nullptr;
         o = o->next) {
        TString* ts = static_cast<TString*>(o);
        if (ts->tt == tt && ts->len == len && (bytes == 0 || memcmp(text, ts + 1, bytes) == 0)) {
            return ts;
        }
    }
    size_t size = luaM_checkedadd(L, sizeof(TString), bytes + unitsize);
    TString* ts = NewString(L, size, tt, h, len);
    if (bytes > 0) memcpy(ts + 1, text, bytes);
    memset(reinterpret_cast<char*>(ts + 1) + bytes, 0, unitsize);
    Insert(L, ts);
    return ts;
}

}  // namespace

TString* luaS_newlstr(lua_State* L, const char* str, size_t l) {
    // Checked before hashing, which reads the text.
    if (l >= kMaxBlockSize) luaG_runerror(L, "memory allocation error: block too big");
    return Intern(L, str, l, 1, LUA_TSTRING, luaS_hash(str, l));
}

TString* luaS_newlwstr(lua_State* L, const char16_t* units, size_t count) {
    if (count >= kMaxBlockSize / 2) luaG_runerror(L, "memory allocation error: block too big");
    return Intern(L, units, count, 2, LUA_TWSTRING, luaS_hashw(units, count));
}

namespace {

Udata* NewUdata(lua_State* L, size_t blockSize, size_t lenWord) {
    size_t bytes = luaM_checkedadd(L, sizeof(Udata), blockSize);
    void* block = luaM_realloc(L, nullptr, 0, bytes);
    Udata* u = new (block) Udata;
    u->tt = LUA_TUSERDATA;
    u->marked = 0;
    u->len = lenWord;
    const TValue* mt = &G(L)->typemeta[LUA_TUSERDATA];
    u->metatable = ttistable(mt) ? hvalue(mt) : hvalue(defaultmeta(L));
    // Userdata have a list of their own, which the finaliser pass walks.
    u->next = G(L)->rootudata;
    G(L)->rootudata = u;
    return u;
}

}  // namespace

Udata* luaS_newudata(lua_State* L, size_t s) {
    if (s >= kMaxBlockSize) luaG_runerror(L, "memory allocation error: block too big");
    size_t len = s + (s & 1);
    return NewUdata(L, len, len);
}

Udata* luaS_newpointer(lua_State* L, void* p) {
    Udata* u = NewUdata(L, sizeof(void*), kPointerUdataLen);
    memcpy(udatablock(u), &p, sizeof p);
    return u;
}

void luaS_freeall(lua_State* L) {
    stringtable* tb = &G(L)->strt;
    for (int i = 0; i < tb->size; i++) {
        GCObject* p = tb->hash[i];
        while (p != nullptr) {
            GCObject* next = p->next;
            luaM_freeobject(L, p, sizeanystring(static_cast<TString*>(p)));
            p = next;
        }
        tb->hash[i] = nullptr;
    }
    tb->nuse = 0;
}
