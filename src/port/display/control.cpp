#include "port/display/control.h"

#include <cstring>
#include <mutex>

#include "port/display/adapter.h"
#include "port/display/cooperation.h"
#include "port/display/displaystate.h"
#include "port/display/screen.h"
#include "port/display/surface.h"
#include "raster/surfaceops.h"

namespace port::control {
namespace {

// An A8R8G8B8 surface as an image, row by row.
Image ImageOf(const raster::TSurface& pixels) {
    Image image;
    image.width = pixels.Width();
    image.height = pixels.Height();
    image.argb.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(&image.argb[static_cast<size_t>(y) * image.width], pixels.Row(y),
                    static_cast<size_t>(image.width) * 4);
    }
    return image;
}

}  // namespace

Image SurfaceImage(IDirectDrawSurface7* surface) {
    if (surface == nullptr) return Image();
    display::Surface* s = display::Surface::From(surface);
    if (!raster::IsColorFormat(s->Shape().pixels)) return Image();
    std::shared_ptr<display::PixelStore> store = s->Store();
    raster::TSurface copy;
    if (!copy.Create(s->Shape().width, s->Shape().height, raster::TPixelFormat::A8R8G8B8)) {
        return Image();
    }
    {
        std::lock_guard<display::StoreMutex> lock(store->mutex);
        raster::CopyRect(store->pixels, raster::SurfaceRect(store->pixels), copy, 0, 0);
    }
    return ImageOf(copy);
}

Image PlayerView() {
    raster::TSurface view;
    if (!display::ReadPlayerView(view, raster::TPixelFormat::A8R8G8B8)) return Image();
    return ImageOf(view);
}

std::vector<SurfaceInfo> Surfaces() {
    std::vector<SurfaceInfo> list;
    display::ForEachSurface([&](display::Surface& surface) {
        const display::SurfaceShape& shape = surface.Shape();
        std::shared_ptr<display::PixelStore> store = surface.Store();
        SurfaceInfo info{};
        info.id = surface.Id();
        info.owner = surface.OwnerId();
        info.caps = shape.caps;
        info.caps2 = shape.caps2;
        info.format = shape.format;
        info.formatName = display::FormatName(shape.pixels);
        info.width = shape.width;
        info.height = shape.height;
        info.videoMemory = (shape.caps & DDSCAPS_VIDEOMEMORY) != 0;
        std::lock_guard<display::StoreMutex> lock(store->mutex);
        info.pitch = store->pixels.Pitch();
        info.busy = store->busy != display::Busy::None;
        info.lost = surface.Lost();
        info.resident = surface.Resident();
        list.push_back(info);
    });
    return list;
}

uint32_t SurfaceId(IDirectDrawSurface7* surface) {
    return surface != nullptr ? display::Surface::From(surface)->Id() : 0;
}

void SetAdapters(const std::vector<AdapterSpec>& adapters) {
    display::ConfigureAdapters(adapters);
}

std::vector<DisplayModeSpec> AdapterModes(int adapter) {
    auto adapters = display::Adapters();
    if (adapter < 0 || static_cast<size_t>(adapter) >= adapters.size()) return {};
    return adapters[static_cast<size_t>(adapter)]->modes;
}

VideoMemoryUse VideoMemory(int adapter) {
    auto adapters = display::Adapters();
    if (adapter < 0 || static_cast<size_t>(adapter) >= adapters.size()) return VideoMemoryUse{};
    const display::VideoBudget& budget = *adapters[static_cast<size_t>(adapter)]->budget;
    uint64_t used = budget.Used();
    return VideoMemoryUse{budget.Total(), used, budget.Total() - used};
}

void LoseAllSurfaces() {
    display::LoseSurfaces(0);
}

void SetOtherApplicationExclusive(bool held) {
    display::SetOtherExclusive(held);
}

void ForceTestCooperativeLevel(HRESULT answer) {
    display::ForceStatus(answer);
}

void SetRestoreAllSurfacesResult(HRESULT answer) {
    display::SetRestoreAllAnswer(answer);
}

void ResetDisplay() {
    display::ResetDisplayState();
    display::ResetCooperation();
    display::ConfigureAdapters({});
}

}  // namespace port::control
