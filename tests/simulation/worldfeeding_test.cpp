// The feeding cycle on small worlds made by the test: which stores the tribe eats and drinks
// from, what they hold afterwards, and how hungry and thirsty the tribe grows; the places'
// growth; the creatures' cycle and the parking of one that falls ill.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "recordingworld.h"
#include "simulation/itemkind.h"
#include "simulation/taskkind.h"
#include "testobjects.h"
#include "worldfixture.h"

namespace worldtest {
namespace {

constexpr int kEventFoodBin = 1;
constexpr int kEventWaterTank = 2;
constexpr int kEventSnowMelted = 5;
constexpr int kEventPiranhas = 16;
constexpr int kStart = 50;
constexpr int kAbsent = -1;

// Stores before and after a cycle; kAbsent for a place the world does not have.
struct Stores {
    int bin = kAbsent;
    int tank = kAbsent;
    int fall = kAbsent;
    int pool = kAbsent;
    // The "Puff" fields, in location order.
    std::vector<int> fields;
};

struct FeedingRow {
    const char* name;
    int creatures;
    std::vector<int> events;
    Stores before;
    Stores after;
    int hunger;
    int thirst;
    int frozenKind = 0;
    int skillLevel = 0;
    int speedLevel = 1;
    float hungerAddCoef = 1.0f;
};

class FeedingTest : public SmallWorld {
protected:
    void SetUp() override {
        SmallWorld::SetUp();
        DefineCreature("BasicPuff");
        GlobalData& params = world.GetGlobalData();
        params.needFood = 2;
        params.needWater = 2;
        params.needFoodEasy = 1;
        params.needWaterEasy = 1;
        params.hungerHRR = 1.0f;
        params.thirstHRR = 1.0f;
        params.hungerReduction = 6;
        params.thirstReduction = 6;
        params.speedMults[0] = 0.5f;
        params.speedMults[1] = 1.0f;
        params.speedMults[2] = 2.0f;
        DefineLocation("Food Bin", {Record(kResourceFood, 0, 1000)});
        DefineLocation("Water Tank", {Record(kResourceWater, 0, 1000)});
        DefineLocation("Water Fall", {Record(kResourceWater, 0, 1000)});
        DefineLocation("Pool", {Record(kResourceWater, 0, 1000)});
        DefineLocation("Konut Field", {Record(kResourceFood, 0, 1000)}).canUse["Puff"] = 1;
        // Food the tribe does not eat: the place does not admit a "Puff".
        DefineLocation("Lion Rock", {Record(kResourceFood, 7, 10)}).canUse["Lion"] = 1;
    }

    // A place of the definition holding quantity of the type; none for kAbsent.
    GLocation* Store(const char* name, int type, int quantity) {
        if (quantity == kAbsent) return nullptr;
        GLocation* place = MakeLocation(name);
        place->SetQuantity(type, quantity);
        return place;
    }
    static int Quantity(const GLocation* place, int type) {
        return place != nullptr ? place->GetResourceQuantity(type) : kAbsent;
    }
};

TEST_F(FeedingTest, TheTribeEatsAndDrinksFromItsStores) {
    const std::vector<FeedingRow> rows = {
        {"a frozen pause changes nothing",
         4,
         {kEventFoodBin},
         {60, kAbsent, 20, kAbsent, {9}},
         {60, kAbsent, 20, kAbsent, {9}},
         kStart,
         kStart,
         kTaskFrozenPause},
        {"so does the second frozen pause",
         4,
         {kEventFoodBin},
         {60, kAbsent, 20, kAbsent, {9}},
         {60, kAbsent, 20, kAbsent, {9}},
         kStart,
         kStart,
         kTaskFrozenPause2},
        {"an empty bin sends the tribe to the fields in order",
         4,
         {kEventFoodBin},
         {0, kAbsent, 20, kAbsent, {3, 10, 4}},
         {0, kAbsent, 12, kAbsent, {0, 5, 4}},
         44,
         44},
        {"enough in the bin leaves B - need",
         4,
         {kEventFoodBin},
         {60, kAbsent, 20, kAbsent, {9}},
         {52, kAbsent, 12, kAbsent, {9}},
         44,
         44},
        {"a shortage of the fields empties them",
         4,
         {},
         {kAbsent, kAbsent, 20, kAbsent, {1, 3}},
         {kAbsent, kAbsent, 12, kAbsent, {0, 0}},
         51,
         44},
        {"HungerAddCoef scales hunger and thirst",
         4,
         {},
         {kAbsent, kAbsent, 20, kAbsent, {4}},
         {kAbsent, kAbsent, 12, kAbsent, {0}},
         52,
         38,
         0,
         0,
         1,
         2.0f},
        {"a shortage of the bin empties it and leaves the fields",
         4,
         {kEventFoodBin},
         {4, kAbsent, 20, kAbsent, {9}},
         {0, kAbsent, 12, kAbsent, {9}},
         51,
         44},
        {"before the snow melts a water shortage adds no thirst",
         4,
         {kEventFoodBin, kEventWaterTank},
         {60, 4, 20, kAbsent, {}},
         {52, 0, 0, kAbsent, {}},
         44,
         kStart},
        {"once it has melted it does",
         4,
         {kEventFoodBin, kEventWaterTank, kEventSnowMelted},
         {60, 4, 20, kAbsent, {}},
         {52, 0, 0, kAbsent, {}},
         44,
         51},
        {"without the tank the fall is not emptied",
         4,
         {kEventFoodBin, kEventSnowMelted},
         {60, kAbsent, 4, kAbsent, {}},
         {52, kAbsent, 4, kAbsent, {}},
         44,
         51},
        {"the pool takes over when W is 0",
         4,
         {kEventFoodBin, kEventWaterTank, kEventSnowMelted},
         {60, 0, 20, 30, {}},
         {52, 0, 20, 22, {}},
         44,
         44},
        {"a pool shortage empties it",
         4,
         {kEventFoodBin, kEventWaterTank, kEventSnowMelted},
         {60, 0, 20, 4, {}},
         {52, 0, 0, 0, {}},
         44,
         51},
        {"the pool waits for the snow",
         4,
         {kEventFoodBin, kEventWaterTank},
         {60, 0, 20, 30, {}},
         {52, 0, 0, 30, {}},
         44,
         kStart},
        {"with piranhas the fall gives nothing",
         4,
         {kEventFoodBin, kEventPiranhas, kEventSnowMelted},
         {60, kAbsent, 20, kAbsent, {}},
         {52, kAbsent, 20, kAbsent, {}},
         44,
         52},
        {"skill level 1 uses the easy needs",
         4,
         {kEventFoodBin},
         {60, kAbsent, 20, kAbsent, {}},
         {56, kAbsent, 16, kAbsent, {}},
         44,
         44,
         0,
         1},
        {"the fast speed doubles the needs",
         4,
         {kEventFoodBin},
         {60, kAbsent, 20, kAbsent, {}},
         {44, kAbsent, 4, kAbsent, {}},
         44,
         44,
         0,
         0,
         2},
        {"the slow speed halves them",
         3,
         {kEventFoodBin},
         {60, kAbsent, 20, kAbsent, {}},
         {57, kAbsent, 17, kAbsent, {}},
         44,
         44,
         0,
         0,
         0},
        {"no creatures: the stores stay",
         0,
         {kEventFoodBin},
         {60, kAbsent, 20, kAbsent, {9}},
         {60, kAbsent, 20, kAbsent, {9}},
         0,
         0},
    };
    TPrefs& prefs = UsePrefs();
    for (const FeedingRow& row : rows) {
        SCOPED_TRACE(row.name);
        world.Clear();
        world.GetPlay().speedLevel = static_cast<int16_t>(row.speedLevel);
        prefs.SetInt("currentskilllevel", row.skillLevel, -1, false);
        for (int event = 1; event < 56; ++event)
            world.GetGlobalData().SetEvent(event, false);
        for (const int event : row.events)
            world.GetGlobalData().SetEvent(event, true);
        world.GetGlobalData().hungerAddCoefMin = row.hungerAddCoef;
        world.GetGlobalData().hungerAddCoefMax = row.hungerAddCoef;

        GLocation* bin = Store("Food Bin", kResourceFood, row.before.bin);
        GLocation* tank = Store("Water Tank", kResourceWater, row.before.tank);
        GLocation* fall = Store("Water Fall", kResourceWater, row.before.fall);
        GLocation* pool = Store("Pool", kResourceWater, row.before.pool);
        std::vector<GLocation*> fields;
        for (size_t i = 0; i < row.before.fields.size(); ++i)
            fields.push_back(Store("Konut Field", kResourceFood, row.before.fields[i]));
        GLocation* rock = MakeLocation("Lion Rock");
        world.BindLocations();
        for (int i = 0; i < row.creatures; ++i) {
            GCreature* creature = MakeCreature("BasicPuff");
            creature->SetHunger(kStart);
            creature->SetThirst(kStart);
        }
        if (row.frozenKind != 0) {
            simtest::AddTask(world.GetSchedule(), world.GetCreatures().front().get(), nullptr,
                             100000, row.frozenKind);
        }

        world.RunFeedingCycle();

        EXPECT_EQ(Quantity(bin, kResourceFood), row.after.bin);
        EXPECT_EQ(Quantity(tank, kResourceWater), row.after.tank);
        EXPECT_EQ(Quantity(fall, kResourceWater), row.after.fall);
        EXPECT_EQ(Quantity(pool, kResourceWater), row.after.pool);
        std::vector<int> fieldsAfter;
        for (const GLocation* field : fields)
            fieldsAfter.push_back(Quantity(field, kResourceFood));
        EXPECT_EQ(fieldsAfter, row.after.fields);
        EXPECT_EQ(Quantity(rock, kResourceFood), 7);
        for (const std::unique_ptr<GCreature>& creature : world.GetCreatures()) {
            EXPECT_EQ(creature->GetHunger(), row.hunger);
            EXPECT_EQ(creature->GetThirst(), row.thirst);
        }
    }
}

TEST_F(FeedingTest, EveryPlaceGrowsByTheSpeedFactorFirstEvenWithoutCreatures) {
    GResourceRecord growing = Record(kResourceFood, 2, 100);
    growing.addition = 3;
    DefineLocation("Konut Bush", {growing}).canUse["Puff"] = 1;
    GLocation* bush = MakeLocation("Konut Bush");
    GLocation* rock = MakeLocation("Lion Rock");
    world.GetPlay().speedLevel = 2;
    world.RunFeedingCycle();
    EXPECT_EQ(bush->GetResourceQuantity(kResourceFood), 8);
    EXPECT_EQ(rock->GetResourceQuantity(kResourceFood), 7);

    // With a tribe the food is what has grown: 8 + 6 = 14 for a need of 4 x 2 x 2 = 16, a
    // shortage of (16 - 14) / 4 = 0 each; the field is emptied all the same.
    for (int i = 0; i < 4; ++i)
        MakeCreature("BasicPuff")->SetHunger(kStart);
    world.RunFeedingCycle();
    EXPECT_EQ(bush->GetResourceQuantity(kResourceFood), 0);
    EXPECT_EQ(world.GetCreatures().front()->GetHunger(), kStart);
}

TEST_F(FeedingTest, HugeCoefficientsAndNeedsStayDefined) {
    struct Case {
        const char* name;
        int need;
        float coefficient;
        int reduction;
        int hunger;
    };
    const std::vector<Case> cases = {
        {"a huge coefficient", 2, 1e30f, 6, 100},
        {"a huge negative coefficient", 2, -1e30f, 6, 0},
        {"the largest need", INT_MAX, 1.0f, 6, 100},
        {"a negative need, taken as unsigned", -1, 1.0f, 6, 100},
        {"the smallest relief", 0, 1.0f, INT_MIN, 100},
    };
    MakeCreature("BasicPuff");
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        GlobalData& params = world.GetGlobalData();
        params.needFood = test.need;
        params.hungerHRR = test.coefficient;
        params.hungerReduction = test.reduction;
        GCreature* creature = world.GetCreatures().front().get();
        creature->GetCreatureData()->hungerAddCoef = 1.0f;
        creature->SetHunger(kStart);
        world.RunFeedingCycle();
        EXPECT_EQ(creature->GetHunger(), test.hunger);
    }
}

TEST_F(FeedingTest, ACreatureThatFallsIllIsParkedForSelection) {
    GCreatureData& definition = DefineCreature("SicklyPuff");
    definition.diseaseMinAge = 0;
    definition.diseaseProbMin = 101.0f;
    definition.diseaseProbMax = 101.0f;
    MakeCreature("BasicPuff");
    GCreature* sickly = MakeCreature("SicklyPuff");
    // The world's own roll gives no disease yet: this one rolls disease 3.
    simtest::RecordingWorld rolls;
    rolls.disease = 3;
    sickly->SetWorld(&rolls);
    sickly->SetAge(10.0f);

    world.GetPlay().simulating = true;
    world.RunFeedingCycle();
    EXPECT_EQ(sickly->GetDisease(), 3);
    EXPECT_EQ(world.GetPlay().parkedA, -1);

    sickly->SetDisease(0);
    world.GetPlay().simulating = false;
    world.GetPlay().parkedB = 7;
    world.RunFeedingCycle();
    EXPECT_EQ(world.GetPlay().parkedA, 1);
    EXPECT_EQ(world.GetPlay().parkedCountdown, 60);
    EXPECT_EQ(world.GetPlay().parkedB, -1);

    // Ill already: not parked again.
    world.GetPlay().parkedA = -1;
    world.RunFeedingCycle();
    EXPECT_EQ(world.GetPlay().parkedA, -1);
}

TEST_F(FeedingTest, ACreatureThatLeavesInItsCycleLeavesTheOthersTheirTurn) {
    GCreatureData& definition = DefineCreature("FeverPuff");
    definition.diseaseHealthLost = 1.0f;
    GCreature* dying = MakeCreature("BasicPuff");
    std::vector<GCreature*> others;
    for (int i = 0; i < 3; ++i) {
        others.push_back(MakeCreature("FeverPuff"));
        others.back()->SetDisease(3);
    }
    // Its walk to the graveyard arrives at once: it leaves the world inside its cycle.
    dying->GetCreatureData()->currentHealth = 0;
    simtest::RecordingWorld graveyard;
    graveyard.onStart = [&](int kind, GObject*) {
        if (kind == kTaskGoToGraveyard) world.QueueForDeletion(dying);
    };
    dying->SetWorld(&graveyard);

    world.RunFeedingCycle();
    EXPECT_EQ(graveyard.Kinds(), std::vector<int>{kTaskGoToGraveyard});
    EXPECT_FALSE(world.IsInWorld(dying));
    // Each of the others lived its cycle once: one point of health lost to the fever.
    for (const GCreature* creature : others)
        EXPECT_EQ(creature->GetCreatureData()->currentHealth, 99);
}

}  // namespace
}  // namespace worldtest
