// Transforms and the 3-D path: world, view and projection in the row-vector convention, the
// viewport mapping, perspective-correct interpolation and clipping at w > 0 and the near and far
// planes.
#include <gtest/gtest.h>

#include <cmath>

#include "drawing.h"

namespace raster {
namespace {

using namespace raster::test;

TMat4 Translation(float x, float y, float z) {
    TMat4 m;
    m.m[12] = x;
    m.m[13] = y;
    m.m[14] = z;
    return m;
}

TMat4 Scaling(float s) {
    TMat4 m;
    m.m[0] = m.m[5] = m.m[10] = s;
    return m;
}

TEST(Projection, WorldThenViewThenProjection) {
    TSurface target = MakeSurface(64, 64, TPixelFormat::X8R8G8B8);
    TRasterizer r;
    Setup2d(r, target);
    r.State().alphaBlendEnable = false;
    // Scale by 2, then move by (10, 4): the unit quad (0, 0)-(5, 5) becomes (10, 4)-(20, 14),
    // which the pixel offset puts on centres 10..19 x 4..13.
    r.Transforms().world = Scaling(2);
    r.Transforms().view = Translation(10.5f, 4.5f, 0);
    DrawQuad(r, Quad(0, 0, 5, 5, 0xFFFFFFFF));
    EXPECT_EQ(CountPixels(target, [](uint32_t p) { return p == 0xFFFFFFFF; }), 100);
    EXPECT_EQ(target.GetPixel(10, 4), 0xFFFFFFFFu);
    EXPECT_EQ(target.GetPixel(19, 13), 0xFFFFFFFFu);
    EXPECT_EQ(target.GetPixel(20, 13), 0xFF000000u);
}

TEST(Projection, ViewportMapsNormalisedCoordinatesAndDepth) {
    TSurface target = MakeSurface(40, 40, TPixelFormat::X8R8G8B8);
    TSurface depth = MakeSurface(40, 40, TPixelFormat::D16);
    TRasterizer r;
    r.SetRenderTarget(&target);
    r.SetDepthBuffer(&depth);
    r.Viewport() = TViewport{8, 4, 16, 20, 0.25f, 0.75f};
    r.State().lighting = false;
    r.State().zEnable = true;
    r.Clear(kClearDepth, 0, 1.0f);
    TUnlitVertex v[4] = {{-1, 1, 0.5f, 0, 0, 0, 0, 0},
                         {1, 1, 0.5f, 0, 0, 0, 0, 0},
                         {1, -1, 0.5f, 0, 0, 0, 0, 0},
                         {-1, -1, 0.5f, 0, 0, 0, 0, 0}};
    r.State().cullMode = TCull::None;
    r.Draw(TPrimitive::TriangleFan, TVertexFormat::Unlit, v, 4);
    EXPECT_EQ(CountPixels(target, [](uint32_t p) { return p == 0xFFFFFFFF; }), 16 * 20);
    EXPECT_EQ(target.GetPixel(8, 4), 0xFFFFFFFFu);
    EXPECT_EQ(target.GetPixel(23, 23), 0xFFFFFFFFu);
    EXPECT_EQ(Load16(depth.At(10, 10)), 32768u);  // 0.25 + 0.5 * 0.5
}

TEST(Projection, TexturesArePerspectiveCorrect) {
    // Along the top edge the screen parameter a = x / 64 and q runs from 1 to 1/3, so
    // u = a q1 / ((1 - a) q0 + a q1).
    TSurface texture = MakeSurface(64, 1, TPixelFormat::A8R8G8B8);
    for (int i = 0; i < 64; ++i)
        texture.SetPixel(i, 0, 0xFF000000u | static_cast<uint32_t>(i));
    TSurface target = MakeSurface(64, 4, TPixelFormat::A8R8G8B8);
    TRasterizer r;
    Setup2d(r, target);
    r.State().alphaBlendEnable = false;
    r.State().stage0.magFilter = r.State().stage0.minFilter = TFilter::Point;
    r.SetTexture(&texture);
    TTransformedVertex v[3] = {Screen(0, 0, ~0u, 0, 0, 0.1f, 1.0f),
                               Screen(64, 0, ~0u, 1, 0, 0.1f, 1.0f / 3),
                               Screen(0, 64, ~0u, 0, 0, 0.1f, 1.0f)};
    r.Draw(TPrimitive::TriangleList, TVertexFormat::Transformed, v, 3);
    int checked = 0;
    for (int x = 0; x < 64; ++x) {
        double a = x / 64.0;
        double u = a * (1.0 / 3) / ((1 - a) + a / 3);
        double s = u * 64;
        if (std::fabs(s - std::round(s)) < 1e-6) continue;
        ASSERT_EQ(target.GetPixel(x, 0) & 0xFF, static_cast<uint32_t>(std::floor(s))) << x;
        ++checked;
    }
    EXPECT_GT(checked, 50);
    EXPECT_EQ(target.GetPixel(32, 0) & 0xFF, 16u);  // halfway across is a quarter of the texture
}

struct Scene3d {
    TSurface target;
    TRasterizer r;
    Scene3d() {
        target = MakeSurface(64, 64, TPixelFormat::X8R8G8B8);
        r.SetRenderTarget(&target);
        r.Viewport() = TViewport{0, 0, 64, 64, 0, 1};
        r.Transforms().projection = PerspectiveFov(1.5707964f, 1.0f, 0.1f, 10.0f);
        r.State().lighting = false;
        r.State().cullMode = TCull::None;
    }
    void Triangle(const float (&p)[3][3]) {
        TUnlitVertex v[3];
        for (int i = 0; i < 3; ++i)
            v[i] = TUnlitVertex{p[i][0], p[i][1], p[i][2], 0, 0, 0, 0, 0};
        r.Draw(TPrimitive::TriangleList, TVertexFormat::Unlit, v, 3);
    }
    int Drawn() const {
        return CountPixels(target, [](uint32_t p) { return (p & 0xFFFFFF) != 0; });
    }
};

TEST(Projection, GeometryBehindTheEyeIsClippedAwayAtWAboveZero) {
    for (bool clipping : {true, false}) {
        Scene3d s;
        s.r.State().clipping = clipping;
        // Entirely behind the eye: nothing.
        s.Triangle({{-1, -1, -2}, {1, -1, -2}, {0, 1, -3}});
        EXPECT_EQ(s.Drawn(), 0);
        // A floor triangle reaching behind the eye: only the part in front, below the row of
        // its front edge (y = -1 at z = 2 projects to ndc -0.5, screen row 48).
        s.Triangle({{-1, -1, 2}, {1, -1, 2}, {0, -1, -1}});
        EXPECT_GT(s.Drawn(), 100);
        for (int y = 0; y < 47; ++y) {
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(s.target.GetPixel(x, y) & 0xFFFFFF, 0u) << x << "," << y;
        }
        EXPECT_NE(s.target.GetPixel(32, 60) & 0xFFFFFF, 0u);
    }
}

TEST(Projection, NearAndFarPlanesClipOnlyWithClippingOn) {
    const float beyond[3][3] = {{-1, -1, 20}, {1, -1, 20}, {0, 1, 20}};
    const float tooNear[3][3] = {
        {-0.01f, -0.01f, 0.05f}, {0.01f, -0.01f, 0.05f}, {0, 0.01f, 0.05f}};
    Scene3d on;
    on.Triangle(beyond);
    on.Triangle(tooNear);
    EXPECT_EQ(on.Drawn(), 0);
    Scene3d off;
    off.r.State().clipping = false;
    off.Triangle(beyond);
    EXPECT_GT(off.Drawn(), 0);
}

TEST(Projection, LinesAreClippedLikeTriangles) {
    Scene3d s;
    TUnlitVertex line[2] = {{0, -1, 2, 0, 0, 0, 0, 0}, {0, -1, -1, 0, 0, 0, 0, 0}};
    s.r.Draw(TPrimitive::LineList, TVertexFormat::Unlit, line, 2);
    EXPECT_GT(s.Drawn(), 10);
    for (int y = 0; y < 47; ++y)
        EXPECT_EQ(s.target.GetPixel(32, y) & 0xFFFFFF, 0u) << y;
}

// A vertex far behind the eye (1e30) leaves the crossing of the w plane to rounding unless it is
// measured from the vertex in front; the visible part is the same as for a nearer vertex.
TEST(Projection, VerticesFarBehindTheEyeAreClippedPrecisely) {
    for (bool clipping : {true, false}) {
        Scene3d near, far;
        near.r.State().clipping = far.r.State().clipping = clipping;
        // Two lines along the same ray from (0, -1, 2) through the eye's plane.
        TUnlitVertex shortLine[2] = {{0, -1, 2, 0, 0, 0, 0, 0}, {0, -1, -1, 0, 0, 0, 0, 0}};
        TUnlitVertex longLine[2] = {{0, -1, 2, 0, 0, 0, 0, 0}, {0, -1, -1e30f, 0, 0, 0, 0, 0}};
        near.r.Draw(TPrimitive::LineList, TVertexFormat::Unlit, shortLine, 2);
        far.r.Draw(TPrimitive::LineList, TVertexFormat::Unlit, longLine, 2);
        EXPECT_GT(far.Drawn(), 10);
        for (int y = 0; y < 64; ++y) {
            ASSERT_EQ(far.target.GetPixel(32, y), near.target.GetPixel(32, y)) << y;
        }
        // A floor triangle with its far corner behind the eye: the part in front, below row 47.
        far.Triangle({{-1, -1, 2}, {1, -1, 2}, {0, -1, -1e30f}});
        EXPECT_NE(far.target.GetPixel(10, 60) & 0xFFFFFF, 0u);
        EXPECT_NE(far.target.GetPixel(54, 60) & 0xFFFFFF, 0u);
        for (int y = 0; y < 47; ++y) {
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(far.target.GetPixel(x, y) & 0xFFFFFF, 0u) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace raster
