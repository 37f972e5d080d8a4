#include "foundation/task/taskmanager.h"

#include <gtest/gtest.h>

#include <functional>

#include "foundation/task/animtask.h"
#include "foundation/task/clock.h"
#include "port/control.h"

namespace {

class FakeTimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::UseFakeClock(true);
        port::control::SetTime(10000);
    }
    static void Advance(uint32_t ms) { port::control::AdvanceTime(ms); }
};

// Counts its runs and its destruction; the test decides what each run does.
class ProbeTask : public TAnimTask {
public:
    explicit ProbeTask(int* deleted = nullptr, TClock* clock = nullptr)
        : TAnimTask(clock), mDeleted(deleted) {}
    ~ProbeTask() override {
        if (mDeleted != nullptr) ++*mDeleted;
    }
    bool Animate() override {
        ++runs;
        return onAnimate ? onAnimate(*this) : true;
    }
    int runs = 0;
    std::function<bool(ProbeTask&)> onAnimate;

private:
    int* mDeleted;
};

class PlainTask : public TTask {
public:
    bool Execute() override {
        ++runs;
        return true;
    }
    int runs = 0;
};

using AnimTaskTest = FakeTimeTest;

TEST_F(AnimTaskTest, NewTaskIsDueAtOnce) {
    ProbeTask task;
    EXPECT_TRUE(task.IsReady(0));
    EXPECT_EQ(task.GetOverdue(), 0);
}

TEST_F(AnimTaskTest, CatchUpAfterAStall) {
    struct Case {
        uint32_t stall;
        bool catchUp;
        int runs;
    };
    // Late by less than a second: one run per missed period; by more: the missed runs are dropped.
    const Case cases[] = {
        {450, true, 5}, {1500, true, 1}, {450, false, 1}, {0, true, 1}, {999, true, 10}};
    for (const Case& c : cases) {
        port::control::SetTime(10000);
        TTaskManager manager;
        auto* task = new ProbeTask;
        task->SetTimer(100, true, false, c.catchUp);
        manager.AddTask(task);
        Advance(100 + c.stall);
        manager.Update(0);
        EXPECT_EQ(task->runs, c.runs) << "stall " << c.stall;
        if (c.catchUp) {
            EXPECT_LT(task->GetOverdue(), 0) << "stall " << c.stall;
        }
    }
}

TEST_F(AnimTaskTest, FromNowCountsFromTheRun) {
    ProbeTask fromNow, fromDue;
    fromNow.SetTimer(100, true, true, false);
    fromDue.SetTimer(100, true, false, false);
    Advance(130);
    fromNow.Execute();
    fromDue.Execute();
    EXPECT_EQ(fromNow.GetDueTime(), 10130u + 100u);
    EXPECT_EQ(fromDue.GetDueTime(), 10100u + 100u);
}

TEST_F(AnimTaskTest, SetTimerSchedulesFromTheDueTimeOnlyWhileRunning) {
    ProbeTask task;
    Advance(40);
    task.SetTimer(100, false, false, false);  // running: from the previous due time
    EXPECT_EQ(task.GetDueTime(), 10100u);
    EXPECT_EQ(task.GetPeriod(), 0u);
    task.Stop();
    task.SetTimer(100, true, false, false);  // stopped: from now
    EXPECT_EQ(task.GetDueTime(), 10140u);
    EXPECT_EQ(task.GetPeriod(), 100u);
}

TEST_F(AnimTaskTest, OverdueFigure) {
    ProbeTask task;
    task.SetTimer(30, false, true, false);
    EXPECT_EQ(task.GetOverdue(), -30);
    EXPECT_FALSE(task.IsReady(0));
    Advance(45);
    EXPECT_EQ(task.GetOverdue(), 15);
    task.Stop();
    EXPECT_EQ(task.GetOverdue(), -1);
}

TEST_F(AnimTaskTest, ReadinessByMode) {
    ProbeTask task;
    PlainTask plain;
    EXPECT_TRUE(plain.IsReady(0));
    EXPECT_TRUE(plain.IsReady(1));
    EXPECT_FALSE(task.IsReady(1));  // due, but not a mode-1 task
    task.SetRunInMode1(true);
    EXPECT_TRUE(task.IsReady(1));
    task.Stop();
    Advance(5000);
    EXPECT_FALSE(task.IsReady(0));
    EXPECT_FALSE(task.IsReady(2));
    EXPECT_FALSE(task.IsReady(1));  // Stop clears the mode-1 flag
    task.SetTimer(10, false, true, false);
    EXPECT_FALSE(task.IsReady(2));  // other modes read the due time like mode 0
    Advance(10);
    EXPECT_TRUE(task.IsReady(2));
}

TEST_F(AnimTaskTest, CatchUpAcrossTheCounterWrap) {
    // Due 256 ms before the wrap, run 200 ms after it: 456 ms late, five periods of 100.
    port::control::SetTime(0xFFFFFF00u - 100);
    ProbeTask task;
    task.SetTimer(100, true, false, true);
    port::control::SetTime(200);
    ASSERT_TRUE(task.IsReady(0));
    task.Execute();
    EXPECT_EQ(task.runs, 5);
    EXPECT_EQ(task.GetDueTime(), 244u);

    // Just late, with the next due time past the wrap: one run, not one per millisecond.
    port::control::SetTime(0xFFFFFFF0u - 100);
    ProbeTask edge;
    edge.SetTimer(100, true, false, true);
    port::control::SetTime(0xFFFFFFF5u);
    edge.Execute();
    EXPECT_EQ(edge.runs, 1);
    EXPECT_EQ(edge.GetDueTime(), 0x54u);
}

TEST_F(AnimTaskTest, DueTimeNeverLandsOnTheStoppedMark) {
    port::control::SetTime(0xFFFFFFFFu - 50);
    ProbeTask task;
    task.SetTimer(50, true, true, false);
    EXPECT_FALSE(task.IsStopped());
    Advance(51);
    EXPECT_TRUE(task.IsReady(0));
}

TEST_F(AnimTaskTest, CatchUpWithoutPeriodEndsWhenTheTaskSaysSo) {
    ProbeTask moves, stops, finishes;
    moves.onAnimate = [](ProbeTask& t) {
        if (t.runs == 3) t.SetTimer(10, false, true, true);
        return true;
    };
    stops.onAnimate = [](ProbeTask& t) {
        if (t.runs == 4) t.Stop();
        return true;
    };
    finishes.onAnimate = [](ProbeTask& t) { return t.runs < 2; };
    for (ProbeTask* task : {&moves, &stops, &finishes})
        task->SetTimer(0, false, false, true);
    Advance(500);
    EXPECT_TRUE(moves.Execute());
    EXPECT_EQ(moves.runs, 3);
    EXPECT_TRUE(stops.Execute());
    EXPECT_EQ(stops.runs, 4);
    EXPECT_TRUE(stops.IsStopped());
    EXPECT_FALSE(finishes.Execute());
    EXPECT_EQ(finishes.runs, 2);
}

TEST_F(AnimTaskTest, SetClockKeepsTheDistanceToTheDueTime) {
    TClock clock;
    clock.Start();
    Advance(700);  // the clock reads 700, the application clock 10700

    ProbeTask fresh;  // just started: due now on the application clock
    fresh.SetClock(&clock);
    EXPECT_EQ(fresh.GetDueTime(), 700u);
    EXPECT_EQ(fresh.GetOverdue(), 0);

    ProbeTask waiting;
    waiting.SetTimer(30, false, true, false);
    waiting.SetClock(&clock);
    EXPECT_EQ(waiting.GetOverdue(), -30);
    waiting.SetClock(nullptr);
    EXPECT_EQ(waiting.GetDueTime(), 10730u);

    ProbeTask late;
    Advance(20);
    late.SetClock(&clock);  // the clock now reads 720
    EXPECT_EQ(late.GetOverdue(), 20);
    EXPECT_EQ(late.GetDueTime(), 700u);

    ProbeTask parked;
    parked.Stop();
    parked.SetClock(&clock);
    EXPECT_TRUE(parked.IsStopped());
    EXPECT_EQ(parked.GetClock(), &clock);
}

TEST_F(AnimTaskTest, TaskOnAPausedClockWaits) {
    TClock clock;
    clock.Start();
    ProbeTask task(nullptr, &clock);
    task.SetTimer(100, true, false, false);
    Advance(50);
    clock.Pause();
    Advance(5000);
    EXPECT_FALSE(task.IsReady(0));
    EXPECT_EQ(task.GetOverdue(), -50);
    clock.Start();
    Advance(50);
    EXPECT_TRUE(task.IsReady(0));
}

using PausableClockTest = FakeTimeTest;

TEST_F(PausableClockTest, PausedSpansDoNotCount) {
    TClock clock;
    EXPECT_TRUE(clock.IsPaused());
    EXPECT_EQ(clock.GetTime(), 0u);
    Advance(300);
    EXPECT_EQ(clock.GetTime(), 0u);  // never started
    clock.Start();
    Advance(500);
    EXPECT_EQ(clock.GetTime(), 500u);
    EXPECT_FALSE(clock.Pause());
    EXPECT_TRUE(clock.Pause());
    Advance(2000);
    EXPECT_EQ(clock.GetTime(), 500u);
    clock.Start();
    clock.Start();  // running: nothing
    EXPECT_EQ(clock.GetTime(), 500u);
    Advance(250);
    EXPECT_EQ(clock.GetTime(), 750u);
}

TEST_F(PausableClockTest, ResetAndSetTime) {
    TClock clock;
    clock.Start();
    Advance(400);
    clock.Reset();
    EXPECT_TRUE(clock.IsPaused());
    EXPECT_EQ(clock.GetTime(), 0u);
    Advance(1000);
    clock.Start();  // started before: goes on from 0
    Advance(60);
    EXPECT_EQ(clock.GetTime(), 60u);
    clock.SetTime(5000);
    Advance(10);
    EXPECT_EQ(clock.GetTime(), 5010u);
    clock.Pause();
    clock.SetTime(42);  // keeps the paused state
    Advance(10);
    EXPECT_EQ(clock.GetTime(), 42u);
}

class TaskManagerTest : public FakeTimeTest {
protected:
    ProbeTask* Add(std::function<bool(ProbeTask&)> onAnimate = nullptr) {
        auto* task = new ProbeTask(&deleted);
        task->onAnimate = std::move(onAnimate);
        manager.AddTask(task);
        return task;
    }
    int deleted = 0;
    TTaskManager manager;
};

TEST_F(TaskManagerTest, RunsReadyTasksAndDeletesFinishedOnes) {
    ProbeTask* once = Add([](ProbeTask&) { return false; });
    ProbeTask* later = Add();
    later->SetTimer(100, true, false, false);
    ProbeTask* parked = Add();
    parked->Stop();
    manager.Update(0);
    EXPECT_EQ(deleted, 1);  // once
    EXPECT_EQ(later->runs, 0);
    EXPECT_EQ(parked->runs, 0);
    EXPECT_EQ(manager.GetTaskCount(), 2u);
    Advance(100);
    manager.Update(0);
    EXPECT_EQ(later->runs, 1);
    manager.Update(1);  // neither is a mode-1 task
    EXPECT_EQ(later->runs, 1);
    (void)once;
}

TEST_F(TaskManagerTest, PlainTasksRunInEveryMode) {
    auto* plain = new PlainTask;
    manager.AddTask(plain);
    manager.Update(0);
    manager.Update(1);
    EXPECT_EQ(plain->runs, 2);
}

TEST_F(TaskManagerTest, RemovalOutsideAnUpdate) {
    ProbeTask* task = Add();
    EXPECT_TRUE(manager.RemoveTask(task));
    EXPECT_FALSE(manager.RemoveTask(task));
    EXPECT_EQ(manager.GetTaskCount(), 0u);
    manager.Update(0);
    EXPECT_EQ(task->runs, 0);
    delete task;  // it was given back
    EXPECT_EQ(deleted, 1);
}

TEST_F(TaskManagerTest, RemovalDuringAnUpdateIsDeferred) {
    ProbeTask* victim = nullptr;
    bool removed = false;
    Add([&](ProbeTask&) {
        removed = manager.RemoveTask(victim);
        EXPECT_EQ(manager.GetTaskCount(), 2u);    // still listed until the update ends
        EXPECT_TRUE(manager.RemoveTask(victim));  // still in the list: the same answer again
        return true;
    });
    victim = Add();
    manager.Update(0);
    EXPECT_TRUE(removed);
    EXPECT_EQ(victim->runs, 0);
    EXPECT_EQ(manager.GetTaskCount(), 1u);
    EXPECT_EQ(deleted, 0);
    delete victim;
}

TEST_F(TaskManagerTest, TaskThatRemovedItselfAndFinishesIsNotDeleted) {
    ProbeTask* self = Add([this](ProbeTask& t) {
        EXPECT_TRUE(manager.RemoveTask(&t));
        return false;
    });
    manager.Update(0);
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(manager.GetTaskCount(), 0u);
    EXPECT_EQ(self->runs, 1);
    delete self;
}

TEST_F(TaskManagerTest, DeleteAllDuringAnUpdateDeletesEachTaskOnce) {
    ProbeTask* given = Add();
    Add([this, &given](ProbeTask& t) {
        manager.RemoveTask(given);  // still listed: DeleteAll takes it too
        manager.DeleteAll();
        manager.DeleteAll();
        // Marked for deletion: neither can be handed back any more.
        EXPECT_FALSE(manager.RemoveTask(given));
        EXPECT_FALSE(manager.RemoveTask(&t));
        return false;  // finished as well as marked
    });
    int laterRuns = 0;
    Add([&laterRuns](ProbeTask&) { return ++laterRuns > 0; });
    Add([&laterRuns](ProbeTask&) { return ++laterRuns < 0; });
    manager.Update(0);
    EXPECT_EQ(laterRuns, 0);  // marked: passed over, then deleted
    EXPECT_EQ(deleted, 4);
    EXPECT_EQ(manager.GetTaskCount(), 0u);
}

// A task that gave itself back and then finishes is the caller's, unless a DeleteAll in the same
// update claimed it, before or after the hand-back: then the manager deletes it, once.
TEST_F(TaskManagerTest, SelfRemovalAndDeleteAllInOneUpdate) {
    struct Case {
        const char* what;
        bool removeFirst;
        bool deleteAll;
        bool finish;
        int deleted;
    };
    const Case cases[] = {
        {"removed, finished", true, false, false, 0},
        {"removed, then DeleteAll, finished", true, true, false, 1},
        {"DeleteAll, then removed, finished", false, true, false, 1},
        {"removed, then DeleteAll, still running", true, true, true, 1},
    };
    for (const Case& c : cases) {
        deleted = 0;
        ProbeTask* self = Add([this, &c](ProbeTask& t) {
            if (c.removeFirst) manager.RemoveTask(&t);
            if (c.deleteAll) manager.DeleteAll();
            if (!c.removeFirst) manager.RemoveTask(&t);
            return c.finish;
        });
        manager.Update(0);
        EXPECT_EQ(deleted, c.deleted) << c.what;
        EXPECT_EQ(manager.GetTaskCount(), 0u) << c.what;
        if (c.deleted == 0) delete self;
    }
}

TEST_F(TaskManagerTest, AddingDuringAnUpdate) {
    ProbeTask* added = nullptr;
    auto adder = [this, &added](ProbeTask& t) {
        if (t.runs == 1) {
            added = new ProbeTask(&deleted);
            manager.AddTask(added);
        }
        return true;
    };
    Add(adder);
    Add();
    manager.Update(0);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->runs, 1);  // the walk had not passed the end yet

    // Added by the last task of the list: the walk had already taken the end.
    manager.DeleteAll();
    added = nullptr;
    Add(adder);
    manager.Update(0);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->runs, 0);
    manager.Update(0);
    EXPECT_EQ(added->runs, 1);
}

TEST_F(TaskManagerTest, AddingAgainCancelsAPendingRemoval) {
    ProbeTask* victim = nullptr;
    Add([&](ProbeTask&) {
        manager.RemoveTask(victim);
        manager.AddTask(victim);
        return true;
    });
    victim = Add();
    manager.Update(0);
    EXPECT_EQ(manager.GetTaskCount(), 2u);
    EXPECT_EQ(victim->runs, 1);
}

TEST_F(TaskManagerTest, NestedUpdateDoesNothing) {
    ProbeTask* outer = Add([this](ProbeTask&) {
        manager.Update(0);
        return true;
    });
    ProbeTask* other = Add();
    manager.Update(0);
    EXPECT_EQ(outer->runs, 1);
    EXPECT_EQ(other->runs, 1);
}

TEST_F(TaskManagerTest, DestructionDeletesWhatIsLeft) {
    {
        TTaskManager local;
        local.AddTask(new ProbeTask(&deleted));
        local.AddTask(new ProbeTask(&deleted));
    }
    EXPECT_EQ(deleted, 2);
    Add();
    manager.DeleteAll();
    EXPECT_EQ(deleted, 3);
    EXPECT_EQ(manager.GetTaskCount(), 0u);
}

}  // namespace
