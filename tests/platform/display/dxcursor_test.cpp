// The software cursor of the DirectX context on the headless display: drawn to the byte at 32
// and 16 bits, erased without a trace, clipped at the edges with its source cut, presented with
// each frame and left out of the next one (and, in a window away from the screen's corner, put
// back where the screen shows it), throttled, refused past the desktop, and recovered after its
// surfaces were lost.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "dxfixture.h"
#include "platform/display/dxcontext.h"
#include "platform/display/mouselock.h"
#include "platform/display/mousetexturelistener.h"
#include "platform/platform.h"
#include "platform/texture/texture.h"
#include "port/control.h"
#include "port/display/ddraw.h"
#include "port/system/control.h"
#include "port/window/cursorimage.h"
#include "port/window/input.h"
#include "port/window/window.h"

namespace {

constexpr POINT kNone{-1, -1};

class DxCursorTest : public dx_testing::DxTest {
protected:
    void TearDown() override {
        mContext.reset();
        mApplication.reset();
        DxTest::TearDown();
    }

    // The application (its clock and listener list) and a context with a display of the depth,
    // on a window at the rectangle.
    void MakeDisplay(bool fullscreen, int bits = 32, RECT at = RECT{0, 0, 640, 480}) {
        mApplication = std::make_unique<TPlatform>();
        mContext = std::make_unique<TDXContext>();
        HWND window = MakeWindow(dx_testing::kPopupStyle, at);
        DWORD flags = fullscreen ? 1 : 1 | CDisplay::kFlagKeepWindow;
        ASSERT_TRUE(mContext->Create(window, fullscreen, 640, 480, bits, flags));
    }

    // A 4 x 4 cursor image: alpha 128, colours that differ per pixel (column in red).
    static std::shared_ptr<TTexture> Image(uint32_t alpha = 0x80) {
        std::shared_ptr<TTexture> texture = TTexture::Create(4, 4, true);
        uint32_t* pixels = nullptr;
        int pitch = 0;
        EXPECT_TRUE(texture->Lock(&pixels, &pitch));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                pixels[y * pitch + x] = alpha << 24 | static_cast<uint32_t>(x * 60 + 20) << 16 |
                                        static_cast<uint32_t>(y * 50 + 30) << 8 | 0x99u;
        texture->Unlock();
        return texture;
    }

    // The surface's bytes, row after row without padding.
    static std::vector<uint8_t> Bytes(IDirectDrawSurface7* surface) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        const size_t row = desc.dwWidth * (desc.ddpfPixelFormat.dwRGBBitCount / 8);
        std::vector<uint8_t> bytes(row * desc.dwHeight);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            std::memcpy(&bytes[y * row], static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch,
                        row);
        surface->Unlock(nullptr);
        return bytes;
    }
    static void Fill(IDirectDrawSurface7* surface) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        const size_t row = desc.dwWidth * (desc.ddpfPixelFormat.dwRGBBitCount / 8);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (size_t x = 0; x < row; ++x)
                static_cast<uint8_t*>(desc.lpSurface)[y * desc.lPitch + x] =
                    static_cast<uint8_t>(x * 7 + y * 3 + 1);
        surface->Unlock(nullptr);
    }
    static int Width(IDirectDrawSurface7* surface) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        surface->GetSurfaceDesc(&desc);
        return static_cast<int>(desc.dwWidth);
    }

    std::unique_ptr<TPlatform> mApplication;
    std::unique_ptr<TDXContext> mContext;
};

// At 32 bits each colour byte is (background x 127 + 128 x component) >> 8; at 16 bits (565)
// each channel is ((((background & mask) x 127) >> 8) + term) & mask. Erasing restores the bytes.
TEST_F(DxCursorTest, DrawnToTheByteAndErasedWithoutATrace) {
    for (int bits : {32, 16}) {
        SCOPED_TRACE(bits);
        MakeDisplay(true, bits);
        IDirectDrawSurface7* front = mContext->GetFrontBuffer();
        Fill(front);
        const std::vector<uint8_t> before = Bytes(front);
        ASSERT_TRUE(mContext->SetMouseImage(Image(), false, 0, 0));
        POINT drawn = mContext->DrawMouse(POINT{10, 20}, false);
        EXPECT_EQ(drawn.x, 10);
        EXPECT_EQ(drawn.y, 20);
        EXPECT_TRUE(mContext->IsCursorDrawn());
        const std::vector<uint8_t> after = Bytes(front);
        const int width = Width(front), bytes = bits / 8;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const size_t at = (static_cast<size_t>(20 + y) * width + 10 + x) * bytes;
                const uint32_t red = x * 60 + 20, green = y * 50 + 30, blue = 0x99;
                if (bits == 32) {
                    EXPECT_EQ(after[at], (before[at] * 127u + 128u * blue) >> 8);
                    EXPECT_EQ(after[at + 1], (before[at + 1] * 127u + 128u * green) >> 8);
                    EXPECT_EQ(after[at + 2], (before[at + 2] * 127u + 128u * red) >> 8);
                } else {
                    const uint32_t dst = before[at] | before[at + 1] << 8;
                    auto channel = [&](uint32_t mask, int n, int shift, uint32_t c) {
                        return ((((dst & mask) * 127u) >> 8) +
                                (((128u * c) >> (16 - n)) << shift)) &
                               mask;
                    };
                    const uint32_t expected = channel(0xF800, 5, 11, red) |
                                              channel(0x07E0, 6, 5, green) |
                                              channel(0x001F, 5, 0, blue);
                    EXPECT_EQ(after[at] | after[at + 1] << 8, expected) << x << "," << y;
                }
            }
        }
        // Nothing outside the cursor changed.
        size_t changed = 0;
        for (size_t i = 0; i < before.size(); ++i)
            changed += before[i] != after[i];
        EXPECT_LE(changed, static_cast<size_t>(16 * bytes));
        mContext->EraseMouse();
        EXPECT_FALSE(mContext->IsCursorDrawn());
        EXPECT_EQ(Bytes(front), before);
        mContext.reset();
        mApplication.reset();
    }
}

// A cursor half outside the frame is cut: only the image's columns inside land, from the right
// part of the image.
TEST_F(DxCursorTest, ClippedAtTheEdgesWithItsSourceCut) {
    MakeDisplay(true);
    IDirectDrawSurface7* back = mContext->GetBackBuffer();
    const int width = Width(back);
    ASSERT_TRUE(mContext->SetMouseImage(Image(0xFF), false, 0, 0));
    struct Case {
        POINT at;
        int firstScreenX, firstImageX, columns;
    } cases[] = {{{-2, 5}, 0, 2, 2}, {{width - 2, 5}, width - 2, 0, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at.x);
        mContext->ClearDevice(D3DCLEAR_TARGET);
        EXPECT_EQ(mContext->DrawMouse(c.at, true).x, c.at.x);
        const std::vector<uint8_t> bytes = Bytes(back);
        for (int column = 0; column < c.columns; ++column) {
            const size_t at = (static_cast<size_t>(5) * width + c.firstScreenX + column) * 4;
            // An opaque pixel: (0 x 0 + 255 x red) >> 8.
            EXPECT_EQ(bytes[at + 2], (255u * ((c.firstImageX + column) * 60 + 20)) >> 8);
        }
    }
    // Wholly outside: nothing drawn.
    EXPECT_EQ(mContext->DrawMouse(POINT{-10, 5}, true).x, -1);
}

TEST_F(DxCursorTest, DrawsTenMillisecondsApartDrawOnce) {
    MakeDisplay(false);
    ASSERT_TRUE(mContext->SetMouseImage(Image(), false, 0, 0));
    RECT bounds = mContext->GetWindowRect();
    SetCursorPos(bounds.left + 30, bounds.top + 40);
    mContext->MoveMouse(POINT{30, 40});
    port::control::AdvanceTime(100);
    EXPECT_EQ(mContext->DrawMouse(kNone, false).x, 30);
    port::control::AdvanceTime(10);
    EXPECT_EQ(mContext->DrawMouse(kNone, false).x, -1);
    port::control::AdvanceTime(6);
    EXPECT_EQ(mContext->DrawMouse(kNone, false).x, 30);
    // Not shown: not drawn, unless forced by a position.
    mContext->EraseMouse();
    port::control::AdvanceTime(100);
    EXPECT_EQ(mContext->DrawMouse(kNone, false).x, -1);
    EXPECT_EQ(mContext->DrawMouse(POINT{5, 6}, false).x, 5);
    EXPECT_TRUE(mContext->IsCursorShown());
}

TEST_F(DxCursorTest, PastTheDesktopsRightEdgeNothingIsDrawn) {
    MakeDisplay(true);
    ASSERT_TRUE(mContext->SetMouseImage(Image(), false, 0, 0));
    IDirectDrawSurface7* front = mContext->GetFrontBuffer();
    const std::vector<uint8_t> before = Bytes(front);
    EXPECT_EQ(mContext->DrawMouse(POINT{mContext->GetDesktopWidth() - 2, 10}, false).x, -1);
    EXPECT_FALSE(mContext->IsCursorDrawn());
    EXPECT_EQ(Bytes(front), before);
}

// In a window the frame is presented with the cursor and the back buffer keeps none of it.
TEST_F(DxCursorTest, WindowedPresentLeavesTheBackBufferClean) {
    MakeDisplay(false);
    ASSERT_TRUE(mContext->SetMouseImage(Image(0xFF), false, 0, 0));
    RECT bounds = mContext->GetWindowRect();
    SetCursorPos(bounds.left + 30, bounds.top + 40);
    mContext->MoveMouse(POINT{30, 40});
    IDirectDrawSurface7* back = mContext->GetBackBuffer();
    Fill(back);
    const std::vector<uint8_t> frame = Bytes(back);
    EXPECT_EQ(mContext->Present(), DD_OK);
    EXPECT_TRUE(mContext->IsCursorDrawn());
    EXPECT_EQ(Bytes(back), frame);
    // The front buffer (the screen) shows the cursor over the frame.
    const std::vector<uint8_t> screen = Bytes(mContext->GetFrontBuffer());
    const int screenWidth = Width(mContext->GetFrontBuffer());
    const size_t at = (static_cast<size_t>(bounds.top + 40) * screenWidth + bounds.left + 30) * 4;
    EXPECT_EQ(screen[at + 2], (255u * 20) >> 8);
}

// A window away from the screen's top left: once a frame with the cursor is on the screen, the
// background goes back where the cursor is on the screen (the window's origin added), whoever
// puts it back: an erase, the next draw after the mouse moved, or the image set again by the
// listener after every surface was lost and restored. Nothing else of the screen changes.
// (Without a window manager the back buffer's bounds are the window's rectangle, so the mouse
// stays where its client position lies inside that rectangle too.)
TEST_F(DxCursorTest, InAWindowTheScreensCursorIsPutBackAtItsScreenPosition) {
    constexpr LONG kLeft = 100, kTop = 50;
    constexpr POINT kMouse{200, 100}, kMoved{300, 150};
    enum class Then { Erase, DrawElsewhere, RestoreAfterLoss };
    for (Then then : {Then::Erase, Then::DrawElsewhere, Then::RestoreAfterLoss}) {
        SCOPED_TRACE(static_cast<int>(then));
        MakeDisplay(false, 32, RECT{kLeft, kTop, kLeft + 640, kTop + 480});
        ASSERT_TRUE(mContext->SetMouseImage(Image(0xFF), false, 0, 0));
        RECT bounds = mContext->GetWindowRect();
        ASSERT_EQ(bounds.left, kLeft);
        ASSERT_EQ(bounds.top, kTop);
        if (then == Then::RestoreAfterLoss) {
            port::control::LoseAllSurfaces();
            ASSERT_EQ(mContext->GetDirectDraw()->RestoreAllSurfaces(), DD_OK);
        }
        SetCursorPos(kLeft + kMouse.x, kTop + kMouse.y);
        mContext->MoveMouse(kMouse);
        IDirectDrawSurface7* front = mContext->GetFrontBuffer();
        IDirectDrawSurface7* back = mContext->GetBackBuffer();
        const int screenWidth = Width(front), frameWidth = Width(back);
        Fill(front);
        Fill(back);
        const std::vector<uint8_t> frame = Bytes(back);
        ASSERT_EQ(mContext->Present(), DD_OK);
        ASSERT_TRUE(mContext->IsCursorDrawn());
        const std::vector<uint8_t> screen = Bytes(front);
        auto onScreen = [&](LONG x, LONG y) {
            return (static_cast<size_t>(kTop + y) * screenWidth + kLeft + x) * 4;
        };
        auto inFrame = [&](LONG x, LONG y) {
            return (static_cast<size_t>(y) * frameWidth + x) * 4;
        };
        ASSERT_NE(screen[onScreen(kMouse.x, kMouse.y) + 2], frame[inFrame(kMouse.x, kMouse.y) + 2]);

        switch (then) {
            case Then::Erase:
                mContext->EraseMouse();
                break;
            case Then::DrawElsewhere:
                SetCursorPos(kLeft + kMoved.x, kTop + kMoved.y);
                mContext->MoveMouse(kMoved);
                port::control::AdvanceTime(100);
                ASSERT_EQ(mContext->DrawMouse(kNone, false).x, kMoved.x);
                break;
            case Then::RestoreAfterLoss:
                ASSERT_NE(mContext->GetListener(), nullptr);
                EXPECT_TRUE(mContext->GetListener()->Execute());
                break;
        }

        // Where the cursor was, the frame is back; the cursor drawn again at the mouse's
        // position (elsewhere, or by the listener on systems before Vista where it was) is left
        // out of the comparison; the rest of the screen is unchanged.
        std::vector<uint8_t> expected = screen;
        for (LONG y = 0; y < 4; ++y)
            for (LONG x = 0; x < 4; ++x)
                for (size_t byte = 0; byte < 3; ++byte)
                    expected[onScreen(kMouse.x + x, kMouse.y + y) + byte] =
                        frame[inFrame(kMouse.x + x, kMouse.y + y) + byte];
        std::vector<uint8_t> after = Bytes(front);
        if (mContext->IsCursorDrawn()) {
            const POINT mouse = mContext->GetMousePosition();
            for (LONG y = 0; y < 4; ++y)
                for (LONG x = 0; x < 4; ++x)
                    for (size_t byte = 0; byte < 4; ++byte)
                        expected[onScreen(mouse.x + x, mouse.y + y) + byte] =
                            after[onScreen(mouse.x + x, mouse.y + y) + byte];
        }
        size_t differing = 0;
        for (size_t i = 0; i < after.size(); ++i)
            differing += (i % 4 != 3) && after[i] != expected[i];
        EXPECT_EQ(differing, 0u);
        mContext.reset();
        mApplication.reset();
    }
}

// Full screen: the frame starts as a copy of the screen with the cursor taken out.
TEST_F(DxCursorTest, FullScreenPrepareFrameErasesTheCursorFromTheCopy) {
    MakeDisplay(true);
    ASSERT_TRUE(mContext->SetMouseImage(Image(0xFF), false, 0, 0));
    SetCursorPos(50, 60);
    mContext->MoveMouse(POINT{50, 60});
    IDirectDrawSurface7* back = mContext->GetBackBuffer();
    Fill(back);
    const std::vector<uint8_t> frame = Bytes(back);
    mContext->Present();  // flips: the screen holds the frame with the cursor
    ASSERT_TRUE(mContext->IsCursorDrawn());
    back = mContext->GetBackBuffer();
    ASSERT_TRUE(mContext->PrepareFrame());
    EXPECT_TRUE(mContext->IsCursorDrawn());
    EXPECT_EQ(Bytes(back), frame);
}

TEST_F(DxCursorTest, ALostBackgroundIsRecoveredAtTheNextPresent) {
    MakeDisplay(true);
    ASSERT_TRUE(mContext->SetMouseImage(Image(), false, 0, 0));
    ASSERT_EQ(mContext->DrawMouse(POINT{10, 10}, false).x, 10);
    port::control::InjectFailure("Blt", static_cast<DWORD>(DDERR_SURFACELOST), 1);
    EXPECT_EQ(mContext->DrawMouse(POINT{12, 10}, false).x, -1);
    EXPECT_TRUE(mContext->AreCursorSurfacesLost());
    // Lost: nothing drawn until the present restores the image.
    EXPECT_EQ(mContext->DrawMouse(POINT{14, 10}, false).x, -1);
    mContext->Present();
    EXPECT_FALSE(mContext->AreCursorSurfacesLost());
    EXPECT_EQ(mContext->DrawMouse(POINT{16, 10}, false).x, 16);
}

TEST_F(DxCursorTest, WithoutADeviceTheImageIsLetGo) {
    mApplication = std::make_unique<TPlatform>();
    TDXContext context;
    std::shared_ptr<TTexture> image = Image();
    std::weak_ptr<TTexture> watch = image;
    EXPECT_FALSE(context.SetMouseImage(std::move(image), false, 0, 0));
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(context.GetCursorTexture(), nullptr);
}

TEST_F(DxCursorTest, TwoOutOfVideoMemoryAnswersLeaveTheCursorUnavailableWithoutAnError) {
    MakeDisplay(true);
    port::control::InjectFailure("CreateSurface", static_cast<DWORD>(DDERR_OUTOFVIDEOMEMORY), 2);
    mLog.Clear();
    EXPECT_TRUE(mContext->SetMouseImage(Image(), false, 0, 0));
    EXPECT_TRUE(mContext->AreCursorSurfacesUnavailable());
    EXPECT_EQ(LogIndex("DX Error"), -1);
    EXPECT_EQ(mContext->DrawMouse(POINT{10, 10}, false).x, -1);
    // One answer only: the retry after the eviction succeeds.
    port::control::InjectFailure("CreateSurface", static_cast<DWORD>(DDERR_OUTOFVIDEOMEMORY), 1);
    EXPECT_TRUE(mContext->SetMouseImage(Image(), false, 0, 0));
    EXPECT_FALSE(mContext->AreCursorSurfacesUnavailable());
    EXPECT_EQ(mContext->DrawMouse(POINT{10, 10}, false).x, 10);
}

// Loses the cursor's surfaces: the background's Blt answers DDERR_SURFACELOST.
void LoseSurfaces(TDXContext& context) {
    ASSERT_EQ(context.DrawMouse(POINT{10, 10}, false).x, 10);
    port::control::InjectFailure("Blt", static_cast<DWORD>(DDERR_SURFACELOST), 1);
    ASSERT_EQ(context.DrawMouse(POINT{12, 10}, false).x, -1);
    ASSERT_TRUE(context.AreCursorSurfacesLost());
}

TEST_F(DxCursorTest, TheListenerRebuildsTheImageAfterTheSurfacesWereLost) {
    MakeDisplay(true);
    ASSERT_TRUE(mContext->SetMouseImage(Image(), false, 0, 0));
    LoseSurfaces(*mContext);
    MouseTextureListener* listener = mContext->GetListener();
    ASSERT_NE(listener, nullptr);
    EXPECT_TRUE(listener->Execute());
    EXPECT_FALSE(mContext->AreCursorSurfacesLost());
    EXPECT_EQ(mContext->DrawMouse(POINT{16, 10}, false).x, 16);
}

// A restore entered while one runs (here: waiting for the mouse mutex another thread holds) is
// logged and does nothing; the first one then does the work.
TEST_F(DxCursorTest, ASecondConcurrentRestoreIsLoggedAndDoesNothing) {
    MakeDisplay(true);
    ASSERT_TRUE(mContext->SetMouseImage(Image(), false, 0, 0));
    LoseSurfaces(*mContext);
    mLog.Clear();
    std::thread first;
    {
        TMouseLock held(mContext->GetMouseMutex(), true);
        first = std::thread([this] { mContext->RestoreMouseImage(); });
        while (!TDXContext::IsRestoringMouseImage())
            std::this_thread::yield();
        mContext->RestoreMouseImage();  // this thread owns the mutex: only the flag stops it
        EXPECT_TRUE(Logged("Second concurrent call to RestoreMouseImage"));
        EXPECT_TRUE(mContext->AreCursorSurfacesLost());
    }
    first.join();
    EXPECT_FALSE(TDXContext::IsRestoringMouseImage());
    EXPECT_FALSE(mContext->AreCursorSurfacesLost());
}

// Which image is drawn: a hardware image outside embedded mode is drawn in software from its
// own list once a software image exists; an empty hardware image brings the normal one back.
TEST_F(DxCursorTest, TheAlternateImageRules) {
    MakeDisplay(true);
    IDirectDrawSurface7* back = mContext->GetBackBuffer();
    const int width = Width(back);
    std::shared_ptr<TTexture> white = TTexture::Create(4, 4, true);
    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(white->Lock(&pixels, &pitch));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            pixels[y * pitch + x] = 0xFFFFFFFF;
    white->Unlock();
    // Red byte of the pixel at (20, 20) after drawing into a cleared back buffer; -1: no draw.
    auto drawnRed = [&]() -> int {
        mContext->ClearDevice(D3DCLEAR_TARGET);
        if (mContext->DrawMouse(POINT{20, 20}, true).x == -1) return -1;
        return Bytes(back)[(static_cast<size_t>(20) * width + 20) * 4 + 2];
    };
    const int software = (255 * 20) >> 8, hardware = 254;

    struct Step {
        const char* what;
        std::shared_ptr<TTexture> texture;
        bool hardware;
        int red;
    } steps[] = {
        {"a hardware image alone is not drawn", white, true, -1},
        {"a software image beside it: the hardware one stays drawn", Image(0xFF), false, hardware},
        {"an empty hardware image brings the normal one back", nullptr, true, software},
        {"a new software image is drawn", Image(0xFF), false, software},
        {"a hardware image again takes over", white, true, hardware},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_TRUE(mContext->SetMouseImage(step.texture, step.hardware, 0, 0));
        EXPECT_EQ(drawnRed(), step.red);
    }
}

// Embedded, a hardware image becomes a 32 x 32 Windows cursor: the 16 x 16 texture's pixels,
// transparent black beyond them (ASan: nothing past the texture is read); the class cursor
// follows visibility.
TEST_F(DxCursorTest, EmbeddedTheHardwareCursorIsAWindowsCursorFromTheTexture) {
    MakeDisplay(false);
    TPlatform::SetConfig("activex", "1");
    std::shared_ptr<TTexture> image = TTexture::Create(16, 16, true);
    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(image->Lock(&pixels, &pitch));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels[y * pitch + x] = 0xFF000000u | static_cast<uint32_t>(y * 16 + x + 1);
    image->Unlock();
    ASSERT_TRUE(mContext->SetMouseImage(image, true, 3, 4));
    bool shown = false;
    HCURSOR cursor = port::control::ShownCursor(&shown);
    ASSERT_NE(cursor, nullptr);
    std::shared_ptr<const port::CursorImage> made = port::LookupCursorImage(cursor);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->width, 32);
    EXPECT_EQ(made->height, 32);
    EXPECT_EQ(made->hotX, 3);
    EXPECT_EQ(made->hotY, 4);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint32_t expected =
                x < 16 && y < 16 ? 0xFF000000u | static_cast<uint32_t>(y * 16 + x + 1) : 0u;
            ASSERT_EQ(made->argb[static_cast<size_t>(y) * 32 + x], expected) << x << "," << y;
        }
    HWND window = mContext->GetDisplay().GetWindow();
    EXPECT_EQ(GetClassLongA(window, GCL_HCURSOR),
              static_cast<DWORD>(reinterpret_cast<intptr_t>(cursor)));
    mContext->ShowCursor(false);
    EXPECT_EQ(GetClassLongA(window, GCL_HCURSOR), 0u);
    mContext->ShowCursor(true);
    EXPECT_EQ(GetClassLongA(window, GCL_HCURSOR),
              static_cast<DWORD>(reinterpret_cast<intptr_t>(cursor)));
    // No software drawing meanwhile: the position is only followed.
    EXPECT_EQ(mContext->DrawMouse(POINT{5, 5}, false).x, -1);
    TPlatform::SetConfig("activex", "0");
}

// From Windows Vista on, a forced draw happens only in full screen (not hosted). The version
// answer is kept per process, so the check runs in a fresh process of its own.
TEST_F(DxCursorTest, OnVistaAForcedDrawHappensOnlyInFullScreen) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            port::control::SetOsVersion(6, 0, 6000);
            MakeDisplay(false);
            bool windowedRefused = mContext->SetMouseImage(Image(), false, 0, 0) &&
                                   mContext->DrawMouse(POINT{10, 10}, false).x == -1;
            mContext.reset();
            mApplication.reset();
            MakeDisplay(true);
            bool fullScreenDrawn = mContext->SetMouseImage(Image(), false, 0, 0) &&
                                   mContext->DrawMouse(POINT{10, 10}, false).x == 10;
            std::_Exit(windowedRefused && fullScreenDrawn ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
