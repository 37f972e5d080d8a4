// Arithmetic on numbers that come from definition files and saved worlds, which may hold any
// value: results that leave the 32-bit range are clamped to its ends instead of wrapping.
#pragma once

#include <cstdint>
#include <limits>

inline int SaturateToInt(int64_t value) {
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

inline int SaturatingAdd(int a, int b) {
    return SaturateToInt(static_cast<int64_t>(a) + b);
}
