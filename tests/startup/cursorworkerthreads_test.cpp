// The cursor worker draws the real software cursor while the main thread presents, sets the
// display up again, changes the cursor image, the display scale, the root window's rectangle and
// the activation, and finally tears everything down. Meant for the ThreadSanitizer build (the
// tsan preset), where any unguarded access between the two threads is reported; elsewhere it
// checks that the two threads go through without a fault.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "../platform/solidtexture.h"
#include "platform/display/dxcontext.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedatasource.h"
#include "platform/win32platform.h"
#include "port/system/clock.h"
#include "port/system/control.h"
#include "port/window/input.h"
#include "port/window/window.h"
#include "startupfixture.h"
#include "ui/screen.h"
#include "ui/windowmanager.h"
#include "workerdisplayfixture.h"

namespace startup_test {
namespace {

using texture_testing::SolidTexture;

class CursorWorkerThreadsTest : public StartupTest {};

TEST_F(CursorWorkerThreadsTest, TheWorkerDrawsWhileTheMainThreadChangesEverything) {
    port::control::UseFakeClock(true);
    port::control::SetTime(80000);
    SetTextureDataMaker(nullptr);
    HWND window = MakeWorkerTestWindow("CursorWorkerThreadsWindow");
    ASSERT_NE(window, nullptr);
    std::shared_ptr<TTexture> images[2] = {SolidTexture(8, 0x80FF0000),
                                           SolidTexture(12, 0xFF00FF00)};
    ASSERT_NE(images[0], nullptr);
    ASSERT_NE(images[1], nullptr);
    {
        TPlatform application;
        TWin32Platform* platform = application.GetPlatform();
        TWindowManager* manager = application.GetWindowManager();
        ASSERT_NE(manager, nullptr);
        manager->SetScreen(new TScreen);
        auto owned = std::make_unique<TPlatformData>();
        TPlatformData* display = owned.get();
        TDXContext* context = display->GetContext();
        ASSERT_TRUE(CreateWorkerContext(*context, window));
        ASSERT_TRUE(context->SetMouseImage(images[0], false, 1, 1));
        RECT bounds = context->GetWindowRect();
        SetCursorPos(bounds.left + 100, bounds.top + 100);
        context->MoveMouse(POINT{100, 100});
        display->SetReady(true);
        platform->SetPlatformData(std::move(owned));

        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
        for (int i = 0; std::chrono::steady_clock::now() < until; ++i) {
            port::control::AdvanceTime(16);
            context->Present();
            if (i % 5 == 0) context->SetMouseImage(images[i / 5 % 2], false, 2, 2);
            if (i % 11 == 0) {
                display->SetReady(false);
                CreateWorkerContext(*context, window);
                context->SetMouseImage(images[0], false, 1, 1);
                context->MoveMouse(POINT{100 + i % 50, 100});
                display->SetReady(true);
            }
            platform->SetScale(i % 3 == 0 ? 1.0f : 1.5f, 1.0f);
            manager->GetScreen()->SetRect(TScreen::TBounds{0, 0, 640 + i % 2, 480});
            platform->SetActive(i % 4 != 0);
            SetCursorPos(bounds.left + 100 + i % 30, bounds.top + 100);
            ::Sleep(1);
        }
        platform->SetActive(true);
        platform->SetScale(1.0f, 1.0f);
        // With the main thread quiet, the worker alone puts the cursor on the screen.
        context->EraseMouse();
        SetCursorPos(bounds.left + 100, bounds.top + 100);
        context->MoveMouse(POINT{100, 100});
        port::control::AdvanceTime(100);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!context->IsCursorDrawn() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_TRUE(context->IsCursorDrawn());
    }  // the teardown stops the worker, then deletes the manager and the display
}

}  // namespace
}  // namespace startup_test
