// The smoke program's checks: input driven through the X server reaches the window procedure as
// Windows would give it, and the desktop's focus, close requests, forced sizes, clipboard,
// pointer and message boxes behave. Each check prints one line, "ok" or "FAIL", with what it
// expected.
#pragma once

#include "port/win32types.h"

namespace smoke {

// Runs every check against the shown window; answers the number that failed (-1: the checks
// could not start).
int RunChecks(HWND window);

}  // namespace smoke
