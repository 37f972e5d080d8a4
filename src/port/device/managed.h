// Internal: managed textures (the ones D3DX makes). The layer keeps their pixels, all mip levels,
// in system memory; they take bytes of their display device's video memory only while resident.
// Drawing with one makes it resident, taking the least recently used resident ones out when
// the budget is short. A ManagedTexture is the device data of its surface (Surface::DeviceData)
// and goes with the surface, giving its video memory back.
//
// Threads: residency sits under one mutex of its own, taken alone. The lower levels are
// guarded by the mutex of the surface's pixel store, as the top level is.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "port/display/adapter.h"
#include "port/display/ddresult.h"
#include "raster/surface.h"

namespace port::device {

class ManagedTexture {
public:
    ManagedTexture(std::shared_ptr<display::VideoBudget> budget, uint64_t bytes,
                   uint32_t surfaceId);
    ~ManagedTexture();
    ManagedTexture(const ManagedTexture&) = delete;
    ManagedTexture& operator=(const ManagedTexture&) = delete;

    // Levels 1 and below (level 0 is the surface's store).
    std::vector<raster::TSurface> lower;

    uint32_t SurfaceId() const { return mSurfaceId; }
    const display::VideoBudget* Budget() const { return mBudget.get(); }
    uint64_t Bytes() const { return mBytes; }

private:
    friend HRESULT MakeResident(ManagedTexture& texture);
    friend void EvictManaged(const display::VideoBudget* budget);

    const std::shared_ptr<display::VideoBudget> mBudget;
    const uint64_t mBytes;
    const uint32_t mSurfaceId;
    bool mResident = false;  // under the residency mutex
    // Its entry in the residency list while resident (under the residency mutex), so that a
    // draw moves it to the most recent end without a search.
    std::list<ManagedTexture*>::iterator mPlace;
};

// Makes the texture resident (the most recently used): DD_OK, or DDERR_OUTOFVIDEOMEMORY when
// even with every other resident texture of its budget taken out there is no room.
HRESULT MakeResident(ManagedTexture& texture);
// Takes every resident managed texture of the budget out (null: of every budget).
void EvictManaged(const display::VideoBudget* budget);
// Surface ids of the resident ones, least recently used first.
std::vector<uint32_t> ResidentManaged();

}  // namespace port::device
