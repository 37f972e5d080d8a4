#include "platform/texture/memorytexturedata.h"

#include <algorithm>

#include "platform/draw/renderer.h"
#include "platform/texture/texture.h"

namespace {

bool gCreateSurfaceFails = false;

}  // namespace

void TMemoryTextureData::SetCreateSurfaceFails(bool fails) {
    gCreateSurfaceFails = fails;
}

void TMemoryTextureData::Release() {
    mHasSurface = false;
    mPixels.clear();
}

void TMemoryTextureData::Restore() {
    if (mImageName.Length() == 0)
        CreateSurface(static_cast<int>(mWidth), static_cast<int>(mHeight), true);
    else
        Load(mImageName.c_str(), mMaskName.c_str());
}

bool TMemoryTextureData::CreateSurface(int width, int height, bool clear) {
    (void)clear;  // a new buffer is always clear
    Release();
    if (width < 0 || height < 0) return false;
    uint32_t surfaceWidth = static_cast<uint32_t>(width);
    uint32_t surfaceHeight = static_cast<uint32_t>(height);
    mBorderX = 0;
    mBorderY = 0;
    if ((mFlags & kSimple) == 0 && TRenderer::GetInstance()->NeedsSquareTextures() &&
        width != height) {
        uint32_t squareSide = std::max(NextPowerOfTwo(surfaceWidth), NextPowerOfTwo(surfaceHeight));
        mBorderX = static_cast<int32_t>((squareSide - surfaceWidth) / 2);
        mBorderY = static_cast<int32_t>((squareSide - surfaceHeight) / 2);
        surfaceWidth = squareSide;
        surfaceHeight = squareSide;
    }
    mWidth = static_cast<uint32_t>(width);
    mHeight = static_cast<uint32_t>(height);
    if (gCreateSurfaceFails) return false;
    mSurfaceWidth = surfaceWidth;
    mSurfaceHeight = surfaceHeight;
    mPixels.assign(static_cast<size_t>(surfaceWidth) * surfaceHeight, 0);
    mHasSurface = true;
    return true;
}

bool TMemoryTextureData::SetPixels(int width, int height, const uint32_t* pixels) {
    if (!mHasSurface || width < 0 || height < 0) return false;
    uint32_t rows = std::min(static_cast<uint32_t>(height), mSurfaceHeight);
    uint32_t columns = std::min(static_cast<uint32_t>(width), mSurfaceWidth);
    for (uint32_t y = 0; y < rows; ++y)
        std::copy_n(pixels + static_cast<size_t>(y) * width, columns,
                    mPixels.begin() + static_cast<size_t>(y) * mSurfaceWidth);
    return true;
}

void TMemoryTextureData::CopyRect(int x, int y, const TRect* source,
                                  const std::shared_ptr<TTexture>& target) {
    if (!mHasSurface) return;
    TRect rect = source != nullptr
                     ? *source
                     : TRect{0, 0, static_cast<int>(mWidth), static_cast<int>(mHeight)};
    mCopies.push_back({x, y, source == nullptr, rect, target.get()});
    TMemoryTextureData* into =
        target != nullptr ? dynamic_cast<TMemoryTextureData*>(target->GetData()) : nullptr;
    if (into == nullptr || !into->mHasSurface) return;
    // The rows and columns that lie inside this surface; each lands where it falls in the target.
    int64_t top = std::max<int64_t>(rect.top, 0);
    int64_t left = std::max<int64_t>(rect.left, 0);
    int64_t bottom = std::min<int64_t>(rect.bottom, mSurfaceHeight);
    int64_t right = std::min<int64_t>(rect.right, mSurfaceWidth);
    for (int64_t row = top; row < bottom; ++row) {
        int64_t toY = y + (row - rect.top);
        if (toY < 0 || toY >= into->mSurfaceHeight) continue;
        for (int64_t column = left; column < right; ++column) {
            int64_t toX = x + (column - rect.left);
            if (toX < 0 || toX >= into->mSurfaceWidth) continue;
            into->mPixels[static_cast<size_t>(toY) * into->mSurfaceWidth + toX] =
                mPixels[static_cast<size_t>(row) * mSurfaceWidth + column];
        }
    }
}

void TMemoryTextureData::Clear() {
    std::fill(mPixels.begin(), mPixels.end(), 0u);
}

bool TMemoryTextureData::Lock(uint32_t** pixels, int* pitch) {
    if (!mHasSurface || mLockFails) return false;
    ++mLocks;
    *pixels = mPixels.data();
    *pitch = static_cast<int>(mSurfaceWidth);
    return true;
}

void TMemoryTextureData::Unlock() {
    ++mUnlocks;
}

uint32_t TMemoryTextureData::GetPixel(uint32_t x, uint32_t y) const {
    if (!mHasSurface || x >= mSurfaceWidth || y >= mSurfaceHeight) return 0;
    return mPixels[static_cast<size_t>(y) * mSurfaceWidth + x];
}
