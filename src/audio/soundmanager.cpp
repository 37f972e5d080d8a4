#include "audio/soundmanager.h"

bool TSoundManager::StartThread() {
    mStarted = true;
    return true;
}

float TSoundManager::GetVolume(int /*group*/) const {
    std::lock_guard<std::mutex> lock(mLock);
    return mMasterVolume;
}

void TSoundManager::SetMasterVolume(float volume) {
    std::lock_guard<std::mutex> lock(mLock);
    mMasterVolume = volume;
}

void RegisterOggDataSourceBuilder() {}
