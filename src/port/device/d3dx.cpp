// The D3DX texture helpers: managed textures with the device's size and format substitutions,
// and loading 0xAARRGGBB pixels into them with their mip levels.
#include <algorithm>
#include <cstring>
#include <memory>

#include "port/device/d3d.h"
#include "port/device/device.h"
#include "port/device/managed.h"
#include "port/display/displaystate.h"
#include "port/display/pixelstore.h"
#include "port/display/surface.h"
#include "port/display/surfaceshape.h"
#include "port/failinjection.h"
#include "raster/surfaceops.h"

namespace port::device {
namespace {

using raster::TPixelFormat;

TPixelFormat FormatOf(D3DX_SURFACEFORMAT format) {
    switch (format) {
        case D3DX_SF_R5G6B5:
            return TPixelFormat::R5G6B5;
        case D3DX_SF_A4R4G4B4:
            return TPixelFormat::A4R4G4B4;
        case D3DX_SF_A8R8G8B8:
            return TPixelFormat::A8R8G8B8;
        case D3DX_SF_X8R8G8B8:
            return TPixelFormat::X8R8G8B8;
        default:
            return TPixelFormat::Unknown;
    }
}

// The format asked for, then its substitutes in order.
std::vector<D3DX_SURFACEFORMAT> Candidates(D3DX_SURFACEFORMAT format) {
    switch (format) {
        case D3DX_SF_A8R8G8B8:
            return {D3DX_SF_A8R8G8B8, D3DX_SF_A4R4G4B4};
        case D3DX_SF_X8R8G8B8:
            return {D3DX_SF_X8R8G8B8, D3DX_SF_R5G6B5, D3DX_SF_A8R8G8B8};
        case D3DX_SF_A4R4G4B4:
            return {D3DX_SF_A4R4G4B4, D3DX_SF_A8R8G8B8};
        case D3DX_SF_R5G6B5:
            return {D3DX_SF_R5G6B5, D3DX_SF_X8R8G8B8};
        default:
            return {};
    }
}

bool Lists(const control::DeviceSpec& spec, TPixelFormat format) {
    return std::any_of(
        spec.textureFormats.begin(), spec.textureFormats.end(),
        [&](const DDPIXELFORMAT& listed) { return display::MemoryFormat(listed) == format; });
}

DWORD RoundUpToPowerOfTwo(DWORD value) {
    DWORD power = 1;
    while (power < value && power < (1u << 30))
        power <<= 1;
    return power;
}

int LevelCount(int width, int height) {
    int levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        ++levels;
    }
    return levels;
}

HRESULT CreateTexture(Device& device, DWORD* width, DWORD* height, D3DX_SURFACEFORMAT* format,
                      DWORD mipRequest, IDirectDrawSurface7** texture) {
    if (width == nullptr || height == nullptr || format == nullptr) return DDERR_INVALIDPARAMS;
    if (*width == 0 || *height == 0) return DDERR_INVALIDPARAMS;
    if (mipRequest != 0 && mipRequest != D3DX_TEXTURE_NOMIPMAP) return DDERR_INVALIDPARAMS;
    const control::DeviceSpec& spec = device.Spec();

    D3DX_SURFACEFORMAT made = D3DX_SF_UNKNOWN;
    for (D3DX_SURFACEFORMAT candidate : Candidates(*format)) {
        if (Lists(spec, FormatOf(candidate))) {
            made = candidate;
            break;
        }
    }
    if (Candidates(*format).empty()) return DDERR_INVALIDPARAMS;
    if (made == D3DX_SF_UNKNOWN) return DDERR_INVALIDPIXELFORMAT;

    DWORD w = *width;
    DWORD h = *height;
    if (spec.textureCaps & D3DPTEXTURECAPS_POW2) {
        w = RoundUpToPowerOfTwo(w);
        h = RoundUpToPowerOfTwo(h);
    }
    DWORD larger = std::max(w, h);
    DWORD smaller = std::min(w, h);
    if ((spec.textureCaps & D3DPTEXTURECAPS_SQUAREONLY) ||
        (spec.maxTextureAspectRatio > 0 && larger / smaller > spec.maxTextureAspectRatio)) {
        w = h = larger;
    }
    DWORD maxSide = static_cast<DWORD>(raster::TSurface::kMaxSide);
    w = std::min({w, spec.maxTextureWidth > 0 ? spec.maxTextureWidth : maxSide, maxSide});
    h = std::min({h, spec.maxTextureHeight > 0 ? spec.maxTextureHeight : maxSide, maxSide});

    TPixelFormat pixels = FormatOf(made);
    int levels = mipRequest == D3DX_TEXTURE_NOMIPMAP
                     ? 1
                     : LevelCount(static_cast<int>(w), static_cast<int>(h));
    std::shared_ptr<display::PixelStore> store =
        display::MakeStore(static_cast<int>(w), static_cast<int>(h), pixels);
    if (store == nullptr) return E_OUTOFMEMORY;

    display::SurfaceShape shape;
    shape.caps = DDSCAPS_TEXTURE | (levels > 1 ? DDSCAPS_MIPMAP | DDSCAPS_COMPLEX : 0);
    shape.caps2 = DDSCAPS2_TEXTUREMANAGE;
    shape.width = static_cast<int>(w);
    shape.height = static_cast<int>(h);
    shape.format = display::DescribeFormat(pixels);
    shape.pixels = pixels;

    uint64_t bytes = display::StoreBytes(shape.width, shape.height, pixels);
    std::vector<raster::TSurface> lower(static_cast<size_t>(levels - 1));
    int lw = shape.width;
    int lh = shape.height;
    for (raster::TSurface& level : lower) {
        lw = std::max(1, lw / 2);
        lh = std::max(1, lh / 2);
        if (!level.Create(lw, lh, pixels, display::kRowAlignment)) return E_OUTOFMEMORY;
        raster::FillNoise(level, display::NextNoiseSeed());
        bytes += display::StoreBytes(lw, lh, pixels);
    }

    auto* surface = new display::Surface(device.DrawId(), shape, std::move(store));
    auto managed =
        std::make_shared<ManagedTexture>(device.AdapterOf()->budget, bytes, surface->Id());
    managed->lower = std::move(lower);
    surface->SetDeviceData(std::move(managed));

    *width = w;
    *height = h;
    *format = made;
    *texture = surface;
    return D3D_OK;
}

HRESULT LoadTexture(display::Surface& surface, DWORD mipLevel, const void* pixels,
                    D3DX_SURFACEFORMAT sourceFormat, DWORD pitch, const RECT* destRect,
                    DWORD filter) {
    if (pixels == nullptr || sourceFormat != D3DX_SF_A8R8G8B8) return DDERR_INVALIDPARAMS;
    if (mipLevel != 0 && mipLevel != D3DX_DEFAULT) return DDERR_INVALIDPARAMS;
    if (filter != D3DX_FILTER_POINT && filter != D3DX_FILTER_LINEAR) return DDERR_INVALIDPARAMS;
    if (!raster::IsRenderFormat(surface.Shape().pixels)) return DDERR_INVALIDPIXELFORMAT;
    if (surface.Lost()) return DDERR_SURFACELOST;

    RECT rect =
        destRect != nullptr ? *destRect : RECT{0, 0, surface.Shape().width, surface.Shape().height};
    int64_t sourceWidth = int64_t{rect.right} - rect.left;
    int64_t sourceHeight = int64_t{rect.bottom} - rect.top;
    if (sourceWidth <= 0 || sourceHeight <= 0) return DDERR_INVALIDRECT;
    if (pitch == 0) pitch = static_cast<DWORD>(std::min<int64_t>(sourceWidth * 4, UINT32_MAX));
    if (pitch % 4 != 0 || pitch / 4 < sourceWidth) return DDERR_INVALIDPARAMS;

    // The part of the rectangle on the surface, and where it starts in the source.
    TRect clipped{static_cast<int>(std::max<LONG>(rect.left, 0)),
                  static_cast<int>(std::max<LONG>(rect.top, 0)),
                  static_cast<int>(std::min<int64_t>(rect.right, surface.Shape().width)),
                  static_cast<int>(std::min<int64_t>(rect.bottom, surface.Shape().height))};
    const auto* source = static_cast<const uint32_t*>(pixels);
    int sourcePitch = static_cast<int>(pitch / 4);

    std::shared_ptr<display::PixelStore> store = surface.Store();
    auto* managed = static_cast<ManagedTexture*>(surface.DeviceData());
    {
        std::lock_guard<display::StoreMutex> lock(store->mutex);
        if (store->busy != display::Busy::None) return DDERR_SURFACEBUSY;
        if (clipped.left < clipped.right && clipped.top < clipped.bottom) {
            const uint32_t* first = source +
                                    static_cast<size_t>(clipped.top - rect.top) * sourcePitch +
                                    (clipped.left - rect.left);
            raster::WritePixels(store->pixels, clipped, first, sourcePitch);
        }
        if (mipLevel == D3DX_DEFAULT && managed != nullptr) {
            const raster::TSurface* above = &store->pixels;
            for (raster::TSurface& level : managed->lower) {
                raster::BuildMipLevel(*above, level,
                                      filter == D3DX_FILTER_LINEAR ? raster::TMipReduce::Box
                                                                   : raster::TMipReduce::Nearest);
                above = &level;
            }
        }
    }
    display::ScreenWritten(*store);
    return D3D_OK;
}

}  // namespace
}  // namespace port::device

HRESULT D3DXCreateTexture(IDirect3DDevice7* device, DWORD* width, DWORD* height,
                          D3DX_SURFACEFORMAT* format, DWORD mipRequest,
                          IDirectDrawSurface7** texture) {
    port::ClearOut(texture);
    return port::TracedCall("D3DXCreateTexture",
                            {{"width", width != nullptr ? *width : 0},
                             {"height", height != nullptr ? *height : 0},
                             {"format", format != nullptr ? static_cast<int64_t>(*format) : 0},
                             {"mip", mipRequest, true}},
                            [&] {
                                if (device == nullptr || texture == nullptr)
                                    return DDERR_INVALIDPARAMS;
                                return port::device::CreateTexture(
                                    *port::device::Device::From(device), width, height, format,
                                    mipRequest, texture);
                            });
}

HRESULT D3DXLoadTextureFromMemory(IDirect3DDevice7* device, IDirectDrawSurface7* texture,
                                  DWORD mipLevel, void* pixels, void* /*palette*/,
                                  D3DX_SURFACEFORMAT sourceFormat, DWORD pitch, RECT* destRect,
                                  DWORD filter) {
    uint32_t id = texture != nullptr ? port::display::Surface::From(texture)->Id() : 0;
    return port::TracedCall("D3DXLoadTextureFromMemory",
                            {{"surface", id}, {"level", mipLevel, true}, {"filter", filter}}, [&] {
                                if (device == nullptr || texture == nullptr)
                                    return DDERR_INVALIDPARAMS;
                                return port::device::LoadTexture(
                                    *port::display::Surface::From(texture), mipLevel, pixels,
                                    sourceFormat, pitch, destRect, filter);
                            });
}
