#include "simulation/walk/walkgrid.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "walkmodel.h"

void PrintTo(const GVCell& cell, std::ostream* out) {
    *out << "(" << cell.column << ", " << cell.row << ")";
}

namespace {

using walktest::Cells;
using walktest::Draw;
using walktest::Ground;
using walktest::Lay;

// An open 8 × 6 grid.
const std::vector<std::string> kOpen = {
    "........", "........", "........", "........", "........", "........",
};

TEST(WalkGridTest, AllocateSizesZeroesAndRefusesNonsense) {
    GVWalkGrid grid;
    EXPECT_FALSE(grid.IsAllocated());
    ASSERT_TRUE(grid.Allocate(120, 90));
    EXPECT_EQ(grid.GetColumns(), 120);
    EXPECT_EQ(grid.GetRows(), 90);
    EXPECT_EQ(grid.GetValue(119, 89), 0);
    grid.Fill(7);
    EXPECT_EQ(grid.GetValue(3, 4), 7);
    // A new size starts from open ground again.
    ASSERT_TRUE(grid.Allocate(4, 3));
    EXPECT_EQ(grid.GetValue(3, 2), 0);
    EXPECT_FALSE(grid.IsInside(4, 0));
    EXPECT_FALSE(grid.IsInside(0, -1));
    for (auto [columns, rows] : {std::pair{0, 5}, {5, -1}, {1 << 16, 1 << 16}}) {
        EXPECT_FALSE(grid.Allocate(columns, rows)) << columns << " x " << rows;
        EXPECT_FALSE(grid.IsAllocated());
        EXPECT_EQ(grid.GetColumns(), 0);
    }
    Cells cells = {{1, 1}};
    EXPECT_FALSE(grid.FindCellPath(0, 0, 1, 1, cells, false, 0.0f));
    EXPECT_TRUE(cells.empty());
    EXPECT_EQ(grid.FindNearestFreeCell(2, 3), (GVCell{2, 3}));
}

TEST(WalkGridTest, FreeGivesBackEveryArray) {
    auto held = [] {
        const struct mallinfo2 info = mallinfo2();
        return info.uordblks + info.hblkhd;
    };
    GVWalkGrid grid;
    const size_t before = held();
    // 250,000 cells: each work array of a cell's 32-bit numbers holds a megabyte.
    ASSERT_TRUE(grid.Allocate(500, 500));
    if (held() < before + 8'000'000)
        GTEST_SKIP() << "the heap's figures do not show the arrays (a sanitizer's allocator)";
    grid.Free();
    EXPECT_LT(held(), before + 200'000);
}

TEST(WalkGridTest, OffsetCellsStayInsideWithoutOverflow) {
    GVWalkGrid grid;
    grid.Allocate(120, 90);
    const int32_t kMax = std::numeric_limits<int32_t>::max();
    const int32_t kMin = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(grid.OffsetCell({5, 5}, 1, 0), (GVCell{6, 5}));
    EXPECT_EQ(grid.OffsetCell({5, 5}, -5, 84), (GVCell{0, 89}));
    EXPECT_FALSE(grid.OffsetCell({5, 5}, -6, 0));
    EXPECT_FALSE(grid.OffsetCell({5, 5}, 115, 0));
    EXPECT_FALSE(grid.OffsetCell({5, 5}, kMax, 0));
    EXPECT_FALSE(grid.OffsetCell({kMax, 5}, kMax, 0));
    EXPECT_FALSE(grid.OffsetCell({5, kMin}, 0, kMin));
    // Large numbers that cancel out land inside.
    EXPECT_EQ(grid.OffsetCell({kMax, 5}, -kMax + 2, 0), (GVCell{2, 5}));
    EXPECT_EQ(grid.OffsetCell({3, kMin}, 0, kMax), std::nullopt);
}

// What a search should give: the raw chain (kept or smoothed, trimmed by progress).
struct SearchCase {
    const char* name;
    std::vector<std::string> picture;
    GVCell start;
    GVCell target;
    bool smooth;
    float progress;
    bool found;
    // Checked when not empty, or when found and expectEmpty.
    Cells chain;
    bool expectEmpty = false;
};

TEST(WalkGridTest, SearchCases) {
    const float kNaN = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::string> kLine = {"......."};
    const std::vector<std::string> kWall = {
        "...#...",
        "...#...",
        "...#...",
        "...#...",
    };
    const SearchCase cases[] = {
        {"one cell", kOpen, {2, 2}, {2, 2}, false, 0.0f, false, {}, true},
        {"start outside", kOpen, {-1, 0}, {2, 2}, false, 0.0f, false, {}, true},
        {"target outside", kOpen, {0, 0}, {8, 2}, false, 0.0f, false, {}, true},
        {"target below", kOpen, {0, 0}, {2, 6}, false, 0.0f, false, {}, true},
        {"diagonal, raw",
         kOpen,
         {0, 0},
         {3, 3},
         false,
         0.0f,
         true,
         {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {"diagonal, smoothed", kOpen, {0, 0}, {3, 3}, true, 0.0f, true, {{0, 0}, {3, 3}}},
        {"neighbour", kOpen, {4, 4}, {5, 4}, true, 0.0f, true, {{4, 4}, {5, 4}}},
        // A wall of 255 with no gap is crossed: no value is impassable.
        {"wall",
         kWall,
         {0, 1},
         {6, 1},
         false,
         0.0f,
         true,
         {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}},
        // Progress drops trunc(length × progress) cells from the front of the raw chain.
        {"half walked", kLine, {0, 0}, {4, 0}, false, 0.5f, true, {{2, 0}, {3, 0}, {4, 0}}},
        {"all walked", kLine, {0, 0}, {4, 0}, false, 1.0f, true, {}, true},
        {"past the end", kLine, {0, 0}, {4, 0}, false, 7.0f, true, {}, true},
        {"negative progress",
         kLine,
         {0, 0},
         {4, 0},
         false,
         -1.0f,
         true,
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}},
        {"NaN progress",
         kLine,
         {0, 0},
         {4, 0},
         false,
         kNaN,
         true,
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}},
        {"nearly all walked", kLine, {0, 0}, {4, 0}, false, 0.99f, true, {{4, 0}}},
        // Smoothing runs on what is left after the trimming.
        {"trimmed then smoothed", kLine, {0, 0}, {6, 0}, true, 0.3f, true, {{2, 0}, {6, 0}}},
    };
    for (const SearchCase& test : cases) {
        SCOPED_TRACE(test.name);
        GVWalkGrid grid;
        Lay(Draw(test.picture), grid);
        Cells cells = {{9, 9}};
        EXPECT_EQ(grid.FindCellPath(test.start.column, test.start.row, test.target.column,
                                    test.target.row, cells, test.smooth, test.progress),
                  test.found);
        if (test.expectEmpty)
            EXPECT_TRUE(cells.empty());
        else
            EXPECT_EQ(cells, test.chain);
    }
}

TEST(WalkGridTest, AWallIsCrossedAtItsCost) {
    // A wall of 255 with one gap four rows down: going round costs less than 256.
    GVWalkGrid grid;
    Lay(Draw({
            "...#...",
            "...#...",
            "...#...",
            "...#...",
            ".......",
        }),
        grid);
    Cells cells;
    ASSERT_TRUE(grid.FindCellPath(0, 0, 6, 0, cells, false, 0.0f));
    for (const GVCell& cell : cells)
        EXPECT_NE(grid.GetValue(cell.column, cell.row), 255) << cell.column << "," << cell.row;
    EXPECT_NE(std::find(cells.begin(), cells.end(), GVCell{3, 4}), cells.end());
}

TEST(WalkGridTest, SmoothingStopsAtValuesAboveTen) {
    // The search bends round the middle cell; the line from the first cell to the last passes
    // through it.
    for (auto [middle, kept] : {std::pair{'B', true}, {'A', false}, {'#', true}, {'9', false}}) {
        SCOPED_TRACE(std::string(1, middle));
        GVWalkGrid grid;
        Lay(Draw({"...", std::string(".") + middle + ".", "..."}), grid);
        Cells raw;
        ASSERT_TRUE(grid.FindCellPath(0, 1, 2, 1, raw, false, 0.0f));
        ASSERT_EQ(raw.size(), 3u);
        EXPECT_NE(raw[1], (GVCell{1, 1}));
        Cells smoothed;
        ASSERT_TRUE(grid.FindCellPath(0, 1, 2, 1, smoothed, true, 0.0f));
        EXPECT_EQ(smoothed, kept ? raw : (Cells{{0, 1}, {2, 1}}));
        EXPECT_EQ(grid.IsLineClear({0, 1}, {2, 1}), !kept);

        // A longer way round: each kept cell reaches as far as a clear line goes.
        Cells around = {{0, 0}, {1, 0}, {2, 1}, {2, 2}};
        grid.SmoothPath(around);
        EXPECT_EQ(around, kept ? (Cells{{0, 0}, {2, 1}, {2, 2}}) : (Cells{{0, 0}, {2, 2}}));
    }
}

TEST(WalkGridTest, SmoothingKeepsShortChainsAndTestsTheStartCell) {
    GVWalkGrid grid;
    Lay(Draw({"#...", "....", "...."}), grid);
    Cells two = {{0, 0}, {3, 2}};
    grid.SmoothPath(two);
    EXPECT_EQ(two, (Cells{{0, 0}, {3, 2}}));
    // The first sample is the start cell itself: nothing is seen from the blocked cell, and the
    // next cell goes on from there.
    Cells fromWall = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    grid.SmoothPath(fromWall);
    EXPECT_EQ(fromWall, (Cells{{0, 0}, {1, 0}, {3, 0}}));
    // Samples fall at whole steps along the line: (1, 0) to (3, 2) touches (1, 0), (1, 0) and
    // (2, 1) only.
    Cells fromOpen = {{1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}};
    grid.SmoothPath(fromOpen);
    EXPECT_EQ(fromOpen, (Cells{{1, 0}, {3, 2}}));
}

TEST(WalkGridTest, NearestFreeCell) {
    // 9 × 7: the middle is (4, 3). The two left columns are blocked, and so is the middle.
    GVWalkGrid grid;
    Lay(Draw({
            "##.......",
            "##.......",
            "##.......",
            "##..#....",
            "##.......",
            "##.......",
            "##.......",
        }),
        grid);
    EXPECT_EQ(grid.FindNearestFreeCell(6, 1), (GVCell{6, 1}));      // open: itself
    EXPECT_EQ(grid.FindNearestFreeCell(1, 3), (GVCell{2, 3}));      // the open neighbour towards it
    EXPECT_EQ(grid.FindNearestFreeCell(4, 3), (GVCell{4, 3}));      // the middle: no chain
    EXPECT_EQ(grid.FindNearestFreeCell(-3, 40), (GVCell{-3, 40}));  // outside: no chain

    // Blocked all the way to the middle: the given cell.
    GVWalkGrid closed;
    Lay(Draw({"###", "###", "###"}), closed);
    EXPECT_EQ(closed.FindNearestFreeCell(0, 0), (GVCell{0, 0}));
}

}  // namespace
