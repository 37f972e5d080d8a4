// Frameless states, and timers whose objects, interpolators or task lists go first: each case
// runs clean under the address and undefined-behaviour sanitizers.
#include <gtest/gtest.h>

#include <memory>

#include "animfixture.h"
#include "gv/anim/gveffects.h"
#include "gv/anim/gvinterpolator.h"
#include "gv/anim/ontimercaller.h"
#include "gv/keys/statekeys.h"

namespace gv_test {
namespace {

class AnimLifetimeTest : public AnimTest {
protected:
    void SetUp() override {
        AnimTest::SetUp();
        mWindow = mHost.MakeWindow();
        mScene = MakeScene(mWindow);
    }
    size_t WindowTasks() { return TestWindowHost::ModalOf(mWindow)->tasks->GetTaskCount(); }
    void TurnWindow(uint32_t ms) {
        Advance(ms);
        TestWindowHost::Turn(mWindow);
    }
    TWindow* mWindow = nullptr;
    GVScene* mScene = nullptr;
};

// A stand-in for the objects that timers call.
struct Ticked {
    bool OnTimer(TCustomOnTimerCaller*) {
        ++ticks;
        return true;
    }
    void ForgetTimer(TCustomOnTimerCaller* forgotten) {
        if (timer == forgotten) timer = nullptr;
    }
    TCustomOnTimerCaller* timer = nullptr;
    int ticks = 0;
};
using TickedTimer = TOnTimerCaller<Ticked, TModalWindow>;

TEST(OnTimerCallerTest, DetachUnlinksOnceAndLetsTheListEndAParkedTimer) {
    Ticked object;
    TTaskManager list;
    auto* timer = new TickedTimer(&object, &Ticked::OnTimer);
    object.timer = timer;
    list.AddTask(timer);
    timer->Stop();
    list.Update(0);
    EXPECT_EQ(object.ticks, 0);  // parked
    timer->Detach();
    EXPECT_EQ(object.timer, nullptr);
    EXPECT_EQ(timer->GetObject(), nullptr);
    timer->Detach();  // nothing more
    list.Update(0);   // due at once; without its object it ends
    EXPECT_EQ(list.GetTaskCount(), 0u);
    EXPECT_EQ(object.ticks, 0);
}

TEST(OnTimerCallerTest, ATimerDeletedFirstClearsItsObjectsField) {
    Ticked object;
    {
        TTaskManager list;
        auto* timer = new TickedTimer(&object, &Ticked::OnTimer);
        object.timer = timer;
        list.AddTask(timer);
        list.Update(0);
        EXPECT_EQ(object.ticks, 1);
    }
    EXPECT_EQ(object.timer, nullptr);
}

TEST_F(AnimLifetimeTest, AStateWithoutFramesShowsNothingAndLoopsNoWhere) {
    // "9" is past the frames: the list ends up empty.
    GVObject* object = MakeObject(
        4, "<states><state id=\"empty\" framelist=\"9\" nextstate=\"empty\"/></states>", mScene);
    EXPECT_EQ(object->SetState(Key("empty"), true, false), 0);
    EXPECT_EQ(object->GetFramePosition(), -1);
    ASSERT_NE(object->GetTimer(), nullptr);  // something is queued: it keeps running
    for (int step = 0; step < 3; ++step) {
        TurnWindow(100);
        EXPECT_EQ(object->GetStateId(), Key("empty"));
        EXPECT_EQ(object->GetFramePosition(), -1);
    }
}

TEST_F(AnimLifetimeTest, TwoFramelessStatesNamingEachOtherTakeTurns) {
    GVObject* object =
        MakeObject(4,
                   "<states><state id=\"ping\" framelist=\"7\" nextstate=\"pong\"/>"
                   "<state id=\"pong\" framelist=\"8\" nextstate=\"ping\"/></states>",
                   mScene);
    object->SetState(Key("ping"), true, false);
    EXPECT_EQ(object->GetStateId(), Key("ping"));  // no switch in the same call
    TurnWindow(100);
    EXPECT_EQ(object->GetStateId(), Key("pong"));
    TurnWindow(100);
    EXPECT_EQ(object->GetStateId(), Key("ping"));
    EXPECT_EQ(object->GetFramePosition(), -1);
}

TEST_F(AnimLifetimeTest, AQueuedStatePlaysAfterAFramelessOne) {
    GVObject* object = MakeObject(4,
                                  "<states><state id=\"empty\" framelist=\"9\" defdelay=\"60\"/>"
                                  "<state id=\"walk\" framelist=\"0..3\"/></states>",
                                  mScene);
    object->SetState(Key("empty"), true, false);
    EXPECT_EQ(object->GetTimer(), nullptr);  // nothing to animate yet
    EXPECT_EQ(object->SetState(Key("walk"), false, false), 400);
    ASSERT_NE(object->GetTimer(), nullptr);
    EXPECT_EQ(object->GetStateId(), Key("empty"));
    TurnWindow(60);  // the next step of the frameless state
    EXPECT_EQ(object->GetStateId(), Key("walk"));
    EXPECT_EQ(object->GetFramePosition(), 0);
    TurnWindow(100);
    EXPECT_EQ(object->GetFramePosition(), 1);
}

TEST_F(AnimLifetimeTest, AnUnknownQueuedStateWithoutAnyLoopsTheList) {
    GVObject* object = MakeObject(3, nullptr, mScene);
    object->SetState(GetStateKeys().normal, true, false);
    object->SetState(Key("nowhere"), false, false);
    object->GetStates()->queued = Key("nowhere");  // as if "any" had been the answer
    for (int step = 0; step < 4; ++step)
        TurnWindow(100);
    EXPECT_EQ(object->GetFramePosition(), 1);
    EXPECT_EQ(object->GetStateId(), GetStateKeys().normal);
}

TEST_F(AnimLifetimeTest, AnObjectDestroyedWithARunningTimer) {
    std::unique_ptr<GVObject> object = NewObject(4, nullptr);
    object->AttachToScene(mScene, false);
    object->SetState(GetStateKeys().normal, true, false);
    TurnWindow(100);
    ASSERT_EQ(WindowTasks(), 1u);
    object.reset();
    TestWindowHost::Turn(mWindow);  // due at once: the list ends and deletes it
    EXPECT_EQ(WindowTasks(), 0u);
}

TEST_F(AnimLifetimeTest, AWindowsTaskListDestroyedBeforeItsObjects) {
    std::unique_ptr<GVObject> object = NewObject(
        4,
        "<states><state id=\"glow\" framelist=\"0..3\"><ScaleInterpolator keys=\"1 2\"/></state>"
        "</states>");
    object->AttachToScene(mScene, false);
    object->GetStates()->BindEffects(object.get());
    object->SetState(Key("glow"), true, false);
    auto* scale =
        dynamic_cast<GVDefInterpolator*>(object->GetStates()->GetAt(0)->GetEffects()->GetAt(0));
    ASSERT_NE(object->GetTimer(), nullptr);
    ASSERT_NE(scale->GetTimer(), nullptr);
    TestWindowHost::DestroyTasks(mWindow);
    EXPECT_EQ(object->GetTimer(), nullptr);
    EXPECT_EQ(scale->GetTimer(), nullptr);
    EXPECT_TRUE(scale->Stop());  // no timer to touch
    object.reset();
}

TEST_F(AnimLifetimeTest, ReplacedStatesLeaveNoRunningEffectBehind) {
    GVObject* object = MakeObject(
        4, "<states><state id=\"normal\"><ScaleInterpolator keys=\"1 2\"/></state></states>",
        mScene);
    object->SetState(GetStateKeys().normal, true, false);
    ASSERT_EQ(object->GetEffects()->GetRunningCount(), 1);
    object->SetStates(new GVStates(4, object));
    EXPECT_EQ(object->GetEffects()->GetRunningCount(), 0);
    GVData composed;
    object->GetEffects()->ApplyAll(composed);  // touches nothing freed
    EXPECT_EQ(object->GetStateIndex(), -1);
}

TEST_F(AnimLifetimeTest, ThePlatformGoingFirstLeavesNoTimerBehind) {
    GVObject* object = MakeObject(4, nullptr, MakeScene(nullptr));
    object->SetState(GetStateKeys().normal, true, false);
    ASSERT_NE(object->GetTimer(), nullptr);
    mApp.reset();
    EXPECT_EQ(object->GetTimer(), nullptr);
    // Without an application object there is no list: no timer is made.
    object->SetState(GetStateKeys().normal, true, false);
    EXPECT_EQ(object->GetTimer(), nullptr);
}

TEST_F(AnimLifetimeTest, AnInterpolatorDeletedWhileRunningOrParked) {
    GVObject* object = MakeObject(2, nullptr, mScene);
    auto running = std::make_unique<GVScaleInterpolator>();
    running->LoadKeys("1 2");
    running->SetTarget(object);
    running->Start();
    auto parked = std::make_unique<GVAlphaInterpolator>();
    parked->LoadKeys("1 0");
    parked->SetTarget(object);
    parked->Start();
    parked->Stop();
    TurnWindow(30);
    ASSERT_EQ(WindowTasks(), 2u);
    running.reset();
    parked.reset();
    TestWindowHost::Turn(mWindow);  // both made due, and ended
    EXPECT_EQ(WindowTasks(), 0u);
}

}  // namespace
}  // namespace gv_test
