// DirectDraw 7 as the program calls it: display devices, the DirectDraw object, surfaces and
// clippers, with their flags and structures.
//
// Devices: DirectDrawEnumerateExA shows the default device (without a GUID) and then each other
// configured device with its GUID; each has display modes (16-bit R5G6B5, 24-bit R8G8B8, 32-bit
// X8R8G8B8), a video-memory budget, a colour-key capability and an identifier. A DirectDraw object
// works at the normal level, or at the exclusive full-screen level, which one object holds at a
// time; only there may it set a display mode (the desktop changes, WM_DISPLAYCHANGE included) and
// make a flip chain (a primary with one back buffer, the mode's size and format; a flip exchanges
// their memory). Surfaces in video memory take bytes from the budget: past it, one asking for
// video memory fails with DDERR_OUTOFVIDEOMEMORY and one asking for none goes to system memory.
// The windowed primary (the desktop) is outside the budget.
//
// Loss: when an exclusive display's window leaves the foreground, its surfaces are lost and
// TestCooperativeLevel answers DDERR_NOEXCLUSIVEMODE until the window is back; a display mode
// change loses every surface and puts objects at the normal level into DDERR_WRONGMODE for good.
// Lost surfaces answer DDERR_SURFACELOST until Restore or RestoreAllSurfaces, which answer the
// TestCooperativeLevel failure while there is one and else give memory holding noise (the
// windowed primary takes the desktop back as it is).
//
// What it models: surfaces whose pixels are raster::TSurface memory (src/raster), in the formats
// X8R8G8B8, A8R8G8B8, R5G6B5, A4R4G4B4, R8G8B8 (plain surfaces only) and 16-bit depth; locks,
// colour fills, converting and stretching blits, z-buffer attachment, clippers bound to a window,
// and the windowed primary surface, which is the virtual desktop. What it leaves out: palettes,
// overlays, colour keys, blit effects other than "no tearing", and every operation the program
// never calls. The structures carry only the fields the program reads or fills; their sizes are
// ours, and every structure the layer writes is zero-filled first, padding included.
//
// Objects are reference counted: every operation that hands out an interface adds a reference
// for the caller, and an object lives until its last Release, whatever happened to the object
// that made it. Pixel operations are immediate (nothing is ever pending), and a surface may be
// used from several threads: the layer serialises every access to its pixels. Between Lock and
// Unlock, and between GetDC and ReleaseDC, a surface is busy: blits, fills, flips, locks and
// device contexts on it answer DDERR_SURFACEBUSY, while queries (IsLost, GetSurfaceDesc,
// GetBltStatus, GetFlipStatus) still answer. Only the surface that took a lock ends it (Unlock
// of another primary on the same desktop answers DDERR_NOTLOCKED), and its last Release does.
//
// Alpha: a colour fill writes the value as given; a converting copy from a format without alpha
// writes alpha 255; a copy between X8R8G8B8 and A8R8G8B8 keeps the 32-bit words, X byte and
// alpha byte alike, as a display card does.
//
// Rectangles: without a clipper, a rectangle not inside its surface answers DDERR_INVALIDRECT
// (a null rectangle is the whole surface). A primary surface with a clipper clips the destination
// of a Blt to the clip window's client area and the desktop, and cuts the source to match.
#pragma once

#include "port/display/ddresult.h"
#include "port/system/guid.h"
#include "port/unknown.h"
#include "port/win32types.h"

// Interface identifiers (values of our own; IID_IUnknown is port/unknown.h's).
extern const IID IID_IDirectDraw7;
extern const IID IID_IDirectDrawSurface7;
extern const IID IID_IDirectDrawClipper;
// Direct3D's (port/device/d3d.h), asked of the DirectDraw object.
extern const IID IID_IDirect3D7;

// Surface description fields present (DDSURFACEDESC2::dwFlags).
constexpr DWORD DDSD_CAPS = 0x00000001;
constexpr DWORD DDSD_HEIGHT = 0x00000002;
constexpr DWORD DDSD_WIDTH = 0x00000004;
constexpr DWORD DDSD_PITCH = 0x00000008;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x00000010;
constexpr DWORD DDSD_LPSURFACE = 0x00000020;
constexpr DWORD DDSD_PIXELFORMAT = 0x00000040;
constexpr DWORD DDSD_MIPMAPCOUNT = 0x00000080;
constexpr DWORD DDSD_REFRESHRATE = 0x00000100;
constexpr DWORD DDSD_TEXTURESTAGE = 0x00000200;

// Surface capabilities (DDSCAPS2::dwCaps).
constexpr DWORD DDSCAPS_3DDEVICE = 0x00000001;
constexpr DWORD DDSCAPS_BACKBUFFER = 0x00000002;
constexpr DWORD DDSCAPS_COMPLEX = 0x00000004;
constexpr DWORD DDSCAPS_FLIP = 0x00000008;
constexpr DWORD DDSCAPS_FRONTBUFFER = 0x00000010;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x00000020;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x00000040;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x00000080;
constexpr DWORD DDSCAPS_TEXTURE = 0x00000100;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x00000200;
constexpr DWORD DDSCAPS_ZBUFFER = 0x00000400;
constexpr DWORD DDSCAPS_MIPMAP = 0x00000800;
constexpr DWORD DDSCAPS_LOCALVIDMEM = 0x00001000;
constexpr DWORD DDSCAPS_VISIBLE = 0x00002000;
// Second capability word (DDSCAPS2::dwCaps2).
constexpr DWORD DDSCAPS2_HINTANTIALIASING = 0x00000001;
constexpr DWORD DDSCAPS2_TEXTUREMANAGE = 0x00000002;

// Pixel format flags (DDPIXELFORMAT::dwFlags).
constexpr DWORD DDPF_ALPHAPIXELS = 0x00000001;
constexpr DWORD DDPF_RGB = 0x00000002;
constexpr DWORD DDPF_ZBUFFER = 0x00000004;
constexpr DWORD DDPF_LUMINANCE = 0x00000008;
constexpr DWORD DDPF_STENCILBUFFER = 0x00000010;
constexpr DWORD DDPF_FOURCC = 0x00000020;

// Blt flags and effects.
constexpr DWORD DDBLT_COLORFILL = 0x00000001;
constexpr DWORD DDBLT_DDFX = 0x00000002;
constexpr DWORD DDBLT_WAIT = 0x00000004;
constexpr DWORD DDBLTFX_NOTEARING = 0x00000001;
// BltFast flags.
constexpr DWORD DDBLTFAST_NOCOLORKEY = 0x00000000;
constexpr DWORD DDBLTFAST_WAIT = 0x00000001;

// Lock flags.
constexpr DWORD DDLOCK_SURFACEMEMORYPTR = 0x00000000;
constexpr DWORD DDLOCK_WAIT = 0x00000001;
constexpr DWORD DDLOCK_READONLY = 0x00000002;
constexpr DWORD DDLOCK_WRITEONLY = 0x00000004;
constexpr DWORD DDLOCK_NOSYSLOCK = 0x00000008;

// Cooperative levels.
constexpr DWORD DDSCL_NORMAL = 0x00000001;
constexpr DWORD DDSCL_EXCLUSIVE = 0x00000002;
constexpr DWORD DDSCL_FULLSCREEN = 0x00000004;
constexpr DWORD DDSCL_FPUPRESERVE = 0x00000008;

// Flip flags.
constexpr DWORD DDFLIP_WAIT = 0x00000001;

// DirectDrawEnumerateExA: which devices besides the default.
constexpr DWORD DDENUM_ATTACHEDSECONDARYDEVICES = 0x00000001;
constexpr DWORD DDENUM_DETACHEDSECONDARYDEVICES = 0x00000002;
// Answers of enumeration callbacks: go on, or stop.
constexpr HRESULT DDENUMRET_CANCEL = 0;
constexpr HRESULT DDENUMRET_OK = 1;

// WaitForVerticalBlank.
constexpr DWORD DDWAITVB_BLOCKBEGIN = 0x00000001;

// Colour-key capabilities (DDCAPS::dwCKeyCaps).
constexpr DWORD DDCKEYCAPS_SRCBLT = 0x00000200;

// GetBltStatus and GetFlipStatus questions.
constexpr DWORD DDGBS_CANBLT = 0x00000001;
constexpr DWORD DDGBS_ISBLTDONE = 0x00000002;
constexpr DWORD DDGFS_CANFLIP = 0x00000001;
constexpr DWORD DDGFS_ISFLIPDONE = 0x00000002;

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    union {
        DWORD dwRGBBitCount;
        DWORD dwZBufferBitDepth;
        DWORD dwLuminanceBitCount;
    };
    union {
        DWORD dwRBitMask;
        DWORD dwStencilBitDepth;
        DWORD dwLuminanceBitMask;
    };
    union {
        DWORD dwGBitMask;
        DWORD dwZBitMask;
    };
    union {
        DWORD dwBBitMask;
        DWORD dwStencilBitMask;
    };
    union {
        DWORD dwRGBAlphaBitMask;
        DWORD dwLuminanceAlphaBitMask;
    };
};

struct DDSCAPS2 {
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCaps3;
    DWORD dwCaps4;
};

struct DDSURFACEDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    union {
        DWORD dwMipMapCount;
        DWORD dwRefreshRate;
    };
    DWORD dwAlphaBitDepth;
    void* lpSurface;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS2 ddsCaps;
    DWORD dwTextureStage;
};

struct DDBLTFX {
    DWORD dwSize;
    DWORD dwDDFX;
    DWORD dwFillColor;  // a raw pixel value of the destination's format
};

// The display device's capabilities (GetCaps): video memory in bytes, the colour-key caps.
struct DDCAPS {
    DWORD dwSize;
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCKeyCaps;
    DWORD dwVidMemTotal;
    DWORD dwVidMemFree;
};

// Who made the display device (GetDeviceIdentifier). The driver version is two 32-bit halves.
constexpr int MAX_DDDEVICEID_STRING = 512;
struct DDDEVICEIDENTIFIER2 {
    char szDriver[MAX_DDDEVICEID_STRING];
    char szDescription[MAX_DDDEVICEID_STRING];
    DWORD dwDriverVersionLowPart;
    DWORD dwDriverVersionHighPart;
    DWORD dwVendorId;
    DWORD dwDeviceId;
    DWORD dwSubSysId;
    DWORD dwRevision;
    GUID guidDeviceIdentifier;
};

// Callbacks: a display mode (EnumDisplayModes) and a display device (DirectDrawEnumerateExA,
// null GUID for the default device). Each answers DDENUMRET_OK to go on.
using LPDDENUMMODESCALLBACK2 = HRESULT (*)(DDSURFACEDESC2* mode, void* context);
using LPDDENUMCALLBACKEXA = BOOL (*)(GUID* guid, char* description, char* driverName, void* context,
                                     HMONITOR monitor);

class IDirectDrawClipper : public IUnknown {
public:
    // Clips to the window's client area (flags 0).
    virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;
    virtual HRESULT GetHWnd(HWND* window) = 0;
};

class IDirectDrawSurface7 : public IUnknown {
public:
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) = 0;
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT Unlock(RECT* rect) = 0;
    virtual HRESULT Blt(RECT* destRect, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags,
                        DDBLTFX* fx) = 0;
    virtual HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface7* source, RECT* sourceRect,
                            DWORD flags) = 0;
    virtual HRESULT IsLost() = 0;
    virtual HRESULT GetBltStatus(DWORD flags) = 0;
    virtual HRESULT GetFlipStatus(DWORD flags) = 0;
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
    virtual HRESULT GetClipper(IDirectDrawClipper** clipper) = 0;
    virtual HRESULT AddAttachedSurface(IDirectDrawSurface7* surface) = 0;
    virtual HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** surface) = 0;
    virtual HRESULT DeleteAttachedSurface(DWORD flags, IDirectDrawSurface7* surface) = 0;
    virtual HRESULT GetDC(HDC* dc) = 0;
    virtual HRESULT ReleaseDC(HDC dc) = 0;
    // Exchanges the memory of a flip chain's front and back buffer (target null or the back
    // buffer; flags 0 or DDFLIP_WAIT).
    virtual HRESULT Flip(IDirectDrawSurface7* target, DWORD flags) = 0;
    // Gives a lost surface its memory back (holding noise); a flip chain restores as one.
    virtual HRESULT Restore() = 0;
};

class IDirectDraw7 : public IUnknown {
public:
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface,
                                  IUnknown* outer) = 0;
    virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) = 0;
    // Either structure may be null; the hardware one has the video memory.
    virtual HRESULT GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) = 0;
    virtual HRESULT GetDeviceIdentifier(DDDEVICEIDENTIFIER2* identifier, DWORD flags) = 0;
    // The device's display modes, those matching the sizes, depth and refresh rate the filter
    // gives (null: all).
    virtual HRESULT EnumDisplayModes(DWORD flags, DDSURFACEDESC2* filter, void* context,
                                     LPDDENUMMODESCALLBACK2 callback) = 0;
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                   DWORD flags) = 0;
    virtual HRESULT RestoreDisplayMode() = 0;
    virtual HRESULT GetDisplayMode(DDSURFACEDESC2* desc) = 0;
    virtual HRESULT GetMonitorFrequency(DWORD* hertz) = 0;
    virtual HRESULT TestCooperativeLevel() = 0;
    virtual HRESULT RestoreAllSurfaces() = 0;
    virtual HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;
    virtual HRESULT FlipToGDISurface() = 0;
};

// The DirectDraw object of a display device: none (null) is the default device, else a GUID
// DirectDrawEnumerateExA showed. iid must be IID_IDirectDraw7.
HRESULT DirectDrawCreateEx(GUID* device, void** object, const IID& iid, IUnknown* outer);
// Shows the default device (without a GUID), then every other device with its GUID, until the
// callback answers FALSE.
HRESULT DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, void* context, DWORD flags);
