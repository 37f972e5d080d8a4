// The display set-up embedded in a host window: the main window made the host's child (or
// detached for full screen) with its styles and clip window, not centred; a host lost mid-run
// ending the game through its quit; the pause after a mark as broken; and a set-up re-entered
// from inside one of its boxes.
#include <gtest/gtest.h>

#include <string>

#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/setdisplayrun.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "port/startup.h"
#include "port/system/control.h"
#include "port/window/control.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"
#include "setdisplayfixture.h"

namespace setdisplay_testing {
namespace {

class SetDisplayEmbeddedTest : public SetDisplayTest {
protected:
    void SetUp() override {
        SetDisplayTest::SetUp();
        setdisplay::ForgetCursorImageCall();
        mHost = MakeHost(640, 480);
        Start("", mHost);
        MakeDisplay();
    }

    HWND mHost = nullptr;
};

TEST_F(SetDisplayEmbeddedTest, AWindowBecomesTheHostsChildAtItsClientSize) {
    EXPECT_EQ(SetDisplay(320, 240, false), kNoExit);
    EXPECT_TRUE(mDisplay->IsReady());
    EXPECT_EQ(GetParent(mWindow), mHost);
    EXPECT_EQ(Style() & (WS_CHILD | WS_VISIBLE | WS_POPUP | WS_CAPTION), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(ExStyle() & (WS_EX_TOPMOST | WS_EX_APPWINDOW), 0);
    EXPECT_EQ(Context().GetClipWindow(), mWindow);
    // At (0, 0) in the host at its client size, and not centred.
    RECT rect{};
    GetWindowRect(mWindow, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 640);
    EXPECT_EQ(rect.bottom, 480);
}

TEST_F(SetDisplayEmbeddedTest, FullScreenDetachesTheMainWindow) {
    ASSERT_EQ(SetDisplay(320, 240, false), kNoExit);
    EXPECT_EQ(SetDisplay(320, 240, true), kNoExit);
    // Detached; the context keeps an embedded display windowed, and its window display gives
    // the top-level window its frame again.
    EXPECT_EQ(GetParent(mWindow), nullptr);
    EXPECT_EQ(Style() & WS_CHILD, 0);
    EXPECT_EQ(Context().GetClipWindow(), mWindow);
}

TEST_F(SetDisplayEmbeddedTest, AHostLostMidRunEndsTheGameThroughItsQuit) {
    ASSERT_EQ(SetDisplay(320, 240, true), kNoExit);
    ASSERT_EQ(GetParent(mWindow), nullptr);
    port::control::DestroyForeignWindow(mHost);
    TakeQuit();
    int devices = CountCalls("CreateDevice");
    LONG_PTR style = Style();
    EXPECT_EQ(SetDisplay(320, 240, false, true), kNoExit);
    EXPECT_TRUE(Logged("Error: mExternalWindowParent is lost, exiting!"));
    int code = -5;
    ASSERT_TRUE(TakeQuit(&code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(CountCalls("CreateDevice"), devices);
    EXPECT_EQ(Style(), style);
    EXPECT_FALSE(Record().mInSetDisplay);
}

TEST_F(SetDisplayEmbeddedTest, ADesktopSwitchedTo256ColoursEndsTheProgramAtTheNextSetUp) {
    ASSERT_EQ(SetDisplay(320, 240, false), kNoExit);
    // The window procedure hands the new desktop to the display on WM_DISPLAYCHANGE.
    port::control::SetDesktop(1024, 768, 8);
    mDisplay->UpdateDesktopMetrics();
    EXPECT_EQ(SetDisplay(320, 240, false, true), -1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, setdisplay::kPalettisedHostBox);
}

TEST_F(SetDisplayEmbeddedTest, ASetUpRightAfterAMarkAsBrokenWaitsASecond) {
    // The first set-up is never held off.
    mDisplay->MarkBroken();
    ASSERT_EQ(SetDisplay(320, 240, false), kNoExit);
    ASSERT_TRUE(mDisplay->IsReady());
    int devices = CountCalls("CreateDevice");
    mDisplay->MarkBroken();
    port::control::AdvanceTime(999);
    EXPECT_EQ(SetDisplay(320, 240, false, true), kNoExit);
    EXPECT_EQ(CountCalls("CreateDevice"), devices);
    port::control::AdvanceTime(1);
    EXPECT_EQ(SetDisplay(320, 240, false, true), kNoExit);
    EXPECT_EQ(CountCalls("CreateDevice"), devices + 1);
    EXPECT_TRUE(mDisplay->IsReady());
}

// A set-up entered again from inside the "Reconfiguring" box: each inner entry waits 50 ms and
// leaves, and leaves the flag as the outer run set it.
struct Reentry {
    TPlatformData* display = nullptr;
    int entries = 0;
    bool flagAfterFirst = false;
    bool flagAfterSecond = false;
    DWORD waited = 0;
};
Reentry gReentry;

void EnterFromTheBox(const char* line) {
    if (gReentry.display == nullptr || std::string(line).rfind("Message box", 0) != 0) return;
    TPlatformData* display = gReentry.display;
    gReentry.display = nullptr;
    DWORD before = TPlatform::GetTimer();
    display->SetDisplay(320, 240, false, true, false, false);
    gReentry.flagAfterFirst = display->GetRecord()->mInSetDisplay;
    display->SetDisplay(320, 240, false, true, false, false);
    gReentry.flagAfterSecond = display->GetRecord()->mInSetDisplay;
    gReentry.waited = TPlatform::GetTimer() - before;
    gReentry.entries = 2;
}

TEST_F(SetDisplayEmbeddedTest, ASetUpReenteredFromInsideABoxWaitsAndLeaves) {
    gReentry = Reentry{};
    gReentry.display = mDisplay;
    Record().mLowMemoryNoticePending = true;
    port::SetLogSink(&EnterFromTheBox);
    EXPECT_EQ(SetDisplay(320, 240, false), kNoExit);
    port::SetLogSink(nullptr);
    ASSERT_EQ(gReentry.entries, 2);
    EXPECT_TRUE(gReentry.flagAfterFirst);
    EXPECT_TRUE(gReentry.flagAfterSecond);
    EXPECT_EQ(gReentry.waited, 100u);
    // Only the outer run made a device, and it finished.
    EXPECT_EQ(CountCalls("CreateDevice"), 1);
    EXPECT_FALSE(Record().mInSetDisplay);
    EXPECT_TRUE(mDisplay->IsReady());
}

}  // namespace
}  // namespace setdisplay_testing
