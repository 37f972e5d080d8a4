#include "raster/surface.h"

#include <cstdlib>
#include <cstring>

namespace raster {

void TSurface::TFree::operator()(uint8_t* p) const {
    std::free(p);
}

bool TSurface::Create(int width, int height, TPixelFormat format) {
    Destroy();
    const TFormatInfo& info = GetFormatInfo(format);
    if (info.bytesPerPixel == 0 || width < 1 || height < 1 || width > kMaxSide ||
        height > kMaxSide) {
        return false;
    }
    int pitch = (width * info.bytesPerPixel + 3) & ~3;
    size_t bytes = static_cast<size_t>(pitch) * height;
    size_t rounded = (bytes + 63) & ~static_cast<size_t>(63);
    auto* memory = static_cast<uint8_t*>(std::aligned_alloc(64, rounded));
    if (memory == nullptr) return false;
    std::memset(memory, 0, rounded);
    mPixels.reset(memory);
    mWidth = width;
    mHeight = height;
    mPitch = pitch;
    mBytesPerPixel = info.bytesPerPixel;
    mFormat = format;
    return true;
}

void TSurface::Destroy() {
    mPixels.reset();
    mWidth = mHeight = mPitch = mBytesPerPixel = 0;
    mFormat = TPixelFormat::Unknown;
}

}  // namespace raster
