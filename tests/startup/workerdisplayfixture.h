// Shared by the cursor worker's thread tests: a plain top-level window for a display of its own,
// and the display record filled in from the context the way a display set-up leaves it, so that
// a test can drive the display without running the whole set-up.
#pragma once

#include "platform/display/display.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/platformdata.h"
#include "port/window/window.h"

namespace startup_test {

// A shown 640 x 480 pop-up window of its own class (one class name per test).
inline HWND MakeWorkerTestWindow(const char* className) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, "Umbrava", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                           nullptr, nullptr, nullptr);
}

// The context's windowed 640 x 480 32-bit display on the test window, keeping the window, as each
// cursor worker test makes it (and makes it again while the worker runs).
inline bool CreateWorkerContext(TDXContext& context, HWND window) {
    return context.Create(window, false, 640, 480, 32, 1 | CDisplay::kFlagKeepWindow);
}

// The context's display, device and back buffer put into the record, with a 32-bit display of
// width x height as the target, clip, screen and viewport rectangles.
inline void TakeDisplay(TPlatformData& display, int width, int height) {
    TDXContext* context = display.GetContext();
    TDisplayRecord& record = *display.GetRecord();
    record.mDirectDraw = context->GetDirectDraw();
    record.mDirect3D = context->GetDirect3D();
    record.mDevice = context->GetDevice();
    record.mBackBuffer = context->GetBackBuffer();
    record.mRenderTarget = record.mBackBuffer;
    record.mBitDepth = 32;
    record.mTargetRect = record.mClipRect = record.mScreenRect = RECT{0, 0, width, height};
    record.mViewportRect = record.mTargetRect;
}

}  // namespace startup_test
