// Device contexts of surfaces (GetDC, ReleaseDC) and the GDI copies between them.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "port/display/displaystate.h"
#include "port/display/pixelcopy.h"
#include "port/display/surface.h"
#include "port/display/surfacegdi.h"
#include "port/failinjection.h"
#include "port/system/lasterror.h"
#include "port/window/devicecontext.h"
#include "port/window/gdi.h"
#include "raster/surfaceops.h"

namespace port::display {
namespace {

// A surface's device context: it keeps a reference to the surface and the memory it was made
// on, until ReleaseDC drops it from the table.
class SurfaceContext : public DeviceContext {
public:
    SurfaceContext(Surface* surface, std::shared_ptr<PixelStore> store)
        : mSurface(surface), mStore(std::move(store)) {
        mSurface->AddRef();
    }
    ~SurfaceContext() override { mSurface->Release(); }

    int Caps(int index) const override {
        switch (index) {
            case HORZRES:
                return mSurface->Shape().width;
            case VERTRES:
                return mSurface->Shape().height;
            case BITSPIXEL:
                return mSurface->BitCount();
            case PLANES:
                return 1;
            case NUMCOLORS:
                return -1;
            default:
                return 0;
        }
    }
    bool ReleasedByWindow() const override { return false; }

    Surface& Owner() const { return *mSurface; }
    PixelStore& Store() const { return *mStore; }

private:
    Surface* mSurface;
    std::shared_ptr<PixelStore> mStore;
};

std::shared_ptr<SurfaceContext> FindContext(HDC dc) {
    return std::dynamic_pointer_cast<SurfaceContext>(LookupDeviceContext(dc));
}

// The checks both copies share; on failure the last error is set and null returned.
bool FindPair(HDC dest, HDC source, DWORD rop, std::shared_ptr<SurfaceContext>* to,
              std::shared_ptr<SurfaceContext>* from) {
    if (rop != SRCCOPY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    *to = FindContext(dest);
    *from = FindContext(source);
    if (*to == nullptr || *from == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return true;
}

int Clamp(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

HRESULT Surface::GetDC(HDC* dc) {
    if (dc != nullptr) *dc = nullptr;
    return TracedCall("IDirectDrawSurface7::GetDC", {{"surface", mId}, {"bits", BitCount()}},
                      [&] { return DoGetDC(dc); });
}

HRESULT Surface::DoGetDC(HDC* dc) {
    if (dc == nullptr) return DDERR_INVALIDPARAMS;
    *dc = nullptr;
    if (!raster::IsColorFormat(mShape.pixels)) return DDERR_INVALIDPIXELFORMAT;
    if (Lost()) return DDERR_SURFACELOST;
    std::shared_ptr<PixelStore> store = Store();
    {
        std::lock_guard<StoreMutex> lock(store->mutex);
        if (store->busy != Busy::None) return DDERR_SURFACEBUSY;
        store->busy = Busy::Dc;
        store->holder = mId;
    }
    HDC made = AddDeviceContext(std::make_shared<SurfaceContext>(this, store));
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mDc = made;
    }
    *dc = made;
    return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC dc) {
    return TracedCall("IDirectDrawSurface7::ReleaseDC", {{"surface", mId}, {"bits", BitCount()}},
                      [&] { return DoReleaseDC(dc); });
}

HRESULT Surface::DoReleaseDC(HDC dc) {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mDc == nullptr || dc != mDc) return DDERR_NOTLOCKED;
        mDc = nullptr;
    }
    std::shared_ptr<SurfaceContext> context = FindContext(dc);
    RemoveDeviceContext(dc);
    if (context != nullptr) {
        PixelStore& store = context->Store();
        {
            std::lock_guard<StoreMutex> lock(store.mutex);
            store.busy = Busy::None;
            store.holder = 0;
        }
        ScreenWritten(store);
    }
    // The context's reference to this surface goes with the last holder of the context.
    return DD_OK;
}

}  // namespace port::display

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    using namespace port::display;
    if (port::ShouldFail("BitBlt")) return FALSE;
    std::shared_ptr<SurfaceContext> to, from;
    if (!FindPair(dest, source, rop, &to, &from)) return FALSE;
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The source cut to its surface, the destination moving along; CopyPixels clips the rest.
    const raster::TSurface& src = from->Store().pixels;
    int64_t left = std::max<int64_t>(sx, 0), top = std::max<int64_t>(sy, 0);
    int64_t right = std::min<int64_t>(int64_t{sx} + width, src.Width());
    int64_t bottom = std::min<int64_t>(int64_t{sy} + height, src.Height());
    if (right <= left || bottom <= top) return TRUE;
    int64_t toLeft = int64_t{x} + (left - sx), toTop = int64_t{y} + (top - sy);
    const raster::TSurface& dst = to->Store().pixels;
    if (toLeft >= dst.Width() || toTop >= dst.Height() || toLeft + (right - left) <= 0 ||
        toTop + (bottom - top) <= 0) {
        return TRUE;
    }
    TRect cut{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
              static_cast<int>(bottom)};
    TRect place{static_cast<int>(toLeft), static_cast<int>(toTop),
                static_cast<int>(toLeft + (right - left)),
                static_cast<int>(toTop + (bottom - top))};
    HRESULT result = CopyPixels(to->Store(), place, raster::SurfaceRect(dst), from->Store(), cut,
                                BusyAllowed::DeviceContext);
    return result == DD_OK ? TRUE : FALSE;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy,
                int sourceWidth, int sourceHeight, DWORD rop) {
    using namespace port::display;
    if (port::ShouldFail("StretchBlt")) return FALSE;
    std::shared_ptr<SurfaceContext> to, from;
    if (!FindPair(dest, source, rop, &to, &from)) return FALSE;
    if (width < 0 || height < 0 || sourceWidth < 0 || sourceHeight < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0) return TRUE;
    // Cut the source to its surface and each destination edge by the same share of its side.
    const raster::TSurface& src = from->Store().pixels;
    auto cut = [](int64_t start, int64_t size, int64_t limit, int64_t destStart, int64_t destSize,
                  int64_t* from0, int64_t* from1, int64_t* to0, int64_t* to1) {
        *from0 = std::max<int64_t>(start, 0);
        *from1 = std::min<int64_t>(start + size, limit);
        double scale = static_cast<double>(destSize) / static_cast<double>(size);
        *to0 = destStart + std::llround(static_cast<double>(*from0 - start) * scale);
        *to1 =
            destStart + destSize - std::llround(static_cast<double>(start + size - *from1) * scale);
    };
    int64_t l, r, t, b, dl, dr, dt, db;
    cut(sx, sourceWidth, src.Width(), x, width, &l, &r, &dl, &dr);
    cut(sy, sourceHeight, src.Height(), y, height, &t, &b, &dt, &db);
    if (r <= l || b <= t || dr <= dl || db <= dt) return TRUE;
    TRect fromRect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r),
                   static_cast<int>(b)};
    TRect toRect{Clamp(dl), Clamp(dt), Clamp(dr), Clamp(db)};
    HRESULT result = CopyPixels(to->Store(), toRect, raster::SurfaceRect(to->Store().pixels),
                                from->Store(), fromRect, BusyAllowed::DeviceContext);
    return result == DD_OK ? TRUE : FALSE;
}
