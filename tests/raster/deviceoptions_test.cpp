// The rasterizer's options for the port layer's device: the X byte of an X8R8G8B8 target keeping
// the drawn alpha, and pixel centres moved by a sub-pixel amount. The fast paths under both are
// compared with the general path in fastpath_test.cpp and quadpath_test.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "drawing.h"

namespace raster {
namespace {

using namespace raster::test;

// A 32-bit target whose words, X byte included, differ from pixel to pixel.
TSurface Words(TPixelFormat format, int w, int h) {
    TSurface s = MakeSurface(w, h, format);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            Store32(s.At(x, y), static_cast<uint32_t>(x * 29 + y * 7) << 24 | 0x00406080u);
    }
    return s;
}

TEST(AlphaInXByte, AnXTargetIsDrawnAsAnAlphaTargetOfTheSameBytes) {
    // Blends that read and write the alpha, including the destination alpha as a factor;
    // textured and untextured; through the fast paths and the general path.
    struct Blend {
        TBlend src, dest;
    };
    TSurface texture = MakeSurface(8, 8, TPixelFormat::A8R8G8B8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            texture.SetPixel(x, y, static_cast<uint32_t>(x * 32 + y) << 24 | 0x20C0F0u);
    }
    for (Blend b :
         {Blend{TBlend::SrcAlpha, TBlend::InvSrcAlpha}, Blend{TBlend::One, TBlend::Zero},
          Blend{TBlend::DestAlpha, TBlend::InvDestAlpha}, Blend{TBlend::One, TBlend::One}}) {
        for (bool textured : {false, true}) {
            for (bool fast : {false, true}) {
                TSurface asX = Words(TPixelFormat::X8R8G8B8, 24, 16);
                TSurface asA = Words(TPixelFormat::A8R8G8B8, 24, 16);
                for (TSurface* target : {&asX, &asA}) {
                    TRasterizer r;
                    r.SetFastPaths(fast);
                    r.SetAlphaInXByte(true);
                    Setup2d(r, *target);
                    r.State().srcBlend = b.src;
                    r.State().destBlend = b.dest;
                    r.SetTexture(textured ? &texture : nullptr);
                    DrawQuad(r, Quad(2, 3, 10, 11, 0x80FFFFFF));
                    DrawQuad(r, Quad(6.5f, 1.25f, 21.5f, 14.75f, 0xC0FF8040));
                }
                EXPECT_TRUE(SameBytes(asX, asA))
                    << int(b.src) << "," << int(b.dest) << (textured ? " textured" : "")
                    << (fast ? " fast" : "");
            }
        }
    }
}

TEST(AlphaInXByte, TheXByteHoldsTheBlendedAlphaOnlyWithTheOption) {
    // A half-transparent quad over a cleared target: the X byte becomes
    // round((128 * 128 + 255 * 127) / 255) = 191 with the option, stays 255 without it; the
    // colour is the same either way, and a converting copy still reads the pixel as opaque.
    for (bool on : {false, true}) {
        TSurface target = MakeSurface(8, 8, TPixelFormat::X8R8G8B8);
        TRasterizer r;
        r.SetAlphaInXByte(on);
        Setup2d(r, target);
        r.Clear(kClearTarget, 0x00000000, 1.0f);
        EXPECT_EQ(Load32(target.At(0, 0)), 0xFF000000u) << "Clear converts as Fill does";
        DrawQuad(r, Quad(0, 0, 4, 4, 0x80FF0000));
        uint32_t want = RefBlend(TBlend::SrcAlpha, TBlend::InvSrcAlpha, 0x80FF0000, 0xFF000000);
        EXPECT_EQ(Load32(target.At(1, 1)), on ? want : (want | 0xFF000000u));
        EXPECT_EQ(Load32(target.At(1, 1)) >> 24, on ? 191u : 255u);
        EXPECT_EQ(Load32(target.At(5, 5)), 0xFF000000u);
        TSurface copy = MakeSurface(8, 8, TPixelFormat::A8R8G8B8);
        CopyRect(target, SurfaceRect(target), copy, 0, 0);
        EXPECT_EQ(copy.GetPixel(1, 1), want | 0xFF000000u);
        uint32_t read = 0;
        ReadPixels(target, TRect{1, 1, 2, 2}, &read, 1);
        EXPECT_EQ(read >> 24, 255u);
    }
}

TEST(AlphaInXByte, OtherTargetFormatsAreUnaffected) {
    for (TPixelFormat format : {TPixelFormat::A8R8G8B8, TPixelFormat::R5G6B5,
                                TPixelFormat::X1R5G5B5, TPixelFormat::A4R4G4B4}) {
        TSurface targets[2] = {MakeSurface(16, 16, format, 0x40102030),
                               MakeSurface(16, 16, format, 0x40102030)};
        for (int k = 0; k < 2; ++k) {
            TRasterizer r;
            r.SetAlphaInXByte(k == 1);
            Setup2d(r, targets[k]);
            DrawQuad(r, Quad(1, 2, 13.5f, 11.5f, 0x90F08010));
        }
        EXPECT_TRUE(SameBytes(targets[0], targets[1])) << int(format);
    }
}

// ---- Pixel-centre shift

// A 16 x 16 texture of distinct opaque texels drawn one texel per pixel at (4, 4) through the
// 2-D projection with the pixel offset -0.5 and point filtering, in each vertex format.
TSurface DrawProbe(float shift, TVertexFormat format, const TSurface& texture) {
    TSurface target = MakeSurface(24, 24, TPixelFormat::A8R8G8B8, 0xFF00FF00);
    TRasterizer r;
    r.SetPixelCentreShift(shift);
    Setup2d(r, target);
    r.State().stage0.magFilter = r.State().stage0.minFilter = TFilter::Point;
    r.SetTexture(&texture);
    auto lit = Quad(4, 4, 20, 20, 0xFFFFFFFF);
    if (format == TVertexFormat::Lit) {
        DrawQuad(r, lit);
    } else if (format == TVertexFormat::Transformed) {
        // Screen positions: what the projection makes of the lit quad.
        std::vector<TTransformedVertex> screen;
        for (const TLitVertex& v : lit)
            screen.push_back(Screen(v.x - 0.5f, v.y - 0.5f, v.diffuse, v.u, v.v));
        r.Draw(TPrimitive::TriangleFan, TVertexFormat::Transformed, screen.data(), 4);
    } else {
        std::vector<TUnlitVertex> unlit;
        for (const TLitVertex& v : lit) {
            TUnlitVertex u{};
            u.x = v.x;
            u.y = v.y;
            u.z = v.z;
            u.u = v.u;
            u.v = v.v;
            unlit.push_back(u);
        }
        r.State().lighting = false;  // opaque white
        r.Draw(TPrimitive::TriangleFan, TVertexFormat::Unlit, unlit.data(), 4);
    }
    return target;
}

TEST(PixelCentreShift, MovesTheWholePictureByWholePixelsPastHalfAPixel) {
    TSurface texture = MakeSurface(16, 16, TPixelFormat::A8R8G8B8);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            texture.SetPixel(x, y, 0xFF000000u | static_cast<uint32_t>(y * 16 + x) * 0x010101u);
    }
    // Shift -> how far the picture moves (right and down). Centres moved by s sample the
    // texture s further on: +0.5 and more lands each texel one pixel up and to the left.
    struct Case {
        float shift;
        int move;
    };
    for (Case c : {Case{0.0f, 0}, Case{0.25f, 0}, Case{0.5f, -1}, Case{0.9f, -1}, Case{-0.5f, 0},
                   Case{-0.6f, 1}}) {
        for (TVertexFormat format :
             {TVertexFormat::Lit, TVertexFormat::Transformed, TVertexFormat::Unlit}) {
            TSurface target = DrawProbe(c.shift, format, texture);
            int mismatches = 0;
            for (int y = 0; y < 24; ++y) {
                for (int x = 0; x < 24; ++x) {
                    int tx = x - 4 - c.move, ty = y - 4 - c.move;
                    bool inside = tx >= 0 && tx < 16 && ty >= 0 && ty < 16;
                    uint32_t want = inside ? texture.GetPixel(tx, ty) : 0xFF00FF00u;
                    mismatches += target.GetPixel(x, y) != want ? 1 : 0;
                }
            }
            EXPECT_EQ(mismatches, 0) << "shift " << c.shift << ", format " << int(format);
        }
    }
}

TEST(PixelCentreShift, LinesMoveAndTheScissorStays) {
    // A horizontal span from x 2.5 to 6.5 on row 3 covers columns 3 to 6; centres moved by 0.6
    // see it one pixel up and to the left.
    for (float shift : {0.0f, 0.6f}) {
        for (bool fast : {false, true}) {
            TSurface target = MakeSurface(8, 8, TPixelFormat::A8R8G8B8);
            TRasterizer r;
            r.SetFastPaths(fast);
            r.SetPixelCentreShift(shift);
            Setup2d(r, target);
            r.State().alphaBlendEnable = false;
            TTransformedVertex line[2] = {Screen(2.5f, 3, 0xFFFFFFFF), Screen(6.5f, 3, 0xFFFFFFFF)};
            r.Draw(TPrimitive::LineList, TVertexFormat::Transformed, line, 2);
            int row = shift == 0.0f ? 3 : 2, first = shift == 0.0f ? 3 : 2;
            for (int x = 0; x < 8; ++x) {
                EXPECT_EQ(target.GetPixel(x, row), x >= first && x < first + 4 ? 0xFFFFFFFFu : 0u)
                    << shift << " " << x;
            }
            EXPECT_EQ(CountPixels(target, [](uint32_t c) { return c != 0; }), 4);
        }
    }
    // A quad over the whole target and past it: the shift never writes outside the viewport.
    TSurface target = MakeSurface(12, 10, TPixelFormat::A8R8G8B8);
    TRasterizer r;
    r.SetPixelCentreShift(-0.8f);
    Setup2d(r, target);
    r.Viewport() = TViewport{2, 2, 6, 5, 0.0f, 1.0f};
    r.Transforms().projection = PassDepthThrough(OrthoOffCenter(0, 12, 10, 0, 0.1f, 1000.0f));
    DrawQuad(r, Quad(-5, -5, 20, 20, 0xFFFFFFFF));
    EXPECT_EQ(CountPixels(target, [](uint32_t c) { return c != 0; }), 30);
}

TEST(PixelCentreShift, IsHeldWithinOnePixel) {
    TRasterizer r;
    EXPECT_EQ(r.PixelCentreShift(), 0.0f);
    r.SetPixelCentreShift(0.5f);
    EXPECT_EQ(r.PixelCentreShift(), 0.5f);
    r.SetPixelCentreShift(3.0f);
    EXPECT_EQ(r.PixelCentreShift(), 1.0f);
    r.SetPixelCentreShift(-7.0f);
    EXPECT_EQ(r.PixelCentreShift(), -1.0f);
    r.SetPixelCentreShift(std::nanf(""));
    EXPECT_EQ(r.PixelCentreShift(), 0.0f);
    r.SetPixelCentreShift(INFINITY);
    EXPECT_EQ(r.PixelCentreShift(), 0.0f);
}

}  // namespace
}  // namespace raster
