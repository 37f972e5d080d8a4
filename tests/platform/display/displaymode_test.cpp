// The display's mode as the rest of the program switches and asks it: SetFullscreen's refusals
// of a window, ClipOrCenterWindowToMonitor with and without the monitor functions, whether the
// display is usable and ready, and the pass-throughs.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/setdisplayrun.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "port/display/ddraw.h"
#include "port/window/control.h"
#include "port/window/windowpos.h"
#include "setdisplayfixture.h"

namespace setdisplay_testing {
namespace {

class DisplayModeTest : public SetDisplayTest {
protected:
    void SetUp() override {
        SetDisplayTest::SetUp();
        setdisplay::ForgetCursorImageCall();
    }
};

TEST_F(DisplayModeTest, FullScreenIsAlwaysAskedAndAWindowWhenItCanBeHad) {
    Start();
    MakeDisplay();
    ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
    EXPECT_TRUE(mDisplay->SetFullscreen(true));
    EXPECT_TRUE(mDisplay->IsFullscreen());
    EXPECT_TRUE(mDisplay->IsReady());
    EXPECT_TRUE(mDisplay->SetFullscreen(false));
    EXPECT_FALSE(mDisplay->IsFullscreen());
    EXPECT_TRUE(mDisplay->IsReady());
    int width = 0;
    int height = 0;
    mDisplay->GetDisplaySize(&width, &height, nullptr);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
}

TEST_F(DisplayModeTest, AWindowIsRefusedWhenTheSetUpWouldForceFullScreen) {
    struct Case {
        const char* name;
        std::function<void(SetDisplayTest&, TPlatformData*)> arrange;
    } cases[] = {
        {"palettised",
         [](SetDisplayTest&, TPlatformData* display) {
             port::control::SetDesktop(1024, 768, 8);
             display->UpdateDesktopMetrics();
         }},
        {"does not fit",
         [](SetDisplayTest&, TPlatformData* display) {
             port::control::SetDesktop(800, 600, 32);
             display->UpdateDesktopMetrics();
         }},
        {"window out of video memory",
         [](SetDisplayTest&, TPlatformData* display) {
             // A window that ran out of video memory: the set-up went to full screen.
             port::control::InjectFailure("CreateSurface", DDERR_OUTOFVIDEOMEMORY, 1);
             display->SetDisplay(800, 600, false, true, true, false);
             port::control::KeepCallLog(true);
         }},
        {"low-memory video mode",
         [](SetDisplayTest&, TPlatformData* display) {
             display->GetRecord()->mLowMemoryVideo = true;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        port::control::SetDesktop(1024, 768, 32);
        Start();
        MakeDisplay();
        ASSERT_EQ(SetDisplay(800, 600, true), kNoExit);
        c.arrange(*this, mDisplay);
        ASSERT_TRUE(mDisplay->IsFullscreen());
        int devices = CountCalls("CreateDevice");
        EXPECT_FALSE(mDisplay->SetFullscreen(false));
        EXPECT_EQ(CountCalls("CreateDevice"), devices);
        EXPECT_TRUE(mDisplay->IsFullscreen());
        port::control::ClearFailures();
        port::control::KeepCallLog(true);
        mApp.reset();
    }
}

class MonitorClipTest : public SetDisplayTest {
protected:
    void SetUp() override {
        SetDisplayTest::SetUp();
        mWindow = MakeWindow(dx_testing::kPopupStyle, RECT{0, 0, 400, 300});
    }
    POINT Place(RECT rect, UINT flags) {
        SetWindowPos(mWindow, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        ClipOrCenterWindowToMonitor(mWindow, flags);
        RECT now{};
        GetWindowRect(mWindow, &now);
        EXPECT_EQ(now.right - now.left, rect.right - rect.left);
        EXPECT_EQ(now.bottom - now.top, rect.bottom - rect.top);
        return POINT{now.left, now.top};
    }
};

TEST_F(MonitorClipTest, ClipsOrCentresOnTheMonitorOrItsWorkArea) {
    // 1024 x 768 with a work area 30 pixels short at the bottom.
    port::control::SetWorkArea(RECT{0, 0, 1024, 738});
    struct Case {
        RECT rect;
        UINT flags;
        POINT expected;
    } cases[] = {
        {{900, 700, 1300, 1000}, 0, {624, 468}},
        {{900, 700, 1300, 1000}, kMonitorWorkArea, {624, 438}},
        {{-50, -20, 350, 280}, 0, {0, 0}},
        {{10, 10, 410, 310}, 0, {10, 10}},
        {{900, 700, 1300, 1000}, kMonitorCentre, {312, 234}},
        {{900, 700, 1300, 1000}, kMonitorCentre | kMonitorWorkArea, {312, 219}},
        // Larger than the area: where it is.
        {{50, 40, 1150, 340}, kMonitorCentre, {50, 40}},
        {{50, 40, 450, 780}, kMonitorWorkArea, {50, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        POINT at = Place(c.rect, c.flags);
        EXPECT_EQ(at.x, c.expected.x);
        EXPECT_EQ(at.y, c.expected.y);
    }
}

TEST_F(MonitorClipTest, WithoutTheMonitorFunctionsTheWholeScreenIsTheMonitor) {
    port::MonitorSpec left{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 738}, "\\\\.\\DISPLAY1", true};
    port::MonitorSpec right{RECT{1024, 0, 2048, 768}, RECT{1024, 0, 2048, 768}, "\\\\.\\DISPLAY2",
                            false};
    port::control::SetMonitors({left, right});
    POINT at = Place(RECT{1500, 100, 1900, 400}, kMonitorCentre);
    EXPECT_EQ(at.x, 1024 + 312);
    EXPECT_EQ(at.y, 234);
    port::control::SetMonitorFunctionsAvailable(false);
    port::control::SetWorkArea(RECT{0, 0, 1024, 700});
    at = Place(RECT{1500, 100, 1900, 400}, kMonitorCentre | kMonitorWorkArea);
    EXPECT_EQ(at.x, 312);
    EXPECT_EQ(at.y, 200);
}

TEST_F(DisplayModeTest, UsableAndReadyInEachState) {
    Start();
    struct Row {
        const char* state;
        std::function<void()> arrange;
        bool usable;
        bool ready;
    } rows[] = {
        {"no display", [] {}, false, false},
        {"working",
         [this] {
             MakeDisplay();
             SetDisplay(800, 600, false);
         },
         true, true},
        {"marked broken", [this] { mDisplay->MarkBroken(); }, true, false},
        {"cooperative level failing",
         [this] {
             mDisplay->SetBroken(false);
             port::control::InjectFailure("TestCooperativeLevel", DDERR_NOEXCLUSIVEMODE, -1);
         },
         false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.state);
        row.arrange();
        EXPECT_EQ(mApp->IsDisplayUsable(), row.usable);
        EXPECT_EQ(mPlatform->IsDisplayReady(), row.ready);
    }
}

TEST_F(DisplayModeTest, PassThroughs) {
    Start();
    MakeDisplay();
    // Nothing without DirectDraw.
    mDisplay->FlipToGDISurface();
    EXPECT_EQ(CountCalls("FlipToGDISurface"), 0);
    ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
    mDisplay->FlipToGDISurface();
    EXPECT_EQ(CountCalls("FlipToGDISurface"), 1);
    mDisplay->SetOverlayCursor(true);
    EXPECT_TRUE(Context().IsOverlayCursor());
    Context().MoveMouse(POINT{10, 20});
    ASSERT_TRUE(Context().IsCursorShown());
    mDisplay->ResetMouseImage();
    EXPECT_FALSE(Context().IsCursorShown());
    EXPECT_EQ(Context().GetMousePosition().x, -1);
}

}  // namespace
}  // namespace setdisplay_testing
