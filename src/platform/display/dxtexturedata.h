// TDxTextureData: the display's texture data (TTextureData, texture/texturedata.h): one DirectDraw
// surface per texture — a Direct3D texture made by D3DX, a DirectDraw texture or plain off-screen
// surface, or a render target with its own z-buffer — in whatever format the display and the
// device allow. Pixels go in and out as 0xAARRGGBB through the rasterizer's conversions
// (raster/surfaceops.h) over the locked memory. TPlatformData::CreateTextureData hands out empty
// ones, so every TTexture of a program with a display owns one.
//
// The texture owns its data object, which owns one reference to its surface (and releases an
// attached z-buffer with it). The display record counts the bytes of every texture surface
// (height x pitch): raised when a surface is made, lowered when it is released.
//
// Files: dxtexturedata.cpp (life, release, restore, clear, copies), dxtexturecreate.cpp (the
// surface's creation), dxtexturepixels.cpp (pixels in and out, lock), dxtextureformat.h (the
// alpha format and the mask helpers).
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <typeinfo>

#include "platform/texture/texturedata.h"
#include "port/display/ddraw.h"

class TDxTextureData : public TTextureData {
public:
    TDxTextureData();
    ~TDxTextureData() override;

    void Release() override;
    void Restore() override;
    bool SetPixels(int width, int height, const uint32_t* pixels) override;
    bool CreateSurface(int width, int height, bool clear) override;
    void CopyRect(int x, int y, const TRect* source,
                  const std::shared_ptr<TTexture>& target) override;
    void Clear() override;
    bool Lock(uint32_t** pixels, int* pitch) override;
    void Unlock() override;

    // Copies width x height pixels of the surface's top left into the buffer (rows width apart)
    // as 0xAARRGGBB; the part of the buffer beyond the surface gets transparent black. Alpha is
    // 255 without the alpha flag and for a format without alpha bits. False without a surface or
    // when the lock fails.
    bool ReadPixels(int width, int height, uint32_t* pixels);

    IDirectDrawSurface7* GetSurface() const { return mSurface; }
    // -1: the whole mip chain was asked at the last creation; 0: none.
    int32_t GetMipRequest() const { return mMipRequest; }
    bool IsMadeByD3DX() const { return mMadeByD3DX; }

private:
    // Steps of CreateSurface (dxtexturecreate.cpp).
    // A surface; none, as without a device; none (D3DX takes over); or the whole creation ran
    // again as something else, with its result in *againResult.
    enum class Made { Surface, NoDevice, None, Again };
    Made CreateDirectDrawSurface(uint32_t width, uint32_t height, bool clear,
                                 const DDPIXELFORMAT& displayFormat, bool* againResult);
    HRESULT TryCreate(DDSURFACEDESC2& desc);
    bool CreateD3DXSurface(int width, int height, int displayBits);
    void AttachZBuffer();
    // Makes the surface (an alpha render target) the device's target and puts the old one back.
    void SwitchRenderTargetOnce();
    // The surface's height x pitch, added to or taken off the display's counter.
    void CountSurfaceBytes(bool add);
    // Subtracts the bytes and releases the surface (nothing without one).
    void ReleaseSurface();
    // The copy through both surfaces' device contexts: StretchBlt from `from` to `to`, or a BitBlt
    // of `from` to the top left of `to`.
    void CopyThroughGdi(IDirectDrawSurface7* target, const RECT& from, const RECT& to,
                        bool stretch);

    IDirectDrawSurface7* mSurface = nullptr;
    int32_t mMipRequest = 0;
    bool mMadeByD3DX = false;
    // The 0xAARRGGBB copy handed out by Lock for a surface not in A8R8G8B8; null for a direct
    // lock.
    std::unique_ptr<uint32_t[]> mShadow;
    bool mLockedDirectly = false;
};

// Whether an image file of the name can be found: the name cut at its first '?' (load options),
// then that name with ".png", then with ".jpg".
bool ImageFileExists(const char* name);

// The display's data behind a texture (texture->GetData()), or null for data of another kind
// (the memory data of a texture made without a display, or a test's). Binding a texture asks this
// for every sprite drawn, so the exact type skips the general cast.
inline TDxTextureData* AsDxTextureData(TTextureData* data) {
    if (data != nullptr && typeid(*data) == typeid(TDxTextureData))
        return static_cast<TDxTextureData*>(data);
    return dynamic_cast<TDxTextureData*>(data);
}
