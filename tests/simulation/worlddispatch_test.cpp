// Task dispatch: which starter serves each kind, monsters, refusals and the sound of a started
// task.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "recordingworld.h"
#include "simulation/taskkind.h"
#include "testobjects.h"
#include "worldfixture.h"

namespace worldtest {
namespace {

using DispatchTest = SmallWorld;

TEST_F(DispatchTest, EachKindHasItsStarter) {
    const std::map<GStarter, std::set<int>> table = {
        {GStarter::kBreeding, {1}},
        {GStarter::kWorkOnTarget, {2, 3, 4, 6, 8, 30, 31, 34}},
        {GStarter::kDoctoring, {5}},
        {GStarter::kWander, {7, 18}},
        {GStarter::kStayAndAct, {9, 24, 25, 26, 27, 32}},
        {GStarter::kStoreWalk, {10, 12}},
        {GStarter::kConsuming, {11, 13}},
        {GStarter::kTreatment, {14, 38}},
        {GStarter::kDevolving, {15}},
        {GStarter::kProducing, {16}},
        {GStarter::kHerbCollecting, {17}},
        {GStarter::kJob, {19}},
        {GStarter::kRunAway, {20}},
        {GStarter::kFailing, {21}},
        {GStarter::kShortPause, {22, 23}},
        {GStarter::kCarryArkPart, {28}},
        {GStarter::kBushRepair, {29}},
        {GStarter::kCarryToArk, {33}},
        {GStarter::kFrozenPause, {35, 36}},
        {GStarter::kGraveyard, {37}},
    };
    int rows = 0;
    for (const auto& [starter, kinds] : table) {
        for (int kind : kinds) {
            EXPECT_EQ(GWorld::StarterFor(kind, GObject::kCreature), starter) << kind;
            EXPECT_EQ(GWorld::StarterFor(kind, GObject::kMonster), GStarter::kMonster) << kind;
            ++rows;
        }
    }
    EXPECT_EQ(rows, 38);
    for (int kind : {0, -1, 39, 1000})
        EXPECT_EQ(GWorld::StarterFor(kind, GObject::kMonster), GStarter::kNone) << kind;
}

TEST_F(DispatchTest, StartTaskCallsTheStarterAndAnswersItsAnswer) {
    simtest::TestObject creature("creature"), monster("hyena", nullptr, GObject::kMonster);
    simtest::TestObject place("place", nullptr, GObject::kLocation);
    // A build starts and plays its sound; the monsters' starter still refuses.
    EXPECT_TRUE(world.StartTask(kTaskBuild, &creature, &place));
    EXPECT_FALSE(world.StartTask(kTaskFlakeOut, &monster, nullptr));
    ASSERT_EQ(starters.calls.size(), 2u);
    EXPECT_EQ(starters.calls[0].starter, GStarter::kWorkOnTarget);
    EXPECT_EQ(starters.calls[0].kind, kTaskBuild);
    EXPECT_EQ(starters.calls[0].subject, &creature);
    EXPECT_EQ(starters.calls[0].object, &place);
    EXPECT_TRUE(starters.calls[0].started);
    EXPECT_TRUE(starters.calls[0].dispatched);
    EXPECT_EQ(starters.calls[1].starter, GStarter::kMonster);  // not the wander starter
    EXPECT_FALSE(starters.calls[1].started);
    ASSERT_EQ(sounds.played.size(), 1u);
    EXPECT_EQ(sounds.played[0].event, kTaskBuild);
    world.CancelTasks(&creature);

    // Refused without a starter: no subject, kinds outside 1 to 38.
    starters.calls.clear();
    EXPECT_FALSE(world.StartTask(kTaskBuild, nullptr, &place));
    for (int kind : {-1, 0, 39})
        EXPECT_FALSE(world.StartTask(kind, &creature, nullptr)) << kind;
    EXPECT_FALSE(world.StartTask(-1, &monster, nullptr));
    EXPECT_TRUE(starters.calls.empty());

    // A starter called by a rule directly.
    EXPECT_FALSE(world.CallStarter(GStarter::kTreatment, kTaskGoToHospital, &creature, nullptr));
    ASSERT_EQ(starters.calls.size(), 1u);
    EXPECT_FALSE(starters.calls[0].dispatched);
}

TEST_F(DispatchTest, ObjectsThatLeftTheWorldStartNothing) {
    DefineCreature("BasicPuff");
    DefineLocation("Tree");
    GCreature* leaving = MakeCreature("BasicPuff");
    GCreature* staying = MakeCreature("BasicPuff");
    GLocation* tree = MakeLocation("Tree");
    ASSERT_TRUE(world.QueueForDeletion(leaving));
    starters.calls.clear();
    EXPECT_FALSE(world.StartTask(kTaskFlakeOut, leaving, nullptr));
    EXPECT_FALSE(world.StartTask(kTaskBreed, staying, leaving));
    EXPECT_TRUE(starters.calls.empty());
    EXPECT_FALSE(world.StartTask(kTaskDoctor, staying, tree));
    EXPECT_EQ(starters.calls.size(), 1u);
}

TEST_F(DispatchTest, TheSoundOfAStartedTask) {
    const struct {
        int kind;
        const char* object;
        int sound;
    } rows[] = {
        {4, "Well_2", 62},     {4, "Wellspring", 62},  {4, "Ark Part Place 3", 62},
        {4, "Konut Bush", 62}, {4, "Konut Bush 2", 4},  // only the bush itself
        {4, "Ark Part 3", 4},  {4, nullptr, 4},        {2, "Well_1", 2},
        {20, "Hyena Pit", 0},  {20, nullptr, 0},       {37, nullptr, 37},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.object != nullptr ? row.object : "no object");
        if (row.object == nullptr) {
            EXPECT_EQ(GWorld::StartSound(row.kind, nullptr), row.sound) << row.kind;
            continue;
        }
        auto place = simtest::MakePlace(row.object);
        EXPECT_EQ(GWorld::StartSound(row.kind, place.get()), row.sound) << row.kind;
    }
}

}  // namespace
}  // namespace worldtest
