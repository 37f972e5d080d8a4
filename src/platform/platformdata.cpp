#include "platform/platformdata.h"

#include "platform/display/dxcontext.h"
#include "port/window/gdi.h"

TPlatformData::TPlatformData() : mContext(std::make_unique<TDXContext>()) {}

TPlatformData::~TPlatformData() = default;

void TPlatformData::Restore() {
    mBroken.store(false);
}

bool TPlatformData::SetFullscreen(bool fullscreen) {
    mFullscreen.store(fullscreen);
    return true;
}

void TPlatformData::SetClipRect(int left, int top, int right, int bottom) {
    mClipRect = RECT{left, top, right, bottom};
}

void TPlatformData::UpdateDesktopMetrics() {
    HDC screen = GetDC(nullptr);
    int width = GetDeviceCaps(screen, HORZRES);
    int height = GetDeviceCaps(screen, VERTRES);
    int colours = GetDeviceCaps(screen, NUMCOLORS);
    ReleaseDC(nullptr, screen);
    mContext->SetDesktopInfo(colours, width, height);
}

bool TPlatformData::ApplyCursor(bool visible) {
    mContext->ApplyCursor(visible);
    return true;
}
