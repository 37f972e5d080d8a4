// The display set-up's side of the main window: embedding it in the host window (step 7), its
// styles for the mode (step 15) and showing it once the display is made (step 20).
//
// The port, like Windows, changes WS_EX_TOPMOST only through SetWindowPos, so a full-screen
// window given that style is also put on top that way (without moving, sizing or activating
// it): the event pump's full-screen guard expects the main window topmost.
#include "foundation/log.h"
#include "platform/display/dxcontext.h"
#include "platform/display/setdisplayrun.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "port/system/showcommand.h"
#include "port/window/activation.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace setdisplay {
namespace {

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;

// A shown window keeps WS_VISIBLE: the window system takes the bit for the window's visibility,
// and hiding the window in the middle of a set-up (shown again at its end) makes a desktop move
// the focus away and back, which loses the new full-screen surfaces at once.
void SetStyles(HWND window, DWORD exStyle, DWORD style) {
    DWORD visible = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & WS_VISIBLE;
    SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG_PTR>(style | visible));
    if ((exStyle & WS_EX_TOPMOST) != 0) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

}  // namespace

HWND TRun::Host() const {
    return platform.GetHostWindow();
}

bool AttachToHost(TRun& run) {
    HWND host = run.Host();
    if (host == nullptr) {
        run.context.SetClipWindow(nullptr);
        return true;
    }
    if (!IsWindow(host)) {
        // The host went away while the game ran: the main loop ends on the quit, in order (the
        // game saves what it holds), instead of the process ending here.
        LogPrintf("Error: mExternalWindowParent is lost, exiting!");
        TPlatform::Quit(0);
        return false;
    }
    // SetParent answers the previous parent, null for a window that had none: not a failure.
    if (run.fullscreen) {
        SetParent(run.window, nullptr);
    } else {
        SetParent(run.window, host);
        SetWindowLongA(run.window, GWL_EXSTYLE, 0);
        SetWindowLongA(run.window, GWL_STYLE, static_cast<LONG_PTR>(kChildStyle));
        RECT client{};
        GetClientRect(host, &client);
        MoveWindow(run.window, 0, 0, client.right - client.left, client.bottom - client.top, TRUE);
        run.childOfHost = true;
    }
    run.context.SetClipWindow(run.window);
    SetStyles(run.window, run.fullscreen ? WS_EX_TOPMOST : 0,
              run.fullscreen ? WS_POPUP : kChildStyle);
    return true;
}

void SetWindowStyles(TRun& run) {
    DWORD exStyle = WS_EX_APPWINDOW | (run.fullscreen ? WS_EX_TOPMOST : 0);
    SetStyles(run.window, exStyle, run.fullscreen ? WS_POPUP : kWindowStyle);
}

void ShowMainWindow(TRun& run) {
    if (!run.childOfHost) {
        RECT rect{};
        GetWindowRect(run.window, &rect);
        if (rect.left == 0 && rect.top == 0) ClipOrCenterWindowToMonitor(run.window, 1);
    }
    ShowWindow(run.window, SW_SHOW);
    if (run.fullscreen) SetActiveWindow(run.window);
}

}  // namespace setdisplay
