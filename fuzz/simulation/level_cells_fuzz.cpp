// The level cell file: the input is served as the binary level file and read; the cells are laid
// on the world's grid, and one walk is found between two points taken from the input's first
// bytes (any floats, NaN and infinities among them), with a progress taken from the next ones.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "foundation/file/fileindex.h"
#include "simulation/walk/gridpoints.h"
#include "simulation/walk/levelcells.h"

namespace {

const char kFile[] = "xml/level1.layout";

float FloatAt(const uint8_t* data, size_t size, size_t offset) {
    float value = 0.0f;
    if (offset + sizeof value <= size) std::memcpy(&value, data + offset, sizeof value);
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegisterMemoryFile(kFile, data, static_cast<uint32_t>(size));
    std::vector<GVLayoutCell> cells;
    const bool loaded = LoadLevelCells(kFile, cells);
    RegisterMemoryFile(kFile, nullptr, 0);
    if (!loaded) std::abort();
    if (cells.size() > size / 3) std::abort();  // never more records than the file holds

    static GVWalkGrid grid;
    if (!grid.IsAllocated()) grid.Allocate(120, 90);
    grid.Fill(0);
    for (const GVLayoutCell& cell : cells)
        if (grid.IsInside(cell.column, cell.row))
            grid.SetValue(cell.column, cell.row, static_cast<uint8_t>(cell.value));

    const float kCell = 20.0f;
    // Points from the bytes after the count, so that the records are fuzzed together with them.
    const TVec2 from(FloatAt(data, size, 4), FloatAt(data, size, 8));
    const TVec2 target(FloatAt(data, size, 12), FloatAt(data, size, 16));
    const float progress = FloatAt(data, size, 20);
    std::vector<TVec2> path;
    FindPath(grid, kCell, from, target, path, progress);
    if (!path.empty()) {
        if (path.back().x != target.x || path.back().y != target.y) std::abort();
        const std::optional<GVCell> cell = GridCellOfPoint(target.x, target.y, kCell);
        if (!cell || !grid.IsInside(cell->column, cell->row)) std::abort();
    }
    SnapToFreePoint(grid, kCell, from.x, from.y);
    return 0;
}
