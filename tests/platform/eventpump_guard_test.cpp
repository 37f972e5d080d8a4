// The full-screen guard on idle turns: the main window raised over a foreign window in front of
// it, its two log lines written once per change while they apply, and silence when the window is
// topmost and in front, as the display set-up leaves it.
#include <algorithm>

#include "port/system/lasterror.h"
#include "support/logcapture.h"
#include "pumpfixture.h"

namespace {

using pump_testing::PumpTest;

class GuardTest : public PumpTest {
protected:
    // Full screen over the desktop, topmost (as the display set-up makes it).
    TPlatformData* StartFullScreen(bool topmost = true) {
        Start();
        TPlatformData* display = MakeDisplay();
        mLog.Clear();
        // Only the display's flag: what the pump reads of a full-screen set-up.
        display->GetRecord()->mFullscreen.store(true);
        display->SetClipRect(0, 0, 1024, 768);
        SetWindowPos(mWindow, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 1024, 768, 0);
        Settle();
        return display;
    }

    int Count(const std::string& line) const {
        std::vector<std::string> messages = mLog.Messages();
        return static_cast<int>(std::count(messages.begin(), messages.end(), line));
    }

    void IdleTurns(int turns) {
        for (int i = 0; i < turns; ++i) Turn();
    }

    testing_support::LogCapture mLog;
};

TEST_F(GuardTest, RaisesTheWindowOverAForeignWindowInFront) {
    StartFullScreen();
    port::control::ForeignWindowSpec spec;
    spec.topmost = true;
    spec.rect = RECT{100, 100, 300, 300};
    HWND foreign = port::control::CreateForeignWindow(spec);
    port::control::RaiseWindow(foreign);
    ASSERT_EQ(GetWindow(mWindow, GW_HWNDFIRST), foreign);
    EXPECT_EQ(Turn().type, kEventIdle);
    EXPECT_EQ(GetWindow(mWindow, GW_HWNDFIRST), mWindow);
    RECT frame{};
    GetWindowRect(mWindow, &frame);
    EXPECT_EQ(frame.right - frame.left, 1024);
    EXPECT_EQ(frame.bottom - frame.top, 768);
    EXPECT_EQ(GetForegroundWindow(), mWindow);
}

TEST_F(GuardTest, BringsTheWindowBackToTheForeground) {
    StartFullScreen();
    port::control::InjectFocus(nullptr);
    Settle();  // the activation events
    mPlatform->SetActive(true);  // as a full-screen window keeps itself
    Pump().lostInBackground = false;
    Turn();
    EXPECT_EQ(GetForegroundWindow(), mWindow);
}

TEST_F(GuardTest, LogsEachProblemOnceWhileItLasts) {
    StartFullScreen(false);
    port::control::ForeignWindowSpec spec;
    HWND foreign = port::control::CreateForeignWindow(spec);
    port::control::RaiseWindow(foreign);
    port::control::InjectFailure("SetForegroundWindow", ERROR_ACCESS_DENIED, -1);
    port::control::InjectFocus(foreign);
    mPlatform->SetActive(true);
    Pump().activationPending = false;
    Pump().appActivationChanged = false;
    Pump().lostInBackground = false;
    IdleTurns(20);
    EXPECT_EQ(Count("Window does NOT have topmost style"), 1);
    EXPECT_EQ(Count("Error using BringWindowToTop: 5"), 1);

    // Once it works again, a new failure is logged again.
    port::control::ClearFailures();
    IdleTurns(3);
    port::control::InjectFocus(foreign);
    mPlatform->SetActive(true);
    Pump().activationPending = false;
    Pump().appActivationChanged = false;
    Pump().lostInBackground = false;
    port::control::InjectFailure("SetForegroundWindow", ERROR_ACCESS_DENIED, -1);
    IdleTurns(5);
    EXPECT_EQ(Count("Error using BringWindowToTop: 5"), 2);
    EXPECT_EQ(Count("Window does NOT have topmost style"), 1);  // it never went away
}

TEST_F(GuardTest, QuietWhenTopmostAndInFront) {
    StartFullScreen();
    IdleTurns(50);
    for (const std::string& message : mLog.Messages()) {
        EXPECT_EQ(message.find("topmost"), std::string::npos) << message;
        EXPECT_EQ(message.find("BringWindowToTop"), std::string::npos) << message;
    }
}

TEST_F(GuardTest, WaitsWhileLostInTheBackground) {
    StartFullScreen();
    Pump().lostInBackground = true;
    DWORD before = TPlatform::GetTimer();
    EXPECT_EQ(Turn().type, kEventIdle);
    EXPECT_GE(TPlatform::GetTimer() - before, 50u);
}

TEST_F(GuardTest, NotInAWindow) {
    TPlatformData* display = StartFullScreen(false);
    display->GetRecord()->mFullscreen.store(false);
    Pump().topmostMissingLogged = false;
    mLog.Clear();
    IdleTurns(5);
    EXPECT_EQ(Count("Window does NOT have topmost style"), 0);
}

}  // namespace
