#include "port/window/sdl/sdlscale.h"

#include <algorithm>
#include <cstdint>

namespace port::sdl {
namespace {

int Hold(int value, int size) {
    return std::clamp(value, 0, size > 0 ? size - 1 : 0);
}

}  // namespace

ScreenScale FitMode(int modeWidth, int modeHeight, int screenWidth, int screenHeight) {
    ScreenScale scale;
    if (modeWidth <= 0 || modeHeight <= 0 || screenWidth <= 0 || screenHeight <= 0) return scale;
    scale.on = true;
    scale.modeWidth = modeWidth;
    scale.modeHeight = modeHeight;
    // The side that limits the scale fills the screen; the other keeps the aspect (in 64 bits:
    // the products of two screen sizes pass the int range).
    int64_t wide = int64_t{screenWidth} * modeHeight;
    int64_t tall = int64_t{screenHeight} * modeWidth;
    if (wide >= tall) {
        scale.height = screenHeight;
        scale.width = static_cast<int>(tall / modeHeight);
    } else {
        scale.width = screenWidth;
        scale.height = static_cast<int>(wide / modeWidth);
    }
    scale.width = std::max(scale.width, 1);
    scale.height = std::max(scale.height, 1);
    scale.x = (screenWidth - scale.width) / 2;
    scale.y = (screenHeight - scale.height) / 2;
    return scale;
}

POINT WindowToMode(const ScreenScale& scale, int x, int y) {
    if (!scale.on) return POINT{x, y};
    int64_t mx = (int64_t{x} - scale.x) * scale.modeWidth;
    int64_t my = (int64_t{y} - scale.y) * scale.modeHeight;
    // Rounded down, also left of and above the area (held to 0 then).
    mx = mx >= 0 ? mx / scale.width : -1;
    my = my >= 0 ? my / scale.height : -1;
    return POINT{Hold(static_cast<int>(std::min<int64_t>(mx, scale.modeWidth)), scale.modeWidth),
                 Hold(static_cast<int>(std::min<int64_t>(my, scale.modeHeight)), scale.modeHeight)};
}

POINT ModeToWindow(const ScreenScale& scale, POINT point) {
    if (!scale.on) return point;
    // The window pixels that show a mode point run from the first whose WindowToMode reaches it
    // to the one before the next point's first; the middle one of them.
    auto middle = [](int64_t p, int64_t mode, int64_t shown) {
        int64_t first = (p * shown + mode - 1) / mode;
        int64_t last = ((p + 1) * shown + mode - 1) / mode - 1;
        return static_cast<int>(last > first ? (first + last) / 2 : first);
    };
    return POINT{scale.x + middle(Hold(point.x, scale.modeWidth), scale.modeWidth, scale.width),
                 scale.y + middle(Hold(point.y, scale.modeHeight), scale.modeHeight, scale.height)};
}

}  // namespace port::sdl
