// Arithmetic on numbers that come from definition files and saved worlds, which may hold any
// value: results that leave the 32-bit range are clamped to its ends instead of wrapping.
#pragma once

#include <cstdint>

#include "foundation/saturate.h"

inline int SaturatingAdd(int a, int b) {
    return SaturateToInt(static_cast<int64_t>(a) + b);
}
