#include "platform/image/squarebuffer.h"

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
