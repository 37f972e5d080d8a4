#include "port/window/metrics.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "port/system/lasterror.h"
#include "port/window/control.h"
#include "port/window/desktop.h"
#include "port/window/events.h"
#include "port/window/windowpos.h"

namespace port {
namespace {

constexpr int kPanelHeight = 30;  // the default work area leaves a panel at the bottom
// The one monitor of the fallback, as the multi-monitor stubs answer it.
const HMONITOR kFallbackMonitor = reinterpret_cast<HMONITOR>(0x00061001);
constexpr uintptr_t kMonitorBase = 0x00060010;

struct DesktopState {
    std::mutex mutex;
    DesktopMode mode{1024, 768, 32, 60};
    bool customWork = false;
    RECT work{};
    std::vector<MonitorSpec> monitors;  // empty: the default monitor
    bool monitorFunctions = true;
    std::map<int, int> metrics;
    UINT hoverTime = 400;
};

DesktopState& State() {
    static DesktopState* state = new DesktopState;
    return *state;
}

RECT DefaultWorkLocked(const DesktopState& state) {
    if (state.customWork) return state.work;
    return RECT{0, 0, state.mode.width, std::max(0, state.mode.height - kPanelHeight)};
}

std::vector<MonitorSpec> MonitorsLocked(const DesktopState& state) {
    if (!state.monitors.empty()) return state.monitors;
    MonitorSpec primary;
    primary.area = RECT{0, 0, state.mode.width, state.mode.height};
    primary.work = DefaultWorkLocked(state);
    primary.device = "\\\\.\\DISPLAY1";
    primary.primary = true;
    return {primary};
}

RECT PrimaryWorkLocked(const DesktopState& state) {
    for (const MonitorSpec& monitor : MonitorsLocked(state)) {
        if (monitor.primary) return monitor.work;
    }
    return DefaultWorkLocked(state);
}

int DefaultMetricLocked(const DesktopState& state, int index) {
    switch (index) {
        case SM_CXSCREEN:
            return state.mode.width;
        case SM_CYSCREEN:
            return state.mode.height;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
            return 16;
        case SM_CYCAPTION:
            return 19;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXFIXEDFRAME:
        case SM_CYFIXEDFRAME:
            return 3;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return 32;
        case SM_CYMENU:
            return 19;
        case SM_MOUSEPRESENT:
            return 1;
        case SM_CXMIN:
            return 112;
        case SM_CYMIN:
            return 27;
        case SM_CXSIZE:
        case SM_CYSIZE:
            return 18;
        case SM_CXSIZEFRAME:
        case SM_CYSIZEFRAME:
            return 4;
        case SM_CMOUSEBUTTONS:
            return 5;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return 2;
        case SM_CYSMCAPTION:
            return 15;
        case SM_CXMINIMIZED:
            return 160;
        case SM_CYMINIMIZED:
            return 24;
        case SM_MOUSEWHEELPRESENT:
            return 1;
        case SM_SAMEDISPLAYFORMAT:
            return 1;
        case SM_CMONITORS:
            return static_cast<int>(MonitorsLocked(state).size());
        default:
            break;
    }
    if (index >= SM_XVIRTUALSCREEN && index <= SM_CYVIRTUALSCREEN) {
        RECT box{0, 0, 0, 0};
        bool first = true;
        for (const MonitorSpec& monitor : MonitorsLocked(state)) {
            const RECT& r = monitor.area;
            box = first ? r
                        : RECT{std::min(box.left, r.left), std::min(box.top, r.top),
                               std::max(box.right, r.right), std::max(box.bottom, r.bottom)};
            first = false;
        }
        switch (index) {
            case SM_XVIRTUALSCREEN:
                return box.left;
            case SM_YVIRTUALSCREEN:
                return box.top;
            case SM_CXVIRTUALSCREEN:
                return box.right - box.left;
            default:
                return box.bottom - box.top;
        }
    }
    return 0;
}

// In 64 bits: a caller's rectangle may lie anywhere in the int range.
long long Overlap(const RECT& a, const RECT& b) {
    long long width = std::min<long long>(a.right, b.right) - std::max<long long>(a.left, b.left);
    long long height = std::min<long long>(a.bottom, b.bottom) - std::max<long long>(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// Squared distance between two rectangles (0 when they touch or overlap); in double, since the
// square of a distance across the int range does not fit 64 bits.
double Distance(const RECT& a, const RECT& b) {
    double dx = static_cast<double>(std::max<long long>(
        {0, static_cast<long long>(b.left) - a.right, static_cast<long long>(a.left) - b.right}));
    double dy = static_cast<double>(std::max<long long>(
        {0, static_cast<long long>(b.top) - a.bottom, static_cast<long long>(a.top) - b.bottom}));
    return dx * dx + dy * dy;
}

HMONITOR MonitorHandle(size_t index) {
    return reinterpret_cast<HMONITOR>(kMonitorBase + index * 0x10);
}

}  // namespace

DesktopMode CurrentDesktopMode() {
    DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.mode;
}

int DesktopColourCount(int bitsPerPixel) {
    return bitsPerPixel > 8 ? -1 : 1 << bitsPerPixel;
}

void ResetDesktop() {
    DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.mode = DesktopMode{1024, 768, 32, 60};
    state.customWork = false;
    state.monitors.clear();
    state.monitorFunctions = true;
    state.metrics.clear();
    state.hoverTime = 400;
}

void DeliverDesktop(int width, int height, int bitsPerPixel) {
    DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.mode.width = width;
    state.mode.height = height;
    state.mode.bitsPerPixel = bitsPerPixel;
}

void DeliverRefreshRate(int hertz) {
    DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.mode.refreshRate = hertz;
}

void DeliverWorkArea(const RECT& work) {
    DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.customWork = true;
    state.work = work;
    for (MonitorSpec& monitor : state.monitors) {
        if (monitor.primary) monitor.work = work;
    }
}

void DeliverMonitors(const std::vector<MonitorSpec>& monitors) {
    DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.monitors = monitors;
}

namespace control {

void SetDesktop(int width, int height, int bitsPerPixel) {
    DeliverDesktop(width, height, bitsPerPixel);
}

void SetDesktopRefreshRate(int hertz) {
    DeliverRefreshRate(hertz);
}

void SetWorkArea(const RECT& work) {
    DeliverWorkArea(work);
}

void SetMonitors(const std::vector<MonitorSpec>& monitors) {
    DeliverMonitors(monitors);
}

void SetMonitorFunctionsAvailable(bool available) {
    DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.monitorFunctions = available;
}

void SetSystemMetric(int index, int value) {
    DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.metrics[index] = value;
}

void SetMouseHoverTime(UINT milliseconds) {
    DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.hoverTime = milliseconds;
}

}  // namespace control
}  // namespace port

using port::State;

int GetSystemMetrics(int index) {
    port::DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto it = state.metrics.find(index);
    return it != state.metrics.end() ? it->second : port::DefaultMetricLocked(state, index);
}

BOOL SystemParametersInfoA(UINT action, UINT, void* value, UINT) {
    port::DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (value == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    switch (action) {
        case SPI_GETWORKAREA:
            *static_cast<RECT*>(value) = port::PrimaryWorkLocked(state);
            return TRUE;
        case SPI_GETMOUSEHOVERWIDTH:
        case SPI_GETMOUSEHOVERHEIGHT:
            *static_cast<UINT*>(value) = 4;
            return TRUE;
        case SPI_GETMOUSEHOVERTIME:
            *static_cast<UINT*>(value) = state.hoverTime;
            return TRUE;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
    }
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
    if (rect == nullptr) return nullptr;
    port::DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.monitorFunctions) {
        RECT screen{0, 0, state.mode.width, state.mode.height};
        bool onScreen = port::Overlap(*rect, screen) > 0;
        return onScreen || flags != MONITOR_DEFAULTTONULL ? port::kFallbackMonitor : nullptr;
    }
    std::vector<port::MonitorSpec> monitors = port::MonitorsLocked(state);
    size_t best = monitors.size();
    long long bestOverlap = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        long long overlap = port::Overlap(*rect, monitors[i].area);
        if (overlap > bestOverlap) {
            best = i;
            bestOverlap = overlap;
        }
    }
    if (best == monitors.size()) {
        if (flags == MONITOR_DEFAULTTONULL) return nullptr;
        double bestDistance = -1;
        for (size_t i = 0; i < monitors.size(); ++i) {
            bool pick =
                flags == MONITOR_DEFAULTTOPRIMARY
                    ? monitors[i].primary
                    : bestDistance < 0 || port::Distance(*rect, monitors[i].area) < bestDistance;
            if (pick) {
                best = i;
                bestDistance = port::Distance(*rect, monitors[i].area);
            }
        }
    }
    return best < monitors.size() ? port::MonitorHandle(best) : nullptr;
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) {
        return flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorFromRect(&rect, flags);
    }
    return MonitorFromRect(&rect, flags);
}

HMONITOR MonitorFromPoint(POINT point, DWORD flags) {
    // The pixel at the point; at the end of the int range no monitor can hold it, and an empty
    // rectangle there finds the same answer without overflowing.
    auto next = [](LONG value) { return value == INT32_MAX ? value : value + 1; };
    RECT rect{point.x, point.y, next(point.x), next(point.y)};
    return MonitorFromRect(&rect, flags);
}

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
    if (info == nullptr ||
        (info->cbSize != sizeof(MONITORINFO) && info->cbSize != sizeof(MONITORINFOEXA))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    port::DesktopState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    port::MonitorSpec found;
    if (monitor == port::kFallbackMonitor) {
        found.area = RECT{0, 0, state.mode.width, state.mode.height};
        found.work = port::PrimaryWorkLocked(state);
        found.device = "DISPLAY";
        found.primary = true;
    } else {
        std::vector<port::MonitorSpec> monitors = port::MonitorsLocked(state);
        uintptr_t value = reinterpret_cast<uintptr_t>(monitor);
        size_t index = (value - port::kMonitorBase) / 0x10;
        if (!state.monitorFunctions || value < port::kMonitorBase ||
            (value - port::kMonitorBase) % 0x10 != 0 || index >= monitors.size()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        found = monitors[index];
    }
    info->rcMonitor = found.area;
    info->rcWork = found.work;
    info->dwFlags = found.primary ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize == sizeof(MONITORINFOEXA)) {
        char* device = reinterpret_cast<MONITORINFOEXA*>(info)->szDevice;
        std::memset(device, 0, CCHDEVICENAME);
        std::strncpy(device, found.device.c_str(), CCHDEVICENAME - 1);
    }
    return TRUE;
}
