// TClock: a pausable millisecond clock over the application clock (apptime.h). A clock starts
// paused at 0 and never started; the first Start runs it from 0, Pause freezes it, a later Start
// goes on from the frozen time, so the time spent paused never shows. Times are 32-bit and wrap
// like the application clock.
//
// Tasks that should stop while the game is paused (TAnimTask) run on a TClock; the clock is owned
// by whoever made it and must outlive the tasks that use it. Main thread only.
#pragma once

#include <cstdint>

class TClock {
public:
    TClock() = default;
    virtual ~TClock() = default;

    // While paused, the time at the pause; else the time since the base, less the paused spans.
    uint32_t GetTime() const;
    // Sets the current time to t (keeps the paused state).
    void SetTime(uint32_t t);
    // Runs the clock: from 0 the first time, else on from the time of the pause. Nothing when
    // already running.
    void Start();
    // Answers true when it was already paused; else freezes the time and answers false.
    bool Pause();
    // Back to 0, paused. A clock that ran before stays "started": its next Start goes on from 0.
    void Reset();
    bool IsPaused() const { return mPaused; }

private:
    // The time the clock would show if it were running now.
    uint32_t RunningTime() const;

    bool mPaused = true;
    bool mStarted = false;
    uint32_t mBaseSystemTime = 0;
    uint32_t mBaseTime = 0;
    uint32_t mPauseTime = 0;
    uint32_t mPausedTotal = 0;
};
