#include <gtest/gtest.h>

#include <cmath>

#include "math/mat3.h"
#include "math/mat4.h"
#include "math/rect.h"

namespace {

TEST(Mat3Test, IdentityAndCopy) {
    TMat3 m;
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(m.m[i], identity[i]);
    TMat3 n(1, 2, 3, 4, 5, 6, 7, 8, 9);
    m = n;
    const TMat3& same = m;
    m = same;
    EXPECT_EQ(m.m[8], 9.0f);
    m.SetIdentity();
    EXPECT_EQ(m.m[1], 0.0f);
    EXPECT_EQ(m.m[4], 1.0f);
}

TEST(Mat3Test, MultiplyIsFullProduct) {
    TMat3 a(1, 2, 3, 4, 5, 6, 7, 8, 9), b(9, 8, 7, 6, 5, 4, 3, 2, 1), out;
    TMat3::Multiply(out, a, b);
    const float expected[9] = {30, 24, 18, 84, 69, 54, 138, 114, 90};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(out.m[i], expected[i]) << i;
    a *= b;  // in place, through the same product
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(a.m[i], expected[i]) << i;
}

TEST(Mat3Test, RotateKeepsTranslation) {
    TMat3 m;
    m.m[6] = 10;
    m.m[7] = 20;
    m.Rotate(static_cast<float>(M_PI / 2));
    TVec2 p = TMat3::TransformPoint(TVec2{1, 0}, m);
    EXPECT_NEAR(p.x, 10.0f, 1e-5f);
    EXPECT_NEAR(p.y, 21.0f, 1e-5f);

    TMat3 plain;
    plain.Rotate(static_cast<float>(M_PI / 2));
    TVec2 q = TMat3::TransformPoint(TVec2{1, 0}, plain);
    EXPECT_NEAR(q.x, 0.0f, 1e-6f);
    EXPECT_NEAR(q.y, 1.0f, 1e-6f);
}

TEST(Mat3Test, ScaleKeepsTranslation) {
    TMat3 m(1, 0, 0, 0, 1, 0, 3, 4, 1);
    m.Scale(2);
    TVec2 p = TMat3::TransformPoint(TVec2{1, 1}, m);
    EXPECT_EQ(p.x, 5.0f);
    EXPECT_EQ(p.y, 6.0f);
}

TEST(Mat3Test, InvertUndoesAnAffineTransform) {
    // Turned, scaled by 2 and moved: the inverse brings every point back.
    TMat3 m;
    m.Rotate(0.5f);
    m.Scale(2.0f);
    m.m[6] = 30;
    m.m[7] = -7;
    TMat3 inverse;
    ASSERT_TRUE(TMat3::Invert(inverse, m));
    for (TVec2 p : {TVec2(0, 0), TVec2(3, 4), TVec2(-10, 2.5f)}) {
        const TVec2 back = TMat3::TransformPoint(TMat3::TransformPoint(p, m), inverse);
        EXPECT_NEAR(back.x, p.x, 1e-4f);
        EXPECT_NEAR(back.y, p.y, 1e-4f);
    }
    // A full 3x3 matrix, inverted in place.
    TMat3 full(2, 0, 1, 1, 3, 2, 1, 1, 2), product;
    const TMat3 original = full;
    ASSERT_TRUE(TMat3::Invert(full, full));
    TMat3::Multiply(product, original, full);
    const TMat3 identity;
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(product.m[i], identity.m[i], 1e-6f) << i;
}

TEST(Mat3Test, InvertRefusesASingularMatrix) {
    TMat3 flat;
    flat.Scale(0.0f);
    flat.m[6] = 5;
    TMat3 out(1, 2, 3, 4, 5, 6, 7, 8, 9);
    EXPECT_FALSE(TMat3::Invert(out, flat));
    EXPECT_EQ(out.m[1], 2.0f);  // untouched
    TMat3 huge;
    huge.Scale(1e30f);  // the determinant overflows to infinity
    EXPECT_FALSE(TMat3::Invert(out, huge));
    TMat3 nan;
    nan.m[0] = NAN;
    EXPECT_FALSE(TMat3::Invert(out, nan));
}

TEST(Mat4Test, SetPerspective) {
    TMat4 m;
    m.SetPerspective(1.0f, 101.0f, static_cast<float>(M_PI / 2), 2.0f, 0.5f, 0.5f);
    EXPECT_NEAR(m.m[0], 2.0f, 1e-6f);  // h = 1 at 90 degrees, times the aspect
    EXPECT_NEAR(m.m[5], 1.0f, 1e-6f);
    EXPECT_EQ(m.m[8], -1.0f);  // the x term carries the minus sign
    EXPECT_EQ(m.m[9], 1.0f);
    EXPECT_NEAR(m.m[10], 101.0f / 100.0f, 1e-6f);
    EXPECT_EQ(m.m[11], 1.0f);
    EXPECT_NEAR(m.m[14], -101.0f / 100.0f, 1e-6f);
    EXPECT_EQ(m.m[15], 0.0f);
    for (int i : {1, 2, 3, 4, 6, 7, 12, 13})
        EXPECT_EQ(m.m[i], 0.0f) << i;

    m.SetPerspective(1.0f, 10.0f, 1.0f, 1.0f, 1.0f, 0.0f);
    EXPECT_EQ(m.m[8], -10000.0f);
    EXPECT_EQ(m.m[9], 0.0f);
    m.SetPerspective(1.0f, 10.0f, 1.0f, 1.0f, 0.0f, -1.0f);
    EXPECT_EQ(m.m[9], -10000.0f);
}

TEST(RectTest, Intersect) {
    EXPECT_EQ(TRect::Intersect({0, 0, 10, 10}, {20, 20, 30, 30}), (TRect{20, 20, 10, 10}));
    EXPECT_EQ(TRect::Intersect({0, 0, 10, 10}, {5, -5, 15, 5}), (TRect{5, 0, 10, 5}));
    EXPECT_EQ(TRect::Intersect({0, 0, 10, 10}, {0, 0, 10, 10}), (TRect{0, 0, 10, 10}));
}

}  // namespace
