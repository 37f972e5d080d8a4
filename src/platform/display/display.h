// CDisplay: the DirectDraw side of the screen: the DirectDraw object, the front buffer (the
// visible primary surface), the back buffer the Direct3D device draws into, and the window they
// belong to. It makes them full screen, trying every display device in turn until one works, or
// in a window with a clipper; it presents a finished frame; and it makes plain off-screen
// surfaces (CSurface, surface.h) for the DirectX context.
//
// The DirectX context (dxcontext.h) owns the one display of the program and calls it on the
// main thread under its mouse mutex. The display owns one reference to each of its objects (two
// to a full-screen back buffer: the one the chain handed out and the one it added) and releases
// them in DestroyObjects, which every create starts with and the destructor runs.
//
// Display flags, the 32-bit argument of both create operations: bits 16 to 31 hold the device
// index of the full-screen search (0: the default device); bit 2 asks for the anti-aliasing hint
// on the primary (full screen) or the back buffer (window); bit 1 leaves the window's style, size
// and position as they are (windowed).
#pragma once

#include "port/display/ddraw.h"

class CSurface;

class CDisplay {
public:
    static constexpr DWORD kFlagKeepWindow = 0x2;
    static constexpr DWORD kFlagAntialiasHint = 0x4;

    CDisplay();
    virtual ~CDisplay();
    CDisplay(const CDisplay&) = delete;
    CDisplay& operator=(const CDisplay&) = delete;

    // Releases the back and the front buffer, puts the DirectDraw object back to the normal
    // level for the window and releases it. Answers S_OK.
    virtual HRESULT DestroyObjects();

    // Full screen at width x height: an exclusive DirectDraw object on the first display device
    // that takes the mode, with a flip chain of one back buffer. When every device failed, logs
    // "Failed to create a DirectDraw device after trying all GUIDs", tells the user once (only
    // when this display never worked) and answers E_FAIL.
    HRESULT CreateFullScreenDisplay(HWND window, int width, int height, int bitsPerPixel,
                                    DWORD flags);
    // A window: the windowed primary with a clipper on clipWindow (null: the window itself) and
    // a back buffer of width x height, in video memory when videoMemory is set. Unless flag bit 1
    // is set, the window is first given a caption, a sizing frame and a minimise box, a client
    // area of width x height, no topmost place, and a top-left corner inside the work area.
    HRESULT CreateWindowedDisplay(HWND window, HWND clipWindow, int width, int height,
                                  bool videoMemory, DWORD flags);

    // A new off-screen surface: the pixel format when given, the capabilities when given (else
    // DDSCAPS_OFFSCREENPLAIN). E_POINTER without a DirectDraw object, E_INVALIDARG without an
    // out pointer; on failure *surface is null and the error is answered.
    HRESULT CreateSurface(CSurface** surface, int width, int height, DDPIXELFORMAT* format,
                          DDSCAPS2* caps);

    // Shows the back buffer: a blit onto the window's client area, or a flip. Repeats while the
    // surfaces are still drawing; a lost surface restores both buffers and answers the loss.
    // E_POINTER without both buffers.
    HRESULT Present();

    // Re-reads the window rectangle: the client area on the screen in a window, the whole
    // screen in full screen. Answers S_OK.
    HRESULT UpdateBounds();
    // UpdateBounds, then the rectangle's top-left corner.
    POINT GetWindowOrigin();
    // Gives the desktop its mode back (when there is a DirectDraw object).
    void RestoreDisplayMode();

    IDirectDraw7* GetDirectDraw() const { return mDirectDraw; }
    IDirectDrawSurface7* GetFrontBuffer() const { return mFrontBuffer; }
    IDirectDrawSurface7* GetBackBuffer() const { return mBackBuffer; }
    HWND GetWindow() const { return mWindow; }
    // The window rectangle as last read.
    const RECT& GetBounds() const { return mWindowRect; }
    bool IsWindowed() const { return mWindowed; }
    // Whether a display was ever made (never cleared).
    bool WasCreated() const { return mCreated; }

private:
    // One attempt of the full-screen search on device index n; answers whether it is done
    // (result final) or the next device must be tried.
    bool TryFullScreenDevice(HWND window, int width, int height, int* bitsPerPixel, DWORD flags,
                             int device, HRESULT* result);
    bool MakeFlipChain(DWORD flags);
    void FitWindow(HWND window, int width, int height);
    void FillBlack(IDirectDrawSurface7* surface);

    IDirectDraw7* mDirectDraw = nullptr;
    IDirectDrawSurface7* mFrontBuffer = nullptr;
    IDirectDrawSurface7* mBackBuffer = nullptr;
    HWND mWindow = nullptr;
    RECT mWindowRect{};
    bool mWindowed = false;
    bool mCreated = false;
    // The full-screen back buffer carries the reference the display added to the chain's.
    bool mBackBufferExtraRef = false;
};
