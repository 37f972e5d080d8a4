// The message queue: order and filters, WM_QUIT, painting, timers and the idle wait.
#include <thread>

#include "port/system/clock.h"
#include "port/system/lasterror.h"
#include "port/window/input.h"
#include "port/window/paint.h"
#include "port/window/vkeys.h"
#include "windowfixture.h"

namespace {

using window_testing::BothBackendsTest;
using window_testing::WindowTest;

std::vector<UINT> Numbers(const std::vector<MSG>& messages) {
    std::vector<UINT> numbers;
    for (const MSG& msg : messages)
        numbers.push_back(msg.message);
    return numbers;
}

// The quit flag is answered once the posted messages are taken, before input waiting in the
// queue, as Windows does.
TEST_F(WindowTest, OrderPostedThenQuitThenInputThenPaintThenTimers) {
    HWND window = MakeWindow();
    Pump();
    SetTimer(window, 0, 250, nullptr);
    port::control::AdvanceTime(250);
    InvalidateRect(window, nullptr, TRUE);
    PostQuitMessage(3);
    port::control::InjectKey('A', true);
    PostMessageA(window, WM_USER, 1, 2);
    PostThreadMessageA(7, WM_USER + 1, 0, 0);
    EXPECT_FALSE(PostThreadMessageA(0, WM_USER + 1, 0, 0));
    std::vector<MSG> taken = Pump();
    EXPECT_EQ(Numbers(taken),
              (std::vector<UINT>{WM_USER, WM_USER + 1, WM_QUIT, WM_KEYDOWN, WM_PAINT, WM_TIMER}));
    EXPECT_EQ(taken[1].hwnd, nullptr);
    EXPECT_EQ(taken[2].wParam, 3u);
    EXPECT_EQ(taken[0].time, timeGetTime());
}

TEST_P(BothBackendsTest, FiltersByWindowAndRange) {
    HWND first = MakeWindow();
    HWND second = MakeWindow();
    HWND child = MakeChild(first, RECT{0, 0, 10, 10});
    Settle();
    PostMessageA(second, WM_USER, 0, 0);
    PostMessageA(child, WM_USER + 5, 0, 0);
    PostMessageA(nullptr, WM_USER + 9, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, first, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, child);  // a window's filter takes its children
    ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 9u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 1, WM_USER + 8, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, child);
    // WM_QUIT comes whatever the filter, but after the posted messages.
    PostQuitMessage(0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x7FFF0000), WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_P(BothBackendsTest, PaintStaysUntilValidated) {
    HWND window = MakeWindow();
    Settle();
    RECT part{10, 10, 20, 30};
    InvalidateRect(window, &part, FALSE);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));  // not validated: again
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    PAINTSTRUCT paint;
    ClearLog();
    ASSERT_NE(BeginPaint(window, &paint), nullptr);
    EXPECT_EQ(paint.rcPaint.left, 10);
    EXPECT_EQ(paint.rcPaint.bottom, 30);
    EXPECT_TRUE(Messages(WM_ERASEBKGND).empty());
    EndPaint(window, &paint);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));

    // All windows at once, with erasing; hidden windows wait.
    HWND hidden = MakeWindow(window_testing::kMainStyle, 0, false);
    InvalidateRect(nullptr, nullptr, TRUE);
    std::vector<MSG> taken = Settle();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].hwnd, window);
    EXPECT_EQ(Messages(WM_ERASEBKGND, window).size(), 1u);
    ShowWindow(hidden, SW_SHOWNA);
    taken = Settle();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].hwnd, hidden);
    EXPECT_FALSE(GetUpdateRect(hidden, nullptr, FALSE));
}

TEST_F(WindowTest, TimersFollowTheFakeClock) {
    HWND window = MakeWindow();
    Pump();
    EXPECT_EQ(SetTimer(window, 0, 250, nullptr), 1u);
    MSG msg;
    port::control::AdvanceTime(249);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    port::control::AdvanceTime(1);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.wParam, 0u);
    // One tick at a time: the next is a period after it was taken.
    port::control::AdvanceTime(1000);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    port::control::AdvanceTime(250);
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    // A timer function runs from DispatchMessage.
    static int calls = 0;
    calls = 0;
    TIMERPROC count = [](HWND, UINT, UINT_PTR, DWORD) { ++calls; };
    UINT_PTR id = SetTimer(nullptr, 0, 5, count);
    EXPECT_NE(id, 0u);
    port::control::AdvanceTime(10);
    EXPECT_TRUE(KillTimer(window, 0));
    Pump();
    EXPECT_EQ(calls, 1);
    // A WM_TIMER carrying anything but a live timer's function calls nothing.
    ASSERT_TRUE(PostMessageA(window, WM_TIMER, 7, 0x1234));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_TRUE(KillTimer(nullptr, id));
    EXPECT_FALSE(KillTimer(nullptr, id));
    port::control::AdvanceTime(1000);
    EXPECT_TRUE(Pump().empty());
    // Nor the function of a timer that was killed.
    msg.lParam = reinterpret_cast<LPARAM>(count);
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_EQ(calls, 1);
}

TEST_F(WindowTest, IdleWaitNeverSleepsOnTheFakeClock) {
    DWORD before = timeGetTime();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(timeGetTime(), before);
    port::control::SetSleepAdvancesClock(true);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(timeGetTime(), before + 1);
    port::control::SetSleepAdvancesClock(false);
    MakeWindow();
    port::control::InjectKey(VK_SPACE, true);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, nullptr, FALSE, 1, 0), WAIT_FAILED);
}

TEST_P(BothBackendsTest, SentMessagesAreDirectCalls) {
    HWND window = MakeWindow();
    window_testing::SetHook(
        [](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_USER + 100) return static_cast<LRESULT>(wParam * 2);
            return std::nullopt;
        });
    EXPECT_EQ(SendMessageW(window, WM_USER + 100, 21, 0), 42);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_USER, WM_USER + 200, PM_REMOVE));
}

TEST_P(BothBackendsTest, OtherThreadsPostAndReadGeometry) {
    HWND window = MakeWindow();
    Settle();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([window, t] {
            for (int i = 0; i < 100; ++i) {
                PostMessageA(window, WM_USER, static_cast<WPARAM>(t), i);
                RECT client{};
                GetClientRect(window, &client);
                POINT point{};
                GetCursorPos(&point);
            }
        });
    }
    int received = 0;
    int last[4] = {-1, -1, -1, -1};
    while (received < 400) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_EQ(msg.message, static_cast<UINT>(WM_USER));
        // Each thread's messages keep their order.
        EXPECT_EQ(msg.lParam, last[msg.wParam] + 1);
        last[msg.wParam] = static_cast<int>(msg.lParam);
        ++received;
    }
    for (std::thread& thread : threads)
        thread.join();
}

}  // namespace
