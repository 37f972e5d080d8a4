// Internal: what a surface is, read from the description CreateSurface is given, and the pixel
// formats as DirectDraw describes them.
#pragma once

#include "port/display/ddraw.h"
#include "raster/pixelformat.h"

namespace port::display {

struct SurfaceShape {
    DWORD caps = 0;   // as the caller asked; the DirectDraw object adds the placement
    DWORD caps2 = 0;  // DDSCAPS2_*
    int width = 0;
    int height = 0;
    DDPIXELFORMAT format{};                                       // as GetSurfaceDesc describes it
    raster::TPixelFormat pixels = raster::TPixelFormat::Unknown;  // the memory's format
};

// The DirectDraw description of a colour format of the rasterizer (zero-filled, dwSize set).
DDPIXELFORMAT DescribeFormat(raster::TPixelFormat format);
// The memory format for a DirectDraw description: the colour formats by their flags, bit count
// and masks; every depth format (DDPF_ZBUFFER, 16, 24 or 32 bits, with or without stencil) as
// the rasterizer's 16-bit depth. Unknown for anything else (palettes, luminance, 555, 1555, four
// character codes).
raster::TPixelFormat MemoryFormat(const DDPIXELFORMAT& format);
// The memory format's name: "X8R8G8B8", "R5G6B5", "D16" ...
const char* FormatName(raster::TPixelFormat format);
// The surface format of a desktop (or display mode) of the given depth: X8R8G8B8, R8G8B8 or
// R5G6B5 (15 bits count as 16); Unknown up to 8 bits.
raster::TPixelFormat DesktopFormat(int bitsPerPixel);

// Checks a CreateSurface description and works out the surface: the surface type (a primary, a
// plain off-screen surface, a texture or a z-buffer; none asked means plain), a flip chain (a
// primary with FLIP, COMPLEX and one back buffer, not in system memory), the size (1 to
// raster::TSurface::kMaxSide; a primary takes the desktop's and must not give one), the format
// (absent: the display's; a texture or a 3-D device target in a format the rasterizer renders)
// and the memory asked (video, system or either). Answers DD_OK, DDERR_INVALIDPARAMS or
// DDERR_INVALIDPIXELFORMAT.
HRESULT ReadShape(const DDSURFACEDESC2& desc, raster::TPixelFormat displayFormat, int desktopWidth,
                  int desktopHeight, SurfaceShape* out);

}  // namespace port::display
