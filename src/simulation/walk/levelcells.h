// The level cell file: the walk values of the fixed landscape, a binary ".layout" file. A
// little-endian signed 32-bit count, then one 3-byte record per cell: column, row and walk value,
// each an unsigned byte (so only grids of up to 256 × 256 cells can be addressed). The world view
// manager keeps the list and lays it on its grid in file order, a later record for a cell over an
// earlier one.
#pragma once

#include <vector>

#include "foundation/str.h"
#include "simulation/walk/layout.h"

// Replaces cells with the records of the file, in file order, and answers true; a count of 0 or
// less gives no cells, and reading stops at the first record the file does not hold whole,
// whatever the count says. A file that does not open answers false and leaves cells as they were.
bool LoadLevelCells(const str& path, std::vector<GVLayoutCell>& cells);
