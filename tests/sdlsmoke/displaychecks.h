// The smoke program's display checks: a DirectDraw display with a Direct3D device draws a known
// scene (smokescene.h) and the X server shows it, windowed and full screen (scaled, the pointer
// mapped), through focus loss and the control plane's loss, with a second thread drawing onto the
// screen, and with a cursor made from a bitmap. The grabs are written as PNG files in the
// working folder (sdl_smoke_window.png, sdl_smoke_offscreen.png, sdl_smoke_fullscreen.png).
//
// The main thread runs them, with the smoke window shown at its place and in front.
#pragma once

#include "port/win32types.h"
#include "support/xsession.h"

namespace smoke {

void RunDisplayChecks(testing_support::XSession& x, HWND window,
                      testing_support::XWindowId gameWindow);

}  // namespace smoke
