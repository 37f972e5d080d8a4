// Internal: what the player sees, read back for a backend to show and for the control plane.
// Full screen, that is the visible buffer of the exclusive display's flip chain, whole;
// windowed, the part of the desktop's memory under the client area of the player's window
// (displaystate.h: PlayerWindow).
#pragma once

#include <memory>

#include "port/display/pixelstore.h"
#include "port/win32types.h"
#include "raster/surface.h"

namespace port::display {

// The memory the player's view comes from, for a backend that shows it as it is. Full screen
// (a flip chain at the exclusive level): the visible buffer. Otherwise the desktop's memory
// (null for a desktop without a surface format). lost: the front buffer it stands for is lost
// (the visible buffer's chain, or the newest windowed primary), so it holds nothing to show.
struct ShownMemory {
    std::shared_ptr<PixelStore> store;
    bool fullScreen = false;
    bool lost = false;
};
ShownMemory FindShownMemory();

// Copies the player's view into `out`, made anew at the client area's size in `format` (a colour
// format) by the conversion rules (the screen shows no alpha: X reads as opaque); what lies off
// the desktop is opaque black. *area, when given, gets the client area on the screen. False, with
// `out` untouched, without a player's window or desktop memory, for an empty client area, or while
// the desktop's memory is locked or has a device context out.
bool ReadPlayerView(raster::TSurface& out, raster::TPixelFormat format, RECT* area = nullptr);

}  // namespace port::display
