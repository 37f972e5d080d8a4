#include "placelayout.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

constexpr int kCell = 20;

// Row order: by y, then x.
bool RowOrder(const CellOffset& a, const CellOffset& b) {
    return a.second != b.second ? a.second < b.second : a.first < b.first;
}

std::string Points(const char* list, const std::vector<CellOffset>& points) {
    if (points.empty()) return "";
    std::string text = std::string("    <") + list + ">";
    for (const auto& [x, y] : points)
        text += "<p x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\"/>";
    return text + "</" + list + ">\n";
}

}  // namespace

StageLayout ReadGridCells(const LayoutGrid& grid) {
    int baseX = 0, baseY = 0;
    for (size_t r = 0; r < grid.rows.size(); ++r) {
        const size_t c = grid.rows[r].find_first_of("@oM");
        if (c != std::string::npos) {
            baseX = int(c);
            baseY = int(r);
        }
    }
    StageLayout layout;
    for (size_t r = 0; r < grid.rows.size(); ++r) {
        for (size_t c = 0; c < grid.rows[r].size(); ++c) {
            const char cell = grid.rows[r][c];
            const int x = int(c) - baseX, y = int(r) - baseY;
            if (cell == 'X' || cell == '@') layout.cells.push_back({x, y, 255});
            if (cell >= '1' && cell <= '9') layout.cells.push_back({x, y, cell - '0'});
            if (cell == 'm' || cell == 'M' || cell == 'S') layout.mounts.emplace_back(x, y);
            if (cell == 's' || cell == 'S') layout.specials.emplace_back(x, y);
        }
    }
    return layout;
}

void AddCoveredCells(const drawkit::Image& picture, int regX, int regY, int cellX, int cellY,
                     std::set<CellOffset>* cells) {
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.At(x, y)[3] <= 64) continue;
            const int cx = int(std::floor((x - regX + cellX + 0.5) / kCell));
            const int cy = int(std::floor((y - regY + cellY + 0.5) / kCell));
            cells->emplace(cx, cy);
        }
    }
}

std::vector<CellOffset> WorkAreas(const std::set<CellOffset>& covered,
                                  const std::vector<LayoutCell>& cells) {
    std::set<CellOffset> inner = covered;
    for (const LayoutCell& c : cells)
        inner.emplace(c.x, c.y);
    std::set<CellOffset> ring;
    for (const auto& [x, y] : inner) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                ring.emplace(x + dx, y + dy);
    }
    std::vector<CellOffset> areas(ring.begin(), ring.end());
    std::sort(areas.begin(), areas.end(), RowOrder);
    return areas;
}

std::string WriteLayout(int stages, int stock, const std::vector<StageLayout>& levels) {
    std::string text = "<layout PerLevelImagesCount=\"" + std::to_string(stages) +
                       "\" CapacityImagesCount=\"" + std::to_string(stock) + "\">\n";
    for (const StageLayout& level : levels) {
        text += "  <level>\n";
        if (!level.cells.empty()) {
            text += "    <WalkabilityCells>";
            for (const LayoutCell& c : level.cells)
                text += "<c x=\"" + std::to_string(c.x) + "\" y=\"" + std::to_string(c.y) +
                        "\" v=\"" + std::to_string(c.value) + "\"/>";
            text += "</WalkabilityCells>\n";
        }
        text += Points("WorkAreas", level.workAreas);
        text += Points("WorkMountPoints", level.mounts);
        text += Points("WorkSpecial", level.specials);
        text += "  </level>\n";
    }
    return text + "</layout>\n";
}

}  // namespace artgen
