// ClipOrCenterWindowToMonitor: a window's position kept on the monitor nearest to it. The port's
// monitor calls stand for the run-time look-up of the monitor functions: without them the whole
// screen is the one monitor ("DISPLAY") and its work area the system's.
#include <algorithm>

#include "platform/platformdata.h"
#include "port/window/metrics.h"
#include "port/window/windowpos.h"

void ClipOrCenterWindowToMonitor(HWND window, UINT flags) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info)) return;
    const RECT& area = (flags & kMonitorWorkArea) != 0 ? info.rcWork : info.rcMonitor;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int areaWidth = area.right - area.left;
    int areaHeight = area.bottom - area.top;
    // A window larger than the area stays where it is.
    if (width > areaWidth || height > areaHeight) return;
    int x;
    int y;
    if ((flags & kMonitorCentre) != 0) {
        x = area.left + (areaWidth - width) / 2;
        y = area.top + (areaHeight - height) / 2;
    } else {
        x = std::clamp(static_cast<int>(rect.left), static_cast<int>(area.left),
                       static_cast<int>(area.right) - width);
        y = std::clamp(static_cast<int>(rect.top), static_cast<int>(area.top),
                       static_cast<int>(area.bottom) - height);
    }
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
