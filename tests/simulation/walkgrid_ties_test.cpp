// Which of equally cheap chains the search finds is decided by its tie rules (neighbour order,
// the heap's sink and rise rules, the stop when the target is first reached). The chains below
// were worked out with the plain statement of those rules in walkmodel.h, which the test checks
// as well, so that the grid and the statement must agree with the written cells.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "simulation/walk/walkgrid.h"
#include "walkmodel.h"

void PrintTo(const GVCell& cell, std::ostream* out);

namespace {

using walktest::Cells;

// 12 × 9: open ground, ground of 5 ('C'), of 11 ('B') and blocked ground ('#').
const std::vector<std::string> kGround = {
    "............", "..CC....#...", "..CC..B.#...", "......B.#.C.", ".###..B...C.",
    "......BBB...", "..CCC.......", "..C.....#...", "........#...",
};

struct TieCase {
    GVCell start;
    GVCell target;
    Cells chain;
};

const TieCase kCases[] = {
    {{0, 0},
     {11, 8},
     {{0, 0},
      {1, 1},
      {1, 2},
      {2, 3},
      {3, 3},
      {4, 4},
      {5, 5},
      {6, 6},
      {7, 6},
      {8, 6},
      {9, 7},
      {10, 8},
      {11, 8}}},
    {{11, 0},
     {0, 8},
     {{11, 0},
      {10, 1},
      {9, 2},
      {9, 3},
      {9, 4},
      {9, 5},
      {8, 6},
      {7, 7},
      {6, 8},
      {5, 8},
      {4, 8},
      {3, 8},
      {2, 8},
      {1, 8},
      {0, 8}}},
    {{0, 4},
     {11, 4},
     {{0, 4},
      {1, 5},
      {2, 5},
      {3, 5},
      {4, 5},
      {5, 5},
      {6, 6},
      {7, 6},
      {8, 6},
      {9, 5},
      {10, 5},
      {11, 4}}},
    {{5, 8}, {5, 0}, {{5, 8}, {5, 7}, {5, 6}, {5, 5}, {5, 4}, {5, 3}, {5, 2}, {5, 1}, {5, 0}}},
    {{9, 2},
     {3, 6},
     {{9, 2}, {9, 3}, {9, 4}, {9, 5}, {8, 6}, {7, 6}, {6, 6}, {5, 6}, {4, 7}, {3, 6}}},
    {{1, 5},
     {10, 1},
     {{1, 5}, {2, 5}, {3, 5}, {4, 4}, {5, 3}, {5, 2}, {6, 1}, {7, 1}, {8, 0}, {9, 1}, {10, 1}}},
    // These three change when an equal F sinks to the left child first, or when an improved
    // node rises past an equal F.
    {{2, 0},
     {3, 8},
     {{2, 0}, {3, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4}, {4, 5}, {5, 6}, {4, 7}, {3, 8}}},
    {{7, 0}, {7, 6}, {{7, 0}, {7, 1}, {7, 2}, {7, 3}, {8, 4}, {9, 5}, {8, 6}, {7, 6}}},
    {{9, 0}, {4, 6}, {{9, 0}, {8, 0}, {7, 1}, {6, 1}, {5, 2}, {4, 3}, {4, 4}, {4, 5}, {4, 6}}},
};

TEST(WalkGridTiesTest, ChainsFollowTheTieRules) {
    const walktest::Ground ground = walktest::Draw(kGround);
    GVWalkGrid grid;
    walktest::Lay(ground, grid);
    for (const TieCase& test : kCases) {
        SCOPED_TRACE(testing::PrintToString(test.start) + " to " +
                     testing::PrintToString(test.target));
        EXPECT_EQ(walktest::ModelChain(ground, test.start, test.target), test.chain);
        // Both ways round, so that the search runs on arrays a different search left behind.
        for (int pass = 0; pass < 2; ++pass) {
            Cells chain;
            ASSERT_TRUE(grid.FindCellPath(test.start.column, test.start.row, test.target.column,
                                          test.target.row, chain, false, 0.0f));
            EXPECT_EQ(chain, test.chain);
            grid.FindCellPath(test.target.column, test.target.row, test.start.column,
                              test.start.row, chain, true, 0.0f);
        }
    }
}

TEST(WalkGridTiesTest, ALaterNodeOfEqualCostRisesAboveAnEarlierOne) {
    // Round a blocked middle from (0, 1) to (2, 1): (1, 0) and (1, 2) both get F 3.4, (1, 0)
    // first; (1, 2) rises past it on the equal F, is taken next and reaches the target.
    GVWalkGrid grid;
    walktest::Lay(walktest::Draw({"...", ".#.", "..."}), grid);
    Cells chain;
    ASSERT_TRUE(grid.FindCellPath(0, 1, 2, 1, chain, false, 0.0f));
    EXPECT_EQ(chain, (Cells{{0, 1}, {1, 2}, {2, 1}}));
    // The other way the same rule takes the lower cell too.
    ASSERT_TRUE(grid.FindCellPath(2, 1, 0, 1, chain, false, 0.0f));
    EXPECT_EQ(chain, (Cells{{2, 1}, {1, 2}, {0, 1}}));
}

}  // namespace
