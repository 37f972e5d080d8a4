// Internal: the pixel work behind Blt, BltFast, BitBlt and StretchBlt, each a call of the surface
// utilities (raster/surfaceops.h) made under the stores' mutexes.
#pragma once

#include <cstdint>

#include "math/rect.h"
#include "port/display/ddresult.h"
#include "port/display/pixelstore.h"
#include "port/win32types.h"

namespace port::display {

// A RECT as the rasterizer's rectangle, and a rectangle given as null (the whole surface) or
// lying inside a surface of the size, not empty; false for any other.
TRect ToTRect(const RECT& rect);
bool RectInside(const RECT* rect, int width, int height, TRect* out);

// Which busy state the caller may find on the stores: none for DirectDraw's own blits, or a
// device context for the GDI blits made through it.
enum class BusyAllowed : uint8_t { None, DeviceContext };

// Copies `from` (inside the source) onto `to` of the destination, stretched by nearest neighbour
// when the sizes differ, converting formats (X8R8G8B8 and A8R8G8B8 keep their words), and
// writing only inside `clip` and the destination. Depth memory copies only to depth memory of
// the same size. Answers DD_OK, DDERR_SURFACEBUSY or DDERR_INVALIDPIXELFORMAT. The two stores may
// be the same.
HRESULT CopyPixels(PixelStore& dest, const TRect& to, const TRect& clip, PixelStore& source,
                   const TRect& from, BusyAllowed allowed);

// Fills the rectangle (inside the destination) with a raw pixel value, masked to the memory's
// bits per pixel. Answers DD_OK or DDERR_SURFACEBUSY.
HRESULT FillPixels(PixelStore& dest, const TRect& rect, uint32_t rawValue);

}  // namespace port::display
