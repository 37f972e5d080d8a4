// TSoundManager: the sound engine's manager. So far it exists and can be started: StartThread
// answers whether its worker runs (always true until mixing comes with the sound engine, which
// fills it in). The application object makes it at start-up and deletes it in the teardown.
//
// Made, started and deleted on the main thread.
#pragma once

#include <mutex>

class TSoundManager {
public:
    TSoundManager() = default;
    ~TSoundManager() = default;
    TSoundManager(const TSoundManager&) = delete;
    TSoundManager& operator=(const TSoundManager&) = delete;

    // Starts the manager's thread when it is not running; answers whether it runs.
    bool StartThread();
    bool IsThreadStarted() const { return mStarted; }

    // Suspends (false) or resumes (true) every stream; a stream the user paused stays paused.
    // The window's activation changes call it.
    void SetActive(bool active) { mActive = active; }
    bool IsActive() const { return mActive; }
    // Runs the queued sound notifications on the main thread (the event pump's idle turns). None
    // are queued until the streams exist.
    void DispatchCallbacks() {}

    // The master volume times the volume kept for the group, or the master volume alone when the
    // group has none (no group keeps one until the streams exist; -1 names no group). Read under
    // the sound lock.
    float GetVolume(int group) const;
    // Sets the master volume (1.0 at start) and applies the volumes again to every playing stream.
    void SetMasterVolume(float volume);

private:
    bool mStarted = false;
    bool mActive = true;
    mutable std::mutex mLock;
    float mMasterVolume = 1.0f;
};

// Registers the builder that makes data sources for ".ogg" files. Until the decoder exists
// there is nothing to register; start-up calls it in its place.
void RegisterOggDataSourceBuilder();
