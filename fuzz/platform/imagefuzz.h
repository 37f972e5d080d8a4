// The body the image decoder fuzz targets share: the bytes become a memory file, read as the
// texture loader reads an image, with the loader's usual largest side.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/file/fileindex.h"
#include "platform/image/squarebuffer.h"

// decode(name, &pixels, &width, &height, &side) runs one decoder; release frees its buffer.
template <typename Decode, typename Release>
void FuzzImageDecoder(const uint8_t* data, size_t size, const char* name, Decode decode,
                      Release release) {
    if (size > UINT32_MAX) return;
    RegisterMemoryFile(name, data, static_cast<uint32_t>(size));
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int side = 0;
    if (decode(name, &pixels, &width, &height, &side)) {
        if (width > side || height > side) __builtin_trap();
        // Touch the last byte of the square, so that a buffer smaller than its side shows.
        volatile uint8_t last = pixels[SquareBufferSize(side) - 1];
        (void)last;
    }
    release(pixels);
    RegisterMemoryFile(name, nullptr, 0);
}
