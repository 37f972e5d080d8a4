#include "simulation/params/gameparams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simulation/params/globaldata.h"
#include "simulation/nameregistry.h"
#include "support/logcapture.h"
#include "support/printers.h"
#include "xmlfixture.h"

namespace {

using simtest::XmlDoc;

class GameParamsTest : public ::testing::Test {
protected:
    void Load(const char* mainXml, const char* namesXml = "<Names><Name Value=\"Ana\"/></Names>") {
        XmlDoc main(mainXml), names(namesXml);
        GameParams::Load(data, main.Top(), names.Top(), registry);
    }

    GNameRegistry registry;
    GlobalData data;
};

TEST_F(GameParamsTest, WithoutEventTresholdsTheDefaultsStay) {
    Load("<Game/>");
    EXPECT_EQ(data.autosavePeriod, -1);
    EXPECT_EQ(data.piranhasAppearTime, 100);
    EXPECT_EQ(data.piranhasAppearAfter, 10);
    EXPECT_EQ(data.secretMapMaxTime, 10);
    EXPECT_EQ(data.hiddenObjectHideTime, 10000);
    EXPECT_EQ(data.speedMults[0], 0.5f);
    EXPECT_EQ(data.speedMults[1], 1.0f);
    EXPECT_EQ(data.speedMults[2], 2.0f);
    EXPECT_EQ(data.maxPopulation, 70);
    EXPECT_EQ(data.defaultTask, 10);
    EXPECT_EQ(data.tomahawkProb, 50);
    EXPECT_EQ(data.additionDelay, 5);
    EXPECT_EQ(data.blinkDelayTopLeftIcon, 30);
    EXPECT_EQ(data.blinkDelayBlinkingProgressBars, 300);
    EXPECT_EQ(data.mouseWheelScrollSpeed, 30);
    EXPECT_EQ(data.speedCoef, 1.0f);
    EXPECT_EQ(data.probMax, 100.0f);
}

TEST_F(GameParamsTest, EventTresholdsReadAbsentKeysAsZeroButAutosave) {
    Load("<Game><EventTresholds SpeedMultFast=\"3\" HiddenObjectMaxTime=\"70000\"/></Game>");
    EXPECT_EQ(data.piranhasAppearTime, 0);
    EXPECT_EQ(data.secretMapHideTime, 0);
    EXPECT_EQ(data.autosavePeriod, -1);
    EXPECT_EQ(data.speedMults[0], 0.0f);
    EXPECT_EQ(data.speedMults[1], 1.0f);
    EXPECT_EQ(data.speedMults[2], 3.0f);
    EXPECT_EQ(data.hiddenObjectMaxTime, 70000 - 65536);  // the low 16 bits
    Load("<Game><EventTresholds AutosavePeriod=\"300\" SpeedMultSlow=\"0.25\"/></Game>");
    EXPECT_EQ(data.autosavePeriod, 300);
    EXPECT_EQ(data.speedMults[0], 0.25f);
}

TEST_F(GameParamsTest, PresentOnlyKeys) {
    Load(R"(<Game><Population Max="45" OldAge=""/><Duration YearLength="600"/>
         <Health NeedFood="4" NeedWater="6" NeedWaterEasy="2" HungerAddCoefMin="0.53"/>
         <AI WeightAddition="8"/></Game>)");
    EXPECT_EQ(data.maxPopulation, 45);
    EXPECT_EQ(data.oldAge, 80);
    EXPECT_EQ(data.breedFoodCoef, 1.0f);
    EXPECT_EQ(data.yearLength, 600);
    EXPECT_EQ(data.cycleLength, 100);
    EXPECT_EQ(data.needFoodEasy, 4);
    EXPECT_EQ(data.needWaterEasy, 2);
    EXPECT_EQ(data.hungerAddCoefMin, 0.53f);
    EXPECT_EQ(data.hungerAddCoefMax, 1.0f);
    EXPECT_EQ(data.weightAddition, 8);
    EXPECT_EQ(data.overrideProbPercents, 90);
}

TEST_F(GameParamsTest, MonsterRules) {
    const struct {
        const char* monsters;
        int period, distanceToDefend, additionDelay, tomahawkProb;
    } rows[] = {
        {R"(Period="0" DistanceToRun="420" DistanceToDefend="0" AdditionDelay="0")", 1, 420, 5, 0},
        {R"(Period="-3" DistanceToRun="200" DistanceToDefend="300" AdditionDelay="9"
            TomahawkProb="70")",
         1, 300, 9, 70},
        {R"(Period="12" DistanceToRun="100")", 12, 100, 5, 0},
    };
    for (const auto& row : rows) {
        GlobalData fresh;
        XmlDoc main((std::string("<Game><World><Monsters ") + row.monsters +
                     " Level2Event=\"1\"/></World></Game>")
                        .c_str());
        XmlDoc names("<Names/>");
        GameParams::Load(fresh, main.Top(), names.Top(), registry);
        EXPECT_EQ(fresh.monstersPeriod, row.period) << row.monsters;
        EXPECT_EQ(fresh.distanceToDefend, row.distanceToDefend) << row.monsters;
        EXPECT_EQ(fresh.additionDelay, row.additionDelay) << row.monsters;
        EXPECT_EQ(fresh.tomahawkProb, row.tomahawkProb) << row.monsters;
        EXPECT_EQ(fresh.levelEvents[1], 1);
    }
    // "World" without "Monsters" keeps the defaults.
    Load("<Game><World/></Game>");
    EXPECT_EQ(data.tomahawkVulnerability, 100);
    EXPECT_EQ(data.monstersPeriod, 0);
}

TEST_F(GameParamsTest, MiniGamePoints) {
    Load(R"(<Game><MiniGamePoints><R x="1" x2="2" y="5" y2="6"/><P x="9" y="8"/>
         <Reversed x="3" x2="2" y="0" y2="0"/><Flat x="0" x2="2147483647" y="1" y2="0"/>
         </MiniGamePoints></Game>)");
    ASSERT_EQ(data.miniGamePoints.size(), 5u);
    const int expected[][2] = {{1, 5}, {1, 6}, {2, 5}, {2, 6}, {9, 8}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(data.miniGamePoints[i].x, expected[i][0]);
        EXPECT_EQ(data.miniGamePoints[i].y, expected[i][1]);
    }
}

TEST_F(GameParamsTest, MiniGameRangesStopAtTheCap) {
    testing_support::LogCapture log;
    Load(R"(<Game><MiniGamePoints><R x="2147483600" x2="2147483647" y="0" y2="2147483647"/>
         <P x="1" y="1"/></MiniGamePoints></Game>)");
    EXPECT_EQ(data.miniGamePoints.size(), static_cast<size_t>(GameParams::kMaxMiniGamePoints));
    EXPECT_EQ(log.Messages().size(), 1u);
}

TEST_F(GameParamsTest, ArkAndPointsOfInterest) {
    const char* main = R"(<Game><Ark MonkeyNeed="3" AlphaAddPerSecond="0">
        <Part1><P x="1" y="2"/><P x="3" y="4"/></Part1><Part4><P x="7" y="8"/></Part4></Ark>
        <POI><Beach x="10" y="20" TextID="poi_beach" StartEvent="2"/></POI></Game>)";
    Load(main);
    EXPECT_EQ(data.monkeyNeed, 3);
    EXPECT_FLOAT_EQ(data.alphaAddPerSecond, 0.1f);
    ASSERT_EQ(data.arkParts[0].size(), 2u);
    EXPECT_EQ(data.arkParts[3][0].x, 7);
    EXPECT_EQ(data.GetPointOfInterest("Beach").text, str("poi_beach"));
    EXPECT_EQ(data.GetPointOfInterest("Beach").startEvent, 2);
    // A second load of the same file: the same points through the modulo, the same POI.
    std::vector<int> before;
    for (int i = -3; i < 6; ++i)
        before.push_back(data.GetArkPartPoint(0, i).x);
    Load(main);
    std::vector<int> after;
    for (int i = -3; i < 6; ++i)
        after.push_back(data.GetArkPartPoint(0, i).x);
    EXPECT_EQ(before, after);
    EXPECT_EQ(data.pointsOfInterest.size(), 1u);
    // A later point of the same name replaces the earlier; other points stay.
    Load(R"(<Game><POI><Beach x="1" y="2"/><Cave x="5"/><Beach x="30" TextID="later"/></POI>
         </Game>)");
    EXPECT_EQ(data.pointsOfInterest.size(), 2u);
    EXPECT_EQ(data.GetPointOfInterest("Beach").x, 30);
    EXPECT_EQ(data.GetPointOfInterest("Beach").text, str("later"));
    EXPECT_EQ(data.GetPointOfInterest("Cave").x, 5);

    for (const char* alpha : {"-1", "abc", "0.25"}) {
        Load((std::string("<Game><Ark AlphaAddPerSecond=\"") + alpha + "\"/></Game>").c_str());
        EXPECT_FLOAT_EQ(data.alphaAddPerSecond, std::string(alpha) == "0.25" ? 0.25f : 0.1f);
    }
}

TEST_F(GameParamsTest, AiOverrides) {
    Load(R"(<Game><AI><A Action="Forage"><build Weight="4"/><walk Weight="9"/>
         <GatherWater Weight="70000"/></A><B Action="walk"><build Weight="1"/></B>
         <C><build Weight="1"/></C></AI></Game>)");
    ASSERT_EQ(data.aiOverrides.size(), 1u);
    const auto& forage = data.aiOverrides.at(2);
    ASSERT_EQ(forage.size(), 2u);
    EXPECT_EQ(forage.at(4), 4);
    EXPECT_EQ(forage.at(3), 70000 - 65536);
    // The table starts afresh with every load.
    Load("<Game/>");
    EXPECT_TRUE(data.aiOverrides.empty());
}

TEST_F(GameParamsTest, InterfaceValues) {
    Load(R"(<Game><BlinkDelays iBlinkDelayTopLeftIcon="5"/><MouseWheelScrollSpeed
         iMouseWheelScrollSpeed="12"/><iSpeedCoef iSpeedCoef="3"/></Game>)");
    EXPECT_EQ(data.blinkDelayTopLeftIcon, 5);
    EXPECT_EQ(data.blinkDelayBlinkingProgressBars, 0);
    EXPECT_EQ(data.mouseWheelScrollSpeed, 12);
    EXPECT_EQ(data.speedCoef, 3.0f);
    Load("<Game/>");
    EXPECT_EQ(data.blinkDelayBlinkingProgressBars, 300);
    EXPECT_EQ(data.mouseWheelScrollSpeed, 30);
    EXPECT_EQ(data.speedCoef, 1.0f);
}

TEST_F(GameParamsTest, HintsAndNames) {
    Load(R"(<Game><Hints><H StartEvent="1" StopEvent="2" ID="hint_a"/><H ID="hint_b"/></Hints>
         </Game>)",
         R"(<Names><N Value="Ana"/><N Value="Bo"/><X/></Names>)");
    ASSERT_EQ(data.hints.size(), 2u);
    EXPECT_EQ(data.hints[0].id, str("hint_a"));
    EXPECT_EQ(data.hints[0].stopEvent, 2);
    EXPECT_EQ(data.GetNames().size(), 3u);
    Load("<Game/>");
    EXPECT_TRUE(data.hints.empty());
    EXPECT_EQ(data.GetNames().size(), 1u);
}

TEST_F(GameParamsTest, TheRunTimePartIsReset) {
    data.SetEvent(5, true);
    data.SetTutorialEventFlag(3, true);
    data.SetSeenProgressEvent(2, 9);
    data.lionsNum = 4;
    data.totalHoursPlayed = 12;
    data.stillShowTreasureMapButtonBlinking = true;
    data.bFreezeTimeShownInStats = true;
    Load("<Game/>");
    EXPECT_FALSE(data.IsEventSet(5));
    EXPECT_FALSE(data.IsTutorialEventSet(3));
    EXPECT_EQ(data.GetSeenProgressEvent(2), 0);
    EXPECT_EQ(data.lionsNum, 0);
    EXPECT_EQ(data.totalHoursPlayed, 0);
    EXPECT_FALSE(data.stillShowTreasureMapButtonBlinking);
    EXPECT_FALSE(data.bFreezeTimeShownInStats);
}

TEST_F(GameParamsTest, NothingIsReadWithoutRootOrNames) {
    XmlDoc main("<Game><Population Max=\"3\"/></Game>"), names("<Names/>");
    GameParams::Load(data, main.Top(), nullptr, registry);
    GameParams::Load(data, nullptr, names.Top(), registry);
    EXPECT_EQ(data.maxPopulation, 70);
}

}  // namespace
