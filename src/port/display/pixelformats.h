// The colour formats of DirectDraw surfaces as the rasterizer's pixel formats (src/raster), both
// ways, for callers that lock a surface and work on its memory with raster/surfaceops.h over a
// view (raster::TSurface::Wrap).
//
// Any thread may call these.
#pragma once

#include "port/display/ddraw.h"
#include "raster/pixelformat.h"

namespace port::display {

// The rasterizer's format of a DirectDraw colour format: X8R8G8B8, A8R8G8B8, R8G8B8, R5G6B5 or
// A4R4G4B4, matched by flags, bit count and masks (a format with alpha bits must carry
// DDPF_ALPHAPIXELS). Unknown for every other description (depth, luminance, palettes, 555).
raster::TPixelFormat PixelFormatOf(const DDPIXELFORMAT& format);
// The DirectDraw description of a colour format (zero-filled, dwSize set); the inverse of
// PixelFormatOf.
DDPIXELFORMAT DescribePixelFormat(raster::TPixelFormat format);

}  // namespace port::display
