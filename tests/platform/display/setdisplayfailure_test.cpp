// When the context cannot make the display: the branches in their order, from the desktop of too
// few colours that ends the program to the fallback to the other mode; the failed fallback that
// ends the game through its quit, and what a later set-up does then.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/setdisplayrun.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/platformevent.h"
#include "platform/win32platform.h"
#include "port/display/ddraw.h"
#include "port/startup.h"
#include "port/system/control.h"
#include "port/window/activation.h"
#include "port/window/messagebox.h"
#include "port/window/window.h"
#include "setdisplayfixture.h"

namespace setdisplay_testing {
namespace {

// What the display looked like while each box was shown (the port logs a box as it is
// answered, inside the call).
struct BoxMoment {
    std::string line;
    bool fullscreen;
    bool ready;
};
std::vector<BoxMoment> gMoments;
TPlatformData* gWatched = nullptr;

void WatchBoxes(const char* line) {
    if (gWatched == nullptr || std::string(line).rfind("Message box", 0) != 0) return;
    gMoments.push_back({line, gWatched->IsFullscreen(), gWatched->IsReady()});
}

class SetDisplayFailureTest : public SetDisplayTest {
protected:
    void SetUp() override {
        SetDisplayTest::SetUp();
        setdisplay::ForgetCursorImageCall();
        gMoments.clear();
    }
    void TearDown() override {
        port::SetLogSink(nullptr);
        gWatched = nullptr;
        SetDisplayTest::TearDown();
    }
    void WatchBoxMoments() {
        gWatched = mDisplay;
        port::SetLogSink(&WatchBoxes);
    }
    // Every full-screen display fails to be made.
    static void FailFullscreen() { port::control::InjectFailure("SetDisplayMode", E_FAIL, -1); }
    // Every device fails to be made.
    static void FailDevices() { port::control::InjectFailure("CreateDevice", E_FAIL, -1); }
};

TEST_F(SetDisplayFailureTest, FullScreenFailingFallsBackToAWindowWithItsBoxAfterTheSwitch) {
    Start();
    MakeDisplay();
    WatchBoxMoments();
    FailFullscreen();
    EXPECT_EQ(SetDisplay(800, 600, true), kNoExit);
    EXPECT_FALSE(mDisplay->IsFullscreen());
    EXPECT_TRUE(mDisplay->IsReady());
    EXPECT_FALSE(Record().mFallbackInProgress);
    // The display's own box about the full-screen devices comes first; the set-up's follows the
    // switch and is shown once the window works.
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].text, setdisplay::kFullscreenFailedBox);
    EXPECT_EQ(Boxes()[1].caption, "Error");
    EXPECT_EQ(Boxes()[1].flags & 0xF0, 0u);
    ASSERT_EQ(gMoments.size(), 2u);
    EXPECT_FALSE(gMoments[1].fullscreen);
    EXPECT_TRUE(gMoments[1].ready);
    EXPECT_FALSE(TakeQuit());
}

TEST_F(SetDisplayFailureTest, AWindowFailingFallsBackToFullScreenWithItsBoxBefore) {
    Start();
    MakeDisplay();
    WatchBoxMoments();
    port::control::InjectFailure("CreateDevice", E_FAIL, 1);
    EXPECT_EQ(SetDisplay(800, 600, false), kNoExit);
    EXPECT_TRUE(mDisplay->IsFullscreen());
    EXPECT_TRUE(mDisplay->IsReady());
    ASSERT_EQ(BoxTexts(), std::vector<std::string>{setdisplay::kWindowFailedBox});
    ASSERT_EQ(gMoments.size(), 1u);
    EXPECT_FALSE(gMoments[0].ready);
}

TEST_F(SetDisplayFailureTest, AFailedFallbackEndsTheGameThroughItsQuitNotAnExit) {
    Start();
    MakeDisplay();
    FailDevices();
    EXPECT_EQ(SetDisplay(800, 600, true), kNoExit);
    EXPECT_TRUE(Logged("ERROR FALLBACK FAILED"));
    std::vector<std::string> texts = BoxTexts();
    ASSERT_EQ(texts.size(), 2u);
    // The window's failure inside the fallback, then the box that follows the switch.
    EXPECT_EQ(texts[0], setdisplay::kFallbackFailedBox);
    EXPECT_EQ(Boxes()[0].owner, mWindow);
    EXPECT_EQ(Boxes()[0].flags & 0xF0, MB_ICONERROR);
    EXPECT_EQ(texts[1], setdisplay::kFullscreenFailedBox);
    EXPECT_TRUE(Record().mFatal);
    EXPECT_FALSE(mDisplay->IsReady());
    // The main loop ends on the quit: the pump reports it first while the display does not work.
    TPlatformEvent event;
    mApp->GetEvent(event);
    EXPECT_EQ(event.type, kEventQuit);

    // A later set-up (a restore, Alt+Enter) while the quit is pending: nothing, and no exit.
    port::control::ClearFailures();
    port::control::KeepCallLog(true);
    port::control::ClearMessageBoxes();
    LONG_PTR style = Style();
    // (The pump's turn may have let time pass.)
    port::control::AdvanceTime(29999 - (TPlatform::GetTimer() - Record().mFatalTime));
    EXPECT_EQ(SetDisplay(800, 600, false, true), kNoExit);
    EXPECT_EQ(CountCalls("CreateDevice"), 0);
    EXPECT_EQ(Style(), style);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_FALSE(Record().mInSetDisplay);
    // A game that never acted on its quit is ended 30 s after.
    port::control::AdvanceTime(1);
    EXPECT_EQ(SetDisplay(800, 600, false, true), -1);
}

TEST_F(SetDisplayFailureTest, TooFewColoursEndsTheProgramAlsoMidRun) {
    struct Case {
        bool quiet;
        size_t boxes;
    } cases[] = {{false, 1}, {true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quiet);
        port::control::SetDesktop(1024, 768, 32);
        port::control::ClearMessageBoxes();
        Start();
        MakeDisplay();
        ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
        // The desktop goes to 16 colours; the context learns it as it makes the display.
        port::control::SetDesktop(1024, 768, 4);
        EXPECT_EQ(SetDisplay(800, 600, true, true, c.quiet), -1);
        ASSERT_EQ(Boxes().size(), c.boxes);
        if (c.boxes > 0) {
            EXPECT_EQ(Boxes()[0].text, setdisplay::kTooFewColoursBox);
        }
        EXPECT_TRUE(Record().mFatal);
        mApp.reset();
    }
}

TEST_F(SetDisplayFailureTest, UnderAHostTheDisplayIsOnlyMarkedBroken) {
    HWND host = MakeHost();
    Start("", host);
    MakeDisplay();
    FailDevices();
    EXPECT_EQ(SetDisplay(640, 480, false), kNoExit);
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_EQ(Setting("dxbroken"), "1");
    EXPECT_FALSE(Record().mFallbackInProgress);
    EXPECT_EQ(CountCalls("CreateDevice"), 1);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SetDisplayFailureTest, AFullScreenThatWorkedBeforeIsMarkedBrokenAndWaits) {
    Start();
    MakeDisplay();
    ASSERT_EQ(SetDisplay(800, 600, true), kNoExit);
    ASSERT_TRUE(Record().mFullscreenHasWorked);
    FailDevices();
    DWORD before = TPlatform::GetTimer();
    EXPECT_EQ(SetDisplay(800, 600, true, true), kNoExit);
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_GE(TPlatform::GetTimer() - before, 150u);
    EXPECT_FALSE(mDisplay->IsReady());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_FALSE(Record().mFallbackInProgress);
}

TEST_F(SetDisplayFailureTest, AGameNotInFrontIsMarkedBrokenWithItsActivity) {
    struct Case {
        bool active;
        bool foreground;
        const char* line;
    } cases[] = {
        {true, false, "SetDisplay marking DirectX Broken: ACTIVE, BACKGROUND"},
        {false, true, "SetDisplay marking DirectX Broken: INACTIVE, FOREGROUND"},
        {false, false, "SetDisplay marking DirectX Broken: INACTIVE, BACKGROUND"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Start();
        MakeDisplay();
        mLog.Clear();
        HWND other = MakeHost();
        SetForegroundWindow(c.foreground ? mWindow : other);
        mPlatform->SetActive(c.active);
        // The application's activation the foreground change reported counts for itself.
        mPlatform->GetPumpState().appActivationChanged = false;
        FailDevices();
        // Forced, so that an inactive game gets as far as the creation.
        EXPECT_EQ(SetDisplay(800, 600, false, true), kNoExit);
        EXPECT_TRUE(Logged(c.line));
        EXPECT_TRUE(mDisplay->IsBroken());
        EXPECT_FALSE(Record().mFallbackInProgress);
        EXPECT_TRUE(Boxes().empty());
        port::control::ClearFailures();
        port::control::KeepCallLog(true);
        mApp.reset();
    }
}

TEST_F(SetDisplayFailureTest, AnInactiveGameIsNotSetUpUnlessForced) {
    Start();
    MakeDisplay();
    mPlatform->SetActive(false);
    EXPECT_EQ(SetDisplay(800, 600, false), kNoExit);
    EXPECT_EQ(CountCalls("CreateDevice"), 0);
    // The application's deactivation the pump has not reported yet counts too.
    mPlatform->SetActive(true);
    mPlatform->GetPumpState().appActivationChanged = true;
    mPlatform->GetPumpState().appActive = false;
    EXPECT_EQ(SetDisplay(800, 600, false), kNoExit);
    EXPECT_EQ(CountCalls("CreateDevice"), 0);
    EXPECT_EQ(SetDisplay(800, 600, false, true), kNoExit);
    EXPECT_EQ(CountCalls("CreateDevice"), 1);
    EXPECT_TRUE(mDisplay->IsReady());
}

TEST_F(SetDisplayFailureTest, LostInTheBackgroundWaitsAndLeaves) {
    Start();
    MakeDisplay();
    mPlatform->GetPumpState().lostInBackground = true;
    DWORD before = TPlatform::GetTimer();
    EXPECT_EQ(SetDisplay(800, 600, false, true), kNoExit);
    EXPECT_EQ(TPlatform::GetTimer() - before, 100u);
    EXPECT_EQ(CountCalls("CreateDevice"), 0);
    EXPECT_FALSE(Record().mInSetDisplay);
}

// A window refused for a reason the context finds as it makes the display: the desktop changed
// after the context last read it.
TEST_F(SetDisplayFailureTest, AWindowWithAKnownReasonTellsItAndGoesToFullScreen) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* box;
    } cases[] = {
        {"palettised", [] { port::control::SetDesktop(1024, 768, 8); },
         setdisplay::kPalettisedWindowBox},
        {"small", [] { port::control::SetDesktop(800, 600, 32); }, setdisplay::kSmallWindowBox},
        {"video memory",
         [] { port::control::InjectFailure("CreateSurface", DDERR_OUTOFVIDEOMEMORY, 1); },
         setdisplay::kWindowMemoryBox},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        port::control::SetDesktop(1024, 768, 32);
        port::control::ClearMessageBoxes();
        Start();
        MakeDisplay();
        c.arrange();
        EXPECT_EQ(SetDisplay(800, 600, false), kNoExit);
        std::vector<std::string> texts = BoxTexts();
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts[0], c.box);
        EXPECT_EQ(Boxes()[0].caption, "Error");
        EXPECT_EQ(Boxes()[0].flags & 0xF0, 0u);
        EXPECT_TRUE(mDisplay->IsFullscreen());
        EXPECT_TRUE(mDisplay->IsReady());
        port::control::ClearFailures();
        port::control::KeepCallLog(true);
        mApp.reset();
    }
}

TEST_F(SetDisplayFailureTest, QuietSuppressesTheKnownReasonBox) {
    Start();
    MakeDisplay();
    port::control::SetDesktop(800, 600, 32);
    EXPECT_EQ(SetDisplay(800, 600, false, false, true), kNoExit);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(mDisplay->IsFullscreen());
}

}  // namespace
}  // namespace setdisplay_testing
