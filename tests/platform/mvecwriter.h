// Writes "MVC4" vector-font data for tests, the fuzz seeds and the benchmark: glyph outlines
// built operation by operation (coordinates in pixels, stored as 1/128 units), records with the
// metrics given, and ways to damage the result on purpose.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace testing_support {

class OutlineWriter {
public:
    OutlineWriter& Group() { return Op(1); }
    OutlineWriter& Style(int op, uint8_t style) {
        Op(op);
        mBytes.push_back(style);
        return *this;
    }
    OutlineWriter& Move(double x, double y) { return Op(4).Coord(x).Coord(y); }
    OutlineWriter& Line(double x, double y) { return Op(5).Coord(x).Coord(y); }
    OutlineWriter& Curve(double cx, double cy, double x, double y) {
        return Op(6).Coord(cx).Coord(cy).Coord(x).Coord(y);
    }
    OutlineWriter& Color(uint8_t r, uint8_t g, uint8_t b) {
        Op(7);
        mBytes.insert(mBytes.end(), {r, g, b});
        return *this;
    }
    OutlineWriter& End() { return Op(8); }
    OutlineWriter& Byte(uint8_t b) { return Op(b); }
    // A closed rectangle; clockwise on the screen (y down) unless reversed.
    OutlineWriter& Rect(double x0, double y0, double x1, double y1, bool reversed = false) {
        Move(x0, y0);
        if (reversed) return Line(x0, y1).Line(x1, y1).Line(x1, y0).Line(x0, y0);
        return Line(x1, y0).Line(x1, y1).Line(x0, y1).Line(x0, y0);
    }
    const std::vector<uint8_t>& Bytes() const { return mBytes; }

private:
    OutlineWriter& Op(int op) {
        mBytes.push_back(static_cast<uint8_t>(op));
        return *this;
    }
    OutlineWriter& Coord(double v) {
        long units = std::lround(v * 128.0);
        uint16_t u = static_cast<uint16_t>(static_cast<int16_t>(units));
        mBytes.push_back(static_cast<uint8_t>(u));
        mBytes.push_back(static_cast<uint8_t>(u >> 8));
        return *this;
    }
    std::vector<uint8_t> mBytes;
};

struct MvecGlyph {
    uint32_t code = 0;
    // In pixels (stored × 128).
    double x0 = 0, x1 = 0, top = 0, bottom = 0, advance = 0;
    std::vector<uint8_t> outline;
    // When not negative, the record names this offset instead of the outline's.
    int64_t forcedOffset = -1;
};

inline void PutU16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

inline void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint32_t Units(double v) {
    return static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 128.0)));
}

// The font file: header, records in the order given (the caller sorts them), outlines after.
// countOverride, when not negative, is written as the glyph count instead.
inline std::vector<uint8_t> WriteMvec(const std::vector<MvecGlyph>& glyphs,
                                      int countOverride = -1) {
    std::vector<uint8_t> out(12 + 18 * glyphs.size(), 0);
    out[0] = 'M';
    out[1] = 'V';
    out[2] = 'C';
    out[3] = '4';
    PutU16(out, 4,
           countOverride >= 0 ? static_cast<uint32_t>(countOverride)
                              : static_cast<uint32_t>(glyphs.size()));
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const MvecGlyph& g = glyphs[i];
        size_t at = 12 + 18 * i;
        PutU32(out, at, g.code);
        PutU16(out, at + 4, Units(g.x0));
        PutU16(out, at + 6, Units(g.x1));
        PutU16(out, at + 8, Units(g.top));
        PutU16(out, at + 10, Units(g.bottom));
        PutU16(out, at + 12, Units(g.advance));
        uint32_t offset = static_cast<uint32_t>(out.size());
        PutU32(out, at + 14, g.forcedOffset >= 0 ? static_cast<uint32_t>(g.forcedOffset) : offset);
        out.insert(out.end(), g.outline.begin(), g.outline.end());
    }
    return out;
}

}  // namespace testing_support
