// Values and collectable objects of the scripting core.
//
// A value (TValue) is a type tag and one 8-byte payload. Collectable objects share a header
// (GCObject: the link of the list the collector walks, the tag and the mark bits) and are
// allocated through the state's allocator; their lifetime belongs to the collector alone.
// Strings and wide strings share one layout (TString) and the one string table: their text
// follows the header, bytes or 16-bit units, with a zero terminator after the stored length.
//
// Threads: as the state that owns the objects.
#pragma once

#include <cstdarg>

#include "script/lua/luadefs.h"

// Internal tags, never seen by scripts.
constexpr int LUA_TPROTO = LUA_TWSTRING + 1;
constexpr int LUA_TUPVAL = LUA_TWSTRING + 2;
// Number of per-type metatable slots: tags 0 to 10.
constexpr int NUM_TYPE_SLOTS = LUA_TPROTO + 1;

struct GCObject;
struct TString;
struct Udata;
struct Table;
struct Proto;
struct UpVal;
struct Closure;

union Value {
    GCObject* gc;
    void* p;
    lua_Number n;
    int b;
};

struct TValue {
    int tt;
    Value value;
};

using StkId = TValue*;

// The header of every collectable object. Its constructor is user-provided so that derived
// objects place their own small fields in its tail padding.
struct GCObject {
    GCObject* next;
    lu_byte tt;
    lu_byte marked;
    GCObject() {}
};

// Mark bits.
constexpr lu_byte kMarkBit = 1;       // reached in the current collection
constexpr lu_byte kFixedBit = 2;      // never collected (reserved words, metamethod names)
constexpr lu_byte kFinalizedBit = 4;  // userdata whose finaliser has been taken care of
constexpr lu_byte kWeakKeyBit = 8;    // table: weak keys in the current collection
constexpr lu_byte kWeakValueBit = 16;
// Table: its entries or metatable decided a remembered "__index" lookup (see the global
// state's index cache); any change to it forgets every remembered lookup.
constexpr lu_byte kIndexChainBit = 32;

// Strings (tag 4) and wide strings (tag 9).
struct TString : GCObject {
    lu_byte reserved;  // reserved-word index for names, 0 otherwise
    lu_hash hash;
    uint32_t len;  // bytes or units, terminator not counted
};

inline char* getstr(TString* ts) {
    return reinterpret_cast<char*>(ts + 1);
}
inline const char* getstr(const TString* ts) {
    return reinterpret_cast<const char*>(ts + 1);
}
inline char16_t* getwstr(TString* ts) {
    return reinterpret_cast<char16_t*>(ts + 1);
}
inline const char16_t* getwstr(const TString* ts) {
    return reinterpret_cast<const char16_t*>(ts + 1);
}

// Full userdata (tag 7). The length word is even for blocks made by lua_newuserdata; exactly 1
// marks a pointer userdata, whose block holds a single native pointer.
struct Udata : GCObject {
    Table* metatable;
    size_t len;
};

constexpr size_t kPointerUdataLen = 1;

inline void* udatablock(Udata* u) {
    return u + 1;
}
inline bool ispointerudata(const Udata* u) {
    return (u->len & 1) != 0;
}
inline size_t sizeudata(const Udata* u) {
    return sizeof(Udata) + (ispointerudata(u) ? sizeof(void*) : u->len);
}

// Function prototypes (tag 10).
struct LocVar {
    TString* varname;
    int startpc;  // first point where the variable is active
    int endpc;    // first point where it is dead
};

struct Proto : GCObject {
    lu_byte nups;  // number of upvalues
    lu_byte numparams;
    lu_byte is_vararg;
    lu_byte maxstacksize;
    int sizeupvalues;
    int sizek;
    int sizecode;
    int sizelineinfo;
    int sizep;
    int sizelocvars;
    int lineDefined;
    TValue* k;  // constants: nil, booleans, numbers, strings and wide strings
    Instruction* code;
    Proto** p;      // functions defined inside this one
    int* lineinfo;  // source line of each instruction
    LocVar* locvars;
    TString** upvalues;  // upvalue names
    TString* source;
    GCObject* gclist;
};

// Upvalues (tag 11). An open upvalue points into a thread's stack and is linked, through its
// header, into that thread's list of open upvalues; closing copies the value inside.
struct UpVal : GCObject {
    TValue* v;
    TValue value;
};

// Closures (tag 6): native (isC) or Lua.
struct Closure : GCObject {
    lu_byte isC;
    lu_byte nupvalues;
    GCObject* gclist;
};

struct CClosure : Closure {
    lua_CFunction f;
    TValue upvalue[1];
};

struct LClosure : Closure {
    Proto* p;
    TValue g;  // the function's globals (its environment)
    UpVal* upvals[1];
};

inline size_t sizeCclosure(int n) {
    return sizeof(CClosure) + sizeof(TValue) * (n > 0 ? n - 1 : 0);
}
inline size_t sizeLclosure(int n) {
    return sizeof(LClosure) + sizeof(UpVal*) * (n > 0 ? n - 1 : 0);
}

// Tables (tag 5): an array part for keys 1..sizearray and a hash part of 2^lsizenode nodes.
struct Node {
    TValue i_key;
    TValue i_val;
    Node* next;  // next node of the same main position's chain
};

struct Table : GCObject {
    lu_byte flags;  // bit e set: metamethod e is known to be absent (cache)
    lu_byte lsizenode;
    int sizearray;
    Table* metatable;  // never null
    TValue* array;
    Node* node;
    Node* firstfree;  // every node above this one is in use
    GCObject* gclist;
};

inline int twoto(int x) {
    return 1 << x;
}
inline int sizenode(const Table* t) {
    return twoto(t->lsizenode);
}
inline Node* gnode(Table* t, int i) {
    return &t->node[i];
}
inline TValue* gkey(Node* n) {
    return &n->i_key;
}
inline TValue* gval(Node* n) {
    return &n->i_val;
}

// Tag tests and payload access.
inline int ttype(const TValue* o) {
    return o->tt;
}
inline bool ttisnil(const TValue* o) {
    return o->tt == LUA_TNIL;
}
inline bool ttisnumber(const TValue* o) {
    return o->tt == LUA_TNUMBER;
}
inline bool ttisstring(const TValue* o) {
    return o->tt == LUA_TSTRING;
}
inline bool ttiswstring(const TValue* o) {
    return o->tt == LUA_TWSTRING;
}
inline bool ttistable(const TValue* o) {
    return o->tt == LUA_TTABLE;
}
inline bool ttisfunction(const TValue* o) {
    return o->tt == LUA_TFUNCTION;
}
inline bool ttisboolean(const TValue* o) {
    return o->tt == LUA_TBOOLEAN;
}
inline bool ttisuserdata(const TValue* o) {
    return o->tt == LUA_TUSERDATA;
}
inline bool ttisthread(const TValue* o) {
    return o->tt == LUA_TTHREAD;
}
inline bool ttislightuserdata(const TValue* o) {
    return o->tt == LUA_TLIGHTUSERDATA;
}
inline bool iscollectable(const TValue* o) {
    return o->tt >= LUA_TSTRING;
}

inline GCObject* gcvalue(const TValue* o) {
    return o->value.gc;
}
inline void* pvalue(const TValue* o) {
    return o->value.p;
}
inline lua_Number nvalue(const TValue* o) {
    return o->value.n;
}
inline int bvalue(const TValue* o) {
    return o->value.b;
}
inline TString* tsvalue(const TValue* o) {
    return static_cast<TString*>(o->value.gc);
}
inline Udata* uvalue(const TValue* o) {
    return static_cast<Udata*>(o->value.gc);
}
inline Table* hvalue(const TValue* o) {
    return static_cast<Table*>(o->value.gc);
}
inline Closure* clvalue(const TValue* o) {
    return static_cast<Closure*>(o->value.gc);
}
inline const char* svalue(const TValue* o) {
    return getstr(tsvalue(o));
}

inline bool l_isfalse(const TValue* o) {
    return ttisnil(o) || (ttisboolean(o) && bvalue(o) == 0);
}

inline void setnilvalue(TValue* o) {
    o->tt = LUA_TNIL;
}
inline void setnvalue(TValue* o, lua_Number n) {
    o->tt = LUA_TNUMBER;
    o->value.n = n;
}
inline void setbvalue(TValue* o, int b) {
    o->tt = LUA_TBOOLEAN;
    o->value.b = b;
}
inline void setpvalue(TValue* o, void* p) {
    o->tt = LUA_TLIGHTUSERDATA;
    o->value.p = p;
}
inline void setgcvalue(TValue* o, GCObject* x, int tt) {
    o->tt = tt;
    o->value.gc = x;
}
inline void setsvalue(TValue* o, TString* s) {
    setgcvalue(o, s, s->tt);
}
inline void setuvalue(TValue* o, Udata* u) {
    setgcvalue(o, u, LUA_TUSERDATA);
}
inline void sethvalue(TValue* o, Table* h) {
    setgcvalue(o, h, LUA_TTABLE);
}
inline void setclvalue(TValue* o, Closure* c) {
    setgcvalue(o, c, LUA_TFUNCTION);
}
// Field by field, not as one 16-byte block: a value is often read right after it was written
// field by field (setnvalue and the like), and a block read of two separate field writes cannot
// take them from the processor's store buffer, which costs a stall each time.
inline void setobj(TValue* dst, const TValue* src) {
    dst->value = src->value;
    dst->tt = src->tt;
}

extern const TValue luaO_nilobject_;
// The shared nil answered by failed lookups; never written.
inline TValue* luaO_nilobject() {
    return const_cast<TValue*>(&luaO_nilobject_);
}

extern const char* const luaT_typenames[];

// The type name of a value's tag ("no value" for LUA_TNONE).
const char* luaO_typename(int tt);

int luaO_log2(unsigned int x);
int luaO_int2fb(unsigned int x);
// The "floating byte" (eeeeexxx) as an int: xxx * 2^eeeee, at most the int range.
inline int luaO_fb2int(int x) {
    long long v = static_cast<long long>(x & 7) << ((x >> 3) & 31);
    return v > 2147483647 ? 2147483647 : static_cast<int>(v);
}

// Raw equality: same tag and same number, boolean, pointer or object.
bool luaO_rawequalObj(const TValue* t1, const TValue* t2);

// Formats with %s %c %d %f %% into a new string pushed on the stack; answers its text.
const char* luaO_pushvfstring(lua_State* L, const char* fmt, va_list argp);
const char* luaO_pushfstring(lua_State* L, const char* fmt, ...);

// The chunk id shown in messages: "=name" as name, "@file" as file (its end when too long),
// any other source as [string "first line..."]. out holds bufflen bytes.
void luaO_chunkid(char* out, const char* source, int bufflen);
