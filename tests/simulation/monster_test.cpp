#include "simulation/monster.h"

#include <gtest/gtest.h>

#include "foundation/xml/xmlnode.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/schedule/saveidregistry.h"
#include "support/printers.h"
#include "testobjects.h"
#include "xmlfixture.h"

namespace {

using simtest::XmlDoc;

TEST(MonsterTest, ConstructionAndTheBlock) {
    GMonster hyena;
    EXPECT_EQ(hyena.GetKind(), GObject::kMonster);
    EXPECT_EQ(hyena.GetWorld(), nullptr);
    EXPECT_EQ(hyena.GetNickName(), str(""));
    EXPECT_EQ(hyena.GetLastTask(), 0);
    EXPECT_EQ(hyena.GetAttacker(), nullptr);
    EXPECT_EQ(hyena.GetItemType(), 0);
    EXPECT_EQ(hyena.GetAIProduction(2), 0);  // no block

    GMonsterData block;
    EXPECT_EQ(block.currentAnimator, -1);
    block.aiCoefs[2] = {3, 5, 40};
    hyena.SetData(std::make_unique<GMonsterData>(block));
    EXPECT_EQ(hyena.GetAIProduction(2), 5);
    EXPECT_EQ(hyena.GetAIDuration(2), 40);
    EXPECT_EQ(hyena.GetAIProduction(3), 0);
    EXPECT_EQ(hyena.GetAIDuration(3), 0);
}

TEST(MonsterTest, SavedFormRoundTrips) {
    auto block = std::make_unique<GMonsterData>();
    block->name = "Hyena";
    block->fullName = "Hyena";
    block->animatorName = "hyena_l1";
    block->startHealth = 60;
    block->currentHealth = 45;
    block->speed = 2.5f;
    block->runSpeed = 0.53f;
    block->tomahawkVulnerability = 100;
    block->animatorsNum = 5;
    block->currentAnimator = 2;
    block->aiCoefs[7] = {1, 0, 20};
    block->aiCoefs[2] = {3, 4, 30};
    GMonster hyena;
    hyena.SetData(std::move(block));
    hyena.SetNickName("Hyena");
    hyena.SetItemType(4);
    SaveIdRegistry ids;
    TXmlNode first("Monster");
    hyena.Save(&first, ids);
    ASSERT_NE(first.FindChild("LastTasks"), nullptr);
    EXPECT_EQ(first.FindChild("LastTasks")->GetAttribute("LastTask"), str("0"));
    const auto& coefs = first.FindChild("Data")->FindChild("AICoefs")->GetChildren();
    ASSERT_EQ(coefs.size(), 2u);
    EXPECT_EQ(coefs[0]->GetAttribute("TaskID"), str("2"));  // ascending kind

    LoadIdRegistry loadIds;
    GMonster loaded;
    XmlDoc doc(first.ToString().c_str());
    loaded.Load(doc.Top(), loadIds);
    EXPECT_EQ(loaded.GetNickName(), str("Hyena"));
    EXPECT_EQ(loaded.GetItemType(), 4);
    EXPECT_EQ(loaded.GetMonsterData()->runSpeed, 0.53f);
    SaveIdRegistry ids2;
    TXmlNode second("Monster");
    loaded.Save(&second, ids2);
    EXPECT_EQ(second.ToString(), first.ToString());

    XmlDoc last(R"(<Monster NickName="Grr"><LastTasks LastTask="6"/>
        <Data><AICoefs><A TaskID="2" Weight="1"/><B TaskID="2" Weight="8"/></AICoefs></Data>
        </Monster>)");
    loaded.Load(last.Top(), loadIds);
    EXPECT_EQ(loaded.GetLastTask(), 6);
    EXPECT_EQ(loaded.GetMonsterData()->aiCoefs[2].weight, 8);
    EXPECT_EQ(loaded.GetMonsterData()->currentAnimator, 0);
}

TEST(MonsterTest, TheCarriedItemReachesACreatureView) {
    GMonster hyena;
    simtest::FakeCreatureView view;
    hyena.SetView(&view);
    hyena.SetItemType(4);
    EXPECT_EQ(view.item, 4);
    EXPECT_FALSE(view.special);
    simtest::FakeLocationView place;
    hyena.SetView(&place);
    hyena.SetItemType(1);  // not a creature view: only kept
    EXPECT_EQ(hyena.GetItemType(), 1);
}

}  // namespace
