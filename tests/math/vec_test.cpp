#include <gtest/gtest.h>

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

}  // namespace
