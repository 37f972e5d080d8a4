#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <type_traits>

#include "math/vec2.h"
#include "math/vec3.h"
#include "math/vec4.h"

namespace {

// The matrices and the vertex code rely on the plain float layouts.
static_assert(sizeof(TVec2) == 2 * sizeof(float) && std::is_trivially_copyable_v<TVec2>);
static_assert(sizeof(TVec3) == 3 * sizeof(float) && std::is_trivially_copyable_v<TVec3>);
static_assert(sizeof(TVec4) == 4 * sizeof(float) && std::is_trivially_copyable_v<TVec4>);

TEST(VecTest, Vec2Arithmetic) {
    TVec2 zero;
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);

    TVec2 a(1.5f, -2.0f);
    TVec2 b = a + TVec2(0.5f, 4.0f);
    EXPECT_EQ(b.x, 2.0f);
    EXPECT_EQ(b.y, 2.0f);
    TVec2 c = a * 2.0f;
    EXPECT_EQ(c.x, 3.0f);
    EXPECT_EQ(c.y, -4.0f);
    TVec2 d = -a;
    EXPECT_EQ(d.x, -1.5f);
    EXPECT_EQ(d.y, 2.0f);
    TVec2 e = TVec2(100.0f, -9.0f) / 3.0f;
    EXPECT_EQ(e.x, 100.0f / 3.0f);
    EXPECT_EQ(e.y, -3.0f);

    a += TVec2(1.0f, 1.0f);
    a *= 0.5f;
    EXPECT_EQ(a.x, 1.25f);
    EXPECT_EQ(a.y, -0.5f);
    const TVec2& same = a;
    a = same;
    EXPECT_EQ(a.x, 1.25f);
}

TEST(VecTest, Vec3FromPlaneAndDepth) {
    TVec3 zero;
    EXPECT_EQ(zero.z, 0.0f);
    TVec3 p(TVec2(1.0f, 2.0f), 3.0f);
    EXPECT_EQ(p.x, 1.0f);
    EXPECT_EQ(p.y, 2.0f);
    EXPECT_EQ(p.z, 3.0f);
    TVec3 q(4.0f, 5.0f, 6.0f);
    p = q;
    EXPECT_EQ(p.y, 5.0f);
}

TEST(VecTest, Vec2RotateByWholeDegrees) {
    // (degrees, expected x, expected y) for the vector (3, 4): x' = y·s + x·c, y' = y·c − x·s.
    struct Case {
        int degrees;
        float x;
        float y;
    };
    const Case cases[] = {{0, 3.0f, 4.0f}, {360, 3.0f, 4.0f}, {-720, 3.0f, 4.0f},
                          {90, 4.0f, -3.0f}, {180, -3.0f, -4.0f}, {270, -4.0f, 3.0f}};
    for (const Case& c : cases) {
        TVec2 v(3.0f, 4.0f);
        v.Rotate(c.degrees);
        EXPECT_NEAR(v.x, c.x, 1e-6f) << c.degrees;
        EXPECT_NEAR(v.y, c.y, 1e-6f) << c.degrees;
    }

    // 0 and whole turns leave even a vector with an infinite coordinate exactly as it was.
    TVec2 odd(1.0f, INFINITY);
    odd.Rotate(360);
    EXPECT_EQ(odd.x, 1.0f);

    // A negative angle is the same rotation as its positive remainder, bit for bit; the most
    // negative int is 232 degrees (−2147483648 = −5965233 × 360 + 232).
    const int pairs[][2] = {{-90, 270}, {-1, 359}, {INT_MIN, 232}, {INT_MAX, 127}};
    for (const auto& pair : pairs) {
        TVec2 a(3.0f, 4.0f);
        TVec2 b(3.0f, 4.0f);
        a.Rotate(pair[0]);
        b.Rotate(pair[1]);
        EXPECT_EQ(a.x, b.x) << pair[0];
        EXPECT_EQ(a.y, b.y) << pair[0];
    }

    // The 30-degree entry is the float sine, 0.5 within rounding.
    TVec2 unit(1.0f, 0.0f);
    unit.Rotate(30);
    EXPECT_FLOAT_EQ(unit.x, static_cast<float>(std::cos(M_PI / 6)));
    EXPECT_FLOAT_EQ(unit.y, -0.5f);
}

}  // namespace
