// TVec3: a point in space, three floats, (0, 0, 0) by default; made from a TVec2 and a depth.
#pragma once

#include "math/vec2.h"

struct TVec3 {
    constexpr TVec3() = default;
    constexpr TVec3(float x, float y, float z) : x(x), y(y), z(z) {}
    constexpr TVec3(const TVec2& point, float z) : x(point.x), y(point.y), z(z) {}

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};
