// The creature's state: construction, the simple operations, the queries on its block
// (production, research, actions, the strongest task) and the making of items.
#include "simulation/creature.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "recordingworld.h"
#include "shippeddefinitions.h"
#include "simulation/data/locationdata.h"
#include "simulation/location.h"
#include "support/logcapture.h"
#include "support/printers.h"
#include "xmlfixture.h"

namespace {

using simtest::CreatureBlock;
using simtest::MakeCreature;
using simtest::MakePlace;
using simtest::RecordingWorld;
using simtest::ResourceRecord;

TEST(CreatureTest, ConstructionValues) {
    GCreature creature;
    EXPECT_EQ(creature.GetKind(), GObject::kCreature);
    EXPECT_EQ(creature.GetWorld(), nullptr);
    EXPECT_EQ(creature.GetLastTask(), 0);
    EXPECT_TRUE(creature.GetGoThere());
    EXPECT_EQ(creature.GetDeathAge(), 100);
    EXPECT_EQ(creature.GetHunger(), 0);
    EXPECT_EQ(creature.GetOverrideProb(), 90);
    EXPECT_EQ(creature.GetOverrideTarget(), nullptr);
    EXPECT_FALSE(creature.IsBreedAllowed());
    EXPECT_FALSE(creature.IsDefendAllowed());
    EXPECT_FALSE(creature.HasPatrolCenter());
    EXPECT_EQ(creature.GetRouteIndex(), 0);
    EXPECT_EQ(creature.GetRouteStep(), 1);
    EXPECT_EQ(creature.GetMode(), 0);
    for (int need : {1, 2, 3, 4, 5})
        EXPECT_EQ(creature.GetPlace(need), nullptr);
    EXPECT_EQ(creature.GetLevel(), 0);  // no block
    EXPECT_TRUE(creature.HasTaskData(0));
    EXPECT_FALSE(creature.HasTaskData(2));
    EXPECT_EQ(creature.GetTaskProduction(2), 0);
    EXPECT_EQ(creature.GetStrongestTask(), 0);
}

TEST(CreatureTest, SimpleOperations) {
    RecordingWorld world;
    auto creature = MakeCreature(&world, CreatureBlock("Puff", {{1, 5}, {2, 3}}));
    auto place = MakePlace("Food bin");
    auto other = MakePlace("Water tank");
    const struct {
        const char* operation;
        std::function<void(GCreature&)> check;
    } rows[] = {
        {"SetOverrideTask: the same kind keeps the preferred target",
         [&](GCreature& c) {
             c.SetOverrideTask(2);
             c.SetOverrideTarget(place.get());
             c.SetOverrideTask(2);
             EXPECT_EQ(c.GetOverrideTarget(), place.get());
             c.SetOverrideTask(3);
             EXPECT_EQ(c.GetOverrideTarget(), nullptr);
             EXPECT_FALSE(c.IsBreedAllowed());
             EXPECT_FALSE(c.IsDefendAllowed());
         }},
        {"SetOverrideTask: breed allows breeding, defend defending",
         [&](GCreature& c) {
             c.SetOverrideTask(1);
             EXPECT_TRUE(c.IsBreedAllowed());
             EXPECT_FALSE(c.IsDefendAllowed());
             c.SetOverrideTask(6);
             EXPECT_FALSE(c.IsBreedAllowed());
             EXPECT_TRUE(c.IsDefendAllowed());
             c.SetOverrideTask(0);
             EXPECT_FALSE(c.IsDefendAllowed());
         }},
        {"a lion may always defend",
         [&](GCreature& c) {
             c.SetData(CreatureBlock("Lion"));
             EXPECT_TRUE(c.IsDefendAllowed());
             c.SetOverrideTask(2);
             EXPECT_TRUE(c.IsDefendAllowed());
             c.SetData(CreatureBlock("Puff"));
             EXPECT_FALSE(c.IsDefendAllowed());
         }},
        {"SetData refuses a location block and keeps the old one",
         [&](GCreature& c) {
             testing_support::LogCapture log;
             GCreatureData* before = c.GetCreatureData();
             c.SetDefendAllowed(true);
             c.SetData(std::make_unique<GLocationData>());
             EXPECT_EQ(c.GetCreatureData(), before);
             EXPECT_TRUE(c.IsDefendAllowed());
             EXPECT_EQ(log.Messages(),
                       std::vector<std::string>{"GCreature::SetData: not a creature block"});
         }},
        {"AddValidBuildTarget refuses three places and duplicates",
         [&](GCreature& c) {
             std::vector<std::unique_ptr<GLocation>> refused;
             for (const char* name : {"Konut Roots", "PreFlower", "YayaFlower"}) {
                 refused.push_back(MakePlace(name));
                 c.AddValidBuildTarget(refused.back().get());
             }
             c.AddValidBuildTarget(nullptr);
             c.AddValidBuildTarget(place.get());
             c.AddValidBuildTarget(place.get());
             EXPECT_EQ(c.GetValidBuildTargets(), std::vector<GLocation*>{place.get()});
             EXPECT_TRUE(c.IsValidBuildTarget(place.get()));
             EXPECT_FALSE(c.IsValidBuildTarget(nullptr));
             EXPECT_FALSE(c.RemoveValidBuildTarget(other.get()));
             EXPECT_TRUE(c.RemoveValidBuildTarget(place.get()));
             EXPECT_TRUE(c.GetValidBuildTargets().empty());
         }},
        {"HasValidBuildTargets removes only the first null entry",
         [&](GCreature& c) {
             auto site = MakePlace("Well", {ResourceRecord(3, 5)});
             site->GetLocationData()->resources[0].requiredItem = 2;
             c.AppendValidBuildTarget(nullptr);
             c.AppendValidBuildTarget(other.get());
             c.AppendValidBuildTarget(nullptr);
             c.AppendValidBuildTarget(site.get());
             EXPECT_FALSE(c.HasValidBuildTargets(1));
             EXPECT_EQ(c.GetValidBuildTargets(),
                       (std::vector<GLocation*>{other.get(), nullptr, site.get()}));
             EXPECT_TRUE(c.HasValidBuildTargets(2));
             EXPECT_EQ(c.GetValidBuildTargets(),
                       (std::vector<GLocation*>{other.get(), site.get()}));
         }},
        {"HasCollectedPrescriptions",
         [&](GCreature& c) {
             EXPECT_TRUE(c.HasCollectedPrescriptions({}));
             EXPECT_FALSE(c.HasCollectedPrescriptions({3}));
             c.GetPrescriptions() = {{3, true}, {1, true}};
             EXPECT_TRUE(c.HasCollectedPrescriptions({}));
             EXPECT_TRUE(c.HasCollectedPrescriptions({1, 3}));
             EXPECT_FALSE(c.HasCollectedPrescriptions({3}));  // shorter than the creature's
             EXPECT_FALSE(c.HasCollectedPrescriptions({3, 2}));
             c.GetPrescriptions()[1].collected = false;
             EXPECT_FALSE(c.HasCollectedPrescriptions({1, 3}));
         }},
        {"RememberTaskTargets keeps the side given as null",
         [&](GCreature& c) {
             c.RememberTaskTargets(2, place.get(), nullptr);
             EXPECT_EQ(c.GetBeforeTarget(2), place.get());
             EXPECT_EQ(c.GetAfterTarget(2), nullptr);
             c.RememberTaskTargets(2, nullptr, other.get());
             EXPECT_EQ(c.GetBeforeTarget(2), place.get());
             EXPECT_EQ(c.GetAfterTarget(2), other.get());
             c.RememberTaskTargets(2, other.get(), nullptr);
             EXPECT_EQ(c.GetBeforeTarget(2), other.get());
             EXPECT_EQ(c.GetAfterTarget(2), other.get());
         }},
        {"SetTaskTargets sets an entry there and the last targets of LastTask",
         [&](GCreature& c) {
             c.SetTaskTargets(3, place.get(), other.get());
             EXPECT_TRUE(c.GetTasksMemory().empty());
             EXPECT_EQ(c.GetTaskTargets(3).before, nullptr);
             c.RememberTaskTargets(3, nullptr, nullptr);
             c.SetLastTask(3);
             c.SetTaskTargets(3, place.get(), other.get());
             EXPECT_EQ(c.GetBeforeTarget(3), place.get());
             EXPECT_EQ(c.GetLastBeforeTarget(), place.get());
             EXPECT_EQ(c.GetLastAfterTarget(), other.get());
             c.SetTaskTargets(3, nullptr, nullptr);  // nulls are set too
             EXPECT_EQ(c.GetAfterTarget(3), nullptr);
             EXPECT_EQ(c.GetLastAfterTarget(), nullptr);
         }},
        {"GetResource of an absent type is 0",
         [&](GCreature& c) {
             EXPECT_EQ(c.GetResource(1), 0);
             c.SetResource(1, 12);
             EXPECT_EQ(c.GetResource(1), 12);
             EXPECT_EQ(c.GetResource(2), 0);
         }},
        {"excluded tasks hold each kind once",
         [&](GCreature& c) {
             c.ExcludeTask(4);
             c.ExcludeTask(4);
             EXPECT_TRUE(c.IsTaskExcluded(4));
             EXPECT_FALSE(c.IsTaskExcluded(5));
             EXPECT_EQ(c.GetExcludedTasks().size(), 1u);
         }},
        {"place entries of the three need kinds",
         [&](GCreature& c) {
             c.SetPlace(GCreature::kWaterPlace, other.get());
             c.SetPlace(7, place.get());
             EXPECT_EQ(c.GetPlace(GCreature::kWaterPlace), other.get());
             EXPECT_EQ(c.GetPlace(GCreature::kFoodPlace), nullptr);
             EXPECT_EQ(c.GetPlace(7), nullptr);
         }},
        {"the home point is set when not (0, 0)",
         [&](GCreature& c) {
             c.SetPatrolCenter({0, 4});
             EXPECT_TRUE(c.HasPatrolCenter());
             c.SetPatrolCenter({0, 0});
             EXPECT_FALSE(c.HasPatrolCenter());
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.operation);
        auto fresh = MakeCreature(&world, CreatureBlock("Puff", {{1, 5}, {2, 3}}));
        row.check(*fresh);
    }
}

TEST(CreatureTest, TaskProduction) {
    RecordingWorld world;
    auto creature = MakeCreature(&world, CreatureBlock("Puff"));
    GCreatureData* data = creature->GetCreatureData();
    data->aiCoefs[4].production = 5;
    data->aiCoefs[1].production = 3;
    data->aiCoefs[2].production = 1;
    data->aiCoefs[3].production = 0;
    data->aiCoefs[5].production = 10;
    const struct {
        const char* name;
        int kind;
        int item;
        bool special;
        float speed;
        int expected;
    } rows[] = {
        {"no entry", 8, 0, false, 1.0f, 0},
        {"plain build", 4, 0, false, 1.0f, 5},
        {"special shovel doubles a build", 4, 2, true, 1.0f, 10},
        {"special tomahawk doubles a build", 4, 4, true, 1.0f, 10},
        {"special hammer triples a build", 4, 3, true, 1.0f, 15},
        {"a plain hammer does not", 4, 3, false, 1.0f, 5},
        {"a special stick does not", 4, 1, true, 1.0f, 5},
        {"special tools help only builds", 2, 3, true, 1.0f, 1},
        {"speed 2.0 doubles", 4, 0, false, 2.0f, 10},
        {"speed 0.5 truncates", 4, 0, false, 0.5f, 2},
        {"the product in single precision: 0.7 x 10 is 7", 5, 0, false, 0.7f, 7},
        {"speed 0.5 with Production 1 still gives 1", 2, 0, false, 0.5f, 1},
        {"speed 0.5 with Production 0 gives 0", 3, 0, false, 0.5f, 0},
        {"speed 0 with Production 1 gives 1", 2, 0, false, 0.0f, 1},
        {"breed is never scaled", 1, 0, false, 2.0f, 3},
        {"breed at speed 0", 1, 0, false, 0.0f, 3},
        {"a huge speed saturates", 4, 3, true, 1e30f, 2147483647},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        creature->SetItemType(row.item);
        creature->SetItemSpecial(row.special);
        world.speedValue = row.speed;
        EXPECT_EQ(creature->GetTaskProduction(row.kind), row.expected);
    }
}

TEST(CreatureTest, CanDoActionTestsInOrder) {
    RecordingWorld world;
    world.events = {12};
    auto creature = MakeCreature(&world, CreatureBlock("Zebra", {{4, 1}}));
    creature->GetCreatureData()->level = 2;
    creature->SetItemType(6);
    creature->SetResource(1, 1);
    const auto record = [](int action) {
        GResourceRecord r;
        r.action = action;
        return r;
    };
    const struct {
        const char* name;
        std::function<void(GResourceRecord&)> change;
        bool expected;
    } rows[] = {
        {"everything met", [](GResourceRecord&) {}, true},
        {"kind 0 needs no AI entry", [](GResourceRecord& r) { r.action = 0; }, true},
        {"1: a kind without AI values", [](GResourceRecord& r) { r.action = 2; }, false},
        {"2: another item", [](GResourceRecord& r) { r.requiredItem = 2; }, false},
        {"2: a nail serves for a hammer", [](GResourceRecord& r) { r.requiredItem = 3; }, true},
        {"2: the item carried", [](GResourceRecord& r) { r.requiredItem = 6; }, true},
        {"3: another name", [](GResourceRecord& r) { r.requiredName = "Giraffe"; }, false},
        {"3: the block's name", [](GResourceRecord& r) { r.requiredName = "Zebra"; }, true},
        {"4: a higher level", [](GResourceRecord& r) { r.requiredLevel = 3; }, false},
        {"4: the same level", [](GResourceRecord& r) { r.requiredLevel = 2; }, true},
        {"5: a resource not carried", [](GResourceRecord& r) { r.requiredType = 2; }, false},
        {"5: a resource carried", [](GResourceRecord& r) { r.requiredType = 1; }, true},
        {"6: an event not set", [](GResourceRecord& r) { r.requiredEvent = 13; }, false},
        {"6: an event set", [](GResourceRecord& r) { r.requiredEvent = 12; }, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        GResourceRecord r = record(4);
        row.change(r);
        EXPECT_EQ(creature->CanDoAction(r), row.expected);
    }
    // The first failure ends the tests: the world is not asked about the event.
    GResourceRecord early = record(4);
    early.requiredLevel = 9;
    early.requiredEvent = 12;
    world.eventQuestions = 0;
    EXPECT_FALSE(creature->CanDoAction(early));
    EXPECT_EQ(world.eventQuestions, 0);
}

TEST(CreatureTest, CanResearch) {
    RecordingWorld world;
    auto researcher = MakeCreature(&world, CreatureBlock("Zebra", {{8, 1}}));
    auto other = MakeCreature(&world, CreatureBlock("Puff", {{2, 1}}));
    researcher->SetItemType(1);
    GComponentRecord component;
    component.researchQuantity = 4;
    EXPECT_TRUE(researcher->CanResearch(component));
    EXPECT_FALSE(other->CanResearch(component));
    component.itemRequiredToResearch = 1;
    EXPECT_TRUE(researcher->CanResearch(component));
    component.itemRequiredToResearch = 2;
    EXPECT_FALSE(researcher->CanResearch(component));
    component.itemRequiredToResearch = 0;
    component.researchQuantity = 0;
    EXPECT_FALSE(researcher->CanResearch(component));
}

TEST(CreatureTest, StrongestTaskNeedsPermissionForBreedAndDefend) {
    RecordingWorld world;
    auto breeder = MakeCreature(&world, CreatureBlock("Puff", {{1, 50}, {2, 10}}));
    EXPECT_EQ(breeder->GetStrongestTask(), 0);
    breeder->SetBreedAllowed(true);
    EXPECT_EQ(breeder->GetStrongestTask(), 1);
    auto defender = MakeCreature(&world, CreatureBlock("Puff", {{6, 50}, {2, 10}}));
    EXPECT_EQ(defender->GetStrongestTask(), 0);
    defender->SetOverrideTask(6);
    EXPECT_EQ(defender->GetStrongestTask(), 6);
    auto lion = MakeCreature(&world, CreatureBlock("Lion", {{6, 50}}));
    EXPECT_EQ(lion->GetStrongestTask(), 6);
    auto worker = MakeCreature(&world, CreatureBlock("Puff", {{2, 10}, {4, 30}}));
    EXPECT_EQ(worker->GetStrongestTask(), 4);

    worker->RaiseTaskWeight(2, 50);  // forwards to the block: 10 + 40 x 50 / 100
    EXPECT_EQ(worker->GetCreatureData()->aiCoefs[2].weight, 30);
}

TEST(CreatureTest, CanProduceItem) {
    RecordingWorld world;
    world.events = {35};
    auto maker = [&] {
        auto creature = MakeCreature(&world, CreatureBlock("Gorilla", {{16, 1}}));
        creature->GetCreatureData()->level = 2;
        creature->SetItemType(3);
        return creature;
    };
    // An Item record as the definition files give it: the flag is "SaveItemRequired".
    const auto record = [] {
        GResourceRecord r;
        r.type = 5;
        r.action = 16;
        r.productionItem = 9;
        r.requiredItemSave = 1;
        return r;
    };
    const struct {
        const char* name;
        std::function<void(GResourceRecord&)> change;
        bool pairReady;
        bool expected;
    } rows[] = {
        {"everything met", [](GResourceRecord&) {}, false, true},
        {"1: no item", [](GResourceRecord& r) { r.productionItem = 0; }, false, false},
        {"2: another required item", [](GResourceRecord& r) { r.requiredItem = 1; }, false, false},
        {"2: the hammer carried", [](GResourceRecord& r) { r.requiredItem = 3; }, false, true},
        {"3: the item carried already", [](GResourceRecord& r) { r.productionItem = 3; }, false,
         false},
        {"3: without the may-produce flag", [](GResourceRecord& r) { r.requiredItemSave = 0; },
         false, false},
        {"4: another name", [](GResourceRecord& r) { r.requiredName = "Lion"; }, false, false},
        {"5: a higher level", [](GResourceRecord& r) { r.requiredLevel = 3; }, false, false},
        {"6: an event not set", [](GResourceRecord& r) { r.requiredEvent = 36; }, false, false},
        {"6: an event set", [](GResourceRecord& r) { r.requiredEvent = 35; }, false, true},
        {"7: wood for a hammer before the last pair",
         [](GResourceRecord& r) { r.productionItem = 11; }, false, false},
        {"7: wood for a hammer once it is ready", [](GResourceRecord& r) { r.productionItem = 11; },
         true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto creature = maker();
        GResourceRecord r = record();
        row.change(r);
        world.lastPairReady = row.pairReady;
        EXPECT_EQ(creature->CanProduceItem(r), row.expected);
        EXPECT_EQ(creature->GetItemInWork(), row.expected ? r.productionItem : 0);
    }
    // Wood asks the world only of a hammer holder.
    world.pairQuestions = 0;
    auto creature = maker();
    creature->SetItemType(4);
    GResourceRecord wood = record();
    wood.productionItem = 11;
    EXPECT_TRUE(creature->CanProduceItem(wood));
    EXPECT_EQ(world.pairQuestions, 0);
    creature->SetItemType(3);
    creature->CanProduceItem(wood);
    EXPECT_EQ(world.pairQuestions, 1);
}

TEST(CreatureTest, TheMayProduceFlagIsSaveItemRequired) {
    RecordingWorld world;
    auto puff = MakeCreature(&world, std::make_unique<GCreatureData>(
                                         simtest::ShippedDefinitions::Creature("BasicPuff")));
    const GLocationData& pile = simtest::ShippedDefinitions::Location("Sticks Pile");
    ASSERT_EQ(pile.resources.size(), 1u);
    EXPECT_TRUE(puff->CanProduceItem(pile.resources[0]));
    EXPECT_EQ(puff->GetItemInWork(), 1);

    // The same record without the attribute can never be made.
    GlobalData params;
    GNameRegistry names;
    names.SetGameParams(&params);
    simtest::XmlDoc doc(R"(<Location Name="Pile"><Animator Name="p"/><Resources>
        <Item Quantity="1" Action="productitem" ItemProducted="Stick"/></Resources></Location>)");
    const auto* unflagged =
        static_cast<const GLocationData*>(names.LoadLocationDefinition(doc.Top(), nullptr).stored);
    ASSERT_NE(unflagged, nullptr);
    EXPECT_FALSE(puff->CanProduceItem(unflagged->resources[0]));
}

}  // namespace
