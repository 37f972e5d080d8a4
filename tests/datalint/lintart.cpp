// The walk-grid parts of checks 22 and 23, read from the generated art: the start layout stands on
// the level's open ground, each place outside the others' cells; and the program's fixed points
// and the hiding places lie on open cells of the walk grid the world starts with (the landscape's
// cells, then every place of the start layout at its first level, later ones over earlier). That
// every animator has its description and layout (check 11's art) is the art lint's to say
// (tests/art), with the rest of what the program asks of the art.
#include <map>
#include <memory>

#include "foundation/file/file.h"
#include "lintcontext.h"
#include "simulation/walk/gridpoints.h"
#include "simulation/walk/layout.h"
#include "simulation/walk/levelcells.h"
#include "simulation/walk/walkgrid.h"

namespace datalint {

namespace {

const std::string kMain = std::string(kLogicFolder) + "main.xml";
constexpr int kColumns = 120;
constexpr int kRows = 90;
constexpr float kCell = 20.0f;

std::string At(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

}  // namespace

void CheckArt(Context& c) {
    const std::string level = std::string(kArtPrefix) + "xml/level1.layout";
    if (!FileExists(str(level.c_str()))) {
        c.Report(level, "-", "22",
                 "the generated art is not there: the lint reads the built game folder");
        return;
    }
    // Every animator's layout (a missing one is empty: the art lint names it).
    std::map<std::string, std::unique_ptr<GVLayout>> layouts;
    for (const DefinitionFile& d : c.definitions) {
        if (d.kind != DefinitionKind::kLocation || d.prototype == nullptr) continue;
        const std::string animator = d.prototype->animatorName.c_str();
        if (animator.empty() || layouts.count(animator)) continue;
        const std::string base = std::string(kArtPrefix) + "xml/" + animator;
        auto layout = std::make_unique<GVLayout>();
        layout->Load(str((base + ".layout").c_str()));
        layouts[animator] = std::move(layout);
    }

    // The grid the world starts with.
    std::vector<GVLayoutCell> cells;
    LoadLevelCells(str(level.c_str()), cells);
    GVWalkGrid grid;
    if (!grid.Allocate(kColumns, kRows)) return;
    for (const GVLayoutCell& cell : cells)
        if (grid.IsInside(cell.column, cell.row))
            grid.SetValue(cell.column, cell.row, uint8_t(cell.value & 0xFF));
    std::vector<uint8_t> landscape;
    for (int column = 0; column < kColumns; ++column)
        for (int row = 0; row < kRows; ++row)
            landscape.push_back(grid.GetValue(column, row));
    std::map<std::pair<int, int>, std::string> owner;
    const std::vector<Placed> placed = LayoutLocations(c);
    for (const Placed& p : placed) {
        const GLocationData* definition = c.names.FindLocationDefinition(p.name.c_str());
        if (definition == nullptr) continue;
        auto layout = layouts.find(definition->animatorName.c_str());
        if (layout == layouts.end()) continue;
        const GVLayoutLevel* first = layout->second->GetLevel(0);
        if (first == nullptr) continue;
        const GVCell base{p.x / int(kCell), p.y / int(kCell)};
        for (const GVLayoutCell& cell : first->walkabilityCells) {
            if (const std::optional<GVCell> at = grid.OffsetCell(base, cell.column, cell.row)) {
                grid.SetValue(at->column, at->row, uint8_t(cell.value & 0xFF));
                owner[{at->column, at->row}] = p.name;
            }
        }
    }

    // Check 22: the start layout on open ground, each place outside the others' cells, the fixed
    // points open.
    for (const Placed& p : placed) {
        const int column = p.x / int(kCell), row = p.y / int(kCell);
        if (column < 0 || row < 0 || column >= kColumns || row >= kRows) continue;
        const std::string element = "Location " + p.name;
        if (landscape[size_t(column) * kRows + size_t(row)] == GVWalkGrid::kBlocked)
            c.Report(kMain, element, "22", "stands on blocked ground of the level");
        auto in = owner.find({column, row});
        if (in != owner.end() && in->second != p.name)
            c.Report(kMain, element, "22", "stands in the cells of " + in->second);
    }
    for (const auto& point : FixedPoints()) {
        if (!IsWalkable(grid, kCell, float(point[0]), float(point[1])))
            c.Report(kMain, "fixed point " + At(point[0], point[1]), "22",
                     "lies on a blocked cell of the walk grid");
    }

    // Check 23: the hiding places open.
    for (const GGridPoint& p : c.params.miniGamePoints) {
        if (!IsWalkable(grid, kCell, p.x * kCell, p.y * kCell))
            c.Report(kMain,
                     "MiniGamePoints P " + std::to_string(p.x) + "," + std::to_string(p.y) +
                         " on the walk grid",
                     "23", "lies on a blocked cell of the walk grid");
    }
}

}  // namespace datalint
