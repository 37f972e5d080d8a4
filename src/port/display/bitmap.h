// GDI bitmaps for the program's cursor: a 32-bit DIB section whose pixels the program writes, a
// monochrome mask bitmap, and a cursor made from the two (CreateIconIndirect), which SetCursor
// and the class cursor show like any other (port/window/cursor.h).
//
// What it models: 32-bit DIB sections (top-down or bottom-up, BI_RGB or BI_BITFIELDS with the
// A8R8G8B8 masks) and bitmaps of 1 or 32 bits per pixel. What it leaves out: palettes, other
// depths, compression, drawing into bitmaps with device contexts.
//
// Any thread may call these.
#pragma once

#include "port/win32types.h"

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // negative: rows top first
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

// Begins with the same fields as BITMAPINFOHEADER, so either may be handed over as a
// BITMAPINFO; biSize (bV5Size) tells them apart.
struct BITMAPV5HEADER {
    DWORD bV5Size;
    LONG bV5Width;
    LONG bV5Height;
    WORD bV5Planes;
    WORD bV5BitCount;
    DWORD bV5Compression;
    DWORD bV5SizeImage;
    LONG bV5XPelsPerMeter;
    LONG bV5YPelsPerMeter;
    DWORD bV5ClrUsed;
    DWORD bV5ClrImportant;
    DWORD bV5RedMask;
    DWORD bV5GreenMask;
    DWORD bV5BlueMask;
    DWORD bV5AlphaMask;
    DWORD bV5CSType;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct ICONINFO {
    BOOL fIcon;  // TRUE: an icon, whose hot spot is its centre
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;   // 1 bit: 1 where the cursor is transparent
    HBITMAP hbmColor;  // 32 bits; with any alpha byte above 0 the alpha decides, not the mask
};

// A 32-bit DIB section of the header's size, its pixels zeroed; *bits (when given) receives them,
// rows of width x 4 bytes. Null with ERROR_INVALID_PARAMETER for anything else. The device
// context, a file-mapping section and its offset are not used (the section must be null).
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// A bitmap of 1 or 32 bits per pixel (one plane), rows padded to 16 bits, filled from bits when
// given (rows padded alike), else zeroed.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// Deletes a bitmap; stock objects stay. FALSE for anything else.
BOOL DeleteObject(HGDIOBJ object);
BOOL DeleteObject(HBITMAP bitmap);
// A cursor (or icon) from a colour bitmap and a mask, registered in the cursor table with its
// pixels and hot spot. The bitmaps stay the caller's. Null with ERROR_INVALID_PARAMETER without
// a mask or for a mask smaller than the colour bitmap; without a colour bitmap the mask is twice
// as high: its top half the mask, its bottom half black or white.
HICON CreateIconIndirect(const ICONINFO* info);
