// The binary chunk reader (layout in undump.h). The chunk comes from an outside reader and is
// trusted in nothing: it is gathered whole first, every count is checked against the bytes
// still unread before anything is allocated for it, and every function's code goes through the
// code checker. Prototypes are linked to the collector as soon as they are made, with their
// arrays sized and cleared before they are filled, so that an error at any point leaves
// nothing half-built for the collector to trip on.

#include <bit>
#include <cstring>
#include <string>

#include "script/lua/calls.h"
#include "script/lua/debuginfo.h"
#include "script/lua/function.h"
#include "script/lua/memory.h"
#include "script/lua/compiler/opcodes.h"
#include "script/lua/compiler/quicken.h"
#include "script/lua/stringtable.h"
#include "script/lua/compiler/undump.h"

namespace {

constexpr int kChunkVersion = 0x50;
constexpr double kTestNumber = 31415926.535897933;
// The compiler never nests functions deeper than its own syntax limit; a chunk that does is
// not one of its chunks.
constexpr int kMaxNesting = LUA_MAXCCALLS;
// The fewest bytes a nested function can take: source size, line, four bytes, six counts.
constexpr size_t kMinFunctionSize = 4 + 4 + 4 + 6 * 4;

int versionMajor(int v) {
    return v >> 4;
}
int versionMinor(int v) {
    return v & 0xF;
}

class ChunkReader {
public:
    ChunkReader(lua_State* L, const unsigned char* bytes, size_t size, const char* chunkname)
        : mL(L), mP(bytes), mLeft(size) {
        if (*chunkname == '@' || *chunkname == '=') {
            mName = chunkname + 1;
        } else if (*chunkname == '\x1b') {
            mName = "binary string";
        } else {
            mName = chunkname;
        }
        mChunkName = chunkname;
    }

    void Header() {
        static const char signature[] = "\x1bLua";
        for (const char* s = signature; *s != '\0'; s++) {
            if (Byte() != static_cast<unsigned char>(*s)) Fail("bad signature in %s");
        }
        int version = Byte();
        if (version > kChunkVersion) {
            Fail("%s too new: read version %d.%d; expected at most %d.%d", mName,
                 versionMajor(version), versionMinor(version), versionMajor(kChunkVersion),
                 versionMinor(kChunkVersion));
        }
        if (version < kChunkVersion) {
            Fail("%s too old: read version %d.%d; expected at least %d.%d", mName,
                 versionMajor(version), versionMinor(version), versionMajor(kChunkVersion),
                 versionMinor(kChunkVersion));
        }
        bool bigEndian = Byte() != 1;
        mSwap = bigEndian == (std::endian::native == std::endian::little);
        Size(4, "int");
        Size(4, "size_t");
        Size(4, "Instruction");
        Size(SIZE_OP, "OP");
        Size(SIZE_A, "A");
        Size(SIZE_B, "B");
        Size(SIZE_C, "C");
        Size(8, "number");
        double x = Number();
        // Compared as integers: the fraction may be lost by another machine's conversion.
        if (!(x > -2147483648.0 && x < 2147483648.0) ||
            static_cast<int32_t>(x) != static_cast<int32_t>(kTestNumber)) {
            Fail("unknown number format in %s");
        }
    }

    Proto* Function(TString* parentSource, int depth) {
        if (depth > kMaxNesting) Fail("bad code in %s");
        Proto* f = luaF_newproto(mL);
        f->source = String();
        if (f->source == nullptr) {
            f->source = parentSource != nullptr ? parentSource : luaS_new(mL, mChunkName);
        }
        f->lineDefined = Int();
        f->nups = Byte();
        f->numparams = Byte();
        f->is_vararg = Byte();
        f->maxstacksize = Byte();
        Lines(f);
        Locals(f);
        Upvalues(f);
        Constants(f);
        Nested(f, depth);
        Code(f);
        if (!luaG_checkcode(f)) Fail("bad code in %s");
        luaP_quicken(f);
        return f;
    }

private:
    template <typename... Args>
    [[noreturn]] void Fail(const char* fmt, Args... args) {
        if constexpr (sizeof...(Args) == 0) {
            luaO_pushfstring(mL, fmt, mName);
        } else {
            luaO_pushfstring(mL, fmt, args...);
        }
        luaD_throw(mL, LUA_ERRRUN);
    }

    void Need(size_t n) {
        if (n > mLeft) Fail("unexpected end of file in %s");
    }

    // A count of items of at least itemSize bytes each, all of which must still fit.
    int Count(size_t itemSize) {
        int n = Int();
        if (static_cast<size_t>(n) > mLeft / itemSize) Fail("unexpected end of file in %s");
        return n;
    }

    unsigned char Byte() {
        Need(1);
        mLeft--;
        return *mP++;
    }

    void Ordered(void* out, size_t n) {
        Need(n);
        unsigned char bytes[8];
        memcpy(bytes, mP, n);
        if (mSwap) {
            for (size_t i = 0; i < n / 2; i++) {
                unsigned char t = bytes[i];
                bytes[i] = bytes[n - 1 - i];
                bytes[n - 1 - i] = t;
            }
        }
        memcpy(out, bytes, n);
        mP += n;
        mLeft -= n;
    }

    uint32_t Word() {
        uint32_t w;
        Ordered(&w, 4);
        return w;
    }

    int Int() {
        int32_t x = static_cast<int32_t>(Word());
        if (x < 0) Fail("bad integer in %s");
        return x;
    }

    double Number() {
        double d;
        Ordered(&d, 8);
        return d;
    }

    void Size(int expected, const char* what) {
        int read = Byte();
        if (read != expected) {
            Fail("virtual machine mismatch in %s: size of %s is %d but read %d", mName, what,
                 expected, read);
        }
    }

    // A string, or null when the chunk says there is none.
    TString* String() {
        uint32_t n = Word();
        if (n == 0) return nullptr;
        Need(n);
        TString* s = luaS_newlstr(mL, reinterpret_cast<const char*>(mP), n - 1);
        mP += n;
        mLeft -= n;
        return s;
    }

    // A name the debug information shows: an absent one reads as the empty name.
    TString* Name() {
        TString* s = String();
        return s != nullptr ? s : luaS_newlstr(mL, "", 0);
    }

    TString* WideString() {
        uint32_t n = Word();
        if (n == 0) return nullptr;
        if (n > mLeft / 2) Fail("unexpected end of file in %s");
        std::u16string units(n - 1, u'\0');
        for (uint32_t i = 0; i + 1 < n; i++)
            Ordered(&units[i], 2);
        mP += 2;  // the terminating unit
        mLeft -= 2;
        return luaS_newlwstr(mL, units.data(), units.size());
    }

    void Lines(Proto* f) {
        int n = Count(4);
        f->lineinfo = luaM_newvector<int>(mL, n);
        f->sizelineinfo = n;
        for (int i = 0; i < n; i++)
            f->lineinfo[i] = static_cast<int32_t>(Word());
    }

    void Locals(Proto* f) {
        int n = Count(12);
        f->locvars = luaM_newvector<LocVar>(mL, n);
        f->sizelocvars = n;
        for (int i = 0; i < n; i++)
            f->locvars[i].varname = nullptr;
        for (int i = 0; i < n; i++) {
            f->locvars[i].varname = Name();
            f->locvars[i].startpc = Int();
            f->locvars[i].endpc = Int();
        }
    }

    void Upvalues(Proto* f) {
        int n = Int();
        if (n != 0 && n != f->nups) {
            Fail("bad nupvalues in %s: read %d; expected %d", mName, n, static_cast<int>(f->nups));
        }
        if (static_cast<size_t>(n) > mLeft / 4) Fail("unexpected end of file in %s");
        f->upvalues = luaM_newvector<TString*>(mL, n);
        f->sizeupvalues = n;
        for (int i = 0; i < n; i++)
            f->upvalues[i] = nullptr;
        for (int i = 0; i < n; i++)
            f->upvalues[i] = Name();
    }

    void Constants(Proto* f) {
        int n = Count(1);
        f->k = luaM_newvector<TValue>(mL, n);
        f->sizek = n;
        for (int i = 0; i < n; i++)
            setnilvalue(&f->k[i]);
        for (int i = 0; i < n; i++) {
            TValue* o = &f->k[i];
            int t = Byte();
            switch (t) {
                case LUA_TNIL:
                    break;
                case LUA_TNUMBER:
                    setnvalue(o, Number());
                    break;
                case LUA_TSTRING:
                case LUA_TWSTRING: {
                    // An absent string leaves the constant nil; the code checker refuses it
                    // where a name is needed.
                    TString* s = t == LUA_TSTRING ? String() : WideString();
                    if (s != nullptr) setsvalue(o, s);
                    break;
                }
                default:
                    Fail("bad constant type (%d) in %s", t, mName);
            }
        }
    }

    void Nested(Proto* f, int depth) {
        int n = Count(kMinFunctionSize);
        f->p = luaM_newvector<Proto*>(mL, n);
        f->sizep = n;
        for (int i = 0; i < n; i++)
            f->p[i] = nullptr;
        for (int i = 0; i < n; i++)
            f->p[i] = Function(f->source, depth + 1);
    }

    void Code(Proto* f) {
        int n = Count(4);
        f->code = luaM_newvector<Instruction>(mL, n);
        f->sizecode = n;
        for (int i = 0; i < n; i++) {
            f->code[i] = Word();
            // Run forms are made in memory only; a chunk holds the plain instructions.
            if (luaP_plain(f->code[i]) != f->code[i]) Fail("bad code in %s");
        }
    }

    lua_State* mL;
    const unsigned char* mP;
    size_t mLeft;
    const char* mName;
    const char* mChunkName;
    bool mSwap = false;
};

// Takes every byte the reader still has into buff; answers the count.
size_t gather(lua_State* L, Zio* z, ZBuffer* buff) {
    constexpr size_t kStep = 4096;
    size_t n = 0;
    for (;;) {
        char* b = luaZ_openspace(L, buff, luaM_checkedadd(L, n, kStep));
        size_t missing = luaZ_read(z, b + n, kStep);
        n += kStep - missing;
        if (missing > 0) return n;
    }
}

}  // namespace

Proto* luaU_undump(lua_State* L, Zio* z, ZBuffer* buff) {
    size_t size = gather(L, z, buff);
    ChunkReader reader(L, reinterpret_cast<const unsigned char*>(buff->buffer), size, z->name);
    reader.Header();
    return reader.Function(nullptr, 0);
}
