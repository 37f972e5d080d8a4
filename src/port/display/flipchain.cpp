#include "port/display/flipchain.h"

#include <utility>

#include "port/display/displaystate.h"

namespace port::display {

FlipChain::FlipChain(std::shared_ptr<PixelStore> front, std::shared_ptr<PixelStore> back)
    : mFront(std::move(front)), mBack(std::move(back)) {}

std::shared_ptr<PixelStore> FlipChain::Store(bool front) const {
    std::lock_guard<std::mutex> lock(mMutex);
    return front ? mFront : mBack;
}

bool FlipChain::IsVisible(const PixelStore* store) const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mFront.get() == store;
}

HRESULT FlipChain::Flip() {
    std::lock_guard<std::mutex> lock(mMutex);
    std::scoped_lock stores(mFront->mutex, mBack->mutex);
    if (mFront->busy != Busy::None || mBack->busy != Busy::None) return DDERR_SURFACEBUSY;
    std::swap(mFront, mBack);
    StoresChanged();
    return DD_OK;
}

HRESULT FlipChain::Restore() {
    std::lock_guard<std::mutex> lock(mMutex);
    if (mFreed) return DDERR_SURFACELOST;
    if (!mLost) return DD_OK;
    std::scoped_lock stores(mFront->mutex, mBack->mutex);
    if (mFront->busy != Busy::None || mBack->busy != Busy::None) return DDERR_SURFACEBUSY;
    FillWithNoise(*mFront);
    FillWithNoise(*mBack);
    mLost = false;
    return DD_OK;
}

void FlipChain::Free() {
    std::shared_ptr<PixelStore> dropped;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mFreed = true;
        std::lock_guard<StoreMutex> back(mBack->mutex);
        // A locked back buffer keeps its memory until its lock or its last reference ends.
        if (mBack->busy == Busy::None)
            dropped = std::exchange(mBack, std::make_shared<PixelStore>());
    }
    StoresChanged();
    // The memory goes here, with no lock held.
}

}  // namespace port::display
