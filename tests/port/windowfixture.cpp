#include "windowfixture.h"

#include <SDL2/SDL.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "port/startup.h"
#include "port/window/cursor.h"
#include "port/window/sdl/sdlbackend.h"

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

void BothBackendsTest::SetUp() {
    WindowTest::SetUp();
    if (!IsSdl()) return;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        GTEST_SKIP() << "no X display: CTest runs this under xvfb-run -a";
    }
    setenv("SDL_VIDEODRIVER", "x11", 1);
    ASSERT_TRUE(port::SelectWindowBackend("sdl")) << "SDL cannot open " << display;
}

bool BothBackendsTest::IsSdl() const {
    return std::strcmp(GetParam(), "sdl") == 0;
}

std::vector<MSG> BothBackendsTest::Settle() {
    std::vector<MSG> taken;
    if (IsSdl()) {
        for (int i = 0; i < 15; ++i) {
            std::vector<MSG> more = Pump();
            taken.insert(taken.end(), more.begin(), more.end());
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    std::vector<MSG> more = Pump();
    taken.insert(taken.end(), more.begin(), more.end());
    return taken;
}

void BothBackendsTest::ExpectShownSize(HWND window) {
    if (!IsSdl()) return;
    SDL_Window* shown = port::sdl::CurrentWindow();
    ASSERT_NE(shown, nullptr);
    RECT client{};
    GetClientRect(window, &client);
    int width = 0, height = 0;
    SDL_GetWindowSize(shown, &width, &height);
    EXPECT_EQ(width, client.right);
    EXPECT_EQ(height, client.bottom);
}

bool BothBackendsTest::OutsideClipboard(std::string* text) {
    if (!IsSdl()) return port::control::ClipboardText(text);
    if (!SDL_HasClipboardText()) return false;
    char* utf8 = SDL_GetClipboardText();
    if (text != nullptr) *text = utf8 != nullptr ? utf8 : "";
    SDL_free(utf8);
    return true;
}

void BothBackendsTest::PutOutside(const std::string& text) {
    if (IsSdl()) {
        SDL_SetClipboardText(text.c_str());
    } else {
        port::control::SetClipboardText(text);
    }
}

void BothBackendsTest::ClearOutside() {
    if (IsSdl()) {
        SDL_SetClipboardText("");
    } else {
        port::control::ClearClipboard();
    }
}

std::string BackendName(const ::testing::TestParamInfo<const char*>& info) {
    return info.param;
}

}  // namespace window_testing
