#include "script/lua/compiler/quicken.h"

#include "script/lua/compiler/opcodes.h"

void luaP_quicken(Proto* f) {
    for (int pc = 0; pc < f->sizecode; pc++) {
        Instruction i = f->code[pc];
        int rr;  // the form for two registers
        int rn;  // the form for a register and a number constant
        switch (GET_OPCODE(i)) {
            case OP_ADD:
            case OP_SUB:
            case OP_MUL:
            case OP_DIV:
                rr = OP_ADD_RR + (GET_OPCODE(i) - OP_ADD);
                rn = OP_ADD_RN + (GET_OPCODE(i) - OP_ADD);
                break;
            case OP_LT:
                rr = OP_LT_RR;
                rn = OP_LT_RN;
                break;
            case OP_LE:
                rr = OP_LE_RR;
                rn = OP_LE_RN;
                break;
            default:
                continue;
        }
        int b = GETARG_B(i);
        int c = GETARG_C(i);
        if (ISK(b)) continue;
        int run;
        if (!ISK(c)) {
            run = rr;
        } else if (ttisnumber(&f->k[c - MAXSTACK])) {
            run = rn;
        } else {
            continue;
        }
        f->code[pc] = (i & ~static_cast<Instruction>((1u << SIZE_OP) - 1)) |
                      static_cast<Instruction>(run);
    }
}
