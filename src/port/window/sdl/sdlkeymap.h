// SDL keys as Windows virtual keys. Letters follow the keyboard layout (SDL's key code), every
// other key its position (SDL's scan code, read as a US keyboard, as Windows numbers the
// punctuation keys). With Num Lock off the keypad digits are the navigation keys, as on
// Windows. Keys Windows has no code for map to 0.
#pragma once

#include <SDL2/SDL_keyboard.h>

#include "port/win32types.h"

namespace port::sdl {

struct VirtualKey {
    UINT code;      // VK_*, the left/right-specific code for Shift, Ctrl and Alt; 0: none
    bool extended;  // bit 24 of the key messages
};

VirtualKey VirtualKeyFromSdl(const SDL_Keysym& key);

}  // namespace port::sdl
