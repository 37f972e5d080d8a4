#include "port/display/pixelstore.h"

#include "port/display/displaystate.h"
#include "raster/surfaceops.h"

namespace port::display {

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
