#include "math/rect.h"

#include <algorithm>

TRect TRect::Intersect(const TRect& a, const TRect& b) {
    return TRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
}
