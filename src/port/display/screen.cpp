#include "port/display/screen.h"

#include <mutex>

#include "port/display/displaystate.h"
#include "port/display/flipchain.h"
#include "port/display/pixelcopy.h"
#include "port/display/surface.h"
#include "port/window/windowpos.h"
#include "raster/surfaceops.h"

namespace port::display {

namespace {

// Full screen: the whole visible buffer.
bool ReadVisibleBuffer(const FlipChain& chain, raster::TSurface& out, raster::TPixelFormat format,
                       RECT* area) {
    std::shared_ptr<PixelStore> visible = chain.Store(true);
    raster::TSurface view;
    {
        std::lock_guard<StoreMutex> lock(visible->mutex);
        if (visible->busy != Busy::None) return false;
        if (!view.Create(visible->pixels.Width(), visible->pixels.Height(), format)) return false;
        raster::CopyRect(visible->pixels, raster::SurfaceRect(visible->pixels), view, 0, 0);
    }
    if (area != nullptr) *area = RECT{0, 0, view.Width(), view.Height()};
    out = std::move(view);
    return true;
}

}  // namespace

ShownMemory FindShownMemory() {
    ShownMemory shown;
    if (std::shared_ptr<FlipChain> chain = FullScreenChain()) {
        shown.store = chain->Store(true);
        shown.fullScreen = true;
        shown.lost = chain->Lost();
        return shown;
    }
    shown.store = DesktopStore();
    if (shown.store == nullptr) return shown;
    ForEachSurface([&](Surface& surface) {
        if (surface.IsPrimary() && surface.Chain() == nullptr) shown.lost = surface.Lost();
    });
    return shown;
}

bool ReadPlayerView(raster::TSurface& out, raster::TPixelFormat format, RECT* area) {
    if (std::shared_ptr<FlipChain> chain = FullScreenChain()) {
        return ReadVisibleBuffer(*chain, out, format, area);
    }
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
        std::lock_guard<StoreMutex> lock(desktop->mutex);
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
