// Whether a key event of the desktop came from AltGr. SDL reports AltGr and a right Alt that is
// plain Alt alike (its right Alt key); only the desktop's own key event says which one the layout
// gives, so the backend reads that event (SDL's window-manager event) before SDL's key event.
// X11 only: elsewhere no key is AltGr.
//
// The thread that runs the windows calls it, with the SDL event it took.
#pragma once

#include <SDL2/SDL_events.h>

namespace port::sdl {

enum class DesktopKey { NotAKey, AltGr, OtherKey };

// What a window-manager event says of the key event that follows it: NotAKey when it is no key
// event of a known desktop.
DesktopKey DesktopKeyOf(const SDL_SysWMEvent& event);

}  // namespace port::sdl
