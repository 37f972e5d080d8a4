// The control plane of the window system, for tests. The desktop: its size, monitors and system
// metrics, and the reset between cases; the setters change the model as a backend does when the
// real desktop changes. Input: what a user does, injected; keys, text, pointer and buttons go into
// the input queue as Windows would put them (port/window/input.h), and focus, minimise, restore
// and close act as the desktop does, the same way into the model as a backend's real events
// (port/window/events.h). Other programs: foreign windows (a host, a window in front), what the
// program sent them, the message boxes it showed and the clipboard as others see it.
//
// Call these on the thread that runs the windows. Gathered with the other services' parts in
// port/control.h.
#pragma once

#include <string>
#include <vector>

#include "port/win32types.h"
#include "port/window/input.h"
#include "port/window/messagebox.h"
#include "port/window/metrics.h"

namespace port::control {

// ---- The desktop

// Puts the window system back to its start: no windows or classes, an empty queue, no timers,
// input released, the default desktop, metrics and monitors, an empty clipboard, no recorded
// boxes or menus, the cursor shown. No messages are sent.
void ResetWindowing();

// The desktop: size and bits per pixel (default 1024 x 768 x 32, 60 Hz). The default monitor
// and work area follow it.
void SetDesktop(int width, int height, int bitsPerPixel);
void SetDesktopRefreshRate(int hertz);
// The primary monitor's work area (SPI_GETWORKAREA).
void SetWorkArea(const RECT& work);

// Several monitors; an empty list puts back the one default monitor.
void SetMonitors(const std::vector<MonitorSpec>& monitors);
// Takes away (or gives back) the run-time monitor functions.
void SetMonitorFunctionsAvailable(bool available);

// Overrides one system metric (GetSystemMetrics); ResetWindowing drops every override.
void SetSystemMetric(int index, int value);
// The hover time of TrackMouseEvent (SPI_GETMOUSEHOVERTIME).
void SetMouseHoverTime(UINT milliseconds);

// A change of display mode, as another program or the user makes it: the new desktop, then
// WM_DISPLAYCHANGE (wParam: bits per pixel, lParam: width and height) to every top-level
// window of the program.
void InjectDisplayChange(int width, int height, int bitsPerPixel);

// ---- Input

// A key by virtual-key code, pressed or released. VK_SHIFT, VK_CONTROL and VK_MENU mean the
// left keys. The extended bit comes from the key (arrows, Insert, Delete, Home, End, Page Up and
// Down, right Ctrl and Alt, the Windows keys, keypad / ...); keypad Enter needs InjectKeyEx.
void InjectKey(UINT virtualKey, bool down);
void InjectKeyEx(UINT virtualKey, bool extended, bool down);
// Typed text (UTF-8), to the focus window as WM_CHAR.
void InjectText(const std::string& utf8);

// Moves the pointer to a point of the screen (each coordinate held within -32768..32767).
void InjectMouseMove(int x, int y);
// Moves the pointer to a point of a window's client area.
void InjectMouseMoveClient(HWND window, int x, int y);
// The pointer left every window of the program (over another program).
void InjectPointerLeave();

// At the pointer's position. A press into an inactive window of the program, on its client
// area or its frame, is first put to it as WM_MOUSEACTIVATE, whose answer decides activation.
void InjectButton(MouseButton button, bool down);
// Positive: away from the user; WHEEL_DELTA per notch.
void InjectWheel(int delta);

// The user brings a window to the foreground (null: another program's window).
void InjectFocus(HWND window);
// The desktop minimises, restores or asks to close a top-level window: WM_SYSCOMMAND with
// SC_MINIMIZE, SC_RESTORE or SC_CLOSE is posted to it, whose default handling acts.
void InjectMinimise(HWND window);
void InjectRestore(HWND window);
void InjectClose(HWND window);
// Part of the window became visible again and must be painted.
void InjectExpose(HWND window);

// What shows over the client area: the cursor (null: none), and whether it shows at all.
HCURSOR ShownCursor(bool* shown);

// ---- Other programs

// A window of another program. Its rectangle is its client area (it has no frame), in its
// parent's client coordinates or on the screen. A foreign window is never found by FindWindowA,
// never receives the system's messages, and records what the program sends or posts it; that
// includes what the default window procedure of a child passes on to its parent (WM_SETCURSOR,
// WM_MOUSEACTIVATE, WM_MOUSEWHEEL, Alt+F4's WM_SYSCOMMAND), as on Windows.
struct ForeignWindowSpec {
    HWND parent = nullptr;
    std::string className = "ForeignWindow";
    std::string title;
    RECT rect{0, 0, 640, 480};
    bool visible = true;
    bool topmost = false;
};
HWND CreateForeignWindow(const ForeignWindowSpec& spec);
// Destroys it and everything inside it; the program's windows inside receive WM_DESTROY.
bool DestroyForeignWindow(HWND window);
// Puts a top-level window first in the z-order of its group, without activating it.
void RaiseWindow(HWND window);

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool sent;  // SendMessage; else PostMessage
};
std::vector<RecordedMessage> ForeignMessages(HWND window);
void ClearForeignMessages(HWND window);

std::vector<MessageBoxRecord> MessageBoxes();
void ClearMessageBoxes();
// The answer of the next boxes in headless; 0 for each box's first button.
void SetMessageBoxAnswer(int answer);

// The clipboard, as another program puts or reads it (UTF-8).
void SetClipboardText(const std::string& utf8);
void ClearClipboard();
// False when the clipboard holds no text.
bool ClipboardText(std::string* utf8);

}  // namespace port::control
