// The application clock as the foundation layer sees it: 32-bit milliseconds that wrap. Tasks and
// clocks measure against it. The application object sits above this layer and owns the real clock
// (its start time, the time a portal host held the game paused); while it exists it installs its
// timer here, and before and after that the answer is the system's millisecond counter.
//
// The source is installed and removed on the main thread; any thread may read the time.
#pragma once

#include <cstdint>

using TTimeSource = uint32_t (*)();

// Installs the application clock; null restores the system counter (timeGetTime).
void SetApplicationTimeSource(TTimeSource source);
uint32_t GetApplicationTime();
