// The starter of work on a target: defending against a monster, the ark part places that the
// treasure search opens, exploring, the bonuses by species, and what a build records (the
// builder's target, the site it goes back to, the idol timer).
#include <gtest/gtest.h>

#include "simulation/taskkind.h"
#include "testobjects.h"
#include "worldfixture.h"

namespace worldtest {
namespace {

constexpr int kResourceBuild = 3;
constexpr int kFlakeOut = 6;

class WorkTest : public SmallWorld {
protected:
    void SetUp() override {
        SmallWorld::SetUp();
        GCreatureData& puff = DefineCreature("BasicPuff");
        puff.aiCoefs[kTaskFlakeOut].duration = kFlakeOut;
        puff.aiCoefs[kTaskBuild].duration = 0;
        puff.aiCoefs[kTaskDefend].duration = 0;
        puff.aiCoefs[kTaskExplore].duration = 20;
        DefineCreature("BasicZebra", "Zebra");
        for (const char* name : {"Ark Part Place 1", "Ark Part Place 2", "Ark Part Place 3",
                                 "Ark Part Place 4", "Ark Materials 3", "Treasure",
                                 "Bonus Special Shovel", "Bonus Special Hammer", "Idol_2"})
            DefineLocation(name);
        DefineLocation("Pre_foodbin", {Record(kResourceBuild, 4, 4)});
        DefineLocation("Pre_hospital", {Record(kResourceBuild, 4, 4)});
        DefineLocation("Konut Roots", {Record(kResourceBuild, 4, 4)});
        DefineHyena().aiCoefs[kTaskDefend].duration = 17;
        UseViews();
    }
};

TEST_F(WorkTest, TheArkPartPlacesOpenAsTheTreasureSearchFindsThem) {
    GCreature* puff = MakeCreature("BasicPuff");
    GLocation* places[4];
    for (int pair = 0; pair < 4; ++pair)
        places[pair] = MakeLocation(str::Format("Ark Part Place %d", pair + 1).c_str());
    const struct {
        int state, num;
        bool open[4];
    } rows[] = {
        {0, 3, {false, false, false, false}}, {2, 3, {false, false, false, false}},
        {1, 0, {true, false, false, false}},  {1, 2, {true, true, true, false}},
        {1, 3, {true, true, true, true}},
    };
    for (const auto& row : rows) {
        world.GetPlay().treasureSearchState = static_cast<int16_t>(row.state);
        world.GetPlay().treasureNum = static_cast<int16_t>(row.num);
        for (int pair = 0; pair < 4; ++pair) {
            SCOPED_TRACE(::testing::Message() << row.state << " " << row.num << " " << pair);
            EXPECT_EQ(world.StartTask(kTaskBuild, puff, places[pair]), row.open[pair]);
            world.CancelTasks(puff);
        }
    }
}

TEST_F(WorkTest, ExploringByTheSearchState) {
    GCreature* puff = MakeCreature("BasicPuff");
    GLocation* treasure = MakeLocation("Treasure");
    GLocation* place = MakeLocation("Ark Part Place 3");
    world.BindLocations();
    world.SetPair(2, MakeLocation("Ark Materials 3"), place);
    // Search state 0: the treasure, once.
    ASSERT_TRUE(world.StartTask(kTaskExplore, puff, treasure));
    EXPECT_EQ(puff->GetTask()->GetDuration(), 20u);
    GCreature* second = MakeCreature("BasicPuff");
    EXPECT_FALSE(world.StartTask(kTaskExplore, second, treasure));
    world.CancelTasks(puff);
    world.GetPlay().tutorialEvent = 18;
    ASSERT_TRUE(world.StartTask(kTaskExplore, puff, treasure));
    EXPECT_EQ(puff->GetTask()->GetDuration(), 3u);
    world.CancelTasks(puff);

    // State 1 with TreasureNum 2: a build on "Ark Part Place 3".
    world.GetPlay().treasureSearchState = 1;
    world.GetPlay().treasureNum = 2;
    ASSERT_TRUE(world.StartTask(kTaskExplore, puff, treasure));
    EXPECT_EQ(puff->GetTask()->GetKind(), kTaskBuild);
    EXPECT_EQ(puff->GetTask()->GetObjectListener(), place);
    EXPECT_TRUE(puff->IsValidBuildTarget(place));
    world.CancelTasks(puff);

    world.GetPlay().treasureSearchState = 2;
    EXPECT_FALSE(world.StartTask(kTaskExplore, puff, treasure));
}

TEST_F(WorkTest, DefendingAgainstAMonster) {
    GCreature* puff = MakeCreature("BasicPuff");
    GMonster* running = MakeHyena();
    simtest::AddTask(world.GetSchedule(), running, nullptr, 100000, kTaskRunAway);
    EXPECT_FALSE(world.StartTask(kTaskDefend, puff, running));
    EXPECT_EQ(messages.Count("QueueTutorialEvent 22"), 1);
    EXPECT_EQ(running->GetTask()->GetKind(), kTaskRunAway);  // nothing cleared

    GMonster* hyena = MakeHyena();
    simtest::AddTask(world.GetSchedule(), hyena, nullptr, 100000, kTaskFlakeOut);
    ASSERT_TRUE(world.StartTask(kTaskDefend, puff, hyena));
    GScheduleTask* fight = puff->GetTask();
    EXPECT_EQ(hyena->GetTask(), fight);
    EXPECT_EQ(fight->GetDuration(), 17u);  // the hyena's, the defender having none
    EXPECT_EQ(world.GetSchedule().CountTasksOf(hyena, true), 1);
    // A defender already fighting is refused.
    EXPECT_FALSE(world.StartTask(kTaskDefend, puff, MakeHyena()));
}

TEST_F(WorkTest, BonusesBySpecies) {
    GCreature* puff = MakeCreature("BasicPuff");
    GCreature* zebra = MakeCreature("BasicZebra");
    GLocation* shovel = MakeLocation("Bonus Special Shovel");
    GLocation* hammer = MakeLocation("Bonus Special Hammer");
    EXPECT_TRUE(world.StartTask(kTaskGettingBonus, zebra, shovel));
    world.CancelTasks(zebra);
    EXPECT_FALSE(world.StartTask(kTaskGettingBonus, zebra, hammer));
    EXPECT_FALSE(world.StartTask(kTaskGettingBonus, puff, hammer));
    EXPECT_TRUE(world.StartTask(kTaskGettingBonus, puff, shovel));
}

TEST_F(WorkTest, ABuildRecordsItsSiteAndArmsTheIdolTimerOnce) {
    GCreature* puff = MakeCreature("BasicPuff");
    GLocation* site = MakeLocation("Pre_foodbin");
    GLocation* roots = MakeLocation("Konut Roots");
    ASSERT_TRUE(world.StartTask(kTaskBuild, puff, site));
    EXPECT_EQ(puff->GetTask()->GetDuration(), static_cast<uint32_t>(kFlakeOut));  // kind 7's
    EXPECT_TRUE(puff->IsValidBuildTarget(site));
    EXPECT_EQ(world.GetPlay().globalEvent, 0);
    world.CancelTasks(puff);
    ASSERT_TRUE(world.StartTask(kTaskBuild, puff, roots));
    EXPECT_FALSE(puff->IsValidBuildTarget(roots));
    EXPECT_EQ(puff->GetValidBuildTargets().size(), 1u);
    world.CancelTasks(puff);

    for (const char* name : {"Idol_2", "Pre_hospital"}) {
        SCOPED_TRACE(name);
        world.GetPlay().globalTimer = 0;
        world.GetPlay().globalEvent = 0;
        ASSERT_TRUE(world.StartTask(kTaskBuild, puff, MakeLocation(name)));
        EXPECT_EQ(world.GetPlay().globalTimer, 30);
        EXPECT_EQ(world.GetPlay().globalEvent, 43);
        world.CancelTasks(puff);
    }
    world.GetGlobalData().SetEvent(43, true);
    world.GetPlay().globalTimer = 0;
    world.GetPlay().globalEvent = 0;
    ASSERT_TRUE(world.StartTask(kTaskBuild, puff, MakeLocation("Idol_2")));
    EXPECT_EQ(world.GetPlay().globalTimer, 0);
}

}  // namespace
}  // namespace worldtest
