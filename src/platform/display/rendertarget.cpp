// Drawing into a texture: the frame is drawn on the current render target (the back buffer) in
// the area of the texture's size at its top left, with the display scale 1, and copied back into
// the texture when the target ends. Modes 2 and 3 start from the texture's pixels, mode 4 from
// transparent black; at the end modes 0 to 3 take the drawn pixels (0, 2 and 3 made opaque) and
// mode 4 takes the drawn red as the texture's alpha. The pixel passes are the rasterizer's
// (raster/surfaceops.h) over locked memory.
#include <algorithm>

#include "foundation/log.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxerror.h"
#include "platform/display/dxtexturedata.h"
#include "platform/display/lockedview.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "platform/win32platform.h"
#include "platform/windowsystemhooks.h"
#include "port/display/surfacegdi.h"
#include "raster/surfaceops.h"

namespace {

TWin32Platform* Platform() {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr ? application->GetPlatform() : nullptr;
}

IDirectDrawSurface7* SurfaceOf(const std::shared_ptr<TTexture>& texture) {
    auto* data = texture != nullptr ? AsDxTextureData(texture->GetData()) : nullptr;
    return data != nullptr ? data->GetSurface() : nullptr;
}

// The area both surfaces hold: (0, 0) to the texture's size, at most the target rectangle's.
RECT CopyArea(int width, int height, const RECT& target) {
    return RECT{0, 0, std::max<LONG>(std::min<LONG>(width, target.right), 0),
                std::max<LONG>(std::min<LONG>(height, target.bottom), 0)};
}

// The copy through both surfaces' device contexts, for a display that is not 32 bits or a blit
// that was refused.
void CopyThroughGdi(IDirectDrawSurface7* from, IDirectDrawSurface7* to, const RECT& area) {
    HDC fromDc = nullptr;
    HDC toDc = nullptr;
    HRESULT result = from->GetDC(&fromDc);
    if (FAILED(result)) {
        LOG_DX_ERROR(result);
        fromDc = nullptr;
    }
    result = to->GetDC(&toDc);
    if (FAILED(result)) {
        LOG_DX_ERROR(result);
        toDc = nullptr;
    }
    if (fromDc != nullptr && toDc != nullptr) {
        int width = area.right - area.left;
        int height = area.bottom - area.top;
        StretchBlt(toDc, area.left, area.top, width, height, fromDc, area.left, area.top, width,
                   height, SRCCOPY);
    }
    if (fromDc != nullptr) from->ReleaseDC(fromDc);
    if (toDc != nullptr) to->ReleaseDC(toDc);
}

}  // namespace

bool TPlatformData::BeginRenderTarget(const std::shared_ptr<TTexture>& texture, int32_t mode) {
    TDisplayRecord& record = *mRecord;
    if (record.mDevice == nullptr || record.mBroken.load() || texture == nullptr) return false;
    IDirectDrawSurface7* surface = SurfaceOf(texture);
    if (surface == nullptr) {
        MarkBroken();
        return false;
    }

    record.mRenderTargetMode = mode;
    record.mRenderTargetTexture = texture;
    WaitForFlip();
    TWin32Platform* platform = Platform();
    if (platform != nullptr) {
        record.mSavedScaleX = platform->GetScaleX();
        record.mSavedScaleY = platform->GetScaleY();
        platform->SetScale(1.0f, 1.0f);
    }

    const int width = texture->GetWidth();
    const int height = texture->GetHeight();
    PushState(0, 0, width, height);
    const RECT screen = record.mScreenRect;
    record.mScreenRect = record.mClipRect;
    if (TPlatform* application = TPlatform::GetInstance())
        windowsystemhooks::MarkDirty(application->GetWindowManager());

    if ((mode == 2 || mode == 3) && record.mRenderTarget != nullptr) {
        // Only the part inside the target: a texture larger than the back buffer would make the
        // whole blit fail and leave the area unprepared.
        RECT area = CopyArea(width, height, record.mTargetRect);
        if (area.right > 0 && area.bottom > 0) {
            HRESULT result = record.mRenderTarget->Blt(&area, surface, &area, DDBLT_WAIT, nullptr);
            if (FAILED(result)) LOG_DX_ERROR(result);
        }
    } else if (mode == 4) {
        FillRect(TRect{0, 0, width, height}, TVec4{0.0f, 0.0f, 0.0f, 0.0f}, nullptr);
    }

    WaitForFlip();
    if (BeginDraw(false)) return true;
    record.mRenderTargetTexture.reset();
    PopState();
    // The area being drawn is the screen's again, as after an end.
    record.mScreenRect = screen;
    if (platform != nullptr) platform->SetScale(record.mSavedScaleX, record.mSavedScaleY);
    return false;
}

void TPlatformData::EndRenderTarget() {
    TDisplayRecord& record = *mRecord;
    // Without an open target there is no saved scale to put back either: a stray second end
    // must not undo a scale set since.
    if (record.mRenderTargetTexture == nullptr) return;
    if (TWin32Platform* platform = Platform())
        platform->SetScale(record.mSavedScaleX, record.mSavedScaleY);
    // Forgotten on every path below: a target left set would keep mode 4's stage set-up for the
    // screen, and a second end would close a frame and pop a state never pushed.
    std::shared_ptr<TTexture> texture = std::move(record.mRenderTargetTexture);  // leaves it empty
    const int32_t mode = record.mRenderTargetMode;

    EndDraw(false);
    PopState();
    RECT area = CopyArea(record.mScreenRect.right, record.mScreenRect.bottom, record.mTargetRect);
    record.mScreenRect = record.mTargetRect;

    IDirectDrawSurface7* from = record.mRenderTarget;
    IDirectDrawSurface7* surface = SurfaceOf(texture);
    // A texture that lost its surface takes nothing back, in mode 4 too (its lock would fail).
    if (surface == nullptr) {
        MarkBroken();
        return;
    }
    if (from == nullptr || area.right <= 0 || area.bottom <= 0) return;
    if (mode >= 0 && mode <= 3) {
        HRESULT result = E_FAIL;
        if (record.mBitDepth == 32) {
            result = surface->Blt(&area, from, &area, DDBLT_WAIT, nullptr);
            if (FAILED(result)) LOG_DX_ERROR(result);
        }
        if (FAILED(result)) CopyThroughGdi(from, surface, area);
        if (mode != 1) {
            TLockedView view(surface);
            if (view.IsUsable()) {
                raster::MakeOpaque(view.View(),
                                   TRect{0, 0, view.View().Width(), view.View().Height()});
            }
        }
    } else if (mode == 4 && texture->HasAlpha()) {
        TLockedView source(from);
        TLockedView dest(surface);
        if (source.IsUsable() && dest.IsUsable()) {
            raster::RedToAlpha(source.View(), TRect{area.left, area.top, area.right, area.bottom},
                               dest.View(), 0, 0);
        }
    }
}
