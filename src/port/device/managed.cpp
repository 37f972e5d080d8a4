// Residency of managed textures: one list in order of use, least recent first.
#include "port/device/managed.h"

#include <algorithm>
#include <list>
#include <mutex>

namespace port::device {
namespace {

struct Residency {
    std::mutex mutex;
    std::list<ManagedTexture*> resident;  // least recently used first
};

Residency& State() {
    static Residency state;
    return state;
}

}  // namespace

ManagedTexture::ManagedTexture(std::shared_ptr<display::VideoBudget> budget, uint64_t bytes,
                               uint32_t surfaceId)
    : mBudget(std::move(budget)), mBytes(bytes), mSurfaceId(surfaceId) {}

ManagedTexture::~ManagedTexture() {
    Residency& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!mResident) return;
    state.resident.erase(mPlace);
    mBudget->Give(mBytes);
}

[[gnu::hot]] HRESULT MakeResident(ManagedTexture& texture) {
    Residency& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (texture.mResident) {
        state.resident.splice(state.resident.end(), state.resident, texture.mPlace);
        return DD_OK;
    }
    display::VideoBudget& budget = *texture.mBudget;
    auto next = state.resident.begin();
    while (!budget.Take(texture.mBytes)) {
        next = std::find_if(next, state.resident.end(), [&](const ManagedTexture* other) {
            return other->mBudget.get() == &budget;
        });
        if (next == state.resident.end()) return DDERR_OUTOFVIDEOMEMORY;
        ManagedTexture* victim = *next;
        next = state.resident.erase(next);
        victim->mResident = false;
        budget.Give(victim->mBytes);
    }
    texture.mResident = true;
    texture.mPlace = state.resident.insert(state.resident.end(), &texture);
    return DD_OK;
}

void EvictManaged(const display::VideoBudget* budget) {
    Residency& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    for (auto it = state.resident.begin(); it != state.resident.end();) {
        ManagedTexture* texture = *it;
        if (budget != nullptr && texture->mBudget.get() != budget) {
            ++it;
            continue;
        }
        texture->mResident = false;
        texture->mBudget->Give(texture->mBytes);
        it = state.resident.erase(it);
    }
}

std::vector<uint32_t> ResidentManaged() {
    Residency& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    std::vector<uint32_t> ids;
    for (const ManagedTexture* texture : state.resident)
        ids.push_back(texture->SurfaceId());
    return ids;
}

}  // namespace port::device
