#include "smokechecks.h"

#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "displaychecks.h"
#include "port/system/globalmem.h"
#include "port/window/activation.h"
#include "port/window/clipboard.h"
#include "port/window/cursor.h"
#include "port/window/input.h"
#include "port/window/messagebox.h"
#include "port/window/messages.h"
#include "port/window/vkeys.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"
#include "smokeexpect.h"
#include "smokewindow.h"
#include "support/xsession.h"

namespace smoke {
namespace {

using testing_support::XSession;
using testing_support::XWindowId;

int XOf(LPARAM lParam) {
    return static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)));
}

UINT KeyFlags(const Seen& seen) {
    return HIWORD(static_cast<uintptr_t>(seen.lParam));
}

bool Extended(const Seen& seen) {
    return (KeyFlags(seen) & KF_EXTENDED) != 0;
}

bool AltDown(const Seen& seen) {
    return (KeyFlags(seen) & KF_ALTDOWN) != 0;
}

// The client area's origin on the screen.
POINT ClientOrigin(HWND window) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

void CheckKeys(XSession& x) {
    size_t from = Mark();
    x.Tap(XK_a);
    bool arrived = WaitFor(from, WM_CHAR);
    long down = Find(from, WM_KEYDOWN, 'A');
    long typed = Find(from, WM_CHAR, 'a');
    Expect(arrived && down >= 0 && typed > down, "\"a\": WM_KEYDOWN 65, then WM_CHAR 0x61");

    from = Mark();
    x.Tap(XK_Left);
    WaitFor(from, WM_KEYUP);
    long left = Find(from, WM_KEYDOWN, VK_LEFT);
    Expect(left >= 0 && Extended(At(left)), "Left: WM_KEYDOWN VK_LEFT with bit 24");

    from = Mark();
    x.Tap(XK_Control_R);
    WaitFor(from, WM_KEYUP);
    long control = Find(from, WM_KEYDOWN, VK_CONTROL);
    Expect(control >= 0 && Extended(At(control)), "right Ctrl: WM_KEYDOWN VK_CONTROL with bit 24");

    from = Mark();
    x.Tap(XK_Return, {XK_Alt_L});
    WaitFor(from, WM_KEYUP, VK_MENU);
    long enter = Find(from, WM_SYSKEYDOWN, VK_RETURN);
    Expect(enter >= 0 && AltDown(At(enter)), "Alt+Enter: WM_SYSKEYDOWN VK_RETURN with bit 29");
    PumpFor(50);  // the menu loop Alt's release may start ends at once: no menu

    from = Mark();
    x.Tap(XK_e, {XK_ISO_Level3_Shift});
    WaitFor(from, WM_KEYUP, VK_MENU);
    long key = Find(from, WM_KEYDOWN, 'E');
    Expect(key >= 0 && Find(from, WM_SYSKEYDOWN) < 0 && Find(from, WM_SYSKEYUP) < 0 &&
               Find(from, WM_KEYDOWN, VK_CONTROL) >= 0 && Find(from, WM_CHAR, 'e') > key,
           "AltGr+e: WM_KEYDOWN (Ctrl, Alt, E) and WM_CHAR, no WM_SYSKEYDOWN");
}

void CheckMouse(XSession& x, HWND window) {
    POINT origin = ClientOrigin(window);
    x.MovePointer(origin.x + 100, origin.y + 50);
    PumpFor(30);
    size_t from = Mark();
    x.Key(XK_Shift_L, true);
    x.Click();
    x.Key(XK_Shift_L, false);
    WaitFor(from, WM_LBUTTONUP);
    long press = Find(from, WM_LBUTTONDOWN);
    long release = Find(from, WM_LBUTTONUP);
    Expect(press >= 0 && At(press).lParam == MAKELPARAM(100, 50) &&
               (At(press).wParam & MK_SHIFT) != 0 && release > press,
           "Shift+click at (100, 50): WM_LBUTTONDOWN (100, 50) with MK_SHIFT, then WM_LBUTTONUP");

    // A drag that leaves the window, the capture set on the press.
    Options().captureDrags = true;
    x.MovePointer(origin.x + 50, origin.y + 50);
    PumpFor(30);
    from = Mark();
    x.Button(1, true);
    WaitFor(from, WM_LBUTTONDOWN);
    x.MovePointer(origin.x - 40, origin.y + 60);
    PumpFor(50);
    x.Button(1, false);
    WaitFor(from, WM_LBUTTONUP);
    Options().captureDrags = false;
    bool movedOutside = false;
    for (long i = Find(from, WM_LBUTTONDOWN); i >= 0 && i < static_cast<long>(Mark()); ++i) {
        if (At(i).message == WM_MOUSEMOVE && XOf(At(i).lParam) == -40) {
            movedOutside = true;
        }
    }
    long up = Find(from, WM_LBUTTONUP);
    Expect(movedOutside && up >= 0 && XOf(At(up).lParam) == -40,
           "a captured drag out of the window: WM_MOUSEMOVE and WM_LBUTTONUP at x = -40");

    x.MovePointer(origin.x + 200, origin.y + 200);
    PumpFor(30);
    from = Mark();
    x.Wheel(1);
    WaitFor(from, WM_MOUSEWHEEL);
    long wheel = Find(from, WM_MOUSEWHEEL);
    Expect(wheel >= 0 && static_cast<SHORT>(HIWORD(At(wheel).wParam)) == 120,
           "wheel up: WM_MOUSEWHEEL +120");

    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, HOVER_DEFAULT};
    bool tracking = TrackMouseEvent(&track) != FALSE;
    from = Mark();
    x.MovePointer(origin.x + kClientWidth + 100, origin.y + 200);
    Expect(tracking && WaitFor(from, WM_MOUSELEAVE),
           "TrackMouseEvent(TME_LEAVE), the pointer out: WM_MOUSELEAVE");
}

void CheckFocus(XSession& x, HWND window, XWindowId gameWindow) {
    POINT origin = ClientOrigin(window);
    XWindowId other = x.MakeWindow(origin.x + kClientWidth + 100, origin.y, 200, 200, 0x336699);
    size_t from = Mark();
    x.Focus(other);
    Expect(WaitFor(from, WM_ACTIVATEAPP, 0), "the focus to another X window: WM_ACTIVATEAPP(0)");

    x.MovePointer(origin.x + 300, origin.y + 200);
    PumpFor(30);
    from = Mark();
    x.Click();
    WaitFor(from, WM_LBUTTONUP);
    PumpFor(50);  // the backend gives its window the input focus at the next look
    long activate = Find(from, WM_MOUSEACTIVATE);
    long press = Find(from, WM_LBUTTONDOWN);
    Expect(activate >= 0 && press > activate && Find(from, WM_ACTIVATEAPP, 1) >= 0,
           "a click into the window: WM_MOUSEACTIVATE before WM_LBUTTONDOWN, WM_ACTIVATEAPP(1)");
    Expect(x.FocusedWindow() == gameWindow, "the click gave the window the X input focus");
    from = Mark();
    x.Tap(XK_b);
    Expect(WaitFor(from, WM_KEYDOWN, 'B'), "a key typed next reaches the window");
}

void CheckClose(XSession& x, XWindowId gameWindow) {
    Options().keepOpen = true;
    size_t from = Mark();
    x.RequestClose(gameWindow);
    bool closed = WaitFor(from, WM_CLOSE);
    PumpFor(100);
    Options().keepOpen = false;
    long first = Find(from, WM_CLOSE);
    Expect(closed && Find(first + 1, WM_CLOSE) < 0 && !QuitTaken(),
           "a close request from outside: one WM_CLOSE, no WM_QUIT");
}

void CheckForcedSize(XSession& x, HWND window, XWindowId gameWindow) {
    Options().lockSize = true;
    size_t from = Mark();
    x.Resize(gameWindow, 300, 200);
    WaitFor(from, WM_WINDOWPOSCHANGING);
    int left = 0, top = 0, width = 0, height = 0;
    PumpUntil(
        [&] {
            return x.Geometry(gameWindow, &left, &top, &width, &height) && width == kClientWidth &&
                   height == kClientHeight;
        },
        kWait);
    Options().lockSize = false;
    RECT client{};
    GetClientRect(window, &client);
    Expect(Find(from, WM_WINDOWPOSCHANGING) >= 0 && width == kClientWidth &&
               height == kClientHeight && client.right == kClientWidth &&
               client.bottom == kClientHeight,
           "a size forced from outside comes back to the one WM_WINDOWPOSCHANGING leaves (" +
               std::to_string(width) + " x " + std::to_string(height) + ")");
}

void CheckClipboard(HWND window) {
    const char16_t kText[] = u"\u00E9\u20AC\U0001F600";
    bool put = false;
    if (OpenClipboard(window)) {
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof kText);
        std::memcpy(GlobalLock(memory), kText, sizeof kText);
        GlobalUnlock(memory);
        put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        CloseClipboard();
    }
    std::u16string wide;
    std::string bytes;
    if (OpenClipboard(window)) {
        if (HGLOBAL data = GetClipboardData(CF_UNICODETEXT)) {
            wide = static_cast<const char16_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        if (HGLOBAL data = GetClipboardData(CF_TEXT)) {
            bytes = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    Expect(put && wide == kText, "the clipboard: CF_UNICODETEXT round-trips \"é€😀\"");
    Expect(bytes == "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
           "the clipboard: CF_TEXT of that text is its UTF-8");
}

void CheckPointer(XSession& x, HWND window) {
    // The class has no cursor, so WM_SETCURSOR leaves the one the program set: none stays none
    // as the pointer moves over the client area, and the arrow stays the arrow.
    POINT origin = ClientOrigin(window);
    x.MovePointer(origin.x + 320, origin.y + 240);
    PumpFor(30);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    PumpFor(30);
    bool arrowShown = !x.CursorIsInvisible();
    SetCursor(nullptr);
    size_t from = Mark();
    x.MovePointer(origin.x + 330, origin.y + 250);
    WaitFor(from, WM_SETCURSOR);
    x.MovePointer(origin.x + 20, origin.y + 460);
    PumpFor(50);
    Expect(arrowShown && x.CursorIsInvisible() && Find(from, WM_SETCURSOR) >= 0,
           "no cursor set and none in the class: the pointer stays hidden over the client area");
    SetCursorPos(origin.x + 123, origin.y + 45);
    PumpFor(30);
    int pointerX = 0, pointerY = 0;
    x.PointerPosition(&pointerX, &pointerY);
    Expect(pointerX == origin.x + 123 && pointerY == origin.y + 45,
           "SetCursorPos moves the X pointer there");
}

void CheckMessageBox(HWND window) {
    static constexpr char kCaption[] = "Umbrava smoke question";
    std::atomic<bool> found{false};
    // The answerer's own connection, opened before the box: SDL shows the box from a process it
    // forks, which must not inherit a lock of the X library that this thread holds (opening a
    // display takes one that is global).
    XSession x;
    std::thread answerer([&] {
        if (!x.Connected()) return;
        XWindowId box = 0;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWait);
        while (box == 0 && std::chrono::steady_clock::now() < end) {
            box = x.FindWindow(kCaption);
            if (box == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (box == 0) {
            // Nothing to answer: the box must still end, or the program hangs.
            x.Tap(XK_Escape);
            return;
        }
        found = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        x.Focus(box);
        x.Tap(XK_Return);
    });
    int answer = MessageBoxA(window, "Press Return.", kCaption, MB_OKCANCEL | MB_ICONQUESTION);
    answerer.join();
    Expect(found, "a message box appears as an X window titled with its caption");
    Expect(answer == IDOK,
           "Return answers the box with IDOK (answered " + std::to_string(answer) + ")");
}

}  // namespace

int RunChecks(HWND window) {
    XSession x;
    if (!x.Connected()) {
        std::printf("FAIL the checks need an X server: %s\n", x.WhyNot().c_str());
        return -1;
    }
    XWindowId gameWindow = 0;
    PumpUntil(
        [&] {
            gameWindow = x.FindWindow(kTitle);
            return gameWindow != 0 && x.FocusedWindow() == gameWindow;
        },
        kWait);
    Expect(gameWindow != 0, "the window is shown as an X window titled \"Umbrava smoke\"");
    if (gameWindow == 0) return FailedCount();
    Expect(x.FocusedWindow() == gameWindow, "the shown window has the X input focus");
    int left = 0, top = 0, width = 0, height = 0;
    x.Geometry(gameWindow, &left, &top, &width, &height);
    POINT origin = ClientOrigin(window);
    Expect(left == origin.x && top == origin.y && width == kClientWidth && height == kClientHeight,
           "the X window is the client area, in place");
    x.MovePointer(origin.x + 10, origin.y + 10);
    PumpFor(50);

    CheckKeys(x);
    CheckMouse(x, window);
    CheckFocus(x, window, gameWindow);
    CheckClose(x, gameWindow);
    CheckForcedSize(x, window, gameWindow);
    CheckClipboard(window);
    CheckPointer(x, window);
    RunDisplayChecks(x, window, gameWindow);

    testing_support::ArgbImage shot = x.Grab(x.Root());
    Expect(testing_support::WriteArgbPng(shot, "sdl_smoke.png"),
           "the screen is grabbed to sdl_smoke.png");

    CheckMessageBox(window);
    return FailedCount();
}

}  // namespace smoke
