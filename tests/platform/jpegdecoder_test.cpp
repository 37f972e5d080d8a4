#include "platform/image/jpegdecoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "imagefixture.h"
#include "support/imagewriter.h"

namespace {

using testing_support::JpegImage;
using testing_support::WriteJpeg;

class JpegDecoderTest : public ImageFileTest {
protected:
    bool Logged(const std::string& text) const {
        for (const std::string& message : mLog.Messages()) {
            if (message.find(text) != std::string::npos) return true;
        }
        return false;
    }
};

// A solid colour, so that the lossy coding gives it back within a step or two.
JpegImage Solid(int width, int height, int components, uint8_t red, uint8_t green, uint8_t blue) {
    JpegImage image;
    image.width = width;
    image.height = height;
    image.components = components;
    for (int i = 0; i < width * height; ++i) {
        image.samples.push_back(red);
        if (components == 3) {
            image.samples.push_back(green);
            image.samples.push_back(blue);
        }
    }
    return image;
}

// Rewrites the size in the first start-of-frame segment.
std::string WithFrameSize(std::string jpeg, uint16_t width, uint16_t height) {
    size_t frame = jpeg.find("\xFF\xC0");
    if (frame == std::string::npos) frame = jpeg.find("\xFF\xC2");
    EXPECT_NE(frame, std::string::npos);
    jpeg[frame + 5] = static_cast<char>(height >> 8);
    jpeg[frame + 6] = static_cast<char>(height);
    jpeg[frame + 7] = static_cast<char>(width >> 8);
    jpeg[frame + 8] = static_cast<char>(width);
    return jpeg;
}

void ExpectNear(uint32_t pixel, uint32_t expected, const char* what) {
    for (int shift = 0; shift < 32; shift += 8) {
        int got = static_cast<int>((pixel >> shift) & 0xFF);
        int want = static_cast<int>((expected >> shift) & 0xFF);
        EXPECT_LE(std::abs(got - want), 3) << what << " byte " << shift / 8;
    }
}

TEST_F(JpegDecoderTest, ColourImageBecomesOpaqueBgraWithZeroPadding) {
    for (bool progressive : {false, true}) {
        JpegImage image = Solid(100, 60, 3, 200, 100, 50);
        image.progressive = progressive;
        Put("c.jpg", WriteJpeg(image));
        Decoded d(Decoded::kJpeg);
        Jpeg("c.jpg", &d);
        ASSERT_TRUE(d.ok) << progressive;
        EXPECT_EQ(d.width, 100);
        EXPECT_EQ(d.height, 60);
        EXPECT_EQ(d.side, 128);
        size_t opaque = 0;
        size_t zeroOutside = 0;
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 128; ++x) {
                if (x < 100 && y < 60)
                    opaque += (d.At(x, y) >> 24) == 0xFF;
                else
                    zeroOutside += d.At(x, y) == 0;
            }
        }
        EXPECT_EQ(opaque, 100u * 60u);
        EXPECT_EQ(zeroOutside, 128u * 128u - 100u * 60u);
        ExpectNear(d.At(0, 0), 0xFFC86432u, "first pixel");
        ExpectNear(d.At(99, 59), 0xFFC86432u, "last pixel");
    }
}

TEST_F(JpegDecoderTest, GreyImageGivesEqualColourBytes) {
    JpegImage image;
    image.width = 16;
    image.height = 1;
    image.components = 1;
    for (int x = 0; x < 16; ++x)
        image.samples.push_back(static_cast<uint8_t>(x * 16));
    Put("g.jpg", WriteJpeg(image));
    Decoded d(Decoded::kJpeg);
    Jpeg("g.jpg", &d);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.side, 16);
    for (int x = 0; x < 16; ++x) {
        uint32_t pixel = d.At(x, 0);
        EXPECT_EQ(pixel >> 24, 0xFFu) << x;
        EXPECT_EQ(pixel & 0xFF, (pixel >> 8) & 0xFF) << x;
        EXPECT_EQ(pixel & 0xFF, (pixel >> 16) & 0xFF) << x;
    }
}

TEST_F(JpegDecoderTest, FileCutShortStillDecodes) {
    // Busy rows, so that most of the file is image data and the cut falls inside it.
    JpegImage image = Solid(64, 64, 3, 10, 200, 90);
    for (size_t i = 3 * 64 * 32; i < image.samples.size(); ++i)
        image.samples[i] = static_cast<uint8_t>(i * 37 % 251);
    std::string whole = WriteJpeg(image);
    Put("cut.jpg", whole.substr(0, whole.size() * 6 / 10));
    Decoded d(Decoded::kJpeg);
    Jpeg("cut.jpg", &d);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.side, 64);
    ExpectNear(d.At(0, 0), 0xFF0AC85Au, "first pixel");
    EXPECT_TRUE(Logged("Premature end of JPEG file"));
}

// A fatal library error ends the decode, not the program: the test goes on after each.
TEST_F(JpegDecoderTest, FatalLibraryErrorsFailTheDecodeAndAreLogged) {
    std::string good = WriteJpeg(Solid(8, 8, 3, 1, 2, 3));
    Put("empty.jpg", "");
    Put("garbage.jpg", "\xFF\xD8" + std::string(300, 'x'));
    Put("notjpeg.jpg", "just some text");
    Put("header.jpg", good.substr(0, 20));
    struct Case {
        const char* name;
        const char* message;
    } cases[] = {
        {"empty.jpg", "Empty input file"},  {"garbage.jpg", "DecodeJpeg: garbage.jpg: "},
        {"notjpeg.jpg", "Not a JPEG file"}, {"header.jpg", "DecodeJpeg: header.jpg: "},
        {"missing.jpg", nullptr},
    };
    for (const Case& c : cases) {
        mLog.Clear();
        Decoded d(Decoded::kJpeg);
        Jpeg(c.name, &d);
        EXPECT_FALSE(d.ok) << c.name;
        EXPECT_EQ(d.pixels, nullptr) << c.name;
        EXPECT_EQ(d.width, -7) << c.name;
        EXPECT_EQ(d.side, -7) << c.name;
        if (c.message != nullptr) {
            EXPECT_TRUE(Logged(c.message)) << c.name;
        }
    }
}

TEST_F(JpegDecoderTest, TooLargeImageFailsRightAfterItsHeader) {
    Put("huge.jpg", WithFrameSize(WriteJpeg(Solid(8, 8, 3, 1, 2, 3)), 40000, 40000));
    Decoded huge(Decoded::kJpeg);
    Jpeg("huge.jpg", &huge, kImageLargestSideSlow);
    EXPECT_FALSE(huge.ok);
    EXPECT_EQ(huge.pixels, nullptr);

    Put("1025.jpg", WriteJpeg(Solid(1025, 8, 1, 7, 7, 7)));
    Decoded limited(Decoded::kJpeg);
    Jpeg("1025.jpg", &limited, kImageLargestSide);
    EXPECT_FALSE(limited.ok);
    Decoded slow(Decoded::kJpeg);
    Jpeg("1025.jpg", &slow, kImageLargestSideSlow);
    ASSERT_TRUE(slow.ok);
    EXPECT_EQ(slow.side, 2048);
}

}  // namespace
