// Internal: what a secondary buffer is, shared between the buffer object the program holds
// (soundbuffer.h) and the mixer (output.h): its samples, cursors, play state, volume, staging
// copy and notification events, with the rules of dsound.h. Its own mutex guards all of it; the
// mixer takes it for one block at a time and it is never held while waiting for anything but an
// event's own lock.
//
// A voice lives while the buffer object or a block being mixed holds it. Any thread may call it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "port/sound/control.h"
#include "port/sound/dsound.h"
#include "port/sound/output.h"
#include "port/system/eventobject.h"

namespace port::sound {

// The most notification positions a buffer keeps.
constexpr DWORD kMaxNotifyPositions = 1024;

class Voice {
public:
    // A buffer of the (checked) flags, format and size, holding quiet noise from the seed.
    // Throws std::bad_alloc when its memory cannot be had.
    Voice(uint32_t id, DWORD flags, const WAVEFORMATEX& format, DWORD bytes, uint64_t seed);
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    uint32_t Id() const { return mId; }
    DWORD Flags() const { return mFlags; }
    DWORD Size() const { return mBytes; }

    // The buffer's operations (dsound.h), without failure injection or the call log. Lock's
    // caller has cleared its regions.
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags);
    HRESULT Stop();
    HRESULT GetCurrentPosition(DWORD* play, DWORD* write);
    HRESULT GetStatus(DWORD* status);
    HRESULT Restore();
    HRESULT SetVolume(LONG volume);
    HRESULT Lock(DWORD offset, DWORD bytes, void** data1, DWORD* bytes1, void** data2,
                 DWORD* bytes2, DWORD flags);
    HRESULT Unlock(void* data1, DWORD bytes1, void* data2, DWORD bytes2);
    HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions);
    // DS_OK, or DSERR_UNINITIALIZED once detached.
    HRESULT CheckAttached();

    // Stops it and makes it answer as lost until Restore.
    void Lose();
    // Its device went: stops it for good; every operation answers DSERR_UNINITIALIZED.
    void Detach();

    // The mixer: when playing, adds `frames` output frames of it to `mix` (interleaved stereo)
    // and moves the play cursor, setting the events of the positions it passes and, when a
    // buffer played once ends, those of the stop position.
    void MixInto(float* mix, uint32_t frames);

    control::SoundBufferInfo Observe() const;

private:
    struct Notification {
        DWORD offset;
        std::shared_ptr<EventObject> event;
    };

    // With the lock held: the mixing of MixInto for buffers at the output's rate and for the
    // others; each answers the source frames the cursor moved and sets *ended when a buffer
    // played once reached its end.
    uint64_t MixStraightLocked(float* mix, uint32_t frames, bool* ended);
    uint64_t MixResampledLocked(float* mix, uint32_t frames, bool* ended);
    // The events of the positions within `bytes` after `from`, and of the stop position.
    void SignalPassedLocked(DWORD from, uint64_t bytes);
    void SignalStopLocked();
    void StopLocked();
    DWORD PlayCursorLocked() const { return mFrame * mBlock; }
    DWORD WriteCursorLocked() const;
    uint8_t* Bytes() { return reinterpret_cast<uint8_t*>(mSamples.data()); }

    const uint32_t mId;
    const DWORD mFlags;
    const WAVEFORMATEX mFormat;
    const DWORD mBytes;
    const DWORD mBlock;
    const DWORD mFrames;
    // 10 ms of the buffer's bytes, rounded up to whole frames: write = play + mLead.
    const DWORD mLead;

    mutable std::mutex mLock;
    std::vector<int16_t> mSamples;  // mBytes bytes, frames interleaved
    // The play cursor: a frame and a fraction of the next one in 1/44,100ths.
    DWORD mFrame = 0;
    DWORD mFraction = 0;
    bool mPlaying = false;
    bool mLooping = false;
    bool mLost = false;
    bool mDetached = false;
    LONG mVolume = DSBVOLUME_MAX;
    float mGain = 1.0f;
    std::vector<Notification> mNotifications;
    uint64_t mCommitted = 0;
    // Between Lock and Unlock: the staging copy and the regions it stands for.
    bool mLocked = false;
    std::vector<uint8_t> mStaging;
    DWORD mLockOffset = 0;
    DWORD mLockBytes1 = 0;
    DWORD mLockBytes2 = 0;
};

}  // namespace port::sound
