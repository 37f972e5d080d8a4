#include "smokewindow.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "port/window/input.h"
#include "port/window/messages.h"
#include "port/window/paint.h"
#include "port/window/queue.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace smoke {
namespace {

bool gQuitTaken = false;
// The outer size the window keeps when its size is locked.
int gOuterWidth = 0;
int gOuterHeight = 0;

void Print(UINT message, WPARAM wParam, LPARAM lParam) {
    std::printf("%-20s wParam 0x%llx lParam 0x%llx\n", MessageName(message),
                static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
    std::fflush(stdout);
}

LRESULT SmokeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SeenMessages().push_back({message, wParam, lParam});
    if (Options().print) Print(message, wParam, lParam);
    switch (message) {
        case WM_WINDOWPOSCHANGING:
            if (Options().lockSize) {
                auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
                pos->cx = gOuterWidth;
                pos->cy = gOuterHeight;
            }
            break;
        case WM_LBUTTONDOWN:
            if (Options().captureDrags) SetCapture(window);
            break;
        case WM_LBUTTONUP:
            if (Options().captureDrags) ReleaseCapture();
            break;
        case WM_CLOSE:
            if (Options().keepOpen) return 0;
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

SmokeOptions& Options() {
    static SmokeOptions options;
    return options;
}

std::vector<Seen>& SeenMessages() {
    static std::vector<Seen> seen;
    return seen;
}

HWND OpenSmokeWindow(const SmokeOptions& options) {
    Options() = options;
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SmokeProc;
    windowClass.hCursor = nullptr;
    windowClass.lpszClassName = u"UmbravaSmoke";
    if (RegisterClassW(&windowClass) == 0) return nullptr;
    constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT outer{kClientX, kClientY, kClientX + kClientWidth, kClientY + kClientHeight};
    AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
    gOuterWidth = outer.right - outer.left;
    gOuterHeight = outer.bottom - outer.top;
    HWND window =
        CreateWindowExW(0, u"UmbravaSmoke", u"Umbrava smoke", kStyle, outer.left, outer.top,
                        gOuterWidth, gOuterHeight, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) return nullptr;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                gQuitTaken = true;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        bool finished = done();
        if (finished || std::chrono::steady_clock::now() >= end) return finished;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void PumpFor(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

bool QuitTaken() {
    return gQuitTaken;
}

const char* MessageName(UINT message) {
    switch (message) {
#define SMOKE_NAME(name) \
    case name:           \
        return #name;
        SMOKE_NAME(WM_CREATE)
        SMOKE_NAME(WM_DESTROY)
        SMOKE_NAME(WM_MOVE)
        SMOKE_NAME(WM_SIZE)
        SMOKE_NAME(WM_ACTIVATE)
        SMOKE_NAME(WM_SETFOCUS)
        SMOKE_NAME(WM_KILLFOCUS)
        SMOKE_NAME(WM_PAINT)
        SMOKE_NAME(WM_CLOSE)
        SMOKE_NAME(WM_ERASEBKGND)
        SMOKE_NAME(WM_SHOWWINDOW)
        SMOKE_NAME(WM_ACTIVATEAPP)
        SMOKE_NAME(WM_SETCURSOR)
        SMOKE_NAME(WM_MOUSEACTIVATE)
        SMOKE_NAME(WM_WINDOWPOSCHANGING)
        SMOKE_NAME(WM_WINDOWPOSCHANGED)
        SMOKE_NAME(WM_NCCREATE)
        SMOKE_NAME(WM_NCDESTROY)
        SMOKE_NAME(WM_NCHITTEST)
        SMOKE_NAME(WM_KEYDOWN)
        SMOKE_NAME(WM_KEYUP)
        SMOKE_NAME(WM_CHAR)
        SMOKE_NAME(WM_SYSKEYDOWN)
        SMOKE_NAME(WM_SYSKEYUP)
        SMOKE_NAME(WM_SYSCOMMAND)
        SMOKE_NAME(WM_MOUSEMOVE)
        SMOKE_NAME(WM_LBUTTONDOWN)
        SMOKE_NAME(WM_LBUTTONUP)
        SMOKE_NAME(WM_RBUTTONDOWN)
        SMOKE_NAME(WM_RBUTTONUP)
        SMOKE_NAME(WM_MBUTTONDOWN)
        SMOKE_NAME(WM_MBUTTONUP)
        SMOKE_NAME(WM_MOUSEWHEEL)
        SMOKE_NAME(WM_CAPTURECHANGED)
        SMOKE_NAME(WM_MOUSELEAVE)
        SMOKE_NAME(WM_DISPLAYCHANGE)
#undef SMOKE_NAME
        default: {
            static char number[16];
            std::snprintf(number, sizeof number, "0x%04X", message);
            return number;
        }
    }
}

}  // namespace smoke
