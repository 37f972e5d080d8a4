// The cursor worker draws the software cursor while the main thread presents and, between
// presents, opens and closes render targets through the renderer in every mode: each target sets
// the display scale to 1 and puts it back, which the worker reads for the cursor's place. Meant
// for the ThreadSanitizer build (the tsan preset); elsewhere it checks that both threads go
// through and that every target leaves the scale as it found it.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "../platform/solidtexture.h"
#include "math/rect.h"
#include "math/vec4.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxtexturedata.h"
#include "platform/draw/renderer.h"
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

class CursorWorkerRenderTargetTest : public StartupTest {};

TEST_F(CursorWorkerRenderTargetTest, TheWorkerDrawsWhileTheMainThreadDrawsIntoTextures) {
    port::control::UseFakeClock(true);
    port::control::SetTime(80000);
    SetTextureDataMaker(nullptr);
    HWND window = MakeWorkerTestWindow("CursorWorkerTargetWindow");
    ASSERT_NE(window, nullptr);
    std::shared_ptr<TTexture> cursor = SolidTexture(8, 0x80FF0000);
    ASSERT_NE(cursor, nullptr);
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
        ASSERT_TRUE(context->SetMouseImage(cursor, false, 1, 1));
        RECT bounds = context->GetWindowRect();
        SetCursorPos(bounds.left + 100, bounds.top + 100);
        context->MoveMouse(POINT{100, 100});
        display->SetReady(true);
        platform->SetPlatformData(std::move(owned));

        // Textures made from here on are the display's, with surfaces to draw into.
        SetTextureDataMaker(
            []() -> std::unique_ptr<TTextureData> { return std::make_unique<TDxTextureData>(); });
        std::shared_ptr<TTexture> target = TTexture::Create(64, 48, true);
        ASSERT_NE(target, nullptr);
        TRenderer* renderer = TRenderer::GetInstance();
        renderer->PushViewport(TRect{0, 0, 640, 480});

        int opened = 0;
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
        for (int i = 0; std::chrono::steady_clock::now() < until; ++i) {
            port::control::AdvanceTime(16);
            context->Present();
            const float scale = i % 3 == 0 ? 1.0f : 1.5f;
            platform->SetScale(scale, 1.0f);
            if (renderer->BeginRenderTarget(target, i % 5)) {
                ++opened;
                EXPECT_EQ(platform->GetScaleX(), 1.0f);
                if (renderer->Begin2d()) {
                    renderer->FillRect(TRect{4, 4, 20, 20}, TVec4{1.0f, 0.0f, 0.0f, 1.0f}, nullptr);
                    renderer->End2d();
                }
                renderer->EndRenderTarget();
            }
            EXPECT_EQ(platform->GetScaleX(), scale) << i;
            if (i % 7 == 0) context->MoveMouse(POINT{100 + i % 50, 100});
            SetCursorPos(bounds.left + 100 + i % 30, bounds.top + 100);
            ::Sleep(1);
        }
        EXPECT_GT(opened, 0);
        EXPECT_FALSE(display->IsBroken());
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
        target.reset();
    }  // the teardown stops the worker, then deletes the manager, the renderer and the display
    SetTextureDataMaker(nullptr);
}

}  // namespace
}  // namespace startup_test
