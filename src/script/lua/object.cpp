#include "script/lua/object.h"

#include <cstdio>
#include <cstring>

#include "script/lua/calls.h"
#include "script/lua/memory.h"
#include "script/lua/numconv.h"
#include "script/lua/state.h"
#include "script/lua/stringtable.h"

const TValue luaO_nilobject_ = {LUA_TNIL, {nullptr}};

const char* const luaT_typenames[] = {"nil",   "boolean",  "userdata", "number", "string",
                                      "table", "function", "userdata", "thread", "wstring"};

const char* luaO_typename(int tt) {
    if (tt == LUA_TNONE) return "no value";
    if (tt < 0 || tt > LUA_TWSTRING) return "?";
    return luaT_typenames[tt];
}

int luaO_log2(unsigned int x) {
    if (x == 0) return -1;
    return 31 - __builtin_clz(x);
}

int luaO_int2fb(unsigned int x) {
    int m = 0;
    while (x >= (1u << 3)) {
        x = (x + 1) >> 1;  // rounds up
        m++;
    }
    return (m << 3) | static_cast<int>(x);
}

bool luaO_rawequalObj(const TValue* t1, const TValue* t2) {
    if (ttype(t1) != ttype(t2)) return false;
    switch (ttype(t1)) {
        case LUA_TNIL:
            return true;
        case LUA_TNUMBER:
            return nvalue(t1) == nvalue(t2);
        case LUA_TBOOLEAN:
            return bvalue(t1) == bvalue(t2);
        case LUA_TLIGHTUSERDATA:
            return pvalue(t1) == pvalue(t2);
        default:
            return gcvalue(t1) == gcvalue(t2);
    }
}

namespace {

// Appends to the state's scratch buffer, which holds the text being formatted.
class FormatBuffer {
public:
    explicit FormatBuffer(lua_State* L) : mL(L) {}

    void Append(const char* s, size_t n) {
        Mbuffer& b = G(mL)->buff;
        size_t need = luaM_checkedadd(mL, mLength, n);
        if (need > b.size) {
            size_t newsize = b.size * 2 > need ? b.size * 2 : need;
            if (newsize < LUA_MINBUFFER) newsize = LUA_MINBUFFER;
            b.buffer = static_cast<char*>(luaM_realloc(mL, b.buffer, b.size, newsize));
            b.size = newsize;
        }
        if (n > 0) memcpy(b.buffer + mLength, s, n);
        mLength += n;
    }

    TString* Make() { return luaS_newlstr(mL, G(mL)->buff.buffer, mLength); }

private:
    lua_State* mL;
    size_t mLength = 0;
};

}  // namespace

const char* luaO_pushvfstring(lua_State* L, const char* fmt, va_list argp) {
    FormatBuffer out(L);
    for (;;) {
        const char* e = strchr(fmt, '%');
        if (e == nullptr) break;
        out.Append(fmt, static_cast<size_t>(e - fmt));
        char number[LUAI_MAXNUMBER2STR];
        switch (e[1]) {
            case 's': {
                const char* s = va_arg(argp, const char*);
                if (s == nullptr) s = "(null)";
                out.Append(s, strlen(s));
                break;
            }
            case 'c': {
                char c = static_cast<char>(va_arg(argp, int));
                if (c != '\0') out.Append(&c, 1);
                break;
            }
            case 'd': {
                int n = snprintf(number, sizeof number, "%d", va_arg(argp, int));
                out.Append(number, static_cast<size_t>(n));
                break;
            }
            case 'f': {
                int n = lua_number2str(number, va_arg(argp, double));
                out.Append(number, static_cast<size_t>(n));
                break;
            }
            case '%':
                out.Append("%", 1);
                break;
            default:
                // Unknown directives stand as they are; a '%' at the very end too.
                out.Append(e, e[1] == '\0' ? 1 : 2);
                break;
        }
        fmt = e[1] == '\0' ? e + 1 : e + 2;
    }
    out.Append(fmt, strlen(fmt));
    setsvalue(L->top, out.Make());
    incr_top(L);
    return svalue(L->top - 1);
}

const char* luaO_pushfstring(lua_State* L, const char* fmt, ...) {
    va_list argp;
    va_start(argp, fmt);
    const char* msg = luaO_pushvfstring(L, fmt, argp);
    va_end(argp);
    return msg;
}

void luaO_chunkid(char* out, const char* source, int bufflen) {
    if (*source == '=') {
        snprintf(out, static_cast<size_t>(bufflen), "%s", source + 1);
        return;
    }
    if (*source == '@') {
        source++;
        int room = bufflen - static_cast<int>(sizeof(" `...' "));
        int l = static_cast<int>(strlen(source));
        if (l > room) {
            // Keeps the end of a long file name, where the name itself is.
            snprintf(out, static_cast<size_t>(bufflen), "...%s", source + (l - room));
        } else {
            snprintf(out, static_cast<size_t>(bufflen), "%s", source);
        }
        return;
    }
    int len = static_cast<int>(strcspn(source, "\n"));
    int room = bufflen - static_cast<int>(sizeof(" [string \"...\"] "));
    if (len > room) len = room;
    if (len < 0) len = 0;
    if (source[len] != '\0') {
        snprintf(out, static_cast<size_t>(bufflen), "[string \"%.*s...\"]", len, source);
    } else {
        snprintf(out, static_cast<size_t>(bufflen), "[string \"%s\"]", source);
    }
}
