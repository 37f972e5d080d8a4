// TSound: a named sound, shared like every asset (foundation/asset.h), and what the rest of the
// program holds to play one. TSound::Get finds it in the asset manager under "path;preload;group"
// or makes it, so the same file asked for with another preload flag or another group is another
// sound; AssetCast<TSound> turns an asset into a sound. Its data (sounddata.h) holds the decoded
// data's source, the sound group and the instances that are playing.
//
// Play starts an instance (soundinstance.h): a stream of the sound manager's over a spooler of the
// source, played once from a buffer that holds it whole when it does not loop and fits in two
// seconds, otherwise through the buffer as a ring. An instance's callback (soundcallback.h) is
// told on the main thread when it ends, or at once inside the stop that ends it.
//
// Ownership: callers hold sounds and instances through shared references, the asset manager only
// weakly; a sound owns its data, the data its source and its playing instances; the sound manager
// owns the streams. Destroying a sound stops its instances without telling their callbacks.
//
// Main thread only. The stops, the pauses, SetCallBack and the destructor take the sound lock
// (soundlock.h; re-entrant), since the worker moves an instance's references under it; the stream
// operations that Play calls take it themselves.
#pragma once

#include <memory>

#include "audio/sounddata.h"
#include "foundation/asset.h"
#include "foundation/str.h"

class TSoundCallBack;
class TSoundInstance;

class TSound : public TAssetKind<TSound, TAsset> {
public:
    TSound();
    ~TSound() override;

    const char* GetClassName() const override;

    // The sound of a file. A "?" ends the path; a "group=" after it gives the group (its leading
    // digits, 0 without any), which otherwise is defaultGroup. A sound of that path, preload
    // flag and group that is still alive is returned as it is; otherwise a new one is registered
    // with a data source for the path, streamed from the file unless preload. Empty for an empty
    // name and, logged, when no source can be made (a later call tries again).
    static std::shared_ptr<TSound> Get(const str& name, bool preload, int defaultGroup);

    // Starts a new instance, in the sound's group. Empty, logged, for a sound without data (or
    // made without a file) and without a sound manager.
    std::shared_ptr<TSoundInstance> Play(bool loop);
    // Takes the instance out of the playing set and, when its stream still plays this sound,
    // stops the stream at once: its callback is told before this returns. False only for an empty
    // instance.
    bool StopInstance(const std::shared_ptr<TSoundInstance>& instance);
    // StopInstance for every instance playing when it is called (instances that a callback
    // starts meanwhile play on); true when there was any.
    bool StopAll();
    // Pauses or resumes the stream of every playing instance that has one; true when any plays.
    bool PauseAll(bool pause);
    // Sets the instance's callback (null for none). With next: queues next to follow on the same
    // stream, and only when the stream takes it (nothing changes otherwise).
    void SetCallBack(const std::shared_ptr<TSoundInstance>& instance, TSoundCallBack* callback,
                     const std::shared_ptr<TSound>& next);

    // The source's length in seconds; 0 without data.
    float GetLength() const;
    // The path, without what followed its "?".
    const str& GetName() const;
    int GetGroup() const;
    // How many instances are playing.
    size_t GetPlayingCount() const;

private:
    // This sound while a shared reference holds it; empty otherwise (while it is destroyed).
    std::shared_ptr<TSound> Self();

    std::shared_ptr<TSoundData> mData;
};
