// Lets GoogleTest print the program's own value types in failure messages.
#pragma once

#include <ostream>

#include "foundation/str.h"
#include "math/point.h"
#include "math/rect.h"

inline void PrintTo(const str& text, std::ostream* out) {
    *out << '"' << text.c_str() << '"';
}

inline void PrintTo(const TPoint& point, std::ostream* out) {
    *out << '(' << point.x << ", " << point.y << ')';
}

inline void PrintTo(const TRect& rect, std::ostream* out) {
    *out << '{' << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom
         << '}';
}
