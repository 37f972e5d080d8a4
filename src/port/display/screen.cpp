#include "port/display/screen.h"

#include <mutex>

#include "port/display/displaystate.h"
#include "port/display/pixelcopy.h"
#include "port/window/windowpos.h"
#include "raster/surfaceops.h"

namespace port::display {

bool ReadPlayerView(raster::TSurface& out, raster::TPixelFormat format, RECT* area) {
    HWND window = PlayerWindow();
    RECT client;
    POINT origin{0, 0};
    if (window == nullptr || !GetClientRect(window, &client) || !ClientToScreen(window, &origin)) {
        return false;
    }
    std::shared_ptr<PixelStore> desktop = DesktopStore();
    if (desktop == nullptr) return false;
    raster::TSurface view;
    if (!view.Create(client.right, client.bottom, format)) return false;
    raster::Fill(view, raster::SurfaceRect(view), 0xFF000000);
    {
        std::lock_guard<std::mutex> lock(desktop->mutex);
        if (desktop->busy != Busy::None) return false;
        TRect from{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
        raster::CopyRect(desktop->pixels, from, view, 0, 0);
    }
    out = std::move(view);
    if (area != nullptr)
        *area = RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    return true;
}

}  // namespace port::display
