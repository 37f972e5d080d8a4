// Pixel formats of the rasterizer's surfaces, and the exact rules by which a pixel of each format
// turns into 8-bit channels and back.
//
// Colours travel between the formats as one 32-bit word 0xAARRGGBB (bytes blue, green, red,
// alpha in memory on this little-endian machine).
//
// Two expansions from n-bit channels to 8 bits exist, for two different callers:
//   - Replication, used wherever the rasterizer itself reads a pixel (texture sampling, blending
//     with the target, format-converting copies): the n bits are repeated into the low bits, so
//     0 stays 0 and the largest n-bit value becomes 255. 5 bits: v << 3 | v >> 2; 6 bits:
//     v << 2 | v >> 4; 4 bits: v * 17; 1 bit: 0 or 255.
//   - Zero fill, used by read-back (ReadPixels): the n bits land in the top n bits of the byte and
//     the low bits are 0, so a 5-bit 31 reads back as 248.
// One reduction from 8 bits to n bits is used for every write: the top n bits are kept
// (truncation; there is no rounding and no dithering). Formats without alpha bits ("X") store
// those bits as all ones and read their alpha as 255; R8G8B8 has no such bits and reads its alpha
// as 255 too. Copies between X8R8G8B8 and A8R8G8B8 may instead keep the words as they are
// (surfaceops.h, TXByte).
//
// Replication followed by truncation gives back the same n-bit value, so a 16-bit surface
// survives a round trip through 0xAARRGGBB unchanged.
//
// Pure functions; any thread may call them.
#pragma once

#include <cstdint>
#include <cstring>

namespace raster {

// Unaligned-safe loads and stores of 16- and 32-bit pixels.
inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline uint32_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
inline void Store32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}
inline void Store16(uint8_t* p, uint32_t v) {
    uint16_t w = static_cast<uint16_t>(v);
    std::memcpy(p, &w, 2);
}
// 24-bit pixels are three bytes, lowest first (blue, green, red for R8G8B8).
inline uint32_t Load24(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16;
}
inline void Store24(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
}
// The raw value of a pixel of 2, 3 or 4 bytes, and its store; other sizes read 0 and store
// nothing.
inline uint32_t LoadRaw(const uint8_t* p, int bytes) {
    switch (bytes) {
        case 4:
            return Load32(p);
        case 3:
            return Load24(p);
        case 2:
            return Load16(p);
        default:
            return 0;
    }
}
inline void StoreRaw(uint8_t* p, int bytes, uint32_t v) {
    switch (bytes) {
        case 4:
            Store32(p, v);
            break;
        case 3:
            Store24(p, v);
            break;
        case 2:
            Store16(p, v);
            break;
        default:
            break;
    }
}

enum class TPixelFormat : uint8_t {
    Unknown,
    A8R8G8B8,
    X8R8G8B8,
    R5G6B5,
    X1R5G5B5,
    A4R4G4B4,
    D16,  // 16-bit depth, 0 nearest, 65535 farthest
    // 24 bits, bytes blue, green, red. A format of the surface utilities only (display modes and
    // plain surfaces): the rasterizer neither draws into it nor samples it.
    R8G8B8,
};

// What the port layer needs to describe a format to its callers.
struct TFormatInfo {
    int bytesPerPixel;
    int bitCount;
    uint32_t redMask;
    uint32_t greenMask;
    uint32_t blueMask;
    uint32_t alphaMask;  // 0 for formats without alpha
    bool isDepth;
};

const TFormatInfo& GetFormatInfo(TPixelFormat format);

inline bool HasAlpha(TPixelFormat format) {
    return format == TPixelFormat::A8R8G8B8 || format == TPixelFormat::A4R4G4B4;
}
// A format with colour channels: the surface utilities fill, copy, read and write it.
inline bool IsColorFormat(TPixelFormat format) {
    return format != TPixelFormat::Unknown && format != TPixelFormat::D16;
}
// A format the rasterizer can draw into and sample from: every colour format but R8G8B8.
inline bool IsRenderFormat(TPixelFormat format) {
    return IsColorFormat(format) && format != TPixelFormat::R8G8B8;
}

// One n-bit channel to 8 bits by replication.
inline uint32_t Expand5(uint32_t v) {
    return (v << 3) | (v >> 2);
}
inline uint32_t Expand6(uint32_t v) {
    return (v << 2) | (v >> 4);
}
inline uint32_t Expand4(uint32_t v) {
    return v * 17;
}

// 16-bit pixels to 0xAARRGGBB by replication.
inline uint32_t Decode565(uint32_t p) {
    return 0xFF000000u | Expand5(p >> 11) << 16 | Expand6((p >> 5) & 63) << 8 | Expand5(p & 31);
}
inline uint32_t Decode1555(uint32_t p) {
    return 0xFF000000u | Expand5((p >> 10) & 31) << 16 | Expand5((p >> 5) & 31) << 8 |
           Expand5(p & 31);
}
inline uint32_t Decode4444(uint32_t p) {
    return Expand4(p >> 12) << 24 | Expand4((p >> 8) & 15) << 16 | Expand4((p >> 4) & 15) << 8 |
           Expand4(p & 15);
}

// 0xAARRGGBB to 16-bit pixels by truncation.
inline uint32_t Encode565(uint32_t c) {
    return (c >> 8 & 0xF800) | (c >> 5 & 0x07E0) | (c >> 3 & 0x001F);
}
inline uint32_t Encode1555(uint32_t c) {
    return 0x8000 | (c >> 9 & 0x7C00) | (c >> 6 & 0x03E0) | (c >> 3 & 0x001F);
}
inline uint32_t Encode4444(uint32_t c) {
    return (c >> 16 & 0xF000) | (c >> 12 & 0x0F00) | (c >> 8 & 0x00F0) | (c >> 4 & 0x000F);
}

// A pixel of a colour format at p, as 0xAARRGGBB by replication.
inline uint32_t DecodePixel(TPixelFormat format, const uint8_t* p) {
    switch (format) {
        case TPixelFormat::A8R8G8B8:
            return Load32(p);
        case TPixelFormat::X8R8G8B8:
            return Load32(p) | 0xFF000000u;
        case TPixelFormat::R8G8B8:
            return Load24(p) | 0xFF000000u;
        case TPixelFormat::R5G6B5:
            return Decode565(Load16(p));
        case TPixelFormat::X1R5G5B5:
            return Decode1555(Load16(p));
        case TPixelFormat::A4R4G4B4:
            return Decode4444(Load16(p));
        default:
            return 0;
    }
}

// Stores 0xAARRGGBB at p in a colour format by truncation.
inline void EncodePixel(TPixelFormat format, uint32_t color, uint8_t* p) {
    switch (format) {
        case TPixelFormat::A8R8G8B8:
            Store32(p, color);
            break;
        case TPixelFormat::X8R8G8B8:
            Store32(p, color | 0xFF000000u);
            break;
        case TPixelFormat::R8G8B8:
            Store24(p, color);
            break;
        case TPixelFormat::R5G6B5:
            Store16(p, Encode565(color));
            break;
        case TPixelFormat::X1R5G5B5:
            Store16(p, Encode1555(color));
            break;
        case TPixelFormat::A4R4G4B4:
            Store16(p, Encode4444(color));
            break;
        default:
            break;
    }
}

// The raw pixel value (low bytesPerPixel bytes) that EncodePixel would store.
uint32_t PackColor(TPixelFormat format, uint32_t color);

// Read-back of a raw pixel value by the zero-fill rule: each channel is (pixel AND mask) moved
// so that its top bit lands on bit 7 of its byte; alpha is 255 for formats without alpha.
uint32_t ReadBackColor(TPixelFormat format, uint32_t pixel);

}  // namespace raster
