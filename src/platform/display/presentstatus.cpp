// Whether the last present has finished, and the wait for the last flip that a render target
// does before it draws (a frame is skipped instead; renderframe.cpp).
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/platformdata.h"
#include "port/system/clock.h"

bool TPlatformData::IsPresentDone() const {
    const TDisplayRecord& record = *mRecord;
    if (record.mContext == nullptr) return false;
    IDirectDrawSurface7* back = record.mContext->GetBackBuffer();
    if (back == nullptr) return false;
    HRESULT status = record.mFullscreen.load() ? back->GetFlipStatus(DDGFS_ISFLIPDONE)
                                               : back->GetBltStatus(DDGBS_ISBLTDONE);
    return status != DDERR_WASSTILLDRAWING;
}

HRESULT TPlatformData::WaitForFlip() {
    IDirectDrawSurface7* front = GetContext()->GetFrontBuffer();
    if (front == nullptr) return DD_OK;
    HRESULT status = front->GetFlipStatus(DDGFS_ISFLIPDONE);
    while (status == DDERR_WASSTILLDRAWING) {
        Sleep(1);
        status = front->GetFlipStatus(DDGFS_ISFLIPDONE);
    }
    return status;
}
