#include "port/display/directdraw.h"

#include "port/display/clipper.h"
#include "port/display/displaystate.h"
#include "port/display/surface.h"
#include "port/display/surfaceshape.h"
#include "port/failinjection.h"
#include "port/window/desktop.h"
#include "port/window/window.h"

// Identifiers of our own.
const IID IID_IUnknown = {
    0x8F0E6A10, 0x0001, 0x4D55, {0x9A, 0x1E, 0x55, 0x4D, 0x42, 0x52, 0x41, 0x01}};
const IID IID_IDirectDraw7 = {
    0x8F0E6A10, 0x0002, 0x4D55, {0x9A, 0x1E, 0x55, 0x4D, 0x42, 0x52, 0x41, 0x02}};
const IID IID_IDirectDrawSurface7 = {
    0x8F0E6A10, 0x0003, 0x4D55, {0x9A, 0x1E, 0x55, 0x4D, 0x42, 0x52, 0x41, 0x03}};
const IID IID_IDirectDrawClipper = {
    0x8F0E6A10, 0x0004, 0x4D55, {0x9A, 0x1E, 0x55, 0x4D, 0x42, 0x52, 0x41, 0x04}};

namespace port::display {
namespace {

constexpr DWORD kLevelFlags = DDSCL_NORMAL | DDSCL_FPUPRESERVE;

}  // namespace

DirectDraw::DirectDraw() : mId(NextObjectId()) {}

HRESULT DirectDraw::QueryInterface(const IID& iid, void** object) {
    ClearOut(object);
    return TracedCall("IDirectDraw7::QueryInterface", {{"object", mId}},
                      [&] { return QueryOwn(IID_IDirectDraw7, iid, object); });
}

HRESULT DirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    return TracedCall("SetCooperativeLevel", {{"object", mId}, {"flags", flags, true}}, [&] {
        if ((flags & DDSCL_NORMAL) == 0 || (flags & ~kLevelFlags) != 0 ||
            (window != nullptr && !IsWindow(window))) {
            return DDERR_INVALIDPARAMS;
        }
        std::lock_guard<std::mutex> lock(mMutex);
        mLevel = flags;
        mWindow = window;
        return DD_OK;
    });
}

HRESULT DirectDraw::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface,
                                  IUnknown* outer) {
    ClearOut(surface);
    bool described = desc != nullptr && desc->dwSize == sizeof *desc;
    const DDPIXELFORMAT* format =
        described && (desc->dwFlags & DDSD_PIXELFORMAT) ? &desc->ddpfPixelFormat : nullptr;
    return TracedCall(
        "CreateSurface",
        {{"object", mId},
         {"caps", described ? desc->ddsCaps.dwCaps : 0, true},
         {"width", described ? desc->dwWidth : 0},
         {"height", described ? desc->dwHeight : 0},
         {"bits", format != nullptr ? format->dwRGBBitCount : 0},
         {"alpha", format != nullptr && (format->dwFlags & DDPF_ALPHAPIXELS) ? 1 : 0}},
        [&] {
            if (surface == nullptr) return DDERR_INVALIDPARAMS;
            *surface = nullptr;
            if (outer != nullptr || desc == nullptr) return DDERR_INVALIDPARAMS;
            return DoCreateSurface(desc, surface);
        });
}

HRESULT DirectDraw::DoCreateSurface(const DDSURFACEDESC2* desc, IDirectDrawSurface7** out) {
    DesktopMode mode = CurrentDesktopMode();
    SurfaceShape shape;
    HRESULT result =
        ReadShape(*desc, DesktopFormat(mode.bitsPerPixel), mode.width, mode.height, &shape);
    if (result != DD_OK) return result;
    std::shared_ptr<PixelStore> store;
    if (shape.caps & DDSCAPS_PRIMARYSURFACE) {
        std::lock_guard<std::mutex> lock(mMutex);
        // One primary per object at a time.
        if (mPrimaryId != 0 && IsLiveSurface(mPrimaryId)) return DDERR_INVALIDPARAMS;
        store = DesktopStore();
        if (store == nullptr) return DDERR_INVALIDPIXELFORMAT;
        auto* primary = new Surface(mId, shape, std::move(store));
        mPrimaryId = primary->Id();
        SetPlayerWindow(mWindow);
        *out = primary;
        return DD_OK;
    }
    store = MakeStore(shape.width, shape.height, shape.pixels);
    if (store == nullptr) return E_OUTOFMEMORY;
    *out = new Surface(mId, shape, std::move(store));
    return DD_OK;
}

HRESULT DirectDraw::CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) {
    ClearOut(clipper);
    return TracedCall("CreateClipper", {{"object", mId}, {"flags", flags, true}}, [&] {
        if (clipper == nullptr) return DDERR_INVALIDPARAMS;
        *clipper = nullptr;
        if (flags != 0 || outer != nullptr) return DDERR_INVALIDPARAMS;
        *clipper = new Clipper();
        return DD_OK;
    });
}

}  // namespace port::display

HRESULT DirectDrawCreateEx(GUID* device, void** object, const IID& iid, IUnknown* outer) {
    port::display::ClearOut(object);
    return port::TracedCall("DirectDrawCreateEx", {{"default", device == nullptr ? 1 : 0}}, [&] {
        if (object == nullptr) return DDERR_INVALIDPARAMS;
        *object = nullptr;
        // Only the default device exists here.
        if (!IsEqualGUID(iid, IID_IDirectDraw7) || outer != nullptr || device != nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        *object = static_cast<IDirectDraw7*>(new port::display::DirectDraw());
        return DD_OK;
    });
}
