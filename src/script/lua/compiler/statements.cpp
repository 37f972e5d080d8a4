// The parser, part two: statements, blocks and loops, with "continue" and the counted
// "break N" / "continue N".

#include <cmath>

#include "script/lua/compiler/codegen.h"
#include "script/lua/compiler/parser.h"

namespace {

// A while condition of more instructions than this is refused: its code is moved after the
// loop body through a fixed buffer.
constexpr int MAXEXPWHILE = 100;

bool statement(LexState* ls);

void block(LexState* ls) {
    FuncState* fs = ls->fs;
    BlockCnt bl;
    luaY_enterblock(fs, &bl, false);
    luaY_chunk(ls);
    luaY_leaveblock(fs);
}

// cond -> expr: falls through when true; answers the jumps taken when false.
int cond(LexState* ls) {
    expdesc v;
    luaY_expr(ls, &v);
    if (v.k == VNIL) v.k = VFALSE;  // every false is alike here
    luaK_goiftrue(ls->fs, &v);
    luaK_patchtohere(ls->fs, v.t);
    return v.f;
}

// The level after "break" or "continue": 1, or a number literal from 1 to 100.
int looplevel(LexState* ls) {
    if (ls->t.token != TK_NUMBER) return 1;
    lua_Number n = ls->t.seminfo.r;
    if (n != std::floor(n)) luaX_syntaxerror(ls, "loop block number must be integer");
    if (n < 1 || n > MAXLOOPLEVEL) luaX_syntaxerror(ls, "loop block number out of range");
    luaX_next(ls);
    return static_cast<int>(n);
}

// "break [N]" and "continue [N]": a jump to the N-th enclosing loop's exit or continue point.
void loopjump(LexState* ls, bool isContinue) {
    FuncState* fs = ls->fs;
    luaX_next(ls);
    int n = looplevel(ls);
    BlockCnt* bl = fs->bl;
    BlockCnt* inner = nullptr;  // the block just inside the target loop on the way out
    bool upval = false;
    for (int found = 0;;) {
        while (bl != nullptr && !bl->isbreakable) {
            upval |= bl->upval;
            inner = bl;
            bl = bl->previous;
        }
        if (bl == nullptr) {
            luaX_syntaxerror(ls, isContinue ? "no loop to continue" : "no loop to break");
        }
        if (++found == n) break;
        inner = bl;
        bl = bl->previous;
    }
    // Locals of the blocks left are closed whenever any is active: a closure written later
    // in an inner loop may already have captured one in an earlier pass, which the blocks'
    // flags cannot know yet. A plain break keeps to those flags; it leaves only blocks whose
    // closures it follows.
    if (isContinue) {
        int level = (inner != nullptr) ? inner->nactvar : fs->nactvar;
        if (fs->nactvar > level) luaK_codeABC(fs, OP_CLOSE, level, 0, 0);
        luaK_concat(fs, &bl->continuelist, luaK_jump(fs));
    } else {
        bool close = (n == 1) ? upval : fs->nactvar > bl->nactvar;
        if (close) luaK_codeABC(fs, OP_CLOSE, bl->nactvar, 0, 0);
        luaK_concat(fs, &bl->breaklist, luaK_jump(fs));
    }
}

void whilestat(LexState* ls, int line) {
    FuncState* fs = ls->fs;
    luaX_next(ls);
    // The condition is compiled first, then moved after the body: the loop enters with a
    // jump to it, and it jumps back to the body while true.
    int whileinit = luaK_jump(fs);
    int expinit = luaK_getlabel(fs);
    expdesc v;
    luaY_expr(ls, &v);
    if (v.k == VK) v.k = VTRUE;  // every true is alike here
    int lineexp = ls->linenumber;
    luaK_goiffalse(fs, &v);
    luaK_concat(fs, &v.f, fs->jpc);
    fs->jpc = NO_JUMP;
    int sizeexp = fs->pc - expinit;
    if (sizeexp > MAXEXPWHILE) luaX_syntaxerror(ls, "`while' condition too complex");
    Instruction codeexp[MAXEXPWHILE];
    for (int i = 0; i < sizeexp; i++)
        codeexp[i] = fs->f->code[expinit + i];
    fs->pc = expinit;
    BlockCnt bl;
    luaY_enterblock(fs, &bl, true);
    luaY_checknext(ls, TK_DO);
    int blockinit = luaK_getlabel(fs);
    block(ls);
    luaK_patchtohere(fs, whileinit);
    luaK_patchtohere(fs, bl.continuelist);
    int delta = fs->pc - expinit;
    if (v.t != NO_JUMP) v.t += delta;
    if (v.f != NO_JUMP) v.f += delta;
    for (int i = 0; i < sizeexp; i++)
        luaK_code(fs, codeexp[i], lineexp);
    luaY_checkmatch(ls, TK_END, TK_WHILE, line);
    luaY_leaveblock(fs);
    luaK_patchlist(fs, v.t, blockinit);
    luaK_patchtohere(fs, v.f);
}

void repeatstat(LexState* ls, int line) {
    FuncState* fs = ls->fs;
    int repeat_init = luaK_getlabel(fs);
    BlockCnt bl;
    luaY_enterblock(fs, &bl, true);
    luaX_next(ls);
    block(ls);
    luaY_checkmatch(ls, TK_UNTIL, TK_REPEAT, line);
    luaK_patchtohere(fs, bl.continuelist);  // a continued pass tests the condition
    int flist = cond(ls);
    luaK_patchlist(fs, flist, repeat_init);
    luaY_leaveblock(fs);
}

void exp1(LexState* ls) {
    expdesc e;
    luaY_expr(ls, &e);
    luaK_exp2nextreg(ls->fs, &e);
}

// The body of a for loop; the loop block (fs->bl) holds its control variables.
void forbody(LexState* ls, int base, int line, int nvars, bool isnum) {
    FuncState* fs = ls->fs;
    luaY_adjustlocalvars(ls, nvars);
    luaY_checknext(ls, TK_DO);
    int prep = luaK_getlabel(fs);
    block(ls);
    luaK_patchtohere(fs, prep - 1);  // the set-up jumps to the step
    luaK_patchtohere(fs, fs->bl->continuelist);
    int endfor = isnum ? luaK_codeAsBx(fs, OP_FORLOOP, base, NO_JUMP)
                       : luaK_codeABC(fs, OP_TFORLOOP, base, 0, nvars - 3);
    luaK_fixline(fs, line);  // the step belongs to the loop's first line
    luaK_patchlist(fs, isnum ? endfor : luaK_jump(fs), prep);
}

// NAME = exp1, exp1 [, exp1] DO body. The start is set back by one step, so that the loop
// enters at its step.
void fornum(LexState* ls, TString* varname, int line) {
    FuncState* fs = ls->fs;
    int base = fs->freereg;
    luaY_newlocalvar(ls, varname, 0);
    luaY_newlocalvarstr(ls, "(for limit)", 1);
    luaY_newlocalvarstr(ls, "(for step)", 2);
    luaY_checknext(ls, '=');
    exp1(ls);
    luaY_checknext(ls, ',');
    exp1(ls);
    if (luaY_testnext(ls, ',')) {
        exp1(ls);
    } else {
        luaK_codeABx(fs, OP_LOADK, fs->freereg, luaK_numberK(fs, 1));
        luaK_reserveregs(fs, 1);
    }
    luaK_codeABC(fs, OP_SUB, fs->freereg - 3, fs->freereg - 3, fs->freereg - 1);
    luaK_jump(fs);
    forbody(ls, base, line, 3, true);
}

// NAME {, NAME} IN explist1 DO body
void forlist(LexState* ls, TString* indexname) {
    FuncState* fs = ls->fs;
    expdesc e;
    int nvars = 0;
    int base = fs->freereg;
    luaY_newlocalvarstr(ls, "(for generator)", nvars++);
    luaY_newlocalvarstr(ls, "(for state)", nvars++);
    luaY_newlocalvar(ls, indexname, nvars++);
    while (luaY_testnext(ls, ','))
        luaY_newlocalvar(ls, luaY_checkname(ls), nvars++);
    luaY_checknext(ls, TK_IN);
    int line = ls->linenumber;
    luaY_adjustassign(ls, nvars, luaY_explist1(ls, &e), &e);
    luaK_checkstack(fs, 3);  // room to call the generator
    luaK_codeAsBx(fs, OP_TFORPREP, base, NO_JUMP);
    forbody(ls, base, line, nvars, false);
}

void forstat(LexState* ls, int line) {
    FuncState* fs = ls->fs;
    BlockCnt bl;
    luaY_enterblock(fs, &bl, true);
    luaX_next(ls);
    TString* varname = luaY_checkname(ls);
    switch (ls->t.token) {
        case '=':
            fornum(ls, varname, line);
            break;
        case ',':
        case TK_IN:
            forlist(ls, varname);
            break;
        default:
            luaX_syntaxerror(ls, "`=' or `in' expected");
    }
    luaY_checkmatch(ls, TK_END, TK_FOR, line);
    luaY_leaveblock(fs);
}

// [IF | ELSEIF] cond THEN block
int test_then_block(LexState* ls) {
    luaX_next(ls);
    int flist = cond(ls);
    luaY_checknext(ls, TK_THEN);
    block(ls);
    return flist;
}

void ifstat(LexState* ls, int line) {
    FuncState* fs = ls->fs;
    int escapelist = NO_JUMP;
    int flist = test_then_block(ls);
    while (ls->t.token == TK_ELSEIF) {
        luaK_concat(fs, &escapelist, luaK_jump(fs));
        luaK_patchtohere(fs, flist);
        flist = test_then_block(ls);
    }
    if (ls->t.token == TK_ELSE) {
        luaK_concat(fs, &escapelist, luaK_jump(fs));
        luaK_patchtohere(fs, flist);
        luaX_next(ls);
        block(ls);
    } else {
        luaK_concat(fs, &escapelist, flist);
    }
    luaK_patchtohere(fs, escapelist);
    luaY_checkmatch(ls, TK_END, TK_IF, line);
}

void localfunc(LexState* ls) {
    FuncState* fs = ls->fs;
    expdesc v;
    expdesc b;
    luaY_newlocalvar(ls, luaY_checkname(ls), 0);
    v.k = VLOCAL;
    v.info = fs->freereg;
    v.t = v.f = NO_JUMP;
    luaK_reserveregs(fs, 1);
    luaY_adjustlocalvars(ls, 1);  // the function sees itself
    luaY_body(ls, &b, false, ls->linenumber);
    luaK_storevar(fs, &v, &b);
    // The debug information sees the variable from here on.
    luaY_getlocvar(fs, fs->nactvar - 1).startpc = fs->pc;
}

void localstat(LexState* ls) {
    int nvars = 0;
    int nexps;
    expdesc e;
    do {
        luaY_newlocalvar(ls, luaY_checkname(ls), nvars++);
    } while (luaY_testnext(ls, ','));
    if (luaY_testnext(ls, '=')) {
        nexps = luaY_explist1(ls, &e);
    } else {
        e.k = VVOID;
        nexps = 0;
    }
    luaY_adjustassign(ls, nvars, nexps, &e);
    luaY_adjustlocalvars(ls, nvars);
}

// NAME {'.' NAME} [':' NAME]; answers whether it is a method.
bool funcname(LexState* ls, expdesc* v) {
    bool needself = false;
    luaY_singlevar(ls, v);
    while (ls->t.token == '.')
        luaY_field(ls, v);
    if (ls->t.token == ':') {
        needself = true;
        luaY_field(ls, v);
    }
    return needself;
}

void funcstat(LexState* ls, int line) {
    expdesc v;
    expdesc b;
    luaX_next(ls);
    bool needself = funcname(ls, &v);
    luaY_body(ls, &b, needself, line);
    luaK_storevar(ls->fs, &v, &b);
    luaK_fixline(ls->fs, line);  // the definition happens on its first line
}

struct LHS_assign {
    LHS_assign* prev;
    expdesc v;
};

// A local assigned in a multiple assignment may be the table or key of an indexed target
// before it: that target then uses a copy made now.
void check_conflict(LexState* ls, LHS_assign* lh, const expdesc* v) {
    FuncState* fs = ls->fs;
    int extra = fs->freereg;
    bool conflict = false;
    for (; lh != nullptr; lh = lh->prev) {
        if (lh->v.k != VINDEXED) continue;
        if (lh->v.info == v->info) {
            conflict = true;
            lh->v.info = extra;
        }
        if (lh->v.aux == v->info) {
            conflict = true;
            lh->v.aux = extra;
        }
    }
    if (conflict) {
        luaK_codeABC(fs, OP_MOVE, fs->freereg, v->info, 0);
        luaK_reserveregs(fs, 1);
    }
}

void assignment(LexState* ls, LHS_assign* lh, int nvars) {
    expdesc e;
    if (!(VLOCAL <= lh->v.k && lh->v.k <= VINDEXED)) luaX_syntaxerror(ls, "syntax error");
    if (luaY_testnext(ls, ',')) {
        LHS_assign nv;
        nv.prev = lh;
        luaY_primaryexp(ls, &nv.v);
        if (nv.v.k == VLOCAL) check_conflict(ls, lh, &nv.v);
        // Each target nests one level deeper in the native stack.
        luaY_enterlevel(ls);
        assignment(ls, &nv, nvars + 1);
        luaY_leavelevel(ls);
    } else {
        luaY_checknext(ls, '=');
        int nexps = luaY_explist1(ls, &e);
        if (nexps == nvars) {
            luaK_setcallreturns(ls->fs, &e, 1);
            luaK_storevar(ls->fs, &lh->v, &e);
            return;
        }
        luaY_adjustassign(ls, nvars, nexps, &e);
        if (nexps > nvars) ls->fs->freereg -= nexps - nvars;  // the extra values go
    }
    // The values sit in consecutive registers, the last one on top.
    e.k = VNONRELOC;
    e.info = ls->fs->freereg - 1;
    e.t = e.f = NO_JUMP;
    luaK_storevar(ls->fs, &lh->v, &e);
}

void exprstat(LexState* ls) {
    FuncState* fs = ls->fs;
    LHS_assign v;
    luaY_primaryexp(ls, &v.v);
    if (v.v.k == VCALL) {
        luaK_setcallreturns(fs, &v.v, 0);  // a call statement keeps no results
    } else {
        v.prev = nullptr;
        assignment(ls, &v, 1);
    }
}

void retstat(LexState* ls) {
    FuncState* fs = ls->fs;
    expdesc e;
    int first;
    int nret;
    luaX_next(ls);
    if (luaY_blockfollow(ls->t.token) || ls->t.token == ';') {
        first = nret = 0;
    } else {
        nret = luaY_explist1(ls, &e);
        if (e.k == VCALL) {
            luaK_setcallreturns(fs, &e, LUA_MULTRET);
            if (nret == 1) SET_OPCODE(getcode(fs, &e), OP_TAILCALL);
            first = fs->nactvar;
            nret = LUA_MULTRET;
        } else if (nret == 1) {
            first = luaK_exp2anyreg(fs, &e);
        } else {
            luaK_exp2nextreg(fs, &e);  // the values go in consecutive registers
            first = fs->nactvar;
        }
    }
    luaK_codeABC(fs, OP_RETURN, first, nret + 1, 0);
}

// Answers whether the statement must be the last of its block.
bool statement(LexState* ls) {
    int line = ls->linenumber;
    switch (ls->t.token) {
        case TK_IF:
            ifstat(ls, line);
            return false;
        case TK_WHILE:
            whilestat(ls, line);
            return false;
        case TK_DO:
            luaX_next(ls);
            block(ls);
            luaY_checkmatch(ls, TK_END, TK_DO, line);
            return false;
        case TK_FOR:
            forstat(ls, line);
            return false;
        case TK_REPEAT:
            repeatstat(ls, line);
            return false;
        case TK_FUNCTION:
            funcstat(ls, line);
            return false;
        case TK_LOCAL:
            luaX_next(ls);
            if (luaY_testnext(ls, TK_FUNCTION)) {
                localfunc(ls);
            } else {
                localstat(ls);
            }
            return false;
        case TK_RETURN:
            retstat(ls);
            return true;
        case TK_BREAK:
            loopjump(ls, false);
            return true;
        case TK_CONTINUE:
            loopjump(ls, true);
            return true;
        default:
            exprstat(ls);
            return false;
    }
}

}  // namespace

void luaY_enterblock(FuncState* fs, BlockCnt* bl, bool isbreakable) {
    bl->breaklist = NO_JUMP;
    bl->continuelist = NO_JUMP;
    bl->isbreakable = isbreakable;
    bl->nactvar = fs->nactvar;
    bl->upval = false;
    bl->previous = fs->bl;
    fs->bl = bl;
}

void luaY_leaveblock(FuncState* fs) {
    BlockCnt* bl = fs->bl;
    fs->bl = bl->previous;
    luaY_removevars(fs->ls, bl->nactvar);
    // Breaks land on the closing of the loop's own captured locals (the control variables of
    // a for loop), so that leaving by break closes them as the normal exit does.
    luaK_patchtohere(fs, bl->breaklist);
    if (bl->upval) luaK_codeABC(fs, OP_CLOSE, bl->nactvar, 0, 0);
    fs->freereg = fs->nactvar;
}

void luaY_chunk(LexState* ls) {
    bool islast = false;
    luaY_enterlevel(ls);
    while (!islast && !luaY_blockfollow(ls->t.token)) {
        islast = statement(ls);
        luaY_testnext(ls, ';');
        ls->fs->freereg = ls->fs->nactvar;  // the statement's temporaries are free again
    }
    luaY_leavelevel(ls);
}
