// Conversions to 32-bit integers that stay defined whatever the number: numbers read from data
// files, saved worlds, replies and layout arithmetic are clamped to the int range instead of
// wrapping or invoking undefined behaviour.
#pragma once

#include <cstdint>

#include "foundation/str.h"

// A 64-bit value clamped to the int range.
int32_t SaturateToInt(int64_t value);
// A float truncated toward zero to an int: saturated at the int range, NaN gives 0.
int32_t TruncateToInt(double value);
// A text's number by atoi's rules (blanks, sign, digits; no digits: 0), saturated to 32 bits.
int32_t TextToInt(const str& text);
