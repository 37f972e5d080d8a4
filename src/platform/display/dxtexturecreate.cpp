// TDxTextureData::CreateSurface: the square rule, the DirectDraw surfaces of render targets and
// simple textures with their alpha formats and fallbacks, the render target's z-buffer, and the
// D3DX textures everything else (and whatever DirectDraw would not make) becomes.
#include <algorithm>

#include "foundation/log.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxerror.h"
#include "platform/display/dxtexturedata.h"
#include "platform/display/dxtextureformat.h"
#include "platform/draw/renderer.h"
#include "platform/platform.h"
#include "platform/platformdata.h"

namespace {

// The device cannot make the surface now (no device): creation ends as without a device.
constexpr HRESULT kNoDeviceResult = static_cast<HRESULT>(0x8876024E);

TDisplayRecord* Record() {
    TPlatformData* display = TPlatformData::GetInstance();
    return display != nullptr ? display->GetRecord() : nullptr;
}

void SwapMemory(DWORD* caps) {
    DWORD memory = *caps & (DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY);
    *caps &= ~(DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY);
    if (memory & DDSCAPS_VIDEOMEMORY) *caps |= DDSCAPS_SYSTEMMEMORY;
    if (memory & DDSCAPS_SYSTEMMEMORY) *caps |= DDSCAPS_VIDEOMEMORY;
}

// The display's format with alpha: 4444 on 16 bits, else 32 bits with the top byte as alpha.
DDPIXELFORMAT DisplayFormatWithAlpha(const DDPIXELFORMAT& display) {
    DDPIXELFORMAT format = display;
    format.dwFlags |= DDPF_ALPHAPIXELS | DDPF_RGB;
    if (display.dwRGBBitCount == 16) {
        format.dwRGBAlphaBitMask = 0xF000;
        format.dwRBitMask = 0x0F00;
        format.dwGBitMask = 0x00F0;
        format.dwBBitMask = 0x000F;
    } else {
        format.dwRGBBitCount = 32;
        format.dwRBitMask = 0x00FF0000;
        format.dwGBitMask = 0x0000FF00;
        format.dwBBitMask = 0x000000FF;
        format.dwRGBAlphaBitMask = 0xFF000000;
    }
    return format;
}

}  // namespace

bool TDxTextureData::CreateSurface(int width, int height, bool clear) {
    ReleaseSurface();
    if (width < 0 || height < 0) return false;
    mWidth = static_cast<uint32_t>(width);
    mHeight = static_cast<uint32_t>(height);
    uint32_t surfaceWidth = mWidth;
    uint32_t surfaceHeight = mHeight;
    mBorderX = 0;
    mBorderY = 0;
    if ((mFlags & kSimple) == 0 && TRenderer::GetInstance()->NeedsSquareTextures() &&
        surfaceWidth != surfaceHeight) {
        uint32_t side = std::max(NextPowerOfTwo(surfaceWidth), NextPowerOfTwo(surfaceHeight));
        mBorderX = static_cast<int32_t>((side - surfaceWidth) / 2);
        mBorderY = static_cast<int32_t>((side - surfaceHeight) / 2);
        surfaceWidth = side;
        surfaceHeight = side;
    }

    TDisplayRecord* record = Record();
    if (record == nullptr || record->mDevice == nullptr || record->mBackBuffer == nullptr) {
        mSurfaceWidth = NextPowerOfTwo(surfaceWidth);
        mSurfaceHeight = NextPowerOfTwo(surfaceHeight);
        return (mFlags & kCreated) != 0;
    }

    DDSURFACEDESC2 back{};
    back.dwSize = sizeof back;
    HRESULT result = record->mBackBuffer->GetSurfaceDesc(&back);
    if (FAILED(result)) LOG_DX_ERROR(result);
    const DDPIXELFORMAT& displayFormat = back.ddpfPixelFormat;

    if ((mFlags & (kRenderTarget | kSimple)) != 0) {
        bool rerun = false;
        switch (
            CreateDirectDrawSurface(surfaceWidth, surfaceHeight, clear, displayFormat, &rerun)) {
            case Made::Surface:
                if ((mFlags & (kRenderTarget | kHasAlpha)) == (kRenderTarget | kHasAlpha))
                    SwitchRenderTargetOnce();
                return true;
            case Made::NoDevice:
                mSurfaceWidth = NextPowerOfTwo(surfaceWidth);
                mSurfaceHeight = NextPowerOfTwo(surfaceHeight);
                return (mFlags & kCreated) != 0;
            case Made::Again:
                return rerun;
            case Made::None:
                break;
        }
    }
    bool made = CreateD3DXSurface(width, height, static_cast<int>(displayFormat.dwRGBBitCount));
    // New video memory holds whatever was there before: a texture asked for cleared (a created
    // one, and its restore) is cleared whichever way its surface was made.
    if (made && clear) Clear();
    return made;
}

HRESULT TDxTextureData::TryCreate(DDSURFACEDESC2& desc) {
    IDirectDrawSurface7* surface = nullptr;
    HRESULT result = Record()->mDirectDraw->CreateSurface(&desc, &surface, nullptr);
    if (SUCCEEDED(result)) {
        mSurface = surface;
        mMadeByD3DX = false;
    }
    return result;
}

TDxTextureData::Made TDxTextureData::CreateDirectDrawSurface(uint32_t width, uint32_t height,
                                                             bool clear,
                                                             const DDPIXELFORMAT& displayFormat,
                                                             bool* againResult) {
    TDisplayRecord* record = Record();
    TDXContext* context = record->mContext.get();
    if (record->mDirectDraw == nullptr) return Made::None;
    bool simple = (mFlags & kSimple) != 0;
    bool renderTarget = (mFlags & kRenderTarget) != 0;
    bool alpha = (mFlags & kHasAlpha) != 0;

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    if (record->mSeparateTextureMemories) desc.dwFlags |= DDSD_TEXTURESTAGE;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddpfPixelFormat = displayFormat;
    desc.ddsCaps.dwCaps = simple ? DDSCAPS_OFFSCREENPLAIN : DDSCAPS_TEXTURE;
    if (renderTarget) desc.ddsCaps.dwCaps |= DDSCAPS_3DDEVICE;
    bool systemMemory = simple && (mFlags & kLarge) != 0;
    desc.ddsCaps.dwCaps |=
        context->IsHardwareDevice() && !systemMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
    HRESULT result;
    if (alpha) {
        bool failedBefore = context->HasRenderTargetFailure();
        uint32_t bits = renderTarget && failedBefore ? 32 : displayFormat.dwRGBBitCount;
        const DDPIXELFORMAT* chosen =
            ChooseAlphaTextureFormat(record->mDevice, bits, renderTarget && failedBefore);
        result = DDERR_INVALIDPIXELFORMAT;
        if (chosen != nullptr) {
            desc.ddpfPixelFormat = *chosen;
            result = TryCreate(desc);
            if (FAILED(result)) LOG_DX_ERROR(result);
        }
        if (FAILED(result)) {
            desc.ddpfPixelFormat = DisplayFormatWithAlpha(displayFormat);
            result = TryCreate(desc);
            if (FAILED(result)) {
                LOG_DX_ERROR(result);
                desc.ddsCaps.dwCaps |= DDSCAPS_VIDEOMEMORY;
                result = TryCreate(desc);
            }
            if (FAILED(result)) {
                LOG_DX_ERROR(result);
                if (renderTarget) {
                    mFlags = static_cast<uint8_t>(mFlags & ~kRenderTarget);
                    *againResult =
                        CreateSurface(static_cast<int>(mWidth), static_cast<int>(mHeight), true);
                    return Made::Again;
                }
                desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
                desc.ddpfPixelFormat = displayFormat;
                result = TryCreate(desc);
                if (FAILED(result)) LOG_DX_ERROR(result);
            }
        }
        if (FAILED(result)) return Made::None;
    } else {
        result = TryCreate(desc);
        if (result == kNoDeviceResult) return Made::NoDevice;
        if (FAILED(result)) {
            LOG_DX_ERROR(result);
            SwapMemory(&desc.ddsCaps.dwCaps);
            result = TryCreate(desc);
            if (FAILED(result)) {
                LOG_DX_ERROR(result);
                return Made::None;
            }
        }
    }

    DDSURFACEDESC2 made{};
    made.dwSize = sizeof made;
    result = mSurface->GetSurfaceDesc(&made);
    if (FAILED(result)) LOG_DX_ERROR(result);
    mSurfaceWidth = made.dwWidth;
    mSurfaceHeight = made.dwHeight;
    if (alpha && (made.ddpfPixelFormat.dwFlags & DDPF_ALPHAPIXELS) == 0)
        LogPrintf("SURFACE request FAILED to get DDPF_ALPHAPIXELS.");
    mMipRequest = 0;
    CountSurfaceBytes(true);
    if (clear) Clear();
    if (renderTarget) AttachZBuffer();
    return Made::Surface;
}

void TDxTextureData::AttachZBuffer() {
    TDisplayRecord* record = Record();
    IDirectDrawSurface7* current = nullptr;
    if (FAILED(record->mDevice->GetRenderTarget(&current)) || current == nullptr) return;
    DDSCAPS2 zCaps{};
    zCaps.dwCaps = DDSCAPS_ZBUFFER;
    IDirectDrawSurface7* currentZ = nullptr;
    if (SUCCEEDED(current->GetAttachedSurface(&zCaps, &currentZ)) && currentZ != nullptr) {
        DDSURFACEDESC2 zDesc{};
        zDesc.dwSize = sizeof zDesc;
        currentZ->GetSurfaceDesc(&zDesc);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
        desc.dwWidth = mSurfaceWidth;
        desc.dwHeight = mSurfaceHeight;
        desc.ddpfPixelFormat = zDesc.ddpfPixelFormat;
        desc.ddsCaps = zDesc.ddsCaps;
        IDirectDrawSurface7* zBuffer = nullptr;
        HRESULT result = record->mDirectDraw->CreateSurface(&desc, &zBuffer, nullptr);
        if (FAILED(result)) {
            LOG_DX_ERROR(result);
            LogPrintf("FAILED to create z-buffer for render surface!");
        } else {
            result = mSurface->AddAttachedSurface(zBuffer);
            if (FAILED(result)) {
                LOG_DX_ERROR(result);
                LogPrintf("FAILED to attach z-buffer for render surface!");
            }
            zBuffer->Release();
        }
        currentZ->Release();
    }
    current->Release();
}

void TDxTextureData::SwitchRenderTargetOnce() {
    TPlatformData* display = TPlatformData::GetInstance();
    TDisplayRecord* record = display->GetRecord();
    IDirectDrawSurface7* previous =
        record->mRenderTarget != nullptr ? record->mRenderTarget : record->mBackBuffer;
    display->SetRenderTarget(mSurface);
    display->SetRenderTarget(previous);
}

bool TDxTextureData::CreateD3DXSurface(int width, int height, int displayBits) {
    TDisplayRecord* record = Record();
    bool alpha = (mFlags & kHasAlpha) != 0;
    D3DX_SURFACEFORMAT asked = displayBits == 16 ? (alpha ? D3DX_SF_A4R4G4B4 : D3DX_SF_R5G6B5)
                                                 : (alpha ? D3DX_SF_A8R8G8B8 : D3DX_SF_X8R8G8B8);
    D3DX_SURFACEFORMAT format = asked;
    DWORD madeWidth = static_cast<DWORD>(width);
    DWORD madeHeight = static_cast<DWORD>(height);
    bool mipmaps = (mFlags & kMipmaps) != 0;
    mMipRequest = mipmaps ? -1 : 0;
    IDirectDrawSurface7* surface = nullptr;
    HRESULT result = D3DXCreateTexture(record->mDevice, &madeWidth, &madeHeight, &format,
                                       mipmaps ? 0 : D3DX_TEXTURE_NOMIPMAP, &surface);
    if (FAILED(result)) {
        LOG_DX_ERROR(result);
        if (surface != nullptr) surface->Release();
        // A lost device makes it again when the texture is restored.
        return !TPlatformData::GetInstance()->IsWorking() || result == kNoDeviceResult;
    }
    mSurface = surface;
    mMadeByD3DX = true;
    mSurfaceWidth = madeWidth;
    mSurfaceHeight = madeHeight;
    mBorderX = static_cast<int32_t>(madeWidth - static_cast<DWORD>(width)) / 2;
    mBorderY = static_cast<int32_t>(madeHeight - static_cast<DWORD>(height)) / 2;
    CountSurfaceBytes(true);
    if (displayBits != 16 && format != asked) {
        LogPrintf(
            "D3DXCreateTexture::CreateSurface: Created a 16 bit texture when requesting 32 "
            "bits. Switching to 16 bit mode");
        TPlatform::OutOfVideoMemory();
    }
    if ((mFlags & (kRenderTarget | kHasAlpha)) == (kRenderTarget | kHasAlpha))
        SwitchRenderTargetOnce();
    return true;
}
