// The JPEG-2000 decoder on any bytes, read through a memory file as the texture loader reads an
// image, with the loader's usual largest side.
#include <cstddef>
#include <cstdint>

#include "foundation/fileindex.h"
#include "platform/image/jp2decoder.h"
#include "platform/image/squarebuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    RegisterMemoryFile("fuzz.jp2", data, static_cast<uint32_t>(size));
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int side = 0;
    bool hasAlpha = false;
    if (DecodeJp2("fuzz.jp2", &pixels, &width, &height, &side, &hasAlpha, kImageLargestSide)) {
        if (width > side || height > side) __builtin_trap();
        // Touch the last byte of the square, so that a buffer smaller than its side shows.
        volatile uint8_t last = pixels[SquareBufferSize(side) - 1];
        (void)last;
    }
    ReleaseJp2Pixels(pixels);
    RegisterMemoryFile("fuzz.jp2", nullptr, 0);
    return 0;
}
