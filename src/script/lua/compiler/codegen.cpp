#include "script/lua/compiler/codegen.h"

#include <cstdlib>

#include "script/lua/memory.h"
#include "script/lua/table.h"

namespace {

bool hasjumps(const expdesc* e) {
    return e->t != e->f;
}

// Grows a vector of the prototype so that index `used` exists; new slots are cleared, so that
// a prototype left half-built by a syntax error holds nothing stale.
template <typename T>
void growarray(FuncState* fs, T*& v, int used, int& size, const T& blank) {
    if (used < size) return;
    int oldsize = size;
    luaM_growvector(fs->L, v, used, &size, kMaxInt, "code size overflow");
    for (int i = oldsize; i < size; i++)
        v[i] = blank;
}

void fixjump(FuncState* fs, int pc, int dest) {
    Instruction& jmp = fs->f->code[pc];
    int offset = dest - (pc + 1);
    if (std::abs(offset) > MAXARG_sBx) luaX_syntaxerror(fs->ls, "control structure too long");
    SETARG_sBx(jmp, offset);
}

// The target of the jump at pc, or NO_JUMP at the end of its list.
int getjump(FuncState* fs, int pc) {
    int offset = GETARG_sBx(fs->f->code[pc]);
    return offset == NO_JUMP ? NO_JUMP : (pc + 1) + offset;
}

// The instruction deciding whether the jump at pc is taken: the test before it, if any.
Instruction* getjumpcontrol(FuncState* fs, int pc) {
    Instruction* pi = &fs->f->code[pc];
    if (pc >= 1 && luaP_opmodes[GET_OPCODE(*(pi - 1))].isTest) return pi - 1;
    return pi;
}

// A TEST in a jump list carries its operand as the expression's value (copying it on the
// way) while its target register is still unset. One whose value must not be used (after a
// "not", or once it only leads to another jump) gets its own operand as target: a copy onto
// itself, and a plain jump from then on.
bool carriesvalue(Instruction i) {
    return GET_OPCODE(i) == OP_TEST && GETARG_A(i) == NO_REG;
}

void removevalues(FuncState* fs, int list) {
    for (; list != NO_JUMP; list = getjump(fs, list)) {
        Instruction* i = getjumpcontrol(fs, list);
        if (GET_OPCODE(*i) == OP_TEST) SETARG_A(*i, GETARG_B(*i));
    }
}

// Whether some jump of the list does not carry the value (a TEST with C = cond copies its
// operand on the way).
bool need_value(FuncState* fs, int list, int cond) {
    for (; list != NO_JUMP; list = getjump(fs, list)) {
        Instruction i = *getjumpcontrol(fs, list);
        if (!carriesvalue(i) || GETARG_C(i) != cond) return true;
    }
    return false;
}

void patchtestreg(Instruction* i, int reg) {
    if (reg == NO_REG) reg = GETARG_B(*i);
    SETARG_A(*i, reg);
}

// Points every jump of the list at its target: a TEST taken when true goes to ttarget and
// copies its value into treg, one taken when false to ftarget into freg, any other to
// dtarget.
void patchlistaux(FuncState* fs, int list, int ttarget, int treg, int ftarget, int freg,
                  int dtarget) {
    while (list != NO_JUMP) {
        int next = getjump(fs, list);
        Instruction* i = getjumpcontrol(fs, list);
        if (!carriesvalue(*i)) {
            fixjump(fs, list, dtarget);
        } else if (GETARG_C(*i)) {
            patchtestreg(i, treg);
            fixjump(fs, list, ttarget);
        } else {
            patchtestreg(i, freg);
            fixjump(fs, list, ftarget);
        }
        list = next;
    }
}

void dischargejpc(FuncState* fs) {
    patchlistaux(fs, fs->jpc, fs->pc, NO_REG, fs->pc, NO_REG, fs->pc);
    fs->jpc = NO_JUMP;
}

void freereg(FuncState* fs, int reg) {
    if (reg >= fs->nactvar && reg < MAXSTACK) fs->freereg--;
}

void freeexp(FuncState* fs, expdesc* e) {
    if (e->k == VNONRELOC) freereg(fs, e->info);
}

// The index of constant v, added when new; key is what identifies it in fs->h.
int addk(FuncState* fs, const TValue* key, const TValue* v) {
    const TValue* idx = luaH_get(fs->h, key);
    if (ttisnumber(idx)) return static_cast<int>(nvalue(idx));
    if (fs->nk >= MAXARG_Bx) luaX_syntaxerror(fs->ls, "constant table overflow");
    Proto* f = fs->f;
    growarray(fs, f->k, fs->nk, f->sizek, luaO_nilobject_);
    setobj(&f->k[fs->nk], v);
    setnvalue(luaH_set(fs->L, fs->h, key), static_cast<lua_Number>(fs->nk));
    return fs->nk++;
}

int nil_constant(FuncState* fs) {
    // nil cannot be a key: the table of constants stands for it.
    TValue k;
    TValue v;
    sethvalue(&k, fs->h);
    setnilvalue(&v);
    return addk(fs, &k, &v);
}

int condjump(FuncState* fs, OpCode op, int a, int b, int c) {
    luaK_codeABC(fs, op, a, b, c);
    return luaK_jump(fs);
}

int code_label(FuncState* fs, int a, int b, int jump) {
    luaK_getlabel(fs);  // the loads are jump targets
    return luaK_codeABC(fs, OP_LOADBOOL, a, b, jump);
}

void discharge2reg(FuncState* fs, expdesc* e, int reg) {
    luaK_dischargevars(fs, e);
    switch (e->k) {
        case VNIL:
            luaK_nil(fs, reg, 1);
            break;
        case VFALSE:
        case VTRUE:
            luaK_codeABC(fs, OP_LOADBOOL, reg, e->k == VTRUE, 0);
            break;
        case VK:
            luaK_codeABx(fs, OP_LOADK, reg, e->info);
            break;
        case VRELOCABLE:
            SETARG_A(getcode(fs, e), reg);
            break;
        case VNONRELOC:
            if (reg != e->info) luaK_codeABC(fs, OP_MOVE, reg, e->info, 0);
            break;
        default:
            return;  // VVOID or VJMP: nothing to put in a register yet
    }
    e->info = reg;
    e->k = VNONRELOC;
}

void discharge2anyreg(FuncState* fs, expdesc* e) {
    if (e->k != VNONRELOC) {
        luaK_reserveregs(fs, 1);
        discharge2reg(fs, e, fs->freereg - 1);
    }
}

// Puts the value of e, jumps included, into reg. Jumps that do not carry the value land on a
// pair of boolean loads.
void exp2reg(FuncState* fs, expdesc* e, int reg) {
    discharge2reg(fs, e, reg);
    if (e->k == VJMP) luaK_concat(fs, &e->t, e->info);
    if (hasjumps(e)) {
        int p_f = NO_JUMP;
        int p_t = NO_JUMP;
        if (need_value(fs, e->t, 1) || need_value(fs, e->f, 0)) {
            int fj = (e->k == VJMP) ? NO_JUMP : luaK_jump(fs);
            p_f = code_label(fs, reg, 0, 1);
            p_t = code_label(fs, reg, 1, 0);
            luaK_patchtohere(fs, fj);
        }
        int final = luaK_getlabel(fs);
        patchlistaux(fs, e->f, p_f, NO_REG, final, reg, p_f);
        patchlistaux(fs, e->t, final, reg, p_t, NO_REG, p_t);
    }
    e->f = e->t = NO_JUMP;
    e->info = reg;
    e->k = VNONRELOC;
}

void invertjump(FuncState* fs, expdesc* e) {
    Instruction* pc = getjumpcontrol(fs, e->info);
    SETARG_A(*pc, !GETARG_A(*pc));
}

// A jump taken when e's truth is cond.
int jumponcond(FuncState* fs, expdesc* e, int cond) {
    if (e->k == VRELOCABLE) {
        Instruction ie = getcode(fs, e);
        if (GET_OPCODE(ie) == OP_NOT) {
            fs->pc--;  // the NOT goes: test its operand the other way
            return condjump(fs, OP_TEST, NO_REG, GETARG_B(ie), !cond);
        }
    }
    discharge2anyreg(fs, e);
    freeexp(fs, e);
    return condjump(fs, OP_TEST, NO_REG, e->info, cond);
}

void codenot(FuncState* fs, expdesc* e) {
    luaK_dischargevars(fs, e);
    switch (e->k) {
        case VNIL:
        case VFALSE:
            e->k = VTRUE;
            break;
        case VK:
        case VTRUE:
            e->k = VFALSE;
            break;
        case VJMP:
            invertjump(fs, e);
            break;
        case VRELOCABLE:
        case VNONRELOC:
            discharge2anyreg(fs, e);
            freeexp(fs, e);
            e->info = luaK_codeABC(fs, OP_NOT, 0, e->info, 0);
            e->k = VRELOCABLE;
            break;
        default:
            break;
    }
    // The value of a "not" is a boolean: the jumps no longer carry their operands.
    int temp = e->f;
    e->f = e->t;
    e->t = temp;
    removevalues(fs, e->f);
    removevalues(fs, e->t);
}

void codebinop(FuncState* fs, expdesc* res, BinOpr op, int o1, int o2) {
    if (op <= OPR_POW) {
        OpCode opc = static_cast<OpCode>(OP_ADD + (op - OPR_ADD));
        res->info = luaK_codeABC(fs, opc, 0, o1, o2);
        res->k = VRELOCABLE;
        return;
    }
    // "~=" is "==" with the jump taken the other way; ">" and ">=" swap their operands.
    static const OpCode tests[] = {OP_EQ, OP_EQ, OP_LT, OP_LE, OP_LT, OP_LE};
    int cond = 1;
    if (op >= OPR_GT) {
        int temp = o1;
        o1 = o2;
        o2 = temp;
    } else if (op == OPR_NE) {
        cond = 0;
    }
    res->info = condjump(fs, tests[op - OPR_NE], cond, o1, o2);
    res->k = VJMP;
}

}  // namespace

int luaK_code(FuncState* fs, Instruction i, int line) {
    Proto* f = fs->f;
    dischargejpc(fs);  // pending jumps land here
    if (fs->pc >= kMaxInt) luaX_syntaxerror(fs->ls, "code size overflow");
    growarray(fs, f->code, fs->pc, f->sizecode, Instruction{0});
    f->code[fs->pc] = i;
    growarray(fs, f->lineinfo, fs->pc, f->sizelineinfo, 0);
    f->lineinfo[fs->pc] = line;
    return fs->pc++;
}

int luaK_codeABC(FuncState* fs, OpCode o, int a, int b, int c) {
    return luaK_code(fs, CREATE_ABC(o, a, b, c), fs->ls->lastline);
}

int luaK_codeABx(FuncState* fs, OpCode o, int a, int bx) {
    return luaK_code(fs, CREATE_ABx(o, a, bx), fs->ls->lastline);
}

void luaK_fixline(FuncState* fs, int line) {
    fs->f->lineinfo[fs->pc - 1] = line;
}

void luaK_nil(FuncState* fs, int from, int n) {
    // Joins a LOADNIL right before it when no jump lands in between.
    if (fs->pc > fs->lasttarget && fs->pc > 0) {
        Instruction& previous = fs->f->code[fs->pc - 1];
        if (GET_OPCODE(previous) == OP_LOADNIL) {
            int pfrom = GETARG_A(previous);
            int pto = GETARG_B(previous);
            if (pfrom <= from && from <= pto + 1) {
                if (from + n - 1 > pto) SETARG_B(previous, from + n - 1);
                return;
            }
        }
    }
    luaK_codeABC(fs, OP_LOADNIL, from, from + n - 1, 0);
}

int luaK_jump(FuncState* fs) {
    // Jumps pending to here go straight where this one goes. They carry no value.
    int jpc = fs->jpc;
    removevalues(fs, jpc);
    fs->jpc = NO_JUMP;
    int j = luaK_codeAsBx(fs, OP_JMP, 0, NO_JUMP);
    luaK_concat(fs, &j, jpc);
    return j;
}

int luaK_getlabel(FuncState* fs) {
    fs->lasttarget = fs->pc;
    return fs->pc;
}

void luaK_patchlist(FuncState* fs, int list, int target) {
    if (target == fs->pc) {
        luaK_patchtohere(fs, list);
    } else {
        patchlistaux(fs, list, target, NO_REG, target, NO_REG, target);
    }
}

void luaK_patchtohere(FuncState* fs, int list) {
    luaK_getlabel(fs);
    luaK_concat(fs, &fs->jpc, list);
}

void luaK_concat(FuncState* fs, int* l1, int l2) {
    if (l2 == NO_JUMP) return;
    if (*l1 == NO_JUMP) {
        *l1 = l2;
        return;
    }
    int list = *l1;
    int next;
    while ((next = getjump(fs, list)) != NO_JUMP)
        list = next;
    fixjump(fs, list, l2);
}

void luaK_checkstack(FuncState* fs, int n) {
    int newstack = fs->freereg + n;
    if (newstack > fs->f->maxstacksize) {
        if (newstack >= MAXSTACK) luaX_syntaxerror(fs->ls, "function or expression too complex");
        fs->f->maxstacksize = static_cast<lu_byte>(newstack);
    }
}

void luaK_reserveregs(FuncState* fs, int n) {
    luaK_checkstack(fs, n);
    fs->freereg += n;
}

int luaK_stringK(FuncState* fs, TString* s) {
    TValue o;
    setsvalue(&o, s);
    return addk(fs, &o, &o);
}

int luaK_wstringK(FuncState* fs, TString* s) {
    // A wide string is never equal to a string, so the two never share a constant.
    TValue o;
    setsvalue(&o, s);
    return addk(fs, &o, &o);
}

int luaK_numberK(FuncState* fs, lua_Number r) {
    TValue o;
    setnvalue(&o, r);
    return addk(fs, &o, &o);
}

void luaK_setcallreturns(FuncState* fs, expdesc* e, int nresults) {
    if (e->k != VCALL) return;
    SETARG_C(getcode(fs, e), nresults + 1);
    if (nresults == 1) {
        e->k = VNONRELOC;
        e->info = GETARG_A(getcode(fs, e));
    }
}

void luaK_dischargevars(FuncState* fs, expdesc* e) {
    switch (e->k) {
        case VLOCAL:
            e->k = VNONRELOC;
            break;
        case VUPVAL:
            e->info = luaK_codeABC(fs, OP_GETUPVAL, 0, e->info, 0);
            e->k = VRELOCABLE;
            break;
        case VGLOBAL:
            e->info = luaK_codeABx(fs, OP_GETGLOBAL, 0, e->info);
            e->k = VRELOCABLE;
            break;
        case VINDEXED:
            freereg(fs, e->aux);
            freereg(fs, e->info);
            e->info = luaK_codeABC(fs, OP_GETTABLE, 0, e->info, e->aux);
            e->k = VRELOCABLE;
            break;
        case VCALL:
            luaK_setcallreturns(fs, e, 1);
            break;
        default:
            break;
    }
}

void luaK_exp2nextreg(FuncState* fs, expdesc* e) {
    luaK_dischargevars(fs, e);
    freeexp(fs, e);
    luaK_reserveregs(fs, 1);
    exp2reg(fs, e, fs->freereg - 1);
}

int luaK_exp2anyreg(FuncState* fs, expdesc* e) {
    luaK_dischargevars(fs, e);
    if (e->k == VNONRELOC) {
        if (!hasjumps(e)) return e->info;
        if (e->info >= fs->nactvar) {  // a temporary: its jumps can land in it
            exp2reg(fs, e, e->info);
            return e->info;
        }
    }
    luaK_exp2nextreg(fs, e);
    return e->info;
}

void luaK_exp2val(FuncState* fs, expdesc* e) {
    if (hasjumps(e)) {
        luaK_exp2anyreg(fs, e);
    } else {
        luaK_dischargevars(fs, e);
    }
}

int luaK_exp2RK(FuncState* fs, expdesc* e) {
    luaK_exp2val(fs, e);
    switch (e->k) {
        case VNIL:
            if (fs->nk + MAXSTACK <= MAXARG_C) {
                e->info = nil_constant(fs);
                e->k = VK;
                return e->info + MAXSTACK;
            }
            break;
        case VK:
            if (e->info + MAXSTACK <= MAXARG_C) return e->info + MAXSTACK;
            break;
        default:
            break;
    }
    // Not a constant an operand can name: it goes into a register.
    return luaK_exp2anyreg(fs, e);
}

void luaK_storevar(FuncState* fs, expdesc* var, expdesc* ex) {
    switch (var->k) {
        case VLOCAL:
            freeexp(fs, ex);
            exp2reg(fs, ex, var->info);
            return;
        case VUPVAL: {
            int e = luaK_exp2anyreg(fs, ex);
            luaK_codeABC(fs, OP_SETUPVAL, e, var->info, 0);
            break;
        }
        case VGLOBAL: {
            int e = luaK_exp2anyreg(fs, ex);
            luaK_codeABx(fs, OP_SETGLOBAL, e, var->info);
            break;
        }
        case VINDEXED: {
            int e = luaK_exp2RK(fs, ex);
            luaK_codeABC(fs, OP_SETTABLE, var->info, var->aux, e);
            break;
        }
        default:
            break;
    }
    freeexp(fs, ex);
}

void luaK_self(FuncState* fs, expdesc* e, expdesc* key) {
    luaK_exp2anyreg(fs, e);
    freeexp(fs, e);
    int func = fs->freereg;
    luaK_reserveregs(fs, 2);
    luaK_codeABC(fs, OP_SELF, func, e->info, luaK_exp2RK(fs, key));
    freeexp(fs, key);
    e->info = func;
    e->k = VNONRELOC;
}

void luaK_indexed(FuncState* fs, expdesc* t, expdesc* k) {
    t->aux = luaK_exp2RK(fs, k);
    t->k = VINDEXED;
}

void luaK_goiftrue(FuncState* fs, expdesc* e) {
    int pc;
    luaK_dischargevars(fs, e);
    switch (e->k) {
        case VK:
        case VTRUE:
            pc = NO_JUMP;  // always true
            break;
        case VFALSE:
            pc = luaK_jump(fs);  // always false
            break;
        case VJMP:
            invertjump(fs, e);
            pc = e->info;
            break;
        default:
            pc = jumponcond(fs, e, 0);
            break;
    }
    luaK_concat(fs, &e->f, pc);
}

void luaK_goiffalse(FuncState* fs, expdesc* e) {
    int pc;
    luaK_dischargevars(fs, e);
    switch (e->k) {
        case VNIL:
        case VFALSE:
            pc = NO_JUMP;  // always false
            break;
        case VTRUE:
            pc = luaK_jump(fs);  // always true
            break;
        case VJMP:
            pc = e->info;
            break;
        default:
            pc = jumponcond(fs, e, 1);
            break;
    }
    luaK_concat(fs, &e->t, pc);
}

void luaK_prefix(FuncState* fs, UnOpr op, expdesc* e) {
    if (op == OPR_NOT) {
        codenot(fs, e);
        return;
    }
    luaK_exp2val(fs, e);
    if (e->k == VK && ttisnumber(&fs->f->k[e->info])) {
        e->info = luaK_numberK(fs, -nvalue(&fs->f->k[e->info]));
        return;
    }
    luaK_exp2anyreg(fs, e);
    freeexp(fs, e);
    e->info = luaK_codeABC(fs, OP_UNM, 0, e->info, 0);
    e->k = VRELOCABLE;
}

void luaK_infix(FuncState* fs, BinOpr op, expdesc* v) {
    switch (op) {
        case OPR_AND:
            luaK_goiftrue(fs, v);
            luaK_patchtohere(fs, v->t);
            v->t = NO_JUMP;
            break;
        case OPR_OR:
            luaK_goiffalse(fs, v);
            luaK_patchtohere(fs, v->f);
            v->f = NO_JUMP;
            break;
        case OPR_CONCAT:
            luaK_exp2nextreg(fs, v);  // the operands of a concatenation are consecutive
            break;
        default:
            luaK_exp2RK(fs, v);
            break;
    }
}

void luaK_posfix(FuncState* fs, BinOpr op, expdesc* e1, expdesc* e2) {
    switch (op) {
        case OPR_AND:
            luaK_dischargevars(fs, e2);
            luaK_concat(fs, &e1->f, e2->f);
            e1->k = e2->k;
            e1->info = e2->info;
            e1->aux = e2->aux;
            e1->t = e2->t;
            break;
        case OPR_OR:
            luaK_dischargevars(fs, e2);
            luaK_concat(fs, &e1->t, e2->t);
            e1->k = e2->k;
            e1->info = e2->info;
            e1->aux = e2->aux;
            e1->f = e2->f;
            break;
        case OPR_CONCAT:
            luaK_exp2val(fs, e2);
            if (e2->k == VRELOCABLE && GET_OPCODE(getcode(fs, e2)) == OP_CONCAT) {
                // a .. (b .. c): one CONCAT over the whole run
                freeexp(fs, e1);
                SETARG_B(getcode(fs, e2), e1->info);
                e1->k = e2->k;
                e1->info = e2->info;
            } else {
                luaK_exp2nextreg(fs, e2);
                freeexp(fs, e2);
                freeexp(fs, e1);
                e1->info = luaK_codeABC(fs, OP_CONCAT, 0, e1->info, e2->info);
                e1->k = VRELOCABLE;
            }
            break;
        default: {
            int o1 = luaK_exp2RK(fs, e1);
            int o2 = luaK_exp2RK(fs, e2);
            freeexp(fs, e2);
            freeexp(fs, e1);
            codebinop(fs, e1, op, o1, o2);
            break;
        }
    }
}
