#include "simulation/params/globaldata.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "foundation/random.h"
#include "foundation/prefs/stringtable.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/params/localtext.h"
#include "simulation/data/savedvalues.h"
#include "simulation/world.h"
#include "support/printers.h"
#include "xmlfixture.h"

namespace {

using simtest::XmlDoc;

class GlobalDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        simtest::FillTable(table, {{"gleFoodBinBuilt", "Food bin built"},
                                   {"gleFoodBinBuiltText", "The tribe can store food."}});
        SetStringTable(&table);
    }

    TStringTable table;
    GlobalData data;
};

TEST_F(GlobalDataTest, SetEventGivesARecordOnlyOnAChange) {
    GEventRecord record = data.SetEvent(1, true);
    EXPECT_EQ(record.eventId, 1);
    EXPECT_EQ(record.name, str("Food bin built"));
    EXPECT_EQ(record.text, str("The tribe can store food."));
    EXPECT_EQ(record.flag, 1);
    EXPECT_TRUE(data.IsEventSet(1));

    record = data.SetEvent(1, true);
    EXPECT_EQ(record.eventId, 0);
    EXPECT_EQ(record.name, str(""));

    // An event without a row in the table shows its label.
    record = data.SetEvent(2, true);
    EXPECT_EQ(record.name, str("gleWaterTankBuilt"));
    EXPECT_EQ(record.text, str("gleWaterTankBuiltText"));
    // Ids without labels still have flags.
    record = data.SetEvent(0, true);
    EXPECT_EQ(record.name, str(""));
    EXPECT_TRUE(data.IsEventSet(0));

    for (int id : {56, -1, 1000000}) {
        record = data.SetEvent(id, true);
        EXPECT_EQ(record.eventId, 0);
        EXPECT_FALSE(data.IsEventSet(id));
        EXPECT_EQ(data.GetEventRecord(id).eventId, 0);
    }
    EXPECT_EQ(data.GetEventRecord(1).name, str("Food bin built"));
    EXPECT_EQ(data.GetEventRecord(3).eventId, 0);
    data.SetEvent(1, false);
    EXPECT_FALSE(data.IsEventSet(1));
}

TEST_F(GlobalDataTest, EventLabels) {
    EXPECT_EQ(GlobalData::GetEventTitleLabel(26), str("gleArkPart1"));
    EXPECT_EQ(GlobalData::GetEventTitleLabel(38), str("gleTreasure4Found"));
    EXPECT_EQ(GlobalData::GetEventTextLabel(51), str("gleAllIdolsBuiltText"));
    int labelled = 0;
    for (int id = 0; id < GlobalData::kEventCount; ++id) {
        if (GlobalData::GetEventTitleLabel(id).Length() != 0) ++labelled;
    }
    EXPECT_EQ(labelled, 42);
}

TEST_F(GlobalDataTest, CheckedAccessors) {
    data.SetTutorialEventFlag(32, true);
    data.SetTutorialEventFlag(33, true);
    data.SetTutorialEventFlag(-1, true);
    EXPECT_TRUE(data.IsTutorialEventSet(32));
    EXPECT_FALSE(data.IsTutorialEventSet(33));
    EXPECT_FALSE(data.IsTutorialEventSet(-1));
    data.SetSeenProgressEvent(19, 4);
    data.SetSeenProgressEvent(20, 4);
    EXPECT_EQ(data.GetSeenProgressEvent(19), 4);
    EXPECT_EQ(data.GetSeenProgressEvent(20), 0);
    EXPECT_EQ(data.GetSeenProgressEvent(-5), 0);
}

TEST_F(GlobalDataTest, NicknamesComeOutOfAShuffledBag) {
    data.SetNames({"Ana", "Bo", "Cy", "Di", "Ed"});
    for (int round = 0; round < 3; ++round) {
        std::set<std::string> drawn;
        for (int i = 0; i < 5; ++i)
            drawn.insert(data.PickRandomName().c_str());
        EXPECT_EQ(drawn.size(), 5u) << round;
    }
    // A shorter list in the middle of a round: the bag starts over with only its names.
    data.PickRandomName();
    data.PickRandomName();
    data.SetNames({"Fay", "Gus"});
    for (int round = 0; round < 3; ++round) {
        std::set<std::string> drawn;
        for (int i = 0; i < 2; ++i)
            drawn.insert(data.PickRandomName().c_str());
        EXPECT_EQ(drawn, (std::set<std::string>{"Fay", "Gus"})) << round;
    }
    data.SetNames({});
    EXPECT_EQ(data.PickRandomName(), str(""));
}

TEST_F(GlobalDataTest, Levels) {
    EXPECT_EQ(data.GetCurrentLevel(), 4);  // level events (0, 0, 0, 0, 0)
    const int events[] = {0, 1, 5, 35, 37};
    for (int i = 0; i < 5; ++i)
        data.levelEvents[i] = events[i];
    EXPECT_EQ(data.GetCurrentLevel(), 0);
    data.SetEvent(5, true);
    EXPECT_EQ(data.GetCurrentLevel(), 2);
    data.SetEvent(37, true);
    EXPECT_EQ(data.GetCurrentLevel(), 4);
    data.levelEvents[0] = 99;  // out of range: never set
    data.levelEvents[4] = -1;
    data.SetEvent(5, false);
    data.SetEvent(1, false);
    EXPECT_EQ(data.GetCurrentLevel(), 0);
}

TEST_F(GlobalDataTest, TheWorldAnswersFromItsGlobalData) {
    GWorld world;
    EXPECT_FALSE(world.IsEventSet(5));
    world.GetGlobalData().SetEvent(5, true);
    EXPECT_TRUE(world.IsEventSet(5));
    EXPECT_FALSE(world.IsEventSet(56));
    EXPECT_FALSE(world.IsEventSet(-1));
}

TEST_F(GlobalDataTest, Piranhas) {
    EXPECT_EQ(data.CheckPiranhas(), 0);
    data.SetEvent(2, true);
    EXPECT_EQ(data.CheckPiranhas(), 16);
    EXPECT_TRUE(data.IsEventSet(16));
    EXPECT_EQ(data.CheckPiranhas(), 0);
}

TEST_F(GlobalDataTest, ArkPartPoints) {
    EXPECT_EQ(data.GetArkPartPoint(0, 3).x, 0);
    data.arkParts[0] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}};
    data.arkParts[2] = {{9, 9}};
    EXPECT_EQ(data.GetArkPartPoint(7, 0).x, 1);  // any other part reads list 0
    EXPECT_EQ(data.GetArkPartPoint(0, 5).x, 2);
    EXPECT_EQ(data.GetArkPartPoint(0, -1).x, 4);
    EXPECT_EQ(data.GetArkPartPoint(0, -2147483647 - 1).x, 1);
    EXPECT_EQ(data.GetArkPartPoint(2, 100).y, 9);
    EXPECT_EQ(data.GetArkPartPoint(1, 0).x, 0);
}

TEST_F(GlobalDataTest, HungerCoefficientsLieOnTheGrid) {
    data.hungerAddCoefMin = 0.53f;
    data.hungerAddCoefMax = 0.6f;
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        const float value = data.RandomHungerAddCoef();
        const int hundredths = SavedFloatToInt(value);
        EXPECT_GE(hundredths, 53);
        EXPECT_LE(hundredths, 60);
        EXPECT_EQ(value, SavedIntToFloat(hundredths));
        seen.insert(hundredths);
    }
    EXPECT_EQ(seen.size(), 8u);
    // Any generator draws the same way, and where TRandom::NextRange is defined it gives what
    // NextRange gives over the hundredths.
    const struct {
        float min, max;
    } bounds[] = {{0.5f, 0.5f}, {0.5f, 0.52f}, {0.53f, 1.2f}, {-0.07f, 0.03f}, {2.0f, 1.0f}};
    for (const auto& b : bounds) {
        TRandom drawing, reference;
        for (int i = 0; i < 20; ++i) {
            const float value = GlobalData::DrawHundredths(drawing, b.min, b.max);
            const int expected =
                reference.NextRange(SavedFloatToInt(b.min), SavedFloatToInt(b.max));
            EXPECT_EQ(value, SavedIntToFloat(expected)) << b.min << ".." << b.max;
        }
    }
    // Bounds that saturate: no overflow, still between them.
    data.hungerAddCoefMin = -1e30f;
    data.hungerAddCoefMax = 1e30f;
    for (int i = 0; i < 50; ++i) {
        const float value = data.RandomHungerAddCoef();
        EXPECT_GE(value, -21474836.48f);
        EXPECT_LE(value, 21474836.47f);
    }
}

TEST_F(GlobalDataTest, PointsOfInterest) {
    data.pointsOfInterest["Beach"] = {10, 20, "poi_beach", 1, 2};
    EXPECT_EQ(data.GetPointOfInterest("Beach").y, 20);
    const GPointOfInterest none = data.GetPointOfInterest("Nowhere");
    EXPECT_EQ(none.x, 0);
    EXPECT_EQ(none.text, str(""));
    EXPECT_EQ(none.stopEvent, 0);
}

TEST_F(GlobalDataTest, SavedFormRoundTripsInOrder) {
    data.SetEvent(3, true);
    data.SetEvent(55, true);
    data.SetTutorialEventFlag(0, true);
    data.currentTutorialEvent = 7;
    data.SetSeenProgressEvent(4, 12);
    data.maxAchievementsNum = 20;
    data.totalHoursPlayed = 100;
    data.realHoursPlayedFrozen = 3;
    data.bFreezeTimeShownInStats = true;
    data.devolutionsNum = 2;
    data.previousTreasureMapOpenPartsNum = 5;
    data.stillShowTreasureMapButtonBlinking = true;
    data.speedCoef = 2.0f;
    TXmlNode first("GlobalData");
    data.Save(&first);

    std::vector<std::string> children;
    for (TXmlNode* child : first.GetChildren())
        children.push_back(child->GetName().c_str());
    EXPECT_EQ(children, (std::vector<std::string>{"GlobalEvents", "TutorialEvents",
                                                  "SeenProgressEvents", "iSpeedCoef"}));
    std::vector<std::string> attributes;
    str name, value;
    first.ResetAttributes();
    while (first.GetNextAttribute(name, value))
        attributes.push_back(name.c_str());
    EXPECT_EQ(attributes,
              (std::vector<std::string>{
                  "MaxAchievementsNum", "AchievementsNum", "StatMaxPopulation", "TotalHoursPlayed",
                  "RealHoursPlayed", "TotalHoursPlayedFrozen", "RealHoursPlayedFrozen",
                  "bFreezeTimeShownInStats", "TribeMembersCreated", "GiraffesNum", "ElephantsNum",
                  "ZebrasNum", "LionsNum", "GorillasNum", "DevolutionsNum",
                  "PreviousTreasureMapOpenPartsNum", "StillShowTreasureMapButtonBlinking"}));
    EXPECT_EQ(first.FindChild("GlobalEvents")->GetChildren().size(), 56u);
    EXPECT_EQ(first.FindChild("TutorialEvents")->GetChildren().size(), 33u);
    EXPECT_EQ(first.FindChild("SeenProgressEvents")->GetChildren().size(), 20u);

    GlobalData loaded;
    loaded.Load(&first);
    TXmlNode second("GlobalData");
    loaded.Save(&second);
    EXPECT_EQ(second.ToString(), first.ToString());
    EXPECT_TRUE(loaded.IsEventSet(55));
    EXPECT_EQ(loaded.GetTotalHoursPlayed(), 0);  // frozen
    EXPECT_EQ(loaded.GetRealHoursPlayed(), 3);
}

TEST_F(GlobalDataTest, LoadingDamagedOrOldSaves) {
    std::string events = "<GlobalData><GlobalEvents>";
    for (int i = 0; i < 57; ++i)
        events += "<Event v=\"1\"/>";
    events += "</GlobalEvents><TutorialEvents><X v=\"2\"/><Y v=\"1\"/></TutorialEvents>";
    events += "<SeenProgressEvents><A v=\"99999999999\"/></SeenProgressEvents></GlobalData>";
    XmlDoc doc(events.c_str());
    data.Load(doc.Top());
    EXPECT_TRUE(data.IsEventSet(55));
    EXPECT_FALSE(data.IsTutorialEventSet(0));  // "v" 2 is not set
    EXPECT_TRUE(data.IsTutorialEventSet(1));
    EXPECT_EQ(data.GetSeenProgressEvent(0), 2147483647);
    EXPECT_EQ(data.speedCoef, 1.0f);  // no "iSpeedCoef"

    XmlDoc big(R"(<GlobalData><iSpeedCoef iSpeedCoef="2147483647"/></GlobalData>)");
    data.Load(big.Top());
    TXmlNode saved("GlobalData");
    data.Save(&saved);
    EXPECT_EQ(saved.FindChild("iSpeedCoef")->GetAttribute("iSpeedCoef"), str("2147483647"));
    GlobalData again;
    again.Load(&saved);
    TXmlNode savedAgain("GlobalData");
    again.Save(&savedAgain);
    EXPECT_EQ(savedAgain.FindChild("iSpeedCoef")->GetAttribute("iSpeedCoef"), str("2147483647"));
}

TEST(LocalTextTest, FormatParamsAndLookups) {
    const struct {
        const char* text;
        bool append;
        const char* result;
    } rows[] = {
        {"Give $PARAM1$ to $PARAM2$, $PARAM1$!", false, "Give a to b, a!"},
        {"Only $PARAM2$", true, "Only $PARAM2$ a"},
        {"Plain", true, "Plain a"},
        {"Plain", false, "Plain"},
        {"", true, " a"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatParams(row.text, row.append, "a", "b"), str(row.result)) << row.text;
    }
    EXPECT_EQ(GetLocalizedText("anything"), str("anything"));  // no table
    TStringTable table;
    simtest::FillTable(table, {{"hello", "Hi"}});
    SetStringTable(&table);
    EXPECT_EQ(GetLocalizedText("hello"), str("Hi"));
    EXPECT_EQ(GetLocalizedText("missing_label"), str("missing_label"));
    SetStringTable(nullptr);
}

}  // namespace
