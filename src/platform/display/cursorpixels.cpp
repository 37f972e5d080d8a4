#include "platform/display/cursorpixels.h"

#include <bit>
#include <cstring>

namespace {

// ((alpha x component) >> (16 - n)) moved to the channel's place.
uint16_t NarrowTerm(uint32_t alpha, uint32_t component, uint32_t mask) {
    if (mask == 0) return 0;
    int bits = std::popcount(mask);
    int shift = std::countr_zero(mask);
    uint32_t term = (alpha * component) >> (16 - bits);
    return static_cast<uint16_t>((term << shift) & mask);
}

uint32_t BlendNarrowChannel(uint32_t pixel, uint32_t mask, uint32_t inverse, uint32_t term) {
    return ((((pixel & mask) * inverse) >> 8) + term) & mask;
}

}  // namespace

TCursorPixelFormat TCursorPixelFormat::From(const DDPIXELFORMAT& format) {
    TCursorPixelFormat result;
    result.bitCount = static_cast<int>(format.dwRGBBitCount);
    result.redMask = format.dwRBitMask;
    result.greenMask = format.dwGBitMask;
    result.blueMask = format.dwBBitMask;
    return result;
}

std::vector<TCursorRun> BuildCursorRuns(const uint32_t* pixels, int pitch, int width, int height,
                                        const TCursorPixelFormat& format) {
    std::vector<TCursorRun> runs;
    const bool wide = format.bitCount == 24 || format.bitCount == 32;
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<long>(y) * pitch;
        TCursorRun* open = nullptr;
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = row[x];
            uint32_t alpha = pixel >> 24;
            if (alpha == 0) {
                open = nullptr;
                continue;
            }
            if (open == nullptr) {
                runs.push_back(TCursorRun{static_cast<uint16_t>(x), static_cast<uint16_t>(y), {}});
                open = &runs.back();
            }
            uint32_t red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
            TCursorRunPixel run{};
            if (wide) {
                run.red = static_cast<uint16_t>(alpha * red);
                run.green = static_cast<uint16_t>(alpha * green);
                run.blue = static_cast<uint16_t>(alpha * blue);
            } else {
                run.red = NarrowTerm(alpha, red, format.redMask);
                run.green = NarrowTerm(alpha, green, format.greenMask);
                run.blue = NarrowTerm(alpha, blue, format.blueMask);
            }
            run.inverseAlpha = static_cast<uint16_t>(255 - alpha);
            open->pixels.push_back(run);
        }
    }
    return runs;
}

void BlendCursorRuns(const std::vector<TCursorRun>& runs, uint8_t* bits, long pitchBytes,
                     const TCursorPixelFormat& format, const RECT& clip) {
    const int bytes = format.bitCount / 8;
    if (format.bitCount != 15 && format.bitCount != 16 && format.bitCount != 24 &&
        format.bitCount != 32) {
        return;
    }
    for (const TCursorRun& run : runs) {
        if (run.y < clip.top || run.y >= clip.bottom) continue;
        uint8_t* row = bits + static_cast<long>(run.y) * pitchBytes;
        for (size_t i = 0; i < run.pixels.size(); ++i) {
            long x = static_cast<long>(run.x) + static_cast<long>(i);
            if (x < clip.left || x >= clip.right) continue;
            const TCursorRunPixel& term = run.pixels[i];
            const uint32_t inverse = term.inverseAlpha;
            if (bytes >= 3) {
                uint8_t* pixel = row + x * bytes;
                pixel[0] = static_cast<uint8_t>((pixel[0] * inverse + term.blue) >> 8);
                pixel[1] = static_cast<uint8_t>((pixel[1] * inverse + term.green) >> 8);
                pixel[2] = static_cast<uint8_t>((pixel[2] * inverse + term.red) >> 8);
            } else {
                uint16_t value16 = 0;
                std::memcpy(&value16, row + x * 2, sizeof value16);
                const uint32_t value = value16;
                value16 = static_cast<uint16_t>(
                    BlendNarrowChannel(value, format.redMask, inverse, term.red) |
                    BlendNarrowChannel(value, format.greenMask, inverse, term.green) |
                    BlendNarrowChannel(value, format.blueMask, inverse, term.blue));
                std::memcpy(row + x * 2, &value16, sizeof value16);
            }
        }
    }
}
