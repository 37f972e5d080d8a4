// The quad fast paths give the bytes of the general path: sprites scaled (and mirrored) but not
// turned, which are filtered one texel row at a time, and turned sprites, which are drawn as one
// quad instead of two triangles. Every case is drawn with the fast paths off and then at every
// kernel level, on every target format.
#include <gtest/gtest.h>

#include <cmath>

#include "drawing.h"

namespace raster {
namespace {

using namespace raster::test;

constexpr TPixelFormat kTargets[] = {TPixelFormat::X8R8G8B8, TPixelFormat::A8R8G8B8,
                                     TPixelFormat::R5G6B5, TPixelFormat::A4R4G4B4};
constexpr TPixelFormat kTextures[] = {TPixelFormat::A8R8G8B8, TPixelFormat::X8R8G8B8,
                                      TPixelFormat::R5G6B5, TPixelFormat::X1R5G5B5,
                                      TPixelFormat::A4R4G4B4};
constexpr TSimd kLevels[] = {TSimd::Scalar, TSimd::Sse2, TSimd::Avx2, TSimd::Avx512};

// A sprite-like texture: transparent and opaque texels, ramps, and a sharp pattern that makes
// any wrong weight or neighbour show.
TSurface SpriteTexture(TPixelFormat format, int w, int h) {
    TSurface t = MakeSurface(w, h, format);
    uint32_t state = 12345;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            uint32_t alpha = x == 0 || y == h - 1 ? 0 : (x + y) % 5 == 0 ? 255 : (state >> 24);
            t.SetPixel(x, y, alpha << 24 | (state >> 4 & 0xFFFFFF));
        }
    }
    return t;
}

// A target with a pattern underneath, so blending shows; the pattern is drawn once per format
// and copied.
TSurface Backdrop(TPixelFormat format, int w, int h) {
    static std::vector<uint32_t> pattern;
    if (pattern.size() != static_cast<size_t>(w) * h) {
        pattern.resize(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                pattern[y * w + x] =
                    0x80000000u | static_cast<uint32_t>(x * 7 + y * 13) * 0x010203u;
            }
        }
    }
    TSurface s = MakeSurface(w, h, format);
    WritePixels(s, SurfaceRect(s), pattern.data(), w);
    return s;
}

struct QuadCase {
    const char* name;
    std::vector<TLitVertex> quad;
};

// Draws every case on a fresh backdrop with the rasterizer's settings and returns the target.
TSurface DrawCases(TRasterizer& r, TPixelFormat format, const TSurface& texture,
                   const std::vector<QuadCase>& cases, TFilter filter, TAddress address, bool blend,
                   size_t only) {
    TSurface target = Backdrop(format, 96, 80);
    Setup2d(r, target);
    TRenderState& s = r.State();
    s.stage0.magFilter = s.stage0.minFilter = filter;
    s.stage0.addressU = s.stage0.addressV = address;
    s.alphaBlendEnable = blend;
    s.alphaTestEnable = true;
    s.alphaFunc = TCompare::GreaterEqual;
    s.alphaRef = 1;
    r.SetTexture(&texture);
    DrawQuad(r, cases[only].quad);
    return target;
}

// Compares the general path with every kernel level on every target for each case alone, so a
// failure names the case.
void ExpectSameAsGeneralPath(const std::vector<QuadCase>& cases, const TSurface& texture,
                             TFilter filter, TAddress address, bool blend) {
    for (const DeviceOptions& options : kDeviceOptions) {
        for (TPixelFormat format : kTargets) {
            for (size_t i = 0; i < cases.size(); ++i) {
                TRasterizer general(TSimd::Scalar);
                general.SetFastPaths(false);
                ApplyOptions(general, options);
                TSurface want =
                    DrawCases(general, format, texture, cases, filter, address, blend, i);
                for (TSimd level : kLevels) {
                    TRasterizer fast(level);
                    ApplyOptions(fast, options);
                    TSurface got =
                        DrawCases(fast, format, texture, cases, filter, address, blend, i);
                    EXPECT_TRUE(SameBytes(want, got))
                        << cases[i].name << ": " << options.name << ", target " << int(format)
                        << ", texture " << int(texture.Format()) << ", level " << int(level)
                        << ", filter " << int(filter) << ", address " << int(address)
                        << (blend ? ", blended" : "");
                }
            }
        }
    }
}

// Scaled sprites: a 16 x 12 texture drawn at each scale from a few sub-pixel positions, mirrored
// along either axis, with a tinted and a white diffuse colour.
std::vector<QuadCase> ScaledCases() {
    std::vector<QuadCase> cases;
    const float scales[] = {0.5f, 0.75f, 1.25f, 2.0f, 3.3f, -1.25f};
    const float offsets[][2] = {{3, 4}, {3.25f, 4.5f}, {2.5f, 3.75f}, {6.731f, 2.119f}};
    for (float k : scales) {
        for (const auto& o : offsets) {
            for (int mirror = 0; mirror < 2; ++mirror) {
                float w = 16 * std::fabs(k), h = 12 * std::fabs(k);
                // A negative scale mirrors along x; the second variant mirrors along y.
                bool flipX = k < 0, flipY = mirror == 1;
                float u0 = flipX ? 1 : 0, u1 = flipX ? 0 : 1;
                float v0 = flipY ? 1 : 0, v1 = flipY ? 0 : 1;
                uint32_t diffuse = mirror ? 0xC0FFA060 : 0xFFFFFFFF;
                cases.push_back(
                    {"scale", Quad(o[0], o[1], o[0] + w, o[1] + h, diffuse, u0, v0, u1, v1)});
            }
        }
    }
    // One texel per pixel across but scaled down the rows (and the other way round): on texel
    // centres the rows are fetched without filtering along u, off them they are filtered.
    const float stretches[][2] = {{1, 2}, {1, 0.75f}, {-1, 3.3f}, {2, 1}};
    for (const auto& k : stretches) {
        for (const auto& o : offsets) {
            float w = 16 * std::fabs(k[0]), h = 12 * k[1];
            float u0 = k[0] < 0 ? 1 : 0, u1 = k[0] < 0 ? 0 : 1;
            cases.push_back(
                {"stretched", Quad(o[0], o[1], o[0] + w, o[1] + h, 0xFFFFFFFF, u0, 0, u1, 1)});
        }
    }
    // Off the target's edges, and a texture window wrapping past its sides.
    cases.push_back({"clipped", Quad(-9.5f, -7.25f, 40, 30, 0xFFFFFFFF)});
    cases.push_back({"clipped right", Quad(70.3f, 60.6f, 120, 95, 0xFFFFFFFF)});
    cases.push_back({"window", Quad(5, 5, 60, 45, 0xFFFFFFFF, -0.6f, 1.3f, 1.7f, -0.2f)});
    return cases;
}

TEST(QuadPaths, ScaledSpritesMatchTheGeneralPath) {
    std::vector<QuadCase> cases = ScaledCases();
    for (TPixelFormat texFormat : kTextures) {
        TSurface texture = SpriteTexture(texFormat, 16, 12);
        ExpectSameAsGeneralPath(cases, texture, TFilter::Linear, TAddress::Clamp, true);
        if (texFormat == TPixelFormat::A8R8G8B8 || texFormat == TPixelFormat::A4R4G4B4) {
            ExpectSameAsGeneralPath(cases, texture, TFilter::Point, TAddress::Clamp, true);
        }
    }
}

TEST(QuadPaths, ScaledSpritesMatchInEveryAddressMode) {
    std::vector<QuadCase> cases = ScaledCases();
    TSurface texture = SpriteTexture(TPixelFormat::A8R8G8B8, 16, 12);
    // 12 rows: wrapping on a size that is not a power of two too.
    for (TAddress address : {TAddress::Wrap, TAddress::Mirror}) {
        ExpectSameAsGeneralPath(cases, texture, TFilter::Linear, address, true);
    }
    ExpectSameAsGeneralPath(cases, texture, TFilter::Linear, TAddress::Clamp, false);
}

// Turned sprites around a few centres, including corners that land on pixel centres and
// exact multiples of 45 degrees.
std::vector<QuadCase> TurnedCases() {
    std::vector<QuadCase> cases;
    const float angles[] = {0.3f, 0.7853982f, 1.5707964f, 2.0f, 3.1415927f, 4.4f, 5.9f};
    const float centres[][2] = {{40.5f, 30.5f}, {33.27f, 41.61f}, {2, 3}};
    const float scales[] = {1.0f, 0.6f, 2.2f};
    for (float a : angles) {
        for (const auto& c : centres) {
            for (float k : scales) {
                auto q = Quad(-8 * k, -6 * k, 8 * k, 6 * k, k == 1 ? 0xFFFFFFFF : 0xA0FFFFFF);
                float cs = std::cos(a), sn = std::sin(a);
                for (auto& v : q) {
                    float x = v.x * cs - v.y * sn, y = v.x * sn + v.y * cs;
                    v.x = x + c[0];
                    v.y = y + c[1];
                }
                cases.push_back({"turned", q});
                // The same corners given the other way round.
                std::swap(q[1], q[3]);
                cases.push_back({"turned, other winding", q});
            }
        }
    }
    // A diamond whose corners lie on pixel centres and edges through them.
    cases.push_back({"diamond", {}});
    cases.back().quad = Quad(0, 0, 1, 1, 0xFFFFFFFF);
    const float diamond[4][2] = {{20.5f, 4.5f}, {36.5f, 20.5f}, {20.5f, 36.5f}, {4.5f, 20.5f}};
    for (int i = 0; i < 4; ++i) {
        cases.back().quad[i].x = diamond[i][0];
        cases.back().quad[i].y = diamond[i][1];
    }
    return cases;
}

TEST(QuadPaths, TurnedSpritesMatchTheGeneralPath) {
    std::vector<QuadCase> cases = TurnedCases();
    for (TPixelFormat texFormat : kTextures) {
        TSurface texture = SpriteTexture(texFormat, 16, 12);
        ExpectSameAsGeneralPath(cases, texture, TFilter::Linear, TAddress::Clamp, true);
    }
    TSurface texture = SpriteTexture(TPixelFormat::A8R8G8B8, 16, 12);
    ExpectSameAsGeneralPath(cases, texture, TFilter::Point, TAddress::Wrap, false);
}

TEST(QuadPaths, AlphaTestsOnOpaqueSpritesMatchTheGeneralPath) {
    // Texels without alpha under an opaque diffuse colour pass or fail the alpha test as a whole
    // sprite; a translucent diffuse colour makes the test per pixel again.
    std::vector<QuadCase> cases = {
        {"one to one", Quad(4, 5, 20, 17, 0xFFFFFFFF)},
        {"scaled", Quad(3.5f, 2.25f, 43.5f, 32.25f, 0xFFC08040)},
        {"turned", TurnedCases()[6].quad},
        {"translucent", Quad(6, 3, 38, 27, 0x80FFFFFF)},
    };
    for (TPixelFormat texFormat : {TPixelFormat::X8R8G8B8, TPixelFormat::R5G6B5}) {
        TSurface texture = SpriteTexture(texFormat, 16, 12);
        for (TCompare func : {TCompare::Less, TCompare::GreaterEqual, TCompare::Equal}) {
            for (uint32_t ref : {0x80u, 0xFFu}) {
                for (TPixelFormat format : kTargets) {
                    for (size_t i = 0; i < cases.size(); ++i) {
                        TSurface want, got;
                        for (bool fast : {false, true}) {
                            TRasterizer r;
                            r.SetFastPaths(fast);
                            TSurface target = Backdrop(format, 96, 80);
                            Setup2d(r, target);
                            r.State().alphaTestEnable = true;
                            r.State().alphaFunc = func;
                            r.State().alphaRef = ref;
                            r.State().stage0.magFilter = r.State().stage0.minFilter =
                                TFilter::Linear;
                            r.SetTexture(&texture);
                            DrawQuad(r, cases[i].quad);
                            (fast ? got : want) = std::move(target);
                        }
                        EXPECT_TRUE(SameBytes(want, got))
                            << cases[i].name << ": texture " << int(texFormat) << ", func "
                            << int(func) << ", ref " << ref << ", target " << int(format);
                    }
                }
            }
        }
    }
}

TEST(QuadPaths, PixelsTheAlphaTestDropsKeepTheTargetsUnusedByte) {
    // The alpha test that drops only alpha 0 is skipped under blending, which leaves those
    // pixels' colour as it was; the unused byte of an X8R8G8B8 target (here 0x00, as a locked
    // or fresh surface may hold) must be left as it was too, not set as a written pixel's is.
    TSurface texture = SpriteTexture(TPixelFormat::A8R8G8B8, 16, 12);
    std::vector<QuadCase> cases = {
        {"one to one", Quad(4, 5, 20, 17, 0xFFFFFFFF)},
        {"tinted", Quad(4, 5, 20, 17, 0xFF80C0FF)},
        {"translucent", Quad(6, 3, 22, 15, 0x80FFFFFF)},
        {"scaled", Quad(3.5f, 2.25f, 43.5f, 32.25f, 0xFFFFFFFF)},
        {"turned", TurnedCases()[6].quad},
        {"untextured, alpha 0", Quad(10, 10, 30, 20, 0x00FF8040)},
    };
    for (bool alphaInX : {false, true}) {
        for (TSimd level : kLevels) {
            for (size_t i = 0; i < cases.size(); ++i) {
                TSurface want, got;
                for (bool fast : {false, true}) {
                    TRasterizer r(fast ? level : TSimd::Scalar);
                    r.SetFastPaths(fast);
                    r.SetAlphaInXByte(alphaInX);
                    TSurface target = MakeSurface(96, 80, TPixelFormat::X8R8G8B8);
                    for (int y = 0; y < target.Height(); ++y) {
                        for (int x = 0; x < target.Width(); ++x)
                            Store32(target.At(x, y), 0x00405060u + static_cast<uint32_t>(x));
                    }
                    Setup2d(r, target);
                    r.State().alphaTestEnable = true;
                    r.State().alphaFunc = TCompare::GreaterEqual;
                    r.State().alphaRef = 1;
                    r.State().stage0.magFilter = r.State().stage0.minFilter = TFilter::Linear;
                    r.SetTexture(i + 1 == cases.size() ? nullptr : &texture);
                    DrawQuad(r, cases[i].quad);
                    (fast ? got : want) = std::move(target);
                }
                EXPECT_TRUE(SameBytes(want, got)) << cases[i].name << ", level " << int(level)
                                                  << (alphaInX ? ", alpha in X" : "");
                // The texture's first column is transparent: the one-to-one sprite leaves column 4.
                if (i == 0) {
                    EXPECT_EQ(Load32(got.At(4, 8)), 0x00405064u);
                }
            }
        }
    }
}

TEST(QuadPaths, TurnedQuadsCoverEachPixelOnce) {
    // Additive blending of a constant colour shows a pixel drawn twice or missed.
    for (const QuadCase& c : TurnedCases()) {
        TSurface general = MakeSurface(96, 80, TPixelFormat::A8R8G8B8);
        TSurface fast = MakeSurface(96, 80, TPixelFormat::A8R8G8B8);
        for (bool on : {false, true}) {
            TRasterizer r;
            r.SetFastPaths(on);
            Setup2d(r, on ? fast : general);
            r.State().srcBlend = TBlend::One;
            r.State().destBlend = TBlend::One;
            std::vector<TLitVertex> q = c.quad;
            for (auto& v : q)
                v.diffuse = 0x10101010;
            DrawQuad(r, q);
        }
        EXPECT_TRUE(SameBytes(general, fast)) << c.name;
        EXPECT_EQ(CountPixels(fast, [](uint32_t p) { return p != 0 && p != 0x10101010; }), 0)
            << c.name;
    }
}

}  // namespace
}  // namespace raster
