#include "platform/display/dxtextureformat.h"

#include <bit>

namespace {

struct TAlphaFormatCache {
    bool asked = false;
    uint32_t bitCount = 0;
    bool found = false;
    DDPIXELFORMAT format{};
};

TAlphaFormatCache gCache;

HRESULT Consider(DDPIXELFORMAT* format, void* context) {
    auto* cache = static_cast<TAlphaFormatCache*>(context);
    constexpr DWORD kWanted = DDPF_ALPHAPIXELS | DDPF_RGB;
    if ((format->dwFlags & kWanted) != kWanted || (format->dwFlags & DDPF_LUMINANCE) != 0 ||
        format->dwRGBBitCount != cache->bitCount) {
        return D3DENUMRET_OK;
    }
    if (!cache->found || (CountBits(format->dwRGBAlphaBitMask) >
                              CountBits(cache->format.dwRGBAlphaBitMask) &&
                          CountBits(format->dwBBitMask) >= 3)) {
        cache->format = *format;
        cache->found = true;
    }
    return D3DENUMRET_OK;
}

}  // namespace

int CountBits(uint32_t mask) {
    return std::popcount(mask);
}

int LowestBit(uint32_t mask) {
    return mask == 0 ? 0 : std::countr_zero(mask);
}

const DDPIXELFORMAT* ChooseAlphaTextureFormat(IDirect3DDevice7* device, uint32_t bitCount,
                                              bool enumerateAgain) {
    if (!gCache.asked || gCache.bitCount != bitCount || enumerateAgain) {
        gCache = TAlphaFormatCache{};
        gCache.bitCount = bitCount;
        if (device != nullptr) {
            device->EnumTextureFormats(Consider, &gCache);
            gCache.asked = true;
        }
    }
    return gCache.found ? &gCache.format : nullptr;
}

void ForgetAlphaTextureFormat() {
    gCache = TAlphaFormatCache{};
}
