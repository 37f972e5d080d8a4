// Internal: the fake clock's switches, for waits that must never sleep on the real clock while
// the fake one runs.
#pragma once

#include "port/win32types.h"

namespace port {

bool FakeClockOn();
// Sleep on the fake clock moves it (port/control.h: SetSleepAdvancesClock).
bool FakeSleepAdvances();

// Hears every move of the fake clock (AdvanceTime, and Sleep when it moves the clock), on the
// thread that moved it, after the move: the sound room mixes the time that passed. One listener;
// null removes it. The system room knows nothing of sound: the listener is installed from above.
using ClockListener = void (*)(DWORD milliseconds);
void SetClockListener(ClockListener listener);

}  // namespace port
