// Full screen on a screen of another size: the mode fitted to the screen, pointer positions
// mapped into the mode and back, the translator's full-screen mapping, and the display modes the
// sdl display lists for a real screen.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include "port/display/backend.h"
#include "port/window/sdl/sdlevents.h"
#include "port/window/sdl/sdlscale.h"
#include "port/window/windowpos.h"
#include "windowfixture.h"

namespace {

using port::sdl::FitMode;
using port::sdl::ModeToWindow;
using port::sdl::ScreenScale;
using port::sdl::WindowToMode;

TEST(SdlScaleTest, TheModeFitsTheScreenWithItsAspectCentred) {
    struct Case {
        int modeWidth, modeHeight, screenWidth, screenHeight;
        int x, y, width, height;
    } cases[] = {
        {800, 600, 1280, 720, 160, 0, 960, 720},  // bars left and right
        {640, 480, 1280, 720, 160, 0, 960, 720},
        {1280, 720, 1280, 720, 0, 0, 1280, 720},   // the screen's own size
        {1024, 768, 1280, 720, 160, 0, 960, 720},  // shown smaller
        {800, 600, 1280, 1024, 0, 32, 1280, 960},  // bars above and below
        {1280, 720, 1024, 768, 0, 96, 1024, 576},
        {3, 2, 1, 1, 0, 0, 1, 1},                      // never empty
        {65535, 1, 65535, 65535, 0, 32767, 65535, 1},  // sizes whose products pass int
    };
    for (const Case& c : cases) {
        ScreenScale scale = FitMode(c.modeWidth, c.modeHeight, c.screenWidth, c.screenHeight);
        SCOPED_TRACE(std::to_string(c.modeWidth) + " x " + std::to_string(c.modeHeight) + " on " +
                     std::to_string(c.screenWidth) + " x " + std::to_string(c.screenHeight));
        EXPECT_TRUE(scale.on);
        EXPECT_EQ(scale.x, c.x);
        EXPECT_EQ(scale.y, c.y);
        EXPECT_EQ(scale.width, c.width);
        EXPECT_EQ(scale.height, c.height);
    }
    EXPECT_FALSE(FitMode(0, 600, 1280, 720).on);
    EXPECT_FALSE(FitMode(800, 600, 1280, -1).on);
}

TEST(SdlScaleTest, PointerPositionsMapIntoTheModeAndBack) {
    ScreenScale scale = FitMode(800, 600, 1280, 720);
    EXPECT_EQ(WindowToMode(scale, 640, 360).x, 400);
    EXPECT_EQ(WindowToMode(scale, 640, 360).y, 300);
    // The bars and beyond the screen are held to the mode's edges.
    EXPECT_EQ(WindowToMode(scale, 10, -50).x, 0);
    EXPECT_EQ(WindowToMode(scale, 10, -50).y, 0);
    EXPECT_EQ(WindowToMode(scale, 1279, 719).x, 799);
    EXPECT_EQ(WindowToMode(scale, 1279, 719).y, 599);
    EXPECT_EQ(WindowToMode(scale, 2147483647, -2147483647 - 1).x, 799);
    EXPECT_EQ(ModeToWindow(scale, POINT{200, 150}).x, 400);
    EXPECT_EQ(ModeToWindow(scale, POINT{200, 150}).y, 180);
    EXPECT_EQ(ModeToWindow(scale, POINT{-5, 9999}).x, 160);
    // Every point of modes shown at least at their size comes back from where it shows.
    for (ScreenScale shown : {scale, FitMode(640, 480, 1280, 720), FitMode(1280, 720, 1280, 720),
                              FitMode(800, 600, 1920, 1080)}) {
        for (int x = 0; x < shown.modeWidth; ++x) {
            POINT back = WindowToMode(shown, ModeToWindow(shown, POINT{x, x % shown.modeHeight}).x,
                                      ModeToWindow(shown, POINT{x, x % shown.modeHeight}).y);
            ASSERT_EQ(back.x, x);
            ASSERT_EQ(back.y, x % shown.modeHeight);
        }
    }
    // Off: positions pass as they are.
    EXPECT_EQ(WindowToMode(ScreenScale{}, -7, 9).x, -7);
}

// The translator in full screen: the pointer lands on the mode, and the full screen's own window
// moves and sizes leave the model's window where the program put it.
class SdlFullScreenEventTest : public window_testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        mWindow = MakeWindow(window_testing::kMainStyle, 0, true, RECT{100, 100, 740, 580});
        mTranslator.SetWindow(mWindow);
        mTranslator.SetScale(FitMode(800, 600, 1280, 720));
    }
    void Send(const SDL_Event& event) { mTranslator.Translate(event); }

    HWND mWindow = nullptr;
    port::sdl::EventTranslator mTranslator;
};

TEST_F(SdlFullScreenEventTest, ThePointerLandsOnTheModeAndTheWindowStays) {
    RECT before{};
    GetWindowRect(mWindow, &before);
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_MOVED;
    Send(event);  // to (0, 0)
    event.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    event.window.data1 = 1280;
    event.window.data2 = 720;
    Send(event);
    RECT after{};
    GetWindowRect(mWindow, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);

    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.button = SDL_BUTTON_LEFT;
    press.button.x = 640;
    press.button.y = 360;
    Send(press);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 400);
    EXPECT_EQ(cursor.y, 300);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 5;  // on the left bar
    motion.motion.y = 719;
    Send(motion);
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 0);
    EXPECT_EQ(cursor.y, 599);

    // Windowed again: client positions.
    mTranslator.SetScale(ScreenScale{});
    motion.motion.x = 10;
    motion.motion.y = 20;
    Send(motion);
    GetCursorPos(&cursor);
    POINT origin{0, 0};
    ClientToScreen(mWindow, &origin);
    EXPECT_EQ(cursor.x, origin.x + 10);
    EXPECT_EQ(cursor.y, origin.y + 20);
}

TEST(SdlDisplayModesTest, TheCommonSizesThatFitTheScreenAndTheScreensOwn) {
    using Sizes = std::vector<std::pair<int, int>>;
    std::unique_ptr<port::display::DisplayBackend> sdl = port::display::MakeSdlDisplayBackend();
    EXPECT_EQ(sdl->ModeSizes(1280, 720), (Sizes{{640, 480}, {800, 600}, {1280, 720}}));
    EXPECT_EQ(sdl->ModeSizes(1024, 768), (Sizes{{640, 480}, {800, 600}, {1024, 768}}));
    EXPECT_EQ(sdl->ModeSizes(1300, 1000), (Sizes{{640, 480},
                                                 {800, 600},
                                                 {1024, 768},
                                                 {1152, 864},
                                                 {1280, 720},
                                                 {1280, 800},
                                                 {1280, 960},
                                                 {1300, 1000}}));
    EXPECT_EQ(sdl->ModeSizes(600, 400), (Sizes{{600, 400}}));
    // Headless keeps its three and the desktop's.
    std::unique_ptr<port::display::DisplayBackend> headless =
        port::display::MakeHeadlessDisplayBackend();
    EXPECT_EQ(headless->ModeSizes(1280, 720),
              (Sizes{{640, 480}, {800, 600}, {1024, 768}, {1280, 720}}));
}

}  // namespace
