// Device contexts of the screen and of windows, their capabilities, and stock objects. Device
// contexts are handles in the port layer's table; the display code adds its own (surfaces),
// and the screen's answers the virtual desktop's size and colours.
//
// Any thread may call these. Drawing with device contexts (blits, fills) is not here.
#pragma once

#include "port/win32types.h"

constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMCOLORS = 24;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int SIZEPALETTE = 104;
constexpr int VREFRESH = 116;

// A device context for the screen (null window) or a window; null on failure.
HDC GetDC(HWND window);
// 1 when the device context was released.
int ReleaseDC(HWND window, HDC dc);
// The screen's HORZRES and VERTRES (the desktop size), BITSPIXEL, PLANES (1), NUMCOLORS (the
// number of colours up to 8 bits per pixel, -1 above), LOGPIXELSX and Y (96), SIZEPALETTE and
// VREFRESH; 0 for anything else or a handle that is not a device context.
int GetDeviceCaps(HDC dc, int index);

constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;

// A stock object's handle, null for an unknown one.
HGDIOBJ GetStockObject(int object);
