// The control plane of DirectDraw, for tests: the display devices with their modes and video
// memory, loss and the cooperation answers on demand, the surfaces as images, what the player
// sees, and the list of live surfaces. A display mode change from outside is the window system's
// InjectDisplayChange, which DirectDraw hears; "still drawing" is failure injection with
// DDERR_WASSTILLDRAWING on GetFlipStatus, GetBltStatus, Blt or Flip. Failure injection and the call
// log of the DirectDraw calls are the shared ones (port/control.h). Gathered with the other
// services' parts in port/control.h.
//
// Any thread may call these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "port/display/ddraw.h"

namespace port::control {

// Pixels as 0xAARRGGBB, rows top first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;

    bool Empty() const { return argb.empty(); }
    uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

// A surface's pixels by the conversion rules of the rasterizer: each channel widened by bit
// replication, formats without alpha (X8R8G8B8, R8G8B8, R5G6B5) opaque. Empty for a null or depth
// surface. Reads even while the surface is locked.
Image SurfaceImage(IDirectDrawSurface7* surface);

// What the player sees. Full screen (a flip chain made at the exclusive level, while its front
// buffer lives): the visible buffer, whole. Windowed: the client area of the player's window (the
// window of the clipper on the primary, else the one the primary's DirectDraw object cooperates
// with) cut from the desktop, opaque, black where it lies off the desktop. Empty without such a
// window, or while the memory shown is locked or has a device context out.
Image PlayerView();

struct SurfaceInfo {
    uint32_t id;     // as the call log names it ("surface=7")
    uint32_t owner;  // the id of the DirectDraw object that made it
    DWORD caps;      // DDSCAPS_*, the memory it went to included
    DWORD caps2;
    DDPIXELFORMAT format;    // as GetSurfaceDesc gives it
    const char* formatName;  // "X8R8G8B8", "R5G6B5", "D16" ...: the memory's format
    int width;
    int height;
    int pitch;
    bool videoMemory;
    bool busy;      // locked, or a device context out
    bool lost;      // answers DDERR_SURFACELOST until restored
    bool resident;  // holds its memory (a back buffer kept past its chain does not)
};
// The live surfaces in the order they were made.
std::vector<SurfaceInfo> Surfaces();
// A surface's id; 0 for null.
uint32_t SurfaceId(IDirectDrawSurface7* surface);

// ---- Display devices

// A display mode: size, depth (16: R5G6B5, 24: R8G8B8, 32: X8R8G8B8; a mode of another depth is
// left out of the list) and refresh rate (0: the desktop's when the list is worked out, at the
// first use after a reset or SetAdapters).
struct DisplayModeSpec {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    int refreshRate = 0;

    bool operator==(const DisplayModeSpec&) const = default;
};

// A display device. The first of the list is the default device; DirectDrawEnumerateExA shows
// it first without a GUID, then every device that has one.
struct AdapterSpec {
    bool hasGuid = false;
    GUID guid{};
    std::string driver = "umbrava-display.drv";
    std::string description = "Umbrava virtual display";
    uint32_t driverVersionHigh = 0x00010000;
    uint32_t driverVersionLow = 0x00000001;
    uint32_t vendorId = 0x1A5B;
    uint32_t deviceId = 0x0001;
    uint32_t subSysId = 0;
    uint32_t revision = 1;
    GUID identifier{0x5A3E0C21, 0x7A1D, 0x4B6E, {0x9E, 0x55, 0x55, 0x4D, 0x42, 0x44, 0x45, 0x56}};
    uint64_t videoMemory = 256ull << 20;  // bytes; free memory follows what surfaces take
    bool sourceColourKey = true;          // DDCKEYCAPS_SRCBLT
    // Empty: 640 x 480, 800 x 600, 1024 x 768 and the desktop's size, each at 16 and 32 bits.
    std::vector<DisplayModeSpec> modes;
};
// Sets the display devices; an empty list puts back the one default device. Surfaces alive give
// their video memory back to the device they were made on.
void SetAdapters(const std::vector<AdapterSpec>& adapters);
// The modes of a device as EnumDisplayModes gives them (the default list worked out).
std::vector<DisplayModeSpec> AdapterModes(int adapter = 0);

struct VideoMemoryUse {
    uint64_t total;
    uint64_t used;
    uint64_t free;
};
VideoMemoryUse VideoMemory(int adapter = 0);

// ---- Loss and cooperation

// Every surface of every DirectDraw object is lost (managed textures excepted), as when another
// program took the screen.
void LoseAllSurfaces();
// Another program holds exclusive mode (or no longer does).
void SetOtherApplicationExclusive(bool held);
// TestCooperativeLevel (and the Restore calls, which answer its failures) answers this until
// cleared; DD_OK clears it.
void ForceTestCooperativeLevel(HRESULT answer);
// RestoreAllSurfaces answers this (when TestCooperativeLevel succeeds) until set back to DD_OK.
void SetRestoreAllSurfacesResult(HRESULT answer);

// Puts the display back to its start between tests: the desktop's memory is made anew (holding
// noise) at its next use and the noise starts from its first seed; the default device, no
// exclusive owner, nothing forced. Objects still alive stay valid.
void ResetDisplay();

}  // namespace port::control
