// Internal: the DirectDraw object of a display device (adapter.h). It makes surfaces (the windowed
// primary, full-screen flip chains, plain surfaces, textures and z-buffers, each placed in video
// memory within the device's budget or in system memory) and clippers; it holds a cooperative
// level (cooperation.h), sets display modes through the window model's desktop change, and
// restores its lost surfaces. Its last Release ends its exclusive hold and puts back the desktop
// mode it changed.
//
// Any thread may call it, except the calls that change the desktop (SetDisplayMode,
// RestoreDisplayMode, SetCooperativeLevel back to normal, the last Release of an exclusive
// object): those send WM_DISPLAYCHANGE and belong to the thread that runs the windows. The
// program calls it from the main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "port/display/adapter.h"
#include "port/display/ddraw.h"
#include "port/refcounted.h"
#include "port/display/surfaceshape.h"
#include "port/window/desktop.h"

namespace port::display {

class DirectDraw final : public RefCounted<IDirectDraw7> {
public:
    // Starts with one reference, its creator's.
    explicit DirectDraw(std::shared_ptr<const Adapter> adapter);

    HRESULT QueryInterface(const IID& iid, void** object) override;

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface,
                          IUnknown* outer) override;
    HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) override;
    HRESULT GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) override;
    HRESULT GetDeviceIdentifier(DDDEVICEIDENTIFIER2* identifier, DWORD flags) override;
    HRESULT EnumDisplayModes(DWORD flags, DDSURFACEDESC2* filter, void* context,
                             LPDDENUMMODESCALLBACK2 callback) override;
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                           DWORD flags) override;
    HRESULT RestoreDisplayMode() override;
    HRESULT GetDisplayMode(DDSURFACEDESC2* desc) override;
    HRESULT GetMonitorFrequency(DWORD* hertz) override;
    HRESULT TestCooperativeLevel() override;
    HRESULT RestoreAllSurfaces() override;
    HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) override;
    HRESULT FlipToGDISurface() override;

    uint32_t Id() const { return mId; }
    const std::shared_ptr<const Adapter>& AdapterOf() const { return mAdapter; }

private:
    ~DirectDraw() override;

    HRESULT DoSetCooperativeLevel(HWND window, DWORD flags);
    HRESULT DoCreateSurface(const DDSURFACEDESC2* desc, IDirectDrawSurface7** surface);
    HRESULT CreatePrimary(const SurfaceShape& shape, IDirectDrawSurface7** out);
    HRESULT CreateFlipChain(const SurfaceShape& shape, IDirectDrawSurface7** out);
    HRESULT DoSetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                             DWORD flags);
    HRESULT DoRestoreAll();

    const uint32_t mId;
    const std::shared_ptr<const Adapter> mAdapter;
    std::mutex mMutex;
    HWND mWindow = nullptr;   // under mMutex
    uint32_t mPrimaryId = 0;  // the primary it made last; under mMutex
};

// The Direct3D object of a DirectDraw object (QueryInterface with IID_IDirect3D7). The device room
// (port/device) makes it; DirectDraw only hands the request on.
HRESULT CreateDirect3D(DirectDraw* draw, void** object);

// Puts a desktop mode back (the window model's desktop change, WM_DISPLAYCHANGE included).
void PutBackDesktopMode(const DesktopMode& mode);

}  // namespace port::display
