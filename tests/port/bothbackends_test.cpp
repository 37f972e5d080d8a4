// The window system's behaviour that involves no injected input, on both backends: the model
// must give the same answers whether its windows stay in memory (headless) or are shown on an X
// server (sdl), whose echoes of the program's own changes (moves, sizes, minimising, showing)
// must change nothing. The sdl cases need a display: CTest runs them under Xvfb
// ("port_tests_xvfb"); elsewhere they are skipped.
#include <SDL2/SDL.h>

#include <cstring>
#include <string>

#include "port/control.h"
#include "port/system/globalmem.h"
#include "port/window/activation.h"
#include "port/window/clipboard.h"
#include "port/window/paint.h"
#include "port/window/queue.h"
#include "port/window/sdl/sdlbackend.h"
#include "windowfixture.h"

namespace {

using window_testing::BothBackendsTest;

TEST_P(BothBackendsTest, MovesAndSizesOfTheProgramStayAsMade) {
    HWND window = MakeWindow(window_testing::kMainStyle, 0, true, RECT{40, 30, 520, 390});
    Settle();
    ClearLog();
    ASSERT_TRUE(SetWindowPos(window, nullptr, 100, 80, 648, 507, SWP_NOZORDER));
    Settle();
    // One change, with nothing after it from the desktop's echo.
    EXPECT_EQ(Messages(WM_WINDOWPOSCHANGED, window).size(), 1u);
    EXPECT_EQ(Messages(WM_SIZE, window).size(), 1u);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 80);
    EXPECT_EQ(rect.right - rect.left, 648);
    EXPECT_EQ(rect.bottom - rect.top, 507);
    ExpectShownSize(window);

    ClearLog();
    ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, 408, 327, SWP_NOZORDER | SWP_NOMOVE));
    Settle();
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.right - rect.left, 408);
    EXPECT_EQ(Messages(WM_WINDOWPOSCHANGED, window).size(), 1u);
    ExpectShownSize(window);
}

TEST_P(BothBackendsTest, MinimisedAndRestoredByTheProgram) {
    HWND window = MakeWindow(window_testing::kMainStyle, 0, true, RECT{30, 40, 510, 400});
    Settle();
    ShowWindow(window, SW_MINIMIZE);
    Settle();
    EXPECT_TRUE(IsIconic(window));
    ClearLog();
    ShowWindow(window, SW_RESTORE);
    Settle();
    EXPECT_FALSE(IsIconic(window));
    ASSERT_FALSE(Messages(WM_SIZE, window).empty());
    EXPECT_EQ(Messages(WM_SIZE, window).back().wParam, SIZE_RESTORED);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    ExpectShownSize(window);
}

TEST_P(BothBackendsTest, HiddenAndShownAgain) {
    HWND window = MakeWindow(window_testing::kMainStyle, 0, true, RECT{30, 40, 510, 400});
    Settle();
    ShowWindow(window, SW_HIDE);
    Settle();
    EXPECT_FALSE(IsWindowVisible(window));
    ShowWindow(window, SW_SHOW);
    Settle();
    EXPECT_TRUE(IsWindowVisible(window));
    if (IsSdl()) {
        ASSERT_NE(port::sdl::CurrentWindow(), nullptr);
        EXPECT_NE(SDL_GetWindowFlags(port::sdl::CurrentWindow()) & SDL_WINDOW_SHOWN, 0u);
    }
}

// A style change without WS_VISIBLE hides the window until it is shown again; the display
// set-up does both before the events are looked at. The desktop must not see the window go
// away in between: X would move the input focus off and back, which reads as the player
// switching programs (and loses a full-screen display's surfaces).
TEST_P(BothBackendsTest, HiddenAndShownBeforeTheEventsKeepsTheFocus) {
    HWND window = MakeWindow(window_testing::kMainStyle, 0, true, RECT{30, 40, 510, 400});
    Settle();
    ASSERT_EQ(GetFocus(), window);
    ClearLog();
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(WS_POPUP));
    EXPECT_FALSE(IsWindowVisible(window));
    ShowWindow(window, SW_SHOW);
    Settle();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetFocus(), window);
    EXPECT_TRUE(Messages(WM_KILLFOCUS, window).empty());
    EXPECT_TRUE(Messages(WM_ACTIVATEAPP, window).empty());

    // A hide that stays reaches the desktop at the next look at the events.
    ShowWindow(window, SW_HIDE);
    Settle();
    EXPECT_FALSE(IsWindowVisible(window));
    if (IsSdl()) {
        ASSERT_NE(port::sdl::CurrentWindow(), nullptr);
        EXPECT_EQ(SDL_GetWindowFlags(port::sdl::CurrentWindow()) & SDL_WINDOW_SHOWN, 0u);
    }
}

TEST_P(BothBackendsTest, AnsiTitleReachesTheDesktopAsUtf8) {
    HWND window = MakeWindow(window_testing::kMainStyle, 0, true, RECT{0, 0, 480, 360}, true);
    ASSERT_TRUE(SetWindowTextA(window, "Caf\xE9 Umbrava"));
    Settle();
    WCHAR wide[32] = {};
    EXPECT_EQ(GetWindowTextW(window, wide, 32), 12);
    EXPECT_EQ(std::u16string(wide), u"Caf\u00E9 Umbrava");
    char bytes[32] = {};
    EXPECT_EQ(GetWindowTextA(window, bytes, 32), 12);
    EXPECT_STREQ(bytes, "Caf\xE9 Umbrava");
    if (IsSdl()) {
        EXPECT_STREQ(SDL_GetWindowTitle(port::sdl::CurrentWindow()), "Caf\xC3\xA9 Umbrava");
    }
}

TEST_P(BothBackendsTest, PostedMessagesComeInOrderAndQuitAfterThem) {
    HWND window = MakeWindow();
    Settle();
    PostQuitMessage(3);
    PostMessageA(window, WM_USER, 1, 2);
    PostMessageA(window, WM_USER + 1, 3, 4);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER, WM_USER + 1, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    std::vector<UINT> numbers;
    for (const MSG& taken : Settle()) {
        if (taken.message == WM_USER || taken.message == WM_USER + 1 || taken.message == WM_QUIT)
            numbers.push_back(taken.message);
    }
    EXPECT_EQ(numbers, (std::vector<UINT>{WM_USER, WM_USER + 1, WM_QUIT}));
}

TEST_P(BothBackendsTest, DestroyedWithItsMessages) {
    HWND window = MakeWindow();
    Settle();
    ClearLog();
    ASSERT_TRUE(DestroyWindow(window));
    Settle();
    EXPECT_EQ(Messages(WM_DESTROY, window).size(), 1u);
    EXPECT_EQ(Messages(WM_NCDESTROY, window).size(), 1u);
    EXPECT_FALSE(IsWindow(window));
    if (IsSdl()) {
        EXPECT_EQ(port::sdl::CurrentWindow(), nullptr);
    }
}

TEST_P(BothBackendsTest, PaintComesOnceValidatedAndTimersFollowTheClock) {
    HWND window = MakeWindow();
    Settle();
    RECT part{10, 10, 20, 30};
    InvalidateRect(window, &part, FALSE);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    PAINTSTRUCT paint;
    ASSERT_NE(BeginPaint(window, &paint), nullptr);
    EXPECT_EQ(paint.rcPaint.left, 10);
    EXPECT_EQ(paint.rcPaint.bottom, 30);
    EndPaint(window, &paint);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));

    ASSERT_EQ(SetTimer(window, 7, 250, nullptr), 7u);
    port::control::AdvanceTime(249);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    port::control::AdvanceTime(1);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_TRUE(KillTimer(window, 7));
}

TEST_P(BothBackendsTest, TheProgramMovesTheForegroundBetweenItsWindows) {
    HWND first = MakeWindow(window_testing::kMainStyle, 0, true, RECT{20, 20, 500, 380});
    HWND second = MakeWindow(window_testing::kMainStyle, 0, true, RECT{600, 20, 900, 300});
    Settle();
    EXPECT_EQ(GetForegroundWindow(), second);
    ClearLog();
    ASSERT_TRUE(SetForegroundWindow(first));
    Settle();
    EXPECT_EQ(GetForegroundWindow(), first);
    EXPECT_EQ(GetActiveWindow(), first);
    // Within the program: no WM_ACTIVATEAPP, one activation each way, nothing echoed after.
    EXPECT_TRUE(Messages(WM_ACTIVATEAPP).empty());
    EXPECT_EQ(Messages(WM_ACTIVATE, first).size(), 1u);
    EXPECT_EQ(Messages(WM_ACTIVATE, second).size(), 1u);
    ClearLog();
    EXPECT_EQ(SetActiveWindow(second), first);
    Settle();
    EXPECT_EQ(GetForegroundWindow(), second);
    EXPECT_TRUE(Messages(WM_ACTIVATEAPP).empty());
    EXPECT_EQ(Messages(WM_ACTIVATE, second).size(), 1u);
}

// What the program does to put text on the clipboard, and to read it back.
bool PutText(UINT format, const void* data, size_t bytes) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(block), data, bytes);
    GlobalUnlock(block);
    bool put = SetClipboardData(format, block) != nullptr;
    CloseClipboard();
    return put;
}

std::string GetBytes() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HGLOBAL data = GetClipboardData(CF_TEXT)) text = static_cast<const char*>(GlobalLock(data));
    CloseClipboard();
    return text;
}

std::u16string GetWide() {
    std::u16string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HGLOBAL data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const char16_t*>(GlobalLock(data));
    }
    CloseClipboard();
    return text;
}

TEST_P(BothBackendsTest, ClipboardTextInBothViews) {
    HWND window = MakeWindow();
    Settle();
    (void)window;
    const char16_t wide[] = u"\u00E9\u20AC\U0001F600";
    ASSERT_TRUE(PutText(CF_UNICODETEXT, wide, sizeof wide));
    EXPECT_EQ(GetWide(), wide);
    EXPECT_EQ(GetBytes(), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");

    // Bytes that are not UTF-8 come back as put, and read as Windows-1252 in UTF-16.
    const char ansi[] = "Caf\xE9";
    ASSERT_TRUE(PutText(CF_TEXT, ansi, sizeof ansi));
    EXPECT_EQ(GetBytes(), ansi);
    EXPECT_EQ(GetWide(), u"Caf\u00E9");

    // Text another program puts replaces it.
    if (IsSdl()) {
        SDL_SetClipboardText("from elsewhere");
    } else {
        port::control::SetClipboardText("from elsewhere");
    }
    EXPECT_EQ(GetBytes(), "from elsewhere");

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
}

// One instantiation for every BothBackendsTest case of the test program (window, geometry, queue
// and clipboard files too).
INSTANTIATE_TEST_SUITE_P(Backends, BothBackendsTest, ::testing::Values("headless", "sdl"),
                         window_testing::BackendName);

}  // namespace
