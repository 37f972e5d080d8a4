// Internal: a DirectDraw surface. Its pixels are a PixelStore (pixelstore.h): its own, the
// desktop's for a windowed primary, or one of a flip chain's two (flipchain.h) for a full-screen
// front or back buffer. It may hold a clipper and an attached z-buffer, each with a reference, and
// hands out a device context (surfacedc.cpp) that holds a reference to it. A front buffer holds a
// reference to its back buffer. A surface in video memory holds its bytes of its device's budget
// until its last Release (a front buffer holds both buffers' bytes).
//
// Loss: a lost surface (or chain) answers DDERR_SURFACELOST from IsLost, Lock, Blt, BltFast, Flip
// and GetDC until Restore or RestoreAllSurfaces gives it memory holding noise. Managed textures
// are never lost.
//
// Threads: any thread may call it (the main thread and the cursor worker do). The small state
// (store, clipper, attachment, device context) sits under the surface's own mutex; pixels under
// the store's. A thread never holds the state mutex while it takes a store's mutex, nor releases
// another object with either held.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "port/display/adapter.h"
#include "port/display/ddraw.h"
#include "port/display/flipchain.h"
#include "port/display/pixelstore.h"
#include "port/refcounted.h"
#include "port/display/surfaceshape.h"

namespace port::display {

class Clipper;

class Surface final : public RefCounted<IDirectDrawSurface7> {
public:
    // Starts with one reference, its creator's, and enters the registry. videoBytes are taken
    // from budget already (none: not in video memory, or outside the budget).
    Surface(uint32_t ownerId, const SurfaceShape& shape, std::shared_ptr<PixelStore> store,
            std::shared_ptr<VideoBudget> budget = nullptr, uint64_t videoBytes = 0);
    // A buffer of a flip chain: the front (visible) one or the back one.
    Surface(uint32_t ownerId, const SurfaceShape& shape, std::shared_ptr<FlipChain> chain,
            bool front, std::shared_ptr<VideoBudget> budget = nullptr, uint64_t videoBytes = 0);
    // Once, before the front buffer is handed out: it takes over the creator's reference.
    void AttachBackBuffer(Surface* back);

    // Our surfaces are the only implementation of the interface.
    static Surface* From(IDirectDrawSurface7* surface) { return static_cast<Surface*>(surface); }

    HRESULT QueryInterface(const IID& iid, void** object) override;

    HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) override;
    HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) override;
    HRESULT Unlock(RECT* rect) override;
    HRESULT Blt(RECT* destRect, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags,
                DDBLTFX* fx) override;
    HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface7* source, RECT* sourceRect,
                    DWORD flags) override;
    HRESULT IsLost() override;
    HRESULT GetBltStatus(DWORD flags) override;
    HRESULT GetFlipStatus(DWORD flags) override;
    HRESULT SetClipper(IDirectDrawClipper* clipper) override;
    HRESULT GetClipper(IDirectDrawClipper** clipper) override;
    HRESULT AddAttachedSurface(IDirectDrawSurface7* surface) override;
    HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** surface) override;
    HRESULT DeleteAttachedSurface(DWORD flags, IDirectDrawSurface7* surface) override;
    HRESULT GetDC(HDC* dc) override;
    HRESULT ReleaseDC(HDC dc) override;
    HRESULT Flip(IDirectDrawSurface7* target, DWORD flags) override;
    HRESULT Restore() override;

    uint32_t Id() const { return mId; }
    uint32_t OwnerId() const { return mOwnerId; }
    const SurfaceShape& Shape() const { return mShape; }
    bool IsPrimary() const { return (mShape.caps & DDSCAPS_PRIMARYSURFACE) != 0; }
    int BitCount() const;
    // The memory the surface shows now.
    std::shared_ptr<PixelStore> Store() const;
    // The memory of a surface that keeps one store all its life (neither a flip chain's buffer
    // nor a primary, which takes the desktop's again when restored), read without a lock or a
    // reference: it lives while the caller holds a reference to the surface. Null for the others.
    PixelStore* OwnStore() const;
    // The window whose client area clips blits onto this primary; null without one.
    HWND ClipWindow() const;
    // The description GetSurfaceDesc gives, zero-filled first.
    void Describe(DDSURFACEDESC2* desc) const;

    bool Lost() const;
    // Holds its memory (a back buffer kept past its chain does not).
    bool Resident() const;
    // Any thread, any lock held: only flags change.
    void MarkLost();
    // Restore without the cooperation test (RestoreAllSurfaces has made it).
    HRESULT RestoreMemory();
    // The flip chain of a full-screen front or back buffer; null for other surfaces.
    const std::shared_ptr<FlipChain>& Chain() const { return mChain; }
    bool IsChainFront() const { return mChain != nullptr && mFront; }

    // The attached z-buffer with a reference for the caller; null without one.
    Surface* AttachedZBuffer() const;
    // What the 3-D device keeps with a surface it made (a managed texture's lower mip levels and
    // its place in video memory). Set once, before the surface is handed out; it goes with the
    // surface's last Release.
    void SetDeviceData(std::shared_ptr<void> data) { mDeviceData = std::move(data); }
    void* DeviceData() const { return mDeviceData.get(); }

private:
    ~Surface() override;

    HRESULT DoLock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags);
    HRESULT DoUnlock();
    HRESULT DoBlt(RECT* destRect, Surface* source, RECT* sourceRect, DWORD flags,
                  const DDBLTFX* fx);
    HRESULT DoBltFast(int x, int y, Surface* source, RECT* sourceRect, DWORD flags);
    HRESULT DoAttach(Surface* zbuffer);
    HRESULT DoGetAttached(const DDSCAPS2* caps, IDirectDrawSurface7** out);
    HRESULT DoDetach(DWORD flags, Surface* zbuffer);
    HRESULT DoGetDC(HDC* dc);
    HRESULT DoReleaseDC(HDC dc);

    HRESULT DoFlip(IDirectDrawSurface7* target, DWORD flags);

    const uint32_t mId;
    const uint32_t mOwnerId;
    const SurfaceShape mShape;
    const std::shared_ptr<FlipChain> mChain;  // null unless a flip chain's buffer
    const bool mFront = false;                // the chain's front buffer
    const std::shared_ptr<VideoBudget> mBudget;
    const uint64_t mVideoBytes = 0;
    std::atomic<bool> mLost{false};  // for surfaces outside a chain

    mutable std::mutex mMutex;
    std::shared_ptr<PixelStore> mStore;  // under mMutex; null for a chain's buffer
    Surface* mBack = nullptr;            // a front buffer's back buffer, with a reference
    Clipper* mClipper = nullptr;         // holds a reference; under mMutex
    Surface* mZBuffer = nullptr;         // holds a reference; under mMutex
    HDC mDc = nullptr;                   // the device context handed out; under mMutex
    std::shared_ptr<void> mDeviceData;   // set before the surface is shared
};

}  // namespace port::display
