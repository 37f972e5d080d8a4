// World points on the walk grid: the cell of a point and the centre of a cell, whether a
// creature may stand at a point, a walk between two points as waypoints, and the nearest open
// place for a creature put down on blocked ground. The world view manager answers the world with
// these, giving its grid and its cell size (pixels per cell, in x and in y).
//
// The cell of a point is (trunc(x / cell size), trunc(y / cell size)), truncated towards zero,
// so (-5, 10) lies in column 0. A point whose coordinates are not finite or whose cell would not
// be a 32-bit number has no cell: it is outside every grid.
//
// Main thread only, as the grid.
#pragma once

#include <optional>
#include <vector>

#include "math/vec2.h"
#include "simulation/walk/walkgrid.h"

// The cell of a point; none for a point that has no cell (see above).
std::optional<GVCell> GridCellOfPoint(float x, float y, float cellSize);
// The centre of a cell, in world pixels.
TVec2 GridCellCentre(const GVCell& cell, float cellSize);

// False for a point outside the grid, else whether its cell's walk value is not 255.
bool IsWalkable(const GVWalkGrid& grid, float cellSize, float x, float y);

// The waypoints of a walk from the point from to the point target, replacing path: the centres
// of the straightened chain of cells, with progress (the part of the walk already done) dropped
// from its front. A single waypoint becomes the target itself; with more, the first becomes from
// when progress is 0 (or below) and the last becomes the target. Empty when there is no chain: a
// target in from's own cell, either point outside the grid, or the whole walk done.
void FindPath(GVWalkGrid& grid, float cellSize, const TVec2& from, const TVec2& target,
              std::vector<TVec2>& path, float progress);

// The centre of the nearest open cell on the way from the point's cell to the middle of the grid
// (GVWalkGrid::FindNearestFreeCell); a point without a cell is answered as it is.
TVec2 SnapToFreePoint(GVWalkGrid& grid, float cellSize, float x, float y);
