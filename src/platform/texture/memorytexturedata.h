// TMemoryTextureData: a texture's data kept in memory, with no device behind it. It is what
// textures get until the display exists, and what tests load and draw with: its surface is a
// buffer of 0xAARRGGBB pixels that SetPixels fills and Lock hands out, and it counts locks and
// records the copies it was asked to make. Tests can make every CreateSurface fail, and one
// texture's Lock.
//
// The surface takes the requested size, made square (each side the next power of two, at least 2,
// then the larger of the two) when the renderer needs square textures and the texture is not
// simple, as a device's would be.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "math/rect.h"
#include "platform/texture/texturedata.h"

class TMemoryTextureData : public TTextureData {
public:
    // One call of CopyRect.
    struct Copy {
        int x;
        int y;
        bool wholeImage;
        TRect source;
        const TTexture* target;
    };

    // Process-wide, for tests: while set, every CreateSurface fails.
    static void SetCreateSurfaceFails(bool fails);

    // Drops the surface.
    void Release() override;
    // A created texture gets its surface again, cleared; a loaded one is loaded again.
    void Restore() override;
    bool SetPixels(int width, int height, const uint32_t* pixels) override;
    bool CreateSurface(int width, int height, bool clear) override;
    // Records the copy and, when the target's data is in memory too, copies the pixels that
    // fall inside both surfaces.
    void CopyRect(int x, int y, const TRect* source,
                  const std::shared_ptr<TTexture>& target) override;
    void Clear() override;
    bool Lock(uint32_t** pixels, int* pitch) override;
    void Unlock() override;

    bool HasSurface() const { return mHasSurface; }
    // Surface width × surface height pixels, rows surface width apart.
    const std::vector<uint32_t>& GetPixels() const { return mPixels; }
    uint32_t GetPixel(uint32_t x, uint32_t y) const;
    // While set, Lock fails (and is not counted).
    void SetLockFails(bool fails) { mLockFails = fails; }
    int GetLockCount() const { return mLocks; }
    int GetUnlockCount() const { return mUnlocks; }
    const std::vector<Copy>& GetCopies() const { return mCopies; }

private:
    bool mHasSurface = false;
    std::vector<uint32_t> mPixels;
    bool mLockFails = false;
    int mLocks = 0;
    int mUnlocks = 0;
    std::vector<Copy> mCopies;
};
