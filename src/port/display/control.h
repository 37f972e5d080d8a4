// The control plane of DirectDraw, for tests: the surfaces as images, what the player sees, and
// the list of live surfaces. Failure injection and the call log of the DirectDraw calls are the
// shared ones (port/control.h). Gathered with the other services' parts in port/control.h.
//
// Any thread may call these.
#pragma once

#include <cstdint>
#include <vector>

#include "port/display/ddraw.h"

namespace port::control {

// Pixels as 0xAARRGGBB, rows top first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;

    bool Empty() const { return argb.empty(); }
    uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

// A surface's pixels by the conversion rules of the rasterizer: each channel widened by bit
// replication, formats without alpha (X8R8G8B8, R8G8B8, R5G6B5) opaque. Empty for a null or depth
// surface. Reads even while the surface is locked.
Image SurfaceImage(IDirectDrawSurface7* surface);

// What the player sees. Windowed: the client area of the player's window (the window of the
// clipper on the primary, else the one the primary's DirectDraw object cooperates with) cut from
// the desktop, opaque, black where it lies off the desktop. Empty without such a window, or
// while the desktop is locked or has a device context out.
Image PlayerView();

struct SurfaceInfo {
    uint32_t id;     // as the call log names it ("surface=7")
    uint32_t owner;  // the id of the DirectDraw object that made it
    DWORD caps;      // DDSCAPS_*, the memory it went to included
    DWORD caps2;
    DDPIXELFORMAT format;    // as GetSurfaceDesc gives it
    const char* formatName;  // "X8R8G8B8", "R5G6B5", "D16" ...: the memory's format
    int width;
    int height;
    int pitch;
    bool videoMemory;
    bool busy;  // locked, or a device context out
};
// The live surfaces in the order they were made.
std::vector<SurfaceInfo> Surfaces();
// A surface's id; 0 for null.
uint32_t SurfaceId(IDirectDrawSurface7* surface);

// Puts the display back to its start between tests: the desktop's memory is made anew (holding
// noise) at its next use and the noise starts from its first seed. Objects still alive stay
// valid.
void ResetDisplay();

}  // namespace port::control
