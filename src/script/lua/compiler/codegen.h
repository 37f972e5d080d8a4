// The code generator: emits the instructions of the function being compiled as the parser
// reads it. Expressions stay described (expdesc) until a register or a constant is needed;
// tests leave lists of pending jumps that are patched once their targets are known. Operators
// are always computed at run time: there is no constant folding (only a number literal with a
// minus in front becomes a negative constant).
//
// Errors (limits passed) are syntax errors raised through the lexer.
//
// Threads: as the state that loads the chunk.
#pragma once

#include "script/lua/compiler/opcodes.h"
#include "script/lua/compiler/parser.h"

// The end of a jump list.
constexpr int NO_JUMP = -1;

// Binary operators in the order the opcodes follow: operator k < OPR_CONCAT is opcode
// OP_ADD + k.
enum BinOpr {
    OPR_ADD,
    OPR_SUB,
    OPR_MULT,
    OPR_DIV,
    OPR_BAND,
    OPR_BOR,
    OPR_SHL,
    OPR_SHR,
    OPR_POW,
    OPR_CONCAT,
    OPR_NE,
    OPR_EQ,
    OPR_LT,
    OPR_LE,
    OPR_GT,
    OPR_GE,
    OPR_AND,
    OPR_OR,
    OPR_NOBINOPR
};

enum UnOpr { OPR_MINUS, OPR_NOT, OPR_NOUNOPR };

inline Instruction& getcode(FuncState* fs, const expdesc* e) {
    return fs->f->code[e->info];
}

int luaK_code(FuncState* fs, Instruction i, int line);
int luaK_codeABC(FuncState* fs, OpCode o, int a, int b, int c);
int luaK_codeABx(FuncState* fs, OpCode o, int a, int bx);
inline int luaK_codeAsBx(FuncState* fs, OpCode o, int a, int sbx) {
    return luaK_codeABx(fs, o, a, sbx + MAXARG_sBx);
}
// Gives the last instruction written this line.
void luaK_fixline(FuncState* fs, int line);

// Sets n registers from `from` to nil.
void luaK_nil(FuncState* fs, int from, int n);
void luaK_reserveregs(FuncState* fs, int n);
void luaK_checkstack(FuncState* fs, int n);

int luaK_stringK(FuncState* fs, TString* s);
int luaK_wstringK(FuncState* fs, TString* s);
int luaK_numberK(FuncState* fs, lua_Number r);

void luaK_dischargevars(FuncState* fs, expdesc* e);
int luaK_exp2anyreg(FuncState* fs, expdesc* e);
void luaK_exp2nextreg(FuncState* fs, expdesc* e);
void luaK_exp2val(FuncState* fs, expdesc* e);
int luaK_exp2RK(FuncState* fs, expdesc* e);
void luaK_self(FuncState* fs, expdesc* e, expdesc* key);
void luaK_indexed(FuncState* fs, expdesc* t, expdesc* k);
// Falls through when e is true and adds a jump to e->f taken when it is false.
void luaK_goiftrue(FuncState* fs, expdesc* e);
// Falls through when e is false and adds a jump to e->t taken when it is true.
void luaK_goiffalse(FuncState* fs, expdesc* e);
void luaK_storevar(FuncState* fs, expdesc* var, expdesc* e);
void luaK_setcallreturns(FuncState* fs, expdesc* e, int nresults);

int luaK_jump(FuncState* fs);
void luaK_patchlist(FuncState* fs, int list, int target);
void luaK_patchtohere(FuncState* fs, int list);
void luaK_concat(FuncState* fs, int* l1, int l2);
// The current pc, marked as a jump target.
int luaK_getlabel(FuncState* fs);

void luaK_prefix(FuncState* fs, UnOpr op, expdesc* v);
void luaK_infix(FuncState* fs, BinOpr op, expdesc* v);
void luaK_posfix(FuncState* fs, BinOpr op, expdesc* v1, expdesc* v2);
