// The desktop: metrics, the work area, monitors with and without the run-time monitor
// functions, the screen's capabilities and display changes.
#include <cstring>

#include "port/system/lasterror.h"
#include "port/window/gdi.h"
#include "port/window/menu.h"
#include "port/window/metrics.h"
#include "windowfixture.h"

namespace {

using window_testing::WindowTest;

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(WindowTest, MetricsFollowTheDesktopAndOverrides) {
    port::control::SetDesktop(800, 600, 16);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    // The 800 x 600 window with its frame does not fit this desktop.
    EXPECT_LT(GetSystemMetrics(SM_CXSCREEN),
              800 + GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXFRAME));
    port::control::SetSystemMetric(SM_CYCAPTION, 30);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 30);
    RECT rect{0, 0, 100, 100};
    AdjustWindowRectEx(&rect, WS_CAPTION, FALSE, 0);
    EXPECT_EQ(rect.top, -33);
    EXPECT_EQ(GetSystemMetrics(12345), 0);
}

TEST_F(WindowTest, ScreenCapabilities) {
    struct Case {
        int bitsPerPixel;
        int colours;
    } cases[] = {{32, -1}, {24, -1}, {16, -1}, {8, 256}, {4, 16}};
    for (const Case& c : cases) {
        port::control::SetDesktop(1280, 1024, c.bitsPerPixel);
        HDC screen = GetDC(nullptr);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1280);
        EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 1024);
        EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), c.colours) << c.bitsPerPixel;
        EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), c.bitsPerPixel);
        EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
        EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
        EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 0);
    }
}

TEST_F(WindowTest, DisplayChangeReachesTheTopLevelWindows) {
    HWND window = MakeWindow();
    HWND child = MakeChild(window, RECT{0, 0, 10, 10});
    port::control::InjectDisplayChange(640, 480, 8);
    std::vector<window_testing::Seen> changes = Messages(WM_DISPLAYCHANGE);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].window, window);
    EXPECT_NE(changes[0].window, child);
    EXPECT_EQ(changes[0].wParam, 8u);
    EXPECT_EQ(changes[0].lParam, MAKELPARAM(640, 480));
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), 256);
    ReleaseDC(nullptr, screen);
}

TEST_F(WindowTest, WorkAreaAndMonitors) {
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_TRUE(SameRect(work, RECT{0, 0, 1024, 738}));
    port::control::SetWorkArea(RECT{0, 40, 1024, 768});
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.top, 40);

    port::MonitorSpec left{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 738}, "\\\\.\\DISPLAY1", true};
    port::MonitorSpec right{RECT{1024, 0, 2304, 1024}, RECT{1024, 0, 2304, 1024}, "\\\\.\\DISPLAY2",
                            false};
    port::control::SetMonitors({left, right});
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 2304);
    // The window lies mostly on the second monitor.
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{900, 100, 1500, 500});
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    MONITORINFOEXA info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoA(monitor, reinterpret_cast<MONITORINFO*>(&info)));
    EXPECT_STREQ(info.szDevice, "\\\\.\\DISPLAY2");
    EXPECT_EQ(info.dwFlags, 0u);
    EXPECT_TRUE(SameRect(info.rcWork, right.work));
    // Off every monitor: by the flags.
    RECT away{5000, 5000, 5100, 5100};
    EXPECT_EQ(MonitorFromRect(&away, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromRect(&away, MONITOR_DEFAULTTONEAREST), monitor);
    HMONITOR primary = MonitorFromRect(&away, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO plain{};
    plain.cbSize = sizeof plain;
    ASSERT_TRUE(GetMonitorInfoA(primary, &plain));
    EXPECT_EQ(plain.dwFlags, MONITORINFOF_PRIMARY);
    plain.cbSize = 3;
    EXPECT_FALSE(GetMonitorInfoA(primary, &plain));
}

TEST_F(WindowTest, MonitorFallbackWithoutTheRunTimeFunctions) {
    port::control::SetMonitors(
        {{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 700}, "\\\\.\\DISPLAY1", true},
         {RECT{1024, 0, 2048, 768}, RECT{1024, 0, 2048, 768}, "\\\\.\\DISPLAY2", false}});
    port::control::SetMonitorFunctionsAvailable(false);
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{1100, 100, 1500, 500});
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    ASSERT_NE(monitor, nullptr);
    MONITORINFOEXA info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoA(monitor, reinterpret_cast<MONITORINFO*>(&info)));
    EXPECT_STREQ(info.szDevice, "DISPLAY");
    EXPECT_EQ(info.dwFlags, MONITORINFOF_PRIMARY);
    EXPECT_TRUE(SameRect(info.rcMonitor,
                         RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(SameRect(info.rcWork, work));
    EXPECT_EQ(work.bottom, 700);
    RECT away{5000, 5000, 5100, 5100};
    EXPECT_EQ(MonitorFromRect(&away, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromRect(&away, MONITOR_DEFAULTTONEAREST), monitor);
}

TEST_F(WindowTest, SystemMenuIsARecord) {
    HWND window = MakeWindow();
    HMENU menu = GetSystemMenu(window, FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetSystemMenu(window, FALSE), menu);
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 7);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = MFS_GRAYED | MFS_DISABLED;
    EXPECT_TRUE(SetMenuItemInfoA(menu, SC_SIZE, FALSE, &info));
    for (UINT position = 0; position < 4; ++position) {
        EXPECT_TRUE(SetMenuItemInfoA(menu, position, TRUE, &info));
    }
    EXPECT_FALSE(SetMenuItemInfoA(menu, 0x1234, FALSE, &info));
    EXPECT_EQ(GetLastError(), ERROR_MENU_ITEM_NOT_FOUND);
    MENUITEMINFOA read{};
    read.cbSize = sizeof read;
    read.fMask = MIIM_STATE | MIIM_ID;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 3, TRUE, &read));
    EXPECT_EQ(read.wID, SC_MINIMIZE);
    EXPECT_EQ(read.fState, MFS_GRAYED);
    ASSERT_TRUE(GetMenuItemInfoA(menu, SC_CLOSE, FALSE, &read));
    EXPECT_EQ(read.fState, MFS_ENABLED);
    EXPECT_EQ(GetSystemMenu(window, TRUE), nullptr);
    ASSERT_TRUE(GetMenuItemInfoA(menu, SC_SIZE, FALSE, &read));
    EXPECT_EQ(read.fState, MFS_ENABLED);
    // No system menu without WS_SYSMENU.
    EXPECT_EQ(GetSystemMenu(MakeWindow(WS_POPUP), FALSE), nullptr);
}

}  // namespace
