// Loading the game's logic and a new game on the game's own data, on the world driver; a
// thousand ticks of it; and the logic's failures on small worlds.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "foundation/prefs/prefs.h"
#include "foundation/xml/xmlnode.h"
#include "port/system/clock.h"
#include "simulation/definitions/documentelement.h"
#include "simulation/schedule/saveidregistry.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldmanager.h"
#include "support/worlddriver.h"
#include "worldfixture.h"

namespace {

using testing_support::WorldDriver;
using testing_support::WorldDriverOptions;

std::string NameOf(const GObject* object) {
    return object != nullptr ? object->GetData()->name.c_str() : "(none)";
}

TEST(WorldLogicTest, TheGamesLogicLoadsOnce) {
    WorldDriverOptions options;
    options.newGame = false;
    WorldDriver driver(options);
    GWorld& world = driver.World();
    int definitions = 0;
    world.GetNames().ForEachDefinition([&](const GObjectData&) { ++definitions; });
    EXPECT_EQ(definitions, 102);
    EXPECT_GT(world.GetRegistryValue(2), 0);  // the evolution times are computed

    const std::map<int, std::vector<int>> prescriptions = {
        {1, {}}, {2, {3}}, {3, {2, 3}}, {4, {1, 2}}, {5, {1, 2, 3}}};
    EXPECT_EQ(world.GetPrescriptionDefinitions(), prescriptions);

    EXPECT_EQ(driver.Sounds().loads, 1);
    EXPECT_TRUE(driver.Sounds().loadedWithNames);

    // The messages as the table reads them alone, once.
    TXmlNode document;
    document.LoadFile("xml/logic/messages.xml");
    MessageTable alone;
    alone.Load(DocumentElement(document), world.GetNames());
    for (int list = 0; list < MessageTable::kListCount; ++list) {
        const auto which = static_cast<MessageTable::List>(list);
        EXPECT_FALSE(world.GetMessages().GetList(which).empty()) << list;
        EXPECT_EQ(world.GetMessages().GetList(which).size(), alone.GetList(which).size()) << list;
    }
    EXPECT_EQ(world.GetGlobalData().GetNames().size(), 60u);
}

TEST(WorldLogicTest, ANewGameBuildsTheIsland) {
    WorldDriver driver;
    GWorld& world = driver.World();

    // The start layout, in order and in place.
    TXmlNode document;
    document.LoadFile("xml/logic/main.xml");
    const TXmlNode* layout = DocumentElement(document)->FindChild("World")->FindChild("Locations");
    ASSERT_EQ(world.GetLocations().size(), 45u);
    ASSERT_EQ(layout->GetChildren().size(), 45u);
    for (size_t i = 0; i < 45; ++i) {
        const TXmlNode* entry = layout->GetChildren()[i];
        const GLocation& location = *world.GetLocations()[i];
        SCOPED_TRACE(entry->GetAttribute("Name").c_str());
        EXPECT_EQ(location.GetLocationData()->name, entry->GetAttribute("Name"));
        ASSERT_NE(location.GetView(), nullptr);
        EXPECT_EQ(location.GetView()->GetX(), entry->GetAttribute("PosX").ToInt());
        EXPECT_EQ(location.GetView()->GetY(), entry->GetAttribute("PosY").ToInt());
    }

    // Every role bound, each to the one location of its name.
    const std::map<GWorld::Role, std::string> roles = {
        {GWorld::kFoodBin, "Pre_foodbin"},
        {GWorld::kWaterTank, "Pre_watertank"},
        {GWorld::kSticksPile, "Sticks Pile"},
        {GWorld::kHospital, "Pre_hospital"},
        {GWorld::kHyenaPit, "Hyena Pit"},
        {GWorld::kDevolutionPool, "Devolution Pool"},
        {GWorld::kArk, "Ark"},
        {GWorld::kMetalPile, "Metal Pile"},
        {GWorld::kWaterFall, "Water Fall"},
        {GWorld::kFertilizer, "Fertilizer"},
        {GWorld::kTreasure, "Treasure map part"},
        {GWorld::kTree, "Tree"},
        {GWorld::kRockOblingsPile, "Rock Oblings Pile"},
        {GWorld::kRockWedgesPile, "Rock Wedges Pile"},
        {GWorld::kDummy, "Dummy"},
        {GWorld::kPool, "Pool"},
    };
    std::set<const GObject*> bound;
    for (const auto& [role, name] : roles) {
        EXPECT_EQ(NameOf(world.GetPlace(role)), name);
        bound.insert(world.GetPlace(role));
    }
    // The piles' gate holds in the data already: the binding changes none of their records.
    for (GWorld::Role pile : {GWorld::kRockOblingsPile, GWorld::kRockWedgesPile, GWorld::kTree}) {
        const GLocationData* data = world.GetPlace(pile)->GetLocationData();
        const GLocationData* prototype = world.GetNames().FindLocationDefinition(data->fullName);
        ASSERT_EQ(data->resources.size(), prototype->resources.size());
        for (size_t i = 0; i < data->resources.size(); ++i) {
            EXPECT_EQ(data->resources[i].requiredEvent, prototype->resources[i].requiredEvent);
            EXPECT_EQ(data->resources[i].requiredLevel, prototype->resources[i].requiredLevel);
        }
    }
    // No hidden bonus lies on the island at the start.
    EXPECT_EQ(world.GetPlace(GWorld::kBonus), nullptr);
    for (int i = 0; i < GWorld::kPairCount; ++i) {
        EXPECT_EQ(NameOf(world.GetArkMaterials(i)), "Ark Materials " + std::to_string(i + 1));
        EXPECT_EQ(NameOf(world.GetArkPartPlace(i)), "Ark Part Place " + std::to_string(i + 1));
        bound.insert(world.GetArkMaterials(i));
        bound.insert(world.GetArkPartPlace(i));
    }
    EXPECT_EQ(bound.size(), roles.size() + 2 * GWorld::kPairCount);

    // The water fall is heard at its place.
    int falls = 0;
    for (const auto& call : driver.Sounds().played) {
        if (call.event != 58) continue;
        ++falls;
        EXPECT_EQ(call.object, world.GetPlace(GWorld::kWaterFall));
        EXPECT_EQ(call.x, 0.0f);
        EXPECT_EQ(call.y, 0.0f);
    }
    EXPECT_EQ(falls, 1);

    // Four Puffs on walkable ground, each named and looking different.
    ASSERT_EQ(world.GetCreatures().size(), 4u);
    std::set<std::string> nicknames;
    std::vector<int> heads;
    for (const auto& creature : world.GetCreatures()) {
        EXPECT_EQ(creature->GetCreatureData()->fullName, str("BasicPuff"));
        ASSERT_NE(creature->GetView(), nullptr);
        EXPECT_TRUE(
            driver.Manager().IsWalkable(creature->GetView()->GetX(), creature->GetView()->GetY()));
        nicknames.insert(creature->GetNickName().c_str());
        heads.push_back(creature->GetCreatureData()->curHeadAnimator);
    }
    EXPECT_EQ(nicknames.size(), 4u);
    EXPECT_EQ(heads, (std::vector<int>{0, 8, 1, 9}));
    EXPECT_TRUE(world.GetMonsters().empty());

    // Only the cure that needs no herbs is known.
    ASSERT_EQ(world.GetOpenPrescriptions().size(), 1u);
    EXPECT_TRUE(world.GetOpenPrescriptions()[1].empty());

    const GWorldPlay& play = world.GetPlay();
    EXPECT_EQ(play.worldState, GWorldPlay::kRunning);
    EXPECT_EQ(play.treasureSearchState, 2);
    EXPECT_EQ(play.hiddenObjectState, 0);
    EXPECT_EQ(play.realTimeStamp, CalendarTime());
    EXPECT_EQ(play.parkedA, -1);
    EXPECT_TRUE(world.GetEvents().empty());
    EXPECT_EQ(world.GetGlobalData().statMaxPopulation, 4);
    EXPECT_TRUE(driver.Sounds().enabled);
    EXPECT_EQ(driver.Prefs().GetInt("currentHeadCounter", -1, -1), 4);
    EXPECT_EQ(driver.Prefs().GetInt("historydirection", -1, -1), 0);
}

// Every object of the world, saved as the saved world writes them.
std::string SaveObjects(GWorld& world) {
    TXmlNode root;
    TXmlNode* objects = root.AddChild("Objects");
    SaveIdRegistry ids;
    for (const auto& creature : world.GetCreatures())
        creature->Save(objects->AddChild("Creature"), ids);
    for (const auto& location : world.GetLocations())
        location->Save(objects->AddChild("Location"), ids);
    world.GetSchedule().Save(objects->AddChild("Schedule"), ids);
    return root.ToString().c_str();
}

TEST(WorldLogicTest, TwoNewGamesAreAlike) {
    std::string first;
    {
        WorldDriver driver;
        first = SaveObjects(driver.World());
    }
    WorldDriver driver;
    EXPECT_EQ(SaveObjects(driver.World()), first);
    EXPECT_NE(first.find("BasicPuff"), std::string::npos);
}

TEST(WorldLogicTest, ANewGameRunsAThousandTicks) {
    WorldDriverOptions options;
    options.allTutorialFlags = true;
    WorldDriver driver(options);
    EXPECT_TRUE(driver.Ticks(1000)) << driver.Problem();
    EXPECT_EQ(driver.World().GetPlay().currentTime, 1000u);
}

TEST(WorldLogicTest, TheTutorialHyenaComesOutOfItsPit) {
    WorldDriver driver;
    GWorld& world = driver.World();
    world.GetPlay().tutorialTimer = 1;
    world.GetPlay().tutorialEvent = 32;
    driver.Tick();
    ASSERT_EQ(world.GetMonsters().size(), 1u);
    const GMonster& hyena = *world.GetMonsters()[0];
    EXPECT_EQ(hyena.GetMonsterData()->fullName, str("BasicHyena"));
    EXPECT_TRUE(world.GetGlobalData().IsTutorialEventSet(32));
    EXPECT_EQ(driver.Messages().Count("QueueTutorialEvent 21"), 1);
    ASSERT_NE(hyena.GetView(), nullptr);
    const auto* view = static_cast<const GVWorldCreature*>(hyena.GetView());
    EXPECT_EQ(worldtest::Point(view->GetDestination()), worldtest::Point(1320, 330));

    // Once only.
    world.GetPlay().tutorialTimer = 1;
    world.GetPlay().tutorialEvent = 32;
    driver.Tick();
    EXPECT_EQ(world.GetMonsters().size(), 1u);
}

TEST(WorldLogicTest, TheFirstHyenaOfARollIsShownToThePlayer) {
    WorldDriver driver;
    GWorld& world = driver.World();
    ASSERT_TRUE(world.CreateMonster("BasicHyena", 200, 200));
    world.GetGlobalData().SetTutorialEventFlag(28, true);
    world.GetGlobalData().monstersProbability = 100;
    world.RollHyenas();
    const GMonster* hyena = world.GetMonsters()[0].get();
    EXPECT_EQ(world.GetSelectedObject(), hyena);
    EXPECT_EQ(driver.Messages().Count("QueueTutorialEvent 21"), 1);
    const auto* view = static_cast<const GVWorldCreature*>(hyena->GetView());
    EXPECT_EQ(worldtest::Point(view->GetDestination()), worldtest::Point(1620, 330));
    EXPECT_EQ(world.GetPlay().hyenaWaveSize, 1);
}

// --- Failures, on small worlds.

using LogicFailureTest = worldtest::SmallWorld;

TEST_F(LogicFailureTest, AMainFileWithoutAnElementStopsQuietly) {
    world.LoadLogic("xml/logic/nothing.xml");
    EXPECT_FALSE(world.HasMessageListener());  // the views are let go first
    int definitions = 0;
    world.GetNames().ForEachDefinition([&](const GObjectData&) { ++definitions; });
    EXPECT_EQ(definitions, 0);
    EXPECT_EQ(sounds.loads, 0);
    EXPECT_TRUE(world.GetPrescriptionDefinitions().empty());

    DefineCreature("BasicPuff");
    MakeCreature("BasicPuff");
    world.GetPlay().worldState = GWorldPlay::kRunning;
    world.NewGame("xml/logic/nothing.xml");
    EXPECT_EQ(world.GetPlay().worldState, GWorldPlay::kMade);
    EXPECT_TRUE(world.GetCreatures().empty());  // cleared before the file was read
}

}  // namespace
