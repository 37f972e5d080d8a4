// The threat pass on small worlds with views: who runs from a hyena and who turns to fight it,
// the fighting lion's follow-up, and the hyena's choice of prey, read from the recording of
// starter calls.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "simulation/taskkind.h"
#include "testobjects.h"
#include "worldfixture.h"

namespace worldtest {
namespace {

constexpr float kX = 600.0f;
constexpr float kY = 600.0f;
constexpr int kNoTask = 0;

class ThreatTest : public SmallWorld {
protected:
    void SetUp() override {
        SmallWorld::SetUp();
        DefineCreature("BasicPuff");
        GCreatureData& lion = DefineCreature("BasicLion", "Lion");
        lion.healthPercentsToStop = 35;
        DefineCreature("BasicZebra", "Zebra").healthPercentsToStop = 35;
        DefineLocation("Rock");
        DefineHyena();
        UseViews();
        world.GetGlobalData().distanceToRun = 260;
        world.GetGlobalData().distanceToDefend = 420;
    }

    // A creature whose view stands at (x, y), on a running task of the kind (none for 0).
    GCreature* Creature(const char* fullName, float x, float y, int kind) {
        GCreature* creature = MakeCreature(fullName);
        creature->GetView()->SetPosition(x, y);
        if (kind != kNoTask) simtest::AddTask(world.GetSchedule(), creature, nullptr, 100000, kind);
        return creature;
    }
    GMonster* Hyena(float x, float y, int kind) {
        GMonster* hyena = MakeHyena();
        hyena->GetView()->SetPosition(x, y);
        if (kind != kNoTask) simtest::AddTask(world.GetSchedule(), hyena, nullptr, 100000, kind);
        return hyena;
    }
    // The calls with the subject: "kind object", the object "monster", "creature", "none".
    std::vector<std::string> CallsOf(const GObject* subject) const {
        std::vector<std::string> lines;
        for (const GStarterCall& call : starters.calls) {
            if (call.subject != subject) continue;
            const char* object = call.object == nullptr                        ? "none"
                                 : call.object->GetKind() == GObject::kMonster ? "monster"
                                                                               : "creature";
            lines.push_back(std::to_string(call.kind) + " " + object);
        }
        return lines;
    }
    static float Distance(const TVec2& a, const TVec2& b) {
        return std::hypot(a.x - b.x, a.y - b.y);
    }
};

TEST_F(ThreatTest, CreaturesRunFromOrTurnOnANearHyena) {
    struct Row {
        const char* name;
        const char* creature;
        int task;
        int health;
        int disease;
        float distance;
        int hyenaTask;
        int tutorialStep;
        std::vector<std::string> calls;
    };
    const std::vector<Row> rows = {
        {"a puff at exactly the run distance runs",
         "BasicPuff",
         kTaskForage,
         100,
         0,
         260.0f,
         kNoTask,
         0,
         {"20 monster"}},
        {"a pixel beyond it does not", "BasicPuff", kTaskForage, 100, 0, 261.0f, kNoTask, 0, {}},
        {"a zebra runs whatever its health",
         "BasicZebra",
         kTaskForage,
         10,
         3,
         100.0f,
         kTaskFlakeOut,
         0,
         {"20 monster"}},
        {"a lion at 400 turns to fight",
         "BasicLion",
         kTaskForage,
         100,
         0,
         400.0f,
         kNoTask,
         0,
         {"19 monster"}},
        {"a lion at exactly its defend distance too",
         "BasicLion",
         kTaskForage,
         36,
         0,
         420.0f,
         kNoTask,
         0,
         {"19 monster"}},
        {"beyond it not", "BasicLion", kTaskForage, 100, 0, 421.0f, kNoTask, 0, {}},
        {"a lion at its stop share does not",
         "BasicLion",
         kTaskForage,
         35,
         0,
         100.0f,
         kNoTask,
         0,
         {}},
        {"a sick lion does not", "BasicLion", kTaskForage, 100, 3, 100.0f, kNoTask, 0, {}},
        {"a creature on kind 28 is left alone",
         "BasicPuff",
         kTaskCarryArkPart,
         100,
         0,
         10.0f,
         kNoTask,
         0,
         {}},
        {"so is one already running", "BasicPuff", kTaskRunAway, 100, 0, 10.0f, kNoTask, 0, {}},
        {"and one without a task", "BasicPuff", kNoTask, 100, 0, 10.0f, kNoTask, 0, {}},
        {"a running hyena is no threat",
         "BasicPuff",
         kTaskForage,
         100,
         0,
         10.0f,
         kTaskRunAway,
         0,
         {}},
        {"nor a fighting one", "BasicPuff", kTaskForage, 100, 0, 10.0f, kTaskDefend, 0, {}},
        {"tutorial step 21 skips the pass",
         "BasicPuff",
         kTaskForage,
         100,
         0,
         10.0f,
         kNoTask,
         21,
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        world.Clear();
        world.GetPlay().currentTutorialStep = row.tutorialStep;
        GCreature* creature = Creature(row.creature, kX, kY, row.task);
        creature->GetCreatureData()->currentHealth = static_cast<int16_t>(row.health);
        creature->SetDisease(row.disease);
        GMonster* hyena = Hyena(kX + row.distance, kY, row.hyenaTask);
        starters.calls.clear();

        world.RunThreatPass();
        EXPECT_EQ(CallsOf(creature), row.calls);
        const bool fights = row.calls == std::vector<std::string>{"19 monster"};
        EXPECT_EQ(creature->GetLastTask(), fights ? kTaskDefend : kNoTask);
        EXPECT_EQ(creature->GetBeforeTarget(kTaskDefend), fights ? hyena : nullptr);
        // Turning to fight drops what the lion was doing.
        EXPECT_EQ(creature->GetTask() == nullptr, fights || row.task == kNoTask);
    }
}

TEST_F(ThreatTest, ACreatureRunsFromTheFirstNearHyenaOnly) {
    GCreature* puff = Creature("BasicPuff", kX, kY, kTaskForage);
    GMonster* far = Hyena(kX + 500.0f, kY, kNoTask);
    GMonster* near = Hyena(kX + 100.0f, kY, kNoTask);
    Hyena(kX + 50.0f, kY, kNoTask);
    starters.calls.clear();
    world.RunThreatPass();
    ASSERT_EQ(CallsOf(puff), std::vector<std::string>{"20 monster"});
    EXPECT_EQ(starters.calls.front().object, near);
    EXPECT_NE(starters.calls.front().object, far);
}

TEST_F(ThreatTest, AFightingLionWalksAfterItsTargetAndLetsItGo) {
    struct Row {
        const char* name;
        // The walk's object: 0 none, 1 the hyena, 2 a rock.
        int object;
        int lastTask;
        bool walks;
        int lastTaskAfter;
        bool targetKept;
    };
    const std::vector<Row> rows = {
        {"a walk to a monster follows the target", 1, kTaskDefend, true, kNoTask, false},
        {"a walk without an object clears the fight", 0, kTaskDefend, false, kNoTask, false},
        {"a walk to a place changes nothing", 2, kTaskDefend, false, kTaskDefend, true},
        {"another task step changes nothing", 1, kTaskBuild, false, kTaskBuild, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        world.Clear();
        GCreature* lion = Creature("BasicLion", kX, kY, kNoTask);
        GMonster* hyena = Hyena(kX + 1000.0f, kY + 400.0f, kTaskDefend);
        GLocation* rock = MakeLocation("Rock", 100, 100);
        GObject* objects[] = {nullptr, hyena, rock};
        GScheduleTask* hyenasOwn = hyena->GetTask();
        simtest::AddTask(world.GetSchedule(), lion, objects[row.object], 100000, kTaskGoToTarget);
        hyena->SetTask(hyenasOwn);
        rock->SetTask(nullptr);
        lion->SetLastTask(row.lastTask);
        lion->RememberTaskTargets(kTaskDefend, hyena, rock);
        const TVec2 start = lion->GetView()->GetPosition();

        world.RunThreatPass();
        const TVec2 goal = lion->GetCreatureView()->GetDestination();
        if (row.walks) {
            EXPECT_LT(Distance(goal, hyena->GetView()->GetPosition()),
                      Distance(start, hyena->GetView()->GetPosition()) - 500.0f);
        } else {
            EXPECT_EQ(Point(goal), Point(start));
        }
        EXPECT_EQ(lion->GetLastTask(), row.lastTaskAfter);
        EXPECT_EQ(lion->GetBeforeTarget(kTaskDefend), row.targetKept ? hyena : nullptr);
        EXPECT_EQ(lion->GetAfterTarget(kTaskDefend), rock);
    }
}

TEST_F(ThreatTest, AHyenaPicksTheFirstEligibleCreature) {
    // Busy creatures, out of the hyena's reach by what they do, or too weak or sick to be worth it.
    Creature("BasicPuff", kX, kY, kTaskDefend);
    Creature("BasicPuff", kX, kY, kTaskCarryArkPart);
    Creature("BasicPuff", kX, kY, kTaskGoToGraveyard);
    Creature("BasicPuff", kX, kY, kTaskDevolve);
    GCreature* weak = Creature("BasicZebra", kX, kY, kNoTask);
    weak->GetCreatureData()->currentHealth = 35;
    GCreature* sick = Creature("BasicPuff", kX, kY, kNoTask);
    sick->SetDisease(1);
    Creature("BasicPuff", kX + 300.0f, kY, kNoTask);  // beyond the run distance
    GCreature* prey = Creature("BasicPuff", kX + 200.0f, kY, kNoTask);
    Creature("BasicPuff", kX, kY, kNoTask);
    GMonster* hyena = Hyena(kX, kY, kTaskFlakeOut);
    starters.calls.clear();

    world.RunThreatPass();
    EXPECT_EQ(CallsOf(hyena), std::vector<std::string>{"19 creature"});
    EXPECT_EQ(starters.calls.back().object, prey);
    EXPECT_EQ(starters.calls.back().starter, GStarter::kMonster);
    EXPECT_EQ(hyena->GetPrey(), prey);
    EXPECT_EQ(hyena->GetLastTask(), 6);
    EXPECT_EQ(hyena->GetTask(), nullptr);
    EXPECT_EQ(world.GetSchedule().CountTasksOf(hyena, true), 0);
}

TEST_F(ThreatTest, AHyenaWithAPreyLooksOnlyForANearerOne) {
    struct Row {
        const char* name;
        int huntingState;
        float otherDistance;
        bool switches;
    };
    const std::vector<Row> rows = {
        {"not chasing: one as near as the prey is passed over", 0, 100.0f, false},
        {"not chasing: a nearer one is taken", 0, 99.0f, true},
        {"chasing: the first other one in reach is taken", 6, 250.0f, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        world.Clear();
        GCreature* other = Creature("BasicPuff", kX + row.otherDistance, kY, kNoTask);
        GCreature* prey = Creature("BasicPuff", kX, kY + 100.0f, kNoTask);
        GMonster* hyena = Hyena(kX, kY, kTaskFlakeOut);
        hyena->SetLastTask(row.huntingState);
        hyena->SetPrey(prey);
        starters.calls.clear();

        world.RunThreatPass();
        EXPECT_EQ(hyena->GetPrey(), row.switches ? other : prey);
        EXPECT_EQ(CallsOf(hyena).size(), row.switches ? 1u : 0u);
        EXPECT_EQ(hyena->GetTask() == nullptr, row.switches);
    }
}

TEST_F(ThreatTest, AHyenaGivesUpAPreyThatGotAway) {
    GCreature* prey = Creature("BasicPuff", kX + 261.0f, kY, kNoTask);
    GMonster* hyena = Hyena(kX, kY, kTaskFlakeOut);
    hyena->SetLastTask(6);
    hyena->SetPrey(prey);
    starters.calls.clear();
    world.RunThreatPass();
    EXPECT_TRUE(CallsOf(hyena).empty());
    EXPECT_EQ(hyena->GetTask(), nullptr);
    EXPECT_EQ(world.GetSchedule().CountTasksOf(hyena, true), 0);
}

TEST_F(ThreatTest, BusyHyenasDoNotLook) {
    struct Row {
        const char* name;
        int task;
        int state;
    };
    const std::vector<Row> rows = {
        {"no task", kNoTask, 0},
        {"on its walk at a place (2)", kTaskGoToTarget, 2},
        {"on its walk at a place (4)", kTaskGoToTarget, 4},
        {"running", kTaskRunAway, 0},
        {"fighting", kTaskDefend, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        world.Clear();
        Creature("BasicPuff", kX + 10.0f, kY, kNoTask);
        GMonster* hyena = Hyena(kX, kY, row.task);
        hyena->SetLastTask(row.state);
        starters.calls.clear();
        world.RunThreatPass();
        EXPECT_TRUE(CallsOf(hyena).empty());
        EXPECT_EQ(hyena->GetPrey(), nullptr);
    }
}

TEST_F(ThreatTest, AChasingHyenaWalksAfterItsPrey) {
    GCreature* prey = Creature("BasicPuff", kX + 200.0f, kY + 100.0f, kNoTask);
    GMonster* hyena = Hyena(kX, kY, kNoTask);
    simtest::AddTask(world.GetSchedule(), hyena, prey, 100000, kTaskGoToTarget);
    prey->SetTask(nullptr);
    hyena->SetLastTask(6);
    hyena->SetPrey(prey);
    const TVec2 start = hyena->GetView()->GetPosition();
    starters.calls.clear();
    world.RunThreatPass();
    EXPECT_TRUE(CallsOf(hyena).empty());
    const auto* view = static_cast<GVWorldCreature*>(hyena->GetView());
    EXPECT_LT(Distance(view->GetDestination(), prey->GetView()->GetPosition()),
              Distance(start, prey->GetView()->GetPosition()) - 100.0f);
}

TEST_F(ThreatTest, ObjectsWithoutAViewTakeNoPart) {
    GCreature* puff = Creature("BasicPuff", kX, kY, kTaskForage);
    GMonster* hyena = Hyena(kX + 10.0f, kY, kTaskFlakeOut);
    Manager().RemoveVisual(hyena->GetView());
    hyena->SetView(nullptr);
    starters.calls.clear();
    world.RunThreatPass();
    EXPECT_TRUE(starters.calls.empty());

    GMonster* other = Hyena(kX + 10.0f, kY, kTaskFlakeOut);
    Manager().RemoveVisual(puff->GetView());
    puff->SetView(nullptr);
    starters.calls.clear();
    world.RunThreatPass();
    EXPECT_TRUE(CallsOf(puff).empty());
    EXPECT_TRUE(CallsOf(other).empty());
}

TEST_F(ThreatTest, APreyThatLeavesIsForgotten) {
    GCreature* prey = Creature("BasicPuff", kX, kY, kNoTask);
    GMonster* hyena = Hyena(kX, kY, kTaskFlakeOut);
    hyena->SetPrey(prey);
    world.QueueForDeletion(prey);
    EXPECT_EQ(hyena->GetPrey(), nullptr);
}

// Hears the starters' calls and takes the subject of a kind out of the world at once, as a task
// that ends with its subject leaving would.
class LeaveOnStart : public GStarterListener {
public:
    LeaveOnStart(GWorld& world, int kind) : mWorld(world), mKind(kind) {}
    void OnStarterCalled(const GStarterCall& call) override {
        calls.push_back(call);
        if (call.kind == mKind && call.subject->GetKind() == GObject::kCreature)
            mWorld.QueueForDeletion(call.subject);
    }
    std::vector<GStarterCall> calls;

private:
    GWorld& mWorld;
    int mKind;
};

TEST_F(ThreatTest, CreaturesThatLeaveInThePassUpsetNobody) {
    std::vector<GCreature*> puffs;
    for (int i = 0; i < 4; ++i)
        puffs.push_back(Creature("BasicPuff", kX + 10.0f * i, kY, kTaskForage));
    GMonster* hyena = Hyena(kX, kY, kTaskFlakeOut);
    LeaveOnStart leaving(world, kTaskRunAway);
    world.SetStarterListener(&leaving);

    world.RunThreatPass();
    // Each ran once and left; the hyena found nobody left to chase.
    std::vector<GObject*> runners;
    for (const GStarterCall& call : leaving.calls) {
        EXPECT_EQ(call.kind, kTaskRunAway);
        runners.push_back(call.subject);
    }
    EXPECT_EQ(runners, std::vector<GObject*>(puffs.begin(), puffs.end()));
    EXPECT_TRUE(world.GetCreatures().empty());
    EXPECT_EQ(hyena->GetPrey(), nullptr);
    world.SetStarterListener(nullptr);
}

}  // namespace
}  // namespace worldtest
