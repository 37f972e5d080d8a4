// Internal: the memory behind surfaces. A PixelStore is one raster::TSurface with the mutex that
// every pixel access of the layer holds (blits, fills, locks, device contexts, the device's
// drawing, the backend reading the screen) and the busy state of Lock and GetDC. Most surfaces
// own one store; every windowed primary shares the desktop's, and a flip exchanges the stores of
// front and back buffer.
//
// Lock order: a thread holds at most two store mutexes at once, taken together (std::scoped_lock),
// and takes no other lock of the layer while it holds one. The 3-D device, drawing, holds up to
// three (target, depth buffer, texture), likewise taken together.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "raster/surface.h"

namespace port::display {

enum class Busy : uint8_t {
    None,
    Locked,  // between Lock and Unlock
    Dc,      // between GetDC and ReleaseDC
};

// The mutex of a store, counting how often it was taken. Whoever holds it may change the pixels,
// so a holder that finds the count one above what it saw at the end of its previous hold knows
// that nobody else touched them in between (the device uses it to skip clearing a z-buffer that
// still holds what its last clear wrote). Writes made without a hold (through a pointer kept
// after Unlock, which the program must not use) go unseen. A standard Lockable.
class StoreMutex {
public:
    void lock() {
        mMutex.lock();
        ++mHolds;
    }
    bool try_lock() {
        if (!mMutex.try_lock()) return false;
        ++mHolds;
        return true;
    }
    void unlock() { mMutex.unlock(); }
    // The holds so far, this one included; only while holding it.
    uint64_t Holds() const { return mHolds; }

private:
    std::mutex mMutex;
    uint64_t mHolds = 0;  // guarded by mMutex
};

struct PixelStore {
    StoreMutex mutex;
    raster::TSurface pixels;  // guarded by mutex, except while busy: then its holder writes
    Busy busy = Busy::None;   // guarded by mutex
    uint32_t holder = 0;      // the id of the surface that made it busy; guarded by mutex
};

// Rows of every surface are a multiple of this many bytes apart, as display memory often is.
constexpr int kRowAlignment = 64;

// The bytes a store of the size and format takes (rows aligned).
uint64_t StoreBytes(int width, int height, raster::TPixelFormat format);
// A store of the size and format holding noise; null when memory runs out.
std::shared_ptr<PixelStore> MakeStore(int width, int height, raster::TPixelFormat format);
// Fresh noise in a store's memory (a restored surface); the caller holds its mutex.
void FillWithNoise(PixelStore& store);

}  // namespace port::display
