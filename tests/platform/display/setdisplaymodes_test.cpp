// The display set-up's modes on the headless backend: the window a desktop can hold, full screen
// forced by a palettised or small desktop or by the low-memory video mode, a set-up that changes
// nothing, the anti-aliasing retry, and Zylom mode's window without the quiet boxes.
#include <gtest/gtest.h>

#include <string>

#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/setdisplayrun.h"
#include "platform/eventpumpstate.h"
#include "platform/onlinehooks.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "port/window/activation.h"
#include "port/startup.h"
#include "port/window/messagebox.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"
#include "setdisplayfixture.h"

namespace setdisplay_testing {
namespace {

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;

class SetDisplayModesTest : public SetDisplayTest {
protected:
    void SetUp() override {
        SetDisplayTest::SetUp();
        setdisplay::ForgetCursorImageCall();
    }
};

TEST_F(SetDisplayModesTest, AWindowTheDesktopHoldsIsMadeAndReady) {
    Start();
    MakeDisplay();
    port::control::SetDesktopRefreshRate(75);
    EXPECT_EQ(SetDisplay(800, 600, false), kNoExit);
    EXPECT_TRUE(mDisplay->IsReady());
    EXPECT_FALSE(mDisplay->IsFullscreen());
    int width = 0;
    int height = 0;
    bool fullscreen = true;
    mDisplay->GetDisplaySize(&width, &height, &fullscreen);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_FALSE(fullscreen);
    EXPECT_EQ(Style() & kWindowStyle, kWindowStyle);
    EXPECT_EQ(Style() & WS_MAXIMIZEBOX, 0);
    EXPECT_NE(ExStyle() & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(ExStyle() & WS_EX_TOPMOST, 0);
    EXPECT_EQ(Setting("dxbroken"), "0");
    EXPECT_EQ(Setting("monitorfrequency"), "75");
    EXPECT_EQ(Record().mBitDepth, 32);
    EXPECT_TRUE(mPlatform->GetPumpState().displayRecreated);
    EXPECT_EQ(Record().mBackBuffer, Context().GetBackBuffer());
    EXPECT_EQ(Record().mRenderTarget, Record().mBackBuffer);
    EXPECT_EQ(Record().mDevice, Context().GetDevice());
    EXPECT_FALSE(Record().mFullscreenHasWorked);
    // The window made at (0, 0) is centred on the monitor (1024 x 768), at the display's size:
    // the frame's size lock does not hold it while the set-up runs.
    RECT client{};
    GetClientRect(mWindow, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    RECT rect{};
    GetWindowRect(mWindow, &rect);
    EXPECT_EQ(rect.left, (1024 - (rect.right - rect.left)) / 2);
    EXPECT_EQ(rect.top, (768 - (rect.bottom - rect.top)) / 2);
    EXPECT_TRUE(IsWindowVisible(mWindow));
    // The assets restored and the window tree redrawn (RestoreAssets and the set-up each ask).
    EXPECT_GE(gSystem.dirtyMarks, 2);
    EXPECT_TRUE(Boxes().empty());
}

// Whether the main window was visible while the set-up's box was shown (after its styles).
HWND gWatchedWindow = nullptr;
int gVisibleAtBox = -1;
void WatchVisibility(const char* line) {
    if (gWatchedWindow != nullptr && std::string(line).rfind("Message box", 0) == 0) {
        gVisibleAtBox = IsWindowVisible(gWatchedWindow) ? 1 : 0;
    }
}

TEST_F(SetDisplayModesTest, AShownWindowStaysShownWhileItsStylesChange) {
    Start();
    MakeDisplay();
    ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
    // The "Reconfiguring" box comes after the styles for full screen are set.
    Record().mLowMemoryNoticePending = true;
    gWatchedWindow = mWindow;
    gVisibleAtBox = -1;
    port::SetLogSink(&WatchVisibility);
    EXPECT_EQ(SetDisplay(800, 600, true), kNoExit);
    port::SetLogSink(nullptr);
    gWatchedWindow = nullptr;
    EXPECT_EQ(gVisibleAtBox, 1);
    EXPECT_EQ(Style() & (WS_POPUP | WS_VISIBLE), WS_POPUP | WS_VISIBLE);
    EXPECT_TRUE(mDisplay->IsReady());
}

TEST_F(SetDisplayModesTest, AWindowOnAPalettisedDesktopIsFullScreenWithoutABox) {
    port::control::SetDesktop(1024, 768, 8);
    Start();
    MakeDisplay();
    EXPECT_EQ(SetDisplay(800, 600, false), kNoExit);
    EXPECT_TRUE(Logged("SetDisplay Forcing Fullscreen (PALLETTED)"));
    EXPECT_TRUE(mDisplay->IsFullscreen());
    EXPECT_TRUE(mDisplay->IsReady());
    EXPECT_TRUE(Record().mFullscreenHasWorked);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SetDisplayModesTest, AWindowOnAPalettisedDesktopUnderAHostEndsWithTheEightBitBox) {
    port::control::SetDesktop(1024, 768, 8);
    HWND host = MakeHost();
    Start("", host);
    MakeDisplay();
    EXPECT_EQ(SetDisplay(640, 480, false), -1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, setdisplay::kPalettisedHostBox);
    EXPECT_EQ(Boxes()[0].caption, "Error");
    EXPECT_FALSE(Logged("SetDisplay Forcing Fullscreen (PALLETTED)"));
}

TEST_F(SetDisplayModesTest, TheSameSizeAndModeAgainOnlyResetsTheWorkingCount) {
    Start();
    MakeDisplay();
    ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
    ASSERT_TRUE(mDisplay->IsReady());
    IDirect3DDevice7* device = Record().mDevice;
    Record().mWorkingCount = 5;
    mPlatform->GetPumpState().displayRecreated = false;
    int devicesBefore = CountCalls("CreateDevice");
    LONG_PTR style = Style();
    EXPECT_EQ(SetDisplay(800, 600, false), kNoExit);
    EXPECT_EQ(Record().mWorkingCount, 0u);
    EXPECT_EQ(Record().mDevice, device);
    EXPECT_EQ(CountCalls("CreateDevice"), devicesBefore);
    EXPECT_FALSE(mPlatform->GetPumpState().displayRecreated);
    EXPECT_EQ(Style(), style);
    // Nothing about the display changed: it stays ready (the worker keeps drawing the cursor).
    EXPECT_TRUE(mDisplay->IsReady());
    // With force it is made again.
    EXPECT_EQ(SetDisplay(800, 600, false, true), kNoExit);
    EXPECT_EQ(CountCalls("CreateDevice"), devicesBefore + 1);
    EXPECT_TRUE(mDisplay->IsReady());
}

TEST_F(SetDisplayModesTest, AWindowAsLargeAsTheDesktopIsFullScreenAndTopmost) {
    port::control::SetDesktop(800, 600, 32);
    Start();
    MakeDisplay();
    EXPECT_EQ(SetDisplay(800, 600, false), kNoExit);
    EXPECT_TRUE(Logged("SetDisplay Forcing Fullscreen (SMALL)"));
    EXPECT_TRUE(mDisplay->IsFullscreen());
    EXPECT_TRUE(mDisplay->IsReady());
    EXPECT_NE(ExStyle() & WS_EX_TOPMOST, 0);
    EXPECT_NE(ExStyle() & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(Style() & (WS_POPUP | WS_CAPTION), WS_POPUP);
    EXPECT_EQ(GetActiveWindow(), mWindow);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SetDisplayModesTest, TheSizeTestUsesTheDisplayScaleAndIsSkippedWhenHosted) {
    Start();
    MakeDisplay();
    // 600 x 450 scaled by 1.5 is 900 x 675: still fits 1024 x 768 with its frame.
    mPlatform->SetScale(1.5f, 1.5f);
    EXPECT_EQ(SetDisplay(600, 450, false), kNoExit);
    EXPECT_FALSE(mDisplay->IsFullscreen());
    // 700 x 525 scaled is 1050 x 787: too large.
    EXPECT_EQ(SetDisplay(700, 525, false), kNoExit);
    EXPECT_TRUE(Logged("SetDisplay Forcing Fullscreen (SMALL)"));
    EXPECT_TRUE(mDisplay->IsFullscreen());
}

TEST_F(SetDisplayModesTest, TheLowMemoryVideoModeStartsIn16BitFullScreen) {
    Start();
    WriteDisplaySettings("<Settings LowMemoryVideo=\"1\"/>");
    MakeDisplay();
    EXPECT_EQ(SetDisplay(800, 600, false), kNoExit);
    EXPECT_TRUE(Logged("SetDisplay Forcing Fullscreen (MEMORY)"));
    EXPECT_TRUE(mDisplay->IsFullscreen());
    EXPECT_TRUE(mDisplay->IsReady());
    EXPECT_EQ(Record().mBitDepth, 16);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SetDisplayModesTest, TheLowMemoryVideoModeWhenHostedEndsWithTheMemoryBox) {
    Start("-pq=1");
    MakeDisplay();
    // Hosted, the file is not read; the mode came from running out of video memory.
    Record().mLowMemoryVideo = true;
    EXPECT_EQ(SetDisplay(800, 600, false), -1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, setdisplay::kOutOfMemoryBox);
    EXPECT_EQ(Boxes()[0].caption, "Error");
    EXPECT_EQ(Boxes()[0].flags & 0xF0, MB_ICONEXCLAMATION);
    EXPECT_EQ(Boxes()[0].owner, nullptr);
}

TEST_F(SetDisplayModesTest, CreationFailingWithTheAntialiasingHintIsTriedOnceMoreWithout) {
    Start();
    MakeDisplay();
    Record().mAntialias = true;
    Record().mHintAntialias = true;
    port::control::InjectFailure("CreateDevice", E_FAIL, 1);
    EXPECT_EQ(SetDisplay(800, 600, false), kNoExit);
    EXPECT_TRUE(mDisplay->IsReady());
    EXPECT_FALSE(Record().mAntialias);
    EXPECT_FALSE(Record().mHintAntialias);
    EXPECT_EQ(CountCalls("CreateDevice"), 2);
    EXPECT_FALSE(Record().mFallbackInProgress);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SetDisplayModesTest, WithoutTheHintAFailedCreationIsNotRetried) {
    Start();
    MakeDisplay();
    Record().mAntialias = true;
    port::control::InjectFailure("CreateDevice", E_FAIL, 1);
    EXPECT_EQ(SetDisplay(800, 600, true), kNoExit);
    // The fallback made it (a window), not a retry: the option is kept.
    EXPECT_TRUE(Record().mAntialias);
    EXPECT_FALSE(mDisplay->IsFullscreen());
}

class ZylomModeTest : public SetDisplayModesTest {
protected:
    void SetUp() override {
        SetDisplayModesTest::SetUp();
        onlinehooks::THooks hooks;
        hooks.isZylomMode = [] { return true; };
        onlinehooks::Install(hooks);
    }
    void TearDown() override {
        onlinehooks::Install({});
        SetDisplayModesTest::TearDown();
    }
};

TEST_F(ZylomModeTest, AWindowIsAskedForEvenForFullScreen) {
    Start();
    MakeDisplay();
    EXPECT_EQ(SetDisplay(800, 600, true), kNoExit);
    EXPECT_FALSE(mDisplay->IsFullscreen());
    EXPECT_TRUE(mDisplay->IsReady());
}

TEST_F(ZylomModeTest, QuietBoxesAreNotShownButReconfiguringAndTheEndingBoxesAre) {
    Start();
    MakeDisplay();
    Record().mLowMemoryNoticePending = true;
    // Every creation fails: the window falls back (no box: quiet), the fallback's window fails
    // too and the set-up ends with its box.
    port::control::InjectFailure("CreateDevice", E_FAIL, -1);
    EXPECT_EQ(SetDisplay(800, 600, false), kNoExit);
    // The box before the fallback to full screen is quiet's; the fallback (a window again) fails
    // and ends the game with its box.
    std::vector<std::string> texts = BoxTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], setdisplay::kReconfiguringBox);
    EXPECT_EQ(Boxes()[0].caption, "Reconfiguring");
    EXPECT_EQ(Boxes()[0].owner, mWindow);
    EXPECT_EQ(texts[1], setdisplay::kFallbackFailedBox);
    EXPECT_TRUE(Logged("ERROR FALLBACK FAILED"));
    EXPECT_TRUE(TakeQuit());
    EXPECT_TRUE(Record().mFatal);
}

TEST_F(ZylomModeTest, TheBoxesThatEndTheProgramAreStillShown) {
    port::control::SetDesktop(1024, 768, 8);
    HWND host = MakeHost();
    Start("", host);
    MakeDisplay();
    EXPECT_EQ(SetDisplay(640, 480, true), -1);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{setdisplay::kPalettisedHostBox});
}

}  // namespace
}  // namespace setdisplay_testing
