// Binding the world's well-known locations, the gate of the stone and wood piles, and the ark
// materials' view, on small worlds made by the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gv/gvobject.h"
#include "gv/keys/flagmasktext.h"
#include "simulation/itemkind.h"
#include "simulation/taskkind.h"
#include "simulation/views/worldlocation.h"
#include "worldfixture.h"

namespace worldtest {
namespace {

using BindTest = SmallWorld;

TEST_F(BindTest, EachNameBindsItsRole) {
    const struct {
        const char* name;
        GWorld::Role role;
    } rows[] = {
        {"Pre_foodbin", GWorld::kFoodBin},
        {"Pre_watertank", GWorld::kWaterTank},
        {"Pre_hospital", GWorld::kHospital},
        {"Sticks Pile", GWorld::kSticksPile},
        {"Metal Pile", GWorld::kMetalPile},
        {"Hyena Pit", GWorld::kHyenaPit},
        {"Devolution Pool", GWorld::kDevolutionPool},
        {"Ark", GWorld::kArk},
        {"Fertilizer", GWorld::kFertilizer},
        {"Treasure map part", GWorld::kTreasure},
        {"Bonus Hidden Konuts", GWorld::kBonus},
        {"Tree", GWorld::kTree},
        {"Rock Oblings Pile", GWorld::kRockOblingsPile},
        {"Rock Wedges Pile", GWorld::kRockWedgesPile},
        {"Dummy", GWorld::kDummy},
        {"Pool", GWorld::kPool},
        {"Water Fall", GWorld::kWaterFall},
    };
    for (const auto& row : rows) {
        DefineLocation(row.name);
        MakeLocation(row.name);
    }
    for (const char* unbound : {"Konut Bush", "PreFlower", "Salt Water", "Arkade"}) {
        DefineLocation(unbound);
        MakeLocation(unbound);
    }
    world.GetPlay().hyenaWaveSize = 3;
    world.GetPlay().hyenaWaveCount = 2;
    world.BindLocations();
    for (const auto& row : rows) {
        const GLocation* bound = world.GetPlace(row.role);
        ASSERT_NE(bound, nullptr) << row.name;
        EXPECT_EQ(bound->GetLocationData()->name, str(row.name));
    }
    EXPECT_EQ(world.GetPlay().hyenaWaveSize, 0);
    EXPECT_EQ(world.GetPlay().hyenaWaveCount, 0);
    // The water fall is heard at its view.
    ASSERT_EQ(sounds.played.size(), 1u);
    EXPECT_EQ(sounds.played[0].object, world.GetPlace(GWorld::kWaterFall));
    EXPECT_EQ(sounds.played[0].event, 58);
    EXPECT_EQ(sounds.played[0].x, 0.0f);
    EXPECT_EQ(sounds.played[0].y, 0.0f);
}

TEST_F(BindTest, BuiltStoresWinOverTheirSitesAndGiveTheCapacities) {
    DefineLocation("Pre_foodbin");
    DefineLocation("Food Bin", {Record(kResourceFood, 5, 80)});
    DefineLocation("Water Tank Broken", {Record(kResourceWater, 5, 60)});
    DefineLocation("Treasure");
    DefineLocation("Hospital");
    MakeLocation("Food Bin");
    MakeLocation("Pre_foodbin");
    MakeLocation("Water Tank Broken");
    MakeLocation("Treasure");
    MakeLocation("Hospital");
    world.BindLocations();
    EXPECT_EQ(world.GetPlace(GWorld::kFoodBin)->GetLocationData()->name, str("Food Bin"));
    EXPECT_EQ(world.GetGlobalData().foodBinCapacity, 80);
    EXPECT_EQ(world.GetPlace(GWorld::kWaterTank)->GetLocationData()->name,
              str("Water Tank Broken"));
    EXPECT_EQ(world.GetGlobalData().waterTankCapacity, 60);
    EXPECT_EQ(world.GetPlace(GWorld::kTreasure)->GetLocationData()->name, str("Treasure"));
    EXPECT_EQ(world.GetPlace(GWorld::kHospital)->GetLocationData()->name, str("Hospital"));

    world.Clear();
    MakeLocation("Pre_foodbin");
    world.BindLocations();
    EXPECT_EQ(world.GetGlobalData().foodBinCapacity, 0);
    EXPECT_EQ(world.GetPlace(GWorld::kWaterTank), nullptr);
}

TEST_F(BindTest, TheArkPlacesArePaired) {
    for (int i = 1; i <= 4; ++i) {
        DefineLocation(str::Format("Ark Materials %d", i).c_str());
        DefineLocation(str::Format("Ark Part Place %d", i).c_str());
        DefineLocation(str::Format("Ark Part %d", i).c_str());
    }
    for (int i = 1; i <= 4; ++i) {
        MakeLocation(str::Format("Ark Materials %d", i).c_str());
        // Part 2 is in place already; the others still have their places.
        MakeLocation(str::Format(i == 2 ? "Ark Part %d" : "Ark Part Place %d", i).c_str());
    }
    world.BindLocations();
    for (int i = 0; i < 4; ++i) {
        const auto* materials = static_cast<GLocation*>(world.GetArkMaterials(i));
        const auto* place = static_cast<GLocation*>(world.GetArkPartPlace(i));
        ASSERT_NE(materials, nullptr);
        ASSERT_NE(place, nullptr);
        EXPECT_EQ(materials->GetLocationData()->name, str::Format("Ark Materials %d", i + 1));
        EXPECT_EQ(place->GetLocationData()->name,
                  str::Format(i == 1 ? "Ark Part %d" : "Ark Part Place %d", i + 1));
        EXPECT_EQ(world.GetPairedObject(const_cast<GLocation*>(materials)), place);
    }
}

TEST_F(BindTest, ANewWorldStartsItsTreasureAndBonusCycles) {
    world.GetPlay().treasureSearchState = -1;
    world.GetPlay().hiddenObjectState = -4;
    world.BindLocations();
    EXPECT_EQ(world.GetPlay().treasureSearchState, 2);
    EXPECT_EQ(world.GetPlay().hiddenObjectState, 0);
    world.GetPlay().treasureSearchState = 1;
    world.GetPlay().hiddenObjectState = 1;
    world.BindLocations();
    EXPECT_EQ(world.GetPlay().treasureSearchState, 1);
    EXPECT_EQ(world.GetPlay().hiddenObjectState, 1);
}

TEST_F(BindTest, TheFirstMakingRecordOfEachPileWaitsForTheFirstTreasure) {
    const auto making = [](int item, int event, int level) {
        GResourceRecord record = Record(kResourceItem, 1, 1);
        record.action = kTaskProductItem;
        record.productionItem = item;
        record.requiredEvent = event;
        record.requiredLevel = static_cast<int16_t>(level);
        return record;
    };
    DefineLocation("Rock Oblings Pile", {making(kItemShovel, 0, 0), making(kItemStone, 20, 1),
                                         making(kItemStone, 20, 1)});
    DefineLocation("Rock Wedges Pile", {making(kItemStone2, 40, 0)});
    DefineLocation("Tree", {making(kItemWood, 35, 3)});
    DefineLocation("Sticks Pile", {making(kItemStone, 0, 0)});
    for (const char* name : {"Rock Oblings Pile", "Rock Wedges Pile", "Tree", "Sticks Pile"})
        MakeLocation(name);
    world.BindLocations();
    const auto records = [this](GWorld::Role role) {
        return world.GetPlace(role)->GetLocationData()->resources;
    };
    const auto oblings = records(GWorld::kRockOblingsPile);
    EXPECT_EQ(oblings[0].requiredEvent, 0);  // a shovel: not a material
    EXPECT_EQ(oblings[1].requiredEvent, 35);
    EXPECT_EQ(oblings[1].requiredLevel, 1);   // the level stays
    EXPECT_EQ(oblings[2].requiredEvent, 20);  // only the first
    EXPECT_EQ(records(GWorld::kRockWedgesPile)[0].requiredEvent, 40);
    EXPECT_EQ(records(GWorld::kTree)[0].requiredEvent, 35);
    EXPECT_EQ(records(GWorld::kTree)[0].requiredLevel, 3);
    EXPECT_EQ(records(GWorld::kSticksPile)[0].requiredEvent, 0);
    // The prototype is untouched.
    EXPECT_EQ(
        world.GetNames().FindLocationDefinition("Rock Oblings Pile")->resources[1].requiredEvent,
        20);
}

// --- What the binding and the ark materials show on the views.

// A description whose root has the given states and whose children "wood" and "level" have
// the ark-part wood switches and the materials' levels, so that each shows the last of its
// kind the world switched to.
std::string Description(const std::vector<std::string>& rootStates) {
    const std::string frame =
        "<images><img name=\"standin.png\"/></images><framelist centering=\"left\"><frame "
        "x=\"0\" y=\"0\" w=\"8\" h=\"8\" regx=\"4\" regy=\"8\"/></framelist>";
    const auto states = [](const std::vector<std::string>& ids) {
        std::string text = "<states>";
        for (const std::string& id : ids)
            text += "<state id=\"" + id + "\" framelist=\"0\"/>";
        return text + "</states>";
    };
    std::vector<std::string> levels = {"materials_all_off"};
    for (const char* kind : {"sticks", "woods", "stones", "stones_2"})
        for (int level = 0; level <= 3; ++level)
            levels.push_back(std::string("materials_") + kind + "_level_" + std::to_string(level));
    return "<main>" + frame + states(rootStates) + "<objects><obj id=\"wood\">" + frame +
           states({"ark_part_wood_off", "ark_part_wood_on"}) + "</obj><obj id=\"level\">" + frame +
           states(levels) + "</obj><obj id=\"sand\">" + frame + "</obj></objects></main>";
}

std::string Shown(const GObject* object, const char* child = nullptr) {
    const GVObject* sprite = object->GetView()->GetSprite();
    if (child != nullptr) sprite = sprite->GetChild(child);
    return FormatFlagMask(sprite->GetStateId()).c_str();
}

class BindViewTest : public SmallWorld {
protected:
    void SetUp() override {
        SmallWorld::SetUp();
        UseViews();
    }
    // A location of the name whose view has the description above.
    GLocation* Place(const char* name, std::vector<GResourceRecord> records = {},
                     const std::vector<std::string>& rootStates = {"normal"}) {
        GLocationData& data = DefineLocation(name, std::move(records));
        mDescriptions.push_back(Description(rootStates));
        Sprites().Put(("xml/" + std::string(data.animatorName.c_str()) + ".xml").c_str(),
                      mDescriptions.back());
        return MakeLocation(name);
    }

private:
    std::vector<std::string> mDescriptions;
};

TEST_F(BindViewTest, TheViewsShowTheWorldsProgress) {
    GLocation* hospital = Place("Hospital", {}, {"normal", "cure_ebolio_on"});
    GLocation* flower = Place("PreFlower");
    GLocation* roots = Place("Konut Roots");
    GLocation* place = Place("Ark Part Place 2");
    world.GetPlay().arkPartAlpha[1] = 0.4f;
    world.BindLocations();
    EXPECT_EQ(Shown(hospital), "normal");
    const auto level = [](const GLocation* location) {
        return GLocation::AsLocationView(location->GetView())->GetBuildLevel();
    };
    EXPECT_EQ(level(flower), 0.0f);
    EXPECT_EQ(level(roots), 0.0f);
    EXPECT_FLOAT_EQ(place->GetView()->GetSprite()->GetChild("sand")->alpha, 0.4f);

    GlobalData& data = world.GetGlobalData();
    data.SetEvent(11, true);
    data.SetEvent(3, true);
    data.SetEvent(18, true);
    world.BindLocations();
    EXPECT_EQ(Shown(hospital), "cure_ebolio_on");
    EXPECT_FLOAT_EQ(level(flower), 0.5f);
    EXPECT_FLOAT_EQ(level(roots), 1.0f);
    data.SetEvent(25, true);
    world.BindLocations();
    EXPECT_FLOAT_EQ(level(flower), 1.0f);
}

TEST_F(BindViewTest, TheArkMaterialsShowHowFarEachMaterialIsGathered) {
    const auto materialRecord = [](int item, int quantity, int maxQuantity) {
        GResourceRecord record = Record(kResourceBuild, quantity, maxQuantity);
        record.requiredItem = item;
        return record;
    };
    const struct {
        const char* name;
        int item;
        int quantity;
        int maxQuantity;
        // The paired place's building work: left, and its maximum; none for a left of -1.
        int placeLeft;
        int placeMax;
        const char* level;
        const char* wood;
    } rows[] = {
        {"4 of 10 left", kItemStick, 4, 10, -1, 0, "materials_sticks_level_1", "ark_part_wood_off"},
        {"8 of 10 left", kItemStone, 8, 10, -1, 0, "materials_stones_level_1", "ark_part_wood_off"},
        {"2 of 10 left", kItemStone, 2, 10, -1, 0, "materials_stones_level_2", "ark_part_wood_off"},
        {"1 of 1000 left", kItemStone, 1, 1000, -1, 0, "materials_stones_level_2",
         "ark_part_wood_off"},
        {"nothing gathered", kItemWood, 10, 10, 10, 10, "materials_woods_level_0",
         "ark_part_wood_on"},
        {"all gathered, place finished", kItemStone2, 0, 10, 0, 0, "materials_stones_2_level_3",
         "ark_part_wood_off"},
        {"nothing gathered, place being built", kItemStick, 10, 10, 4, 10,
         "materials_sticks_level_0", "ark_part_wood_on"},
        {"some gathered, place being built", kItemStick, 2, 10, 4, 10, "materials_sticks_level_1",
         "ark_part_wood_off"},
        {"more than asked", kItemStick, -5, 10, -1, 0, "materials_sticks_level_3",
         "ark_part_wood_off"},
    };
    int index = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        world.Clear();
        const std::string suffix = std::to_string(++index);
        GLocation* materials = Place(("Ark Materials " + suffix).c_str(),
                                     {materialRecord(row.item, row.quantity, row.maxQuantity)});
        GLocation* place = nullptr;
        if (row.placeLeft >= 0)
            place = Place(("Ark Part Place X" + suffix).c_str(),
                          {Record(kResourceBuild, row.placeLeft, row.placeMax)});
        world.SetPair(0, materials, place);
        world.SetArkMaterials(materials);
        EXPECT_EQ(Shown(materials, "level"), row.level);
        EXPECT_EQ(Shown(materials, "wood"), row.wood);
    }
}

TEST_F(BindViewTest, OnlyAnArkMaterialsPlaceWithAViewIsShown) {
    GLocation* tree = Place("Tree", {Record(kResourceBuild, 0, 10)});
    const std::string before = Shown(tree, "level");
    world.SetArkMaterials(tree);
    EXPECT_EQ(Shown(tree, "level"), before);
    world.SetArkMaterials(nullptr);
    DefineLocation("Ark Materials 9", {Record(kResourceBuild, 0, 10)});
    GLocation* hidden = MakeLocation("Ark Materials 9");
    ASSERT_NE(hidden->GetView(), nullptr);
    world.SetArkMaterials(hidden);  // the stand-in has no such states: nothing to see, no fault
}

}  // namespace
}  // namespace worldtest
