// TDXContext: the display's DirectX context. The display (platformdata.h) owns the one context;
// it holds the mouse cursor state: where the mouse is in game coordinates, whether the software
// cursor is shown and drawn, and the desktop's metrics.
//
// So far it holds only what the event pump and the window procedure ask of it: the mouse
// position (read from the system cursor relative to the main window's client area), the software
// cursor's move and hide, the Windows cursor it applies, and the desktop metrics. The device, the
// cursor images and their drawing come with the display itself.
//
// The main thread uses it (the window procedure runs there too, under dispatch); the cursor
// worker thread will draw the cursor through it, so the cursor state is guarded by the mouse
// mutex. Guarded calls made on the same thread re-enter the mutex.
#pragma once

#include <mutex>

#include "port/win32types.h"

class TDXContext {
public:
    TDXContext();
    virtual ~TDXContext();
    TDXContext(const TDXContext&) = delete;
    TDXContext& operator=(const TDXContext&) = delete;

    // Forgets the cursor's positions (-1, -1), marks it neither shown nor drawn and re-reads the
    // window rectangle.
    void ResetMouse();
    // Reads the system cursor, takes off the window's origin on the screen and divides by the
    // platform's display scale x (truncated); stores the result and answers it.
    POINT UpdateMousePosition();
    // The last position UpdateMousePosition or MoveMouse stored.
    POINT GetMousePosition() const;
    // Re-reads the window rectangle; when it moved, the cursor is no longer drawn there and its
    // position is read again.
    void OnWindowMoved();
    // The mouse moved inside the window to the point (window pixels): the cursor counts as shown
    // (the mouse is inside) and moves there; answers the point in game coordinates.
    POINT MoveMouse(POINT windowPoint);
    // Takes the software cursor off the screen: no longer drawn, and when it was shown the mouse
    // is reset (it left the window).
    void EraseMouse();
    bool IsCursorShown() const;
    bool IsCursorDrawn() const;

    // Sets the Windows cursor built from the hardware-cursor image when show is true, there is one
    // and the display is windowed; otherwise none.
    void ApplyCursor(bool show);

    // The desktop's colour count (-1 above 8 bits per pixel), width and height.
    void SetDesktopInfo(int colours, int width, int height);
    int GetDesktopColours() const { return mDesktopColours; }
    int GetDesktopWidth() const { return mDesktopWidth; }
    int GetDesktopHeight() const { return mDesktopHeight; }

    // The window's client area on the screen, as last read.
    RECT GetWindowRect() const;
    POINT GetWindowOrigin() const;

private:
    // The main window's client rectangle on the screen (empty without a main window).
    static RECT ReadWindowRect();

    mutable std::recursive_mutex mMouseMutex;
    RECT mWindowRect{};
    POINT mPosition{-1, -1};
    POINT mLastPosition{-1, -1};
    int mSaveIndex = 0;
    bool mShown = false;
    bool mDrawn = false;
    bool mWindowed = true;
    HCURSOR mWindowsCursor = nullptr;

    int mDesktopColours = -1;
    int mDesktopWidth = 0;
    int mDesktopHeight = 0;
};
