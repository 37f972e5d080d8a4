#include "audio/soundlock.h"

#include "audio/soundhooks.h"
#include "audio/soundmanager.h"

TSoundLock::TSoundLock() : TSoundLock(soundhooks::SoundManager()) {}

TSoundLock::TSoundLock(const TSoundManager* manager) {
    if (manager != nullptr && manager->HasLock()) {
        manager->Lock();
        mLocked = manager;
    }
}

TSoundLock::~TSoundLock() {
    if (mLocked != nullptr) mLocked->Unlock();
}
