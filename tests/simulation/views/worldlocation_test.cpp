// The location view: its level and capacity pictures, the records of its layout, and the grid
// it leaves behind each change.
#include "simulation/views/worldlocation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "viewfixture.h"

namespace views_test {
namespace {

// Four level pictures and three of capacity; the levels cover different cells.
const char* const kWellLayout =
    "<layout PerLevelImagesCount=\"4\" CapacityImagesCount=\"3\">"
    "<level><WalkabilityCells><c x=\"0\" y=\"0\" v=\"255\"/><c x=\"1\" y=\"0\" v=\"40\"/>"
    "</WalkabilityCells><WorkAreas><p x=\"0\" y=\"1\"/></WorkAreas></level>"
    "<level><WalkabilityCells><c x=\"0\" y=\"0\"/><c x=\"1\" y=\"0\"/><c x=\"-1\" y=\"0\"/>"
    "</WalkabilityCells><WorkAreas><p x=\"0\" y=\"1\"/><p x=\"1\" y=\"1\"/></WorkAreas></level>"
    "<level><WalkabilityCells><c x=\"0\" y=\"-1\" v=\"7\"/></WalkabilityCells></level>"
    "<level/></layout>";

class LocationViewTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        PutLayout("loc_well", kWellLayout);
        PutLayout("loc_foodbin", "<layout PerLevelImagesCount=\"2\" CapacityImagesCount=\"1\"/>");
        PutLayout("loc_tall",
                  "<layout PerLevelImagesCount=\"300\"><level><WalkabilityCells>"
                  "<c x=\"0\" y=\"0\"/></WalkabilityCells></level></layout>");
        mSprites->Add("loc_tall");
    }

    // Whether the grid is what a rebuild from scratch gives.
    void ExpectFreshGrid(const char* after) {
        const GVWalkGrid& grid = mManager->GetGrid();
        std::vector<int> before;
        for (int column = 0; column < grid.GetColumns(); ++column)
            for (int row = 0; row < grid.GetRows(); ++row)
                before.push_back(grid.GetValue(column, row));
        mManager->RebuildWalkability();
        size_t i = 0;
        int differing = 0;
        for (int column = 0; column < grid.GetColumns(); ++column)
            for (int row = 0; row < grid.GetRows(); ++row)
                differing += before[i++] != grid.GetValue(column, row);
        EXPECT_EQ(differing, 0) << after;
    }
};

TEST_F(LocationViewTest, ANewLocationShowsTheFirstLevelAndAnEmptyStore) {
    for (const char* name : {"loc_well", "loc_foodbin", "loc_plain"}) {
        GVWorldLocation* view = MakeLocation(name, 100, 100);
        ASSERT_NE(view, nullptr) << name;
        EXPECT_EQ(Shown(view), "level0_capacity0") << name;
        EXPECT_EQ(view->GetBuildLevel(), 0.0f);
        EXPECT_EQ(view->GetLayoutName(), str(name));
    }
}

TEST_F(LocationViewTest, SetLevelPicksTheLevelPictureJustPastEachStep) {
    GVWorldLocation* view = MakeLocation("loc_well", 100, 100);
    const float nan = std::nanf("");
    const struct {
        float fraction, stored;
        uint32_t index;
    } rows[] = {
        {0.0f, 0.0f, 0},
        {1.0f / 3.0f, 1.0f / 3.0f, 1},
        {2.0f / 3.0f, 2.0f / 3.0f, 2},
        // Just below a step already shows the next picture.
        {1.0f, 1.0f, 3},
        {0.32f, 0.32f, 0},
        {0.33f, 0.33f, 1},
        {0.665f, 0.665f, 2},
        {0.66f, 0.66f, 1},
        {2.0f, 1.0f, 3},
        {-1.0f, 0.0f, 0},
        {nan, 0.0f, 0},
    };
    for (const auto& row : rows) {
        view->SetLevel(row.fraction);
        EXPECT_EQ(view->GetBuildLevel(), row.stored) << row.fraction;
        EXPECT_EQ(view->GetLevelIndex(), row.index) << row.fraction;
        EXPECT_EQ(Shown(view), "level" + std::to_string(row.index) + "_capacity0") << row.fraction;
    }
}

TEST_F(LocationViewTest, SetCapacityPicksTheNearestPictureButNeverEmptyForAPositiveStock) {
    GVWorldLocation* view = MakeLocation("loc_well", 100, 100);
    const struct {
        float amount, maximum;
        const char* shown;
    } rows[] = {
        {1, 10, "capacity1"}, {0, 10, "capacity0"},  {7, 10, "capacity1"},  {8, 10, "capacity2"},
        {5, 0, "capacity1"},  {10, 10, "capacity2"}, {20, 10, "capacity2"}, {-5, 10, "capacity0"},
        {0, 0, "capacity0"},  {2, 10, "capacity1"},  {3, 10, "capacity1"},  {5, -3, "capacity1"},
    };
    for (const auto& row : rows) {
        view->SetCapacity(row.amount, row.maximum);
        EXPECT_EQ(Shown(view), std::string("level0_") + row.shown)
            << row.amount << "/" << row.maximum;
    }
    // The world's name for it.
    view->ShowStock(8, 10);
    EXPECT_EQ(Shown(view), "level0_capacity2");
    // With one capacity picture every stock shows the first.
    GVWorldLocation* bin = MakeLocation("loc_foodbin", 300, 100);
    for (float amount : {0.0f, 1.0f, 5.0f, 10.0f}) {
        bin->SetCapacity(amount, 10);
        EXPECT_EQ(Shown(bin), "level0_capacity0") << amount;
    }
}

TEST_F(LocationViewTest, TheCurrentLevelsRecordAnswersForFootprintAndWorkArea) {
    GVWorldLocation* view = MakeLocation("loc_well", 100, 100);
    const struct {
        float level;
        int column, row;
        bool footprint, workArea;
    } rows[] = {
        {0, 0, 0, true, false},        {0, 1, 0, true, false},     {0, -1, 0, false, false},
        {0, 0, 1, false, true},        {0, 1, 1, false, false},    {1.0f / 3, -1, 0, true, false},
        {1.0f / 3, 1, 1, false, true}, {0.7f, 0, -1, true, false}, {0.7f, 0, 0, false, false},
        {1, 0, 0, false, false},       {1, 0, 1, false, false},
    };
    for (const auto& row : rows) {
        view->SetLevel(row.level);
        EXPECT_EQ(view->IsInFootprint(row.column, row.row), row.footprint)
            << row.level << ": " << row.column << "," << row.row;
        EXPECT_EQ(view->IsInWorkArea(row.column, row.row), row.workArea)
            << row.level << ": " << row.column << "," << row.row;
    }
}

TEST_F(LocationViewTest, WithoutALayoutFileOrARecordTheLocationCoversNothing) {
    GVWorldLocation* plain = MakeLocation("loc_plain", 100, 100);
    EXPECT_EQ(plain->GetLayout()->perLevelImagesCount, 0);
    for (float level : {0.0f, 0.5f, 1.0f}) {
        plain->SetLevel(level);
        plain->SetCapacity(5, 10);
        EXPECT_EQ(Shown(plain), "level0_capacity0") << level;
        EXPECT_EQ(plain->GetLevelRecord(), nullptr);
        EXPECT_FALSE(plain->IsInFootprint(0, 0));
        EXPECT_FALSE(plain->IsInWorkArea(0, 0));
    }
    // A level index beyond the layout's records has no record: nothing is written for it.
    GVWorldLocation* tall = MakeLocation("loc_tall", 300, 300);
    tall->SetLevel(0.0f);
    mManager->RebuildWalkability();
    EXPECT_EQ(Cell(15, 15), 255);
    tall->SetLevel(1.0f);
    EXPECT_EQ(tall->GetLevelIndex(), 299u);
    EXPECT_EQ(tall->GetLevelRecord(), nullptr);
    EXPECT_FALSE(tall->IsInFootprint(0, 0));
    EXPECT_FALSE(tall->IsInWorkArea(0, 0));
    EXPECT_EQ(Cell(15, 15), 0);
}

TEST_F(LocationViewTest, EveryChangeOfLevelOrStockLeavesTheGridOfAFreshRebuild) {
    GVWorldLocation* well = MakeLocation("loc_well", 100, 100);
    GVWorldLocation* bin = MakeLocation("loc_foodbin", 300, 300);
    // Placed at (100, 100): cell (5, 5), and its neighbour to the right with 40.
    well->SetLevel(0.0f);
    ExpectFreshGrid("level 0");
    EXPECT_EQ(Cell(5, 5), 255);
    EXPECT_EQ(Cell(6, 5), 40);
    // Moving does not rebuild; the next change does, with the same pictures too.
    well->SetPosition(200, 200);
    EXPECT_EQ(Cell(5, 5), 255);
    well->SetCapacity(0, 0);
    ExpectFreshGrid("capacity after a move");
    EXPECT_EQ(Cell(5, 5), 0);
    EXPECT_EQ(Cell(10, 10), 255);
    const float levels[] = {1.0f / 3.0f, 0.9f, 0.0f, 0.7f};
    for (float level : levels) {
        well->SetLevel(level);
        ExpectFreshGrid(("level " + std::to_string(level)).c_str());
        well->SetCapacity(level * 10, 10);
        ExpectFreshGrid(("capacity " + std::to_string(level)).c_str());
        bin->SetLevel(level);
        ExpectFreshGrid(("other level " + std::to_string(level)).c_str());
    }
    EXPECT_EQ(Cell(10, 9), 7);
    EXPECT_EQ(Cell(10, 10), 0);
}

}  // namespace
}  // namespace views_test
