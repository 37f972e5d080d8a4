#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "luascript.h"
#include "script/lua/api.h"
#include "script/lua/debuginfo.h"
#include "script/lua/compiler/opcodes.h"

namespace {

class CodegenTest : public LuaScriptTest {
protected:
    // Compiles code and answers its main prototype (kept alive on the stack).
    Proto* Main(const std::string& code) {
        int status = luaL_loadbuffer(L, code.data(), code.size(), "=gen");
        EXPECT_EQ(status, 0) << LuaValueText(L, -1);
        if (status != 0) return nullptr;
        return static_cast<LClosure*>(clvalue(luaA_index(L, -1)))->p;
    }

    // The instructions as "OP a b c" ("OP a bx" / "OP a sbx"); constant operands as "K<n>".
    static std::vector<std::string> Listing(const Proto* p) {
        std::vector<std::string> out;
        for (int pc = 0; pc < p->sizecode; pc++) {
            Instruction i = luaP_plain(p->code[pc]);
            OpCode op = GET_OPCODE(i);
            const OpMode& mode = luaP_opmodes[op];
            auto operand = [](OpArg kind, int x) {
                char buf[16];
                if (kind == OpArgK && ISK(x)) {
                    snprintf(buf, sizeof buf, " K%d", x - MAXSTACK);
                } else {
                    snprintf(buf, sizeof buf, " %d", x);
                }
                return std::string(buf);
            };
            std::string line = luaP_opnames[op];
            line += operand(OpArgR, GETARG_A(i));
            switch (mode.format) {
                case iABC:
                    line += operand(mode.b, GETARG_B(i));
                    line += operand(mode.c, GETARG_C(i));
                    break;
                case iABx:
                    line += operand(OpArgU, GETARG_Bx(i));
                    break;
                case iAsBx:
                    line += operand(OpArgU, GETARG_sBx(i));
                    break;
            }
            out.push_back(line);
        }
        return out;
    }

    static int Count(const Proto* p, OpCode op) {
        int n = 0;
        for (int pc = 0; pc < p->sizecode; pc++)
            n += GET_OPCODE(luaP_plain(p->code[pc])) == op;
        return n;
    }
};

TEST_F(CodegenTest, WideAndNarrowStringsAreSeparateConstants) {
    Proto* p = Main("x = L\"abc\"; y = \"abc\"; z = L\"abc\"");
    ASSERT_NE(p, nullptr);
    int wide = 0;
    int narrow = 0;
    for (int i = 0; i < p->sizek; i++) {
        if (ttiswstring(&p->k[i])) wide++;
        if (ttisstring(&p->k[i]) && tsvalue(&p->k[i])->len == 3 &&
            std::string(svalue(&p->k[i])) == "abc") {
            narrow++;
        }
    }
    EXPECT_EQ(wide, 1);  // both uses of L"abc" share it
    EXPECT_EQ(narrow, 1);
    EXPECT_EQ(p->sizek, 5);  // x, the wide string, y, the string, z
}

TEST_F(CodegenTest, OperatorsAreNotFolded) {
    using Code = std::vector<std::string>;
    // A bit operator on a constant takes it as its operand.
    EXPECT_EQ(Listing(Main("local a; return a & 3")),
              (Code{"LOADNIL 0 0 0", "BAND 1 0 K0", "RETURN 1 2 0", "RETURN 0 1 0"}));
    // Only constants: still computed when run.
    EXPECT_EQ(Listing(Main("return 2 & 3")),
              (Code{"BAND 0 K0 K1", "RETURN 0 2 0", "RETURN 0 1 0"}));
    EXPECT_EQ(Listing(Main("return 1 | 2, 1 << 2, 8 >> 1, 2 ^ 3")),
              (Code{"BOR 0 K0 K1", "SHL 1 K0 K1", "SHR 2 K2 K0", "POW 3 K1 K3", "RETURN 0 5 0",
                    "RETURN 0 1 0"}));
    // "^" groups to the right: the right one is computed first.
    EXPECT_EQ(Listing(Main("local a, b, c; return a ^ b ^ c")),
              (Code{"LOADNIL 0 2 0", "POW 3 1 2", "POW 3 0 3", "RETURN 3 2 0", "RETURN 0 1 0"}));
    // Only a number literal takes its minus at compile time.
    EXPECT_EQ(Listing(Main("return -2")), (Code{"LOADK 0 1", "RETURN 0 2 0", "RETURN 0 1 0"}));
}

TEST_F(CodegenTest, OperatorOpcodesFollowTheOperatorOrder) {
    const char* ops[] = {"+", "-", "*", "/", "&", "|", "<<", ">>", "^"};
    for (int k = 0; k < 9; k++) {
        Proto* p = Main(std::string("local a, b; return a ") + ops[k] + " b");
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(GET_OPCODE(luaP_plain(p->code[1])), OP_ADD + k) << ops[k];
        lua_pop(L, 1);
    }
}

TEST_F(CodegenTest, ConstructorSizes) {
    using Code = std::vector<std::string>;
    Proto* p = Main("return { & 10 & 100 }");
    EXPECT_EQ(Listing(p)[0], "NEWTABLE 0 39 4");  // 100 rounds up to 112 slots; 2^4 nodes
    EXPECT_EQ(luaO_fb2int(39), 112);
    p = Main("return { & 0 & 50, 1, 2 }");
    EXPECT_EQ(luaO_fb2int(GETARG_B(p->code[0])), 56);
    EXPECT_EQ(GETARG_C(p->code[0]), 0);
    EXPECT_EQ(Listing(Main("return {1, 2; x = 3}")),
              (Code{"NEWTABLE 0 2 1", "LOADK 1 0", "LOADK 2 1", "SETTABLE 0 K2 K3", "SETLIST 0 1",
                    "RETURN 0 2 0", "RETURN 0 1 0"}));
    EXPECT_EQ(Listing(Main("return {f()}")),
              (Code{"NEWTABLE 0 1 0", "GETGLOBAL 1 0", "CALL 1 1 0", "SETLISTO 0 0", "RETURN 0 2 0",
                    "RETURN 0 1 0"}));
}

TEST_F(CodegenTest, LoopsAndCalls) {
    using Code = std::vector<std::string>;
    // A numeric for starts one step back and enters at its step.
    EXPECT_EQ(Listing(Main("for i = 1, 3 do f(i) end")),
              (Code{"LOADK 0 0", "LOADK 1 1", "LOADK 2 0", "SUB 0 0 2", "JMP 0 3", "GETGLOBAL 3 2",
                    "MOVE 4 0 0", "CALL 3 2 1", "FORLOOP 0 -4", "RETURN 0 1 0"}));
    EXPECT_EQ(Listing(Main("for k, v in t do end")),
              (Code{"GETGLOBAL 0 0", "LOADNIL 1 3 0", "TFORPREP 0 0", "TFORLOOP 0 0 1", "JMP 0 -2",
                    "RETURN 0 1 0"}));
    EXPECT_EQ(Listing(Main("return f(g())")),
              (Code{"GETGLOBAL 0 0", "GETGLOBAL 1 1", "CALL 1 1 0", "TAILCALL 0 0 0",
                    "RETURN 0 0 0", "RETURN 0 1 0"}));
    // A closure names where each upvalue comes from.
    EXPECT_EQ(Listing(Main("local a; return function() return a end")),
              (Code{"LOADNIL 0 0 0", "CLOSURE 1 0", "MOVE 0 0 0", "RETURN 1 2 0", "RETURN 0 1 0"}));
}

TEST_F(CodegenTest, CompiledCodePassesTheChecker) {
    const char* programs[] = {
        "local a, b = 1, 2 while a < b and b or a do a = a + 1 end",
        "for i = 1, 10 do if i == 5 then break end continue end",
        "local t = {1, 2, 3, x = {y = {}}} for k, v in pairs(t) do t[k] = not v end",
        "local function f(...) return arg, f, function() return f end end",
        "repeat local x = 1 until x or y and z",
        "a, b.c, d[e] = f(), g, h()",
        "local s = 'a' .. 'b' .. c .. d return s, -s, #{}",
    };
    for (const char* code : programs) {
        int status = luaL_loadbuffer(L, code, strlen(code), "=check");
        if (status != 0) continue;  // not every line is valid here; those that are are checked
        Proto* p = static_cast<LClosure*>(clvalue(luaA_index(L, -1)))->p;
        std::vector<Proto*> all{p};
        for (size_t n = 0; n < all.size(); n++) {
            EXPECT_TRUE(luaG_checkcode(all[n])) << code;
            for (int i = 0; i < all[n]->sizep; i++)
                all.push_back(all[n]->p[i]);
        }
        lua_pop(L, 1);
    }
}

TEST_F(CodegenTest, CheckerRefusesBadCode) {
    // Constants 0 and 1 are numbers, 2 a string; a + b is a run form.
    Proto* p = Main("local a, b = 1, 2 local s = 'x' return a + b");
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(luaG_checkcode(p));
    std::vector<Instruction> saved(p->code, p->code + p->sizecode);
    auto expectRefused = [&](int pc, Instruction i, const char* what) {
        p->code[pc] = i;
        EXPECT_FALSE(luaG_checkcode(p)) << what;
        std::copy(saved.begin(), saved.end(), p->code);
    };
    for (int op = NUM_RUN_OPCODES; op < (1 << SIZE_OP); op++) {
        expectRefused(0, static_cast<Instruction>(op), "opcode past the last");
    }
    expectRefused(0, CREATE_ABC(OP_MOVE, 200, 0, 0), "register past the frame");
    expectRefused(0, CREATE_ABx(OP_LOADK, 0, 99), "constant past the table");
    expectRefused(0, CREATE_ABx(OP_JMP, 0, MAXARG_sBx + 50), "jump out of the code");
    expectRefused(0, CREATE_ABC(OP_GETUPVAL, 0, 0, 0), "upvalue the function has not");
    expectRefused(0, CREATE_ABC(OP_EQ, 0, 0, 1), "test not followed by a jump");
    expectRefused(0, CREATE_ABx(OP_CLOSURE, 0, 0), "prototype it has not");
    expectRefused(0, CREATE_ABC(OP_CALL, 0, 1, 0), "open call not followed by its use");
    expectRefused(p->sizecode - 1, CREATE_ABC(OP_MOVE, 0, 0, 0), "no final return");
    // A run form must have the operand kinds it was made for.
    auto run = [](int op, int a, int b, int c) {
        return CREATE_ABC(OP_MOVE, a, b, c) | static_cast<Instruction>(op);
    };
    expectRefused(0, run(OP_ADD_RR, 0, 0, MAXSTACK), "constant in a two-register form");
    expectRefused(0, run(OP_SUB_RR, 0, MAXSTACK, 0), "constant B in a two-register form");
    expectRefused(0, run(OP_MUL_RN, 0, 0, 1), "register C in a number-constant form");
    expectRefused(0, run(OP_DIV_RN, 0, 0, MAXSTACK + 2), "string constant in a number form");
    expectRefused(0, run(OP_ADD_RN, 0, 0, MAXSTACK + 9), "constant past the table");
    expectRefused(0, run(OP_MUL_RR, 0, 0, 200), "register past the frame");
    Instruction saved0 = p->code[0];
    p->code[0] = run(OP_ADD_RN, 0, 1, MAXSTACK + 1);
    EXPECT_TRUE(luaG_checkcode(p)) << "register and number constant";
    p->code[0] = saved0;
}

}  // namespace
