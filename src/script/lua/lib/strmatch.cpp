// Pattern matching for string.find, string.gfind and string.gsub: the language's patterns
// (character classes %a %c %d %l %p %s %u %w %x %z and their complements, sets [...], the
// repetitions * + - ?, anchors, captures with position captures "()", back-references %1-%9,
// %b balanced pairs and %f frontiers). Classes are ASCII whatever the machine's locale.
//
// A pattern ends at its first zero byte (%z matches a zero byte in the subject). Matching
// recurses once per repeated or captured item; patterns that would recurse deeper than
// kMaxMatchDepth are refused with "pattern too complex" rather than running the native stack
// out.

#include <cstring>

#include "script/lua/lib/auxlib.h"
#include "script/lua/lib/strlib.h"

namespace {

constexpr int MAX_CAPTURES = 32;
constexpr int kMaxMatchDepth = 200;
constexpr int CAP_UNFINISHED = -1;
constexpr int CAP_POSITION = -2;
constexpr char ESC = '%';
constexpr const char* SPECIALS = "^$*+?.([%-";

struct MatchState {
    const char* src_init;  // the subject
    const char* src_end;   // one past its last byte
    lua_State* L;
    int level;  // captures in use
    int depth;  // nested match calls left
    struct {
        const char* init;
        ptrdiff_t len;
    } capture[MAX_CAPTURES];
};

unsigned char uchar(char c) {
    return static_cast<unsigned char>(c);
}

bool isalphac(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isdigitc(int c) {
    return c >= '0' && c <= '9';
}
bool islowerc(int c) {
    return c >= 'a' && c <= 'z';
}
bool isupperc(int c) {
    return c >= 'A' && c <= 'Z';
}
bool isspacec(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool iscntrlc(int c) {
    return c < 32 || c == 127;
}
bool isalnumc(int c) {
    return isalphac(c) || isdigitc(c);
}
bool ispunctc(int c) {
    return c > 32 && c < 127 && !isalnumc(c);
}
bool isxdigitc(int c) {
    return isdigitc(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int tolowerc(int c) {
    return isupperc(c) ? c - 'A' + 'a' : c;
}

const char* match(MatchState* ms, const char* s, const char* p);

int check_capture(MatchState* ms, int l) {
    l -= '1';
    if (l < 0 || l >= ms->level || ms->capture[l].len == CAP_UNFINISHED) {
        return luaL_error(ms->L, "invalid capture index");
    }
    return l;
}

int capture_to_close(MatchState* ms) {
    int level = ms->level;
    for (level--; level >= 0; level--) {
        if (ms->capture[level].len == CAP_UNFINISHED) return level;
    }
    return luaL_error(ms->L, "invalid pattern capture");
}

// One past the end of the single-character class at p.
const char* classend(MatchState* ms, const char* p) {
    switch (*p++) {
        case ESC:
            if (*p == '\0') luaL_error(ms->L, "malformed pattern (ends with `%%')");
            return p + 1;
        case '[':
            if (*p == '^') p++;
            do {  // up to the closing ']'
                if (*p == '\0') luaL_error(ms->L, "malformed pattern (missing `]')");
                if (*(p++) == ESC && *p != '\0') p++;  // an escaped character, such as "%]"
            } while (*p != ']');
            return p + 1;
        default:
            return p;
    }
}

bool match_class(int c, int cl) {
    bool res;
    switch (tolowerc(cl)) {
        case 'a':
            res = isalphac(c);
            break;
        case 'c':
            res = iscntrlc(c);
            break;
        case 'd':
            res = isdigitc(c);
            break;
        case 'l':
            res = islowerc(c);
            break;
        case 'p':
            res = ispunctc(c);
            break;
        case 's':
            res = isspacec(c);
            break;
        case 'u':
            res = isupperc(c);
            break;
        case 'w':
            res = isalnumc(c);
            break;
        case 'x':
            res = isxdigitc(c);
            break;
        case 'z':
            res = c == 0;
            break;
        default:
            return cl == c;
    }
    return isupperc(cl) ? !res : res;
}

// p is at the '[' of a set, ec at its closing ']'.
bool matchbracketclass(int c, const char* p, const char* ec) {
    bool sig = true;
    if (*(p + 1) == '^') {
        sig = false;
        p++;
    }
    while (++p < ec) {
        if (*p == ESC) {
            p++;
            if (match_class(c, uchar(*p))) return sig;
        } else if (*(p + 1) == '-' && p + 2 < ec) {
            p += 2;
            if (uchar(*(p - 2)) <= c && c <= uchar(*p)) return sig;
        } else if (uchar(*p) == c) {
            return sig;
        }
    }
    return !sig;
}

bool singlematch(int c, const char* p, const char* ep) {
    switch (*p) {
        case '.':
            return true;
        case ESC:
            return match_class(c, uchar(*(p + 1)));
        case '[':
            return matchbracketclass(c, p, ep - 1);
        default:
            return uchar(*p) == c;
    }
}

const char* matchbalance(MatchState* ms, const char* s, const char* p) {
    if (*p == '\0' || *(p + 1) == '\0') luaL_error(ms->L, "unbalanced pattern");
    if (s >= ms->src_end || *s != *p) return nullptr;
    int b = *p;
    int e = *(p + 1);
    int cont = 1;
    while (++s < ms->src_end) {
        if (*s == e) {
            if (--cont == 0) return s + 1;
        } else if (*s == b) {
            cont++;
        }
    }
    return nullptr;
}

const char* max_expand(MatchState* ms, const char* s, const char* p, const char* ep) {
    ptrdiff_t i = 0;
    while (s + i < ms->src_end && singlematch(uchar(*(s + i)), p, ep))
        i++;
    // Tries the longest run first, then shorter ones.
    for (; i >= 0; i--) {
        const char* res = match(ms, s + i, ep + 1);
        if (res != nullptr) return res;
    }
    return nullptr;
}

const char* min_expand(MatchState* ms, const char* s, const char* p, const char* ep) {
    for (;;) {
        const char* res = match(ms, s, ep + 1);
        if (res != nullptr) return res;
        if (s < ms->src_end && singlematch(uchar(*s), p, ep)) {
            s++;
        } else {
            return nullptr;
        }
    }
}

const char* start_capture(MatchState* ms, const char* s, const char* p, int what) {
    int level = ms->level;
    if (level >= MAX_CAPTURES) luaL_error(ms->L, "too many captures");
    ms->capture[level].init = s;
    ms->capture[level].len = what;
    ms->level = level + 1;
    const char* res = match(ms, s, p);
    if (res == nullptr) ms->level--;  // the capture is undone
    return res;
}

const char* end_capture(MatchState* ms, const char* s, const char* p) {
    int l = capture_to_close(ms);
    ms->capture[l].len = s - ms->capture[l].init;
    const char* res = match(ms, s, p);
    if (res == nullptr) ms->capture[l].len = CAP_UNFINISHED;
    return res;
}

const char* match_capture(MatchState* ms, const char* s, int l) {
    l = check_capture(ms, l);
    ptrdiff_t len = ms->capture[l].len;  // a position capture never matches text
    if (len >= 0 && ms->src_end - s >= len && memcmp(ms->capture[l].init, s, len) == 0) {
        return s + len;
    }
    return nullptr;
}

// Counts one level of native recursion for the duration of a match call.
class DepthGuard {
public:
    explicit DepthGuard(MatchState* ms) : mMs(ms) {
        if (--ms->depth < 0) luaL_error(ms->L, "pattern too complex");
    }
    ~DepthGuard() { mMs->depth++; }

private:
    MatchState* mMs;
};

const char* match(MatchState* ms, const char* s, const char* p) {
    DepthGuard guard(ms);
    for (;;) {  // each pass matches one item; repetitions and captures recurse
        switch (*p) {
            case '(':
                if (*(p + 1) == ')') return start_capture(ms, s, p + 2, CAP_POSITION);
                return start_capture(ms, s, p + 1, CAP_UNFINISHED);
            case ')':
                return end_capture(ms, s, p + 1);
            case '\0':  // the end of the pattern: a match
                return s;
            case ESC:
                if (*(p + 1) == 'b') {
                    s = matchbalance(ms, s, p + 2);
                    if (s == nullptr) return nullptr;
                    p += 4;
                    continue;
                }
                if (*(p + 1) == 'f') {
                    p += 2;
                    if (*p != '[') luaL_error(ms->L, "missing `[' after `%%f' in pattern");
                    const char* ep = classend(ms, p);
                    int previous = (s == ms->src_init) ? 0 : uchar(*(s - 1));
                    int current = s < ms->src_end ? uchar(*s) : 0;
                    if (matchbracketclass(previous, p, ep - 1) ||
                        !matchbracketclass(current, p, ep - 1)) {
                        return nullptr;
                    }
                    p = ep;
                    continue;
                }
                if (isdigitc(uchar(*(p + 1)))) {
                    s = match_capture(ms, s, uchar(*(p + 1)));
                    if (s == nullptr) return nullptr;
                    p += 2;
                    continue;
                }
                break;  // a class such as %a: an ordinary item
            case '$':
                // Only a '$' that ends the pattern anchors; elsewhere it is a character.
                if (*(p + 1) == '\0') return (s == ms->src_end) ? s : nullptr;
                break;
            default:
                break;
        }
        const char* ep = classend(ms, p);
        bool m = s < ms->src_end && singlematch(uchar(*s), p, ep);
        switch (*ep) {
            case '?': {
                if (m) {
                    const char* res = match(ms, s + 1, ep + 1);
                    if (res != nullptr) return res;
                }
                p = ep + 1;
                continue;
            }
            case '*':
                return max_expand(ms, s, p, ep);
            case '+':
                return m ? max_expand(ms, s + 1, p, ep) : nullptr;
            case '-':
                return min_expand(ms, s, p, ep);
            default:
                if (!m) return nullptr;
                s++;
                p = ep;
                continue;
        }
    }
}

void push_onecapture(MatchState* ms, int i) {
    ptrdiff_t l = ms->capture[i].len;
    if (l == CAP_UNFINISHED) luaL_error(ms->L, "unfinished capture");
    if (l == CAP_POSITION) {
        lua_pushnumber(ms->L, static_cast<lua_Number>(ms->capture[i].init - ms->src_init + 1));
    } else {
        lua_pushlstring(ms->L, ms->capture[i].init, static_cast<size_t>(l));
    }
}

// Pushes the captures, or the whole match [s, e) when there are none and s is given.
int push_captures(MatchState* ms, const char* s, const char* e) {
    luaL_checkstack(ms->L, ms->level, "too many captures");
    if (ms->level == 0 && s != nullptr) {
        lua_pushlstring(ms->L, s, static_cast<size_t>(e - s));
        return 1;
    }
    for (int i = 0; i < ms->level; i++)
        push_onecapture(ms, i);
    return ms->level;
}

void initstate(MatchState* ms, lua_State* L, const char* s, size_t l) {
    ms->L = L;
    ms->src_init = s;
    ms->src_end = s + l;
    ms->level = 0;
    ms->depth = kMaxMatchDepth;
}

// The first place s2 occurs in s1; null when nowhere. An empty s2 is found at once.
const char* lmemfind(const char* s1, size_t l1, const char* s2, size_t l2) {
    if (l2 == 0) return s1;
    if (l2 > l1) return nullptr;
    const char* last = s1 + (l1 - l2);
    for (const char* init = s1; init <= last; init++) {
        init = static_cast<const char*>(memchr(init, *s2, static_cast<size_t>(last - init) + 1));
        if (init == nullptr) return nullptr;
        if (memcmp(init + 1, s2 + 1, l2 - 1) == 0) return init;
    }
    return nullptr;
}

int gfind_aux(lua_State* L) {
    MatchState ms;
    const char* s = lua_tostring(L, lua_upvalueindex(1));
    size_t ls = lua_strlen(L, lua_upvalueindex(1));
    const char* p = lua_tostring(L, lua_upvalueindex(2));
    initstate(&ms, L, s, ls);
    size_t start = static_cast<size_t>(lua_tonumber(L, lua_upvalueindex(3)));
    for (const char* src = s + start; src <= ms.src_end; src++) {
        ms.level = 0;
        const char* e = match(&ms, src, p);
        if (e != nullptr) {
            size_t newstart = static_cast<size_t>(e - s);
            if (e == src) newstart++;  // an empty match: go on at least one place further
            lua_pushnumber(L, static_cast<lua_Number>(newstart));
            lua_replace(L, lua_upvalueindex(3));
            return push_captures(&ms, src, e);
        }
    }
    return 0;
}

// Adds the replacement of one match [s, e) to b: the replacement string with its captures
// %1-%9 and other escaped characters, or the function's result (none when it is not a string).
void add_s(MatchState* ms, luaL_Buffer* b, const char* s, const char* e) {
    lua_State* L = ms->L;
    if (lua_isfunction(L, 3)) {
        lua_pushvalue(L, 3);
        int n = push_captures(ms, s, e);
        lua_call(L, n, 1);
        if (lua_type(L, -1) == LUA_TWSTRING) {
            luaL_error(L, "invalid replacement value (a %s)", "wstring");
        }
        if (lua_isstring(L, -1)) {
            luaL_addvalue(b);
        } else {
            lua_pop(L, 1);  // not a string: the match is left out
        }
        return;
    }
    const char* news = lua_tostring(L, 3);
    size_t l = lua_strlen(L, 3);
    for (size_t i = 0; i < l; i++) {
        if (news[i] != ESC) {
            luaL_putchar(b, news[i]);
            continue;
        }
        i++;  // the escape; at the very end this reads the terminator, which is added
        if (!isdigitc(uchar(news[i]))) {
            luaL_putchar(b, news[i]);
        } else {
            int level = check_capture(ms, news[i]);
            push_onecapture(ms, level);
            luaL_addvalue(b);
        }
    }
}

}  // namespace

int str_find(lua_State* L) {
    size_t l1, l2;
    const char* s = luaL_checklstring(L, 1, &l1);
    const char* p = luaL_checklstring(L, 2, &l2);
    // A start before the subject means its first byte, one past its end the end itself.
    int64_t init = str_posrelat(luaL_optint(L, 3, 1), l1) - 1;
    if (init < 0) {
        init = 0;
    } else if (init > static_cast<int64_t>(l1)) {
        init = static_cast<int64_t>(l1);
    }
    if (lua_toboolean(L, 4) || strpbrk(p, SPECIALS) == nullptr) {
        // A plain search.
        const char* s2 = lmemfind(s + init, l1 - static_cast<size_t>(init), p, l2);
        if (s2 != nullptr) {
            lua_pushnumber(L, static_cast<lua_Number>(s2 - s + 1));
            lua_pushnumber(L, static_cast<lua_Number>(s2 - s + static_cast<ptrdiff_t>(l2)));
            return 2;
        }
    } else {
        MatchState ms;
        bool anchor = *p == '^';
        if (anchor) p++;
        const char* s1 = s + init;
        initstate(&ms, L, s, l1);
        do {
            ms.level = 0;
            const char* res = match(&ms, s1, p);
            if (res != nullptr) {
                lua_pushnumber(L, static_cast<lua_Number>(s1 - s + 1));  // start
                lua_pushnumber(L, static_cast<lua_Number>(res - s));     // end
                return push_captures(&ms, nullptr, nullptr) + 2;
            }
        } while (s1++ < ms.src_end && !anchor);
    }
    lua_pushnil(L);
    return 1;
}

int str_gfind(lua_State* L) {
    luaL_checkstring(L, 1);
    luaL_checkstring(L, 2);
    lua_settop(L, 2);
    lua_pushnumber(L, 0);
    lua_pushcclosure(L, gfind_aux, 3);
    return 1;
}

int str_gsub(lua_State* L) {
    size_t srcl;
    const char* src = luaL_checklstring(L, 1, &srcl);
    const char* p = luaL_checkstring(L, 2);
    int max_s = luaL_optint(L, 4, srcl < 0x7FFFFFFF ? static_cast<int>(srcl) + 1 : 0x7FFFFFFF);
    bool anchor = *p == '^';
    if (anchor) p++;
    // A wide string is neither: it would not join the byte result.
    luaL_argcheck(L, lua_gettop(L) >= 3 && (str_isbytes(L, 3) || lua_isfunction(L, 3)), 3,
                  "string or function expected");
    MatchState ms;
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    initstate(&ms, L, src, srcl);
    int n = 0;
    while (n < max_s) {
        ms.level = 0;
        const char* e = match(&ms, src, p);
        if (e != nullptr) {
            n++;
            add_s(&ms, &b, src, e);
        }
        if (e != nullptr && e > src) {  // a non-empty match: go on after it
            src = e;
        } else if (src < ms.src_end) {
            luaL_putchar(&b, *src++);
        } else {
            break;
        }
        if (anchor) break;
    }
    luaL_addlstring(&b, src, static_cast<size_t>(ms.src_end - src));
    luaL_pushresult(&b);
    lua_pushnumber(L, static_cast<lua_Number>(n));
    return 2;
}
