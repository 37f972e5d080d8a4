// Places on the walk grid for the world's rules: a random walkable point of a rectangle, and the
// first walkable point from a start in fixed steps. Both searches are bounded: a landscape that
// has no walkable cell where they look still gives an answer, the nearest free point the grid
// knows.
#include <optional>

#include "foundation/random.h"
#include "simulation/views/worldmanager.h"
#include "simulation/walk/gridpoints.h"
#include "simulation/world.h"

namespace {

// Draws of a random walkable point before the search settles for the nearest free one.
constexpr int kMaxDraws = 1000;

}  // namespace

TVec2 GWorld::RandomWalkablePoint(int x0, int x1, int y0, int y1) {
    TVec2 point;
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        const int x = mRandom.NextRange(x0, x1);
        const int y = mRandom.NextRange(y0, y1);
        point = TVec2(static_cast<float>(x), static_cast<float>(y));
        if (mViewManager == nullptr || mViewManager->IsWalkable(point.x, point.y)) return point;
    }
    return mViewManager->SnapToFreePoint(point.x, point.y);
}

TVec2 GWorld::SteppedWalkablePoint(const TVec2& start, const TVec2& step) {
    if (mViewManager == nullptr) return start;
    const GVWalkGrid& grid = mViewManager->GetGrid();
    const float cellSize = mViewManager->GetCellSize();
    TVec2 point = start;
    for (;;) {
        const std::optional<GVCell> cell = GridCellOfPoint(point.x, point.y, cellSize);
        if (!cell || !grid.IsInside(cell->column, cell->row)) break;
        if (mViewManager->IsWalkable(point.x, point.y)) return point;
        // A step that does not move would look at the same cell for ever.
        if (step.x == 0.0f && step.y == 0.0f) break;
        point = point + step;
    }
    return mViewManager->SnapToFreePoint(start.x, start.y);
}
