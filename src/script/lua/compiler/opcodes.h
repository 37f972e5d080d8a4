// The instruction set of the scripting VM: the layout of an instruction word, the opcodes and
// what each operand of each opcode is. The numbering binds precompiled chunks, so it never
// changes: the four bit operators sit between OP_DIV and OP_POW, so that binary operator k of
// the parser is opcode OP_ADD + k.
//
// Word layout (32 bits): opcode in bits 0-5, C in bits 6-14, B in bits 15-23, A in bits 24-31;
// Bx is bits 6-23 and sBx is Bx - kMaxArgSBx. An RK operand names register n below kMaxStack
// and constant n - kMaxStack from there on.
//
// Pure data and inline functions: any thread.
#pragma once

#include "script/lua/luadefs.h"

enum OpCode {
    OP_MOVE,       // A B     R(A) := R(B)
    OP_LOADK,      // A Bx    R(A) := K(Bx)
    OP_LOADBOOL,   // A B C   R(A) := (bool)B; if C then pc++
    OP_LOADNIL,    // A B     R(A) ... R(B) := nil
    OP_GETUPVAL,   // A B     R(A) := upvalue B
    OP_GETGLOBAL,  // A Bx    R(A) := globals[K(Bx)]
    OP_GETTABLE,   // A B C   R(A) := R(B)[RK(C)]
    OP_SETGLOBAL,  // A Bx    globals[K(Bx)] := R(A)
    OP_SETUPVAL,   // A B     upvalue B := R(A)
    OP_SETTABLE,   // A B C   R(A)[RK(B)] := RK(C)
    OP_NEWTABLE,   // A B C   R(A) := {} with fb2int(B) array slots and 2^C nodes
    OP_SELF,       // A B C   R(A+1) := R(B); R(A) := R(B)[RK(C)]
    OP_ADD,        // A B C   R(A) := RK(B) + RK(C)
    OP_SUB,        // A B C
    OP_MUL,        // A B C
    OP_DIV,        // A B C
    OP_BAND,       // A B C   R(A) := RK(B) & RK(C)
    OP_BOR,        // A B C   R(A) := RK(B) | RK(C)
    OP_SHL,        // A B C   R(A) := RK(B) << RK(C)
    OP_SHR,        // A B C   R(A) := RK(B) >> RK(C)
    OP_POW,        // A B C   R(A) := RK(B) ^ RK(C) (exclusive or of two numbers)
    OP_UNM,        // A B     R(A) := -R(B)
    OP_NOT,        // A B     R(A) := not R(B)
    OP_CONCAT,     // A B C   R(A) := R(B) .. ... .. R(C)
    OP_JMP,        // sBx     pc += sBx
    OP_EQ,         // A B C   if (RK(B) == RK(C)) ~= A then pc++
    OP_LT,         // A B C   if (RK(B) <  RK(C)) ~= A then pc++
    OP_LE,         // A B C   if (RK(B) <= RK(C)) ~= A then pc++
    OP_TEST,       // A B C   if (R(B) <=> C) then R(A) := R(B) else pc++
    OP_CALL,       // A B C   R(A), ..., R(A+C-2) := R(A)(R(A+1), ..., R(A+B-1))
    OP_TAILCALL,   // A B C   return R(A)(R(A+1), ..., R(A+B-1))
    OP_RETURN,     // A B     return R(A), ..., R(A+B-2)
    OP_FORLOOP,    // A sBx   R(A) += R(A+2); if R(A) <?= R(A+1) then pc += sBx
    OP_TFORLOOP,   // A C     R(A+2), ..., R(A+2+C) := R(A)(R(A+1), R(A+2));
                   //         if R(A+2) ~= nil then pc++ (onto the jump back)
    OP_TFORPREP,   // A sBx   if R(A) is a table then R(A+1) := R(A), R(A) := next; pc += sBx
    OP_SETLIST,    // A Bx    R(A)[Bx-Bx%32+i] := R(A+i), 1 <= i <= Bx%32+1
    OP_SETLISTO,   // A Bx    the same, up to the top
    OP_CLOSE,      // A       close the upvalues of R(A) and above
    OP_CLOSURE,    // A Bx    R(A) := closure(prototype Bx), then one MOVE or GETUPVAL each
                   //         upvalue, naming the register or upvalue it captures
    NUM_OPCODES
};

// B or C = 0 in a call or return, and OP_SETLISTO, mean "up to the top"; C = 0 in a call
// sets the top after its results.

// Run forms: the interpreter's own opcodes for some arithmetic and comparisons whose operand
// kinds are settled when a function is complete (luaP_quicken), so that running them need not
// tell a register from a constant nor check a constant's type. RR: B and C are registers. RN:
// B is a register and C a number constant. Only functions in memory hold them, from the code's
// completion on: binary chunks, the code checker and the debug information see the instruction
// they stand for (luaP_plain), and a chunk holding one is refused.
enum RunOpCode {
    OP_ADD_RR = NUM_OPCODES,
    OP_SUB_RR,
    OP_MUL_RR,
    OP_DIV_RR,
    OP_ADD_RN,
    OP_SUB_RN,
    OP_MUL_RN,
    OP_DIV_RN,
    OP_LT_RR,
    OP_LE_RR,
    OP_LT_RN,
    OP_LE_RN,
    NUM_RUN_OPCODES
};

constexpr int SIZE_OP = 6;
constexpr int SIZE_A = 8;
constexpr int SIZE_B = 9;
constexpr int SIZE_C = 9;
constexpr int SIZE_Bx = SIZE_B + SIZE_C;

constexpr int POS_C = SIZE_OP;
constexpr int POS_B = POS_C + SIZE_C;
constexpr int POS_Bx = POS_C;
constexpr int POS_A = POS_B + SIZE_B;

constexpr int MAXARG_A = (1 << SIZE_A) - 1;
constexpr int MAXARG_B = (1 << SIZE_B) - 1;
constexpr int MAXARG_C = (1 << SIZE_C) - 1;
constexpr int MAXARG_Bx = (1 << SIZE_Bx) - 1;
constexpr int MAXARG_sBx = MAXARG_Bx >> 1;

// Registers of one function; RK operands from here on name constants.
constexpr int MAXSTACK = 250;
// A register operand that is not set yet (a test's target before its jump is patched).
constexpr int NO_REG = MAXARG_A;
// List items stored by one OP_SETLIST.
constexpr int LFIELDS_PER_FLUSH = 32;

inline OpCode GET_OPCODE(Instruction i) {
    return static_cast<OpCode>(i & ((1u << SIZE_OP) - 1));
}
inline int GETARG_A(Instruction i) {
    return static_cast<int>(i >> POS_A);
}
inline int GETARG_B(Instruction i) {
    return static_cast<int>((i >> POS_B) & MAXARG_B);
}
inline int GETARG_C(Instruction i) {
    return static_cast<int>((i >> POS_C) & MAXARG_C);
}
inline int GETARG_Bx(Instruction i) {
    return static_cast<int>((i >> POS_Bx) & MAXARG_Bx);
}
inline int GETARG_sBx(Instruction i) {
    return GETARG_Bx(i) - MAXARG_sBx;
}

inline void SET_OPCODE(Instruction& i, OpCode o) {
    i = (i & ~static_cast<Instruction>((1u << SIZE_OP) - 1)) | static_cast<Instruction>(o);
}
inline void SETARG_A(Instruction& i, int a) {
    i = (i & ~(static_cast<Instruction>(MAXARG_A) << POS_A)) |
        (static_cast<Instruction>(a & MAXARG_A) << POS_A);
}
inline void SETARG_B(Instruction& i, int b) {
    i = (i & ~(static_cast<Instruction>(MAXARG_B) << POS_B)) |
        (static_cast<Instruction>(b & MAXARG_B) << POS_B);
}
inline void SETARG_C(Instruction& i, int c) {
    i = (i & ~(static_cast<Instruction>(MAXARG_C) << POS_C)) |
        (static_cast<Instruction>(c & MAXARG_C) << POS_C);
}
inline void SETARG_Bx(Instruction& i, int bx) {
    i = (i & ~(static_cast<Instruction>(MAXARG_Bx) << POS_Bx)) |
        (static_cast<Instruction>(bx & MAXARG_Bx) << POS_Bx);
}
inline void SETARG_sBx(Instruction& i, int sbx) {
    SETARG_Bx(i, sbx + MAXARG_sBx);
}

inline Instruction CREATE_ABC(OpCode o, int a, int b, int c) {
    return static_cast<Instruction>(o) | (static_cast<Instruction>(a & MAXARG_A) << POS_A) |
           (static_cast<Instruction>(b & MAXARG_B) << POS_B) |
           (static_cast<Instruction>(c & MAXARG_C) << POS_C);
}
inline Instruction CREATE_ABx(OpCode o, int a, int bx) {
    return static_cast<Instruction>(o) | (static_cast<Instruction>(a & MAXARG_A) << POS_A) |
           (static_cast<Instruction>(bx & MAXARG_Bx) << POS_Bx);
}

inline bool ISK(int x) {
    return x >= MAXSTACK;
}

// The instruction a run form stands for; any other instruction unchanged.
inline Instruction luaP_plain(Instruction i) {
    static constexpr lu_byte kPlain[static_cast<int>(NUM_RUN_OPCODES) - NUM_OPCODES] = {
        OP_ADD, OP_SUB, OP_MUL, OP_DIV, OP_ADD, OP_SUB, OP_MUL, OP_DIV, OP_LT, OP_LE, OP_LT, OP_LE,
    };
    unsigned op = i & ((1u << SIZE_OP) - 1);
    static_assert(NUM_RUN_OPCODES <= (1 << SIZE_OP));
    if (op < NUM_OPCODES || op >= NUM_RUN_OPCODES) return i;
    return (i & ~static_cast<Instruction>((1u << SIZE_OP) - 1)) | kPlain[op - NUM_OPCODES];
}

// What the operands of an opcode are. The code checker and the debug information read it.
enum OpFormat { iABC, iABx, iAsBx };
enum OpArg {
    OpArgN,  // not used
    OpArgR,  // a register (or, for jumps, an offset)
    OpArgK,  // a register or a constant
    OpArgU,  // used, but neither a register nor a constant
};

struct OpMode {
    OpFormat format;
    bool setsA;   // writes register A
    bool isTest;  // a test: the next instruction is the jump it may skip
    OpArg b;
    OpArg c;
    bool bxIsK;  // Bx is a constant index
};

extern const OpMode luaP_opmodes[NUM_OPCODES];
extern const char* const luaP_opnames[NUM_OPCODES];
