#include "raster/pixelformat.h"

#include <bit>

namespace raster {

const TFormatInfo& GetFormatInfo(TPixelFormat format) {
    static const TFormatInfo kUnknown{0, 0, 0, 0, 0, 0, false};
    static const TFormatInfo kA8R8G8B8{4,          32,         0x00FF0000, 0x0000FF00,
                                       0x000000FF, 0xFF000000, false};
    static const TFormatInfo kX8R8G8B8{4, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0, false};
    static const TFormatInfo kR5G6B5{2, 16, 0xF800, 0x07E0, 0x001F, 0, false};
    static const TFormatInfo kX1R5G5B5{2, 16, 0x7C00, 0x03E0, 0x001F, 0, false};
    static const TFormatInfo kA4R4G4B4{2, 16, 0x0F00, 0x00F0, 0x000F, 0xF000, false};
    static const TFormatInfo kD16{2, 16, 0, 0, 0, 0, true};
    static const TFormatInfo kR8G8B8{3, 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0, false};
    switch (format) {
        case TPixelFormat::A8R8G8B8:
            return kA8R8G8B8;
        case TPixelFormat::X8R8G8B8:
            return kX8R8G8B8;
        case TPixelFormat::R5G6B5:
            return kR5G6B5;
        case TPixelFormat::X1R5G5B5:
            return kX1R5G5B5;
        case TPixelFormat::A4R4G4B4:
            return kA4R4G4B4;
        case TPixelFormat::D16:
            return kD16;
        case TPixelFormat::R8G8B8:
            return kR8G8B8;
        default:
            return kUnknown;
    }
}

uint32_t PackColor(TPixelFormat format, uint32_t color) {
    uint8_t bytes[4] = {0, 0, 0, 0};
    EncodePixel(format, color, bytes);
    return Load32(bytes);
}

namespace {

// (pixel AND mask) moved so that the mask's top bit lands on bit 7.
uint32_t ChannelTopAligned(uint32_t pixel, uint32_t mask) {
    if (mask == 0) return 0;
    int low = std::countr_zero(mask);
    int bits = std::popcount(mask);
    int shift = low + bits - 8;
    uint32_t value = pixel & mask;
    return (shift >= 0 ? value >> shift : value << -shift) & 0xFF;
}

}  // namespace

uint32_t ReadBackColor(TPixelFormat format, uint32_t pixel) {
    const TFormatInfo& info = GetFormatInfo(format);
    if (info.bitCount == 0 || info.isDepth) return 0;
    uint32_t a = info.alphaMask ? ChannelTopAligned(pixel, info.alphaMask) : 0xFF;
    return a << 24 | ChannelTopAligned(pixel, info.redMask) << 16 |
           ChannelTopAligned(pixel, info.greenMask) << 8 | ChannelTopAligned(pixel, info.blueMask);
}

}  // namespace raster
