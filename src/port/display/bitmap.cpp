#include "port/display/bitmap.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "port/failinjection.h"
#include "port/handletable.h"
#include "port/system/lasterror.h"
#include "port/window/cursorimage.h"
#include "port/window/gdi.h"
#include "raster/surface.h"

namespace port::display {
namespace {

struct Bitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;  // 1 or 32
    bool topDown = true;   // row 0 of `bits` is the top row
    int stride = 0;
    std::vector<uint8_t> bits;

    // The pixel of row y (0 the top), 0xAARRGGBB for 32 bits, 0 or 1 for one bit.
    uint32_t Pixel(int x, int y) const {
        const uint8_t* row =
            bits.data() + static_cast<size_t>(topDown ? y : height - 1 - y) * stride;
        if (bitsPerPixel == 1) return row[x >> 3] >> (7 - (x & 7)) & 1;
        uint32_t value;
        std::memcpy(&value, row + 4 * x, 4);
        return value;
    }
};

HandleTable<HBITMAP, Bitmap>& Bitmaps() {
    static auto* table = new HandleTable<HBITMAP, Bitmap>(0x000E0010, 0x10);
    return *table;
}

bool SideOk(int64_t side) {
    return side >= 1 && side <= raster::TSurface::kMaxSide;
}

std::nullptr_t Fail() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

HBITMAP Add(std::shared_ptr<Bitmap> bitmap) {
    return Bitmaps().Add(std::move(bitmap));
}

}  // namespace
}  // namespace port::display

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD) {
    using namespace port::display;
    if (bits != nullptr) *bits = nullptr;
    if (port::ShouldFail("CreateDIBSection")) return nullptr;
    if (info == nullptr || usage != DIB_RGB_COLORS || section != nullptr) return Fail();
    // The two headers share their first fields; a V5 header adds the masks.
    BITMAPV5HEADER header;
    std::memset(&header, 0, sizeof header);
    DWORD size = info->bmiHeader.biSize;
    if (size == sizeof(BITMAPV5HEADER)) {
        std::memcpy(&header, info, sizeof header);
    } else if (size == sizeof(BITMAPINFOHEADER)) {
        std::memcpy(&header, info, sizeof(BITMAPINFOHEADER));
    } else {
        return Fail();
    }
    bool standardMasks = header.bV5RedMask == 0x00FF0000 && header.bV5GreenMask == 0x0000FF00 &&
                         header.bV5BlueMask == 0x000000FF &&
                         (header.bV5AlphaMask == 0 || header.bV5AlphaMask == 0xFF000000);
    bool compression =
        header.bV5Compression == BI_RGB ||
        (header.bV5Compression == BI_BITFIELDS && size == sizeof(BITMAPV5HEADER) && standardMasks);
    int64_t height = header.bV5Height;
    if (!SideOk(header.bV5Width) || !SideOk(height < 0 ? -height : height) ||
        header.bV5Planes != 1 || header.bV5BitCount != 32 || !compression) {
        return Fail();
    }
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = header.bV5Width;
    bitmap->height = static_cast<int>(height < 0 ? -height : height);
    bitmap->bitsPerPixel = 32;
    bitmap->topDown = height < 0;
    bitmap->stride = bitmap->width * 4;
    bitmap->bits.assign(static_cast<size_t>(bitmap->stride) * bitmap->height, 0);
    void* pixels = bitmap->bits.data();
    HBITMAP handle = Add(std::move(bitmap));
    if (bits != nullptr) *bits = pixels;
    return handle;
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    using namespace port::display;
    if (port::ShouldFail("CreateBitmap")) return nullptr;
    if (!SideOk(width) || !SideOk(height) || planes != 1 ||
        (bitsPerPixel != 1 && bitsPerPixel != 32)) {
        return Fail();
    }
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bitsPerPixel = static_cast<int>(bitsPerPixel);
    bitmap->stride = bitsPerPixel == 1 ? (width + 15) / 16 * 2 : width * 4;
    bitmap->bits.assign(static_cast<size_t>(bitmap->stride) * height, 0);
    if (bits != nullptr) std::memcpy(bitmap->bits.data(), bits, bitmap->bits.size());
    return Add(std::move(bitmap));
}

BOOL DeleteObject(HGDIOBJ object) {
    for (int stock = WHITE_BRUSH; stock <= NULL_BRUSH; ++stock) {
        if (GetStockObject(stock) == object) return TRUE;
    }
    // A GDI object may be a bitmap.
    return DeleteObject(reinterpret_cast<HBITMAP>(object));
}

BOOL DeleteObject(HBITMAP bitmap) {
    return port::display::Bitmaps().Remove(bitmap) ? TRUE : FALSE;
}

HICON CreateIconIndirect(const ICONINFO* info) {
    using namespace port::display;
    if (port::ShouldFail("CreateIconIndirect")) return nullptr;
    if (info == nullptr) return Fail();
    std::shared_ptr<Bitmap> mask = Bitmaps().Lookup(info->hbmMask);
    std::shared_ptr<Bitmap> color =
        info->hbmColor != nullptr ? Bitmaps().Lookup(info->hbmColor) : nullptr;
    if (mask == nullptr || (info->hbmColor != nullptr && color == nullptr)) return Fail();
    port::CursorImage image;
    image.width = color != nullptr ? color->width : mask->width;
    image.height = color != nullptr ? color->height : mask->height / 2;
    if (image.height < 1 || mask->width < image.width ||
        mask->height < (color != nullptr ? 1 : 2) * image.height ||
        (color != nullptr && color->bitsPerPixel != 32)) {
        return Fail();
    }
    image.argb.resize(static_cast<size_t>(image.width) * image.height);
    // A colour bitmap with any alpha decides by its alpha; otherwise the mask does.
    bool alpha = false;
    if (color != nullptr) {
        for (int y = 0; y < image.height && !alpha; ++y) {
            for (int x = 0; x < image.width && !alpha; ++x)
                alpha = (color->Pixel(x, y) >> 24) != 0;
        }
    }
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            uint32_t transparent = mask->Pixel(x, y) & 1;
            uint32_t pixel;
            if (color != nullptr) {
                uint32_t c = color->Pixel(x, y);
                pixel = alpha ? c : (transparent ? 0 : (c | 0xFF000000u));
            } else {
                // A monochrome cursor: the bottom half of the mask is its colour.
                uint32_t white = mask->Pixel(x, y + image.height) & 1;
                pixel = transparent && !white ? 0 : (white ? 0xFFFFFFFFu : 0xFF000000u);
            }
            image.argb[static_cast<size_t>(y) * image.width + x] = pixel;
        }
    }
    if (info->fIcon) {
        image.hotX = image.width / 2;
        image.hotY = image.height / 2;
    } else {
        image.hotX = static_cast<int>(std::min<DWORD>(info->xHotspot, image.width - 1));
        image.hotY = static_cast<int>(std::min<DWORD>(info->yHotspot, image.height - 1));
    }
    return port::AddCursorImage(std::move(image));
}
