#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "luascript.h"
#include "script/lua/api.h"
#include "script/lua/compiler/opcodes.h"
#include "script/lua/compiler/undump.h"

namespace {

// Builds the bytes of a chunk in either byte order.
class Bytes {
public:
    explicit Bytes(bool big = false) : mBig(big) {}

    Bytes& Byte(int b) {
        mOut += static_cast<char>(b);
        return *this;
    }
    Bytes& Raw(const std::string& s) {
        mOut += s;
        return *this;
    }
    Bytes& Word(uint32_t w) { return Ordered(&w, 4); }
    Bytes& Int(int x) { return Word(static_cast<uint32_t>(x)); }
    Bytes& Number(double d) { return Ordered(&d, 8); }
    Bytes& Str(const std::string& s) {
        Word(static_cast<uint32_t>(s.size() + 1));
        mOut += s;
        mOut += '\0';
        return *this;
    }
    Bytes& NoStr() { return Word(0); }
    Bytes& Wide(const std::u16string& w) {
        Word(static_cast<uint32_t>(w.size() + 1));
        for (char16_t u : w)
            Ordered(&u, 2);
        char16_t zero = 0;
        return Ordered(&zero, 2);
    }
    Bytes& Header(int version = 0x50) {
        Raw("\x1bLua").Byte(version).Byte(mBig ? 0 : 1);
        Byte(4).Byte(4).Byte(4).Byte(6).Byte(8).Byte(9).Byte(9).Byte(8);
        return Number(31415926.535897933);
    }
    const std::string& Text() const { return mOut; }

private:
    Bytes& Ordered(const void* v, size_t n) {
        std::string b(static_cast<const char*>(v), n);
        if (mBig) b = std::string(b.rbegin(), b.rend());
        mOut += b;
        return *this;
    }

    bool mBig;
    std::string mOut;
};

int AppendPiece(lua_State*, const void* p, size_t size, void* data) {
    static_cast<std::string*>(data)->append(static_cast<const char*>(p), size);
    return 1;
}

class ChunkTest : public LuaScriptTest {
protected:
    // The binary chunk of code compiled under the chunk name "=g".
    std::string Dump(const std::string& code, bool bigEndian = false) {
        int top = lua_gettop(L);
        EXPECT_EQ(luaL_loadbuffer(L, code.data(), code.size(), "=g"), 0) << LuaValueText(L, -1);
        std::string out;
        Proto* p = static_cast<LClosure*>(clvalue(luaA_index(L, -1)))->p;
        EXPECT_TRUE(luaU_dump(L, p, AppendPiece, &out, bigEndian));
        lua_settop(L, top);
        return out;
    }
    // Loads a chunk and runs it: its results, or "error: " and the message.
    std::string Load(const std::string& chunk, const char* name = "=g") {
        int top = lua_gettop(L);
        int status = luaL_loadbuffer(L, chunk.data(), chunk.size(), name);
        if (status == 0) status = lua_pcall(L, 0, LUA_MULTRET, 0);
        std::string out;
        if (status != 0) {
            out = "error: " + LuaValueText(L, -1);
        } else {
            for (int i = top + 1; i <= lua_gettop(L); i++)
                out += (i > top + 1 ? ", " : "") + LuaValueText(L, i);
        }
        lua_settop(L, top);
        return out;
    }
};

TEST_F(ChunkTest, WholeSmallFunctionHasTheExpectedBytes) {
    const char* code = "local a = L\"w\" return function(x) return a end";
    Bytes expected;
    expected.Header();
    // The main function.
    expected.Str("=g").Int(0).Byte(0).Byte(0).Byte(0).Byte(2);
    expected.Int(5).Int(1).Int(1).Int(1).Int(1).Int(1);  // line info
    expected.Int(1).Str("a").Int(1).Int(4);              // locals
    expected.Int(0);                                     // upvalue names
    expected.Int(1).Byte(LUA_TWSTRING).Wide(u"w");       // constants
    expected.Int(1);                                     // nested functions
    {
        // function(x) return a end: the parent's source, line 1, one upvalue, one parameter.
        expected.NoStr().Int(1).Byte(1).Byte(1).Byte(0).Byte(2);
        expected.Int(3).Int(1).Int(1).Int(1);
        expected.Int(1).Str("x").Int(0).Int(2);
        expected.Int(1).Str("a");
        expected.Int(0);
        expected.Int(0);
        expected.Int(3);
        expected.Word(CREATE_ABC(OP_GETUPVAL, 1, 0, 0));
        expected.Word(CREATE_ABC(OP_RETURN, 1, 2, 0));
        expected.Word(CREATE_ABC(OP_RETURN, 0, 1, 0));
    }
    expected.Int(5);  // code comes last
    expected.Word(CREATE_ABx(OP_LOADK, 0, 0));
    expected.Word(CREATE_ABx(OP_CLOSURE, 1, 0));
    expected.Word(CREATE_ABC(OP_MOVE, 0, 0, 0));
    expected.Word(CREATE_ABC(OP_RETURN, 1, 2, 0));
    expected.Word(CREATE_ABC(OP_RETURN, 0, 1, 0));

    std::string chunk = Dump(code);
    EXPECT_EQ(chunk, expected.Text());
    EXPECT_EQ(chunk.substr(14, 8), std::string("\xb6\x09\x93\x68\xe7\xf5\x7d\x41", 8));
    // Bytes after the chunk are ignored; the nested function keeps its upvalue.
    std::string trailing = chunk + "more";
    ASSERT_EQ(luaL_loadbuffer(L, trailing.data(), trailing.size(), "=g"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    EXPECT_EQ(LuaValueText(L, -1), "L\"w\"");
    lua_settop(L, 0);
}

TEST_F(ChunkTest, BigEndianChunksAreSwappedOnLoading) {
    const char* code =
        "local t = {1.5, 'bytes', L\"\\x263Aw\", -7} "
        "local function f(a, b) return a .. b end "
        "return t[1], t[2], t[3], t[4], f('x', 'y')";
    std::string little = Dump(code);
    std::string big = Dump(code, true);
    ASSERT_EQ(big.size(), little.size());
    EXPECT_EQ(big[5], '\0');
    EXPECT_EQ(big.substr(22, 4), std::string("\x00\x00\x00\x03", 4));  // the source's size
    EXPECT_EQ(Load(big), "1.5, bytes, L\"\\x{263a}w\", -7, xy");
    EXPECT_EQ(Load(big), Load(little));

    // The units of a wide constant are swapped one by one, string bytes not at all.
    Bytes b(true);
    b.Header().Str("=s").Int(0).Byte(0).Byte(0).Byte(0).Byte(2).Int(0).Int(0).Int(0);
    b.Int(2).Byte(LUA_TWSTRING).Wide(u"\u263A").Byte(LUA_TSTRING).Str("ab").Int(0);
    b.Int(2).Word(CREATE_ABC(OP_RETURN, 0, 1, 0)).Word(CREATE_ABC(OP_RETURN, 0, 1, 0));
    std::string chunk = b.Text();
    EXPECT_NE(chunk.find(std::string("\x00\x00\x00\x02\x26\x3a\x00\x00", 8)), std::string::npos);
    EXPECT_EQ(Load(chunk), "");
}

TEST_F(ChunkTest, EmptyWideStringIsWrittenWithItsTerminator) {
    std::string chunk = Dump("return L\"\", 1");
    EXPECT_NE(chunk.find(std::string("\x09\x01\x00\x00\x00\x00\x00", 7)), std::string::npos);
    EXPECT_EQ(Load(chunk), "L\"\", 1");
    EXPECT_EQ(Run("return type(loadstring(string.dump(function() return L\"\" end))())"),
              "wstring");
}

// The header's checks, each with its message; the chunk name shows without "@" or "=".
TEST_F(ChunkTest, HeaderMessages) {
    std::string good = Dump("return 1");
    auto with = [&good](size_t at, char byte) {
        std::string c = good;
        c[at] = byte;
        return c;
    };
    EXPECT_EQ(Load(good), "1");
    EXPECT_EQ(Load(with(3, 'b')), "error: bad signature in g");
    EXPECT_EQ(Load(with(4, 0x51)), "error: g too new: read version 5.1; expected at most 5.0");
    EXPECT_EQ(Load(with(4, 0x40)), "error: g too old: read version 4.0; expected at least 5.0");
    const char* names[] = {"int", "size_t", "Instruction", "OP", "A", "B", "C", "number"};
    const int sizes[] = {4, 4, 4, 6, 8, 9, 9, 8};
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(Load(with(6 + static_cast<size_t>(i), 7)),
                  std::string("error: virtual machine mismatch in g: size of ") + names[i] +
                      " is " + std::to_string(sizes[i]) + " but read 7");
    }
    std::string number = good;
    double other = 31415927.0;
    memcpy(&number[14], &other, 8);
    EXPECT_EQ(Load(number), "error: unknown number format in g");
    double nearby = 31415926.25;  // only the integer part is compared
    memcpy(&number[14], &nearby, 8);
    EXPECT_EQ(Load(number), "1");

    EXPECT_EQ(Load(good.substr(0, 10)), "error: unexpected end of file in g");
    EXPECT_EQ(Load(good.substr(0, 2)), "error: unexpected end of file in g");
    EXPECT_EQ(Load(with(4, 0x51), "@dir/file.lua"),
              "error: dir/file.lua too new: read version 5.1; expected at most 5.0");
    EXPECT_EQ(Load(with(4, 0x51), "plain"),
              "error: plain too new: read version 5.1; expected at most 5.0");
    EXPECT_EQ(
        Run("local f, m = loadstring((string.gsub(string.dump(function() end), 'P', 'Q', 1))) "
            "return m"),
        "binary string too new: read version 5.1; expected at most 5.0");
    // Loading a binary chunk fails with a run-time status.
    EXPECT_EQ(luaL_loadbuffer(L, good.data(), 4, "=g"), LUA_ERRRUN);
    lua_settop(L, 0);
}

// A function body built by hand, with one field changed per case.
TEST_F(ChunkTest, BodyMessages) {
    struct Body {
        int nups = 0;
        int upvalueNames = 0;
        int localCount = 0;
        int constantType = LUA_TNUMBER;
        int codeCount = 1;
        Instruction code = CREATE_ABC(OP_RETURN, 0, 1, 0);
    };
    auto chunk = [](const Body& body) {
        Bytes b;
        b.Header().Str("=h").Int(0).Byte(body.nups).Byte(0).Byte(0).Byte(2).Int(0);
        b.Int(body.localCount);
        b.Int(body.upvalueNames);
        for (int i = 0; i < body.upvalueNames; i++)
            b.Str("u");
        b.Int(1).Byte(body.constantType);
        if (body.constantType == LUA_TNUMBER) b.Number(1);
        b.Int(0).Int(body.codeCount).Word(body.code);
        return b.Text();
    };
    EXPECT_EQ(Load(chunk(Body())), "");
    Body nups;
    nups.nups = 1;
    nups.upvalueNames = 2;
    EXPECT_EQ(Load(chunk(nups)), "error: bad nupvalues in g: read 2; expected 1");
    nups.upvalueNames = 1;
    EXPECT_EQ(Load(chunk(nups)), "");
    Body boolean;
    boolean.constantType = LUA_TBOOLEAN;
    EXPECT_EQ(Load(chunk(boolean)), "error: bad constant type (1) in g");
    Body table;
    table.constantType = LUA_TTABLE;
    EXPECT_EQ(Load(chunk(table)), "error: bad constant type (5) in g");
    Body negative;
    negative.localCount = -1;
    EXPECT_EQ(Load(chunk(negative)), "error: bad integer in g");
    Body huge;
    huge.localCount = 0x7FFFFFFF;
    EXPECT_EQ(Load(chunk(huge)), "error: unexpected end of file in g");
    Body badcode;
    badcode.code = CREATE_ABC(OP_MOVE, 0, 200, 0);
    EXPECT_EQ(Load(chunk(badcode)), "error: bad code in g");
    Body nocode;
    nocode.codeCount = 0;
    EXPECT_EQ(Load(chunk(nocode).substr(0, chunk(nocode).size() - 4)), "error: bad code in g");
}

// Every prefix of a chunk and every single-byte change of it loads or fails with a message;
// nothing is read outside the chunk (the sanitizer builds check that).
TEST_F(ChunkTest, DamagedChunksFailCleanly) {
    std::string good = Dump(
        "local t = {1, 'two', L\"three\"} local function f(a, ...) local b = a "
        "return function() return b, t, arg end end return f(1)");
    for (size_t n = 1; n < good.size(); n++) {  // (nothing at all is an empty source)
        std::string cut = good.substr(0, n);
        int status = luaL_loadbuffer(L, cut.data(), cut.size(), "=g");
        EXPECT_NE(status, 0) << n;
        lua_settop(L, 0);
    }
    for (size_t i = 0; i < good.size(); i++) {
        for (int mask : {0x01, 0x80, 0xFF}) {
            std::string bad = good;
            bad[i] = static_cast<char>(bad[i] ^ mask);
            int status = luaL_loadbuffer(L, bad.data(), bad.size(), "=g");
            if (status != 0) {
                EXPECT_EQ(lua_type(L, -1), LUA_TSTRING) << i;
            }
            lua_settop(L, 0);
        }
    }
}

TEST_F(ChunkTest, LuaDumpOnlyTakesLuaFunctionsWithoutUpvalues) {
    std::string out;
    lua_pushnumber(L, 1);
    EXPECT_EQ(lua_dump(L, AppendPiece, &out), 0);
    lua_pushcfunction(L, luaopen_base);
    EXPECT_EQ(lua_dump(L, AppendPiece, &out), 0);
    EXPECT_TRUE(out.empty());
    lua_settop(L, 0);
    ASSERT_EQ(luaL_loadbuffer(L, "return 7", 8, "=g"), 0);
    EXPECT_EQ(lua_dump(L, AppendPiece, &out), 1);
    EXPECT_EQ(out, Dump("return 7"));
    // A writer that refuses stops the dump.
    auto refuse = [](lua_State*, const void*, size_t, void*) { return 0; };
    EXPECT_EQ(lua_dump(L, refuse, nullptr), 0);
}

}  // namespace
