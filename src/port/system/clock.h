// Milliseconds, sleeping and the calendar. The clock is the system's monotonic clock, or, when a
// test switches it on through the control plane (port/control.h), a fake clock that only moves
// when the test (or Sleep, if asked) moves it. Both are 32-bit millisecond counters that wrap.
// The calendar is the C runtime's time(): seconds since 1 January 1970 (UTC), or, on the fake
// clock, a calendar of the test's own that every move of the fake clock moves along.
//
// Any thread may call these.
#pragma once

#include <cstdint>

#include "port/win32types.h"

DWORD timeGetTime();
DWORD GetTickCount();
void Sleep(DWORD milliseconds);
// Timer resolution requests: the monotonic clock already has millisecond resolution.
UINT timeBeginPeriod(UINT period);
UINT timeEndPeriod(UINT period);

// Seconds since 1970, 64-bit.
int64_t CalendarTime();
