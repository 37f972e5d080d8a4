// The creature's life: hunger and thirst, health over a cycle, death, speed and illness by age,
// devolving and changing form.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "foundation/random.h"
#include "recordingworld.h"
#include "shippeddefinitions.h"
#include "simulation/creature.h"
#include "simulation/schedule/schedule.h"
#include "support/printers.h"
#include "testobjects.h"

namespace {

using simtest::CreatureBlock;
using simtest::MakeCreature;
using simtest::RecordingWorld;
using simtest::SeedWhere;

// A puff of 100 health that eats and drinks.
std::unique_ptr<GCreatureData> Eater() {
    auto block = CreatureBlock("Puff");
    block->startHealth = 100;
    block->currentHealth = 100;
    block->consumptions[1] = {};
    block->consumptions[2] = {};
    return block;
}

TEST(CreatureLifeTest, HungerAndThirstGrowByTheCoefficientWithin0And100) {
    const struct {
        const char* name;
        float coef;
        int start;
        float delta;
        int expected;
    } rows[] = {
        {"plain", 1.0f, 10, 25.0f, 35},
        {"the coefficient, truncated", 0.5f, 10, 25.0f, 22},
        {"a negative delta", 1.0f, 10, -4.9f, 6},
        {"at most 100", 1.0f, 90, 25.0f, 100},
        {"at least 0", 1.0f, 10, -50.0f, 0},
        {"a huge delta", 1.0f, 10, 1e30f, 100},
        {"a huge negative delta", 1.0f, 10, -1e30f, 0},
        {"NaN adds nothing", 1.0f, 10, std::nanf(""), 10},
        // Both factors are floats: their product is one too, so 10 x 0.7 is 7, not 6.
        {"the product in single precision", 0.7f, 0, 10.0f, 7},
    };
    RecordingWorld world;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto creature = MakeCreature(&world, Eater());
        creature->GetCreatureData()->hungerAddCoef = row.coef;
        creature->SetHunger(row.start);
        creature->SetThirst(row.start);
        creature->AddHunger(row.delta);
        creature->AddThirst(row.delta);
        EXPECT_EQ(creature->GetHunger(), row.expected);
        EXPECT_EQ(creature->GetThirst(), row.expected);
    }
}

TEST(CreatureLifeTest, HungryAndThirstyNeedTheNeedAndLowHealth) {
    RecordingWorld world;
    auto creature = MakeCreature(&world, Eater());
    GCreatureData* data = creature->GetCreatureData();
    data->healthPercentsToEat = 15.0f;
    creature->SetHunger(51);
    creature->SetThirst(50);
    data->currentHealth = 15;
    EXPECT_TRUE(creature->IsHungry());
    EXPECT_FALSE(creature->IsThirsty());
    data->currentHealth = 16;
    EXPECT_FALSE(creature->IsHungry());
    creature->SetThirst(100);
    data->currentHealth = -3;
    EXPECT_TRUE(creature->IsThirsty());
    // The share of StartHealth in single precision: 1000 x 0.7 / 100 is 7.
    data->startHealth = 1000;
    data->healthPercentsToEat = 0.7f;
    data->currentHealth = 7;
    EXPECT_TRUE(creature->IsHungry());
    data->currentHealth = 8;
    EXPECT_FALSE(creature->IsHungry());
}

TEST(CreatureLifeTest, LiveCycle) {
    struct Expected {
        int health;
        int lostH;
        int lostT;
        int lostD;
        bool died;
        std::vector<int> asked;
    };
    const struct {
        const char* name;
        std::function<void(GCreature&, GCreatureData&, RecordingWorld&)> set;
        Expected expected;
    } rows[] = {
        {"Hunger 60 with HealthLost 10 loses 6",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetHunger(60);
             d.consumptions[1].healthLost = 10;
             d.lostHealthH = 2;
         },
         {94, 8, 0, 0, false, {}}},
        {"Thirst the same on LostHealthT",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetThirst(75);
             d.consumptions[2].healthLost = 10;
         },
         {92, 0, 7, 0, false, {}}},
        {"a fraction of a loss is kept to the end",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetHunger(55);
             c.SetThirst(55);
             d.consumptions[1].healthLost = 3;
             d.consumptions[2].healthLost = 3;
         },
         {96, 1, 1, 0, false, {}}},
        {"Hunger 5 with HealthAdd 4 regains 4 of LostHealthH 10",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetHunger(5);
             c.SetThirst(30);
             d.consumptions[1].healthAdd = 4;
             d.lostHealthH = 10;
             d.currentHealth = 80;
         },
         {84, 6, 0, 0, false, {}}},
        {"and only the 3 of LostHealthH 3, which stays at 0",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetHunger(5);
             c.SetThirst(30);
             d.consumptions[1].healthAdd = 4;
             d.lostHealthH = 3;
             d.currentHealth = 80;
         },
         {83, 0, 0, 0, false, {}}},
        {"Hunger and Thirst from 10 to 50 change nothing",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetHunger(10);
             c.SetThirst(50);
             d.consumptions[1] = {0, 0, 0, 0, 10, 10};
             d.consumptions[2] = {0, 0, 0, 0, 10, 10};
             d.lostHealthH = 5;
             d.currentHealth = 80;
         },
         {80, 5, 0, 0, false, {}}},
        {"without a consumption the need costs nothing",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetHunger(100);
             d.consumptions.clear();
         },
         {100, 0, 0, 0, false, {}}},
        {"never above StartHealth - LostHealthD",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetHunger(5);
             c.SetThirst(30);
             d.consumptions[1].healthAdd = 4;
             d.lostHealthH = 10;
             d.lostHealthD = 20;
             d.currentHealth = 79;
         },
         {80, 6, 0, 20, false, {}}},
        {"disease: its loss, and LostHealthD grows by it truncated",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetDisease(1);
             d.diseaseHealthLost = 2.5f;
             d.lostHealthD = 1;
         },
         {97, 0, 0, 3, false, {}}},
        {"the losses add in single precision: 1.1 + 2.9 is 4",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetDisease(1);
             d.diseaseHealthLost = 1.1f;
             c.SetHunger(58);
             d.consumptions[1].healthLost = 5;
         },
         {96, 2, 0, 1, false, {}}},
        {"health gone: the graveyard",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetHunger(60);
             d.consumptions[1].healthLost = 10;
             d.currentHealth = 6;
         },
         {0, 6, 0, 0, true, {37}}},
        {"dying while the ark is full: alive at 0 or below, asking nothing",
         [](GCreature& c, GCreatureData& d, RecordingWorld& w) {
             w.events = {30};
             c.SetHunger(100);
             d.consumptions[1].healthLost = 10;
             d.currentHealth = 5;
         },
         {-5, 10, 0, 0, false, {}}},
        {"a loss of 1e9 saturates and kills",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetDisease(2);
             d.diseaseHealthLost = 1e9f;
         },
         {-32768, 0, 0, 32767, true, {37}}},
        {"a gain of 1e9 is capped",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetHunger(0);
             d.consumptions[1].healthAdd = 1000000000;
             d.lostHealthH = 32767;
             d.lostHealthD = 0;
         },
         {100, 0, 0, 0, false, {}}},
        {"a NaN loss gives 0 health",
         [](GCreature& c, GCreatureData& d, RecordingWorld&) {
             c.SetDisease(1);
             d.diseaseHealthLost = std::nanf("");
             d.currentHealth = 50;
         },
         {0, 0, 0, 0, true, {37}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingWorld world;
        auto creature = MakeCreature(&world, Eater());
        GCreatureData& data = *creature->GetCreatureData();
        creature->SetHunger(30);
        creature->SetThirst(30);
        row.set(*creature, data, world);
        EXPECT_EQ(creature->LiveCycle(), row.expected.died);
        EXPECT_EQ(data.currentHealth, row.expected.health);
        EXPECT_EQ(data.lostHealthH, row.expected.lostH);
        EXPECT_EQ(data.lostHealthT, row.expected.lostT);
        EXPECT_EQ(data.lostHealthD, row.expected.lostD);
        EXPECT_EQ(world.Kinds(), row.expected.asked);
        EXPECT_EQ(world.rolls, 0);  // no generator: no illness
    }
}

TEST(CreatureLifeTest, WithoutAWorldHealthGoneStillAnswersDeath) {
    GCreature creature;
    creature.SetData(Eater());
    creature.SetHunger(100);
    creature.GetCreatureData()->consumptions[1].healthLost = 10;
    creature.GetCreatureData()->currentHealth = 5;
    EXPECT_TRUE(creature.LiveCycle());  // nobody to ask for the graveyard, but dead
    EXPECT_EQ(creature.GetCreatureData()->currentHealth, -5);

    creature.SetHunger(30);
    creature.GetCreatureData()->currentHealth = 5;
    EXPECT_FALSE(creature.LiveCycle());
}

TEST(CreatureLifeTest, ADevolvingCreatureSkipsItsCycle) {
    RecordingWorld world;
    TRandom random;
    auto creature = MakeCreature(&world, Eater(), &random);
    creature->SetHunger(100);
    creature->GetCreatureData()->consumptions[1].healthLost = 500;
    GSchedule schedule;
    simtest::AddTask(schedule, creature.get(), nullptr, 100, 15);
    TRandom untouched = random;
    EXPECT_FALSE(creature->LiveCycle());
    EXPECT_EQ(creature->GetCreatureData()->currentHealth, 100);
    EXPECT_EQ(random.Next(), untouched.Next());
    EXPECT_TRUE(world.starts.empty());
}

TEST(CreatureLifeTest, FallingIllByAge) {
    struct Case {
        const char* name;
        int minAge;
        float age;
        int drawn;
        bool ill;
        float probMax = 60.0f;
    };
    // DiseaseProbMin 0, DiseaseProbMax 60 unless the row says.
    const Case rows[] = {
        {"p 30 at 70: drawn 0", 40, 70.0f, 0, true},
        {"p 30 at 70: drawn 29", 40, 70.0f, 29, true},
        {"p 30 at 70: drawn 30", 40, 70.0f, 30, false},
        {"p 30 at 70: drawn 100", 40, 70.0f, 100, false},
        {"no chance up to DiseaseMinAge", 40, 40.0f, 0, false},
        {"DiseaseMinAge 100: ProbMax past it", 100, 100.5f, 59, true},
        {"DiseaseMinAge 100: ProbMax past it, drawn 60", 100, 100.5f, 60, false},
        {"DiseaseMinAge 120: nothing up to it", 120, 110.0f, 0, false},
        {"DiseaseMinAge 120: ProbMax past it", 120, 130.0f, 59, true},
        // 10.8 x 50 / 60 is 9 in single precision (slightly above 9 in double).
        {"p 9 of ProbMax 10.8 at 90: drawn 8", 40, 90.0f, 8, true, 10.8f},
        {"p 9 of ProbMax 10.8 at 90: drawn 9", 40, 90.0f, 9, false, 10.8f},
    };
    RecordingWorld world;
    for (const Case& row : rows) {
        SCOPED_TRACE(row.name);
        TRandom random = SeedWhere([&](TRandom& r) { return r.NextRange(0, 100) == row.drawn; });
        TRandom after = random;
        after.NextRange(0, 100);
        auto block = CreatureBlock("Puff");
        block->diseaseMinAge = row.minAge;
        block->diseaseProbMax = row.probMax;
        auto creature = MakeCreature(&world, std::move(block), &random);
        creature->SetAge(row.age);
        EXPECT_EQ(creature->ShouldFallIll(), row.ill);
        EXPECT_EQ(random.Next(), after.Next());  // exactly one draw
    }
    auto creature = MakeCreature(&world, CreatureBlock("Puff"));
    EXPECT_FALSE(creature->ShouldFallIll());  // no generator
}

TEST(CreatureLifeTest, TheCycleGivesTheDiseaseTheWorldRolls) {
    for (int disease : {3, 0}) {
        SCOPED_TRACE(disease);
        RecordingWorld world;
        world.disease = disease;
        TRandom random = SeedWhere([](TRandom& r) { return r.NextRange(0, 100) == 10; });
        auto block = Eater();
        block->diseaseMinAge = 40;
        block->diseaseProbMax = 60.0f;
        block->diseaseHealthLost = 4.0f;
        auto creature = MakeCreature(&world, std::move(block), &random);
        creature->SetAge(70.0f);
        creature->LiveCycle();
        EXPECT_EQ(world.rolls, 1);
        EXPECT_EQ(creature->GetDisease(), disease);
        // The new disease already costs health in this cycle.
        EXPECT_EQ(creature->GetCreatureData()->currentHealth, disease != 0 ? 96 : 100);
    }
}

TEST(CreatureLifeTest, SpeedByAge) {
    const struct {
        int minAge;
        float age;
        float expected;
    } rows[] = {
        {50, 30.0f, 2.0f},
        {50, 50.0f, 2.0f},
        {50, 75.0f, 1.5f},
        {50, 100.0f, 1.0f},
        {50, 150.0f, 1.0f},
        {-100, 0.0f, 1.5f},
        {100, 100.0f, 2.0f},
        {100, 101.0f, 1.0f},
        {120, 110.0f, 2.0f},
        {120, 121.0f, 1.0f},
        {std::numeric_limits<int>::min(), 0.0f, 1.0f},
    };
    RecordingWorld world;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "MinAge " << row.minAge << ", age " << row.age);
        auto block = CreatureBlock("Puff");
        block->speed = 2.0f;
        block->minSpeed = 1.0f;
        block->minAge = row.minAge;
        auto creature = MakeCreature(&world, std::move(block));
        creature->SetAge(row.age);
        EXPECT_FLOAT_EQ(creature->GetSpeed(), row.expected);
    }
}

TEST(CreatureLifeTest, StartDevolve) {
    RecordingWorld world;
    auto block = CreatureBlock("Zebra");
    block->fullName = "SkilledZebra";
    block->level = 2;
    auto creature = MakeCreature(&world, std::move(block));
    creature->SetItemType(2);
    creature->SetItemSpecial(true);

    world.Refuse({15});
    EXPECT_FALSE(creature->StartDevolve());
    EXPECT_EQ(creature->GetItemType(), 2);
    EXPECT_TRUE(creature->GetEvolutionMemory().empty());

    world.Refuse({});
    EXPECT_TRUE(creature->StartDevolve());
    EXPECT_EQ(world.Kinds(), (std::vector<int>{15, 15}));
    EXPECT_EQ(world.starts.back().subject, creature.get());
    EXPECT_EQ(world.starts.back().object, nullptr);
    EXPECT_EQ(creature->GetItemType(), 0);
    EXPECT_FALSE(creature->IsItemSpecial());
    ASSERT_EQ(creature->GetEvolutionMemory().size(), 1u);
    const GEvolutionMemory& remembered = creature->GetEvolutionMemory()[0];
    EXPECT_EQ(remembered.name, str("Zebra"));
    EXPECT_EQ(remembered.fullName, str("SkilledZebra"));
    EXPECT_EQ(remembered.level, 2);

    GCreature alone;
    EXPECT_FALSE(alone.StartDevolve());  // no world
}

TEST(CreatureLifeTest, ChangeData) {
    struct Health {
        int start;
        int current;
        int lostH;
        int lostT;
    };
    const struct {
        const char* name;
        Health old;
        int newStart;
        int expected;
    } rows[] = {
        {"restored by the hunger and thirst losses, then scaled", {100, 50, 10, 5}, 200, 130},
        {"restored only up to the old StartHealth", {100, 95, 10, 0}, 300, 300},
        {"scaled", {100, 50, 0, 0}, 60, 30},
        {"a new StartHealth below the old health", {100, 95, 0, 0}, 80, 80},
        {"capped at the new StartHealth", {-10, -20, 0, 0}, 5, 5},
        {"an old StartHealth of 0", {0, 0, 0, 0}, 70, 70},
        {"no overflow", {32767, 32767, 32767, 32767}, 32767, 32767},
    };
    RecordingWorld world;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto old = CreatureBlock("Puff");
        old->startHealth = static_cast<int16_t>(row.old.start);
        old->currentHealth = static_cast<int16_t>(row.old.current);
        old->lostHealthH = static_cast<int16_t>(row.old.lostH);
        old->lostHealthT = static_cast<int16_t>(row.old.lostT);
        old->lostHealthD = 4;
        auto creature = MakeCreature(&world, std::move(old));
        auto definition = CreatureBlock("Giraffe");
        definition->startHealth = static_cast<int16_t>(row.newStart);
        definition->lostHealthH = 9;
        creature->ChangeData(*definition);
        const GCreatureData& now = *creature->GetCreatureData();
        EXPECT_EQ(now.name, str("Giraffe"));
        EXPECT_EQ(now.currentHealth, row.expected);
        EXPECT_EQ(now.lostHealthD, 0);
        EXPECT_EQ(now.lostHealthH, 0);
        EXPECT_EQ(now.lostHealthT, 0);
    }
}

TEST(CreatureLifeTest, ChangeDataKeepsTheLookAndTheExperience) {
    RecordingWorld world;
    auto old = std::make_unique<GCreatureData>(simtest::ShippedDefinitions::Creature("BasicPuff"));
    old->curAnimator = 2;
    old->curHeadAnimator = 3;
    old->curVoice = 1;
    old->timeSpent[5] = 0;
    old->timeSpent[8] = -3;
    old->timeSpent[2] = 40;
    auto creature = MakeCreature(&world, std::move(old));
    creature->SetDefendAllowed(true);
    const GCreatureData& zebra = simtest::ShippedDefinitions::Creature("BasicZebra");
    creature->ChangeData(zebra);
    const GCreatureData& now = *creature->GetCreatureData();
    EXPECT_EQ(now.fullName, str("BasicZebra"));
    EXPECT_EQ(now.curAnimator, 2);
    EXPECT_EQ(now.curHeadAnimator, 3);
    EXPECT_EQ(now.curVoice, 1);
    EXPECT_EQ(now.timeSpent[2], 40);
    // A new zebra knows doctoring and research a little.
    EXPECT_EQ(now.timeSpent[5], 1);
    EXPECT_EQ(now.timeSpent[8], 1);
    EXPECT_EQ(now.currentHealth, zebra.startHealth);
    EXPECT_TRUE(creature->IsDefendAllowed());  // only the form changes
    EXPECT_EQ(zebra.curAnimator, -1);          // the prototype stays as it was

    // A zebra's experience above 1 stays; another name is not raised.
    creature->GetCreatureData()->timeSpent[5] = 7;
    creature->ChangeData(*creature->GetCreatureData());  // the definition may be the old block
    EXPECT_EQ(creature->GetCreatureData()->timeSpent[5], 7);
    creature->GetCreatureData()->timeSpent[8] = 0;
    creature->ChangeData(simtest::ShippedDefinitions::Creature("BasicGiraffe"));
    EXPECT_EQ(creature->GetCreatureData()->timeSpent[8], 0);

    GCreature bare;
    bare.ChangeData(zebra);
    EXPECT_EQ(bare.GetCreatureData()->currentHealth, zebra.startHealth);
    EXPECT_EQ(bare.GetCreatureData()->timeSpent[5], 1);
}

}  // namespace
