// The cursor worker with the real draw: its turn draws the software cursor through the display's
// context at the mouse position, waits 16 ms after a draw and 250 ms when nothing was drawn.
#include <gtest/gtest.h>

#include <memory>

#include "platform/display/dxcontext.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedatasource.h"
#include "platform/win32platform.h"
#include "port/system/control.h"
#include "port/window/input.h"
#include "port/window/window.h"
#include "startupfixture.h"
#include "ui/screen.h"
#include "ui/windowmanager.h"
#include "workerdisplayfixture.h"

namespace startup_test {
namespace {

class CursorWorkerDrawTest : public StartupTest {};

TEST_F(CursorWorkerDrawTest, TheTurnDrawsAtTheMouseAndWaitsByItsAnswer) {
    port::control::UseFakeClock(true);
    port::control::SetTime(50000);
    TPlatform application;
    TWin32Platform* platform = application.GetPlatform();
    platform->StopWorker();  // the turns below are the test's own
    application.GetWindowManager()->SetScreen(new TScreen);

    HWND window = MakeWorkerTestWindow("CursorWorkerDrawWindow");
    ASSERT_NE(window, nullptr);
    auto owned = std::make_unique<TPlatformData>();
    TPlatformData* display = owned.get();
    platform->SetPlatformData(std::move(owned));
    TDXContext* context = display->GetContext();
    ASSERT_TRUE(CreateWorkerContext(*context, window));
    display->SetReady(true);

    // The image in memory: the display record here holds no device for texture surfaces.
    SetTextureDataMaker(nullptr);
    std::shared_ptr<TTexture> image = TTexture::Create(4, 4, true);
    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(image->Lock(&pixels, &pitch));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            pixels[y * pitch + x] = 0xFFFFFFFF;
    image->Unlock();
    ASSERT_TRUE(context->SetMouseImage(image, false, 0, 0));

    // The mouse has not entered the window: nothing to draw.
    EXPECT_EQ(platform->WorkerTurn(), 250u);
    EXPECT_FALSE(context->IsCursorDrawn());

    RECT bounds = context->GetWindowRect();
    SetCursorPos(bounds.left + 30, bounds.top + 40);
    context->MoveMouse(POINT{30, 40});
    port::control::AdvanceTime(100);
    EXPECT_EQ(platform->WorkerTurn(), 16u);
    EXPECT_TRUE(context->IsCursorDrawn());
    // Within 16 ms of the draw: nothing drawn, the long wait.
    port::control::AdvanceTime(10);
    EXPECT_EQ(platform->WorkerTurn(), 250u);
    port::control::AdvanceTime(6);
    EXPECT_EQ(platform->WorkerTurn(), 16u);

    // A cursor rectangle past the desktop's right edge is not drawn and asks for a full redraw.
    TWindowManager* manager = application.GetWindowManager();
    manager->SetRedrawNeeded(false);
    EXPECT_EQ(context->DrawMouse(POINT{context->GetDesktopWidth() - 2, 10}, false).x, -1);
    EXPECT_TRUE(manager->IsRedrawNeeded());
    // Erasing a shown cursor asks for one too.
    manager->SetRedrawNeeded(false);
    context->MoveMouse(POINT{30, 40});
    context->EraseMouse();
    EXPECT_TRUE(manager->IsRedrawNeeded());

    // While drawing is suspended a restore only forgets that the cursor is drawn.
    ASSERT_EQ(context->DrawMouse(POINT{30, 40}, false).x, 30);
    manager->SetDrawingSuspended(true);
    context->RestoreMouseImage();
    EXPECT_FALSE(context->IsCursorDrawn());
    EXPECT_EQ(context->GetCursorTexture(), image);
    manager->SetDrawingSuspended(false);
}

}  // namespace
}  // namespace startup_test
