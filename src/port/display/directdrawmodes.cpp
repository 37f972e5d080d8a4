// The DirectDraw object's device side: caps, the device identifier, display modes (listed,
// set, put back and read) with the monitor frequency, and the vertical blank.
#include <cstdio>
#include <cstring>

#include "port/display/backend.h"
#include "port/display/cooperation.h"
#include "port/display/directdraw.h"
#include "port/display/pixelstore.h"
#include "port/failinjection.h"
#include "port/window/desktop.h"
#include "port/window/events.h"

namespace port::display {
namespace {

// A display mode as EnumDisplayModes and GetDisplayMode describe it. The caps name no surface
// type: surfaces made from the description are plain ones.
DDSURFACEDESC2 DescribeMode(int width, int height, int bitsPerPixel, int refreshRate) {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags =
        DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.dwRefreshRate = static_cast<DWORD>(refreshRate);
    raster::TPixelFormat format = DesktopFormat(bitsPerPixel);
    if (format != raster::TPixelFormat::Unknown) {
        desc.ddpfPixelFormat = DescribeFormat(format);
        desc.lPitch = static_cast<LONG>(StoreBytes(width, 1, format));
    } else {
        // A palettised desktop: its depth only.
        desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
        desc.ddpfPixelFormat.dwRGBBitCount = static_cast<DWORD>(bitsPerPixel);
        desc.lPitch =
            (width * bitsPerPixel / 8 + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
    }
    return desc;
}

bool Matches(const DDSURFACEDESC2* filter, const control::DisplayModeSpec& mode) {
    if (filter == nullptr) return true;
    DWORD fields = filter->dwFlags;
    return (!(fields & DDSD_WIDTH) || filter->dwWidth == static_cast<DWORD>(mode.width)) &&
           (!(fields & DDSD_HEIGHT) || filter->dwHeight == static_cast<DWORD>(mode.height)) &&
           (!(fields & DDSD_PIXELFORMAT) ||
            filter->ddpfPixelFormat.dwRGBBitCount == static_cast<DWORD>(mode.bitsPerPixel)) &&
           (!(fields & DDSD_REFRESHRATE) ||
            filter->dwRefreshRate == static_cast<DWORD>(mode.refreshRate));
}

void CopyText(char (&to)[MAX_DDDEVICEID_STRING], const std::string& from) {
    std::snprintf(to, sizeof to, "%s", from.c_str());
}

DWORD Clamp32(uint64_t bytes) {
    return bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(bytes);
}

}  // namespace

HRESULT DirectDraw::GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) {
    return TracedCall("GetCaps", {{"object", mId}}, [&] {
        if ((driverCaps == nullptr && emulationCaps == nullptr) ||
            (driverCaps != nullptr && driverCaps->dwSize != sizeof *driverCaps) ||
            (emulationCaps != nullptr && emulationCaps->dwSize != sizeof *emulationCaps)) {
            return DDERR_INVALIDPARAMS;
        }
        if (driverCaps != nullptr) {
            std::memset(driverCaps, 0, sizeof *driverCaps);
            driverCaps->dwSize = sizeof *driverCaps;
            driverCaps->dwCKeyCaps = mAdapter->spec.sourceColourKey ? DDCKEYCAPS_SRCBLT : 0;
            driverCaps->dwVidMemTotal = Clamp32(mAdapter->budget->Total());
            driverCaps->dwVidMemFree = Clamp32(mAdapter->budget->Free());
        }
        if (emulationCaps != nullptr) {
            // The emulation layer has no video memory.
            std::memset(emulationCaps, 0, sizeof *emulationCaps);
            emulationCaps->dwSize = sizeof *emulationCaps;
        }
        return DD_OK;
    });
}

HRESULT DirectDraw::GetDeviceIdentifier(DDDEVICEIDENTIFIER2* identifier, DWORD flags) {
    return TracedCall("GetDeviceIdentifier", {{"object", mId}, {"flags", flags, true}}, [&] {
        if (identifier == nullptr || flags != 0) return DDERR_INVALIDPARAMS;
        const control::AdapterSpec& spec = mAdapter->spec;
        std::memset(identifier, 0, sizeof *identifier);
        CopyText(identifier->szDriver, spec.driver);
        CopyText(identifier->szDescription, spec.description);
        identifier->dwDriverVersionHighPart = spec.driverVersionHigh;
        identifier->dwDriverVersionLowPart = spec.driverVersionLow;
        identifier->dwVendorId = spec.vendorId;
        identifier->dwDeviceId = spec.deviceId;
        identifier->dwSubSysId = spec.subSysId;
        identifier->dwRevision = spec.revision;
        identifier->guidDeviceIdentifier = spec.identifier;
        return DD_OK;
    });
}

HRESULT DirectDraw::EnumDisplayModes(DWORD flags, DDSURFACEDESC2* filter, void* context,
                                     LPDDENUMMODESCALLBACK2 callback) {
    return TracedCall("EnumDisplayModes", {{"object", mId}, {"flags", flags, true}}, [&] {
        if (callback == nullptr || flags != 0 ||
            (filter != nullptr && filter->dwSize != sizeof *filter)) {
            return DDERR_INVALIDPARAMS;
        }
        for (const control::DisplayModeSpec& mode : mAdapter->modes) {
            if (!Matches(filter, mode)) continue;
            // Each call gets a fresh description: the callback may change it.
            DDSURFACEDESC2 desc =
                DescribeMode(mode.width, mode.height, mode.bitsPerPixel, mode.refreshRate);
            if (callback(&desc, context) == DDENUMRET_CANCEL) break;
        }
        return DD_OK;
    });
}

HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                   DWORD flags) {
    return TracedCall(
        "SetDisplayMode",
        {{"object", mId},
         {"width", width},
         {"height", height},
         {"bits", bitsPerPixel},
         {"refresh", refreshRate}},
        [&] { return DoSetDisplayMode(width, height, bitsPerPixel, refreshRate, flags); });
}

HRESULT DirectDraw::DoSetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel,
                                     DWORD refreshRate, DWORD flags) {
    if (flags != 0) return DDERR_INVALIDPARAMS;
    if (ExclusiveStatus(mId) != DD_OK) return DDERR_NOEXCLUSIVEMODE;
    const control::DisplayModeSpec* chosen = nullptr;
    for (const control::DisplayModeSpec& mode : mAdapter->modes) {
        if (static_cast<DWORD>(mode.width) == width && static_cast<DWORD>(mode.height) == height &&
            static_cast<DWORD>(mode.bitsPerPixel) == bitsPerPixel &&
            (refreshRate == 0 || static_cast<DWORD>(mode.refreshRate) == refreshRate)) {
            chosen = &mode;
            break;
        }
    }
    if (chosen == nullptr) return DDERR_INVALIDMODE;
    // The desktop the hold started from comes back at its end.
    KeepDesktopMode(mId, CurrentDesktopMode());
    DeliverRefreshRate(chosen->refreshRate);
    DeliverDisplayChange(chosen->width, chosen->height, chosen->bitsPerPixel);
    return DD_OK;
}

HRESULT DirectDraw::RestoreDisplayMode() {
    return TracedCall("RestoreDisplayMode", {{"object", mId}}, [&] {
        if (std::optional<DesktopMode> mode = TakeDesktopMode(mId)) PutBackDesktopMode(*mode);
        return DD_OK;
    });
}

HRESULT DirectDraw::GetDisplayMode(DDSURFACEDESC2* desc) {
    return TracedCall("GetDisplayMode", {{"object", mId}}, [&] {
        if (desc == nullptr || desc->dwSize != sizeof *desc) return DDERR_INVALIDPARAMS;
        DesktopMode mode = CurrentDesktopMode();
        *desc = DescribeMode(mode.width, mode.height, mode.bitsPerPixel, mode.refreshRate);
        return DD_OK;
    });
}

HRESULT DirectDraw::GetMonitorFrequency(DWORD* hertz) {
    return TracedCall("GetMonitorFrequency", {{"object", mId}}, [&] {
        if (hertz == nullptr) return DDERR_INVALIDPARAMS;
        *hertz = static_cast<DWORD>(CurrentDesktopMode().refreshRate);
        return DD_OK;
    });
}

HRESULT DirectDraw::WaitForVerticalBlank(DWORD flags, HANDLE event) {
    return TracedCall("WaitForVerticalBlank", {{"object", mId}, {"flags", flags, true}}, [&] {
        if (flags != DDWAITVB_BLOCKBEGIN || event != nullptr) return DDERR_INVALIDPARAMS;
        Backend().WaitForVerticalBlank();
        return DD_OK;
    });
}

HRESULT DirectDraw::FlipToGDISurface() {
    // The desktop is always what a window shows; nothing to bring to the front.
    return TracedCall("FlipToGDISurface", {{"object", mId}}, [] { return DD_OK; });
}

}  // namespace port::display
