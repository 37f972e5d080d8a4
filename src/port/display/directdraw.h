// Internal: the DirectDraw object of a display device. This is its least form: the default
// device's object at the normal cooperative level, which makes surfaces (the windowed primary
// among them) and clippers.
//
// Any thread may call it; the program calls it from the main thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "port/display/ddraw.h"
#include "port/display/refcounted.h"

namespace port::display {

class DirectDraw final : public RefCounted<IDirectDraw7> {
public:
    // Starts with one reference, its creator's.
    DirectDraw();

    HRESULT QueryInterface(const IID& iid, void** object) override;

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface,
                          IUnknown* outer) override;
    HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) override;

    uint32_t Id() const { return mId; }

private:
    ~DirectDraw() override = default;

    HRESULT DoCreateSurface(const DDSURFACEDESC2* desc, IDirectDrawSurface7** surface);

    const uint32_t mId;
    std::mutex mMutex;
    DWORD mLevel = 0;         // under mMutex; 0 until SetCooperativeLevel
    HWND mWindow = nullptr;   // under mMutex
    uint32_t mPrimaryId = 0;  // the primary it made last; under mMutex
};

}  // namespace port::display
