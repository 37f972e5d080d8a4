// What laying out and drawing a text share: reading one character of the text (UTF-8 with the
// backslash escape) and the roundings of quarter-pixel positions. Internal to platform/text.
//
// The text is untrusted: a character's length comes from its lead byte but never reaches past
// the text's end, and a backslash that ends the text is itself the character.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "foundation/saturate.h"
#include "foundation/utf8.h"

namespace textlayout {

// One character: its code and where the next item starts.
struct TTextItem {
    uint32_t code;
    int32_t next;
};

// The character at text[position] (position < length).
inline TTextItem ReadTextItem(const char* text, int32_t length, int32_t position) {
    if (text[position] == '\\') {
        if (position + 1 == length) return {'\\', length};
        ++position;
    }
    const unsigned char lead = static_cast<unsigned char>(text[position]);
    const int32_t size = std::min(std::max(Utf8SequenceLength(lead), 1), length - position);
    if (size == 1) return {lead, position + 1};
    char bytes[5] = {};
    std::memcpy(bytes, text + position, static_cast<size_t>(size));
    return {Utf8Decode(bytes), position + size};
}

// Pens and positions are kept within this many quarter pixels of 0, so that no sum of untrusted
// sizes leaves the range of the integers they become.
constexpr double kPenLimit = 68719476736.0;  // 2^36

inline double ClampPen(double pen) {
    // NaN becomes 0.
    if (!(pen > -kPenLimit)) return pen < 0.0 ? -kPenLimit : 0.0;
    return std::min(pen, kPenLimit);
}

// Rounded half away from zero.
inline int64_t RoundHalfAway(double value) {
    return static_cast<int64_t>(std::llround(ClampPen(value)));
}

// Whether the value rounded half away from zero lies above the limit (without rounding it).
inline bool RoundsAbove(double value, int64_t limit) {
    const double threshold = static_cast<double>(limit) + 0.5;
    return limit >= 0 ? value >= threshold : value > threshold;
}

// A pen position in quarter pixels as pixels: rounded half away from zero, then divided by 4
// toward zero.
inline int32_t QuarterToPixels(double pen) {
    return SaturateToInt(RoundHalfAway(pen) / 4);
}

}  // namespace textlayout
