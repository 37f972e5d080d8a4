// Which pixels triangles and lines cover: the top-left rule, shared edges, culling, the line rule
// and the glyph span calibration, the scissor, and primitives with huge or broken coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "drawing.h"
#include "raster/geometry.h"

namespace raster {
namespace {

using namespace raster::test;

// The coverage rule computed on its own: the centre of (px, py) against the triangle snapped to
// 1/256, edges included only when top or left.
bool RefCovered(const double (&x)[3], const double (&y)[3], int px, int py) {
    int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = static_cast<int64_t>(std::floor(x[i] * 256 + 0.5));
        Y[i] = static_cast<int64_t>(std::floor(y[i] * 256 + 0.5));
    }
    __int128 area =
        (__int128)(X[1] - X[0]) * (Y[2] - Y[0]) - (__int128)(X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0) return false;
    if (area < 0) std::swap(X[1], X[2]), std::swap(Y[1], Y[2]);
    for (int i = 0; i < 3; ++i) {
        int j = (i + 1) % 3;
        __int128 e = (__int128)(X[j] - X[i]) * (py * 256 - Y[i]) -
                     (__int128)(Y[j] - Y[i]) * (px * 256 - X[i]);
        bool topLeft = Y[j] < Y[i] || (Y[j] == Y[i] && X[j] > X[i]);
        if (e < 0 || (e == 0 && !topLeft)) return false;
    }
    return true;
}

// A target and a rasterizer drawing opaque colours straight into it.
struct Canvas {
    TSurface target;
    TRasterizer r;
    explicit Canvas(int w = 64, int h = 64, TPixelFormat f = TPixelFormat::X8R8G8B8) {
        target = MakeSurface(w, h, f, 0);
        Setup2d(r, target);
        r.State().alphaBlendEnable = false;
    }
    // Additive drawing: every write adds the colour, so double writes show.
    void Additive() {
        r.State().alphaBlendEnable = true;
        r.State().srcBlend = TBlend::One;
        r.State().destBlend = TBlend::One;
    }
    void Triangle(double x0, double y0, double x1, double y1, double x2, double y2,
                  uint32_t color) {
        TTransformedVertex v[3] = {Screen(float(x0), float(y0), color),
                                   Screen(float(x1), float(y1), color),
                                   Screen(float(x2), float(y2), color)};
        r.Draw(TPrimitive::TriangleList, TVertexFormat::Transformed, v, 3);
    }
    void Line(float x0, float y0, float x1, float y1, uint32_t color) {
        TTransformedVertex v[2] = {Screen(x0, y0, color), Screen(x1, y1, color)};
        r.Draw(TPrimitive::LineList, TVertexFormat::Transformed, v, 2);
    }
    uint32_t At(int x, int y) const { return target.GetPixel(x, y) & 0xFFFFFF; }
};

TEST(Coverage, QuadFrom10To20WritesExactly100Pixels) {
    for (bool fast : {true, false}) {
        Canvas c;
        c.r.SetFastPaths(fast);
        // Lit vertices through the 2-D projection with the usual -0.5 offset...
        DrawQuad(c.r, Quad(10.5f, 10.5f, 20.5f, 20.5f, 0xFFFFFFFF));
        EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return p == 0xFFFFFFFF; }), 100);
        EXPECT_EQ(c.At(10, 10), 0xFFFFFFu);
        EXPECT_EQ(c.At(19, 19), 0xFFFFFFu);
        EXPECT_EQ(c.At(20, 19), 0u);
        // ...and screen vertices at (10, 10)-(20, 20).
        Canvas d;
        d.r.SetFastPaths(fast);
        TTransformedVertex fan[4] = {Screen(10, 10, ~0u), Screen(20, 10, ~0u), Screen(20, 20, ~0u),
                                     Screen(10, 20, ~0u)};
        d.r.Draw(TPrimitive::TriangleFan, TVertexFormat::Transformed, fan, 4);
        EXPECT_EQ(CountPixels(d.target, [](uint32_t p) { return p == 0xFFFFFFFF; }), 100);
        EXPECT_EQ(d.At(10, 10), 0xFFFFFFu);
        EXPECT_EQ(d.At(9, 10), 0u);
    }
}

TEST(Coverage, TrianglesFollowTheTopLeftRule) {
    // Random triangles on a grid of quarter pixels, so that many centres fall on edges.
    uint32_t seed = 12345;
    auto next = [&]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % 160;
    };
    for (int n = 0; n < 60; ++n) {
        double x[3], y[3];
        for (int i = 0; i < 3; ++i) {
            x[i] = next() * 0.25 - 4;
            y[i] = next() * 0.25 - 4;
        }
        Canvas c(40, 40);
        c.Triangle(x[0], y[0], x[1], y[1], x[2], y[2], 0xFFFFFF);
        for (int py = 0; py < 40; ++py) {
            for (int px = 0; px < 40; ++px) {
                ASSERT_EQ(c.At(px, py) != 0, RefCovered(x, y, px, py))
                    << n << ": " << px << "," << py;
            }
        }
    }
}

TEST(Coverage, SharedEdgesLeaveNoGapAndNoDoubleWrite) {
    // A fan of triangles around an off-grid centre, and two quads meeting on a fractional
    // column: drawn additively, every pixel of the union must hold exactly 1.
    Canvas c(64, 64);
    c.Additive();
    const double cx = 31.5, cy = 30.25;
    const int kSides = 13;
    double px[kSides], py[kSides];
    for (int i = 0; i < kSides; ++i) {
        px[i] = cx + 25 * std::cos(i * 2 * M_PI / kSides);
        py[i] = cy + 25 * std::sin(i * 2 * M_PI / kSides);
    }
    for (int i = 0; i < kSides; ++i) {
        int j = (i + 1) % kSides;
        c.Triangle(cx, cy, px[i], py[i], px[j], py[j], 0x010101);
    }
    int inside = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            bool covered = false;
            for (int i = 0; i < kSides; ++i) {
                int j = (i + 1) % kSides;
                double tx[3] = {cx, px[i], px[j]}, ty[3] = {cy, py[i], py[j]};
                covered = covered || RefCovered(tx, ty, x, y);
            }
            ASSERT_EQ(c.At(x, y), covered ? 0x010101u : 0u) << x << "," << y;
            inside += covered;
        }
    }
    EXPECT_GT(inside, 1500);

    Canvas q(64, 64);
    q.Additive();
    q.r.SetFastPaths(false);
    DrawQuad(q.r, Quad(10.5f, 5.5f, 20.8f, 15.5f, 0x01010101));
    DrawQuad(q.r, Quad(20.8f, 5.5f, 30.5f, 15.5f, 0x01010101));
    DrawQuad(q.r, Quad(10.5f, 15.5f, 30.5f, 25.1f, 0x01010101));
    EXPECT_EQ(CountPixels(q.target, [](uint32_t p) { return (p & 0xFFFFFF) == 0x010101; }),
              20 * 20);
    EXPECT_EQ(CountPixels(q.target, [](uint32_t p) { return (p & 0xFFFFFF) > 0x010101; }), 0);
}

TEST(Coverage, CullingFollowsTheScreenWinding) {
    struct Case {
        TCull mode;
        bool clockwiseDrawn;
        bool counterDrawn;
    } cases[] = {{TCull::None, true, true},
                 {TCull::Clockwise, false, true},
                 {TCull::CounterClockwise, true, false}};
    for (const Case& k : cases) {
        Canvas c;
        c.r.State().cullMode = k.mode;
        c.Triangle(5, 5, 25, 5, 5, 25, 0xFF0000);    // clockwise on a y-down screen
        c.Triangle(35, 5, 35, 25, 55, 5, 0x00FF00);  // counter-clockwise
        EXPECT_EQ(c.At(8, 8) != 0, k.clockwiseDrawn) << int(k.mode);
        EXPECT_EQ(c.At(38, 8) != 0, k.counterDrawn) << int(k.mode);
    }
    // A strip keeps the winding of its first triangle for every triangle.
    Canvas s;
    s.r.State().cullMode = TCull::CounterClockwise;
    TTransformedVertex strip[4] = {Screen(5, 5, ~0u), Screen(25, 5, ~0u), Screen(5, 25, ~0u),
                                   Screen(25, 25, ~0u)};
    s.r.Draw(TPrimitive::TriangleStrip, TVertexFormat::Transformed, strip, 4);
    EXPECT_EQ(CountPixels(s.target, [](uint32_t p) { return (p & 0xFFFFFF) != 0; }), 400);
}

TEST(Coverage, HorizontalLinesCoverTheCentresInTheirHalfOpenInterval) {
    struct Case {
        float x0, x1, y;
        int first, last, row;  // covered columns first..last on row
    } cases[] = {
        {10, 20, 5, 10, 19, 5}, {10.2f, 20.2f, 5, 11, 20, 5},    {10, 11, 7, 10, 10, 7},
        {20, 10, 5, 11, 20, 5}, {9.5f, 12.5f, 4.49f, 10, 12, 4}, {9.5f, 12.5f, 4.5f, 10, 12, 5},
        {3, 3.9f, 8, 3, 3, 8},  {3.1f, 3.9f, 8, 0, -1, 0},
    };
    for (bool fast : {true, false}) {
        for (const Case& k : cases) {
            Canvas c(40, 16);
            c.r.SetFastPaths(fast);
            c.Line(k.x0, k.y, k.x1, k.y, 0xFFFFFF);
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 40; ++x) {
                    bool expected = y == k.row && x >= k.first && x <= k.last;
                    ASSERT_EQ(c.At(x, y) != 0, expected)
                        << k.x0 << "->" << k.x1 << " @" << k.y << ": " << x << "," << y;
                }
            }
        }
    }
}

TEST(Coverage, SlopedLinesPickTheNearestMinorPixel) {
    Canvas c(40, 40);
    c.Line(2, 3, 30, 10.5f, 0xFFFFFF);  // x-major
    c.Line(35, 2, 31, 37, 0xFFFFFF);    // y-major, going left
    for (int x = 0; x < 40; ++x) {
        for (int y = 0; y < 40; ++y) {
            bool a = x >= 2 && x < 30 && y == std::floor(3 + (x - 2) * 7.5 / 28 + 0.5);
            bool b = y >= 2 && y < 37 && x == std::floor(35 - (y - 2) * 4.0 / 35 + 0.5);
            ASSERT_EQ(c.At(x, y) != 0, a || b) << x << "," << y;
        }
    }
    // A strip does not draw its inner vertices twice.
    Canvas s(40, 40);
    s.Additive();
    TTransformedVertex strip[3] = {Screen(2, 2, 0x010101), Screen(20, 2, 0x010101),
                                   Screen(20, 30, 0x010101)};
    s.r.Draw(TPrimitive::LineStrip, TVertexFormat::Transformed, strip, 3);
    EXPECT_EQ(s.At(20, 2), 0x010101u);
    EXPECT_EQ(s.At(20, 30), 0u);
    EXPECT_EQ(CountPixels(s.target, [](uint32_t p) { return (p & 0xFFFFFF) != 0; }), 18 + 28);
}

TEST(Coverage, GlyphSpanCalibrationFindsOffsetsThatCoverExactlyTheSpan) {
    // The glyph rasterizer draws a span [x0, x1) on row y as a line from (x0 + i/4 - 1, y + k/4)
    // to (x1 + j/4 - 1, y + k/4) and keeps the first (i, j, k) whose spans cover exactly their
    // pixels. Under the line rule the exact ones are i, j in 1..4 and k in 0..1.
    struct Span {
        int x0, x1, y;
    } spans[] = {{3, 4, 2}, {5, 7, 2}, {10, 31, 5}, {0, 1, 0}, {40, 48, 9}, {6, 9, 11}};
    int found = -1;
    int exact = 0;
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 8; ++j) {
            for (int k = 0; k < 4; ++k) {
                Canvas c(50, 14);
                std::vector<TTransformedVertex> lines;
                for (const Span& s : spans) {
                    float z = s.y + k * 0.25f;
                    lines.push_back(Screen(s.x0 + i * 0.25f - 1, z, 0xFFFFFFFF));
                    lines.push_back(Screen(s.x1 + j * 0.25f - 1, z, 0xFFFFFFFF));
                }
                c.r.Draw(TPrimitive::LineList, TVertexFormat::Transformed, lines.data(),
                         static_cast<int>(lines.size()));
                bool ok = true;
                for (int y = 0; y < 14 && ok; ++y) {
                    for (int x = 0; x < 50 && ok; ++x) {
                        bool want = false;
                        for (const Span& s : spans)
                            want = want || (y == s.y && x >= s.x0 && x < s.x1);
                        ok = (c.At(x, y) != 0) == want;
                    }
                }
                bool expected = i >= 1 && i <= 4 && j >= 1 && j <= 4 && k <= 1;
                EXPECT_EQ(ok, expected) << i << "," << j << "," << k;
                exact += ok;
                if (ok && found < 0) found = i * 100 + j * 10 + k;
            }
        }
    }
    EXPECT_EQ(exact, 32);
    EXPECT_EQ(found, 110);  // offsets -0.75, -0.75, 0
}

TEST(Coverage, NothingIsWrittenOutsideTheViewport) {
    Canvas c(40, 40);
    c.r.Viewport() = TViewport{5, 6, 20, 10, 0, 1};
    c.Triangle(-100, -100, 200, -100, -100, 200, 0xFFFFFF);
    c.Line(-50, 8, 90, 8, 0xFFFFFF);
    EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return (p & 0xFFFFFF) != 0; }), 200);
    EXPECT_EQ(c.At(5, 6), 0xFFFFFFu);
    EXPECT_EQ(c.At(24, 15), 0xFFFFFFu);
    EXPECT_EQ(c.At(25, 15), 0u);
    c.r.Viewport() = TViewport{30, 30, 100, 100, 0, 1};  // partly outside the target
    c.Triangle(-100, -100, 200, -100, -100, 200, 0x0000FF);
    EXPECT_EQ(c.At(39, 39), 0x0000FFu);
    // Viewports at the ends of the int range neither wrap around nor reach outside.
    c.r.Viewport() = TViewport{2147483600, 0, 2147483647, 40, 0, 1};
    c.Triangle(-100, -100, 200, -100, -100, 200, 0x00FF00);
    c.r.Viewport() = TViewport{-2147483647, -5, 2147483647, 2147483647, 0, 1};
    c.Triangle(-100, -100, 200, -100, -100, 200, 0x00FF00);
    EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return (p & 0xFFFFFF) == 0x00FF00; }), 0);
    c.r.Viewport() = TViewport{-10, -10, 2147483647, 2147483647, 0, 1};
    c.Triangle(-100, -100, 200, -100, -100, 200, 0x00FF00);
    EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return (p & 0xFFFFFF) == 0x00FF00; }), 1600);
}

TEST(Coverage, HugeCoordinatesAreClippedBeforeFixedPoint) {
    // Quads far outside draw nothing; one spanning +-1e7 fills the target.
    for (bool fast : {true, false}) {
        Canvas c(32, 32);
        c.r.SetFastPaths(fast);
        DrawQuad(c.r, Quad(1e7f, 1e7f, 1e7f + 64, 1e7f + 64, 0xFFFFFFFF));
        DrawQuad(c.r, Quad(-1e7f - 64, 5, -1e7f, 20, 0xFFFFFFFF));
        DrawQuad(c.r, Quad(5, -1e7f, 20, 1e7f, 0xFF00FF00));
        EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return p == 0xFFFFFFFF; }), 0);
        EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return p == 0xFF00FF00; }), 15 * 32);
        DrawQuad(c.r, Quad(-1e7f, -1e7f, 1e7f, 1e7f, 0xFFFF0000));
        EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return p == 0xFFFF0000; }), 32 * 32);
    }

    // A triangle with one vertex at 1e7 draws exactly the part of it inside the target.
    const double x[3] = {-1e7, 400, 400}, y[3] = {300.5, 100.5, 500.5};
    const double x2[3] = {30.5, 1e7, 30.5}, y2[3] = {-20.5, 150.5, 170.5};
    for (int which = 0; which < 2; ++which) {
        const double* tx = which == 0 ? x : x2;
        const double* ty = which == 0 ? y : y2;
        Canvas c(500, 600);
        c.Triangle(tx[0], ty[0], tx[1], ty[1], tx[2], ty[2], 0xFFFFFF);
        int covered = 0;
        for (int py = 0; py < 600; ++py) {
            for (int px = 0; px < 500; ++px) {
                double rx[3] = {tx[0], tx[1], tx[2]}, ry[3] = {ty[0], ty[1], ty[2]};
                bool want = RefCovered(rx, ry, px, py);
                covered += want;
                ASSERT_EQ(c.At(px, py) != 0, want) << which << ": " << px << "," << py;
            }
        }
        EXPECT_GT(covered, 10000);
    }
}

// Vertices far away on both sides of a clip plane put the crossing at the mercy of rounding
// unless it is set onto the plane: a screen point left outside the guard band overflows the
// fixed-point set-up, a w left at 0 or below breaks the projection.
TEST(Coverage, ClippedCrossingsLieExactlyOnTheirPlane) {
    const double kFar[][2] = {{14944562044731.391, -4.0240300653644914e+32},
                              {3.2761417474908167e+20, -9.1301347960476407e+34},
                              {1.0719771916114094e+21, -7.3846005875874071e+20},
                              {5.4014372490830784e+17, -7.2193695521068243e+34}};
    for (const auto& ends : kFar) {
        for (int axis = 0; axis < 2; ++axis) {
            TVertex4 poly[kMaxPolygon] = {};
            for (int i = 0; i < 3; ++i)
                poly[i].w = 1;
            double along[3] = {ends[0], ends[1], 15}, across[3] = {4, 4, 12};
            for (int i = 0; i < 3; ++i) {
                (axis == 0 ? poly[i].y : poly[i].x) = along[i];
                (axis == 0 ? poly[i].x : poly[i].y) = across[i];
            }
            TVertex4 a = poly[0], b = poly[1];
            int n = ClipPolygonGuardBand(poly, 3);
            ASSERT_GE(n, 3);
            for (int i = 0; i < n; ++i) {
                EXPECT_LE(std::fabs(poly[i].x), kGuardBand) << ends[0] << " " << i;
                EXPECT_LE(std::fabs(poly[i].y), kGuardBand) << ends[0] << " " << i;
            }
            ASSERT_TRUE(ClipSegmentGuardBand(a, b));
            EXPECT_EQ(axis == 0 ? a.y : a.x, ends[0] > 0 ? kGuardBand : -kGuardBand);
            EXPECT_EQ(axis == 0 ? b.y : b.x, ends[1] > 0 ? kGuardBand : -kGuardBand);
        }

        // In clip space: one end in front of the eye, the other behind it.
        TVertex4 poly[kMaxPolygon] = {};
        double w[3] = {ends[0], ends[1], 2};
        for (int i = 0; i < 3; ++i) {
            poly[i].w = w[i];
            poly[i].x = i;
            poly[i].z = 0.5;
        }
        TVertex4 a = poly[0], b = poly[1];
        int n = ClipPolygonClipSpace(poly, 3, false);
        ASSERT_GE(n, 3);
        for (int i = 0; i < n; ++i)
            EXPECT_GE(poly[i].w, 1e-6) << ends[0] << " " << i;
        ASSERT_TRUE(ClipSegmentClipSpace(a, b, false));
        EXPECT_EQ(b.w, 1e-6);
    }
}

TEST(Coverage, NonFiniteVerticesDropTheirPrimitive) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {nan, inf, -inf}) {
        Canvas c;
        auto q = Quad(10, 10, 20, 20, 0xFFFFFFFF);
        q[2].x = bad;
        DrawQuad(c.r, q);
        auto q2 = Quad(10, 10, 20, 20, 0xFFFFFFFF);
        q2[0].z = bad;
        DrawQuad(c.r, q2);
        TTransformedVertex tri[6] = {Screen(30, 30, ~0u), Screen(40, 30, ~0u), Screen(30, 40, ~0u),
                                     Screen(1, 1, ~0u),   Screen(9, 1, ~0u),   Screen(1, 9, ~0u)};
        tri[1].rhw = bad;
        c.r.Draw(TPrimitive::TriangleList, TVertexFormat::Transformed, tri, 6);
        TTransformedVertex line[2] = {Screen(bad, 50, ~0u), Screen(60, 50, ~0u)};
        c.r.Draw(TPrimitive::LineList, TVertexFormat::Transformed, line, 2);
        // Only the second, sound triangle of the list is drawn.
        EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return (p & 0xFFFFFF) != 0; }), 36);
        EXPECT_NE(c.At(2, 2), 0u);
    }
}

TEST(Coverage, PrimitiveAssemblyIgnoresIncompletePrimitives) {
    Canvas c;
    TTransformedVertex v[5] = {Screen(1, 1, ~0u), Screen(9, 1, ~0u), Screen(1, 9, ~0u),
                               Screen(30, 30, ~0u), Screen(40, 30, ~0u)};
    EXPECT_TRUE(c.r.Draw(TPrimitive::TriangleList, TVertexFormat::Transformed, v, 0));
    EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return (p & 0xFFFFFF) != 0; }), 0);
    EXPECT_TRUE(c.r.Draw(TPrimitive::TriangleList, TVertexFormat::Transformed, v, 5));
    EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return (p & 0xFFFFFF) != 0; }), 36);
    EXPECT_TRUE(c.r.Draw(TPrimitive::TriangleFan, TVertexFormat::Transformed, v + 3, 2));
    EXPECT_TRUE(c.r.Draw(TPrimitive::LineList, TVertexFormat::Transformed, v + 3, 1));
    EXPECT_TRUE(c.r.Draw(TPrimitive::LineStrip, TVertexFormat::Transformed, v + 3, 1));
    EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return (p & 0xFFFFFF) != 0; }), 36);
    EXPECT_FALSE(c.r.Draw(TPrimitive::PointList, TVertexFormat::Transformed, v, 5));
    EXPECT_FALSE(c.r.Draw(TPrimitive::TriangleList, TVertexFormat::Transformed, nullptr, 3));
    EXPECT_FALSE(c.r.Draw(TPrimitive::TriangleList, TVertexFormat::Transformed, v, -3));
    TRasterizer none;
    EXPECT_FALSE(none.Draw(TPrimitive::TriangleList, TVertexFormat::Transformed, v, 3));
}

}  // namespace
}  // namespace raster
