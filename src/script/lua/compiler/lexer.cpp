#include "script/lua/compiler/lexer.h"

#include <cstring>

#include "script/lua/calls.h"
#include "script/lua/numconv.h"
#include "script/lua/stringtable.h"

namespace {

const char* const kTokenNames[] = {
    "and",      "break", "continue", "do",      "else",     "elseif", "end", "false",  "for",
    "function", "if",    "in",       "local",   "nil",      "not",    "or",  "repeat", "return",
    "then",     "true",  "until",    "while",   "*name",    "..",     "...", "==",     ">=",
    "<=",       "~=",    "*number",  "*string", "*wstring", "<<",     ">>",  "<eof>",
};
static_assert(sizeof kTokenNames / sizeof kTokenNames[0] == TK_EOS - FIRST_RESERVED + 1);

// Chunk ids in syntax messages may be longer than in run-time ones.
constexpr int kMaxSourceId = 80;

// Character classes are fixed: no locale decides what a letter or a space is.
bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}
bool IsNameStart(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsNameChar(int c) {
    return IsNameStart(c) || IsDigit(c);
}
bool IsSpace(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
int HexValue(int c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void advance(LexState* ls) {
    ls->current = luaZ_getchar(ls->z);
}

// Token text is kept as bytes (the low byte of a wide character).
void save(LexState* ls, int c) {
    ZBuffer* b = ls->buff;
    if (b->n + 1 > b->size) luaZ_openspace(ls->L, b, b->n + 1);
    b->buffer[b->n++] = static_cast<char>(c);
}

void savewide(LexState* ls, int unit) {
    ZBuffer* b = ls->wbuff;
    if (b->n + 2 > b->size) luaZ_openspace(ls->L, b, b->n + 2);
    char16_t u = static_cast<char16_t>(unit);
    memcpy(b->buffer + b->n, &u, 2);
    b->n += 2;
}

void saveandnext(LexState* ls) {
    save(ls, ls->current);
    advance(ls);
}

// A character of a literal: stored whole in a wide literal, and as a byte in the token text.
void storechar(LexState* ls, int c, bool wide) {
    save(ls, c);
    if (wide) savewide(ls, c);
}

// The token text read so far, as a string on the stack (it may hold zero bytes).
const char* buffertext(LexState* ls) {
    TString* ts =
        luaS_newlstr(ls->L, ls->buff->buffer != nullptr ? ls->buff->buffer : "", ls->buff->n);
    setsvalue(ls->L->top, ts);
    incr_top(ls->L);
    return getstr(ts);
}

[[noreturn]] void errornear(LexState* ls, const char* msg, const char* near) {
    char id[kMaxSourceId];
    luaO_chunkid(id, getstr(ls->source), kMaxSourceId);
    luaO_pushfstring(ls->L, "%s:%d: %s near `%s'", id, ls->linenumber, msg, near);
    luaD_throw(ls->L, LUA_ERRSYNTAX);
}

// An error inside the token being read: shown near its text, or near "<eof>".
[[noreturn]] void lexerror(LexState* ls, const char* msg, int token) {
    if (token == TK_EOS) errornear(ls, msg, luaX_token2str(ls, TK_EOS));
    errornear(ls, msg, buffertext(ls));
}

void inclinenumber(LexState* ls) {
    advance(ls);  // the line feed
    ++ls->linenumber;
    luaX_checklimit(ls, ls->linenumber, kMaxInt, "lines in a chunk");
}

// "0x" and up to eight hexadecimal digits, read as an unsigned 32-bit value.
void readhex(LexState* ls, SemInfo* seminfo) {
    saveandnext(ls);  // the 'x'
    uint32_t value = 0;
    int digits = 0;
    int d;
    while (digits < 8 && (d = HexValue(ls->current)) >= 0) {
        value = value * 16 + static_cast<uint32_t>(d);
        saveandnext(ls);
        digits++;
    }
    // Nothing after the "x" that could be a digit is left where it is.
    if (digits == 0) lexerror(ls, "malformed integer", TK_NUMBER);
    seminfo->r = static_cast<lua_Number>(value);
}

void readnumeral(LexState* ls, bool startsWithPoint, SemInfo* seminfo) {
    ls->buff->n = 0;
    bool fractional = startsWithPoint;
    if (startsWithPoint) {
        save(ls, '.');
    } else if (ls->current == '0') {
        saveandnext(ls);
        if (ls->current == 'x') {
            readhex(ls, seminfo);
            return;
        }
    }
    while (IsDigit(ls->current))
        saveandnext(ls);
    if (ls->current == '.') {
        fractional = true;
        saveandnext(ls);
        if (ls->current == '.') {
            saveandnext(ls);
            lexerror(ls, "ambiguous syntax (decimal point x string concatenation)", TK_NUMBER);
        }
    }
    while (IsDigit(ls->current))
        saveandnext(ls);
    if (ls->current == 'e' || ls->current == 'E') {
        fractional = true;
        saveandnext(ls);
        if (ls->current == '+' || ls->current == '-') saveandnext(ls);
        while (IsDigit(ls->current))
            saveandnext(ls);
    }
    save(ls, '\0');
    ls->buff->n--;
    if (!luaO_str2d(ls->buff->buffer, &seminfo->r)) {
        lexerror(ls, fractional ? "malformed number" : "malformed integer", TK_NUMBER);
    }
}

// A long string or long comment; the first "[" is taken, the second is current. Nested
// pairs of brackets are counted, and a line feed right after the opening is dropped.
void readlongstring(LexState* ls, SemInfo* seminfo) {
    int level = 0;
    ls->buff->n = 0;
    save(ls, '[');
    saveandnext(ls);
    if (ls->current == '\n') inclinenumber(ls);
    for (;;) {
        switch (ls->current) {
            case EOZ:
                lexerror(ls,
                         seminfo != nullptr ? "unfinished long string" : "unfinished long comment",
                         TK_EOS);
            case '[':
                saveandnext(ls);
                if (ls->current == '[') {
                    level++;
                    saveandnext(ls);
                }
                continue;
            case ']':
                saveandnext(ls);
                if (ls->current == ']') {
                    if (level == 0) {
                        saveandnext(ls);
                        if (seminfo != nullptr) {
                            seminfo->ts =
                                luaS_newlstr(ls->L, ls->buff->buffer + 2, ls->buff->n - 4);
                        }
                        return;
                    }
                    level--;
                    saveandnext(ls);
                }
                continue;
            case '\n':
                save(ls, '\n');
                inclinenumber(ls);
                if (seminfo == nullptr) ls->buff->n = 0;  // a comment's text is not kept
                continue;
            default:
                saveandnext(ls);
        }
    }
}

// The escape after a backslash (the backslash taken); stores its character.
void readescape(LexState* ls, bool wide) {
    int c;
    switch (ls->current) {
        case 'a':
            c = '\a';
            break;
        case 'b':
            c = '\b';
            break;
        case 'f':
            c = '\f';
            break;
        case 'n':
            c = '\n';
            break;
        case 'r':
            c = '\r';
            break;
        case 't':
            c = '\t';
            break;
        case 'v':
            c = '\v';
            break;
        case '\n':
            storechar(ls, '\n', wide);
            inclinenumber(ls);
            return;
        case EOZ:
            return;  // the string's loop reports it
        case 'x': {
            advance(ls);
            int maxdigits = wide ? 4 : 2;
            int value = 0;
            int digits = 0;
            int d;
            while (digits < maxdigits && (d = HexValue(ls->current)) >= 0) {
                value = value * 16 + d;
                advance(ls);
                digits++;
            }
            // Without a digit the escape stands for the letter itself.
            storechar(ls, digits > 0 ? value : 'x', wide);
            return;
        }
        default: {
            if (!IsDigit(ls->current)) {
                storechar(ls, ls->current, wide);
                advance(ls);
                return;
            }
            int value = 0;
            int i = 0;
            do {
                value = 10 * value + (ls->current - '0');
                advance(ls);
            } while (++i < 3 && IsDigit(ls->current));
            if (value > 255) lexerror(ls, "escape sequence too large", TK_STRING);
            storechar(ls, value, wide);
            return;
        }
    }
    storechar(ls, c, wide);
    advance(ls);
}

// A quoted literal; current is its opening delimiter. A wide literal keeps every character
// as a 16-bit unit, a byte literal keeps bytes.
void readstring(LexState* ls, int delimiter, bool wide, SemInfo* seminfo) {
    ls->buff->n = 0;
    ls->wbuff->n = 0;
    if (wide) save(ls, 'L');
    saveandnext(ls);
    while (ls->current != delimiter) {
        switch (ls->current) {
            case EOZ:
                lexerror(ls, "unfinished string", TK_EOS);
            case '\n':
                lexerror(ls, "unfinished string", TK_STRING);
            case '\\':
                advance(ls);
                readescape(ls, wide);
                break;
            default:
                storechar(ls, ls->current, wide);
                advance(ls);
                break;
        }
    }
    saveandnext(ls);
    if (wide) {
        seminfo->ts = luaS_newlwstr(ls->L, reinterpret_cast<const char16_t*>(ls->wbuff->buffer),
                                    ls->wbuff->n / 2);
    } else {
        seminfo->ts = luaS_newlstr(ls->L, ls->buff->buffer + 1, ls->buff->n - 2);
    }
}

int readname(LexState* ls, SemInfo* seminfo) {
    ls->buff->n = 0;
    if (ls->current == 'L') {
        saveandnext(ls);
        if (ls->current == '"') {
            readstring(ls, '"', true, seminfo);
            return TK_WSTRING;
        }
    }
    while (IsNameChar(ls->current))
        saveandnext(ls);
    TString* ts = luaS_newlstr(ls->L, ls->buff->buffer, ls->buff->n);
    if (ts->reserved > 0) return ts->reserved - 1 + FIRST_RESERVED;
    seminfo->ts = ts;
    return TK_NAME;
}

}  // namespace

void luaX_init(lua_State* L) {
    for (int i = 0; i < NUM_RESERVED; i++) {
        TString* ts = luaS_new(L, kTokenNames[i]);
        luaS_fix(ts);
        ts->reserved = static_cast<lu_byte>(i + 1);
    }
}

void luaX_setinput(lua_State* L, LexState* ls, Zio* z, TString* source) {
    ls->L = L;
    ls->t.token = TK_EOS;
    ls->lookahead.token = TK_EOS;
    ls->z = z;
    ls->fs = nullptr;
    ls->linenumber = 1;
    ls->lastline = 1;
    ls->source = source;
    ls->nestlevel = 0;
    advance(ls);
    // A first line starting with '#' (an interpreter line) is not part of the program.
    if (ls->current == '#') {
        do {
            advance(ls);
        } while (ls->current != '\n' && ls->current != EOZ);
    }
}

void luaX_next(LexState* ls) {
    ls->lastline = ls->linenumber;
    if (ls->lookahead.token != TK_EOS) {
        ls->t = ls->lookahead;
        ls->lookahead.token = TK_EOS;
    } else {
        ls->t.token = luaX_lex(ls, &ls->t.seminfo);
    }
}

void luaX_lookahead(LexState* ls) {
    ls->lookahead.token = luaX_lex(ls, &ls->lookahead.seminfo);
}

int luaX_lex(LexState* ls, SemInfo* seminfo) {
    for (;;) {
        int c = ls->current;
        switch (c) {
            case '\n':
                inclinenumber(ls);
                continue;
            case '-':
                advance(ls);
                if (ls->current != '-') return '-';
                advance(ls);
                if (ls->current == '[') {
                    advance(ls);
                    if (ls->current == '[') {
                        readlongstring(ls, nullptr);
                        ls->buff->n = 0;
                        continue;
                    }
                }
                while (ls->current != '\n' && ls->current != EOZ)
                    advance(ls);
                continue;
            case '[':
                advance(ls);
                if (ls->current != '[') return '[';
                readlongstring(ls, seminfo);
                return TK_STRING;
            case '=':
                advance(ls);
                if (ls->current != '=') return '=';
                advance(ls);
                return TK_EQ;
            case '<':
                advance(ls);
                if (ls->current == '<') {
                    advance(ls);
                    return TK_SHL;
                }
                if (ls->current != '=') return '<';
                advance(ls);
                return TK_LE;
            case '>':
                advance(ls);
                if (ls->current == '>') {
                    advance(ls);
                    return TK_SHR;
                }
                if (ls->current != '=') return '>';
                advance(ls);
                return TK_GE;
            case '~':
                advance(ls);
                if (ls->current != '=') return '~';
                advance(ls);
                return TK_NE;
            case '"':
            case '\'':
                readstring(ls, c, false, seminfo);
                return TK_STRING;
            case '.':
                advance(ls);
                if (ls->current == '.') {
                    advance(ls);
                    if (ls->current == '.') {
                        advance(ls);
                        return TK_DOTS;
                    }
                    return TK_CONCAT;
                }
                if (!IsDigit(ls->current)) return '.';
                readnumeral(ls, true, seminfo);
                return TK_NUMBER;
            case EOZ:
                return TK_EOS;
            default:
                if (IsSpace(c)) {
                    advance(ls);
                    continue;
                }
                if (IsDigit(c)) {
                    readnumeral(ls, false, seminfo);
                    return TK_NUMBER;
                }
                if (IsNameStart(c)) return readname(ls, seminfo);
                if (c >= 255) {
                    errornear(ls, "invalid wide char", luaO_pushfstring(ls->L, "char(%d)", c));
                }
                if (c < 32 || c == 127) {
                    errornear(ls, "invalid control char", luaO_pushfstring(ls->L, "char(%d)", c));
                }
                advance(ls);
                return c;
        }
    }
}

const char* luaX_token2str(LexState* ls, int token) {
    if (token < FIRST_RESERVED) {
        if (token < 32 || token == 127) return luaO_pushfstring(ls->L, "char(%d)", token);
        return luaO_pushfstring(ls->L, "%c", token);
    }
    return kTokenNames[token - FIRST_RESERVED];
}

void luaX_syntaxerror(LexState* ls, const char* msg) {
    const char* near;
    switch (ls->t.token) {
        case TK_NAME:
            near = getstr(ls->t.seminfo.ts);
            break;
        case TK_STRING:
        case TK_WSTRING:
        case TK_NUMBER:
            near = buffertext(ls);
            break;
        default:
            near = luaX_token2str(ls, ls->t.token);
            break;
    }
    errornear(ls, msg, near);
}

void luaX_checklimit(LexState* ls, int val, int limit, const char* what) {
    if (val > limit) {
        luaX_syntaxerror(ls, luaO_pushfstring(ls->L, "too many %s (limit=%d)", what, limit));
    }
}
