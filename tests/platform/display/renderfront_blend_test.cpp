// Blend modes and texture stages through the display: a textured quad over a known background on
// 32-bit and 16-bit back buffers against the blend formula and rounding of the rasterizer
// (raster/rasterizer.h), the stage set-up of each case read back from the device, the coverage
// a target of mode 4 writes, mirrored addressing and flat shading.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "renderfrontfixture.h"

namespace dx_testing {
namespace {

using RenderFrontBlendTest = RenderFrontTest;

// The background and the texel: every channel exact in R5G6B5 and A4R4G4B4.
constexpr uint32_t kBackground = 0xFF848284;
constexpr uint32_t kTexel = 0x88CC4422;

int Channel(uint32_t colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

// min(255, round((s fs + d fd) / 255)), the rasterizer's blend of one channel.
int BlendChannel(int s, int fs, int d, int fd) {
    return std::min(255, (s * fs + d * fd + 127) / 255);
}

// What the back buffer reads back for an 8-bit result: 16-bit targets keep the top bits of each
// channel and read them back by bit replication.
uint32_t AsStored(int r, int g, int b, int bits) {
    if (bits == 16) {
        r = (r >> 3 << 3) | (r >> 5);
        g = (g >> 2 << 2) | (g >> 6);
        b = (b >> 3 << 3) | (b >> 5);
    }
    return 0xFF000000u | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
           static_cast<uint32_t>(b);
}

// The expected pixel of the texel drawn in the mode (white vertices) over the background.
uint32_t Expected(int mode, int bits) {
    std::array<int, 3> result{};
    const int shifts[3] = {16, 8, 0};
    const int sa = Channel(kTexel, 24);
    for (int i = 0; i < 3; ++i) {
        int s = Channel(kTexel, shifts[i]);
        int d = Channel(kBackground, shifts[i]);
        switch (mode) {
            case 0:
                result[i] = BlendChannel(s, sa, d, 255 - sa);
                break;
            case 1:
                result[i] = s;
                break;
            case 2:
                result[i] = BlendChannel(s, sa, d, 255);
                break;
            case 3:
                result[i] = BlendChannel(s, 0, d, 255 - s);
                break;
            case 4:
                result[i] = BlendChannel(s, 0, d, s);
                break;
        }
    }
    return AsStored(result[0], result[1], result[2], bits);
}

TEST_F(RenderFrontBlendTest, EachBlendModeMatchesTheBlendFormulaOn32And16BitBackBuffers) {
    for (int bits : {32, 16}) {
        SCOPED_TRACE(bits);
        ASSERT_TRUE(MakeFrontDisplay(bits));
        std::shared_ptr<TTexture> sprite = SolidTexture(4, 4, kTexel);
        ASSERT_NE(sprite, nullptr);
        for (int mode = 0; mode <= 4; ++mode) {
            SCOPED_TRACE(mode);
            mDisplay->FillRect(TRect{0, 0, 64, 64},
                               TVec4{0x84 / 255.0f, 0x82 / 255.0f, 0x84 / 255.0f, 1.0f}, nullptr);
            ASSERT_EQ(BackBuffer().At(20, 20), kBackground);
            ASSERT_TRUE(mDisplay->BeginDraw(false));
            ASSERT_TRUE(mDisplay->Begin2d());
            mDisplay->SetBlendMode(mode);
            mDisplay->SetTexture(sprite);
            DrawQuad(10, 10, 30, 30);
            mDisplay->End2d();
            mDisplay->EndDraw(false);
            port::control::Image image = BackBuffer();
            EXPECT_EQ(image.At(20, 20), Expected(mode, bits));
            // Outside the quad the background stays.
            EXPECT_EQ(image.At(40, 40), kBackground);
        }
        sprite.reset();
        TRenderer::DestroyInstance();
        mDisplay.reset();
    }
}

TEST_F(RenderFrontBlendTest, TheStageTableCaseByCaseWithUnchangedEntriesCarriedOver) {
    ASSERT_TRUE(MakeFrontDisplay());
    std::shared_ptr<TTexture> sprite = SolidTexture(4, 4, kTexel);
    std::shared_ptr<TTexture> target = SolidTexture(16, 16, 0);
    TDisplayRecord& record = Record();

    // Others (alpha): texture x diffuse, alpha texture x diffuse; the texture factor white.
    mDisplay->SetBlendMode(0);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_TEXTUREFACTOR), 0xFFFFFFFFu);
    EXPECT_EQ(StageState(D3DTSS_COLORARG1), D3DTA_TEXTURE);
    EXPECT_EQ(StageState(D3DTSS_COLOROP), D3DTOP_MODULATE);
    EXPECT_EQ(StageState(D3DTSS_ALPHAARG1), D3DTA_TEXTURE);
    EXPECT_EQ(StageState(D3DTSS_ALPHAOP), D3DTOP_MODULATE);
    DWORD colourArg2 = StageState(D3DTSS_COLORARG2);

    // Opaque: the alpha from the texture factor.
    mDisplay->SetBlendMode(1);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(StageState(D3DTSS_COLORARG1), D3DTA_TEXTURE);
    EXPECT_EQ(StageState(D3DTSS_COLOROP), D3DTOP_MODULATE);
    EXPECT_EQ(StageState(D3DTSS_ALPHAARG1), D3DTA_TFACTOR);
    EXPECT_EQ(StageState(D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);
    EXPECT_EQ(StageState(D3DTSS_COLORARG2), colourArg2);

    // With "new_render_blend" the second colour argument is the current colour.
    mDisplay->SetOption("new_render_blend", "1");
    mDisplay->SetBlendMode(2);
    EXPECT_EQ(StageState(D3DTSS_COLORARG2), D3DTA_CURRENT);
    EXPECT_EQ(StageState(D3DTSS_ALPHAOP), D3DTOP_MODULATE);
    mDisplay->SetOption("new_render_blend", "0");

    // Target mode 4 without a texture: the diffuse alpha as grey, alpha from the factor.
    record.mRenderTargetTexture = target;
    record.mRenderTargetMode = 4;
    mDisplay->SetTexture(nullptr);
    mDisplay->SetBlendMode(0);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_DESTBLEND), D3DBLEND_ONE);
    EXPECT_EQ(StageState(D3DTSS_COLORARG1), D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE);
    EXPECT_EQ(StageState(D3DTSS_COLOROP), D3DTOP_SELECTARG1);
    EXPECT_EQ(StageState(D3DTSS_ALPHAARG1), D3DTA_TFACTOR);
    EXPECT_EQ(StageState(D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);

    // With a texture: the texture's alpha as grey (SetTexture applies the stages too).
    mDisplay->SetTexture(sprite);
    EXPECT_EQ(StageState(D3DTSS_COLORARG1), D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE);
    EXPECT_EQ(StageState(D3DTSS_COLOROP), D3DTOP_SELECTARG1);
    EXPECT_EQ(StageState(D3DTSS_COLORARG2), colourArg2);
    // With "new_render_blend": modulated by the diffuse alpha.
    mDisplay->SetOption("new_render_blend", "1");
    mDisplay->SetBlendMode(0);
    EXPECT_EQ(StageState(D3DTSS_COLORARG2), D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE);
    EXPECT_EQ(StageState(D3DTSS_COLOROP), D3DTOP_MODULATE);

    // Mode 3 with "new_subtractive", with "new_render_blend": the colour operation stays
    // (modulate, from the row before) and the factor is selected.
    mDisplay->SetOption("new_subtractive", "1");
    mDisplay->SetBlendMode(3);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_SRCBLEND), D3DBLEND_ONE);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_DESTBLEND), D3DBLEND_ONE);
    EXPECT_EQ(StageState(D3DTSS_COLORARG1), D3DTA_TFACTOR);
    EXPECT_EQ(StageState(D3DTSS_COLOROP), D3DTOP_MODULATE);
    EXPECT_EQ(StageState(D3DTSS_ALPHAARG1), D3DTA_TFACTOR);
    EXPECT_EQ(StageState(D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);
    // Without it: select argument 1.
    mDisplay->SetOption("new_render_blend", "0");
    mDisplay->SetBlendMode(3);
    EXPECT_EQ(StageState(D3DTSS_COLOROP), D3DTOP_SELECTARG1);
    // Without "new_subtractive" the target's subtractive mode is a plain alpha blend.
    mDisplay->SetOption("new_subtractive", "0");
    mDisplay->SetBlendMode(3);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_SRCBLEND), D3DBLEND_SRCALPHA);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_DESTBLEND), D3DBLEND_INVSRCALPHA);

    // Mode 3 with "new_subtractive" outside a target: the opaque row.
    record.mRenderTargetTexture.reset();
    mDisplay->SetOption("new_subtractive", "1");
    mDisplay->SetBlendMode(3);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_SRCBLEND), D3DBLEND_ZERO);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_DESTBLEND), D3DBLEND_INVSRCCOLOR);
    EXPECT_EQ(StageState(D3DTSS_COLORARG1), D3DTA_TEXTURE);
    EXPECT_EQ(StageState(D3DTSS_ALPHAARG1), D3DTA_TFACTOR);

    // Any other mode changes no blend state and still sets the stages (the last row).
    DWORD source = RenderState(D3DRENDERSTATE_SRCBLEND);
    mDisplay->SetBlendMode(7);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_SRCBLEND), source);
    EXPECT_EQ(StageState(D3DTSS_ALPHAOP), D3DTOP_MODULATE);
    EXPECT_EQ(Record().mBlendMode, 7);
}

TEST_F(RenderFrontBlendTest, ATargetOfMode4WritesCoverageAsGreyThenTheTexturesAlpha) {
    ASSERT_TRUE(MakeFrontDisplay());
    std::shared_ptr<TTexture> sprite = SolidTexture(4, 4, kTexel);
    std::shared_ptr<TTexture> target = SolidTexture(32, 32, 0x00336699);
    ASSERT_TRUE(mDisplay->BeginRenderTarget(target, 4));
    ASSERT_TRUE(mDisplay->Begin2d());
    mDisplay->SetTexture(sprite);
    DrawQuad(0, 0, 16, 16);
    // Coverage as grey: the texel's alpha in every colour channel, over transparent black.
    EXPECT_EQ(BackBuffer().At(8, 8), 0xFF888888u);
    EXPECT_EQ(BackBuffer().At(24, 24), 0xFF000000u);
    mDisplay->End2d();
    mDisplay->EndRenderTarget();
    std::vector<uint32_t> pixels(32 * 32);
    ASSERT_TRUE(DataOf(target)->ReadPixels(32, 32, pixels.data()));
    // The red became the alpha; the colour stayed.
    EXPECT_EQ(pixels[8 * 32 + 8], 0x88336699u);
    EXPECT_EQ(pixels[24 * 32 + 24], 0x00336699u);
    EXPECT_EQ(Record().mRenderTargetTexture, nullptr);
}

TEST_F(RenderFrontBlendTest, AddressMode2DrawsMirroredAndShadeMode1Flat) {
    ASSERT_TRUE(MakeFrontDisplay());
    // Left half red, right half blue.
    std::shared_ptr<TTexture> halves = TTexture::Create(4, 4, true);
    std::vector<uint32_t> pixels(16);
    for (int i = 0; i < 16; ++i)
        pixels[i] = (i % 4) < 2 ? 0xFFFF0000 : 0xFF0000FF;
    ASSERT_TRUE(halves->GetData()->SetPixels(4, 4, pixels.data()));

    ASSERT_TRUE(mDisplay->BeginDraw(false));
    ASSERT_TRUE(mDisplay->Begin2d());
    mDisplay->SetBlendMode(1);
    mDisplay->SetTexture(halves);
    mDisplay->SetTextureFilter(false);
    mDisplay->SetTextureAddress(2, 2);
    EXPECT_EQ(StageState(D3DTSS_ADDRESSU), D3DTADDRESS_MIRROR);
    DrawQuad(0, 0, 8, 4, 0xFFFFFFFF, 2.0f, 1.0f);
    port::control::Image image = BackBuffer();
    EXPECT_EQ(image.At(1, 1), 0xFFFF0000u);
    EXPECT_EQ(image.At(3, 1), 0xFF0000FFu);
    // The second copy runs backwards: blue, then red.
    EXPECT_EQ(image.At(5, 1), 0xFF0000FFu);
    EXPECT_EQ(image.At(7, 1), 0xFFFF0000u);
    mDisplay->SetTextureAddress(1, 1);
    DrawQuad(0, 0, 8, 4, 0xFFFFFFFF, 2.0f, 1.0f);
    EXPECT_EQ(BackBuffer().At(5, 1), 0xFFFF0000u);

    // Flat: each fan triangle takes its second vertex's colour (white texels).
    std::shared_ptr<TTexture> white = SolidTexture(4, 4, 0xFFFFFFFF);
    mDisplay->SetTexture(white);
    mDisplay->SetShadeMode(1);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_SHADEMODE), D3DSHADE_FLAT);
    TLVertex quad[4]{};
    const float corners[4][2] = {{100, 100}, {140, 100}, {140, 140}, {100, 140}};
    const uint32_t colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    for (int i = 0; i < 4; ++i) {
        quad[i].x = corners[i][0];
        quad[i].y = corners[i][1];
        quad[i].diffuse = colours[i];
        quad[i].specular = 0xFF000000;
    }
    TVertexBatch* batch = TVertexBatch::CreateKind2(quad, 4);
    mDisplay->DrawVertices(D3DPT_TRIANGLEFAN, *batch);
    image = BackBuffer();
    EXPECT_EQ(image.At(135, 105), 0xFF00FF00u);
    EXPECT_EQ(image.At(105, 135), 0xFF0000FFu);
    // Gouraud blends them.
    mDisplay->SetShadeMode(2);
    mDisplay->DrawVertices(D3DPT_TRIANGLEFAN, *batch);
    EXPECT_NE(BackBuffer().At(135, 105), 0xFF00FF00u);
    TVertexBatch::Free(batch);
    mDisplay->End2d();
    mDisplay->EndDraw(false);
}

TEST_F(RenderFrontBlendTest, TheSettersAndOptions) {
    ASSERT_TRUE(MakeFrontDisplay());
    struct Case {
        int mode;
        DWORD cull;
    } culls[] = {
        {1, D3DCULL_NONE}, {2, D3DCULL_CW}, {3, D3DCULL_CCW}, {0, D3DCULL_NONE}, {9, D3DCULL_NONE}};
    for (const Case& c : culls) {
        mDisplay->SetCullMode(c.mode);
        EXPECT_EQ(RenderState(D3DRENDERSTATE_CULLMODE), c.cull) << c.mode;
    }
    mDisplay->SetTextureAddress(7, 1);
    EXPECT_EQ(StageState(D3DTSS_ADDRESSU), D3DTADDRESS_CLAMP);
    EXPECT_EQ(StageState(D3DTSS_ADDRESSV), D3DTADDRESS_WRAP);
    mDisplay->SetTextureFilter(false);
    EXPECT_EQ(StageState(D3DTSS_MINFILTER), D3DTFN_POINT);
    EXPECT_EQ(StageState(D3DTSS_MAGFILTER), D3DTFG_POINT);
    EXPECT_EQ(StageState(D3DTSS_MIPFILTER), D3DTFP_POINT);
    mDisplay->SetTextureFilter(true);
    EXPECT_EQ(StageState(D3DTSS_MIPFILTER), D3DTFP_LINEAR);
    mDisplay->SetDepthTest(true);
    mDisplay->SetDepthWrite(false);
    EXPECT_TRUE(Record().mDepthTest);
    EXPECT_FALSE(Record().mDepthWrite);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_ZENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(RenderState(D3DRENDERSTATE_ZWRITEENABLE), static_cast<DWORD>(FALSE));

    mDisplay->SetOption("antialias", "2");
    EXPECT_TRUE(Record().mAntialias);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_ANTIALIAS), 2u);
    mDisplay->SetOption("antialias", "0");
    EXPECT_FALSE(Record().mAntialias);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_ANTIALIAS), 0u);
    mDisplay->SetOption("hint_antialias", "1");
    mDisplay->SetOption("new_subtractive", "yes");  // not a number: 0, off
    mDisplay->SetOption("unknown", "1");
    EXPECT_TRUE(Record().mHintAntialias);
    EXPECT_FALSE(Record().mNewSubtractive);

    // The 3-D states, and 2-D's again.
    mDisplay->Begin3d();
    EXPECT_EQ(RenderState(D3DRENDERSTATE_CULLMODE), D3DCULL_CCW);
    EXPECT_EQ(StageState(D3DTSS_ADDRESSU), D3DTADDRESS_WRAP);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_SPECULARENABLE), static_cast<DWORD>(TRUE));
    EXPECT_TRUE(Record().mDepthTest && Record().mDepthWrite);
    mDisplay->Begin2d();
    EXPECT_EQ(RenderState(D3DRENDERSTATE_CULLMODE), D3DCULL_NONE);
    EXPECT_EQ(StageState(D3DTSS_ADDRESSU), D3DTADDRESS_CLAMP);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_SPECULARENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(RenderState(D3DRENDERSTATE_CLIPPING), static_cast<DWORD>(FALSE));
    EXPECT_FALSE(Record().mDepthTest || Record().mDepthWrite);
}

}  // namespace
}  // namespace dx_testing
