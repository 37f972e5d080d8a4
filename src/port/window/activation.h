// Activation and keyboard focus.
//
// The foreground window is the top-level window the user works with; it may be a window of the
// program or a foreign one, or none (another program). When the foreground passes between the
// program and the rest, every top-level window of the program receives WM_ACTIVATEAPP
// (wParam 1 gaining, 0 losing). The active window is the program's own foreground window; it
// receives WM_ACTIVATE, whose default handling gives it the focus. The focus window receives
// the keyboard while its top-level ancestor (across foreign parents) is the foreground window;
// SetFocus sends WM_KILLFOCUS and WM_SETFOCUS.
//
// Windows' foreground lock is not modelled: SetForegroundWindow succeeds unless a test makes
// it fail (port/control.h).
#pragma once

#include "port/win32types.h"

BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
// Activates a top-level window of the program. While another program has the foreground, it
// only becomes the window to activate when the program comes back. Answers the previous one.
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
HWND SetFocus(HWND window);
HWND GetFocus();
