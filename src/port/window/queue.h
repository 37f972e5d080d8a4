// The message queue and timers.
//
// There is one queue, read by the thread that runs the windows; any thread may post to it.
// PeekMessage first lets the backend bring in outside events (port/window/backend.h) and takes
// hover tracking's due WM_MOUSEHOVER, then answers, in this order: posted messages (FIFO), WM_QUIT
// once PostQuitMessage was called, input messages (FIFO: keys, characters, mouse), WM_PAINT for a
// visible window with an invalid area, WM_TIMER for a due timer. WM_QUIT is answered whatever
// the filter; WM_PAINT stays until the window is validated (BeginPaint, DefWindowProc); a
// removed WM_TIMER makes the timer due again a period later (timeGetTime, so the fake clock
// drives timers). Key state (GetKeyState) follows the key messages as they are taken.
//
// Before an input message is answered, the system's sends for it reach the window procedure
// as on Windows: WM_MOUSEACTIVATE (and activation) for a press into a window that is not in
// the foreground, then WM_SETCURSOR for mouse messages.
//
// SendMessage calls the window procedure directly. Messages sent or posted to foreign windows
// are recorded for tests (port/window/control.h), and sending answers 0. DispatchMessage of a
// WM_TIMER whose lParam is a function calls it only when a live timer was given that function.
//
// Not modelled: GetMessage and WaitMessage (the program peeks), sending between threads
// (SendMessage calls the procedure on the caller's thread), WM_SYSCHAR and dead keys.
#pragma once

#include "port/win32types.h"
#include "port/window/messages.h"

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// Wait conditions of MsgWaitForMultipleObjects.
constexpr DWORD QS_KEY = 0x0001;
constexpr DWORD QS_MOUSEMOVE = 0x0002;
constexpr DWORD QS_MOUSEBUTTON = 0x0004;
constexpr DWORD QS_POSTMESSAGE = 0x0008;
constexpr DWORD QS_ALLINPUT = 0x04FF;

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

// A null window posts a message for the thread (msg.hwnd null). FALSE for a window that does
// not exist (ERROR_INVALID_WINDOW_HANDLE).
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A message for the thread (msg.hwnd null); there is one queue, so any thread id but 0 names it.
BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// window: null for every message, or that window and its children. first and last: a range of
// message numbers, 0 and 0 for all.
BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT remove);
BOOL PeekMessageW(MSG* msg, HWND window, UINT first, UINT last, UINT remove);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// WM_KEYDOWN gives a WM_CHAR, posted to come next, for Enter (13, Ctrl: 10), Tab (9),
// Backspace (8, Ctrl: 127), Escape (27) and Ctrl+letter (1 to 26). Other characters come as
// text input, already in the queue. Answers TRUE for every key message.
BOOL TranslateMessage(const MSG* msg);
// Calls the window procedure (a WM_TIMER with a timer function calls that instead).
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
// With no objects: the idle wait. It waits at most the timeout (the backend's wait: the fake
// clock moves only when Sleep may move it) and answers WAIT_TIMEOUT, or WAIT_OBJECT_0 + count
// when the queue holds input of the wake mask.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                DWORD milliseconds, DWORD wakeMask);

// A timer of a window (or, with a null window, of the thread, with a new id). The period is at
// least 10 ms; setting an existing id restarts it. Answers the id, 0 on failure.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC function);
BOOL KillTimer(HWND window, UINT_PTR id);
