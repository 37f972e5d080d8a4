// Internal: the fake clock's switches, for waits that must never sleep on the real clock while
// the fake one runs.
#pragma once

namespace port {

bool FakeClockOn();
// Sleep on the fake clock moves it (port/control.h: SetSleepAdvancesClock).
bool FakeSleepAdvances();

}  // namespace port
