// TAnimTask: a task with a due time and an optional period, measured on a TClock or, without one,
// on the application clock (apptime.h). A new task is due at once; SetTimer schedules it, Stop
// parks it (it stays with its manager and is never ready) until SetTimer is called again. The work
// itself is Animate; answering false ends the task.
//
// Times are 32-bit milliseconds that wrap: "due" and "late" are always the signed difference of
// two times, so a task due just before the counter wraps runs normally just after it.
//
// Late runs: a task more than a second late forgets the missed runs and is rescheduled from now.
// With catch-up, a repeating task that is late by less than that runs Animate once per missed
// period in one Execute (at most 1000 / period + 1 times); with period 0 it runs until Animate
// answers false, stops the task, or moves its due time past now.
//
// The clock is not owned and must outlive the task. Main thread only.
#pragma once

#include "foundation/task/task.h"

class TClock;

class TAnimTask : public TTask {
public:
    static constexpr uint32_t kStopped = 0xFFFFFFFFu;

    explicit TAnimTask(TClock* clock = nullptr);

    // Mode 1 answers the run-in-mode-1 flag; other modes: due and not stopped.
    bool IsReady(uint32_t mode) override;
    bool Execute() override;
    virtual bool Animate() = 0;

    // Schedules the next run interval milliseconds on: from the previous due time when fromNow is
    // false and the task is not stopped, else from now. repeat keeps interval as the period
    // (else the period is 0). catchUp: see above.
    void SetTimer(uint32_t interval, bool repeat, bool fromNow, bool catchUp);
    // Parks the task and clears its run-in-mode-1 flag.
    void Stop();
    bool IsStopped() const { return mDue == kStopped; }
    // -1 when stopped, else now - due: negative while not yet due.
    int GetOverdue() const;
    // Moves the task to another clock (null: the application clock). A stopped task stays stopped.
    // A running task keeps its distance to its due time: the new due time is the new clock's now
    // minus the overdue time on the old clock, so a task due in 30 ms is still due in 30 ms, an
    // overdue one is still overdue by as much, and one that was just started is due at the new
    // clock's now.
    void SetClock(TClock* clock);
    TClock* GetClock() const { return mClock; }
    // The task's clock's time, or the application clock's.
    uint32_t GetTime() const;

    // Whether the task runs in updates of mode 1 (the window system's).
    void SetRunInMode1(bool on) { mRunInMode1 = on; }
    uint32_t GetDueTime() const { return mDue; }
    uint32_t GetPeriod() const { return mPeriod; }

private:
    // Every due time goes through here: a running task never lands on the stopped mark (it is due
    // one millisecond later instead).
    void SetDue(uint32_t due) { mDue = due == kStopped ? 0 : due; }

    bool mRunInMode1 = false;
    uint32_t mDue = 0;
    uint32_t mPeriod = 0;
    bool mFromNow = false;
    bool mCatchUp = false;
    TClock* mClock;
};
