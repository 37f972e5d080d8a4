// Internal: the table of device contexts behind HDC. The screen and window device contexts
// answer the desktop's capabilities; the display code registers its own kinds.
#pragma once

#include <memory>

#include "port/win32types.h"

namespace port {

class DeviceContext {
public:
    virtual ~DeviceContext() = default;
    virtual int Caps(int index) const = 0;
    // Whether the window system's ReleaseDC may drop it; a surface's goes back through its
    // surface.
    virtual bool ReleasedByWindow() const { return true; }
};

HDC AddDeviceContext(std::shared_ptr<DeviceContext> dc);
std::shared_ptr<DeviceContext> LookupDeviceContext(HDC dc);
bool RemoveDeviceContext(HDC dc);
// The capabilities of the screen, for device contexts that draw to it.
int ScreenCaps(int index);

}  // namespace port
