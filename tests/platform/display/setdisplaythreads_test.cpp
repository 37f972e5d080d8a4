// The cursor worker polls IsReady and draws the software cursor while the main thread sets the
// display up again and again, in a window and full screen. Meant for the ThreadSanitizer build
// (the tsan preset), where an unguarded access between the two threads is reported; elsewhere it
// checks that both go through without a fault and end with a working display.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "platform/display/dxcontext.h"
#include "platform/display/setdisplayrun.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "platform/win32platform.h"
#include "port/system/control.h"
#include "port/window/input.h"
#include "setdisplayfixture.h"

namespace setdisplay_testing {
namespace {

class SetDisplayThreadsTest : public SetDisplayTest {};

TEST_F(SetDisplayThreadsTest, TheWorkerDrawsTheCursorWhileTheDisplayIsSetUpAgain) {
    setdisplay::ForgetCursorImageCall();
    Start();
    MakeDisplay();
    ASSERT_EQ(SetDisplay(800, 600, false), kNoExit);
    std::shared_ptr<TTexture> image = TTexture::Create(8, 8, true);
    ASSERT_NE(image, nullptr);
    mDisplay->SetMouseImage(image, false, 1, 1);
    RECT bounds = Context().GetWindowRect();
    SetCursorPos(bounds.left + 100, bounds.top + 100);
    Context().MoveMouse(POINT{100, 100});

    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    int setUps = 0;
    for (int i = 0; std::chrono::steady_clock::now() < until; ++i) {
        port::control::AdvanceTime(16);
        if (i % 3 == 0) {
            mDisplay->SetDisplay(800, 600, setUps % 2 == 1, true, true, false);
            ++setUps;
        } else {
            Context().Present();
        }
    }
    ASSERT_GT(setUps, 1);
    EXPECT_EQ(SetDisplay(800, 600, false, true), kNoExit);
    EXPECT_TRUE(mDisplay->IsReady());
    mPlatform->StopWorker();
}

}  // namespace
}  // namespace setdisplay_testing
