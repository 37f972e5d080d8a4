// The fast paths and the SIMD kernels give the same bytes as the general path: each scene is
// drawn with the fast paths on and off, and with every kernel level.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "drawing.h"

namespace raster {
namespace {

using namespace raster::test;

struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    float Float(float lo, float hi) { return lo + (hi - lo) * (Next() % 10000) / 10000.0f; }
};

struct Textures {
    TSurface background, sprite, sprite565, sprite4444;
    TSurface mips[4];
    Textures() {
        background = MakeSurface(48, 40, TPixelFormat::X8R8G8B8);
        sprite = MakeSurface(16, 16, TPixelFormat::A8R8G8B8);
        sprite565 = MakeSurface(16, 8, TPixelFormat::R5G6B5);
        sprite4444 = MakeSurface(8, 16, TPixelFormat::A4R4G4B4);
        Lcg rng{7};
        for (TSurface* s : {&background, &sprite, &sprite565, &sprite4444}) {
            for (int y = 0; y < s->Height(); ++y) {
                for (int x = 0; x < s->Width(); ++x) {
                    uint32_t c = rng.Next() | rng.Next() << 24;
                    // Some fully transparent and some opaque texels, as in real sprites.
                    if (x < 2) c &= 0x00FFFFFF;
                    if (y > 12) c |= 0xFF000000;
                    s->SetPixel(x, y, c);
                }
            }
        }
        // The unused byte of X8R8G8B8 texels holds anything; it must never show.
        for (int y = 0; y < background.Height(); ++y) {
            for (int x = 0; x < background.Width(); ++x) {
                uint8_t* p = background.At(x, y);
                Store32(p, (Load32(p) & 0x00FFFFFF) | (rng.Next() & 0xFF) << 24);
            }
        }
        for (int i = 0; i < 4; ++i)
            mips[i] = MakeSurface(16 >> i, 16 >> i, TPixelFormat::A8R8G8B8);
        CopyRect(sprite, SurfaceRect(sprite), mips[0], 0, 0);
        BuildMipChain(mips, 4);
    }
};

std::vector<TLitVertex> Rotated(float cx, float cy, float w, float h, float angle, uint32_t c) {
    auto q = Quad(-w / 2, -h / 2, w / 2, h / 2, c);
    float cs = std::cos(angle), sn = std::sin(angle);
    for (auto& v : q) {
        float x = v.x * cs - v.y * sn, y = v.x * sn + v.y * cs;
        v.x = x + cx;
        v.y = y + cy;
    }
    return q;
}

// A small frame: a background, sprites of every kind, filled rectangles and glyph spans.
void DrawScene(TRasterizer& r, TSurface& target, const Textures& tex, uint32_t seed, bool depthOn) {
    Setup2d(r, target);
    TRenderState& s = r.State();
    s.alphaTestEnable = true;
    s.alphaFunc = TCompare::GreaterEqual;
    s.alphaRef = 1;
    s.stage0.magFilter = s.stage0.minFilter = TFilter::Linear;
    if (depthOn) s.zEnable = true;
    Lcg rng{seed};

    r.SetTexture(&tex.background);
    s.stage0.addressU = s.stage0.addressV = TAddress::Wrap;
    DrawQuad(r, Quad(0, 0, 96, 80, 0xFFFFFFFF, 0, 0, 2, 2));
    s.stage0.addressU = s.stage0.addressV = TAddress::Clamp;

    const TSurface* sprites[] = {&tex.sprite, &tex.sprite565, &tex.sprite4444};
    for (int i = 0; i < 40; ++i) {
        const TSurface* t = sprites[i % 3];
        r.SetTexture(t);
        uint32_t color = i % 4 == 0 ? 0xFFFFFFFF : (rng.Next() | 0x20000000);
        float x = static_cast<float>(rng.Next() % 90) - 8;
        float y = static_cast<float>(rng.Next() % 70) - 8;
        if (i % 5 == 1) x += rng.Float(0, 1), y += rng.Float(0, 1);
        s.stage0.magFilter = i % 7 == 0 ? TFilter::Point : TFilter::Linear;
        switch (i % 6) {
            case 0:
            case 1:
            case 2:
                DrawQuad(r, Quad(x, y, x + t->Width(), y + t->Height(), color));
                break;
            case 3: {
                float k = rng.Float(0.4f, 2.5f);
                s.stage0.mipFilter = TMipFilter::Linear;
                const TSurface* chain[4] = {&tex.mips[0], &tex.mips[1], &tex.mips[2], &tex.mips[3]};
                r.SetTexture(chain, 4);
                DrawQuad(r, Quad(x, y, x + 16 * k, y + 16 * k, color));
                s.stage0.mipFilter = TMipFilter::None;
                break;
            }
            case 4:
                DrawQuad(r, Rotated(x, y, 16, 16, rng.Float(0, 6.3f), color));
                break;
            default:
                DrawQuad(r, Quad(x, y, x + 16, y + 16, color, 0.25f, 0, 0.75f, 1));
                break;
        }
    }

    // Opaque textures one texel per pixel: white, tinted, and with blending off.
    r.SetTexture(&tex.background);
    DrawQuad(r, Quad(5, 7, 35, 27, 0xFFFFFFFF, 5 / 48.0f, 8 / 40.0f, 35 / 48.0f, 28 / 40.0f));
    DrawQuad(r, Quad(50, 40, 70, 60, 0xC0FF8040, 0, 0, 20 / 48.0f, 20 / 40.0f));
    s.alphaBlendEnable = false;
    DrawQuad(r, Quad(40, 3, 60, 13, 0xFFFFFFFF, 0, 0, 20 / 48.0f, 10 / 40.0f));
    {
        // The same as two listed triangles, which take the span path.
        auto q = Quad(60, 20, 90, 50, 0xFFFFFFFF, 0, 0, 30 / 48.0f, 30 / 40.0f);
        TLitVertex list[6] = {q[0], q[1], q[2], q[0], q[2], q[3]};
        r.Draw(TPrimitive::TriangleList, TVertexFormat::Lit, list, 6);
    }
    r.SetTexture(&tex.sprite);
    DrawQuad(r, Quad(20, 50, 36, 66, 0x80FFFFFF));
    // Scaled and rotated with wrapping coordinates, points and bilinear.
    s.stage0.addressU = s.stage0.addressV = TAddress::Wrap;
    DrawQuad(r, Quad(-7.3f, 30.6f, 41.2f, 77.9f, 0xFFFFFFFF, -1.3f, 2.2f, 1.9f, -0.4f));
    s.stage0.magFilter = s.stage0.minFilter = TFilter::Point;
    DrawQuad(r, Rotated(60, 60, 50, 30, 0.7f, 0xFFFFFFFF));
    s.stage0.magFilter = s.stage0.minFilter = TFilter::Linear;
    s.stage0.addressU = s.stage0.addressV = TAddress::Clamp;
    s.alphaBlendEnable = true;

    r.SetTexture(nullptr);
    for (int i = 0; i < 6; ++i) {
        float x = static_cast<float>(rng.Next() % 80), y = static_cast<float>(rng.Next() % 60);
        DrawQuad(r, Quad(x, y, x + 20, y + 9, rng.Next() | (i == 0 ? 0 : 0xFF000000u * (i % 2))));
    }

    std::vector<TTransformedVertex> spans;
    for (int i = 0; i < 120; ++i) {
        int x0 = static_cast<int>(rng.Next() % 100) - 4, len = 1 + static_cast<int>(rng.Next() % 9);
        int y = static_cast<int>(rng.Next() % 84) - 2;
        uint32_t c = (rng.Next() % 16 + 1) * 15 << 24 | 0xFFFFFF;
        spans.push_back(Screen(x0 - 0.75f, static_cast<float>(y), c));
        spans.push_back(Screen(x0 + len - 0.75f, static_cast<float>(y), c));
    }
    r.Draw(TPrimitive::LineList, TVertexFormat::Transformed, spans.data(),
           static_cast<int>(spans.size()));
}

TEST(FastPaths, ScenesMatchTheGeneralPathOnEveryTarget) {
    Textures tex;
    for (const DeviceOptions& options : kDeviceOptions) {
        for (TPixelFormat format : {TPixelFormat::X8R8G8B8, TPixelFormat::A8R8G8B8,
                                    TPixelFormat::R5G6B5, TPixelFormat::A4R4G4B4}) {
            for (uint32_t seed : {1u, 2u, 3u}) {
                for (bool depthOn : {false, true}) {
                    TSurface general = MakeSurface(88, 72, format, 0x80402010);
                    TSurface depthA = MakeSurface(88, 72, TPixelFormat::D16);
                    TRasterizer ref(TSimd::Scalar);
                    ref.SetFastPaths(false);
                    ApplyOptions(ref, options);
                    ref.SetDepthBuffer(&depthA);
                    DrawScene(ref, general, tex, seed, depthOn);
                    for (TSimd level : {TSimd::Scalar, TSimd::Sse2, TSimd::Avx2, TSimd::Avx512}) {
                        TSurface fast = MakeSurface(88, 72, format, 0x80402010);
                        TSurface depthB = MakeSurface(88, 72, TPixelFormat::D16);
                        TRasterizer r(level);
                        ApplyOptions(r, options);
                        r.SetDepthBuffer(&depthB);
                        DrawScene(r, fast, tex, seed, depthOn);
                        EXPECT_TRUE(SameBytes(general, fast))
                            << options.name << ", format " << int(format) << " seed " << seed
                            << " simd " << int(level) << (depthOn ? " depth" : "");
                        EXPECT_TRUE(SameBytes(depthA, depthB));
                    }
                }
            }
        }
    }
}

TEST(FastPaths, KernelsAgreeOnEveryAlpha) {
    // Every source alpha against a spread of destinations, through each kernel level.
    std::vector<uint32_t> src(256 * 3), dst(256 * 3);
    Lcg rng{99};
    for (size_t i = 0; i < src.size(); ++i) {
        src[i] = static_cast<uint32_t>(i % 256) << 24 | (rng.Next() & 0xFFFFFF);
        dst[i] = rng.Next() | rng.Next() << 24;
    }
    const TKernels& scalar = GetKernels(TSimd::Scalar);
    for (TSimd level : {TSimd::Sse2, TSimd::Avx2, TSimd::Avx512}) {
        const TKernels& k = GetKernels(level);
        for (uint32_t orMask : {0u, 0xFF000000u}) {
            // Whole and partial steps of 4, 8 and 16 pixels; 264 and 279 are long runs whose
            // copy asks for lines ahead, ending on a whole step and on a partial one.
            for (int n : {1, 3, 7, 8, 9, 15, 16, 17, 31, 33, 264, 279, 768}) {
                std::vector<uint32_t> a(dst.begin(), dst.begin() + n), b = a;
                scalar.copyOr(src.data(), reinterpret_cast<uint8_t*>(a.data()), n, orMask);
                k.copyOr(src.data(), reinterpret_cast<uint8_t*>(b.data()), n, orMask);
                ASSERT_EQ(a, b) << int(level) << " n " << n;
                a.assign(dst.begin(), dst.begin() + n);
                b = a;
                scalar.blendSrcAlpha(src.data(), reinterpret_cast<uint8_t*>(a.data()), n, orMask);
                k.blendSrcAlpha(src.data(), reinterpret_cast<uint8_t*>(b.data()), n, orMask);
                ASSERT_EQ(a, b) << int(level) << " n " << n;
                a.assign(dst.begin(), dst.begin() + n);
                b = a;
                scalar.blendSrcAlphaTested(src.data(), reinterpret_cast<uint8_t*>(a.data()), n,
                                           orMask);
                k.blendSrcAlphaTested(src.data(), reinterpret_cast<uint8_t*>(b.data()), n, orMask);
                ASSERT_EQ(a, b) << int(level) << " n " << n;
                for (uint32_t c : {src[5], src[200], 0x7F808080u}) {
                    std::vector<uint32_t> e(dst.begin(), dst.begin() + n), f = e;
                    scalar.blendSrcAlphaConst(c, reinterpret_cast<uint8_t*>(e.data()), n, orMask);
                    k.blendSrcAlphaConst(c, reinterpret_cast<uint8_t*>(f.data()), n, orMask);
                    ASSERT_EQ(e, f);
                    std::vector<uint32_t> g(n), h(n);
                    scalar.modulateConst(dst.data(), c, g.data(), n);
                    k.modulateConst(dst.data(), c, h.data(), n);
                    ASSERT_EQ(g, h);
                }
            }
        }
    }
    // Sprite rows: runs of clear and of solid texels, whole steps of them and parts of steps,
    // which the kernels may take without blending.
    const struct {
        int length;
        int alpha;  // -1: any
    } runs[] = {{16, 0}, {32, 255}, {5, 0},  {16, 255}, {48, -1}, {3, 255},
                {16, 0}, {17, 255}, {64, 0}, {1, 128},  {16, 0},  {40, 255}};
    std::vector<uint32_t> sprite;
    for (const auto& run : runs) {
        for (int i = 0; i < run.length; ++i) {
            const uint32_t alpha = run.alpha < 0 ? rng.Next() & 0xFF : run.alpha;
            sprite.push_back(alpha << 24 | (rng.Next() & 0xFFFFFF));
        }
    }
    for (TSimd level : {TSimd::Sse2, TSimd::Avx2, TSimd::Avx512}) {
        const TKernels& k = GetKernels(level);
        for (uint32_t orMask : {0u, 0xFF000000u}) {
            for (size_t start : {size_t{0}, size_t{16}, size_t{21}}) {
                const int n = static_cast<int>(sprite.size() - start);
                std::vector<uint32_t> a(dst.begin(), dst.begin() + n), b = a;
                scalar.blendSrcAlphaTested(sprite.data() + start,
                                           reinterpret_cast<uint8_t*>(a.data()), n, orMask);
                k.blendSrcAlphaTested(sprite.data() + start, reinterpret_cast<uint8_t*>(b.data()),
                                      n, orMask);
                ASSERT_EQ(a, b) << int(level) << " from " << start;
                a.assign(dst.begin(), dst.begin() + n);
                b = a;
                scalar.blendSrcAlpha(sprite.data() + start, reinterpret_cast<uint8_t*>(a.data()), n,
                                     orMask);
                k.blendSrcAlpha(sprite.data() + start, reinterpret_cast<uint8_t*>(b.data()), n,
                                orMask);
                ASSERT_EQ(a, b) << int(level) << " from " << start;
            }
        }
    }
    // R5G6B5 targets.
    std::vector<uint16_t> low(768);
    for (size_t i = 0; i < low.size(); ++i)
        low[i] = static_cast<uint16_t>(rng.Next());
    for (TSimd level : {TSimd::Sse2, TSimd::Avx2, TSimd::Avx512}) {
        const TKernels& k = GetKernels(level);
        for (int n : {1, 7, 8, 13, 768}) {
            std::vector<uint16_t> a(low.begin(), low.begin() + n), b = a, c = a, d = a;
            scalar.blendSrcAlpha565(src.data(), reinterpret_cast<uint8_t*>(a.data()), n);
            k.blendSrcAlpha565(src.data(), reinterpret_cast<uint8_t*>(b.data()), n);
            ASSERT_EQ(a, b) << int(level) << " n " << n;
            scalar.store565(dst.data(), reinterpret_cast<uint8_t*>(c.data()), n);
            k.store565(dst.data(), reinterpret_cast<uint8_t*>(d.data()), n);
            ASSERT_EQ(c, d);
        }
    }
    // The scalar kernel is the formula itself; behind the alpha test a pixel of alpha 0 is not
    // written at all.
    uint32_t one = 0xFF102030;
    scalar.blendSrcAlpha(&src[128], reinterpret_cast<uint8_t*>(&one), 1, 0);
    EXPECT_EQ(one, RefBlend(TBlend::SrcAlpha, TBlend::InvSrcAlpha, src[128], 0xFF102030));
    uint32_t pair[2] = {0x00102030, 0x00102030};
    scalar.blendSrcAlphaTested(&src[0], reinterpret_cast<uint8_t*>(pair), 2, 0xFF000000);
    EXPECT_EQ(pair[0], 0x00102030u);
    EXPECT_EQ(pair[1],
              RefBlend(TBlend::SrcAlpha, TBlend::InvSrcAlpha, src[1], 0x00102030) | 0xFF000000u);
}

TEST(FastPaths, RowKernelsAgreeWithTheScalarOnes) {
    // Every 16-bit value of each format through the decoders.
    std::vector<uint16_t> raw(65536);
    for (size_t i = 0; i < raw.size(); ++i)
        raw[i] = static_cast<uint16_t>(i);
    const auto* bytes = reinterpret_cast<const uint8_t*>(raw.data());
    const TKernels& scalar = GetKernels(TSimd::Scalar);
    for (TSimd level : {TSimd::Scalar, TSimd::Sse2, TSimd::Avx2, TSimd::Avx512}) {
        const TKernels& k = GetKernels(level);
        for (TPixelFormat format :
             {TPixelFormat::R5G6B5, TPixelFormat::X1R5G5B5, TPixelFormat::A4R4G4B4}) {
            for (int n : {65536, 13}) {
                std::vector<uint32_t> want(n), got(n);
                scalar.decode16(format, bytes + 2, n - 1, want.data());
                k.decode16(format, bytes + 2, n - 1, got.data());
                ASSERT_EQ(want, got) << int(level) << " format " << int(format) << " n " << n;
            }
        }
        // Texel pairs along rows running up and down by up to two texels a column, with every
        // weight, and rows blended with every weight, over lengths with partial last steps.
        Lcg rng{5};
        std::vector<uint32_t> texels(300);
        for (uint32_t& t : texels)
            t = rng.Next() | rng.Next() << 24;
        for (int step : {1, 2, -1, -2, 0}) {
            for (int n : {1, 7, 8, 9, 15, 16, 17, 24, 31, 64, 100}) {
                std::vector<int32_t> index(n);
                std::vector<uint32_t> weight(n), want(n), got(n);
                for (int i = 0; i < n; ++i) {
                    int at = step >= 0 ? i * step : (n - 1 - i) * -step;
                    index[i] = at + static_cast<int>(rng.Next() % 2);
                    weight[i] = rng.Next() % 256;
                }
                // The index stays monotonic: a column never steps back past its neighbour.
                for (int i = 1; i < n; ++i) {
                    if (step > 0) index[i] = std::max(index[i], index[i - 1]);
                    if (step < 0) index[i] = std::min(index[i], index[i - 1]);
                    if (step == 0) index[i] = index[0];
                }
                scalar.lerpPairs(texels.data(), index.data(), weight.data(), n, want.data());
                k.lerpPairs(texels.data(), index.data(), weight.data(), n, got.data());
                ASSERT_EQ(want, got) << int(level) << " step " << step << " n " << n;
                // The same columns made ready once, then used on two texel rows.
                TPairPlan plan;
                k.planPairs(index.data(), weight.data(), n, plan);
                for (int row : {0, 50}) {
                    scalar.lerpPairs(texels.data() + row, index.data(), weight.data(), n,
                                     want.data());
                    k.lerpPlanned(texels.data() + row, plan, got.data());
                    ASSERT_EQ(want, got) << int(level) << " step " << step << " n " << n;
                }
                for (int f : {1, 127, 128, 255}) {
                    scalar.lerpRows(texels.data(), texels.data() + 100, f, n, want.data());
                    k.lerpRows(texels.data(), texels.data() + 100, f, n, got.data());
                    ASSERT_EQ(want, got) << int(level) << " weight " << f << " n " << n;
                }
            }
        }
    }
}

TEST(FastPaths, SamplersAgreeWithTheScalarOnes) {
    // Spans across small levels of every texel format, point and bilinear, clamped and wrapped,
    // running in every direction from inside and from outside the level, over lengths that end
    // on whole and partial steps of every level.
    Lcg rng{11};
    struct Level {
        TPixelFormat format;
        int width, height;
    };
    const Level levels[] = {{TPixelFormat::A8R8G8B8, 16, 12}, {TPixelFormat::X8R8G8B8, 5, 3},
                            {TPixelFormat::A8R8G8B8, 2, 2},   {TPixelFormat::R5G6B5, 16, 8},
                            {TPixelFormat::X1R5G5B5, 7, 9},   {TPixelFormat::A4R4G4B4, 8, 16}};
    const TKernels& scalar = GetKernels(TSimd::Scalar);
    for (const Level& lv : levels) {
        TSurface level = MakeSurface(lv.width, lv.height, lv.format);
        for (int y = 0; y < lv.height; ++y) {
            for (int x = 0; x < lv.width; ++x)
                level.SetPixel(x, y, rng.Next() | rng.Next() << 24);
        }
        bool wide = lv.format == TPixelFormat::A8R8G8B8 || lv.format == TPixelFormat::X8R8G8B8;
        for (int wrap = 0; wrap < 3; ++wrap) {
            // Wrapping needs a power-of-two side.
            bool wrapU = wrap == 1 && (lv.width & (lv.width - 1)) == 0;
            bool wrapV = wrap == 2 && (lv.height & (lv.height - 1)) == 0;
            TTexels tx{level.Pixels(), level.Pitch(),
                       lv.width,       lv.height,
                       lv.format,      lv.format == TPixelFormat::X8R8G8B8 ? 0xFF000000u : 0u,
                       wrapU,          wrapV};
            for (int k = 0; k < 40; ++k) {
                int n = 1 + static_cast<int>(rng.Next() % 40);
                auto coordinate = [&](int side) {
                    return static_cast<int32_t>(rng.Next() % (side * 3 << 16)) - (side << 16);
                };
                int32_t s = coordinate(lv.width), t = coordinate(lv.height);
                int32_t ds = static_cast<int32_t>(rng.Next() % 0x30000) - 0x18000;
                int32_t dt = k % 4 == 0 ? 0 : static_cast<int32_t>(rng.Next() % 0x30000) - 0x18000;
                for (bool bilinear : {false, true}) {
                    std::vector<uint32_t> want(n), got(n);
                    (wide ? scalar.sample32 : scalar.sample16)(tx, bilinear, s, ds, t, dt, n,
                                                               want.data());
                    for (TSimd simd : {TSimd::Sse2, TSimd::Avx2, TSimd::Avx512}) {
                        const TKernels& kk = GetKernels(simd);
                        (wide ? kk.sample32 : kk.sample16)(tx, bilinear, s, ds, t, dt, n,
                                                           got.data());
                        ASSERT_EQ(want, got)
                            << "level " << int(simd) << " format " << int(lv.format) << " "
                            << lv.width << "x" << lv.height << " wrap " << wrap << " n " << n
                            << (bilinear ? " bilinear" : " point");
                    }
                }
            }
        }
    }
}

TEST(FastPaths, GlyphSpansMatchTheGeneralPath) {
    // Horizontal lines in screen coordinates both ways, with ends on pixel centres, between
    // them and on the half, over the edges of a viewport smaller than the target.
    std::vector<TTransformedVertex> lines;
    const float ends[] = {-3.0f, 0.0f, 0.5f, 2.25f, 3.0f, 7.5f, 9.75f, 12.0f, 18.0f, 20.5f};
    const float rows[] = {-1.0f, 0.49f, 0.5f, 1.5f, 4.0f, 6.5f, 13.2f, 14.4f, 14.5f};
    uint32_t color = 0x40FF8020;
    for (float y : rows) {
        for (float x0 : ends) {
            for (float x1 : ends) {
                color = color * 1664525u + 1013904223u;
                lines.push_back(Screen(x0, y, color));
                lines.push_back(Screen(x1, y, color));
            }
        }
    }
    // Lines the row path leaves to the general one: two colours, two w, a slight slope.
    lines.push_back(Screen(1, 3, 0x80FF0000));
    lines.push_back(Screen(9, 3, 0x8000FF00));
    lines.push_back(Screen(1, 5, 0x80FF0000, 0, 0, 0.1f, 0.5f));
    lines.push_back(Screen(9, 5, 0x80FF0000, 0, 0, 0.1f, 0.25f));
    lines.push_back(Screen(1, 7.4f, 0x80FF0000));
    lines.push_back(Screen(9, 7.6f, 0x80FF0000));
    for (const DeviceOptions& options : kDeviceOptions) {
        for (TPixelFormat format : {TPixelFormat::X8R8G8B8, TPixelFormat::R5G6B5}) {
            for (bool flat : {false, true}) {
                for (bool depth : {false, true}) {
                    TSurface targets[2] = {MakeSurface(20, 16, format, 0x10305070),
                                           MakeSurface(20, 16, format, 0x10305070)};
                    TSurface depths[2] = {MakeSurface(20, 16, TPixelFormat::D16),
                                          MakeSurface(20, 16, TPixelFormat::D16)};
                    TRasterStats stats[2];
                    for (int k = 0; k < 2; ++k) {
                        TRasterizer r;
                        r.SetFastPaths(k == 1);
                        ApplyOptions(r, options);
                        Setup2d(r, targets[k]);
                        r.Viewport() = TViewport{2, 1, 15, 13, 0.0f, 1.0f};
                        r.SetDepthBuffer(&depths[k]);
                        r.State().zEnable = depth;
                        r.State().shadeMode = flat ? TShade::Flat : TShade::Gouraud;
                        r.Draw(TPrimitive::LineList, TVertexFormat::Transformed, lines.data(),
                               static_cast<int>(lines.size()));
                        stats[k] = r.Stats();
                    }
                    EXPECT_TRUE(SameBytes(targets[0], targets[1]))
                        << options.name << ", " << int(format) << (flat ? " flat" : "")
                        << (depth ? " depth" : "");
                    EXPECT_TRUE(SameBytes(depths[0], depths[1]));
                    EXPECT_EQ(stats[0].primitives, stats[1].primitives);
                    EXPECT_EQ(stats[0].fragments, stats[1].fragments);
                }
            }
        }
    }
}

TEST(FastPaths, OneToOneSpritesAreDrawnAsRectangles) {
    // The rectangle path runs one span per row; the statistics count its two triangles.
    Textures tex;
    TSurface target = MakeSurface(64, 64, TPixelFormat::X8R8G8B8);
    TRasterizer r;
    Setup2d(r, target);
    r.SetTexture(&tex.sprite);
    DrawQuad(r, Quad(3, 4, 19, 20, 0xFFFFFFFF));
    EXPECT_EQ(r.Stats().primitives, 2u);
    EXPECT_EQ(r.Stats().fragments, 256u);
}

}  // namespace
}  // namespace raster
