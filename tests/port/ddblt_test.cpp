// DirectDraw blits: colour fills, converting and stretching copies, rectangle checks, and the
// windowed primary clipped to its window.
#include "displayfixture.h"
#include "port/display/control.h"
#include "port/window/windowpos.h"
#include "raster/surfaceops.h"

namespace {

using display_testing::DisplayTest;
using display_testing::SurfacePtr;
using raster::TPixelFormat;

constexpr TPixelFormat kFormats[] = {TPixelFormat::X8R8G8B8, TPixelFormat::A8R8G8B8,
                                     TPixelFormat::R5G6B5, TPixelFormat::A4R4G4B4,
                                     TPixelFormat::R8G8B8};

DDBLTFX FillWith(DWORD color) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = color;
    return fx;
}

// A pattern of raw values whose every byte varies, X bytes and alpha included.
std::vector<uint32_t> Pattern(int count, uint32_t seed) {
    std::vector<uint32_t> values(static_cast<size_t>(count));
    for (uint32_t& v : values) {
        seed = seed * 1664525u + 1013904223u;
        v = seed;
    }
    return values;
}

TEST_F(DisplayTest, AColourFillWritesTheValueAsGiven) {
    struct Case {
        TPixelFormat format;
        DWORD fill;
        uint32_t stored;  // the pixel's bytes afterwards
    } cases[] = {
        {TPixelFormat::R5G6B5, 0xFC08, 0xFC08},
        {TPixelFormat::R5G6B5, 0xABCDFC08, 0xFC08},  // masked to 16 bits
        {TPixelFormat::A4R4G4B4, 0x0F0F, 0x0F0F},
        {TPixelFormat::X8R8G8B8, 0x00123456, 0x00123456},  // X written as given
        {TPixelFormat::A8R8G8B8, 0x80123456, 0x80123456},
        {TPixelFormat::R8G8B8, 0xFF123456, 0x123456},  // three bytes
    };
    for (const Case& c : cases) {
        SurfacePtr surface(MakeSurface(5, 4, c.format));
        std::vector<uint32_t> before = RawPixels(surface.get());
        DDBLTFX fx = FillWith(c.fill);
        RECT part{1, 1, 4, 3};
        ASSERT_EQ(surface->Blt(&part, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
        std::vector<uint32_t> after = RawPixels(surface.get());
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 5; ++x) {
                bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
                EXPECT_EQ(after[y * 5 + x], inside ? c.stored : before[y * 5 + x])
                    << port::control::Surfaces().back().formatName << " " << x << "," << y;
            }
        }
    }
}

TEST_F(DisplayTest, AConvertingBltGivesTheRasterizersBytes) {
    // Every pair of formats: the Blt's bytes are those of CopyRect on the same source pixels,
    // except that X8R8G8B8 and A8R8G8B8 copy their words unchanged.
    for (TPixelFormat from : kFormats) {
        for (TPixelFormat to : kFormats) {
            SurfacePtr source(MakeSurface(7, 3, from));
            SurfacePtr dest(MakeSurface(7, 3, to));
            std::vector<uint32_t> values = Pattern(21, 5);
            WriteRaw(source.get(), values);
            ASSERT_EQ(dest->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);

            raster::TSurface expectedFrom, expectedTo;
            ASSERT_TRUE(expectedFrom.Create(7, 3, from));
            ASSERT_TRUE(expectedTo.Create(7, 3, to));
            for (int i = 0; i < 21; ++i) {
                raster::StoreRaw(expectedFrom.At(i % 7, i / 7), expectedFrom.BytesPerPixel(),
                                 values[i]);
            }
            bool words = (from == TPixelFormat::X8R8G8B8 || from == TPixelFormat::A8R8G8B8) &&
                         (to == TPixelFormat::X8R8G8B8 || to == TPixelFormat::A8R8G8B8);
            raster::CopyRect(expectedFrom, raster::SurfaceRect(expectedFrom), expectedTo, 0, 0);
            std::vector<uint32_t> got = RawPixels(dest.get());
            for (int i = 0; i < 21; ++i) {
                uint32_t expected = words ? values[i]
                                          : raster::LoadRaw(expectedTo.At(i % 7, i / 7),
                                                            expectedTo.BytesPerPixel());
                ASSERT_EQ(got[i], expected) << raster::GetFormatInfo(from).bitCount << " to "
                                            << raster::GetFormatInfo(to).bitCount << " pixel " << i
                                            << " from " << int(from) << " to " << int(to);
            }
        }
    }
}

TEST_F(DisplayTest, ABltOfAnotherSizeStretchesToTheNearestPixels) {
    SurfacePtr source(MakeSurface(3, 2, TPixelFormat::X8R8G8B8));
    SurfacePtr dest(MakeSurface(8, 6, TPixelFormat::A8R8G8B8));
    std::vector<uint32_t> values = Pattern(6, 9);
    WriteRaw(source.get(), values);
    std::vector<uint32_t> before = RawPixels(dest.get());
    RECT to{1, 1, 7, 5};  // twice the size
    ASSERT_EQ(dest->Blt(&to, source.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    std::vector<uint32_t> after = RawPixels(dest.get());
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            bool inside = x >= 1 && x < 7 && y >= 1 && y < 5;
            uint32_t expected =
                inside ? values[((y - 1) / 2) * 3 + (x - 1) / 2] : before[y * 8 + x];
            EXPECT_EQ(after[y * 8 + x], expected) << x << "," << y;
        }
    }
    // Within one surface, a stretch reads the source as it was.
    SurfacePtr self(MakeSurface(4, 4, TPixelFormat::R5G6B5));
    WriteRaw(self.get(), {1, 2, 0, 0, 3, 4});
    RECT small{0, 0, 2, 1};
    RECT large{0, 0, 4, 2};
    ASSERT_EQ(self->Blt(&large, self.get(), &small, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(RawPixels(self.get())[0], 1u);
    EXPECT_EQ(RawPixels(self.get())[7], 2u);
}

TEST_F(DisplayTest, RectanglesOutsideTheSurfaceAreRefused) {
    SurfacePtr source(MakeSurface(8, 8, TPixelFormat::X8R8G8B8));
    SurfacePtr dest(MakeSurface(8, 8, TPixelFormat::X8R8G8B8));
    DDBLTFX fx = FillWith(0);
    struct Case {
        RECT to;
        RECT from;
    } cases[] = {
        {{0, 0, 9, 8}, {0, 0, 8, 8}}, {{-1, 0, 7, 8}, {0, 0, 8, 8}}, {{0, 0, 8, 8}, {0, 0, 8, 9}},
        {{0, 0, 8, 8}, {4, 0, 4, 8}}, {{5, 5, 2, 8}, {0, 0, 8, 8}},
    };
    for (const Case& c : cases) {
        RECT to = c.to, from = c.from;
        EXPECT_EQ(dest->Blt(&to, source.get(), &from, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    }
    RECT outside{6, 6, 10, 10};
    EXPECT_EQ(dest->Blt(&outside, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDRECT);
    RECT half{0, 0, 4, 4};
    EXPECT_EQ(dest->BltFast(5, 5, source.get(), &half, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(dest->BltFast(0xFFFFFFFFu, 0, source.get(), &half, DDBLTFAST_WAIT),
              DDERR_INVALIDRECT);
    EXPECT_EQ(dest->BltFast(4, 4, source.get(), &half, DDBLTFAST_WAIT), DD_OK);

    // Flags and effects the layer does not know, and missing pieces.
    EXPECT_EQ(dest->Blt(nullptr, source.get(), nullptr, 0x40000000u, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(dest->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(dest->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr), DDERR_INVALIDPARAMS);
    DDBLTFX noTearing = FillWith(0);
    noTearing.dwDDFX = DDBLTFX_NOTEARING;
    EXPECT_EQ(dest->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT | DDBLT_DDFX, &noTearing),
              DD_OK);
    noTearing.dwDDFX = 0x100;
    EXPECT_EQ(dest->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT | DDBLT_DDFX, &noTearing),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(dest->BltFast(0, 0, source.get(), nullptr, 0x80), DDERR_INVALIDPARAMS);

    // Depth memory copies only to depth memory of its size.
    SurfacePtr z(MakeSurface(8, 8, TPixelFormat::D16));
    SurfacePtr z2(MakeSurface(8, 8, TPixelFormat::D16));
    EXPECT_EQ(dest->Blt(nullptr, z.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(z2->Blt(nullptr, z.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(RawPixels(z2.get()), RawPixels(z.get()));
}

TEST_F(DisplayTest, ThePrimaryThroughAClipperWritesOnlyTheVisibleClientArea) {
    port::control::SetDesktop(320, 240, 32);
    // The window reaches past the desktop's right and bottom edges and above its top.
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{250, -20, 350, 60});
    SurfacePtr primary(MakePrimary(window));
    SurfacePtr back(MakeSurface(100, 80, TPixelFormat::X8R8G8B8));
    DDBLTFX fx = FillWith(0x00FF0000);
    ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    std::vector<uint32_t> before = RawPixels(primary.get());

    RECT client{250, -20, 350, 60};
    DDBLTFX noTearing = FillWith(0);
    noTearing.dwDDFX = DDBLTFX_NOTEARING;
    ASSERT_EQ(primary->Blt(&client, back.get(), nullptr, DDBLT_WAIT | DDBLT_DDFX, &noTearing),
              DD_OK);
    std::vector<uint32_t> after = RawPixels(primary.get());
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            bool visible = x >= 250 && y < 60;
            ASSERT_EQ(after[y * 320 + x], visible ? 0x00FF0000u : before[y * 320 + x])
                << x << "," << y;
        }
    }
    // A fill through the clipper, of the whole desktop, stays inside the window too.
    fx = FillWith(0x0000FF00);
    ASSERT_EQ(primary->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    EXPECT_EQ(RawPixel(primary.get(), 249, 10), before[10 * 320 + 249]);
    EXPECT_EQ(RawPixel(primary.get(), 319, 59), 0x0000FF00u);
    EXPECT_EQ(RawPixel(primary.get(), 300, 60), before[60 * 320 + 300]);

    // A destination spanning the whole coordinate range is clipped as well.
    RECT huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    EXPECT_EQ(primary->Blt(&huge, back.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);

    // The player sees the client area: the part off the desktop is black.
    port::control::Image view = port::control::PlayerView();
    ASSERT_EQ(view.width, 100);
    ASSERT_EQ(view.height, 80);
    EXPECT_EQ(view.At(0, 0), 0xFF000000u);  // above the desktop
    EXPECT_EQ(view.At(0, 20) & 0xFFFFFF,
              port::control::SurfaceImage(primary.get()).At(250, 0) & 0xFFFFFF);
    EXPECT_EQ(view.At(99, 79), 0xFF000000u);  // right of the desktop

    // Once the window is gone, blits through its clipper write nothing.
    DestroyWindow(window);
    before = RawPixels(primary.get());
    fx = FillWith(0x12345678);
    EXPECT_EQ(primary->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    EXPECT_EQ(RawPixels(primary.get()), before);
}

TEST_F(DisplayTest, SurfaceImagesReadByReplication) {
    SurfacePtr surface(MakeSurface(2, 1, TPixelFormat::R5G6B5));
    WriteRaw(surface.get(), {0xFFFF, 0x0821});
    port::control::Image image = port::control::SurfaceImage(surface.get());
    ASSERT_EQ(image.width, 2);
    EXPECT_EQ(image.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(image.At(1, 0), 0xFF080408u);
    SurfacePtr z(MakeSurface(2, 2, TPixelFormat::D16));
    EXPECT_TRUE(port::control::SurfaceImage(z.get()).Empty());
}

}  // namespace
