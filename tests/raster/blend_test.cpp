// Blending, the alpha test and the depth test: the target bytes computed from the formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "drawing.h"

namespace raster {
namespace {

using namespace raster::test;

// A destination whose pixels are all different, so every blend sees many (s, d) pairs.
uint32_t Background(int x, int y) {
    return static_cast<uint32_t>(x * 41 + y * 7) << 24 |
           static_cast<uint32_t>(x * 13 + y * 29) << 16 |
           static_cast<uint32_t>(x * 3 + y * 61) << 8 | static_cast<uint32_t>(255 - x * 9 - y * 5);
}

// A target painted with the background, and a copy of it to compare against.
struct Painted {
    TSurface target;
    TSurface before;
    Painted(int size, TPixelFormat format) {
        target = MakeSurface(size, size, format);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x)
                target.SetPixel(x, y, Background(x, y));
        }
        before = MakeSurface(size, size, format);
        CopyRect(target, SurfaceRect(target), before, 0, 0);
    }
};

TEST(Blend, EveryFactorPairOfTheBlendModesToTheByte) {
    // The pairs the render front sets: alpha, additive, subtractive, multiply, their render
    // target mode 4 variants, and opaque (blending off).
    struct Pair {
        TBlend src, dest;
    } pairs[] = {{TBlend::SrcAlpha, TBlend::InvSrcAlpha},  {TBlend::SrcAlpha, TBlend::One},
                 {TBlend::Zero, TBlend::InvSrcColor},      {TBlend::One, TBlend::One},
                 {TBlend::Zero, TBlend::SrcColor},         {TBlend::One, TBlend::Zero},
                 {TBlend::DestColor, TBlend::InvDestAlpha}};
    const uint32_t sources[] = {0xFFFFFFFF, 0x80FF8040, 0x00FF00FF,
                                0x01020304, 0xFE7F8081, 0x40000000};
    const TPixelFormat targets[] = {TPixelFormat::X8R8G8B8, TPixelFormat::A8R8G8B8,
                                    TPixelFormat::R5G6B5, TPixelFormat::A4R4G4B4,
                                    TPixelFormat::X1R5G5B5};
    for (TPixelFormat format : targets) {
        for (const Pair& p : pairs) {
            for (uint32_t s : sources) {
                for (bool fast : {true, false}) {
                    Painted painted(16, format);
                    TSurface& target = painted.target;
                    const TSurface& before = painted.before;
                    TRasterizer r;
                    Setup2d(r, target);
                    r.SetFastPaths(fast);
                    r.State().srcBlend = p.src;
                    r.State().destBlend = p.dest;
                    DrawQuad(r, Quad(0.5f, 0.5f, 16.5f, 16.5f, s));
                    for (int y = 0; y < 16; ++y) {
                        for (int x = 0; x < 16; ++x) {
                            uint32_t d = before.GetPixel(x, y);
                            uint32_t want = Stored(format, RefBlend(p.src, p.dest, s, d));
                            ASSERT_EQ(target.GetPixel(x, y), want)
                                << "format " << int(format) << " factors " << int(p.src) << ","
                                << int(p.dest) << " source " << std::hex << s << " at " << std::dec
                                << x << "," << y << (fast ? " fast" : " general");
                        }
                    }
                }
            }
        }
    }
}

TEST(Blend, BlendingOffStoresTheSourceAndXTargetsKeepAlphaOnes) {
    TSurface target = MakeSurface(4, 4, TPixelFormat::X8R8G8B8);
    TRasterizer r;
    Setup2d(r, target);
    r.State().alphaBlendEnable = false;
    DrawQuad(r, Quad(0.5f, 0.5f, 4.5f, 4.5f, 0x12345678));
    EXPECT_EQ(Load32(target.At(2, 2)), 0xFF345678u);
}

TEST(AlphaTest, GreaterEqualOneDropsAlphaZeroTexels) {
    TSurface texture = MakeSurface(4, 1, TPixelFormat::A8R8G8B8);
    texture.SetPixel(0, 0, 0x00FF0000);
    texture.SetPixel(1, 0, 0x0100FF00);
    texture.SetPixel(2, 0, 0x000000FF);
    texture.SetPixel(3, 0, 0xFFFFFFFF);
    for (bool fast : {true, false}) {
        TSurface target = MakeSurface(4, 1, TPixelFormat::A8R8G8B8, 0x55555555);
        TRasterizer r;
        Setup2d(r, target);
        r.SetFastPaths(fast);
        r.State().alphaBlendEnable = false;  // a drawn alpha-0 texel would show
        r.State().alphaTestEnable = true;
        r.State().alphaFunc = TCompare::GreaterEqual;
        r.State().alphaRef = 1;
        r.State().stage0.magFilter = TFilter::Point;
        r.SetTexture(&texture);
        DrawQuad(r, Quad(0.5f, 0.5f, 4.5f, 1.5f, 0xFFFFFFFF));
        EXPECT_EQ(target.GetPixel(0, 0), 0x55555555u);
        EXPECT_EQ(target.GetPixel(1, 0), 0x0100FF00u);
        EXPECT_EQ(target.GetPixel(2, 0), 0x55555555u);
        EXPECT_EQ(target.GetPixel(3, 0), 0xFFFFFFFFu);
    }
}

TEST(AlphaTest, AFillWithAlphaZeroDrawsNothing) {
    // The statistics overlay's background: colour (0, 0, 0, 0), no texture, blend mode 0 and the
    // device's alpha test.
    for (TPixelFormat format : {TPixelFormat::X8R8G8B8, TPixelFormat::R5G6B5}) {
        for (bool blend : {true, false}) {
            Painted painted(32, format);
            TSurface& target = painted.target;
            const TSurface& before = painted.before;
            TRasterizer r;
            Setup2d(r, target);
            r.State().alphaBlendEnable = blend;
            r.State().alphaTestEnable = true;
            r.State().alphaFunc = TCompare::GreaterEqual;
            r.State().alphaRef = 1;
            DrawQuad(r, Quad(0.5f, 0.5f, 300.5f, 64.5f, 0x00000000));
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x)
                    ASSERT_EQ(target.GetPixel(x, y), before.GetPixel(x, y));
            }
        }
    }
}

TEST(AlphaTest, EveryComparisonUsesTheLowByteOfTheReference) {
    struct Case {
        TCompare func;
        bool pass[3];  // alpha 0x3F, 0x40, 0x41 against 0x40
    } cases[] = {
        {TCompare::Never, {false, false, false}},      {TCompare::Less, {true, false, false}},
        {TCompare::Equal, {false, true, false}},       {TCompare::LessEqual, {true, true, false}},
        {TCompare::Greater, {false, false, true}},     {TCompare::NotEqual, {true, false, true}},
        {TCompare::GreaterEqual, {false, true, true}}, {TCompare::Always, {true, true, true}}};
    for (const Case& c : cases) {
        TSurface target = MakeSurface(3, 1, TPixelFormat::A8R8G8B8);
        TRasterizer r;
        Setup2d(r, target);
        r.State().alphaBlendEnable = false;
        r.State().alphaTestEnable = true;
        r.State().alphaFunc = c.func;
        r.State().alphaRef = 0x1240;
        for (int i = 0; i < 3; ++i) {
            DrawQuad(r, Quad(i + 0.5f, 0.5f, i + 1.5f, 1.5f, (0x3Fu + i) << 24 | 0xFFFFFF));
            EXPECT_EQ(target.GetPixel(i, 0) != 0, c.pass[i]) << int(c.func) << " " << i;
        }
    }
}

TEST(Depth, LessEqualKeepsTheNearestAndEqualDepths) {
    TSurface target = MakeSurface(8, 8, TPixelFormat::X8R8G8B8);
    TSurface depth = MakeSurface(8, 8, TPixelFormat::D16);
    TRasterizer r;
    Setup2d(r, target);
    r.State().alphaBlendEnable = false;
    r.SetDepthBuffer(&depth);
    r.State().zEnable = true;
    r.Clear(kClearTarget | kClearDepth, 0, 1.0f);
    EXPECT_EQ(Load16(depth.At(7, 7)), 65535u);
    auto quad = [&](float z, uint32_t color, float x0 = 0, float x1 = 8) {
        TTransformedVertex v[4] = {Screen(x0, 0, color, 0, 0, z), Screen(x1, 0, color, 0, 0, z),
                                   Screen(x1, 8, color, 0, 0, z), Screen(x0, 8, color, 0, 0, z)};
        r.Draw(TPrimitive::TriangleFan, TVertexFormat::Transformed, v, 4);
    };
    quad(0.5f, 0xFF0000);
    EXPECT_EQ(Load16(depth.At(3, 3)), 32768u);  // round(0.5 * 65535)
    quad(0.5f, 0x00FF00);                       // equal passes
    EXPECT_EQ(target.GetPixel(3, 3), 0xFF00FF00u);
    quad(0.7f, 0x0000FF);  // farther fails
    EXPECT_EQ(target.GetPixel(3, 3), 0xFF00FF00u);
    quad(0.25f, 0xFFFFFF, 0, 4);  // nearer passes and writes
    EXPECT_EQ(target.GetPixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Load16(depth.At(1, 1)), 16384u);
    r.State().zWriteEnable = false;
    quad(0.1f, 0x123456);
    EXPECT_EQ(target.GetPixel(6, 6), 0xFF123456u);
    EXPECT_EQ(Load16(depth.At(6, 6)), 32768u);
    r.State().zEnable = false;  // no test, and no write either
    quad(0.9f, 0x654321);
    EXPECT_EQ(target.GetPixel(1, 1), 0xFF654321u);
    EXPECT_EQ(Load16(depth.At(1, 1)), 16384u);
}

TEST(Depth, DepthIsInterpolatedAcrossTheTriangle) {
    TSurface target = MakeSurface(64, 1, TPixelFormat::X8R8G8B8);
    TSurface depth = MakeSurface(64, 1, TPixelFormat::D16);
    TRasterizer r;
    Setup2d(r, target);
    r.SetDepthBuffer(&depth);
    r.State().zEnable = true;
    r.Clear(kClearDepth, 0, 1.0f);
    TTransformedVertex v[3] = {Screen(0, 0, ~0u, 0, 0, 0.0f), Screen(64, 0, ~0u, 0, 0, 1.0f),
                               Screen(0, 64, ~0u, 0, 0, 0.0f)};
    r.Draw(TPrimitive::TriangleList, TVertexFormat::Transformed, v, 3);
    for (int x = 0; x < 64; ++x) {
        // z = x / 64 at the centre (x, 0): round(x / 64 * 65535) through 16.16 fixed point.
        int64_t fixed = std::llround(65535.0 / 64 * 65536) * x;
        ASSERT_EQ(Load16(depth.At(x, 0)), static_cast<uint32_t>((fixed + 32768) >> 16)) << x;
    }
}

TEST(Clear, RectanglesAreCutToTheViewport) {
    TSurface target = MakeSurface(10, 10, TPixelFormat::R5G6B5);
    TSurface depth = MakeSurface(10, 10, TPixelFormat::D16);
    TRasterizer r;
    r.SetRenderTarget(&target);
    r.SetDepthBuffer(&depth);
    r.Viewport() = TViewport{2, 2, 6, 6, 0, 1};
    TRect rects[2] = {TRect{0, 0, 4, 4}, TRect{6, 6, 20, 20}};
    r.Clear(kClearTarget | kClearDepth, 0xFFFFFFFF, 0.25f, rects, 2);
    int cleared = CountPixels(target, [](uint32_t p) { return p == 0xFFFFFFFF; });
    EXPECT_EQ(cleared, 4 + 4);  // (2..3)^2 and (6..7)^2
    EXPECT_EQ(target.GetPixel(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(target.GetPixel(8, 8), 0xFF000000u);
    EXPECT_EQ(Load16(depth.At(7, 7)), 16384u);  // round(0.25 * 65535)
    EXPECT_EQ(Load16(depth.At(5, 5)), 0u);
    r.Clear(kClearDepth, 0, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(Load16(depth.At(5, 5)), 65535u);  // a depth that is not a number clears to 1.0
}

}  // namespace
}  // namespace raster
