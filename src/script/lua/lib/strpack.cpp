// string.pack and string.unpack: values to and from binary records. Each format code may be
// followed by a decimal count (missing or 0: 1), saturated at the int range:
//
//   z  string and a zero byte      p  string after a 1-byte length
//   P  string after a 2-byte length a  string after a 4-byte length
//   A  string alone (unpack: count is its length)
//   f d n  float, double, Lua number (a double)
//   c b  signed, unsigned byte     h H  signed, unsigned 16 bits
//   i I l L  signed, unsigned 32 bits (int and long are both 32 bits here)
//   B  a boolean as one byte 1 or 0
//   < > =  little-endian, big-endian, native (little-endian) for what follows
//   " " ","  ignored
//   w  before z p P a A: a wide string; lengths count 16-bit units, z ends with a zero unit,
//      units follow the byte order
//   @count[:fill]  pack only: opens a field padded to count bytes with the fill byte (kept to
//      8 bits; default 0); the next "@" closes it
//
// Unpack answers the position after the last value read, then the values. It reads nothing
// outside the data: a field that does not fit in what is left (a length prefix or an "A"
// count past the end, a "z" without its terminator, a wide field whose units would end in a
// lone byte) ends the data quietly, as does a start position below 1 or past the end.

#include <cstring>
#include <string>

#include "script/lua/lib/auxlib.h"
#include "script/lua/numconv.h"
#include "script/lua/lib/strlib.h"

namespace {

constexpr int kMaxCount = 0x7FFFFFFF;

bool isdigitc(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number at f (advanced past it), saturated; -1 when there are no digits.
int readnumber(const char** f) {
    if (!isdigitc(**f)) return -1;
    int64_t n = 0;
    while (isdigitc(**f)) {
        n = n * 10 + (*(*f)++ - '0');
        if (n > kMaxCount) n = kMaxCount;
    }
    return static_cast<int>(n);
}

int readcount(const char** f) {
    int n = readnumber(f);
    return n <= 0 ? 1 : n;
}

[[noreturn]] void badcode(lua_State* L, int formatArg, char c) {
    char s[] = "bad code `?'";
    s[sizeof(s) - 3] = c;
    luaL_argerror(L, formatArg, s);
    __builtin_unreachable();
}

// One parsed code: its character, whether a "w" came first, and its count.
struct Code {
    char c;
    bool wide;
    int count;
};

Code nextcode(lua_State* L, int formatArg, const char** f) {
    Code code{*(*f)++, false, 1};
    if (code.c == 'w') {
        if (**f == '\0' || strchr("zpPaA", **f) == nullptr) badcode(L, formatArg, 'w');
        code.c = *(*f)++;
        code.wide = true;
    }
    code.count = readcount(f);
    return code;
}

// Sets the byte order for a "<", ">" or "=" code; false for any other code.
bool setorder(char c, bool* big) {
    switch (c) {
        case '<':
        case '=':
            *big = false;
            return true;
        case '>':
            *big = true;
            return true;
        default:
            return false;
    }
}

class Packer {
public:
    explicit Packer(lua_State* L) { luaL_buffinit(L, &mB); }

    void Add(const char* s, size_t n) {
        luaL_addlstring(&mB, s, n);
        mSize += n;
    }
    void Int(uint32_t value, int size) {
        char bytes[4];
        for (int k = 0; k < size; k++) {
            int shift = 8 * (mBig ? size - 1 - k : k);
            bytes[k] = static_cast<char>((value >> shift) & 0xFF);
        }
        Add(bytes, static_cast<size_t>(size));
    }
    void Double(double d) {
        uint64_t bits;
        memcpy(&bits, &d, 8);
        uint32_t low = static_cast<uint32_t>(bits);
        uint32_t high = static_cast<uint32_t>(bits >> 32);
        Int(mBig ? high : low, 4);
        Int(mBig ? low : high, 4);
    }
    void Units(const char16_t* w, size_t n) {
        for (size_t k = 0; k < n; k++)
            Int(w[k], 2);
    }
    void Fill(char fill, size_t n) {
        char block[64];
        memset(block, fill, sizeof block);
        while (n > 0) {
            size_t m = n < sizeof block ? n : sizeof block;
            Add(block, m);
            n -= m;
        }
    }
    void Finish() { luaL_pushresult(&mB); }

    size_t Size() const { return mSize; }
    bool* Big() { return &mBig; }

private:
    luaL_Buffer mB;
    size_t mSize = 0;
    bool mBig = false;
};

// A string argument with its length prefix of prefixSize bytes (0: none).
void packstring(lua_State* L, Packer* out, int arg, const Code& code, int prefixSize) {
    size_t l;
    const char16_t* w = nullptr;
    const char* s = nullptr;
    if (code.wide) {
        w = luaL_checkwstring(L, arg, &l);
    } else {
        s = luaL_checklstring(L, arg, &l);
    }
    if (prefixSize > 0) {
        // A length that does not fit its prefix would make the record unreadable.
        uint64_t limit = prefixSize == 4 ? 0xFFFFFFFFu : (1u << (8 * prefixSize)) - 1;
        luaL_argcheck(L, l <= limit, arg, "string too long");
        out->Int(static_cast<uint32_t>(l), prefixSize);
    }
    if (code.wide) {
        out->Units(w, l);
        if (code.c == 'z') out->Int(0, 2);
    } else {
        out->Add(s, l);
        if (code.c == 'z') out->Add("", 1);
    }
}

void packone(lua_State* L, Packer* out, int arg, const Code& code) {
    switch (code.c) {
        case 'z':
        case 'A':
            packstring(L, out, arg, code, 0);
            break;
        case 'p':
            packstring(L, out, arg, code, 1);
            break;
        case 'P':
            packstring(L, out, arg, code, 2);
            break;
        case 'a':
            packstring(L, out, arg, code, 4);
            break;
        case 'f': {
            float f = static_cast<float>(luaL_checknumber(L, arg));
            uint32_t bits;
            memcpy(&bits, &f, 4);
            out->Int(bits, 4);
            break;
        }
        case 'd':
        case 'n':
            out->Double(luaL_checknumber(L, arg));
            break;
        case 'c':
        case 'b':
            out->Int(luaO_wrapuint(luaL_checknumber(L, arg)), 1);
            break;
        case 'h':
        case 'H':
            out->Int(luaO_wrapuint(luaL_checknumber(L, arg)), 2);
            break;
        case 'i':
        case 'I':
        case 'l':
        case 'L':
            out->Int(luaO_wrapuint(luaL_checknumber(L, arg)), 4);
            break;
        case 'B':
            if (!lua_isboolean(L, arg)) luaL_error(L, "expected a boolean");
            out->Int(lua_toboolean(L, arg) ? 1 : 0, 1);
            break;
        default:
            badcode(L, 1, code.c);
    }
}

class Unpacker {
public:
    Unpacker(lua_State* L, const char* s, size_t len, size_t pos)
        : mL(L), mS(reinterpret_cast<const unsigned char*>(s)), mLen(len), mPos(pos) {}

    size_t Left() const { return mPos < mLen ? mLen - mPos : 0; }
    size_t Position() const { return mPos; }
    bool* Big() { return &mBig; }

    // Each answers false, reading nothing, when its field does not fit.
    bool Int(int size, uint32_t* value) {
        if (static_cast<size_t>(size) > Left()) return false;
        *value = static_cast<uint32_t>(Take(size));
        return true;
    }
    bool Double(double* d) {
        if (Left() < 8) return false;
        uint64_t bits = Take(8);
        memcpy(d, &bits, 8);
        return true;
    }
    // Pushes count bytes, or count units for a wide field.
    bool String(size_t count, bool wide) {
        if (wide) {
            if (count > Left() / 2) return false;
            std::u16string units(count, u'\0');
            for (size_t k = 0; k < count; k++)
                units[k] = static_cast<char16_t>(Take(2));
            lua_pushlwstring(mL, units.data(), units.size());
        } else {
            if (count > Left()) return false;
            lua_pushlstring(mL, reinterpret_cast<const char*>(mS + mPos), count);
            mPos += count;
        }
        return true;
    }
    // A string up to its terminator, which is passed over.
    bool Terminated(bool wide) {
        size_t count = 0;
        if (wide) {
            size_t units = Left() / 2;
            for (;; count++) {
                if (count == units) return false;
                const unsigned char* u = mS + mPos + 2 * count;
                if (u[0] == 0 && u[1] == 0) break;
            }
        } else {
            const void* zero = memchr(mS + mPos, 0, Left());
            if (zero == nullptr) return false;
            count = static_cast<size_t>(static_cast<const unsigned char*>(zero) - (mS + mPos));
        }
        String(count, wide);
        mPos += wide ? 2 : 1;  // the terminator
        return true;
    }
    bool Prefixed(int prefixSize, bool wide) {
        size_t start = mPos;
        uint32_t count;
        if (!Int(prefixSize, &count) || !String(count, wide)) {
            mPos = start;  // the length is not taken alone
            return false;
        }
        return true;
    }

private:
    // The next size bytes (already known to be there) as an integer in the byte order.
    uint64_t Take(int size) {
        uint64_t v = 0;
        for (int k = 0; k < size; k++) {
            int shift = 8 * (mBig ? size - 1 - k : k);
            v |= static_cast<uint64_t>(mS[mPos + k]) << shift;
        }
        mPos += static_cast<size_t>(size);
        return v;
    }

    lua_State* mL;
    const unsigned char* mS;
    size_t mLen;
    size_t mPos;
    bool mBig = false;
};

// Pushes one value; false when the data ended first.
bool unpackone(lua_State* L, Unpacker* in, const Code& code) {
    uint32_t v;
    double d;
    switch (code.c) {
        case 'z':
            return in->Terminated(code.wide);
        case 'p':
            return in->Prefixed(1, code.wide);
        case 'P':
            return in->Prefixed(2, code.wide);
        case 'a':
            return in->Prefixed(4, code.wide);
        case 'f': {
            if (!in->Int(4, &v)) return false;
            float f;
            memcpy(&f, &v, 4);
            lua_pushnumber(L, f);
            return true;
        }
        case 'd':
        case 'n':
            if (!in->Double(&d)) return false;
            lua_pushnumber(L, d);
            return true;
        case 'c':
            if (!in->Int(1, &v)) return false;
            lua_pushnumber(L, static_cast<int8_t>(v));
            return true;
        case 'b':
            if (!in->Int(1, &v)) return false;
            lua_pushnumber(L, v);
            return true;
        case 'h':
            if (!in->Int(2, &v)) return false;
            lua_pushnumber(L, static_cast<int16_t>(v));
            return true;
        case 'H':
            if (!in->Int(2, &v)) return false;
            lua_pushnumber(L, v);
            return true;
        case 'i':
        case 'l':
            if (!in->Int(4, &v)) return false;
            lua_pushnumber(L, static_cast<int32_t>(v));
            return true;
        case 'I':
        case 'L':
            if (!in->Int(4, &v)) return false;
            lua_pushnumber(L, v);
            return true;
        case 'B':
            if (!in->Int(1, &v)) return false;
            lua_pushboolean(L, v != 0);
            return true;
        default:
            badcode(L, 2, code.c);
    }
}

}  // namespace

int str_pack(lua_State* L) {
    const char* f = luaL_checkstring(L, 1);
    int arg = 2;
    Packer out(L);
    bool fieldOpen = false;
    size_t fieldStart = 0;
    size_t fieldSize = 0;
    char fill = 0;
    while (*f != '\0') {
        Code code = nextcode(L, 1, &f);
        if (setorder(code.c, out.Big()) || code.c == ' ' || code.c == ',') continue;
        if (code.c == '@') {
            int fillValue = 0;
            if (*f == ':') {
                f++;
                fillValue = readnumber(&f);
                if (fillValue < 0) fillValue = 0;
            }
            if (!fieldOpen) {
                fieldOpen = true;
                fieldStart = out.Size();
                fieldSize = static_cast<size_t>(code.count);
                fill = static_cast<char>(fillValue & 0xFF);
            } else {
                fieldOpen = false;
                size_t used = out.Size() - fieldStart;
                if (used < fieldSize) out.Fill(fill, fieldSize - used);
            }
            continue;
        }
        for (int k = 0; k < code.count; k++)
            packone(L, &out, arg++, code);
    }
    out.Finish();
    return 1;
}

int str_unpack(lua_State* L) {
    size_t len;
    const char* s = luaL_checklstring(L, 1, &len);
    const char* f = luaL_checkstring(L, 2);
    int start = luaL_optint(L, 3, 1);
    if (start < 1) {
        lua_pushnumber(L, start);
        return 1;
    }
    Unpacker in(L, s, len, static_cast<size_t>(start) - 1);
    int n = 0;
    lua_pushnil(L);  // the place of the position, which goes before the values
    // Absolute: past some ten thousand values a relative index would read as a pseudo-index.
    int positionIndex = lua_gettop(L);
    while (*f != '\0') {
        Code code = nextcode(L, 2, &f);
        if (setorder(code.c, in.Big()) || code.c == ' ' || code.c == ',') continue;
        if (code.c == 'A') {
            if (!in.String(static_cast<size_t>(code.count), code.wide)) break;
            n++;
            continue;
        }
        bool ended = false;
        for (int k = 0; k < code.count; k++) {
            if (!unpackone(L, &in, code)) {
                ended = true;
                break;
            }
            n++;
        }
        if (ended) break;
    }
    lua_pushnumber(L, static_cast<lua_Number>(in.Position() + 1));
    lua_replace(L, positionIndex);
    return n + 1;
}
