// TPlatformData::SetRenderTarget: switching the device's target to a surface (a texture made as a
// render target, and back), with the viewport retried once and the refusals that mark the display.
// TPlatformData::NeedsSquareTextures: the device's square-texture capability.
#include <cmath>

#include "foundation/log.h"
#include "platform/display/deviceviewport.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxerror.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"

namespace {

// "Failed to SetRenderTarget with alpha bit depth %d" is logged once per run.
bool gAlphaDepthFailureLogged = false;

float DisplayScale() {
    TPlatform* application = TPlatform::GetInstance();
    float scale = application != nullptr ? application->GetPlatform()->GetScaleX() : 1.0f;
    return scale > 0.0f ? scale : 1.0f;
}

}  // namespace

void TPlatformData::SetRenderTarget(IDirectDrawSurface7* surface) {
    TDisplayRecord& record = *mRecord;
    if (surface == nullptr || surface == record.mRenderTarget || record.mDevice == nullptr) return;
    HRESULT result = record.mDevice->SetRenderTarget(surface, 0);
    if (FAILED(result)) LOG_DX_ERROR(result);
    record.mRenderTarget = surface;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    result = surface->GetSurfaceDesc(&desc);
    if (FAILED(result)) LOG_DX_ERROR(result);
    RECT previous = record.mTargetRect;
    float scale = DisplayScale();
    record.mTargetRect =
        RECT{0, 0, static_cast<LONG>(std::lround(static_cast<float>(desc.dwWidth) / scale)),
             static_cast<LONG>(std::lround(static_cast<float>(desc.dwHeight) / scale))};
    if (SUCCEEDED(ApplyClipWithinTarget(record))) return;
    record.mTargetRect = previous;
    LogPrintf("Bad viewport in switching render target!");
    result = ApplyClipWithinTarget(record);
    if (SUCCEEDED(result)) return;
    int bits = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount);
    if (result == DDERR_CURRENTLYNOTAVAIL && bits == 16) {
        LogPrintf("Failed to SetRenderTarget with bit depth 16");
        record.mContext->SetRenderTargetFailure(true);
        MarkBroken();
    } else if (!gAlphaDepthFailureLogged) {
        gAlphaDepthFailureLogged = true;
        LogPrintf("Failed to SetRenderTarget with alpha bit depth %d", bits);
    }
}

bool TPlatformData::NeedsSquareTextures() const {
    return mRecord != nullptr && mRecord->mSquareTextures;
}
