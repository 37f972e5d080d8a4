// The sdl backend: a real SDL window for the program's window, and the desktop's input, boxes
// and clipboard. The SDL window is the client area of the first visible top-level window of the
// program; it follows that window's title, size, position, visibility and minimised state, and
// its events come back through the EventTranslator. When the model makes that window the
// foreground window the SDL window is raised and given the input focus (keys follow a click even
// with no window manager), and while a window of the program holds the capture SDL holds the
// pointer. The desktop (size, depth, work area,
// monitors) is read from SDL at start and on display events. Showing what the program draws
// belongs to the display code, which reaches the window through CurrentWindow, draws with the
// window's renderer, presents from the hook at the end of every look at the desktop's events, and
// asks for full screen. The renderer (whatever SDL picks, without vertical sync: the program
// paces itself) is made with the window, before it is shown: SDL remakes the window for some
// renderers, which must not happen to a window on the screen.
//
// Full screen covers the screen with the SDL window (placed by the backend itself where no
// window manager does it) and shows the display mode scaled to fit (sdlscale.h); the SDL window
// stops following the model window's geometry, pointer positions are mapped into the mode, and
// SetCursorPos maps back. Windowed again, the SDL window takes the model window's client area.
//
// The thread that runs the windows calls it, as SDL's video functions require, except where
// noted.
#pragma once

#include "port/win32types.h"
#include "port/window/sdl/sdlscale.h"

struct SDL_Window;

namespace port::sdl {

// The SDL window that stands for the program's window; null without one. Any thread.
SDL_Window* CurrentWindow();
// The program's window whose client area the SDL window is; null without one.
HWND ShownWindow();
// Whether the calling thread is the one that started SDL's video (the thread that runs the
// windows). False while the sdl backend is not running. Any thread.
bool OnWindowThread();

// Called at the end of every PumpEvents (null: none), on the thread that runs the windows.
using PumpHook = void (*)();
void SetPumpHook(PumpHook hook);
// Ends a WaitEvents early, so that the thread that runs the windows looks again. Any thread.
void WakeWindowThread();

// Full screen showing a display mode of modeWidth × modeHeight; false without an SDL window.
bool EnterFullScreen(int modeWidth, int modeHeight);
// Windowed again (nothing when not full screen).
void LeaveFullScreen();
// Where the mode shows in the window; off while windowed.
ScreenScale FullScreenScale();

}  // namespace port::sdl
