#include "math/mat3.h"

#include <cmath>

TMat3::TMat3() {
    SetIdentity();
}

TMat3::TMat3(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7,
             float m8)
    : m{m0, m1, m2, m3, m4, m5, m6, m7, m8} {}

void TMat3::SetIdentity() {
    for (int i = 0; i < 9; ++i)
        m[i] = (i % 4 == 0) ? 1.0f : 0.0f;
}

void TMat3::Multiply(TMat3& out, const TMat3& a, const TMat3& b) {
    float r[9];
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            r[row * 3 + col] = a.m[row * 3 + 0] * b.m[0 * 3 + col] +
                               a.m[row * 3 + 1] * b.m[1 * 3 + col] +
                               a.m[row * 3 + 2] * b.m[2 * 3 + col];
        }
    }
    for (int i = 0; i < 9; ++i)
        out.m[i] = r[i];
}

TMat3& TMat3::operator*=(const TMat3& other) {
    Multiply(*this, *this, other);
    return *this;
}

void TMat3::Rotate(float radians) {
    float c = std::cos(radians), s = std::sin(radians);
    float m0 = m[0] * c - m[1] * s, m1 = m[0] * s + m[1] * c;
    float m3 = m[3] * c - m[4] * s, m4 = m[3] * s + m[4] * c;
    m[0] = m0;
    m[1] = m1;
    m[3] = m3;
    m[4] = m4;
}

void TMat3::Scale(float s) {
    m[0] *= s;
    m[1] *= s;
    m[3] *= s;
    m[4] *= s;
}

bool TMat3::Invert(TMat3& out, const TMat3& a) {
    const float* m = a.m;
    // Cofactors of the first row; the determinant is their sum weighted by that row.
    const float c0 = m[4] * m[8] - m[5] * m[7];
    const float c1 = m[5] * m[6] - m[3] * m[8];
    const float c2 = m[3] * m[7] - m[4] * m[6];
    const float determinant = m[0] * c0 + m[1] * c1 + m[2] * c2;
    if (determinant == 0.0f || !std::isfinite(determinant)) return false;
    const float r[9] = {
        c0, m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
        c1, m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
        c2, m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3],
    };
    for (int i = 0; i < 9; ++i)
        out.m[i] = r[i] / determinant;
    return true;
}
