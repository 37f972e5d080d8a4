// Searches over seeded random grids of the world's size, checked for what every chain must be,
// and against the plain statement of the search's rules in walkmodel.h.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "foundation/random.h"
#include "simulation/walk/walkgrid.h"
#include "walkmodel.h"

void PrintTo(const GVCell& cell, std::ostream* out);

namespace {

using walktest::Cells;
using walktest::Ground;

// Open ground with costly patches, low hedges (11) and blocked blocks, 120 × 90.
Ground RandomGround(TRandom& random) {
    Ground ground;
    ground.columns = 120;
    ground.rows = 90;
    ground.values.assign(ground.columns * ground.rows, 0);
    const int patches = random.NextRange(5, 40);
    for (int i = 0; i < patches; ++i) {
        static const int kValues[] = {255, 255, 11, 5, 40, 200};
        const int value = kValues[random.NextRange(0, 5)];
        const int left = random.NextRange(0, ground.columns - 1);
        const int top = random.NextRange(0, ground.rows - 1);
        const int width = random.NextRange(1, 25);
        const int height = random.NextRange(1, 25);
        for (int row = top; row < std::min(ground.rows, top + height); ++row)
            for (int column = left; column < std::min(ground.columns, left + width); ++column)
                ground.values[row * ground.columns + column] = value;
    }
    // Scattered single cells of every kind.
    for (int i = 0; i < 300; ++i)
        ground.values[random.NextRange(0, ground.columns * ground.rows - 1)] =
            random.NextRange(0, 255);
    return ground;
}

GVCell RandomCell(TRandom& random, const Ground& ground) {
    return GVCell{random.NextRange(0, ground.columns - 1), random.NextRange(0, ground.rows - 1)};
}

bool Neighbours(const GVCell& a, const GVCell& b) {
    return !(a == b) && std::abs(a.column - b.column) <= 1 && std::abs(a.row - b.row) <= 1;
}

void CheckRawChain(const Cells& chain, const GVCell& start, const GVCell& target) {
    ASSERT_GE(chain.size(), 2u);
    EXPECT_EQ(chain.front(), start);
    EXPECT_EQ(chain.back(), target);
    std::set<std::pair<int, int>> seen;
    for (size_t i = 0; i < chain.size(); ++i) {
        EXPECT_TRUE(seen.insert({chain[i].column, chain[i].row}).second) << "repeated at " << i;
        if (i > 0) {
            EXPECT_TRUE(Neighbours(chain[i - 1], chain[i])) << "gap at " << i;
        }
    }
}

void CheckSmoothed(const Ground& ground, const Cells& raw, const Cells& smoothed) {
    ASSERT_GE(smoothed.size(), 2u);
    EXPECT_EQ(smoothed.front(), raw.front());
    EXPECT_EQ(smoothed.back(), raw.back());
    // A subsequence of the raw chain; each step joins raw neighbours or passes the line test.
    size_t at = 0;
    for (size_t i = 0; i < smoothed.size(); ++i) {
        while (at < raw.size() && !(raw[at] == smoothed[i]))
            ++at;
        ASSERT_LT(at, raw.size()) << "not in the raw chain: " << i;
        if (i > 0) {
            const bool adjacentInRaw = raw[at - 1] == smoothed[i - 1];
            EXPECT_TRUE(adjacentInRaw ||
                        walktest::ModelLineClear(ground, smoothed[i - 1], smoothed[i]))
                << "step " << i;
        }
    }
}

TEST(WalkGridPropertyTest, RandomGroundsAndRoutes) {
    TRandom random;
    GVWalkGrid grid;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        random.Seed(seed);
        const Ground ground = RandomGround(random);
        walktest::Lay(ground, grid);
        for (int route = 0; route < 12; ++route) {
            const GVCell start = RandomCell(random, ground);
            const GVCell target = RandomCell(random, ground);
            SCOPED_TRACE("seed " + std::to_string(seed) + " from " + testing::PrintToString(start) +
                         " to " + testing::PrintToString(target));
            Cells raw;
            const bool found = grid.FindCellPath(start.column, start.row, target.column, target.row,
                                                 raw, false, 0.0f);
            if (start == target) {
                EXPECT_FALSE(found);
                continue;
            }
            ASSERT_TRUE(found);  // no cell is impassable
            CheckRawChain(raw, start, target);
            EXPECT_EQ(raw, walktest::ModelChain(ground, start, target));

            Cells smoothed;
            ASSERT_TRUE(grid.FindCellPath(start.column, start.row, target.column, target.row,
                                          smoothed, true, 0.0f));
            CheckSmoothed(ground, raw, smoothed);

            // Again, after the search above: the arrays are reset as they should be.
            Cells again;
            grid.FindCellPath(start.column, start.row, target.column, target.row, again, false,
                              0.0f);
            EXPECT_EQ(again, raw);
        }
    }
}

}  // namespace
