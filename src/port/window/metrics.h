// System metrics, system parameters and monitors.
//
// The virtual desktop (port/window/events.h, control.h) has a size, a colour depth, one or more
// monitors and a work area (the desktop without its panels; by default all but 30 pixels at the
// bottom). The metrics have the values of a classic Windows theme (caption 19, sizing frame 4,
// fixed frame 3, edge 2, border 1, minimised window 160 x 24), and tests may change any of
// them.
//
// The monitor calls behave as the program's multi-monitor stubs do: when the run-time monitor
// functions are there (the default) they answer from the desktop's monitors; when a test
// takes them away, the whole screen is one primary monitor named "DISPLAY" whose work area is
// SPI_GETWORKAREA.
//
// Any thread may call these. System parameters other than the work area and the hover
// settings are not modelled.
#pragma once

#include <string>

#include "port/win32types.h"

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CXFIXEDFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CYFIXEDFRAME = 8;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_MOUSEPRESENT = 19;
constexpr int SM_SWAPBUTTON = 23;
constexpr int SM_CXMIN = 28;
constexpr int SM_CYMIN = 29;
constexpr int SM_CXSIZE = 30;
constexpr int SM_CYSIZE = 31;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CXSIZEFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CYSIZEFRAME = 33;
constexpr int SM_CMOUSEBUTTONS = 43;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CYSMCAPTION = 51;
constexpr int SM_CXMINIMIZED = 57;
constexpr int SM_CYMINIMIZED = 58;
constexpr int SM_MOUSEWHEELPRESENT = 75;
constexpr int SM_XVIRTUALSCREEN = 76;
constexpr int SM_YVIRTUALSCREEN = 77;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;
constexpr int SM_CMONITORS = 80;
constexpr int SM_SAMEDISPLAYFORMAT = 81;

// 0 for an unknown index.
int GetSystemMetrics(int index);

constexpr UINT SPI_GETWORKAREA = 0x0030;
constexpr UINT SPI_GETMOUSEHOVERWIDTH = 0x0062;
constexpr UINT SPI_GETMOUSEHOVERHEIGHT = 0x0064;
constexpr UINT SPI_GETMOUSEHOVERTIME = 0x0066;

// The queries above: the work area of the primary monitor (RECT), the hover rectangle's width
// and height and the hover time (UINT). FALSE (ERROR_INVALID_PARAMETER) for anything else.
BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni);

constexpr DWORD MONITOR_DEFAULTTONULL = 0;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD MONITORINFOF_PRIMARY = 1;
constexpr int CCHDEVICENAME = 32;

struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};

struct MONITORINFOEXA {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
    char szDevice[CCHDEVICENAME];
};

// The monitor that holds the largest part of the rectangle (a window's outer rectangle); when
// none does, by the flags: none, the primary one, or the nearest.
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
HMONITOR MonitorFromPoint(POINT point, DWORD flags);
// info->cbSize tells MONITORINFO from MONITORINFOEXA (which also gets the device name).
BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info);

namespace port {

// One monitor of the desktop, as a backend or a test describes it (port/window/events.h).
struct MonitorSpec {
    RECT area;
    RECT work;
    std::string device;  // as GetMonitorInfoA gives it, e.g. "\\\\.\\DISPLAY1"
    bool primary = false;
};

}  // namespace port
