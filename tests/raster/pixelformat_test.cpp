// Conversions between the pixel formats and 0xAARRGGBB, checked over every value.
#include "raster/pixelformat.h"

#include <gtest/gtest.h>

namespace raster {
namespace {

uint32_t Replicate(uint32_t v, int bits) {
    // The top `bits` bits of an 8-bit channel hold v; the pattern repeats into the rest.
    uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += bits)
        out |= v << (8 - bits) >> filled;
    return out & 0xFF;
}

TEST(PixelFormat, Every565ValueSurvivesTheRoundTripAndExpandsByReplication) {
    for (uint32_t p = 0; p < 65536; ++p) {
        uint32_t c = Decode565(p);
        ASSERT_EQ(c >> 24, 255u) << p;
        ASSERT_EQ(c >> 16 & 0xFF, Replicate(p >> 11, 5)) << p;
        ASSERT_EQ(c >> 8 & 0xFF, Replicate(p >> 5 & 63, 6)) << p;
        ASSERT_EQ(c & 0xFF, Replicate(p & 31, 5)) << p;
        ASSERT_EQ(Encode565(c), p);
    }
    EXPECT_EQ(Decode565(0xFFFF), 0xFFFFFFFFu);
}

TEST(PixelFormat, Every4444And1555ValueSurvivesTheRoundTrip) {
    for (uint32_t p = 0; p < 65536; ++p) {
        uint32_t c = Decode4444(p);
        ASSERT_EQ(c, (p >> 12) * 17 << 24 | (p >> 8 & 15) * 17 << 16 | (p >> 4 & 15) * 17 << 8 |
                         (p & 15) * 17);
        ASSERT_EQ(Encode4444(c), p);
        ASSERT_EQ(Encode1555(Decode1555(p)), p | 0x8000);
    }
}

TEST(PixelFormat, WritingKeepsTheTopBitsOfEachChannel) {
    // Truncation, not rounding: 0x07 becomes 0 in five bits, 0xF8..0xFF become 31.
    for (uint32_t v = 0; v < 256; ++v) {
        uint32_t c = 0xFF000000u | v << 16 | v << 8 | v;
        ASSERT_EQ(Encode565(c), (v >> 3) << 11 | (v >> 2) << 5 | v >> 3);
        ASSERT_EQ(Encode4444(v << 24 | v << 16 | v << 8 | v) & 0xF000, (v >> 4) << 12);
    }
    uint8_t bytes[4];
    EncodePixel(TPixelFormat::X8R8G8B8, 0x00123456, bytes);
    EXPECT_EQ(Load32(bytes), 0xFF123456u);  // alpha bits of an X format are stored as ones
    EXPECT_EQ(PackColor(TPixelFormat::X1R5G5B5, 0), 0x8000u);
    EXPECT_EQ(PackColor(TPixelFormat::R5G6B5, 0xFFFF0000u), 0xF800u);
}

TEST(PixelFormat, ReadBackPutsFiveBitsInTheTopOfTheByte) {
    struct Case {
        TPixelFormat format;
        uint32_t pixel;
        uint32_t expected;
    } cases[] = {
        {TPixelFormat::R5G6B5, 0xFFFF, 0xFFF8FCF8},
        {TPixelFormat::R5G6B5, 0x0821, 0xFF080408},
        {TPixelFormat::X1R5G5B5, 0xFFFF, 0xFFF8F8F8},
        {TPixelFormat::A4R4G4B4, 0xF1E2, 0xF010E020},
        {TPixelFormat::X8R8G8B8, 0x00ABCDEF, 0xFFABCDEF},
        {TPixelFormat::A8R8G8B8, 0x12ABCDEF, 0x12ABCDEF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadBackColor(c.format, c.pixel), c.expected);
}

TEST(PixelFormat, FormatInfoDescribesTheMasks) {
    const TFormatInfo& f565 = GetFormatInfo(TPixelFormat::R5G6B5);
    EXPECT_EQ(f565.bitCount, 16);
    EXPECT_EQ(f565.redMask, 0xF800u);
    EXPECT_EQ(GetFormatInfo(TPixelFormat::A4R4G4B4).alphaMask, 0xF000u);
    EXPECT_EQ(GetFormatInfo(TPixelFormat::X8R8G8B8).alphaMask, 0u);
    EXPECT_TRUE(GetFormatInfo(TPixelFormat::D16).isDepth);
    EXPECT_EQ(GetFormatInfo(TPixelFormat::Unknown).bytesPerPixel, 0);
}

}  // namespace
}  // namespace raster
