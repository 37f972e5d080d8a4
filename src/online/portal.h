// The portal modes: a game portal can host the program and hold it paused. Neither mode can be
// switched on yet, so the game is never held and the second mode is off.
//
// Main thread; the answers may be read from any thread.
#pragma once

#include "port/win32types.h"

// Milliseconds for which a portal host has held the game paused; 0 outside the portal modes.
DWORD GetPortalPauseTime();
// Whether the second portal mode is on.
bool IsZylomMode();
