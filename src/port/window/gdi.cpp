#include "port/window/gdi.h"

#include "port/failinjection.h"
#include "port/handletable.h"
#include "port/system/lasterror.h"
#include "port/window/desktop.h"
#include "port/window/devicecontext.h"
#include "port/window/windowinternal.h"

namespace port {
namespace {

HandleTable<HDC, DeviceContext>& Table() {
    static auto* table = new HandleTable<HDC, DeviceContext>(0x00070010, 0x10);
    return *table;
}

// The screen and the windows on it share the desktop's capabilities.
class ScreenContext : public DeviceContext {
public:
    int Caps(int index) const override { return ScreenCaps(index); }
};

constexpr uintptr_t kStockBase = 0x00080010;
constexpr int kStockCount = 6;

}  // namespace

HDC AddDeviceContext(std::shared_ptr<DeviceContext> dc) {
    return Table().Add(std::move(dc));
}

std::shared_ptr<DeviceContext> LookupDeviceContext(HDC dc) {
    return Table().Lookup(dc);
}

bool RemoveDeviceContext(HDC dc) {
    return Table().Remove(dc);
}

int ScreenCaps(int index) {
    DesktopMode mode = CurrentDesktopMode();
    switch (index) {
        case HORZRES:
            return mode.width;
        case VERTRES:
            return mode.height;
        case BITSPIXEL:
            return mode.bitsPerPixel;
        case PLANES:
            return 1;
        case NUMCOLORS:
            return DesktopColourCount(mode.bitsPerPixel);
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case SIZEPALETTE:
            return mode.bitsPerPixel <= 8 ? 1 << mode.bitsPerPixel : 0;
        case VREFRESH:
            return mode.refreshRate;
        default:
            return 0;
    }
}

}  // namespace port

HDC GetDC(HWND window) {
    if (port::ShouldFail("GetDC")) return nullptr;
    if (window != nullptr && !port::IsLiveWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return port::AddDeviceContext(std::make_shared<port::ScreenContext>());
}

int ReleaseDC(HWND, HDC dc) {
    std::shared_ptr<port::DeviceContext> context = port::LookupDeviceContext(dc);
    if (context == nullptr || !context->ReleasedByWindow()) return 0;
    return port::RemoveDeviceContext(dc) ? 1 : 0;
}

int GetDeviceCaps(HDC dc, int index) {
    std::shared_ptr<port::DeviceContext> context = port::LookupDeviceContext(dc);
    return context != nullptr ? context->Caps(index) : 0;
}

HGDIOBJ GetStockObject(int object) {
    if (object < 0 || object >= port::kStockCount) return nullptr;
    return reinterpret_cast<HGDIOBJ>(port::kStockBase + static_cast<uintptr_t>(object) * 0x10);
}
