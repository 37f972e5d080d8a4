#include "platform/image/pngdecoder.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "archivewriter.h"
#include "imagefixture.h"
#include "support/imagewriter.h"
#include "support/tempdir.h"

namespace {

using testing_support::PngImage;
using testing_support::WritePng;

class PngDecoderTest : public ImageFileTest {};

PngImage Image(int width, int height, int colorType, int bitDepth, std::vector<uint16_t> samples) {
    PngImage image;
    image.width = width;
    image.height = height;
    image.colorType = colorType;
    image.bitDepth = bitDepth;
    image.samples = std::move(samples);
    return image;
}

// An RGB image whose every pixel differs: red = x, green = y, blue = x + y.
PngImage Gradient(int width, int height, int colorType = PNG_COLOR_TYPE_RGB) {
    PngImage image = Image(width, height, colorType, 8, {});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.samples.push_back(static_cast<uint16_t>(x & 0xFF));
            image.samples.push_back(static_cast<uint16_t>(y & 0xFF));
            image.samples.push_back(static_cast<uint16_t>((x + y) & 0xFF));
            if (colorType == PNG_COLOR_TYPE_RGB_ALPHA)
                image.samples.push_back(static_cast<uint16_t>((x * 7) & 0xFF));
        }
    }
    return image;
}

// Rewrites the size in a PNG's header chunk, with its checksum.
std::string WithHeaderSize(std::string png, uint32_t width, uint32_t height) {
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = static_cast<char>(width >> (24 - 8 * i));
        png[20 + i] = static_cast<char>(height >> (24 - 8 * i));
    }
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
    for (int i = 0; i < 4; ++i)
        png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    return png;
}

TEST_F(PngDecoderTest, ImageFillsTheTopLeftOfTheSquareAndTheRestIsZero) {
    Put("a.png", WritePng(Gradient(100, 60)));
    Decoded d(Decoded::kPng);
    Png("a.png", &d);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 100);
    EXPECT_EQ(d.height, 60);
    EXPECT_EQ(d.side, 128);
    EXPECT_FALSE(d.hasAlpha);
    EXPECT_EQ(d.At(0, 0), 0xFF000000u);
    EXPECT_EQ(d.At(99, 59), 0xFF633B9Eu);  // red 99, green 59, blue 158
    EXPECT_EQ(d.At(5, 7), 0xFF05070Cu);
    size_t nonZeroOutside = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            if ((x >= 100 || y >= 60) && d.At(x, y) != 0) ++nonZeroOutside;
        }
    }
    EXPECT_EQ(nonZeroOutside, 0u);
}

TEST_F(PngDecoderTest, SideIsTheSmallestPowerOfTwoNotBelowTheLargerSize) {
    struct Case {
        int width, height, side;
    } cases[] = {{1, 1, 1}, {2, 1, 2}, {1, 3, 4}, {64, 64, 64}, {65, 2, 128}, {3, 200, 256}};
    for (const Case& c : cases) {
        Put("s.png", WritePng(Gradient(c.width, c.height)));
        Decoded d(Decoded::kPng);
        Png("s.png", &d);
        ASSERT_TRUE(d.ok) << c.width << "x" << c.height;
        EXPECT_EQ(d.side, c.side) << c.width << "x" << c.height;
    }
}

// Every colour type ends as 8-bit blue, green, red, alpha; has-alpha follows the decoded colour
// type, which a tRNS chunk gives an alpha channel whatever the file's colour type.
TEST_F(PngDecoderTest, ColourTypesAndDepthsBecomeEightBitBgra) {
    struct Case {
        const char* what;
        PngImage image;
        bool hasAlpha;
        uint32_t first, second;
    };
    PngImage palette = Image(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1});
    palette.palette = {10, 20, 30, 40, 50, 60};
    PngImage paletteTrns = palette;
    paletteTrns.paletteAlpha = {0x80};
    PngImage grey4 = Image(2, 1, PNG_COLOR_TYPE_GRAY, 4, {0xF, 0x3});
    PngImage grey1 = Image(2, 1, PNG_COLOR_TYPE_GRAY, 1, {1, 0});
    PngImage grey16 = Image(2, 1, PNG_COLOR_TYPE_GRAY, 16, {0xABCD, 0x1234});
    PngImage greyAlpha = Image(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {9, 200, 77, 0});
    PngImage rgba16 = Image(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x1122, 0x3344, 0x5566, 0x7788});
    PngImage rgbKey = Image(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6});
    rgbKey.colorKey = {4, 5, 6};
    PngImage greyKey = Image(2, 1, PNG_COLOR_TYPE_GRAY, 8, {50, 60});
    greyKey.colorKey = {50};
    Case cases[] = {
        {"palette", palette, false, 0xFF0A141Eu, 0xFF28323Cu},
        {"palette with tRNS", paletteTrns, true, 0x800A141Eu, 0xFF28323Cu},
        {"grey 4-bit", grey4, false, 0xFFFFFFFFu, 0xFF333333u},
        {"grey 1-bit", grey1, false, 0xFFFFFFFFu, 0xFF000000u},
        {"grey 16-bit", grey16, false, 0xFFABABABu, 0xFF121212u},
        {"grey with alpha", greyAlpha, true, 0xC8090909u, 0x004D4D4Du},
        {"RGBA 16-bit", rgba16, true, 0x77113355u, 0u},
        {"RGB with a colour key", rgbKey, true, 0xFF010203u, 0x00040506u},
        {"grey with a colour key", greyKey, true, 0x00323232u, 0xFF3C3C3Cu},
    };
    for (const Case& c : cases) {
        std::string bytes = WritePng(c.image);
        ASSERT_FALSE(bytes.empty()) << c.what;
        Put("t.png", bytes);
        Decoded d(Decoded::kPng);
        Png("t.png", &d);
        ASSERT_TRUE(d.ok) << c.what;
        EXPECT_EQ(d.hasAlpha, c.hasAlpha) << c.what;
        EXPECT_EQ(d.At(0, 0), c.first) << c.what;
        if (c.image.width > 1) {
            EXPECT_EQ(d.At(1, 0), c.second) << c.what;
        }
    }
}

TEST_F(PngDecoderTest, InterlacedImageEqualsItsPlainTwin) {
    PngImage plain = Gradient(37, 21, PNG_COLOR_TYPE_RGB_ALPHA);
    PngImage interlaced = plain;
    interlaced.interlaced = true;
    Put("plain.png", WritePng(plain));
    Put("interlaced.png", WritePng(interlaced));
    Decoded a(Decoded::kPng);
    Decoded b(Decoded::kPng);
    Png("plain.png", &a);
    Png("interlaced.png", &b);
    ASSERT_TRUE(a.ok);
    ASSERT_TRUE(b.ok);
    ASSERT_EQ(a.side, b.side);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(a.pixels), SquareBufferSize(a.side)),
              std::string(reinterpret_cast<char*>(b.pixels), SquareBufferSize(b.side)));
}

// A file of gamma 1.0 shown on a screen of gamma 2.2 is brightened: 128 becomes about
// 255 × (128 / 255)^(1 / 2.2). Alpha is never corrected.
TEST_F(PngDecoderTest, GammaChunkIsCorrectedForTheScreen) {
    PngImage image = Image(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {128, 0, 255, 128});
    image.gamma = 1.0;
    Put("g.png", WritePng(image));
    PngImage untagged = image;
    untagged.gamma = 0.0;
    Put("u.png", WritePng(untagged));
    Decoded corrected(Decoded::kPng);
    Decoded plain(Decoded::kPng);
    Png("g.png", &corrected);
    Png("u.png", &plain);
    ASSERT_TRUE(corrected.ok);
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.At(0, 0), 0x808000FFu);
    uint32_t pixel = corrected.At(0, 0);
    EXPECT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), 186, 1);
    EXPECT_EQ(pixel & 0xFF00FFFFu, 0x800000FFu);
}

TEST_F(PngDecoderTest, FailuresLeaveTheOutputsAndFreeEverything) {
    std::string good = WritePng(Gradient(8, 8));
    Put("notpng.png", "GIF89a this is not a PNG file at all");
    Put("short.png", "\x89PNG");
    Put("cut.png", good.substr(0, good.size() / 2));
    std::string damaged = good;
    damaged[40] = static_cast<char>(damaged[40] ^ 0x55);  // inside the image data: a bad checksum
    Put("damaged.png", damaged);
    for (const char* name : {"notpng.png", "short.png", "cut.png", "damaged.png", "missing.png"}) {
        Decoded d(Decoded::kPng);
        d.hasAlpha = true;
        Png(name, &d);
        EXPECT_FALSE(d.ok) << name;
        EXPECT_EQ(d.pixels, nullptr) << name;
        EXPECT_EQ(d.width, -7) << name;
        EXPECT_EQ(d.height, -7) << name;
        EXPECT_EQ(d.side, -7) << name;
        EXPECT_TRUE(d.hasAlpha) << name;
    }
}

// The header is refused before anything of the image's size is allocated (the sanitizer build
// runs this with a low allocation ceiling).
TEST_F(PngDecoderTest, TooLargeImageFailsRightAfterItsHeader) {
    std::string one = WritePng(Gradient(1, 1));
    Put("huge.png", WithHeaderSize(one, 40000, 40000));
    Put("wide.png", WithHeaderSize(one, 70000, 1));
    for (const char* name : {"huge.png", "wide.png"}) {
        Decoded d(Decoded::kPng);
        Png(name, &d, kImageLargestSideSlow);
        EXPECT_FALSE(d.ok) << name;
        EXPECT_EQ(d.pixels, nullptr) << name;
    }

    Put("1025.png", WritePng(Gradient(1025, 1)));
    Decoded limited(Decoded::kPng);
    Png("1025.png", &limited, kImageLargestSide);
    EXPECT_FALSE(limited.ok);
    Decoded slow(Decoded::kPng);
    Png("1025.png", &slow, kImageLargestSideSlow);
    ASSERT_TRUE(slow.ok);
    EXPECT_EQ(slow.side, 2048);
}

TEST_F(PngDecoderTest, ImageInsideAnArchiveDecodesLikeTheLooseFile) {
    std::string bytes = WritePng(Gradient(20, 10, PNG_COLOR_TYPE_RGB_ALPHA));
    Put("loose.png", bytes);
    testing_support::TempDir dir;
    std::string error;
    ASSERT_TRUE(bvpack::WriteArchive({{"sprites/packed.png", bytes}}, dir.File("a.bvp"), &error))
        << error;
    TFileMapHandler::OpenArchive(TFileIndex::GetInstance(), ("::" + dir.File("a.bvp")).c_str());

    Decoded loose(Decoded::kPng);
    Decoded packed(Decoded::kPng);
    Png("loose.png", &loose);
    Png("Sprites/Packed.png", &packed);
    ASSERT_TRUE(loose.ok);
    ASSERT_TRUE(packed.ok);
    EXPECT_TRUE(packed.hasAlpha);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(loose.pixels), SquareBufferSize(loose.side)),
              std::string(reinterpret_cast<char*>(packed.pixels), SquareBufferSize(packed.side)));
}

}  // namespace
