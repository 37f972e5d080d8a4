// Whether the display can be drawn on, as the window system asks the application object and the
// platform object: usable while it exists and DirectDraw's cooperative-level test answers DD_OK
// (the surfaces are not lost); ready while it exists and is not marked broken.
#include "platform/display/displayrecord.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"

bool TPlatform::IsDisplayUsable() const {
    TPlatformData* display = mPlatform->GetPlatformData();
    if (display == nullptr) return false;
    IDirectDraw7* directDraw = display->GetRecord()->mDirectDraw;
    return directDraw != nullptr && directDraw->TestCooperativeLevel() == DD_OK;
}

bool TWin32Platform::IsDisplayReady() const {
    TPlatformData* display = GetPlatformData();
    return display != nullptr && !display->IsBroken();
}
