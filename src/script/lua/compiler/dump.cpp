// The binary chunk writer (layout in undump.h). Pieces are gathered in a small staging area
// and handed to the writer when it fills, so that writers that copy each piece (string buffers,
// growing heap blocks) see a few large pieces rather than many four-byte ones.

#include <bit>
#include <cstring>

#include "script/lua/compiler/opcodes.h"
#include "script/lua/compiler/undump.h"

namespace {

constexpr int kChunkVersion = 0x50;
constexpr double kTestNumber = 31415926.535897933;
constexpr size_t kStagingSize = 1024;

class ChunkWriter {
public:
    ChunkWriter(lua_State* L, lua_Chunkwriter writer, void* data, bool bigEndian)
        : mL(L), mWriter(writer), mData(data), mBigEndian(bigEndian) {}

    bool Finish() {
        Flush();
        return !mFailed;
    }

    void Header() {
        Bytes("\x1bLua", 4);
        Byte(kChunkVersion);
        Byte(mBigEndian ? 0 : 1);
        Byte(4);  // int
        Byte(4);  // size_t
        Byte(4);  // Instruction
        Byte(SIZE_OP);
        Byte(SIZE_A);
        Byte(SIZE_B);
        Byte(SIZE_C);
        Byte(8);  // number
        Number(kTestNumber);
    }

    void Function(const Proto* f, const TString* parentSource) {
        String(f->source == parentSource ? nullptr : f->source);
        Int(f->lineDefined);
        Byte(f->nups);
        Byte(f->numparams);
        Byte(f->is_vararg);
        Byte(f->maxstacksize);
        Int(f->sizelineinfo);
        for (int i = 0; i < f->sizelineinfo; i++)
            Int(f->lineinfo[i]);
        Int(f->sizelocvars);
        for (int i = 0; i < f->sizelocvars; i++) {
            String(f->locvars[i].varname);
            Int(f->locvars[i].startpc);
            Int(f->locvars[i].endpc);
        }
        Int(f->sizeupvalues);
        for (int i = 0; i < f->sizeupvalues; i++)
            String(f->upvalues[i]);
        Constants(f);
        Int(f->sizep);
        for (int i = 0; i < f->sizep; i++)
            Function(f->p[i], f->source);
        Int(f->sizecode);
        for (int i = 0; i < f->sizecode; i++)
            Word(luaP_plain(f->code[i]));  // a chunk holds no run forms
    }

private:
    void Constants(const Proto* f) {
        Int(f->sizek);
        for (int i = 0; i < f->sizek; i++) {
            const TValue* o = &f->k[i];
            // Only these kinds are ever constants; any other tag is written alone, and the
            // reader refuses it.
            Byte(ttype(o));
            switch (ttype(o)) {
                case LUA_TNUMBER:
                    Number(nvalue(o));
                    break;
                case LUA_TSTRING:
                    String(tsvalue(o));
                    break;
                case LUA_TWSTRING:
                    WideString(tsvalue(o));
                    break;
                default:
                    break;
            }
        }
    }

    void Bytes(const void* b, size_t n) {
        const char* p = static_cast<const char*>(b);
        while (n > 0 && !mFailed) {
            if (mUsed == kStagingSize) Flush();
            size_t m = kStagingSize - mUsed < n ? kStagingSize - mUsed : n;
            memcpy(mStaging + mUsed, p, m);
            mUsed += m;
            p += m;
            n -= m;
        }
    }

    void Flush() {
        if (mUsed > 0 && !mFailed && mWriter(mL, mStaging, mUsed, mData) == 0) mFailed = true;
        mUsed = 0;
    }

    void Byte(int b) {
        unsigned char c = static_cast<unsigned char>(b);
        Bytes(&c, 1);
    }

    // A multi-byte value in the chunk's byte order.
    void Ordered(const void* value, size_t n) {
        unsigned char bytes[8];
        memcpy(bytes, value, n);
        if (mBigEndian == (std::endian::native == std::endian::little)) {
            for (size_t i = 0; i < n / 2; i++) {
                unsigned char t = bytes[i];
                bytes[i] = bytes[n - 1 - i];
                bytes[n - 1 - i] = t;
            }
        }
        Bytes(bytes, n);
    }

    void Word(uint32_t w) { Ordered(&w, 4); }
    void Int(int x) { Word(static_cast<uint32_t>(x)); }
    void Number(double d) { Ordered(&d, 8); }

    void String(const TString* s) {
        if (s == nullptr) {
            Word(0);
            return;
        }
        Word(s->len + 1);
        Bytes(getstr(s), s->len + 1);
    }

    void WideString(const TString* s) {
        Word(s->len + 1);
        const char16_t* units = getwstr(s);
        for (uint32_t i = 0; i <= s->len; i++)
            Ordered(&units[i], 2);
    }

    lua_State* mL;
    lua_Chunkwriter mWriter;
    void* mData;
    bool mBigEndian;
    bool mFailed = false;
    size_t mUsed = 0;
    char mStaging[kStagingSize];
};

}  // namespace

bool luaU_dump(lua_State* L, const Proto* f, lua_Chunkwriter writer, void* data, bool bigEndian) {
    ChunkWriter w(L, writer, data, bigEndian);
    w.Header();
    w.Function(f, nullptr);
    return w.Finish();
}
