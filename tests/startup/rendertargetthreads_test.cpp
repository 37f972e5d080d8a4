// The cursor worker draws the real software cursor while the main thread draws frames and opens
// and closes render targets (each sets the display scale to 1 and puts the saved scale back),
// presents and sets the display up again. Meant for the ThreadSanitizer build (the tsan preset),
// where any unguarded access between the two threads is reported, the display scale the worker
// reads included; elsewhere it checks that both threads go through without a fault.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxtexturedata.h"
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

std::shared_ptr<TTexture> DisplayTexture(int side) {
    SetTextureDataMaker(
        []() -> std::unique_ptr<TTextureData> { return std::make_unique<TDxTextureData>(); });
    std::shared_ptr<TTexture> texture = TTexture::Create(side, side, true);
    SetTextureDataMaker(nullptr);
    return texture;
}

class RenderTargetThreadsTest : public StartupTest {};

TEST_F(RenderTargetThreadsTest, TheWorkerDrawsWhileTheMainThreadDrawsIntoRenderTargets) {
    port::control::UseFakeClock(true);
    port::control::SetTime(80000);
    HWND window = MakeWorkerTestWindow("RenderTargetThreadsWindow");
    ASSERT_NE(window, nullptr);
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
        TakeDisplay(*display, 640, 480);
        std::shared_ptr<TTexture> cursor = DisplayTexture(8);
        ASSERT_NE(cursor, nullptr);
        ASSERT_TRUE(context->SetMouseImage(cursor, false, 1, 1));
        RECT bounds = context->GetWindowRect();
        SetCursorPos(bounds.left + 100, bounds.top + 100);
        context->MoveMouse(POINT{100, 100});
        display->SetReady(true);
        platform->SetPlatformData(std::move(owned));
        platform->SetScale(1.5f, 1.5f);
        std::shared_ptr<TTexture> target = DisplayTexture(64);
        ASSERT_NE(target, nullptr);

        int targets = 0;
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
        for (int i = 0; std::chrono::steady_clock::now() < until; ++i) {
            port::control::AdvanceTime(16);
            if (display->BeginRenderTarget(target, i % 5)) {
                ++targets;
                EXPECT_EQ(platform->GetScaleX(), 1.0f);
                display->Begin2d();
                display->FillRect(TRect{0, 0, 32, 32}, TVec4{1, 0, 0, 1}, nullptr);
                display->End2d();
                display->EndRenderTarget();
            }
            EXPECT_EQ(platform->GetScaleX(), 1.5f);
            if (display->BeginDraw(false)) display->EndDraw(true);
            if (i % 11 == 0) {
                display->SetReady(false);
                target.reset();
                CreateWorkerContext(*context, window);
                TakeDisplay(*display, 640, 480);
                context->SetMouseImage(cursor, false, 1, 1);
                context->MoveMouse(POINT{100 + i % 50, 100});
                target = DisplayTexture(64);
                display->SetReady(true);
            }
            SetCursorPos(bounds.left + 100 + i % 30, bounds.top + 100);
            ::Sleep(1);
        }
        EXPECT_GT(targets, 0);
        target.reset();
        platform->SetScale(1.0f, 1.0f);
    }  // the teardown stops the worker, then deletes the manager and the display
}

}  // namespace
}  // namespace startup_test
