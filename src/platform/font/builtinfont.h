// The built-in vector font: "MVC4" data of DejaVu Sans in ASCII and Latin-1, made when the program
// is built (tools/fontconv writes it as a C++ source of constant bytes, compiled into the library
// builtin_vecfont) and never changed. The font cache builds the font "__DEFAULT" from a copy of
// it, and falls back to it when neither a named font file nor "fonts/default.mvec" opens.
#pragma once

#include <cstddef>
#include <cstdint>

extern const uint8_t kBuiltinVecFont[];
extern const size_t kBuiltinVecFontSize;
