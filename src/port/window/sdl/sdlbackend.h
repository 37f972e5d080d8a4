// The sdl backend: a real SDL window for the program's window, and the desktop's input, boxes
// and clipboard. The SDL window is the client area of the first visible top-level window of the
// program; it follows that window's title, size, position, visibility and minimised state, and
// its events come back through the EventTranslator. When the model makes that window the
// foreground window the SDL window is raised and given the input focus (keys follow a click even
// with no window manager), and while a window of the program holds the capture SDL holds the
// pointer. The desktop (size, depth, work area,
// monitors) is read from SDL at start and on display events. Full screen, and showing what the
// program draws, belong to the display code, which reaches the window through CurrentWindow.
//
// The thread that runs the windows calls it, as SDL's video functions require.
#pragma once

struct SDL_Window;

namespace port::sdl {

// The SDL window that stands for the program's window; null without one.
SDL_Window* CurrentWindow();

}  // namespace port::sdl
