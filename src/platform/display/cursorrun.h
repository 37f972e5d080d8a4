// TCursorRun: one horizontal run of visible pixels of the software cursor's image, precomputed
// for the display's pixel format so that blending a pixel takes one multiply and one shift per
// channel. The DirectX context keeps two lists of them (the normal image and the alternate one).
#pragma once

#include <cstdint>
#include <vector>

struct TCursorRunPixel {
    // Premultiplied terms of red, green and blue for the display's format, and 255 - alpha.
    uint16_t red;
    uint16_t green;
    uint16_t blue;
    uint16_t inverseAlpha;
};

struct TCursorRun {
    // The run's first pixel in the image.
    uint16_t x = 0;
    uint16_t y = 0;
    std::vector<TCursorRunPixel> pixels;
};
