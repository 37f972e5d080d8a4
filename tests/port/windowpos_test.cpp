// Geometry: the virtual frame, moving and sizing, minimising and restoring, the hit test.
#include <cstdint>
#include <optional>

#include "port/system/lasterror.h"
#include "port/window/activation.h"
#include "port/window/metrics.h"
#include "windowfixture.h"

namespace {

using window_testing::BothBackendsTest;
using window_testing::WindowTest;

RECT ClientOf(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

TEST_P(BothBackendsTest, FrameOfTheMainStyle) {
    RECT rect{0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRectEx(&rect, window_testing::kMainStyle, FALSE, WS_EX_APPWINDOW));
    EXPECT_EQ(rect.right - rect.left, 800 + 2 * GetSystemMetrics(SM_CXSIZEFRAME));
    EXPECT_EQ(rect.bottom - rect.top,
              600 + 2 * GetSystemMetrics(SM_CYSIZEFRAME) + GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(rect.left, -GetSystemMetrics(SM_CXSIZEFRAME));

    struct Case {
        DWORD style;
        DWORD exStyle;
        BOOL menu;
        RECT expected;
    } cases[] = {
        {WS_POPUP, WS_EX_TOPMOST, FALSE, {0, 0, 100, 100}},
        {WS_CHILD | WS_VISIBLE, 0, FALSE, {0, 0, 100, 100}},
        {WS_POPUP | WS_BORDER, 0, FALSE, {-1, -1, 101, 101}},
        {WS_CAPTION, 0, FALSE, {-3, -22, 103, 103}},
        {WS_CAPTION | WS_THICKFRAME, 0, TRUE, {-4, -42, 104, 104}},
        {WS_POPUP, WS_EX_CLIENTEDGE, FALSE, {-2, -2, 102, 102}},
    };
    for (const Case& c : cases) {
        RECT adjusted{0, 0, 100, 100};
        AdjustWindowRectEx(&adjusted, c.style, c.menu, c.exStyle);
        EXPECT_EQ(adjusted.left, c.expected.left) << std::hex << c.style;
        EXPECT_EQ(adjusted.top, c.expected.top) << std::hex << c.style;
        EXPECT_EQ(adjusted.right, c.expected.right) << std::hex << c.style;
        EXPECT_EQ(adjusted.bottom, c.expected.bottom) << std::hex << c.style;
    }
}

TEST_P(BothBackendsTest, AdjustedSizeAndForcedSizeGiveTheSameClientArea) {
    HWND window = MakeWindow();
    RECT outer{0, 0, 800, 600};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left,
                             outer.bottom - outer.top, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE));
    RECT client = ClientOf(window);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    std::vector<window_testing::Seen> sizes = Messages(WM_SIZE, window);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back().wParam, SIZE_RESTORED);
    EXPECT_EQ(sizes.back().lParam, MAKELPARAM(800, 600));

    // The window procedure forcing the outer size in WM_WINDOWPOSCHANGING, whatever was asked.
    window_testing::SetHook(
        [](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (message == WM_WINDOWPOSCHANGING) {
                auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
                if ((pos->flags & SWP_NOSIZE) == 0) {
                    pos->cx = 640 + 2 * GetSystemMetrics(SM_CXSIZEFRAME);
                    pos->cy =
                        480 + 2 * GetSystemMetrics(SM_CYSIZEFRAME) + GetSystemMetrics(SM_CYCAPTION);
                }
            }
            return std::nullopt;
        });
    MoveWindow(window, 10, 20, 300, 200, TRUE);
    client = ClientOf(window);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(origin.x, 10 + GetSystemMetrics(SM_CXSIZEFRAME));
    EXPECT_EQ(origin.y, 20 + GetSystemMetrics(SM_CYSIZEFRAME) + GetSystemMetrics(SM_CYCAPTION));
    std::vector<window_testing::Seen> changed = Messages(WM_WINDOWPOSCHANGED, window);
    ASSERT_FALSE(changed.empty());
    EXPECT_EQ(changed.back().pos.cx, 648);
    EXPECT_EQ(changed.back().pos.x, 10);
}

TEST_P(BothBackendsTest, UnchangedSizeSendsNoSize) {
    HWND window = MakeWindow();
    ClearLog();
    SetWindowPos(window, nullptr, 50, 60, 480, 360, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Messages(WM_SIZE).empty());
    ASSERT_EQ(Messages(WM_MOVE).size(), 1u);
    EXPECT_NE(Messages(WM_WINDOWPOSCHANGED).back().pos.flags & SWP_NOSIZE, 0u);
}

TEST_P(BothBackendsTest, SetWindowPosFailureIsInjectable) {
    HWND window = MakeWindow();
    port::control::InjectFailure("SetWindowPos", ERROR_ACCESS_DENIED, 1);
    ClearLog();
    EXPECT_FALSE(SetWindowPos(window, HWND_TOP, 0, 0, 800, 600, 0));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(Messages(WM_WINDOWPOSCHANGING).empty());
    EXPECT_TRUE(SetWindowPos(window, HWND_TOP, 0, 0, 800, 600, 0));
}

TEST_F(WindowTest, MinimiseAndRestoreFromTheDesktop) {
    HWND window = MakeWindow(window_testing::kMainStyle, 0, true, RECT{30, 40, 510, 400});
    ASSERT_EQ(GetForegroundWindow(), window);
    ClearLog();
    port::control::InjectMinimise(window);
    Pump();
    std::vector<window_testing::Seen> changed = Messages(WM_WINDOWPOSCHANGED, window);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].pos.x, -32000);
    EXPECT_EQ(changed[0].pos.y, -32000);
    std::vector<window_testing::Seen> sizes = Messages(WM_SIZE, window);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(sizes[0].lParam, 0);
    EXPECT_TRUE(IsIconic(window));
    RECT client = ClientOf(window);
    EXPECT_EQ(client.right, 0);
    // The program lost the foreground to nobody in particular.
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    ASSERT_EQ(Messages(WM_ACTIVATEAPP, window).size(), 1u);
    EXPECT_EQ(Messages(WM_ACTIVATEAPP, window)[0].wParam, 0u);

    ClearLog();
    port::control::InjectRestore(window);
    Pump();
    sizes = Messages(WM_SIZE, window);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(480 - 8, 360 - 27));
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(GetForegroundWindow(), window);
    ASSERT_EQ(Messages(WM_ACTIVATEAPP, window).size(), 1u);
    EXPECT_EQ(Messages(WM_ACTIVATEAPP, window)[0].wParam, 1u);
    // Restored, it paints again.
    EXPECT_EQ(Messages(WM_PAINT, window).size(), 1u);
}

TEST_P(BothBackendsTest, MaximiseFillsTheWorkArea) {
    HWND window = MakeWindow(WS_OVERLAPPEDWINDOW);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT client = ClientOf(window);
    EXPECT_EQ(client.right, work.right - work.left);
    EXPECT_EQ(client.bottom, work.bottom - work.top - GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(Messages(WM_SIZE, window).back().wParam, SIZE_MAXIMIZED);
    // Minimised and restored, it is maximised again; shown normally, it is back in its place.
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_RESTORE);
    EXPECT_EQ(Messages(WM_SIZE, window).back().wParam, SIZE_MAXIMIZED);
    ShowWindow(window, SW_SHOWNORMAL);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 480);
    EXPECT_EQ(Messages(WM_SIZE, window).back().wParam, SIZE_RESTORED);
}

TEST_P(BothBackendsTest, HitTestOfTheVirtualFrame) {
    HWND window = MakeWindow(window_testing::kMainStyle, 0, true, RECT{100, 100, 580, 460});
    struct Case {
        int x;
        int y;
        LRESULT expected;
    } cases[] = {
        {579, 459, HTBOTTOMRIGHT}, {100, 100, HTTOPLEFT}, {579, 100, HTTOPRIGHT},
        {100, 459, HTBOTTOMLEFT},  {300, 100, HTTOP},     {300, 459, HTBOTTOM},
        {100, 300, HTLEFT},        {579, 300, HTRIGHT},   {300, 110, HTCAPTION},
        {110, 110, HTSYSMENU},     {570, 110, HTCLOSE},   {550, 110, HTMAXBUTTON},
        {530, 110, HTMINBUTTON},   {300, 300, HTCLIENT},  {99, 300, HTNOWHERE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefWindowProcA(window, WM_NCHITTEST, 0, MAKELPARAM(c.x, c.y)), c.expected)
            << c.x << "," << c.y;
    }
    // A frame without sizing is a plain border; a popup is all client.
    HWND fixed = MakeWindow(WS_CAPTION | WS_SYSMENU, 0, true, RECT{0, 0, 200, 200});
    EXPECT_EQ(DefWindowProcA(fixed, WM_NCHITTEST, 0, MAKELPARAM(199, 199)), HTBORDER);
    HWND popup = MakeWindow(WS_POPUP, 0, true, RECT{0, 0, 200, 200});
    EXPECT_EQ(DefWindowProcA(popup, WM_NCHITTEST, 0, MAKELPARAM(199, 199)), HTCLIENT);
}

TEST_P(BothBackendsTest, ShowingAndHiding) {
    HWND first = MakeWindow();
    HWND second = MakeWindow();
    ASSERT_EQ(GetForegroundWindow(), second);
    EXPECT_TRUE(ShowWindow(second, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(second));
    EXPECT_EQ(GetForegroundWindow(), first);
    EXPECT_FALSE(ShowWindow(second, SW_SHOWNA));
    EXPECT_EQ(GetForegroundWindow(), first);
    EXPECT_TRUE(ShowWindow(second, SW_SHOW));
    EXPECT_EQ(GetForegroundWindow(), second);
    EXPECT_FALSE(ShowWindow(second, 99));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_P(BothBackendsTest, PositionsAndSizesStayInTheRangeOfTheMessages) {
    HWND window = MakeWindow();
    ClearLog();
    ASSERT_TRUE(SetWindowPos(window, nullptr, INT32_MAX, INT32_MIN, INT32_MAX, -5,
                             SWP_NOZORDER | SWP_NOACTIVATE));
    std::vector<window_testing::Seen> changing = Messages(WM_WINDOWPOSCHANGING, window);
    ASSERT_EQ(changing.size(), 1u);
    EXPECT_EQ(changing[0].pos.x, 32767);
    EXPECT_EQ(changing[0].pos.y, -32768);
    EXPECT_EQ(changing[0].pos.cx, 32767);
    EXPECT_EQ(changing[0].pos.cy, 0);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 32767);
    EXPECT_EQ(rect.top, -32768);
    EXPECT_EQ(rect.right, 32767 + 32767);
    EXPECT_EQ(rect.bottom, -32768);
    RECT client = ClientOf(window);
    EXPECT_EQ(client.right, 32767 - 2 * GetSystemMetrics(SM_CXSIZEFRAME));
    EXPECT_EQ(client.bottom, 0);

    // A window procedure that writes anything into the WINDOWPOS is held to the same range.
    window_testing::SetHook(
        [](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (message == WM_WINDOWPOSCHANGING) {
                auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
                pos->x = INT32_MIN;
                pos->cx = INT32_MAX;
                pos->cy = INT32_MIN;
            }
            return std::nullopt;
        });
    ASSERT_TRUE(SetWindowPos(window, nullptr, 10, 20, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE));
    window_testing::SetHook(nullptr);
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, -32768);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right, -32768 + 32767);
    EXPECT_EQ(rect.bottom, 20);
    POINT corner{0, 0};
    ASSERT_TRUE(ClientToScreen(window, &corner));
    EXPECT_EQ(corner.x, -32768 + GetSystemMetrics(SM_CXSIZEFRAME));

    // Creation is held to it too (INT32_MIN itself is CW_USEDEFAULT).
    HWND huge = CreateWindowExA(0, "ANSI_WNDCLASS", "", WS_POPUP, INT32_MIN + 1, INT32_MAX,
                                INT32_MAX, INT32_MAX, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(huge, nullptr);
    GetWindowRect(huge, &rect);
    EXPECT_EQ(rect.left, -32768);
    EXPECT_EQ(rect.top, 32767);
    EXPECT_EQ(rect.right, -32768 + 32767);
    EXPECT_EQ(rect.bottom, 32767 + 32767);
}

TEST_P(BothBackendsTest, PointsAnywhereConvertByWrappingAsOnWindows) {
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{100, 50, 300, 300});
    POINT point{INT32_MAX, INT32_MIN};
    ASSERT_TRUE(ClientToScreen(window, &point));
    EXPECT_EQ(point.x, INT32_MIN + 99);
    EXPECT_EQ(point.y, INT32_MIN + 50);
    ASSERT_TRUE(ScreenToClient(window, &point));
    EXPECT_EQ(point.x, INT32_MAX);
    EXPECT_EQ(point.y, INT32_MIN);
}

TEST_P(BothBackendsTest, ExtremeRectanglesNeitherOverflowNorLoseTheirMonitor) {
    RECT all{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    RECT grown = all;
    ASSERT_TRUE(AdjustWindowRectEx(&grown, window_testing::kMainStyle, TRUE, WS_EX_CLIENTEDGE));
    EXPECT_EQ(grown.left, INT32_MIN);
    EXPECT_EQ(grown.top, INT32_MIN);
    EXPECT_EQ(grown.right, INT32_MAX);
    EXPECT_EQ(grown.bottom, INT32_MAX);

    port::MonitorSpec left{{-1024, 0, 0, 768}, {-1024, 0, 0, 738}, "\\\\.\\DISPLAY2"};
    port::MonitorSpec primary{{0, 0, 1024, 768}, {0, 0, 1024, 738}, "\\\\.\\DISPLAY1", true};
    port::control::SetMonitors({left, primary});
    MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
    HMONITOR monitor = MonitorFromRect(&all, MONITOR_DEFAULTTONULL);
    ASSERT_NE(monitor, nullptr);
    ASSERT_TRUE(GetMonitorInfoA(monitor, &info));
    EXPECT_EQ(info.rcMonitor.left, -1024);  // the first of two equal overlaps
    RECT farRight{INT32_MAX - 1, INT32_MAX - 1, INT32_MAX, INT32_MAX};
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromRect(&farRight, MONITOR_DEFAULTTONEAREST), &info));
    EXPECT_EQ(info.rcMonitor.left, 0);
    RECT farLeft{INT32_MIN, INT32_MIN, INT32_MIN + 1, INT32_MIN + 1};
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromRect(&farLeft, MONITOR_DEFAULTTONEAREST), &info));
    EXPECT_EQ(info.rcMonitor.left, -1024);
    // Points at the ends of the range.
    EXPECT_EQ(MonitorFromPoint(POINT{INT32_MAX, INT32_MAX}, MONITOR_DEFAULTTONULL), nullptr);
    ASSERT_TRUE(GetMonitorInfoA(
        MonitorFromPoint(POINT{INT32_MAX, INT32_MAX}, MONITOR_DEFAULTTONEAREST), &info));
    EXPECT_EQ(info.rcMonitor.left, 0);
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(POINT{-1, 5}, MONITOR_DEFAULTTONULL), &info));
    EXPECT_EQ(info.rcMonitor.left, -1024);
}

}  // namespace
