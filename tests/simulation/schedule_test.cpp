#include "simulation/schedule/schedule.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "simulation/schedule/scheduletask.h"
#include "testobjects.h"

namespace {

using simtest::AddTask;
using simtest::Journal;
using simtest::TestObject;
using Lines = std::vector<std::string>;

TEST(ScheduleTest, DueTasksCompleteInEndTimeOrderWithTiesInOrderAdded) {
    Journal journal;
    TestObject a("a", &journal), b("b", &journal), e("e", &journal), d("d", &journal);
    GSchedule schedule;
    AddTask(schedule, &e, nullptr, 12);
    AddTask(schedule, &a, nullptr, 10);
    AddTask(schedule, &b, nullptr, 10);
    // A task added during a completion with an earlier end time completes next.
    a.onCompleted = [&](GTaskData*) { AddTask(schedule, &d, nullptr, 9); };
    schedule.Update(10, false);
    EXPECT_EQ(journal, (Lines{"a completed", "d completed", "b completed"}));
    EXPECT_EQ(schedule.GetTaskCount(), 1u);
    EXPECT_EQ(schedule.NextEndTime(), 12u);
    EXPECT_EQ(a.GetTask(), nullptr);
    EXPECT_NE(e.GetTask(), nullptr);
}

TEST(ScheduleTest, CatchUpTasksCompleteOnlyWhileSimulating) {
    for (const bool simulating : {false, true}) {
        Journal journal;
        TestObject one("one", &journal), zero("zero", &journal);
        GSchedule schedule;
        AddTask(schedule, &one, nullptr, 5, 2, GScheduleTask::kByTimeWhileSimulating);
        AddTask(schedule, &zero, nullptr, 8);
        EXPECT_EQ(schedule.NextEndTime(), 5u);
        schedule.Update(10, simulating);
        if (simulating) {
            EXPECT_EQ(journal, (Lines{"one completed", "zero completed"}));
        } else {
            EXPECT_EQ(journal, (Lines{"zero completed"}));
            EXPECT_EQ(schedule.NextEndTime(), 5u);  // the skipped task stays first
        }
    }
}

TEST(ScheduleTest, OtherTypesEndByTime) {
    Journal journal;
    TestObject odd("odd", &journal);
    GSchedule schedule;
    AddTask(schedule, &odd, nullptr, 3, 2, 7);
    schedule.Update(3, false);
    EXPECT_EQ(journal, (Lines{"odd completed"}));
}

TEST(ScheduleTest, PartiesAreToldInOrderAndReleasedAfterBoth) {
    for (const bool completed : {true, false}) {
        Journal journal;
        TestObject subject("subject", &journal), object("object", &journal);
        GSchedule schedule;
        GScheduleTask* task = AddTask(schedule, &subject, &object, 10);
        auto check = [&](GTaskData* data) {
            // Both still hold the task while either is told.
            EXPECT_EQ(subject.GetTask(), task);
            EXPECT_EQ(object.GetTask(), task);
            EXPECT_EQ(data->subject, &subject);
            EXPECT_EQ(data->object, &object);
            EXPECT_EQ(task->GetState(), GScheduleTask::kClosed);
        };
        subject.onCompleted = subject.onCancelled = check;
        object.onCompleted = object.onCancelled = check;
        schedule.RemoveTask(task, completed);
        if (completed) {
            EXPECT_EQ(journal, (Lines{"object completed", "subject completed"}));
        } else {
            EXPECT_EQ(journal, (Lines{"subject cancelled", "object cancelled"}));
        }
        EXPECT_EQ(subject.GetTask(), nullptr);
        EXPECT_EQ(object.GetTask(), nullptr);
        // Closed: never told again, and no longer scheduled.
        journal.clear();
        task->Finish(true);
        schedule.RemoveTask(task, true);
        EXPECT_TRUE(journal.empty());
    }
}

TEST(ScheduleTest, AListenerHoldingAnotherTaskKeepsIt) {
    TestObject subject("subject"), object("object");
    GSchedule schedule;
    GScheduleTask* first = AddTask(schedule, &subject, &object, 10);
    GScheduleTask* other = AddTask(schedule, &object, nullptr, 20);
    EXPECT_EQ(object.GetTask(), other);
    schedule.RemoveTask(first, true);
    EXPECT_EQ(subject.GetTask(), nullptr);
    EXPECT_EQ(object.GetTask(), other);
}

TEST(ScheduleTest, CancelTasksOfTable) {
    // x works on kind 2 and kind 3 tasks and has a kind 2 task done to it.
    const struct {
        bool alsoAsObject;
        int kind;
        Lines cancelled;
    } rows[] = {
        {false, 0, {"x-works-2", "x-works-3"}},
        {true, 0, {"x-works-2", "x-works-3", "done-to-x-2"}},
        {false, 2, {"x-works-2"}},
        {true, 2, {"x-works-2", "done-to-x-2"}},
        {true, 5, {}},
    };
    for (const auto& row : rows) {
        Journal journal;
        TestObject x("x"), other("other");
        TestObject works2("x-works-2", &journal), works3("x-works-3", &journal),
            doneTo("done-to-x-2", &journal);
        GSchedule schedule;
        // The journal objects are the other parties: they hear the cancellations.
        AddTask(schedule, &x, &works2, 30, 2);
        AddTask(schedule, &x, &works3, 20, 3);
        AddTask(schedule, &doneTo, &x, 25, 2);
        AddTask(schedule, &other, nullptr, 10, 2);
        journal.clear();
        schedule.CancelTasksOf(&x, row.alsoAsObject, row.kind);
        Lines cancelled;
        for (const std::string& line : journal) {
            if (line.find(" cancelled") != std::string::npos) {
                cancelled.push_back(line.substr(0, line.find(' ')));
            }
        }
        std::set<std::string> got(cancelled.begin(), cancelled.end());
        std::set<std::string> want(row.cancelled.begin(), row.cancelled.end());
        EXPECT_EQ(got, want) << row.alsoAsObject << " " << row.kind;
        EXPECT_EQ(schedule.CountTasksOf(&x, true),
                  static_cast<int16_t>(3 - static_cast<int>(row.cancelled.size())));
    }
}

TEST(ScheduleTest, CancelTasksOfTakesEverythingOutBeforeTellingAnyone) {
    TestObject x("x"), y("y");
    GSchedule schedule;
    AddTask(schedule, &x, nullptr, 10);
    AddTask(schedule, &x, &y, 20);
    AddTask(schedule, &y, nullptr, 30);
    std::vector<size_t> countsSeen;
    x.onCancelled = [&](GTaskData*) { countsSeen.push_back(schedule.GetTaskCount()); };
    schedule.CancelTasksOf(&x, false, 0);
    EXPECT_EQ(countsSeen, (std::vector<size_t>{1, 1}));
    schedule.CancelTasksOf(nullptr, true, 0);
    EXPECT_EQ(schedule.GetTaskCount(), 1u);
}

TEST(ScheduleTest, Counts) {
    TestObject x("x"), y("y");
    GSchedule schedule;
    EXPECT_EQ(schedule.NextEndTime(), 0u);
    AddTask(schedule, &x, &y, 10, 4);
    AddTask(schedule, &x, nullptr, 11, 4);
    AddTask(schedule, &y, &x, 12, 2);
    EXPECT_EQ(schedule.CountTasksOfKind(4), 2);
    EXPECT_EQ(schedule.CountTasksOfKind(7), 0);
    EXPECT_EQ(schedule.CountTasksOf(&x, false), 2);
    EXPECT_EQ(schedule.CountTasksOf(&x, true), 3);
    EXPECT_EQ(schedule.CountTasksOf(&y, false), 1);
}

TEST(ScheduleTest, EndTimesCompareUnsigned) {
    Journal journal;
    TestObject late("late", &journal), early("early", &journal);
    GSchedule schedule;
    AddTask(schedule, &late, nullptr, 0xFFFFFFF0u);
    AddTask(schedule, &early, nullptr, 5);
    EXPECT_EQ(schedule.NextEndTime(), 5u);
    schedule.Update(0x7FFFFFFFu, false);
    EXPECT_EQ(journal, (Lines{"early completed"}));
}

TEST(ScheduleTest, Progress) {
    const struct {
        uint32_t endTime, duration, now;
        float progress;
    } rows[] = {
        {100, 50, 75, 0.5f},
        {100, 50, 100, 0.99f},
        {100, 50, 130, 0.99f},
        {100, 50, 40, -0.2f},
        {100, 0, 40, 0.99f},
        {100, 0, 100, 0.99f},
        {100, 50, 51, 1.0f - 49.0f / 50.0f},
    };
    for (const auto& row : rows) {
        Journal journal;
        TestObject subject("subject", &journal), object("object", &journal);
        GSchedule schedule;
        GScheduleTask* task = AddTask(schedule, &subject, &object, row.endTime, 2, 0, row.duration);
        EXPECT_FLOAT_EQ(task->UpdateProgress(row.now), row.progress) << row.now;
        EXPECT_FLOAT_EQ(subject.lastProgress, row.progress);
        EXPECT_EQ(journal, (Lines{"object progress", "subject progress"}));
    }
}

TEST(ScheduleTest, FinishingStopsTheSubjectsSounds) {
    testing_support::RecordingSounds sounds;
    TestObject builder("builder"), site("site");
    GSchedule schedule;
    schedule.RemoveTask(AddTask(schedule, &builder, &site, 10, 4), true);
    schedule.RemoveTask(AddTask(schedule, &builder, &site, 10, 2), false);
    schedule.Update(100, false);
    GScheduleTask* orphan = AddTask(schedule, nullptr, &site, 10, 3);
    schedule.RemoveTask(orphan, true);
    EXPECT_EQ(simtest::NamedSoundCalls(sounds.stopped),
              (Lines{"builder 4", "builder 62", "builder 2", "none 3"}));
}

// Listeners that cancel the other party's tasks and their own, and add tasks (one due now),
// while being told; every task must be freed once (the sanitizers check).
TEST(ScheduleTest, ListenersChangeTheScheduleWhileTold) {
    Journal journal;
    TestObject a("a", &journal), b("b", &journal), c("c", &journal);
    GSchedule schedule;
    for (uint32_t t = 1; t <= 6; ++t) {
        AddTask(schedule, &a, &b, t * 3);
        AddTask(schedule, &b, &c, t * 3 + 1);
        AddTask(schedule, &c, nullptr, t * 3 + 2);
    }
    int added = 0;
    a.onCompleted = [&](GTaskData* data) {
        schedule.CancelTasksOf(data->object, true, 0);  // the other party's
        if (added++ < 5) AddTask(schedule, &a, &c, 4);  // due now
    };
    b.onCancelled = [&](GTaskData*) {
        schedule.CancelTasksOf(&b, false, 0);  // its own
        AddTask(schedule, &b, nullptr, 50);
    };
    c.onCompleted = [&](GTaskData*) { schedule.CancelTasksOf(&c, true, 0); };
    schedule.Update(4, false);
    schedule.Update(30, false);
    schedule.Update(60, false);
    EXPECT_FALSE(journal.empty());
    EXPECT_EQ(schedule.GetTaskCount(), 0u);
}

TEST(ScheduleTest, RefreshProgressWhileAListenerCancelsATask) {
    Journal journal;
    TestObject a("a", &journal), b("b", &journal);
    GSchedule schedule;
    AddTask(schedule, &a, nullptr, 10);
    AddTask(schedule, &b, nullptr, 20);
    a.onProgress = [&](GTaskData*) { schedule.CancelTasksOf(&b, false, 0); };
    schedule.RefreshProgress(5);
    EXPECT_EQ(journal, (Lines{"a progress", "b cancelled"}));
    schedule.Update(100, false);
    EXPECT_EQ(schedule.GetTaskCount(), 0u);
}

TEST(ScheduleTest, ClearTellsNobodyEvenFromInsideAListener) {
    Journal journal;
    TestObject a("a", &journal), b("b", &journal), c("c", &journal);
    GSchedule schedule;
    AddTask(schedule, &a, nullptr, 1);
    AddTask(schedule, &b, nullptr, 1);
    AddTask(schedule, &c, nullptr, 50);
    a.onCompleted = [&](GTaskData*) { schedule.Clear(); };
    schedule.Update(10, false);
    EXPECT_EQ(journal, (Lines{"a completed"}));
    EXPECT_EQ(schedule.GetTaskCount(), 0u);

    AddTask(schedule, &a, nullptr, 1);
    a.onCompleted = nullptr;
    schedule.Clear();
    schedule.Update(10, false);
    EXPECT_EQ(journal, (Lines{"a completed"}));
}

TEST(ScheduleTest, AnUpdateInsideAListenerFreesNothingUnderIt) {
    Journal journal;
    TestObject a("a", &journal), b("b", &journal);
    GSchedule schedule;
    GScheduleTask* first = AddTask(schedule, &a, nullptr, 1);
    AddTask(schedule, &b, nullptr, 2);
    a.onCompleted = [&](GTaskData*) {
        schedule.Update(5, false);
        EXPECT_EQ(first->GetState(), GScheduleTask::kClosed);  // still readable
    };
    schedule.Update(5, false);
    EXPECT_EQ(journal, (Lines{"a completed", "b completed"}));
}

}  // namespace
