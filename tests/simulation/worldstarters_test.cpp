// The starters of tasks done where the creature stands: resting and celebrating, eating and
// drinking, devolving, making things, gathering herbs, short and frozen pauses. Each row of the
// table starts one kind on a small world with views and reads back the task (its duration and
// the source of it, its type, who takes part) and the creature's view.
#include <gtest/gtest.h>

#include <iterator>

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

}  // namespace
}  // namespace worldtest
