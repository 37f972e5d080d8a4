// Window classes and windows: registration, creation and destruction, the window tree, window
// data, titles and the default window procedure. Geometry and showing are windowpos.h,
// activation and focus activation.h, messages queue.h (all in port/window/).
//
// The model: every window lives in the port layer's memory. A window handle is a small 32-bit
// number, so it survives "%d" and "%x". Windows belong to the program, except "foreign"
// windows, which stand for windows of other programs (a host window, another program's window
// in front); only tests make those (port/window/control.h). FindWindowA sees only the
// program's own windows. Window data (the window bytes of the class) are pointer-sized slots:
// each 4 bytes of window bytes give one slot, at index 0, 4, 8...; SetWindowLongA stores a
// whole pointer there (the semantics of SetWindowLongPtrA).
//
// A window is Unicode when its class was registered with RegisterClassW: its WM_CHAR carries
// UTF-16 units, an ANSI window's WM_CHAR carries Windows-1252 bytes ("?" for characters that
// have none). Titles and class names are kept as UTF-8; the A calls read and write
// Windows-1252.
//
// Not modelled: menu bars (port/window/menu.h has the system menu only), owned-window z-order,
// WM_NCCALCSIZE (the frame comes from the style, see AdjustWindowRectEx), non-client mouse
// messages, window regions, windows of several threads.
//
// The windows belong to the thread that runs them; GetClientRect, GetWindowRect,
// ClientToScreen and IsWindow may also be called from other threads.
#pragma once

#include "port/win32types.h"
#include "port/window/messages.h"

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// Extended window styles. WS_EX_TOPMOST follows the window's z-order group: SetWindowPos with
// HWND_TOPMOST or HWND_NOTOPMOST changes it; SetWindowLongA leaves it as it is, as on Windows.
constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// Window data indexes besides the window bytes.
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_HINSTANCE = -6;
constexpr int GWLP_ID = -12;
constexpr int GWLP_USERDATA = -21;

// Class data indexes.
constexpr int GCL_HBRBACKGROUND = -10;
constexpr int GCL_HCURSOR = -12;
constexpr int GCL_HICON = -14;
constexpr int GCL_CBWNDEXTRA = -18;
constexpr int GCL_STYLE = -26;

// GetWindow relations.
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;

template <typename Char>
struct WNDCLASS_T {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const Char* lpszMenuName;
    const Char* lpszClassName;
};
using WNDCLASSA = WNDCLASS_T<char>;
using WNDCLASSW = WNDCLASS_T<WCHAR>;

// A class name is unique, compared without case (ERROR_CLASS_ALREADY_EXISTS). Answers the
// class atom, 0 on failure.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
ATOM RegisterClassW(const WNDCLASSW* windowClass);
BOOL UnregisterClassA(const char* className, HINSTANCE instance);

// Creates a window as Windows does: WM_NCCREATE and WM_CREATE (a FALSE or -1 answer fails the
// creation), then WM_SIZE and WM_MOVE, then, with WS_VISIBLE, it is shown (and a top-level
// window activated). A parent without WS_CHILD is the owner. The parent may be a foreign
// window (a host). Null on failure.
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
HWND CreateWindowExW(DWORD exStyle, const WCHAR* className, const WCHAR* title, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
// Hides the window (activating another), then WM_DESTROY to it and its children, parents
// first, and WM_NCDESTROY children first; its timers, queued messages, capture and focus go
// with it. Only the program's own windows.
BOOL DestroyWindow(HWND window);

BOOL IsWindow(HWND window);
// WS_VISIBLE on the window and every ancestor.
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);
BOOL IsChild(HWND parent, HWND window);
// The parent of a child window, else the owner.
HWND GetParent(HWND window);
// Moves the window under another parent (null: the desktop, as a top-level window in front);
// its position stays the same numbers in the new parent's client area. Answers the old parent.
HWND SetParent(HWND window, HWND parent);
// Top-level windows in z-order (front first) for GW_HWNDFIRST/LAST/NEXT/PREV on a top-level
// window; siblings for a child; the first child for GW_CHILD.
HWND GetWindow(HWND window, UINT relation);
// The program's own top-level windows only; null arguments match any.
HWND FindWindowA(const char* className, const char* title);

// Window data: GWL_STYLE, GWL_EXSTYLE, GWLP_* and the window bytes (ERROR_INVALID_INDEX past
// them). Setting answers the previous value.
LONG_PTR GetWindowLongA(HWND window, int index);
LONG_PTR GetWindowLongW(HWND window, int index);
LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value);
LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
DWORD GetClassLongA(HWND window, int index);
DWORD SetClassLongA(HWND window, int index, LONG value);

BOOL SetWindowTextA(HWND window, const char* text);
BOOL SetWindowTextW(HWND window, const WCHAR* text);
// The Windows protocol: the length copied, the text cut to fit the buffer.
int GetWindowTextA(HWND window, char* text, int size);
int GetWindowTextW(HWND window, WCHAR* text, int size);

// The default handling:
// WM_CLOSE destroys the window; WM_PAINT validates it; WM_ERASEBKGND answers 1 with a class
// brush; WM_NCHITTEST answers from the window's frame (port/window/windowpos.h); WM_SETCURSOR asks
// a parent first, then sets the class cursor over the client area (the arrow elsewhere);
// WM_MOUSEACTIVATE asks a parent first, else MA_ACTIVATE; WM_WINDOWPOSCHANGED sends WM_MOVE
// and WM_SIZE (SIZE_MINIMIZED, SIZE_MAXIMIZED or SIZE_RESTORED with the client size);
// WM_ACTIVATE gives the activated window the focus; WM_SYSKEYDOWN of Alt+F4 sends
// WM_SYSCOMMAND(SC_CLOSE); WM_SYSCOMMAND SC_CLOSE sends WM_CLOSE, SC_MINIMIZE, SC_MAXIMIZE and
// SC_RESTORE show the window so; WM_NCCREATE answers TRUE; everything else answers 0.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Resource ids given as numbers.
inline const char* MAKEINTRESOURCEA(int id) {
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(static_cast<WORD>(id)));
}
