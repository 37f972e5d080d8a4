// What the surfaces offer the DirectDraw layer beyond the rasterizer's own needs: row alignments,
// the 24-bit R8G8B8 format in the surface utilities, and copies that keep the X byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "raster/rasterizer.h"
#include "raster/surfaceops.h"

namespace raster {
namespace {

constexpr TPixelFormat kColorFormats[] = {
    TPixelFormat::A8R8G8B8, TPixelFormat::X8R8G8B8, TPixelFormat::R8G8B8,
    TPixelFormat::R5G6B5,   TPixelFormat::A4R4G4B4, TPixelFormat::X1R5G5B5,
};

TSurface Make(int w, int h, TPixelFormat format, int alignment = 4) {
    TSurface s;
    EXPECT_TRUE(s.Create(w, h, format, alignment));
    return s;
}

// Every stored byte of every row (padding included) from a simple generator, so that X bytes and
// X bits hold something other than ones.
void Scramble(TSurface& s, uint32_t seed) {
    for (int y = 0; y < s.Height(); ++y) {
        uint8_t* row = s.Row(y);
        for (int i = 0; i < s.Pitch(); ++i) {
            seed = seed * 1664525u + 1013904223u;
            row[i] = static_cast<uint8_t>(seed >> 24);
        }
    }
}

// The stored bytes of the pixels (not the padding).
std::vector<uint8_t> PixelBytes(const TSurface& s) {
    std::vector<uint8_t> out;
    for (int y = 0; y < s.Height(); ++y)
        out.insert(out.end(), s.Row(y), s.Row(y) + s.Width() * s.BytesPerPixel());
    return out;
}

const char* Name(TPixelFormat f) {
    switch (f) {
        case TPixelFormat::A8R8G8B8:
            return "A8R8G8B8";
        case TPixelFormat::X8R8G8B8:
            return "X8R8G8B8";
        case TPixelFormat::R8G8B8:
            return "R8G8B8";
        case TPixelFormat::R5G6B5:
            return "R5G6B5";
        case TPixelFormat::A4R4G4B4:
            return "A4R4G4B4";
        case TPixelFormat::X1R5G5B5:
            return "X1R5G5B5";
        default:
            return "?";
    }
}

TEST(SurfaceAlignment, PitchIsTheRowRoundedUpToTheAlignment) {
    struct Case {
        int width;
        TPixelFormat format;
        int alignment;
        int pitch;
    } cases[] = {
        {100, TPixelFormat::A8R8G8B8, 64, 448}, {64, TPixelFormat::X8R8G8B8, 64, 256},
        {1, TPixelFormat::R5G6B5, 64, 64},      {5, TPixelFormat::R8G8B8, 4, 16},
        {5, TPixelFormat::R8G8B8, 1, 15},       {5, TPixelFormat::R8G8B8, 2, 16},
        {3, TPixelFormat::R5G6B5, 4, 8},        {16384, TPixelFormat::A8R8G8B8, 4096, 65536},
    };
    for (const Case& c : cases) {
        TSurface s = Make(c.width, 3, c.format, c.alignment);
        EXPECT_EQ(s.Pitch(), c.pitch) << c.width << " " << Name(c.format) << " " << c.alignment;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(s.Pixels()) % 64, 0u);
        // Every row may be written to its full pitch (ASan watches the last one).
        for (int y = 0; y < s.Height(); ++y)
            std::memset(s.Row(y), 0x5A, static_cast<size_t>(s.Pitch()));
    }
    TSurface s;
    for (int bad : {0, -4, 3, 48, 8192})
        EXPECT_FALSE(s.Create(4, 4, TPixelFormat::A8R8G8B8, bad)) << bad;
    EXPECT_TRUE(s.IsEmpty());
}

TEST(Rgb24, PixelsAreThreeBytesBlueGreenRed) {
    const TFormatInfo& info = GetFormatInfo(TPixelFormat::R8G8B8);
    EXPECT_EQ(info.bytesPerPixel, 3);
    EXPECT_EQ(info.bitCount, 24);
    EXPECT_EQ(info.redMask, 0x00FF0000u);
    EXPECT_EQ(info.greenMask, 0x0000FF00u);
    EXPECT_EQ(info.blueMask, 0x000000FFu);
    EXPECT_EQ(info.alphaMask, 0u);
    EXPECT_TRUE(IsColorFormat(TPixelFormat::R8G8B8));
    EXPECT_FALSE(IsRenderFormat(TPixelFormat::R8G8B8));

    uint8_t bytes[4] = {0, 0, 0, 0x77};
    EncodePixel(TPixelFormat::R8G8B8, 0x80123456, bytes);
    EXPECT_EQ(bytes[0], 0x56);
    EXPECT_EQ(bytes[1], 0x34);
    EXPECT_EQ(bytes[2], 0x12);
    EXPECT_EQ(bytes[3], 0x77);  // the fourth byte belongs to the next pixel
    EXPECT_EQ(DecodePixel(TPixelFormat::R8G8B8, bytes), 0xFF123456u);
    EXPECT_EQ(PackColor(TPixelFormat::R8G8B8, 0x80123456), 0x123456u);
    EXPECT_EQ(ReadBackColor(TPixelFormat::R8G8B8, 0xABCDEF), 0xFFABCDEFu);
}

TEST(Rgb24, FillWritesThreeBytesAPixelInsideTheRectangleOnly) {
    TSurface s = Make(7, 4, TPixelFormat::R8G8B8);
    Scramble(s, 1);
    TSurface before = Make(7, 4, TPixelFormat::R8G8B8);
    Scramble(before, 1);
    FillRaw(s, TRect{2, 1, 5, 3}, 0xFFABCDEF);  // the raw value is masked to 24 bits
    Fill(s, TRect{-3, 3, 1, 9}, 0x80102030);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 7; ++x) {
            const uint8_t* p = s.At(x, y);
            if (x >= 2 && x < 5 && y >= 1 && y < 3) {
                EXPECT_EQ(Load24(p), 0xABCDEFu) << x << "," << y;
            } else if (x < 1 && y == 3) {
                EXPECT_EQ(Load24(p), 0x102030u);
            } else {
                EXPECT_EQ(Load24(p), Load24(before.At(x, y))) << x << "," << y;
            }
        }
        // The padding after the last pixel stays as it was.
        EXPECT_EQ(std::memcmp(s.At(7, y), before.At(7, y), s.Pitch() - 21), 0);
    }
}

TEST(Rgb24, CopiesAndReadBackFollowTheFormulas) {
    // Into R8G8B8 and out of it, from and to every colour format: each pixel goes through
    // 0xAARRGGBB by replication and is written by truncation.
    for (TPixelFormat other : kColorFormats) {
        for (bool into : {true, false}) {
            TPixelFormat from = into ? other : TPixelFormat::R8G8B8;
            TPixelFormat to = into ? TPixelFormat::R8G8B8 : other;
            TSurface src = Make(9, 5, from);
            Scramble(src, 7);
            TSurface dst = Make(9, 5, to);
            CopyRect(src, SurfaceRect(src), dst, 0, 0);
            for (int y = 0; y < 5; ++y) {
                for (int x = 0; x < 9; ++x) {
                    uint8_t expected[4] = {};
                    EncodePixel(to, DecodePixel(from, src.At(x, y)), expected);
                    if (from == to) std::memcpy(expected, src.At(x, y), 3);
                    ASSERT_EQ(std::memcmp(dst.At(x, y), expected, dst.BytesPerPixel()), 0)
                        << Name(from) << " to " << Name(to) << " " << x << "," << y;
                }
            }
        }
    }

    TSurface s = Make(2, 1, TPixelFormat::R8G8B8);
    uint32_t in[2] = {0x80123456, 0x00FEDCBA};
    WritePixels(s, TRect{0, 0, 2, 1}, in, 2);
    EXPECT_EQ(Load24(s.At(0, 0)), 0x123456u);
    EXPECT_EQ(Load24(s.At(1, 0)), 0xFEDCBAu);
    uint32_t out[3] = {};
    ReadPixels(s, TRect{0, 0, 3, 1}, out, 3);
    EXPECT_EQ(out[0], 0xFF123456u);
    EXPECT_EQ(out[1], 0xFFFEDCBAu);
    EXPECT_EQ(out[2], 0u);  // outside the surface: untouched
}

TEST(Rgb24, TheRasterizerNeitherDrawsIntoItNorSamplesIt) {
    TSurface target = Make(4, 4, TPixelFormat::R8G8B8);
    Scramble(target, 3);
    std::vector<uint8_t> before = PixelBytes(target);
    TRasterizer r;
    r.SetRenderTarget(&target);
    r.Viewport() = TViewport{0, 0, 4, 4, 0.0f, 1.0f};
    TTransformedVertex quad[4] = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                  {4, 0, 0, 1, 0xFFFFFFFF, 0, 1, 0},
                                  {4, 4, 0, 1, 0xFFFFFFFF, 0, 1, 1},
                                  {0, 4, 0, 1, 0xFFFFFFFF, 0, 0, 1}};
    EXPECT_FALSE(r.Draw(TPrimitive::TriangleFan, TVertexFormat::Transformed, quad, 4));
    r.Clear(kClearTarget, 0xFF00FF00, 1.0f);
    EXPECT_EQ(PixelBytes(target), before);

    TSurface texture = Make(4, 4, TPixelFormat::R8G8B8);
    r.SetTexture(&texture);
    EXPECT_FALSE(r.HasTexture());
}

TEST(Noise, NewMemoryLooksUsedAndDependsOnlyOnTheSeed) {
    TSurface a = Make(100, 7, TPixelFormat::R8G8B8, 64);
    TSurface b = Make(100, 7, TPixelFormat::R8G8B8, 64);
    TSurface c = Make(100, 7, TPixelFormat::R8G8B8, 64);
    FillNoise(a, 0);
    FillNoise(b, 0);
    FillNoise(c, 1);
    EXPECT_EQ(PixelBytes(a), PixelBytes(b));
    EXPECT_NE(PixelBytes(a), PixelBytes(c));
    int zeros = 0;
    for (uint8_t byte : PixelBytes(a))
        zeros += byte == 0;
    EXPECT_LT(zeros, 100 * 7 * 3 / 64);  // about 1 in 256 by chance
}

TEST(WordCopy, KeepCopiesTheWordsBetweenX8R8G8B8AndA8R8G8B8) {
    struct Case {
        TPixelFormat from, to;
        TXByte mode;
        uint32_t expected;  // the destination word for a source word 0x12ABCDEF
    } cases[] = {
        {TPixelFormat::X8R8G8B8, TPixelFormat::A8R8G8B8, TXByte::Keep, 0x12ABCDEF},
        {TPixelFormat::A8R8G8B8, TPixelFormat::X8R8G8B8, TXByte::Keep, 0x12ABCDEF},
        {TPixelFormat::X8R8G8B8, TPixelFormat::X8R8G8B8, TXByte::Keep, 0x12ABCDEF},
        {TPixelFormat::X8R8G8B8, TPixelFormat::A8R8G8B8, TXByte::Opaque, 0xFFABCDEF},
        {TPixelFormat::A8R8G8B8, TPixelFormat::X8R8G8B8, TXByte::Opaque, 0xFFABCDEF},
    };
    for (const Case& c : cases) {
        TSurface src = Make(3, 2, c.from);
        FillRaw(src, SurfaceRect(src), 0x12ABCDEF);
        for (bool stretch : {false, true}) {
            TSurface dst = Make(6, 4, c.to);
            if (stretch) {
                ASSERT_TRUE(StretchRect(src, SurfaceRect(src), dst, SurfaceRect(dst), c.mode));
            } else {
                CopyRect(src, SurfaceRect(src), dst, 1, 1, c.mode);
            }
            EXPECT_EQ(Load32(dst.At(2, 2)), c.expected)
                << Name(c.from) << " to " << Name(c.to) << (stretch ? " stretched" : "");
        }
    }
}

TEST(WordCopy, AOneToOneStretchGivesTheBytesOfThePlainCopy) {
    // StretchRect's per-pixel path against CopyRect's row copies and conversions, for every
    // pair of formats and both modes, on sources whose X bytes and X bits are not ones.
    for (TPixelFormat from : kColorFormats) {
        for (TPixelFormat to : kColorFormats) {
            for (TXByte mode : {TXByte::Opaque, TXByte::Keep}) {
                // Under Opaque only the plain copy keeps the X bits of a same-format copy.
                bool xBits = from == to &&
                             (from == TPixelFormat::X8R8G8B8 || from == TPixelFormat::X1R5G5B5);
                if (mode == TXByte::Opaque && xBits) continue;
                TSurface src = Make(37, 6, from);
                Scramble(src, 11);
                TSurface copied = Make(37, 6, to);
                TSurface stretched = Make(37, 6, to);
                CopyRect(src, SurfaceRect(src), copied, 0, 0, mode);
                ASSERT_TRUE(
                    StretchRect(src, SurfaceRect(src), stretched, SurfaceRect(stretched), mode));
                ASSERT_EQ(PixelBytes(copied), PixelBytes(stretched))
                    << Name(from) << " to " << Name(to) << " mode " << int(mode);
            }
        }
    }
}

TEST(WordCopy, ADoubleStretchTakesTheNearestWords) {
    TSurface src = Make(3, 2, TPixelFormat::X8R8G8B8);
    Scramble(src, 5);
    TSurface dst = Make(6, 4, TPixelFormat::A8R8G8B8);
    ASSERT_TRUE(StretchRect(src, SurfaceRect(src), dst, SurfaceRect(dst), TXByte::Keep));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(Load32(dst.At(x, y)), Load32(src.At(x / 2, y / 2))) << x << "," << y;
    }
}

TEST(StretchClip, AClipKeepsTheMappingOfTheWholeStretch) {
    TSurface src = Make(5, 3, TPixelFormat::A8R8G8B8);
    Scramble(src, 9);
    TSurface whole = Make(16, 12, TPixelFormat::A8R8G8B8);
    TSurface clipped = Make(16, 12, TPixelFormat::A8R8G8B8);
    FillRaw(whole, SurfaceRect(whole), 0);
    FillRaw(clipped, SurfaceRect(clipped), 0);
    TRect to{-3, 1, 14, 11};
    TRect clip{2, 3, 9, 40};
    ASSERT_TRUE(StretchRect(src, SurfaceRect(src), whole, to));
    ASSERT_TRUE(StretchRect(src, SurfaceRect(src), clipped, to, TXByte::Opaque, &clip));
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 16; ++x) {
            bool inside = x >= 2 && x < 9 && y >= 3 && y < 11;
            ASSERT_EQ(Load32(clipped.At(x, y)), inside ? Load32(whole.At(x, y)) : 0u)
                << x << "," << y;
        }
    }
    TRect away{20, 0, 30, 5};
    EXPECT_TRUE(StretchRect(src, SurfaceRect(src), clipped, to, TXByte::Opaque, &away));
}

}  // namespace
}  // namespace raster
