#include "port/display/adapter.h"

#include <mutex>

#include "port/display/backend.h"
#include "port/window/desktop.h"

namespace port::display {
namespace {

struct AdapterList {
    std::mutex mutex;
    std::vector<control::AdapterSpec> specs;               // as configured; empty: the default
    std::vector<std::shared_ptr<const Adapter>> adapters;  // worked out at first use
};

AdapterList& TheList() {
    static auto* list = new AdapterList;
    return *list;
}

// The default list: the backend's sizes for the desktop, each at 16 and 32 bits.
std::vector<control::DisplayModeSpec> DefaultModes(const DesktopMode& desktop) {
    std::vector<control::DisplayModeSpec> modes;
    for (const auto& size : Backend().ModeSizes(desktop.width, desktop.height)) {
        for (int bits : {16, 32})
            modes.push_back({size.first, size.second, bits, desktop.refreshRate});
    }
    return modes;
}

std::shared_ptr<const Adapter> Make(const control::AdapterSpec& spec, const DesktopMode& desktop) {
    auto adapter = std::make_shared<Adapter>();
    adapter->spec = spec;
    // Modes have the surface formats of their depth; no depth stands for 555 or 1555.
    for (control::DisplayModeSpec mode : spec.modes.empty() ? DefaultModes(desktop) : spec.modes) {
        if (mode.bitsPerPixel != 16 && mode.bitsPerPixel != 24 && mode.bitsPerPixel != 32) continue;
        if (mode.refreshRate == 0) mode.refreshRate = desktop.refreshRate;
        adapter->modes.push_back(mode);
    }
    adapter->budget = std::make_shared<VideoBudget>(spec.videoMemory);
    return adapter;
}

// With the list's mutex held.
const std::vector<std::shared_ptr<const Adapter>>& WorkedOut(AdapterList& list) {
    if (list.adapters.empty()) {
        DesktopMode desktop = CurrentDesktopMode();
        if (list.specs.empty()) {
            list.adapters.push_back(Make(control::AdapterSpec{}, desktop));
        } else {
            for (const control::AdapterSpec& spec : list.specs)
                list.adapters.push_back(Make(spec, desktop));
        }
    }
    return list.adapters;
}

}  // namespace

bool VideoBudget::Take(uint64_t bytes) {
    uint64_t used = mUsed.load();
    do {
        if (bytes > mTotal - used) return false;
    } while (!mUsed.compare_exchange_weak(used, used + bytes));
    return true;
}

void VideoBudget::Give(uint64_t bytes) {
    mUsed -= bytes;
}

std::shared_ptr<const Adapter> FindAdapter(const GUID* guid) {
    AdapterList& list = TheList();
    std::lock_guard<std::mutex> lock(list.mutex);
    const auto& adapters = WorkedOut(list);
    if (guid == nullptr) return adapters.front();
    for (const auto& adapter : adapters) {
        if (adapter->spec.hasGuid && IsEqualGUID(adapter->spec.guid, *guid)) return adapter;
    }
    return nullptr;
}

std::vector<std::shared_ptr<const Adapter>> Adapters() {
    AdapterList& list = TheList();
    std::lock_guard<std::mutex> lock(list.mutex);
    return WorkedOut(list);
}

void ConfigureAdapters(const std::vector<control::AdapterSpec>& specs) {
    AdapterList& list = TheList();
    std::lock_guard<std::mutex> lock(list.mutex);
    list.specs = specs;
    list.adapters.clear();
}

}  // namespace port::display
