// The software cursor's arithmetic on plain buffers in every depth it draws in, the 24- and
// 15-bit ones included (no device renders into 24 bits and no display mode offers 555): runs
// split at transparent pixels, terms premultiplied for the format, the blend to the byte.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/display/cursorpixels.h"

namespace {

constexpr uint32_t kAlpha128 = 0x80000000u;

// A 4 x 4 image with alpha 128 and colours that differ per pixel.
std::vector<uint32_t> Image4x4() {
    std::vector<uint32_t> pixels(16);
    for (int i = 0; i < 16; ++i)
        pixels[i] = kAlpha128 | static_cast<uint32_t>(i * 16 + 5) << 16 |
                    static_cast<uint32_t>(250 - i * 7) << 8 | static_cast<uint32_t>(i * 3 + 100);
    return pixels;
}

uint32_t Channel(uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFF;
}

TEST(CursorPixels, RunsSplitAtTransparentPixels) {
    // Row 0: two runs; row 1: nothing; row 2: one run reaching the right edge.
    const uint32_t pixels[] = {
        0xFF000000, 0x00FFFFFF, 0x01102030, 0x80FFFFFF,  //
        0x00000000, 0x00000000, 0x00000000, 0x00000000,  //
        0x00000000, 0x00000000, 0xFFFFFFFF, 0xFFFFFFFF,
    };
    TCursorPixelFormat format{32, 0xFF0000, 0xFF00, 0xFF};
    std::vector<TCursorRun> runs = BuildCursorRuns(pixels, 4, 4, 3, format);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].x, 0);
    EXPECT_EQ(runs[0].y, 0);
    EXPECT_EQ(runs[0].pixels.size(), 1u);
    EXPECT_EQ(runs[0].pixels[0].inverseAlpha, 0);
    EXPECT_EQ(runs[1].x, 2);
    EXPECT_EQ(runs[1].pixels.size(), 2u);
    EXPECT_EQ(runs[1].pixels[0].red, 0x10);   // 1 x 0x10
    EXPECT_EQ(runs[1].pixels[0].blue, 0x30);  // 1 x 0x30
    EXPECT_EQ(runs[1].pixels[0].inverseAlpha, 254);
    EXPECT_EQ(runs[1].pixels[1].green, 128 * 255);
    EXPECT_EQ(runs[2].x, 2);
    EXPECT_EQ(runs[2].y, 2);
    EXPECT_EQ(runs[2].pixels.size(), 2u);
}

TEST(CursorPixels, NarrowTermsSitInTheirChannel) {
    const uint32_t white = 0xFFFFFFFF;
    const uint32_t half = 0x80FF8040;
    struct Case {
        TCursorPixelFormat format;
        uint32_t pixel;
        uint16_t red, green, blue;
    } cases[] = {
        // 565: (255 x 255) >> 11 = 31, >> 10 = 63.
        {{16, 0xF800, 0x07E0, 0x001F}, white, 31 << 11, 63 << 5, 31},
        // 555 of a half-transparent pixel: (128 x 255) >> 11 = 15, (128 x 128) >> 11 = 8,
        // (128 x 64) >> 11 = 4.
        {{16, 0x7C00, 0x03E0, 0x001F}, half, 15 << 10, 8 << 5, 4},
    };
    for (const Case& c : cases) {
        std::vector<TCursorRun> runs = BuildCursorRuns(&c.pixel, 1, 1, 1, c.format);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].pixels[0].red, c.red);
        EXPECT_EQ(runs[0].pixels[0].green, c.green);
        EXPECT_EQ(runs[0].pixels[0].blue, c.blue);
    }
}

// A 4 x 4 image with alpha 128 over a known background equals the formula to the byte.
TEST(CursorPixels, WideBlendEqualsTheFormulaAt24And32Bits) {
    for (int bits : {24, 32}) {
        SCOPED_TRACE(bits);
        const int bytes = bits / 8;
        const long pitch = 4 * bytes + 3;  // rows padded, as surfaces may be
        std::vector<uint8_t> memory(static_cast<size_t>(pitch) * 4);
        for (size_t i = 0; i < memory.size(); ++i)
            memory[i] = static_cast<uint8_t>(i * 13 + 7);
        const std::vector<uint8_t> background = memory;
        const std::vector<uint32_t> image = Image4x4();
        TCursorPixelFormat format{bits, 0xFF0000, 0xFF00, 0xFF};
        std::vector<TCursorRun> runs = BuildCursorRuns(image.data(), 4, 4, 4, format);
        BlendCursorRuns(runs, memory.data(), pitch, format, RECT{0, 0, 4, 4});
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const uint32_t pixel = image[y * 4 + x];
                const size_t at = static_cast<size_t>(y * pitch + x * bytes);
                const int shifts[3] = {0, 8, 16};  // blue, green, red bytes
                for (int b = 0; b < 3; ++b) {
                    uint32_t expected =
                        (background[at + b] * 127u + 128u * Channel(pixel, shifts[b])) >> 8;
                    EXPECT_EQ(memory[at + b], expected) << x << "," << y << " byte " << b;
                }
                if (bits == 32) {
                    EXPECT_EQ(memory[at + 3], background[at + 3]);
                }
            }
            // The padding after the row is not touched.
            for (long p = 4 * bytes; p < pitch; ++p)
                EXPECT_EQ(memory[y * pitch + p], background[y * pitch + p]);
        }
    }
}

TEST(CursorPixels, NarrowBlendEqualsTheFormulaAt15And16Bits) {
    struct Masks {
        uint32_t red, green, blue;
        int redBits, greenBits, blueBits;
    } table[] = {{0xF800, 0x07E0, 0x001F, 5, 6, 5}, {0x7C00, 0x03E0, 0x001F, 5, 5, 5}};
    for (const Masks& m : table) {
        SCOPED_TRACE(m.green);
        std::vector<uint16_t> memory(16);
        for (int i = 0; i < 16; ++i)
            memory[i] = static_cast<uint16_t>(0x1234 + i * 0x0F31);
        const std::vector<uint16_t> background = memory;
        const std::vector<uint32_t> image = Image4x4();
        TCursorPixelFormat format{16, m.red, m.green, m.blue};
        std::vector<TCursorRun> runs = BuildCursorRuns(image.data(), 4, 4, 4, format);
        BlendCursorRuns(runs, reinterpret_cast<uint8_t*>(memory.data()), 8, format,
                        RECT{0, 0, 4, 4});
        for (int i = 0; i < 16; ++i) {
            const uint32_t pixel = image[i], dst = background[i];
            auto channel = [&](uint32_t mask, int bits, int shift, int component) {
                uint32_t term = ((128u * Channel(pixel, component)) >> (16 - bits)) << shift;
                return ((((dst & mask) * 127u) >> 8) + term) & mask;
            };
            const int greenShift = 5;
            const int redShift = m.greenBits == 6 ? 11 : 10;
            uint32_t expected = channel(m.red, m.redBits, redShift, 16) |
                                channel(m.green, m.greenBits, greenShift, 8) |
                                channel(m.blue, m.blueBits, 0, 0);
            EXPECT_EQ(memory[i], expected) << i;
        }
    }
}

TEST(CursorPixels, OnlyTheClipRectangleIsBlendedAndOtherDepthsDrawNothing) {
    std::vector<uint32_t> image(16, 0xFFFFFFFF);
    TCursorPixelFormat format{32, 0xFF0000, 0xFF00, 0xFF};
    std::vector<TCursorRun> runs = BuildCursorRuns(image.data(), 4, 4, 4, format);
    std::vector<uint32_t> memory(16, 0);
    BlendCursorRuns(runs, reinterpret_cast<uint8_t*>(memory.data()), 16, format, RECT{1, 2, 3, 4});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            bool inside = x >= 1 && x < 3 && y >= 2;
            EXPECT_EQ(memory[y * 4 + x] & 0xFFFFFF, inside ? 0xFEFEFEu : 0u) << x << "," << y;
        }

    std::vector<uint8_t> eight(16, 0x55);
    TCursorPixelFormat palettised{8, 0, 0, 0};
    BlendCursorRuns(BuildCursorRuns(image.data(), 4, 4, 4, palettised), eight.data(), 4, palettised,
                    RECT{0, 0, 4, 4});
    EXPECT_EQ(eight, std::vector<uint8_t>(16, 0x55));
}

}  // namespace
