#include "simulation/location.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/xml/xmlnode.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/schedule/saveidregistry.h"
#include "support/printers.h"
#include "testobjects.h"
#include "xmlfixture.h"

namespace {

using simtest::FakeLocationView;
using simtest::FakeView;
using simtest::XmlDoc;
using Shown = std::vector<std::string>;

GResourceRecord Record(int type, int quantity, int maxQuantity, int addition = 0) {
    GResourceRecord record;
    record.type = type;
    record.quantity = quantity;
    record.maxQuantity = maxQuantity;
    record.addition = addition;
    return record;
}

std::unique_ptr<GLocationData> Block(std::vector<GResourceRecord> records,
                                     const char* fullName = "Food bin") {
    auto block = std::make_unique<GLocationData>();
    block->name = "Foodbin";
    block->fullName = fullName;
    block->resources = std::move(records);
    return block;
}

TEST(LocationTest, QuantitiesAndTheFirstRecord) {
    GLocation place;
    EXPECT_EQ(place.GetResourceQuantity(1), 0);  // no block
    place.SetData(Block({Record(1, 3, 10), Record(2, 1, 5), Record(1, 4, 20)}));
    place.GetLocationData()->resources[2].requiredEvent = 9;
    EXPECT_EQ(place.GetResourceQuantity(1), 7);
    EXPECT_EQ(place.GetMaxQuantity(1), 30);
    EXPECT_EQ(place.GetResourceQuantity(3), 0);
    EXPECT_TRUE(place.HasResourceType(2));
    EXPECT_FALSE(place.HasResourceType(3));
    EXPECT_EQ(place.GetRequiredEvent(1), 0);  // of the first record only
    FakeLocationView view;
    place.SetView(&view);
    place.SetQuantity(1, 50);  // no clamping
    EXPECT_EQ(place.GetLocationData()->resources[0].quantity, 50);
    EXPECT_EQ(place.GetLocationData()->resources[2].quantity, 4);
    EXPECT_EQ(view.shown, (Shown{"50/10"}));
    view.shown.clear();
    place.SetCapacity(1, 8, -1);
    EXPECT_EQ(place.GetLocationData()->resources[0].quantity, 8);
    EXPECT_EQ(place.GetLocationData()->resources[0].addition, 0);
    place.SetCapacity(2, 9, 4);
    EXPECT_EQ(place.GetLocationData()->resources[1].quantity, 1);
    EXPECT_EQ(place.GetLocationData()->resources[1].addition, 4);
    place.SetCapacity(7, 9, 4);  // no record of the type: nothing
    EXPECT_EQ(view.shown, (Shown{"8/8", "1/9"}));
}

TEST(LocationTest, GrowStaysWithinZeroAndTheMaximum) {
    const struct {
        int quantity, maxQuantity, addition;
        float factor;
        int grown;
    } rows[] = {
        {5, 10, 3, 1.0f, 8},
        {5, 10, 3, 2.0f, 10},
        {5, 10, -3, 3.0f, 0},
        {5, 10, 3, 0.5f, 6},
        {5, 10, -3, 0.5f, 3},
        {0, 0, 5, 1.0f, 0},
        {1, 2147483647, 2147483647, 2.0f, 2147483647},  // the product passes 2^31
        {0, 100, -2147483647, 2.0f, 0},
    };
    for (const auto& row : rows) {
        GLocation place;
        place.SetData(Block({Record(1, row.quantity, row.maxQuantity, row.addition)}));
        place.Grow(row.factor);
        EXPECT_EQ(place.GetResourceQuantity(1), row.grown)
            << row.quantity << " " << row.addition << " x " << row.factor;
    }
}

TEST(LocationTest, FinishBuilding) {
    GLocation place;
    GResourceRecord work = Record(3, 7, 10);
    work.afterBuildQuantity = 0;
    GResourceRecord food = Record(1, 0, 0);
    food.afterBuildQuantity = 25;
    GResourceRecord water = Record(2, 4, 6);
    water.afterBuildQuantity = 30;
    place.SetData(Block({work, food, water}));
    FakeLocationView view;
    place.SetView(&view);
    place.FinishBuilding();
    const auto& records = place.GetLocationData()->resources;
    EXPECT_EQ(records[0].quantity, 7);  // had a maximum: keeps its quantity
    EXPECT_EQ(records[0].maxQuantity, 0);
    EXPECT_EQ(records[1].quantity, 25);
    EXPECT_EQ(records[1].maxQuantity, 25);
    EXPECT_EQ(records[2].quantity, 4);
    EXPECT_EQ(records[2].maxQuantity, 30);
    EXPECT_EQ(view.shown, (Shown{"7/0", "25/25", "4/30"}));
    view.shown.clear();
    place.RefreshStockViews();
    EXPECT_EQ(view.shown, (Shown{"7/0", "25/25", "4/30"}));
    // A plain view is shown nothing.
    FakeView plain;
    place.SetView(&plain);
    place.RefreshStockViews();
    EXPECT_EQ(view.shown.size(), 3u);
}

TEST(LocationTest, BuiltAndBroken) {
    const struct {
        const char* fullName;
        int work;
        bool built;
    } rows[] = {
        {"Food bin", 0, true},     {"Food bin", 1, false},          {"Food bin Broken", 5, true},
        {" Broken bin", 5, false}, {" Broken bin Broken", 5, true}, {"X Broken", 5, true},
        {"FoodBroken", 5, false},
    };
    for (const auto& row : rows) {
        GLocation place;
        place.SetData(Block({Record(3, row.work, 10)}, row.fullName));
        EXPECT_EQ(place.IsBuilt(), row.built) << '"' << row.fullName << '"';
    }
    GLocation empty;
    EXPECT_TRUE(empty.IsBuilt());
}

TEST(LocationTest, WorkAndUse) {
    GLocation place;
    GResourceRecord hammerWork = Record(3, 1, 5);
    hammerWork.requiredItem = 3;
    GResourceRecord done = Record(3, 0, 5);
    done.requiredItem = 2;
    place.SetData(Block({done, hammerWork}));
    EXPECT_TRUE(place.HasWorkFor(3));
    EXPECT_TRUE(place.HasWorkFor(6));   // a nail does a hammer's work
    EXPECT_FALSE(place.HasWorkFor(2));  // no work left on that record
    EXPECT_FALSE(place.HasWorkFor(0));
    place.GetLocationData()->canUse["GuruGiraffe"] = 2;
    EXPECT_FALSE(place.CanUse("GuruGiraffe", 1));
    EXPECT_TRUE(place.CanUse("GuruGiraffe", 2));
    EXPECT_FALSE(place.CanUse("Zebra", 9));
}

TEST(LocationTest, SavedFormKeepsTheOrder) {
    auto block = Block({Record(2, 1, 5), Record(1, 2, 6, 3), Record(2, 3, 7)});
    block->resources[1].requiredName = "Puff";
    block->resources[1].requiredItemSave = -4;
    block->components = {{2, 5, "Zebra", 9}, {1, 0, "", 0}};
    block->canUse = {{"Puff", 1}, {"GuruGiraffe", 3}};
    block->afterBuildTransform = "Food bin 2";
    block->animatorStartLevel = 0.25f;
    block->animatorEndLevel = 0.53f;
    block->locationBonusID = 2;
    block->locationBonusPercents = 15;
    TXmlNode first("Data");
    block->Save(&first);

    XmlDoc doc(first.ToString().c_str());
    GLocationData loaded;
    loaded.Load(doc.Top());
    TXmlNode second("Data");
    loaded.Save(&second);
    EXPECT_EQ(second.ToString(), first.ToString());
    ASSERT_EQ(loaded.resources.size(), 3u);
    EXPECT_EQ(loaded.resources[2].quantity, 3);
    EXPECT_EQ(loaded.components[0].nameRequiredToResearch, str("Zebra"));
    EXPECT_EQ(loaded.animatorEndLevel, 0.53f);
    EXPECT_EQ(first.GetAttribute("AnimatorEndLevel"), str("53"));

    GLocationData bare;
    XmlDoc empty("<Data/>");
    bare.Load(empty.Top());
    EXPECT_EQ(bare.animatorEndLevel, 0.0f);  // absent reads 0, not the default
}

TEST(LocationTest, UpgradeLevelOnlyWithALocationView) {
    SaveIdRegistry ids;
    GLocation place;
    place.SetData(Block({}));
    TXmlNode withoutView("Location");
    place.Save(&withoutView, ids);
    EXPECT_EQ(withoutView.ToString().Find("UpgradeLevel"), str::npos);
    FakeView plain;
    place.SetView(&plain);
    TXmlNode plainView("Location");
    place.Save(&plainView, ids);
    EXPECT_EQ(plainView.ToString().Find("UpgradeLevel"), str::npos);
    FakeLocationView view;
    view.SetBuildLevel(0.5f);
    place.SetView(&view);
    TXmlNode located("Location");
    place.Save(&located, ids);
    EXPECT_EQ(located.GetAttribute("UpgradeLevel"), str("0.500000"));

    // Loading makes a fresh block and reads it.
    LoadIdRegistry loadIds;
    GLocation loaded;
    loaded.Load(&located, loadIds);
    ASSERT_NE(loaded.GetLocationData(), nullptr);
    EXPECT_EQ(loaded.GetLocationData()->fullName, str("Food bin"));
}

TEST(LocationTest, ReplaceDataFreesTheOldBlockOnce) {
    GLocation place;
    place.SetData(Block({Record(3, 5, 5)}, "Pre_foodbin"));
    place.ReplaceData(*Block({Record(1, 2, 9)}, "Food bin"));
    EXPECT_EQ(place.GetLocationData()->fullName, str("Food bin"));
    EXPECT_EQ(place.GetResourceQuantity(1), 2);
    // The prototype may be the block itself.
    place.ReplaceData(*place.GetLocationData());
    EXPECT_EQ(place.GetResourceQuantity(1), 2);
    // A block of another kind is refused.
    place.SetData(std::make_unique<simtest::TestData>());
    EXPECT_EQ(place.GetLocationData()->fullName, str("Food bin"));
}

TEST(LocationTest, SumsPassingTheRangeAreClamped) {
    GLocation place;
    place.SetData(Block({Record(1, 2000000000, 2000000000), Record(1, 2000000000, 2000000000),
                         Record(2, -2000000000, 0), Record(2, -2000000000, 0)}));
    EXPECT_EQ(place.GetResourceQuantity(1), 2147483647);
    EXPECT_EQ(place.GetMaxQuantity(1), 2147483647);
    EXPECT_EQ(place.GetResourceQuantity(2), -2147483647 - 1);
}

TEST(LocationTest, TasksOnlyClearTheCurrentTask) {
    GLocation place;
    GSchedule schedule;
    simtest::TestObject worker("worker");
    simtest::AddTask(schedule, &worker, &place, 5);
    EXPECT_NE(place.GetTask(), nullptr);
    schedule.Update(5, false);
    EXPECT_EQ(place.GetTask(), nullptr);
}

}  // namespace
