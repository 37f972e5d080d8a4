// The DirectDraw object: creation and enumeration of devices, cooperative levels, surface
// creation with video-memory placement, and restoring lost surfaces. Display modes, caps and the
// device identifier are in directdrawmodes.cpp.
#include "port/display/directdraw.h"

#include "port/display/clipper.h"
#include "port/display/cooperation.h"
#include "port/display/displaystate.h"
#include "port/display/flipchain.h"
#include "port/display/surface.h"
#include "port/failinjection.h"
#include "port/window/desktop.h"
#include "port/window/events.h"
#include "port/window/watch.h"
#include "port/window/window.h"

// Identifiers of our own.
const IID IID_IDirectDraw7 = {
    0x8F0E6A10, 0x0002, 0x4D55, {0x9A, 0x1E, 0x55, 0x4D, 0x42, 0x52, 0x41, 0x02}};
const IID IID_IDirectDrawSurface7 = {
    0x8F0E6A10, 0x0003, 0x4D55, {0x9A, 0x1E, 0x55, 0x4D, 0x42, 0x52, 0x41, 0x03}};
const IID IID_IDirectDrawClipper = {
    0x8F0E6A10, 0x0004, 0x4D55, {0x9A, 0x1E, 0x55, 0x4D, 0x42, 0x52, 0x41, 0x04}};

namespace port::display {
namespace {

constexpr DWORD kFullScreen = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;

// What the window model tells: an exclusive display whose window left the foreground loses its
// surfaces; a display mode change loses every surface and puts the normal-level objects into the
// wrong mode.
void OnForeground(HWND foreground) {
    if (uint32_t lostFocus = ForegroundChanged(foreground)) LoseSurfaces(lostFocus);
}

void OnDisplayMode() {
    DisplayModeChanged();
    LoseSurfaces(0);
}

void WatchTheWindows() {
    static std::once_flag once;
    std::call_once(once, [] {
        WatchForeground(&OnForeground);
        WatchDisplayMode(&OnDisplayMode);
    });
}

bool IsTopLevel(HWND window) {
    return window != nullptr && IsWindow(window) &&
           (static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & WS_CHILD) == 0;
}

}  // namespace

void PutBackDesktopMode(const DesktopMode& mode) {
    DeliverRefreshRate(mode.refreshRate);
    DeliverDisplayChange(mode.width, mode.height, mode.bitsPerPixel);
}

DirectDraw::DirectDraw(std::shared_ptr<const Adapter> adapter)
    : mId(NextObjectId()), mAdapter(std::move(adapter)) {
    WatchTheWindows();
    AddCooperator(mId);
}

DirectDraw::~DirectDraw() {
    if (std::optional<DesktopMode> mode = RemoveCooperator(mId)) PutBackDesktopMode(*mode);
}

HRESULT DirectDraw::QueryInterface(const IID& iid, void** object) {
    ClearOut(object);
    return TracedCall("IDirectDraw7::QueryInterface", {{"object", mId}}, [&] {
        if (object != nullptr && IsEqualGUID(iid, IID_IDirect3D7)) {
            return CreateDirect3D(this, object);
        }
        return QueryOwn(IID_IDirectDraw7, iid, object);
    });
}

HRESULT DirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    return TracedCall("SetCooperativeLevel", {{"object", mId}, {"flags", flags, true}},
                      [&] { return DoSetCooperativeLevel(window, flags); });
}

HRESULT DirectDraw::DoSetCooperativeLevel(HWND window, DWORD flags) {
    DWORD level = flags & ~DDSCL_FPUPRESERVE;
    if (level == kFullScreen) {
        // Exclusive mode belongs to a top-level window.
        if (!IsTopLevel(window)) return DDERR_INVALIDPARAMS;
        HRESULT result = SetExclusive(mId, window);
        if (result != DD_OK) return result;
    } else if (level == DDSCL_NORMAL) {
        if (window != nullptr && !IsWindow(window)) return DDERR_INVALIDPARAMS;
        if (std::optional<DesktopMode> mode = SetNormal(mId, window)) PutBackDesktopMode(*mode);
    } else {
        return DDERR_INVALIDPARAMS;
    }
    std::lock_guard<std::mutex> lock(mMutex);
    mWindow = window;
    return DD_OK;
}

HRESULT DirectDraw::TestCooperativeLevel() {
    return TracedCall("TestCooperativeLevel", {{"object", mId}},
                      [&] { return CooperationStatus(mId); });
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
    if (shape.caps & DDSCAPS_FLIP) return CreateFlipChain(shape, out);
    if (shape.caps & DDSCAPS_PRIMARYSURFACE) return CreatePrimary(shape, out);

    // Video memory when asked, or when nothing is asked and it fits; else system memory.
    VideoBudget& budget = *mAdapter->budget;
    uint64_t bytes = StoreBytes(shape.width, shape.height, shape.pixels);
    bool video = false;
    if (shape.caps & DDSCAPS_VIDEOMEMORY) {
        if (!budget.Take(bytes)) return DDERR_OUTOFVIDEOMEMORY;
        video = true;
    } else if ((shape.caps & DDSCAPS_SYSTEMMEMORY) == 0) {
        video = budget.Take(bytes);
        shape.caps |= video ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
    }
    std::shared_ptr<PixelStore> store = MakeStore(shape.width, shape.height, shape.pixels);
    if (store == nullptr) {
        if (video) budget.Give(bytes);
        return E_OUTOFMEMORY;
    }
    *out = video ? new Surface(mId, shape, std::move(store), mAdapter->budget, bytes)
                 : new Surface(mId, shape, std::move(store));
    return DD_OK;
}

HRESULT DirectDraw::CreatePrimary(const SurfaceShape& asked, IDirectDrawSurface7** out) {
    // The windowed primary is the desktop's memory, outside the budget.
    SurfaceShape shape = asked;
    if ((shape.caps & (DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY)) == 0) {
        shape.caps |= DDSCAPS_VIDEOMEMORY;
    }
    std::lock_guard<std::mutex> lock(mMutex);
    // One primary per object at a time.
    if (mPrimaryId != 0 && IsLiveSurface(mPrimaryId)) return DDERR_INVALIDPARAMS;
    std::shared_ptr<PixelStore> store = DesktopStore();
    if (store == nullptr) return DDERR_INVALIDPIXELFORMAT;
    auto* primary = new Surface(mId, shape, std::move(store));
    mPrimaryId = primary->Id();
    SetPlayerWindow(mWindow);
    *out = primary;
    return DD_OK;
}

HRESULT DirectDraw::CreateFlipChain(const SurfaceShape& asked, IDirectDrawSurface7** out) {
    // Full screen only: the chain has the mode's size and format, both buffers in video memory.
    HRESULT status = ExclusiveStatus(mId);
    if (status != DD_OK) return status;
    std::lock_guard<std::mutex> lock(mMutex);
    if (mPrimaryId != 0 && IsLiveSurface(mPrimaryId)) return DDERR_INVALIDPARAMS;
    VideoBudget& budget = *mAdapter->budget;
    uint64_t bytes = 2 * StoreBytes(asked.width, asked.height, asked.pixels);
    if (!budget.Take(bytes)) return DDERR_OUTOFVIDEOMEMORY;
    std::shared_ptr<PixelStore> front = MakeStore(asked.width, asked.height, asked.pixels);
    std::shared_ptr<PixelStore> back = MakeStore(asked.width, asked.height, asked.pixels);
    if (front == nullptr || back == nullptr) {
        budget.Give(bytes);
        return E_OUTOFMEMORY;
    }
    auto chain = std::make_shared<FlipChain>(std::move(front), std::move(back));
    DWORD common = (asked.caps & ~DDSCAPS_PRIMARYSURFACE) | DDSCAPS_VIDEOMEMORY;
    SurfaceShape frontShape = asked;
    frontShape.caps = common | DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_VISIBLE;
    SurfaceShape backShape = asked;
    backShape.caps = common | DDSCAPS_BACKBUFFER;
    auto* primary = new Surface(mId, frontShape, chain, true, mAdapter->budget, bytes);
    primary->AttachBackBuffer(new Surface(mId, backShape, chain, false));
    mPrimaryId = primary->Id();
    SetPlayerWindow(mWindow);
    SetFullScreenChain(chain);
    *out = primary;
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

HRESULT DirectDraw::RestoreAllSurfaces() {
    return TracedCall("RestoreAllSurfaces", {{"object", mId}}, [&] { return DoRestoreAll(); });
}

HRESULT DirectDraw::DoRestoreAll() {
    HRESULT status = CooperationStatus(mId);
    if (status != DD_OK) return status;
    HRESULT answer = RestoreAllAnswer();
    if (answer != DD_OK) return answer;
    HRESULT result = DD_OK;
    ForEachSurface([&](Surface& surface) {
        if (surface.OwnerId() != mId || !surface.Lost()) return;
        // A back buffer kept past its chain stays lost; the others must come back.
        if (!surface.Resident()) return;
        HRESULT restored = surface.RestoreMemory();
        if (result == DD_OK) result = restored;
    });
    return result;
}

}  // namespace port::display

HRESULT DirectDrawCreateEx(GUID* device, void** object, const IID& iid, IUnknown* outer) {
    port::ClearOut(object);
    return port::TracedCall("DirectDrawCreateEx", {{"default", device == nullptr ? 1 : 0}}, [&] {
        if (object == nullptr) return DDERR_INVALIDPARAMS;
        *object = nullptr;
        if (!IsEqualGUID(iid, IID_IDirectDraw7) || outer != nullptr) return DDERR_INVALIDPARAMS;
        std::shared_ptr<const port::display::Adapter> adapter = port::display::FindAdapter(device);
        if (adapter == nullptr) return DDERR_INVALIDPARAMS;
        *object = static_cast<IDirectDraw7*>(new port::display::DirectDraw(std::move(adapter)));
        return DD_OK;
    });
}

HRESULT DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, void* context, DWORD flags) {
    return port::TracedCall("DirectDrawEnumerateExA", {{"flags", flags, true}}, [&] {
        constexpr DWORD kKnown = DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES;
        if (callback == nullptr || (flags & ~kKnown) != 0) return DDERR_INVALIDPARAMS;
        auto adapters = port::display::Adapters();
        // The callback gets copies: it may keep or change what it is shown.
        auto show = [&](const port::display::Adapter& adapter, bool withGuid) {
            GUID guid = adapter.spec.guid;
            std::string description = adapter.spec.description;
            std::string driver = adapter.spec.driver;
            return callback(withGuid ? &guid : nullptr, description.data(), driver.data(), context,
                            nullptr) != FALSE;
        };
        if (!show(*adapters.front(), false)) return DD_OK;
        for (const auto& adapter : adapters) {
            if (adapter->spec.hasGuid && !show(*adapter, true)) break;
        }
        return DD_OK;
    });
}
