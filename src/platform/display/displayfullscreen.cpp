// CDisplay's full-screen display: the search over the display devices.
#include "foundation/log.h"
#include "platform/display/display.h"
#include "platform/display/dxerror.h"
#include "platform/platform.h"
#include "port/window/messagebox.h"

namespace {

constexpr DWORD kLowVideoMemory = 0x1000000;  // 16 MB

const char* const kNoDisplayText =
    "Sorry, but this product isn't compatible with your display. Try using a different display "
    "(for instance, the main display in your laptop), if you have the option.";

// The device search: the callback is shown the default device first (without a GUID), then the
// others; it skips `skip` of them and takes the first later one that has a GUID.
struct DeviceSearch {
    int skip;
    int seen = 0;
    bool found = false;
    GUID guid{};
};

BOOL SearchDevice(GUID* guid, char*, char*, void* context, HMONITOR) {
    auto* search = static_cast<DeviceSearch*>(context);
    if (search->seen++ < search->skip) return TRUE;
    if (guid == nullptr) return TRUE;
    search->guid = *guid;
    search->found = true;
    return FALSE;
}

// The depth of the mode to set among the modes of exactly width x height with 15 or more bits:
// the wanted depth, else 16, else the first such mode's; the wanted one when there is none.
struct ModeSearch {
    DWORD width;
    DWORD height;
    DWORD wanted;
    bool hasWanted = false;
    bool has16 = false;
    DWORD first = 0;
};

HRESULT SearchMode(DDSURFACEDESC2* mode, void* context) {
    auto* search = static_cast<ModeSearch*>(context);
    DWORD bits = mode->ddpfPixelFormat.dwRGBBitCount;
    if (mode->dwWidth != search->width || mode->dwHeight != search->height || bits < 15) {
        return DDENUMRET_OK;
    }
    if (bits == search->wanted) {
        search->hasWanted = true;
        return DDENUMRET_CANCEL;
    }
    if (bits == 16) search->has16 = true;
    if (search->first == 0) search->first = bits;
    return DDENUMRET_OK;
}

DWORD ChooseModeDepth(IDirectDraw7* directDraw, int width, int height, int wanted) {
    ModeSearch search{static_cast<DWORD>(width), static_cast<DWORD>(height),
                      static_cast<DWORD>(wanted)};
    HRESULT result = directDraw->EnumDisplayModes(0, nullptr, &search, &SearchMode);
    if (result != DD_OK) LOG_DX_ERROR(result);
    if (search.hasWanted) return search.wanted;
    if (search.has16) return 16;
    if (search.first != 0) return search.first;
    return search.wanted;
}

}  // namespace

HRESULT CDisplay::CreateFullScreenDisplay(HWND window, int width, int height, int bitsPerPixel,
                                          DWORD flags) {
    // Each failing device moves the search to the next index; the depth the video-memory rule
    // lowered stays lowered for the devices after it.
    int device = static_cast<int>(flags >> 16);
    for (;;) {
        HRESULT result = E_FAIL;
        if (TryFullScreenDevice(window, width, height, &bitsPerPixel, flags, device, &result)) {
            return result;
        }
        ++device;
    }
}

bool CDisplay::TryFullScreenDevice(HWND window, int width, int height, int* bitsPerPixel,
                                   DWORD flags, int device, HRESULT* result) {
    DestroyObjects();

    HRESULT hr;
    if (device == 0) {
        hr = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDirectDraw), IID_IDirectDraw7,
                                nullptr);
    } else {
        DeviceSearch search{device};
        DirectDrawEnumerateExA(&SearchDevice, &search,
                               DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES);
        if (!search.found) {
            LogPrintf("Failed to create a DirectDraw device after trying all GUIDs");
            // The user hears of it only when no display ever worked here: a later re-creation
            // (a restore, a mode switch) fails quietly and the caller falls back.
            if (!mCreated) MessageBoxA(nullptr, kNoDisplayText, "Error", MB_ICONERROR);
            *result = E_FAIL;
            return true;
        }
        hr = DirectDrawCreateEx(&search.guid, reinterpret_cast<void**>(&mDirectDraw),
                                IID_IDirectDraw7, nullptr);
    }
    if (hr != DD_OK) {
        mDirectDraw = nullptr;
        LOG_DX_ERROR(hr);
        return false;
    }

    DWORD level = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;
    if (IsEnabled("fpuprecision")) level |= DDSCL_FPUPRESERVE;
    hr = mDirectDraw->SetCooperativeLevel(window, level);
    if (hr != DD_OK) {
        LOG_DX_ERROR(hr);
        return false;
    }

    DDCAPS caps{};
    caps.dwSize = sizeof caps;
    hr = mDirectDraw->GetCaps(&caps, nullptr);
    if (hr != DD_OK) {
        LOG_DX_ERROR(hr);
    } else if (caps.dwVidMemFree<kLowVideoMemory&& * bitsPerPixel> 16) {
        *bitsPerPixel = 16;
    }

    DWORD modeDepth = ChooseModeDepth(mDirectDraw, width, height, *bitsPerPixel);
    hr = mDirectDraw->SetDisplayMode(static_cast<DWORD>(width), static_cast<DWORD>(height),
                                     modeDepth, 0, 0);
    if (hr != DD_OK) {
        LogPrintf("Failed to create screen at %d bpp.", *bitsPerPixel);
        LOG_DX_ERROR(hr);
        return false;
    }
    LogPrintf("Created screen at %d bpp.", *bitsPerPixel);

    if (!MakeFlipChain(flags)) return false;

    mWindow = window;
    mWindowed = false;
    UpdateBounds();
    FillBlack(mBackBuffer);
    FillBlack(mFrontBuffer);
    mCreated = true;
    *result = S_OK;
    return true;
}

bool CDisplay::MakeFlipChain(DWORD flags) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    desc.dwBackBufferCount = 1;
    if (flags & kFlagAntialiasHint) desc.ddsCaps.dwCaps2 |= DDSCAPS2_HINTANTIALIASING;
    HRESULT hr = mDirectDraw->CreateSurface(&desc, &mFrontBuffer, nullptr);
    if (hr != DD_OK) {
        // The text is the one log readers know; it is written whatever the flags asked for.
        LogPrintf("FAILED to create front buffer with DDSCAPS2_ENABLEALPHACHANNEL");
        desc.ddsCaps.dwCaps2 = 0;
        desc.ddsCaps.dwCaps3 = 0;
        desc.ddsCaps.dwCaps4 = 0;
        hr = mDirectDraw->CreateSurface(&desc, &mFrontBuffer, nullptr);
        if (hr != DD_OK) {
            mFrontBuffer = nullptr;
            LOG_DX_ERROR(hr);
            return false;
        }
    }

    DDSCAPS2 backCaps{};
    backCaps.dwCaps = DDSCAPS_BACKBUFFER;
    hr = mFrontBuffer->GetAttachedSurface(&backCaps, &mBackBuffer);
    if (hr != DD_OK) {
        mBackBuffer = nullptr;
        LOG_DX_ERROR(hr);
        return false;
    }
    mBackBuffer->AddRef();
    mBackBufferExtraRef = true;
    return true;
}
