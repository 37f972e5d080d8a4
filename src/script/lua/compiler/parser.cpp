// The parser, part one: functions, variables, expressions and table constructors. Statements
// are in statements.cpp.

#include "script/lua/compiler/parser.h"

#include "script/lua/compiler/codegen.h"
#include "script/lua/compiler/quicken.h"
#include "script/lua/function.h"
#include "script/lua/memory.h"
#include "script/lua/stringtable.h"
#include "script/lua/table.h"

namespace {

// Left and right priority of each binary operator (higher binds tighter); a unary
// operator's operand is read with kUnaryPriority as its limit.
struct Priority {
    lu_byte left;
    lu_byte right;
};
constexpr Priority kPriority[] = {
    {6, 6},  {6, 6},  // + -
    {7, 7},  {7, 7},  // * /
    {8, 8},  {8, 8},  // & |
    {8, 8},  {8, 8},  // << >>
    {10, 9},          // ^ (right associative)
    {5, 4},           // .. (right associative)
    {3, 3},  {3, 3},  // ~= ==
    {3, 3},  {3, 3},  // < <=
    {3, 3},  {3, 3},  // > >=
    {2, 2},  {1, 1},  // and or
};
static_assert(sizeof kPriority / sizeof kPriority[0] == OPR_NOBINOPR);
constexpr int kUnaryPriority = 8;

void init_exp(expdesc* e, expkind k, int i) {
    e->f = e->t = NO_JUMP;
    e->k = k;
    e->info = i;
}

[[noreturn]] void error_expected(LexState* ls, int token) {
    luaX_syntaxerror(ls, luaO_pushfstring(ls->L, "`%s' expected", luaX_token2str(ls, token)));
}

void check_condition(LexState* ls, bool c, const char* msg) {
    if (!c) luaX_syntaxerror(ls, msg);
}

void codestring(LexState* ls, expdesc* e, TString* s) {
    init_exp(e, VK, luaK_stringK(ls->fs, s));
}

void checkname(LexState* ls, expdesc* e) {
    codestring(ls, e, luaY_checkname(ls));
}

int registerlocalvar(LexState* ls, TString* varname) {
    FuncState* fs = ls->fs;
    Proto* f = fs->f;
    if (fs->nlocvars >= f->sizelocvars) {
        int oldsize = f->sizelocvars;
        luaM_growvector(ls->L, f->locvars, fs->nlocvars, &f->sizelocvars, kMaxInt,
                        "too many local variables");
        for (int i = oldsize; i < f->sizelocvars; i++)
            f->locvars[i] = LocVar{nullptr, 0, 0};
    }
    f->locvars[fs->nlocvars] = LocVar{varname, 0, 0};
    return fs->nlocvars++;
}

int indexupvalue(FuncState* fs, TString* name, const expdesc* v) {
    Proto* f = fs->f;
    for (int i = 0; i < f->nups; i++) {
        if (fs->upvalues[i].k == v->k && fs->upvalues[i].info == v->info) return i;
    }
    luaX_checklimit(fs->ls, f->nups + 1, MAXUPVALUES, "upvalues");
    if (f->nups >= f->sizeupvalues) {
        int oldsize = f->sizeupvalues;
        luaM_growvector(fs->L, f->upvalues, f->nups, &f->sizeupvalues, kMaxInt, "");
        for (int i = oldsize; i < f->sizeupvalues; i++)
            f->upvalues[i] = nullptr;
    }
    f->upvalues[f->nups] = name;
    fs->upvalues[f->nups] = *v;
    return f->nups++;
}

int searchvar(FuncState* fs, TString* n) {
    for (int i = fs->nactvar - 1; i >= 0; i--) {
        if (n == luaY_getlocvar(fs, i).varname) return i;
    }
    return -1;
}

// Marks the block where the local at `level` lives: one of its locals is an upvalue now.
void markupval(FuncState* fs, int level) {
    BlockCnt* bl = fs->bl;
    while (bl != nullptr && bl->nactvar > level)
        bl = bl->previous;
    if (bl != nullptr) bl->upval = true;
}

void singlevaraux(FuncState* fs, TString* n, expdesc* var, bool base) {
    if (fs == nullptr) {
        init_exp(var, VGLOBAL, NO_REG);
        return;
    }
    int v = searchvar(fs, n);
    if (v >= 0) {
        init_exp(var, VLOCAL, v);
        if (!base) markupval(fs, v);
        return;
    }
    singlevaraux(fs->prev, n, var, false);
    if (var->k == VGLOBAL) {
        if (base) var->info = luaK_stringK(fs, n);
    } else {
        var->info = indexupvalue(fs, n, var);
        var->k = VUPVAL;
    }
}

void open_func(LexState* ls, FuncState* fs) {
    Proto* f = luaF_newproto(ls->L);
    fs->f = f;
    fs->prev = ls->fs;
    fs->ls = ls;
    fs->L = ls->L;
    ls->fs = fs;
    fs->pc = 0;
    fs->lasttarget = 0;
    fs->jpc = NO_JUMP;
    fs->freereg = 0;
    fs->nk = 0;
    fs->h = luaH_new(ls->L, 0, 0);
    fs->np = 0;
    fs->nlocvars = 0;
    fs->nactvar = 0;
    fs->bl = nullptr;
    f->source = ls->source;
    f->maxstacksize = 2;  // registers 0 and 1 are always there
}

template <typename T>
void shrink(lua_State* L, T*& v, int& size, int n) {
    v = luaM_reallocvector(L, v, size, n);
    size = n;
}

void close_func(LexState* ls) {
    lua_State* L = ls->L;
    FuncState* fs = ls->fs;
    Proto* f = fs->f;
    luaY_removevars(ls, 0);
    luaK_codeABC(fs, OP_RETURN, 0, 1, 0);  // the final return
    shrink(L, f->code, f->sizecode, fs->pc);
    shrink(L, f->lineinfo, f->sizelineinfo, fs->pc);
    shrink(L, f->k, f->sizek, fs->nk);
    shrink(L, f->p, f->sizep, fs->np);
    shrink(L, f->locvars, f->sizelocvars, fs->nlocvars);
    shrink(L, f->upvalues, f->sizeupvalues, static_cast<int>(f->nups));
    luaP_quicken(f);
    ls->fs = fs->prev;
}

void pushclosure(LexState* ls, FuncState* func, expdesc* v) {
    FuncState* fs = ls->fs;
    Proto* f = fs->f;
    if (fs->np >= MAXARG_Bx) luaX_syntaxerror(ls, "constant table overflow");
    if (fs->np >= f->sizep) {
        int oldsize = f->sizep;
        luaM_growvector(ls->L, f->p, fs->np, &f->sizep, kMaxInt, "");
        for (int i = oldsize; i < f->sizep; i++)
            f->p[i] = nullptr;
    }
    f->p[fs->np++] = func->f;
    init_exp(v, VRELOCABLE, luaK_codeABx(fs, OP_CLOSURE, 0, fs->np - 1));
    // One pseudo-instruction per upvalue: where the closure finds it.
    for (int i = 0; i < func->f->nups; i++) {
        OpCode o = (func->upvalues[i].k == VLOCAL) ? OP_MOVE : OP_GETUPVAL;
        luaK_codeABC(fs, o, 0, func->upvalues[i].info, 0);
    }
}

void parlist(LexState* ls) {
    FuncState* fs = ls->fs;
    int nparams = 0;
    bool dots = false;
    if (ls->t.token != ')') {
        do {
            switch (ls->t.token) {
                case TK_DOTS:
                    dots = true;
                    luaX_next(ls);
                    break;
                case TK_NAME:
                    luaY_newlocalvar(ls, luaY_checkname(ls), nparams++);
                    break;
                default:
                    luaX_syntaxerror(ls, "<name> or `...' expected");
            }
        } while (!dots && luaY_testnext(ls, ','));
    }
    luaY_adjustlocalvars(ls, nparams);
    luaX_checklimit(ls, fs->nactvar, MAXPARAMS, "parameters");
    fs->f->numparams = static_cast<lu_byte>(fs->nactvar);
    fs->f->is_vararg = dots ? 1 : 0;
    if (dots) {
        // The extra arguments arrive in the local "arg".
        luaY_newlocalvarstr(ls, "arg", 0);
        luaY_adjustlocalvars(ls, 1);
    }
    luaK_reserveregs(fs, fs->nactvar);
}

// '[' expr ']'
void yindex(LexState* ls, expdesc* v) {
    luaX_next(ls);
    luaY_expr(ls, v);
    luaK_exp2val(ls->fs, v);
    luaY_checknext(ls, ']');
}

struct ConsControl {
    expdesc v;    // the last list item read
    expdesc* t;   // the table being built
    int nh;       // keyed items
    int na;       // list items
    int tostore;  // list items waiting for a SETLIST
};

void recfield(LexState* ls, ConsControl* cc) {
    FuncState* fs = ls->fs;
    int reg = fs->freereg;
    expdesc key;
    expdesc val;
    if (ls->t.token == TK_NAME) {
        checkname(ls, &key);
    } else {
        yindex(ls, &key);
    }
    luaX_checklimit(ls, cc->nh, kMaxInt, "items in a constructor");
    cc->nh++;
    luaY_checknext(ls, '=');
    int rkkey = luaK_exp2RK(fs, &key);
    luaY_expr(ls, &val);
    luaK_codeABC(fs, OP_SETTABLE, cc->t->info, rkkey, luaK_exp2RK(fs, &val));
    fs->freereg = reg;
}

void closelistfield(FuncState* fs, ConsControl* cc) {
    if (cc->v.k == VVOID) return;
    luaK_exp2nextreg(fs, &cc->v);
    cc->v.k = VVOID;
    if (cc->tostore == LFIELDS_PER_FLUSH) {
        luaK_codeABx(fs, OP_SETLIST, cc->t->info, cc->na - 1);
        cc->tostore = 0;
        fs->freereg = cc->t->info + 1;
    }
}

void lastlistfield(FuncState* fs, ConsControl* cc) {
    if (cc->tostore == 0) return;
    if (cc->v.k == VCALL) {
        luaK_setcallreturns(fs, &cc->v, LUA_MULTRET);
        luaK_codeABx(fs, OP_SETLISTO, cc->t->info, cc->na - 1);
    } else {
        if (cc->v.k != VVOID) luaK_exp2nextreg(fs, &cc->v);
        luaK_codeABx(fs, OP_SETLIST, cc->t->info, cc->na - 1);
    }
    fs->freereg = cc->t->info + 1;
}

void listfield(LexState* ls, ConsControl* cc) {
    luaY_expr(ls, &cc->v);
    luaX_checklimit(ls, cc->na, MAXARG_Bx, "items in a constructor");
    cc->na++;
    cc->tostore++;
}

// A size hint after "&": a number literal, truncated toward zero. Hints above the largest
// table part are refused before the number is converted.
int sizehint(LexState* ls) {
    constexpr lua_Number kMaxHint = 16777216;  // 2^24
    if (ls->t.token != TK_NUMBER) {
        luaX_syntaxerror(
            ls, luaO_pushfstring(ls->L, "size expected following & (line %d)", ls->linenumber));
    }
    lua_Number n = ls->t.seminfo.r;
    if (!(n <= kMaxHint)) {
        luaX_syntaxerror(
            ls, luaO_pushfstring(ls->L, "size too large following & (line %d)", ls->linenumber));
    }
    luaX_next(ls);
    return static_cast<int>(n);
}

void constructor(LexState* ls, expdesc* t) {
    FuncState* fs = ls->fs;
    int line = ls->linenumber;
    int pc = luaK_codeABC(fs, OP_NEWTABLE, 0, 0, 0);
    ConsControl cc;
    cc.na = cc.nh = cc.tostore = 0;
    cc.t = t;
    init_exp(t, VRELOCABLE, pc);
    init_exp(&cc.v, VVOID, 0);
    luaK_exp2nextreg(fs, t);
    luaY_checknext(ls, '{');
    // Size hints: "& hash-part" and then "& array-part", before the items.
    int hashhint = 0;
    int arrayhint = 0;
    if (luaY_testnext(ls, '&')) {
        hashhint = sizehint(ls);
        if (luaY_testnext(ls, '&')) arrayhint = sizehint(ls);
        if (!luaY_testnext(ls, ',')) luaY_testnext(ls, ';');
    }
    do {
        luaY_testnext(ls, ';');
        if (ls->t.token == '}') break;
        closelistfield(fs, &cc);
        switch (ls->t.token) {
            case TK_NAME:
                luaX_lookahead(ls);
                if (ls->lookahead.token != '=') {
                    listfield(ls, &cc);
                } else {
                    recfield(ls, &cc);
                }
                break;
            case '[':
                recfield(ls, &cc);
                break;
            default:
                listfield(ls, &cc);
                break;
        }
    } while (luaY_testnext(ls, ',') || luaY_testnext(ls, ';'));
    luaY_checkmatch(ls, '}', '{', line);
    lastlistfield(fs, &cc);
    int na = cc.na > arrayhint ? cc.na : arrayhint;
    int nh = cc.nh > hashhint ? cc.nh : hashhint;
    SETARG_B(fs->f->code[pc], luaO_int2fb(static_cast<unsigned>(na)));
    SETARG_C(fs->f->code[pc], luaO_log2(static_cast<unsigned>(nh)) + 1);
}

// '(' expr ')' | NAME
void prefixexp(LexState* ls, expdesc* v) {
    switch (ls->t.token) {
        case '(': {
            int line = ls->linenumber;
            luaX_next(ls);
            luaY_expr(ls, v);
            luaY_checkmatch(ls, ')', '(', line);
            luaK_dischargevars(ls->fs, v);  // (f()) is one value
            return;
        }
        case TK_NAME:
            luaY_singlevar(ls, v);
            return;
        default:
            luaX_syntaxerror(ls, "unexpected symbol");
    }
}

void funcargs(LexState* ls, expdesc* f) {
    FuncState* fs = ls->fs;
    expdesc args;
    int line = ls->linenumber;
    switch (ls->t.token) {
        case '(':
            if (line != ls->lastline) {
                luaX_syntaxerror(ls, "ambiguous syntax (function call x new statement)");
            }
            luaX_next(ls);
            if (ls->t.token == ')') {
                args.k = VVOID;
            } else {
                luaY_explist1(ls, &args);
                luaK_setcallreturns(fs, &args, LUA_MULTRET);
            }
            luaY_checkmatch(ls, ')', '(', line);
            break;
        case '{':
            constructor(ls, &args);
            break;
        case TK_STRING:
            codestring(ls, &args, ls->t.seminfo.ts);
            luaX_next(ls);
            break;
        default:
            luaX_syntaxerror(ls, "function arguments expected");
    }
    int base = f->info;
    int nparams;
    if (args.k == VCALL) {
        nparams = LUA_MULTRET;
    } else {
        if (args.k != VVOID) luaK_exp2nextreg(fs, &args);
        nparams = fs->freereg - (base + 1);
    }
    init_exp(f, VCALL, luaK_codeABC(fs, OP_CALL, base, nparams + 1, 2));
    luaK_fixline(fs, line);
    fs->freereg = base + 1;  // the call leaves one result unless told otherwise
}

void simpleexp(LexState* ls, expdesc* v) {
    switch (ls->t.token) {
        case TK_NUMBER:
            init_exp(v, VK, luaK_numberK(ls->fs, ls->t.seminfo.r));
            luaX_next(ls);
            break;
        case TK_STRING:
            codestring(ls, v, ls->t.seminfo.ts);
            luaX_next(ls);
            break;
        case TK_WSTRING:
            init_exp(v, VK, luaK_wstringK(ls->fs, ls->t.seminfo.ts));
            luaX_next(ls);
            break;
        case TK_NIL:
            init_exp(v, VNIL, 0);
            luaX_next(ls);
            break;
        case TK_TRUE:
            init_exp(v, VTRUE, 0);
            luaX_next(ls);
            break;
        case TK_FALSE:
            init_exp(v, VFALSE, 0);
            luaX_next(ls);
            break;
        case '{':
            constructor(ls, v);
            break;
        case TK_FUNCTION:
            luaX_next(ls);
            luaY_body(ls, v, false, ls->linenumber);
            break;
        default:
            luaY_primaryexp(ls, v);
            break;
    }
}

UnOpr getunopr(int op) {
    switch (op) {
        case TK_NOT:
            return OPR_NOT;
        case '-':
            return OPR_MINUS;
        default:
            return OPR_NOUNOPR;
    }
}

BinOpr getbinopr(int op) {
    switch (op) {
        case '+':
            return OPR_ADD;
        case '-':
            return OPR_SUB;
        case '*':
            return OPR_MULT;
        case '/':
            return OPR_DIV;
        case '&':
            return OPR_BAND;
        case '|':
            return OPR_BOR;
        case TK_SHL:
            return OPR_SHL;
        case TK_SHR:
            return OPR_SHR;
        case '^':
            return OPR_POW;
        case TK_CONCAT:
            return OPR_CONCAT;
        case TK_NE:
            return OPR_NE;
        case TK_EQ:
            return OPR_EQ;
        case '<':
            return OPR_LT;
        case TK_LE:
            return OPR_LE;
        case '>':
            return OPR_GT;
        case TK_GE:
            return OPR_GE;
        case TK_AND:
            return OPR_AND;
        case TK_OR:
            return OPR_OR;
        default:
            return OPR_NOBINOPR;
    }
}

// Reads an expression whose operators bind tighter than limit; answers the first operator
// it left alone.
BinOpr subexpr(LexState* ls, expdesc* v, int limit) {
    luaY_enterlevel(ls);
    UnOpr uop = getunopr(ls->t.token);
    if (uop != OPR_NOUNOPR) {
        luaX_next(ls);
        subexpr(ls, v, kUnaryPriority);
        luaK_prefix(ls->fs, uop, v);
    } else {
        simpleexp(ls, v);
    }
    BinOpr op = getbinopr(ls->t.token);
    while (op != OPR_NOBINOPR && kPriority[op].left > limit) {
        expdesc v2;
        luaX_next(ls);
        luaK_infix(ls->fs, op, v);
        BinOpr nextop = subexpr(ls, &v2, kPriority[op].right);
        luaK_posfix(ls->fs, op, v, &v2);
        op = nextop;
    }
    luaY_leavelevel(ls);
    return op;
}

}  // namespace

void luaY_enterlevel(LexState* ls) {
    if (++ls->nestlevel > MAXPARSERLEVEL) luaX_syntaxerror(ls, "too many syntax levels");
}

void luaY_checknext(LexState* ls, int token) {
    if (ls->t.token != token) error_expected(ls, token);
    luaX_next(ls);
}

bool luaY_testnext(LexState* ls, int token) {
    if (ls->t.token != token) return false;
    luaX_next(ls);
    return true;
}

void luaY_checkmatch(LexState* ls, int what, int who, int where) {
    if (luaY_testnext(ls, what)) return;
    if (where == ls->linenumber) error_expected(ls, what);
    luaX_syntaxerror(ls,
                     luaO_pushfstring(ls->L, "`%s' expected (to close `%s' at line %d)",
                                      luaX_token2str(ls, what), luaX_token2str(ls, who), where));
}

TString* luaY_checkname(LexState* ls) {
    check_condition(ls, ls->t.token == TK_NAME, "<name> expected");
    TString* ts = ls->t.seminfo.ts;
    luaX_next(ls);
    return ts;
}

LocVar& luaY_getlocvar(FuncState* fs, int i) {
    return fs->f->locvars[fs->actvar[i]];
}

void luaY_newlocalvar(LexState* ls, TString* name, int n) {
    FuncState* fs = ls->fs;
    luaX_checklimit(ls, fs->nactvar + n + 1, MAXVARS, "local variables");
    fs->actvar[fs->nactvar + n] = registerlocalvar(ls, name);
}

void luaY_newlocalvarstr(LexState* ls, const char* name, int n) {
    luaY_newlocalvar(ls, luaS_new(ls->L, name), n);
}

void luaY_adjustlocalvars(LexState* ls, int nvars) {
    FuncState* fs = ls->fs;
    fs->nactvar += nvars;
    for (; nvars > 0; nvars--)
        luaY_getlocvar(fs, fs->nactvar - nvars).startpc = fs->pc;
}

void luaY_removevars(LexState* ls, int tolevel) {
    FuncState* fs = ls->fs;
    while (fs->nactvar > tolevel)
        luaY_getlocvar(fs, --fs->nactvar).endpc = fs->pc;
}

void luaY_singlevar(LexState* ls, expdesc* var) {
    singlevaraux(ls->fs, luaY_checkname(ls), var, true);
}

// Makes nvars values out of nexps expressions, the last of which is e: a call gives as many
// results as are missing, other missing values are nil.
void luaY_adjustassign(LexState* ls, int nvars, int nexps, expdesc* e) {
    FuncState* fs = ls->fs;
    int extra = nvars - nexps;
    if (e->k == VCALL) {
        extra++;  // the call itself
        if (extra < 0) extra = 0;
        luaK_setcallreturns(fs, e, extra);
        if (extra > 1) luaK_reserveregs(fs, extra - 1);
        return;
    }
    if (e->k != VVOID) luaK_exp2nextreg(fs, e);
    if (extra > 0) {
        int reg = fs->freereg;
        luaK_reserveregs(fs, extra);
        luaK_nil(fs, reg, extra);
    }
}

void luaY_field(LexState* ls, expdesc* v) {
    FuncState* fs = ls->fs;
    expdesc key;
    luaK_exp2anyreg(fs, v);
    luaX_next(ls);  // the dot or colon
    checkname(ls, &key);
    luaK_indexed(fs, v, &key);
}

void luaY_body(LexState* ls, expdesc* e, bool needself, int line) {
    FuncState new_fs;
    open_func(ls, &new_fs);
    new_fs.f->lineDefined = line;
    luaY_checknext(ls, '(');
    if (needself) {
        luaY_newlocalvarstr(ls, "self", 0);
        luaY_adjustlocalvars(ls, 1);
    }
    parlist(ls);
    luaY_checknext(ls, ')');
    luaY_chunk(ls);
    luaY_checkmatch(ls, TK_END, TK_FUNCTION, line);
    close_func(ls);
    pushclosure(ls, &new_fs, e);
}

void luaY_primaryexp(LexState* ls, expdesc* v) {
    FuncState* fs = ls->fs;
    prefixexp(ls, v);
    for (;;) {
        switch (ls->t.token) {
            case '.':
                luaY_field(ls, v);
                break;
            case '[': {
                expdesc key;
                luaK_exp2anyreg(fs, v);
                yindex(ls, &key);
                luaK_indexed(fs, v, &key);
                break;
            }
            case ':': {
                expdesc key;
                luaX_next(ls);
                checkname(ls, &key);
                luaK_self(fs, v, &key);
                funcargs(ls, v);
                break;
            }
            case '(':
            case TK_STRING:
            case '{':
                luaK_exp2nextreg(fs, v);
                funcargs(ls, v);
                break;
            default:
                return;
        }
    }
}

void luaY_expr(LexState* ls, expdesc* v) {
    subexpr(ls, v, -1);
}

int luaY_explist1(LexState* ls, expdesc* v) {
    int n = 1;
    luaY_expr(ls, v);
    while (luaY_testnext(ls, ',')) {
        luaK_exp2nextreg(ls->fs, v);
        luaY_expr(ls, v);
        n++;
    }
    return n;
}

Proto* luaY_parser(lua_State* L, Zio* z, ZBuffer* buff, ZBuffer* wbuff) {
    LexState lexstate;
    FuncState funcstate;
    lexstate.buff = buff;
    lexstate.wbuff = wbuff;
    luaX_setinput(L, &lexstate, z, luaS_new(L, z->name));
    open_func(&lexstate, &funcstate);
    luaX_next(&lexstate);
    luaY_chunk(&lexstate);
    check_condition(&lexstate, lexstate.t.token == TK_EOS, "<eof> expected");
    close_func(&lexstate);
    return funcstate.f;
}
