#include "windowfixture.h"

#include "port/window/cursor.h"

namespace window_testing {
namespace {

Hook gHook;

}  // namespace

std::vector<Seen>& Log() {
    static std::vector<Seen> log;
    return log;
}

void SetHook(Hook hook) {
    gHook = std::move(hook);
}

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    window_testing::Seen seen{window, message, wParam, lParam, WINDOWPOS{}};
    if (message == WM_WINDOWPOSCHANGING || message == WM_WINDOWPOSCHANGED) {
        seen.pos = *reinterpret_cast<WINDOWPOS*>(lParam);
    }
    Log().push_back(seen);
    if (gHook) {
        if (std::optional<LRESULT> answer = gHook(window, message, wParam, lParam)) return *answer;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void WindowTest::SetUp() {
    port::control::UseFakeClock(true);
    port::control::SetTime(100000);
    Log().clear();
    gHook = nullptr;
    RegisterClasses();
}

void WindowTest::TearDown() {
    gHook = nullptr;
}

void WindowTest::RegisterClasses() {
    WNDCLASSW wide{};
    wide.style = CS_HREDRAW | CS_VREDRAW;
    wide.lpfnWndProc = RecordingProc;
    wide.cbWndExtra = 4;
    wide.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wide.hbrBackground = reinterpret_cast<HBRUSH>(1);
    wide.lpszClassName = u"RECORD_WNDCLASS";
    ASSERT_NE(RegisterClassW(&wide), 0);
    WNDCLASSA ansi{};
    ansi.style = CS_HREDRAW | CS_VREDRAW;
    ansi.lpfnWndProc = RecordingProc;
    ansi.cbWndExtra = 4;
    ansi.lpszClassName = "ANSI_WNDCLASS";
    ASSERT_NE(RegisterClassA(&ansi), 0);
}

HWND WindowTest::MakeWindow(DWORD style, DWORD exStyle, bool show, RECT rect, bool ansi) {
    HWND window = ansi ? CreateWindowExA(exStyle, "ANSI_WNDCLASS", "Brisvel", style, rect.left,
                                         rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                         nullptr, nullptr, nullptr, nullptr)
                       : CreateWindowExW(exStyle, u"RECORD_WNDCLASS", u"Brisvel", style, rect.left,
                                         rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                         nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(window, nullptr);
    if (show) ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

HWND WindowTest::MakeChild(HWND parent, RECT rect) {
    HWND window = CreateWindowExW(0, u"RECORD_WNDCLASS", u"", WS_CHILD | WS_VISIBLE, rect.left,
                                  rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                  nullptr, nullptr, nullptr);
    EXPECT_NE(window, nullptr);
    return window;
}

std::vector<MSG> WindowTest::Pump() {
    std::vector<MSG> taken;
    MSG msg;
    // WM_PAINT stays until validated: dispatching validates it through DefWindowProc.
    for (int guard = 0; guard < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        taken.push_back(msg);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return taken;
}

std::vector<Seen> WindowTest::Messages(UINT message, HWND window) const {
    std::vector<window_testing::Seen> out;
    for (const window_testing::Seen& seen : Log()) {
        if (seen.message == message && (window == nullptr || seen.window == window)) {
            out.push_back(seen);
        }
    }
    return out;
}

}  // namespace window_testing
