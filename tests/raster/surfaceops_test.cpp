// The surface utilities: fills, converting and scaled copies, red to alpha, make opaque, mip
// levels, read-back and write-in.
#include "raster/surfaceops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace raster {
namespace {

TSurface Make(int w, int h, TPixelFormat format) {
    TSurface s;
    EXPECT_TRUE(s.Create(w, h, format));
    return s;
}

// A recognisable pattern: every pixel different.
uint32_t Pattern(int x, int y) {
    return 0x80000000u | static_cast<uint32_t>(x * 37 + y * 11) << 16 |
           static_cast<uint32_t>(x * 5 + y * 101) << 8 | static_cast<uint32_t>(x * 71 + y * 3);
}

void Paint(TSurface& s) {
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x)
            s.SetPixel(x, y, Pattern(x, y) & 0xFFFFFFFF);
    }
}

TEST(Surface, CreateRefusesBadSizesAndFormats) {
    TSurface s;
    EXPECT_FALSE(s.Create(0, 4, TPixelFormat::A8R8G8B8));
    EXPECT_FALSE(s.Create(4, TSurface::kMaxSide + 1, TPixelFormat::A8R8G8B8));
    EXPECT_FALSE(s.Create(4, 4, TPixelFormat::Unknown));
    EXPECT_TRUE(s.IsEmpty());
    ASSERT_TRUE(s.Create(3, 2, TPixelFormat::R5G6B5));
    EXPECT_EQ(s.Pitch(), 8);  // 6 bytes rounded up to 4
    EXPECT_EQ(s.Row(1)[0], 0);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(s.Pixels()) % 64, 0u);
}

TEST(SurfaceOps, FillConvertsTheColourAndClipsTheRectangle) {
    struct Case {
        TPixelFormat format;
        uint32_t color;
        uint32_t expected;  // what GetPixel returns
    } cases[] = {
        {TPixelFormat::A8R8G8B8, 0x80FF4020, 0x80FF4020},
        {TPixelFormat::X8R8G8B8, 0x00FF4020, 0xFFFF4020},
        {TPixelFormat::R5G6B5, 0x80FF4020, 0xFFFF4121},
        {TPixelFormat::A4R4G4B4, 0x80FF4020, 0x88FF4422},
        {TPixelFormat::X1R5G5B5, 0xFF0F0F0F, 0xFF080808},
    };
    for (const Case& c : cases) {
        TSurface s = Make(8, 6, c.format);
        Fill(s, TRect{-5, 4, 3, 100}, c.color);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                bool inside = x < 3 && y >= 4;
                uint32_t zero = DecodePixel(c.format, std::vector<uint8_t>(4, 0).data());
                ASSERT_EQ(s.GetPixel(x, y), inside ? c.expected : zero)
                    << int(c.format) << " " << x << "," << y;
            }
        }
    }
    TSurface depth = Make(4, 4, TPixelFormat::D16);
    FillRaw(depth, SurfaceRect(depth), 65535);
    EXPECT_EQ(Load16(depth.At(3, 3)), 65535u);
}

TEST(SurfaceOps, CopyRectConvertsBetweenFormats) {
    TSurface src = Make(5, 4, TPixelFormat::A8R8G8B8);
    Paint(src);
    for (TPixelFormat to : {TPixelFormat::X8R8G8B8, TPixelFormat::R5G6B5, TPixelFormat::A4R4G4B4,
                            TPixelFormat::A8R8G8B8}) {
        TSurface dst = Make(6, 6, to);
        CopyRect(src, TRect{1, 1, 4, 3}, dst, 2, 3);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                uint8_t raw[4] = {};
                EncodePixel(to, src.GetPixel(1 + x, 1 + y), raw);
                ASSERT_EQ(dst.GetPixel(2 + x, 3 + y), DecodePixel(to, raw));
            }
        }
        EXPECT_EQ(Load32(dst.At(0, 0)) & (to == TPixelFormat::A8R8G8B8 ? ~0u : 0xFFFFu), 0u);
    }
    // 565 up to 8888 replicates: white stays white.
    TSurface low = Make(1, 1, TPixelFormat::R5G6B5);
    Fill(low, SurfaceRect(low), 0xFFFFFFFF);
    TSurface high = Make(1, 1, TPixelFormat::A8R8G8B8);
    CopyRect(low, SurfaceRect(low), high, 0, 0);
    EXPECT_EQ(high.GetPixel(0, 0), 0xFFFFFFFFu);
}

TEST(SurfaceOps, CopyRectClipsBothSidesAndHandlesOverlap) {
    TSurface src = Make(4, 4, TPixelFormat::A8R8G8B8);
    Paint(src);
    TSurface dst = Make(4, 4, TPixelFormat::A8R8G8B8);
    CopyRect(src, TRect{-2, -1, 3, 3}, dst, -1, 0);
    // Source (0,0) went to (-1 + 2, 0 + 1) = (1, 1); source column 0..2 to 1..3.
    EXPECT_EQ(dst.GetPixel(1, 1), src.GetPixel(0, 0));
    EXPECT_EQ(dst.GetPixel(3, 3), src.GetPixel(2, 2));
    EXPECT_EQ(dst.GetPixel(0, 1), 0u);
    CopyRect(src, TRect{0, 0, 4, 4}, dst, 1 << 30, 0);  // far outside: nothing, no overflow
    CopyRect(src, TRect{-2147483647, 0, 2147483647, 4}, dst, 0, 0);

    // Overlapping copy within one surface reads the old pixels.
    TSurface self = Make(6, 6, TPixelFormat::R5G6B5);
    Paint(self);
    std::vector<uint32_t> before;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x)
            before.push_back(self.GetPixel(x, y));
    }
    CopyRect(self, TRect{0, 0, 4, 4}, self, 1, 2);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(self.GetPixel(1 + x, 2 + y), before[y * 6 + x]);
    }
}

TEST(SurfaceOps, StretchRectPicksTheSourcePixelUnderEachCentre) {
    TSurface src = Make(4, 2, TPixelFormat::A8R8G8B8);
    Paint(src);
    TSurface dst = Make(10, 6, TPixelFormat::A8R8G8B8);
    ASSERT_TRUE(StretchRect(src, TRect{0, 0, 4, 2}, dst, TRect{-2, 1, 8, 6}));
    for (int y = 1; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            int i = x + 2, j = y - 1;
            int sx = (2 * i + 1) * 4 / 20;
            int sy = (2 * j + 1) * 2 / 10;
            ASSERT_EQ(dst.GetPixel(x, y), src.GetPixel(sx, sy)) << x << "," << y;
        }
    }
    EXPECT_EQ(dst.GetPixel(8, 1), 0u);
    EXPECT_FALSE(StretchRect(src, TRect{0, 0, 5, 2}, dst, TRect{0, 0, 4, 4}));
    EXPECT_FALSE(StretchRect(dst, TRect{0, 0, 2, 2}, dst, TRect{0, 0, 4, 4}));

    // A destination spanning the whole coordinate range: the mapping is worked out in 64 bits.
    ASSERT_TRUE(StretchRect(src, TRect{0, 0, 4, 2}, dst,
                            TRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}));
    int64_t span = int64_t{INT32_MAX} - INT32_MIN;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 10; ++x) {
            int64_t i = int64_t{x} - INT32_MIN, j = int64_t{y} - INT32_MIN;
            int sx = static_cast<int>((2 * i + 1) * 4 / (2 * span));
            int sy = static_cast<int>((2 * j + 1) * 2 / (2 * span));
            ASSERT_EQ(dst.GetPixel(x, y), src.GetPixel(sx, sy)) << x << "," << y;
        }
    }
}

TEST(SurfaceOps, RedBecomesAlphaAndMakeOpaqueSetsAlpha) {
    TSurface grey = Make(3, 1, TPixelFormat::R5G6B5);
    grey.SetPixel(0, 0, 0xFFFFFFFF);
    grey.SetPixel(1, 0, 0xFF808080);
    grey.SetPixel(2, 0, 0xFF000000);
    TSurface tex = Make(3, 1, TPixelFormat::A8R8G8B8);
    Fill(tex, SurfaceRect(tex), 0x00123456);
    RedToAlpha(grey, SurfaceRect(grey), tex, 0, 0);
    // The red channel is taken with the zero-fill rule: 31 reads 248.
    EXPECT_EQ(tex.GetPixel(0, 0), 0xF8123456u);
    EXPECT_EQ(tex.GetPixel(1, 0), 0x80123456u);
    EXPECT_EQ(tex.GetPixel(2, 0), 0x00123456u);

    TSurface small = Make(2, 1, TPixelFormat::A4R4G4B4);
    RedToAlpha(grey, SurfaceRect(grey), small, 0, 0);
    EXPECT_EQ(Load16(small.At(0, 0)), 0xF000u);
    MakeOpaque(tex, TRect{1, 0, 2, 1});
    EXPECT_EQ(tex.GetPixel(1, 0), 0xFF123456u);
    EXPECT_EQ(tex.GetPixel(2, 0), 0x00123456u);
    MakeOpaque(small, SurfaceRect(small));
    EXPECT_EQ(Load16(small.At(1, 0)) & 0xF000, 0xF000u);
}

TEST(SurfaceOps, MipLevelsAverageTwoByTwoBlocks) {
    TSurface levels[3];
    ASSERT_TRUE(levels[0].Create(4, 2, TPixelFormat::A8R8G8B8));
    ASSERT_TRUE(levels[1].Create(2, 1, TPixelFormat::A8R8G8B8));
    ASSERT_TRUE(levels[2].Create(1, 1, TPixelFormat::A8R8G8B8));
    uint32_t px[2][4] = {{0xFF000000, 0xFF0000FF, 0x00FFFFFF, 0x10203040},
                         {0xFF000001, 0xFF000003, 0x00FFFFFF, 0x10203040}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x)
            levels[0].SetPixel(x, y, px[y][x]);
    }
    BuildMipChain(levels, 3);
    // Blue of the first block: (0 + 255 + 1 + 3 + 2) / 4 = 65; the 1x1 level clamps its rows.
    EXPECT_EQ(levels[1].GetPixel(0, 0), 0xFF000041u);
    EXPECT_EQ(levels[1].GetPixel(1, 0), 0x089098A0u);
    EXPECT_EQ(levels[2].GetPixel(0, 0), 0x84484C71u);
}

TEST(SurfaceOps, NearestMipLevelsTakeTheTopLeftOfEachBlock) {
    // Halves, odd sides (the last block is cut short) and one-pixel sides that clamp.
    struct Case {
        int sw, sh, dw, dh;
    };
    for (Case c : {Case{8, 8, 4, 4}, Case{5, 3, 2, 1}, Case{1, 4, 1, 2}, Case{3, 1, 2, 1}}) {
        TSurface source = Make(c.sw, c.sh, TPixelFormat::X8R8G8B8);
        Paint(source);
        // The X byte is copied as stored between surfaces of one format.
        Store32(source.At(0, 0), 0x12345678);
        TSurface same = Make(c.dw, c.dh, TPixelFormat::X8R8G8B8);
        TSurface other = Make(c.dw, c.dh, TPixelFormat::R5G6B5);
        BuildMipLevel(source, same, TMipReduce::Nearest);
        BuildMipLevel(source, other, TMipReduce::Nearest);
        for (int y = 0; y < c.dh; ++y) {
            for (int x = 0; x < c.dw; ++x) {
                int sx = std::min(2 * x, c.sw - 1), sy = std::min(2 * y, c.sh - 1);
                EXPECT_EQ(Load32(same.At(x, y)), Load32(source.At(sx, sy)))
                    << c.sw << "x" << c.sh << " at " << x << "," << y;
                // Between formats, the pixel converts as a copy converts it.
                TSurface one = Make(1, 1, TPixelFormat::R5G6B5);
                CopyRect(source, TRect{sx, sy, sx + 1, sy + 1}, one, 0, 0);
                EXPECT_EQ(Load16(other.At(x, y)), Load16(one.At(0, 0)));
            }
        }
    }
    // Down a chain, level k holds the top level's pixels at multiples of 2^k; the box filter
    // gives something else on this pattern.
    TSurface levels[4] = {Make(8, 8, TPixelFormat::A8R8G8B8), Make(4, 4, TPixelFormat::A8R8G8B8),
                          Make(2, 2, TPixelFormat::A8R8G8B8), Make(1, 1, TPixelFormat::A8R8G8B8)};
    Paint(levels[0]);
    BuildMipChain(levels, 4, TMipReduce::Nearest);
    for (int k = 1; k < 4; ++k) {
        for (int y = 0; y < levels[k].Height(); ++y) {
            for (int x = 0; x < levels[k].Width(); ++x)
                EXPECT_EQ(levels[k].GetPixel(x, y), levels[0].GetPixel(x << k, y << k));
        }
    }
    TSurface box = Make(4, 4, TPixelFormat::A8R8G8B8);
    BuildMipLevel(levels[0], box);
    EXPECT_NE(box.GetPixel(1, 1), levels[1].GetPixel(1, 1));
}

TEST(SurfaceOps, ReadAndWritePixelsFollowTheRulesOfTheirDirection) {
    TSurface s = Make(2, 2, TPixelFormat::R5G6B5);
    uint32_t in[4] = {0xFFFFFFFF, 0xFF070307, 0x00808080, 0xFF0F0F0F};
    WritePixels(s, TRect{0, 0, 2, 2}, in, 2);
    uint32_t out[9] = {};
    ReadPixels(s, TRect{-1, 0, 2, 3}, out, 3);  // column -1 and row 2 lie outside
    EXPECT_EQ(out[0], 0u);
    EXPECT_EQ(out[1], 0xFFF8FCF8u);  // read-back leaves the low bits 0
    EXPECT_EQ(out[2], 0xFF000000u);  // 0x07 truncates to 0
    EXPECT_EQ(out[4], 0xFF808080u);
    EXPECT_EQ(out[5], 0xFF080C08u);
    EXPECT_EQ(out[7], 0u);

    TSurface a = Make(1, 1, TPixelFormat::A4R4G4B4);
    uint32_t one = 0x7FFFFFFF;
    WritePixels(a, TRect{0, 0, 1, 1}, &one, 1);
    ReadPixels(a, TRect{0, 0, 1, 1}, out, 1);
    EXPECT_EQ(out[0], 0x70F0F0F0u);
}

}  // namespace
}  // namespace raster
