// A location layout file: the input is served as an XML (or "ZXML") ".layout" file and loaded;
// then every level is laid on the world's grid at a location's cell as the view manager lays it
// (each cell through the overflow-free offset, the low 8 bits of its value), every point is
// turned into a cell as an approach would, and the nearest open cell is looked for from there.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "foundation/file/fileindex.h"
#include "simulation/walk/layout.h"
#include "simulation/walk/walkgrid.h"

namespace {

const char kFile[] = "xml/fuzzed.layout";

// Searches looked for per list, so that a long list stays quick.
constexpr size_t kSearches = 4;

// The cell a point offset moves a base cell to, as an approach computes it; the loader keeps
// offsets within kMaxPointOffset, so the truncation is always defined.
void VisitPoints(GVWalkGrid& grid, const GVCell& base, const std::vector<TVec2>& points) {
    size_t searches = 0;
    for (const TVec2& point : points) {
        if (!(std::abs(point.x) <= GVLayout::kMaxPointOffset) ||
            !(std::abs(point.y) <= GVLayout::kMaxPointOffset))
            std::abort();
        const auto cell =
            grid.OffsetCell(base, static_cast<int32_t>(point.x), static_cast<int32_t>(point.y));
        if (cell && searches++ < kSearches) grid.FindNearestFreeCell(cell->column, cell->row);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegisterMemoryFile(kFile, data, static_cast<uint32_t>(size));
    GVLayout layout;
    const bool loaded = layout.Load(kFile);
    RegisterMemoryFile(kFile, nullptr, 0);
    if (!loaded) {
        if (!layout.levels.empty()) std::abort();
        return 0;
    }
    if (layout.perLevelImagesCount < 1 || layout.levels.empty()) std::abort();

    static GVWalkGrid grid;
    if (!grid.IsAllocated()) grid.Allocate(120, 90);
    const GVCell base{60, 45};
    for (uint32_t index = 0; index < layout.levels.size(); ++index) {
        const GVLayoutLevel* level = layout.GetLevel(index);
        if (level == nullptr) std::abort();
        grid.Fill(0);
        for (const GVLayoutCell& entry : level->walkabilityCells) {
            if (entry.value == 0) std::abort();  // a location's cells are never open ground
            if (const auto cell = grid.OffsetCell(base, entry.column, entry.row))
                grid.SetValue(cell->column, cell->row, static_cast<uint8_t>(entry.value));
        }
        VisitPoints(grid, base, level->workMountPoints);
        VisitPoints(grid, base, level->workAreas);
        VisitPoints(grid, base, level->workSpecial);
    }
    return 0;
}
