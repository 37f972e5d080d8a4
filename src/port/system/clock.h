// Milliseconds and sleeping. The clock is the system's monotonic clock, or, when a test switches
// it on through the control plane (port/control.h), a fake clock that only moves when the test (or
// Sleep, if asked) moves it. Both are 32-bit millisecond counters that wrap.
//
// Any thread may call these.
#pragma once

#include "port/win32types.h"

DWORD timeGetTime();
DWORD GetTickCount();
void Sleep(DWORD milliseconds);
// Timer resolution requests: the monotonic clock already has millisecond resolution.
UINT timeBeginPeriod(UINT period);
UINT timeEndPeriod(UINT period);
