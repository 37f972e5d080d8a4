// Internal: what the player sees, read back for a backend to show and for the control plane.
// Full screen, that is the visible buffer of the exclusive display's flip chain, whole;
// windowed, the part of the desktop's memory under the client area of the player's window
// (displaystate.h: PlayerWindow).
#pragma once

#include "port/win32types.h"
#include "raster/surface.h"

namespace port::display {

// Copies the player's view into `out`, made anew at the client area's size in `format` (a colour
// format) by the conversion rules (the screen shows no alpha: X reads as opaque); what lies off
// the desktop is opaque black. *area, when given, gets the client area on the screen. False, with
// `out` untouched, without a player's window or desktop memory, for an empty client area, or while
// the desktop's memory is locked or has a device context out.
bool ReadPlayerView(raster::TSurface& out, raster::TPixelFormat format, RECT* area = nullptr);

}  // namespace port::display
