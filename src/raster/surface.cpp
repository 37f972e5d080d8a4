#include "raster/surface.h"

#include <bit>
#include <cstdlib>
#include <cstring>

namespace raster {

void TSurface::TFree::operator()(uint8_t* p) const {
    if (owned) std::free(p);
}

bool TSurface::Create(int width, int height, TPixelFormat format, int rowAlignment) {
    Destroy();
    const TFormatInfo& info = GetFormatInfo(format);
    if (info.bytesPerPixel == 0 || width < 1 || height < 1 || width > kMaxSide ||
        height > kMaxSide || rowAlignment < 1 || rowAlignment > kMaxRowAlignment ||
        !std::has_single_bit(static_cast<unsigned>(rowAlignment))) {
        return false;
    }
    // At most 16384 x 4 + 4095 bytes a row: no overflow in int.
    int pitch = (width * info.bytesPerPixel + rowAlignment - 1) & ~(rowAlignment - 1);
    size_t bytes = static_cast<size_t>(pitch) * height;
    size_t rounded = (bytes + 63) & ~static_cast<size_t>(63);
    auto* memory = static_cast<uint8_t*>(std::aligned_alloc(64, rounded));
    if (memory == nullptr) return false;
    std::memset(memory, 0, rounded);
    mPixels = std::unique_ptr<uint8_t[], TFree>(memory, TFree{true});
    mWidth = width;
    mHeight = height;
    mPitch = pitch;
    mBytesPerPixel = info.bytesPerPixel;
    mFormat = format;
    return true;
}

bool TSurface::Wrap(uint8_t* pixels, int width, int height, int pitch, TPixelFormat format) {
    Destroy();
    const TFormatInfo& info = GetFormatInfo(format);
    if (pixels == nullptr || info.bytesPerPixel == 0 || width < 1 || height < 1 ||
        width > kMaxSide || height > kMaxSide || pitch < width * info.bytesPerPixel) {
        return false;
    }
    mPixels = std::unique_ptr<uint8_t[], TFree>(pixels, TFree{false});
    mWidth = width;
    mHeight = height;
    mPitch = pitch;
    mBytesPerPixel = info.bytesPerPixel;
    mFormat = format;
    return true;
}

void TSurface::Destroy() {
    mPixels.reset();
    mPixels.get_deleter().owned = true;
    mWidth = mHeight = mPitch = mBytesPerPixel = 0;
    mFormat = TPixelFormat::Unknown;
}

}  // namespace raster
