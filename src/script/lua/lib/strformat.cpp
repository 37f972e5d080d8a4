// string.format: the C-style directives c d i o u x X e E f g G q s (with flags, a width and a
// precision of at most two digits each) and the program's own: %B (a boolean as "true" or
// "false"), %Q (a quoted string with every unprintable character escaped; for a wide string,
// L"..."), and %bF %bf %bd %bw %bb, which write a number's raw 8-byte double, 4-byte float,
// 4-byte, 2-byte or 1-byte integer, little-endian. "%b" followed by any other character uses
// up its argument and writes nothing.
//
// Integer directives take the number through luaO_wrapint: truncated toward zero, its low 32
// bits kept, NaN and values out of the 64-bit range giving 0.

#include <cstdio>
#include <cstring>

#include "script/lua/lib/auxlib.h"
#include "script/lua/numconv.h"
#include "script/lua/lib/strlib.h"

namespace {

// The longest directive with its flags, width and precision, "%" and terminator included.
constexpr int MAX_FORMAT = 20;
// Room for one formatted item: a width or precision of 99 and the longest double fit.
constexpr int MAX_ITEM = 512;

bool isdigitc(char c) {
    return c >= '0' && c <= '9';
}

bool isprintable(unsigned c) {
    return c >= 0x20 && c < 0x7F;
}

// Copies the directive at strfrmt (after its "%") into form as "%...X"; answers the position
// of its conversion character.
const char* scanformat(lua_State* L, const char* strfrmt, char* form, bool* hasprecision) {
    const char* p = strfrmt;
    while (*p != '\0' && strchr("-+ #0", *p) != nullptr)
        p++;
    if (isdigitc(*p)) p++;  // width: two digits at most
    if (isdigitc(*p)) p++;
    if (*p == '.') {
        p++;
        *hasprecision = true;
        if (isdigitc(*p)) p++;  // precision: two digits at most
        if (isdigitc(*p)) p++;
    }
    if (isdigitc(*p)) luaL_error(L, "invalid format (width or precision too long)");
    if (p - strfrmt + 2 > MAX_FORMAT) luaL_error(L, "invalid format (too long)");
    form[0] = '%';
    memcpy(form + 1, strfrmt, static_cast<size_t>(p - strfrmt + 1));
    form[p - strfrmt + 2] = '\0';
    return p;
}

// The error for a directive past the last argument. The stack above the arguments belongs to
// the result's buffer, so it must never be read as one.
[[noreturn]] void noargument(lua_State* L, int arg, const char* tname) {
    luaL_argerror(L, arg, lua_pushfstring(L, "%s expected, got no value", tname));
    __builtin_unreachable();
}

void addquoted(lua_State* L, luaL_Buffer* b, int arg) {
    size_t l;
    const char* s = luaL_checklstring(L, arg, &l);
    luaL_putchar(b, '"');
    for (; l-- > 0; s++) {
        switch (*s) {
            case '"':
            case '\\':
            case '\n':
                luaL_putchar(b, '\\');
                luaL_putchar(b, *s);
                break;
            case '\0':
                luaL_addlstring(b, "\\000", 4);
                break;
            default:
                luaL_putchar(b, *s);
                break;
        }
    }
    luaL_putchar(b, '"');
}

// One character of a %Q string: the escapes of the control characters 7 to 13, a backslash
// before a quote or a backslash, a printable character as it is, anything else in hexadecimal
// of the given width.
void addescaped(luaL_Buffer* b, unsigned c, int hexwidth) {
    static const char controls[] = "abtnvfr";
    if (c >= 7 && c <= 13) {
        luaL_putchar(b, '\\');
        luaL_putchar(b, controls[c - 7]);
    } else if (c == '"' || c == '\\') {
        luaL_putchar(b, '\\');
        luaL_putchar(b, static_cast<char>(c));
    } else if (isprintable(c)) {
        luaL_putchar(b, static_cast<char>(c));
    } else {
        char hex[16];
        int n = snprintf(hex, sizeof hex, "\\x%0*x", hexwidth, c);
        luaL_addlstring(b, hex, static_cast<size_t>(n));
    }
}

void addQuoted(lua_State* L, luaL_Buffer* b, int arg) {
    if (lua_type(L, arg) == LUA_TWSTRING) {
        size_t l = lua_strlen(L, arg);
        const char16_t* w = lua_towstring(L, arg);
        luaL_putchar(b, 'L');
        luaL_putchar(b, '"');
        for (size_t i = 0; i < l; i++)
            addescaped(b, w[i], 4);
    } else {
        size_t l;
        const char* s = luaL_checklstring(L, arg, &l);
        luaL_putchar(b, '"');
        for (size_t i = 0; i < l; i++)
            addescaped(b, static_cast<unsigned char>(s[i]), 2);
    }
    luaL_putchar(b, '"');
}

// The little-endian bytes of an integer.
void addlittle(luaL_Buffer* b, uint32_t value, int size) {
    for (int i = 0; i < size; i++)
        luaL_putchar(b, static_cast<char>((value >> (8 * i)) & 0xFF));
}

// %b followed by c: writes the number's raw form, or nothing for an unknown c.
void addraw(lua_State* L, luaL_Buffer* b, int arg, char c) {
    switch (c) {
        case 'F': {
            double d = luaL_checknumber(L, arg);
            uint64_t bits;
            memcpy(&bits, &d, 8);
            addlittle(b, static_cast<uint32_t>(bits), 4);
            addlittle(b, static_cast<uint32_t>(bits >> 32), 4);
            break;
        }
        case 'f': {
            float f = static_cast<float>(luaL_checknumber(L, arg));
            uint32_t bits;
            memcpy(&bits, &f, 4);
            addlittle(b, bits, 4);
            break;
        }
        case 'd':
            addlittle(b, luaO_wrapuint(luaL_checknumber(L, arg)), 4);
            break;
        case 'w':
            addlittle(b, luaO_wrapuint(luaL_checknumber(L, arg)), 2);
            break;
        case 'b':
            addlittle(b, luaO_wrapuint(luaL_checknumber(L, arg)), 1);
            break;
        default:
            break;
    }
}

}  // namespace

int str_format(lua_State* L) {
    int top = lua_gettop(L);
    int arg = 1;
    size_t sfl;
    const char* strfrmt = luaL_checklstring(L, arg, &sfl);
    const char* strfrmt_end = strfrmt + sfl;
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    while (strfrmt < strfrmt_end) {
        if (*strfrmt != '%') {
            luaL_putchar(&b, *strfrmt++);
            continue;
        }
        if (*++strfrmt == '%') {
            luaL_putchar(&b, *strfrmt++);
            continue;
        }
        char form[MAX_FORMAT];
        char buff[MAX_ITEM];
        bool hasprecision = false;
        if (isdigitc(*strfrmt) && *(strfrmt + 1) == '$') {
            return luaL_error(L, "obsolete option (d$) to `format'");
        }
        arg++;
        strfrmt = scanformat(L, strfrmt, form, &hasprecision);
        char conversion = *strfrmt++;
        int n = 0;
        switch (conversion) {
            case 'c':
            case 'd':
            case 'i':
                if (arg > top) noargument(L, arg, "number");
                n = snprintf(buff, sizeof buff, form, luaO_wrapint(luaL_checknumber(L, arg)));
                break;
            case 'o':
            case 'u':
            case 'x':
            case 'X':
                if (arg > top) noargument(L, arg, "number");
                n = snprintf(buff, sizeof buff, form, luaO_wrapuint(luaL_checknumber(L, arg)));
                break;
            case 'e':
            case 'E':
            case 'f':
            case 'g':
            case 'G':
                if (arg > top) noargument(L, arg, "number");
                n = snprintf(buff, sizeof buff, form, luaL_checknumber(L, arg));
                break;
            case 'q':
                if (arg > top) noargument(L, arg, "string");
                addquoted(L, &b, arg);
                continue;
            case 's': {
                if (arg > top) noargument(L, arg, "string");
                size_t l;
                const char* s = luaL_checklstring(L, arg, &l);
                if (!hasprecision && l >= 100) {
                    // Too long to pad: the string goes in whole.
                    lua_pushvalue(L, arg);
                    luaL_addvalue(&b);
                    continue;
                }
                n = snprintf(buff, sizeof buff, form, s);
                break;
            }
            case 'B': {
                int t = arg > top ? LUA_TNONE : lua_type(L, arg);
                if (t == LUA_TNONE) noargument(L, arg, "boolean");
                if (t != LUA_TBOOLEAN && t != LUA_TNIL) luaL_typerror(L, arg, "boolean");
                luaL_addstring(&b, lua_toboolean(L, arg) ? "true" : "false");
                continue;
            }
            case 'Q':
                if (arg > top) noargument(L, arg, "string");
                addQuoted(L, &b, arg);
                continue;
            case 'b': {
                if (strfrmt >= strfrmt_end) continue;  // "%b" ends the format
                char c = *strfrmt++;
                if (c != '\0' && strchr("Ffdwb", c) != nullptr && arg > top)
                    noargument(L, arg, "number");
                addraw(L, &b, arg, c);
                continue;
            }
            default:
                return luaL_error(L, "invalid option to `format'");
        }
        // The item ends at its first zero byte, as a C text does: "%c" of 0 adds nothing.
        if (n > 0) luaL_addlstring(&b, buff, strlen(buff));
    }
    luaL_pushresult(&b);
    return 1;
}
