// Internal: the memory of a full-screen flip chain, which its front buffer (the visible one) and
// its back buffer share. A flip exchanges the two memories, so each surface keeps its role and
// what draws into the back buffer (a blit, the device) draws into the new back memory at its next
// call. The chain is lost and restored as one. When the front buffer goes, the chain is freed:
// the back memory is given up (unless it is locked, when it goes with the back buffer), and a
// back buffer still referenced answers DDERR_SURFACELOST from then on.
//
// Lock order: the chain's mutex, then the two stores' mutexes together. Any thread may call it.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "port/display/ddresult.h"
#include "port/display/pixelstore.h"

namespace port::display {

class FlipChain {
public:
    FlipChain(std::shared_ptr<PixelStore> front, std::shared_ptr<PixelStore> back);

    // The memory the front (visible) or the back buffer shows now.
    std::shared_ptr<PixelStore> Store(bool front) const;
    bool IsVisible(const PixelStore* store) const;

    // DD_OK, or DDERR_SURFACEBUSY while either memory is locked or has a device context out.
    HRESULT Flip();
    // Fresh noise in both memories of a lost chain: DD_OK, DDERR_SURFACEBUSY, or
    // DDERR_SURFACELOST once freed.
    HRESULT Restore();
    void Free();

    void MarkLost() { mLost = true; }
    bool Lost() const { return mLost; }
    bool Freed() const { return mFreed; }

private:
    mutable std::mutex mMutex;
    std::shared_ptr<PixelStore> mFront;  // under mMutex
    std::shared_ptr<PixelStore> mBack;   // under mMutex
    std::atomic<bool> mLost{false};
    std::atomic<bool> mFreed{false};
};

}  // namespace port::display
