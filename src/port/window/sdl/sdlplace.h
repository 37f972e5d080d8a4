// The SDL window's place on the X server, read and set there directly. Without a window manager
// (Xvfb) SDL cannot make a window cover the screen in full screen, nor give it back its size and
// place when full screen ends: the backend checks what the server says and places the window
// itself where SDL left it wrong. X11 only: elsewhere both answer false and SDL's word stands.
//
// The thread that runs the windows calls it.
#pragma once

struct SDL_Window;

namespace port::sdl {

// The window's place on the screen and size as the server has them now; false when unknown.
bool ServerGeometry(SDL_Window* window, int* x, int* y, int* width, int* height);
// Moves and sizes the window on the server (raised when asked), and waits until the server has
// it; false when it cannot.
bool PlaceOnServer(SDL_Window* window, int x, int y, int width, int height, bool raise);

}  // namespace port::sdl
