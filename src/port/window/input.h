// Input state: keys, the pointer, mouse capture and mouse tracking.
//
// GetKeyState answers the state as of the last key message taken from the queue (Windows'
// synchronous key state); GetAsyncKeyState the state now. The high bit (the value is negative)
// means held, the low bit toggled (Caps Lock and the others). VK_SHIFT, VK_CONTROL and VK_MENU
// are held when either of their left and right keys is.
//
// Key messages carry VK_SHIFT, VK_CONTROL and VK_MENU, never the left/right codes. With Alt
// held (and Ctrl not), presses arrive as WM_SYSKEYDOWN and releases as WM_SYSKEYUP, with bit
// 29 of lParam; F10 gives WM_SYSKEYDOWN without it. The release of Alt itself is WM_SYSKEYUP
// (without bit 29) when no other key came since Alt went down, else WM_KEYUP. Extended keys
// (arrows, Insert, Delete, Home, End, Page Up and Down, right Ctrl and Alt, keypad Enter and /, Num
// Lock, the Windows keys) have bit 24. Characters come as WM_CHAR: from text input, split into
// UTF-16 units (Unicode windows) or Windows-1252 bytes (ANSI windows), and from TranslateMessage
// (port/window/queue.h).
//
// The pointer is in screen coordinates. Mouse messages go to the capture window, else to the
// program's window under the pointer (its client area; the frame gets none), with the position
// in that window's client coordinates. The wheel goes to the focus window.
//
// TrackMouseEvent: TME_HOVER posts WM_MOUSEHOVER once the pointer has rested for the hover time
// (SPI_GETMOUSEHOVERTIME, 400 ms) inside the hover rectangle (4 x 4 pixels around where it
// rested) over the client area; TME_LEAVE posts WM_MOUSELEAVE when the pointer leaves the
// client area (or at once, when it is not there), and, while the window holds the capture,
// when the capture is released. Each request is answered once and must be renewed.
//
// SetCapture posts WM_CAPTURECHANGED (lParam: the window gaining the capture, null on release)
// to the window that held it, also when it is the same window.
//
// Not modelled: double clicks (no class asks for them), non-client mouse messages, scan codes
// (0 in the key messages), keyboard layouts (the backend gives virtual keys and text).
#pragma once

#include "port/win32types.h"

SHORT GetKeyState(int virtualKey);
SHORT GetAsyncKeyState(int virtualKey);

BOOL GetCursorPos(POINT* point);
// Clamped to the desktop.
BOOL SetCursorPos(int x, int y);

HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();

constexpr DWORD TME_HOVER = 0x00000001;
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

struct TRACKMOUSEEVENT {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
};

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);

namespace port {

// The mouse buttons, as the desktop reports them (port/window/events.h).
enum class MouseButton { Left, Right, Middle, X1, X2 };

}  // namespace port
