// The object factories, the view makers and clearing the world, on small worlds made by the test.
#include <gtest/gtest.h>

#include <set>

#include "foundation/random.h"
#include "gv/gvobject.h"
#include "gv/keys/flagmasktext.h"
#include "simulation/itemkind.h"
#include "simulation/taskkind.h"
#include "simulation/views/worldlocation.h"
#include "testobjects.h"
#include "worldfixture.h"

namespace worldtest {
namespace {

using FactoryTest = SmallWorld;

TEST_F(FactoryTest, ACreatureIsACopyOfItsDefinitionWithTheWorldsFields) {
    GCreatureData& puff = DefineCreature("BasicPuff");
    world.GetGlobalData().SetNames({"Abbet"});
    world.GetGlobalData().overrideProbPercents = 70;
    DefineLocation("Food Bin");
    world.BindLocations();  // no water tank
    world.GetPlay().currentTime = 1234;

    GCreature* creature = MakeCreature("BasicPuff");
    ASSERT_NE(creature, nullptr);
    EXPECT_NE(creature->GetCreatureData(), &puff);
    creature->GetCreatureData()->level = 4;
    EXPECT_EQ(puff.level, 0);  // the definition is untouched
    EXPECT_EQ(creature->GetNickName(), str("Abbet"));
    EXPECT_EQ(creature->GetBirthDate(), 1234);
    EXPECT_EQ(creature->GetWorld(), &world);
    EXPECT_EQ(creature->GetRandom(), &world.GetRandom());
    EXPECT_EQ(creature->GetOverrideProb(), 70);
    EXPECT_EQ(creature->GetPlace(GCreature::kFoodPlace), nullptr);  // the bin is not in the world
    EXPECT_EQ(creature->GetPlace(GCreature::kWaterPlace), nullptr);
    EXPECT_TRUE(world.GetPlay().creaturesChanged);
    // It starts to wander through StartTask.
    ASSERT_EQ(starters.calls.size(), 1u);
    EXPECT_EQ(starters.calls[0].kind, kTaskFlakeOut);
    EXPECT_EQ(starters.calls[0].subject, creature);
    EXPECT_TRUE(starters.calls[0].dispatched);
}

TEST_F(FactoryTest, ACreatureKnowsTheFoodBinAndTheWaterTankOfTheWorld) {
    DefineCreature("BasicPuff");
    DefineLocation("Pre_foodbin");
    DefineLocation("Water Tank");
    GLocation* bin = MakeLocation("Pre_foodbin");
    GLocation* tank = MakeLocation("Water Tank");
    world.BindLocations();
    GCreature* creature = MakeCreature("BasicPuff");
    EXPECT_EQ(creature->GetPlace(GCreature::kFoodPlace), bin);
    EXPECT_EQ(creature->GetPlace(GCreature::kWaterPlace), tank);
}

TEST_F(FactoryTest, HungerCoefficientsLieOnAGridOfHundredths) {
    DefineCreature("BasicPuff");
    GlobalData& params = world.GetGlobalData();
    params.hungerAddCoefMin = 0.5f;
    params.hungerAddCoefMax = 0.5f;
    for (int i = 0; i < 5; ++i)
        EXPECT_FLOAT_EQ(MakeCreature("BasicPuff")->GetCreatureData()->hungerAddCoef, 0.5f);
    params.hungerAddCoefMax = 0.52f;
    std::set<int> seen;
    for (int i = 0; i < 60; ++i) {
        const float coef = MakeCreature("BasicPuff")->GetCreatureData()->hungerAddCoef;
        seen.insert(static_cast<int>(coef * 100.0f + 0.5f));
    }
    EXPECT_EQ(seen, (std::set<int>{50, 51, 52}));
}

TEST_F(FactoryTest, DeathAgesComeFromThePlainOrTheHospitalRange) {
    DefineCreature("BasicPuff");
    GlobalData& params = world.GetGlobalData();
    params.deathAgeMin = 70;
    params.deathAgeMax = 70;
    params.deathAgeMinHosp = 90;
    params.deathAgeMaxHosp = 90;
    EXPECT_EQ(MakeCreature("BasicPuff")->GetDeathAge(), 70);  // no hospital

    DefineLocation("Hospital", {Record(kResourceBuild, 5, 5)});
    MakeLocation("Hospital");
    world.BindLocations();
    EXPECT_EQ(MakeCreature("BasicPuff")->GetDeathAge(), 70);  // still being built
    world.GetPlace(GWorld::kHospital)->SetQuantity(kResourceBuild, 0);
    EXPECT_EQ(MakeCreature("BasicPuff")->GetDeathAge(), 90);

    // A range upside down gives its minimum.
    params.deathAgeMinHosp = 95;
    params.deathAgeMaxHosp = 60;
    EXPECT_EQ(MakeCreature("BasicPuff")->GetDeathAge(), 95);
    params.deathAgeMaxHosp = 96;
    for (int i = 0; i < 20; ++i) {
        const int age = MakeCreature("BasicPuff")->GetDeathAge();
        EXPECT_TRUE(age == 95 || age == 96) << age;
    }
}

TEST_F(FactoryTest, UnknownNamesMakeNothing) {
    DefineCreature("BasicPuff");
    EXPECT_FALSE(world.CreateCreature("BasicNobody", 1, 1));
    EXPECT_FALSE(world.CreateLocation("Nowhere", 1, 1));
    EXPECT_FALSE(world.CreateMonster("BasicHyena", 1, 1));
    EXPECT_FALSE(world.AddCreature(nullptr, 1, 1));
    EXPECT_TRUE(world.GetCreatures().empty());
    EXPECT_TRUE(world.GetLocations().empty());
    EXPECT_TRUE(world.GetMonsters().empty());
    EXPECT_TRUE(starters.calls.empty());
    EXPECT_TRUE(sounds.played.empty());
}

TEST_F(FactoryTest, AMonsterIsAHyenaThatWandersAndIsHeard) {
    DefineHyena().tomahawkVulnerability = 10;
    world.GetGlobalData().tomahawkVulnerability = 50;
    GMonster* hyena = MakeHyena();  // without views: no view could be placed
    ASSERT_NE(hyena, nullptr);
    EXPECT_EQ(hyena->GetNickName(), str("Hyena"));
    EXPECT_EQ(hyena->GetMonsterData()->tomahawkVulnerability, 50);
    EXPECT_EQ(hyena->GetWorld(), &world);
    EXPECT_EQ(hyena->GetView(), nullptr);
    ASSERT_EQ(starters.calls.size(), 1u);
    EXPECT_EQ(starters.calls[0].starter, GStarter::kMonster);
    EXPECT_EQ(starters.calls[0].kind, kTaskFlakeOut);
    ASSERT_EQ(sounds.played.size(), 1u);
    EXPECT_EQ(sounds.played[0].object, hyena);
    EXPECT_EQ(sounds.played[0].event, 50);
}

TEST_F(FactoryTest, ALocationStartsWithoutATask) {
    DefineLocation("Tree");
    GLocation* tree = MakeLocation("Tree", 10, 20);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->GetTask(), nullptr);
    EXPECT_TRUE(starters.calls.empty());
    EXPECT_FALSE(world.GetPlay().creaturesChanged);
}

TEST_F(FactoryTest, ClearingTheWorldDeletesEveryObjectAndTask) {
    DefineCreature("BasicPuff");
    DefineLocation("Pre_foodbin");
    DefineHyena();
    GCreature* creature = MakeCreature("BasicPuff");
    GLocation* bin = MakeLocation("Pre_foodbin");
    MakeHyena();
    world.BindLocations();
    world.SelectObject(creature);
    simtest::AddTask(world.GetSchedule(), creature, bin, 50, kTaskBuild);
    world.GetPlay().currentTime = 40;
    world.GetPlay().lastCycleTime = 30;
    world.GetEvents().push_back(GEventRecord());

    world.Clear();
    EXPECT_TRUE(world.GetCreatures().empty());
    EXPECT_TRUE(world.GetLocations().empty());
    EXPECT_TRUE(world.GetMonsters().empty());
    EXPECT_EQ(world.GetSchedule().GetTaskCount(), 0u);
    EXPECT_EQ(world.GetPlace(GWorld::kFoodBin), nullptr);
    EXPECT_EQ(world.GetSelectedObject(), nullptr);
    EXPECT_EQ(world.GetPlay().currentTime, 0u);
    EXPECT_EQ(world.GetPlay().lastCycleTime, 0u);
    EXPECT_TRUE(world.GetEvents().empty());
    EXPECT_TRUE(world.GetPlay().creaturesChanged);
}

// --- The view makers.

class ViewMakerTest : public SmallWorld {
protected:
    void SetUp() override {
        SmallWorld::SetUp();
        GCreatureData& puff = DefineCreature("BasicPuff");
        puff.maxAnimatorsHeads = 10;
        puff.maxAnimatorsBodies = 10;
        puff.speed = 3.0f;
        puff.animSpeedKoef = 1.5f;
        puff.hitRect = GHitRect{-10, -40, 20, 40};
        DefineHyena();
        UseViews();
    }
    GVWorldCreature* ViewOf(const GObject* object) {
        GVWorldObject* view = object->GetView();
        return view != nullptr && view->IsKindOf(GVViewClass::kCreature)
                   ? static_cast<GVWorldCreature*>(view)
                   : nullptr;
    }
    static bool Shows(const GVWorldObject* view, const char* child) {
        const GVObject* part = view->GetSprite()->GetChild(child);
        return part != nullptr && part->visible != 0;
    }
};

TEST_F(ViewMakerTest, HeadAndBodyVariantsFollowTheSequenceInTurn) {
    TPrefs& prefs = UsePrefs();
    struct Row {
        int head, body;
    } expected[] = {{0, 0}, {8, 8}, {1, 1}, {9, 9}, {5, 5}, {7, 7}, {3, 0}, {6, 8}};
    for (const Row& row : expected) {
        GCreature* creature = MakeCreature("BasicPuff");
        ASSERT_NE(creature, nullptr);
        EXPECT_EQ(creature->GetCreatureData()->curHeadAnimator, row.head);
        EXPECT_EQ(creature->GetCreatureData()->curAnimator, row.body);
    }
    EXPECT_EQ(prefs.GetInt("currentHeadCounter", -5, -1), 8);
    EXPECT_EQ(prefs.GetInt("currentBodyCounter", -5, -1), 2);
    // A counter out of its range reads 0.
    prefs.SetInt("currentHeadCounter", 42, -1, false);
    prefs.SetInt("currentBodyCounter", 6, -1, false);
    GCreature* next = MakeCreature("BasicPuff");
    EXPECT_EQ(next->GetCreatureData()->curHeadAnimator, 0);
    EXPECT_EQ(next->GetCreatureData()->curAnimator, 0);
    // Without preferences every creature reads 0.
    world.SetPrefs(nullptr);
    EXPECT_EQ(MakeCreature("BasicPuff")->GetCreatureData()->curHeadAnimator, 0);
    EXPECT_EQ(MakeCreature("BasicPuff")->GetCreatureData()->curHeadAnimator, 0);
}

TEST_F(ViewMakerTest, VariantsAreTakenModuloTheirCountsAndKeptOnceChosen) {
    UsePrefs().SetInt("currentHeadCounter", 1, -1, false);  // head value 8
    GCreatureData& few = DefineCreature("BasicZebra", "Zebra");
    few.maxAnimatorsHeads = 3;
    few.maxAnimatorsBodies = 5;
    GCreature* zebra = MakeCreature("BasicZebra");
    ASSERT_NE(zebra, nullptr);
    EXPECT_EQ(zebra->GetCreatureData()->curHeadAnimator, 8 % 3);
    EXPECT_EQ(zebra->GetCreatureData()->curAnimator, 0);
    zebra->GetCreatureData()->curVoice = 3;
    world.MakeCreatureView(zebra, 10, 10);  // made again: the choice stays
    EXPECT_EQ(zebra->GetCreatureData()->curHeadAnimator, 2);
    EXPECT_EQ(zebra->GetCreatureData()->curVoice, 3);
    EXPECT_EQ(world.GetPrefs().GetInt("currentHeadCounter", 0), 2);
}

TEST_F(ViewMakerTest, TheViewIsConfiguredFromTheBlockAndPlacedOnWalkableGround) {
    GCreature* creature = MakeCreature("BasicPuff");
    GVWorldCreature* view = ViewOf(creature);
    ASSERT_NE(view, nullptr);
    EXPECT_FLOAT_EQ(view->GetSpeed(), 3.0f);
    EXPECT_FLOAT_EQ(view->GetOwnSpeedFactor(), 1.5f);
    EXPECT_EQ(view->GetHitRect().anchorX, -10);
    EXPECT_EQ(view->GetHitRect().height, 40);
    EXPECT_TRUE(Shows(view, "head"));
    EXPECT_TRUE(Shows(view, "body"));
    EXPECT_FALSE(Shows(view, "stick"));
    EXPECT_TRUE(Manager().IsWalkable(view->GetX(), view->GetY()));
    const int third = creature->GetCreatureData()->curVoice;
    EXPECT_GE(third, 0);
    EXPECT_LE(third, 4);

    GCreature* placed = MakeCreature("BasicPuff", 321, 654);
    EXPECT_EQ(worldtest::Point(ViewOf(placed)->GetPosition()), worldtest::Point(321, 654));
}

TEST_F(ViewMakerTest, AKindWithoutVariantsShowsTheFirstAndLeavesTheCountersAlone) {
    GCreatureData& lion = DefineCreature("BasicLion", "Lion");
    lion.maxAnimatorsHeads = 0;
    lion.maxAnimatorsBodies = 4;
    lion.baseAnimatorName = "lion_base";
    TPrefs& prefs = UsePrefs();
    GCreature* plain = MakeCreature("BasicLion", 5, 5);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetCreatureData()->curHeadAnimator, 0);
    EXPECT_EQ(plain->GetCreatureData()->curAnimator, 0);
    EXPECT_EQ(plain->GetCreatureData()->animatorName, str("lion_base"));
    EXPECT_EQ(plain->GetView(), nullptr);  // no sprite of that name
    EXPECT_EQ(prefs.GetInt("currentHeadCounter", -5, -1), -5);
    EXPECT_EQ(prefs.GetInt("currentBodyCounter", -5, -1), -5);
}

TEST_F(ViewMakerTest, AHyenaLooksLikeTheCurrentLevel) {
    GlobalData& params = world.GetGlobalData();
    params.levelEvents[0] = 0;
    params.levelEvents[1] = 1;
    params.levelEvents[2] = 5;
    params.levelEvents[3] = 35;
    params.levelEvents[4] = 37;
    params.SetEvent(5, true);  // level 2 at most: event 35 is not set
    GMonster* hyena = MakeHyena();
    ASSERT_NE(hyena, nullptr);
    EXPECT_EQ(hyena->GetMonsterData()->animatorName, str("hyena_l3"));
    EXPECT_EQ(hyena->GetMonsterData()->currentAnimator, 0);
    ASSERT_NE(ViewOf(hyena), nullptr);
    EXPECT_TRUE(Manager().IsWalkable(hyena->GetView()->GetX(), hyena->GetView()->GetY()));
    // A variant chosen before keeps its look.
    params.SetEvent(35, true);
    world.MakeMonsterView(hyena, 50, 60);
    EXPECT_EQ(hyena->GetMonsterData()->animatorName, str("hyena_l3"));
    EXPECT_EQ(worldtest::Point(hyena->GetView()->GetPosition()), worldtest::Point(50, 60));
}

TEST_F(ViewMakerTest, ALocationTakesItsLevelAndAnySpot) {
    GLocationData& well = DefineLocation("Well_1", {Record(kResourceWater, 3, 10)});
    well.animatorStartLevel = 0.25f;
    GLocation* place = MakeLocation("Well_1", -1, 77);
    ASSERT_NE(place, nullptr);
    GVWorldLocation* view = GLocation::AsLocationView(place->GetView());
    ASSERT_NE(view, nullptr);
    EXPECT_FLOAT_EQ(view->GetBuildLevel(), 0.25f);
    EXPECT_EQ(view->GetY(), 77.0f);
    EXPECT_GE(view->GetX(), 0.0f);
    EXPECT_LE(view->GetX(), 2400.0f);
}

TEST_F(ViewMakerTest, TheViewPortStandsAtTheOriginOnlyWhileAViewIsMade) {
    GVViewPort& port = Scene().GetViewPort();
    port.SetBounds(GVRect{0, 0, 2400, 1800});
    port.MoveTo(TVec2(700, 500));
    MakeCreature("BasicPuff");
    EXPECT_EQ(port.GetRect().left, 700.0f);
    EXPECT_EQ(port.GetRect().top, 500.0f);
    EXPECT_FLOAT_EQ(world.GetViewScale(), 1.0f);
}

class BlockedViewMakerTest : public SmallWorld {};

TEST_F(BlockedViewMakerTest, EveryCreatureIsPlacedOnAGridWithoutWalkableCells) {
    DefineCreature("BasicPuff");
    UseViews(BlockedLevel());
    Manager().RebuildWalkability();
    ASSERT_FALSE(Manager().IsWalkable(1200, 900));
    for (int i = 0; i < 3; ++i) {
        GCreature* creature = MakeCreature("BasicPuff");
        ASSERT_NE(creature, nullptr);
        ASSERT_NE(creature->GetView(), nullptr);
    }
    // Each search gave up after 1,000 draws of two numbers.
    TRandom expected;
    for (int i = 0; i < 3; ++i) {
        expected.Next();  // the hunger coefficient
        expected.Next();
        expected.NextRange(0, 4);  // the third variant
        for (int draw = 0; draw < 2000; ++draw)
            expected.NextRange(0, 2400);
        expected.NextDouble();  // the death age
    }
    EXPECT_EQ(world.GetRandom().Next(), expected.Next());
}

// A level whose row 10 is blocked left of x 1200.
std::string HalfBlockedRow() {
    const int count = 60;
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((count >> shift) & 0xFF);
    for (int column = 0; column < count; ++column)
        bytes += std::string{static_cast<char>(column), 10, static_cast<char>(255)};
    return bytes;
}

TEST_F(BlockedViewMakerTest, SteppedSearchesStopAtTheGridsEdge) {
    EXPECT_EQ(Point(world.SteppedWalkablePoint(TVec2(100, 210), TVec2(10, 0))), Point(100, 210));
    UseViews(HalfBlockedRow());
    Manager().RebuildWalkability();
    ASSERT_FALSE(Manager().IsWalkable(100, 210));
    EXPECT_EQ(Point(world.SteppedWalkablePoint(TVec2(100, 210), TVec2(10, 0))), Point(1200, 210));
    EXPECT_EQ(Point(world.SteppedWalkablePoint(TVec2(100, 190), TVec2(10, 0))), Point(100, 190));
    // Leftwards the grid ends first: the nearest free point of the start.
    const TVec2 snapped = world.SteppedWalkablePoint(TVec2(100, 210), TVec2(-10, 0));
    EXPECT_TRUE(Manager().IsWalkable(snapped.x, snapped.y));
    EXPECT_EQ(Point(snapped), Point(Manager().SnapToFreePoint(100, 210)));
    // A step that does not move looks once.
    const TVec2 still = world.SteppedWalkablePoint(TVec2(100, 210), TVec2(0, 0));
    EXPECT_TRUE(Manager().IsWalkable(still.x, still.y));
}

}  // namespace
}  // namespace worldtest
