// The render front beside the application object: the device viewport of an embedded game (the
// rectangle in game coordinates times the display scale, rounded, with the far edge cut where
// rounding carried it past the scaled display), and whether the application is ready to draw.
#include <gtest/gtest.h>

#include "../pumpfixture.h"

namespace {

class RenderFrontApplicationTest : public pump_testing::PumpTest {};

TEST_F(RenderFrontApplicationTest, TheViewportIsScaledAndCutToTheScaledDisplay) {
    Start("", false, true);
    TPlatformData* display = MakeDisplay();
    TDisplayRecord& record = *display->GetRecord();
    record.mTargetRect = RECT{0, 0, 200, 150};
    record.mViewportRect = RECT{};
    mPlatform->SetScale(1.5f, 1.5f);
    struct Case {
        RECT clip;
        DWORD x, y, width, height;
    } cases[] = {
        {{10, 20, 110, 120}, 15, 30, 150, 150},
        // x 151.5 and width 148.5 round up to 152 and 149, past 300: the width is cut to 148.
        {{101, 0, 200, 10}, 152, 0, 148, 15},
        {{0, 99, 10, 150}, 0, 149, 15, 76},
        // Clamped first, in game coordinates.
        {{-20, -20, 400, 400}, 0, 0, 300, 225},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(display->SetClipRect(c.clip.left, c.clip.top, c.clip.right, c.clip.bottom), 0);
        D3DVIEWPORT7 viewport = port::control::StateOf(record.mDevice).viewport;
        EXPECT_EQ(viewport.dwX, c.x) << c.clip.left;
        EXPECT_EQ(viewport.dwY, c.y) << c.clip.left;
        EXPECT_EQ(viewport.dwWidth, c.width) << c.clip.left;
        EXPECT_EQ(viewport.dwHeight, c.height) << c.clip.left;
    }
}

TEST_F(RenderFrontApplicationTest, ReadyToDrawOnceTheLastPresentIsDone) {
    Start();
    EXPECT_FALSE(mApp->IsReadyToDraw());
    MakeDisplay();
    EXPECT_TRUE(mApp->IsReadyToDraw());
    // In a window the back buffer's last blit is asked.
    port::control::InjectFailure("GetBltStatus", DDERR_WASSTILLDRAWING, 2);
    EXPECT_FALSE(mApp->IsReadyToDraw());
    EXPECT_FALSE(mApp->IsReadyToDraw());
    EXPECT_TRUE(mApp->IsReadyToDraw());
}

}  // namespace
