#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "luascript.h"
#include "script/lua/calls.h"
#include "script/lua/compiler/lexer.h"
#include "script/lua/stringtable.h"

namespace {

struct LexJob {
    std::string bytes;
    bool wide;
    bool delivered;
    std::vector<std::string> tokens;
};

const char* ReadAll(lua_State*, void* data, size_t* size) {
    LexJob* job = static_cast<LexJob*>(data);
    if (job->delivered || job->bytes.empty()) return nullptr;
    job->delivered = true;
    *size = job->bytes.size();
    return job->bytes.data();
}

std::string Describe(LexState* ls, const Token& t) {
    char buf[64];
    switch (t.token) {
        case TK_NAME:
            return "name:" + std::string(getstr(t.seminfo.ts));
        case TK_NUMBER: {
            char num[32];
            snprintf(num, sizeof num, "%.14g", t.seminfo.r);
            return std::string("number:") + num;
        }
        case TK_STRING: {
            std::string s = "string:";
            for (uint32_t i = 0; i < t.seminfo.ts->len; i++) {
                unsigned char c = static_cast<unsigned char>(getstr(t.seminfo.ts)[i]);
                if (c >= 32 && c < 127) {
                    s += static_cast<char>(c);
                } else {
                    snprintf(buf, sizeof buf, "\\%d", c);
                    s += buf;
                }
            }
            return s;
        }
        case TK_WSTRING: {
            std::string s = "wstring:";
            for (uint32_t i = 0; i < t.seminfo.ts->len; i++) {
                snprintf(buf, sizeof buf, "%s%x", i > 0 ? " " : "", getwstr(t.seminfo.ts)[i]);
                s += buf;
            }
            return s;
        }
        default:
            if (t.token < FIRST_RESERVED && (t.token < 32 || t.token >= 127)) {
                snprintf(buf, sizeof buf, "char:%d", t.token);
                return buf;
            }
            return luaX_token2str(ls, t.token);
    }
}

// Frees the lexer's buffers however the run ends.
struct Buffers {
    lua_State* L;
    ZBuffer buff;
    ZBuffer wbuff;
    explicit Buffers(lua_State* state) : L(state) {
        luaZ_initbuffer(&buff);
        luaZ_initbuffer(&wbuff);
    }
    ~Buffers() {
        luaZ_freebuffer(L, &buff);
        luaZ_freebuffer(L, &wbuff);
    }
};

int LexAll(lua_State* L) {
    LexJob* job = static_cast<LexJob*>(lua_touserdata(L, 1));
    Zio z;
    luaZ_init(L, &z, ReadAll, job, "=lex");
    z.wide = job->wide;
    Buffers buffers(L);
    LexState ls;
    ls.buff = &buffers.buff;
    ls.wbuff = &buffers.wbuff;
    luaX_setinput(L, &ls, &z, luaS_new(L, "=lex"));
    for (;;) {
        luaX_next(&ls);
        if (ls.t.token == TK_EOS) break;
        job->tokens.push_back(Describe(&ls, ls.t));
    }
    return 0;
}

// UTF-16 little-endian bytes of the units.
std::string Wide(const std::u16string& units) {
    std::string bytes;
    for (char16_t u : units) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

class LexerTest : public LuaScriptTest {
protected:
    // The tokens of the input, each described as kind:value; an error ends the list with
    // "error: <message>".
    std::vector<std::string> Lex(const std::string& bytes, bool wide = false) {
        LexJob job{bytes, wide, false, {}};
        if (lua_cpcall(L, LexAll, &job) != 0) {
            job.tokens.push_back("error: " + LuaValueText(L, -1));
            lua_pop(L, 1);
        }
        return job.tokens;
    }
    using Tokens = std::vector<std::string>;
    struct LexCase {
        std::string source;
        Tokens tokens;
    };

    template <size_t N>
    void ExpectTokens(const LexCase (&cases)[N]) {
        for (const LexCase& c : cases) {
            EXPECT_EQ(Lex(c.source), c.tokens) << c.source;
        }
    }
};

TEST_F(LexerTest, Numerals) {
    const LexCase cases[] = {
        {"0xff", {"number:255"}},
        {"0xFFFFFFFF", {"number:4294967295"}},
        {"0x00000000ff", {"number:0", "name:ff"}},
        {"0x123456789", {"number:305419896", "number:9"}},
        {"0X10", {"number:0", "name:X10"}},
        {"0xaBcD", {"number:43981"}},
        {"12 3.5 .5 1e3 2.5E-1 1e+2 007",
         {"number:12", "number:3.5", "number:0.5", "number:1000", "number:0.25", "number:100",
          "number:7"}},
        {"5..",
         {"error: lex:1: ambiguous syntax (decimal point x string concatenation) near `5..'"}},
        {"1.2.3", {"number:1.2", "number:0.3"}},
        {"1e+", {"error: lex:1: malformed number near `1e+'"}},
        {"3e", {"error: lex:1: malformed number near `3e'"}},
        // "0x" needs a digit; the character after it is not taken.
        {"0x", {"error: lex:1: malformed integer near `0x'"}},
        {"f(0x)", {"name:f", "(", "error: lex:1: malformed integer near `0x'"}},
        {"0xg", {"error: lex:1: malformed integer near `0x'"}},
    };
    ExpectTokens(cases);
}

TEST_F(LexerTest, Strings) {
    const LexCase cases[] = {
        {R"("\x41")", {"string:A"}},
        {R"("\x4" '\x4g')", {"string:\\4", "string:\\4g"}},
        {R"("\xg")", {"string:xg"}},  // no digit: the letter itself
        {R"("\065\10\0")", {"string:A\\10\\0"}},
        {R"("\a\b\f\n\r\t\v\\\"\'\q")", {"string:\\7\\8\\12\\10\\13\\9\\11\\\"'q"}},
        {"\"a\\\nb\"", {"string:a\\10b"}},
        {R"("\256")", {"error: lex:1: escape sequence too large near `\"'"}},
        {"\"abc\n\"", {"error: lex:1: unfinished string near `\"abc'"}},
        {"'abc", {"error: lex:1: unfinished string near `<eof>'"}},
        {"[[\nline1\n[[in]] ]]", {"string:line1\\10[[in]] "}},
        {"[[abc", {"error: lex:1: unfinished long string near `<eof>'"}},
        {"--[[ long\ncomment ]] x -- rest\ny", {"name:x", "name:y"}},
        {"--[[ open", {"error: lex:1: unfinished long comment near `<eof>'"}},
    };
    ExpectTokens(cases);
}

TEST_F(LexerTest, WideStringLiterals) {
    const LexCase cases[] = {
        {R"(L"\x263A")", {"wstring:263a"}},
        {R"(L"\x41\x4")", {"wstring:41 4"}},
        {R"(L"ab\255")", {"wstring:61 62 ff"}},
        {R"(L"")", {"wstring:"}},
        {R"(L"\300")", {"error: lex:1: escape sequence too large near `L\"'"}},
        {"Llama", {"name:Llama"}},
        {"L 'x'", {"name:L", "string:x"}},
        {"L'x'", {"name:L", "string:x"}},  // only the double quote opens a wide literal
        {"L", {"name:L"}},
    };
    ExpectTokens(cases);
}

TEST_F(LexerTest, OperatorsNamesAndCharacters) {
    const LexCase cases[] = {
        {"a<<2", {"name:a", "<<", "number:2"}},
        {"a< <2", {"name:a", "<", "<", "number:2"}},
        {"a>>b>=c<=d==e~=f",
         {"name:a", ">>", "name:b", ">=", "name:c", "<=", "name:d", "==", "name:e",
          "~=", "name:f"}},
        {"& | ^ .. ... ~", {"&", "|", "^", "..", "...", "~"}},
        {"continue break while", {"continue", "break", "while"}},
        {"_x9 x_ X", {"name:_x9", "name:x_", "name:X"}},
        // Only ASCII letters start a name: other bytes are tokens of their own.
        {"\x80", {"char:128"}},
        {"a\xe9", {"name:a", "char:233"}},
        {"\xff", {"error: lex:1: invalid wide char near `char(255)'"}},
        {std::string("a\x01"), {"name:a", "error: lex:1: invalid control char near `char(1)'"}},
        {"\x7f", {"error: lex:1: invalid control char near `char(127)'"}},
        {"a\r\n\t\v\fb", {"name:a", "name:b"}},
        {"#!/bin/lua\nx", {"name:x"}},
    };
    ExpectTokens(cases);
}

TEST_F(LexerTest, WideInput) {
    // Every character is a 16-bit unit.
    EXPECT_EQ(Lex(Wide(u"x = 0x1F .. \"a\""), true),
              (Tokens{"name:x", "=", "number:31", "..", "string:a"}));
    EXPECT_EQ(Lex(Wide(u"\u4E2D"), true),
              Tokens{"error: lex:1: invalid wide char near `char(20013)'"});
    // A byte string keeps the low byte of each unit, a wide literal the whole unit.
    EXPECT_EQ(Lex(Wide(u"'\u4E2D' L\"\u4E2D\\x4E2D\""), true),
              (Tokens{"string:-", "wstring:4e2d 4e2d"}));
    EXPECT_EQ(Lex(Wide(u"\u00e9"), true), Tokens{"char:233"});
    // A unit cut short by the end of the input ends it.
    EXPECT_EQ(Lex(Wide(u"ab") + "c", true), Tokens{"name:ab"});
}

TEST_F(LexerTest, ErrorsGiveTheLine) {
    EXPECT_EQ(Lex("a\n\nb \"x\n"),
              (Tokens{"name:a", "name:b", "error: lex:3: unfinished string near `\"x'"}));
    EXPECT_EQ(Lex("[[a\nb\nc"), Tokens{"error: lex:3: unfinished long string near `<eof>'"});
}

TEST_F(LexerTest, SourceWithByteOrderMarkIsWide) {
    std::string source = "\xFF\xFE" + Wide(u"local s = L\"\u4E2D\" return s, 0x10");
    int status = luaL_loadbuffer(L, source.data(), source.size(), "=bom");
    ASSERT_EQ(status, 0) << LuaValueText(L, -1);
    ASSERT_EQ(lua_pcall(L, 0, 2, 0), 0);
    EXPECT_EQ(LuaValueText(L, -2), "L\"\\x{4e2d}\"");
    EXPECT_EQ(LuaValueText(L, -1), "16");
    lua_settop(L, 0);
    // Only the mark makes a source wide: these bytes are read one by one.
    EXPECT_EQ(Run("\xFE\xFFreturn 1"), "error: test:1: unexpected symbol near `\xFE'");
    EXPECT_EQ(Run("\xFF"), "error: test:1: invalid wide char near `char(255)'");
    EXPECT_EQ(Run("\xFF\xFE"), "");
}

struct Pieces {
    std::string bytes;
    size_t at;
    char piece;
};

// Hands out one byte at a time.
const char* ReadByteByByte(lua_State*, void* data, size_t* size) {
    Pieces* p = static_cast<Pieces*>(data);
    if (p->at >= p->bytes.size()) return nullptr;
    p->piece = p->bytes[p->at++];
    *size = 1;
    return &p->piece;
}

TEST_F(LexerTest, ChunksReadInSmallPieces) {
    Pieces narrow{"local t = {[[long\nstring]], 0x1F, L\"w\"} return t[1], t[2]", 0, 0};
    ASSERT_EQ(lua_load(L, ReadByteByByte, &narrow, "=pieces"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 2, 0), 0);
    EXPECT_EQ(LuaValueText(L, -2), "long\nstring");
    EXPECT_EQ(LuaValueText(L, -1), "31");
    lua_settop(L, 0);

    Pieces wide{"\xFF\xFE" + Wide(u"return L\"\u4E2D\", 2"), 0, 0};
    ASSERT_EQ(lua_load(L, ReadByteByByte, &wide, "=pieces"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 2, 0), 0);
    EXPECT_EQ(LuaValueText(L, -2), "L\"\\x{4e2d}\"");
    EXPECT_EQ(LuaValueText(L, -1), "2");
    lua_settop(L, 0);

    // Without a chunk name the messages say "?".
    Pieces bad{"x = = 1", 0, 0};
    EXPECT_EQ(lua_load(L, ReadByteByByte, &bad, nullptr), LUA_ERRSYNTAX);
    EXPECT_EQ(LuaValueText(L, -1), "[string \"?\"]:1: unexpected symbol near `='");
    lua_settop(L, 0);
    // A binary chunk's failures are run-time errors.
    Pieces binary{"\x1BLua", 0, 0};
    EXPECT_EQ(lua_load(L, ReadByteByByte, &binary, "=bin"), LUA_ERRRUN);
    EXPECT_EQ(LuaValueText(L, -1), "unexpected end of file in bin");
}

}  // namespace
