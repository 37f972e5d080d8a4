// TSoundStream: one playing sound (and, when one is queued, its continuation) through a sound
// buffer of about two seconds that is refilled half by half. Its PCM comes from a spooler over
// the sound's data source. A sound shorter than the buffer and not looping is put in whole and
// the buffer plays once (one-shot); otherwise the buffer loops as a ring, and once the data has
// ended the next new half is still played (silence after the data) and the one after stops it,
// so that the last of the data is heard in full.
//
// Ownership: the constructor hands the stream to the sound manager, whose live list owns it; the
// worker moves it to the finished list when it has ended, and the next DispatchCallbacks destroys
// it on the main thread; a stop without notify removes it at once. A stream never outlives its
// manager: the manager's destructor destroys every stream it still holds. A stream owns its
// spoolers, its buffer, the buffer's notify interface and three events, and holds weak references
// to the notify targets (streamnotify.h) of the sound playing, of a queued continuation and of a
// sound the continuation replaced, and to the instance that controls it (soundinstance.h).
// Destroying it tells each target that still exists.
//
// Without a device (the manager not started, or a buffer that could not be made) a stream has no
// buffer: it plays silently and ends when its sound's length has passed on its clock, looping or
// not.
//
// Threads: every public operation takes the sound lock (soundlock.h), so the worker's refills
// and the main thread's plays, pauses, volumes and stops never overlap; those marked "no lock of
// its own" are called with it held.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/streamspooler.h"
#include "foundation/task/clock.h"
#include "port/sound/dsound.h"

class TSoundInstance;
class TSoundManager;
class TStreamNotify;

class TSoundStream : public std::enable_shared_from_this<TSoundStream> {
public:
    // Hands itself to the manager (which must exist), whose live list owns it from here on.
    TSoundStream(TSoundManager* manager, std::unique_ptr<TStreamSpooler> spooler, bool loop,
                 int group, const std::shared_ptr<TStreamNotify>& notify);
    virtual ~TSoundStream();
    TSoundStream(const TSoundStream&) = delete;
    TSoundStream& operator=(const TSoundStream&) = delete;

    // Makes the buffer for PCM of the rate and channels: bytes per second × seconds, rounded,
    // raised to a multiple of 8, from 4 bytes to 0x0FFFFFFF; notifications at its start and its
    // middle; then fills the first half. False, leaving the stream without a buffer, when the
    // manager has no device or a step fails (reported).
    bool CreateBuffer(uint32_t samplesPerSecond, uint32_t channels, uint32_t bitsPerSample,
                      float seconds);
    // Starts the buffer at its group's volume, played once when oneShot (which stays set) or
    // looping; while the application is inactive it starts suspended. The stream's clock runs
    // from 0.
    void Play(bool oneShot);
    // Stops (and keeps the position) or resumes the buffer; resuming goes through Play, so the
    // clock starts again from 0 and the volume is applied again. Without a buffer only the clock
    // stops or runs on; the paused flag is kept either way.
    void Pause(bool pause);
    // The application's activation, no lock of its own: suspending pauses a stream that is not
    // paused and remembers it; resuming resumes only what suspending paused.
    void Suspend(bool suspend);
    // Ends the stream, once: with notify it waits in the finished list for the next
    // DispatchCallbacks; without, the manager lets go of it at once, so it is destroyed (and its
    // targets told) when the caller's last reference goes, possibly within this call.
    void Stop(bool notify);
    // The buffer's volume for a volume from 0 to 1: exactly 0 (or not a number) is -10000
    // hundredths of a decibel, otherwise -(1 - v) × 5000 with v clamped. A lost buffer is
    // restored first.
    void SetVolume(float volume);
    // The worker's refill step (initial: CreateBuffer's first fill). Fills the half the play
    // position has left, or nothing when that half was already filled; runs the drain countdown
    // after the data's end and moves on to a queued continuation within the same half. False
    // when the stream has ended.
    bool Refill(bool initial);
    // Queues a continuation to follow the current sound on this stream. Refused (false, the
    // spooler left with the caller) when the stream's last sound is already draining; a
    // continuation queued earlier is replaced.
    bool QueueNext(const std::shared_ptr<TStreamNotify>& next,
                   std::unique_ptr<TStreamSpooler>&& spooler);

    // No lock of their own. The ended-notify target is the one a continuation replaced; its
    // notification (DispatchCallbacks) clears it with SetEndedNotify({}).
    std::shared_ptr<TStreamNotify> GetEndedNotify() const { return mEndedNotify.lock(); }
    void SetEndedNotify(const std::weak_ptr<TStreamNotify>& target) { mEndedNotify = target; }
    std::shared_ptr<TStreamNotify> GetNotify() const { return mNotify.lock(); }
    void SetInstance(const std::shared_ptr<TSoundInstance>& instance) { mInstance = instance; }
    std::shared_ptr<TSoundInstance> GetInstance() const { return mInstance.lock(); }

    TSoundManager* GetManager() const { return mManager; }
    int GetGroup() const { return mGroup; }
    // 0 without a buffer.
    uint32_t GetBufferSize() const { return mBufferSize; }
    float GetBufferLength() const { return mBufferLength; }
    bool HasBuffer() const { return mBuffer != nullptr; }
    bool IsOneShot() const { return mOneShot; }
    bool IsPaused() const { return mPaused; }
    bool IsSuspended() const { return mSuspended; }

private:
    // The buffer's parts beside the buffer itself: its notify interface and the three events of
    // its notification positions.
    struct TNotifyPart {
        IDirectSoundNotify* notify = nullptr;
        HANDLE events[3] = {nullptr, nullptr, nullptr};
        DSBPOSITIONNOTIFY positions[3] = {};
    };

    // Makes the buffer and its notifications, or reports why not.
    bool MakeBuffer(const WAVEFORMATEX& format);
    // Lets go of the buffer, its notify interface and its events.
    void ReleaseBuffer();
    // Refill's step without a buffer: the clock against the sound's length.
    bool RefillWithoutBuffer();
    // Makes the queued continuation current; no lock of its own.
    void SwitchToNext();

    TSoundManager* const mManager;
    std::unique_ptr<TStreamSpooler> mSpooler;
    std::unique_ptr<TStreamSpooler> mNextSpooler;
    std::weak_ptr<TStreamNotify> mNotify;
    std::weak_ptr<TStreamNotify> mNextNotify;
    std::weak_ptr<TStreamNotify> mEndedNotify;
    IDirectSoundBuffer* mBuffer = nullptr;
    TNotifyPart mNotifyPart;
    std::weak_ptr<TSoundInstance> mInstance;
    // True until the buffer exists; afterwards once the spooler has reported the data's end.
    bool mExhausted = true;
    bool mOneShot = false;
    uint32_t mBufferSize = 0;
    float mBufferLength = 0.0f;
    // The drain countdown in bytes, from the buffer size once the data ended.
    int mRemaining = 0;
    const int mGroup;
    const bool mLoop;
    bool mPaused = false;
    bool mSuspended = false;
    bool mStopped = false;
    // Play time.
    TClock mClock;
    // 0 none, 1 the first half, 2 the second.
    int mLastFilledHalf = 0;
};
