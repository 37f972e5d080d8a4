// The parser: a recursive-descent compiler from source text to function prototypes. It reads
// tokens from the lexer and drives the code generator; there is no syntax tree. Each function
// being compiled has a FuncState, each block a BlockCnt, each expression being built an
// expdesc.
//
// Beyond the 5.0 language it knows "continue", "break N" and "continue N" (N from 1 to 100
// enclosing loops), the bit operators "&", "|", "<<" and ">>", wide-string literals and the
// size hints "{ & hash & array, ...}" at the head of a table constructor.
//
// Threads: as the state that loads the chunk.
#pragma once

#include "script/lua/compiler/lexer.h"
#include "script/lua/object.h"
#include "script/lua/compiler/zio.h"

// Limits of one function.
constexpr int MAXVARS = 200;         // active local variables
constexpr int MAXUPVALUES = 32;      // upvalues
constexpr int MAXPARAMS = 100;       // parameters
constexpr int MAXPARSERLEVEL = 200;  // nested syntax levels
constexpr int MAXLOOPLEVEL = 100;    // loops a "break N" or "continue N" may cross

// What an expression being compiled is, and where its value is.
enum expkind {
    VVOID,  // no value (an empty expression list)
    VNIL,
    VTRUE,
    VFALSE,
    VK,          // info = constant index
    VLOCAL,      // info = register of the local
    VUPVAL,      // info = upvalue index
    VGLOBAL,     // info = constant index of the name
    VINDEXED,    // info = register of the table; aux = RK of the key
    VJMP,        // info = pc of the jump that ends the test
    VRELOCABLE,  // info = pc of the instruction whose target register is still to be set
    VNONRELOC,   // info = register that holds the value
    VCALL        // info = pc of the call
};

struct expdesc {
    expkind k;
    int info;
    int aux;
    int t;  // jumps taken when the expression is true
    int f;  // jumps taken when it is false
};

struct BlockCnt {
    BlockCnt* previous;
    int breaklist;     // jumps to the code after the loop
    int continuelist;  // jumps to the loop's continue point
    int nactvar;       // active locals when the block was entered
    bool upval;        // a local of this block is captured by a closure
    bool isbreakable;  // a loop
};

struct FuncState {
    Proto* f;
    Table* h;  // constant value -> its index in f->k
    FuncState* prev;
    LexState* ls;
    lua_State* L;
    BlockCnt* bl;
    int pc;          // next instruction to write
    int lasttarget;  // pc of the last jump target
    int jpc;         // jumps pending to pc
    int freereg;     // first free register
    int nk;          // constants in f->k
    int np;          // prototypes in f->p
    int nlocvars;    // entries in f->locvars
    int nactvar;     // active locals
    expdesc upvalues[MAXUPVALUES];
    int actvar[MAXVARS];  // f->locvars index of each active local
};

// Compiles a whole chunk into its main function's prototype. buff and wbuff are the lexer's
// scratch buffers, owned by the caller.
Proto* luaY_parser(lua_State* L, Zio* z, ZBuffer* buff, ZBuffer* wbuff);

// Internal to the parser's two files.
void luaY_enterlevel(LexState* ls);
inline void luaY_leavelevel(LexState* ls) {
    ls->nestlevel--;
}
void luaY_checknext(LexState* ls, int token);
bool luaY_testnext(LexState* ls, int token);
void luaY_checkmatch(LexState* ls, int what, int who, int where);
TString* luaY_checkname(LexState* ls);
void luaY_expr(LexState* ls, expdesc* v);
int luaY_explist1(LexState* ls, expdesc* v);
void luaY_primaryexp(LexState* ls, expdesc* v);
void luaY_singlevar(LexState* ls, expdesc* var);
void luaY_field(LexState* ls, expdesc* v);
void luaY_body(LexState* ls, expdesc* e, bool needself, int line);
void luaY_newlocalvar(LexState* ls, TString* name, int n);
void luaY_newlocalvarstr(LexState* ls, const char* name, int n);
void luaY_adjustlocalvars(LexState* ls, int nvars);
// Ends the scope of the locals above tolevel.
void luaY_removevars(LexState* ls, int tolevel);
void luaY_adjustassign(LexState* ls, int nvars, int nexps, expdesc* e);
void luaY_enterblock(FuncState* fs, BlockCnt* bl, bool isbreakable);
void luaY_leaveblock(FuncState* fs);
LocVar& luaY_getlocvar(FuncState* fs, int i);
// chunk -> { statement [';'] }
void luaY_chunk(LexState* ls);
inline bool luaY_blockfollow(int token) {
    switch (token) {
        case TK_ELSE:
        case TK_ELSEIF:
        case TK_END:
        case TK_UNTIL:
        case TK_EOS:
            return true;
        default:
            return false;
    }
}
