// The stage-0 combiner as the render front sets it up (each row of its stage table), specular,
// lighting of unlit vertices, flat and Gouraud shading.
#include <gtest/gtest.h>

#include <cmath>

#include "drawing.h"

namespace raster {
namespace {

using namespace raster::test;

uint32_t Texel(int x, int y) {
    return static_cast<uint32_t>(x * 60 + y * 17) << 24 |
           static_cast<uint32_t>(200 - x * 30) << 16 | static_cast<uint32_t>(x * 40 + y * 50) << 8 |
           static_cast<uint32_t>(255 - y * 70);
}

uint32_t Replicate(uint32_t alpha) {
    return alpha * 0x010101u;
}

TEST(Combiner, EachRowOfTheStageTable) {
    constexpr uint32_t kDiffuse = 0x80C06030;
    struct Row {
        const char* name;
        bool textured;
        TStageState stage;
        uint32_t (*expected)(uint32_t texel);
    };
    auto stage = [](uint32_t c1, uint32_t c2, TTextureOp cop, uint32_t a1, TTextureOp aop) {
        TStageState s;
        s.colorArg1 = c1;
        s.colorArg2 = c2;
        s.colorOp = cop;
        s.alphaArg1 = a1;
        s.alphaOp = aop;
        s.magFilter = s.minFilter = TFilter::Point;
        return s;
    };
    const Row rows[] = {
        {"mode 4, subtractive, new_subtractive", true,
         stage(arg::kTFactor, arg::kCurrent, TTextureOp::SelectArg1, arg::kTFactor,
               TTextureOp::SelectArg1),
         [](uint32_t) { return 0xFFFFFFFFu; }},
        {"mode 4, texture", true,
         stage(arg::kTexture | arg::kAlphaReplicate, arg::kCurrent, TTextureOp::SelectArg1,
               arg::kTFactor, TTextureOp::SelectArg1),
         [](uint32_t t) { return 0xFF000000u | Replicate(t >> 24); }},
        {"mode 4, texture, new_render_blend", true,
         stage(arg::kTexture | arg::kAlphaReplicate, arg::kDiffuse | arg::kAlphaReplicate,
               TTextureOp::Modulate, arg::kTFactor, TTextureOp::SelectArg1),
         [](uint32_t t) { return 0xFF000000u | Replicate(RefMul(t >> 24, kDiffuse >> 24)); }},
        {"mode 4, no texture", false,
         stage(arg::kDiffuse | arg::kAlphaReplicate, arg::kCurrent, TTextureOp::SelectArg1,
               arg::kTFactor, TTextureOp::SelectArg1),
         [](uint32_t) { return 0xFF000000u | Replicate(kDiffuse >> 24); }},
        {"opaque", true,
         stage(arg::kTexture, arg::kCurrent, TTextureOp::Modulate, arg::kTFactor,
               TTextureOp::SelectArg1),
         [](uint32_t t) { return 0xFF000000u | (RefModulate(t, kDiffuse) & 0xFFFFFF); }},
        {"other modes", true,
         stage(arg::kTexture, arg::kCurrent, TTextureOp::Modulate, arg::kTexture,
               TTextureOp::Modulate),
         [](uint32_t t) { return RefModulate(t, kDiffuse); }},
        {"other modes, no texture bound", false,
         stage(arg::kTexture, arg::kCurrent, TTextureOp::Modulate, arg::kTexture,
               TTextureOp::Modulate),
         [](uint32_t) { return kDiffuse; }},
    };
    TSurface texture = MakeSurface(4, 4, TPixelFormat::A8R8G8B8);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            texture.SetPixel(x, y, Texel(x, y));
    }
    for (const Row& row : rows) {
        for (bool fast : {true, false}) {
            TSurface target = MakeSurface(4, 4, TPixelFormat::A8R8G8B8);
            TRasterizer r;
            Setup2d(r, target);
            r.SetFastPaths(fast);
            r.State().alphaBlendEnable = false;
            r.State().stage0 = row.stage;
            r.State().textureFactor = 0xFFFFFFFF;
            if (row.textured) r.SetTexture(&texture);
            DrawQuad(r, Quad(0, 0, 4, 4, kDiffuse));
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 4; ++x) {
                    ASSERT_EQ(target.GetPixel(x, y), row.expected(Texel(x, y)))
                        << row.name << " at " << x << "," << y << (fast ? " fast" : "");
                }
            }
        }
    }
}

TEST(Combiner, RenderTargetModeFourTurnsCoverageIntoAlpha) {
    // A sprite drawn into a cleared back buffer with the mode-4 stage and blend (source alpha,
    // one) leaves its alpha as grey; the red channel then becomes the texture's alpha.
    TSurface sprite = MakeSurface(4, 4, TPixelFormat::A8R8G8B8);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            sprite.SetPixel(x, y, Texel(x, y));
    }
    for (TPixelFormat back : {TPixelFormat::X8R8G8B8, TPixelFormat::R5G6B5}) {
        TSurface buffer = MakeSurface(8, 8, back, 0);
        TRasterizer r;
        Setup2d(r, buffer);
        r.State().srcBlend = TBlend::SrcAlpha;
        r.State().destBlend = TBlend::One;
        TStageState& s = r.State().stage0;
        s.colorArg1 = arg::kTexture | arg::kAlphaReplicate;
        s.colorOp = TTextureOp::SelectArg1;
        s.alphaArg1 = arg::kTFactor;
        s.alphaOp = TTextureOp::SelectArg1;
        s.magFilter = TFilter::Point;
        r.SetTexture(&sprite);
        DrawQuad(r, Quad(2, 2, 6, 6, 0xFFFFFFFF));
        TSurface result = MakeSurface(4, 4, TPixelFormat::A8R8G8B8, 0x00112233);
        RedToAlpha(buffer, TRect{2, 2, 6, 6}, result, 0, 0);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                uint32_t alpha = Texel(x, y) >> 24;
                if (back == TPixelFormat::R5G6B5) alpha &= 0xF8;
                ASSERT_EQ(result.GetPixel(x, y), alpha << 24 | 0x112233) << x << "," << y;
            }
        }
    }
}

TEST(Combiner, SpecularAddsToTheColourAndSaturates) {
    TSurface target = MakeSurface(4, 1, TPixelFormat::A8R8G8B8);
    TRasterizer r;
    Setup2d(r, target);
    r.State().alphaBlendEnable = false;
    r.State().specularEnable = true;
    auto q = Quad(0, 0, 4, 1, 0x80C06030);
    for (auto& v : q)
        v.specular = 0x11505050;
    DrawQuad(r, q);
    EXPECT_EQ(target.GetPixel(1, 0), 0x80FFB080u);
    r.State().specularEnable = false;
    DrawQuad(r, q);
    EXPECT_EQ(target.GetPixel(1, 0), 0x80C06030u);
}

TEST(Combiner, UnlitVerticesTakeEmissivePlusAmbientAndTheDiffuseAlpha) {
    TSurface target = MakeSurface(8, 8, TPixelFormat::A8R8G8B8);
    TRasterizer r;
    r.SetRenderTarget(&target);
    r.Viewport() = TViewport{0, 0, 8, 8, 0, 1};
    r.State().alphaBlendEnable = false;
    r.State().cullMode = TCull::None;
    r.State().stage0.alphaOp = TTextureOp::Modulate;  // texture (white) times the diffuse alpha
    r.State().ambient = 0xFF8040FF;
    r.Material().emissive = TColorF{0.1f, 0.2f, 0.3f, 0};
    r.Material().ambient = TColorF{0.5f, 0.25f, 1.0f, 1};
    r.Material().diffuse = TColorF{1, 1, 1, 0.5f};
    TUnlitVertex v[4] = {{-1, 1, 0.5f, 0, 0, 1, 0, 0},
                         {1, 1, 0.5f, 0, 0, 1, 0, 0},
                         {1, -1, 0.5f, 0, 0, 1, 0, 0},
                         {-1, -1, 0.5f, 0, 0, 1, 0, 0}};
    r.Draw(TPrimitive::TriangleFan, TVertexFormat::Unlit, v, 4);
    auto channel = [](float e, float a, float m) {
        return static_cast<uint32_t>(std::round(std::clamp(e + a / 255.0f * m, 0.0f, 1.0f) * 255));
    };
    uint32_t want = 128u << 24 | channel(0.1f, 0x80, 0.5f) << 16 | channel(0.2f, 0x40, 0.25f) << 8 |
                    channel(0.3f, 0xFF, 1.0f);
    EXPECT_EQ(target.GetPixel(0, 0), want);
    EXPECT_EQ(target.GetPixel(7, 7), want);
    EXPECT_EQ(want, 0x805A43FFu);
    r.State().lighting = false;
    r.Draw(TPrimitive::TriangleFan, TVertexFormat::Unlit, v, 4);
    EXPECT_EQ(target.GetPixel(3, 3), 0xFFFFFFFFu);
}

TEST(Combiner, FlatShadingTakesTheFirstVertexOfEachTriangle) {
    TSurface target = MakeSurface(20, 20, TPixelFormat::X8R8G8B8);
    TRasterizer r;
    Setup2d(r, target);
    r.State().alphaBlendEnable = false;
    r.State().shadeMode = TShade::Flat;
    TTransformedVertex fan[4] = {Screen(0, 0, 0xFF0000), Screen(20, 0, 0x00FF00),
                                 Screen(20, 20, 0x0000FF), Screen(0, 20, 0xFFFFFF)};
    r.Draw(TPrimitive::TriangleFan, TVertexFormat::Transformed, fan, 4);
    EXPECT_EQ(target.GetPixel(15, 3), 0xFF00FF00u);  // triangle (v0, v1, v2) takes v1
    EXPECT_EQ(target.GetPixel(3, 15), 0xFF0000FFu);  // triangle (v0, v2, v3) takes v2
    TTransformedVertex list[3] = {Screen(0, 0, 0x123456), Screen(20, 0, 0x00FF00),
                                  Screen(0, 20, 0x0000FF)};
    r.Draw(TPrimitive::TriangleList, TVertexFormat::Transformed, list, 3);
    EXPECT_EQ(target.GetPixel(5, 5), 0xFF123456u);
    TTransformedVertex line[2] = {Screen(0, 19, 0xABCDEF), Screen(20, 19, 0x000000)};
    r.Draw(TPrimitive::LineList, TVertexFormat::Transformed, line, 2);
    EXPECT_EQ(target.GetPixel(18, 19), 0xFFABCDEFu);
}

TEST(Combiner, GouraudColoursFollowThePlaneInFixedPoint) {
    TSurface target = MakeSurface(64, 4, TPixelFormat::X8R8G8B8);
    TRasterizer r;
    Setup2d(r, target);
    r.State().alphaBlendEnable = false;
    TTransformedVertex v[3] = {Screen(0, 0, 0x000010), Screen(256, 0, 0xFF0010),
                               Screen(0, 256, 0x000010)};
    r.Draw(TPrimitive::TriangleList, TVertexFormat::Transformed, v, 3);
    for (int x = 0; x < 64; ++x) {
        // Red rises 255 over 256 pixels: 65280 per pixel in 16.16.
        uint32_t red = static_cast<uint32_t>((65280 * x + 32768) >> 16);
        ASSERT_EQ(target.GetPixel(x, 2), 0xFF000010u | red << 16) << x;
    }
    // A line interpolates along its major axis.
    TTransformedVertex line[2] = {Screen(0, 3, 0x00FF00), Screen(64, 3, 0x000000)};
    r.Draw(TPrimitive::LineList, TVertexFormat::Transformed, line, 2);
    for (int x = 0; x < 64; ++x) {
        int64_t step = std::llround(-255.0 / 64 * 65536);
        uint32_t green = static_cast<uint32_t>((255 * 65536 + step * x + 32768) >> 16);
        ASSERT_EQ(target.GetPixel(x, 3), 0xFF000000u | green << 8) << x;
    }
}

}  // namespace
}  // namespace raster
