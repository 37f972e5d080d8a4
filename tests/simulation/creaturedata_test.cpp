#include "simulation/data/creaturedata.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/xml/xmlnode.h"
#include "support/printers.h"
#include "xmlfixture.h"

namespace {

using simtest::XmlDoc;

GCreatureData FullBlock() {
    GCreatureData block;
    block.name = "Zebra";
    block.fullName = "SkilledZebra";
    block.animatorName = "zebra_l2";
    block.level = 2;
    block.startHealth = 100;
    block.currentHealth = 80;
    block.lostHealthD = 1;
    block.lostHealthT = 2;
    block.lostHealthH = 3;
    block.healthPercentsToEat = 17.5f;
    block.hungerAddCoef = 0.53f;
    block.thirstHAR = 1.239f;
    block.diseaseMinAge = 30;
    block.diseaseProbMin = 0.5f;
    block.diseaseProbMax = 12.25f;
    block.diseaseHealthLost = -1.239f;
    block.speed = 3.1f;
    block.runSpeed = 4.4f;
    block.minAge = 60;
    block.minSpeed = 1.7f;
    block.patrolDistance = 250;
    block.baseAnimatorName = "zebra";
    block.maxAnimatorsHeads = 3;
    block.maxAnimatorsBodies = 4;
    block.curAnimator = 1;
    block.curVoice = 2;
    block.hitRect = {-10, -20, 30, 40};
    GEvolutionData step;
    step.taskId = 2;
    step.nextFullName = "ExpertZebra";
    step.time[0] = 100;
    step.time[1] = 110;
    step.time[2] = 120;
    step.time[3] = 130;
    step.timeSpent = 5;
    step.startLevel = 100;
    step.maxLevel = 300;
    block.evolutionDatas = {step, step};
    block.evolutionDatas[1].taskId = 15;
    block.aiCoefs[2] = {40, 3, 1, 2, 25, 100, 7};
    block.aiCoefs[7] = {1, 0, 0, 0, 12, 50, 0};
    block.consumptions[1] = {5, 4, 2, 8, -3, 6};
    block.consumptions[2] = {6, 6, 3, 9, -4, 7};
    for (int i = 0; i < kTaskKindCount; ++i)
        block.timeSpent[i] = i * 11;
    block.poi = {{10, 20, "poi_beach", 1, 2}};
    GPatrolZone zone;
    zone.x1 = 1;
    zone.y1 = 2;
    zone.x2 = 300;
    zone.y2 = 400;
    zone.points = {{5, 6}, {7, 8}};
    block.patrol = {zone, GPatrolZone()};
    return block;
}

std::string Saved(const GCreatureData& block) {
    TXmlNode node("Data");
    block.Save(&node);
    return node.ToString().c_str();
}

TEST(CreatureDataTest, ConstructionDefaults) {
    GCreatureData block;
    EXPECT_EQ(block.speed, 2.0f);
    EXPECT_EQ(block.runSpeed, 2.0f);
    EXPECT_EQ(block.minSpeed, 2.0f);
    EXPECT_EQ(block.minAge, 50);
    EXPECT_EQ(block.healthPercentsToEat, 15.0f);
    EXPECT_EQ(block.thirstHAR, 1.0f);
    EXPECT_EQ(block.curAnimator, -1);
    EXPECT_EQ(block.curHeadAnimator, -1);
    EXPECT_EQ(block.curVoice, -1);
    EXPECT_EQ(block.timeSpent[38], 0);
}

TEST(CreatureDataTest, SavedFormRoundTrips) {
    const GCreatureData block = FullBlock();
    const std::string first = Saved(block);
    XmlDoc doc(first.c_str());
    GCreatureData loaded;
    loaded.Load(doc.Top());
    EXPECT_EQ(Saved(loaded), first);
    EXPECT_EQ(loaded.hungerAddCoef, 0.53f);  // 53 back, not 52
    EXPECT_FLOAT_EQ(loaded.thirstHAR, 1.23f);
    EXPECT_FLOAT_EQ(loaded.diseaseHealthLost, -1.23f);
    EXPECT_EQ(doc.Top()->GetAttribute("ThirstHAR"), str("123"));
    EXPECT_EQ(doc.Top()->GetAttribute("DiseaseHealthLost"), str("-123"));
    ASSERT_EQ(loaded.patrol.size(), 2u);
    EXPECT_EQ(loaded.patrol[0].points[1].y, 8);
    EXPECT_EQ(loaded.timeSpent[38], 38 * 11);
    // The definition's value is not part of the saved form.
    EXPECT_EQ(doc.Top()->GetAttribute("HealthPercentsToStop"), str(""));

    // A copy holds every field and container.
    GCreatureData copy(block);
    EXPECT_EQ(Saved(copy), first);
}

TEST(CreatureDataTest, AbsentAttributesReadZero) {
    XmlDoc doc(R"(<Data Name="Puff"/>)");
    GCreatureData block;
    block.evolutionDatas.resize(1);
    block.timeSpent[4] = 9;
    block.Load(doc.Top());
    EXPECT_EQ(block.speed, 0.0f);
    EXPECT_EQ(block.minAge, 0);
    EXPECT_EQ(block.curAnimator, 0);
    // Missing containers stay as they were.
    EXPECT_EQ(block.evolutionDatas.size(), 1u);
    EXPECT_EQ(block.timeSpent[4], 9);
}

TEST(CreatureDataTest, ContainersAreReadWhateverTheirChildrenAreCalled) {
    XmlDoc doc(R"(<Data><AICoefs><X TaskID="2" Weight="5"/><AICoef TaskID="4" Weight="1"/>
        <Y TaskID="2" Weight="9"/></AICoefs><Consumptions><Q ResourceType="1" Portion="3"/>
        </Consumptions><TimeSpent><t v="1"/><u v="2"/></TimeSpent></Data>)");
    GCreatureData block;
    block.timeSpent[10] = 99;
    block.Load(doc.Top());
    ASSERT_EQ(block.aiCoefs.size(), 2u);
    EXPECT_EQ(block.aiCoefs[2].weight, 9);  // the later one of a kind replaces the earlier
    EXPECT_EQ(block.consumptions[1].portion, 3);
    EXPECT_EQ(block.timeSpent[0], 1);
    EXPECT_EQ(block.timeSpent[1], 2);
    EXPECT_EQ(block.timeSpent[10], 0);  // zeroed before the fewer children fill it

    std::string many = "<Data><TimeSpent>";
    for (int i = 0; i < 41; ++i)
        many += "<t v=\"" + std::to_string(i + 1) + "\"/>";
    many += "</TimeSpent></Data>";
    XmlDoc more(many.c_str());
    block.Load(more.Top());
    EXPECT_EQ(block.timeSpent[38], 39);
}

TEST(CreatureDataTest, Durations) {
    GCreatureData block;
    EXPECT_EQ(block.GetTaskDuration(15), 0);
    block.evolutionDatas.resize(3);
    block.evolutionDatas[0].taskId = 2;
    block.evolutionDatas[0].time[0] = 11;
    block.evolutionDatas[1].taskId = 15;
    block.evolutionDatas[1].time[0] = 77;
    block.evolutionDatas[2].taskId = 15;
    block.evolutionDatas[2].time[0] = 88;
    EXPECT_EQ(block.GetTaskDuration(15), 77);
    EXPECT_EQ(block.GetTaskDuration(2), 0);
    block.aiCoefs[15].duration = 5;
    EXPECT_EQ(block.GetTaskDuration(15), 5);
    EXPECT_TRUE(block.HasTaskData(0));
    EXPECT_TRUE(block.HasTaskData(15));
    EXPECT_FALSE(block.HasTaskData(2));
    block.consumptions[2].duration = 14;
    EXPECT_EQ(block.GetConsumptionDuration(2), 14);
    EXPECT_EQ(block.GetConsumptionDuration(1), 0);
}

TEST(CreatureDataTest, TaskWeights) {
    GCreatureData block;
    EXPECT_EQ(block.GetHeaviestTask(), 0);
    block.aiCoefs[1].weight = 100;
    block.aiCoefs[2].weight = 300;
    block.RaiseTaskWeight(1, 50);
    EXPECT_EQ(block.aiCoefs[1].weight, 3);
    EXPECT_EQ(block.aiCoefs[2].weight, 3);
    EXPECT_EQ(block.GetHeaviestTask(), 1);  // the lowest kind on equal weights

    block.aiCoefs[3].weight = 0;
    block.RaiseTaskWeight(3, 50);  // no positive weight: nothing
    block.RaiseTaskWeight(9, 50);  // no entry: nothing
    EXPECT_EQ(block.aiCoefs[3].weight, 0);
    block.RaiseTaskWeight(2, 100);  // 3 + 6 = 9; 3 is below 100, so no division
    EXPECT_EQ(block.aiCoefs[2].weight, 9);
    EXPECT_EQ(block.GetHeaviestTask(), 2);

    GCreatureData negative;
    negative.aiCoefs[4].weight = -5;
    negative.aiCoefs[6].weight = 0;
    EXPECT_EQ(negative.GetHeaviestTask(), 0);
}

// Numbers beyond what the game writes: clamped, never undefined.
TEST(CreatureDataTest, SaturatingNumbers) {
    XmlDoc doc(R"(<Data MinAge="99999999999" Level="99999999999" StartHealth="-99999999999"
        CurrentHealth="70000"/>)");
    GCreatureData block;
    block.Load(doc.Top());
    EXPECT_EQ(block.minAge, 2147483647);
    EXPECT_EQ(block.level, -1);       // the low 16 bits of 2147483647
    EXPECT_EQ(block.startHealth, 0);  // the low 16 bits of -2147483648
    EXPECT_EQ(block.currentHealth, 70000 - 65536);

    GCreatureData weights;
    weights.aiCoefs[1].weight = 2147483600;
    weights.aiCoefs[2].weight = 2147483600;
    weights.RaiseTaskWeight(1, 2147483647);
    EXPECT_EQ(weights.aiCoefs[1].weight, 21474836);  // clamped, then divided by 100
    EXPECT_EQ(weights.aiCoefs[2].weight, 21474836);
}

}  // namespace
