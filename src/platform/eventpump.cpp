// The event pump: TWin32Platform::GetEvent, one turn of the game's main loop, with the message
// translation, the mouse modes and the full-screen guard. The window procedure that runs under
// the dispatch is in windowproc.cpp.
#include "audio/soundmanager.h"
#include "foundation/log.h"
#include "platform/display/dxcontext.h"
#include "platform/draw/renderer.h"
#include "platform/keymap.h"
#include "platform/onlinehooks.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/platformevent.h"
#include "platform/win32platform.h"
#include "platform/windowsystemhooks.h"
#include "port/system/clock.h"
#include "port/system/lasterror.h"
#include "port/system/showcommand.h"
#include "port/window/activation.h"
#include "port/window/input.h"
#include "port/window/paint.h"
#include "port/window/queue.h"
#include "port/window/vkeys.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace {

// Clicks this soon after the press that activated the window are swallowed.
constexpr DWORD kFocusClickTime = 400;
// Bit 29 of a key message's lParam: Alt was held.
constexpr LPARAM kAltDown = LPARAM{1} << 29;
// Bit 24: an extended key.
constexpr LPARAM kExtendedKey = LPARAM{1} << 24;

// Process-wide, as the first turn and a character split in two are.
bool gFirstTurnDone = false;
WPARAM gHighSurrogate = 0;

bool IsHeld(int virtualKey) {
    return GetKeyState(virtualKey) < 0;
}

}  // namespace

void TWin32Platform::ResetProcessEventState() {
    gFirstTurnDone = false;
    gHighSurrogate = 0;
    ResetOffScreenFlag();
}

void TWin32Platform::SetEvent(TPlatformEvent& event, int type, int x, int y, int value,
                              int extra) {
    event.type = type;
    event.value = value;
    event.x = static_cast<int16_t>(static_cast<uint16_t>(x));
    event.y = static_cast<int16_t>(static_cast<uint16_t>(y));
    event.extra = extra;
}

void TWin32Platform::NoteFocusClick() {
    mPump.focusClick = true;
    mPump.focusTime = TPlatform::GetTimer();
}

void TWin32Platform::CentreMouse(POINT point) {
    POINT origin{0, 0};
    ClientToScreen(mMainWindow, &origin);
    float scale = GetScaleX();
    SetCursorPos(origin.x + static_cast<int>(static_cast<float>(point.x) * scale),
                 origin.y + static_cast<int>(static_cast<float>(point.y) * scale));
}

void TWin32Platform::SetMouseMode(int mode) {
    if (mode == 1 && mPump.mouseMode != 1) {
        RECT root = windowsystemhooks::GetScreenRect(GetWindowManager());
        float scale = GetScaleX();
        mPump.centre = POINT{root.right / 2, root.bottom / 2};
        auto pixels = [scale](LONG value) {
            int scaled = static_cast<int>(static_cast<float>(value) * scale);
            return static_cast<LONG>(static_cast<float>(scaled) / scale);
        };
        mPump.centrePixels = POINT{pixels(mPump.centre.x), pixels(mPump.centre.y)};
        CentreMouse(mPump.centre);
    }
    mPump.mouseMode = mode;
}

POINT TWin32Platform::CurrentMousePosition() {
    if (TPlatformData* display = GetPlatformData()) {
        return display->GetContext()->UpdateMousePosition();
    }
    // Without a display, the same reading from the main window's client area.
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    if (mMainWindow != nullptr) {
        ScreenToClient(mMainWindow, &cursor);
    }
    float scale = GetScaleX();
    return POINT{static_cast<LONG>(static_cast<float>(cursor.x) / scale),
                 static_cast<LONG>(static_cast<float>(cursor.y) / scale)};
}

void TWin32Platform::EnsureTopmost() {
    if (mPump.lostInBackground) {
        Sleep(50);
        return;
    }
    bool topmost = (GetWindowLongA(mMainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (!topmost && !mPump.topmostMissingLogged) {
        LogPrintf("Window does NOT have topmost style");
    }
    mPump.topmostMissingLogged = !topmost;

    bool failed = false;
    DWORD error = 0;
    if (GetForegroundWindow() != mMainWindow && !SetForegroundWindow(mMainWindow)) {
        failed = true;
        error = GetLastError();
    }
    SetActiveWindow(mMainWindow);
    RECT rect{};
    GetWindowRect(mMainWindow, &rect);
    if (rect.left != 0 || rect.top != 0) {
        ShowWindow(mMainWindow, SW_SHOWNORMAL);
    }
    HWND first = GetWindow(mMainWindow, GW_HWNDFIRST);
    if (first != nullptr && first != mMainWindow && IsWindowVisible(first)) {
        TPlatformData* display = GetPlatformData();
        RECT clip = display != nullptr ? display->GetClipRect() : RECT{};
        if (!SetWindowPos(mMainWindow, HWND_TOP, 0, 0, clip.right - clip.left,
                          clip.bottom - clip.top, SWP_NOCOPYBITS | SWP_DEFERERASE) &&
            !failed) {
            failed = true;
            error = GetLastError();
        }
    }
    if (failed && !mPump.bringToTopErrorLogged) {
        LogPrintf("Error using BringWindowToTop: %x", static_cast<unsigned>(error));
    }
    mPump.bringToTopErrorLogged = failed;
}

void TWin32Platform::TranslateKeyDown(const MSG& msg, TPlatformEvent& event) {
    auto virtualKey = static_cast<UINT>(msg.wParam);
    bool ctrl = IsHeld(VK_CONTROL);
    bool shift = IsHeld(VK_SHIFT);
    bool extended = (msg.lParam & kExtendedKey) != 0;

    if (msg.message == WM_SYSKEYDOWN && (msg.lParam & kAltDown) != 0) {
        if (virtualKey == VK_RETURN) {
            bool hosted = IsHostedMode();
            if (mEmbedded && !hosted) {
                SetEvent(event, kEventNothing, 0, 0, 0, 0);
                return;
            }
            TPlatformData* display = GetPlatformData();
            if (hosted) {
                TPlatform* application = TPlatform::GetInstance();
                if (application != nullptr) {
                    application->SetFullscreen(!application->IsFullscreen());
                }
            } else if (display != nullptr) {
                display->SetFullscreen(!display->IsFullscreen());
            }
            bool fullscreen = display != nullptr && display->IsFullscreen();
            SetEvent(event, kEventFullscreenSwitch, 0, 0, fullscreen ? 1 : 0, 0);
            return;
        }
        if (virtualKey == VK_F1) {
            TRenderer::GetInstance()->ToggleStats();
            SetEvent(event, kEventNothing, 0, 0, 0, 0);
            return;
        }
        int modifiers = kKeyModAlt | (ctrl ? kKeyModCtrl : 0) | (shift ? kKeyModShift : 0) |
                        (extended ? kKeyModExtended : 0);
        SetEvent(event, kEventKeyDown, 0, 0, static_cast<int>(virtualKey), modifiers);
        return;
    }

    // Insert alone would clash with the text entry's use of it: only Shift+Insert passes.
    if (virtualKey == VK_INSERT && !(shift && !ctrl)) {
        SetEvent(event, kEventNothing, 0, 0, 0, 0);
        return;
    }
    int modifiers =
        (ctrl ? kKeyModCtrl : 0) | (shift ? kKeyModShift : 0) | (extended ? kKeyModExtended : 0);
    SetEvent(event, kEventKeyDown, 0, 0, FrameworkKeyCode(virtualKey), modifiers);
}

void TWin32Platform::TranslateChar(const MSG& msg, TPlatformEvent& event) {
    WPARAM unit = msg.wParam;
    if (!mUnicodeMode) {
        SetEvent(event, kEventChar, 0, 0, static_cast<int>(unit), MouseModifiers(unit));
        return;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        gHighSurrogate = unit;
        SetEvent(event, kEventNothing, 0, 0, 0, 0);
        return;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (gHighSurrogate == 0) {
            SetEvent(event, kEventNothing, 0, 0, 0, 0);
            return;
        }
        int codePoint =
            0x10000 + ((static_cast<int>(gHighSurrogate) - 0xD800) << 10) +
            (static_cast<int>(unit) - 0xDC00);
        gHighSurrogate = 0;
        SetEvent(event, kEventUnicodeChar, 0, 0, codePoint, 0);
        return;
    }
    SetEvent(event, kEventUnicodeChar, 0, 0, static_cast<int>(unit), 0);
}

void TWin32Platform::TranslateMouseMove(TPlatformEvent& event) {
    POINT position = CurrentMousePosition();
    if (mPump.mouseMode == 1) {
        int dx = position.x - mPump.centrePixels.x;
        int dy = position.y - mPump.centrePixels.y;
        if (dx != 0 || dy != 0) {
            SetEvent(event, kEventMouseMove, dx, dy, 0, 0);
            CentreMouse(mPump.centre);
        } else {
            // The move that put the cursor back on the centre.
            SetEvent(event, kEventNothing, 0, 0, 0, 0);
        }
    } else {
        SetEvent(event, kEventMouseMove, position.x, position.y, 0, 0);
    }
    // Each request is answered once; a failed one is tried again on the next move.
    if (!mPump.hoverArmed) {
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_HOVER, mMainWindow, HOVER_DEFAULT};
        mPump.hoverArmed = TrackMouseEvent(&track) != FALSE;
    }
    if (!mPump.leaveArmed) {
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, mMainWindow, 0};
        mPump.leaveArmed = TrackMouseEvent(&track) != FALSE;
    }
}

void TWin32Platform::TranslateButton(const MSG& msg, TPlatformEvent& event) {
    bool release = msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP ||
                   msg.message == WM_MBUTTONUP;
    bool wheel = msg.message == WM_MOUSEWHEEL;
    TWindowManager* manager = GetWindowManager();

    if (mPump.focusClick && !windowsystemhooks::IsDrawingSuspended(manager)) {
        if (release) {
            mPump.focusClick = false;
        }
        if (TPlatform::GetTimer() - mPump.focusTime < kFocusClickTime) {
            SetEvent(event, kEventNothing, 0, 0, 0, 0);
            return;
        }
    }
    if (windowsystemhooks::IsInputLocked(manager)) {
        SetEvent(event, kEventNothing, 0, 0, 0, 0);
        return;
    }
    if (release) {
        ReleaseCapture();
    } else if (!wheel) {
        if (mHostWindow != nullptr) {
            SetFocus(mMainWindow);
        }
        SetCapture(mMainWindow);
    }

    POINT position = CurrentMousePosition();
    int modifiers = MouseModifiers(msg.wParam);
    int x = position.x;
    int y = position.y;
    switch (msg.message) {
        case WM_LBUTTONDOWN: SetEvent(event, kEventLeftDown, x, y, 0, modifiers); break;
        case WM_RBUTTONDOWN: SetEvent(event, kEventButton, x, y, kButtonRightDown, modifiers); break;
        case WM_MBUTTONDOWN: SetEvent(event, kEventButton, x, y, kButtonMiddleDown, modifiers); break;
        case WM_XBUTTONDOWN:
            if ((msg.wParam & MK_XBUTTON1) != 0) {
                SetEvent(event, kEventButton, x, y, kButtonExtra1Down, 0);
            } else if ((msg.wParam & MK_XBUTTON2) != 0) {
                SetEvent(event, kEventButton, x, y, kButtonExtra2Down, 0);
            } else {
                SetEvent(event, kEventNothing, 0, 0, 0, 0);
            }
            break;
        case WM_MOUSEWHEEL: {
            auto delta = static_cast<SHORT>(HIWORD(msg.wParam));
            SetEvent(event, kEventButton, x, y, delta > 0 ? kButtonWheelAway : kButtonWheelToward,
                     modifiers);
            break;
        }
        case WM_LBUTTONUP: SetEvent(event, kEventLeftUp, x, y, 0, 0); break;
        case WM_RBUTTONUP: SetEvent(event, kEventButton, x, y, kButtonRightUp, 0); break;
        case WM_MBUTTONUP: SetEvent(event, kEventButton, x, y, kButtonMiddleUp, 0); break;
        default: SetEvent(event, kEventNothing, 0, 0, 0, 0); break;
    }
}

void TWin32Platform::TranslateToEvent(const MSG& msg, TPlatformEvent& event) {
    switch (msg.message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            BeginPaint(msg.hwnd, &paint);
            EndPaint(msg.hwnd, &paint);
            mPump.hoverArmed = false;
            SetEvent(event, kEventPaint, 0, 0, 0, 0);
            return;
        }
        case WM_QUIT:
            SetEvent(event, kEventQuit, 0, 0, 0, 0);
            return;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            TranslateKeyDown(msg, event);
            return;
        case WM_KEYUP:
            SetEvent(event, kEventKeyUp, 0, 0, FrameworkKeyUpCode(static_cast<UINT>(msg.wParam)),
                     MouseModifiers(msg.wParam));
            return;
        case WM_CHAR:
            TranslateChar(msg, event);
            return;
        case WM_MOUSEMOVE:
            TranslateMouseMove(event);
            return;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
        case WM_MOUSEWHEEL:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            TranslateButton(msg, event);
            return;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(msg.lParam) != mMainWindow) {
                SetEvent(event, kEventMouseLeft, 0, 0, 0, 0);
            } else {
                SetEvent(event, kEventNothing, 0, 0, 0, 0);
            }
            return;
        case WM_MOUSEHOVER: {
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_HOVER, mMainWindow, HOVER_DEFAULT};
            mPump.hoverArmed = TrackMouseEvent(&track) != FALSE;
            POINT position = CurrentMousePosition();
            SetEvent(event, kEventMouseHover, position.x, position.y, 0, 0);
            return;
        }
        default:
            SetEvent(event, kEventNothing, 0, 0, 0, 0);
            return;
    }
}

void TWin32Platform::GetEvent(TPlatformEvent& event) {
    // 1. A lost host ends the game.
    if ((onlinehooks::ZylomMode() || IsHostedMode()) && mHostWindow != nullptr &&
        !IsWindow(mHostWindow)) {
        SetEvent(event, kEventQuit, 0, 0, 0, 0);
        return;
    }

    // 2. The first turn tells the host that the game has loaded.
    if (!gFirstTurnDone) {
        windowsystemhooks::SetGameStateInt("loadbroadcast", 0);
        Sleep(500);
        windowsystemhooks::SetGameStateInt("sessionready", 0);
        gFirstTurnDone = true;
    }

    // 3. While the game state holds the game, window messages are only passed on.
    MSG msg{};
    while (windowsystemhooks::IsGameSuspended()) {
        Sleep(1);
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                SetEvent(event, kEventQuit, 0, 0, 0, 0);
                return;
            }
            ::TranslateMessage(&msg);
            if (mUnicodeMode) {
                DispatchMessageW(&msg);
            } else {
                DispatchMessageA(&msg);
            }
        }
    }

    TPlatformData* display = GetPlatformData();
    bool active = IsActive();

    // 4. The window's activation changed.
    if (mPump.activationPending) {
        mPump.activationPending = false;
        if (!active && display != nullptr) {
            display->ResetWorkingCount();
        }
        SetEvent(event, kEventActivation, 0, 0, active ? 1 : 0, 0);
        return;
    }

    // 5, 6. A display that does not work takes only WM_QUIT from the queue, and is restored
    // while the window is in front and active.
    bool notWorking = display != nullptr && !display->IsWorking();
    if (notWorking) {
        if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            SetEvent(event, kEventQuit, 0, 0, 0, 0);
            return;
        }
        if (!mPump.lostInBackground && active) {
            display->Restore();
            SetEvent(event, kEventNothing, 0, 0, 0, 0);
            return;
        }
    }

    // 7 to 11. The flags the window procedure and the display set-up raised, one per turn.
    if (mPump.displayRecreated) {
        mPump.displayRecreated = false;
        SetEvent(event, kEventDisplayRecreated, 0, 0, 0, 0);
        return;
    }
    if (mPump.paintPending) {
        mPump.paintPending = false;
        SetEvent(event, kEventPaint, 0, 0, 0, 0);
        if (display != nullptr && !display->IsWorking() && !mPump.lostInBackground) {
            display->Restore();
        }
        return;
    }
    if (mPump.appActivationChanged) {
        mPump.appActivationChanged = false;
        SetEvent(event, kEventActivation, 0, 0, mPump.appActive ? 1 : 0, 0);
        return;
    }
    if (mPump.closeRequested) {
        mPump.closeRequested = false;
        windowsystemhooks::EndMovie(GetWindowManager());
        SetEvent(event, kEventClose, 0, 0, 0, 0);
        return;
    }
    if (mPump.mouseLeft) {
        mPump.mouseLeft = false;
        POINT position = CurrentMousePosition();
        SetEvent(event, kEventMouseLeft, position.x, position.y, 0, 0);
        return;
    }

    // 12. One message: translated, then dispatched so the window procedure sees it too.
    BOOL got = mUnicodeMode ? PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)
                            : PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    if (got) {
        TranslateToEvent(msg, event);
        bool rightButton = msg.message == WM_RBUTTONDOWN || msg.message == WM_RBUTTONUP;
        if (!(mEmbedded && rightButton && msg.hwnd == mMainWindow)) {
            ::TranslateMessage(&msg);
            if (mUnicodeMode) {
                DispatchMessageW(&msg);
            } else {
                DispatchMessageA(&msg);
            }
        }
        return;
    }

    // 13. Idle: the guard, the sound notifications, the tasks, then a 1 ms wait.
    if (display != nullptr && display->IsFullscreen() && IsActive() &&
        !mPump.activationPending) {
        EnsureTopmost();
    }
    if (TSoundManager* sound = GetSoundManager()) {
        sound->DispatchCallbacks();
    }
    if (TPlatform* application = TPlatform::GetInstance()) {
        application->UpdateTasks();
    }
    SetEvent(event, kEventIdle, 0, 0, 0, 0);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, 0);
}

void TPlatform::GetEvent(TPlatformEvent& event) {
    mPlatform->GetEvent(event);
}

int TPlatform::GetMouseMode() const {
    return mPlatform->GetMouseMode();
}

void TPlatform::SetMouseMode(int mode) {
    mPlatform->SetMouseMode(mode);
}
