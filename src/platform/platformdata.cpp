#include "platform/platformdata.h"

#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "port/window/gdi.h"

void TPlatformData::UpdateDesktopMetrics() {
    HDC screen = GetDC(nullptr);
    int width = GetDeviceCaps(screen, HORZRES);
    int height = GetDeviceCaps(screen, VERTRES);
    int colours = GetDeviceCaps(screen, NUMCOLORS);
    ReleaseDC(nullptr, screen);
    mRecord->mContext->SetDesktopInfo(colours, width, height);
}

bool TPlatformData::ApplyCursor(bool visible) {
    mRecord->mContext->ApplyCursor(visible);
    return true;
}
