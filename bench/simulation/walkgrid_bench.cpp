// The walk grid's search over the world's 120 × 90 grid of a landscape shaped like the game's:
// an island in the sea, lakes, woods and sand that cost more to cross, and houses that block
// their cells. Measured from corner to corner and over a fixed list of random pairs, with
// smoothing, per search; the allocations counted around the loop must stay at 0.
//
// The peer is a textbook A* over the same ground, costs and estimate: std::priority_queue with
// duplicate entries skipped when taken, a closed set, and a stop when the target is taken from
// the queue. Its storage is kept between searches as the grid keeps its own, and its chain is
// straightened by the same SmoothPath, so the two differ only in the search. The counters give
// both chains' mean cost, since the grid's search stops as soon as it reaches the target and so
// may return a dearer chain than the textbook's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <queue>
#include <utility>
#include <vector>

#include "allocationcount.h"
#include "foundation/random.h"
#include "simulation/walk/walkgrid.h"

namespace {

constexpr int kColumns = 120;
constexpr int kRows = 90;

void Disc(GVWalkGrid& grid, int centreColumn, int centreRow, int radius, uint8_t value) {
    for (int row = centreRow - radius; row <= centreRow + radius; ++row)
        for (int column = centreColumn - radius; column <= centreColumn + radius; ++column)
            if (grid.IsInside(column, row) && (column - centreColumn) * (column - centreColumn) +
                                                      (row - centreRow) * (row - centreRow) <=
                                                  radius * radius)
                grid.SetValue(column, row, value);
}

void Box(GVWalkGrid& grid, int left, int top, int width, int height, uint8_t value) {
    for (int row = top; row < top + height; ++row)
        for (int column = left; column < left + width; ++column)
            if (grid.IsInside(column, row)) grid.SetValue(column, row, value);
}

// The island: sea round an uneven coast, sand along it, lakes, woods and the houses of a village.
void MakeLandscape(GVWalkGrid& grid) {
    grid.Allocate(kColumns, kRows);
    TRandom random;
    random.Seed(20240611);
    for (int column = 0; column < kColumns; ++column) {
        for (int row = 0; row < kRows; ++row) {
            const float dx = (column - kColumns / 2.0f) / (kColumns / 2.0f);
            const float dy = (row - kRows / 2.0f) / (kRows / 2.0f);
            const float wobble = 0.08f * std::sin(column * 0.31f) + 0.06f * std::cos(row * 0.43f);
            const float distance = std::sqrt(dx * dx + dy * dy) + wobble;
            if (distance > 1.05f)
                grid.SetValue(column, row, 255);  // sea
            else if (distance > 0.95f)
                grid.SetValue(column, row, 5);  // sand
        }
    }
    for (int i = 0; i < 6; ++i)  // lakes
        Disc(grid, random.NextRange(20, 100), random.NextRange(15, 75), random.NextRange(3, 7),
             255);
    for (int i = 0; i < 10; ++i)  // woods
        Disc(grid, random.NextRange(10, 110), random.NextRange(10, 80), random.NextRange(4, 9),
             static_cast<uint8_t>(random.NextRange(11, 40)));
    for (int i = 0; i < 40; ++i)  // houses, fields and stores
        Box(grid, random.NextRange(25, 95), random.NextRange(20, 70), random.NextRange(2, 5),
            random.NextRange(2, 4), 255);
}

float StepCost(const GVWalkGrid& grid, const GVCell& from, const GVCell& to) {
    float step = static_cast<float>(grid.GetValue(to.column, to.row) + 1);
    if (from.column != to.column && from.row != to.row) step *= 1.4f;
    return step;
}

float ChainCost(const GVWalkGrid& grid, const std::vector<GVCell>& cells) {
    float cost = 0.0f;
    for (size_t i = 1; i < cells.size(); ++i)
        cost += StepCost(grid, cells[i - 1], cells[i]);
    return cost;
}

// The peer: a textbook A*.
class TextbookSearch {
public:
    explicit TextbookSearch(const GVWalkGrid& grid)
        : mGrid(grid), mG(kColumns * kRows), mParent(kColumns * kRows), mClosed(kColumns * kRows) {
        std::vector<Entry> storage;
        storage.reserve(kColumns * kRows * 8);
        mOpen = Queue(std::greater<Entry>(), std::move(storage));
    }

    bool Find(const GVCell& start, const GVCell& target, std::vector<GVCell>& cells, bool smooth) {
        cells.clear();
        std::fill(mG.begin(), mG.end(), std::numeric_limits<float>::infinity());
        std::fill(mClosed.begin(), mClosed.end(), false);
        while (!mOpen.empty())
            mOpen.pop();
        const int from = Index(start);
        const int to = Index(target);
        mG[from] = 0.0f;
        mOpen.push({Estimate(start, target), from});
        while (!mOpen.empty()) {
            const int here = mOpen.top().second;
            mOpen.pop();
            if (mClosed[here]) continue;
            mClosed[here] = true;
            if (here == to) break;
            const GVCell cell{here / kRows, here % kRows};
            for (int dRow = -1; dRow <= 1; ++dRow) {
                for (int dColumn = -1; dColumn <= 1; ++dColumn) {
                    const GVCell next{cell.column + dColumn, cell.row + dRow};
                    if (!mGrid.IsInside(next.column, next.row)) continue;
                    const int index = Index(next);
                    if (mClosed[index]) continue;
                    const float g = mG[here] + StepCost(mGrid, cell, next);
                    if (g < mG[index]) {
                        mG[index] = g;
                        mParent[index] = here;
                        mOpen.push({g + Estimate(next, target), index});
                    }
                }
            }
        }
        if (!mClosed[to]) return false;
        for (int at = to;; at = mParent[at]) {
            cells.push_back(GVCell{at / kRows, at % kRows});
            if (at == from) break;
        }
        std::reverse(cells.begin(), cells.end());
        if (smooth) mGrid.SmoothPath(cells);
        return true;
    }

private:
    using Entry = std::pair<float, int>;
    using Queue = std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>>;

    static int Index(const GVCell& cell) { return cell.column * kRows + cell.row; }
    static float Estimate(const GVCell& a, const GVCell& b) {
        return static_cast<float>(std::abs(a.column - b.column) + std::abs(a.row - b.row));
    }

    const GVWalkGrid& mGrid;
    std::vector<float> mG;
    std::vector<int> mParent;
    std::vector<bool> mClosed;
    Queue mOpen;
};

// Start and target cells: one corner to the other, or a fixed list of open pairs on the island.
std::vector<std::pair<GVCell, GVCell>> Routes(const GVWalkGrid& grid, bool corners) {
    if (corners) return {{GVCell{0, 0}, GVCell{kColumns - 1, kRows - 1}}};
    std::vector<std::pair<GVCell, GVCell>> routes;
    TRandom random;
    random.Seed(7);
    while (routes.size() < 256) {
        const GVCell a{random.NextRange(0, kColumns - 1), random.NextRange(0, kRows - 1)};
        const GVCell b{random.NextRange(0, kColumns - 1), random.NextRange(0, kRows - 1)};
        if (a == b || grid.GetValue(a.column, a.row) != 0 || grid.GetValue(b.column, b.row) != 0)
            continue;
        routes.emplace_back(a, b);
    }
    return routes;
}

template <typename Search>
void RunSearches(benchmark::State& state, bool corners, Search&& search, GVWalkGrid& grid) {
    const std::vector<std::pair<GVCell, GVCell>> routes = Routes(grid, corners);
    std::vector<GVCell> cells;
    cells.reserve(kColumns * kRows);
    std::vector<GVCell> raw;
    double cost = 0.0;
    for (const auto& [a, b] : routes) {  // also warms the arrays
        search(a, b, raw, false);
        cost += ChainCost(grid, raw);
    }
    long searches = 0;
    const long before = AllocationCount();
    for (auto _ : state) {
        for (const auto& [a, b] : routes) {
            search(a, b, cells, true);
            benchmark::DoNotOptimize(cells.data());
        }
        searches += static_cast<long>(routes.size());
    }
    const long allocations = AllocationCount() - before;
    state.counters["per_search"] = benchmark::Counter(
        static_cast<double>(searches), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocs_per_search"] =
        static_cast<double>(allocations) / static_cast<double>(searches);
    state.counters["raw_cost"] = cost / static_cast<double>(routes.size());
}

void BM_WalkGrid(benchmark::State& state, bool corners) {
    GVWalkGrid grid;
    MakeLandscape(grid);
    RunSearches(
        state, corners,
        [&](const GVCell& a, const GVCell& b, std::vector<GVCell>& cells, bool smooth) {
            grid.FindCellPath(a.column, a.row, b.column, b.row, cells, smooth, 0.0f);
        },
        grid);
}

void BM_TextbookAStar(benchmark::State& state, bool corners) {
    GVWalkGrid grid;
    MakeLandscape(grid);
    TextbookSearch peer(grid);
    RunSearches(
        state, corners,
        [&](const GVCell& a, const GVCell& b, std::vector<GVCell>& cells, bool smooth) {
            peer.Find(a, b, cells, smooth);
        },
        grid);
}

BENCHMARK_CAPTURE(BM_WalkGrid, corner_to_corner, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TextbookAStar, corner_to_corner, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WalkGrid, random_pairs, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TextbookAStar, random_pairs, false)->Unit(benchmark::kMicrosecond);

}  // namespace
