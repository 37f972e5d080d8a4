// The platform's cursor worker polls IsReady and draws the software cursor while the main thread
// loses the display and restores it, both in place and by a new set-up. Meant for the
// ThreadSanitizer build (the tsan preset), where an unguarded access between the two threads is
// reported; elsewhere it checks that both threads get through and the display ends up working.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "../solidtexture.h"
#include "platform/display/dxcontext.h"
#include "platform/texture/texture.h"
#include "port/window/input.h"
#include "restorefixture.h"

namespace restore_testing {
namespace {

using texture_testing::SolidTexture;

std::atomic<int> gWorkerDraws{0};

// The worker's draw as the platform makes it (the context at the mouse position), counted.
POINT CountedDraw(TWin32Platform& platform) {
    TPlatformData* display = platform.GetPlatformData();
    POINT drawn =
        display != nullptr ? display->GetContext()->DrawMouse(POINT{-1, -1}, false) : POINT{-1, -1};
    if (drawn.x != -1) ++gWorkerDraws;
    return drawn;
}

TEST_F(RestoreTest, TheCursorWorkerDrawsWhileRestoresRun) {
    gWorkerDraws = 0;
    TWin32Platform::SetCursorDraw(&CountedDraw);
    SetUpDisplay();
    std::shared_ptr<TTexture> cursor = SolidTexture(10, 0xC0FF8000);
    ASSERT_NE(cursor, nullptr);
    ASSERT_TRUE(mDisplay->SetMouseImage(cursor, false, 1, 1));
    mDisplay->ShowCursor(true);
    TDXContext* context = mDisplay->GetContext();
    RECT bounds = context->GetWindowRect();
    SetCursorPos(bounds.left + 100, bounds.top + 100);
    context->MoveMouse(POINT{100, 100});

    int inPlace = 0;
    int setUps = 0;
    // For 400 ms, and at least six rounds (both kinds of restore twice) on a slow machine.
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    for (int i = 0; i < 6 || std::chrono::steady_clock::now() < until; ++i) {
        RunScenes(i % 3 == 0 ? 1 : 3);
        LoseDisplay();
        StartLogs();
        mDisplay->Restore();
        inPlace += CountCalls("RestoreAllSurfaces");
        setUps += SetUps();
        ASSERT_TRUE(mDisplay->IsWorking()) << LogText();
        // The cursor's image after a new set-up, as the game sets it again.
        if (i % 3 == 0) mDisplay->SetMouseImage(cursor, false, 1, 1);
        context->MoveMouse(POINT{100 + i % 40, 100});
        SetCursorPos(bounds.left + 100 + i % 40, bounds.top + 100);
        port::control::AdvanceTime(16);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GT(inPlace, 0);
    EXPECT_GT(setUps, 0);

    // With the main thread quiet the worker alone puts the cursor on the screen.
    context->EraseMouse();
    context->MoveMouse(POINT{100, 100});
    SetCursorPos(bounds.left + 100, bounds.top + 100);
    port::control::AdvanceTime(100);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!context->IsCursorDrawn() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(context->IsCursorDrawn())
        << "cursor surfaces lost: " << context->AreCursorSurfacesLost();
    EXPECT_GT(gWorkerDraws.load(), 0);
    TWin32Platform::SetCursorDraw(nullptr);
}

}  // namespace
}  // namespace restore_testing
