#include "platform/image/jp2decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagefixture.h"
#include "support/imagewriter.h"

namespace {

using testing_support::Jp2Component;
using testing_support::Jp2Image;
using testing_support::WriteJp2;

class Jp2DecoderTest : public ImageFileTest {};

constexpr int kSrgb = 1;
constexpr int kGrey = 2;

Jp2Component Component(std::vector<int32_t> samples, int precision = 8) {
    Jp2Component component;
    component.precision = precision;
    component.samples = std::move(samples);
    return component;
}

Jp2Image Image(int width, int height, int colorSpace, std::vector<Jp2Component> components) {
    Jp2Image image;
    image.width = width;
    image.height = height;
    image.colorSpace = colorSpace;
    image.components = std::move(components);
    return image;
}

// 2 × 2 red, green, blue planes with distinct samples.
std::vector<Jp2Component> RgbPlanes() {
    return {Component({10, 11, 12, 13}), Component({20, 21, 22, 23}), Component({30, 31, 32, 33})};
}

void Put32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
}

// Turns the file's opacity channel definition (type 1) into premultiplied opacity (type 2).
std::string WithPremultipliedOpacity(std::string jp2) {
    size_t box = jp2.find("cdef");
    EXPECT_NE(box, std::string::npos);
    size_t count = static_cast<uint8_t>(jp2[box + 4]) << 8 | static_cast<uint8_t>(jp2[box + 5]);
    for (size_t i = 0; i < count; ++i) {
        size_t type = box + 6 + i * 6 + 2;
        if (jp2[type] == 0 && jp2[type + 1] == 1) jp2[type + 1] = 2;
    }
    return jp2;
}

// Adds a palette of `channels` columns and its component mapping to the file's header box: the
// one 8-bit component indexes entries 0 and 1, whose first three columns are (10, 20, 30) and
// (40, 50, 60) and the rest 0.
std::string WithPalette(std::string jp2, int channels) {
    auto box = [](const char* type, const std::string& contents) {
        std::string made(4, '\0');
        Put32(made, 0, static_cast<uint32_t>(8 + contents.size()));
        return made + type + contents;
    };
    std::string palette = {0, 2, static_cast<char>(channels)};
    palette += std::string(static_cast<size_t>(channels), '\x07');  // 8-bit columns
    for (int entry = 0; entry < 2; ++entry) {
        for (int column = 0; column < channels; ++column)
            palette += static_cast<char>(column < 3 ? 10 + entry * 30 + column * 10 : 0);
    }
    std::string mapping;
    for (int column = 0; column < channels; ++column)
        mapping += std::string{0, 0, 1, static_cast<char>(column)};
    std::string added = box("pclr", palette) + box("cmap", mapping);
    size_t header = jp2.find("jp2h");
    EXPECT_NE(header, std::string::npos);
    size_t start = header - 4;
    uint32_t length =
        static_cast<uint8_t>(jp2[start]) << 24 | static_cast<uint8_t>(jp2[start + 1]) << 16 |
        static_cast<uint8_t>(jp2[start + 2]) << 8 | static_cast<uint8_t>(jp2[start + 3]);
    jp2.insert(start + length, added);
    Put32(jp2, start, static_cast<uint32_t>(length + added.size()));
    return jp2;
}

TEST_F(Jp2DecoderTest, FourBitGreyFillsTheTopBitsAndRepeatsTheEdges) {
    // 3 × 3: the last column is 0xF, the last row 0x1, 0x2, 0xF.
    Put("g.jp2", WriteJp2(Image(3, 3, kGrey, {Component({0, 5, 15, 3, 4, 15, 1, 2, 15}, 4)})));
    Decoded d(Decoded::kJp2);
    Jp2("g.jp2", &d);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 3);
    EXPECT_EQ(d.height, 3);
    EXPECT_EQ(d.side, 4);
    EXPECT_FALSE(d.hasAlpha);
    EXPECT_EQ(d.At(2, 0), 0xFFF0F0F0u);
    EXPECT_EQ(d.At(1, 0), 0xFF505050u);
    EXPECT_EQ(d.At(3, 0), 0xFFF0F0F0u);  // the last column repeated
    EXPECT_EQ(d.At(3, 1), 0xFFF0F0F0u);
    EXPECT_EQ(d.At(0, 3), 0xFF101010u);  // the last row repeated
    EXPECT_EQ(d.At(1, 3), 0xFF202020u);
    EXPECT_EQ(d.At(3, 3), 0xFFF0F0F0u);
}

TEST_F(Jp2DecoderTest, RgbComponentsFillRedGreenBlue) {
    for (bool codestream : {false, true}) {
        Jp2Image image = Image(2, 2, kSrgb, RgbPlanes());
        image.codestream = codestream;  // a bare codestream has no colour space: three is RGB
        Put("c.jp2", WriteJp2(image));
        Decoded d(Decoded::kJp2);
        Jp2("c.jp2", &d);
        ASSERT_TRUE(d.ok) << codestream;
        EXPECT_EQ(d.side, 2);
        EXPECT_FALSE(d.hasAlpha);
        EXPECT_EQ(d.At(0, 0), 0xFF0A141Eu) << codestream;
        EXPECT_EQ(d.At(1, 1), 0xFF0D1721u) << codestream;
    }
}

TEST_F(Jp2DecoderTest, OpacityChannelIsAlphaButPremultipliedOpacityIsNot) {
    std::vector<Jp2Component> planes = RgbPlanes();
    planes.push_back(Component({0, 64, 128, 255}));
    planes.back().alpha = 1;
    std::string withOpacity = WriteJp2(Image(2, 2, kSrgb, planes));
    Put("opacity.jp2", withOpacity);
    Put("premultiplied.jp2", WithPremultipliedOpacity(withOpacity));

    Decoded opacity(Decoded::kJp2);
    Jp2("opacity.jp2", &opacity);
    ASSERT_TRUE(opacity.ok);
    EXPECT_TRUE(opacity.hasAlpha);
    EXPECT_EQ(opacity.At(0, 0), 0x000A141Eu);
    EXPECT_EQ(opacity.At(1, 0), 0x400B151Fu);
    EXPECT_EQ(opacity.At(1, 1), 0xFF0D1721u);

    Decoded premultiplied(Decoded::kJp2);
    Jp2("premultiplied.jp2", &premultiplied);
    ASSERT_TRUE(premultiplied.ok);
    EXPECT_FALSE(premultiplied.hasAlpha);
    EXPECT_EQ(premultiplied.At(0, 0), 0xFF0A141Eu);
}

// A palette expands one index component into one component a column, each of the image's
// size: a palette of a few columns decodes as colour, one of hundreds is refused from the header
// like hundreds of components.
TEST_F(Jp2DecoderTest, PaletteColumnsAreComponentsAndAreBoundedToo) {
    std::string indexed = WriteJp2(Image(2, 1, kSrgb, {Component({0, 1})}));
    Put("palette.jp2", WithPalette(indexed, 3));
    Put("wide_palette.jp2", WithPalette(indexed, 200));

    Decoded colour(Decoded::kJp2);
    Jp2("palette.jp2", &colour);
    ASSERT_TRUE(colour.ok);
    EXPECT_FALSE(colour.hasAlpha);
    EXPECT_EQ(colour.At(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(colour.At(1, 0), 0xFF28323Cu);

    Decoded refused(Decoded::kJp2);
    Jp2("wide_palette.jp2", &refused);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.pixels, nullptr);
}

// Wider samples keep their top 8 bits; signed ones are offset to unsigned first.
TEST_F(Jp2DecoderTest, WideSamplesKeepTheirTopEightBits) {
    Put("u12.jp2", WriteJp2(Image(2, 1, kGrey, {Component({0xABC, 0x00F}, 12)})));
    Jp2Component signedPlane = Component({-2048, 2047}, 12);
    signedPlane.isSigned = true;
    Put("s12.jp2", WriteJp2(Image(2, 1, kGrey, {signedPlane})));
    Put("u16.jp2", WriteJp2(Image(2, 1, kGrey, {Component({0xFEDC, 0x0100}, 16)})));
    struct Case {
        const char* name;
        uint32_t first, second;
    } cases[] = {
        {"u12.jp2", 0xFFABABABu, 0xFF000000u},
        {"s12.jp2", 0xFF000000u, 0xFFFFFFFFu},
        {"u16.jp2", 0xFFFEFEFEu, 0xFF010101u},
    };
    for (const Case& c : cases) {
        Decoded d(Decoded::kJp2);
        Jp2(c.name, &d);
        ASSERT_TRUE(d.ok) << c.name;
        EXPECT_EQ(d.At(0, 0), c.first) << c.name;
        EXPECT_EQ(d.At(1, 0), c.second) << c.name;
    }
}

// Subsampled planes are not of the image's size: their bytes stay 0, nothing is read past them.
TEST_F(Jp2DecoderTest, SubsampledComponentsAreLeftOut) {
    std::vector<int32_t> full(8 * 8, 200);
    std::vector<int32_t> half(4 * 4, 100);
    std::vector<Jp2Component> planes = {Component(full), Component(half), Component(half)};
    planes[1].dx = planes[1].dy = 2;
    planes[2].dx = planes[2].dy = 2;
    Put("sub.jp2", WriteJp2(Image(8, 8, kSrgb, planes)));
    Decoded d(Decoded::kJp2);
    Jp2("sub.jp2", &d);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.side, 8);
    EXPECT_EQ(d.At(0, 0), 0xFFC80000u);
    EXPECT_EQ(d.At(7, 7), 0xFFC80000u);
}

TEST_F(Jp2DecoderTest, RefusedAndDamagedFilesFail) {
    std::vector<Jp2Component> many;
    for (int i = 0; i < 300; ++i)
        many.push_back(Component({i & 0xFF}));
    Jp2Image manyImage = Image(1, 1, kSrgb, many);
    manyImage.codestream = true;
    std::string manyBytes = WriteJp2(manyImage);
    ASSERT_FALSE(manyBytes.empty());
    Put("many.j2k", manyBytes);

    // The size in the codestream's header, and its one tile with it.
    Jp2Image small = Image(2, 2, kSrgb, RgbPlanes());
    small.codestream = true;
    std::string huge = WriteJp2(small);
    ASSERT_EQ(huge.substr(0, 4), "\xFF\x4F\xFF\x51");
    for (size_t at : {8u, 12u, 24u, 28u})
        Put32(huge, at, 40000);
    Put("huge.j2k", huge);

    // 1024 × 16 pixels in tiles of one pixel: within the largest side, but 16,384 tiles.
    std::string tiny = WriteJp2(small);
    Put32(tiny, 8, 1024);
    Put32(tiny, 12, 16);
    Put32(tiny, 24, 1);
    Put32(tiny, 28, 1);
    Put("tiles.j2k", tiny);

    std::string good = WriteJp2(Image(2, 2, kSrgb, RgbPlanes()));
    Put("cut.jp2", good.substr(0, good.size() - 10));
    Put("png.jp2", "\x89PNG\r\n\x1A\n not jpeg-2000");
    Put("empty.jp2", "");
    for (const char* name :
         {"many.j2k", "huge.j2k", "tiles.j2k", "cut.jp2", "png.jp2", "empty.jp2", "no.jp2"}) {
        Decoded d(Decoded::kJp2);
        Jp2(name, &d, kImageLargestSideSlow);
        EXPECT_FALSE(d.ok) << name;
        EXPECT_EQ(d.pixels, nullptr) << name;
        EXPECT_EQ(d.side, -7) << name;
    }
}

}  // namespace
