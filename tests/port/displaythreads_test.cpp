// The windowed primary used from two threads, as the cursor worker and the main thread use it;
// ThreadSanitizer watches the run. Also: the display's control plane under the sdl backend.
#include <atomic>
#include <cstdlib>
#include <thread>

#include "displayfixture.h"
#include "port/display/control.h"
#include "port/startup.h"

namespace {

using display_testing::DisplayTest;
using display_testing::SdlDisplayTest;
using display_testing::SurfacePtr;
using raster::TPixelFormat;

DDBLTFX FillWith(DWORD color) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = color;
    return fx;
}

TEST_F(DisplayTest, ACursorThreadAndTheMainThreadShareThePrimary) {
    port::control::SetDesktop(320, 240, 32);
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{10, 10, 210, 160});
    SurfacePtr primary(MakePrimary(window));
    SurfacePtr back(MakeSurface(200, 150, TPixelFormat::X8R8G8B8));
    SurfacePtr cursor(MakeSurface(32, 32, TPixelFormat::X8R8G8B8));
    DDBLTFX fx = FillWith(0x00C0FFEE);
    ASSERT_EQ(cursor->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);

    std::atomic<bool> stop{false};
    std::atomic<int> cursorBlits{0};
    std::thread worker([&] {
        RECT spot{60, 60, 92, 92};
        while (!stop) {
            if (primary->Blt(&spot, cursor.get(), nullptr, DDBLT_WAIT, nullptr) == DD_OK) {
                ++cursorBlits;
            }
            std::this_thread::yield();
        }
    });
    RECT client{10, 10, 210, 160};
    // At least 60 frames, and on until the worker has blitted once: on a loaded machine it may
    // not be scheduled at all during the first frames.
    for (uint32_t frame = 1; frame <= 60 || (cursorBlits.load() == 0 && frame <= 20000); ++frame) {
        uint32_t color = (0x00010203u * frame) & 0x00FFFFFFu;
        fx = FillWith(color);
        ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
        ASSERT_EQ(primary->Blt(&client, back.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
        port::control::Image view = port::control::PlayerView();
        ASSERT_EQ(view.width, 200);
        // Outside the cursor's square the frame is whole; inside, the square is all frame or
        // all cursor, never a mix of two copies.
        uint32_t square = view.At(50, 50);
        ASSERT_TRUE(square == (0xFF000000u | color) || square == 0xFFC0FFEEu) << frame;
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 200; ++x) {
                bool inSquare = x >= 50 && x < 82 && y >= 50 && y < 82;
                ASSERT_EQ(view.At(x, y), inSquare ? square : 0xFF000000u | color)
                    << frame << ": " << x << "," << y;
            }
        }
    }
    stop = true;
    worker.join();
    EXPECT_GT(cursorBlits.load(), 0);
}


TEST_F(SdlDisplayTest, TheControlPlaneWorksOnARealWindow) {
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{0, 0, 64, 48});
    SurfacePtr primary(MakePrimary(window));
    SurfacePtr back(MakeSurface(64, 48, TPixelFormat::R5G6B5));
    DDBLTFX fx = FillWith(0xF800);
    ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    port::control::InjectFailure("Blt", DDERR_SURFACELOST, 1);
    EXPECT_EQ(primary->Blt(nullptr, back.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    RECT client{0, 0, 64, 48};
    ASSERT_EQ(primary->Blt(&client, back.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    port::control::Image view = port::control::PlayerView();
    ASSERT_EQ(view.width, 64);
    EXPECT_EQ(view.At(63, 47), 0xFFFF0000u);
    EXPECT_EQ(port::control::SurfaceImage(back.get()).At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(port::control::Surfaces().size(), 2u);
}

}  // namespace
