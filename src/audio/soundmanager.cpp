#include "audio/soundmanager.h"

bool TSoundManager::StartThread() {
    mStarted = true;
    return true;
}

void RegisterOggDataSourceBuilder() {}
