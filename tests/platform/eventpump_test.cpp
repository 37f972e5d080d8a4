// One turn of the event pump: the host check, the first turn, the held game, the activation
// change, the display restore, the pending flags in their order, quit, paint, and the idle turn.
#include "audio/soundmanager.h"
#include "audio/soundstream.h"
#include "audio/streamnotify.h"
#include "platform/display/dxcontext.h"
#include "foundation/task/task.h"
#include "port/window/paint.h"
#include "pumpfixture.h"

namespace {

using pump_testing::Describe;
using pump_testing::gSystem;
using pump_testing::PumpTest;

class CountingTask : public TTask {
public:
    explicit CountingTask(int* runs) : mRuns(runs) {}
    bool Execute() override {
        ++*mRuns;
        return true;
    }

private:
    int* mRuns;
};

TEST(PlatformEventTest, SetEventCutsPositionsToSixteenBits) {
    TPlatformEvent event;
    TWin32Platform::SetEvent(event, kEventMouseMove, 0x12345, -1, 7, 9);
    EXPECT_EQ(event.type, kEventMouseMove);
    EXPECT_EQ(event.x, 0x2345);
    EXPECT_EQ(event.y, -1);
    EXPECT_EQ(event.value, 7);
    EXPECT_EQ(event.extra, 9);
    TWin32Platform::SetEvent(event, kEventMouseMove, 0x8000, 0xFFFF8000, 0, 0);
    EXPECT_EQ(event.x, -32768);  // sign-extended
    EXPECT_EQ(event.y, -32768);
    static_assert(sizeof(TPlatformEvent) == 20, "five 32-bit words");
}

TEST_F(PumpTest, TheFirstTurnTellsTheGameStateAndWaits) {
    Start();
    TWin32Platform::ResetProcessEventState();
    DWORD before = TPlatform::GetTimer();
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventIdle);
    using Values = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(gSystem.stateInts, (Values{{"loadbroadcast", 0}, {"sessionready", 0}}));
    EXPECT_GE(TPlatform::GetTimer() - before, 500u);
    // Only once in the process.
    gSystem.stateInts.clear();
    before = TPlatform::GetTimer();
    Turn();
    EXPECT_TRUE(gSystem.stateInts.empty());
    EXPECT_LT(TPlatform::GetTimer() - before, 10u);
}

TEST_F(PumpTest, AnIdleTurnRunsTheTasksAndWaitsOneMillisecond) {
    Start();
    int runs = 0;
    mApp->AddTask(new CountingTask(&runs));
    mApp->CreateSoundManager();
    DWORD before = TPlatform::GetTimer();
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventIdle);
    EXPECT_EQ(event.value, 0);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(TPlatform::GetTimer() - before, 1u);
    Turn();
    EXPECT_EQ(runs, 2);
}

class CountingNotify : public TStreamNotify {
public:
    void OnStreamDone(TSoundStream*) override { ++count; }
    int count = 0;
};

// A sound that ended (here one stopped with its notification queued) is told of on the next idle
// turn, on the main thread.
TEST_F(PumpTest, AnIdleTurnDeliversTheSoundNotifications) {
    Start();
    mApp->CreateSoundManager();
    auto notify = std::make_shared<CountingNotify>();
    auto* stream = new TSoundStream(mApp->GetSoundManager(), nullptr, false, 0, notify);
    stream->Stop(true);
    EXPECT_EQ(notify->count, 0);
    EXPECT_EQ(Turn().type, kEventIdle);
    EXPECT_EQ(notify->count, 1);
    Turn();
    EXPECT_EQ(notify->count, 1);
}

TEST_F(PumpTest, WhileTheGameIsHeldMessagesAreOnlyPassedOn) {
    Start();
    gSystem.suspended = true;
    PostMessageA(mWindow, WM_USER, 7, 0);
    PostQuitMessage(0);
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventQuit);
    // The message before the quit reached the window procedure.
    using Values = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(gSystem.stateInts, (Values{{"windowmessage", 7}}));
}

TEST_F(PumpTest, TheHoldEndsAndTheTurnGoesOn) {
    Start();
    gSystem.suspendedTurns = 3;
    DWORD before = TPlatform::GetTimer();
    EXPECT_EQ(Turn().type, kEventIdle);
    EXPECT_GE(TPlatform::GetTimer() - before, 3u);  // 1 ms per pass
}

TEST_F(PumpTest, QuitEndsTheLoop) {
    Start();
    PostQuitMessage(0);
    EXPECT_EQ(Turn().type, kEventQuit);
}

TEST_F(PumpTest, PendingFlagsComeOutOnePerTurnInOrder) {
    Start();
    Pump().closeRequested = true;
    Pump().paintPending = true;
    Pump().displayRecreated = true;
    std::vector<int> types;
    for (TPlatformEvent event : Settle()) types.push_back(event.type);
    EXPECT_EQ(types, (std::vector<int>{kEventDisplayRecreated, kEventPaint, kEventClose}));
    EXPECT_EQ(gSystem.movieStops, 1);  // a movie stops before the close is reported
}

TEST_F(PumpTest, AnActivationChangeIsReportedOnce) {
    Start();
    TWin32Platform::SetActive(mWindow, false, true);
    std::vector<TPlatformEvent> events = Settle();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, kEventActivation);
    EXPECT_EQ(events[0].value, 0);
    EXPECT_FALSE(mPlatform->IsActive());
    TWin32Platform::SetActive(mWindow, true, true);
    events = Settle();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].value, 1);
}

TEST_F(PumpTest, TwoActivationChangesBetweenTurnsCancelOut) {
    Start();
    TWin32Platform::SetActive(mWindow, false, true);
    TWin32Platform::SetActive(mWindow, true, true);
    EXPECT_TRUE(OfType(Settle(), kEventActivation).empty());
    EXPECT_TRUE(mPlatform->IsActive());
}

TEST_F(PumpTest, ABrokenDisplayIsRestoredWhileActive) {
    Start();
    TPlatformData* display = MakeDisplay();
    // Scenes enough since the set-up for the restore to bring the surfaces back in place.
    display->GetRecord()->mWorkingCount = 3;
    Settle();
    display->SetBroken(true);
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventNothing) << Describe(event);
    EXPECT_TRUE(display->IsWorking());

    // In the background it waits.
    Settle();
    display->SetBroken(true);
    Pump().lostInBackground = true;
    EXPECT_EQ(Turn().type, kEventIdle);
    EXPECT_FALSE(display->IsWorking());
}

TEST_F(PumpTest, ABrokenDisplayTakesOnlyTheQuitFromTheQueue) {
    Start();
    TPlatformData* display = MakeDisplay();
    display->SetBroken(true);
    PostMessageA(mWindow, WM_USER, 1, 0);
    PostQuitMessage(0);
    EXPECT_EQ(Turn().type, kEventQuit);
    EXPECT_TRUE(gSystem.stateInts.empty());  // the message before it waits
}

TEST_F(PumpTest, APaintRestoresABrokenDisplayOfAnInactiveWindow) {
    Start();
    TPlatformData* display = MakeDisplay();
    display->GetRecord()->mWorkingCount = 3;
    mPlatform->SetActive(false);
    display->SetBroken(true);
    Pump().paintPending = true;
    EXPECT_EQ(Turn().type, kEventPaint);
    EXPECT_TRUE(display->IsWorking());
}

TEST_F(PumpTest, PaintingTheWindow) {
    Start();
    InvalidateRect(mWindow, nullptr, TRUE);
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventPaint);
    EXPECT_EQ(gSystem.dirtyMarks, 1);  // the window procedure saw it too
    EXPECT_FALSE(Pump().hoverArmed);
    // The procedure's paint flag gives one more.
    EXPECT_EQ(Turn().type, kEventPaint);
    EXPECT_EQ(Turn().type, kEventIdle);
}

TEST_F(PumpTest, ALostHostEndsTheGameInHostedMode) {
    HWND host = port::control::CreateForeignWindow({});
    Start("game.exe -pq=1");
    mPlatform->SetHostWindow(host);
    EXPECT_EQ(Turn().type, kEventIdle);
    port::control::DestroyForeignWindow(host);
    EXPECT_EQ(Turn().type, kEventQuit);
}

TEST_F(PumpTest, ALostHostMattersOnlyInHostedOrPortalMode) {
    HWND host = port::control::CreateForeignWindow({});
    Start();
    mPlatform->SetHostWindow(host);
    port::control::DestroyForeignWindow(host);
    EXPECT_EQ(Turn().type, kEventIdle);
}

}  // namespace
