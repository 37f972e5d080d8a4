// Conversions between numbers and text, and from numbers to integers, shared by the whole
// scripting layer (core, libraries and bindings).
//
// Text -> number: byte strings follow the decimal grammar of a C-locale strtod (leading white
// space, sign, digits with an optional point and fraction, an optional exponent, then only
// white space; no hexadecimal, no "inf" or "nan"), validated here and converted with a
// correctly rounded, locale-free routine. Wide strings have their own grammar (hexadecimal
// forms included, no leading white space). Number -> text is "%.14g" in the C locale.
//
// Pure functions: any thread.
#pragma once

#include <cstddef>
#include <cstdint>

#include "script/lua/lua.h"

// Integers taken from numbers (bit operators, binding arguments, format and pack integer
// codes): truncated toward zero to a signed 64-bit value of which the low 32 bits are kept;
// NaN and values outside the 64-bit range give 0.
int32_t luaO_wrapint(lua_Number n);
inline uint32_t luaO_wrapuint(lua_Number n) {
    return static_cast<uint32_t>(luaO_wrapint(n));
}

// Sizes, counts and positions: truncated toward zero and clamped to the int range; NaN gives 0.
int luaO_clampint(lua_Number n);

// True and the number when the whole NUL-terminated text is a decimal numeral (surrounding
// white space allowed).
bool luaO_str2d(const char* s, lua_Number* result);

// True and the number when the whole zero-terminated wide text is a numeral of the wide
// grammar: "0x" hexadecimal digits with, after a point only, fraction digits and a binary
// exponent "p"; otherwise an optional sign, decimal digits, point, fraction and exponent "e".
// No leading white space; trailing white space below 256 is allowed.
bool luaO_wstr2d(const char16_t* s, lua_Number* result);

// Units before the first zero unit.
size_t luaO_wstrlen(const char16_t* s);

// Longest text lua_number2str writes, terminator included.
constexpr int LUAI_MAXNUMBER2STR = 32;

// "%.14g" in the C locale; answers the length written (terminator added).
int lua_number2str(char* out, lua_Number n);
