// Texture sampling: every texture format, the addressing modes, point and bilinear filters, mip
// selection, the pixel-offset calibration probe, and coordinates that are huge or not numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "drawing.h"

namespace raster {
namespace {

using namespace raster::test;

uint32_t Texel(int x, int y) {
    return static_cast<uint32_t>(0x30 + x * 40 + y) << 24 |
           static_cast<uint32_t>(x * 50 + y * 9) << 16 | static_cast<uint32_t>(255 - x * 20) << 8 |
           static_cast<uint32_t>(y * 70 + 3);
}

TSurface MakeTexture(int w, int h, TPixelFormat format) {
    TSurface t = MakeSurface(w, h, format);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            t.SetPixel(x, y, Texel(x, y));
    }
    return t;
}

// A rasterizer that copies what the combiner produces: no blending, texture times white.
struct Copier {
    TSurface target;
    TRasterizer r;
    Copier(int w, int h) {
        target = MakeSurface(w, h, TPixelFormat::A8R8G8B8);
        Setup2d(r, target);
        r.State().alphaBlendEnable = false;
    }
    // Screen-space quad from x0 to x1 (all rows) with u from u0 to u1 and v from v0 to v1.
    void Span(float x0, float x1, float u0, float u1, float v0 = 0, float v1 = 1) {
        float h = static_cast<float>(target.Height());
        TTransformedVertex q[4] = {Screen(x0, 0, ~0u, u0, v0), Screen(x1, 0, ~0u, u1, v0),
                                   Screen(x1, h, ~0u, u1, v1), Screen(x0, h, ~0u, u0, v1)};
        r.Draw(TPrimitive::TriangleFan, TVertexFormat::Transformed, q, 4);
    }
};

TEST(Texture, EveryFormatSamplesItsTexelsExpandedByReplication) {
    for (TPixelFormat format :
         {TPixelFormat::A8R8G8B8, TPixelFormat::X8R8G8B8, TPixelFormat::R5G6B5,
          TPixelFormat::X1R5G5B5, TPixelFormat::A4R4G4B4}) {
        TSurface texture = MakeTexture(5, 3, format);
        for (bool fast : {true, false}) {
            for (TFilter filter : {TFilter::Point, TFilter::Linear}) {
                Copier c(5, 3);
                c.r.SetFastPaths(fast);
                c.r.State().stage0.magFilter = filter;
                c.r.SetTexture(&texture);
                DrawQuad(c.r, Quad(0, 0, 5, 3, 0xFFFFFFFF));
                for (int y = 0; y < 3; ++y) {
                    for (int x = 0; x < 5; ++x) {
                        ASSERT_EQ(c.target.GetPixel(x, y), texture.GetPixel(x, y))
                            << int(format) << " " << x << "," << y;
                    }
                }
            }
        }
    }
    // White in 16 bits samples as 255, so white texels times a colour keep the colour.
    TSurface white = MakeSurface(2, 2, TPixelFormat::A4R4G4B4, 0xFFFFFFFF);
    Copier c(2, 2);
    c.r.SetTexture(&white);
    DrawQuad(c.r, Quad(0.5f, 0.5f, 2.5f, 2.5f, 0x80402010));
    EXPECT_EQ(c.target.GetPixel(1, 1), 0x80402010u);
}

TEST(Texture, AddressingAtUOneAndAQuarter) {
    // u = px / 4 at the centre of pixel px, on a texture 4 texels wide: pixel 5 samples u = 1.25.
    TSurface texture = MakeTexture(4, 1, TPixelFormat::A8R8G8B8);
    struct Case {
        TAddress mode;
        int texel[12];  // texel sampled by pixels 0..11 (point filter)
    } cases[] = {
        {TAddress::Wrap, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3}},
        {TAddress::Clamp, {0, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3}},
        {TAddress::Mirror, {0, 1, 2, 3, 3, 2, 1, 0, 0, 1, 2, 3}},
    };
    for (const Case& k : cases) {
        for (bool fast : {true, false}) {
            Copier c(12, 1);
            c.r.SetFastPaths(fast);
            c.r.State().stage0.addressU = c.r.State().stage0.addressV = k.mode;
            c.r.SetTexture(&texture);
            c.Span(0, 16, 0, 4);
            for (int x = 0; x < 12; ++x) {
                ASSERT_EQ(c.target.GetPixel(x, 0), Texel(k.texel[x], 0)) << int(k.mode) << " " << x;
            }
            EXPECT_EQ(c.target.GetPixel(5, 0),
                      Texel(k.mode == TAddress::Wrap ? 1 : (k.mode == TAddress::Clamp ? 3 : 2), 0));

            // Bilinear: s - 1/2 = px - 1/2, so texels px - 1 and px (addressed) mix half and half.
            Copier b(12, 1);
            b.r.SetFastPaths(fast);
            b.r.State().stage0.addressU = b.r.State().stage0.addressV = k.mode;
            b.r.State().stage0.magFilter = TFilter::Linear;
            b.r.SetTexture(&texture);
            b.Span(0, 16, 0, 4);
            for (int x = 0; x < 12; ++x) {
                int left = x == 0 ? (k.mode == TAddress::Wrap ? 3 : 0) : k.texel[x - 1];
                uint32_t c0 = Texel(left, 0), c1 = Texel(k.texel[x], 0), want = 0;
                for (int s = 0; s < 32; s += 8) {
                    want |= ((Channel(c0, s) + Channel(c1, s) + 1) / 2) << s;
                }
                ASSERT_EQ(b.target.GetPixel(x, 0), want) << int(k.mode) << " " << x;
            }
        }
    }
}

TEST(Texture, WrapWorksOnSizesThatAreNotPowersOfTwo) {
    TSurface texture = MakeTexture(3, 1, TPixelFormat::R5G6B5);
    Copier c(9, 1);
    c.r.State().stage0.addressU = TAddress::Wrap;
    c.r.SetTexture(&texture);
    c.Span(0, 9, -1, 2);  // u = (px + 1/2) / 3 - 1
    for (int x = 0; x < 9; ++x)
        ASSERT_EQ(c.target.GetPixel(x, 0), texture.GetPixel(x % 3, 0));
}

TEST(Texture, BilinearWeightsAroundTexelCentres) {
    // A 2x2 texture magnified onto 8x8 pixels: s = (px + 1/2) / 4 texels.
    TSurface texture = MakeTexture(2, 2, TPixelFormat::A8R8G8B8);
    for (bool fast : {true, false}) {
        Copier c(8, 8);
        c.r.SetFastPaths(fast);
        c.r.State().stage0.magFilter = TFilter::Linear;
        c.r.SetTexture(&texture);
        DrawQuad(c.r, Quad(0, 0, 8, 8, 0xFFFFFFFF));
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                double s = (x + 0.5) / 4 - 0.5, t = (y + 0.5) / 4 - 0.5;
                int i = static_cast<int>(std::floor(s)), j = static_cast<int>(std::floor(t));
                int fu = static_cast<int>(std::lround((s - i) * 256)),
                    fv = static_cast<int>(std::lround((t - j) * 256));
                auto tex = [&](int a, int b) {
                    return Texel(std::clamp(a, 0, 1), std::clamp(b, 0, 1));
                };
                uint32_t want = 0;
                for (int sh = 0; sh < 32; sh += 8) {
                    auto lerp = [](uint32_t a, uint32_t b, int f) {
                        return (a * (256 - f) + b * f + 128) >> 8;
                    };
                    uint32_t h0 = lerp(Channel(tex(i, j), sh), Channel(tex(i + 1, j), sh), fu);
                    uint32_t h1 =
                        lerp(Channel(tex(i, j + 1), sh), Channel(tex(i + 1, j + 1), sh), fu);
                    want |= lerp(h0, h1, fv) << sh;
                }
                ASSERT_EQ(c.target.GetPixel(x, y), want) << x << "," << y;
            }
        }
    }
}

TEST(Texture, MipLevelsFollowTheLevelOfDetail) {
    const uint32_t colors[5] = {0xFF100000, 0xFF002000, 0xFF000030, 0xFF404040, 0xFF505050};
    TSurface levels[5];
    for (int i = 0; i < 5; ++i)
        levels[i] = MakeSurface(16 >> i, 16 >> i, TPixelFormat::X8R8G8B8, colors[i]);
    const TSurface* chain[5] = {&levels[0], &levels[1], &levels[2], &levels[3], &levels[4]};
    auto draw = [&](TMipFilter mip, float size) {
        Copier c(32, 32);
        c.r.State().stage0.minFilter = TFilter::Point;
        c.r.State().stage0.mipFilter = mip;
        c.r.SetTexture(chain, 5);
        DrawQuad(c.r, Quad(0.5f, 0.5f, 0.5f + size, 0.5f + size, 0xFFFFFFFF));
        return c.target.GetPixel(0, 0);
    };
    EXPECT_EQ(draw(TMipFilter::Point, 16), colors[0]);  // lambda 0 magnifies
    EXPECT_EQ(draw(TMipFilter::Point, 8), colors[1]);
    EXPECT_EQ(draw(TMipFilter::Point, 4), colors[2]);
    EXPECT_EQ(draw(TMipFilter::Point, 1), colors[4]);
    EXPECT_EQ(draw(TMipFilter::None, 4), colors[0]);
    // 16 texels on 6 pixels: lambda = log2(16 / 6) = 1.415: point takes level 1, linear blends
    // levels 1 and 2 by round(0.415 * 256).
    EXPECT_EQ(draw(TMipFilter::Point, 6), colors[1]);
    double rho = std::llround(16.0 / 6 * 65536) / 65536.0;
    int w = static_cast<int>(std::lround((std::log2(rho) - 1) * 256));
    uint32_t want = 0;
    for (int s = 0; s < 32; s += 8) {
        want |= ((Channel(colors[1], s) * (256 - w) + Channel(colors[2], s) * w + 128) >> 8) << s;
    }
    EXPECT_EQ(draw(TMipFilter::Linear, 6), want);
    EXPECT_EQ(draw(TMipFilter::Linear, 0.5f), colors[4]);  // past the last level
}

TEST(Texture, CalibrationProbeKeepsTheFirstTrial) {
    // A 16x16 white probe with black corners, drawn at (16 t, 0) with pixel offset
    // t * 0.1 - 0.5 and point filtering; the first trial whose two corners land black wins.
    TSurface probe = MakeSurface(16, 16, TPixelFormat::A8R8G8B8, 0xFFFFFFFF);
    probe.SetPixel(0, 0, 0xFF000000);
    probe.SetPixel(15, 15, 0xFF000000);
    TSurface target = MakeSurface(1024, 512, TPixelFormat::A8R8G8B8, 0x00FF0000);
    TRasterizer r;
    for (int t = 0; t < 10; ++t) {
        Setup2d(r, target, t * 0.1f - 0.5f);
        r.State().alphaTestEnable = true;
        r.State().alphaFunc = TCompare::GreaterEqual;
        r.State().alphaRef = 1;
        r.State().stage0.magFilter = r.State().stage0.minFilter = TFilter::Point;
        r.SetTexture(&probe);
        DrawQuad(r, Quad(16.0f * t, 0, 16.0f * t + 16, 16, 0xFFFFFFFF));
    }
    int chosen = -1;
    for (int t = 0; t < 10 && chosen < 0; ++t) {
        if ((target.GetPixel(16 * t, 0) & 0xFFFFFF) == 0 &&
            (target.GetPixel(16 * t + 15, 15) & 0xFFFFFF) == 0) {
            chosen = t;
        }
    }
    EXPECT_EQ(chosen, 0);
    // Trial 0 maps every texel onto exactly one pixel.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(target.GetPixel(x, y), probe.GetPixel(x, y));
    }
}

TEST(Texture, HugeAndBrokenCoordinatesAreReducedBeforeUse) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    TSurface texture = MakeTexture(4, 4, TPixelFormat::A8R8G8B8);
    struct Case {
        TAddress mode;
        float u0, u1;
        int texel;  // what every pixel samples in column terms (row 0 sampled: v = 0)
    } cases[] = {
        {TAddress::Wrap, 1e30f, 1e30f, 0},    {TAddress::Clamp, 1e30f, 1e30f, 3},
        {TAddress::Clamp, -1e30f, -1e30f, 0}, {TAddress::Wrap, nan, nan, 0},
        {TAddress::Mirror, inf, inf, 0},      {TAddress::Clamp, nan, nan, 0},
    };
    for (const Case& k : cases) {
        for (bool fast : {true, false}) {
            Copier c(8, 4);
            c.r.SetFastPaths(fast);
            c.r.State().stage0.addressU = c.r.State().stage0.addressV = k.mode;
            c.r.SetTexture(&texture);
            c.Span(0, 8, k.u0, k.u1, 0, 0);
            for (int x = 0; x < 8; ++x) {
                ASSERT_EQ(c.target.GetPixel(x, 2), Texel(k.texel, 0)) << int(k.mode) << " " << x;
            }
        }
    }
    // Wildly different coordinates on one triangle: any texel, but nothing else goes wrong.
    Copier c(64, 64);
    c.r.State().stage0.addressU = TAddress::Wrap;
    c.r.State().stage0.magFilter = c.r.State().stage0.minFilter = TFilter::Linear;
    c.r.State().stage0.mipFilter = TMipFilter::Linear;
    c.r.SetTexture(&texture);
    c.Span(0, 64, -1e30f, 1e30f, 1e-30f, -3e38f);
    EXPECT_EQ(CountPixels(c.target, [](uint32_t p) { return p == 0; }), 0);
}

TEST(Texture, UnusableLevelsUnbindTheTexture) {
    TSurface good = MakeTexture(2, 2, TPixelFormat::A8R8G8B8);
    TSurface depth = MakeSurface(2, 2, TPixelFormat::D16);
    TSurface empty;
    const TSurface* chains[][2] = {{&good, &depth}, {&good, &empty}, {&good, nullptr}};
    for (const auto& chain : chains) {
        Copier c(2, 2);
        c.r.SetTexture(chain, 2);
        EXPECT_FALSE(c.r.HasTexture());
        DrawQuad(c.r, Quad(0, 0, 2, 2, 0xFF204060));
        EXPECT_EQ(c.target.GetPixel(1, 1), 0xFF204060u);  // TEXTURE reads as opaque white
    }
    Copier c(2, 2);
    c.r.SetTexture(&good);
    EXPECT_TRUE(c.r.HasTexture());
    c.r.SetTexture(nullptr);
    EXPECT_FALSE(c.r.HasTexture());
}

}  // namespace
}  // namespace raster
