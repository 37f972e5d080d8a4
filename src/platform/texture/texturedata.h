// TTextureData: the device image behind one TTexture (texture.h), which owns it. It holds the
// image's file names, its size, the size of the surface the device made for it (powers of two,
// or square where the device needs that), the borders between the two, and the load flags. The
// surface itself, and how pixels go in and out of it (always as 0xAARRGGBB), belong to the
// implementation the platform hands out (texturedatasource.h): the display's, or the in-memory
// one of memorytexturedata.h.
//
// Load is the image loader: options in the file name, the fallbacks for a missing extension, the
// separate and automatic alpha masks, the decoders (image/), the surface size and the upload.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/str.h"
#include "math/rect.h"

class TTexture;

// The smallest power of two not below n, and at least 2 (a device's texture side).
uint32_t NextPowerOfTwo(uint32_t n);

class TTextureData {
public:
    // Load flags.
    enum : uint8_t {
        kRenderTarget = 0x01,
        kHasAlpha = 0x02,
        // Whether the texture has alpha is the image's to say.
        kAlphaFromImage = 0x04,
        kMipmaps = 0x08,
        // A plain off-screen surface, never drawn as a sprite nor bound; its height is not forced
        // square.
        kSimple = 0x10,
        // Images above 1024 pixels allowed; with kSimple, the surface stays in system memory.
        kLarge = 0x20,
        // Made by the device (TTexture::Create), not from a file.
        kCreated = 0x80,
    };
    // The largest side an image may have without kLarge.
    static constexpr int kLargestSide = 1024;

    TTextureData() = default;
    TTextureData(const TTextureData&) = delete;
    TTextureData& operator=(const TTextureData&) = delete;
    virtual ~TTextureData() = default;

    // Before the display device goes: gives up the surface.
    virtual void Release() = 0;
    // After the device is back: makes the surface again, empty or reloaded from the files.
    virtual void Restore() = 0;
    // Uploads width × height 0xAARRGGBB pixels, rows width apart, to the surface's top left.
    // False without a surface.
    virtual bool SetPixels(int width, int height, const uint32_t* pixels) = 0;
    // Makes the surface for an image of width × height (which sets the image and surface sizes
    // and the borders), cleared when asked. False when there is no surface.
    virtual bool CreateSurface(int width, int height, bool clear) = 0;
    // Copies the source rectangle (null: the whole image) to (x, y) of the target texture's
    // surface (empty: the screen).
    virtual void CopyRect(int x, int y, const TRect* source,
                          const std::shared_ptr<TTexture>& target) = 0;
    // Fills the whole surface with 0.
    virtual void Clear() = 0;
    // Hands out the surface's pixels as 0xAARRGGBB with their pitch in pixels, until Unlock.
    virtual bool Lock(uint32_t** pixels, int* pitch) = 0;
    virtual void Unlock() = 0;

    // Loads the image file (its name may carry options after a '?') and its alpha mask (null or
    // empty: none) into a new surface. See textureload.cpp for the steps. False when the files or
    // their decoding fail; true also when the surface could not be made.
    bool Load(const char* fileName, const char* maskName);

    // The memory the image takes: (width + 2 × border x + 1) and (height + 2 × border y + 1),
    // each rounded down to an even number.
    void GetAllocatedSize(int* width, int* height) const;

    const str& GetImageName() const { return mImageName; }
    const str& GetMaskName() const { return mMaskName; }
    uint32_t GetWidth() const { return mWidth; }
    uint32_t GetHeight() const { return mHeight; }
    uint32_t GetSurfaceWidth() const { return mSurfaceWidth; }
    uint32_t GetSurfaceHeight() const { return mSurfaceHeight; }
    int32_t GetBorderX() const { return mBorderX; }
    int32_t GetBorderY() const { return mBorderY; }
    uint8_t GetFlags() const { return mFlags; }
    void SetFlags(uint8_t flags) { mFlags = flags; }

protected:
    str mImageName;
    str mMaskName;
    uint32_t mWidth = 0;
    uint32_t mHeight = 0;
    uint32_t mSurfaceWidth = 0;
    uint32_t mSurfaceHeight = 0;
    int32_t mBorderX = 0;
    int32_t mBorderY = 0;
    uint8_t mFlags = 0;
};
