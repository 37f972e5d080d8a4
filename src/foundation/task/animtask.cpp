#include "foundation/task/animtask.h"

#include "foundation/task/apptime.h"
#include "foundation/task/clock.h"

namespace {

// A task later than this forgets its missed runs.
constexpr int32_t kMaxCatchUp = 1000;

int32_t Difference(uint32_t later, uint32_t earlier) {
    return static_cast<int32_t>(later - earlier);
}

}  // namespace

TAnimTask::TAnimTask(TClock* clock) : mClock(clock) {
    SetDue(GetTime());
}

uint32_t TAnimTask::GetTime() const {
    return mClock != nullptr ? mClock->GetTime() : GetApplicationTime();
}

bool TAnimTask::IsReady(uint32_t mode) {
    if (mode == 1) return mRunInMode1;
    if (IsStopped()) return false;
    return Difference(GetTime(), mDue) >= 0;
}

bool TAnimTask::Execute() {
    uint32_t now = GetTime();
    if (Difference(now, mDue) > kMaxCatchUp) SetDue(now);
    // Bounded so that no due time, however odd, makes one Execute run away.
    uint32_t limit = mPeriod > 0 ? kMaxCatchUp / mPeriod + 1 : 0;
    uint32_t steps = 0;
    bool more;
    do {
        SetDue(mFromNow ? now + mPeriod : mDue + mPeriod);
        more = Animate();
        ++steps;
    } while (more && mCatchUp && !IsStopped() && Difference(mDue, now) < 0 &&
             (mPeriod == 0 || steps < limit));
    return more;
}

void TAnimTask::SetTimer(uint32_t interval, bool repeat, bool fromNow, bool catchUp) {
    mFromNow = fromNow;
    mCatchUp = catchUp;
    if (!fromNow && !IsStopped())
        SetDue(mDue + interval);
    else
        SetDue(GetTime() + interval);
    mPeriod = repeat ? interval : 0;
}

void TAnimTask::Stop() {
    mDue = kStopped;
    mRunInMode1 = false;
}

int TAnimTask::GetOverdue() const {
    if (IsStopped()) return -1;
    return Difference(GetTime(), mDue);
}

void TAnimTask::SetClock(TClock* clock) {
    if (IsStopped()) {
        mClock = clock;
        return;
    }
    int32_t overdue = Difference(GetTime(), mDue);
    mClock = clock;
    SetDue(GetTime() - static_cast<uint32_t>(overdue));
}
