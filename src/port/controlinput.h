// The control plane of input: what a user does, injected. Keys, text, pointer and buttons go
// into the input queue as Windows would put them (port/input.h); focus, minimise, restore and
// close act as the desktop does. Call these on the thread that runs the windows.
#pragma once

#include <string>

#include "port/win32types.h"

namespace port::control {

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

enum class MouseButton { Left, Right, Middle, X1, X2 };
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

}  // namespace port::control
