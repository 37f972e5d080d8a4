// Internal: a DirectDraw surface. Its pixels are a PixelStore (pixelstore.h): its own, or the
// desktop's for a windowed primary. It may hold a clipper and an attached z-buffer, each with a
// reference, and hands out a device context (surfacedc.cpp) that holds a reference to it.
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

#include "port/display/ddraw.h"
#include "port/display/pixelstore.h"
#include "port/display/refcounted.h"
#include "port/display/surfaceshape.h"

namespace port::display {

class Clipper;

class Surface final : public RefCounted<IDirectDrawSurface7> {
public:
    // Starts with one reference, its creator's, and enters the registry.
    Surface(uint32_t ownerId, const SurfaceShape& shape, std::shared_ptr<PixelStore> store);

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

    uint32_t Id() const { return mId; }
    uint32_t OwnerId() const { return mOwnerId; }
    const SurfaceShape& Shape() const { return mShape; }
    bool IsPrimary() const { return (mShape.caps & DDSCAPS_PRIMARYSURFACE) != 0; }
    int BitCount() const;
    // The memory the surface shows now.
    std::shared_ptr<PixelStore> Store() const;
    // The window whose client area clips blits onto this primary; null without one.
    HWND ClipWindow() const;
    // The description GetSurfaceDesc gives, zero-filled first.
    void Describe(DDSURFACEDESC2* desc) const;

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

    const uint32_t mId;
    const uint32_t mOwnerId;
    const SurfaceShape mShape;

    mutable std::mutex mMutex;
    std::shared_ptr<PixelStore> mStore;  // under mMutex
    Clipper* mClipper = nullptr;         // holds a reference; under mMutex
    Surface* mZBuffer = nullptr;         // holds a reference; under mMutex
    HDC mDc = nullptr;                   // the device context handed out; under mMutex
};

}  // namespace port::display
