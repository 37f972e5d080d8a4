// TRect: an integer rectangle, left, top, right, bottom.
#pragma once

#include "math/point.h"

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // The overlap of a and b. An empty result (right < left or bottom < top) is returned as it
    // is, not normalised: callers test it.
    static TRect Intersect(const TRect& a, const TRect& b);

    // Right and bottom are exclusive.
    bool Contains(const TPoint& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool IsEmpty() const { return left >= right || top >= bottom; }

    friend bool operator==(const TRect&, const TRect&) = default;
};
