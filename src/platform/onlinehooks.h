// What the platform layer asks of the online services, which sit above it: how long a portal host
// has held the game paused (the application clock leaves that time out), whether the second
// portal mode is on (the event pump and the display set-up ask), and the computer identifier
// (stored as "computerid" when the application object is made); and switching the two portal
// modes on, which start-up does for "-msn", "-pq=" and "-zylom". The online layer installs its
// answers at start-up; until then, and in tests of this layer, they are 0, false and "", and the
// switches do nothing.
//
// Installed on the main thread before the application object exists; read from any thread.
#pragma once

#include "foundation/str.h"
#include "port/win32types.h"

namespace onlinehooks {

struct THooks {
    DWORD (*getPortalPauseTime)() = nullptr;
    bool (*isZylomMode)() = nullptr;
    str (*getComputerId)() = nullptr;
    void (*enableMsnMode)() = nullptr;
    void (*enableZylomMode)() = nullptr;
};

// A null member keeps that answer's default.
void Install(const THooks& hooks);

DWORD PortalPauseTime();
bool ZylomMode();
str ComputerId();
void EnableMsnMode();
void EnableZylomMode();

}  // namespace onlinehooks
