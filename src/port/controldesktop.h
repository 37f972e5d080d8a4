// The control plane of the window system's surroundings: which backend runs, the virtual
// desktop, its monitors and the system metrics. For tests and the program's start-up.
#pragma once

#include <string>
#include <vector>

#include "port/win32types.h"

namespace port::control {

// Chooses the window system's backend by name: "headless" (the default) or "sdl". False, with
// the backend unchanged, for an unknown name or a backend that cannot start.
bool SelectWindowBackend(const char* name);
const char* WindowBackendName();

// Puts the window system back to its start: no windows or classes, an empty queue, no timers,
// input released, the default desktop, metrics and monitors, an empty clipboard, no recorded
// boxes or menus, the cursor shown. No messages are sent. Tests call it between cases.
void ResetWindowing();

// The desktop: size and bits per pixel (default 1024 x 768 x 32, 60 Hz). The default monitor
// and work area follow it.
void SetDesktop(int width, int height, int bitsPerPixel);
void SetDesktopRefreshRate(int hertz);
// The primary monitor's work area (SPI_GETWORKAREA).
void SetWorkArea(const RECT& work);

struct MonitorSpec {
    RECT area;
    RECT work;
    std::string device;  // as GetMonitorInfoA gives it, e.g. "\\\\.\\DISPLAY1"
    bool primary = false;
};
// Several monitors; an empty list puts back the one default monitor.
void SetMonitors(const std::vector<MonitorSpec>& monitors);
// Takes away (or gives back) the run-time monitor functions.
void SetMonitorFunctionsAvailable(bool available);

// Overrides one system metric (GetSystemMetrics); ResetWindowing drops every override.
void SetSystemMetric(int index, int value);
// The hover time of TrackMouseEvent (SPI_GETMOUSEHOVERTIME).
void SetMouseHoverTime(UINT milliseconds);

// A change of display mode, as another program or the user makes it: the new desktop, then
// WM_DISPLAYCHANGE (wParam: bits per pixel, lParam: width and height) to every top-level
// window of the program.
void InjectDisplayChange(int width, int height, int bitsPerPixel);

}  // namespace port::control
