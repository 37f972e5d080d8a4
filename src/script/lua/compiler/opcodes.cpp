#include "script/lua/compiler/opcodes.h"

namespace {

constexpr OpMode ABC(bool setsA, OpArg b, OpArg c, bool test = false) {
    return OpMode{iABC, setsA, test, b, c, false};
}
constexpr OpMode ABx(bool setsA, bool bxIsK) {
    return OpMode{iABx, setsA, false, OpArgU, OpArgN, bxIsK};
}
constexpr OpMode AsBx(bool setsA) {
    return OpMode{iAsBx, setsA, false, OpArgR, OpArgN, false};
}

}  // namespace

// The bit operators have the mode of OP_ADD: they set A and take two register-or-constant
// operands.
const OpMode luaP_opmodes[NUM_OPCODES] = {
    ABC(true, OpArgR, OpArgN),         // OP_MOVE
    ABx(true, true),                   // OP_LOADK
    ABC(true, OpArgU, OpArgU),         // OP_LOADBOOL
    ABC(true, OpArgR, OpArgN),         // OP_LOADNIL
    ABC(true, OpArgU, OpArgN),         // OP_GETUPVAL
    ABx(true, true),                   // OP_GETGLOBAL
    ABC(true, OpArgR, OpArgK),         // OP_GETTABLE
    ABx(false, true),                  // OP_SETGLOBAL
    ABC(false, OpArgU, OpArgN),        // OP_SETUPVAL
    ABC(false, OpArgK, OpArgK),        // OP_SETTABLE
    ABC(true, OpArgU, OpArgU),         // OP_NEWTABLE
    ABC(true, OpArgR, OpArgK),         // OP_SELF
    ABC(true, OpArgK, OpArgK),         // OP_ADD
    ABC(true, OpArgK, OpArgK),         // OP_SUB
    ABC(true, OpArgK, OpArgK),         // OP_MUL
    ABC(true, OpArgK, OpArgK),         // OP_DIV
    ABC(true, OpArgK, OpArgK),         // OP_BAND
    ABC(true, OpArgK, OpArgK),         // OP_BOR
    ABC(true, OpArgK, OpArgK),         // OP_SHL
    ABC(true, OpArgK, OpArgK),         // OP_SHR
    ABC(true, OpArgK, OpArgK),         // OP_POW
    ABC(true, OpArgR, OpArgN),         // OP_UNM
    ABC(true, OpArgR, OpArgN),         // OP_NOT
    ABC(true, OpArgR, OpArgR),         // OP_CONCAT
    AsBx(false),                       // OP_JMP
    ABC(false, OpArgK, OpArgK, true),  // OP_EQ
    ABC(false, OpArgK, OpArgK, true),  // OP_LT
    ABC(false, OpArgK, OpArgK, true),  // OP_LE
    ABC(true, OpArgR, OpArgU, true),   // OP_TEST
    ABC(true, OpArgU, OpArgU),         // OP_CALL
    ABC(true, OpArgU, OpArgU),         // OP_TAILCALL
    ABC(false, OpArgU, OpArgN),        // OP_RETURN
    AsBx(true),                        // OP_FORLOOP
    ABC(false, OpArgN, OpArgU),        // OP_TFORLOOP
    AsBx(true),                        // OP_TFORPREP
    ABx(false, false),                 // OP_SETLIST
    ABx(false, false),                 // OP_SETLISTO
    ABC(false, OpArgN, OpArgN),        // OP_CLOSE
    ABx(true, false),                  // OP_CLOSURE
};

const char* const luaP_opnames[NUM_OPCODES] = {
    "MOVE",     "LOADK",    "LOADBOOL", "LOADNIL", "GETUPVAL", "GETGLOBAL", "GETTABLE", "SETGLOBAL",
    "SETUPVAL", "SETTABLE", "NEWTABLE", "SELF",    "ADD",      "SUB",       "MUL",      "DIV",
    "BAND",     "BOR",      "SHL",      "SHR",     "POW",      "UNM",       "NOT",      "CONCAT",
    "JMP",      "EQ",       "LT",       "LE",      "TEST",     "CALL",      "TAILCALL", "RETURN",
    "FORLOOP",  "TFORLOOP", "TFORPREP", "SETLIST", "SETLISTO", "CLOSE",     "CLOSURE",
};
