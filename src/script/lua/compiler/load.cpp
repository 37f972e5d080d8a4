// Loading chunks: lua_load and the protected parser behind it. Source text is compiled, a
// binary chunk (first byte ESC) is read back; either way the result is a new Lua function
// without upvalues, running in the thread's globals, pushed on the stack.

#include "script/lua/calls.h"
#include "script/lua/collector.h"
#include "script/lua/compiler/parser.h"
#include "script/lua/compiler/undump.h"
#include "script/lua/compiler/zio.h"
#include "script/lua/function.h"
#include "script/lua/memory.h"

namespace {

constexpr int kBinarySignature = 0x1B;

struct SParser {
    Zio* z;
    ZBuffer buff;
    ZBuffer wbuff;
    bool bin;
};

// The prototypes being built are reachable from nowhere until the function is made, so no
// collection runs while a chunk is compiled or read.
class CollectionPause {
public:
    explicit CollectionPause(lua_State* L) : mG(G(L)), mThreshold(G(L)->GCthreshold) {
        mG->GCthreshold = kMaxLuMem;
    }
    ~CollectionPause() { mG->GCthreshold = mThreshold; }

private:
    global_State* mG;
    lu_mem mThreshold;
};

// A source that begins with the UTF-16 little-endian byte-order mark is read in 16-bit units.
void checkbom(Zio* z) {
    int c1 = luaZ_getbyte(z);
    if (c1 == 0xFF) {
        int c2 = luaZ_getbyte(z);
        if (c2 == 0xFE) {
            z->wide = true;
            return;
        }
        luaZ_ungetbyte(z, c2);
    }
    luaZ_ungetbyte(z, c1);
}

// Upvalues of a main function have nothing to capture: each gets a nil of its own.
void closedupvalues(lua_State* L, LClosure* cl) {
    for (int i = 0; i < cl->nupvalues; i++) {
        void* block = luaM_newobject(L, sizeof(UpVal));
        UpVal* uv = new (block) UpVal;
        uv->v = &uv->value;
        setnilvalue(&uv->value);
        luaC_link(L, uv, LUA_TUPVAL);
        cl->upvals[i] = uv;
    }
}

void f_parser(lua_State* L, void* ud) {
    SParser* p = static_cast<SParser*>(ud);
    luaC_checkGC(L);
    Proto* tf;
    {
        CollectionPause pause(L);
        if (p->bin) {
            tf = luaU_undump(L, p->z, &p->buff);
        } else {
            checkbom(p->z);
            tf = luaY_parser(L, p->z, &p->buff, &p->wbuff);
        }
        LClosure* cl = static_cast<LClosure*>(luaF_newLclosure(L, tf->nups, gt(L)));
        cl->p = tf;
        closedupvalues(L, cl);
        setclvalue(L->top, cl);
        incr_top(L);
    }
}

}  // namespace

int luaD_protectedparser(lua_State* L, Zio* z, bool bin) {
    SParser p;
    p.z = z;
    p.bin = bin;
    luaZ_initbuffer(&p.buff);
    luaZ_initbuffer(&p.wbuff);
    int status = luaD_pcall(L, f_parser, &p, savestack(L, L->top), 0);
    luaZ_freebuffer(L, &p.buff);
    luaZ_freebuffer(L, &p.wbuff);
    return status;
}

int lua_load(lua_State* L, lua_Chunkreader reader, void* data, const char* chunkname) {
    if (chunkname == nullptr) chunkname = "?";
    Zio z;
    luaZ_init(L, &z, reader, data, chunkname);
    int c = luaZ_lookahead(&z);
    return luaD_protectedparser(L, &z, c == kBinarySignature);
}
