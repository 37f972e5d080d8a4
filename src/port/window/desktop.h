// Internal: the virtual desktop's mode, for the screen's device context and the window model.
#pragma once

namespace port {

struct DesktopMode {
    int width;
    int height;
    int bitsPerPixel;
    int refreshRate;
};

DesktopMode CurrentDesktopMode();
// Colours of the desktop as NUMCOLORS answers them: the count up to 8 bits per pixel, else -1.
int DesktopColourCount(int bitsPerPixel);

}  // namespace port
