// TStreamNotify: what a sound stream tells when a sound it played is over. A stream holds weak
// references to the targets of its current sound, of a queued continuation and of a sound the
// continuation replaced, and calls OnStreamDone on each that still exists: from its destructor,
// and (for the replaced sound) from TSoundManager::DispatchCallbacks.
//
// Called on the main thread with the sound lock held. A target may start or stop sounds from its
// notification.
#pragma once

class TSoundStream;

class TStreamNotify {
public:
    virtual ~TStreamNotify() = default;
    virtual void OnStreamDone(TSoundStream* stream) = 0;
};
