// A full-screen flip chain used from two threads: a cursor thread blits a small image onto the
// front buffer while the main thread flips and reads the visible buffer back. ThreadSanitizer
// watches the run; the test watches for torn copies.
#include <atomic>
#include <chrono>
#include <thread>

#include "displayfixture.h"
#include "port/display/control.h"
#include "port/window/window.h"

namespace {

using display_testing::DisplayTest;
using display_testing::EmptyDesc;
using display_testing::SurfacePtr;
using raster::TPixelFormat;

constexpr int kSide = 32;
constexpr int kSpot = 40;  // the image's top-left corner on the screen

uint32_t ImagePixel(int x, int y) {
    return 0xFF000000u | static_cast<uint32_t>(0x400000 + x * 0x100 + y);
}

TEST_F(DisplayTest, ACursorThreadBlitsOntoTheFrontBufferWhileTheMainThreadFlips) {
    port::control::AdapterSpec adapter;
    adapter.modes = {{160, 120, 32, 60}};
    port::control::SetAdapters({adapter});
    mDraw->Release();
    mDraw = nullptr;
    ASSERT_EQ(
        DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDraw), IID_IDirectDraw7, nullptr),
        DD_OK);
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{0, 0, 160, 120});
    ASSERT_EQ(mDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(mDraw->SetDisplayMode(160, 120, 32, 0, 0), DD_OK);
    DDSURFACEDESC2 desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    SurfacePtr front;
    ASSERT_EQ(mDraw->CreateSurface(&desc, front.Out(), nullptr), DD_OK);
    SurfacePtr back;
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    ASSERT_EQ(front->GetAttachedSurface(&caps, back.Out()), DD_OK);
    DDBLTFX black{};
    black.dwSize = sizeof black;
    ASSERT_EQ(front->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &black), DD_OK);
    ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &black), DD_OK);

    SurfacePtr image(MakeSurface(kSide, kSide, TPixelFormat::X8R8G8B8));
    std::vector<uint32_t> pixels;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x)
            pixels.push_back(ImagePixel(x, y));
    }
    WriteRaw(image.get(), pixels);

    std::atomic<bool> stop{false};
    std::atomic<int> blits{0};
    std::thread cursor([&] {
        RECT spot{kSpot, kSpot, kSpot + kSide, kSpot + kSide};
        while (!stop) {
            if (front->Blt(&spot, image.get(), nullptr, DDBLT_WAIT, nullptr) == DD_OK) ++blits;
            std::this_thread::yield();
        }
    });
    // On a loaded machine the cursor thread may not have run at all in 200 frames: the flips go on
    // (up to ten seconds) until it has blitted at least once, so the two really overlap.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int frame = 0;
         frame < 200 || (blits.load() == 0 && std::chrono::steady_clock::now() < deadline);
         ++frame) {
        HRESULT flipped = front->Flip(nullptr, DDFLIP_WAIT);
        ASSERT_TRUE(flipped == DD_OK || flipped == DDERR_SURFACEBUSY) << frame;
        port::control::Image view = port::control::PlayerView();
        ASSERT_EQ(view.width, 160);
        // The square shows the image whole or not at all; elsewhere the screen stays black.
        bool shown = view.At(kSpot, kSpot) == ImagePixel(0, 0);
        for (int y = 0; y < 120; ++y) {
            for (int x = 0; x < 160; ++x) {
                bool inSquare = x >= kSpot && x < kSpot + kSide && y >= kSpot && y < kSpot + kSide;
                uint32_t expected =
                    inSquare && shown ? ImagePixel(x - kSpot, y - kSpot) : 0xFF000000u;
                ASSERT_EQ(view.At(x, y), expected) << frame << ": " << x << "," << y;
            }
        }
    }
    stop = true;
    cursor.join();
    EXPECT_GT(blits.load(), 0);
}

}  // namespace
