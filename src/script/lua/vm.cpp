// The interpreter loop. Lua-to-Lua calls and returns stay inside one run of the loop: a call
// enters the new frame and a return goes back to the caller's, so only native functions and
// metamethods nest in the native stack. The loop dispatches through a table of labels and
// keeps the frame's base, constants and pc in locals; every operation that may call out,
// raise or move the stack saves pc in the call record first and reloads base afterwards.
//
// Threads: as the state that runs.

#include <cmath>

#include "script/lua/calls.h"
#include "script/lua/collector.h"
#include "script/lua/compiler/opcodes.h"
#include "script/lua/debuginfo.h"
#include "script/lua/function.h"
#include "script/lua/numconv.h"
#include "script/lua/stringtable.h"
#include "script/lua/table.h"
#include "script/lua/vmops.h"

namespace {

// Arithmetic that is not on two numbers: numeric strings convert, anything else goes to the
// operands' handler.
void arith(lua_State* L, StkId ra, const TValue* rb, const TValue* rc, TMS op) {
    TValue tb;
    TValue tc;
    const TValue* b = luaV_tonumber(rb, &tb);
    const TValue* c = (b != nullptr) ? luaV_tonumber(rc, &tc) : nullptr;
    if (b != nullptr && c != nullptr) {
        lua_Number x = nvalue(b);
        lua_Number y = nvalue(c);
        switch (op) {
            case TM_ADD:
                setnvalue(ra, x + y);
                return;
            case TM_SUB:
                setnvalue(ra, x - y);
                return;
            case TM_MUL:
                setnvalue(ra, x * y);
                return;
            case TM_DIV:
                setnvalue(ra, x / y);
                return;
            default:
                break;
        }
        // "^" on values that only convert to numbers: the global "__pow" computes it.
        const TValue* gtable = gt(L);
        const TValue* f = ttistable(gtable) ? luaH_getstr(hvalue(gtable), G(L)->tmname[TM_POW])
                                            : luaO_nilobject();
        if (!ttisfunction(f)) luaG_runerror(L, "`__pow' (`^' operator) is not a function");
        ptrdiff_t res = savestack(L, ra);
        TValue result;
        luaV_callTMres(L, f, b, c, &result);
        setobj(restorestack(L, res), &result);
        return;
    }
    if (!luaV_callbinTM(L, rb, rc, ra, op)) luaG_aritherror(L, rb, rc);
}

void unaryminus(lua_State* L, StkId ra, const TValue* rb) {
    TValue nil;
    setnilvalue(&nil);
    if (!luaV_callbinTM(L, rb, &nil, ra, TM_UNM)) luaG_aritherror(L, rb, &nil);
}

// The bit operators work on the low 32 bits of each operand truncated toward zero; the
// result reads as unsigned.
inline lua_Number bitresult(uint32_t x) {
    return static_cast<lua_Number>(x);
}

// Runs the count and line hooks before the instruction at pc - 1.
void traceexec(lua_State* L, const Instruction* pc) {
    lu_byte mask = L->hookmask;
    CallInfo* ci = L->ci;
    const Instruction* oldpc = ci->savedpc;
    ci->savedpc = pc;
    if ((mask & LUA_MASKCOUNT) && L->basehookcount > 0 && --L->hookcount <= 0) {
        L->hookcount = L->basehookcount;
        luaD_callhook(L, LUA_HOOKCOUNT, -1);
    }
    if (mask & LUA_MASKLINE) {
        Proto* p = luaG_getproto(L->ci);
        int npc = static_cast<int>(pc - p->code) - 1;
        int oldnpc = static_cast<int>(oldpc - p->code) - 1;
        if (p->sizelineinfo == 0) return;
        int newline = p->lineinfo[npc];
        // A new line, or a jump back (a loop), gets the line hook.
        if (npc == 0 || npc <= oldnpc || oldnpc < 0 || newline != p->lineinfo[oldnpc]) {
            luaD_callhook(L, LUA_HOOKLINE, newline);
        }
    }
}

}  // namespace

// Each operation ends in a dispatch of its own: the compiler is kept from merging those equal
// tails (cross-jumping) into one indirect jump, whose target the processor would then predict
// from every operation's history at once. The dispatch is kept short (register A is found by
// the operations that use it) so that the compiler's own copying of it applies too.
#if defined(__GNUC__) && !defined(__clang__)
#define KEEP_DISPATCH_TAILS __attribute__((optimize("no-crossjumping")))
#else
#define KEEP_DISPATCH_TAILS
#endif
// clang-format off
KEEP_DISPATCH_TAILS void luaV_execute(lua_State* L, int nexeccalls) {
    static const void* const kDispatch[1 << SIZE_OP] = {
        &&op_MOVE, &&op_LOADK, &&op_LOADBOOL, &&op_LOADNIL, &&op_GETUPVAL, &&op_GETGLOBAL,
        &&op_GETTABLE, &&op_SETGLOBAL, &&op_SETUPVAL, &&op_SETTABLE, &&op_NEWTABLE, &&op_SELF,
        &&op_ADD, &&op_SUB, &&op_MUL, &&op_DIV, &&op_BAND, &&op_BOR, &&op_SHL, &&op_SHR,
        &&op_POW, &&op_UNM, &&op_NOT, &&op_CONCAT, &&op_JMP, &&op_EQ, &&op_LT, &&op_LE,
        &&op_TEST, &&op_CALL, &&op_TAILCALL, &&op_RETURN, &&op_FORLOOP, &&op_TFORLOOP,
        &&op_TFORPREP, &&op_SETLIST, &&op_SETLISTO, &&op_CLOSE, &&op_CLOSURE,
        // The run forms.
        &&op_ADD_RR, &&op_SUB_RR, &&op_MUL_RR, &&op_DIV_RR, &&op_ADD_RN, &&op_SUB_RN,
        &&op_MUL_RN, &&op_DIV_RN, &&op_LT_RR, &&op_LE_RR, &&op_LT_RN, &&op_LE_RN,
        // Numbers past the last opcode never pass the code checker; they are skipped.
        &&op_NONE, &&op_NONE, &&op_NONE, &&op_NONE, &&op_NONE, &&op_NONE, &&op_NONE,
        &&op_NONE, &&op_NONE, &&op_NONE, &&op_NONE, &&op_NONE, &&op_NONE,
    };
    static_assert(NUM_RUN_OPCODES + 13 == (1 << SIZE_OP));
    // While line or count hooks are set, every instruction goes through op_HOOK first.
#define HOOK8 &&op_HOOK, &&op_HOOK, &&op_HOOK, &&op_HOOK, &&op_HOOK, &&op_HOOK, &&op_HOOK, &&op_HOOK
    static const void* const kHookDispatch[1 << SIZE_OP] = {
        HOOK8, HOOK8, HOOK8, HOOK8, HOOK8, HOOK8, HOOK8, HOOK8,
    };
#undef HOOK8

    LClosure* cl;
    StkId base;
    // The constants as addressed by an RK operand's own value (MAXSTACK and up): kept as an
    // address so that an operand is one selection and one add (and constant Bx is at Bx +
    // MAXSTACK from it).
    uintptr_t kbase;
    const void* const* dispatch;
    const Instruction* pc;
    Instruction i;
    StkId ra;

#define RB() (base + GETARG_B(i))
#define RC() (base + GETARG_C(i))
// An RK operand from its byte offset (the operand times the slot size, taken from the
// instruction with one shift and one mask).
#define RK(off) (reinterpret_cast<TValue*>(((off) >= MAXSTACK * sizeof(TValue)               \
                                                ? kbase                                        \
                                                : reinterpret_cast<uintptr_t>(base)) + (off)))
#define RKB() RK((i >> (POS_B - 4)) & (static_cast<uintptr_t>(MAXARG_B) << 4))
#define RKC() RK((i >> (POS_C - 4)) & (static_cast<uintptr_t>(MAXARG_C) << 4))
#define KBx() (reinterpret_cast<TValue*>(kbase + (MAXSTACK + GETARG_Bx(i)) * sizeof(TValue)))
// The operands of a run form, whose kinds need no telling apart: register B, register C and
// constant C.
#define RBR() (reinterpret_cast<TValue*>(reinterpret_cast<uintptr_t>(base) +                  \
                                         ((i >> (POS_B - 4)) & (static_cast<uintptr_t>(MAXARG_B) << 4))))
#define RCR() (reinterpret_cast<TValue*>(reinterpret_cast<uintptr_t>(base) +                  \
                                         ((i >> (POS_C - 4)) & (static_cast<uintptr_t>(MAXARG_C) << 4))))
#define KCN() (reinterpret_cast<TValue*>(kbase + ((i >> (POS_C - 4)) & (static_cast<uintptr_t>(MAXARG_C) << 4))))
    static_assert(sizeof(TValue) == 16, "RK offsets are operands shifted by 4");
// After anything that may have run other code: the stack may have moved, and hooks may have
// been set or cleared (only native code sets them, so only a call out can change them).
#define RELOAD()                                                       \
    {                                                                  \
        base = L->base;                                                \
        dispatch = (L->hookmask & (LUA_MASKLINE | LUA_MASKCOUNT)) ? kHookDispatch : kDispatch; \
    }
// Anything that may raise, call out or move the stack.
#define Protect(x)                                                     \
    {                                                                  \
        L->ci->savedpc = pc;                                           \
        x;                                                             \
        RELOAD();                                                      \
    }
#define NEXT()                                                         \
    {                                                                  \
        i = *pc++;                                                     \
        goto *dispatch[GET_OPCODE(i)];                                 \
    }
// Takes the jump after a test that decided to take it. The jump is run here when it is one;
// otherwise the next instruction runs as usual.
#define TAKEJUMP()                                                     \
    {                                                                  \
        Instruction ni = *pc;                                          \
        if (GET_OPCODE(ni) == OP_JMP) pc += GETARG_sBx(ni) + 1;        \
    }

reentry:
    cl = static_cast<LClosure*>(clvalue(L->ci->func));
    kbase = reinterpret_cast<uintptr_t>(cl->p->k) - static_cast<uintptr_t>(MAXSTACK) * sizeof(TValue);
    pc = L->ci->savedpc;
    RELOAD();
    NEXT();

op_HOOK:
    // i is the instruction about to run, pc the one after it.
    traceexec(L, pc);
    RELOAD();
    ra = base + GETARG_A(i);
    goto *kDispatch[GET_OPCODE(i)];

op_MOVE:
    ra = base + GETARG_A(i);
    setobj(ra, RB());
    NEXT();
op_LOADK:
    ra = base + GETARG_A(i);
    setobj(ra, KBx());
    NEXT();
op_LOADBOOL:
    ra = base + GETARG_A(i);
    setbvalue(ra, GETARG_B(i));
    if (GETARG_C(i)) pc++;
    NEXT();
op_LOADNIL: {
    ra = base + GETARG_A(i);
    StkId rb = RB();
    do {
        setnilvalue(rb--);
    } while (rb >= ra);
    NEXT();
}
op_GETUPVAL:
    ra = base + GETARG_A(i);
    setobj(ra, cl->upvals[GETARG_B(i)]->v);
    NEXT();
op_GETGLOBAL: {
    ra = base + GETARG_A(i);
    TValue* key = KBx();
    if (ttistable(&cl->g)) {
        const TValue* v = luaH_getstr(hvalue(&cl->g), tsvalue(key));
        if (!ttisnil(v)) {
            setobj(ra, v);
            NEXT();
        }
    }
    Protect(luaV_gettable(L, &cl->g, key, ra));
    NEXT();
}
// A table read: the raw entry, else the "__index" handler found here goes on in
// luaV_finishget without looking twice.
#define GETFROMTABLE(t, key)                                           \
    {                                                                  \
        Table* h = hvalue(t);                                          \
        const TValue* v = luaH_get(h, key);                            \
        const TValue* tm;                                              \
        if (!ttisnil(v) || (tm = luaT_fasttm(L, h->metatable, TM_INDEX)) == nullptr) { \
            setobj(ra, v);                                             \
        } else {                                                       \
            Protect(luaV_finishget(L, t, key, ra, tm));                \
        }                                                              \
        NEXT();                                                        \
    }
op_GETTABLE: {
    ra = base + GETARG_A(i);
    StkId rb = RB();
    TValue* rc = RKC();
    if (ttistable(rb)) [[likely]] GETFROMTABLE(rb, rc)
    Protect(luaV_gettable(L, rb, rc, ra));
    NEXT();
}
op_SETGLOBAL: {
    ra = base + GETARG_A(i);
    TValue* key = KBx();
    if (ttistable(&cl->g)) {
        // An existing global is written in place: no handler applies to it. A table that
        // decided a remembered lookup is written the long way, which forgets them.
        Table* h = hvalue(&cl->g);
        const TValue* slot = luaH_getstr(h, tsvalue(key));
        if (!ttisnil(slot) && (h->marked & kIndexChainBit) == 0) {
            setobj(const_cast<TValue*>(slot), ra);
            NEXT();
        }
    }
    Protect(luaV_settable(L, &cl->g, key, ra));
    NEXT();
}
op_SETUPVAL:
    ra = base + GETARG_A(i);
    setobj(cl->upvals[GETARG_B(i)]->v, ra);
    NEXT();
op_SETTABLE: {
    ra = base + GETARG_A(i);
    TValue* rb = RKB();
    TValue* rc = RKC();
    if (ttistable(ra)) {
        Table* h = hvalue(ra);
        const TValue* slot = luaH_get(h, rb);
        if (!ttisnil(slot) && (h->marked & kIndexChainBit) == 0) {
            setobj(const_cast<TValue*>(slot), rc);
            NEXT();
        }
    }
    Protect(luaV_settable(L, ra, rb, rc));
    NEXT();
}
op_NEWTABLE: {
    ra = base + GETARG_A(i);
    int b = luaO_fb2int(GETARG_B(i));
    int c = GETARG_C(i);
    Protect(sethvalue(ra, luaH_new(L, b, c)); luaC_checkGC(L));
    NEXT();
}
op_SELF: {
    ra = base + GETARG_A(i);
    StkId rb = RB();
    TValue* rc = RKC();
    setobj(ra + 1, rb);
    if (ttistable(ra + 1)) [[likely]] GETFROMTABLE(ra + 1, rc)
    Protect(luaV_gettable(L, ra + 1, rc, ra));
    NEXT();
}

#define ARITH(op, tm)                                                  \
    {                                                                  \
        TValue* rb = RKB();                                            \
        TValue* rc = RKC();                                            \
        if (ttisnumber(rb) && ttisnumber(rc)) [[likely]] {             \
            setnvalue(ra, nvalue(rb) op nvalue(rc));                   \
        } else {                                                       \
            Protect(arith(L, ra, rb, rc, tm));                         \
        }                                                              \
        NEXT();                                                        \
    }
op_ADD:
    ra = base + GETARG_A(i);
    ARITH(+, TM_ADD)
op_SUB:
    ra = base + GETARG_A(i);
    ARITH(-, TM_SUB)
op_MUL:
    ra = base + GETARG_A(i);
    ARITH(*, TM_MUL)
op_DIV:
    ra = base + GETARG_A(i);
    ARITH(/, TM_DIV)

// The run forms of arithmetic: the same as above once the operands are found. The constant of
// an RN form is a number, so only register B is checked.
#define ARITH_RR(op, tm)                                               \
    {                                                                  \
        ra = base + GETARG_A(i);                                       \
        TValue* rb = RBR();                                            \
        TValue* rc = RCR();                                            \
        if (ttisnumber(rb) && ttisnumber(rc)) [[likely]] {             \
            setnvalue(ra, nvalue(rb) op nvalue(rc));                   \
        } else {                                                       \
            Protect(arith(L, ra, rb, rc, tm));                         \
        }                                                              \
        NEXT();                                                        \
    }
#define ARITH_RN(op, tm)                                               \
    {                                                                  \
        ra = base + GETARG_A(i);                                       \
        TValue* rb = RBR();                                            \
        TValue* rc = KCN();                                            \
        if (ttisnumber(rb)) [[likely]] {                               \
            setnvalue(ra, nvalue(rb) op nvalue(rc));                   \
        } else {                                                       \
            Protect(arith(L, ra, rb, rc, tm));                         \
        }                                                              \
        NEXT();                                                        \
    }
op_ADD_RR:
    ARITH_RR(+, TM_ADD)
op_SUB_RR:
    ARITH_RR(-, TM_SUB)
op_MUL_RR:
    ARITH_RR(*, TM_MUL)
op_DIV_RR:
    ARITH_RR(/, TM_DIV)
op_ADD_RN:
    ARITH_RN(+, TM_ADD)
op_SUB_RN:
    ARITH_RN(-, TM_SUB)
op_MUL_RN:
    ARITH_RN(*, TM_MUL)
op_DIV_RN:
    ARITH_RN(/, TM_DIV)

// Bit operators take numbers only: no conversion and no handler.
#define BITOP(expr)                                                    \
    {                                                                  \
        TValue* rb = RKB();                                            \
        TValue* rc = RKC();                                            \
        if (ttisnumber(rb) && ttisnumber(rc)) [[likely]] {             \
            uint32_t x = luaO_wrapuint(nvalue(rb));                    \
            uint32_t y = luaO_wrapuint(nvalue(rc));                    \
            setnvalue(ra, bitresult(expr));                            \
        } else {                                                       \
            Protect(luaG_aritherror(L, rb, rc));                       \
        }                                                              \
        NEXT();                                                        \
    }
op_BAND:
    ra = base + GETARG_A(i);
    BITOP(x & y)
op_BOR:
    ra = base + GETARG_A(i);
    BITOP(x | y)
op_SHL:
    ra = base + GETARG_A(i);
    BITOP(x << (y & 31))
op_SHR:
    ra = base + GETARG_A(i);
    BITOP(x >> (y & 31))
op_POW: {
    ra = base + GETARG_A(i);
    TValue* rb = RKB();
    TValue* rc = RKC();
    if (ttisnumber(rb) && ttisnumber(rc)) [[likely]] {
        setnvalue(ra, bitresult(luaO_wrapuint(nvalue(rb)) ^ luaO_wrapuint(nvalue(rc))));
    } else {
        Protect(arith(L, ra, rb, rc, TM_POW));
    }
    NEXT();
}
op_UNM: {
    ra = base + GETARG_A(i);
    StkId rb = RB();
    TValue temp;
    const TValue* n = ttisnumber(rb) ? rb : luaV_tonumber(rb, &temp);
    if (n != nullptr) {
        setnvalue(ra, -nvalue(n));
    } else {
        Protect(unaryminus(L, ra, rb));
    }
    NEXT();
}
op_NOT: {
    ra = base + GETARG_A(i);
    int res = l_isfalse(RB());
    setbvalue(ra, res);
    NEXT();
}
op_CONCAT: {
    ra = base + GETARG_A(i);
    int b = GETARG_B(i);
    int c = GETARG_C(i);
    Protect(luaV_concat(L, c - b + 1, c); luaC_checkGC(L));
    setobj(base + GETARG_A(i), base + b);
    NEXT();
}
op_JMP:
    pc += GETARG_sBx(i);
    NEXT();
// Ends a test: the next instruction (the jump) is skipped unless the result is A.
#define TESTRESULT(res)                                                \
    {                                                                  \
        if ((res) != (GETARG_A(i) != 0)) {                             \
            pc++;                                                      \
        } else {                                                       \
            TAKEJUMP();                                                \
        }                                                              \
        NEXT();                                                        \
    }
op_EQ: {
    TValue* rb = RKB();
    TValue* rc = RKC();
    bool res;
    if (ttype(rb) != ttype(rc)) {
        res = false;
    } else if (ttisnumber(rb)) {
        res = nvalue(rb) == nvalue(rc);
    } else if (!ttistable(rb) && !ttisuserdata(rb)) {
        res = luaO_rawequalObj(rb, rc);
    } else {
        L->ci->savedpc = pc;
        res = luaV_equalval(L, rb, rc);
        RELOAD();
    }
    TESTRESULT(res)
}
#define ORDER(op, compare)                                             \
    {                                                                  \
        TValue* rb = RKB();                                            \
        TValue* rc = RKC();                                            \
        bool res;                                                      \
        if (ttisnumber(rb) && ttisnumber(rc)) [[likely]] {             \
            res = nvalue(rb) op nvalue(rc);                            \
        } else {                                                       \
            L->ci->savedpc = pc;                                       \
            res = compare(L, rb, rc);                                  \
            RELOAD();                                                  \
        }                                                              \
        TESTRESULT(res)                                                \
    }
op_LT:
    ORDER(<, luaV_lessthan)
op_LE:
    ORDER(<=, luaV_lessequal)
// The run forms of the order tests, as ORDER once the operands are found.
#define ORDER_RUN(op, compare, rcexpr, bothnumbers)                    \
    {                                                                  \
        TValue* rb = RBR();                                            \
        TValue* rc = rcexpr;                                           \
        bool res;                                                      \
        if (bothnumbers) [[likely]] {                                  \
            res = nvalue(rb) op nvalue(rc);                            \
        } else {                                                       \
            L->ci->savedpc = pc;                                       \
            res = compare(L, rb, rc);                                  \
            RELOAD();                                                  \
        }                                                              \
        TESTRESULT(res)                                                \
    }
op_LT_RR:
    ORDER_RUN(<, luaV_lessthan, RCR(), ttisnumber(rb) && ttisnumber(rc))
op_LE_RR:
    ORDER_RUN(<=, luaV_lessequal, RCR(), ttisnumber(rb) && ttisnumber(rc))
op_LT_RN:
    ORDER_RUN(<, luaV_lessthan, KCN(), ttisnumber(rb))
op_LE_RN:
    ORDER_RUN(<=, luaV_lessequal, KCN(), ttisnumber(rb))
op_TEST: {
    ra = base + GETARG_A(i);
    StkId rb = RB();
    if (l_isfalse(rb) == (GETARG_C(i) != 0)) {
        pc++;
    } else {
        setobj(ra, rb);
        TAKEJUMP();
    }
    NEXT();
}
op_CALL: {
    ra = base + GETARG_A(i);
    int b = GETARG_B(i);
    int nresults = GETARG_C(i) - 1;
    if (b != 0) L->top = ra + b;  // else the previous instruction set the top
    L->ci->savedpc = pc;
    if (ttisfunction(ra) && !clvalue(ra)->isC) {  // a Lua function: entered right here
        luaD_precallLua(L, ra, nresults);
        nexeccalls++;
        goto reentry;
    }
    switch (luaD_precall(L, ra, nresults)) {
        case PCRLUA:
            nexeccalls++;
            goto reentry;
        case PCRC:
            if (nresults >= 0) L->top = L->ci->top;
            RELOAD();
            NEXT();
        default:
            return;  // suspended in a yield
    }
}
op_TAILCALL: {
    ra = base + GETARG_A(i);
    int b = GETARG_B(i);
    if (b != 0) L->top = ra + b;
    L->ci->savedpc = pc;
    switch (luaD_precall(L, ra, LUA_MULTRET)) {
        case PCRLUA: {
            // The new frame moves down over the current one, which is gone.
            CallInfo* ci = L->ci - 1;
            CallInfo* nci = L->ci;
            StkId func = ci->func;
            StkId pfunc = nci->func;
            if (L->openupval != nullptr) luaF_close(L, ci->base);
            L->base = ci->base = func + (nci->base - pfunc);
            int aux = 0;
            for (; pfunc + aux < L->top; aux++)
                setobj(func + aux, pfunc + aux);
            ci->top = L->top = func + aux;
            ci->savedpc = nci->savedpc;
            ci->tailcalls++;
            L->ci--;
            goto reentry;
        }
        case PCRC:
            RELOAD();
            NEXT();
        default:
            return;
    }
}
op_RETURN: {
    ra = base + GETARG_A(i);
    int b = GETARG_B(i);
    if (b != 0) L->top = ra + b - 1;
    if (L->openupval != nullptr && static_cast<UpVal*>(L->openupval)->v >= base) {
        luaF_close(L, base);
    }
    L->ci->savedpc = pc;
    bool fixed = luaD_poscall(L, ra);
    if (--nexeccalls == 0) return;  // back to the native caller
    if (fixed) L->top = L->ci->top;
    goto reentry;
}
op_FORLOOP: {
    ra = base + GETARG_A(i);
    if (!ttisnumber(ra)) [[unlikely]] Protect(luaG_runerror(L, "`for' initial value must be a number"));
    TValue* plimit = ra + 1;
    TValue* pstep = ra + 2;
    if (!ttisnumber(plimit)) [[unlikely]] {
        TValue n;
        const TValue* v = luaV_tonumber(plimit, &n);
        if (v == nullptr) Protect(luaG_runerror(L, "`for' limit must be a number"));
        setobj(plimit, v);
    }
    if (!ttisnumber(pstep)) [[unlikely]] {
        TValue n;
        const TValue* v = luaV_tonumber(pstep, &n);
        if (v == nullptr) Protect(luaG_runerror(L, "`for' step must be a number"));
        setobj(pstep, v);
    }
    lua_Number step = nvalue(pstep);
    lua_Number idx = nvalue(ra) + step;
    lua_Number limit = nvalue(plimit);
    if (step > 0 ? idx <= limit : idx >= limit) {
        pc += GETARG_sBx(i);
        ra->value.n = idx;  // already a number
    }
    NEXT();
}
op_TFORLOOP: {
    ra = base + GETARG_A(i);
    int nvar = GETARG_C(i) + 1;
    StkId cb = ra + nvar + 2;
    setobj(cb, ra);
    setobj(cb + 1, ra + 1);
    setobj(cb + 2, ra + 2);
    L->top = cb + 3;
    Protect(luaD_checkstack(L, nvar); luaD_call(L, L->top - 3, nvar));
    L->top = L->ci->top;
    ra = base + GETARG_A(i) + 2;  // the first control variable
    cb = ra + nvar;
    for (int j = nvar - 1; j >= 0; j--)
        setobj(ra + j, cb + j);
    if (ttisnil(ra)) {
        pc++;  // the generator is done: the jump back is skipped
    } else {
        TAKEJUMP();
    }
    NEXT();
}
op_TFORPREP: {
    ra = base + GETARG_A(i);
    if (ttistable(ra)) {
        setobj(ra + 1, ra);
        const TValue* gtable = gt(L);
        L->ci->savedpc = pc;
        TString* name = luaS_new(L, "next");
        setobj(ra, ttistable(gtable) ? luaH_getstr(hvalue(gtable), name) : luaO_nilobject());
    }
    pc += GETARG_sBx(i);
    NEXT();
}
op_SETLIST:
op_SETLISTO: {
    ra = base + GETARG_A(i);
    int bc = GETARG_Bx(i);
    int n;
    if (GET_OPCODE(i) == OP_SETLIST) {
        n = (bc & (LFIELDS_PER_FLUSH - 1)) + 1;
    } else {
        n = static_cast<int>(L->top - ra) - 1;
        L->top = L->ci->top;
    }
    L->ci->savedpc = pc;
    if (!ttistable(ra))
        luaG_runerror(L, "bad code: list items for a %s value", luaO_typename(ttype(ra)));
    bc &= ~(LFIELDS_PER_FLUSH - 1);
    Table* h = hvalue(ra);
    for (; n > 0; n--)
        setobj(luaH_setnum(L, h, bc + n), ra + n);
    NEXT();
}
op_CLOSE:
    ra = base + GETARG_A(i);
    luaF_close(L, ra);
    NEXT();
op_CLOSURE: {
    ra = base + GETARG_A(i);
    Proto* p = cl->p->p[GETARG_Bx(i)];
    int nup = p->nups;
    L->ci->savedpc = pc;
    LClosure* ncl = static_cast<LClosure*>(luaF_newLclosure(L, nup, &cl->g));
    ncl->p = p;
    // The pseudo-instructions after it say where each upvalue comes from.
    for (int j = 0; j < nup; j++, pc++) {
        if (GET_OPCODE(*pc) == OP_GETUPVAL) {
            ncl->upvals[j] = cl->upvals[GETARG_B(*pc)];
        } else {
            ncl->upvals[j] = luaF_findupval(L, base + GETARG_B(*pc));
        }
    }
    setclvalue(ra, ncl);
    Protect(luaC_checkGC(L));
    NEXT();
}
op_NONE:
    NEXT();

#undef RB
#undef RC
#undef RKB
#undef RKC
#undef KBx
#undef RBR
#undef RCR
#undef KCN
#undef Protect
#undef RELOAD
#undef RK
#undef NEXT
#undef TAKEJUMP
#undef ARITH
#undef ARITH_RR
#undef ARITH_RN
#undef ORDER_RUN
#undef KEEP_DISPATCH_TAILS
#undef BITOP
#undef TESTRESULT
#undef ORDER
}
// clang-format on
