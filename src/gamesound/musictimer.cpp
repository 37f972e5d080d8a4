#include "gamesound/musictimer.h"

#include "gamesound/musicmanager.h"

GMusicTimer::GMusicTimer(GMusicManager* owner) : mOwner(owner) {}

GMusicTimer::~GMusicTimer() {
    if (mOwner != nullptr) mOwner->ForgetTimer(this);
}

bool GMusicTimer::Animate() {
    if (mOwner == nullptr) return false;
    mOwner->Update();
    return true;
}
