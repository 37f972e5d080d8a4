// A secondary buffer's state and operations; its mixing is in voicemix.cpp.
#include "port/sound/voice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <random>

namespace port::sound {
namespace {

// Noise quiet enough not to be heard as more than a hiss, loud enough to show in a capture
// wherever nobody wrote.
constexpr int kNoiseLevel = 64;

float GainOf(LONG volume) {
    if (volume <= DSBVOLUME_MIN) return 0.0f;
    return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

DWORD LeadOf(const WAVEFORMATEX& format) {
    DWORD tenMs = (format.nAvgBytesPerSec + 99) / 100;
    DWORD block = format.nBlockAlign;
    return (tenMs + block - 1) / block * block;
}

}  // namespace

Voice::Voice(uint32_t id, DWORD flags, const WAVEFORMATEX& format, DWORD bytes, uint64_t seed)
    : mId(id),
      mFlags(flags),
      mFormat(format),
      mBytes(bytes),
      mBlock(format.nBlockAlign),
      mFrames(bytes / format.nBlockAlign),
      mLead(LeadOf(format)),
      mSamples(bytes / 2) {
    std::minstd_rand noise(static_cast<std::minstd_rand::result_type>(seed % 0x7FFFFFFFu) + 1);
    std::uniform_int_distribution<int> level(-kNoiseLevel, kNoiseLevel);
    for (int16_t& sample : mSamples)
        sample = static_cast<int16_t>(level(noise));
}

HRESULT Voice::CheckAttached() {
    std::lock_guard<std::mutex> lock(mLock);
    return mDetached ? DSERR_UNINITIALIZED : DS_OK;
}

HRESULT Voice::Play(DWORD reserved, DWORD priority, DWORD flags) {
    std::lock_guard<std::mutex> lock(mLock);
    if (mDetached) return DSERR_UNINITIALIZED;
    if (reserved != 0 || priority != 0 || (flags & ~DSBPLAY_LOOPING) != 0) {
        return DSERR_INVALIDPARAM;
    }
    if (mLost) return DSERR_BUFFERLOST;
    mPlaying = true;
    mLooping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

HRESULT Voice::Stop() {
    std::lock_guard<std::mutex> lock(mLock);
    if (mDetached) return DSERR_UNINITIALIZED;
    StopLocked();
    return DS_OK;
}

void Voice::StopLocked() {
    if (!mPlaying) return;
    mPlaying = false;
    mLooping = false;
    SignalStopLocked();
}

HRESULT Voice::GetCurrentPosition(DWORD* play, DWORD* write) {
    std::lock_guard<std::mutex> lock(mLock);
    if (mDetached) return DSERR_UNINITIALIZED;
    DWORD cursor = PlayCursorLocked();
    if (play != nullptr) *play = cursor;
    if (write != nullptr) *write = WriteCursorLocked();
    return DS_OK;
}

HRESULT Voice::GetStatus(DWORD* status) {
    if (status == nullptr) return DSERR_INVALIDPARAM;
    *status = 0;
    std::lock_guard<std::mutex> lock(mLock);
    if (mDetached) return DSERR_UNINITIALIZED;
    if (mLost) {
        *status = DSBSTATUS_BUFFERLOST;
    } else if (mPlaying) {
        *status = DSBSTATUS_PLAYING | (mLooping ? DSBSTATUS_LOOPING : 0);
    }
    return DS_OK;
}

HRESULT Voice::Restore() {
    std::lock_guard<std::mutex> lock(mLock);
    if (mDetached) return DSERR_UNINITIALIZED;
    mLost = false;
    return DS_OK;
}

HRESULT Voice::SetVolume(LONG volume) {
    std::lock_guard<std::mutex> lock(mLock);
    if (mDetached) return DSERR_UNINITIALIZED;
    if ((mFlags & DSBCAPS_CTRLVOLUME) == 0) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    mVolume = volume;
    mGain = GainOf(volume);
    return DS_OK;
}

HRESULT Voice::Lock(DWORD offset, DWORD bytes, void** data1, DWORD* bytes1, void** data2,
                    DWORD* bytes2, DWORD flags) {
    std::lock_guard<std::mutex> lock(mLock);
    if (mDetached) return DSERR_UNINITIALIZED;
    if (data1 == nullptr || bytes1 == nullptr || flags != 0) return DSERR_INVALIDPARAM;
    if (offset >= mBytes || bytes == 0 || bytes > mBytes) return DSERR_INVALIDPARAM;
    DWORD first = std::min(bytes, mBytes - offset);
    DWORD second = bytes - first;
    if (second > 0 && (data2 == nullptr || bytes2 == nullptr)) return DSERR_INVALIDPARAM;
    if (mLost) return DSERR_BUFFERLOST;
    if (mLocked) return DSERR_INVALIDCALL;
    try {
        mStaging.resize(bytes);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    std::memcpy(mStaging.data(), Bytes() + offset, first);
    std::memcpy(mStaging.data() + first, Bytes(), second);
    mLocked = true;
    mLockOffset = offset;
    mLockBytes1 = first;
    mLockBytes2 = second;
    *data1 = mStaging.data();
    *bytes1 = first;
    if (second > 0) {
        *data2 = mStaging.data() + first;
        *bytes2 = second;
    }
    return DS_OK;
}

HRESULT Voice::Unlock(void* data1, DWORD bytes1, void* data2, DWORD bytes2) {
    std::lock_guard<std::mutex> lock(mLock);
    if (mDetached) return DSERR_UNINITIALIZED;
    if (!mLocked) return DSERR_INVALIDCALL;
    uint8_t* first = mStaging.data();
    uint8_t* second = mLockBytes2 > 0 ? first + mLockBytes1 : nullptr;
    if (data1 != first || bytes1 > mLockBytes1) return DSERR_INVALIDPARAM;
    if (data2 == nullptr ? bytes2 != 0 : (data2 != second || bytes2 > mLockBytes2)) {
        return DSERR_INVALIDPARAM;
    }
    std::memcpy(Bytes() + mLockOffset, first, bytes1);
    if (bytes2 > 0) std::memcpy(Bytes(), second, bytes2);
    mCommitted += uint64_t{bytes1} + bytes2;
    mLocked = false;
    return DS_OK;
}

HRESULT Voice::SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) {
    if (count > 0 && positions == nullptr) return DSERR_INVALIDPARAM;
    if (count > kMaxNotifyPositions) return DSERR_INVALIDPARAM;
    // The events are looked up before the buffer is locked: the handle table has a lock of its
    // own, which the mixer never takes.
    std::vector<Notification> notifications;
    notifications.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        const DSBPOSITIONNOTIFY& position = positions[i];
        if (position.dwOffset >= mBytes && position.dwOffset != DSBPN_OFFSETSTOP) {
            return DSERR_INVALIDPARAM;
        }
        std::shared_ptr<EventObject> event = LookupEvent(position.hEventNotify);
        if (!event) return DSERR_INVALIDPARAM;
        notifications.push_back({position.dwOffset, std::move(event)});
    }
    std::lock_guard<std::mutex> lock(mLock);
    if (mDetached) return DSERR_UNINITIALIZED;
    if (mPlaying) return DSERR_INVALIDCALL;
    mNotifications.swap(notifications);
    return DS_OK;
}

void Voice::Lose() {
    std::lock_guard<std::mutex> lock(mLock);
    if (mDetached) return;
    StopLocked();
    mLost = true;
}

void Voice::Detach() {
    std::lock_guard<std::mutex> lock(mLock);
    mPlaying = false;
    mLooping = false;
    mDetached = true;
}

DWORD Voice::WriteCursorLocked() const {
    DWORD play = PlayCursorLocked();
    return mPlaying ? static_cast<DWORD>((uint64_t{play} + mLead) % mBytes) : play;
}

void Voice::SignalStopLocked() {
    for (const Notification& notification : mNotifications) {
        if (notification.offset == DSBPN_OFFSETSTOP) notification.event->Set();
    }
}

void Voice::SignalPassedLocked(DWORD from, uint64_t bytes) {
    if (bytes == 0) return;
    for (const Notification& notification : mNotifications) {
        if (notification.offset == DSBPN_OFFSETSTOP) continue;
        uint64_t ahead = (uint64_t{notification.offset} + mBytes - from) % mBytes;
        if (ahead < bytes) notification.event->Set();
    }
}

control::SoundBufferInfo Voice::Observe() const {
    std::lock_guard<std::mutex> lock(mLock);
    control::SoundBufferInfo info;
    info.id = mId;
    info.flags = mFlags;
    info.format = mFormat;
    info.size = mBytes;
    info.playing = mPlaying;
    info.looping = mLooping;
    info.playCursor = PlayCursorLocked();
    info.writeCursor = WriteCursorLocked();
    info.volume = mVolume;
    info.lost = mLost;
    info.detached = mDetached;
    info.locked = mLocked;
    info.committed = mCommitted;
    return info;
}

}  // namespace port::sound
