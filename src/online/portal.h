// The portal modes: a game portal can host the program and hold it paused. Start-up switches the
// first mode on for "-msn" and "-pq=" and the second for "-zylom"; what each mode does comes with
// the portal handler. The game is never held paused yet.
//
// Main thread; the answers may be read from any thread.
#pragma once

#include "port/win32types.h"

// Milliseconds for which a portal host has held the game paused; 0 outside the portal modes.
DWORD GetPortalPauseTime();
void EnableMsnMode();
void EnableZylomMode();
bool IsMsnMode();
// Whether the second portal mode is on.
bool IsZylomMode();
