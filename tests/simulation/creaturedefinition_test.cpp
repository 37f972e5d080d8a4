// The creature definition loader, each case a small "Creature" element.
#include <gtest/gtest.h>

#include <string>

#include "simulation/params/globaldata.h"
#include "simulation/nameregistry.h"
#include "support/logcapture.h"
#include "support/printers.h"
#include "xmlfixture.h"

namespace {

using simtest::XmlDoc;

// The parts every definition needs, so that a case only writes what it is about.
const char kAnimator[] = R"(<Animator Name="puff"/>)";
const char kEvolution[] = R"(<Evolution/>)";
const char kAI[] = R"(<AI/>)";
const char kHealth[] = R"(<Health StartHealth="100"/>)";

std::string Creature(const std::string& attributes, const std::string& body,
                     const char* animator = kAnimator, const char* evolution = kEvolution,
                     const char* ai = kAI, const char* health = kHealth) {
    return "<Creature " + attributes + ">" + animator + evolution + ai + health + body +
           "</Creature>";
}

class CreatureDefinitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        params.defaultTask = 12;
        params.hungerHealthLost = 3;
        params.hungerHealthAdd = 4;
        params.thirstHealthLost = 5;
        params.thirstHealthAdd = 6;
        params.healthPercentsToStop = 40;
        params.minAge = 25;
        params.probMax = 60.0f;
        params.hungerHRR = 1.5f;
        registry.SetGameParams(&params);
    }

    const GCreatureData* Load(const std::string& xml, const GCreatureData* base = nullptr) {
        XmlDoc doc(xml.c_str());
        return static_cast<const GCreatureData*>(
            registry.LoadCreatureDefinition(doc.Top(), base).stored);
    }

    GlobalData params;
    GNameRegistry registry;
};

TEST_F(CreatureDefinitionTest, NamesAndLevel) {
    const GCreatureData* puff = Load(Creature(R"(Name="Puff" Level="-2")", ""));
    ASSERT_NE(puff, nullptr);
    EXPECT_EQ(registry.FindCreatureDefinition("Puff"), puff);  // no "FullName": the Name
    EXPECT_EQ(puff->fullName, str("Puff"));
    EXPECT_EQ(puff->level, 0);
    EXPECT_EQ(Load(Creature(R"(Name="A" FullName="Big" Level="70000")", ""))->level, 70000 - 65536);
    EXPECT_EQ(Load(Creature(R"(Name="A" FullName="Huge" Level="99999999999")", ""))->level, 0);
    EXPECT_EQ(Load(Creature(R"(Name="A" FullName="Mid" Level="3")", ""))->level, 3);
    EXPECT_EQ(Load(Creature(R"(FullName="NoName")", "")), nullptr);
    EXPECT_EQ(Load(Creature(R"(Name="")", "")), nullptr);
}

TEST_F(CreatureDefinitionTest, RequiredParts) {
    EXPECT_EQ(Load(Creature(R"(Name="A")", "", "")), nullptr);
    EXPECT_EQ(Load(Creature(R"(Name="A")", "", "<Animator Speed=\"3\"/>")), nullptr);
    EXPECT_EQ(Load(Creature(R"(Name="A")", "", kAnimator, "")), nullptr);
    EXPECT_EQ(Load(Creature(R"(Name="A")", "", kAnimator, kEvolution, "")), nullptr);
    EXPECT_EQ(Load(Creature(R"(Name="A")", "", kAnimator, kEvolution, kAI, "<Health/>")), nullptr);
    EXPECT_EQ(Load(Creature(R"(Name="A")", "", kAnimator, kEvolution, kAI, "")), nullptr);
    EXPECT_EQ(registry.FindCreatureDefinition("A"), nullptr);
}

TEST_F(CreatureDefinitionTest, Animator) {
    const GCreatureData* block = Load(Creature(R"(Name="A")", "",
                                               R"(<Animator Name="zebra" Speed="3"
        AnimSpeedKoef="1.5" MinAge="70" MaxHeadAnimatorsNum="4"><Patrol><Z x1="1" x2="9" y2="4">
        <P x="2" y="3"/><Q x="5"/></Z><Zone/></Patrol></Animator>)"));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->animatorName, str("zebra"));
    EXPECT_EQ(block->baseAnimatorName, str("zebra"));
    EXPECT_EQ(block->speed, 3.0f);
    EXPECT_EQ(block->runSpeed, 3.0f);
    EXPECT_EQ(block->minSpeed, 3.0f);
    EXPECT_EQ(block->runAnimSpeedKoef, 1.5f);
    EXPECT_EQ(block->minAnimSpeedKoef, 1.5f);
    EXPECT_EQ(block->minAge, 70);         // the ageing limit
    EXPECT_EQ(block->diseaseMinAge, 25);  // "Health" gives none: the parameter
    EXPECT_EQ(block->maxAnimatorsHeads, 4);
    EXPECT_EQ(block->curVoice, -1);
    ASSERT_EQ(block->patrol.size(), 2u);
    EXPECT_EQ(block->patrol[0].x2, 9);
    EXPECT_EQ(block->patrol[0].y1, 0);
    ASSERT_EQ(block->patrol[0].points.size(), 2u);
    EXPECT_EQ(block->patrol[0].points[1].x, 5);

    const GCreatureData* plain = Load(Creature(R"(Name="B")", ""));
    EXPECT_EQ(plain->speed, 2.0f);
    EXPECT_EQ(plain->minAge, 50);
}

TEST_F(CreatureDefinitionTest, Evolution) {
    const GCreatureData* block = Load(Creature(R"(Name="A")", "", kAnimator, R"(<Evolution>
        <Evolve Action="forage" Next="B" Time="300" Time2="100"/>
        <Evolve Action="forage" Next="B" Time="0"/>
        <Evolve Action="forage" Time="50"/>
        <Evolve Action="walk" Next="B" Time="50"/>
        <Evolve Action="none" Next="B" Time="50"/>
        <Evolve Action="DEVOLVE" Next="C" Time="-20"/>
        <Step Action="forage" Next="B" Time="50"/></Evolution>)"));
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(block->evolutionDatas.size(), 2u);
    const GEvolutionData& first = block->evolutionDatas[0];
    EXPECT_EQ(first.taskId, 2);
    EXPECT_EQ(first.nextFullName, str("B"));
    EXPECT_EQ(first.time[0], 300);
    EXPECT_EQ(first.time[1], 300);
    EXPECT_EQ(first.time[2], 100);
    EXPECT_EQ(first.time[3], 300);
    EXPECT_EQ(block->evolutionDatas[1].taskId, 15);
    EXPECT_EQ(block->evolutionDatas[1].time[0], -20);
}

TEST_F(CreatureDefinitionTest, Tasks) {
    const GCreatureData* block = Load(Creature(R"(Name="A")", "", kAnimator, kEvolution, R"(<AI>
        <Task Action="Forage" Weight="30" Production="2" Duration="7" MinProb="70000"/>
        <Task Action="forage" Weight="99"/>
        <Task Action="build"/>
        <Task Action="defend" Weight="5" Production="-1"/>
        <Task Action="rest" Weight="5" Duration="0"/>
        <Task Action="none" Weight="5"/>
        <Job Action="doctor" Weight="5"/></AI>)"));
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(block->aiCoefs.size(), 2u);
    const GAICoef& forage = block->aiCoefs.at(2);
    EXPECT_EQ(forage.weight, 30);  // the first task of a kind stays
    EXPECT_EQ(forage.production, 2);
    EXPECT_EQ(forage.duration, 7);
    EXPECT_EQ(forage.minProb, 70000 - 65536);
    const GAICoef& rest = block->aiCoefs.at(9);
    EXPECT_EQ(rest.duration, 12);  // 0: the default task duration
    EXPECT_EQ(rest.minProb, 100);
    EXPECT_EQ(rest.production, 0);
}

// Integers beyond the 32-bit range saturate first; a 16-bit field then keeps the low bits of the
// saturated value (a wrapping reader would give other numbers).
TEST_F(CreatureDefinitionTest, NumbersBeyondThe32BitRangeSaturate) {
    const GCreatureData* block = Load(Creature(R"(Name="A")", "", kAnimator, R"(<Evolution>
        <Evolve Action="forage" Next="B" Time="99999999999" Time1="-99999999999"/></Evolution>)",
                                               R"(<AI><Task Action="forage"
        Weight="99999999999" MinProb="99999999999" Hunger="-99999999999"/></AI>)"));
    ASSERT_NE(block, nullptr);
    const GAICoef& forage = block->aiCoefs.at(2);
    EXPECT_EQ(forage.weight, 2147483647);
    EXPECT_EQ(forage.minProb, -1);  // 0x7FFFFFFF
    EXPECT_EQ(forage.hunger, 0);    // 0x80000000
    ASSERT_EQ(block->evolutionDatas.size(), 1u);
    EXPECT_EQ(block->evolutionDatas[0].time[0], 2147483647);
    EXPECT_EQ(block->evolutionDatas[0].time[1], -2147483647 - 1);
}

TEST_F(CreatureDefinitionTest, Consumption) {
    const GCreatureData* block = Load(Creature(R"(Name="A")", R"(<Consumption>
        <Water Max="5"/><water Max="3"/><Food Max="4" Portion="2" Duration="9"/>
        <Food Max="8"/><Build Max="0"/><Devolution/><Stick Max="2"/></Consumption>)"));
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(block->consumptions.size(), 2u);
    const GConsumption& water = block->consumptions.at(2);
    EXPECT_EQ(water.maxLevel, 5);
    EXPECT_EQ(water.curLevel, 5);
    EXPECT_EQ(water.portion, 5);
    EXPECT_EQ(water.duration, 12);
    EXPECT_EQ(water.healthLost, 5);
    EXPECT_EQ(water.healthAdd, 6);
    const GConsumption& food = block->consumptions.at(1);
    EXPECT_EQ(food.maxLevel, 4);
    EXPECT_EQ(food.portion, 2);
    EXPECT_EQ(food.duration, 9);
    EXPECT_EQ(food.healthLost, 3);
    EXPECT_EQ(food.healthAdd, 4);
}

TEST_F(CreatureDefinitionTest, HealthAndItsDefaults) {
    params.SetEvent(0, false);
    params.pointsOfInterest["Beach"] = {10, 20, "poi_beach", 0, 0};
    const GCreatureData* block = Load(Creature(R"(Name="A")", R"(<POI><P ID="Beach"/>
        <P ID="Nowhere"/></POI><HitRect dx="-3" w="70000"/>)",
                                               kAnimator, kEvolution, kAI,
                                               R"(<Health StartHealth="90" MinAge="33"
        HungerHRR="2.5" HealthPercentsToStop="55"/>)"));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->startHealth, 90);
    EXPECT_EQ(block->currentHealth, 90);
    EXPECT_EQ(block->diseaseMinAge, 33);  // "MinAge" of "Health"
    EXPECT_EQ(block->minAge, 50);         // the ageing limit is the Animator's
    EXPECT_EQ(block->hungerHRR, 2.5f);
    EXPECT_EQ(block->thirstHRR, 1.0f);
    EXPECT_EQ(block->diseaseProbMax, 60.0f);
    EXPECT_EQ(block->healthPercentsToStop, 55);
    EXPECT_EQ(block->healthPercentsToEat, 15.0f);
    EXPECT_EQ(block->hungerAddCoef, 1.0f);
    ASSERT_EQ(block->poi.size(), 2u);
    EXPECT_EQ(block->poi[0].y, 20);
    EXPECT_EQ(block->poi[1].text, str(""));
    EXPECT_EQ(block->hitRect.dx, -3);
    EXPECT_EQ(block->hitRect.w, 70000 - 65536);

    const GCreatureData* plain = Load(Creature(R"(Name="B")", ""));
    EXPECT_EQ(plain->healthPercentsToStop, 40);  // the monsters' parameter
}

TEST_F(CreatureDefinitionTest, OverABase) {
    GCreatureData base;
    base.name = "Old";
    base.speed = 9.0f;
    base.minAge = 77;
    base.lostHealthD = 6;  // a field the file does not name: kept
    base.hitRect.w = 5;
    base.aiCoefs[2] = {1, 1, 0, 0, 1, 1, 1};
    base.evolutionDatas.resize(1);
    base.poi.resize(1);
    const GCreatureData* block = Load(Creature(R"(Name="A")", "", kAnimator,
                                               R"(<Evolution><Evolve Action="build" Next="X"
        Time="5"/></Evolution>)",
                                               R"(<AI><Task Action="forage" Weight="50"/>
        <Task Action="build" Weight="4"/></AI>)"),
                                      &base);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->name, str("A"));
    EXPECT_EQ(block->speed, 2.0f);  // the base's scalars are not kept
    EXPECT_EQ(block->minAge, 50);
    EXPECT_EQ(block->hitRect.w, 0);
    EXPECT_EQ(block->lostHealthD, 6);
    EXPECT_EQ(block->aiCoefs.at(2).weight, 1);  // the base's key wins
    EXPECT_EQ(block->aiCoefs.at(4).weight, 4);
    EXPECT_EQ(block->evolutionDatas.size(), 2u);  // appended after the base's
    EXPECT_EQ(block->evolutionDatas[1].taskId, 4);
    EXPECT_EQ(block->poi.size(), 1u);
}

TEST_F(CreatureDefinitionTest, AHeldFullNameGivesNothing) {
    const GCreatureData* first = Load(Creature(R"(Name="Puff" FullName="BasicPuff")", ""));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Load(Creature(R"(Name="Other" FullName="BasicPuff")", "")), nullptr);
    EXPECT_EQ(registry.FindCreatureDefinition("BasicPuff"), first);
    EXPECT_EQ(first->name, str("Puff"));
}

TEST_F(CreatureDefinitionTest, HungerCoefficientsFollowTheLoadOrder) {
    params.hungerAddCoefMin = 0.5f;
    params.hungerAddCoefMax = 1.5f;
    auto loadAll = [](float(&out)[6]) {
        GlobalData fresh;
        fresh.hungerAddCoefMin = 0.5f;
        fresh.hungerAddCoefMax = 1.5f;
        GNameRegistry names;
        names.SetGameParams(&fresh);
        for (int i = 0; i < 6; ++i) {
            XmlDoc doc(Creature("Name=\"C" + std::to_string(i) + "\"", "").c_str());
            out[i] = static_cast<const GCreatureData*>(
                         names.LoadCreatureDefinition(doc.Top(), nullptr).stored)
                         ->hungerAddCoef;
        }
    };
    float first[6], second[6];
    loadAll(first);
    loadAll(second);
    bool varied = false;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(first[i], second[i]);
        if (first[i] != first[0]) varied = true;
    }
    EXPECT_TRUE(varied);
}

TEST_F(CreatureDefinitionTest, WithoutGameParametersNothingIsMade) {
    testing_support::LogCapture log;
    GNameRegistry bare;
    XmlDoc doc(Creature(R"(Name="A")", "").c_str());
    EXPECT_EQ(bare.LoadCreatureDefinition(doc.Top(), nullptr).Block(), nullptr);
    EXPECT_EQ(log.Messages().size(), 1u);
}

}  // namespace
