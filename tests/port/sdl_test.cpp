// The sdl backend's parts: the key table, the event translation (driven by synthetic events,
// without a display), and the backend itself on SDL's dummy video driver.
#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>

#include "port/startup.h"
#include "port/system/globalmem.h"
#include "port/window/activation.h"
#include "port/window/clipboard.h"
#include "port/window/cursor.h"
#include "port/window/cursorimage.h"
#include "port/window/input.h"
#include "port/window/sdl/sdlbackend.h"
#include "port/window/sdl/sdlevents.h"
#include "port/window/sdl/sdlkeymap.h"
#include "port/window/vkeys.h"
#include "windowfixture.h"

namespace {

using port::sdl::VirtualKeyFromSdl;
using window_testing::WindowTest;

SDL_Keysym Key(SDL_Scancode scancode, SDL_Keycode sym = SDLK_UNKNOWN, Uint16 mod = KMOD_NUM) {
    SDL_Keysym key{};
    key.scancode = scancode;
    key.sym = sym;
    key.mod = mod;
    return key;
}

TEST(SdlKeyMapTest, KeysAsWindowsNumbersThem) {
    struct Case {
        SDL_Keysym key;
        UINT code;
        bool extended;
    } cases[] = {
        {Key(SDL_SCANCODE_A, SDLK_a), 'A', false},
        {Key(SDL_SCANCODE_Q, SDLK_a), 'A', false},  // the A key of an AZERTY keyboard
        {Key(SDL_SCANCODE_M, SDLK_COMMA), VK_OEM_COMMA, false},
        {Key(SDL_SCANCODE_Z, 0x44F), 'Z', false},  // a letter key typing Cyrillic
        {Key(SDL_SCANCODE_0), '0', false},
        {Key(SDL_SCANCODE_9), '9', false},
        {Key(SDL_SCANCODE_BACKSPACE), VK_BACK, false},
        {Key(SDL_SCANCODE_TAB), VK_TAB, false},
        {Key(SDL_SCANCODE_RETURN), VK_RETURN, false},
        {Key(SDL_SCANCODE_KP_ENTER), VK_RETURN, true},
        {Key(SDL_SCANCODE_ESCAPE), VK_ESCAPE, false},
        {Key(SDL_SCANCODE_PAGEUP), VK_PRIOR, true},
        {Key(SDL_SCANCODE_PAGEDOWN), VK_NEXT, true},
        {Key(SDL_SCANCODE_LEFT), VK_LEFT, true},
        {Key(SDL_SCANCODE_UP), VK_UP, true},
        {Key(SDL_SCANCODE_RIGHT), VK_RIGHT, true},
        {Key(SDL_SCANCODE_DOWN), VK_DOWN, true},
        {Key(SDL_SCANCODE_INSERT), VK_INSERT, true},
        {Key(SDL_SCANCODE_DELETE), VK_DELETE, true},
        {Key(SDL_SCANCODE_HOME), VK_HOME, true},
        {Key(SDL_SCANCODE_END), VK_END, true},
        {Key(SDL_SCANCODE_KP_0), VK_NUMPAD0, false},
        {Key(SDL_SCANCODE_KP_9), VK_NUMPAD9, false},
        {Key(SDL_SCANCODE_KP_MULTIPLY), VK_MULTIPLY, false},
        {Key(SDL_SCANCODE_KP_PLUS), VK_ADD, false},
        {Key(SDL_SCANCODE_KP_COMMA), VK_SEPARATOR, false},
        {Key(SDL_SCANCODE_KP_MINUS), VK_SUBTRACT, false},
        {Key(SDL_SCANCODE_KP_PERIOD), VK_DECIMAL, false},
        {Key(SDL_SCANCODE_KP_DIVIDE), VK_DIVIDE, true},
        // Num Lock off: the keypad is the navigation block, not extended.
        {Key(SDL_SCANCODE_KP_7, SDLK_UNKNOWN, 0), VK_HOME, false},
        {Key(SDL_SCANCODE_KP_PERIOD, SDLK_UNKNOWN, 0), VK_DELETE, false},
        {Key(SDL_SCANCODE_KP_5, SDLK_UNKNOWN, 0), VK_CLEAR, false},
        {Key(SDL_SCANCODE_F1), VK_F1, false},
        {Key(SDL_SCANCODE_F12), VK_F12, false},
        {Key(SDL_SCANCODE_F24), VK_F24, false},
        {Key(SDL_SCANCODE_LSHIFT), VK_LSHIFT, false},
        {Key(SDL_SCANCODE_RSHIFT), VK_RSHIFT, false},
        {Key(SDL_SCANCODE_LCTRL), VK_LCONTROL, false},
        {Key(SDL_SCANCODE_RCTRL), VK_RCONTROL, true},
        {Key(SDL_SCANCODE_LALT), VK_LMENU, false},
        {Key(SDL_SCANCODE_RALT), VK_RMENU, true},
        {Key(SDL_SCANCODE_LGUI), VK_LWIN, true},
        {Key(SDL_SCANCODE_SEMICOLON), 0xBA, false},
        {Key(SDL_SCANCODE_EQUALS), 0xBB, false},
        {Key(SDL_SCANCODE_COMMA), 0xBC, false},
        {Key(SDL_SCANCODE_MINUS), 0xBD, false},
        {Key(SDL_SCANCODE_PERIOD), 0xBE, false},
        {Key(SDL_SCANCODE_SLASH), 0xBF, false},
        {Key(SDL_SCANCODE_GRAVE), 0xC0, false},
        {Key(SDL_SCANCODE_LEFTBRACKET), 0xDB, false},
        {Key(SDL_SCANCODE_BACKSLASH), 0xDC, false},
        {Key(SDL_SCANCODE_RIGHTBRACKET), 0xDD, false},
        {Key(SDL_SCANCODE_APOSTROPHE), 0xDE, false},
        {Key(SDL_SCANCODE_NONUSBACKSLASH), VK_OEM_102, false},
        {Key(SDL_SCANCODE_PAUSE), VK_PAUSE, false},
        {Key(SDL_SCANCODE_PRINTSCREEN), VK_SNAPSHOT, true},
        {Key(SDL_SCANCODE_AC_BACK), VK_BROWSER_BACK, true},
        {Key(SDL_SCANCODE_LANG1), 0, false},
    };
    for (const Case& c : cases) {
        port::sdl::VirtualKey key = VirtualKeyFromSdl(c.key);
        EXPECT_EQ(key.code, c.code) << SDL_GetScancodeName(c.key.scancode);
        EXPECT_EQ(key.extended, c.extended) << SDL_GetScancodeName(c.key.scancode);
    }
}

TEST(SdlKeyMapTest, EveryKeyOfAFullKeyboardHasACode) {
    auto check = [](int first, int last) {
        for (int scancode = first; scancode <= last; ++scancode) {
            SDL_Keysym key = Key(static_cast<SDL_Scancode>(scancode));
            EXPECT_NE(VirtualKeyFromSdl(key).code, 0u)
                << SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
        }
    };
    check(SDL_SCANCODE_A, SDL_SCANCODE_APPLICATION);  // the 105-key block
    check(SDL_SCANCODE_F13, SDL_SCANCODE_F24);
    check(SDL_SCANCODE_LCTRL, SDL_SCANCODE_RGUI);
}

class SdlEventTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        mWindow = MakeWindow(WS_POPUP, 0, true, RECT{100, 100, 740, 580});
        mTranslator.SetWindow(mWindow);
    }

    void Send(SDL_Event event) { mTranslator.Translate(event); }
    void KeyEvent(SDL_Scancode scancode, bool down, SDL_Keycode sym = SDLK_UNKNOWN) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym = Key(scancode, sym);
        Send(event);
    }
    void Text(const char* text) {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        std::strncpy(event.text.text, text, sizeof event.text.text - 1);
        Send(event);
    }
    void WindowEvent(Uint8 kind, int data1 = 0, int data2 = 0) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = kind;
        event.window.data1 = data1;
        event.window.data2 = data2;
        Send(event);
    }
    void Motion(int x, int y) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        Send(event);
    }
    void Button(Uint8 button, bool down, int x, int y) {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = button;
        event.button.x = x;
        event.button.y = y;
        Send(event);
    }
    std::vector<MSG> Taken(std::initializer_list<UINT> kinds) {
        std::vector<MSG> out;
        for (const MSG& msg : Pump()) {
            for (UINT kind : kinds) {
                if (msg.message == kind) out.push_back(msg);
            }
        }
        return out;
    }

    HWND mWindow = nullptr;
    port::sdl::EventTranslator mTranslator;
};

TEST_F(SdlEventTest, AltAndTextAsWindowsGivesThem) {
    KeyEvent(SDL_SCANCODE_LALT, true);
    KeyEvent(SDL_SCANCODE_X, true, SDLK_x);
    Text("x");  // SDL types it; Windows does not with Alt held
    KeyEvent(SDL_SCANCODE_X, false, SDLK_x);
    KeyEvent(SDL_SCANCODE_LALT, false);
    KeyEvent(SDL_SCANCODE_UP, true);
    Text("\xC3\xA9\xF0\x9F\x98\x80");
    std::vector<MSG> keys = Taken({WM_SYSKEYDOWN, WM_SYSKEYUP, WM_KEYDOWN, WM_KEYUP, WM_CHAR});
    ASSERT_EQ(keys.size(), 8u);
    EXPECT_EQ(keys[1].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(keys[1].wParam, static_cast<WPARAM>('X'));
    EXPECT_NE(HIWORD(static_cast<uintptr_t>(keys[1].lParam)) & KF_ALTDOWN, 0);
    EXPECT_EQ(keys[2].message, static_cast<UINT>(WM_SYSKEYUP));
    EXPECT_EQ(keys[4].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(keys[4].wParam, static_cast<WPARAM>(VK_UP));
    EXPECT_NE(HIWORD(static_cast<uintptr_t>(keys[4].lParam)) & KF_EXTENDED, 0);
    EXPECT_EQ(keys[5].wParam, 0xE9u);
    EXPECT_EQ(keys[6].wParam, 0xD83Du);
    EXPECT_EQ(keys[7].wParam, 0xDE00u);
}

TEST_F(SdlEventTest, FocusBroughtByAPressLeavesActivationToThePress) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    ASSERT_EQ(GetForegroundWindow(), nullptr);
    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.button = SDL_BUTTON_LEFT;
    press.button.x = 10;
    press.button.y = 20;
    ASSERT_EQ(SDL_PushEvent(&press), 1);
    ClearLog();
    // The desktop reports the focus first, the press that brought it next.
    WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    SDL_Event event{};
    while (SDL_PollEvent(&event) != 0)
        Send(event);
    Pump();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    ASSERT_EQ(Messages(WM_MOUSEACTIVATE, mWindow).size(), 1u);
    EXPECT_EQ(GetForegroundWindow(), mWindow);
    EXPECT_EQ(LOWORD(Messages(WM_ACTIVATE, mWindow).at(0).wParam), WA_CLICKACTIVE);

    // Without a press the focus comes at once.
    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(GetForegroundWindow(), mWindow);
}

TEST_F(SdlEventTest, PointerButtonsAndWheel) {
    Motion(10, 20);
    Motion(10, 20);  // the same place again adds nothing
    Button(SDL_BUTTON_RIGHT, true, 10, 20);
    Button(SDL_BUTTON_RIGHT, false, 11, 20);
    Button(SDL_BUTTON_X1, true, 11, 20);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 1;
    Send(wheel);
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    Send(wheel);
    std::vector<MSG> mouse =
        Taken({WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_XBUTTONDOWN, WM_MOUSEWHEEL});
    ASSERT_EQ(mouse.size(), 7u);
    EXPECT_EQ(mouse[0].lParam, MAKELPARAM(10, 20));
    EXPECT_EQ(mouse[1].message, static_cast<UINT>(WM_RBUTTONDOWN));
    EXPECT_EQ(mouse[2].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(mouse[3].message, static_cast<UINT>(WM_RBUTTONUP));
    EXPECT_EQ(mouse[3].lParam, MAKELPARAM(11, 20));
    EXPECT_EQ(LOWORD(mouse[4].wParam), MK_XBUTTON1);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(mouse[5].wParam)), WHEEL_DELTA);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(mouse[6].wParam)), -WHEEL_DELTA);
    POINT point{};
    GetCursorPos(&point);
    EXPECT_EQ(point.x, 111);
}

TEST_F(SdlEventTest, WindowEventsAsTheDesktopsDoings) {
    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(GetForegroundWindow(), mWindow);
    std::vector<window_testing::Seen> activations = Messages(WM_ACTIVATEAPP, mWindow);
    ASSERT_GE(activations.size(), 2u);
    EXPECT_EQ(activations[activations.size() - 2].wParam, 0u);
    EXPECT_EQ(activations.back().wParam, 1u);

    ClearLog();
    WindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    Pump();
    ASSERT_FALSE(Messages(WM_SIZE, mWindow).empty());
    EXPECT_EQ(Messages(WM_SIZE, mWindow).back().wParam, SIZE_MINIMIZED);
    WindowEvent(SDL_WINDOWEVENT_RESTORED);
    Pump();
    EXPECT_EQ(Messages(WM_SIZE, mWindow).back().wParam, SIZE_RESTORED);

    ClearLog();
    WindowEvent(SDL_WINDOWEVENT_MOVED, 200, 150);
    WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600);
    RECT client{};
    GetClientRect(mWindow, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    POINT origin{0, 0};
    ClientToScreen(mWindow, &origin);
    EXPECT_EQ(origin.x, 200);
    EXPECT_EQ(origin.y, 150);
    EXPECT_EQ(Messages(WM_WINDOWPOSCHANGED, mWindow).size(), 2u);
    // The same place again (the echo of the program's own move) sends nothing.
    WindowEvent(SDL_WINDOWEVENT_MOVED, 200, 150);
    EXPECT_EQ(Messages(WM_WINDOWPOSCHANGED, mWindow).size(), 2u);

    Pump();
    WindowEvent(SDL_WINDOWEVENT_EXPOSED);
    EXPECT_EQ(Taken({WM_PAINT}).size(), 1u);

    window_testing::SetHook([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CLOSE) return 0;
        return std::nullopt;
    });
    WindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Send(quit);
    Pump();
    EXPECT_EQ(Messages(WM_CLOSE, mWindow).size(), 2u);
}

TEST_F(SdlEventTest, LeavingTheWindow) {
    Motion(5, 5);
    Pump();
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, mWindow, HOVER_DEFAULT};
    ASSERT_TRUE(TrackMouseEvent(&track));
    WindowEvent(SDL_WINDOWEVENT_LEAVE);
    EXPECT_EQ(Taken({WM_MOUSELEAVE}).size(), 1u);
}

// The backend itself needs a video driver: SDL's dummy driver needs no display.
class SdlBackendTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (!port::SelectWindowBackend("sdl")) GTEST_SKIP() << "no SDL video driver";
    }
};

TEST_F(SdlBackendTest, TheSdlWindowFollowsTheProgramsWindow) {
    EXPECT_STREQ(port::WindowBackendName(), "sdl");
    HWND window = MakeWindow(window_testing::kMainStyle, 0, false, RECT{0, 0, 480, 360});
    EXPECT_EQ(port::sdl::CurrentWindow(), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    SDL_Window* shown = port::sdl::CurrentWindow();
    ASSERT_NE(shown, nullptr);
    int width = 0, height = 0;
    SDL_GetWindowSize(shown, &width, &height);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(width, client.right);
    EXPECT_EQ(height, client.bottom);
    EXPECT_STREQ(SDL_GetWindowTitle(shown), "Brisvel");
    SetWindowTextA(window, "Umbrava \xE9t\xE9");
    EXPECT_STREQ(SDL_GetWindowTitle(shown), "Umbrava \xC3\xA9t\xC3\xA9");
    SetWindowPos(window, nullptr, 0, 0, 808, 627, SWP_NOMOVE | SWP_NOZORDER);
    Pump();  // the echo of the size change comes back as events
    SDL_GetWindowSize(shown, &width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 800);

    // No cursor hides the pointer (the dummy driver has no cursor images to compare).
    port::CursorImage image;
    image.width = image.height = 2;
    image.argb.assign(4, 0xFF00FF00u);
    HCURSOR made = port::AddCursorImage(image);
    SetCursor(made);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    SetCursor(nullptr);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    ShowCursor(FALSE);
    SetCursor(made);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    ShowCursor(TRUE);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_TRUE(DestroyCursor(made));

    // The clipboard is the desktop's.
    SDL_SetClipboardText("from the desktop");
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(window));
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT))),
                 "from the desktop");
    CloseClipboard();

    DestroyWindow(window);
    EXPECT_EQ(port::sdl::CurrentWindow(), nullptr);
}

}  // namespace
