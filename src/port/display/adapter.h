// Internal: the display devices (adapters) as the control plane configures them, each with its
// video-memory budget. A DirectDraw object keeps its device for its life; surfaces keep the budget
// they took bytes from, so a device list replaced under them stays consistent.
//
// Any thread may call these.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "port/display/control.h"

namespace port::display {

// The video memory of one device: what surfaces in video memory take and give back.
class VideoBudget {
public:
    explicit VideoBudget(uint64_t total) : mTotal(total) {}

    uint64_t Total() const { return mTotal; }
    uint64_t Used() const { return mUsed.load(); }
    uint64_t Free() const { return mTotal - mUsed.load(); }
    // Takes the bytes when they fit; false (nothing taken) when they do not.
    bool Take(uint64_t bytes);
    void Give(uint64_t bytes);

private:
    const uint64_t mTotal;
    std::atomic<uint64_t> mUsed{0};
};

struct Adapter {
    control::AdapterSpec spec;
    std::vector<control::DisplayModeSpec> modes;  // the list worked out
    std::shared_ptr<VideoBudget> budget;
};

// The device for a GUID (null: the default); null for an unknown GUID.
std::shared_ptr<const Adapter> FindAdapter(const GUID* guid);
// Every device, the default first.
std::vector<std::shared_ptr<const Adapter>> Adapters();

void ConfigureAdapters(const std::vector<control::AdapterSpec>& specs);

}  // namespace port::display
