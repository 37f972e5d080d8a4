// GDI on DirectDraw surfaces: copies between the device contexts that
// IDirectDrawSurface7::GetDC hands out. Unlike DirectDraw's own blits these clip to both
// surfaces instead of refusing a rectangle that reaches outside one. They convert between formats
// by the rasterizer's rules, X8R8G8B8 and A8R8G8B8 keeping their words, and stretch by nearest
// neighbour. Only SRCCOPY and positive sizes; no mirroring, no other raster operations, and no
// device contexts other than surfaces'.
//
// Any thread may call these, for device contexts it holds.
#pragma once

#include "port/win32types.h"

constexpr DWORD SRCCOPY = 0x00CC0020;

// Copies width x height pixels from (sx, sy) of the source to (x, y) of the destination. TRUE
// when done (nothing to do included); FALSE with ERROR_INVALID_PARAMETER for another operation or
// a negative size, ERROR_INVALID_HANDLE when either is not a surface's device context.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
// Copies the source rectangle (sx, sy, sourceWidth x sourceHeight) onto the destination
// rectangle, stretched. A source rectangle reaching outside its surface is cut to it and the
// destination cut in proportion. Answers as BitBlt.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy,
                int sourceWidth, int sourceHeight, DWORD rop);
