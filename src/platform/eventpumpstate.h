// The event pump's state, kept in the platform object (win32platform.h): the flags the window
// procedure and the display set-up raise and the next turn of the pump turns into one event each,
// the mouse tracking and mouse mode, and the focus click. The window's active flag itself is the
// platform's (IsActive), since the cursor worker reads it.
//
// Main thread only: the window procedure runs there under the pump's dispatch.
#pragma once

#include "port/win32types.h"

struct TEventPumpState {
    // SetActive changed the active flag since the last turn (two changes cancel out).
    bool activationPending = false;
    // WM_CLOSE came.
    bool closeRequested = false;
    // The application's activation (WM_ACTIVATEAPP) and whether it changed since the last turn.
    bool appActive = true;
    bool appActivationChanged = false;
    // The window is minimised, moved off screen, or was deactivated while full screen.
    bool lostInBackground = false;
    bool paintPending = false;
    // Raised by the display set-up when it made the display again.
    bool displayRecreated = false;

    // Mouse tracking: hover and leave requests armed, and the mouse has left the window.
    bool hoverArmed = false;
    bool leaveArmed = false;
    bool mouseLeft = false;

    // A press activated the window: clicks within 400 ms of focusTime are swallowed.
    bool focusClick = false;
    DWORD focusTime = 0;

    // 0 normal, 1 relative (moves are reported as deltas from the centre, which the cursor is
    // put back to). The centre in window coordinates, and the same point in screen-pixel
    // granularity.
    int mouseMode = 0;
    POINT centre{0, 0};
    POINT centrePixels{0, 0};

    // The full-screen guard's two log lines are written once per change of their condition.
    bool topmostMissingLogged = false;
    bool bringToTopErrorLogged = false;
};
