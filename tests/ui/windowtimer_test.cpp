#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "foundation/task/taskmanager.h"
#include "port/control.h"
#include "support/logcapture.h"
#include "testwindows.h"
#include "ui/modalwindow.h"
#include "ui/windowanim.h"
#include "ui/windowmanager.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using uitest::MakeWindow;
using uitest::TTestModal;
using uitest::TTestWindow;

class WindowTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::UseFakeClock(true);
        port::control::SetTime(1000);
        mModal = std::make_unique<TTestModal>("modal");
        mModal->OnActivate();  // the clock runs from 0
        mWindow = MakeWindow(mModal.get(), {}, "timed");
    }
    // Moves the application clock on and runs the modal's tasks.
    void Pass(uint32_t ms) {
        port::control::AdvanceTime(ms);
        mModal->UpdateTasks(0);
    }
    size_t Tasks() const { return mModal->GetTaskManager()->GetTaskCount(); }

    testing_support::LogCapture mLog;
    TWindowManager mManager;
    std::unique_ptr<TTestModal> mModal;
    TTestWindow* mWindow = nullptr;
};

TEST_F(WindowTimerTest, ATimerRunsOnItsModalsClock) {
    mWindow->SetTimer(100, true, true, false);
    ASSERT_NE(mWindow->GetTimerTask(), nullptr);
    EXPECT_EQ(mWindow->GetTimerTask()->GetClock(), &mModal->GetClock());
    EXPECT_EQ(Tasks(), 1u);
    Pass(99);
    EXPECT_EQ(mWindow->timerRuns, 0);
    Pass(1);
    EXPECT_EQ(mWindow->timerRuns, 1);
    Pass(100);
    EXPECT_EQ(mWindow->timerRuns, 2);
    // A second SetTimer reschedules the same task.
    TWindowAnim* task = mWindow->GetTimerTask();
    mWindow->SetTimer(50, false, true, false);
    EXPECT_EQ(mWindow->GetTimerTask(), task);
    EXPECT_EQ(Tasks(), 1u);

    // A modal's own timer joins its own task manager.
    mModal->SetTimer(10, true, true, false);
    EXPECT_EQ(Tasks(), 2u);
}

TEST_F(WindowTimerTest, ACoveredModalsTimersStandStill) {
    mWindow->SetTimer(100, true, true, false);
    Pass(60);
    uint32_t due = mWindow->GetTimerTask()->GetDueTime();
    mModal->GetClock().Pause();
    for (int i = 0; i < 50; ++i)
        Pass(100);  // five seconds
    EXPECT_EQ(mWindow->timerRuns, 0);
    EXPECT_EQ(mWindow->GetTimerTask()->GetDueTime(), due);
    mModal->OnActivate();  // uncovered: the clock goes on where it stopped
    Pass(39);
    EXPECT_EQ(mWindow->timerRuns, 0);
    Pass(1);
    EXPECT_EQ(mWindow->timerRuns, 1);
}

TEST_F(WindowTimerTest, AFalseAnswerEndsTheTimer) {
    mWindow->timerLimit = 2;
    mWindow->SetTimer(10, true, true, false);
    Pass(10);
    Pass(10);
    EXPECT_EQ(mWindow->timerRuns, 2);
    EXPECT_EQ(Tasks(), 0u);
    EXPECT_EQ(mWindow->GetTimerTask(), nullptr);
    // A new SetTimer makes a new task.
    mWindow->timerLimit = 100;
    mWindow->SetTimer(10, true, true, false);
    EXPECT_EQ(Tasks(), 1u);
    Pass(10);
    EXPECT_EQ(mWindow->timerRuns, 3);
}

TEST_F(WindowTimerTest, AWindowThatGoesLeavesATaskThatEnds) {
    mWindow->SetTimer(10, true, true, false);
    mModal->RemoveChild(mWindow);
    delete mWindow;
    EXPECT_EQ(Tasks(), 1u);
    Pass(10);
    EXPECT_EQ(Tasks(), 0u);

    // Released, the same.
    auto* other = MakeWindow(mModal.get(), {}, "other");
    other->SetTimer(10, true, true, false);
    other->ReleaseTimer();
    EXPECT_EQ(other->GetTimerTask(), nullptr);
    Pass(10);
    EXPECT_EQ(other->timerRuns, 0);
    EXPECT_EQ(Tasks(), 0u);
}

TEST_F(WindowTimerTest, ATimerWithoutModalLogsAndSchedulesNothing) {
    TWindow::SetNextId(0x2a);
    TTestWindow detached("detached");
    TTestWindow plainParent("plain");
    auto* child = MakeWindow(&plainParent, {}, "child");
    detached.SetTimer(10, true, true, false);
    child->SetTimer(10, true, true, false);
    EXPECT_EQ(detached.GetTimerTask(), nullptr);
    EXPECT_EQ(child->GetTimerTask(), nullptr);
    EXPECT_EQ(Tasks(), 0u);
    EXPECT_THAT(mLog.Messages(),
                ElementsAre("SetTimer: window 'detached' (id 2a) is in no modal window; "
                            "no timer runs",
                            "SetTimer: window 'child' (id 2c) is in no modal window; no "
                            "timer runs"));

    // Once attached, it works.
    mModal->AddChild(&detached, false);
    detached.SetTimer(10, true, true, false);
    EXPECT_EQ(Tasks(), 1u);
    Pass(10);
    EXPECT_EQ(detached.timerRuns, 1);
    mModal->RemoveChild(&detached);
}

TEST_F(WindowTimerTest, TheModalsTasksGoBeforeItsWindows) {
    mWindow->SetTimer(10, true, true, false);
    TWindowAnim* task = mWindow->GetTimerTask();
    EXPECT_EQ(task->GetWindow(), mWindow);
    mModal.reset();  // deletes the task, then the window (ASan watches)
    EXPECT_EQ(TTestWindow::sLive, 0);
}

}  // namespace
