#include "script/lua/numconv.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <string>

namespace {

bool IsSpace(unsigned c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(unsigned c) {
    return c >= '0' && c <= '9';
}

int HexValue(unsigned c) {
    if (IsDigit(c)) return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    return -1;
}

// The decimal exponent of the leading significant digit of "digits[.digits][e[sign]digits]",
// saturated; used only to tell an overflow from an underflow.
long LeadingExponent(const char* first, const char* last) {
    long position = 0;
    bool seenPoint = false;
    bool found = false;
    const char* p = first;
    for (; p < last && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            seenPoint = true;
            continue;
        }
        if (!found && *p != '0') {
            found = true;
            position = 0;
        }
        if (found && !seenPoint) ++position;
        if (!found && seenPoint) --position;
    }
    long exponent = 0;
    if (p < last) {
        ++p;
        bool negative = false;
        if (p < last && (*p == '+' || *p == '-')) negative = (*p++ == '-');
        for (; p < last; ++p) {
            if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
        }
        if (negative) exponent = -exponent;
    }
    return position + exponent;
}

// Converts an unsigned decimal numeral already validated by the caller; a result out of the
// double range becomes infinity or zero, as strtod gives them.
double DecimalToDouble(const char* first, const char* last) {
    double value = 0;
    auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        return LeadingExponent(first, last) > 0 ? HUGE_VAL : 0.0;
    }
    return value;
}

}  // namespace

int32_t luaO_wrapint(lua_Number n) {
    // 2^63: the first value outside the signed 64-bit range.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(n >= -kLimit && n < kLimit)) return 0;
    int64_t whole = static_cast<int64_t>(n);
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(whole)));
}

int luaO_clampint(lua_Number n) {
    if (n != n) return 0;
    if (n >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (n <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(n);
}

bool luaO_str2d(const char* s, lua_Number* result) {
    const char* p = s;
    while (IsSpace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    const char* first = p;
    int digits = 0;
    while (IsDigit(static_cast<unsigned char>(*p)))
        ++p, ++digits;
    if (*p == '.') {
        ++p;
        while (IsDigit(static_cast<unsigned char>(*p)))
            ++p, ++digits;
    }
    if (digits == 0) return false;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-') ++q;
        // An exponent without digits is not part of the numeral, so the letter is left over.
        if (IsDigit(static_cast<unsigned char>(*q))) {
            while (IsDigit(static_cast<unsigned char>(*q)))
                ++q;
            p = q;
        }
    }
    const char* last = p;
    while (IsSpace(static_cast<unsigned char>(*p)))
        ++p;
    if (*p != '\0') return false;
    double value = DecimalToDouble(first, last);
    *result = negative ? -value : value;
    return true;
}

size_t luaO_wstrlen(const char16_t* s) {
    size_t n = 0;
    while (s[n] != 0)
        ++n;
    return n;
}

namespace {

// Reads the wide numeral at s; answers the units consumed (0: not a numeral) and the value.
size_t ReadWideNumeral(const char16_t* s, double* value) {
    const char16_t* p = s;
    if (p[0] == u'0' && (p[1] == u'x' || p[1] == u'X')) {
        p += 2;
        double v = 0;
        int d;
        while ((d = HexValue(*p)) >= 0) {
            v = v * 16 + d;
            ++p;
        }
        if (*p == u'.') {
            ++p;
            double scale = 1.0 / 16;
            while ((d = HexValue(*p)) >= 0) {
                v += d * scale;
                scale /= 16;
                ++p;
            }
            if (*p == u'p' || *p == u'P') {
                ++p;
                bool negative = false;
                if (*p == u'+' || *p == u'-') negative = (*p++ == u'-');
                long exponent = 0;
                while (IsDigit(*p)) {
                    if (exponent < 100000) exponent = exponent * 10 + (*p - u'0');
                    ++p;
                }
                v = std::ldexp(v, static_cast<int>(negative ? -exponent : exponent));
            }
        }
        *value = v;
        return static_cast<size_t>(p - s);
    }

    // Decimal form: the units are gathered as ASCII so that the value is correctly rounded.
    std::string text;
    bool negative = false;
    if (*p == u'+' || *p == u'-') negative = (*p++ == u'-');
    int digits = 0;
    while (IsDigit(*p)) {
        text += static_cast<char>(*p++);
        ++digits;
    }
    if (*p == u'.') {
        text += '.';
        ++p;
        while (IsDigit(*p)) {
            text += static_cast<char>(*p++);
            ++digits;
        }
    }
    if (*p == u'e' || *p == u'E') {
        ++p;
        std::string exponent = "e";
        if (*p == u'+' || *p == u'-') exponent += static_cast<char>(*p++);
        bool any = false;
        while (IsDigit(*p)) {
            exponent += static_cast<char>(*p++);
            any = true;
        }
        if (any) text += exponent;
    }
    double v = 0;
    if (digits > 0) {
        if (text[0] == '.') text.insert(text.begin(), '0');
        v = DecimalToDouble(text.data(), text.data() + text.size());
    }
    *value = negative ? -v : v;
    return static_cast<size_t>(p - s);
}

}  // namespace

bool luaO_wstr2d(const char16_t* s, lua_Number* result) {
    double value = 0;
    size_t used = ReadWideNumeral(s, &value);
    if (used == 0) return false;
    const char16_t* p = s + used;
    while (*p < 256 && IsSpace(*p))
        ++p;
    if (*p != 0) return false;
    *result = value;
    return true;
}

int lua_number2str(char* out, lua_Number n) {
    auto result =
        std::to_chars(out, out + LUAI_MAXNUMBER2STR - 1, n, std::chars_format::general, 14);
    *result.ptr = '\0';
    return static_cast<int>(result.ptr - out);
}
