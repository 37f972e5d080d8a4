// TSoundData: what a TSound owns: the decoded-data source, the sound group, the path, and the set
// of its instances that are playing (held strongly, so that an instance plays on when its caller
// drops it, in the order of their ownership records). It is the notify target of every stream
// that plays the sound: when a stream ends, or moves on to a queued sound, it takes the instance
// out of the playing set and tells the instance's callback.
//
// Owned by its TSound through a shared reference; streams hold weak ones. Main thread only:
// OnStreamDone runs there with the sound lock held.
#pragma once

#include <memory>
#include <set>

#include "audio/streamnotify.h"
#include "foundation/str.h"

class TSound;
class TSoundDataSource;
class TSoundInstance;

class TSoundData : public TStreamNotify {
public:
    using Playing =
        std::set<std::shared_ptr<TSoundInstance>, std::owner_less<std::shared_ptr<TSoundInstance>>>;

    explicit TSoundData(TSound* owner) : mOwner(owner) {}
    ~TSoundData() override;

    // Delivered once per stream and sound: clears the stream's ended notification, takes the
    // instance's queued sound, tells its callback (unless the sound manager is closing) and, when
    // nothing was queued, erases it from the playing set. The owning sound is held meanwhile,
    // since a callback may drop the last reference to it.
    void OnStreamDone(TSoundStream* stream) override;

private:
    friend class TSound;

    Playing mPlaying;
    std::shared_ptr<TSoundDataSource> mSource;
    int mGroup = 0;
    str mPath;
    // Not owned; null once the sound is being destroyed.
    TSound* mOwner;
};
