#include "raster/transform.h"

#include <cmath>

namespace raster {

TMat4 Multiply(const TMat4& a, const TMat4& b) {
    TMat4 out;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(a.m[r * 4 + k]) * b.m[k * 4 + c];
            }
            out.m[r * 4 + c] = static_cast<float>(sum);
        }
    }
    return out;
}

TMat4 OrthoOffCenter(float l, float r, float b, float t, float zn, float zf) {
    TMat4 m;
    for (float& v : m.m)
        v = 0.0f;
    m.m[0] = 2.0f / (r - l);
    m.m[5] = 2.0f / (t - b);
    m.m[10] = 1.0f / (zf - zn);
    m.m[12] = (l + r) / (l - r);
    m.m[13] = (t + b) / (b - t);
    m.m[14] = zn / (zn - zf);
    m.m[15] = 1.0f;
    return m;
}

TMat4 PassDepthThrough(const TMat4& m) {
    TMat4 out = m;
    out.m[10] = 1.0f;
    out.m[11] = 0.0f;
    out.m[14] = 0.0f;
    out.m[15] = 1.0f;
    return out;
}

TMat4 PerspectiveFov(float fov, float aspect, float zn, float zf) {
    TMat4 m;
    for (float& v : m.m)
        v = 0.0f;
    float h = 1.0f / std::tan(fov * 0.5f);
    m.m[0] = h / aspect;
    m.m[5] = h;
    m.m[10] = zf / (zf - zn);
    m.m[11] = 1.0f;
    m.m[14] = -zn * zf / (zf - zn);
    return m;
}

}  // namespace raster
