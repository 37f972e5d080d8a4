// TSoundLock: holds the sound lock (TSoundManager::Lock) for a scope. It locks the manager it is
// given, or the application's (soundhooks.h), when there is one whose lock still exists, and
// releases at the end of the scope exactly what it took. The lock is re-entrant: a thread that
// holds it may take it again.
//
// Any thread.
#pragma once

class TSoundManager;

class TSoundLock {
public:
    // The application's sound manager.
    TSoundLock();
    explicit TSoundLock(const TSoundManager* manager);
    ~TSoundLock();
    TSoundLock(const TSoundLock&) = delete;
    TSoundLock& operator=(const TSoundLock&) = delete;

private:
    const TSoundManager* mLocked = nullptr;
};
