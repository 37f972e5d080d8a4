#include "platform/image/squarebuffer.h"

#include <cstdlib>
#include <cstring>

bool ImageFitsLargestSide(uint64_t width, uint64_t height, int largestSide) {
    uint64_t limit = largestSide < kImageSideCeiling ? static_cast<uint64_t>(largestSide)
                                                     : static_cast<uint64_t>(kImageSideCeiling);
    return width >= 1 && height >= 1 && width <= limit && height <= limit;
}

int SquareSide(uint32_t width, uint32_t height) {
    uint32_t larger = width > height ? width : height;
    int side = 1;
    while (static_cast<uint32_t>(side) < larger && side < kImageSideCeiling)
        side <<= 1;
    return side;
}

size_t SquareBufferSize(int side) {
    if (side < 1 || side > kImageSideCeiling) return 0;
    return static_cast<size_t>(side) * static_cast<size_t>(side) * 4;
}

uint8_t* NewSquareBuffer(int side, uint32_t width, uint32_t height) {
    size_t size = SquareBufferSize(side);
    if (size == 0 || width > static_cast<uint32_t>(side) || height > static_cast<uint32_t>(side))
        return nullptr;
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(size));
    if (pixels == nullptr) return nullptr;
    size_t stride = static_cast<size_t>(side) * 4;
    size_t imageRow = static_cast<size_t>(width) * 4;
    if (imageRow < stride) {
        for (size_t row = 0; row < height; ++row)
            std::memset(pixels + row * stride + imageRow, 0, stride - imageRow);
    }
    std::memset(pixels + height * stride, 0, (static_cast<size_t>(side) - height) * stride);
    return pixels;
}
