// The display's mode and size as the rest of the program asks and changes them (the Alt+Enter
// switch ends here), and the pass-throughs to the context that add nothing: the cursor's saved
// image, the overlay-cursor flag and the flip to the GDI surface.
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxerror.h"
#include "platform/platformdata.h"

bool TPlatformData::SetFullscreen(bool fullscreen) {
    TDisplayRecord& record = *mRecord;
    TDXContext& context = *GetContext();
    int width = record.mTargetRect.right - record.mTargetRect.left;
    int height = record.mTargetRect.bottom - record.mTargetRect.top;
    if (!fullscreen) {
        // The set-up would only force full screen again.
        if (context.GetDesktopColours() != -1 || WindowExceedsDesktop(&context, width, height) ||
            context.IsOutOfVideoMemory() || record.mLowMemoryVideo) {
            return false;
        }
    }
    SetDisplay(width, height, fullscreen, false, false, false);
    return true;
}

bool TPlatformData::IsSettingUp() const {
    return mRecord->mInSetDisplay;
}

void TPlatformData::GetDisplaySize(int* width, int* height, bool* fullscreen) const {
    const RECT& target = mRecord->mTargetRect;
    if (width != nullptr) *width = target.right - target.left;
    if (height != nullptr) *height = target.bottom - target.top;
    if (fullscreen != nullptr) *fullscreen = mRecord->mFullscreen.load();
}

void TPlatformData::ResetMouseImage() {
    GetContext()->ResetMouse();
}

void TPlatformData::SetOverlayCursor(bool overlay) {
    GetContext()->SetOverlayCursor(overlay);
}

void TPlatformData::FlipToGDISurface() {
    IDirectDraw7* directDraw = mRecord->mDirectDraw;
    if (directDraw == nullptr) return;
    HRESULT result = directDraw->FlipToGDISurface();
    if (result != DD_OK) LOG_DX_ERROR(result);
}
