// The main window's procedure and the activation it keeps: TWin32Platform::WindowProc,
// SetActive and OnActivateApp. The procedure runs on the main thread, under the event pump's
// dispatch (eventpump.cpp) or a direct send; the flags it raises are turned into events by the
// pump's next turns.
#include "audio/soundmanager.h"
#include "math/rect.h"
#include "platform/display/dxcontext.h"
#include "platform/display/osversion.h"
#include "platform/draw/renderer.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "platform/windowsystemhooks.h"
#include "port/system/process.h"
#include "port/window/input.h"
#include "port/window/menu.h"
#include "port/window/metrics.h"
#include "port/window/queue.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace {

// Process-wide: the window went off screen (minimised or moved away), so coming back on screen
// activates the application again.
bool gOffScreen = false;

// Beyond this a window counts as off screen (minimised windows sit at -32000).
constexpr int kOffScreenLimit = -10000;

constexpr UINT WM_USER_HOST_PASS = WM_USER + 2;
constexpr UINT WM_USER_QUIET = WM_USER + 100;

// The application object the window data (index 0) holds; null before the window's creation
// stored it and after the teardown cleared it. A window the teardown leaves alive (the test
// harness's own window playing the host) keeps the old value: only the living application
// object counts.
TPlatform* ApplicationOf(HWND window) {
    TPlatform* current = TPlatform::GetInstance();
    if (current == nullptr) {
        return nullptr;
    }
    bool unicode = current->GetPlatform()->IsUnicodeMode();
    LONG_PTR data = unicode ? GetWindowLongW(window, 0) : GetWindowLongA(window, 0);
    return reinterpret_cast<TPlatform*>(data) == current ? current : nullptr;
}

LRESULT Default(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TPlatform* current = TPlatform::GetInstance();
    if (current != nullptr && current->GetPlatform()->IsUnicodeMode()) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool IsDisplayFullscreen(TWin32Platform* platform) {
    TPlatformData* display = platform->GetPlatformData();
    return display != nullptr && display->IsFullscreen();
}

// The window's size follows the game's viewport: the frame may not be dragged to another size.
// The version is asked each time (not the kept answer of IsWindowsXPOrLater): it is cheap, and
// tests change it within one process.
void LockWindowSize(TWin32Platform* platform, WINDOWPOS* position) {
    if (platform->IsHostedMode() || platform->IsEmbedded() || !IsXPOrLaterVersion(GetVersion()) ||
        (position->flags & SWP_NOSIZE) != 0) {
        return;
    }
    TPlatformData* display = platform->GetPlatformData();
    // While the display is set up, the window takes the new display's size: the renderer's
    // viewport still has the old one (none at the first set-up), which would shrink the window
    // to its frame.
    if (display == nullptr || display->IsFullscreen() || display->IsSettingUp()) {
        return;
    }
    TRect viewport = TRenderer::GetInstance()->GetTopViewport();
    position->cx = (viewport.right - viewport.left) + 2 * GetSystemMetrics(SM_CXSIZEFRAME);
    position->cy = (viewport.bottom - viewport.top) + 2 * GetSystemMetrics(SM_CYSIZEFRAME) +
                   GetSystemMetrics(SM_CYCAPTION);
}

// Relative mode: the cursor left the window before it was put back on the centre; it goes
// back by what it moved. Normal mode: the software cursor goes and the next turn reports it.
void OnMouseLeave(TWin32Platform* platform) {
    TEventPumpState& pump = platform->GetPumpState();
    if (pump.mouseMode == 1) {
        POINT position{0, 0};
        if (TPlatformData* display = platform->GetPlatformData()) {
            position = display->GetContext()->UpdateMousePosition();
        } else {
            GetCursorPos(&position);
            ScreenToClient(platform->GetMainWindow(), &position);
            float scale = platform->GetScaleX();
            position = POINT{static_cast<LONG>(static_cast<float>(position.x) / scale),
                             static_cast<LONG>(static_cast<float>(position.y) / scale)};
        }
        int dx = position.x - pump.centrePixels.x;
        int dy = position.y - pump.centrePixels.y;
        if (dx != 0 || dy != 0) {
            float scale = platform->GetScaleX();
            POINT cursor{0, 0};
            GetCursorPos(&cursor);
            SetCursorPos(cursor.x - static_cast<int>(static_cast<float>(dx) * scale),
                         cursor.y - static_cast<int>(static_cast<float>(dy) * scale));
        }
    } else {
        if (TPlatformData* display = platform->GetPlatformData()) {
            display->GetContext()->EraseMouse();
        }
        pump.mouseLeft = true;
    }
    pump.hoverArmed = false;
    pump.leaveArmed = false;
}

}  // namespace

void TWin32Platform::ResetOffScreenFlag() {
    gOffScreen = false;
}

void TWin32Platform::SetActive(HWND window, bool active, bool forced) {
    TPlatform* application = ApplicationOf(window);
    if (application == nullptr) {
        return;
    }
    TWin32Platform* platform = application->GetPlatform();
    if (active == platform->IsActive()) {
        return;
    }
    if (TSoundManager* sound = platform->GetSoundManager()) {
        sound->SetActive(active);
    }
    if (IsDisplayFullscreen(platform) && !forced) {
        return;
    }
    platform->mPump.activationPending = !platform->mPump.activationPending;
    platform->SetActive(active);
}

void TWin32Platform::OnActivateApp(HWND window, bool active) {
    TPlatform* application = ApplicationOf(window);
    if (application == nullptr) {
        return;
    }
    TWin32Platform* platform = application->GetPlatform();
    TEventPumpState& pump = platform->mPump;
    if (active == pump.appActive) {
        return;
    }
    SetActive(window, active, true);
    pump.appActive = active;
    pump.appActivationChanged = true;
    TSoundManager* sound = platform->GetSoundManager();
    if (sound != nullptr) {
        sound->SetActive(active);
    }
    if (!active) {
        if (IsDisplayFullscreen(platform)) {
            pump.lostInBackground = true;
        }
    } else {
        pump.lostInBackground = false;
    }
}

LRESULT TWin32Platform::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The hit test and the default answers need no application object.
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST: {
            // No sizing borders and no maximise button: the size follows the game.
            LRESULT hit = DefWindowProcA(window, message, wParam, lParam);
            return hit == HTSIZE || (hit >= HTMAXBUTTON && hit <= HTBORDER) ? HTNOWHERE : hit;
        }
        case WM_TIMER:
            return 0;
        case WM_USER:
            // A host's message for the game (portal pages).
            windowsystemhooks::SetGameStateInt("windowmessage", static_cast<int>(wParam));
            return 1;
        case WM_USER_QUIET:
            return 1;
        default:
            break;
    }

    TPlatform* application = ApplicationOf(window);
    if (application == nullptr) {
        return Default(window, message, wParam, lParam);
    }
    TWin32Platform* platform = application->GetPlatform();
    TEventPumpState& pump = platform->mPump;

    switch (message) {
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) {
                SetActive(window, false, true);
            } else if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED ||
                       wParam == SIZE_MAXSHOW) {
                SetActive(window, true, true);
            }
            break;
        case WM_PAINT:
            if (TWindowManager* manager = platform->GetWindowManager()) {
                windowsystemhooks::MarkDirty(manager);
                pump.paintPending = true;
            }
            break;
        case WM_CLOSE:
            pump.closeRequested = true;
            return 0;
        case WM_ACTIVATEAPP:
            OnActivateApp(window, wParam == 1);
            break;
        case WM_SETCURSOR:
            if (LOWORD(static_cast<uintptr_t>(lParam)) == HTCLIENT) {
                TPlatformData* display = platform->GetPlatformData();
                if (display != nullptr && display->ApplyCursor(platform->IsCursorVisible())) {
                    return 1;
                }
            }
            break;
        case WM_MOUSEACTIVATE:
            if (!platform->IsEmbedded()) {
                platform->NoteFocusClick();
            }
            break;
        case WM_WINDOWPOSCHANGING:
            LockWindowSize(platform, reinterpret_cast<WINDOWPOS*>(lParam));
            break;
        case WM_WINDOWPOSCHANGED: {
            const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (position->cx != 0 && position->cy != 0 && position->x >= kOffScreenLimit &&
                position->y >= kOffScreenLimit) {
                pump.lostInBackground = false;
                if (gOffScreen) {
                    OnActivateApp(window, true);
                    gOffScreen = false;
                }
            } else {
                pump.lostInBackground = true;
                OnActivateApp(window, false);
                gOffScreen = true;
            }
            break;
        }
        case WM_DISPLAYCHANGE:
            if (!platform->IsActive()) {
                if (TPlatformData* display = platform->GetPlatformData()) {
                    display->UpdateDesktopMetrics();
                }
            }
            break;
        case WM_INITMENUPOPUP: {
            HMENU menu = GetSystemMenu(window, FALSE);
            if (menu != nullptr) {
                MENUITEMINFOA item{};
                item.cbSize = sizeof(item);
                item.fMask = MIIM_STATE;
                item.fState = MFS_GRAYED | MFS_DISABLED;
                SetMenuItemInfoA(menu, static_cast<UINT>(SC_SIZE), FALSE, &item);
            }
            return 0;
        }
        case WM_MOUSEMOVE:
            if (TPlatformData* display = platform->GetPlatformData()) {
                POINT moved = display->GetContext()->MoveMouse(
                    POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
                lParam = MAKELPARAM(moved.x, moved.y);
            }
            break;
        case WM_MOUSELEAVE:
            OnMouseLeave(platform);
            return 0;
        case WM_USER_HOST_PASS:
            SendMessageA(platform->GetHostParent(), message, wParam, lParam);
            return 1;
        default:
            break;
    }
    return Default(window, message, wParam, lParam);
}
