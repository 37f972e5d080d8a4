// A surface's life, description, locks, status queries, clipper and z-buffer attachment. Blits
// are in surfaceblt.cpp, device contexts in surfacedc.cpp.
#include "port/display/surface.h"

#include <cstring>
#include <utility>

#include "port/display/clipper.h"
#include "port/display/cooperation.h"
#include "port/display/displaystate.h"
#include "port/display/pixelcopy.h"
#include "port/failinjection.h"

namespace port::display {
namespace {

constexpr DWORD kLockFlags = DDLOCK_WAIT | DDLOCK_READONLY | DDLOCK_WRITEONLY | DDLOCK_NOSYSLOCK;

}  // namespace

Surface::Surface(uint32_t ownerId, const SurfaceShape& shape, std::shared_ptr<PixelStore> store,
                 std::shared_ptr<VideoBudget> budget, uint64_t videoBytes)
    : mId(NextObjectId()),
      mOwnerId(ownerId),
      mShape(shape),
      mBudget(std::move(budget)),
      mVideoBytes(videoBytes),
      mStore(std::move(store)) {
    RegisterSurface(this);
}

Surface::Surface(uint32_t ownerId, const SurfaceShape& shape, std::shared_ptr<FlipChain> chain,
                 bool front, std::shared_ptr<VideoBudget> budget, uint64_t videoBytes)
    : mId(NextObjectId()),
      mOwnerId(ownerId),
      mShape(shape),
      mChain(std::move(chain)),
      mFront(front),
      mBudget(std::move(budget)),
      mVideoBytes(videoBytes) {
    RegisterSurface(this);
}

void Surface::AttachBackBuffer(Surface* back) {
    std::lock_guard<std::mutex> lock(mMutex);
    mBack = back;
}

Surface::~Surface() {
    UnregisterSurface(this);
    // A lock dies with its surface: the memory may be shared (the desktop's) and must not stay
    // busy for the surfaces that remain.
    std::shared_ptr<PixelStore> store = Store();
    bool unlocked = false;
    {
        std::lock_guard<StoreMutex> lock(store->mutex);
        if (store->busy == Busy::Locked && store->holder == mId) {
            store->busy = Busy::None;
            store->holder = 0;
            unlocked = true;
        }
    }
    if (unlocked) ScreenWritten(*store);
    store.reset();
    // The front buffer frees its chain; its back buffer lives on while referenced, lost.
    if (IsChainFront()) mChain->Free();
    if (mBudget != nullptr) mBudget->Give(mVideoBytes);
    if (mBack != nullptr) mBack->Release();
    if (mZBuffer != nullptr) mZBuffer->Release();
    if (mClipper != nullptr) mClipper->Release();
}

Surface* Surface::AttachedZBuffer() const {
    std::lock_guard<std::mutex> lock(mMutex);
    if (mZBuffer != nullptr) mZBuffer->AddRef();
    return mZBuffer;
}

bool Surface::Lost() const {
    if (mChain != nullptr) return mChain->Lost() || (!mFront && mChain->Freed());
    return mLost;
}

bool Surface::Resident() const {
    return mChain == nullptr || mFront || !mChain->Freed();
}

void Surface::MarkLost() {
    if (mShape.caps2 & DDSCAPS2_TEXTUREMANAGE) return;
    if (mChain != nullptr) {
        mChain->MarkLost();
    } else {
        mLost = true;
    }
}

HRESULT Surface::Restore() {
    return TracedCall("Restore", {{"surface", mId}, {"bits", BitCount()}}, [&] {
        HRESULT status = CooperationStatus(mOwnerId);
        return status != DD_OK ? status : RestoreMemory();
    });
}

HRESULT Surface::RestoreMemory() {
    if (mChain != nullptr) return mChain->Restore();
    if (!mLost) return DD_OK;
    if (IsPrimary()) {
        // The windowed primary is the desktop: it takes the desktop's memory again, which is
        // there while the desktop keeps its mode.
        std::shared_ptr<PixelStore> desktop = DesktopStore();
        if (desktop == nullptr || desktop->pixels.Width() != mShape.width ||
            desktop->pixels.Height() != mShape.height ||
            desktop->pixels.Format() != mShape.pixels) {
            return DDERR_WRONGMODE;
        }
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mStore = std::move(desktop);
        }
        StoresChanged();
        mLost = false;
        return DD_OK;
    }
    std::shared_ptr<PixelStore> store = Store();
    {
        std::lock_guard<StoreMutex> lock(store->mutex);
        if (store->busy != Busy::None) return DDERR_SURFACEBUSY;
        FillWithNoise(*store);
    }
    mLost = false;
    return DD_OK;
}

HRESULT Surface::Flip(IDirectDrawSurface7* target, DWORD flags) {
    return TracedCall("Flip", {{"surface", mId}, {"bits", BitCount()}, {"flags", flags, true}},
                      [&] { return DoFlip(target, flags); });
}

HRESULT Surface::DoFlip(IDirectDrawSurface7* target, DWORD flags) {
    if (!IsChainFront()) return DDERR_NOTFLIPPABLE;
    if ((flags & ~DDFLIP_WAIT) != 0) return DDERR_INVALIDPARAMS;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (target != nullptr && From(target) != mBack) return DDERR_INVALIDPARAMS;
    }
    if (Lost()) return DDERR_SURFACELOST;
    HRESULT result = mChain->Flip();
    if (result == DD_OK) ScreenWritten(*mChain->Store(true));
    return result;
}

HRESULT Surface::QueryInterface(const IID& iid, void** object) {
    ClearOut(object);
    return TracedCall("IDirectDrawSurface7::QueryInterface", {{"surface", mId}},
                      [&] { return QueryOwn(IID_IDirectDrawSurface7, iid, object); });
}

int Surface::BitCount() const {
    return static_cast<int>(mShape.format.dwRGBBitCount);
}

std::shared_ptr<PixelStore> Surface::Store() const {
    if (mChain != nullptr) return mChain->Store(mFront);
    std::lock_guard<std::mutex> lock(mMutex);
    return mStore;
}

PixelStore* Surface::OwnStore() const {
    // Only the constructor sets mStore of such a surface, so reading it needs no lock.
    return mChain == nullptr && !IsPrimary() ? mStore.get() : nullptr;
}

HWND Surface::ClipWindow() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mClipper != nullptr ? mClipper->Window() : nullptr;
}

void Surface::Describe(DDSURFACEDESC2* desc) const {
    std::shared_ptr<PixelStore> store = Store();
    std::memset(desc, 0, sizeof *desc);
    desc->dwSize = sizeof *desc;
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<DWORD>(mShape.width);
    desc->dwHeight = static_cast<DWORD>(mShape.height);
    desc->lPitch = store->pixels.Pitch();
    desc->ddpfPixelFormat = mShape.format;
    desc->ddsCaps.dwCaps = mShape.caps;
    desc->ddsCaps.dwCaps2 = mShape.caps2;
}

HRESULT Surface::GetSurfaceDesc(DDSURFACEDESC2* desc) {
    return TracedCall("GetSurfaceDesc", {{"surface", mId}, {"bits", BitCount()}}, [&] {
        if (desc == nullptr || desc->dwSize != sizeof *desc) return DDERR_INVALIDPARAMS;
        Describe(desc);
        return DD_OK;
    });
}

HRESULT Surface::Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) {
    return TracedCall(
        "Lock", {{"surface", mId}, {"bits", BitCount()}, {"flags", flags, true}},
        [&] { return event != nullptr ? DDERR_INVALIDPARAMS : DoLock(rect, desc, flags); });
}

HRESULT Surface::DoLock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags) {
    if (desc == nullptr || desc->dwSize != sizeof *desc || (flags & ~kLockFlags) != 0) {
        return DDERR_INVALIDPARAMS;
    }
    TRect area;
    if (!RectInside(rect, mShape.width, mShape.height, &area)) return DDERR_INVALIDRECT;
    if (Lost()) return DDERR_SURFACELOST;
    std::shared_ptr<PixelStore> store = Store();
    uint8_t* memory = nullptr;
    {
        std::lock_guard<StoreMutex> lock(store->mutex);
        if (store->busy != Busy::None) return DDERR_SURFACEBUSY;
        store->busy = Busy::Locked;
        store->holder = mId;
        memory = store->pixels.At(area.left, area.top);
    }
    Describe(desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = memory;
    return DD_OK;
}

HRESULT Surface::Unlock(RECT* rect) {
    (void)rect;  // any rectangle ends the one lock a surface can have
    return TracedCall("Unlock", {{"surface", mId}, {"bits", BitCount()}},
                      [&] { return DoUnlock(); });
}

HRESULT Surface::DoUnlock() {
    std::shared_ptr<PixelStore> store = Store();
    {
        std::lock_guard<StoreMutex> lock(store->mutex);
        // Only the surface that locked the memory unlocks it (primaries share the desktop's).
        if (store->busy != Busy::Locked || store->holder != mId) return DDERR_NOTLOCKED;
        store->busy = Busy::None;
        store->holder = 0;
    }
    ScreenWritten(*store);
    return DD_OK;
}

HRESULT Surface::IsLost() {
    return TracedCall("IsLost", {{"surface", mId}, {"bits", BitCount()}},
                      [&] { return Lost() ? DDERR_SURFACELOST : DD_OK; });
}

HRESULT Surface::GetBltStatus(DWORD flags) {
    return TracedCall(
        "GetBltStatus", {{"surface", mId}, {"bits", BitCount()}, {"flags", flags, true}}, [&] {
            return flags == DDGBS_CANBLT || flags == DDGBS_ISBLTDONE ? DD_OK : DDERR_INVALIDPARAMS;
        });
}

HRESULT Surface::GetFlipStatus(DWORD flags) {
    return TracedCall(
        "GetFlipStatus", {{"surface", mId}, {"bits", BitCount()}, {"flags", flags, true}}, [&] {
            return flags == DDGFS_CANFLIP || flags == DDGFS_ISFLIPDONE ? DD_OK
                                                                       : DDERR_INVALIDPARAMS;
        });
}

HRESULT Surface::SetClipper(IDirectDrawClipper* clipper) {
    return TracedCall("SetClipper", {{"surface", mId}, {"bits", BitCount()}}, [&] {
        Clipper* added = Clipper::From(clipper);
        if (added != nullptr) added->AddRef();
        Clipper* dropped = nullptr;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            dropped = std::exchange(mClipper, added);
        }
        if (dropped != nullptr) dropped->Release();
        return DD_OK;
    });
}

HRESULT Surface::GetClipper(IDirectDrawClipper** clipper) {
    ClearOut(clipper);
    return TracedCall("GetClipper", {{"surface", mId}, {"bits", BitCount()}}, [&] {
        if (clipper == nullptr) return DDERR_INVALIDPARAMS;
        std::lock_guard<std::mutex> lock(mMutex);
        *clipper = mClipper;
        if (mClipper == nullptr) return DDERR_NOTFOUND;
        mClipper->AddRef();
        return DD_OK;
    });
}

HRESULT Surface::AddAttachedSurface(IDirectDrawSurface7* surface) {
    Surface* zbuffer = From(surface);
    return TracedCall("AddAttachedSurface",
                      {{"surface", mId}, {"attached", zbuffer != nullptr ? zbuffer->Id() : 0}},
                      [&] { return DoAttach(zbuffer); });
}

HRESULT Surface::DoAttach(Surface* zbuffer) {
    // Only a z-buffer of the same size attaches, to a surface that is not one itself.
    if (zbuffer == nullptr || zbuffer == this || (zbuffer->Shape().caps & DDSCAPS_ZBUFFER) == 0 ||
        (mShape.caps & DDSCAPS_ZBUFFER) != 0 || zbuffer->Shape().width != mShape.width ||
        zbuffer->Shape().height != mShape.height) {
        return DDERR_INVALIDPARAMS;
    }
    zbuffer->AddRef();
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mZBuffer == nullptr) {
            mZBuffer = zbuffer;
            StoresChanged();
            return DD_OK;
        }
    }
    zbuffer->Release();
    return DDERR_INVALIDPARAMS;
}

HRESULT Surface::GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** surface) {
    ClearOut(surface);
    return TracedCall("GetAttachedSurface",
                      {{"surface", mId}, {"caps", caps != nullptr ? caps->dwCaps : 0, true}},
                      [&] { return DoGetAttached(caps, surface); });
}

HRESULT Surface::DoGetAttached(const DDSCAPS2* caps, IDirectDrawSurface7** out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (caps == nullptr) return DDERR_INVALIDPARAMS;
    std::lock_guard<std::mutex> lock(mMutex);
    Surface* found = nullptr;
    if (caps->dwCaps2 == 0 && caps->dwCaps == DDSCAPS_ZBUFFER) found = mZBuffer;
    if (caps->dwCaps2 == 0 && caps->dwCaps == DDSCAPS_BACKBUFFER) found = mBack;
    if (found == nullptr) return DDERR_NOTFOUND;
    found->AddRef();
    *out = found;
    return DD_OK;
}

HRESULT Surface::DeleteAttachedSurface(DWORD flags, IDirectDrawSurface7* surface) {
    Surface* zbuffer = From(surface);
    return TracedCall("DeleteAttachedSurface",
                      {{"surface", mId}, {"attached", zbuffer != nullptr ? zbuffer->Id() : 0}},
                      [&] { return DoDetach(flags, zbuffer); });
}

HRESULT Surface::DoDetach(DWORD flags, Surface* zbuffer) {
    if (flags != 0) return DDERR_INVALIDPARAMS;
    Surface* detached = nullptr;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        // A null surface detaches whatever is attached.
        if (mZBuffer == nullptr || (zbuffer != nullptr && zbuffer != mZBuffer)) {
            return DDERR_NOTATTACHED;
        }
        detached = std::exchange(mZBuffer, nullptr);
    }
    StoresChanged();
    detached->Release();
    return DD_OK;
}

}  // namespace port::display
