// The display's viewports, saved states, render targets, fills and the pixel-offset
// calibration, on the full-screen 800 x 600 display of the texture-surface tests.
#include <gtest/gtest.h>

#include "platform/draw/color.h"
#include "platform/draw/renderer.h"
#include "port/display/pixelformats.h"
#include "raster/drawing.h"
#include "raster/pixelformat.h"
#include "renderfrontfixture.h"

namespace dx_testing {
namespace {

using RenderFrontTargetTest = RenderFrontTest;

D3DVIEWPORT7 DeviceViewport(IDirect3DDevice7* device) {
    return port::control::StateOf(device).viewport;
}

TEST_F(RenderFrontTargetTest, TheDeviceViewportIsTheClipCutToTheViewportClampedIntoTheTarget) {
    ASSERT_TRUE(MakeFrontDisplay());
    struct Case {
        RECT clip;
        RECT viewport;
        DWORD x, y, width, height;
    } cases[] = {
        // A negative left and top are raised to 0.
        {{-10, -5, 100, 50}, {0, 0, 800, 600}, 0, 0, 100, 50},
        // A right past the target is lowered to its width.
        {{700, 0, 900, 600}, {0, 0, 800, 600}, 700, 0, 100, 600},
        // A left past the target stays on its last column; the right is held to the target.
        {{900, 0, 799, 10}, {0, 0, 800, 600}, 799, 0, 1, 10},
        // Right and bottom below left and top give nothing.
        {{100, 100, 50, 50}, {0, 0, 800, 600}, 100, 100, 0, 0},
        // The clip rectangle is cut to the viewport.
        {{0, 0, 800, 600}, {100, 100, 120, 200}, 100, 100, 20, 100},
        {{110, 90, 800, 150}, {100, 100, 120, 200}, 110, 100, 10, 50},
    };
    for (const Case& c : cases) {
        mDisplay->SetViewport(c.viewport);
        ASSERT_EQ(mDisplay->SetClipRect(c.clip.left, c.clip.top, c.clip.right, c.clip.bottom),
                  D3D_OK);
        D3DVIEWPORT7 viewport = DeviceViewport(Record().mDevice);
        EXPECT_EQ(viewport.dwX, c.x) << c.clip.left << "," << c.clip.top;
        EXPECT_EQ(viewport.dwY, c.y) << c.clip.left << "," << c.clip.top;
        EXPECT_EQ(viewport.dwWidth, c.width) << c.clip.left << "," << c.clip.top;
        EXPECT_EQ(viewport.dwHeight, c.height) << c.clip.left << "," << c.clip.top;
        EXPECT_EQ(viewport.dvMinZ, 0.0f);
        EXPECT_EQ(viewport.dvMaxZ, 1.0f);
    }
}

TEST_F(RenderFrontTargetTest, ARefusedClipRectangleKeepsThePreviousOneAndLogsTheValues) {
    ASSERT_TRUE(MakeFrontDisplay());
    ASSERT_EQ(mDisplay->SetClipRect(10, 20, 300, 400), D3D_OK);
    port::control::InjectFailure("SetViewport", DDERR_INVALIDPARAMS, 1);
    EXPECT_NE(mDisplay->SetClipRect(5, 6, 700, 500), D3D_OK);
    EXPECT_TRUE(Logged("Bad viewport: 5, 6, 700, 500"));
    RECT clip = mDisplay->GetClipRect();
    EXPECT_EQ(clip.left, 10);
    EXPECT_EQ(clip.top, 20);
    EXPECT_EQ(clip.right, 300);
    EXPECT_EQ(clip.bottom, 400);
}

TEST_F(RenderFrontTargetTest, SavedStatesComeBackNewestFirstAndAnEmptyListIsRefused) {
    ASSERT_TRUE(MakeFrontDisplay());
    mDisplay->SetClipRect(0, 0, 800, 600);
    mDisplay->PushState(10, 10, 100, 100);
    mDisplay->PushState(20, 20, 50, 50);
    EXPECT_EQ(mDisplay->GetClipRect().right, 50);
    EXPECT_EQ(mDisplay->PopState(), D3D_OK);
    EXPECT_EQ(mDisplay->GetClipRect().right, 100);
    EXPECT_EQ(mDisplay->PopState(), D3D_OK);
    EXPECT_EQ(mDisplay->GetClipRect().right, 800);
    EXPECT_EQ(DeviceViewport(Record().mDevice).dwWidth, 800u);
    // A pop without a push: logged, refused, the clip rectangle kept.
    mDisplay->SetClipRect(1, 2, 3, 4);
    EXPECT_EQ(mDisplay->PopState(), E_FAIL);
    EXPECT_TRUE(Logged("PopState on empty state list"));
    EXPECT_EQ(mDisplay->GetClipRect().right, 3);
}

// Draws a half-transparent quad into a render target of the mode and answers the texture's
// pixel at (8, 8), with the back buffer's raw pixel there just before the target ended.
uint32_t DrawIntoTarget(TPlatformData& display, const std::shared_ptr<TTexture>& target,
                        const std::shared_ptr<TTexture>& sprite, int mode, uint32_t* backRaw) {
    EXPECT_TRUE(display.BeginRenderTarget(target, mode));
    EXPECT_TRUE(display.Begin2d());
    display.SetTexture(sprite);
    TLVertex quad[4]{};
    const float corners[4][2] = {{0, 0}, {16, 0}, {16, 16}, {0, 16}};
    for (int i = 0; i < 4; ++i) {
        quad[i].x = corners[i][0];
        quad[i].y = corners[i][1];
        quad[i].diffuse = 0xFFFFFFFF;
        quad[i].specular = 0xFF000000;
    }
    TVertexBatch* batch = TVertexBatch::CreateKind2(quad, 4);
    display.DrawVertices(D3DPT_TRIANGLEFAN, *batch);
    TVertexBatch::Free(batch);
    display.End2d();
    IDirectDrawSurface7* back = display.GetRecord()->mBackBuffer;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) == DD_OK) {
        *backRaw = *reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(desc.lpSurface) +
                                                      8 * desc.lPitch + 8 * 4);
        back->Unlock(nullptr);
    }
    display.EndRenderTarget();
    std::vector<uint32_t> pixels(32 * 32);
    EXPECT_TRUE(RenderFrontTest::DataOf(target)->ReadPixels(32, 32, pixels.data()));
    return pixels[8 * 32 + 8];
}

TEST_F(RenderFrontTargetTest, RenderTargetModesLeaveTheAlphaTheirWay) {
    ASSERT_TRUE(MakeFrontDisplay());
    std::shared_ptr<TTexture> sprite = SolidTexture(4, 4, 0x80FF0000);
    for (int mode : {0, 1, 2, 3}) {
        SCOPED_TRACE(mode);
        std::shared_ptr<TTexture> target = SolidTexture(32, 32, 0x400000FF);
        uint32_t backRaw = 0;
        uint32_t pixel = DrawIntoTarget(*mDisplay, target, sprite, mode, &backRaw);
        std::vector<uint32_t> pixels(32 * 32);
        ASSERT_TRUE(DataOf(target)->ReadPixels(32, 32, pixels.data()));
        if (mode == 1) {
            // The alpha the copy brought from the back buffer's X byte: the device's blended
            // alpha, not 255.
            EXPECT_EQ(pixel >> 24, backRaw >> 24);
            EXPECT_NE(pixel >> 24, 0xFFu);
        } else {
            for (uint32_t p : pixels)
                ASSERT_EQ(p >> 24, 0xFFu);
        }
        // The colour drawn came back.
        EXPECT_EQ(pixel & 0x00FFFFFF, backRaw & 0x00FFFFFF);
        if (mode == 2 || mode == 3) {
            // The texture's own pixels were copied in first and stayed outside the quad.
            EXPECT_EQ(pixels[24 * 32 + 24] & 0x00FFFFFF, 0x0000FFu);
        }
        EXPECT_EQ(Record().mRenderTargetTexture, nullptr);
        EXPECT_FALSE(Record().mInScene);
    }
    EXPECT_EQ(LogIndex("DX Error"), -1) << LogLines().front();
}

TEST_F(RenderFrontTargetTest, ATargetThatLostItsSurfaceIsForgottenAndTheScreenDrawsNormally) {
    ASSERT_TRUE(MakeFrontDisplay());
    std::shared_ptr<TTexture> sprite = SolidTexture(4, 4, 0x80FF0000);
    std::shared_ptr<TTexture> target = SolidTexture(32, 32, 0);
    ASSERT_TRUE(mDisplay->BeginRenderTarget(target, 4));
    EXPECT_EQ(Record().mClipRect.right, 32);
    DataOf(target)->Release();
    mDisplay->EndRenderTarget();
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_EQ(Record().mRenderTargetTexture, nullptr);
    EXPECT_EQ(Record().mClipRect.right, 800);

    // A second end does nothing: no scene ended, no state popped.
    int endScenes = CountCalls("EndScene");
    mDisplay->EndRenderTarget();
    EXPECT_EQ(CountCalls("EndScene"), endScenes);
    EXPECT_FALSE(Logged("PopState on empty state list"));

    // The next screen frame gets the normal stage set-up.
    mDisplay->SetBroken(false);
    ASSERT_TRUE(mDisplay->BeginDraw(false));
    ASSERT_TRUE(mDisplay->Begin2d());
    mDisplay->SetTexture(sprite);
    EXPECT_EQ(StageState(D3DTSS_COLORARG1), D3DTA_TEXTURE);
    EXPECT_EQ(RenderState(D3DRENDERSTATE_DESTBLEND), D3DBLEND_INVSRCALPHA);
    mDisplay->End2d();
    mDisplay->EndDraw(false);

    // A texture without a surface cannot begin: marked broken.
    mDisplay->SetBroken(false);
    EXPECT_FALSE(mDisplay->BeginRenderTarget(target, 0));
    EXPECT_TRUE(mDisplay->IsBroken());
}

TEST_F(RenderFrontTargetTest, ARenderTargetThatCannotBeginPutsEverythingBack) {
    ASSERT_TRUE(MakeFrontDisplay());
    std::shared_ptr<TTexture> target = SolidTexture(32, 32, 0);
    port::control::InjectFailure("BeginScene", DDERR_INVALIDPARAMS, 1);
    EXPECT_FALSE(mDisplay->BeginRenderTarget(target, 0));
    EXPECT_EQ(Record().mRenderTargetTexture, nullptr);
    EXPECT_EQ(Record().mClipRect.right, 800);
    EXPECT_EQ(Record().mScreenRect.right, 800);
    EXPECT_TRUE(Record().mSavedStates.empty());
}

TEST_F(RenderFrontTargetTest, FillsIntoTexturesOntoTheBackBufferAndInsideAFrame) {
    const TVec4 colour{1.0f, 0.5f, 0.25f, 0.5f};
    const uint32_t packed = TColor(colour.x, colour.y, colour.z, colour.w).GetPacked();

    // Into an R5G6B5 texture (16-bit display, no alpha) and an A8R8G8B8 one (32-bit display),
    // the colour converted to the texture's format and the rectangle clipped to it.
    struct Case {
        int bits;
        bool alpha;
        raster::TPixelFormat format;
    } cases[] = {{16, false, raster::TPixelFormat::R5G6B5},
                 {32, true, raster::TPixelFormat::A8R8G8B8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        mDisplay.reset();
        TRenderer::DestroyInstance();
        ASSERT_TRUE(MakeFrontDisplay(c.bits));
        std::shared_ptr<TTexture> texture = SolidTexture(8, 8, 0xFF000000, c.alpha);
        ASSERT_NE(texture, nullptr);
        DDSURFACEDESC2 desc = DescOf(SurfaceOf(texture));
        ASSERT_EQ(port::display::PixelFormatOf(desc.ddpfPixelFormat), c.format);
        mDisplay->FillRect(TRect{2, 3, 100, 100}, colour, texture);
        std::vector<uint32_t> pixels(64);
        ASSERT_TRUE(DataOf(texture)->ReadPixels(8, 8, pixels.data()));
        uint32_t expected = raster::ReadBackColor(c.format, raster::PackColor(c.format, packed));
        // Alpha included, where the format has it.
        EXPECT_EQ(pixels[3 * 8 + 2], expected);
        EXPECT_EQ(pixels[7 * 8 + 7], expected);
        EXPECT_EQ(pixels[2 * 8 + 2] & 0x00FFFFFF, 0u);
    }

    // Onto the back buffer outside a frame, cut to the renderer's top viewport.
    TRenderer::GetInstance()->PushViewport(TRect{100, 100, 200, 150});
    mDisplay->FillRect(TRect{0, 0, 800, 600}, TVec4{0, 0, 1, 1}, nullptr);
    port::control::Image image = BackBuffer();
    EXPECT_EQ(image.At(150, 120), 0xFF0000FFu);
    EXPECT_EQ(image.At(99, 120), 0xFF000000u);
    EXPECT_EQ(image.At(150, 150), 0xFF000000u);
    TRenderer::GetInstance()->PopViewport();

    // Inside the renderer's frame from 3-D: a fan drawn in 2-D, blend mode 0 left set, the
    // texture bound again and the 3-D states back.
    std::shared_ptr<TTexture> sprite = SolidTexture(4, 4, 0xFFFFFFFF);
    TRenderer* renderer = TRenderer::GetInstance();
    ASSERT_TRUE(renderer->BeginDraw(false));
    ASSERT_TRUE(renderer->Begin3d());
    renderer->SetTexture(sprite);
    renderer->SetBlendMode(2);
    int draws = CountCalls("DrawPrimitive");
    renderer->FillRect(TRect{300, 300, 310, 320}, TVec4{0, 1, 0, 1}, nullptr);
    EXPECT_EQ(CountCalls("DrawPrimitive"), draws + 1);
    EXPECT_EQ(Record().mBlendMode, 0);
    EXPECT_FALSE(Record().mIn2d);
    EXPECT_TRUE(renderer->IsIn3d());
    EXPECT_EQ(RenderState(D3DRENDERSTATE_CULLMODE), D3DCULL_CCW);
    EXPECT_TRUE(Record().mDepthTest);
    EXPECT_EQ(port::control::StateOf(Record().mDevice).texture,
              port::control::SurfaceId(SurfaceOf(sprite)));
    renderer->End3d();
    renderer->EndDraw(0);
    image = BackBuffer();
    EXPECT_EQ(image.At(305, 310), 0xFF00FF00u);
    EXPECT_EQ(image.At(311, 310), 0xFF000000u);
}

// The trial the bare rasterizer picks with the centre shift: the probes drawn as the
// rasterizer's own calibration test draws them, with the shift the device applies.
int TrialChosenByTheRasterizer(float shift) {
    using namespace raster;
    using namespace raster::test;
    TSurface probe = MakeSurface(16, 16, TPixelFormat::A8R8G8B8, 0xFFFFFFFF);
    probe.SetPixel(0, 0, 0xFF000000);
    probe.SetPixel(15, 15, 0xFF000000);
    TSurface target = MakeSurface(1024, 512, TPixelFormat::A8R8G8B8, 0x00FF0000);
    TRasterizer r;
    r.SetPixelCentreShift(shift);
    for (int t = 0; t < 10; ++t) {
        Setup2d(r, target, t * 0.1f - 0.5f);
        r.State().stage0.magFilter = r.State().stage0.minFilter = TFilter::Point;
        r.SetTexture(&probe);
        DrawQuad(r, Quad(16.0f * t, 0, 16.0f * t + 16, 16, 0xFFFFFFFF));
    }
    for (int t = 0; t < 10; ++t) {
        if ((target.GetPixel(16 * t, 0) & 0xFFFFFF) == 0 &&
            (target.GetPixel(16 * t + 15, 15) & 0xFFFFFF) == 0) {
            return t;
        }
    }
    return 0;
}

TEST_F(RenderFrontTargetTest, TheCalibrationKeepsTrialZeroOnAnExactDeviceWithRedBesideTheProbes) {
    ASSERT_TRUE(MakeFrontDisplay());
    Record().mPixelOffset = 0.3f;
    mDisplay->CalibratePixelOffset();
    EXPECT_FLOAT_EQ(Record().mPixelOffset, -0.5f);
    EXPECT_FALSE(Record().mCalibrating);
    // The target was drawn on the back buffer: the probes of trial 0 texel for texel, red
    // around them.
    port::control::Image image = BackBuffer();
    EXPECT_EQ(image.At(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.At(15, 15) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.At(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(image.At(8, 16), 0xFFFF0000u);
    EXPECT_EQ(image.At(200, 100), 0xFFFF0000u);
    // On an 800 x 600 display the 1024 x 512 target's copy is cut to the back buffer.
    EXPECT_EQ(LogIndex("DX Error"), -1) << LogLines().front();
    EXPECT_TRUE(Record().mSavedStates.empty());
    EXPECT_EQ(Record().mClipRect.right, 800);
    EXPECT_FALSE(TRenderer::GetInstance()->IsDrawing());

    // While one runs, another does nothing.
    Record().mCalibrating = true;
    Record().mPixelOffset = 0.3f;
    int draws = CountCalls("DrawPrimitive");
    mDisplay->CalibratePixelOffset();
    EXPECT_FLOAT_EQ(Record().mPixelOffset, 0.3f);
    EXPECT_EQ(CountCalls("DrawPrimitive"), draws);
    Record().mCalibrating = false;
}

TEST_F(RenderFrontTargetTest, WithAHalfPixelCentreShiftTheCalibrationPicksTheShiftedTrial) {
    port::control::SetPixelCentreShift(0.5f);
    ASSERT_TRUE(MakeFrontDisplay());
    int expected = TrialChosenByTheRasterizer(0.5f);
    ASSERT_NE(expected, 0);
    mDisplay->CalibratePixelOffset();
    EXPECT_FLOAT_EQ(Record().mPixelOffset, expected * 0.1f - 0.5f);
    EXPECT_EQ(LogIndex("DX Error"), -1) << LogLines().front();
}

}  // namespace
}  // namespace dx_testing
