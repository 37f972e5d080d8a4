#include "platform/platform.h"

#include <gtest/gtest.h>

#include "foundation/task/animtask.h"
#include "foundation/assetmanager.h"
#include "foundation/log.h"
#include "foundation/settingsmap.h"
#include "platform/onlinehooks.h"
#include "platform/win32platform.h"
#include "port/control.h"
#include "support/printers.h"
#include "support/tempdir.h"

namespace {

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::UseFakeClock(true);
        port::control::SetTime(50000);
    }
};

DWORD gPaused = 0;
DWORD PausedFor() {
    return gPaused;
}

class ProbeTask : public TAnimTask {
public:
    bool Animate() override { return true; }
};

TEST_F(PlatformTest, OneInstanceForItsLifetime) {
    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
    EXPECT_EQ(GetAssetManager(), nullptr);
    {
        TPlatform app;
        EXPECT_EQ(TPlatform::GetInstance(), &app);
        ASSERT_NE(app.GetAssetManager(), nullptr);
        EXPECT_EQ(GetAssetManager(), app.GetAssetManager());
    }
    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
    EXPECT_EQ(GetAssetManager(), nullptr);
    TPlatform again;  // a later application object works the same
    EXPECT_EQ(TPlatform::GetInstance(), &again);
}

TEST_F(PlatformTest, ApplicationClock) {
    EXPECT_EQ(TPlatform::GetTimer(), 50000u);  // no application object: the system counter
    TPlatform app;
    EXPECT_EQ(TPlatform::GetTimer(), 0u);
    port::control::AdvanceTime(1234);
    EXPECT_EQ(TPlatform::GetTimer(), 1234u);

    // Tasks without a clock of their own run on it.
    ProbeTask task;
    EXPECT_EQ(task.GetDueTime(), 1234u);

    // A portal host's pause is left out.
    onlinehooks::THooks hooks;
    hooks.getPortalPauseTime = &PausedFor;
    onlinehooks::Install(hooks);
    gPaused = 200;
    EXPECT_EQ(TPlatform::GetTimer(), 1034u);
    EXPECT_EQ(task.GetOverdue(), -200);
}

// Counts its runs and its deletion; finishes after the given number of runs (0: never).
class CountingTask : public TAnimTask {
public:
    CountingTask(int* runs, bool* deleted, int finishAfter)
        : mRuns(runs), mDeleted(deleted), mFinishAfter(finishAfter) {}
    ~CountingTask() override { *mDeleted = true; }
    bool Animate() override { return ++*mRuns != mFinishAfter; }

private:
    int* mRuns;
    bool* mDeleted;
    int mFinishAfter;
};

TEST_F(PlatformTest, MainTaskListRunsOwnsAndDeletesItsTasks) {
    int runsA = 0, runsB = 0, runsC = 0;
    bool deletedA = false, deletedB = false, deletedC = false;
    auto* kept = new CountingTask(&runsB, &deletedB, 0);
    {
        TPlatform app;
        auto* finishing = new CountingTask(&runsA, &deletedA, 2);
        finishing->SetTimer(10, true, true, false);
        app.AddTask(finishing);
        app.AddTask(kept);
        app.AddTask(new CountingTask(&runsC, &deletedC, 0));

        app.UpdateTasks();  // the new tasks are due at once, the timed one in 10 ms
        EXPECT_EQ(runsA, 0);
        EXPECT_EQ(runsC, 1);
        port::control::AdvanceTime(10);
        app.UpdateTasks();
        port::control::AdvanceTime(10);
        app.UpdateTasks();
        EXPECT_EQ(runsA, 2);
        EXPECT_TRUE(deletedA);  // finished: the list deleted it

        EXPECT_TRUE(app.RemoveTask(kept));  // given back, not deleted
        EXPECT_FALSE(app.RemoveTask(kept));
        EXPECT_FALSE(deletedB);
    }
    EXPECT_TRUE(deletedC);  // still listed at the teardown
    EXPECT_FALSE(deletedB);
    delete kept;
}

TEST_F(PlatformTest, ClockWrapsWithTheSystemCounter) {
    port::control::SetTime(0xFFFFFF00u);
    TPlatform app;
    port::control::AdvanceTime(0x200);
    EXPECT_EQ(TPlatform::GetTimer(), 0x200u);
}

TEST_F(PlatformTest, ConstructionWritesItsSettingsAndTeardownEmptiesTheStore) {
    TPlatform::SetConfig("gamename", "Umbrava");
    TPlatform::SetConfig("utf8mode", "1");
    {
        TPlatform app;
        EXPECT_EQ(TPlatform::GetConfig("gamename", ""), str("Umbrava"));
        EXPECT_EQ(TPlatform::GetConfig("memorymax", ""), str("100000000"));
        EXPECT_EQ(TPlatform::GetConfig("texturememorymax", ""), str("100000000"));
        EXPECT_EQ(TPlatform::GetConfig("utf8modeinit", ""), str("1"));
        EXPECT_TRUE(TSettingsMap::GetInstance().Has("computerid"));
    }
    EXPECT_FALSE(TSettingsMap::GetInstance().Has("gamename"));
    EXPECT_FALSE(TSettingsMap::GetInstance().Has("memorymax"));
}

TEST_F(PlatformTest, MemoryMaxLeavesTheLogAlone) {
    testing_support::TempDir dir;
    SetLogFile(dir.Path().c_str());
    str path = GetLogPath();
    {
        TPlatform app;
        TPlatform::SetConfig("memorymax", "5000");
        EXPECT_EQ(GetLogPath(), path);
    }
    SetLogFile(nullptr);
}

}  // namespace
