// Internal: what happens outside the program, delivered into the window model as Windows would
// deliver it. A backend calls these for what the user and the desktop really do (sdl/); the
// control plane calls the same ones for what a test injects (port/window/control.h). Call them
// on the thread that runs the windows, never with the world locked.
#pragma once

#include <string>
#include <vector>

#include "port/win32types.h"
#include "port/window/input.h"
#include "port/window/metrics.h"

namespace port {

// A key by virtual-key code, pressed or released, to the window that has the keyboard, as
// WM_KEYDOWN/WM_KEYUP or their WM_SYS forms. VK_SHIFT, VK_CONTROL and VK_MENU mean the left keys;
// extended picks the right Ctrl and Alt and sets bit 24 (arrows, keypad Enter ...).
void DeliverKey(UINT virtualKey, bool extended, bool down);
// Typed text (UTF-8), to the window that has the keyboard as WM_CHAR.
void DeliverText(const std::string& utf8);

// The pointer moved to a point of the screen (each coordinate held within -32768..32767).
void DeliverPointerMove(int x, int y);
// The pointer left every window of the program (it is over another program).
void DeliverPointerLeave();
// A button at the pointer's position. A press into an inactive window of the program, on its
// client area or its frame, is first put to it as WM_MOUSEACTIVATE, whose answer decides
// activation.
void DeliverButton(MouseButton button, bool down);
// Positive: away from the user; WHEEL_DELTA per notch.
void DeliverWheel(int delta);

// The user brings a window to the foreground (null: another program's window).
void DeliverFocus(HWND window);
// The desktop minimises, restores or asks to close a top-level window: WM_SYSCOMMAND with
// SC_MINIMIZE, SC_RESTORE or SC_CLOSE is posted to it, whose default handling acts.
void DeliverMinimise(HWND window);
void DeliverRestore(HWND window);
void DeliverClose(HWND window);
// Part of the window became visible again and must be painted.
void DeliverExpose(HWND window);

// The desktop as it is: size and bits per pixel, refresh rate, the primary monitor's work area
// and the monitors (an empty list: one default monitor the size of the desktop). These change
// the model quietly; the program hears of a new mode only through DeliverDisplayChange.
void DeliverDesktop(int width, int height, int bitsPerPixel);
void DeliverRefreshRate(int hertz);
void DeliverWorkArea(const RECT& work);
void DeliverMonitors(const std::vector<MonitorSpec>& monitors);
// The display mode changed: the new desktop, then WM_DISPLAYCHANGE (wParam: bits per pixel,
// lParam: width and height) to every top-level window of the program.
void DeliverDisplayChange(int width, int height, int bitsPerPixel);

}  // namespace port
