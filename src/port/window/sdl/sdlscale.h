// Full screen on a screen of another size: the display mode (the virtual desktop, mode pixels)
// shows scaled to fit the screen, aspect kept and centred, in an area of the SDL window that
// covers the screen. Pointer positions are mapped from window pixels into the mode through that
// area, and back for the program's own pointer moves. Plain arithmetic, for any thread.
#pragma once

#include "port/win32types.h"

namespace port::sdl {

struct ScreenScale {
    bool on = false;
    int modeWidth = 0;
    int modeHeight = 0;
    // Where the mode shows, in window pixels.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The mode fitted into a screen of screenWidth × screenHeight: as large as fits with its aspect,
// centred, the rest black bars. Off for an empty mode or screen.
ScreenScale FitMode(int modeWidth, int modeHeight, int screenWidth, int screenHeight);

// The point of the mode that a window pixel shows, held within the mode.
POINT WindowToMode(const ScreenScale& scale, int x, int y);
// The window pixel in the middle of those that show a point of the mode (a point off the mode is
// held within it first). WindowToMode of it gives the point back whenever the mode shows at least
// at its own size.
POINT ModeToWindow(const ScreenScale& scale, POINT point);

}  // namespace port::sdl
