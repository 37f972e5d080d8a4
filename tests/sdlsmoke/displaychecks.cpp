#include "displaychecks.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "port/display/bitmap.h"
#include "port/display/control.h"
#include "port/display/ddraw.h"
#include "port/window/cursor.h"
#include "port/window/input.h"
#include "port/window/messages.h"
#include "port/window/windowpos.h"
#include "smokeexpect.h"
#include "smokescene.h"
#include "smokewindow.h"

namespace smoke {
namespace {

using testing_support::ArgbImage;
using testing_support::XSession;
using testing_support::XWindowId;

// The Xvfb screen of the tests, and the full-screen mode shown on it.
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 720;
constexpr int kModeWidth = 800;
constexpr int kModeHeight = 600;
// 800 x 600 scaled to fit 1280 x 720: 960 x 720, bars of 160 left and right.
constexpr int kScaledLeft = 160;
constexpr int kScaledWidth = 960;

DDSURFACEDESC2 Desc(DWORD fields, DWORD caps) {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = fields;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

POINT ClientOrigin(HWND window) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

RECT ClientOnScreen(HWND window) {
    POINT origin = ClientOrigin(window);
    return RECT{origin.x, origin.y, origin.x + kClientWidth, origin.y + kClientHeight};
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", value & 0xFFFFFF);
    return text;
}

// Where the scene shows in an image: at (left, top), scaled to width x height.
struct Placed {
    int left;
    int top;
    int width;
    int height;
};

// The probes of the scene that fall inside the image, checked; "" when all match, else the first
// that does not. *count gets how many were checked.
std::string SceneMismatch(const ArgbImage& image, const Placed& at, int* count = nullptr) {
    int checked = 0;
    for (const Probe& probe : SceneProbes()) {
        int x = at.left + static_cast<int>(probe.x * at.width);
        int y = at.top + static_cast<int>(probe.y * at.height);
        if (x < 0 || y < 0 || x >= image.width || y >= image.height) continue;
        ++checked;
        uint32_t pixel = image.At(x, y);
        if (!Matches(probe, pixel)) {
            if (count != nullptr) *count = checked;
            return std::string(probe.what) + " at (" + std::to_string(x) + ", " +
                   std::to_string(y) + ") is " + Hex(pixel);
        }
    }
    if (count != nullptr) *count = checked;
    return checked == 0 ? "no probe on the image" : "";
}

// Pumps until the grab of a window shows the scene (at most kWait); the last grab in *image,
// the mismatch (or "") answered.
std::string WaitForScene(XSession& x, XWindowId window, const Placed& at, ArgbImage* image) {
    std::string why;
    PumpUntil(
        [&] {
            *image = x.Grab(window);
            why = SceneMismatch(*image, at);
            return why.empty();
        },
        kWait);
    return why;
}

void WritePng(const ArgbImage& image, const char* path) {
    Expect(testing_support::WriteArgbPng(image, path),
           std::string("the grab is written to ") + path);
}

bool Black(uint32_t pixel) {
    return (pixel & 0xFFFFFF) == 0;
}

// The windowed display: the desktop as primary, clipped to the window, and a back buffer of the
// client area's size that the scene is drawn into and blitted from.
struct WindowedDisplay {
    IDirectDraw7* draw = nullptr;
    IDirectDrawSurface7* front = nullptr;
    IDirectDrawSurface7* back = nullptr;
    SmokeScene scene;

    bool Open(HWND window) {
        if (DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&draw), IID_IDirectDraw7,
                               nullptr) != DD_OK ||
            draw->SetCooperativeLevel(window, DDSCL_NORMAL) != DD_OK) {
            return false;
        }
        DDSURFACEDESC2 desc = Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
        if (draw->CreateSurface(&desc, &front, nullptr) != DD_OK) return false;
        IDirectDrawClipper* clipper = nullptr;
        if (draw->CreateClipper(0, &clipper, nullptr) != DD_OK) return false;
        bool clipped = clipper->SetHWnd(0, window) == DD_OK && front->SetClipper(clipper) == DD_OK;
        clipper->Release();
        if (!clipped) return false;
        desc = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT,
                    DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY);
        desc.dwWidth = kClientWidth;
        desc.dwHeight = kClientHeight;
        if (draw->CreateSurface(&desc, &back, nullptr) != DD_OK) return false;
        return scene.Open(draw, back, kClientWidth, kClientHeight);
    }

    // Draws the scene and blits it onto the window's client area.
    bool Show(HWND window) {
        RECT onScreen = ClientOnScreen(window);
        return scene.Draw() && front->Blt(&onScreen, back, nullptr, DDBLT_WAIT, nullptr) == DD_OK;
    }

    // The surfaces go; the DirectDraw object stays.
    void CloseSurfaces() {
        scene.Close();
        if (back != nullptr) back->Release();
        if (front != nullptr) front->Release();
        back = nullptr;
        front = nullptr;
    }
};

void CheckWindowed(XSession& x, HWND window, XWindowId gameWindow, WindowedDisplay& display) {
    Expect(display.Show(window), "the scene is drawn by the device and blitted onto the primary");
    ArgbImage grab;
    std::string why = WaitForScene(x, gameWindow, Placed{0, 0, kClientWidth, kClientHeight}, &grab);
    Expect(why.empty(),
           "the X server shows the scene in the window: background, Gouraud triangle, textured "
           "quad with alpha " +
               why);
    WritePng(grab, "sdl_smoke_window.png");
}

void CheckWindowedFocus(XSession& x, HWND window, XWindowId gameWindow, WindowedDisplay& display) {
    POINT origin = ClientOrigin(window);
    XWindowId other =
        x.MakeWindow(origin.x + kClientWidth + 20, origin.y + 300, 100, 100, 0x996633);
    size_t from = Mark();
    x.Focus(other);
    bool away = WaitFor(from, WM_ACTIVATEAPP, 0);
    Expect(away && display.front->IsLost() == DD_OK && display.back->IsLost() == DD_OK &&
               display.draw->TestCooperativeLevel() == DD_OK,
           "windowed, the focus to another X window loses nothing");
    from = Mark();
    x.Focus(gameWindow);
    Expect(WaitFor(from, WM_ACTIVATEAPP, 1), "the focus back: WM_ACTIVATEAPP(1)");
}

void CheckControlPlaneLoss(XSession& x, HWND window, XWindowId gameWindow,
                           WindowedDisplay& display) {
    port::control::LoseAllSurfaces();
    Expect(display.front->IsLost() == DDERR_SURFACELOST,
           "the control plane's lose-all: IsLost answers DDERR_SURFACELOST");
    // A window of another program passes over and goes: the window shows again, and keeps the
    // frame it had.
    POINT origin = ClientOrigin(window);
    XWindowId cover = x.MakeWindow(origin.x + 200, origin.y + 150, 300, 200, 0xFFFFFF);
    PumpFor(30);
    x.Move(cover, kScreenWidth - 40, kScreenHeight - 40);
    x.Focus(gameWindow);
    PumpFor(100);
    ArgbImage grab = x.Grab(gameWindow);
    std::string why = SceneMismatch(grab, Placed{0, 0, kClientWidth, kClientHeight});
    Expect(why.empty(), "while lost, the window keeps its last frame " + why);
    Expect(display.draw->RestoreAllSurfaces() == DD_OK && display.front->IsLost() == DD_OK &&
               display.Show(window),
           "RestoreAllSurfaces, then the scene drawn and blitted again");
    why = WaitForScene(x, gameWindow, Placed{0, 0, kClientWidth, kClientHeight}, &grab);
    Expect(why.empty(), "restored and redrawn, the window shows the scene " + why);
}

void CheckWorkerBlit(XSession& x, HWND window, XWindowId gameWindow, WindowedDisplay& display) {
    POINT origin = ClientOrigin(window);
    RECT fill{origin.x + 20, origin.y + 400, origin.x + 120, origin.y + 460};
    std::atomic<bool> blitted{false};
    HRESULT result = E_FAIL;
    std::thread worker([&] {
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        fx.dwFillColor = 0x00FF00FF;
        result = display.front->Blt(&fill, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        blitted = true;
    });
    // The main thread only takes its messages.
    ArgbImage grab;
    bool shown = PumpUntil(
        [&] {
            if (!blitted) return false;
            grab = x.Grab(gameWindow);
            return grab.width > 70 && grab.height > 430 && grab.At(70, 430) == 0xFFFF00FF;
        },
        kWait);
    worker.join();
    Expect(result == DD_OK && shown,
           "a second thread blits onto the front buffer while the main thread only takes its "
           "messages: the window shows the blit");
    display.Show(window);
}

void CheckOffScreen(XSession& x, HWND window, XWindowId gameWindow, WindowedDisplay& display) {
    POINT before = ClientOrigin(window);
    constexpr int kLeft = -200;
    constexpr int kTop = 150;
    x.Move(gameWindow, kLeft, kTop);
    bool followed = PumpUntil(
        [&] {
            POINT now = ClientOrigin(window);
            return now.x == kLeft && now.y == kTop;
        },
        kWait);
    // The program paints its new place, as after WM_MOVE.
    bool shown = followed && display.Show(window);
    ArgbImage grab;
    std::string why =
        WaitForScene(x, x.Root(), Placed{kLeft, kTop, kClientWidth, kClientHeight}, &grab);
    Expect(shown && why.empty(),
           "moved to (-200, 150), partly off the screen: the visible part shows the scene " + why);
    WritePng(grab, "sdl_smoke_offscreen.png");
    x.Move(gameWindow, before.x, before.y);
    PumpUntil(
        [&] {
            POINT now = ClientOrigin(window);
            return now.x == before.x && now.y == before.y;
        },
        kWait);
    display.Show(window);
}

// The displayed mode's WM_DISPLAYCHANGE since from: bits 32, the given size.
bool DisplayChanged(size_t from, int width, int height) {
    for (long i = Find(from, WM_DISPLAYCHANGE); i >= 0; i = Find(i + 1, WM_DISPLAYCHANGE)) {
        if (At(i).wParam == 32 && At(i).lParam == MAKELPARAM(width, height)) return true;
    }
    return false;
}

bool Covers(XSession& x, XWindowId window, int left, int top, int width, int height) {
    int gotLeft = 0, gotTop = 0, gotWidth = 0, gotHeight = 0;
    return x.Geometry(window, &gotLeft, &gotTop, &gotWidth, &gotHeight) && gotLeft == left &&
           gotTop == top && gotWidth == width && gotHeight == height;
}

void CheckFullScreen(XSession& x, HWND window, XWindowId gameWindow, WindowedDisplay& display) {
    IDirectDraw7* draw = display.draw;
    display.CloseSurfaces();
    POINT origin = ClientOrigin(window);
    size_t from = Mark();
    bool exclusive =
        draw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) == DD_OK &&
        draw->SetDisplayMode(kModeWidth, kModeHeight, 32, 0, 0) == DD_OK;
    PumpFor(10);
    Expect(exclusive && DisplayChanged(from, kModeWidth, kModeHeight),
           "exclusive level and 800 x 600 x 32: WM_DISPLAYCHANGE (32, 800 x 600)");
    DDSURFACEDESC2 desc =
        Desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
             DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE);
    desc.dwBackBufferCount = 1;
    IDirectDrawSurface7* front = nullptr;
    IDirectDrawSurface7* back = nullptr;
    DDSCAPS2 backCaps{};
    backCaps.dwCaps = DDSCAPS_BACKBUFFER;
    SmokeScene scene;
    bool made = draw->CreateSurface(&desc, &front, nullptr) == DD_OK &&
                front->GetAttachedSurface(&backCaps, &back) == DD_OK &&
                scene.Open(draw, back, kModeWidth, kModeHeight);
    bool flipped = made && scene.Draw() && front->Flip(nullptr, DDFLIP_WAIT) == DD_OK;
    Expect(flipped,
           "the flip chain and device made, the scene drawn and flipped " + scene.WhyNot());
    if (!made) {
        if (back != nullptr) back->Release();
        if (front != nullptr) front->Release();
        draw->RestoreDisplayMode();
        draw->SetCooperativeLevel(window, DDSCL_NORMAL);
        return;
    }

    bool covers =
        PumpUntil([&] { return Covers(x, gameWindow, 0, 0, kScreenWidth, kScreenHeight); }, kWait);
    Expect(covers, "the full-screen window covers the whole screen (0, 0, 1280 x 720)");
    const Placed scaled{kScaledLeft, 0, kScaledWidth, kScreenHeight};
    ArgbImage grab;
    std::string why = WaitForScene(x, x.Root(), scaled, &grab);
    Expect(why.empty(), "the scene shows scaled to 960 x 720 at x = 160 " + why);
    bool bars = grab.width == kScreenWidth && grab.height == kScreenHeight;
    for (int y = 0; bars && y < kScreenHeight; y += 9) {
        for (int x0 : {0, kScaledLeft - 1, kScaledLeft + kScaledWidth, kScreenWidth - 1})
            bars = bars && Black(grab.At(x0, y));
        bars = bars && !Black(grab.At(kScaledLeft, y)) &&
               !Black(grab.At(kScaledLeft + kScaledWidth - 1, y));
    }
    Expect(bars, "black bars of 160 pixels left and right, the scene between them");
    WritePng(grab, "sdl_smoke_fullscreen.png");

    // The pointer, mapped from the screen into the mode and back.
    x.MovePointer(kScreenWidth / 2, kScreenHeight / 2);
    PumpFor(30);
    from = Mark();
    x.Click();
    WaitFor(from, WM_LBUTTONUP);
    long press = Find(from, WM_LBUTTONDOWN);
    POINT cursor{};
    GetCursorPos(&cursor);
    Expect(
        press >= 0 &&
            At(press).lParam == MAKELPARAM(kModeWidth / 2 - origin.x, kModeHeight / 2 - origin.y) &&
            cursor.x == kModeWidth / 2 && cursor.y == kModeHeight / 2,
        "a click at the screen's centre arrives at (400, 300) of the mode");
    SetCursorPos(200, 150);
    PumpFor(30);
    int pointerX = 0, pointerY = 0;
    x.PointerPosition(&pointerX, &pointerY);
    GetCursorPos(&cursor);
    Expect(pointerX == kScaledLeft + 240 && pointerY == 180 && cursor.x == 200 && cursor.y == 150,
           "SetCursorPos(200, 150) puts the X pointer at (400, 180), where the mode's (200, 150) "
           "shows (at (" +
               std::to_string(pointerX) + ", " + std::to_string(pointerY) + "))");

    // Focus loss in full screen. Xvfb has no window manager to minimise the window: the request
    // to one is what shows.
    XWindowId other = x.MakeWindow(40, 40, 120, 90, 0x669933);
    x.WatchWindowManagerRequests();
    from = Mark();
    x.Focus(other);
    bool away = WaitFor(from, WM_ACTIVATEAPP, 0);
    Expect(away && front->IsLost() == DDERR_SURFACELOST && back->IsLost() == DDERR_SURFACELOST &&
               draw->TestCooperativeLevel() == DDERR_NOEXCLUSIVEMODE,
           "full screen, the focus to another X window: WM_ACTIVATEAPP(0), IsLost "
           "DDERR_SURFACELOST, TestCooperativeLevel DDERR_NOEXCLUSIVEMODE");
    bool iconify = PumpUntil([&] { return x.IconifyRequested(gameWindow); }, kWait);
    Expect(iconify, "the full-screen window asks to be minimised");
    from = Mark();
    x.Focus(gameWindow);
    bool back1 = WaitFor(from, WM_ACTIVATEAPP, 1);
    Expect(back1 && draw->TestCooperativeLevel() == DD_OK && front->IsLost() == DDERR_SURFACELOST,
           "the focus back: TestCooperativeLevel DD_OK, the surfaces still lost");
    Expect(draw->RestoreAllSurfaces() == DD_OK && front->IsLost() == DD_OK &&
               back->IsLost() == DD_OK && scene.Draw() &&
               front->Flip(nullptr, DDFLIP_WAIT) == DD_OK,
           "RestoreAllSurfaces restores them; the scene drawn and flipped again");
    why = WaitForScene(x, x.Root(), scaled, &grab);
    Expect(why.empty(), "the screen shows the scene again " + why);

    from = Mark();
    bool restored = draw->RestoreDisplayMode() == DD_OK;
    bool placed = PumpUntil(
        [&] { return Covers(x, gameWindow, origin.x, origin.y, kClientWidth, kClientHeight); },
        kWait);
    Expect(restored && DisplayChanged(from, kScreenWidth, kScreenHeight) && placed,
           "RestoreDisplayMode: WM_DISPLAYCHANGE (32, 1280 x 720), the window back at its size "
           "and place");
    scene.Close();
    back->Release();
    front->Release();
    Expect(draw->SetCooperativeLevel(window, DDSCL_NORMAL) == DD_OK, "back to the normal level");
}

HRESULT CollectMode(DDSURFACEDESC2* desc, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(
        std::to_string(desc->dwWidth) + "x" + std::to_string(desc->dwHeight) + "x" +
        std::to_string(desc->ddpfPixelFormat.dwRGBBitCount));
    return DDENUMRET_OK;
}

// The modes of the real 1280 x 720 screen, its refresh rate and its vertical blank.
void CheckModesAndRefresh(IDirectDraw7* draw) {
    std::vector<std::string> modes;
    draw->EnumDisplayModes(0, nullptr, &modes, &CollectMode);
    std::string listed;
    for (const std::string& mode : modes)
        listed += " " + mode;
    Expect(modes == std::vector<std::string>{"640x480x16", "640x480x32", "800x600x16", "800x600x32",
                                             "1280x720x16", "1280x720x32"},
           "the modes are the common sizes that fit the screen and the screen's own, at 16 and 32 "
           "bits:" +
               listed);
    DWORD hertz = 0;
    draw->GetMonitorFrequency(&hertz);
    // Each wait ends at the start of a refresh period after it began: three in a row end more
    // than one period apart.
    draw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    auto first = std::chrono::steady_clock::now();
    draw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    draw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    auto apart = std::chrono::steady_clock::now() - first;
    Expect(hertz > 0 && apart >= std::chrono::microseconds(1000000 / (hertz > 0 ? hertz : 1)),
           "GetMonitorFrequency gives " + std::to_string(hertz) +
               " Hz; WaitForVerticalBlank waits for the next refresh period");
}

void CheckCursor(XSession& x, HWND window) {
    constexpr int kSide = 32;
    constexpr int kHotX = 5;
    constexpr int kHotY = 7;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSide;
    info.bmiHeader.biHeight = -kSide;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HBITMAP mask = CreateBitmap(kSide, kSide, 1, 1, nullptr);
    std::vector<uint32_t> image(kSide * kSide);
    for (int y = 0; y < kSide; ++y) {
        for (int x0 = 0; x0 < kSide; ++x0) {
            uint32_t pixel = x0 < kSide / 2 ? 0xFFFF0000 : 0xFF00C000;  // red | green
            if (y >= 24) pixel = 0x80FFFFFF;                            // half-transparent white
            if (x0 >= 24 && y < 8) pixel = 0;                           // transparent
            image[y * kSide + x0] = pixel;
        }
    }
    if (bits != nullptr) std::memcpy(bits, image.data(), image.size() * 4);
    ICONINFO icon{FALSE, kHotX, kHotY, mask, colour};
    HCURSOR cursor = CreateIconIndirect(&icon);
    POINT origin = ClientOrigin(window);
    x.MovePointer(origin.x + 300, origin.y + 200);
    PumpFor(30);
    SetCursor(cursor);
    ArgbImage shown;
    std::string mismatch;
    int hotX = -1, hotY = -1;
    bool same = PumpUntil(
        [&] {
            if (!x.CursorImage(&shown, &hotX, &hotY) || shown.width != kSide ||
                shown.height != kSide || hotX != kHotX || hotY != kHotY) {
                return false;
            }
            // The server keeps the colours premultiplied by the alpha.
            for (size_t i = 0; i < image.size(); ++i) {
                uint32_t a = image[i] >> 24;
                uint32_t expected = a << 24;
                for (int shift : {16, 8, 0})
                    expected |= (((image[i] >> shift) & 0xFF) * a + 127) / 255 << shift;
                if (shown.pixels[i] != expected) {
                    mismatch = "pixel " + std::to_string(i) + " is " + Hex(shown.pixels[i] >> 8) +
                               Hex(shown.pixels[i]).substr(4) + ", not " + Hex(expected >> 8) +
                               Hex(expected).substr(4);
                    return false;
                }
            }
            return true;
        },
        kWait);
    Expect(cursor != nullptr && same,
           "a 32 x 32 cursor from CreateIconIndirect is what the X server shows, image and hot "
           "spot (5, 7) (shown " +
               std::to_string(shown.width) + " x " + std::to_string(shown.height) + ", hot spot (" +
               std::to_string(hotX) + ", " + std::to_string(hotY) + ") " + mismatch + ")");
    SetCursor(nullptr);
    DestroyCursor(cursor);
    DeleteObject(colour);
    DeleteObject(mask);
}

}  // namespace

void RunDisplayChecks(XSession& x, HWND window, XWindowId gameWindow) {
    WindowedDisplay display;
    bool opened = display.Open(window);
    Expect(opened,
           "a windowed DirectDraw display with a clipper, a Direct3D device and a texture " +
               display.scene.WhyNot());
    if (opened) {
        CheckModesAndRefresh(display.draw);
        CheckWindowed(x, window, gameWindow, display);
        CheckWindowedFocus(x, window, gameWindow, display);
        CheckControlPlaneLoss(x, window, gameWindow, display);
        CheckWorkerBlit(x, window, gameWindow, display);
        CheckOffScreen(x, window, gameWindow, display);
        CheckFullScreen(x, window, gameWindow, display);
    }
    display.CloseSurfaces();
    if (display.draw != nullptr) display.draw->Release();
    CheckCursor(x, window);
}

}  // namespace smoke
