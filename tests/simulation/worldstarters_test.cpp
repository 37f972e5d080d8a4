// The starters of tasks done where the creature stands: resting and celebrating, eating and
// drinking, devolving, making things, gathering herbs, short and frozen pauses. Each row of the
// table starts one kind on a small world with views and reads back the task (its duration and
// the source of it, its type, who takes part) and the creature's view.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/saturate.h"
#include "simulation/taskkind.h"
#include "simulation/worldkeys.h"
#include "testobjects.h"
#include "worldfixture.h"

namespace worldtest {
namespace {

constexpr int kResourceFood = 1;
constexpr int kResourceWater = 2;
constexpr int kResourceBuild = 3;
constexpr int kResourcePool = 4;
constexpr uint32_t kNow = 500;
constexpr int kDefault = 10;
constexpr int kFlakeOut = 6;

class StartersTest : public SmallWorld {
protected:
    void SetUp() override {
        SmallWorld::SetUp();
        GCreatureData& puff = DefineCreature("BasicPuff");
        const struct {
            int kind;
            int duration;
        } durations[] = {{kTaskFlakeOut, kFlakeOut}, {kTaskRest, 12},
                         {kTaskDevolve, 8},          {kTaskProductItem, 0},
                         {kTaskFailure2, 4},         {kTaskDrop, 0},
                         {kTaskCelebrate, 0},        {kTaskCelebrateVictory, 9},
                         {kTaskWaitForArk, 7},       {kTaskSpecialFlakeOut, 5},
                         {kTaskUnload, 11},          {kTaskFrozenPause, 40}};
        for (const auto& [kind, duration] : durations)
            puff.aiCoefs[kind].duration = duration;
        puff.consumptions[kResourceFood].duration = 5;
        puff.consumptions[kResourceWater].duration = 3;
        DefineLocation("Food Bin", {Record(kResourceFood, 0, 1000)});
        DefineLocation("Water Tank", {Record(kResourceWater, 0, 1000)});
        DefineLocation("Pre_foodbin",
                       {Record(kResourceFood, 0, 1000), Record(kResourceBuild, 4, 4)});
        DefineLocation("Devolution Pool", {Record(kResourcePool, 0, 5)});
        DefineLocation("Smallberry");
        DefineHyena();
        UseViews();
        world.GetGlobalData().defaultTask = kDefault;
        world.GetPlay().currentTime = kNow;
    }

    GLocation* Place(const char* name, int type = 0, int quantity = 0) {
        GLocation* place = MakeLocation(name);
        if (type != 0) place->SetQuantity(type, quantity);
        world.BindLocations();
        return place;
    }
    static GNameMask StateOf(const GObject* creature) {
        return static_cast<GVWorldCreature*>(creature->GetView())->GetState();
    }
};

TEST_F(StartersTest, EachKindItsDurationTypeAndParties) {
    const GWorldKeys& keys = WorldKeys();
    GLocation* bin = Place("Food Bin", kResourceFood, 3);
    GLocation* tank = Place("Water Tank", kResourceWater, 3);
    GLocation* berry = Place("Smallberry");
    const GNameMask unchanged;  // the view keeps what it showed
    const struct {
        int kind;
        GObject* object;
        int duration;  // with its source in the comment
        GObject* listener;
        bool objectTakesPart;
        GNameMask state;
        bool showsState;
    } rows[] = {
        {kTaskRest, berry, 12, nullptr, false, keys.flakeOut, true},                 // its own
        {kTaskCelebrate, nullptr, kFlakeOut, nullptr, false, keys.celebrate, true},  // 0: kind 7's
        {kTaskWaitForArk, nullptr, 7, nullptr, false, keys.flakeOut, true},
        {kTaskSpecialFlakeOut, nullptr, 5, nullptr, false, keys.think, true},
        {kTaskUnload, nullptr, 11, nullptr, false, keys.work, true},
        {kTaskEating, nullptr, 5, bin, true, unchanged, false},     // consumption of food
        {kTaskDrinking, nullptr, 3, tank, true, unchanged, false},  // of water
        {kTaskEating, bin, 5, bin, true, unchanged, false},         // the dropped place
        {kTaskDevolve, nullptr, 8, nullptr, false, unchanged, false},
        {kTaskProductItem, berry, kDefault, berry, false, unchanged, false},   // 0: the default
        {kTaskCollectHerbs, berry, kDefault, berry, false, unchanged, false},  // always the default
        {kTaskFailure2, nullptr, 4, nullptr, false, keys.think, true},
        {kTaskDrop, nullptr, kDefault, nullptr, false, unchanged, false},
        {kTaskFrozenPause, berry, kFlakeOut, nullptr, false, keys.think, true},     // not its own
        {kTaskFrozenPause2, nullptr, kFlakeOut, nullptr, false, keys.think, true},  // kind 7's
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kind);
        GCreature* puff = MakeCreature("BasicPuff");
        const GNameMask before = StateOf(puff);
        ASSERT_TRUE(world.StartTask(row.kind, puff, row.object));
        GScheduleTask* task = puff->GetTask();
        ASSERT_NE(task, nullptr);
        EXPECT_EQ(task->GetKind(), row.kind);
        EXPECT_EQ(task->GetType(), GScheduleTask::kByTime);
        EXPECT_EQ(task->GetDuration(), static_cast<uint32_t>(row.duration));
        EXPECT_EQ(task->GetEndTime(), kNow + row.duration);
        EXPECT_EQ(task->GetSubjectListener(), puff);
        EXPECT_EQ(task->GetObjectListener(), row.listener);
        EXPECT_EQ(task->GetTaskData()->subject, puff);
        // The dropped object is kept in the data even where it does not listen.
        const GObject* dataObject = row.listener != nullptr ? row.listener : row.object;
        if (row.kind == kTaskFailure2 || row.kind == kTaskDrop || row.kind == kTaskDevolve)
            dataObject = nullptr;
        EXPECT_EQ(task->GetTaskData()->object, dataObject);
        if (row.listener != nullptr) {
            EXPECT_EQ(row.listener->GetTask() == task, row.objectTakesPart);
        }
        EXPECT_EQ(StateOf(puff), row.showsState ? row.state : before);
        world.CancelTasks(puff);
        if (row.listener != nullptr) row.listener->SetTask(nullptr);
    }
    // Only the celebration of a victory has a sound of its own: the dispatch plays the kind's.
    EXPECT_EQ(sounds.played.size(), std::size(rows));
}

TEST_F(StartersTest, RefusalsLeaveEverythingAsItWas) {
    GLocation* empty = Place("Food Bin", kResourceFood, 0);
    GLocation* site = Place("Pre_foodbin", kResourceFood, 50);
    GCreature* puff = MakeCreature("BasicPuff");
    const struct {
        int kind;
        GObject* object;
    } rows[] = {
        {kTaskEating, empty},      // no food, even as the dropped object
        {kTaskEating, nullptr},    // nor as the world's bin
        {kTaskEating, site},       // food in a bin not yet built
        {kTaskDrinking, nullptr},  // no tank at all
        {kTaskEating, puff},       // not a place
        {kTaskProductItem, nullptr}, {kTaskCollectHerbs, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kind);
        EXPECT_FALSE(world.StartTask(row.kind, puff, row.object));
    }
    EXPECT_EQ(puff->GetTask(), nullptr);
    EXPECT_EQ(world.GetSchedule().GetTaskCount(), 0u);
    EXPECT_TRUE(sounds.played.empty());
}

TEST_F(StartersTest, WithoutACreatureViewSomeAnswerTrueAndOthersRefuse) {
    GCreature* puff = MakeCreature("BasicPuff");
    world.GetCreatures().back()->SetView(nullptr);  // the manager keeps the view
    GLocation* bin = Place("Food Bin", kResourceFood, 3);
    for (int kind : {kTaskRest, kTaskCelebrate, kTaskDevolve, kTaskProductItem, kTaskFailure2,
                     kTaskDrop, kTaskFrozenPause})
        EXPECT_TRUE(world.StartTask(kind, puff, bin)) << kind;
    EXPECT_EQ(world.GetSchedule().GetTaskCount(), 0u);
    EXPECT_FALSE(world.StartTask(kTaskEating, puff, bin));
    // Herb collecting does not look at the view.
    EXPECT_TRUE(world.StartTask(kTaskCollectHerbs, puff, bin));
    EXPECT_EQ(world.GetSchedule().GetTaskCount(), 1u);
}

TEST_F(StartersTest, AVictoryIsCelebratedOnlyWhenEveryMonsterRuns) {
    GCreature* puff = MakeCreature("BasicPuff");
    GMonster* idle = MakeHyena();
    GMonster* running = MakeHyena();
    simtest::AddTask(world.GetSchedule(), running, nullptr, 100000, kTaskRunAway);
    EXPECT_FALSE(world.StartTask(kTaskCelebrateVictory, puff, nullptr));
    simtest::AddTask(world.GetSchedule(), idle, nullptr, 100000, kTaskFlakeOut);
    EXPECT_FALSE(world.StartTask(kTaskCelebrateVictory, puff, nullptr));
    world.CancelTasks(idle);
    simtest::AddTask(world.GetSchedule(), idle, nullptr, 100000, kTaskRunAway);
    sounds.played.clear();
    ASSERT_TRUE(world.StartTask(kTaskCelebrateVictory, puff, nullptr));
    EXPECT_EQ(puff->GetTask()->GetDuration(), 9u);
    EXPECT_EQ(StateOf(puff), WorldKeys().celebrate);
    ASSERT_EQ(sounds.played.size(), 2u);
    EXPECT_EQ(sounds.played[0].object, nullptr);
    EXPECT_EQ(sounds.played[0].event, 53);
    EXPECT_EQ(sounds.played[1].object, puff);
    EXPECT_EQ(sounds.played[1].event, kTaskCelebrateVictory);
}

TEST_F(StartersTest, DevolvingEmptiesThePoolOnlyWhenItGoesOn) {
    GCreature* puff = MakeCreature("BasicPuff");
    // Without a pool the task starts.
    ASSERT_TRUE(world.StartTask(kTaskDevolve, puff, nullptr));
    world.CancelTasks(puff);
    GLocation* pool = Place("Devolution Pool", kResourcePool, 0);
    EXPECT_FALSE(world.StartTask(kTaskDevolve, puff, nullptr));
    pool->SetQuantity(kResourcePool, 2);
    puff->SetDisease(1);
    EXPECT_FALSE(world.StartTask(kTaskDevolve, puff, nullptr));
    EXPECT_EQ(pool->GetResourceQuantity(kResourcePool), 2);
    puff->SetDisease(0);
    ASSERT_TRUE(world.StartTask(kTaskDevolve, puff, nullptr));
    EXPECT_EQ(pool->GetResourceQuantity(kResourcePool), 0);
    EXPECT_EQ(puff->GetTask()->GetKind(), kTaskDevolve);
}

TEST_F(StartersTest, ATaskOfNoLengthLastsOneTickAndTheUpdateReturns) {
    DefineCreature("StillPuff");
    // Every duration 0: the pauses take kind 7's, which is 0 too.
    GCreature* puff = MakeCreature("StillPuff");
    ASSERT_TRUE(world.StartTask(kTaskFrozenPause, puff, nullptr));
    EXPECT_EQ(puff->GetTask()->GetDuration(), 1u);
    EXPECT_EQ(puff->GetTask()->GetEndTime(), kNow + 1);
    world.GetGlobalData().defaultTask = 0;
    world.CancelTasks(puff);
    ASSERT_TRUE(world.StartTask(kTaskCollectHerbs, puff, MakeLocation("Smallberry")));
    EXPECT_EQ(puff->GetTask()->GetDuration(), 1u);
    world.GetSchedule().Update(kNow, false);
    EXPECT_NE(puff->GetTask(), nullptr);
    world.GetSchedule().Update(kNow + 1, false);
    EXPECT_EQ(puff->GetTask(), nullptr);
}

TEST_F(StartersTest, BreedingCountsThePendingBirthsAgainstTheLimit) {
    GCreature* mother = MakeCreature("BasicPuff");
    GCreature* father = MakeCreature("BasicPuff");
    GCreature* other = MakeCreature("BasicPuff");
    simtest::AddTask(world.GetSchedule(), other, nullptr, 100000, kTaskBreed);
    world.GetGlobalData().maxPopulation = 4;  // three creatures and one birth on the way
    EXPECT_FALSE(world.StartTask(kTaskBreed, mother, father));
    EXPECT_EQ(messages.Count("ShowMessage max_population_reached"), 1);
    EXPECT_EQ(mother->GetTask(), nullptr);
    EXPECT_FALSE(world.StartTask(kTaskBreed, mother, nullptr));

    world.GetGlobalData().maxPopulation = 5;
    simtest::AddTask(world.GetSchedule(), father, nullptr, 100000, kTaskRest);
    ASSERT_TRUE(world.StartTask(kTaskBreed, mother, father));
    GScheduleTask* task = mother->GetTask();
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(father->GetTask(), task);  // the partner's rest was cancelled
    EXPECT_EQ(world.GetSchedule().CountTasksOf(father, true), 1);
    EXPECT_EQ(task->GetObjectListener(), father);
    EXPECT_EQ(task->GetDuration(), 1u);  // its breed duration of 0, at least one tick
    EXPECT_EQ(StateOf(mother), WorldKeys().breed);
    EXPECT_EQ(StateOf(father), WorldKeys().hidden);

    // In the tutorial's breeding step the default time.
    world.CancelTasks(mother);
    world.GetPlay().tutorialEvent = 5;
    ASSERT_TRUE(world.StartTask(kTaskBreed, mother, father));
    EXPECT_EQ(mother->GetTask()->GetDuration(), static_cast<uint32_t>(kDefault));
}

TEST_F(StartersTest, FailingTellsThePlayerOnlyOfTheSelectedCreature) {
    GCreature* puff = MakeCreature("BasicPuff");
    GCreature* healthy = MakeCreature("BasicPuff");
    GCreature* ill = MakeCreature("BasicPuff");
    ill->SetDisease(1);
    starters.calls.clear();  // a new creature asks to flake out
    ASSERT_TRUE(world.StartTask(kTaskFailure, puff, healthy));
    EXPECT_TRUE(messages.calls.empty());
    EXPECT_EQ(puff->GetTask()->GetType(), GScheduleTask::kByTimeWhileSimulating);
    EXPECT_EQ(puff->GetTask()->GetDuration(), static_cast<uint32_t>(kFlakeOut));
    EXPECT_EQ(puff->GetTask()->GetObjectListener(), nullptr);
    EXPECT_EQ(StateOf(puff), WorldKeys().failed);
    EXPECT_EQ(starters.Kinds(healthy), std::vector<int>{kTaskFlakeOut});

    world.CancelTasks(puff);
    world.SelectObject(puff);
    sounds.played.clear();
    ASSERT_TRUE(world.StartTask(kTaskFailure, puff, ill));
    EXPECT_EQ(messages.calls.size(), 1u);
    EXPECT_EQ(world.GetPlay().messageCountdown, 5);
    ASSERT_EQ(sounds.played.size(), 2u);
    EXPECT_EQ(sounds.played[0].event, 42);
    EXPECT_EQ(starters.Kinds(ill), std::vector<int>{kTaskBeIll});

    // During catch-up the sound plays but the message line stays; an ill creature that is
    // already the object of a task is left alone.
    world.CancelTasks(puff);
    simtest::AddTask(world.GetSchedule(), healthy, ill, 100000, kTaskDoctor);
    world.GetPlay().simulating = true;
    world.GetPlay().messageCountdown = 0;
    ASSERT_TRUE(world.StartTask(kTaskFailure, puff, ill));
    EXPECT_EQ(messages.calls.size(), 1u);
    EXPECT_EQ(world.GetPlay().messageCountdown, 0);
    EXPECT_EQ(starters.Kinds(ill), std::vector<int>{kTaskBeIll});
}

TEST_F(StartersTest, TheGraveyardWalkByCauseAndDuringCatchUp) {
    const struct {
        const char* cause;
        float age;
        int disease, hunger, thirst;
        int x0, x1, y0, y1;
    } rows[] = {
        {"old age", 100.5f, 1, 0, 90, 878, 1280, 1508, 1740},
        {"disease", 20.0f, 3, 0, 90, 1689, 2150, 1370, 1791},
        {"thirst", 20.0f, 0, 10, 90, 780, 955, 560, 870},
        {"hunger", 20.0f, 0, 90, 90, 1430, 1640, 600, 840},
    };
    for (bool simulating : {false, true}) {
        world.GetPlay().simulating = simulating;
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.cause) + (simulating ? " catching up" : ""));
            GCreature* puff = MakeCreature("BasicPuff", 300, 300);
            puff->SetAge(row.age);
            puff->SetDeathAge(100);
            puff->SetDisease(row.disease);
            puff->SetHunger(row.hunger);
            puff->SetThirst(row.thirst);
            ASSERT_TRUE(world.StartTask(kTaskGoToGraveyard, puff, nullptr));
            EXPECT_EQ(puff->GetTask()->GetType(), GScheduleTask::kByTimeWhileSimulating);
            EXPECT_EQ(puff->GetTask()->GetDuration(), static_cast<uint32_t>(kDefault));
            auto* view = static_cast<GVWorldCreature*>(puff->GetView());
            // Placed at once while catching up, else walking there.
            const TVec2 at = simulating ? view->GetPosition() : view->GetDestination();
            EXPECT_GE(at.x, row.x0);
            EXPECT_LE(at.x, row.x1);
            EXPECT_GE(at.y, row.y0);
            EXPECT_LE(at.y, row.y1);
            EXPECT_EQ(view->GetPath().empty(), simulating);
        }
    }
}

TEST_F(StartersTest, TheGraveyardWalkEndsWhatWaitedForTheCreature) {
    GCreature* doctor = MakeCreature("BasicPuff");
    GCreature* patient = MakeCreature("BasicPuff");
    GCreature* other = MakeCreature("BasicPuff");
    doctor->RememberTaskTargets(kTaskDoctor, patient, other);
    simtest::AddTask(world.GetSchedule(), doctor, patient, 100000, kTaskDoctor);
    world.GetPlay().parkedA = 1;
    world.GetPlay().parkedCountdown = 20;
    world.GetPlay().parkedB = 0;
    ASSERT_TRUE(world.StartTask(kTaskGoToGraveyard, patient, nullptr));
    EXPECT_EQ(doctor->GetBeforeTarget(kTaskDoctor), nullptr);
    EXPECT_EQ(doctor->GetAfterTarget(kTaskDoctor), other);
    EXPECT_EQ(doctor->GetTask(), nullptr);  // the doctoring was cancelled with the patient's
    EXPECT_EQ(world.GetPlay().parkedA, -1);
    EXPECT_EQ(world.GetPlay().parkedCountdown, -1);
    EXPECT_EQ(world.GetPlay().parkedB, -1);
}

TEST_F(StartersTest, TheHospitalWalkStaysOnTheHospitalGrounds) {
    DefineLocation("Hospital");
    DefineLocation("Pre_hospital", {Record(kResourceBuild, 4, 4)});
    GCreature* puff = MakeCreature("BasicPuff", 300, 300);
    EXPECT_FALSE(world.StartTask(kTaskGoToHospital, puff, nullptr));  // no hospital
    GLocation* site = Place("Pre_hospital", kResourceBuild, 4);
    EXPECT_FALSE(world.StartTask(kTaskGoToHospital, puff, nullptr));  // not built
    world.QueueForDeletion(site);
    GLocation* hospital = Place("Hospital");
    hospital->GetView()->SetPosition(1900.0f, 1700.0f);
    auto* view = static_cast<GVWorldCreature*>(puff->GetView());
    for (int draw = 0; draw < 200; ++draw) {
        world.CancelTasks(puff);
        view->SetPosition(300.0f, 300.0f);
        const int walking = TruncateToInt(view->TicksToObject(hospital->GetView()) * 30.0 / 1000.0);
        ASSERT_TRUE(world.StartTask(kTaskGoToHospital, puff, nullptr));
        EXPECT_EQ(puff->GetTask()->GetDuration(), static_cast<uint32_t>(std::max(walking / 2, 1)));
        EXPECT_EQ(puff->GetTask()->GetObjectListener(), hospital);
        EXPECT_EQ(hospital->GetTask(), puff->GetTask());
        const TVec2 to = view->GetDestination();
        ASSERT_TRUE(to.x >= 1689 && to.x <= 2150 && to.y >= 1570 && to.y <= 1791)
            << to.x << "," << to.y;
    }
}

TEST_F(StartersTest, MedicineForTumrotGrowsOnTheFirstSmallberryWhileThereIsNoHospital) {
    DefineLocation("Pre_hospital", {Record(kResourceBuild, 4, 4)});
    GCreature* doctor = MakeCreature("BasicPuff", 300, 300);
    Place("Pre_hospital", kResourceBuild, 4);
    GLocation* first = Place("Smallberry");
    first->GetView()->SetPosition(1000.0f, 300.0f);
    Place("Smallberry");
    doctor->SetDiseaseToHeal(2);
    EXPECT_FALSE(world.StartTask(kTaskGoForMedicine, doctor, nullptr));  // event 4 not set
    world.GetGlobalData().SetEvent(4, true);
    doctor->SetDiseaseToHeal(1);
    EXPECT_FALSE(world.StartTask(kTaskGoForMedicine, doctor, nullptr));
    EXPECT_FALSE(world.StartTask(kTaskGoToHospital, doctor, nullptr));
    doctor->SetDiseaseToHeal(2);
    ASSERT_TRUE(world.StartTask(kTaskGoForMedicine, doctor, nullptr));
    EXPECT_EQ(doctor->GetTask()->GetObjectListener(), first);
    EXPECT_EQ(doctor->GetTask()->GetType(), GScheduleTask::kByTimeWhileSimulating);
    auto* view = static_cast<GVWorldCreature*>(doctor->GetView());
    EXPECT_FALSE(view->GetPath().empty());
    EXPECT_EQ(view->GetSpeed(), doctor->GetCreatureData()->runSpeed);

    // During catch-up the task alone.
    world.CancelTasks(doctor);
    view->StopMoving();
    world.GetPlay().simulating = true;
    ASSERT_TRUE(world.StartTask(kTaskGoForMedicine, doctor, nullptr));
    EXPECT_TRUE(view->GetPath().empty());
}

TEST_F(StartersTest, RunningAwayFromAThreat) {
    GCreature* puff = MakeCreature("BasicPuff", 800, 800);
    GMonster* hyena = MakeHyena(700, 800);
    EXPECT_FALSE(world.StartTask(kTaskRunAway, puff, nullptr));
    simtest::AddTask(world.GetSchedule(), puff, nullptr, 100000, kTaskRest);
    sounds.played.clear();
    ASSERT_TRUE(world.StartTask(kTaskRunAway, puff, hyena));
    GScheduleTask* task = puff->GetTask();
    EXPECT_EQ(task->GetKind(), kTaskRunAway);
    EXPECT_EQ(task->GetDuration(), static_cast<uint32_t>(kDefault));  // none of its own
    EXPECT_EQ(task->GetObjectListener(), hyena);
    EXPECT_EQ(hyena->GetTask(), nullptr);
    EXPECT_EQ(world.GetSchedule().GetTaskCount(), 1u);  // the rest was cancelled
    auto* view = static_cast<GVWorldCreature*>(puff->GetView());
    EXPECT_EQ(view->GetSpeed(), puff->GetCreatureData()->runSpeed);
    EXPECT_GT(view->GetDestination().x, 800.0f);  // away from the hyena
    ASSERT_EQ(sounds.played.size(), 1u);          // its own, and none from the dispatch
    EXPECT_EQ(sounds.played[0].event, 45);
}

TEST_F(StartersTest, TheFleePointTurnsAwayFromTheThreat) {
    GCreature* puff = MakeCreature("BasicPuff", 1000, 900);
    GVWorldObject* runner = puff->GetView();
    GLocation* rock = MakeLocation("Smallberry");
    const struct {
        const char* threat;
        TVec2 at;
        TVec2 away;
    } rows[] = {
        {"behind", TVec2(900.0f, 900.0f), TVec2(1.0f, 0.0f)},
        {"on the runner", TVec2(1000.0f, 900.0f), TVec2()},  // a random way: the length only
        {"none: the middle", TVec2(), TVec2(-1.0f, 0.0f)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.threat);
        rock->GetView()->SetPosition(row.at);
        for (int draw = 0; draw < 100; ++draw) {
            const TVec2 to = world.FleePoint(runner, row.at.x != 0.0f ? rock->GetView() : nullptr);
            const float dx = to.x - 1000.0f;
            const float dy = to.y - 900.0f;
            const float length = std::hypot(dx, dy);
            ASSERT_TRUE(length >= 199.0f && length <= 501.0f) << length;
            // Turned by at most a right angle from the way away.
            ASSERT_GE(dx * row.away.x + dy * row.away.y, -1.0f) << dx << "," << dy;
        }
    }
}

TEST_F(StartersTest, AFleeCandidateOffTheIslandEndsTheTurnsEarly) {
    GCreature* puff = MakeCreature("BasicPuff", 2390, 900);
    GMonster* hyena = MakeHyena(2000, 900);
    hyena->GetView()->SetPosition(2000.0f, 900.0f);
    puff->GetView()->SetPosition(2390.0f, 900.0f);
    // Replay the draws: one turn that leaves the island, then jumps until a walkable one.
    TRandom replay = world.GetRandom();
    const float length = static_cast<float>(replay.NextRange(200, 500));
    const int angle = replay.NextRange(0, 90);
    replay.NextRange(0, 1);
    ASSERT_LT(angle, 87) << "the draw would stay on the island; pick another start";
    (void)length;
    TVec2 expected;
    for (int tries = 0; tries < 20; ++tries) {
        float offsets[2];
        for (float& offset : offsets) {
            const int value = replay.NextRange(200, 800);
            offset = static_cast<float>(replay.NextRange(0, 1) == 0 ? value : -value);
        }
        expected = TVec2(2390.0f + offsets[0], 900.0f + offsets[1]);
        if (Manager().IsWalkable(expected.x, expected.y)) break;
    }
    ASSERT_TRUE(Manager().IsWalkable(expected.x, expected.y));
    const TVec2 to = world.FleePoint(puff->GetView(), hyena->GetView());
    EXPECT_EQ(to.x, expected.x);
    EXPECT_EQ(to.y, expected.y);
}

}  // namespace
}  // namespace worldtest
