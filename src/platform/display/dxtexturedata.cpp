// TDxTextureData's life: construction, the destructor with the z-buffer detach, release before a
// display reset and restore after it, clearing, the copies to the screen and into other textures
// (with the GDI copy when a blit fails), and the byte counter of the display record.
#include "platform/display/dxtexturedata.h"

#include <string>

#include "foundation/file/file.h"
#include "foundation/log.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxerror.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "platform/win32platform.h"
#include "port/display/surfacegdi.h"

namespace {

TDisplayRecord* Record() {
    TPlatformData* display = TPlatformData::GetInstance();
    return display != nullptr ? display->GetRecord() : nullptr;
}

void MarkBrokenThrottled() {
    if (TPlatformData* display = TPlatformData::GetInstance()) display->MarkBrokenThrottled();
}

float DisplayScale() {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr ? application->GetPlatform()->GetScaleX() : 1.0f;
}

bool IsEmbedded() {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr && application->GetPlatform()->IsEmbedded();
}

LONG Scaled(LONG value, float scale) {
    return static_cast<LONG>(static_cast<float>(value) * scale + 0.5f);
}

// A blit failure other than a loss is logged once per process and path.
bool gBltFailureLogged = false;
bool gBltFastFailureLogged = false;

}  // namespace

TDxTextureData::TDxTextureData() = default;

TDxTextureData::~TDxTextureData() {
    mShadow.reset();
    if (mSurface == nullptr) return;
    if (mLockedDirectly) mSurface->Unlock(nullptr);
    DDSCAPS2 zCaps{};
    zCaps.dwCaps = DDSCAPS_ZBUFFER;
    IDirectDrawSurface7* zBuffer = nullptr;
    if (SUCCEEDED(mSurface->GetAttachedSurface(&zCaps, &zBuffer)) && zBuffer != nullptr) {
        mSurface->DeleteAttachedSurface(0, zBuffer);
        zBuffer->Release();
    }
    CountSurfaceBytes(false);
    mSurface->Release();
    mSurface = nullptr;
}

void TDxTextureData::CountSurfaceBytes(bool add) {
    TDisplayRecord* record = Record();
    if (record == nullptr || mSurface == nullptr) return;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(mSurface->GetSurfaceDesc(&desc))) return;
    uint64_t bytes = static_cast<uint64_t>(desc.dwHeight) * static_cast<uint32_t>(desc.lPitch);
    if (add)
        record->mTextureBytes += bytes;
    else
        record->mTextureBytes = record->mTextureBytes > bytes ? record->mTextureBytes - bytes : 0;
}

void TDxTextureData::ReleaseSurface() {
    if (mSurface == nullptr) return;
    if (mLockedDirectly) {
        mSurface->Unlock(nullptr);
        mLockedDirectly = false;
    }
    mShadow.reset();
    CountSurfaceBytes(false);
    mSurface->Release();
    mSurface = nullptr;
}

void TDxTextureData::Release() {
    ReleaseSurface();
}

void TDxTextureData::Restore() {
    if (mImageName.Length() == 0) {
        if (!CreateSurface(static_cast<int>(mWidth), static_cast<int>(mHeight), true)) {
            LogPrintf("TDxTextureData::Restore: Failed to restore %dx%d texture (%d,%d)",
                      static_cast<int>(mWidth), static_cast<int>(mHeight),
                      static_cast<int>(mSurfaceWidth), static_cast<int>(mSurfaceHeight));
            MarkBrokenThrottled();
        }
        return;
    }
    // Load sets the names again; work on copies.
    str image = mImageName;
    str mask = mMaskName;
    if (mask.Length() == 0) {
        if (!Load(image.c_str(), nullptr)) {
            LogPrintf("TDxTextureData::Restore: Failed to restore from file %s.", image.c_str());
            if (ImageFileExists(image.c_str())) MarkBrokenThrottled();
        }
        return;
    }
    if (!Load(image.c_str(), mask.c_str())) {
        LogPrintf("TDxTextureData::Restore: Failed to restore from file %s and %s.",
                  image.c_str(), mask.c_str());
        if (ImageFileExists(image.c_str()) && ImageFileExists(mask.c_str())) MarkBrokenThrottled();
    }
}

void TDxTextureData::Clear() {
    if (mSurface == nullptr) return;
    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    fill.dwFillColor = 0;
    HRESULT result = mSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill);
    if (result == DDERR_SURFACELOST) {
        result = mSurface->Restore();
        if (FAILED(result)) LOG_DX_ERROR(result);
        result = mSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill);
    }
    if (FAILED(result)) LOG_DX_ERROR(result);
}

void TDxTextureData::CopyRect(int x, int y, const TRect* source,
                              const std::shared_ptr<TTexture>& target) {
    if (mSurface == nullptr) return;
    TDisplayRecord* record = Record();
    if (record == nullptr) return;
    RECT from = source != nullptr
                    ? RECT{source->left, source->top, source->right, source->bottom}
                    : RECT{0, 0, static_cast<LONG>(mWidth), static_cast<LONG>(mHeight)};
    IDirectDrawSurface7* screen =
        record->mRenderTarget != nullptr ? record->mRenderTarget : record->mBackBuffer;

    if (target == nullptr && IsEmbedded()) {
        if (screen == nullptr) {
            MarkBrokenThrottled();
            return;
        }
        float scale = DisplayScale();
        RECT to{Scaled(from.left, scale), Scaled(from.top, scale), Scaled(from.right, scale),
                Scaled(from.bottom, scale)};
        HRESULT result = screen->Blt(&to, mSurface, &from, DDBLT_WAIT, nullptr);
        if (result == DDERR_SURFACELOST) {
            MarkBrokenThrottled();
        } else if (FAILED(result)) {
            if (!gBltFailureLogged) LOG_DX_ERROR(result);
            gBltFailureLogged = true;
            CopyThroughGdi(screen, from, to, true);
        }
        return;
    }

    IDirectDrawSurface7* into = screen;
    if (target != nullptr) {
        auto* data = AsDxTextureData(target->GetData());
        into = data != nullptr ? data->GetSurface() : nullptr;
    }
    if (into == nullptr) {
        MarkBrokenThrottled();
        return;
    }
    HRESULT result = into->BltFast(static_cast<DWORD>(x), static_cast<DWORD>(y), mSurface, &from,
                                   DDBLTFAST_WAIT);
    if (result == DDERR_SURFACELOST) {
        MarkBrokenThrottled();
    } else if (FAILED(result)) {
        if (!gBltFastFailureLogged) LOG_DX_ERROR(result);
        gBltFastFailureLogged = true;
        RECT to{x, y, x + (from.right - from.left), y + (from.bottom - from.top)};
        CopyThroughGdi(into, from, to, false);
    }
}

void TDxTextureData::CopyThroughGdi(IDirectDrawSurface7* target, const RECT& from,
                                    const RECT& to, bool stretch) {
    HDC sourceDc = nullptr;
    HDC targetDc = nullptr;
    HRESULT result = mSurface->GetDC(&sourceDc);
    if (FAILED(result)) {
        LOG_DX_ERROR(result);
        sourceDc = nullptr;
    }
    result = target->GetDC(&targetDc);
    if (FAILED(result)) {
        LOG_DX_ERROR(result);
        targetDc = nullptr;
    }
    if (sourceDc != nullptr && targetDc != nullptr) {
        int width = from.right - from.left;
        int height = from.bottom - from.top;
        int toWidth = to.right - to.left;
        int toHeight = to.bottom - to.top;
        if (!stretch)
            BitBlt(targetDc, to.left, to.top, width, height, sourceDc, from.left, from.top,
                   SRCCOPY);
        else
            StretchBlt(targetDc, to.left, to.top, toWidth, toHeight, sourceDc, from.left,
                       from.top, width, height, SRCCOPY);
    }
    if (sourceDc != nullptr) {
        result = mSurface->ReleaseDC(sourceDc);
        if (FAILED(result)) LOG_DX_ERROR(result);
    }
    if (targetDc != nullptr) {
        result = target->ReleaseDC(targetDc);
        if (FAILED(result)) LOG_DX_ERROR(result);
    }
}

bool ImageFileExists(const char* name) {
    if (name == nullptr) return false;
    std::string base(name);
    size_t options = base.find('?');
    if (options != std::string::npos) base.resize(options);
    return FileExists(str(base.c_str())) || FileExists(str((base + ".png").c_str())) ||
           FileExists(str((base + ".jpg").c_str()));
}
