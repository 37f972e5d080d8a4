#include "port/sound/devicestate.h"

#include <algorithm>

#include "port/sound/voice.h"

namespace port::sound {

bool DeviceState::Reserve(uint64_t bytes, uint64_t budget) {
    std::lock_guard<std::mutex> lock(mLock);
    if (bytes > budget || mReserved > budget - bytes) return false;
    mReserved += bytes;
    return true;
}

void DeviceState::Unreserve(uint64_t bytes) {
    std::lock_guard<std::mutex> lock(mLock);
    mReserved -= std::min(bytes, mReserved);
}

void DeviceState::Add(std::shared_ptr<Voice> voice) {
    std::lock_guard<std::mutex> lock(mLock);
    mVoices.push_back(std::move(voice));
}

void DeviceState::Remove(const Voice* voice) {
    std::shared_ptr<Voice> dropped;  // released after the lock
    std::lock_guard<std::mutex> lock(mLock);
    auto it = std::find_if(mVoices.begin(), mVoices.end(),
                           [voice](const std::shared_ptr<Voice>& v) { return v.get() == voice; });
    if (it == mVoices.end()) return;
    dropped = std::move(*it);
    mVoices.erase(it);
}

void DeviceState::AppendVoices(std::vector<std::shared_ptr<Voice>>& voices) const {
    std::lock_guard<std::mutex> lock(mLock);
    voices.insert(voices.end(), mVoices.begin(), mVoices.end());
}

void DeviceState::Detach() {
    std::vector<std::shared_ptr<Voice>> voices;
    {
        std::lock_guard<std::mutex> lock(mLock);
        mDetached = true;
        voices.swap(mVoices);
    }
    for (const std::shared_ptr<Voice>& voice : voices)
        voice->Detach();
}

bool DeviceState::Detached() const {
    std::lock_guard<std::mutex> lock(mLock);
    return mDetached;
}

control::SoundDeviceInfo DeviceState::Observe() const {
    std::lock_guard<std::mutex> lock(mLock);
    control::SoundDeviceInfo info;
    info.id = mId;
    info.level = mLevel.load();
    info.bytes = mReserved;
    info.buffers = mVoices.size();
    return info;
}

}  // namespace port::sound
