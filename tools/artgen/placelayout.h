// A place's layout: what its recipe's grids say (the cells it covers with their walk values,
// where workers stand, the elephants' special approach cells) and the work areas drawn from its
// pictures, written as the XML ".layout" file the world's layout cache reads. Offsets are cells
// from the place's own cell, x to the right, y downwards.
//
// Pure data and functions; any thread.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "image.h"
#include "recipe.h"

namespace artgen {

using CellOffset = std::pair<int, int>;  // x (column), y (row)

struct LayoutCell {
    int x = 0, y = 0;
    int value = 255;
};

struct StageLayout {
    std::vector<LayoutCell> cells;
    std::vector<CellOffset> mounts;
    std::vector<CellOffset> specials;
    std::vector<CellOffset> workAreas;
};

// The cells, mount points and special cells of a grid, in row order.
StageLayout ReadGridCells(const LayoutGrid& grid);

// The cells a picture covers (pixels whose alpha is above a quarter), relative to the cell of its
// registration point, which lies at (cellX, cellY) in that cell.
void AddCoveredCells(const drawkit::Image& picture, int regX, int regY, int cellX, int cellY,
                     std::set<CellOffset>* cells);

// The work areas of a stage: the covered cells and the cells the place covers, with a ring of one
// cell around them, in row order.
std::vector<CellOffset> WorkAreas(const std::set<CellOffset>& covered,
                                  const std::vector<LayoutCell>& cells);

// The ".layout" text: a `layout` element with the two counts and one `level` element per stage.
std::string WriteLayout(int stages, int stock, const std::vector<StageLayout>& levels);

}  // namespace artgen
