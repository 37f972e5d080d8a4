// Internal: the window model that the window system's files share. One WindowWorld holds the
// classes, the windows, the z-order, activation, the message queue, timers and the input
// state, under one mutex. The rule that keeps it simple: no window procedure or backend call
// is ever made with the world locked. The leaf modules (system metrics and the desktop,
// cursors, menus, the failure table) may be called with it locked; they never call back.
// Functions named ...Locked expect the lock held; the others take it themselves.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "port/window/control.h"
#include "port/window/messages.h"
#include "port/window/queue.h"
#include "port/window/window.h"

namespace port {

struct WindowClass {
    std::string name;  // UTF-8
    std::string key;   // lower case, for look-up
    bool unicode = false;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int windowBytes = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    ATOM atom = 0;
};

struct Window {
    HWND handle = nullptr;
    bool foreign = false;
    std::shared_ptr<WindowClass> windowClass;  // null for foreign windows
    std::string className;                     // foreign windows
    WNDPROC proc = nullptr;
    bool unicode = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // child windows only
    HWND owner = nullptr;
    std::vector<HWND> children;  // front first
    RECT rect{};                 // in the parent's client area; on the screen for top-level ones
    RECT restoreRect{};          // the place before minimising or maximising
    bool restoreMaximized = false;
    std::string title;  // UTF-8
    std::vector<LONG_PTR> slots;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    HMENU menu = nullptr;
    bool invalid = false;
    bool erase = false;
    RECT invalidRect{};       // client coordinates
    bool destroying = false;  // between the start of its destruction and WM_NCDESTROY
    bool destroyed = false;   // kept in the table, so that handles are never reused
    std::vector<control::RecordedMessage> received;  // foreign windows
};

// A message waiting in the queue. Input messages may carry a key (or mouse button) whose
// state changes when the message is taken, and the system's sends due before it is answered.
struct QueuedMessage {
    MSG msg{};
    uint64_t serial = 0;
    UINT keyCode = 0;  // the left/right-specific key or the button, 0 for none
    bool keyDown = false;
    bool stateApplied = false;
    bool mouseActivate = false;  // a press: WM_MOUSEACTIVATE when its window is not in front
    bool setCursor = false;      // WM_SETCURSOR first
    bool sendsDone = false;
};

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT period = 0;
    DWORD due = 0;
    TIMERPROC function = nullptr;
};

struct WindowWorld {
    std::mutex mutex;

    std::map<std::string, std::shared_ptr<WindowClass>> classes;
    ATOM nextAtom = 0xC000;
    std::map<uintptr_t, std::unique_ptr<Window>> windows;
    uintptr_t nextHandle = 0x00010010;
    std::vector<HWND> zOrder;  // top-level windows, front first; the topmost group leads

    HWND foreground = nullptr;
    bool foregroundElsewhere = false;  // another program without a known window
    HWND active = nullptr;             // the program's own active window, or the one to be
    HWND focus = nullptr;
    HWND capture = nullptr;

    std::deque<QueuedMessage> posted;
    std::deque<QueuedMessage> input;
    uint64_t nextSerial = 1;
    bool quit = false;
    int quitCode = 0;
    std::vector<Timer> timers;
    UINT_PTR nextThreadTimer = 1;

    BYTE syncKeys[256] = {};  // 0x80 held, 0x01 toggled
    BYTE asyncKeys[256] = {};
    bool altAlone = false;  // Alt went down as a system key and no other key came since
    POINT pointer{};
    bool pointerOutside = false;  // over another program, where exactly unknown
    HWND hoverWindow = nullptr;
    DWORD hoverStart = 0;
    DWORD hoverTime = 0;
    POINT hoverCentre{};
    HWND leaveWindow = nullptr;
};

WindowWorld& World();
using WorldLock = std::unique_lock<std::mutex>;
inline WorldLock LockWorld() {
    return WorldLock(World().mutex);
}

// Look-ups and the tree.
Window* FindLocked(WindowWorld& world, HWND handle);
// The program's own window, else null with ERROR_INVALID_WINDOW_HANDLE.
Window* FindOwnLocked(WindowWorld& world, HWND handle);
Window* TopLevelLocked(WindowWorld& world, Window* window);
bool IsAncestorLocked(WindowWorld& world, HWND ancestor, HWND window);
bool IsVisibleLocked(WindowWorld& world, Window* window);
bool IsLiveWindow(HWND handle);
// The sibling list (z-order) a window sits in.
std::vector<HWND>& SiblingsLocked(WindowWorld& world, Window* window);
// Places a top-level window first in its z-order group (topmost or not).
void RaiseLocked(WindowWorld& world, HWND handle);

// Geometry (windowpos.cpp). Window positions are held within -32768..32767 and sizes within
// 0..32767, the range that the 16-bit coordinates of window messages carry; so no sum of
// positions, sizes and frames can overflow.
constexpr int kMinCoordinate = -32768;
constexpr int kMaxCoordinate = 32767;
inline int ClampPosition(int value) {
    return value < kMinCoordinate ? kMinCoordinate
                                  : (value > kMaxCoordinate ? kMaxCoordinate : value);
}
inline int ClampSize(int value) {
    return value < 0 ? 0 : (value > kMaxCoordinate ? kMaxCoordinate : value);
}
struct Frame {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
Frame FrameOf(DWORD style, DWORD exStyle, bool hasMenu);
Frame FrameLocked(const Window& window);
RECT ScreenRectLocked(WindowWorld& world, const Window& window);
RECT ClientScreenRectLocked(WindowWorld& world, const Window& window);
LRESULT HitTestLocked(WindowWorld& world, const Window& window, POINT screen);
// The deepest visible window under a screen point (any window, foreign ones included), or
// null; *client tells whether the point is in its client area.
Window* WindowFromPointLocked(WindowWorld& world, POINT screen, bool* client);

// Messages (queue.cpp). SendTo calls a window procedure, or records for a foreign window.
LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostLocked(WindowWorld& world, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostInputLocked(WindowWorld& world, QueuedMessage entry);
void PurgeMessagesLocked(WindowWorld& world, HWND window);

// Painting (paint.cpp).
void InvalidateLocked(Window& window, const RECT* rect, bool erase);

// Activation (activation.cpp): makes a top-level window (or none) the foreground window, with
// WM_ACTIVATEAPP, WM_ACTIVATE and focus changes.
void ChangeForeground(HWND window, bool byClick);
// After a window was hidden, minimised or destroyed: when it was the foreground window, the
// next visible window in z-order takes over (or none).
void PassForegroundOn(HWND leaving);
void ChangeFocus(HWND window);

// Input (input.cpp): a key's state in a key table (the generic Shift, Ctrl and Alt follow
// their left and right keys); the buttons and modifier keys as MK_ flags; leave and hover
// tracking after the pointer or the windows moved.
void SetKeyLocked(BYTE* keys, UINT code, bool down);
// Moves the pointer: a WM_MOUSEMOVE for the capture window or the window under it, then
// tracking.
void MovePointerLocked(WindowWorld& world, POINT screen);
WPARAM MouseKeyFlagsLocked(WindowWorld& world);
void CheckTrackingLocked(WindowWorld& world);
void CheckHoverLocked(WindowWorld& world);

// Geometry of showing (windowpos.cpp), shared with DefWindowProc; no failure injection.
BOOL ShowWindowInternal(HWND window, int command);
BOOL SetWindowPosInternal(HWND window, HWND insertAfter, int x, int y, int width, int height,
                          UINT flags);

// Destroys a window and everything inside it (window.cpp); foreign ones only when asked.
bool DestroyWindowInternal(HWND window, bool allowForeign);

// The backend hears of changes to the program's top-level windows.
void NotifyChanged(HWND window);

// The other modules' state, for ResetWindowing.
void ResetWindowWorld();
void ResetClipboard();
void ResetMenus();
void ForgetMenusOf(HWND window);
void ResetDesktop();
void ResetMessageBoxes();

}  // namespace port
