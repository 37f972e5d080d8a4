// Painting: the invalid area of a window, and the WM_PAINT protocol. The invalid area is kept
// as one bounding rectangle with an erase flag. Drawing itself goes through the display, not
// through these device contexts.
#pragma once

#include "port/win32types.h"

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

// A null window invalidates every window; a null rectangle the whole client area.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
// FALSE when nothing is invalid; the rectangle (optional) is the invalid area.
BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase);
// Sends WM_PAINT at once when something is invalid.
BOOL UpdateWindow(HWND window);
// Sends WM_ERASEBKGND when erasing is pending, fills the record and validates the window.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
