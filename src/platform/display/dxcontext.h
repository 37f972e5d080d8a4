// TDXContext: the display's one DirectX context. It owns the DirectDraw display (display.h), the
// Direct3D interface and device, and the mouse cursor state. Create makes display and device for
// the display set-up, refusing devices that cannot run the game (no hardware rasteriser,
// textures under 1024 x 1024), writes the device's identity into the log and the info text, and
// flags chips known to draw indexed vertices wrongly. The display record (displayrecord.h)
// owns the context.
//
// The mouse position, the cursor's shown and drawn state, the cursor surfaces and Create are
// guarded by the mouse mutex, named from a fresh GUID so that every context has its own
// ("TDXContextMouseMutex:%x:%x:%x:%x"), and held through TMouseLock (mouselock.h). The main
// thread uses the context (the window procedure under dispatch too); the cursor worker draws the
// cursor through it under the mutex.
#pragma once

#include <memory>
#include <vector>

#include "foundation/str.h"
#include "platform/display/cursorrun.h"
#include "platform/display/display.h"
#include "platform/display/surface.h"
#include "port/device/d3d.h"
#include "port/win32types.h"

class MouseTextureListener;
class TTexture;

class TDXContext {
public:
    TDXContext();
    virtual ~TDXContext();
    TDXContext(const TDXContext&) = delete;
    TDXContext& operator=(const TDXContext&) = delete;

    // Display flags, as the display set-up passes them (display.h): bit 0 always, bit 1 when
    // the main window is a child of the host window, bit 2 for the anti-aliasing hint.
    // Makes the display (full screen or a window of width x height) and a Direct3D device on its
    // back buffer; false leaves no device. The flags it sets (palettised desktop, out of video
    // memory, render target not in video memory, colour count 32) steer the next attempt.
    bool Create(HWND window, bool fullscreen, int width, int height, int bitsPerPixel, DWORD flags);
    // Releases the device and Direct3D, gives the desktop its mode back, destroys the display's
    // objects, invalidates every window and marks the cursor not shown.
    void ReleaseDevice();
    // Clears the whole render target (colour 0, z 1.0, stencil 0) with the D3DCLEAR flags.
    void ClearDevice(DWORD flags);
    // False without a back buffer; in a window true; full screen only while the exclusive
    // level holds and the last flip is done.
    bool CanDraw();

    IDirectDraw7* GetDirectDraw() const { return mDisplay.GetDirectDraw(); }
    IDirectDrawSurface7* GetFrontBuffer() const { return mDisplay.GetFrontBuffer(); }
    IDirectDrawSurface7* GetBackBuffer() const { return mDisplay.GetBackBuffer(); }
    IDirect3D7* GetDirect3D() const { return mDirect3D; }
    IDirect3DDevice7* GetDevice() const { return mDevice; }
    CDisplay& GetDisplay() { return mDisplay; }
    // The display's window origin on the screen, read again.
    POINT GetWindowOrigin();
    // The client area on the screen as the display last read it.
    RECT GetWindowRect() const;

    // The device chosen during enumeration, with whether it rasterises in hardware.
    void SetDeviceCapsCopy(const D3DDEVICEDESC7& desc, bool hardware);
    const D3DDEVICEDESC7& GetDeviceDesc() const { return mDeviceDesc; }
    bool IsHardwareDevice() const { return mHardwareDevice; }
    // The display mode read after the display was made.
    const DDSURFACEDESC2& GetDisplayMode() const { return mDisplayMode; }
    void SetZBufferFormat(const DDPIXELFORMAT& format);

    // The desktop's colour count (-1 above 8 bits per pixel), width and height.
    void SetDesktopInfo(int colours, int width, int height);
    int GetDesktopColours() const { return mDesktopColours; }
    int GetDesktopWidth() const { return mDesktopWidth; }
    int GetDesktopHeight() const { return mDesktopHeight; }

    // The window drawing is clipped to when the game runs inside a host window; none otherwise.
    void SetClipWindow(HWND window) { mClipWindow = window; }
    HWND GetClipWindow() const { return mClipWindow; }

    // Flags of the last Create.
    bool IsPalettized() const { return mPalettized; }
    bool IsOutOfVideoMemory() const { return mOutOfVideoMemory; }
    bool IsRenderTargetNotInVideoMemory() const { return mRenderTargetNotInVideoMemory; }
    bool HasRenderTargetFailure() const { return mRenderTargetFailure; }
    void SetRenderTargetFailure(bool failed) { mRenderTargetFailure = failed; }
    bool HasColourKey() const { return mColourKey; }
    // The device report Create appends to.
    const str& GetInfo() const { return mInfo; }

    HANDLE GetMouseMutex() const { return mMouseMutex; }
    const str& GetMouseMutexName() const { return mMouseMutexName; }

    // ---- The mouse, under the mutex.

    // Forgets the cursor's positions (-1, -1) and the background-save index, marks it neither
    // shown nor drawn and has the display re-read its window rectangle.
    void ResetMouse();
    // Reads the system cursor, takes off the display's window origin and divides by the
    // platform's display scale x (truncated); stores the result and answers it.
    POINT UpdateMousePosition();
    // The last position UpdateMousePosition or MoveMouse stored.
    POINT GetMousePosition() const;
    // Has the display re-read its window rectangle; when it moved, the cursor is no longer drawn
    // there and its position is read again.
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

    // The cursor image: kept as the hardware-cursor texture (hardware) or the software one, with
    // its hot spot. Without a device the texture is let go and the answer is false.
    bool SetMouseImage(std::shared_ptr<TTexture> texture, bool hardware, int hotSpotX,
                       int hotSpotY);
    // Draws the software cursor at the position (game coordinates; (-1, -1): the current mouse
    // position) on the front buffer, or into the back buffer with backBuffer. Answers where it
    // drew, or (-1, -1) when it drew nothing. Without backBuffer it draws at most once per 16 ms
    // while the cursor is shown, unless an explicit position forces it. Any thread (the cursor
    // worker draws through it between frames).
    POINT DrawMouse(POINT position, bool backBuffer);
    // Presents the frame with the cursor on it; the back buffer is left without the cursor in a
    // window. 0 when the cursor surfaces cannot be restored or re-created (nothing presented).
    HRESULT Present();
    // Start of a full-screen frame: the front buffer copied into the back buffer, the cursor
    // taken out of the copy. Nothing in a window.
    bool PrepareFrame();
    // The cursor surfaces' state: lost (restored at the next present), to be re-created, or
    // unavailable for want of video memory (no software cursor).
    bool AreCursorSurfacesLost() const;
    bool AreCursorSurfacesUnavailable() const;
    // Shows or hides the cursor.
    void ShowCursor(bool show);
    bool IsCursorVisible() const;
    // Whether the cursor is drawn as an overlay (stored; nothing reads it yet).
    void SetOverlayCursor(bool overlay) { mOverlayCursor = overlay; }
    bool IsOverlayCursor() const { return mOverlayCursor; }
    // The software-cursor texture; empty when none is set.
    std::shared_ptr<TTexture> GetCursorTexture() const;
    // Builds the cursor image again after the display was restored (the listener runs it). One
    // at a time in the process: a second call while one runs is logged and does nothing. While
    // drawing is suspended only the drawn flag is cleared.
    void RestoreMouseImage();
    // Whether a RestoreMouseImage runs (or waits for the mutex) somewhere in the process.
    static bool IsRestoringMouseImage();

    // The listener that rebuilds the cursor image (null until the first software image).
    MouseTextureListener* GetListener() const { return mListener; }
    // The listener is going.
    void ForgetListener(MouseTextureListener* listener);

private:
    bool CreateDisplay(HWND window, bool fullscreen, bool embedded, int* width, int* height,
                       int bitsPerPixel, DWORD flags);
    bool ChooseDevice(bool embedded);
    bool CreateDeviceOn(bool fullscreen, int width, int height);
    void ReportDevice();
    void ReadDesktop();
    // The cursor (dxcontextcursor.cpp), all under the mouse mutex.
    bool ShouldDrawMouse(bool forced, const POINT& position);
    void PutBackground(IDirectDrawSurface7* target);
    HRESULT CreateCursorSurfaces();
    void DestroyCursorSurfaces();
    bool BuildRuns(TTexture* texture, std::vector<TCursorRun>* runs);
    bool UsesWindowsCursor() const;
    void RestoreMouseImageLocked();
    // The Windows cursor from the texture (none for an empty one), shown at once; false before
    // Windows XP (dxcontexthwcursor.cpp).
    bool BuildWindowsCursor(TTexture* texture, POINT hotSpot);
    // In a window, the main window's class cursor: the Windows cursor while visible, else none.
    void ApplyClassCursor();

    str mInfo;
    HWND mClipWindow = nullptr;
    CDisplay mDisplay;
    IDirect3D7* mDirect3D = nullptr;
    IDirect3DDevice7* mDevice = nullptr;
    D3DDEVICEDESC7 mDeviceDesc{};
    bool mHardwareDevice = false;
    bool mDeviceFound = false;
    DDSURFACEDESC2 mDisplayMode{};
    DDPIXELFORMAT mZBufferFormat{};
    // The z-buffer attached to the back buffer while the device lives.
    std::unique_ptr<CSurface> mZBuffer;

    bool mPalettized = false;
    bool mOutOfVideoMemory = false;
    bool mRenderTargetNotInVideoMemory = false;
    bool mRenderTargetFailure = false;
    bool mColourKey = true;

    int mDesktopColours = -1;
    int mDesktopWidth = 0;
    int mDesktopHeight = 0;

    MouseTextureListener* mListener = nullptr;
    // The cursor: which background save is in use, when it was last drawn (application ms),
    // its surfaces (two background saves and the composition), its state and images. The
    // cursor's images and drawing fill these in.
    int mSaveIndex = 0;
    DWORD mLastDrawTime = 0;
    CSurface mCursorSurfaces[3];
    bool mDrawn = false;
    // Where the saved background goes back: the back buffer (last drawn into a frame) or the
    // front buffer.
    bool mBackBufferSave = false;
    bool mSurfacesUnavailable = false;
    bool mSurfacesLost = false;
    bool mRecreateSurfaces = false;
    // Wait for the vertical blank before a windowed present (the setting "vsync").
    bool mWaitVerticalBlank = false;
    // The target rectangle of the last draw and the image part it showed (the save surfaces
    // hold the background at that part).
    RECT mSavedRect{0, 0, 0, 0};
    RECT mSavedSource{0, 0, 0, 0};
    // The negated hot spot of the drawn image, and its size (0 while there is none).
    POINT mHotSpotOffset{0, 0};
    int mImageWidth = 0;
    int mImageHeight = 0;
    POINT mPosition{-1, -1};
    POINT mLastPosition{-1, -1};
    bool mShown = false;
    std::shared_ptr<TTexture> mHardwareCursorTexture;
    POINT mHardwareHotSpot{0, 0};
    std::shared_ptr<TTexture> mSoftwareCursorTexture;
    POINT mSoftwareHotSpot{0, 0};
    // The software image's pixel runs: the normal and the alternate list, and which is drawn.
    std::vector<TCursorRun> mRuns;
    std::vector<TCursorRun> mAlternateRuns;
    bool mUseAlternateRuns = false;
    bool mCursorVisible = true;
    bool mOverlayCursor = false;
    HCURSOR mWindowsCursor = nullptr;
    POINT mWindowsHotSpot{0, 0};

    HANDLE mMouseMutex = nullptr;
    str mMouseMutexName;
};
