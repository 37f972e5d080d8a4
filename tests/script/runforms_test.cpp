// The run forms of arithmetic and order tests (opcodes.h) against the plain instructions they
// stand for: each program runs as compiled, which gives it run forms, and again with its code
// turned back to plain form, which takes the general path. Both must answer the expected text,
// errors and the names in them included.
#include <gtest/gtest.h>

#include <string>

#include "luascript.h"
#include "script/lua/api.h"
#include "script/lua/compiler/opcodes.h"

namespace {

class RunFormsTest : public LuaScriptTest {
protected:
    static int CountRunForms(const Proto* p) {
        int n = 0;
        for (int pc = 0; pc < p->sizecode; pc++)
            n += GET_OPCODE(p->code[pc]) >= NUM_OPCODES;
        for (int i = 0; i < p->sizep; i++)
            n += CountRunForms(p->p[i]);
        return n;
    }

    static void MakePlain(Proto* p) {
        for (int pc = 0; pc < p->sizecode; pc++)
            p->code[pc] = luaP_plain(p->code[pc]);
        for (int i = 0; i < p->sizep; i++)
            MakePlain(p->p[i]);
    }

    // Runs code once; with plain set, after turning its code back to plain form. Answers the
    // results as RunLuaChunk does, and the number of run forms the code held when it ran.
    std::string RunOnce(const std::string& code, bool plain, int* runForms) {
        int top = lua_gettop(L);
        int status = luaL_loadbuffer(L, code.data(), code.size(), "=test");
        if (status == 0) {
            Proto* p = static_cast<LClosure*>(clvalue(luaA_index(L, -1)))->p;
            if (plain) MakePlain(p);
            *runForms = CountRunForms(p);
            status = lua_pcall(L, 0, LUA_MULTRET, 0);
        }
        std::string out;
        if (status != 0) {
            out = "error: " + LuaValueText(L, -1);
        } else {
            for (int i = top + 1; i <= lua_gettop(L); i++) {
                if (i > top + 1) out += ", ";
                out += LuaValueText(L, i);
            }
        }
        lua_settop(L, top);
        return out;
    }

    template <size_t N>
    void ExpectBothPaths(const LuaCase (&cases)[N]) {
        for (const LuaCase& c : cases) {
            int runForms = 0;
            EXPECT_EQ(RunOnce(c.code, false, &runForms), c.result) << "run forms: " << c.code;
            EXPECT_GT(runForms, 0) << "no run form to test in: " << c.code;
            EXPECT_EQ(RunOnce(c.code, true, &runForms), c.result) << "plain: " << c.code;
            EXPECT_EQ(runForms, 0);
        }
    }
};

TEST_F(RunFormsTest, ArithmeticAgreesWithThePlainPath) {
    const LuaCase cases[] = {
        // Two registers, and a register with a number constant.
        {"local a, b = 7, 2 return a + b, a - b, a * b, a / b", "9, 5, 14, 3.5"},
        {"local a = 7 return a + 2, a - 2, a * 2, a / 2, a - -0.5", "9, 5, 14, 3.5, 7.5"},
        {"local a, z = 1, 0 return a / z, -a / z, (z / z) == (z / z), a / 0",
         "inf, -inf, false, inf"},
        // Numeric strings convert, in either operand and against a constant.
        {"local a, b = '7', ' 16 ' return a + b, a - 2, b * 2, a / '2'", "23, 5, 32, 3.5"},
        // Handlers of tables, and of the string type for a string that is no number.
        {"local mt = {__add = function(x, y) return 'add' end, __sub = function() return 'sub' end,"
         " __mul = function() return 'mul' end, __div = function(x, y) return y end}"
         " local t = setmetatable({}, mt) return t + 1, t - t, t * 2, t / 9",
         "add, sub, mul, 9"},
        {"local a = 1 local f = function() local s = a .. 'x' return s + 1 end return pcall(f)",
         "false, test:1: attempt to perform arithmetic on local `s' (a string value)"},
        // Errors name the operand: a local, a field and a global found by reading the code
        // back, across other run forms before it.
        {"local a, b = 1, nil return a + b",
         "error: test:1: attempt to perform arithmetic on local `b' (a nil value)"},
        {"local a, t = 1, {} local c = a * a return c - t.x",
         "error: test:1: attempt to perform arithmetic on field `x' (a nil value)"},
        {"local a = 2 local c = a / a return nothere * 2",
         "error: test:1: attempt to perform arithmetic on global `nothere' (a nil value)"},
        {"local t = {} return t / 2",
         "error: test:1: attempt to perform arithmetic on local `t' (a table value)"},
        // A loop of them, the result written over an operand.
        {"local s = 0 for i = 1, 10 do s = s + i * i - i / 2 end return s", "357.5"},
    };
    ExpectBothPaths(cases);
}

TEST_F(RunFormsTest, OrderTestsAgreeWithThePlainPath) {
    const LuaCase cases[] = {
        {"local a, b = 1, 2 return a < b, a <= b, b < a, b <= a, a <= a",
         "true, true, false, false, true"},
        {"local a = 1 return a < 2, a <= 1, a < 1, a <= 0.5", "true, true, false, false"},
        // As a jump in conditions, both ways.
        {"local k, n = 0, 0 while k < 10 do k = k + 1 if k <= 5 then n = n + k else n = n - 1 end "
         "end"
         " return k, n",
         "10, 10"},
        {"local n, o = 0/0, 1 return n < o, n <= o, o < n, o <= n, n < 1, n <= 1",
         "false, false, false, false, false, false"},
        // Strings compare by their bytes; a number and a string never compare.
        {"local a, b = 'a', 'b' return a < b, a <= b, b < a, b <= b", "true, true, false, true"},
        {"local s = 'a' return s < 1", "error: test:1: attempt to compare string with number"},
        {"local a, s = 1, '2' return a <= s",
         "error: test:1: attempt to compare number with string"},
        // Handlers: "__le" missing falls back on not "__lt" with the operands swapped.
        {"local mt = {__lt = function(x, y) return rawget(x, 1) < rawget(y, 1) end}"
         " local t, u = setmetatable({1}, mt), setmetatable({2}, mt) return t < u, u < t, t <= u, "
         "u <= t",
         "true, false, true, false"},
        {"local t = {} return t < 1", "error: test:1: attempt to compare table with number"},
    };
    ExpectBothPaths(cases);
}

TEST_F(RunFormsTest, BinaryChunksHoldThePlainInstructions) {
    // The dump writes plain code (a chunk with a run form is refused when loaded), and the
    // loaded function gets its own run forms again.
    const LuaCase cases[] = {
        {"local f = function(a, b) return a + b, a - 1, a < b, a <= 1 end"
         " local g = loadstring(string.dump(f)) return g(1, 2)",
         "3, 0, true, true"},
        {"local f = function(a) local s = 0 while a < 10 do a = a + 1 s = s + a * 2 end return s "
         "end"
         " return string.dump(f) == string.dump(loadstring(string.dump(f))), "
         "loadstring(string.dump(f))(0)",
         "true, 110"},
    };
    ExpectRuns(cases);
}

TEST_F(RunFormsTest, ChunkHoldingARunFormIsRefused) {
    const std::string code = "local a, b = 2, 3 return a * b";
    ASSERT_EQ(luaL_loadbuffer(L, code.data(), code.size(), "=test"), 0);
    std::string chunk;
    lua_dump(
        L,
        [](lua_State*, const void* p, size_t size, void* data) {
            static_cast<std::string*>(data)->append(static_cast<const char*>(p), size);
            return 0;
        },
        &chunk);
    lua_pop(L, 1);
    // The multiplication's word, in this machine's byte order, made its run form.
    Instruction mul = CREATE_ABC(OP_MUL, 2, 0, 1);
    Instruction run = (mul & ~static_cast<Instruction>((1u << SIZE_OP) - 1)) | OP_MUL_RR;
    size_t at = chunk.find(std::string(reinterpret_cast<const char*>(&mul), sizeof mul));
    ASSERT_NE(at, std::string::npos);
    int status = luaL_loadbuffer(L, chunk.data(), chunk.size(), "=plain");
    EXPECT_EQ(status, 0);
    lua_pop(L, 1);
    chunk.replace(at, sizeof run, reinterpret_cast<const char*>(&run), sizeof run);
    status = luaL_loadbuffer(L, chunk.data(), chunk.size(), "=patched");
    EXPECT_NE(status, 0);
    EXPECT_NE(LuaValueText(L, -1).find("bad code"), std::string::npos) << LuaValueText(L, -1);
    lua_pop(L, 1);
}

}  // namespace
