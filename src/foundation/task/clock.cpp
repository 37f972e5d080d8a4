#include "foundation/task/clock.h"

#include "foundation/task/apptime.h"

uint32_t TClock::RunningTime() const {
    return mBaseTime - mPausedTotal + (GetApplicationTime() - mBaseSystemTime);
}

uint32_t TClock::GetTime() const {
    return mPaused ? mPauseTime : RunningTime();
}

void TClock::SetTime(uint32_t t) {
    mBaseSystemTime = GetApplicationTime();
    mBaseTime = t;
    mPauseTime = t;
    mPausedTotal = 0;
}

void TClock::Start() {
    if (!mPaused) return;
    if (!mStarted) {
        SetTime(0);
        mStarted = true;
    } else {
        mPausedTotal += RunningTime() - mPauseTime;
    }
    mPaused = false;
}

bool TClock::Pause() {
    if (mPaused) return true;
    mPauseTime = RunningTime();
    mPaused = true;
    return false;
}

void TClock::Reset() {
    SetTime(0);
    mPaused = true;
}
