// The display's frames: the calls of one frame, the frames refused (a flip still in progress, a
// lost surface during a restore, a second BeginScene failing after a restore), vertex lists with
// video memory exhausted, the present status and the wait for the flip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/platform.h"
#include "port/system/clock.h"
#include "renderfrontfixture.h"
#include "support/printers.h"

namespace dx_testing {
namespace {

using RenderFrontFrameTest = RenderFrontTest;

TEST_F(RenderFrontFrameTest, AFrameBeginsOneSceneEndsItAndPresentsOnce) {
    ASSERT_TRUE(MakeFrontDisplay());
    uint32_t countBefore = Record().mWorkingCount;
    ASSERT_TRUE(mDisplay->BeginDraw(true));
    EXPECT_TRUE(Record().mInScene);
    EXPECT_EQ(Record().mWorkingCount, countBefore + 1);
    ASSERT_TRUE(mDisplay->Begin2d());
    DrawQuad(10, 10, 20, 20);
    mDisplay->End2d();
    mDisplay->EndDraw(true);
    EXPECT_FALSE(Record().mInScene);
    EXPECT_EQ(CountCalls("BeginScene"), 1);
    EXPECT_EQ(CountCalls("EndScene"), 1);
    EXPECT_EQ(CountCalls("Flip"), 1);
    EXPECT_EQ(CountCalls("DrawPrimitive"), 1);
    // A second end does nothing more.
    mDisplay->EndDraw(true);
    EXPECT_EQ(CountCalls("EndScene"), 1);
    EXPECT_EQ(CountCalls("Flip"), 1);
    // Without present the scene ends and nothing is shown.
    ASSERT_TRUE(mDisplay->BeginDraw(false));
    mDisplay->EndDraw(false);
    EXPECT_EQ(CountCalls("EndScene"), 2);
    EXPECT_EQ(CountCalls("Flip"), 1);
    EXPECT_TRUE(LogLines().empty()) << LogLines().front();
}

TEST_F(RenderFrontFrameTest, AFrameBegunWhileTheFlipIsStillInProgressIsSkippedUnmarked) {
    ASSERT_TRUE(MakeFrontDisplay());
    port::control::InjectFailure("GetFlipStatus", DDERR_WASSTILLDRAWING, 1);
    EXPECT_FALSE(mDisplay->BeginDraw(false));
    EXPECT_FALSE(mDisplay->IsBroken());
    EXPECT_EQ(CountCalls("BeginScene"), 0);
    EXPECT_TRUE(LogLines().empty());
    // Another flip-status error is logged and the frame goes on.
    port::control::InjectFailure("GetFlipStatus", DDERR_INVALIDOBJECT, 1);
    EXPECT_TRUE(mDisplay->BeginDraw(false));
    EXPECT_EQ(LogIndex("DX Error"), 0);
    mDisplay->EndDraw(false);
}

TEST_F(RenderFrontFrameTest, NoDeviceBrokenOrALostBackBufferRefusesTheFrame) {
    ASSERT_TRUE(MakeFrontDisplay());
    mDisplay->SetBroken(true);
    EXPECT_FALSE(mDisplay->BeginDraw(false));
    mDisplay->SetBroken(false);
    IDirect3DDevice7* device = Record().mDevice;
    Record().mDevice = nullptr;
    EXPECT_FALSE(mDisplay->BeginDraw(false));
    Record().mDevice = device;
    // The front buffer is asked first.
    port::control::InjectFailure("IsLost", DDERR_SURFACELOST, 1);
    EXPECT_FALSE(mDisplay->BeginDraw(false));
    // Without an active application object the loss is not marked.
    EXPECT_FALSE(mDisplay->IsBroken());
    EXPECT_EQ(CountCalls("BeginScene"), 0);
}

TEST_F(RenderFrontFrameTest, ASurfaceLostAtBeginSceneDuringARestoreMarksBrokenWithoutRestoring) {
    ASSERT_TRUE(MakeFrontDisplay());
    Record().mInRestore = true;
    port::control::InjectFailure("BeginScene", DDERR_SURFACELOST, 1);
    EXPECT_FALSE(mDisplay->BeginDraw(false));
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_TRUE(Logged("TRenderer::BeginDraw: DDERR_SURFACELOST on BeginScene"));
    EXPECT_EQ(CountCalls("BeginScene"), 1);
    EXPECT_FALSE(Record().mInScene);
    Record().mInRestore = false;
}

TEST_F(RenderFrontFrameTest, ASecondBeginSceneFailingAfterARestoreLeavesNoSceneOpen) {
    ASSERT_TRUE(MakeFrontDisplay());
    port::control::InjectFailure("BeginScene", DDERR_SURFACELOST, 2);
    EXPECT_FALSE(mDisplay->BeginDraw(false));
    EXPECT_TRUE(Logged("TRenderer::BeginDraw: DDERR_SURFACELOST on BeginScene"));
    EXPECT_FALSE(Record().mInScene);
    EXPECT_TRUE(mDisplay->IsBroken());
    if (Record().mDevice != nullptr) {
        EXPECT_FALSE(port::control::StateOf(Record().mDevice).inScene);
    }
    // Nothing to end.
    mDisplay->EndDraw(true);
    EXPECT_EQ(CountCalls("EndScene"), 0);
}

TEST_F(RenderFrontFrameTest, EndSceneFailuresMarkBrokenOrRestore) {
    ASSERT_TRUE(MakeFrontDisplay());
    ASSERT_TRUE(mDisplay->BeginDraw(false));
    port::control::InjectFailure("EndScene", D3DERR_SCENE_END_FAILED, 1);
    mDisplay->EndDraw(true);
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_EQ(CountCalls("Flip"), 0);
    // The refused call left the device's scene open.
    Record().mDevice->EndScene();

    mDisplay->SetBroken(false);
    ASSERT_TRUE(mDisplay->BeginDraw(false));
    port::control::InjectFailure("EndScene", DDERR_SURFACELOST, 1);
    mDisplay->EndDraw(true);
    EXPECT_TRUE(Logged("TPlatform::EndDraw: DDERR_SURFACELOST on UpdateFrame or EndScene"));
    // The present never follows a failed EndScene.
    EXPECT_EQ(CountCalls("Flip"), 0);
    Record().mDevice->EndScene();

    mLog.Clear();
    mDisplay->SetBroken(false);
    ASSERT_TRUE(mDisplay->BeginDraw(false));
    port::control::InjectFailure("Flip", DDERR_INVALIDOBJECT, 1);
    mDisplay->EndDraw(true);
    EXPECT_EQ(LogIndex("DX Error"), 0);
    EXPECT_TRUE(
        Logged("TPlatform::EndDraw: Unexpected error (see above) on UpdateFrame or EndScene"));
}

TEST_F(RenderFrontFrameTest, VideoMemoryExhaustedWhileDrawingSwitchesToLowMemoryOnce) {
    ASSERT_TRUE(MakeFrontDisplay());
    ASSERT_TRUE(mDisplay->BeginDraw(false));
    ASSERT_TRUE(mDisplay->Begin2d());
    port::control::InjectFailure("DrawPrimitive", DDERR_OUTOFVIDEOMEMORY, 1);
    DrawQuad(0, 0, 10, 10);
    EXPECT_TRUE(Logged("DrawVertices out of video memory"));
    EXPECT_TRUE(Record().mLowMemoryVideo);
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_EQ(CountCalls("DrawPrimitive"), 1);
    // Broken: nothing more is drawn until the display is set up again.
    DrawQuad(0, 0, 10, 10);
    DrawQuad(0, 0, 10, 10);
    EXPECT_EQ(CountCalls("DrawPrimitive"), 1);
    mDisplay->EndDraw(false);

    // Another draw failure is logged and marks broken.
    mDisplay->SetBroken(false);
    mLog.Clear();
    ASSERT_TRUE(mDisplay->BeginDraw(false));
    port::control::InjectFailure("DrawPrimitive", DDERR_INVALIDOBJECT, 1);
    DrawQuad(0, 0, 10, 10);
    EXPECT_EQ(LogIndex("DX Error"), 0);
    EXPECT_TRUE(mDisplay->IsBroken());
    mDisplay->EndDraw(false);
}

TEST_F(RenderFrontFrameTest, EachTwoDimensionalListRebuildsTheProjectionForTheViewport) {
    ASSERT_TRUE(MakeFrontDisplay());
    ASSERT_TRUE(mDisplay->BeginDraw(false));
    ASSERT_TRUE(mDisplay->Begin2d());
    struct Case {
        RECT clip;
        RECT viewport;
        float left, top, width, height;
    } cases[] = {
        // The viewport's offset from the clip rectangle, less the pixel offset; the size of clip,
        // target and viewport together.
        {{0, 0, 800, 600}, {100, 50, 300, 250}, 100.5f, 50.5f, 200, 200},
        {{40, 30, 800, 600}, {100, 50, 300, 250}, 60.5f, 20.5f, 200, 200},
        // A viewport starting left of or above the clip rectangle counts from 0.
        {{150, 100, 250, 900}, {100, 50, 300, 250}, 0.5f, 0.5f, 100, 150},
    };
    for (const Case& c : cases) {
        mDisplay->SetViewport(c.viewport);
        mDisplay->SetClipRect(c.clip.left, c.clip.top, c.clip.right, c.clip.bottom);
        DrawQuad(0, 0, 1, 1);
        D3DMATRIX m = port::control::StateOf(Record().mDevice).projection;
        float right = c.left + c.width;
        float bottom = c.top + c.height;
        EXPECT_FLOAT_EQ(m._11, 2.0f / c.width);
        EXPECT_FLOAT_EQ(m._22, -2.0f / c.height);
        EXPECT_FLOAT_EQ(m._41, (c.left + right) / (c.left - right));
        EXPECT_FLOAT_EQ(m._42, (c.top + bottom) / (bottom - c.top));
        // z passes through.
        EXPECT_EQ(m._33, 1.0f);
        EXPECT_EQ(m._34, 0.0f);
        EXPECT_EQ(m._43, 0.0f);
        EXPECT_EQ(m._44, 1.0f);
        EXPECT_EQ(std::memcmp(Record().mProjection.m, &m, sizeof m), 0);
    }
    // Screen-space lists keep the projection.
    D3DMATRIX before = port::control::StateOf(Record().mDevice).projection;
    mDisplay->SetViewport(RECT{0, 0, 800, 600});
    TTLVertex line[2]{};
    TVertexBatch* batch = TVertexBatch::CreateKind3(line, 2);
    mDisplay->DrawVertices(D3DPT_LINELIST, *batch);
    TVertexBatch::Free(batch);
    D3DMATRIX after = port::control::StateOf(Record().mDevice).projection;
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    mDisplay->End2d();
    mDisplay->EndDraw(false);
}

// The smallest rectangle holding every pixel of the colour; empty when there is none.
TRect BoundsOf(const port::control::Image& image, uint32_t colour) {
    TRect bounds{image.width, image.height, 0, 0};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y) != colour) continue;
            bounds = TRect{std::min(bounds.left, x), std::min(bounds.top, y),
                           std::max(bounds.right, x + 1), std::max(bounds.bottom, y + 1)};
        }
    }
    return bounds.IsEmpty() ? TRect{} : bounds;
}

// A window's drawing: the display's viewport set to the window's screen rectangle and the part
// of it inside its parent pushed, as the window tree does. A fill inside the frame is given in
// the window's own coordinates, like every other list drawn in 2-D, and lands on the window's
// pixels.
TEST_F(RenderFrontFrameTest, AFillInsideAFrameLandsInTheWindowItIsDrawnFor) {
    ASSERT_TRUE(MakeFrontDisplay());
    TRenderer* renderer = TRenderer::GetInstance();
    constexpr uint32_t kGreen = 0xFF00FF00;
    struct Case {
        TRect window;
        TRect parent;
    } cases[] = {
        {{200, 150, 300, 250}, {0, 0, 800, 600}},
        {{0, 0, 100, 100}, {0, 0, 800, 600}},
        {{760, 580, 860, 680}, {0, 0, 800, 600}},
        // Cut by the parent, or by the screen, on the left and top: the part shown stays where
        // it is in the window.
        {{200, 150, 300, 250}, {230, 170, 800, 600}},
        {{-20, -10, 80, 90}, {0, 0, 800, 600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "window " << c.window.left << ", " << c.window.top);
        // A black screen between the cases: a fill outside a frame.
        mDisplay->FillRect(TRect{0, 0, 800, 600}, TVec4{0, 0, 0, 1}, nullptr);
        ASSERT_TRUE(renderer->BeginDraw(false));
        ASSERT_TRUE(renderer->Begin2d());
        renderer->PushViewport(c.parent);
        renderer->SetViewport(c.window);
        renderer->PushViewport(TRect::Intersect(c.window, c.parent));
        renderer->FillRect(TRect{0, 0, 40, 30}, TVec4{0, 1, 0, 1}, nullptr);
        renderer->PopState();
        renderer->PopViewport();
        renderer->PopViewport();
        renderer->End2d();
        renderer->EndDraw(0);
        TRect expected{c.window.left, c.window.top, c.window.left + 40, c.window.top + 30};
        expected = TRect::Intersect(TRect::Intersect(expected, c.parent), TRect{0, 0, 800, 600});
        EXPECT_EQ(BoundsOf(BackBuffer(), kGreen), expected);
    }
}

TEST_F(RenderFrontFrameTest, ThePresentStatusAndTheWaitForTheFlip) {
    ASSERT_TRUE(MakeFrontDisplay());
    EXPECT_TRUE(mDisplay->IsPresentDone());
    // Full screen asks for the flip, in a window for the blit.
    port::control::InjectFailure("GetFlipStatus", DDERR_WASSTILLDRAWING, 1);
    EXPECT_FALSE(mDisplay->IsPresentDone());
    EXPECT_TRUE(mDisplay->IsPresentDone());
    Record().mFullscreen = false;
    port::control::InjectFailure("GetBltStatus", DDERR_WASSTILLDRAWING, 1);
    EXPECT_FALSE(mDisplay->IsPresentDone());
    EXPECT_TRUE(mDisplay->IsPresentDone());

    // The wait sleeps 1 ms on the fake clock while the flip is still drawing.
    port::control::SetSleepAdvancesClock(true);
    DWORD before = GetTickCount();
    port::control::InjectFailure("GetFlipStatus", DDERR_WASSTILLDRAWING, 3);
    EXPECT_EQ(mDisplay->WaitForFlip(), DD_OK);
    EXPECT_EQ(GetTickCount() - before, 3u);
    port::control::InjectFailure("GetFlipStatus", DDERR_INVALIDOBJECT, 1);
    EXPECT_EQ(mDisplay->WaitForFlip(), DDERR_INVALIDOBJECT);
}

TEST_F(RenderFrontFrameTest, WithoutABackBufferNoPresentIsDone) {
    TPlatformData display;
    EXPECT_FALSE(display.IsPresentDone());
}

}  // namespace
}  // namespace dx_testing
