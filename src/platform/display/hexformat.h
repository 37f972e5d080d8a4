// FormatHex: bytes as text, two upper-case hexadecimal digits each, no separators. The device
// report of the DirectX context writes its capability blocks with it.
#pragma once

#include "foundation/str.h"

// Empty for a count of 0 or less.
str FormatHex(const void* bytes, int count);
