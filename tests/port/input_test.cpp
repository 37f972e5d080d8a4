// Input: key messages and characters, the pointer, buttons, the wheel, capture, tracking.
#include "port/window/input.h"
#include "port/system/lasterror.h"
#include "port/window/activation.h"
#include "port/window/cursor.h"
#include "port/window/metrics.h"
#include "port/window/vkeys.h"
#include "windowfixture.h"

namespace {

using port::MouseButton;
using port::control::InjectKey;
using window_testing::WindowTest;

bool Extended(const MSG& msg) {
    return (HIWORD(static_cast<uintptr_t>(msg.lParam)) & KF_EXTENDED) != 0;
}
bool AltBit(const MSG& msg) {
    return (HIWORD(static_cast<uintptr_t>(msg.lParam)) & KF_ALTDOWN) != 0;
}

std::vector<MSG> Only(const std::vector<MSG>& messages, std::initializer_list<UINT> kinds) {
    std::vector<MSG> out;
    for (const MSG& msg : messages) {
        for (UINT kind : kinds) {
            if (msg.message == kind) out.push_back(msg);
        }
    }
    return out;
}

TEST_F(WindowTest, KeyMessagesAsWindowsMakesThem) {
    HWND window = MakeWindow();
    struct Step {
        UINT key;
        bool down;
        UINT message;
        WPARAM wParam;
        bool extended;
        bool alt;
    } steps[] = {
        // Alt+X: system keys with the Alt bit; the Alt release itself is a plain key up.
        {VK_MENU, true, WM_SYSKEYDOWN, VK_MENU, false, true},
        {'X', true, WM_SYSKEYDOWN, 'X', false, true},
        {'X', false, WM_SYSKEYUP, 'X', false, true},
        {VK_MENU, false, WM_KEYUP, VK_MENU, false, false},
        // Alt alone: its release is a system key too, without the Alt bit.
        {VK_MENU, true, WM_SYSKEYDOWN, VK_MENU, false, true},
        {VK_MENU, false, WM_SYSKEYUP, VK_MENU, false, false},
        // Arrows and the navigation block are extended keys.
        {VK_LEFT, true, WM_KEYDOWN, VK_LEFT, true, false},
        {VK_LEFT, false, WM_KEYUP, VK_LEFT, true, false},
        {VK_DELETE, true, WM_KEYDOWN, VK_DELETE, true, false},
        {VK_DELETE, false, WM_KEYUP, VK_DELETE, true, false},
        {'A', true, WM_KEYDOWN, 'A', false, false},
        {'A', false, WM_KEYUP, 'A', false, false},
        // F10 is a system key without Alt.
        {VK_F10, true, WM_SYSKEYDOWN, VK_F10, false, false},
        {VK_F10, false, WM_SYSKEYUP, VK_F10, false, false},
        // Right Ctrl and right Alt are extended and arrive as the generic keys.
        {VK_RCONTROL, true, WM_KEYDOWN, VK_CONTROL, true, false},
        {VK_RCONTROL, false, WM_KEYUP, VK_CONTROL, true, false},
        {VK_RMENU, true, WM_SYSKEYDOWN, VK_MENU, true, true},
        {VK_RMENU, false, WM_SYSKEYUP, VK_MENU, true, false},
        // Ctrl+Alt is not a system key, but still carries the Alt bit.
        {VK_CONTROL, true, WM_KEYDOWN, VK_CONTROL, false, false},
        {VK_MENU, true, WM_KEYDOWN, VK_MENU, false, true},
        {'Q', true, WM_KEYDOWN, 'Q', false, true},
        {'Q', false, WM_KEYUP, 'Q', false, true},
        {VK_MENU, false, WM_KEYUP, VK_MENU, false, false},
        {VK_CONTROL, false, WM_KEYUP, VK_CONTROL, false, false},
    };
    for (const Step& step : steps)
        InjectKey(step.key, step.down);
    std::vector<MSG> keys = Only(Pump(), {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP});
    ASSERT_EQ(keys.size(), std::size(steps));
    for (size_t i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(keys[i].hwnd, window);
        EXPECT_EQ(keys[i].message, steps[i].message);
        EXPECT_EQ(keys[i].wParam, steps[i].wParam);
        EXPECT_EQ(Extended(keys[i]), steps[i].extended);
        EXPECT_EQ(AltBit(keys[i]), steps[i].alt);
        EXPECT_EQ(keys[i].lParam & 0xFFFF, 1);
        EXPECT_EQ((keys[i].lParam & 0x80000000) != 0, !steps[i].down);
    }
}

TEST_F(WindowTest, KeyStateFollowsTheMessagesTaken) {
    MakeWindow();
    InjectKey(VK_CONTROL, true);
    InjectKey('C', true);
    InjectKey(VK_CONTROL, false);
    // Nothing taken yet: the synchronous state has not moved, the asynchronous one has.
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    EXPECT_LT(GetAsyncKeyState('C'), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('C'));
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_LT(GetKeyState(VK_LCONTROL), 0);
    EXPECT_GE(GetAsyncKeyState(VK_CONTROL), 0);

    // A key held down repeats with the "previous state" bit.
    InjectKey('C', true);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));  // Ctrl up
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_NE(HIWORD(static_cast<uintptr_t>(msg.lParam)) & KF_REPEAT, 0);
    // Caps Lock toggles.
    InjectKey(VK_CAPITAL, true);
    InjectKey(VK_CAPITAL, false);
    Pump();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
}

TEST_F(WindowTest, TranslateMessageMakesTheControlCharacters) {
    MakeWindow();
    struct Case {
        std::initializer_list<UINT> held;
        UINT key;
        int character;  // -1: none
    } cases[] = {
        {{}, VK_BACK, 8},
        {{}, VK_TAB, 9},
        {{}, VK_RETURN, 13},
        {{}, VK_ESCAPE, 27},
        {{VK_CONTROL}, 'A', 1},
        {{VK_CONTROL}, 'Z', 26},
        {{VK_CONTROL}, VK_BACK, 127},
        {{VK_CONTROL}, VK_RETURN, 10},
        {{}, 'A', -1},
        {{}, VK_SPACE, -1},
        {{VK_SHIFT}, '1', -1},
        {{}, VK_F1, -1},
    };
    for (const Case& c : cases) {
        for (UINT key : c.held)
            InjectKey(key, true);
        InjectKey(c.key, true);
        InjectKey(c.key, false);
        for (UINT key : c.held)
            InjectKey(key, false);
        std::vector<MSG> taken = Pump();
        std::vector<MSG> chars = Only(taken, {WM_CHAR});
        SCOPED_TRACE(c.key);
        if (c.character < 0) {
            EXPECT_TRUE(chars.empty());
            continue;
        }
        ASSERT_EQ(chars.size(), 1u);
        EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(c.character));
        // The character comes right after its key press.
        for (size_t i = 0; i < taken.size(); ++i) {
            if (taken[i].message == WM_CHAR) {
                ASSERT_GT(i, 0u);
                EXPECT_EQ(taken[i - 1].message, static_cast<UINT>(WM_KEYDOWN));
            }
        }
    }
}

TEST_F(WindowTest, TextBecomesCharactersOfTheWindowsKind) {
    HWND wide = MakeWindow();
    port::control::InjectText("\xC3\xA9\xF0\x9F\x98\x80");  // é😀
    std::vector<MSG> chars = Only(Pump(), {WM_CHAR});
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].wParam, 0xE9u);
    EXPECT_EQ(chars[1].wParam, 0xD83Du);
    EXPECT_EQ(chars[2].wParam, 0xDE00u);
    EXPECT_EQ(chars[0].hwnd, wide);

    // An ANSI window gets Windows-1252, "?" for what it lacks.
    HWND ansi = MakeWindow(window_testing::kMainStyle, 0, true, RECT{0, 0, 100, 100}, true);
    port::control::InjectText("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");  // é€😀
    chars = Only(Pump(), {WM_CHAR});
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].wParam, 0xE9u);
    EXPECT_EQ(chars[1].wParam, 0x80u);
    EXPECT_EQ(chars[2].wParam, static_cast<WPARAM>('?'));
    EXPECT_EQ(chars[0].hwnd, ansi);
}

TEST_F(WindowTest, KeyboardGoesToTheFocusInTheForegroundOnly) {
    HWND window = MakeWindow();
    HWND child = MakeChild(window, RECT{0, 0, 50, 50});
    SetFocus(child);
    InjectKey('A', true);
    std::vector<MSG> keys = Only(Pump(), {WM_KEYDOWN});
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].hwnd, child);
    // Another program in front: the keys are not the program's.
    port::control::InjectFocus(nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    InjectKey('B', true);
    EXPECT_TRUE(Only(Pump(), {WM_KEYDOWN}).empty());
}

TEST_F(WindowTest, AltF4ClosesThroughTheDefaultProcedure) {
    HWND window = MakeWindow();
    window_testing::SetHook([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CLOSE) return 0;  // as the program does: no destruction
        return std::nullopt;
    });
    InjectKey(VK_MENU, true);
    InjectKey(VK_F4, true);
    InjectKey(VK_F4, false);
    InjectKey(VK_MENU, false);
    Pump();
    ASSERT_EQ(Messages(WM_SYSCOMMAND, window).size(), 1u);
    EXPECT_EQ(Messages(WM_SYSCOMMAND, window)[0].wParam, SC_CLOSE);
    EXPECT_EQ(Messages(WM_CLOSE, window).size(), 1u);
    EXPECT_TRUE(IsWindow(window));
    // The desktop's close request takes the same road; unanswered, the window goes.
    window_testing::SetHook(nullptr);
    port::control::InjectClose(window);
    Pump();
    EXPECT_EQ(Messages(WM_CLOSE, window).size(), 2u);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowTest, MouseMessagesCarryClientPositionAndKeys) {
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{100, 100, 500, 400});
    port::control::InjectMouseMove(150, 120);
    InjectKey(VK_SHIFT, true);
    port::control::InjectButton(MouseButton::Left, true);
    port::control::InjectButton(MouseButton::Left, false);
    port::control::InjectButton(MouseButton::X2, true);
    port::control::InjectWheel(-WHEEL_DELTA);
    InjectKey(VK_SHIFT, false);
    port::control::InjectMouseMove(99, 120);  // outside: no message
    std::vector<MSG> mouse =
        Only(Pump(), {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_XBUTTONDOWN, WM_MOUSEWHEEL});
    ASSERT_EQ(mouse.size(), 5u);
    EXPECT_EQ(mouse[0].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(mouse[0].lParam, MAKELPARAM(50, 20));
    EXPECT_EQ(mouse[1].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(mouse[1].wParam, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(mouse[2].wParam, MK_SHIFT);
    EXPECT_EQ(LOWORD(mouse[3].wParam), MK_XBUTTON2 | MK_SHIFT);
    EXPECT_EQ(HIWORD(mouse[3].wParam), XBUTTON2);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(mouse[4].wParam)), -WHEEL_DELTA);
    EXPECT_EQ(GET_X_LPARAM(mouse[4].lParam), 150);  // the wheel gives screen coordinates
    EXPECT_EQ(mouse[0].hwnd, window);
    // Every message in the window was preceded by WM_SETCURSOR over the client area.
    std::vector<window_testing::Seen> cursors = Messages(WM_SETCURSOR, window);
    ASSERT_EQ(cursors.size(), 4u);
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(cursors[0].lParam)), HTCLIENT);
    EXPECT_EQ(HIWORD(static_cast<uintptr_t>(cursors[0].lParam)), WM_MOUSEMOVE);
}

TEST_F(WindowTest, ClickIntoAnInactiveWindowActivatesIt) {
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{0, 0, 200, 200});
    port::control::InjectFocus(nullptr);
    ClearLog();
    port::control::InjectMouseMove(10, 10);
    port::control::InjectButton(MouseButton::Left, true);
    Pump();
    std::vector<window_testing::Seen> activate = Messages(WM_MOUSEACTIVATE, window);
    ASSERT_EQ(activate.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(activate[0].wParam), window);
    EXPECT_EQ(HIWORD(static_cast<uintptr_t>(activate[0].lParam)), WM_LBUTTONDOWN);
    EXPECT_EQ(GetForegroundWindow(), window);
    ASSERT_EQ(Messages(WM_ACTIVATE, window).size(), 1u);
    EXPECT_EQ(LOWORD(Messages(WM_ACTIVATE, window)[0].wParam), WA_CLICKACTIVE);
    // WM_MOUSEACTIVATE, then activation, then the press itself.
    std::vector<UINT> order;
    for (const auto& seen : window_testing::Log()) {
        if (seen.message == WM_MOUSEACTIVATE || seen.message == WM_ACTIVATEAPP ||
            seen.message == WM_LBUTTONDOWN) {
            order.push_back(seen.message);
        }
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_MOUSEACTIVATE, WM_ACTIVATEAPP, WM_LBUTTONDOWN}));

    // A click into the active window asks nothing.
    ClearLog();
    port::control::InjectButton(MouseButton::Left, false);
    port::control::InjectButton(MouseButton::Left, true);
    Pump();
    EXPECT_TRUE(Messages(WM_MOUSEACTIVATE).empty());

    // Eaten: the press never arrives, and without activation.
    port::control::InjectFocus(nullptr);
    window_testing::SetHook([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATEANDEAT;
        return std::nullopt;
    });
    port::control::InjectButton(MouseButton::Left, false);
    port::control::InjectButton(MouseButton::Left, true);
    EXPECT_TRUE(Only(Pump(), {WM_LBUTTONDOWN}).empty());
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(WindowTest, ClickOnTheFrameOfAnInactiveWindowAsksItFirst) {
    HWND window = MakeWindow(window_testing::kMainStyle, 0, true, RECT{0, 0, 480, 360});
    port::control::InjectFocus(nullptr);
    ClearLog();
    port::control::InjectMouseMove(200, 10);  // the caption
    port::control::InjectButton(MouseButton::Left, true);
    std::vector<window_testing::Seen> activate = Messages(WM_MOUSEACTIVATE, window);
    ASSERT_EQ(activate.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(activate[0].wParam), window);
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(activate[0].lParam)), HTCAPTION);
    EXPECT_EQ(HIWORD(static_cast<uintptr_t>(activate[0].lParam)), WM_LBUTTONDOWN);
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_EQ(LOWORD(Messages(WM_ACTIVATE, window).at(0).wParam), WA_CLICKACTIVE);
    port::control::InjectButton(MouseButton::Left, false);

    // Refused: the window stays inactive.
    port::control::InjectFocus(nullptr);
    window_testing::SetHook([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
        return std::nullopt;
    });
    port::control::InjectButton(MouseButton::Left, true);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(WindowTest, FocusChangesBetweenProgramsSendActivateApp) {
    HWND first = MakeWindow();
    HWND second = MakeWindow();
    HWND other = port::control::CreateForeignWindow({});
    ClearLog();
    port::control::InjectFocus(other);
    EXPECT_EQ(GetForegroundWindow(), other);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    for (HWND window : {first, second}) {
        ASSERT_EQ(Messages(WM_ACTIVATEAPP, window).size(), 1u);
        EXPECT_EQ(Messages(WM_ACTIVATEAPP, window)[0].wParam, static_cast<WPARAM>(FALSE));
    }
    ClearLog();
    port::control::InjectFocus(first);
    EXPECT_EQ(Messages(WM_ACTIVATEAPP, first)[0].wParam, static_cast<WPARAM>(TRUE));
    // Between the program's own windows, only WM_ACTIVATE.
    ClearLog();
    SetForegroundWindow(second);
    EXPECT_TRUE(Messages(WM_ACTIVATEAPP).empty());
    EXPECT_EQ(LOWORD(Messages(WM_ACTIVATE, first)[0].wParam), WA_INACTIVE);
    EXPECT_EQ(LOWORD(Messages(WM_ACTIVATE, second)[0].wParam), WA_ACTIVE);
}

TEST_F(WindowTest, ForegroundFailureAndBackgroundActivation) {
    HWND window = MakeWindow();
    port::control::InjectFocus(nullptr);
    port::control::InjectFailure("SetForegroundWindow", ERROR_ACCESS_DENIED, 1);
    EXPECT_FALSE(SetForegroundWindow(window));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    // In the background SetActiveWindow does not take the foreground.
    EXPECT_EQ(SetActiveWindow(window), nullptr);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_TRUE(SetForegroundWindow(window));
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_EQ(GetActiveWindow(), window);
}

TEST_F(WindowTest, CaptureChangesArePosted) {
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{0, 0, 200, 200});
    HWND other = MakeChild(window, RECT{0, 0, 10, 10});
    EXPECT_EQ(SetCapture(window), nullptr);
    EXPECT_EQ(SetCapture(window), window);  // the same window hears of it too
    EXPECT_EQ(SetCapture(other), window);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    std::vector<MSG> changes = Only(Pump(), {WM_CAPTURECHANGED});
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].hwnd, window);
    EXPECT_EQ(reinterpret_cast<HWND>(changes[0].lParam), window);
    EXPECT_EQ(changes[1].hwnd, window);
    EXPECT_EQ(reinterpret_cast<HWND>(changes[1].lParam), other);
    EXPECT_EQ(changes[2].hwnd, other);
    EXPECT_EQ(changes[2].lParam, 0);

    // The capture window gets the pointer outside its client area too.
    SetCapture(window);
    Pump();
    port::control::InjectMouseMove(300, -5);
    std::vector<MSG> moves = Only(Pump(), {WM_MOUSEMOVE});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 300);
    EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), -5);
}

class TrackingTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        mWindow = MakeWindow(WS_POPUP, 0, true, RECT{100, 100, 300, 300});
        port::control::InjectMouseMove(150, 150);
        Pump();
        mTrack =
            TRACKMOUSEEVENT{sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, mWindow, HOVER_DEFAULT};
        ASSERT_TRUE(TrackMouseEvent(&mTrack));
    }
    HWND mWindow = nullptr;
    TRACKMOUSEEVENT mTrack{};
};

TEST_F(TrackingTest, HoverAfterTheHoverTimeInsideTheRectangle) {
    port::control::AdvanceTime(399);
    EXPECT_TRUE(Only(Pump(), {WM_MOUSEHOVER}).empty());
    // Small moves keep the wait; a move out of the hover rectangle starts it again.
    port::control::InjectMouseMove(152, 149);
    port::control::AdvanceTime(1);
    std::vector<MSG> hover = Only(Pump(), {WM_MOUSEHOVER});
    ASSERT_EQ(hover.size(), 1u);
    EXPECT_EQ(hover[0].lParam, MAKELPARAM(52, 49));
    // Answered once.
    port::control::AdvanceTime(1000);
    EXPECT_TRUE(Only(Pump(), {WM_MOUSEHOVER}).empty());

    ASSERT_TRUE(TrackMouseEvent(&mTrack));
    port::control::AdvanceTime(300);
    port::control::InjectMouseMove(160, 150);
    port::control::AdvanceTime(300);
    EXPECT_TRUE(Only(Pump(), {WM_MOUSEHOVER}).empty());
    port::control::AdvanceTime(100);
    EXPECT_EQ(Only(Pump(), {WM_MOUSEHOVER}).size(), 1u);
}

TEST_F(TrackingTest, InjectedPointerPositionsStayInTheRangeOfTheMessages) {
    // Far away: the hover wait starts again, and the window is left, without overflow.
    port::control::InjectMouseMove(INT32_MAX, INT32_MIN);
    POINT point{};
    GetCursorPos(&point);
    EXPECT_EQ(point.x, 32767);
    EXPECT_EQ(point.y, -32768);
    port::control::AdvanceTime(1000);
    EXPECT_EQ(Only(Pump(), {WM_MOUSELEAVE}).size(), 1u);
    port::control::InjectMouseMove(INT32_MIN, INT32_MAX);
    GetCursorPos(&point);
    EXPECT_EQ(point.x, -32768);
    EXPECT_EQ(point.y, 32767);
}

TEST_F(TrackingTest, LeaveWhenThePointerLeavesTheClientArea) {
    port::control::InjectMouseMove(299, 299);
    EXPECT_TRUE(Only(Pump(), {WM_MOUSELEAVE}).empty());
    port::control::InjectMouseMove(300, 299);
    std::vector<MSG> leave = Only(Pump(), {WM_MOUSELEAVE});
    ASSERT_EQ(leave.size(), 1u);
    EXPECT_EQ(leave[0].hwnd, mWindow);
    // Leaving ended the hover request too.
    port::control::InjectMouseMove(150, 150);
    port::control::AdvanceTime(1000);
    EXPECT_TRUE(Only(Pump(), {WM_MOUSEHOVER, WM_MOUSELEAVE}).empty());

    // Tracking asked for outside the window answers at once.
    port::control::InjectPointerLeave();
    ASSERT_TRUE(TrackMouseEvent(&mTrack));
    EXPECT_EQ(Only(Pump(), {WM_MOUSELEAVE}).size(), 1u);
}

TEST_F(TrackingTest, LeaveWaitsForTheCaptureToEnd) {
    SetCapture(mWindow);
    port::control::InjectMouseMove(400, 400);
    EXPECT_TRUE(Only(Pump(), {WM_MOUSELEAVE}).empty());
    ReleaseCapture();
    EXPECT_EQ(Only(Pump(), {WM_MOUSELEAVE}).size(), 1u);
}

TEST_F(TrackingTest, FailureLeavesTrackingOff) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, mWindow, HOVER_DEFAULT};
    TRACKMOUSEEVENT cancel{sizeof(TRACKMOUSEEVENT), TME_CANCEL | TME_LEAVE | TME_HOVER, mWindow, 0};
    ASSERT_TRUE(TrackMouseEvent(&cancel));
    port::control::InjectFailure("TrackMouseEvent", ERROR_ACCESS_DENIED, 1);
    EXPECT_FALSE(TrackMouseEvent(&track));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    port::control::InjectMouseMove(400, 400);
    port::control::AdvanceTime(1000);
    EXPECT_TRUE(Only(Pump(), {WM_MOUSELEAVE, WM_MOUSEHOVER}).empty());
}

TEST_F(WindowTest, CursorShowsByCountAndImage) {
    bool shown = false;
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_EQ(port::control::ShownCursor(&shown), arrow);
    EXPECT_TRUE(shown);
    EXPECT_EQ(SetCursor(nullptr), arrow);
    port::control::ShownCursor(&shown);
    EXPECT_FALSE(shown);
    SetCursor(arrow);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    port::control::ShownCursor(&shown);
    EXPECT_FALSE(shown);
    EXPECT_EQ(ShowCursor(TRUE), 0);

    // Over the client area the class cursor is set; a class without one leaves the cursor.
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{0, 0, 100, 100});
    SetCursor(nullptr);
    port::control::InjectMouseMove(10, 10);
    Pump();
    EXPECT_EQ(GetCursor(), arrow);
    SetClassLongA(window, GCL_HCURSOR, 0);
    SetCursor(nullptr);
    port::control::InjectMouseMove(11, 10);
    Pump();
    EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(WindowTest, SetCursorPosMovesThePointerWithAMove) {
    MakeWindow(WS_POPUP, 0, true, RECT{0, 0, 100, 100});
    ASSERT_TRUE(SetCursorPos(50, 60));
    POINT point{};
    GetCursorPos(&point);
    EXPECT_EQ(point.x, 50);
    EXPECT_EQ(point.y, 60);
    EXPECT_EQ(Only(Pump(), {WM_MOUSEMOVE}).size(), 1u);
    SetCursorPos(-10, 5000);
    GetCursorPos(&point);
    EXPECT_EQ(point.x, 0);
    EXPECT_EQ(point.y, GetSystemMetrics(SM_CYSCREEN) - 1);
}

}  // namespace
