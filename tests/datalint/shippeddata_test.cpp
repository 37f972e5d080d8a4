// The shipped game-logic data through the game's own loaders: what they read from it, and the
// lint finding nothing. The lint also reads the generated art of the built game folder: the
// sprite descriptions and ".layout" files the locations' animators name, and the walk grid the
// start layout, the program's fixed points and the hiding places lie on.
//
// Not checked yet: a headless run of the world over the data (it comes with the world's rules).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "datafolder.h"
#include "datalint.h"
#include "foundation/file/fileindex.h"
#include "foundation/prefs/prefs.h"
#include "foundation/prefs/stringtable.h"
#include "foundation/settingsmap.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/definitions/definitionfiles.h"
#include "simulation/nameregistry.h"
#include "simulation/params/gameparams.h"
#include "simulation/params/globaldata.h"
#include "simulation/params/messagetable.h"
#include "simulation/taskkind.h"
#include "support/printers.h"

namespace {

using datalint_testing::ShippedData;

// The first element of a logic file.
class LogicFile {
public:
    explicit LogicFile(const char* name) { mDocument.LoadFile(str("xml/logic/") + name); }
    TXmlNode* Root() const {
        return mDocument.GetChildren().empty() ? nullptr : mDocument.GetChildren().front();
    }

private:
    TXmlNode mDocument;
};

class ShippedDataTest : public ShippedData {
protected:
    void LoadParameters() {
        LogicFile main("main.xml");
        LogicFile names("names.xml");
        ASSERT_NE(main.Root(), nullptr);
        ASSERT_NE(names.Root(), nullptr);
        GameParams::Load(mParams, main.Root(), names.Root(), mNames);
        mNames.SetGameParams(&mParams);
    }

    GlobalData mParams;
    GNameRegistry mNames;
};

TEST_F(ShippedData, LintFindsNothing) {
    const std::vector<datalint::Finding> findings = datalint::Run();
    EXPECT_TRUE(findings.empty()) << datalint::Describe(findings);
}

TEST_F(ShippedDataTest, ParametersLoad) {
    LoadParameters();
    const GlobalData& p = mParams;
    const struct {
        const char* what;
        double got;
        double want;
    } cases[] = {
        {"AutosavePeriod", double(p.autosavePeriod), 300},
        {"PiranhasAppearAfter", double(p.piranhasAppearAfter), 28},
        {"Population Max", double(p.maxPopulation), 45},
        {"BreedFoodCoef", p.breedFoodCoef, 3.0},
        {"DefaultTask", double(p.defaultTask), 10},
        {"CycleLength", double(p.cycleLength), 100},
        {"YearLength", double(p.yearLength), 600},
        {"OverrideProbPercents", double(p.overrideProbPercents), 75},
        {"HungerHRR", p.hungerHRR, 1.0},
        {"HungerReduction", double(p.hungerReduction), 6},
        {"MinAge", double(p.minAge), 3},
        {"DeathAgeMax", double(p.deathAgeMax), 85},
        {"MonkeyNeed", double(p.monkeyNeed), 3},
        {"MaxCount", double(p.monstersMaxCount), 6},
        {"Period", double(p.monstersPeriod), 600},
        {"DistanceToRun", double(p.distanceToRun), 260},
        {"DistanceToDefend", double(p.distanceToDefend), 420},
        {"TomahawkVulnerability", double(p.tomahawkVulnerability), 50},
        {"Level1Event", double(p.levelEvents[0]), 0},
        {"Level2Event", double(p.levelEvents[1]), 1},
        {"Level3Event", double(p.levelEvents[2]), 5},
        {"Level4Event", double(p.levelEvents[3]), 35},
        {"Level5Event", double(p.levelEvents[4]), 37},
        {"points of interest", double(p.pointsOfInterest.size()), 10},
        {"hints", double(p.hints.size()), 22},
        {"mini-game points", double(p.miniGamePoints.size()), 12},
        {"ark part 1 points", double(p.arkParts[0].size()), 4},
        {"ark part 2 points", double(p.arkParts[1].size()), 4},
        {"ark part 3 points", double(p.arkParts[2].size()), 5},
        {"ark part 4 points", double(p.arkParts[3].size()), 4},
        {"nicknames", double(p.GetNames().size()), 60},
        {"iBlinkDelayBlinkingProgressBars", double(p.blinkDelayBlinkingProgressBars), 300},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(c.got, c.want) << c.what;
    EXPECT_EQ(p.GetPointOfInterest("ChannelBank").text, str("poi_channel"));
    ASSERT_FALSE(p.hints.empty());
    EXPECT_EQ(p.hints.front().id, str("hint_need_sticks"));
    EXPECT_EQ(p.hints.front().stopEvent, 46);
}

TEST_F(ShippedDataTest, EveryDefinitionIsStoredWithEveryChild) {
    LoadParameters();
    mNames.LoadDefinitionFiles();
    for (const char* animal : {"Puff", "Lion", "Giraffe", "Zebra", "Elephant", "Gorilla"}) {
        for (const char* form : {"Basic", "Skilled", "Expert", "Guru"}) {
            const str fullName = str(form) + str(animal);
            const GCreatureData* creature = mNames.FindCreatureDefinition(fullName);
            ASSERT_NE(creature, nullptr) << fullName.c_str();
            EXPECT_EQ(creature->name, str(animal));
            // Six Weight-0 fallbacks, flakeout and the working tasks; two needs.
            EXPECT_GE(creature->aiCoefs.size(), 15u) << fullName.c_str();
            EXPECT_EQ(creature->consumptions.size(), 2u) << fullName.c_str();
        }
    }
    const GMonsterData* hyena = mNames.FindMonsterDefinition("BasicHyena");
    ASSERT_NE(hyena, nullptr);
    EXPECT_EQ(hyena->aiCoefs.size(), 5u);
    const GLocationData* metal = mNames.FindLocationDefinition("Metal Pile");
    ASSERT_NE(metal, nullptr);
    ASSERT_EQ(metal->resources.size(), 2u);
    EXPECT_EQ(metal->resources[0].requiredEvent, 13);
    EXPECT_EQ(metal->canUse.size(), 5u);
    const GLocationData* idol = mNames.FindLocationDefinition("Idol Lion 2");
    ASSERT_NE(idol, nullptr);
    EXPECT_EQ(idol->afterBuildTransform, str("Idol Lion 3"));
    EXPECT_EQ(idol->locationBonusPercents, 10);

    // Every file stores one prototype: 24 + 1 + 77 distinct full names.
    GNameRegistry again;
    again.SetGameParams(&mParams);
    int stored = 0;
    for (size_t i = 0; i < kDefinitionFileCount; ++i) {
        const str file = str("xml/logic/") + kDefinitionFiles[i] + ".xml";
        stored += again.LoadDefinitionFile(file).stored != nullptr ? 1 : 0;
    }
    EXPECT_EQ(stored, 102);
}

TEST_F(ShippedDataTest, EvolutionTotals) {
    LoadParameters();
    mNames.LoadDefinitionFiles();
    const std::pair<int, int> totals[] = {
        {kTaskForage, 6900}, {kTaskGatherWater, 6900}, {kTaskBuild, 7050},
        {kTaskDoctor, 6600}, {kTaskDefend, 1740},      {kTaskTraining, 6900},
    };
    for (const auto& [kind, total] : totals) {
        EXPECT_EQ(mNames.GetEvolutionTotal(kind), total) << mNames.GetTaskName(kind).c_str();
    }
}

TEST_F(ShippedDataTest, MessagesLoadIntoTheirLists) {
    LogicFile messages("messages.xml");
    ASSERT_NE(messages.Root(), nullptr);
    EXPECT_EQ(messages.Root()->GetChildren().size(), 84u);
    MessageTable table;
    table.Load(messages.Root(), mNames);
    const std::pair<MessageTable::List, size_t> sizes[] = {
        {MessageTable::kHover, 226},      {MessageTable::kDropSuccess, 13},
        {MessageTable::kDropFailure, 72}, {MessageTable::kSuccess, 3},
        {MessageTable::kFailure, 3},      {MessageTable::kStandBy, 1},
    };
    size_t total = 0;
    for (const auto& [list, size] : sizes) {
        EXPECT_EQ(table.GetList(list).size(), size) << list;
        total += table.GetList(list).size();
    }
    EXPECT_EQ(total, 318u);
}

TEST_F(ShippedDataTest, EveryLabelLooksUp) {
    TStringTable strings;
    ASSERT_TRUE(strings.LoadFile("strings.xml"));
    EXPECT_EQ(strings.GetCount(), 430u);
    size_t labels = 0;
    for (const datalint::LabelGroup& group : datalint::RequiredLabels()) {
        for (const char* label : group.labels) {
            ++labels;
            const str text = strings.GetString(label, "Abc");
            EXPECT_EQ(std::strstr(text.c_str(), "#####"), nullptr) << label;
            EXPECT_GT(text.Length(), 0) << label;
        }
    }
    EXPECT_EQ(labels, 430u);
    EXPECT_EQ(strings.GetString("welcome", "Abc"), str("Welcome back, Abc!"));
    EXPECT_EQ(strings.GetString("build"), str("Building"));
}

// The shipped key names one installation whether or not a preference file exists.
TEST_F(ShippedData, InstallFileNamesOneInstallation) {
    SetUserDataRoot(mScratch.File("user").c_str());
    TSettingsMap::GetInstance().Set("encryptionkey", "Umbrava12Key");
    str firstKey;
    {
        TPrefs first(true);
        firstKey = first.GetInstallKey();
        first.SetString("lastplayer", "Abbet", 0, true);
    }
    EXPECT_EQ(firstKey, str("umbrava"));
    TPrefs second(false);
    EXPECT_EQ(second.GetInstallKey(), firstKey);
    EXPECT_EQ(second.GetString("lastplayer", "", 0), str("Abbet"));
    EXPECT_EQ(second.GetUserCount(), 1);
}

}  // namespace
