// Animation states on objects in a scene whose window has a test host, run on the fake clock.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "animfixture.h"
#include "gv/anim/gveffects.h"
#include "gv/anim/gvinterpolator.h"
#include "gv/keys/statekeys.h"

namespace gv_test {
namespace {

class StatesTest : public AnimTest {
protected:
    void SetUp() override {
        AnimTest::SetUp();
        mWindow = mHost.MakeWindow();
        mScene = MakeScene(mWindow);
    }
    // Advances by ms and turns the window's list.
    void StepWindow(uint32_t ms) {
        Advance(ms);
        TestWindowHost::Turn(mWindow);
    }
    TWindow* mWindow = nullptr;
    GVScene* mScene = nullptr;
};

TEST_F(StatesTest, LoadKeepsTheFirstOfAnIdDropsStatesWithoutOneAndAddsNormal) {
    GVObject* object = MakeObject(6,
                                  "<states><state id=\"walk\" framelist=\"1..3\" defdelay=\"80\"/>"
                                  "<state framelist=\"0\"/><state id=\"walk\" framelist=\"4\"/>"
                                  "<other id=\"x\"/></states>",
                                  nullptr);
    GVStates* states = object->GetStates();
    ASSERT_EQ(states->GetCount(), 3);  // walk, the second walk, normal
    GVState* walk = states->GetAt(states->FindByKey(Key("walk")));
    EXPECT_EQ(walk->frames, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(walk->defdelay, 80);
    GVState* normal = states->GetAt(states->FindByKey(GetStateKeys().normal));
    EXPECT_EQ(normal->frames, (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(normal->defdelay, 100);
    EXPECT_EQ(normal->GetEffects(), nullptr);

    // A description with its own "normal" keeps it alone.
    GVObject* own =
        MakeObject(4, "<states><state id=\"normal\" framelist=\"2\"/></states>", nullptr);
    EXPECT_EQ(own->GetStates()->GetCount(), 1);
    EXPECT_EQ(own->GetStates()->GetAt(0)->frames, (std::vector<int32_t>{2}));
}

TEST_F(StatesTest, SaveWritesDefaultsEmptyAndFramesOnlyWhenThereAreAny) {
    GVObject* object = MakeObject(8,
                                  "<states><state id=\"run_left\" framelist=\"0,1,2,3,6\" "
                                  "nextstate=\"stand\" defdelay=\"70\"/>"
                                  "<state id=\"gone\" framelist=\"9\"/></states>",
                                  nullptr);
    GVStates* states = object->GetStates();
    TXmlNode run("state");
    ASSERT_TRUE(states->GetAt(0)->Save(&run));
    EXPECT_EQ(std::string(run.GetAttribute("id").c_str()), "run_left");
    EXPECT_EQ(std::string(run.GetAttribute("framelist").c_str()), "0..3,6");
    EXPECT_EQ(std::string(run.GetAttribute("nextstate").c_str()), "stand");
    EXPECT_EQ(std::string(run.GetAttribute("defdelay").c_str()), "70");

    TXmlNode gone("state");
    ASSERT_TRUE(states->GetAt(1)->Save(&gone));  // "9" is out of range: no frames
    EXPECT_TRUE(states->GetAt(1)->frames.empty());
    bool quoted = false;
    gone.GetAttribute("framelist", &quoted);
    EXPECT_FALSE(quoted);  // not written at all
    EXPECT_EQ(std::string(gone.GetAttribute("defdelay").c_str()), "");

    TXmlNode list("states");
    EXPECT_FALSE(states->Save(&list));
    EXPECT_TRUE(list.GetChildren().empty());
}

TEST_F(StatesTest, CopyClonesTheOwnEffects) {
    GVObject* object = MakeObject(
        4,
        "<states><state id=\"glow\" nextstate=\"normal\" defdelay=\"50\" framelist=\"1..3\">"
        "<ScaleInterpolator keys=\"1 2\" time=\"400\"/><Unknown/></state></states>",
        nullptr);
    GVState* glow = object->GetStates()->GetAt(0);
    ASSERT_NE(glow->GetEffects(), nullptr);
    ASSERT_EQ(glow->GetEffects()->GetCount(), 1);

    GVState copy;
    ASSERT_EQ(glow->CopyTo(&copy), &copy);
    EXPECT_EQ(copy.id, glow->id);
    EXPECT_EQ(copy.nextState, glow->nextState);
    EXPECT_EQ(copy.frames, glow->frames);
    EXPECT_EQ(copy.defdelay, 50);
    ASSERT_NE(copy.GetEffects(), nullptr);
    ASSERT_EQ(copy.GetEffects()->GetCount(), 1);
    EXPECT_NE(copy.GetEffects()->GetAt(0), glow->GetEffects()->GetAt(0));
    EXPECT_EQ(copy.GetEffects()->GetOwner(), &copy);
    auto* scale = dynamic_cast<GVScaleInterpolator*>(copy.GetEffects()->GetAt(0));
    ASSERT_NE(scale, nullptr);
    EXPECT_EQ(scale->time, 400u);
}

TEST_F(StatesTest, ASelfLoopingStateRearmsItsTimerAtEachPass) {
    GVObject* object = MakeObject(
        5, "<states><state id=\"blink\" framelist=\"0..2\" nextstate=\"blink\"/></states>", mScene);
    EXPECT_EQ(object->SetState(Key("blink"), true, false), 300);
    ASSERT_NE(object->GetTimer(), nullptr);
    EXPECT_EQ(TestWindowHost::ModalOf(mWindow)->added, 1);  // the window's list, not the platform's
    std::vector<int32_t> positions;
    for (int step = 0; step < 7; ++step) {
        StepWindow(100);
        positions.push_back(object->GetFramePosition());
        // Every pass re-arms the timer one period from now.
        EXPECT_EQ(object->GetTimer()->GetOverdue(), -100);
        EXPECT_EQ(object->GetStateId(), Key("blink"));
    }
    EXPECT_EQ(positions, (std::vector<int32_t>{1, 2, 0, 1, 2, 0, 1}));
}

TEST_F(StatesTest, AListWithoutNextStateLoopsAtZero) {
    GVObject* object = MakeObject(
        5, "<states><state id=\"idle\" framelist=\"3,4\" defdelay=\"40\"/></states>", mScene);
    EXPECT_EQ(object->SetState(Key("idle"), true, false), 80);
    std::vector<int32_t> positions;
    for (int step = 0; step < 5; ++step) {
        StepWindow(40);
        positions.push_back(object->GetFramePosition());
    }
    EXPECT_EQ(positions, (std::vector<int32_t>{1, 0, 1, 0, 1}));
    EXPECT_EQ(object->GetStateId(), Key("idle"));
}

TEST_F(StatesTest, AnUnknownKeyPlaysAnyOrChangesNothing) {
    GVObject* withAny = MakeObject(
        6, "<states><state id=\"any\" framelist=\"0..3\" defdelay=\"25\"/></states>", mScene);
    EXPECT_EQ(withAny->SetState(Key("nosuchstate"), true, false), 100);
    EXPECT_EQ(withAny->GetStateId(), GetStateKeys().any);

    GVObject* without = MakeObject(6, nullptr, mScene);
    ASSERT_EQ(without->SetState(GetStateKeys().normal, true, false), 600);
    EXPECT_EQ(without->SetState(Key("nosuchstate"), true, false), 0);
    EXPECT_EQ(without->SetState(Key("nosuchstate"), false, false), 0);
    EXPECT_EQ(without->GetStateId(), GetStateKeys().normal);
    EXPECT_TRUE(without->GetStates()->queued.IsEmpty());

    GVObject bare;  // no states at all
    EXPECT_EQ(bare.SetState(GetStateKeys().normal, true, false), 0);
}

TEST_F(StatesTest, ASwitchWithoutApplyPlaysTheCurrentListToItsEnd) {
    GVObject* object = MakeObject(6,
                                  "<states><state id=\"walk\" framelist=\"0..2\"/>"
                                  "<state id=\"work\" framelist=\"4,5\"/></states>",
                                  mScene);
    object->SetState(Key("walk"), true, false);
    StepWindow(100);
    EXPECT_EQ(object->SetState(Key("work"), false, false), 200);
    EXPECT_EQ(object->GetStateId(), Key("walk"));
    StepWindow(100);
    EXPECT_EQ(object->GetStateId(), Key("walk"));
    EXPECT_EQ(object->GetFramePosition(), 2);
    StepWindow(100);  // past the end: the queued state
    EXPECT_EQ(object->GetStateId(), Key("work"));
    EXPECT_EQ(object->GetFramePosition(), 0);
}

TEST_F(StatesTest, AStatesOwnEffectsStartAndStopWithIt) {
    GVObject* object = MakeObject(4,
                                  "<states><state id=\"glow\" framelist=\"0\"><AlphaInterpolator "
                                  "keys=\"1 0\"/></state></states>",
                                  mScene);
    auto* alpha =
        dynamic_cast<GVDefInterpolator*>(object->GetStates()->GetAt(0)->GetEffects()->GetAt(0));
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->GetTarget(), object);
    EXPECT_EQ(object->GetEffects(), nullptr);

    object->SetState(Key("glow"), true, false);
    ASSERT_NE(object->GetEffects(), nullptr);  // made for them
    EXPECT_EQ(object->GetEffects()->GetRunningCount(), 1);
    ASSERT_NE(alpha->GetTimer(), nullptr);
    EXPECT_FALSE(alpha->GetTimer()->IsStopped());
    // One frame, but a running effect: the object has a timer too.
    EXPECT_NE(object->GetTimer(), nullptr);

    object->SetState(GetStateKeys().normal, true, false);
    EXPECT_EQ(object->GetEffects()->GetRunningCount(), 0);
    ASSERT_NE(alpha->GetTimer(), nullptr);
    EXPECT_TRUE(alpha->GetTimer()->IsStopped());

    object->SetState(Key("glow"), true, false);  // the same timer starts again
    EXPECT_EQ(object->GetEffects()->GetRunningCount(), 1);
    EXPECT_FALSE(alpha->GetTimer()->IsStopped());
}

TEST_F(StatesTest, SpeedScalesThePeriod) {
    GVObject* object = MakeObject(4, nullptr, mScene);
    object->SetState(GetStateKeys().normal, true, false);
    ASSERT_NE(object->GetTimer(), nullptr);
    EXPECT_EQ(object->GetTimer()->GetPeriod(), 100u);
    object->SetSpeed(0.5f, false);
    EXPECT_EQ(object->GetTimer()->GetPeriod(), 50u);
    object->SetSpeed(0.0f, false);
    EXPECT_EQ(object->GetTimer()->GetPeriod(), 0u);
    // Period 0: a step on every turn of the list, without the clock moving.
    const int32_t before = object->GetFramePosition();
    TestWindowHost::Turn(mWindow);
    TestWindowHost::Turn(mWindow);
    EXPECT_EQ(object->GetFramePosition(), (before + 2) % 4);
    // Speeds whose product leaves the int range saturate instead of overflowing.
    object->SetSpeed(1e30f, false);
    EXPECT_EQ(object->GetTimer()->GetPeriod(), 2147483647u);
    object->SetSpeed(-2.0f, false);
    EXPECT_EQ(object->GetTimer()->GetPeriod(), 0u);
}

TEST_F(StatesTest, ANonFiniteSpeedParksTheFramesUntilAFiniteOneReArmsThem) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const char* delay : {"100", "0"}) {
        const std::string states =
            std::string("<states><state id=\"run\" framelist=\"0..3\" defdelay=\"") + delay +
            "\"/><state id=\"walk\" framelist=\"0..3\" defdelay=\"" + delay + "\"/></states>";
        GVObject* object = MakeObject(4, states.c_str(), mScene);
        object->SetState(Key("run"), true, false);
        ASSERT_NE(object->GetTimer(), nullptr) << delay;
        for (float factor : {inf, nan}) {
            object->SetSpeed(factor, false);
            EXPECT_TRUE(object->GetTimer()->IsStopped()) << delay;
            StepWindow(1000);
            StepWindow(1000);
            EXPECT_EQ(object->GetFramePosition(), 0) << delay;
            // A state played while parked starts parked.
            object->SetState(Key("walk"), true, false);
            EXPECT_TRUE(object->GetTimer()->IsStopped()) << delay;
            StepWindow(1000);
            EXPECT_EQ(object->GetFramePosition(), 0) << delay;
            object->SetSpeed(1.0f, false);
            EXPECT_FALSE(object->GetTimer()->IsStopped()) << delay;
            StepWindow(100);
            EXPECT_EQ(object->GetFramePosition(), 1) << delay;
            object->SetState(Key("run"), true, false);
        }
    }
}

TEST_F(StatesTest, KeepFrameKeepsThePosition) {
    GVObject* object = MakeObject(8,
                                  "<states><state id=\"walk_n\" framelist=\"0..3\"/>"
                                  "<state id=\"walk_s\" framelist=\"4..7\"/></states>",
                                  mScene);
    object->SetState(Key("walk_n"), true, false);
    StepWindow(100);
    StepWindow(100);
    ASSERT_EQ(object->GetFramePosition(), 2);
    object->SetState(Key("walk_s"), true, true);
    EXPECT_EQ(object->GetStateId(), Key("walk_s"));
    EXPECT_EQ(object->GetFramePosition(), 2);
    object->SetState(Key("walk_n"), true, false);
    EXPECT_EQ(object->GetFramePosition(), 0);
}

TEST_F(StatesTest, TimersAreMadeOnlyWhenThereIsSomethingToAnimate) {
    // One frame, nothing queued, no effect.
    GVObject* still = MakeObject(1, nullptr, mScene);
    still->SetState(GetStateKeys().normal, true, false);
    EXPECT_EQ(still->GetTimer(), nullptr);
    // No scene.
    GVObject* outside = MakeObject(4, nullptr, nullptr);
    outside->SetState(GetStateKeys().normal, true, false);
    EXPECT_EQ(outside->GetTimer(), nullptr);
    // States but no current state: its frames count as none.
    GVObject* fresh = MakeObject(4, nullptr, mScene);
    EXPECT_FALSE(fresh->EnsureTimer());
    // A queued state is something to do; the timer is made unarmed.
    fresh->GetStates()->queued = GetStateKeys().normal;
    EXPECT_TRUE(fresh->EnsureTimer());
    EXPECT_TRUE(fresh->GetTimer()->IsStopped());
}

TEST_F(StatesTest, ScenesRouteTimersToTheirHostOrThePlatform) {
    GVScene* plain = MakeScene(nullptr);
    GVObject* object = MakeObject(4, nullptr, plain);
    object->SetState(GetStateKeys().normal, true, false);
    ASSERT_NE(object->GetTimer(), nullptr);
    EXPECT_EQ(TestWindowHost::ModalOf(mWindow)->added, 0);
    Step(100);  // the platform's list runs it
    EXPECT_EQ(object->GetFramePosition(), 1);

    // A window without a modal parent: the platform's list too.
    GVScene* orphan = MakeScene(mHost.MakeWindow(false));
    EXPECT_EQ(orphan->GetTaskHost(), nullptr);
    GVObject* other = MakeObject(4, nullptr, orphan);
    other->SetState(GetStateKeys().normal, true, false);
    Step(100);
    EXPECT_EQ(other->GetFramePosition(), 1);

    // The first scene decides.
    GVObject* both = MakeObject(4, nullptr, mScene);
    both->AttachToScene(plain, false);
    both->SetState(GetStateKeys().normal, true, false);
    EXPECT_EQ(TestWindowHost::ModalOf(mWindow)->added, 1);
}

}  // namespace
}  // namespace gv_test
