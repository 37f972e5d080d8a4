// The sdl display backend on SDL's dummy video driver (no display needed): the desktop's memory
// reaches the SDL window in each of its formats with its channels in place, and the part of a
// client area off the desktop shows black. What the X server shows is the smoke program's part
// (tests/sdlsmoke).
#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>

#include "port/display/ddraw.h"
#include "port/startup.h"
#include "port/window/control.h"
#include "port/window/sdl/sdlbackend.h"
#include "port/window/windowpos.h"
#include "windowfixture.h"

namespace {

class SdlPresentTest : public window_testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (!port::SelectWindowBackend("sdl")) GTEST_SKIP() << "no SDL video driver";
    }

    // The pixel the SDL window shows at a point of the client area, as 0xAARRGGBB.
    static uint32_t Shown(int x, int y) {
        SDL_Renderer* renderer = SDL_GetRenderer(port::sdl::CurrentWindow());
        uint32_t pixel = 0;
        SDL_Rect at{x, y, 1, 1};
        if (renderer == nullptr ||
            SDL_RenderReadPixels(renderer, &at, SDL_PIXELFORMAT_ARGB8888, &pixel, 4) != 0) {
            return 0x12345678;
        }
        return pixel;
    }
};

// Within a few steps of each channel: SDL widens 5 and 6 bits by shifting, not replicating.
::testing::AssertionResult Near(uint32_t shown, uint32_t expected) {
    for (int shift : {24, 16, 8, 0}) {
        int a = static_cast<int>((shown >> shift) & 0xFF);
        int b = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - b) > 8) {
            return ::testing::AssertionFailure()
                   << std::hex << "shown 0x" << shown << ", not 0x" << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(SdlPresentTest, TheDesktopsMemoryShowsInEachFormatAndBlackOffTheDesktop) {
    struct Case {
        int bits;
        DWORD red, green, blue;  // raw pixels of the desktop's format
    } cases[] = {
        {16, 0xF800, 0x07E0, 0x001F},
        {24, 0xFF0000, 0x00FF00, 0x0000FF},  // R8G8B8: blue, green, red in memory
        {32, 0xFF0000, 0x00FF00, 0x0000FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bits) + " bits");
        port::control::SetDesktop(1024, 768, c.bits);
        // The client area from (-16, -8): its top left corner lies off the desktop.
        HWND window = MakeWindow(window_testing::kMainStyle, 0, true, RECT{0, 0, 160, 120});
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        SetWindowPos(window, nullptr, -16 - origin.x, -8 - origin.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        Pump();
        IDirectDraw7* draw = nullptr;
        ASSERT_EQ(
            DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&draw), IID_IDirectDraw7, nullptr),
            DD_OK);
        ASSERT_EQ(draw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
        DDSURFACEDESC2 desc;
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface7* front = nullptr;
        ASSERT_EQ(draw->CreateSurface(&desc, &front, nullptr), DD_OK);
        // Three bands on the desktop, under the client area: red, green, blue.
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        DWORD colours[3] = {c.red, c.green, c.blue};
        for (int band = 0; band < 3; ++band) {
            RECT rect{0, band * 20, 200, band * 20 + 20};
            fx.dwFillColor = colours[band];
            ASSERT_EQ(front->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx),
                      DD_OK);
        }
        // Client point (x, y) is desktop point (x - 16, y - 8).
        EXPECT_TRUE(Near(Shown(40, 8 + 5), 0xFFFF0000u));
        EXPECT_TRUE(Near(Shown(40, 8 + 25), 0xFF00FF00u));
        EXPECT_TRUE(Near(Shown(40, 8 + 45), 0xFF0000FFu));
        EXPECT_TRUE(Near(Shown(5, 40), 0xFF000000u));  // left of the desktop
        EXPECT_TRUE(Near(Shown(40, 3), 0xFF000000u));  // above it
        front->Release();
        draw->Release();
        DestroyWindow(window);
    }
}

}  // namespace
