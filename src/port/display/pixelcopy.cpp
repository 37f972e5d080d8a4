#include "port/display/pixelcopy.h"

#include <mutex>

#include "port/display/displaystate.h"
#include "raster/surfaceops.h"

namespace port::display {
namespace {

bool IsEmptyRect(const TRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

bool Usable(const PixelStore& store, BusyAllowed allowed) {
    return store.busy == Busy::None ||
           (allowed == BusyAllowed::DeviceContext && store.busy == Busy::Dc);
}

bool IsDepth(const raster::TSurface& s) {
    return s.Format() == raster::TPixelFormat::D16;
}

// With both stores' mutexes held.
HRESULT CopyLocked(raster::TSurface& dest, const TRect& to, const TRect& clip,
                   const raster::TSurface& source, const TRect& from) {
    int width = from.right - from.left;
    int height = from.bottom - from.top;
    // In 64 bits: a destination through a clipper may span the whole coordinate range.
    bool sameSize = int64_t{to.right} - to.left == width && int64_t{to.bottom} - to.top == height;
    if ((IsDepth(dest) || IsDepth(source)) && !(IsDepth(dest) && IsDepth(source) && sameSize)) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    TRect area = TRect::Intersect(TRect::Intersect(to, clip), raster::SurfaceRect(dest));
    if (IsEmptyRect(area)) return DD_OK;
    if (sameSize) {
        // Same size: the clipped part of the destination and the source cut to match.
        TRect cut{from.left + (area.left - to.left), from.top + (area.top - to.top),
                  from.left + (area.right - to.left), from.top + (area.bottom - to.top)};
        raster::CopyRect(source, cut, dest, area.left, area.top, raster::TXByte::Keep);
        return DD_OK;
    }
    if (&source == &dest) {
        // A stretch within one memory reads a copy of the source rectangle.
        raster::TSurface copy;
        if (!copy.Create(width, height, source.Format())) return E_OUTOFMEMORY;
        raster::CopyRect(source, from, copy, 0, 0, raster::TXByte::Keep);
        raster::StretchRect(copy, raster::SurfaceRect(copy), dest, to, raster::TXByte::Keep, &area);
        return DD_OK;
    }
    raster::StretchRect(source, from, dest, to, raster::TXByte::Keep, &area);
    return DD_OK;
}

}  // namespace

TRect ToTRect(const RECT& rect) {
    return TRect{rect.left, rect.top, rect.right, rect.bottom};
}

bool RectInside(const RECT* rect, int width, int height, TRect* out) {
    if (rect == nullptr) {
        *out = TRect{0, 0, width, height};
        return true;
    }
    if (rect->left < 0 || rect->top < 0 || rect->right > width || rect->bottom > height ||
        rect->left >= rect->right || rect->top >= rect->bottom) {
        return false;
    }
    *out = ToTRect(*rect);
    return true;
}

HRESULT CopyPixels(PixelStore& dest, const TRect& to, const TRect& clip, PixelStore& source,
                   const TRect& from, BusyAllowed allowed) {
    HRESULT result;
    if (&dest == &source) {
        std::lock_guard<StoreMutex> lock(dest.mutex);
        if (!Usable(dest, allowed)) return DDERR_SURFACEBUSY;
        result = CopyLocked(dest.pixels, to, clip, source.pixels, from);
    } else {
        std::scoped_lock lock(dest.mutex, source.mutex);
        if (!Usable(dest, allowed) || !Usable(source, allowed)) return DDERR_SURFACEBUSY;
        result = CopyLocked(dest.pixels, to, clip, source.pixels, from);
    }
    if (result == DD_OK) ScreenWritten(dest);
    return result;
}

HRESULT FillPixels(PixelStore& dest, const TRect& rect, uint32_t rawValue) {
    {
        std::lock_guard<StoreMutex> lock(dest.mutex);
        if (dest.busy != Busy::None) return DDERR_SURFACEBUSY;
        int bits = dest.pixels.BytesPerPixel() * 8;
        uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        raster::FillRaw(dest.pixels, rect, rawValue & mask);
    }
    ScreenWritten(dest);
    return DD_OK;
}

}  // namespace port::display
