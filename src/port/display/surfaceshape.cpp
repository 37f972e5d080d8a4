#include "port/display/surfaceshape.h"

#include <cstring>

#include "raster/surface.h"

namespace port::display {
namespace {

constexpr DWORD kTypeCaps =
    DDSCAPS_PRIMARYSURFACE | DDSCAPS_OFFSCREENPLAIN | DDSCAPS_TEXTURE | DDSCAPS_ZBUFFER;
constexpr DWORD kChainCaps = DDSCAPS_FLIP | DDSCAPS_COMPLEX;
constexpr DWORD kKnownCaps = kTypeCaps | kChainCaps | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY |
                             DDSCAPS_SYSTEMMEMORY | DDSCAPS_LOCALVIDMEM;
constexpr DWORD kKnownCaps2 = DDSCAPS2_HINTANTIALIASING;
constexpr DWORD kKnownFields = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT |
                               DDSD_TEXTURESTAGE | DDSD_BACKBUFFERCOUNT;

bool IsOneBit(DWORD value) {
    return value != 0 && (value & (value - 1)) == 0;
}

}  // namespace

DDPIXELFORMAT DescribeFormat(raster::TPixelFormat format) {
    DDPIXELFORMAT out;
    std::memset(&out, 0, sizeof out);
    out.dwSize = sizeof out;
    const raster::TFormatInfo& info = raster::GetFormatInfo(format);
    if (info.bitCount == 0) return out;
    if (info.isDepth) {
        out.dwFlags = DDPF_ZBUFFER;
        out.dwZBufferBitDepth = static_cast<DWORD>(info.bitCount);
        out.dwZBitMask = (1u << info.bitCount) - 1;
        return out;
    }
    out.dwFlags = DDPF_RGB | (info.alphaMask != 0 ? DDPF_ALPHAPIXELS : 0);
    out.dwRGBBitCount = static_cast<DWORD>(info.bitCount);
    out.dwRBitMask = info.redMask;
    out.dwGBitMask = info.greenMask;
    out.dwBBitMask = info.blueMask;
    out.dwRGBAlphaBitMask = info.alphaMask;
    return out;
}

raster::TPixelFormat MemoryFormat(const DDPIXELFORMAT& format) {
    using raster::TPixelFormat;
    if (format.dwFlags & DDPF_ZBUFFER) {
        DWORD other = format.dwFlags & ~(DDPF_ZBUFFER | DDPF_STENCILBUFFER);
        DWORD depth = format.dwZBufferBitDepth;
        bool known = depth == 16 || depth == 24 || depth == 32;
        return other == 0 && known ? TPixelFormat::D16 : TPixelFormat::Unknown;
    }
    if ((format.dwFlags & ~DDPF_ALPHAPIXELS) != DDPF_RGB) return TPixelFormat::Unknown;
    bool alpha = (format.dwFlags & DDPF_ALPHAPIXELS) != 0;
    // The formats whose description matches exactly; a format with alpha bits must say so.
    for (TPixelFormat candidate :
         {TPixelFormat::X8R8G8B8, TPixelFormat::A8R8G8B8, TPixelFormat::R8G8B8,
          TPixelFormat::R5G6B5, TPixelFormat::A4R4G4B4}) {
        const raster::TFormatInfo& info = raster::GetFormatInfo(candidate);
        DWORD alphaMask = alpha ? format.dwRGBAlphaBitMask : 0;
        if (format.dwRGBBitCount == static_cast<DWORD>(info.bitCount) &&
            format.dwRBitMask == info.redMask && format.dwGBitMask == info.greenMask &&
            format.dwBBitMask == info.blueMask && alphaMask == info.alphaMask) {
            return candidate;
        }
    }
    return TPixelFormat::Unknown;
}

const char* FormatName(raster::TPixelFormat format) {
    switch (format) {
        case raster::TPixelFormat::A8R8G8B8:
            return "A8R8G8B8";
        case raster::TPixelFormat::X8R8G8B8:
            return "X8R8G8B8";
        case raster::TPixelFormat::R8G8B8:
            return "R8G8B8";
        case raster::TPixelFormat::R5G6B5:
            return "R5G6B5";
        case raster::TPixelFormat::X1R5G5B5:
            return "X1R5G5B5";
        case raster::TPixelFormat::A4R4G4B4:
            return "A4R4G4B4";
        case raster::TPixelFormat::D16:
            return "D16";
        default:
            return "unknown";
    }
}

raster::TPixelFormat DesktopFormat(int bitsPerPixel) {
    if (bitsPerPixel > 24) return raster::TPixelFormat::X8R8G8B8;
    if (bitsPerPixel > 16) return raster::TPixelFormat::R8G8B8;
    if (bitsPerPixel > 8) return raster::TPixelFormat::R5G6B5;
    return raster::TPixelFormat::Unknown;
}

HRESULT ReadShape(const DDSURFACEDESC2& desc, raster::TPixelFormat displayFormat, int desktopWidth,
                  int desktopHeight, SurfaceShape* out) {
    if (desc.dwSize != sizeof(DDSURFACEDESC2) || (desc.dwFlags & ~kKnownFields) != 0) {
        return DDERR_INVALIDPARAMS;
    }
    SurfaceShape shape;
    if (desc.dwFlags & DDSD_CAPS) {
        shape.caps = desc.ddsCaps.dwCaps;
        shape.caps2 = desc.ddsCaps.dwCaps2;
        if ((shape.caps & ~kKnownCaps) != 0 || (shape.caps2 & ~kKnownCaps2) != 0 ||
            desc.ddsCaps.dwCaps3 != 0 || desc.ddsCaps.dwCaps4 != 0) {
            return DDERR_INVALIDPARAMS;
        }
    }
    DWORD type = shape.caps & kTypeCaps;
    if (type == 0) {
        type = DDSCAPS_OFFSCREENPLAIN;
        shape.caps |= type;
    }
    if (!IsOneBit(type)) return DDERR_INVALIDPARAMS;
    DWORD memory = shape.caps & (DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY);
    if (memory == (DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY)) return DDERR_INVALIDPARAMS;
    if ((shape.caps & DDSCAPS_LOCALVIDMEM) && memory != DDSCAPS_VIDEOMEMORY) {
        return DDERR_INVALIDPARAMS;
    }
    // A flip chain: a primary with exactly one back buffer, in video memory.
    bool chain = (shape.caps & kChainCaps) != 0 || (desc.dwFlags & DDSD_BACKBUFFERCOUNT) != 0;
    if (chain && ((shape.caps & kChainCaps) != kChainCaps || type != DDSCAPS_PRIMARYSURFACE ||
                  (desc.dwFlags & DDSD_BACKBUFFERCOUNT) == 0 || desc.dwBackBufferCount != 1 ||
                  memory == DDSCAPS_SYSTEMMEMORY)) {
        return DDERR_INVALIDPARAMS;
    }

    bool sized = (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != 0;
    if (type == DDSCAPS_PRIMARYSURFACE) {
        // The windowed primary is the desktop: its size and format are the desktop's.
        if (sized || (desc.dwFlags & DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
        shape.width = desktopWidth;
        shape.height = desktopHeight;
        shape.pixels = displayFormat;
    } else {
        if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) ||
            desc.dwWidth < 1 || desc.dwHeight < 1 ||
            desc.dwWidth > static_cast<DWORD>(raster::TSurface::kMaxSide) ||
            desc.dwHeight > static_cast<DWORD>(raster::TSurface::kMaxSide)) {
            return DDERR_INVALIDPARAMS;
        }
        shape.width = static_cast<int>(desc.dwWidth);
        shape.height = static_cast<int>(desc.dwHeight);
        shape.pixels = displayFormat;
        if (desc.dwFlags & DDSD_PIXELFORMAT) {
            if (desc.ddpfPixelFormat.dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
            shape.pixels = MemoryFormat(desc.ddpfPixelFormat);
        }
    }
    if (shape.pixels == raster::TPixelFormat::Unknown) return DDERR_INVALIDPIXELFORMAT;
    bool depth = shape.pixels == raster::TPixelFormat::D16;
    if (depth != (type == DDSCAPS_ZBUFFER)) return DDERR_INVALIDPIXELFORMAT;
    // The device draws into and samples only the formats the rasterizer renders (R8G8B8 is a
    // format of plain surfaces and display modes).
    if ((shape.caps & (DDSCAPS_3DDEVICE | DDSCAPS_TEXTURE)) &&
        !raster::IsRenderFormat(shape.pixels)) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    // A depth surface describes itself as it was asked for (a listed 24- or 32-bit depth keeps
    // its description over the 16-bit memory behind it).
    if (depth) {
        std::memset(&shape.format, 0, sizeof shape.format);
        shape.format.dwSize = sizeof shape.format;
        shape.format.dwFlags = desc.ddpfPixelFormat.dwFlags;
        shape.format.dwZBufferBitDepth = desc.ddpfPixelFormat.dwZBufferBitDepth;
        shape.format.dwStencilBitDepth = desc.ddpfPixelFormat.dwStencilBitDepth;
        shape.format.dwZBitMask = desc.ddpfPixelFormat.dwZBitMask;
        shape.format.dwStencilBitMask = desc.ddpfPixelFormat.dwStencilBitMask;
    } else {
        shape.format = DescribeFormat(shape.pixels);
    }
    *out = shape;
    return DD_OK;
}

}  // namespace port::display
