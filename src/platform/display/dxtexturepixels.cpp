// TDxTextureData's pixels in and out: uploads (D3DX for its own textures, else the rasterizer's
// write-in over the locked memory), read-back, and the lock with its shadow for formats other
// than A8R8G8B8. Copies never pass the surface as the device made it, whatever the caller's
// buffer size.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/display/displayrecord.h"
#include "platform/display/dxerror.h"
#include "platform/display/dxtexturedata.h"
#include "platform/display/lockedview.h"
#include "platform/platformdata.h"
#include "port/display/pixelformats.h"
#include "raster/surfaceops.h"

namespace {

bool IsA8R8G8B8(const DDPIXELFORMAT& format) {
    return format.dwRGBBitCount == 32 && format.dwRBitMask == 0x00FF0000 &&
           format.dwGBitMask == 0x0000FF00 && format.dwBBitMask == 0x000000FF &&
           format.dwRGBAlphaBitMask == 0xFF000000;
}

}  // namespace

bool TDxTextureData::SetPixels(int width, int height, const uint32_t* pixels) {
    if (mSurface == nullptr || pixels == nullptr || width < 1 || height < 1) return false;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    HRESULT result = mSurface->GetSurfaceDesc(&desc);
    if (FAILED(result)) {
        LOG_DX_ERROR(result);
        return false;
    }
    int columns = std::min(width, static_cast<int>(desc.dwWidth));
    int rows = std::min(height, static_cast<int>(desc.dwHeight));

    if (mMadeByD3DX) {
        TPlatformData* display = TPlatformData::GetInstance();
        IDirect3DDevice7* device = display != nullptr ? display->GetRecord()->mDevice : nullptr;
        bool mipmaps = mMipRequest != 0;
        RECT area{0, 0, columns, rows};
        result = D3DXLoadTextureFromMemory(
            device, mSurface, mipmaps ? D3DX_DEFAULT : 0, const_cast<uint32_t*>(pixels), nullptr,
            D3DX_SF_A8R8G8B8, static_cast<DWORD>(width) * 4, &area,
            mipmaps ? D3DX_FILTER_LINEAR : D3DX_FILTER_POINT);
        if (FAILED(result)) {
            LOG_DX_ERROR(result);
            return false;
        }
        return true;
    }

    TLockedView locked(mSurface);
    if (!locked.IsUsable()) return false;
    raster::TSurface& view = locked.View();
    bool forceAlpha = (mFlags & kHasAlpha) == 0 &&
                      raster::GetFormatInfo(view.Format()).alphaMask != 0;
    if (!forceAlpha) {
        raster::WritePixels(view, TRect{0, 0, columns, rows}, pixels, width);
        return true;
    }
    // Without the alpha flag every alpha bit is set.
    std::vector<uint32_t> row(static_cast<size_t>(columns));
    for (int y = 0; y < rows; ++y) {
        const uint32_t* from = pixels + static_cast<size_t>(y) * width;
        for (int x = 0; x < columns; ++x) row[x] = from[x] | 0xFF000000u;
        raster::WritePixels(view, TRect{0, y, columns, y + 1}, row.data(), columns);
    }
    return true;
}

bool TDxTextureData::ReadPixels(int width, int height, uint32_t* pixels) {
    if (mSurface == nullptr || pixels == nullptr || width < 1 || height < 1) return false;
    TLockedView locked(mSurface);
    if (!locked.IsUsable()) return false;
    raster::TSurface& view = locked.View();
    int columns = std::min(width, view.Width());
    int rows = std::min(height, view.Height());
    // What lies beyond the surface reads as transparent black.
    std::fill_n(pixels, static_cast<size_t>(width) * height, 0u);
    raster::ReadPixels(view, TRect{0, 0, columns, rows}, pixels, width);
    if ((mFlags & kHasAlpha) == 0) {
        for (int y = 0; y < rows; ++y) {
            uint32_t* row = pixels + static_cast<size_t>(y) * width;
            for (int x = 0; x < columns; ++x) row[x] |= 0xFF000000u;
        }
    }
    return true;
}

bool TDxTextureData::Lock(uint32_t** pixels, int* pitch) {
    if (mSurface == nullptr || pixels == nullptr || pitch == nullptr || mLockedDirectly ||
        mShadow != nullptr) {
        return false;
    }
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    HRESULT result = mSurface->GetSurfaceDesc(&desc);
    if (FAILED(result)) {
        LOG_DX_ERROR(result);
        return false;
    }
    if (IsA8R8G8B8(desc.ddpfPixelFormat)) {
        desc.dwSize = sizeof desc;
        result = mSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
        if (FAILED(result)) {
            LOG_DX_ERROR(result);
            return false;
        }
        mLockedDirectly = true;
        *pixels = static_cast<uint32_t*>(desc.lpSurface);
        *pitch = desc.lPitch / 4;
        return true;
    }
    size_t count = static_cast<size_t>(mSurfaceWidth) * mSurfaceHeight;
    if (count == 0) return false;
    mShadow = std::make_unique<uint32_t[]>(count);
    if (!ReadPixels(static_cast<int>(mSurfaceWidth), static_cast<int>(mSurfaceHeight),
                    mShadow.get())) {
        mShadow.reset();
        return false;
    }
    *pixels = mShadow.get();
    *pitch = static_cast<int>(mSurfaceWidth);
    return true;
}

void TDxTextureData::Unlock() {
    if (mLockedDirectly) {
        mLockedDirectly = false;
        if (mSurface != nullptr) {
            HRESULT result = mSurface->Unlock(nullptr);
            if (FAILED(result)) LOG_DX_ERROR(result);
        }
        return;
    }
    if (mShadow == nullptr) return;
    // The conversion path writes the shadow back, also into a D3DX texture.
    bool madeByD3DX = mMadeByD3DX;
    mMadeByD3DX = false;
    SetPixels(static_cast<int>(mSurfaceWidth), static_cast<int>(mSurfaceHeight), mShadow.get());
    mMadeByD3DX = madeByD3DX;
    mShadow.reset();
}
