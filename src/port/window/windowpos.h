// Window geometry and showing: rectangles, moving and sizing, z-order, minimising.
//
// A window's frame comes from its style and the system metrics (port/window/metrics.h), the same
// for AdjustWindowRectEx, the client area and the hit test: WS_THICKFRAME gives SM_CXSIZEFRAME by
// SM_CYSIZEFRAME on each side, else WS_DLGFRAME (or WS_EX_DLGMODALFRAME) SM_CXFIXEDFRAME, else
// WS_BORDER SM_CXBORDER; WS_EX_CLIENTEDGE adds SM_CXEDGE; a caption (WS_CAPTION) adds
// SM_CYCAPTION at the top (SM_CYSMCAPTION for WS_EX_TOOLWINDOW), a menu SM_CYMENU. So style
// 0x00CE0000 gives an outer size of client + 2 x SM_CXSIZEFRAME by client + 2 x SM_CYSIZEFRAME
// + SM_CYCAPTION. A style change takes effect on the client area at once.
//
// SetWindowPos, MoveWindow and ShowWindow send WM_WINDOWPOSCHANGING (whose WINDOWPOS the
// window may change) and WM_WINDOWPOSCHANGED; WM_SIZE and WM_MOVE come from DefWindowProc's
// handling of WM_WINDOWPOSCHANGED. A minimised window sits at -32000, -32000 with the
// SM_CXMINIMIZED by SM_CYMINIMIZED size and an empty client area; restoring puts back its
// earlier place. A size change of a CS_HREDRAW/CS_VREDRAW window, and showing, invalidate it.
// Moving a top-level window without SWP_NOACTIVATE activates it. Positions are held within
// -32768..32767 and sizes within 0..32767 (what SetWindowPos and CreateWindowEx are given, and
// what a window procedure writes into the WINDOWPOS), the range of the messages' coordinates.
//
// Not modelled: size limits (WM_GETMINMAXINFO), WM_NCCALCSIZE, owned windows moving with their
// owner, deferred positioning (BeginDeferWindowPos).
#pragma once

#include "port/system/showcommand.h"
#include "port/win32types.h"

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOCOPYBITS = 0x0100;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;
constexpr UINT SWP_NOSENDCHANGING = 0x0400;
constexpr UINT SWP_DEFERERASE = 0x2000;
constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;
// Set in the WINDOWPOS of a minimise, maximise or restore.
constexpr UINT SWP_STATECHANGED = 0x8000;

inline HWND const HWND_TOP = reinterpret_cast<HWND>(0);
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);

// Where minimised windows go.
constexpr int MINIMIZED_POSITION = -32000;

// The client area: (0, 0, width, height).
BOOL GetClientRect(HWND window, RECT* rect);
// The outer rectangle in screen coordinates.
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
// Grows a client rectangle to the outer rectangle of a window with that style.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL hasMenu, DWORD exStyle);

// Positions are in the parent's client area for child windows, on the screen otherwise.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
// SetWindowPos without z-order change or activation.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// Answers whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
