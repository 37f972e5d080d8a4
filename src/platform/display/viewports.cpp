// The clip rectangle, the viewport rectangle and the saved clip rectangles of the display. What
// the device is given is always the clip rectangle cut to the viewport, inside the current target
// (deviceviewport.h). Without a device the rectangles are only kept.
#include "foundation/log.h"
#include "platform/display/deviceviewport.h"
#include "platform/display/displayrecord.h"
#include "platform/platformdata.h"

HRESULT TPlatformData::SetClipRect(int left, int top, int right, int bottom) {
    TDisplayRecord& record = *mRecord;
    RECT previous = record.mClipRect;
    record.mClipRect = RECT{left, top, right, bottom};
    if (record.mDevice == nullptr) return S_OK;
    HRESULT result = ApplyClipWithinTarget(record);
    if (SUCCEEDED(result)) return result;
    LogPrintf("Bad viewport: %d, %d, %d, %d", left, top, right, bottom);
    record.mClipRect = previous;
    return result;
}

HRESULT TPlatformData::SetViewport(const RECT& rect) {
    TDisplayRecord& record = *mRecord;
    record.mViewportRect = rect;
    if (record.mDevice == nullptr) return S_OK;
    return ApplyClipWithinTarget(record);
}

HRESULT TPlatformData::PushState(int left, int top, int right, int bottom) {
    mRecord->mSavedStates.push_front(mRecord->mClipRect);
    return SetClipRect(left, top, right, bottom);
}

HRESULT TPlatformData::PopState() {
    TDisplayRecord& record = *mRecord;
    // Window drawing, which scripts drive, can leave a push unpaired: refused, not undefined.
    if (record.mSavedStates.empty()) {
        LogPrintf("PopState on empty state list");
        return E_FAIL;
    }
    RECT saved = record.mSavedStates.front();
    record.mSavedStates.pop_front();
    return SetClipRect(saved.left, saved.top, saved.right, saved.bottom);
}
