// TLockedView: a surface locked for the length of a scope, its memory seen as a raster surface
// (raster::TSurface::Wrap), so that the rasterizer's pixel operations work on it; unlocked at the
// end of the scope. A failed lock is logged and leaves the view unusable.
//
// The thread that locks uses it; the port layer guards the pixels meanwhile.
#pragma once

#include "platform/display/dxerror.h"
#include "port/display/ddraw.h"
#include "port/display/pixelformats.h"
#include "raster/surface.h"

class TLockedView {
public:
    explicit TLockedView(IDirectDrawSurface7* surface) : mSurface(surface) {
        mDesc.dwSize = sizeof mDesc;
        HRESULT result = surface->Lock(nullptr, &mDesc, DDLOCK_WAIT, nullptr);
        if (FAILED(result)) {
            LOG_DX_ERROR(result);
            return;
        }
        mLocked = true;
        raster::TPixelFormat format = port::display::PixelFormatOf(mDesc.ddpfPixelFormat);
        mView.Wrap(static_cast<uint8_t*>(mDesc.lpSurface), static_cast<int>(mDesc.dwWidth),
                   static_cast<int>(mDesc.dwHeight), mDesc.lPitch, format);
    }
    ~TLockedView() {
        mView.Destroy();
        if (mLocked) mSurface->Unlock(nullptr);
    }
    TLockedView(const TLockedView&) = delete;
    TLockedView& operator=(const TLockedView&) = delete;

    bool IsUsable() const { return mLocked && !mView.IsEmpty(); }
    raster::TSurface& View() { return mView; }

private:
    IDirectDrawSurface7* mSurface;
    DDSURFACEDESC2 mDesc{};
    bool mLocked = false;
    raster::TSurface mView;
};
