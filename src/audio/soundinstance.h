// TSoundInstance: the handle of one playing sound, which callers keep to control it. It points at
// the stream that plays it without owning it (the sound manager owns streams), and holds weak
// references to the sound it plays and to a sound queued to follow it on the same stream. The
// stream keeps these up to date: when it moves on to the queued sound, and when it goes.
//
// Changed by its stream under the sound lock (on the worker thread when the stream moves on).
#pragma once

#include <memory>

class TSound;
class TSoundStream;

class TSoundInstance {
public:
    explicit TSoundInstance(TSoundStream* stream) : mStream(stream) {}
    virtual ~TSoundInstance() = default;
    TSoundInstance(const TSoundInstance&) = delete;
    TSoundInstance& operator=(const TSoundInstance&) = delete;

    // Null once the stream has gone.
    TSoundStream* GetStream() const { return mStream; }
    // Empty when the sound is gone.
    std::shared_ptr<TSound> GetSound() const { return mSound.lock(); }
    std::shared_ptr<TSound> GetNext() const { return mNext.lock(); }
    void SetSound(const std::weak_ptr<TSound>& sound) { mSound = sound; }
    void SetNext(const std::weak_ptr<TSound>& next) { mNext = next; }

    // The stream moved on to the queued sound: it is this instance's sound now, and nothing is
    // queued any more.
    void MoveToNext(TSoundStream* stream) {
        mSound = mNext;
        mNext.reset();
        mStream = stream;
    }
    // The stream went.
    void ClearStream() { mStream = nullptr; }

private:
    TSoundStream* mStream;
    std::weak_ptr<TSound> mSound;
    std::weak_ptr<TSound> mNext;
};
