// The idle pass on small worlds: the sick are sent to the hospital grounds through the kind-14
// starter itself, the healthy flake out unless a doctor is coming or a task names them, and idle
// monsters flake out while the tutorial's hyena is shown.
#include <gtest/gtest.h>

#include <vector>

#include "simulation/taskkind.h"
#include "testobjects.h"
#include "worldfixture.h"

namespace worldtest {
namespace {

class IdleTest : public SmallWorld {
protected:
    void SetUp() override {
        SmallWorld::SetUp();
        DefineCreature("BasicPuff");
        DefineLocation("Hospital");
        DefineHyena();
    }
    void WithViews() {
        UseViews();
        hospital = MakeLocation("Hospital", 1900, 1700);
        world.BindLocations();
    }
    GCreature* Creature(float x, float y) {
        GCreature* creature = MakeCreature("BasicPuff");
        if (creature->GetView() != nullptr) creature->GetView()->SetPosition(x, y);
        return creature;
    }

    GLocation* hospital = nullptr;
};

TEST_F(IdleTest, TheSickAreSentToTheHospitalGrounds) {
    struct Row {
        const char* name;
        int disease;
        float x;
        float y;
        bool sent;
    };
    const std::vector<Row> rows = {
        {"sick, far from the hospital", 3, 500.0f, 500.0f, true},
        {"sick, just left of the grounds", 2, 1688.0f, 1700.0f, true},
        {"sick, just below them", 4, 1900.0f, 1792.0f, true},
        {"sick, on the grounds' corner", 3, 1689.0f, 1570.0f, false},
        {"sick, on the far corner", 3, 2150.0f, 1791.0f, false},
        {"with the harmless disease", 1, 500.0f, 500.0f, false},
    };
    WithViews();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        GCreature* creature = Creature(row.x, row.y);
        creature->SetDisease(row.disease);
        starters.calls.clear();
        sounds.played.clear();
        world.RunIdlePass();
        if (row.sent) {
            ASSERT_EQ(starters.calls.size(), 1u);
            const GStarterCall& call = starters.calls.front();
            EXPECT_EQ(call.starter, GStarter::kTreatment);
            EXPECT_EQ(call.kind, kTaskGoToHospital);
            EXPECT_EQ(call.subject, creature);
            EXPECT_EQ(call.object, hospital);
            EXPECT_FALSE(call.dispatched);
        } else {
            EXPECT_TRUE(starters.calls.empty());
        }
        EXPECT_TRUE(sounds.played.empty());
        world.QueueForDeletion(creature);
    }
}

TEST_F(IdleTest, ASickCreatureWithoutAViewStaysWhereItIs) {
    MakeCreature("BasicPuff")->SetDisease(3);
    starters.calls.clear();
    world.RunIdlePass();
    EXPECT_TRUE(starters.calls.empty());
}

TEST_F(IdleTest, TheHealthyIdleFlakeOut) {
    GCreature* idle = MakeCreature("BasicPuff");
    GCreature* patient = MakeCreature("BasicPuff");
    GCreature* doctor = MakeCreature("BasicPuff");
    GCreature* busy = MakeCreature("BasicPuff");
    GCreature* named = MakeCreature("BasicPuff");
    doctor->RememberTaskTargets(kTaskDoctor, patient, nullptr);
    simtest::AddTask(world.GetSchedule(), doctor, nullptr, 100000, kTaskDoctor);
    simtest::AddTask(world.GetSchedule(), busy, named, 100000, kTaskBreed);
    // Only the schedule names it: it has no task of its own.
    named->SetTask(nullptr);
    starters.calls.clear();

    world.RunIdlePass();
    ASSERT_EQ(starters.calls.size(), 1u);
    const GStarterCall& call = starters.calls.front();
    EXPECT_EQ(call.subject, idle);
    EXPECT_EQ(call.kind, kTaskFlakeOut);
    EXPECT_EQ(call.object, nullptr);
    EXPECT_TRUE(call.dispatched);
}

TEST_F(IdleTest, IdleMonstersFlakeOutWhileTheTutorialHyenaIsShown) {
    GMonster* idle = MakeHyena();
    GMonster* busy = MakeHyena();
    simtest::AddTask(world.GetSchedule(), busy, nullptr, 100000, kTaskGoToTarget);
    starters.calls.clear();
    world.RunIdlePass();
    EXPECT_TRUE(starters.calls.empty());

    world.GetGlobalData().SetTutorialEventFlag(21, true);
    world.RunIdlePass();
    ASSERT_EQ(starters.calls.size(), 1u);
    EXPECT_EQ(starters.calls.front().subject, idle);
    EXPECT_EQ(starters.calls.front().kind, kTaskFlakeOut);
    EXPECT_EQ(starters.calls.front().starter, GStarter::kMonster);
}

TEST_F(IdleTest, TheTickRunsThePassEveryTick) {
    GCreature* idle = MakeCreature("BasicPuff");
    starters.calls.clear();
    world.Update(1);
    world.Update(2);
    EXPECT_EQ(starters.Kinds(idle), (std::vector<int>{kTaskFlakeOut, kTaskFlakeOut}));
}

TEST_F(IdleTest, CreaturesThatLeaveInThePassUpsetNobody) {
    std::vector<GObject*> tribe;
    for (int i = 0; i < 4; ++i)
        tribe.push_back(MakeCreature("BasicPuff"));
    // Flaking out takes each away at once.
    struct Leaving : GStarterListener {
        explicit Leaving(GWorld& world) : world(world) {}
        void OnStarterCalled(const GStarterCall& call) override {
            subjects.push_back(call.subject);
            world.QueueForDeletion(call.subject);
        }
        GWorld& world;
        std::vector<GObject*> subjects;
    } leaving(world);
    world.SetStarterListener(&leaving);
    world.RunIdlePass();
    EXPECT_EQ(leaving.subjects, tribe);
    EXPECT_TRUE(world.GetCreatures().empty());
    world.SetStarterListener(nullptr);
}

}  // namespace
}  // namespace worldtest
