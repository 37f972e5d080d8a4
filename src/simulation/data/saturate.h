// Arithmetic on numbers that come from definition files and saved worlds, which may hold any
// value: results that leave the 32-bit range are clamped to its ends instead of wrapping.
#pragma once

#include <cstdint>

#include "foundation/saturate.h"

inline int SaturatingAdd(int a, int b) {
    return SaturateToInt(static_cast<int64_t>(a) + b);
}

// A value clamped to the range of a 16-bit field.
inline int16_t SaturateToShort(int64_t value) {
    if (value < INT16_MIN) return INT16_MIN;
    if (value > INT16_MAX) return INT16_MAX;
    return static_cast<int16_t>(value);
}
