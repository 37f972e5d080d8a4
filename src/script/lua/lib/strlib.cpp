// The string library: the "string" table, which is also the metatable of every string (so
// that s:len() and s:format(...) find the functions), and its simple functions. Positions are
// 1-based bytes; negative positions count back from the end.

#include <cstring>

#include "script/lua/lib/auxlib.h"
#include "script/lua/lib/lualib.h"
#include "script/lua/lib/strlib.h"

namespace {

// Mirrors the largest string the core accepts ("memory allocation error: block too big").
constexpr size_t kMaxStringSize = 0xFFFFFFFDu;

int str_len(lua_State* L) {
    size_t l;
    luaL_checklstring(L, 1, &l);
    lua_pushnumber(L, static_cast<lua_Number>(l));
    return 1;
}

int str_sub(lua_State* L) {
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    int64_t start = str_posrelat(luaL_checkint(L, 2), l);
    int64_t end = str_posrelat(luaL_optint(L, 3, -1), l);
    if (start < 1) start = 1;
    if (end > static_cast<int64_t>(l)) end = static_cast<int64_t>(l);
    if (start <= end) {
        lua_pushlstring(L, s + start - 1, static_cast<size_t>(end - start + 1));
    } else {
        lua_pushliteral(L, "");
    }
    return 1;
}

// Case changes are ASCII only: scripts see the same result whatever the machine's locale.
int changecase(lua_State* L, bool upper) {
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    for (size_t i = 0; i < l; i++) {
        char c = s[i];
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        luaL_putchar(&b, c);
    }
    luaL_pushresult(&b);
    return 1;
}

int str_lower(lua_State* L) {
    return changecase(L, false);
}

int str_upper(lua_State* L) {
    return changecase(L, true);
}

int str_rep(lua_State* L) {
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    int n = luaL_checkint(L, 2);
    if (l == 0 || n <= 0) {
        lua_pushliteral(L, "");
        return 1;
    }
    // Refused before anything is built, rather than after gigabytes of pieces.
    if (l > kMaxStringSize / static_cast<size_t>(n)) luaL_error(L, "string size overflow");
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    while (n-- > 0)
        luaL_addlstring(&b, s, l);
    luaL_pushresult(&b);
    return 1;
}

int str_byte(lua_State* L) {
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    int64_t pos = str_posrelat(luaL_optint(L, 2, 1), l);
    if (pos <= 0 || pos > static_cast<int64_t>(l)) return 0;  // no byte there
    lua_pushnumber(L, static_cast<unsigned char>(s[pos - 1]));
    return 1;
}

int str_char(lua_State* L) {
    int n = lua_gettop(L);
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    for (int i = 1; i <= n; i++) {
        int c = luaL_checkint(L, i);
        luaL_argcheck(L, static_cast<unsigned char>(c) == c, i, "invalid value");
        luaL_putchar(&b, static_cast<char>(c));
    }
    luaL_pushresult(&b);
    return 1;
}

int writer(lua_State*, const void* b, size_t size, void* B) {
    luaL_addlstring(static_cast<luaL_Buffer*>(B), static_cast<const char*>(b), size);
    return 1;
}

int str_dump(lua_State* L) {
    luaL_checktype(L, 1, LUA_TFUNCTION);
    lua_settop(L, 1);
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    if (!lua_dump(L, writer, &b)) luaL_error(L, "unable to dump given function");
    luaL_pushresult(&b);
    return 1;
}

int hexdigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Resolves the escape sequences of a text as the lexer reads them in a quoted string. Mode 0
// writes one byte per character; any other mode writes UTF-16 little-endian, two bytes per
// character, and reads up to four hexadecimal digits after "\x". A "\x" escape always writes
// two bytes, low first. A backslash that ends the text is kept as it is.
int str_lualex(lua_State* L) {
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    bool wide = luaL_checknumber(L, 2) != 0;
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    auto put = [&b, wide](unsigned value) {
        luaL_putchar(&b, static_cast<char>(value & 0xFF));
        if (wide) luaL_putchar(&b, static_cast<char>((value >> 8) & 0xFF));
    };
    size_t i = 0;
    while (i < l) {
        unsigned char c = static_cast<unsigned char>(s[i++]);
        if (c != '\\' || i == l) {
            put(c);
            continue;
        }
        c = static_cast<unsigned char>(s[i++]);
        switch (c) {
            case 'a':
                put('\a');
                break;
            case 'b':
                put('\b');
                break;
            case 'f':
                put('\f');
                break;
            case 'n':
                put('\n');
                break;
            case 'r':
                put('\r');
                break;
            case 't':
                put('\t');
                break;
            case 'v':
                put('\v');
                break;
            case 'x': {
                int maxdigits = wide ? 4 : 2;
                unsigned value = 0;
                int digits = 0;
                while (digits < maxdigits && i < l && hexdigit(s[i]) >= 0) {
                    value = value * 16 + static_cast<unsigned>(hexdigit(s[i++]));
                    digits++;
                }
                if (digits == 0) {
                    put('x');
                } else {
                    luaL_putchar(&b, static_cast<char>(value & 0xFF));
                    luaL_putchar(&b, static_cast<char>(value >> 8));
                }
                break;
            }
            default:
                if (c >= '0' && c <= '9') {
                    unsigned value = c - '0';
                    for (int digits = 1; digits < 3 && i < l && s[i] >= '0' && s[i] <= '9';
                         digits++) {
                        value = value * 10 + static_cast<unsigned>(s[i++] - '0');
                    }
                    put(wide ? value : value & 0xFF);
                } else {
                    put(c);
                }
                break;
        }
    }
    luaL_pushresult(&b);
    return 1;
}

const luaL_reg strlib[] = {
    {"len", str_len},       {"sub", str_sub},   {"lower", str_lower}, {"upper", str_upper},
    {"char", str_char},     {"rep", str_rep},   {"byte", str_byte},   {"format", str_format},
    {"dump", str_dump},     {"find", str_find}, {"gfind", str_gfind}, {"gsub", str_gsub},
    {"lualex", str_lualex}, {nullptr, nullptr},
};

const luaL_reg packlib[] = {
    {"pack", str_pack},
    {"unpack", str_unpack},
    {nullptr, nullptr},
};

}  // namespace

int luaopen_string(lua_State* L) {
    luaL_openlib(L, "string", strlib, 0);
    lua_pushvalue(L, -1);
    lua_settypemetatable(L, LUA_TSTRING);
    luaL_openlib(L, nullptr, packlib, 0);
    lua_pop(L, 1);
    return 0;
}
