#include "simulation/walk/gridpoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "walkmodel.h"

namespace {

constexpr float kCell = 20.0f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

// The world's grid, 120 × 90 cells of 20 pixels, open ground.
class GridPointsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mGrid.Allocate(120, 90)); }

    std::vector<TVec2> Path(TVec2 from, TVec2 target, float progress) {
        std::vector<TVec2> path = {TVec2(1, 1)};
        FindPath(mGrid, kCell, from, target, path, progress);
        return path;
    }

    GVWalkGrid mGrid;
};

void ExpectPoint(const TVec2& point, float x, float y) {
    EXPECT_FLOAT_EQ(point.x, x);
    EXPECT_FLOAT_EQ(point.y, y);
}

TEST_F(GridPointsTest, CellsOfPoints) {
    struct Case {
        float x, y;
        bool hasCell;
        GVCell cell;
    } cases[] = {
        {0.0f, 0.0f, true, {0, 0}},
        {19.99f, 20.0f, true, {0, 1}},
        {-5.0f, 10.0f, true, {0, 0}},  // towards zero
        {-25.0f, 10.0f, true, {-1, 0}},
        {2400.0f, 0.0f, true, {120, 0}},
        {1e30f, 0.0f, false, {}},
        {0.0f, -1e30f, false, {}},
        {kNaN, 0.0f, false, {}},
        {0.0f, kInf, false, {}},
        // The last cells a 32-bit number holds, and past them.
        {-42949672960.0f, 0.0f, true, {std::numeric_limits<int32_t>::min(), 0}},
        {42949672960.0f, 0.0f, false, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << test.x << ", " << test.y);
        const std::optional<GVCell> cell = GridCellOfPoint(test.x, test.y, kCell);
        ASSERT_EQ(cell.has_value(), test.hasCell);
        if (cell) {
            EXPECT_EQ(*cell, test.cell);
        }
    }
    EXPECT_FALSE(GridCellOfPoint(5.0f, 5.0f, 0.0f));  // no cell size, no cells
    ExpectPoint(GridCellCentre({6, 5}, kCell), 130.0f, 110.0f);
}

TEST_F(GridPointsTest, Walkable) {
    mGrid.SetValue(0, 0, 254);
    mGrid.SetValue(3, 3, 255);
    EXPECT_TRUE(IsWalkable(mGrid, kCell, -5.0f, 10.0f));  // cell (0, 0), costly but open
    EXPECT_TRUE(IsWalkable(mGrid, kCell, 2399.9f, 1799.9f));
    EXPECT_FALSE(IsWalkable(mGrid, kCell, 2400.0f, 0.0f));
    EXPECT_FALSE(IsWalkable(mGrid, kCell, -20.0f, 10.0f));
    EXPECT_FALSE(IsWalkable(mGrid, kCell, 65.0f, 79.0f));  // 255
    EXPECT_FALSE(IsWalkable(mGrid, kCell, kNaN, 10.0f));
    EXPECT_FALSE(IsWalkable(mGrid, kCell, 10.0f, 1e30f));
    GVWalkGrid empty;
    EXPECT_FALSE(IsWalkable(empty, kCell, 10.0f, 10.0f));
}

TEST_F(GridPointsTest, PathsOnOpenGround) {
    const TVec2 from(15.0f, 17.0f);  // cell (0, 0)
    // Straightened to two waypoints: the exact start and the exact target.
    std::vector<TVec2> path = Path(from, TVec2(107.0f, 93.0f), 0.0f);
    ASSERT_EQ(path.size(), 2u);
    ExpectPoint(path[0], 15.0f, 17.0f);
    ExpectPoint(path[1], 107.0f, 93.0f);
    // Below 0 counts as 0.
    path = Path(from, TVec2(107.0f, 93.0f), -1.0f);
    ASSERT_EQ(path.size(), 2u);
    ExpectPoint(path[0], 15.0f, 17.0f);
    // A neighbouring cell: the exact target last.
    path = Path(from, TVec2(33.0f, 4.0f), 0.0f);
    ASSERT_EQ(path.size(), 2u);
    ExpectPoint(path[1], 33.0f, 4.0f);
    // With progress the first waypoint stays a cell centre.
    path = Path(from, TVec2(190.0f, 10.0f), 0.2f);  // (0, 0) to (9, 0): 2 cells walked
    ASSERT_EQ(path.size(), 2u);
    ExpectPoint(path[0], 50.0f, 10.0f);
    ExpectPoint(path[1], 190.0f, 10.0f);
    // A single waypoint left is the target itself.
    path = Path(from, TVec2(190.0f, 10.0f), 0.95f);
    ASSERT_EQ(path.size(), 1u);
    ExpectPoint(path[0], 190.0f, 10.0f);
}

TEST_F(GridPointsTest, NoPath) {
    const TVec2 from(15.0f, 17.0f);
    EXPECT_TRUE(Path(from, TVec2(2.0f, 3.0f), 0.0f).empty());      // the creature's own cell
    EXPECT_TRUE(Path(from, TVec2(190.0f, 10.0f), 1.0f).empty());   // all walked
    EXPECT_TRUE(Path(from, TVec2(2400.0f, 10.0f), 0.0f).empty());  // outside
    EXPECT_TRUE(Path(TVec2(-30.0f, 0.0f), TVec2(100.0f, 10.0f), 0.0f).empty());
    EXPECT_TRUE(Path(from, TVec2(kNaN, 10.0f), 0.0f).empty());
    EXPECT_TRUE(Path(from, TVec2(1e30f, 10.0f), 0.0f).empty());
    EXPECT_TRUE(Path(TVec2(10.0f, -kInf), TVec2(100.0f, 10.0f), 0.0f).empty());
}

TEST_F(GridPointsTest, AWallIsCrossedButNotStoodOn) {
    for (int row = 0; row < 90; ++row)
        mGrid.SetValue(10, row, 255);
    EXPECT_FALSE(IsWalkable(mGrid, kCell, 205.0f, 905.0f));
    const std::vector<TVec2> path = Path(TVec2(105.0f, 905.0f), TVec2(305.0f, 905.0f), 0.0f);
    ASSERT_GE(path.size(), 2u);
    ExpectPoint(path.back(), 305.0f, 905.0f);
}

TEST_F(GridPointsTest, PathsFollowTheStraightenedChain) {
    walktest::Lay(walktest::Draw({
                      "..#..",
                      "..#..",
                      "..#..",
                      ".....",
                  }),
                  mGrid);
    std::vector<TVec2> path = Path(TVec2(5.0f, 5.0f), TVec2(95.0f, 5.0f), 0.0f);
    std::vector<GVCell> cells;
    ASSERT_TRUE(mGrid.FindCellPath(0, 0, 4, 0, cells, true, 0.0f));
    ASSERT_EQ(path.size(), cells.size());
    ASSERT_GE(path.size(), 3u);
    ExpectPoint(path.front(), 5.0f, 5.0f);
    for (size_t i = 1; i + 1 < path.size(); ++i) {
        const TVec2 centre = GridCellCentre(cells[i], kCell);
        ExpectPoint(path[i], centre.x, centre.y);
    }
    ExpectPoint(path.back(), 95.0f, 5.0f);
}

TEST_F(GridPointsTest, SnapToFreePoint) {
    // Blocked ground round the point; open ground towards the middle (60, 45).
    for (int column = 0; column < 10; ++column)
        for (int row = 0; row < 90; ++row)
            mGrid.SetValue(column, row, 255);
    // (9, 45) to (10, 45), the first open cell on the way.
    ExpectPoint(SnapToFreePoint(mGrid, kCell, 185.0f, 903.0f), 210.0f, 910.0f);
    ExpectPoint(SnapToFreePoint(mGrid, kCell, 305.0f, 303.0f), 310.0f, 310.0f);  // open already
    // Outside the grid: the centre of its own cell.
    ExpectPoint(SnapToFreePoint(mGrid, kCell, -25.0f, 3.0f), -10.0f, 10.0f);
    // Without a cell: the point as it is.
    const TVec2 nowhere = SnapToFreePoint(mGrid, kCell, kNaN, 3.0f);
    EXPECT_TRUE(std::isnan(nowhere.x));
    EXPECT_EQ(nowhere.y, 3.0f);
}

}  // namespace
