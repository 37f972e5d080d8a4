// The code checker and the symbolic execution it shares with the debug information: one walk
// over a prototype's code that checks every operand and, when asked for a register, finds the
// last instruction before a point that wrote it (which tells what a value is called in
// messages: a local, a global, a field or a method).

#include "script/lua/debuginfo.h"
#include "script/lua/function.h"
#include "script/lua/compiler/opcodes.h"

namespace {

constexpr int kNoReg = -1;  // a full check, no register asked for

struct Walk {
    bool ok;
    Instruction last;  // the instruction that last wrote the register asked for
};

bool checkreg(const Proto* pt, int reg) {
    return reg >= 0 && reg < pt->maxstacksize;
}

bool checkRK(const Proto* pt, int r) {
    return checkreg(pt, r) || (ISK(r) && r - MAXSTACK < pt->sizek);
}

// A run form's register operands are registers of the frame and its constant a number.
bool checkrunform(const Proto* pt, Instruction i) {
    int b = GETARG_B(i);
    int c = GETARG_C(i);
    switch (static_cast<int>(GET_OPCODE(i))) {
        case OP_ADD_RR:
        case OP_SUB_RR:
        case OP_MUL_RR:
        case OP_DIV_RR:
        case OP_LT_RR:
        case OP_LE_RR:
            return checkreg(pt, b) && checkreg(pt, c);
        case OP_ADD_RN:
        case OP_SUB_RN:
        case OP_MUL_RN:
        case OP_DIV_RN:
        case OP_LT_RN:
        case OP_LE_RN:
            return checkreg(pt, b) && ISK(c) && c - MAXSTACK < pt->sizek &&
                   ttisnumber(&pt->k[c - MAXSTACK]);
        default:
            return true;  // a plain instruction, or no instruction at all (refused later)
    }
}

bool precheck(const Proto* pt) {
    if (pt->maxstacksize > MAXSTACK) return false;
    if (pt->sizecode <= 0 || pt->code == nullptr) return false;
    if (pt->sizelineinfo != pt->sizecode && pt->sizelineinfo != 0) return false;
    // The parameters and "arg" live in registers.
    if (pt->numparams + (pt->is_vararg ? 1 : 0) > pt->maxstacksize) return false;
    return GET_OPCODE(pt->code[pt->sizecode - 1]) == OP_RETURN;
}

// After a call that leaves all its results, only an instruction that takes them up to the top
// may follow.
bool checkopenop(const Proto* pt, int pc) {
    if (pc + 1 >= pt->sizecode) return false;
    Instruction i = pt->code[pc + 1];
    switch (GET_OPCODE(i)) {
        case OP_CALL:
        case OP_TAILCALL:
        case OP_RETURN:
            return GETARG_B(i) == 0;
        case OP_SETLISTO:
            return true;
        default:
            return false;
    }
}

// Walks the code up to lastpc. With reg = kNoReg every instruction is checked; otherwise
// forward jumps that stay before lastpc are followed, so that the instruction found is one
// that really ran before lastpc.
Walk symbexec(const Proto* pt, int lastpc, int reg) {
    const Walk fail = {false, 0};
    if (!precheck(pt)) return fail;
    int last = pt->sizecode - 1;  // the final return changes no register
    for (int pc = 0; pc < lastpc; pc++) {
        // A run form must have the operand kinds it was made for; from there on it is checked
        // and read as the instruction it stands for.
        if (!checkrunform(pt, pt->code[pc])) return fail;
        const Instruction i = luaP_plain(pt->code[pc]);
        OpCode op = GET_OPCODE(i);
        if (op >= NUM_OPCODES) return fail;
        const OpMode& mode = luaP_opmodes[op];
        int a = GETARG_A(i);
        int b = 0;
        int c = 0;
        if (!checkreg(pt, a)) return fail;
        switch (mode.format) {
            case iABC:
                b = GETARG_B(i);
                c = GETARG_C(i);
                if (mode.b == OpArgR && !checkreg(pt, b)) return fail;
                if (mode.b == OpArgK && !checkRK(pt, b)) return fail;
                if (mode.c == OpArgR && !checkreg(pt, c)) return fail;
                if (mode.c == OpArgK && !checkRK(pt, c)) return fail;
                break;
            case iABx:
                b = GETARG_Bx(i);
                if (mode.bxIsK && b >= pt->sizek) return fail;
                break;
            case iAsBx:
                b = GETARG_sBx(i);
                break;
        }
        if (mode.setsA && a == reg) last = pc;
        if (mode.isTest) {
            if (pc + 2 >= pt->sizecode) return fail;
            if (GET_OPCODE(pt->code[pc + 1]) != OP_JMP) return fail;
        }
        switch (op) {
            case OP_LOADBOOL:
                if (c != 0 && pc + 2 >= pt->sizecode) return fail;
                break;
            case OP_LOADNIL:
                if (a <= reg && reg <= b) last = pc;
                break;
            case OP_GETUPVAL:
            case OP_SETUPVAL:
                if (b >= pt->nups) return fail;
                break;
            case OP_GETGLOBAL:
            case OP_SETGLOBAL:
                if (!ttisstring(&pt->k[b])) return fail;
                break;
            case OP_SELF:
                if (!checkreg(pt, a + 1)) return fail;
                if (reg == a + 1) last = pc;
                break;
            case OP_CONCAT:
                if (b >= c) return fail;  // at least two operands
                break;
            case OP_TFORLOOP:
                if (!checkreg(pt, a + c + 5)) return fail;
                if (pc + 2 >= pt->sizecode) return fail;  // it may skip the next one
                if (reg >= a) last = pc;
                break;
            case OP_TFORPREP:
            case OP_FORLOOP:
            case OP_JMP: {
                if (op == OP_FORLOOP && !checkreg(pt, a + 2)) return fail;
                if (op == OP_TFORPREP && !checkreg(pt, a + 1)) return fail;
                if (op == OP_TFORPREP && reg == a + 1) last = pc;
                int dest = pc + 1 + b;
                if (dest < 0 || dest >= pt->sizecode) return fail;
                if (reg != kNoReg && pc < dest && dest <= lastpc) pc += b;
                break;
            }
            case OP_CALL:
            case OP_TAILCALL:
                if (b != 0 && !checkreg(pt, a + b - 1)) return fail;
                c--;  // the number of results
                if (c == LUA_MULTRET) {
                    if (!checkopenop(pt, pc)) return fail;
                } else if (c != 0 && !checkreg(pt, a + c - 1)) {
                    return fail;
                }
                if (reg >= a) last = pc;  // it changes every register from a up
                break;
            case OP_RETURN:
                b--;
                if (b > 0 && !checkreg(pt, a + b - 1)) return fail;
                break;
            case OP_SETLIST:
                if (!checkreg(pt, a + (b & (LFIELDS_PER_FLUSH - 1)) + 1)) return fail;
                break;
            case OP_CLOSURE: {
                if (b >= pt->sizep || pt->p[b] == nullptr) return fail;
                int nup = pt->p[b]->nups;
                if (pc + nup >= pt->sizecode) return fail;
                for (int j = 1; j <= nup; j++) {
                    OpCode op1 = GET_OPCODE(pt->code[pc + j]);
                    if (op1 != OP_GETUPVAL && op1 != OP_MOVE) return fail;
                }
                break;
            }
            default:
                break;
        }
    }
    return Walk{true, luaP_plain(pt->code[last])};
}

const char* kname(const Proto* p, int c) {
    if (ISK(c) && ttisstring(&p->k[c - MAXSTACK])) return svalue(&p->k[c - MAXSTACK]);
    return "?";
}

int currentpc(CallInfo* ci) {
    return static_cast<int>(ci->savedpc - luaG_getproto(ci)->code) - 1;
}

}  // namespace

bool luaG_checkcode(const Proto* pt) {
    return symbexec(pt, pt->sizecode, kNoReg).ok;
}

const char* luaG_getobjname(CallInfo* ci, int stackpos, const char** name) {
    if (!isLua(ci)) return nullptr;
    Proto* p = luaG_getproto(ci);
    int pc = currentpc(ci);
    *name = luaF_getlocalname(p, stackpos + 1, pc);
    if (*name != nullptr) return "local";
    Walk w = symbexec(p, pc, stackpos);
    if (!w.ok) return nullptr;
    Instruction i = w.last;
    switch (GET_OPCODE(i)) {
        case OP_GETGLOBAL:
            *name = svalue(&p->k[GETARG_Bx(i)]);
            return "global";
        case OP_MOVE: {
            int a = GETARG_A(i);
            int b = GETARG_B(i);
            if (b < a) return luaG_getobjname(ci, b, name);  // the value came from b
            break;
        }
        case OP_GETTABLE:
            *name = kname(p, GETARG_C(i));
            return "field";
        case OP_SELF:
            *name = kname(p, GETARG_C(i));
            return "method";
        default:
            break;
    }
    return nullptr;
}

const char* luaG_getfuncname(CallInfo* ci, const char** name) {
    // A tail call lost its caller, and only a Lua caller's code tells the name.
    if ((isLua(ci) && ci->tailcalls > 0) || !isLua(ci - 1)) return nullptr;
    ci--;
    Instruction i = luaP_plain(luaG_getproto(ci)->code[currentpc(ci)]);
    if (GET_OPCODE(i) == OP_CALL || GET_OPCODE(i) == OP_TAILCALL || GET_OPCODE(i) == OP_TFORLOOP) {
        return luaG_getobjname(ci, GETARG_A(i), name);
    }
    return nullptr;
}
