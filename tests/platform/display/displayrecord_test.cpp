// TPlatformData's record and broken state: the one instance, every initial value of the record,
// the working test, the marks as broken on the fake clock, and the desktop fit of a window.
#include "platform/display/displayrecord.h"

#include <gtest/gtest.h>

#include "dxfixture.h"
#include "platform/display/dxcontext.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "port/window/metrics.h"

namespace {

class DisplayRecordTest : public dx_testing::DxTest {
protected:
    static str Broken() { return TPlatform::GetConfig("dxbroken", "(absent)"); }
};

bool IsEmpty(const RECT& rect) {
    return rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0;
}

TEST_F(DisplayRecordTest, OneInstanceForItsLifetime) {
    EXPECT_EQ(TPlatformData::GetInstance(), nullptr);
    {
        TPlatformData display;
        EXPECT_EQ(TPlatformData::GetInstance(), &display);
    }
    EXPECT_EQ(TPlatformData::GetInstance(), nullptr);
}

TEST_F(DisplayRecordTest, ANewRecordHoldsItsInitialValues) {
    TPlatformData display;
    const TDisplayRecord& record = *display.GetRecord();
    EXPECT_EQ(record.mDirectDraw, nullptr);
    EXPECT_EQ(record.mDirect3D, nullptr);
    EXPECT_EQ(record.mDevice, nullptr);
    ASSERT_NE(record.mContext, nullptr);
    EXPECT_EQ(display.GetContext(), record.mContext.get());
    EXPECT_EQ(record.mRenderTarget, nullptr);
    EXPECT_TRUE(record.mSavedStates.empty());
    EXPECT_TRUE(IsEmpty(record.mClipRect));
    EXPECT_TRUE(IsEmpty(record.mTargetRect));
    EXPECT_TRUE(IsEmpty(record.mViewportRect));
    EXPECT_TRUE(IsEmpty(record.mScreenRect));
    EXPECT_EQ(record.mBackBuffer, nullptr);
    EXPECT_FALSE(record.mFullscreen.load());
    EXPECT_EQ(record.mBlendMode, -1);
    EXPECT_EQ(record.mBitDepth, 0);
    EXPECT_EQ(record.mRenderTargetMode, 0);
    EXPECT_EQ(record.mRenderTargetTexture, nullptr);
    EXPECT_FALSE(record.mReady.load());
    EXPECT_FALSE(record.mBroken.load());
    EXPECT_FALSE(record.mLowMemoryNoticePending);
    EXPECT_FALSE(record.mDepthWrite);
    EXPECT_FALSE(record.mDepthTest);
    EXPECT_FALSE(record.mFallbackInProgress);
    EXPECT_FALSE(record.mFatal);
    EXPECT_FALSE(record.mSeparateTextureMemories);
    EXPECT_FALSE(record.mNoSpecularGouraud);
    EXPECT_FALSE(record.mSquareTextures);
    EXPECT_EQ(record.mWorkingCount, 0u);
    EXPECT_EQ(record.mLastBrokenTime, 0u);
    EXPECT_FALSE(record.mFullscreenHasWorked);
    EXPECT_FALSE(record.mLowMemoryVideo);
    EXPECT_FALSE(record.mInSetDisplay);
    EXPECT_FALSE(record.mInRestore);
    EXPECT_FALSE(record.mInScene);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(record.mProjection.m[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    }
    EXPECT_FLOAT_EQ(record.mNearPlane, 0.1f);
    EXPECT_FLOAT_EQ(record.mFarPlane, 1000.0f);
    EXPECT_FALSE(record.mAntialias);
    EXPECT_FALSE(record.mHintAntialias);
    EXPECT_FALSE(record.mNewSubtractive);
    EXPECT_FALSE(record.mNewRenderBlend);
    EXPECT_FALSE(record.mCalibrating);
    EXPECT_FLOAT_EQ(record.mPixelOffset, -0.5f);
    EXPECT_FALSE(display.IsReady());
}

TEST_F(DisplayRecordTest, IsWorkingInItsThreeCases) {
    TPlatformData display;
    TDisplayRecord& record = *display.GetRecord();
    TDXContext* context = display.GetContext();
    HWND window = MakeWindow();
    ASSERT_TRUE(context->Create(window, false, 320, 240, 32, 3));

    // Everything present.
    record.mDirectDraw = context->GetDirectDraw();
    record.mDirect3D = context->GetDirect3D();
    record.mDevice = context->GetDevice();
    EXPECT_TRUE(display.IsWorking());
    EXPECT_FALSE(display.IsBroken());
    EXPECT_EQ(Broken(), str("(absent)"));

    // Broken: false, whatever is present.
    display.SetBroken(true);
    EXPECT_FALSE(display.IsWorking());
    EXPECT_EQ(Broken(), str("(absent)"));

    // One missing: marked broken.
    display.SetBroken(false);
    record.mDevice = nullptr;
    port::control::AdvanceTime(1234);
    EXPECT_FALSE(display.IsWorking());
    EXPECT_TRUE(display.IsBroken());
    EXPECT_EQ(Broken(), str("1"));
    EXPECT_EQ(record.mLastBrokenTime, TPlatform::GetTimer());
}

TEST_F(DisplayRecordTest, MarkBroken) {
    TPlatformData display;
    display.SetReady(true);
    EXPECT_TRUE(display.IsReady());
    port::control::SetTime(777);
    display.MarkBroken();
    EXPECT_TRUE(display.IsBroken());
    EXPECT_FALSE(display.IsReady());
    EXPECT_EQ(Broken(), str("1"));
    EXPECT_EQ(display.GetRecord()->mLastBrokenTime, 777u);
}

TEST_F(DisplayRecordTest, ThrottledMarksComeAtMostEvery250Milliseconds) {
    TPlatformData display;
    TDisplayRecord& record = *display.GetRecord();
    auto markAt = [&](DWORD now) {
        port::control::SetTime(now);
        display.SetBroken(false);
        TPlatform::SetConfig("dxbroken", "0");
        display.MarkBrokenThrottled();
        return display.IsBroken();
    };
    // The first mark of the process goes through even this early in the clock.
    EXPECT_TRUE(markAt(100));
    EXPECT_EQ(Broken(), str("1"));
    EXPECT_EQ(record.mLastBrokenTime, 100u);
    EXPECT_FALSE(markAt(200));
    EXPECT_EQ(Broken(), str("0"));
    EXPECT_EQ(record.mLastBrokenTime, 100u);
    EXPECT_FALSE(markAt(349));
    EXPECT_TRUE(markAt(350));
    EXPECT_EQ(record.mLastBrokenTime, 350u);

    // Across the wrap of the 32-bit clock.
    EXPECT_TRUE(markAt(0xFFFFFFFFu - 9));
    EXPECT_FALSE(markAt(100));  // 110 ms later
    EXPECT_TRUE(markAt(240));   // 250 ms later
}

TEST_F(DisplayRecordTest, AFullMarkCountsForTheThrottle) {
    TPlatformData display;
    port::control::SetTime(5000);
    display.MarkBroken();
    display.SetBroken(false);
    port::control::SetTime(5100);
    display.MarkBrokenThrottled();
    EXPECT_FALSE(display.IsBroken());
}

TEST_F(DisplayRecordTest, WindowExceedsDesktop) {
    // Default metrics: edge 2, frame 4, caption 19.
    struct Case {
        int desktopWidth;
        int desktopHeight;
        int width;
        int height;
        bool exceeds;
    };
    const Case cases[] = {
        {800, 600, 800, 600, true},  // the window as large as the desktop
        {1024, 768, 800, 600, false}, {806, 800, 800, 600, false},   // 800 + 2 + 4 fits exactly
        {805, 800, 800, 600, true},   {1024, 625, 800, 600, false},  // 600 + 2 + 4 + 19
        {1024, 624, 800, 600, true},
    };
    for (const Case& c : cases) {
        TDXContext context;
        context.SetDesktopInfo(-1, c.desktopWidth, c.desktopHeight);
        EXPECT_EQ(WindowExceedsDesktop(&context, c.width, c.height), c.exceeds)
            << c.desktopWidth << "x" << c.desktopHeight;
    }
    // The metrics are the system's.
    port::control::SetSystemMetric(SM_CYCAPTION, 30);
    TDXContext context;
    context.SetDesktopInfo(-1, 1024, 625);
    EXPECT_TRUE(WindowExceedsDesktop(&context, 800, 600));
}

TEST_F(DisplayRecordTest, OutOfVideoMemoryNeedsDirect3DAndHappensOnce) {
    TPlatformData display;
    TDisplayRecord& record = *display.GetRecord();
    TPlatform::OutOfVideoMemory();
    EXPECT_FALSE(record.mLowMemoryVideo);
    EXPECT_FALSE(Logged("OutOfVideoMemory triggered!"));

    TDXContext* context = display.GetContext();
    ASSERT_TRUE(context->Create(MakeWindow(), false, 320, 240, 32, 3));
    record.mDirect3D = context->GetDirect3D();
    TPlatform::OutOfVideoMemory();
    EXPECT_TRUE(record.mLowMemoryVideo);
    EXPECT_TRUE(record.mLowMemoryNoticePending);
    EXPECT_TRUE(display.IsBroken());
    mLog.Clear();
    TPlatform::OutOfVideoMemory();
    EXPECT_FALSE(Logged("OutOfVideoMemory triggered!"));
}

}  // namespace
