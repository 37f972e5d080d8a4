// Internal: what a sound device is beyond the object the program holds: its cooperative level,
// its live secondary buffers (the voices the mixer reads), the memory they take from its budget,
// and whether it was released. Buffers keep it while they live, so that a buffer whose device
// went finds it detached instead of freed.
//
// Any thread may call it. Its lock comes after the output's device list and before a voice's.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "port/sound/control.h"
#include "port/win32types.h"

namespace port::sound {

class Voice;

class DeviceState {
public:
    explicit DeviceState(uint32_t id) : mId(id) {}

    uint32_t Id() const { return mId; }
    DWORD Level() const { return mLevel.load(); }
    void SetLevel(DWORD level) { mLevel.store(level); }

    // Takes bytes from the budget; false when they would pass it.
    bool Reserve(uint64_t bytes, uint64_t budget);
    void Unreserve(uint64_t bytes);

    // A new buffer's voice. The device is not detached: its object, which makes buffers, lives.
    void Add(std::shared_ptr<Voice> voice);
    void Remove(const Voice* voice);
    // The mixer: appends the live voices.
    void AppendVoices(std::vector<std::shared_ptr<Voice>>& voices) const;

    // The device was released: its voices are detached and dropped.
    void Detach();
    bool Detached() const;

    control::SoundDeviceInfo Observe() const;

private:
    const uint32_t mId;
    std::atomic<DWORD> mLevel{0};
    mutable std::mutex mLock;
    std::vector<std::shared_ptr<Voice>> mVoices;
    uint64_t mReserved = 0;
    bool mDetached = false;
};

}  // namespace port::sound
