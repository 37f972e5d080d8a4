// The text tests' fonts, written with mvecwriter.h; shared by the text layout tests and the markup
// fuzz target.
//
// The monospace font: every printable ASCII character 10 pixels wide, its ink from x 0 to 8 and
// from 12 above the baseline to 4 below it ('W' gives the ascent 12, the codes below 128 the
// descent 4), except '~', whose ink reaches to x 14, past its advance. No other characters.
//
// The stand-in for "fonts/default.mvec": the same metrics and a few glyphs the monospace font
// lacks: 'W' and U+00E9, 20 pixels wide, U+00FC and U+03B1.
#pragma once

#include <cstdint>
#include <vector>

#include "mvecwriter.h"

namespace testing_support {

// A glyph of the given advance whose ink is the rectangle from (0, top) to (x1, bottom).
inline MvecGlyph BoxGlyph(uint32_t code, double advance, double x1, double top = -12,
                          double bottom = 4) {
    MvecGlyph g;
    g.code = code;
    g.x0 = 0;
    g.x1 = x1;
    g.top = top;
    g.bottom = bottom;
    g.advance = advance;
    g.outline = OutlineWriter().Rect(0, top, x1, bottom).End().Bytes();
    return g;
}

inline std::vector<uint8_t> MonoFont() {
    std::vector<MvecGlyph> glyphs;
    for (uint32_t c = ' '; c <= '~'; ++c)
        glyphs.push_back(BoxGlyph(c, 10, c == '~' ? 14 : 8));
    glyphs.front().outline = OutlineWriter().End().Bytes();  // the blank
    return WriteMvec(glyphs);
}

inline std::vector<uint8_t> FallbackFont() {
    return WriteMvec({BoxGlyph('W', 20, 18), BoxGlyph(0xE9, 20, 18), BoxGlyph(0xFC, 12, 10),
                      BoxGlyph(0x3B1, 9, 8)});
}

}  // namespace testing_support
