#include "port/display/displaystate.h"

#include <atomic>
#include <map>
#include <mutex>

#include "port/display/backend.h"
#include "port/display/flipchain.h"
#include "port/display/surface.h"
#include "port/display/surfaceshape.h"
#include "port/window/desktop.h"

namespace port::display {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<uint32_t, Surface*> surfaces;  // by id, which is creation order
};

Registry& TheRegistry() {
    static auto* registry = new Registry;
    return *registry;
}

struct Desktop {
    std::mutex mutex;
    std::shared_ptr<PixelStore> store;
    DesktopMode mode{};
    HWND playerWindow = nullptr;
    std::weak_ptr<FlipChain> fullScreen;
};

Desktop& TheDesktop() {
    static auto* desktop = new Desktop;
    return *desktop;
}

std::atomic<uint32_t> gNextId{1};
std::atomic<uint64_t> gNextSeed{1};
std::atomic<uint64_t> gStoreEpoch{0};

}  // namespace

uint32_t NextObjectId() {
    return gNextId++;
}

uint64_t NextNoiseSeed() {
    return gNextSeed++;
}

void RegisterSurface(Surface* surface) {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    registry.surfaces[surface->Id()] = surface;
}

void UnregisterSurface(Surface* surface) {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    registry.surfaces.erase(surface->Id());
}

bool IsLiveSurface(uint32_t id) {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    return registry.surfaces.count(id) != 0;
}

void ForEachSurface(const std::function<void(Surface&)>& visit) {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    for (auto& entry : registry.surfaces)
        visit(*entry.second);
}

std::shared_ptr<PixelStore> DesktopStore() {
    DesktopMode mode = CurrentDesktopMode();
    raster::TPixelFormat format = DesktopFormat(mode.bitsPerPixel);
    if (format == raster::TPixelFormat::Unknown) return nullptr;
    Desktop& desktop = TheDesktop();
    std::lock_guard<std::mutex> lock(desktop.mutex);
    if (desktop.store == nullptr || desktop.mode.width != mode.width ||
        desktop.mode.height != mode.height || desktop.mode.bitsPerPixel != mode.bitsPerPixel) {
        desktop.store = MakeStore(mode.width, mode.height, format);
        desktop.mode = mode;
        StoresChanged();
    }
    return desktop.store;
}

void SetPlayerWindow(HWND window) {
    Desktop& desktop = TheDesktop();
    std::lock_guard<std::mutex> lock(desktop.mutex);
    desktop.playerWindow = window;
}

HWND PlayerWindow() {
    // The clip window of the newest primary that has one.
    HWND clipped = nullptr;
    ForEachSurface([&](Surface& surface) {
        if (!surface.IsPrimary()) return;
        if (HWND window = surface.ClipWindow()) clipped = window;
    });
    if (clipped != nullptr) return clipped;
    Desktop& desktop = TheDesktop();
    std::lock_guard<std::mutex> lock(desktop.mutex);
    return desktop.playerWindow;
}

void SetFullScreenChain(const std::shared_ptr<FlipChain>& chain) {
    Desktop& desktop = TheDesktop();
    std::lock_guard<std::mutex> lock(desktop.mutex);
    desktop.fullScreen = chain;
    StoresChanged();
}

std::shared_ptr<FlipChain> FullScreenChain() {
    Desktop& desktop = TheDesktop();
    std::lock_guard<std::mutex> lock(desktop.mutex);
    std::shared_ptr<FlipChain> chain = desktop.fullScreen.lock();
    return chain != nullptr && !chain->Freed() ? chain : nullptr;
}

bool IsShown(const PixelStore& store) {
    {
        Desktop& desktop = TheDesktop();
        std::lock_guard<std::mutex> lock(desktop.mutex);
        if (desktop.store.get() == &store) return true;
    }
    std::shared_ptr<FlipChain> chain = FullScreenChain();
    return chain != nullptr && chain->IsVisible(&store);
}

void ShownStoreWritten() {
    Backend().ScreenChanged();
}

void ScreenWritten(const PixelStore& store) {
    if (IsShown(store)) ShownStoreWritten();
}

uint64_t StoreEpoch() {
    return gStoreEpoch.load(std::memory_order_acquire);
}

void StoresChanged() {
    gStoreEpoch.fetch_add(1, std::memory_order_acq_rel);
}

void LoseSurfaces(uint32_t owner) {
    ForEachSurface([&](Surface& surface) {
        if (owner == 0 || surface.OwnerId() == owner) surface.MarkLost();
    });
}

void ResetDisplayState() {
    Desktop& desktop = TheDesktop();
    {
        std::lock_guard<std::mutex> lock(desktop.mutex);
        desktop.store.reset();
        desktop.playerWindow = nullptr;
        desktop.fullScreen.reset();
    }
    StoresChanged();
    gNextSeed = 1;
}

}  // namespace port::display
