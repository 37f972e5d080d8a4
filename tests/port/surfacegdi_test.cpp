// GDI on surfaces (BitBlt and StretchBlt between surface device contexts, clipped where
// DirectDraw refuses), and the cursor made from a DIB section and a mask.
#include <cstring>

#include "displayfixture.h"
#include "port/display/bitmap.h"
#include "port/display/surfacegdi.h"
#include "port/window/cursor.h"
#include "port/window/cursorimage.h"
#include "port/window/gdi.h"

namespace {

using display_testing::DisplayTest;
using display_testing::SurfacePtr;
using raster::TPixelFormat;

std::vector<uint32_t> Numbered(int count) {
    std::vector<uint32_t> values(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        values[i] = 0x01010101u * static_cast<uint32_t>(i + 1);
    return values;
}

TEST_F(DisplayTest, BitBltClipsWhereBltRefuses) {
    SurfacePtr source(MakeSurface(4, 4, TPixelFormat::X8R8G8B8));
    SurfacePtr dest(MakeSurface(4, 4, TPixelFormat::X8R8G8B8));
    WriteRaw(source.get(), Numbered(16));
    std::vector<uint32_t> before = RawPixels(dest.get());
    // A copy reaching past the destination's right and bottom edges.
    RECT from{0, 0, 3, 3};
    EXPECT_EQ(dest->BltFast(2, 2, source.get(), &from, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    RECT to{2, 2, 5, 5};
    EXPECT_EQ(dest->Blt(&to, source.get(), &from, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);

    HDC destDc = nullptr, sourceDc = nullptr;
    ASSERT_EQ(dest->GetDC(&destDc), DD_OK);
    ASSERT_EQ(source->GetDC(&sourceDc), DD_OK);
    EXPECT_EQ(BitBlt(destDc, 2, 2, 3, 3, sourceDc, 0, 0, SRCCOPY), TRUE);
    // A source reaching past its surface's left edge moves the destination along.
    EXPECT_EQ(BitBlt(destDc, 0, 0, 2, 1, sourceDc, -1, 3, SRCCOPY), TRUE);
    EXPECT_EQ(BitBlt(destDc, 0, 0, 2, 2, sourceDc, 0, 0, 0x00EE0086), FALSE);
    EXPECT_EQ(BitBlt(destDc, 0, 0, -2, 2, sourceDc, 0, 0, SRCCOPY), FALSE);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(BitBlt(screen, 0, 0, 2, 2, sourceDc, 0, 0, SRCCOPY), FALSE);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(source->ReleaseDC(sourceDc), DD_OK);
    ASSERT_EQ(dest->ReleaseDC(destDc), DD_OK);

    std::vector<uint32_t> after = RawPixels(dest.get());
    std::vector<uint32_t> src = Numbered(16);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            uint32_t expected = before[y * 4 + x];
            if (x >= 2 && y >= 2) expected = src[(y - 2) * 4 + (x - 2)];
            if (x == 1 && y == 0) expected = src[3 * 4 + 0];
            EXPECT_EQ(after[y * 4 + x], expected) << x << "," << y;
        }
    }
}

TEST_F(DisplayTest, StretchBltConvertsAndCutsTheSourceInProportion) {
    SurfacePtr source(MakeSurface(4, 2, TPixelFormat::A8R8G8B8));
    SurfacePtr dest(MakeSurface(8, 4, TPixelFormat::R5G6B5));
    WriteRaw(source.get(), {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFF808080,
                            0xFFFF00FF, 0xFF00FFFF});
    HDC destDc = nullptr, sourceDc = nullptr;
    ASSERT_EQ(dest->GetDC(&destDc), DD_OK);
    ASSERT_EQ(source->GetDC(&sourceDc), DD_OK);
    EXPECT_EQ(GetDeviceCaps(destDc, BITSPIXEL), 16);
    EXPECT_EQ(StretchBlt(destDc, 0, 0, 8, 4, sourceDc, 0, 0, 4, 2, SRCCOPY), TRUE);
    ASSERT_EQ(source->ReleaseDC(sourceDc), DD_OK);
    ASSERT_EQ(dest->ReleaseDC(destDc), DD_OK);
    std::vector<uint32_t> pixels = RawPixels(dest.get());
    EXPECT_EQ(pixels[0], 0xF800u);
    EXPECT_EQ(pixels[1], 0xF800u);
    EXPECT_EQ(pixels[2], 0x07E0u);
    EXPECT_EQ(pixels[7], 0xFFFFu);
    EXPECT_EQ(pixels[3 * 8 + 3], 0x8410u);

    // The source rectangle reaches one column left of its surface: that quarter of the
    // destination stays as it was.
    ASSERT_EQ(dest->GetDC(&destDc), DD_OK);
    ASSERT_EQ(source->GetDC(&sourceDc), DD_OK);
    std::vector<uint32_t> before = pixels;
    EXPECT_EQ(StretchBlt(destDc, 0, 0, 8, 4, sourceDc, -1, 0, 4, 2, SRCCOPY), TRUE);
    ASSERT_EQ(source->ReleaseDC(sourceDc), DD_OK);
    ASSERT_EQ(dest->ReleaseDC(destDc), DD_OK);
    pixels = RawPixels(dest.get());
    EXPECT_EQ(pixels[0], before[0]);
    EXPECT_EQ(pixels[1], before[1]);
    EXPECT_EQ(pixels[2], 0xF800u);  // source column 0 now lands from x = 2
    EXPECT_EQ(pixels[7], 0x001Fu);
}

TEST_F(DisplayTest, TheCursorBitmapsMakeACursorThatShows) {
    BITMAPV5HEADER header;
    std::memset(&header, 0, sizeof header);
    header.bV5Size = sizeof header;
    header.bV5Width = 32;
    header.bV5Height = -32;  // top-down
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                     &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(color, nullptr);
    ASSERT_NE(bits, nullptr);
    auto* pixels = static_cast<uint32_t*>(bits);
    EXPECT_EQ(pixels[0], 0u);
    for (int i = 0; i < 32 * 32; ++i)
        pixels[i] = i % 32 < 16 ? 0x80FF0000u : 0u;
    pixels[31 * 32 + 31] = 0xFF00FF00u;
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, nullptr);
    ASSERT_NE(mask, nullptr);

    ICONINFO info{FALSE, 3, 5, mask, color};
    HICON made = CreateIconIndirect(&info);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(DeleteObject(mask), TRUE);
    EXPECT_EQ(DeleteObject(color), TRUE);
    EXPECT_EQ(DeleteObject(color), FALSE);

    SetCursor(made);
    bool shown = false;
    EXPECT_EQ(port::control::ShownCursor(&shown), made);
    EXPECT_TRUE(shown);
    std::shared_ptr<const port::CursorImage> image = port::LookupCursorImage(made);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 32);
    EXPECT_EQ(image->hotX, 3);
    EXPECT_EQ(image->hotY, 5);
    EXPECT_EQ(image->argb[0], 0x80FF0000u);
    EXPECT_EQ(image->argb[20], 0u);
    EXPECT_EQ(image->argb[31 * 32 + 31], 0xFF00FF00u);
    EXPECT_EQ(DestroyIcon(made), TRUE);
}

TEST_F(DisplayTest, BitmapsCheckTheirShape) {
    BITMAPV5HEADER header;
    std::memset(&header, 0, sizeof header);
    header.bV5Size = sizeof header;
    header.bV5Width = 4;
    header.bV5Height = 2;  // bottom-up
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_RGB;
    void* bits = nullptr;
    auto* info = reinterpret_cast<BITMAPINFO*>(&header);
    HBITMAP bottomUp = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bottomUp, nullptr);
    // The first row in memory is the bottom one; without alpha the mask decides.
    static_cast<uint32_t*>(bits)[0] = 0x00112233;
    static_cast<uint32_t*>(bits)[4] = 0x00445566;
    // Rows of 16 bits: the top row transparent but for its first pixel, the bottom row opaque.
    uint8_t maskBits[4] = {0x7F, 0, 0, 0};
    HBITMAP mask = CreateBitmap(4, 2, 1, 1, maskBits);
    ICONINFO icon{TRUE, 0, 0, mask, bottomUp};
    HICON made = CreateIconIndirect(&icon);
    ASSERT_NE(made, nullptr);
    std::shared_ptr<const port::CursorImage> image = port::LookupCursorImage(made);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->argb[0], 0xFF445566u);  // top-left: opaque, from the bottom-up memory
    EXPECT_EQ(image->argb[1], 0u);           // masked
    EXPECT_EQ(image->argb[4], 0xFF112233u);  // bottom-left: mask row of zeros
    EXPECT_EQ(image->hotX, 2);               // an icon's hot spot is its centre
    DestroyIcon(made);
    DeleteObject(mask);
    DeleteObject(bottomUp);

    struct Case {
        int width, height, planes, bitCount;
        DWORD compression;
    } bad[] = {{0, 2, 1, 32, BI_RGB},     {4, 0, 1, 32, BI_RGB}, {4, 2, 2, 32, BI_RGB},
               {4, 2, 1, 24, BI_RGB},     {4, 2, 1, 32, 1},      {16385, 2, 1, 32, BI_RGB},
               {4, -16385, 1, 32, BI_RGB}};
    for (const Case& c : bad) {
        header.bV5Width = c.width;
        header.bV5Height = c.height;
        header.bV5Planes = static_cast<WORD>(c.planes);
        header.bV5BitCount = static_cast<WORD>(c.bitCount);
        header.bV5Compression = c.compression;
        EXPECT_EQ(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr)
            << c.width << "x" << c.height;
        EXPECT_EQ(bits, nullptr);
    }
    header.bV5Width = 4;
    header.bV5Height = 2;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0xF800;  // 565 masks on 32 bits: not a format here
    EXPECT_EQ(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(CreateBitmap(4, 4, 1, 8, nullptr), nullptr);

    HBITMAP small = CreateBitmap(2, 2, 1, 1, nullptr);
    header.bV5Compression = BI_RGB;
    HBITMAP colour = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ICONINFO tooSmall{FALSE, 0, 0, small, colour};
    EXPECT_EQ(CreateIconIndirect(&tooSmall), nullptr);
    ICONINFO noMask{FALSE, 0, 0, nullptr, colour};
    EXPECT_EQ(CreateIconIndirect(&noMask), nullptr);
    EXPECT_EQ(CreateIconIndirect(nullptr), nullptr);
    DeleteObject(small);
    DeleteObject(colour);
}

}  // namespace
