// TSoundManager: the sound engine's owner. There is one, made by the application object, which
// calls StartThread right away and deletes it in its teardown. It owns the sound device with its
// primary buffer, every sound stream (the live list, in order of creation, and the finished list
// of streams that ended on the worker and wait to be destroyed on the main thread), the master
// volume, a volume factor per sound group, and the worker thread that keeps the streams' buffers
// filled.
//
// Sound groups are ints the callers choose (the game's effects 1000, its music 1001); -1 names
// every group where a group is asked for. Volumes are floats from 0 to 1: a stream plays at the
// master volume times its group's factor, when the group has one.
//
// Threads: the main thread calls every operation; the worker wakes every 50 ms and, when more
// than 500 ms have passed since its last refill, refills every live stream (UpdateStreams) and
// moves those that ended to the finished list. Both work under the sound lock, a named mutex
// ("TSoundManagerMutex") that a thread may take again while it holds it: every operation here
// that touches the streams or the volumes, every stream operation and every data source's read
// (soundlock.h). So decoding runs under the lock, and streams are destroyed, and their end
// notifications delivered, on the main thread with the lock held (DispatchCallbacks, a stop, the
// destructor); a notification may start or stop sounds.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/task/clock.h"

class IDirectSound;
class TSoundStream;
struct TSoundManagerImpl;

class TSoundManager {
public:
    TSoundManager();
    // Stops the worker, then destroys the finished and the live streams (the notifications of a
    // closing manager), then lets go of the primary buffer and the device. Returns at once when
    // the worker never ran, within a worker's pass otherwise.
    virtual ~TSoundManager();
    TSoundManager(const TSoundManager&) = delete;
    TSoundManager& operator=(const TSoundManager&) = delete;

    // Starts the worker the first time, then brings up the device (44,100 Hz 16-bit stereo
    // output, priority level over the main window). True when the device is up, now or from an
    // earlier call. A device that fails is reported and answers false, keeping what came up; the
    // worker runs all the same, and streams then play without buffers, each timed by its own
    // clock. A later call only tries the device again, from the start.
    bool StartThread();
    // Whether the device came up: streams make buffers only then.
    bool IsStarted() const { return mStarted.load(); }
    // Set while the destructor destroys the streams: notifications then come from the teardown.
    bool IsClosing() const { return mClosing.load(); }

    // The sound lock, re-entrant for the thread that holds it (soundlock.h scopes it). HasLock
    // is false only while the destructor lets go of the lock.
    void Lock() const;
    void Unlock() const;
    bool HasLock() const;

    // The master volume times the group's factor when it has one (the lookup inserts nothing),
    // else the master volume.
    float GetVolume(int group) const;
    // Stores the master volume (1 at first) or a group's factor, then applies the volumes again
    // to every live stream.
    void SetMasterVolume(float volume);
    void SetGroupVolume(int group, float volume);
    // Gives every live stream, in order, its group's volume (ApplyVolume).
    void ApplyVolumes();
    // Sets the stream's volume twice, first 0.05 away from its group's volume v (below it when v
    // is 0.5 or more, or not a number; above it otherwise), then v itself, so that the device
    // always sees a change.
    void ApplyVolume(const std::shared_ptr<TSoundStream>& stream);

    // The application's activation: inactive suspends every live stream; active resumes those
    // the deactivation suspended (a stream the game paused stays paused), applying the volumes of
    // every stream after each stream of the walk. A stream told to play while inactive starts
    // suspended.
    void SetActive(bool active);
    bool IsActive() const { return mActive.load(); }
    // Pauses or resumes the live streams of a group (-1: all); resuming then applies the volumes
    // of every stream.
    void PauseGroup(bool pause, int group);
    // Stops the live streams of a group (-1: all) without queueing them: each is destroyed, and
    // its notifications delivered, before the next is stopped.
    void StopGroup(int group);
    // The main thread's turn (the event pump's idle turns): destroys the finished streams, which
    // delivers their end notifications, then tells the targets of sounds that a queued
    // continuation replaced on a live stream (TSoundStream::GetEndedNotify).
    void DispatchCallbacks();

    // Streams come and go through these (soundstream.h). AddStream takes ownership of a stream
    // being made (arming its shared-from-this) and appends it to the live list. QueueFinished,
    // with the lock held, moves a live stream to the finished list. RemoveStream drops the
    // manager's references; the caller's own then decides where the stream is destroyed.
    void AddStream(TSoundStream* stream);
    void QueueFinished(const std::shared_ptr<TSoundStream>& stream);
    void RemoveStream(const std::shared_ptr<TSoundStream>& stream);
    // The device, for the streams' buffers, which are made only once the manager has started
    // (a failed start may leave a device here all the same). With the lock held.
    IDirectSound* GetDevice() const;
    // The streams in the live and the finished lists together.
    size_t GetStreamCount() const;

    // The worker's pass, with the lock held: nothing while the update clock reads 500 ms or less;
    // otherwise every live stream is refilled in list order, and a stream that ended is moved to
    // the finished list, the clock restarted and the walk begun again from the head.
    void UpdateStreams();

    // For tests: the worker's pace (wake every wakeMs, refill after more than refillAfterMs; a
    // wakeMs of 0 leaves the worker asleep until the stop), and one worker pass run on the
    // calling thread.
    struct TWorkerPace {
        uint32_t wakeMs = 50;
        uint32_t refillAfterMs = 500;
    };
    void SetWorkerPace(TWorkerPace pace);
    void RunWorkerPass();
    bool IsWorkerRunning() const;

private:
    void WorkerLoop();
    bool StartDevice();
    void ReleaseDevice();
    // The live streams as they are now, for walks during which streams may come and go: each is
    // taken strong only for its own turn, so that a stream another one's notification stops is
    // still destroyed at once.
    std::vector<std::weak_ptr<TSoundStream>> LiveSnapshot() const;
    // The stream of a snapshot entry while it is still live; else empty.
    std::shared_ptr<TSoundStream> StillLive(const std::weak_ptr<TSoundStream>& entry) const;
    // Empties the finished list, destroying its streams after it is emptied.
    void DropFinished();

    std::unique_ptr<TSoundManagerImpl> mImpl;
    // Paces the worker's refills; read and reset under the lock.
    TClock mUpdateClock;
    std::atomic<bool> mStarted{false};
    std::atomic<bool> mClosing{false};
    std::atomic<bool> mActive{true};
};
