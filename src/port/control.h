// The control plane: what tests use to set up, drive and observe the port layer. The program
// never calls it; its start-up settings (the backend, the log sink) are in port/startup.h, and
// backends bring real input and desktop changes in through port/window/events.h.
//
// Each service keeps its part beside its code: system/control.h (clock, process, folders,
// version data, exit and links) and window/control.h (desktop, monitors and metrics, injected
// input, foreign windows, message boxes, the clipboard, the reset). This header gathers them with
// failure injection, which every service shares.
#pragma once

#include "port/win32types.h"

namespace port::control {

// Failure injection (port/failinjection.h): the next count calls of the named operation (its
// Windows name, e.g. "CreateMutexA") fail with error as their last error; a negative count fails
// every call until cleared; count 0 disarms.
void InjectFailure(const char* operation, DWORD error, int count);
void ClearFailures();

}  // namespace port::control

#include "port/system/control.h"
#include "port/window/control.h"
