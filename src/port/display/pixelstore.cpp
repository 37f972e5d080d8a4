#include "port/display/pixelstore.h"

#include "port/display/displaystate.h"
#include "raster/surfaceops.h"

namespace port::display {

uint64_t StoreBytes(int width, int height, raster::TPixelFormat format) {
    uint64_t row = static_cast<uint64_t>(width) * (raster::GetFormatInfo(format).bitCount / 8);
    row = (row + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
    return row * static_cast<uint64_t>(height);
}

std::shared_ptr<PixelStore> MakeStore(int width, int height, raster::TPixelFormat format) {
    auto store = std::make_shared<PixelStore>();
    if (!store->pixels.Create(width, height, format, kRowAlignment)) return nullptr;
    FillWithNoise(*store);
    return store;
}

void FillWithNoise(PixelStore& store) {
    raster::FillNoise(store.pixels, NextNoiseSeed());
}

}  // namespace port::display
