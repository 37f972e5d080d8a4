// Lets GoogleTest print the program's own value types in failure messages.
#pragma once

#include <ostream>

#include "foundation/str.h"

inline void PrintTo(const str& text, std::ostream* out) {
    *out << '"' << text.c_str() << '"';
}
