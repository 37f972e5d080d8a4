// TSoundCallBack: the base of every receiver of end-of-sound notifications (the game's music
// manager, its sound scheme). A receiver is set on an instance with TSoundInstance::SetCallBack,
// which registers the instance with it; it is told once, with OnSoundDone, when that instance has
// finished (ended by itself or stopped), and only while the instance is still registered with it:
// the notification unregisters it first. The receiver keeps weak references to the instances
// registered with it, and its destructor clears itself from every one still alive, so that no
// instance ever calls a destroyed receiver.
//
// Main thread only. OnSoundDone runs with the sound lock held, inside TSoundManager's
// DispatchCallbacks or synchronously inside a stop; it may start and stop sounds.
#pragma once

#include <memory>
#include <set>

class TSound;
class TSoundInstance;

class TSoundCallBack {
public:
    TSoundCallBack() = default;
    virtual ~TSoundCallBack();
    TSoundCallBack(const TSoundCallBack&) = delete;
    TSoundCallBack& operator=(const TSoundCallBack&) = delete;

    // The instance has finished; next is the sound that was queued behind it and did not start
    // (empty unless one was queued).
    virtual void OnSoundDone(const std::shared_ptr<TSoundInstance>& instance,
                             const std::shared_ptr<TSound>& next) = 0;

    // Adds the instance (nothing for an empty one); the sound is not used.
    void Register(const std::shared_ptr<TSoundInstance>& instance,
                  const std::shared_ptr<TSound>& next = nullptr);
    // Removes the instance; answers whether it was registered.
    bool Unregister(const std::shared_ptr<TSoundInstance>& instance);
    bool IsRegistered(const std::shared_ptr<TSoundInstance>& instance) const;

private:
    std::set<std::weak_ptr<TSoundInstance>, std::owner_less<std::weak_ptr<TSoundInstance>>>
        mInstances;
};
