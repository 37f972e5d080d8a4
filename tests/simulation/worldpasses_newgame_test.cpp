// The tick's passes on a new game of the game's own data, on the world driver: ten feeding
// cycles checked against the rule restated here from the stores read before each cycle, and two
// thousand ticks with hyenas among a busy tribe whose members come and go.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "simulation/itemkind.h"
#include "simulation/taskkind.h"
#include "support/worlddriver.h"
#include "testobjects.h"
#include "worldfixture.h"

namespace {

using testing_support::WorldDriver;
using testing_support::WorldDriverOptions;

// What the feeding rule reads, taken just before a tick.
struct Stores {
    int binFood = 0;
    int water = 0;
    bool poolApplies = false;
    int grownPoolWater = 0;
    int grownFieldFood = 0;
    std::vector<int> hunger;
    std::vector<int> thirst;
    std::vector<float> coefficients;
};

bool AdmitsPuff(const GLocation& location) {
    return location.CanUse("Puff", INT_MAX);
}

// The quantity of the type once the place has grown by the factor.
int Grown(const GLocation& location, int type, float factor) {
    int sum = 0;
    for (const GResourceRecord& record : location.GetLocationData()->resources) {
        if (record.type != type) continue;
        const double grown = record.addition * static_cast<double>(factor) + record.quantity;
        sum += std::clamp(static_cast<int>(grown), 0, std::max(record.maxQuantity, 0));
    }
    return sum;
}

Stores ReadStores(GWorld& world) {
    Stores stores;
    const float speed = world.GetSpeedValue();
    const GLocation* bin = world.GetPlace(GWorld::kFoodBin);
    const GLocation* tank = world.GetPlace(GWorld::kWaterTank);
    const GLocation* fall = world.GetPlace(GWorld::kWaterFall);
    const GLocation* pool = world.GetPlace(GWorld::kPool);
    if (world.IsEventSet(1) && bin != nullptr)
        stores.binFood = bin->GetResourceQuantity(kResourceFood);
    if (world.IsEventSet(2)) {
        stores.water = tank != nullptr ? tank->GetResourceQuantity(kResourceWater) : 0;
    } else if (!world.IsEventSet(16) && fall != nullptr) {
        stores.water = fall->GetResourceQuantity(kResourceWater);
    }
    stores.poolApplies = world.IsEventSet(5) && stores.water == 0 && pool != nullptr;
    if (stores.poolApplies) stores.grownPoolWater = Grown(*pool, kResourceWater, speed);
    for (const std::unique_ptr<GLocation>& location : world.GetLocations()) {
        if (location.get() != bin && AdmitsPuff(*location))
            stores.grownFieldFood += Grown(*location, kResourceFood, speed);
    }
    for (const std::unique_ptr<GCreature>& creature : world.GetCreatures()) {
        stores.hunger.push_back(creature->GetHunger());
        stores.thirst.push_back(creature->GetThirst());
        stores.coefficients.push_back(creature->GetCreatureData()->hungerAddCoef);
    }
    return stores;
}

int Apply(int value, int change, float coefficient) {
    const int added = static_cast<int>(static_cast<float>(change) * coefficient);
    return std::clamp(value + added, 0, 100);
}

// Steps 5 to 7 of the feeding rule: what each creature's hunger and thirst become.
void ExpectFed(GWorld& world, const Stores& before, int cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    const GlobalData& params = world.GetGlobalData();
    const int count = static_cast<int>(before.hunger.size());
    const float speed = world.GetSpeedValue();
    const int food = before.binFood == 0 ? before.grownFieldFood : before.binFood;
    const int water = before.poolApplies ? before.grownPoolWater : before.water;
    const int foodNeed = static_cast<int>(static_cast<float>(count * params.needFood) * speed);
    const int waterNeed = static_cast<int>(static_cast<float>(count * params.needWater) * speed);
    const int hunger =
        foodNeed > food
            ? static_cast<int>(static_cast<float>((foodNeed - food) / count) * params.hungerHRR)
            : -params.hungerReduction;
    int thirst =
        waterNeed > water
            ? static_cast<int>(static_cast<float>((waterNeed - water) / count) * params.thirstHRR)
            : -params.thirstReduction;
    if (waterNeed > water && !world.IsEventSet(5)) thirst = 0;
    ASSERT_EQ(world.GetCreatures().size(), before.hunger.size());
    for (int i = 0; i < count; ++i) {
        const GCreature& creature = *world.GetCreatures()[i];
        EXPECT_EQ(creature.GetHunger(), Apply(before.hunger[i], hunger, before.coefficients[i]))
            << i;
        EXPECT_EQ(creature.GetThirst(), Apply(before.thirst[i], thirst, before.coefficients[i]))
            << i;
    }
}

TEST(WorldPassesTest, TenCyclesOfANewGameFeedTheTribeByTheRule) {
    WorldDriver driver;
    GWorld& world = driver.World();
    ASSERT_EQ(world.GetCreatures().size(), 4u);
    for (const std::unique_ptr<GCreature>& creature : world.GetCreatures()) {
        creature->SetHunger(60);
        creature->SetThirst(60);
    }
    int cycles = 0;
    for (int tick = 0; tick < 2000 && cycles < 10; ++tick) {
        // Lean times at the fourth and fifth cycles; the snow melts at the sixth; water runs
        // short and the bin is built at the eighth.
        if (world.GetPlay().currentTime == 350) world.GetGlobalData().needFood = 200;
        if (world.GetPlay().currentTime == 550) world.GetGlobalData().needFood = 2;
        if (world.GetPlay().currentTime == 550) world.GetGlobalData().SetEvent(5, true);
        if (world.GetPlay().currentTime == 750) {
            if (GLocation* fall = world.GetPlace(GWorld::kWaterFall))
                fall->SetQuantity(kResourceWater, 3);
            world.GetGlobalData().SetEvent(1, true);
        }
        const uint32_t lastCycle = world.GetPlay().lastCycleTime;
        const Stores before = ReadStores(world);
        ASSERT_TRUE(driver.Tick()) << driver.Problem();
        if (world.GetPlay().lastCycleTime == lastCycle) continue;
        ++cycles;
        ExpectFed(world, before, cycles);
    }
    EXPECT_EQ(cycles, 10);
}

// Hears the starters' calls; now and then (three times) a creature that asks to run away leaves
// the world at once, inside the pass that asked.
class LeavingStarters : public GStarterListener {
public:
    explicit LeavingStarters(GWorld& world) : mWorld(world) {}
    void OnStarterCalled(const GStarterCall& call) override {
        ++kinds[call.kind];
        if (call.kind == kTaskRunAway && ++mRuns % 40 == 0 && mLeft < 3) {
            ++mLeft;
            mWorld.QueueForDeletion(call.subject);
        }
    }
    int kinds[kTaskKindCount] = {};

private:
    GWorld& mWorld;
    int mRuns = 0;
    int mLeft = 0;
};

TEST(WorldPassesTest, TwoThousandTicksWithHyenasKeepEveryTaskInTheWorld) {
    WorldDriverOptions options;
    options.allTutorialFlags = true;
    WorldDriver driver(options);
    GWorld& world = driver.World();
    world.GetGlobalData().monstersProbability = 100;
    world.GetGlobalData().monstersPeriod = 50;
    LeavingStarters starters(world);
    world.SetStarterListener(&starters);
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(world.CreateCreature("BasicPuff", -1, -1));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(world.CreateMonster("BasicHyena", -1, -1));
    const int kinds[] = {kTaskForage, kTaskBuild, kTaskGoToTarget, kTaskRest};

    for (int tick = 0; tick < 2000; ++tick) {
        GSchedule& schedule = world.GetSchedule();
        const uint32_t now = world.GetPlay().currentTime;
        // The tribe keeps busy with tasks of a few ticks of the test's own.
        for (size_t i = 0; i < world.GetCreatures().size(); ++i) {
            GCreature* creature = world.GetCreatures()[i].get();
            if (creature->GetTask() == nullptr && (tick + i) % 3 == 0)
                simtest::AddTask(schedule, creature, nullptr, now + 5 + i % 7, kinds[i % 4]);
        }
        // The hyenas prowl: each walks on a task of its own, now and then beside a creature.
        for (size_t i = 0; i < world.GetMonsters().size(); ++i) {
            GMonster* hyena = world.GetMonsters()[i].get();
            if (hyena->GetTask() == nullptr)
                simtest::AddTask(schedule, hyena, nullptr, now + 9, kTaskFlakeOut);
            if (tick % 40 == static_cast<int>(i) && !world.GetCreatures().empty()) {
                const GCreature& near =
                    *world.GetCreatures()[(tick / 40) % world.GetCreatures().size()];
                if (near.GetView() != nullptr && hyena->GetView() != nullptr)
                    hyena->GetView()->SetPosition(near.GetView()->GetX() + 150.0f,
                                                  near.GetView()->GetY());
            }
        }
        // Now and then one dies between ticks.
        if (tick % 250 == 100 && world.GetCreatures().size() > 6)
            world.OnCreatureDeath(world.GetCreatures()[1].get(), 0);
        ASSERT_TRUE(driver.Tick()) << driver.Problem();
    }
    EXPECT_GT(starters.kinds[kTaskRunAway], 0);
    EXPECT_GT(starters.kinds[kTaskGoToTarget], 0);
    EXPECT_GT(starters.kinds[kTaskFlakeOut], 0);
    EXPECT_GT(world.GetCreatures().size(), 4u);
    EXPECT_EQ(world.GetPlay().currentTime, 2000u);
}

}  // namespace
