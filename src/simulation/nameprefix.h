// Whether a name begins with a prefix, as the world's rules test definition names ("Well_2"
// begins with "Well", "Ark Part Place 3" with "Ark Part Place"). Exact bytes, no case folding.
#pragma once

#include <cstring>

#include "foundation/str.h"

inline bool BeginsWith(const str& text, const char* prefix) {
    return std::strncmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}
