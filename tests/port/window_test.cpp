// Window classes and windows: creation, data, titles, the tree, foreign windows, destruction.
#include <cstdio>
#include <cstdlib>

#include "port/system/lasterror.h"
#include "port/window/activation.h"
#include "port/window/cursor.h"
#include "windowfixture.h"

namespace {

using window_testing::BothBackendsTest;
using window_testing::Log;

std::vector<UINT> MessageNumbers(HWND window) {
    std::vector<UINT> numbers;
    for (const auto& seen : Log()) {
        if (seen.window == window) numbers.push_back(seen.message);
    }
    return numbers;
}

TEST_P(BothBackendsTest, ClassNamesAreUniqueWithoutCase) {
    WNDCLASSA again{};
    again.lpfnWndProc = DefWindowProcA;
    again.lpszClassName = "record_wndclass";
    EXPECT_EQ(RegisterClassA(&again), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

    EXPECT_EQ(CreateWindowExA(0, "NO_SUCH_CLASS", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
}

TEST_P(BothBackendsTest, CreationSendsTheMessagesOfWindowsInOrder) {
    HWND window = MakeWindow(window_testing::kMainStyle | WS_VISIBLE, WS_EX_APPWINDOW, false);
    std::vector<UINT> numbers = MessageNumbers(window);
    std::vector<UINT> expected = {
        WM_NCCREATE,          WM_CREATE,      WM_SIZE,     WM_MOVE,     WM_SHOWWINDOW,
        WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGED};
    ASSERT_GE(numbers.size(), expected.size());
    EXPECT_EQ(std::vector<UINT>(numbers.begin(), numbers.begin() + expected.size()), expected);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_EQ(GetFocus(), window);
    // Overlapped windows always carry a caption and clip their siblings, as on Windows.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)),
              window_testing::kMainStyle | WS_VISIBLE | WS_CLIPSIBLINGS);
}

TEST_P(BothBackendsTest, FailingCreateAnswersNoWindow) {
    window_testing::SetHook([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CREATE) return -1;
        return std::nullopt;
    });
    HWND window = CreateWindowExW(0, u"RECORD_WNDCLASS", u"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(Messages(WM_DESTROY).size(), 1u);

    port::control::InjectFailure("CreateWindowExA", ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_EQ(CreateWindowExA(0, "ANSI_WNDCLASS", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}

TEST_P(BothBackendsTest, HandlesSurviveDecimalAndHexText) {
    HWND window = MakeWindow();
    char decimal[32];
    std::snprintf(decimal, sizeof decimal, "%d",
                  static_cast<int>(reinterpret_cast<intptr_t>(window)));
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<intptr_t>(std::atoi(decimal))), window);
    char hex[32];
    std::snprintf(hex, sizeof hex, "-wnd=%x",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));
    unsigned parsed = 0;
    ASSERT_EQ(std::sscanf(hex, "-wnd=%x", &parsed), 1);
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<uintptr_t>(parsed)), window);
    EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(parsed))));
}

TEST_P(BothBackendsTest, WindowDataHoldsAWholePointer) {
    HWND window = MakeWindow();
    int object = 0;
    void* pointer = &object;
    EXPECT_EQ(SetWindowLongA(window, 0, reinterpret_cast<LONG_PTR>(pointer)), 0);
    EXPECT_EQ(reinterpret_cast<void*>(GetWindowLongA(window, 0)), pointer);
    EXPECT_EQ(reinterpret_cast<void*>(GetWindowLongW(window, 0)), pointer);
    EXPECT_EQ(reinterpret_cast<void*>(SetWindowLongW(window, 0, 0)), pointer);
    EXPECT_EQ(GetWindowLongA(window, 0), 0);

    // Four window bytes give one slot; the next index is past them.
    EXPECT_EQ(GetWindowLongA(window, 4), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    EXPECT_EQ(SetWindowLongA(window, 2, 1), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
}

TEST_P(BothBackendsTest, TopmostOnlyFollowsTheZOrderCalls) {
    HWND window = MakeWindow();
    SetWindowLongA(window, GWL_EXSTYLE, WS_EX_APPWINDOW | WS_EX_TOPMOST);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE), static_cast<LONG_PTR>(WS_EX_APPWINDOW));
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_P(BothBackendsTest, ClassCursorIsSharedByTheClass) {
    HWND window = MakeWindow();
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_EQ(GetClassLongA(window, GCL_HCURSOR),
              static_cast<DWORD>(reinterpret_cast<uintptr_t>(arrow)));
    EXPECT_EQ(SetClassLongA(window, GCL_HCURSOR, 0),
              static_cast<DWORD>(reinterpret_cast<uintptr_t>(arrow)));
    HWND second = MakeWindow();
    EXPECT_EQ(GetClassLongA(second, GCL_HCURSOR), 0u);
}

TEST_P(BothBackendsTest, TitlesInBothCharacterSets) {
    HWND window = MakeWindow();
    EXPECT_TRUE(SetWindowTextW(window, u"Caf\u00e9 \U0001F600"));
    char ansi[16];
    EXPECT_EQ(GetWindowTextA(window, ansi, sizeof ansi), 6);
    EXPECT_STREQ(ansi, "Caf\xe9 ?");
    WCHAR wide[16];
    EXPECT_EQ(GetWindowTextW(window, wide, 16), 7);
    EXPECT_EQ(std::u16string(wide), u"Caf\u00e9 \U0001F600");
    // Cut to the buffer.
    EXPECT_EQ(GetWindowTextA(window, ansi, 4), 3);
    EXPECT_STREQ(ansi, "Caf");

    EXPECT_TRUE(SetWindowTextA(window, "\x80uro"));
    EXPECT_EQ(GetWindowTextW(window, wide, 16), 4);
    EXPECT_EQ(wide[0], 0x20AC);
}

TEST_P(BothBackendsTest, FindWindowSeesOnlyTheProgramsWindows) {
    HWND own = MakeWindow();
    port::control::ForeignWindowSpec spec;
    spec.className = "OTHER_WNDCLASS";
    HWND foreign = port::control::CreateForeignWindow(spec);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(FindWindowA("record_wndclass", nullptr), own);
    EXPECT_EQ(FindWindowA("RECORD_WNDCLASS", "Brisvel"), own);
    EXPECT_EQ(FindWindowA("RECORD_WNDCLASS", "Other"), nullptr);
    EXPECT_EQ(FindWindowA("OTHER_WNDCLASS", nullptr), nullptr);
    EXPECT_TRUE(IsWindow(foreign));
}

TEST_P(BothBackendsTest, ChildOfAForeignHost) {
    port::control::ForeignWindowSpec spec;
    spec.rect = RECT{100, 50, 740, 530};
    HWND host = port::control::CreateForeignWindow(spec);
    HWND child = CreateWindowExA(0, "ANSI_WNDCLASS", "Brisvel", WS_CHILD | WS_VISIBLE, 0, 0, 480,
                                 360, host, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), host);
    EXPECT_TRUE(IsChild(host, child));
    EXPECT_TRUE(IsWindowVisible(child));
    RECT client;
    ASSERT_TRUE(GetClientRect(host, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    POINT origin{0, 0};
    ClientToScreen(child, &origin);
    EXPECT_EQ(origin.x, 100);
    EXPECT_EQ(origin.y, 50);
    // A child is never activated.
    EXPECT_EQ(GetForegroundWindow(), nullptr);

    // The host records what the program sends or posts to it.
    SendMessageA(host, WM_USER, 1, 0);
    PostMessageA(host, WM_USER + 2, 7, 8);
    std::vector<port::control::RecordedMessage> seen = port::control::ForeignMessages(host);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, WM_USER);
    EXPECT_EQ(seen[0].wParam, 1u);
    EXPECT_TRUE(seen[0].sent);
    EXPECT_EQ(seen[1].message, WM_USER + 2);
    EXPECT_EQ(seen[1].lParam, 8);
    EXPECT_FALSE(seen[1].sent);

    // The host's top-level window can be minimised from here (links opened while hosted).
    port::control::ForeignWindowSpec inner;
    inner.parent = host;
    HWND nested = port::control::CreateForeignWindow(inner);
    EXPECT_EQ(GetParent(nested), host);
    EXPECT_EQ(GetParent(host), nullptr);
    ShowWindow(host, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(host));
    ShowWindow(host, SW_RESTORE);

    // Detaching and attaching again.
    EXPECT_EQ(SetParent(child, nullptr), host);
    SetWindowLongA(child, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(GetParent(child), nullptr);
    EXPECT_EQ(SetParent(child, host), nullptr);
    SetWindowLongA(child, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(GetParent(child), host);
}

TEST_P(BothBackendsTest, DestroyedHostTakesItsChildrenAlong) {
    HWND host = port::control::CreateForeignWindow({});
    HWND child = CreateWindowExA(0, "ANSI_WNDCLASS", "", WS_CHILD | WS_VISIBLE, 0, 0, 480, 360,
                                 host, nullptr, nullptr, nullptr);
    window_testing::SetHook([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DESTROY) PostQuitMessage(0);
        return std::nullopt;
    });
    EXPECT_TRUE(port::control::DestroyForeignWindow(host));
    EXPECT_FALSE(IsWindow(host));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(Messages(WM_DESTROY, child).size(), 1u);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    // The program cannot destroy another program's window.
    HWND other = port::control::CreateForeignWindow({});
    EXPECT_FALSE(DestroyWindow(other));
    EXPECT_TRUE(IsWindow(other));
}

TEST_P(BothBackendsTest, DestroyWindowOrderAndCleanUp) {
    HWND parent = MakeWindow();
    HWND child = MakeChild(parent, RECT{0, 0, 10, 10});
    SetTimer(parent, 1, 100, nullptr);
    PostMessageA(parent, WM_USER, 0, 0);
    ClearLog();
    ASSERT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& seen : Log()) {
        if (seen.message == WM_DESTROY || seen.message == WM_NCDESTROY) {
            order.emplace_back(seen.window, seen.message);
        }
    }
    std::vector<std::pair<HWND, UINT>> expected = {
        {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    // Its queued messages and timers went with it.
    port::control::AdvanceTime(1000);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    // Handles are not given out again.
    HWND next = MakeWindow();
    EXPECT_NE(next, parent);
    EXPECT_NE(next, child);
}

TEST_P(BothBackendsTest, GetWindowWalksTheZOrder) {
    HWND back = MakeWindow();
    HWND front = MakeWindow();
    EXPECT_EQ(GetWindow(back, GW_HWNDFIRST), front);
    EXPECT_EQ(GetWindow(front, GW_HWNDNEXT), back);
    EXPECT_EQ(GetWindow(back, GW_HWNDPREV), front);
    EXPECT_EQ(GetWindow(front, GW_HWNDLAST), back);

    // Another program's window in front.
    HWND other = port::control::CreateForeignWindow({});
    EXPECT_EQ(GetWindow(back, GW_HWNDFIRST), other);
    EXPECT_TRUE(IsWindowVisible(GetWindow(back, GW_HWNDFIRST)));
    ASSERT_TRUE(SetWindowPos(back, HWND_TOP, 0, 0, 800, 600, SWP_NOCOPYBITS | SWP_DEFERERASE));
    EXPECT_EQ(GetWindow(back, GW_HWNDFIRST), back);
    EXPECT_EQ(GetForegroundWindow(), back);

    // A topmost foreign window stays in front of the others.
    port::control::ForeignWindowSpec spec;
    spec.topmost = true;
    HWND topmost = port::control::CreateForeignWindow(spec);
    SetWindowPos(back, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(back, GW_HWNDFIRST), topmost);
    SetWindowPos(back, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(back, GW_HWNDFIRST), back);
}

TEST_P(BothBackendsTest, NotTopmostLeavesAWindowThatIsNotTopmostInPlace) {
    HWND window = MakeWindow();
    HWND other = port::control::CreateForeignWindow({});
    ASSERT_EQ(GetWindow(window, GW_HWNDFIRST), other);
    // The windowed display set-up does this after sizing the window: no change of z-order.
    ASSERT_TRUE(
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE));
    EXPECT_EQ(GetWindow(window, GW_HWNDFIRST), other);
    // A topmost window leaves its group for the front of the others.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ASSERT_EQ(GetWindow(window, GW_HWNDFIRST), window);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetWindow(window, GW_HWNDFIRST), window);
}

}  // namespace
