// A texture of one colour, for tests that need an image whose every pixel they know (cursor
// images, sprites). Made through TTexture::Create, so it gets the texture data the test has
// installed (memory, or the display's surfaces). Null when the texture cannot be made or locked.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/texture/texture.h"

namespace texture_testing {

inline std::shared_ptr<TTexture> SolidTexture(int side, uint32_t colour) {
    std::shared_ptr<TTexture> image = TTexture::Create(side, side, true);
    uint32_t* pixels = nullptr;
    int pitch = 0;
    if (image == nullptr || !image->Lock(&pixels, &pitch)) return nullptr;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            pixels[y * pitch + x] = colour;
    image->Unlock();
    return image;
}

}  // namespace texture_testing
