#include "platform/texture/texturedata.h"

void TTextureData::GetAllocatedSize(int* width, int* height) const {
    // Summed in 64 bits: the fields are a device's answer, not bounded here.
    int64_t allocatedWidth = static_cast<int64_t>(mWidth) + 2 * static_cast<int64_t>(mBorderX) + 1;
    int64_t allocatedHeight =
        static_cast<int64_t>(mHeight) + 2 * static_cast<int64_t>(mBorderY) + 1;
    *width = static_cast<int>(allocatedWidth & ~int64_t{1});
    *height = static_cast<int>(allocatedHeight & ~int64_t{1});
}

uint32_t NextPowerOfTwo(uint32_t n) {
    uint32_t power = 2;
    while (power < n && power < 0x80000000u)
        power <<= 1;
    return power;
}
