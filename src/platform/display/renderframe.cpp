// TPlatformData::BeginDraw and EndDraw: a frame's scene, begun only on a display that can take it
// and ended with at most one present. A frame begin that fails leaves no scene open; lost surfaces
// found on the way lead to a restore (or to the broken mark while a restore already runs).
#include "foundation/log.h"
#include "platform/display/deviceviewport.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxerror.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/windowsystemhooks.h"

namespace {

bool IsApplicationActive() {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr && application->IsActive();
}

bool IsDrawingSuspended() {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr &&
           windowsystemhooks::IsDrawingSuspended(application->GetWindowManager());
}

}  // namespace

bool TPlatformData::BeginDraw(bool prepare) {
    TDisplayRecord& record = *mRecord;
    if (record.mDevice == nullptr || record.mBroken.load()) return false;

    TDXContext* context = GetContext();
    IDirectDrawSurface7* front = context->GetFrontBuffer();
    IDirectDrawSurface7* back = context->GetBackBuffer();
    if (front != nullptr && front->IsLost() != DD_OK) {
        // Losing the screen while inactive is expected (another program has it); the restore
        // waits for the activation.
        if (IsApplicationActive()) MarkBroken();
        return false;
    }
    if (back != nullptr && back->IsLost() != DD_OK) return false;

    if (front != nullptr) {
        HRESULT flip = front->GetFlipStatus(DDGFS_ISFLIPDONE);
        // Skipped rather than waited for: the next frame comes soon enough.
        if (flip == DDERR_WASSTILLDRAWING) return false;
        if (FAILED(flip)) LOG_DX_ERROR(flip);
    }

    if (prepare && !context->PrepareFrame()) {
        MarkBroken();
        return false;
    }

    HRESULT result = record.mDevice->BeginScene();
    if (result == DDERR_SURFACELOST) {
        LogPrintf("TRenderer::BeginDraw: DDERR_SURFACELOST on BeginScene");
        if (record.mInRestore) {
            MarkBroken();
            return false;
        }
        Restore();
        if (record.mBroken.load() || record.mDevice == nullptr) {
            record.mInScene = false;
            return false;
        }
        result = record.mDevice->BeginScene();
        if (FAILED(result)) {
            LOG_DX_ERROR(result);
            MarkBroken();
            record.mInScene = false;
            return false;
        }
    } else if (FAILED(result)) {
        LOG_DX_ERROR(result);
        record.mInScene = false;
        return false;
    }

    ++record.mWorkingCount;
    HRESULT step = ApplyDeviceViewport(record, record.mTargetRect);
    if (FAILED(step)) LOG_DX_ERROR(step);
    step = record.mDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    if (FAILED(step)) LOG_DX_ERROR(step);
    step = ApplyClipWithinTarget(record);
    if (FAILED(step)) LOG_DX_ERROR(step);
    record.mInScene = true;
    return true;
}

void TPlatformData::EndDraw(bool present) {
    TDisplayRecord& record = *mRecord;
    if (!record.mInScene) return;
    record.mInScene = false;
    if (record.mDevice == nullptr) return;

    HRESULT ended = record.mDevice->EndScene();
    if (ended == D3DERR_SCENE_END_FAILED) {
        MarkBroken();
        return;
    }
    if (FAILED(ended) && ended != DDERR_SURFACELOST) LOG_DX_ERROR(ended);

    HRESULT presented = DD_OK;
    if (present && SUCCEEDED(ended) && !IsDrawingSuspended()) presented = GetContext()->Present();

    HRESULT failure = FAILED(ended) ? ended : presented;
    if (SUCCEEDED(failure)) return;
    if (failure == DDERR_SURFACELOST) {
        LogPrintf("TPlatform::EndDraw: DDERR_SURFACELOST on UpdateFrame or EndScene");
    } else {
        // EndScene's own failure was logged above.
        if (SUCCEEDED(ended)) LOG_DX_ERROR(presented);
        LogPrintf("TPlatform::EndDraw: Unexpected error (see above) on UpdateFrame or EndScene");
    }
    Restore();
}
