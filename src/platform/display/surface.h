// CSurface: the holder of one DirectDraw surface with its description as the surface reported it
// after creation. The display (display.h) makes these for the DirectX context: the z-buffer and
// the cursor's surfaces.
//
// The holder owns one reference to the surface and releases it in Destroy and its destructor.
// It is used on the thread that owns the display (the cursor worker only under the context's
// mouse mutex).
#pragma once

#include "port/display/ddraw.h"

class CSurface {
public:
    CSurface();
    ~CSurface();
    CSurface(const CSurface&) = delete;
    CSurface& operator=(const CSurface&) = delete;

    // Makes the surface; on success reads its description back and answers S_OK, else the
    // DirectDraw error (the holder stays empty). A surface held before is released first.
    HRESULT Create(IDirectDraw7* directDraw, DDSURFACEDESC2* desc);
    void Destroy();

    IDirectDrawSurface7* GetDDrawSurface() const { return mSurface; }
    // The description read back after creation (zero while empty).
    const DDSURFACEDESC2& GetDesc() const { return mDesc; }

private:
    IDirectDrawSurface7* mSurface = nullptr;
    DDSURFACEDESC2 mDesc{};
};
