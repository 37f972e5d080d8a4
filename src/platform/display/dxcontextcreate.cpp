// TDXContext::Create: the display, the choice of the Direct3D device, its z-buffer and the
// device itself, and the report of what was made.
#include <cstring>

#include "foundation/log.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxerror.h"
#include "platform/display/hexformat.h"
#include "platform/display/mouselock.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"

namespace {

constexpr DWORD kSmallestTextureSide = 1024;

TWin32Platform* Platform() {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr ? application->GetPlatform() : nullptr;
}

// The game runs inside a host window.
bool IsEmbedded() {
    TWin32Platform* platform = Platform();
    return platform != nullptr && platform->GetHostWindow() != nullptr;
}

float DisplayScale() {
    TWin32Platform* platform = Platform();
    return platform != nullptr ? platform->GetScaleX() : 1.0f;
}

DWORD RenderDepthBit(DWORD bitsPerPixel) {
    switch (bitsPerPixel) {
        case 8:
            return DDBD_8;
        case 16:
            return DDBD_16;
        case 24:
            return DDBD_24;
        default:
            return DDBD_32;
    }
}

struct DeviceChoice {
    TDXContext* context;
    DWORD depthBit;
    bool embedded;
};

HRESULT ConsiderDevice(char*, char*, D3DDEVICEDESC7* desc, void* data) {
    auto* choice = static_cast<DeviceChoice*>(data);
    bool hardware = (desc->dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) != 0;
    bool qualifies = (hardware || choice->embedded) &&
                     (desc->dwDeviceRenderBitDepth & choice->depthBit) != 0 &&
                     (desc->dpcTriCaps.dwShadeCaps & D3DPSHADECAPS_COLORGOURAUDRGB) != 0;
    if (!qualifies) return D3DENUMRET_OK;
    // A later qualifying device replaces an earlier one, unless the earlier one did transform
    // and lighting in hardware too: that one is the best there is.
    choice->context->SetDeviceCapsCopy(*desc, hardware);
    if (hardware && (desc->dwDevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0) {
        return D3DENUMRET_CANCEL;
    }
    return D3DENUMRET_OK;
}

HRESULT ConsiderDepthFormat(DDPIXELFORMAT* format, void* data) {
    if (format->dwFlags != DDPF_ZBUFFER || format->dwZBufferBitDepth < 16) return D3DENUMRET_OK;
    static_cast<TDXContext*>(data)->SetZBufferFormat(*format);
    return D3DENUMRET_CANCEL;
}

bool Contains(const char* text, const char* part) {
    return std::strstr(text, part) != nullptr;
}

}  // namespace

bool TDXContext::Create(HWND window, bool fullscreen, int width, int height, int bitsPerPixel,
                        DWORD flags) {
    bool embedded = IsEmbedded();
    if (embedded) {
        fullscreen = false;
        mOutOfVideoMemory = false;
    }
    TMouseLock lock(mMouseMutex, true);
    if (!lock.Held()) return false;

    ReleaseDevice();
    ReadDesktop();
    if (!embedded && !fullscreen && WindowExceedsDesktop(this, width, height)) return false;
    if (mDesktopColours != -1) {
        if (mDesktopColours <= 16) {
            mPalettized = true;
            return false;
        }
        if (!fullscreen) return false;
    }
    if (mOutOfVideoMemory && !fullscreen) return false;

    if (!CreateDisplay(window, fullscreen, embedded, &width, &height, bitsPerPixel, flags)) {
        return false;
    }
    if (!ChooseDevice(embedded)) return false;
    if (!CreateDeviceOn(fullscreen, width, height)) return false;

    ResetMouse();
    D3DDEVICEDESC7 caps{};
    HRESULT result = mDevice->GetCaps(&caps);
    if (result != D3D_OK) LOG_DX_ERROR(result);
    if (caps.dwMaxTextureWidth < kSmallestTextureSide ||
        caps.dwMaxTextureHeight < kSmallestTextureSide) {
        LogPrintf("TDXContext::Create - context does not support 1024x1024 textures! Failing!");
        ReleaseDevice();
        return false;
    }
    ReportDevice();
    return true;
}

bool TDXContext::CreateDisplay(HWND window, bool fullscreen, bool embedded, int* width, int* height,
                               int bitsPerPixel, DWORD flags) {
    HRESULT result;
    if (fullscreen) {
        result = mDisplay.CreateFullScreenDisplay(window, *width, *height, bitsPerPixel, flags);
    } else {
        if (embedded) {
            float scale = DisplayScale();
            *width = static_cast<int>(static_cast<float>(*width) * scale + 0.5f);
            *height = static_cast<int>(static_cast<float>(*height) * scale + 0.5f);
        }
        result = mDisplay.CreateWindowedDisplay(window, mClipWindow, *width, *height,
                                                mRenderTargetNotInVideoMemory, flags);
        if (result == DDERR_OUTOFVIDEOMEMORY) mOutOfVideoMemory = true;
    }
    if (result != S_OK) {
        LOG_DX_ERROR(result);
        return false;
    }

    mDisplayMode = DDSURFACEDESC2{};
    mDisplayMode.dwSize = sizeof mDisplayMode;
    result = mDisplay.GetDirectDraw()->GetDisplayMode(&mDisplayMode);
    if (result != DD_OK) {
        LOG_DX_ERROR(result);
        return false;
    }
    result = mDisplay.GetDirectDraw()->QueryInterface(IID_IDirect3D7,
                                                      reinterpret_cast<void**>(&mDirect3D));
    if (result != DD_OK) {
        mDirect3D = nullptr;
        LOG_DX_ERROR(result);
        return false;
    }
    return true;
}

bool TDXContext::ChooseDevice(bool embedded) {
    mDeviceDesc = D3DDEVICEDESC7{};
    mHardwareDevice = false;
    mDeviceFound = false;
    DeviceChoice choice{this, RenderDepthBit(mDisplayMode.ddpfPixelFormat.dwRGBBitCount), embedded};
    HRESULT result = mDirect3D->EnumDevices(&ConsiderDevice, &choice);
    if (result != D3D_OK) LOG_DX_ERROR(result);
    if (!mDeviceFound || (!mHardwareDevice && !embedded)) {
        LogPrintf("TDXContext::Create failed! Could not find a hardware renderer.");
        return false;
    }
    mZBufferFormat = DDPIXELFORMAT{};
    mZBufferFormat.dwSize = sizeof mZBufferFormat;
    result = mDirect3D->EnumZBufferFormats(mDeviceDesc.deviceGUID, &ConsiderDepthFormat, this);
    if (result != D3D_OK) LOG_DX_ERROR(result);
    return true;
}

bool TDXContext::CreateDeviceOn(bool fullscreen, int width, int height) {
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_ZBUFFER | (mHardwareDevice ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    CSurface* zbuffer = nullptr;
    HRESULT result = mDisplay.CreateSurface(&zbuffer, width, height, &mZBufferFormat, &caps);
    if (result != S_OK) {
        if (!fullscreen && result == DDERR_OUTOFVIDEOMEMORY) mOutOfVideoMemory = true;
        LOG_DX_ERROR(result);
        return false;
    }
    mZBuffer.reset(zbuffer);

    IDirectDrawSurface7* back = mDisplay.GetBackBuffer();
    result = back->AddAttachedSurface(mZBuffer->GetDDrawSurface());
    if (result != DD_OK) LOG_DX_ERROR(result);

    result = mDirect3D->CreateDevice(mDeviceDesc.deviceGUID, back, &mDevice);
    if (result != D3D_OK) {
        mDevice = nullptr;
        // Both answers steer the next attempt of the display set-up: a back buffer in video
        // memory, or a desktop taken for 32 bits.
        if (result == D3DERR_TARGETINSYSTEMMEMORY) mRenderTargetNotInVideoMemory = true;
        if (result == D3DERR_DESKTOPCOLOURS) mDesktopColours = 32;
        LOG_DX_ERROR(result);
        return false;
    }
    return true;
}

void TDXContext::ReportDevice() {
    IDirectDraw7* directDraw = mDisplay.GetDirectDraw();
    DDCAPS caps{};
    caps.dwSize = sizeof caps;
    HRESULT result = directDraw->GetCaps(&caps, nullptr);
    if (result != DD_OK) LOG_DX_ERROR(result);
    mColourKey = (caps.dwCKeyCaps & DDCKEYCAPS_SRCBLT) != 0;

    DDDEVICEIDENTIFIER2 id{};
    result = directDraw->GetDeviceIdentifier(&id, 0);
    if (result != DD_OK) LOG_DX_ERROR(result);
    uint32_t guid[4];
    static_assert(sizeof guid == sizeof id.guidDeviceIdentifier);
    std::memcpy(guid, &id.guidDeviceIdentifier, sizeof guid);
    // The texts are the driver's: the copies are cut to their fields' size, ended for sure.
    id.szDriver[MAX_DDDEVICEID_STRING - 1] = '\0';
    id.szDescription[MAX_DDDEVICEID_STRING - 1] = '\0';
    str report = str::Format(
        "Device identifier:  \n  Driver: '%s'\n  Description: '%s'\n  Version: %x:%x\n  Vendor "
        "ID: %x (%d)\n  Device ID: %x (%d)\n  SubSys:  : %x (%d)\n  Revision:  %x (%d)\n  "
        "GUID:      %x:%x:%x:%x\n",
        id.szDriver, id.szDescription, id.dwDriverVersionHighPart, id.dwDriverVersionLowPart,
        id.dwVendorId, static_cast<int>(id.dwVendorId), id.dwDeviceId,
        static_cast<int>(id.dwDeviceId), id.dwSubSysId, static_cast<int>(id.dwSubSysId),
        id.dwRevision, static_cast<int>(id.dwRevision), guid[0], guid[1], guid[2], guid[3]);
    LogPrintf("%s", report.c_str());
    mInfo += report;

    // Chips that draw indexed vertices wrongly.
    if (Contains(id.szDescription, "Intel") &&
        (Contains(id.szDescription, "82810E") || Contains(id.szDescription, "82845") ||
         Contains(id.szDescription, " 965 "))) {
        TPlatform::SetConfig("brokenindexedverts", "1");
    }

    mInfo += str::Format("DDCAPS: %s\n", FormatHex(&caps, sizeof caps).c_str());
    mInfo += str::Format("D3DDESC: %s\n", FormatHex(&mDeviceDesc, sizeof mDeviceDesc).c_str());
}
