// TPlatformData::Restore step by step on the headless backend: the re-entry guard, a window lost in
// the background, the cooperation passes on each answer TestCooperativeLevel and
// SetCooperativeLevel can give, the working count that decides between restoring the surfaces and
// a new set-up, and RestoreAllSurfaces' answers. What happened is read from the DirectDraw call
// log, the program's log, the fake clock and the display's flags.
#include <gtest/gtest.h>

#include <string>

#include "dxfixture.h"
#include "foundation/task/task.h"
#include "port/display/ddraw.h"
#include "restorefixture.h"

namespace restore_testing {
namespace {

// A task on the application's listener list that counts its runs and stays.
class CountingListener : public TTask {
public:
    explicit CountingListener(int* runs) : mRuns(runs) {}
    bool Execute() override {
        ++*mRuns;
        return true;
    }

private:
    int* mRuns;
};

constexpr const char* kTooFew = "TPlatformData::Restore: Working count too small (";
constexpr const char* kCooperationFailed =
    "Restore: Test Cooperative level failed. Calling SetDisplay";

TEST_F(RestoreTest, ASurvivingDeviceGetsItsSurfacesAndAssetsBackInPlace) {
    SetUpDisplay();
    int listenerRuns = 0;
    mApp->AddListener(new CountingListener(&listenerRuns));
    RunScenes(3);
    LoseDisplay();
    StartLogs();
    pump_testing::gSystem.dirtyMarks = 0;

    EXPECT_EQ(TimedRestore(), 0u);

    EXPECT_EQ(CountCalls("TestCooperativeLevel"), 1);
    EXPECT_EQ(CountCalls("RestoreAllSurfaces"), 1);
    EXPECT_EQ(SetUps(), 0);
    EXPECT_FALSE(mDisplay->IsBroken());
    EXPECT_TRUE(mDisplay->IsWorking());
    EXPECT_TRUE(mDisplay->IsReady());
    EXPECT_EQ(Broken(), str("0"));
    EXPECT_EQ(mDisplay->GetWorkingCount(), 0);
    EXPECT_EQ(listenerRuns, 1);
    EXPECT_GE(pump_testing::gSystem.dirtyMarks, 1);
    EXPECT_FALSE(Record().mInRestore);
    for (const auto& surface : port::control::Surfaces()) {
        if (surface.resident) {
            EXPECT_FALSE(surface.lost) << "surface " << surface.id;
        }
    }
}

// Fewer than three scenes since the set-up: the device did not survive, so the display is set up
// again and RestoreAllSurfaces is never asked.
TEST_F(RestoreTest, AWorkingCountBelowThreeSetsTheDisplayUpAgain) {
    for (uint32_t scenes : {0u, 1u, 2u}) {
        SCOPED_TRACE(scenes);
        SetUpDisplay();
        RunScenes(scenes);
        LoseDisplay();
        StartLogs();

        mDisplay->Restore();

        EXPECT_TRUE(
            Logged(std::string(kTooFew) + std::to_string(scenes) + "). Calling SetDisplay()"))
            << LogText();
        EXPECT_EQ(CountCalls("RestoreAllSurfaces"), 0);
        EXPECT_EQ(SetUps(), 1);
        EXPECT_TRUE(mDisplay->IsWorking());
        EXPECT_TRUE(mDisplay->IsReady());
        EXPECT_EQ(Broken(), str("0"));
        EXPECT_FALSE(Record().mInRestore);
    }
}

TEST_F(RestoreTest, AWorkingCountBelowThreeWithTheWindowInactiveOnlyMarksBroken) {
    SetUpDisplay();
    RunScenes(2);
    LoseDisplay();
    mPlatform->SetActive(false);
    port::control::AdvanceTime(500);
    StartLogs();

    mDisplay->Restore();

    EXPECT_EQ(SetUps(), 0);
    EXPECT_EQ(CountCalls("RestoreAllSurfaces"), 0);
    EXPECT_EQ(LogIndex(kTooFew), -1);
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_EQ(Record().mLastBrokenTime, TPlatform::GetTimer());
    EXPECT_EQ(Broken(), str("1"));
}

TEST_F(RestoreTest, ARestoreEnteredWhileOneRunsMarksBrokenAndWaits) {
    SetUpDisplay();
    Record().mInRestore = true;

    EXPECT_EQ(TimedRestore(), 50u);

    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_EQ(Broken(), str("1"));
    EXPECT_TRUE(Record().mInRestore);  // the outer call clears it
    EXPECT_EQ(CountCalls("TestCooperativeLevel"), 0);
    EXPECT_EQ(SetUps(), 0);
}

// A listener run by the restore's asset pass calls Restore again: the inner call only marks the
// display broken, and the outer one still finishes and clears the flag.
TEST_F(RestoreTest, ARestoreCalledFromItsOwnListenersIsTheInnerOne) {
    SetUpDisplay();
    class Reenter : public TTask {
    public:
        explicit Reenter(TPlatformData* display) : mDisplay(display) {}
        bool Execute() override {
            mDisplay->Restore();
            return false;
        }

    private:
        TPlatformData* mDisplay;
    };
    mApp->AddListener(new Reenter(mDisplay));
    RunScenes(5);
    LoseDisplay();
    StartLogs();

    EXPECT_EQ(TimedRestore(), 50u);

    EXPECT_EQ(CountCalls("TestCooperativeLevel"), 1);
    EXPECT_EQ(CountCalls("RestoreAllSurfaces"), 1);
    EXPECT_FALSE(Record().mInRestore);
    // Marked broken by the inner call: the pump's next idle turn tries again.
    EXPECT_TRUE(mDisplay->IsBroken());
}

TEST_F(RestoreTest, AWindowLostInTheBackgroundWaitsAndTouchesNothing) {
    SetUpDisplay();
    RunScenes(5);
    LoseDisplay();
    Pump().lostInBackground = true;
    StartLogs();

    EXPECT_EQ(TimedRestore(), 100u);

    EXPECT_TRUE(port::control::CallLog().empty());
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_FALSE(Record().mInRestore);
}

TEST_F(RestoreTest, WithoutADirectDrawObjectTheDisplayIsSetUpAgain) {
    SetUpDisplay();
    Record().mDirectDraw = nullptr;
    mDisplay->MarkBroken();

    mDisplay->Restore();

    EXPECT_TRUE(Logged("TPlatformData::Restore: mDirectDraw NULL. Calling SetDisplay()"))
        << LogText();
    EXPECT_EQ(CountCalls("TestCooperativeLevel"), 0);
    EXPECT_EQ(SetUps(), 1);
    EXPECT_TRUE(mDisplay->IsWorking());
    EXPECT_FALSE(Record().mInRestore);
}

TEST_F(RestoreTest, AnotherProgramInExclusiveModeWaitsOnceAndLeavesTheDisplayBroken) {
    SetUpDisplay();
    RunScenes(5);
    LoseDisplay();
    port::control::SetOtherApplicationExclusive(true);
    StartLogs();

    EXPECT_EQ(TimedRestore(), 100u);

    EXPECT_EQ(CountCalls("TestCooperativeLevel"), 1);
    EXPECT_EQ(CountCalls("SetCooperativeLevel"), 0);
    EXPECT_EQ(CountCalls("RestoreAllSurfaces"), 0);
    EXPECT_EQ(SetUps(), 0);
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_FALSE(mDisplay->IsReady());
    EXPECT_FALSE(Record().mInRestore);
}

TEST_F(RestoreTest, WithTheWindowInactiveAFailedTestEndsAtOnce) {
    for (HRESULT answer :
         {DDERR_NOEXCLUSIVEMODE, DDERR_EXCLUSIVEMODEALREADYSET, DDERR_SURFACEBUSY}) {
        SCOPED_TRACE(answer);
        SetUpDisplay();
        RunScenes(5);
        LoseDisplay();
        mPlatform->SetActive(false);
        port::control::ForceTestCooperativeLevel(answer);
        StartLogs();

        EXPECT_EQ(TimedRestore(), 0u);

        EXPECT_EQ(CountCalls("TestCooperativeLevel"), 1);
        EXPECT_EQ(CountCalls("SetCooperativeLevel"), 0);
        EXPECT_EQ(SetUps(), 0);
        EXPECT_TRUE(mDisplay->IsBroken());
        port::control::ForceTestCooperativeLevel(DD_OK);
        mPlatform->SetActive(true);
    }
}

// The display mode changed under the game: set up again at once, from either call.
TEST_F(RestoreTest, TheWrongModeFromEitherCallSetsTheDisplayUpAgain) {
    SetUpDisplay();
    RunScenes(5);
    LoseDisplay();
    StartLogs();
    // Only the first test answers the wrong mode, as after a mode change the new set-up puts
    // right.
    port::control::InjectFailure("TestCooperativeLevel", DDERR_WRONGMODE, 1);

    mDisplay->Restore();

    EXPECT_EQ(CountCalls("TestCooperativeLevel"), 1);
    EXPECT_EQ(SetUps(), 1);
    EXPECT_EQ(CountCalls("RestoreAllSurfaces"), 0);
    EXPECT_TRUE(mDisplay->IsWorking());

    RunScenes(5);
    LoseDisplay();
    port::control::SetRestoreAllSurfacesResult(DDERR_WRONGMODE);
    StartLogs();

    mDisplay->Restore();

    port::control::SetRestoreAllSurfacesResult(DD_OK);
    EXPECT_TRUE(
        Logged("Restore: RestoreAllSurfaces resulted in DDERR_WRONGMODE. Calling "
               "SetDisplay."))
        << LogText();
    EXPECT_EQ(CountCalls("RestoreAllSurfaces"), 1);
    EXPECT_EQ(SetUps(), 1);
    EXPECT_TRUE(mDisplay->IsWorking());
}

// The restore's own calls of the operation: those before a set-up starts (a full-screen set-up
// first gives the desktop its mode back, then makes a new DirectDraw object). Other calls may
// come first: releasing the assets asks their surfaces for their sizes.
std::vector<port::control::LoggedCall> RestoreCalls(const char* operation) {
    std::vector<port::control::LoggedCall> calls;
    for (const auto& call : port::control::CallLog()) {
        if (call.operation == "RestoreDisplayMode" || call.operation == "DirectDrawCreateEx") break;
        if (call.operation == operation) calls.push_back(call);
    }
    return calls;
}

// The game lost exclusive mode: SetCooperativeLevel is asked again on the main window, exclusive
// and full screen, and its answer is the status the passes go on with. Each pass waits 100 ms.
TEST_F(RestoreTest, NoExclusiveModeAsksForItAgainAndTakesTheAnswer) {
    struct Case {
        const char* name;
        HRESULT setAnswer;  // injected into every SetCooperativeLevel; DD_OK: the port's own
        DWORD elapsed;      // without the set-up's own time
        int setCalls;
        bool setUp;
    };
    const Case cases[] = {
        {"granted", DD_OK, 100, 1, true},
        {"a non-zero success", 1, 100, 1, true},
        {"another program took it", DDERR_EXCLUSIVEMODEALREADYSET, 200, 1, false},
        {"refused five times", DDERR_NOEXCLUSIVEMODE, 500, 5, false},
        {"another failure, then its passes", DDERR_SURFACEBUSY, 500, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUpDisplay(true);
        RunScenes(5);
        LoseDisplay();
        StartLogs();
        port::control::InjectFailure("TestCooperativeLevel", DDERR_NOEXCLUSIVEMODE, 1);
        if (c.setAnswer != DD_OK) {
            port::control::Failure failure;
            failure.code = static_cast<uint32_t>(c.setAnswer);
            failure.count = c.setUp ? 1 : -1;
            port::control::InjectFailure("SetCooperativeLevel", failure);
        }

        DWORD elapsed = TimedRestore();

        EXPECT_EQ(CountCalls("TestCooperativeLevel"), 1);
        std::vector<port::control::LoggedCall> sets = RestoreCalls("SetCooperativeLevel");
        ASSERT_EQ(static_cast<int>(sets.size()), c.setCalls);
        EXPECT_EQ(dx_testing::ArgOf(sets.front(), "flags"), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
        EXPECT_EQ(SetUps(), c.setUp ? 1 : 0);
        EXPECT_EQ(Logged(kCooperationFailed), c.setUp) << LogText();
        EXPECT_EQ(CountCalls("RestoreAllSurfaces"), 0);
        if (c.setUp) {
            EXPECT_GE(elapsed, c.elapsed);
            EXPECT_TRUE(mDisplay->IsWorking());
        } else {
            EXPECT_EQ(elapsed, c.elapsed);
            EXPECT_TRUE(mDisplay->IsBroken());
            EXPECT_FALSE(mDisplay->IsReady());
        }
        // A non-zero success is a DirectX error line before the set-up.
        int errorLine = LogIndex("DX Error:  (0x1), File restore.cpp");
        EXPECT_EQ(errorLine != -1, c.setAnswer == 1) << LogText();
        if (errorLine != -1) {
            EXPECT_LT(errorLine, LogIndex(kCooperationFailed));
        }
        EXPECT_FALSE(Record().mInRestore);
        port::control::ClearFailures();
    }
}

// The control plane's forced answer, which holds until cleared, and five passes on an answer no
// pass knows: the restore still ends within half a second, asking TestCooperativeLevel once.
TEST_F(RestoreTest, FiveFailingPassesEndWithinHalfASecond) {
    SetUpDisplay(true);
    RunScenes(5);
    LoseDisplay();
    port::control::ForceTestCooperativeLevel(DDERR_SURFACEBUSY);
    StartLogs();

    EXPECT_EQ(TimedRestore(), 500u);

    port::control::ForceTestCooperativeLevel(DD_OK);
    EXPECT_EQ(CountCalls("TestCooperativeLevel"), 1);
    EXPECT_EQ(CountCalls("SetCooperativeLevel"), 0);
    EXPECT_EQ(SetUps(), 0);
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_EQ(LogIndex(kCooperationFailed), -1);
}

// RestoreAllSurfaces fails otherwise: the failure and its DirectX line are logged and the display
// is set up again.
TEST_F(RestoreTest, RestoreAllSurfacesFailingSetsTheDisplayUpAgain) {
    SetUpDisplay();
    RunScenes(4);
    LoseDisplay();
    port::control::SetRestoreAllSurfacesResult(DDERR_SURFACEBUSY);
    StartLogs();

    mDisplay->Restore();
    port::control::SetRestoreAllSurfacesResult(DD_OK);

    int failed = LogIndex("RestoreAllSurfaces failed!");
    ASSERT_NE(failed, -1) << LogText();
    EXPECT_EQ(LogLines()[failed], "RestoreAllSurfaces failed!\n");
    int error = LogIndex("DX Error:  (0x88760813), File restore.cpp, Line ");
    EXPECT_EQ(error, failed + 1) << LogText();
    EXPECT_EQ(CountCalls("RestoreAllSurfaces"), 1);
    EXPECT_EQ(SetUps(), 1);
    EXPECT_TRUE(mDisplay->IsWorking());
    EXPECT_EQ(Broken(), str("0"));
    EXPECT_FALSE(Record().mLowMemoryVideo);
}

}  // namespace
}  // namespace restore_testing
