// The display set-up and the render front's answers in their least form. SetDisplay resets the
// display record to the new size and mode, has the context make the display and its device
// (a window, 32 bits; the context itself keeps an embedded game windowed) and takes the
// interfaces from it; the display is ready when that worked, else it is marked broken. The
// pixel-offset calibration keeps its offset, a present counts as done once there is a back
// buffer, and texture data is the display's (TDxTextureData). The full set-up (styles, fallbacks,
// boxes, device state), the calibration against the device and the present status replace these
// bodies in place.
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxtexturedata.h"
#include "platform/display/dxtextureformat.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"

void TPlatformData::SetDisplay(int width, int height, bool fullscreen, bool /*force*/,
                               bool /*quiet*/, bool childOfHost) {
    TDisplayRecord& record = *GetRecord();
    record.mReady.store(false);
    record.mWorkingCount = 0;
    record.mFullscreen.store(fullscreen);
    RECT whole{0, 0, width, height};
    record.mClipRect = whole;
    record.mTargetRect = whole;
    record.mScreenRect = whole;
    record.mViewportRect = whole;
    record.mDirectDraw = nullptr;
    record.mDirect3D = nullptr;
    record.mDevice = nullptr;
    record.mBackBuffer = nullptr;
    record.mRenderTarget = nullptr;
    record.mBroken.store(false);
    TPlatform::SetConfig("dxbroken", "0");

    TPlatform* application = TPlatform::GetInstance();
    HWND window = application != nullptr ? application->GetPlatform()->GetMainWindow() : nullptr;
    TDXContext* context = GetContext();
    DWORD flags = 1 | (childOfHost ? 2 : 0);
    if (window == nullptr || !context->Create(window, fullscreen, width, height, 32, flags)) {
        MarkBroken();
        return;
    }
    record.mDirectDraw = context->GetDirectDraw();
    record.mDirect3D = context->GetDirect3D();
    record.mDevice = context->GetDevice();
    record.mBackBuffer = context->GetBackBuffer();
    record.mRenderTarget = record.mBackBuffer;
    // A new device may list other texture formats.
    ForgetAlphaTextureFormat();
    if (!IsWorking()) return;
    record.mReady.store(true);
}

std::unique_ptr<TTextureData> TPlatformData::CreateTextureData() {
    return std::make_unique<TDxTextureData>();
}

bool TPlatformData::SetMouseImage(const std::shared_ptr<TTexture>& texture, bool hardware, int hotX,
                                  int hotY) {
    return GetContext()->SetMouseImage(texture, hardware, hotX, hotY);
}

void TPlatformData::ShowCursor(bool shown) {
    GetContext()->ShowCursor(shown);
}
