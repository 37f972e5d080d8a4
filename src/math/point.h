// TPoint: an integer point, x to the right and y downwards (pixels).
#pragma once

struct TPoint {
    int x = 0;
    int y = 0;

    friend bool operator==(const TPoint&, const TPoint&) = default;
};
