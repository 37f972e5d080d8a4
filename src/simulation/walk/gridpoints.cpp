#include "simulation/walk/gridpoints.h"

#include <cstdint>

namespace {

// trunc(value) as a cell number; none when it is not finite or leaves the 32-bit range.
std::optional<int32_t> CellNumber(float value) {
    // 2^31 is exact in single precision; NaN fails both comparisons.
    constexpr float kLimit = 2147483648.0f;
    if (!(value >= -kLimit && value < kLimit)) return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace

std::optional<GVCell> GridCellOfPoint(float x, float y, float cellSize) {
    const std::optional<int32_t> column = CellNumber(x / cellSize);
    const std::optional<int32_t> row = CellNumber(y / cellSize);
    if (!column || !row) return std::nullopt;
    return GVCell{*column, *row};
}

TVec2 GridCellCentre(const GVCell& cell, float cellSize) {
    return TVec2((static_cast<float>(cell.column) + 0.5f) * cellSize,
                 (static_cast<float>(cell.row) + 0.5f) * cellSize);
}

bool IsWalkable(const GVWalkGrid& grid, float cellSize, float x, float y) {
    const std::optional<GVCell> cell = GridCellOfPoint(x, y, cellSize);
    if (!cell || !grid.IsAllocated() || !grid.IsInside(cell->column, cell->row)) return false;
    return grid.GetValue(cell->column, cell->row) != GVWalkGrid::kBlocked;
}

void FindPath(GVWalkGrid& grid, float cellSize, const TVec2& from, const TVec2& target,
              std::vector<TVec2>& path, float progress) {
    path.clear();
    const std::optional<GVCell> start = GridCellOfPoint(from.x, from.y, cellSize);
    const std::optional<GVCell> end = GridCellOfPoint(target.x, target.y, cellSize);
    if (!start || !end) return;
    progress = GVWalkGrid::ClampProgress(progress);
    std::vector<GVCell> cells;
    if (!grid.FindCellPath(start->column, start->row, end->column, end->row, cells, true, progress))
        return;
    path.reserve(cells.size());
    for (const GVCell& cell : cells)
        path.push_back(GridCellCentre(cell, cellSize));
    if (path.size() == 1) {
        path.front() = target;
    } else if (path.size() > 1) {
        if (progress == 0.0f) path.front() = from;
        path.back() = target;
    }
}

TVec2 SnapToFreePoint(GVWalkGrid& grid, float cellSize, float x, float y) {
    const std::optional<GVCell> cell = GridCellOfPoint(x, y, cellSize);
    if (!cell) return TVec2(x, y);
    return GridCellCentre(grid.FindNearestFreeCell(cell->column, cell->row), cellSize);
}
