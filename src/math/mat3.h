// TMat3: a 3x3 float matrix, row-major (m0 m1 m2 / m3 m4 m5 / m6 m7 m8), used as a 2D affine
// transform of row vectors: the linear part is m0, m1, m3, m4 and the translation m6, m7.
#pragma once

#include "math/vec2.h"

class TMat3 {
public:
    TMat3();  // identity
    TMat3(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8);

    void SetIdentity();
    // out = a x b. out may be a or b.
    static void Multiply(TMat3& out, const TMat3& a, const TMat3& b);
    TMat3& operator*=(const TMat3& m);
    // The linear part becomes (linear part) x R, R = (cos a, sin a / -sin a, cos a); the
    // translation is kept.
    void Rotate(float radians);
    // The linear part becomes (linear part) x diag(s, s); the translation is kept.
    void Scale(float s);
    static TVec2 TransformPoint(const TVec2& point, const TMat3& matrix) {
        const float* m = matrix.m;
        return TVec2{point.x * m[0] + point.y * m[3] + m[6],
                     point.x * m[1] + point.y * m[4] + m[7]};
    }
    // out = the inverse of m: the transposed cofactors divided by the determinant. False, and out
    // untouched, when the determinant is 0 (a scaling of 0 somewhere in the transform) or not a
    // finite number. out may be m.
    static bool Invert(TMat3& out, const TMat3& m);

    float m[9];
};
