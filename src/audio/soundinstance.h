// TSoundInstance: the handle of one playing sound, which callers keep to control it (pause, volume,
// stop) and to be told when it ends (a TSoundCallBack, soundcallback.h). TSound::Play makes it;
// the sound's data holds it while it plays, so a caller may drop it. It points at the stream that
// plays it without owning it (the sound manager owns streams), and holds weak references to the
// sound it plays and to a sound queued to follow it on the same stream. The stream keeps these up
// to date: when it moves on to the queued sound, and when it goes.
//
// Threads: the stream changes the stream, sound and next references under the sound lock, on the
// worker thread when it moves on to a queued sound; so every operation that reads them takes the
// lock (it is re-entrant). The callback pointer belongs to the main thread. Every other use is on
// the main thread.
#pragma once

#include <memory>

class TSound;
class TSoundCallBack;
class TSoundStream;

class TSoundInstance : public std::enable_shared_from_this<TSoundInstance> {
public:
    explicit TSoundInstance(TSoundStream* stream) : mStream(stream) {}
    virtual ~TSoundInstance() = default;
    TSoundInstance(const TSoundInstance&) = delete;
    TSoundInstance& operator=(const TSoundInstance&) = delete;

    // Pauses or resumes the stream; nothing once the stream has gone.
    void Pause(bool pause);
    // The final volume from 0 to 1 (callers multiply the group's volume in themselves); nothing
    // once the stream has gone.
    void SetVolume(float volume);
    // Stops it for good through its sound (TSound::StopInstance); nothing when the sound is gone.
    void Stop();
    // TSound::SetCallBack of its sound for it; nothing when the sound is gone.
    void SetCallBack(TSoundCallBack* callback, const std::shared_ptr<TSound>& next);

    // Null once the stream has gone.
    TSoundStream* GetStream() const;
    // Empty when the sound is gone.
    std::shared_ptr<TSound> GetSound() const;
    std::shared_ptr<TSound> GetNext() const;
    void SetSound(const std::weak_ptr<TSound>& sound);
    void SetNext(const std::weak_ptr<TSound>& next);

    // The receiver told when it ends; null for none. Main thread only, kept by TSound and the
    // receivers: ChangeCallBack unregisters the instance from the receiver it had and registers
    // it with the new one; TakeCallBack clears it and answers what it was (the notification);
    // ForgetCallBack clears it when it is that receiver (the receiver's destructor).
    TSoundCallBack* GetCallBack() const { return mCallBack; }
    void ChangeCallBack(TSoundCallBack* callback, const std::shared_ptr<TSound>& next);
    TSoundCallBack* TakeCallBack();
    void ForgetCallBack(const TSoundCallBack* receiver);

    // The stream moved on to the queued sound: it is this instance's sound now, and nothing is
    // queued any more. With the lock held.
    void MoveToNext(TSoundStream* stream) {
        mSound = mNext;
        mNext.reset();
        mStream = stream;
    }
    // The stream went. With the lock held.
    void ClearStream() { mStream = nullptr; }

private:
    TSoundStream* mStream;
    std::weak_ptr<TSound> mSound;
    std::weak_ptr<TSound> mNext;
    TSoundCallBack* mCallBack = nullptr;
};
