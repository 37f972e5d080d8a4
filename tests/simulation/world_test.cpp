#include "simulation/world.h"

#include <gtest/gtest.h>

#include <memory>

#include "simulation/worldfacts.h"
#include "testobjects.h"

namespace {

using simtest::TestObject;

TEST(WorldTest, PairedObjects) {
    GWorld world;
    TestObject a("a"), b("b"), c("c"), d("d"), stranger("stranger");
    world.SetPair(0, nullptr, &a);  // a stands on the second side of a pair with no first side
    world.SetPair(1, &b, &c);
    world.SetPair(3, &d, nullptr);
    world.SetPair(4, &stranger, &stranger);  // no such pair
    EXPECT_EQ(world.GetPairedObject(&a), nullptr);
    EXPECT_EQ(world.GetPairedObject(&b), &c);
    EXPECT_EQ(world.GetPairedObject(&c), &b);
    EXPECT_EQ(world.GetPairedObject(&d), nullptr);
    EXPECT_EQ(world.GetPairedObject(&stranger), nullptr);
    EXPECT_EQ(world.GetPairedObject(nullptr), nullptr);

    // The second side of an earlier pair wins over the first side of a later one.
    world.SetPair(2, &a, &b);
    world.SetPair(0, &c, &a);
    EXPECT_EQ(world.GetPairedObject(&a), &c);
}

TEST(WorldTest, RegistryValuesAreTheEvolutionTotals) {
    GWorld world;
    auto puff = std::make_unique<GCreatureData>();
    puff->fullName = "BasicPuff";
    GEvolutionData step;
    step.taskId = 3;
    step.nextFullName = "Nowhere";
    step.time[0] = 420;
    puff->evolutionDatas.push_back(step);
    world.GetNames().AddCreatureDefinition(std::move(puff));
    world.GetNames().ComputeEvolutionTimes();
    EXPECT_EQ(world.GetRegistryValue(3), 420);
    EXPECT_EQ(world.GetRegistryValue(2), 0);
    EXPECT_EQ(world.GetRegistryValue(39), 0);
}

class CountingListener : public GMessageListener {
public:
    void ShowMessage(const str&) override { ++calls; }
    void QueueTutorialEvent(int) override { ++calls; }
    void SaveGame() override { ++calls; }
    void RefreshTribe() override { ++calls; }
    void GameOver() override { ++calls; }
    void ShowArkFullScene() override { ++calls; }
    TVec2 GetPointerWorldPosition() override { return TVec2{3.0f, 4.0f}; }
    void ShowHoverHint() override { ++calls; }
    int calls = 0;
};

TEST(WorldTest, WithoutAListenerTheWorldTalksToASilentOne) {
    GWorld world;
    EXPECT_FALSE(world.HasMessageListener());
    world.GetMessageListener().ShowMessage("msg_starving");
    world.GetMessageListener().GameOver();
    EXPECT_EQ(world.GetMessageListener().GetPointerWorldPosition().x, 0.0f);

    CountingListener screen;
    world.SetViews(nullptr, &screen);
    EXPECT_TRUE(world.HasMessageListener());
    world.GetMessageListener().ShowMessage("msg_starving");
    EXPECT_EQ(screen.calls, 1);
    EXPECT_EQ(world.GetMessageListener().GetPointerWorldPosition().y, 4.0f);

    world.SetViews(nullptr, nullptr);
    world.GetMessageListener().SaveGame();
    EXPECT_EQ(screen.calls, 1);
}

TEST(WorldTest, TheWorldsGeneratorStartsFromTheDefaultSeed) {
    GWorld first, second;
    TRandom fresh;
    const uint32_t expected = fresh.Next();
    EXPECT_EQ(first.GetRandom().Next(), expected);
    EXPECT_EQ(second.GetRandom().Next(), expected);
}

TEST(WorldTest, TheMessagesLearnOfCreaturesAndPlacesFromTheWorld) {
    GWorldFacts facts;
    GCreature creature;
    auto block = std::make_unique<GCreatureData>();
    block->name = "Zebra";
    block->level = 3;
    creature.SetData(std::move(block));
    creature.SetNickName("Abbet");
    creature.SetItemType(4);
    creature.SetAge(7.5f);
    creature.SetDisease(2);
    GLocation tank;
    auto place = std::make_unique<GLocationData>();
    place->name = "Water Tank";
    GResourceRecord water;
    water.type = 2;
    water.quantity = 12;
    water.maxQuantity = 40;
    place->resources.push_back(water);
    tank.SetData(std::move(place));

    EXPECT_EQ(facts.GetNickName(&creature), str("Abbet"));
    EXPECT_EQ(facts.GetLevel(&creature), 3);
    EXPECT_EQ(facts.GetItem(&creature), 4);
    EXPECT_FLOAT_EQ(facts.GetAge(&creature), 7.5f);
    EXPECT_TRUE(facts.IsIll(&creature));
    EXPECT_EQ(facts.GetResourceQuantity(&tank, 2), 12);
    EXPECT_EQ(facts.GetMaxQuantity(&tank, 2), 40);
    EXPECT_EQ(facts.GetDisplayName(&creature), str("Zebra"));
    EXPECT_EQ(facts.GetDisplayName(&tank), str("Water Tank"));
    // Of the wrong kind, or none: nothing.
    EXPECT_EQ(facts.GetNickName(&tank), str());
    EXPECT_EQ(facts.GetResourceQuantity(&creature, 2), 0);
    EXPECT_FALSE(facts.IsIll(nullptr));
    EXPECT_EQ(facts.GetDisplayName(nullptr), str());
}

}  // namespace
