#include "math/mat4.h"

#include <cmath>

TMat4::TMat4() {
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void TMat4::SetPerspective(float n, float f, float v, float r, float ox, float oy) {
    float h = std::cos(v / 2.0f) / std::sin(v / 2.0f);
    for (float& value : m)
        value = 0.0f;
    m[0] = h / (1.0f / r);
    m[5] = h;
    m[8] = std::fabs(ox) == 1.0f ? -10000.0f : -ox / (1.0f - std::fabs(ox));
    m[9] = std::fabs(oy) == 1.0f ? -10000.0f : oy / (1.0f - std::fabs(oy));
    m[10] = f / (f - n);
    m[11] = 1.0f;
    m[14] = -n * f / (f - n);
}
