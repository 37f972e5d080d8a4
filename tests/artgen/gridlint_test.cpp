// Lints of the island's walk grid, built as the world view manager builds it (gridfixture.h),
// in the start layout and with each place at each level of its life: where creatures are placed,
// stand to work, are staged by the program and walk fixed paths is open ground; the areas the
// program sends creatures into stay mostly open; all of it is one connected region a walk from
// any work place to the village green crosses no blocked cell; the sea at its highest covers
// none of it.
#include <gtest/gtest.h>

#include <queue>
#include <set>

#include "gridfixture.h"
#include "simulation/walk/levelcells.h"

namespace {

using namespace island_test;

// Where a walk ends in the program's tutorial: the village green.
constexpr double kGreenX = 1400, kGreenY = 1000;

class GridLint : public GridFixture {
protected:
    // Every mount point of every place now, and every special cell plus mount point, with what
    // it belongs to.
    std::vector<std::pair<Cell, std::string>> WorkCells(const PlaceView* only = nullptr) const {
        std::vector<std::pair<Cell, std::string>> cells;
        for (const PlaceView& p : mPlaces) {
            if (only != nullptr && &p != only) continue;
            const GVLayoutLevel* record = p.Record();
            if (record == nullptr) continue;
            const Cell base = p.Base();
            for (const TVec2& m : record->workMountPoints) {
                cells.push_back({{base.column + int(m.x), base.row + int(m.y)},
                                 Name(p) + " mount " + std::to_string(int(m.x)) + "," +
                                     std::to_string(int(m.y))});
                for (const TVec2& s : record->workSpecial)
                    cells.push_back({{base.column + int(s.x + m.x), base.row + int(s.y + m.y)},
                                     Name(p) + " special+mount " + std::to_string(int(s.x + m.x)) +
                                         "," + std::to_string(int(s.y + m.y))});
            }
        }
        return cells;
    }

    // The program's points and the points of its fixed walks, each with its name; a walk's
    // points inside the places at its ends are left out (it starts and ends inside them).
    std::vector<std::pair<Point, std::string>> StagedPoints() const {
        const Island& island = Island::Get();
        std::vector<std::pair<Point, std::string>> points;
        auto name = [](const char* what, const Point& p) {
            return std::string(what) + " (" + std::to_string(int(p.x)) + ", " +
                   std::to_string(int(p.y)) + ")";
        };
        for (const Point& p : FixedPoints())
            points.push_back({p, name("fixed point", p)});
        for (const Point& p : island.pointsOfInterest)
            points.push_back({p, name("point of interest", p)});
        for (const Point& p : island.hidingPlaces)
            points.push_back({p, name("hiding place", p)});
        for (const std::vector<Point>& walk : FixedWalks()) {
            std::set<const PlaceView*> ends;
            for (const Point& end : {walk.front(), walk.back()})
                for (const PlaceView& place : mPlaces)
                    if (place.placed->x == int(end.x) && place.placed->y == int(end.y))
                        ends.insert(&place);
            for (const Point& p : Sample(walk, 10)) {
                const Cell c = CellOf(p.x, p.y);
                const PlaceView* at = FootprintAt(c);
                if (at != nullptr && ends.count(at)) continue;
                points.push_back({p, name("a fixed walk at", p)});
            }
        }
        return points;
    }

    // The cells reached from the cell over cells below 255 (four neighbours).
    std::set<Cell> Region(const Cell& from) const {
        std::set<Cell> seen;
        std::queue<Cell> queue;
        if (Value(from) >= 255) return seen;
        seen.insert(from);
        queue.push(from);
        while (!queue.empty()) {
            const Cell c = queue.front();
            queue.pop();
            for (const Cell& n : {Cell{c.column + 1, c.row}, Cell{c.column - 1, c.row},
                                  Cell{c.column, c.row + 1}, Cell{c.column, c.row - 1}}) {
                if (Value(n) < 255 && seen.insert(n).second) queue.push(n);
            }
        }
        return seen;
    }
};

TEST_F(GridLint, ThePlacesStandOnOpenLandscapeCells) {
    Faults faults;
    std::map<Cell, int> landscape;
    for (const GVLayoutCell& c : mManager->GetLevelCells())
        landscape[{c.column, c.row}] = c.value & 0xFF;
    for (const Placed& p : Island::Get().locations) {
        const Cell c = CellOf(p.x, p.y);
        if (landscape.count(c) && landscape.at(c) >= 255)
            faults.Add(p.name + " stands on a blocked landscape cell");
    }
    faults.Expect();
}

TEST_F(GridLint, MountPointsAndSpecialCellsAreOpenAndOutsideEveryFootprintAtEveryLevel) {
    Faults faults;
    ForEachConfiguration([&](const PlaceView* varied) {
        for (const auto& [cell, what] : WorkCells()) {
            if (Value(cell) >= 255) {
                faults.Add(what + " is blocked with " + Where(varied));
            } else if (const PlaceView* at = FootprintAt(cell)) {
                faults.Add(what + " lies in the footprint of " + Name(*at));
            }
        }
    });
    faults.Expect();
}

TEST_F(GridLint, TheProgramsPointsAndWalksAreOpenAtEveryLevelTheSeaIncluded) {
    Faults faults;
    ForEachConfiguration([&](const PlaceView* varied) {
        for (const auto& [p, what] : StagedPoints()) {
            if (!mManager->IsWalkable(float(p.x), float(p.y)))
                faults.Add(what + " is blocked with " + Where(varied));
        }
    });
    faults.Expect();
}

TEST_F(GridLint, TheProgramsAreasStayMostlyOpenAtEveryLevel) {
    Faults faults;
    ForEachConfiguration([&](const PlaceView* varied) {
        for (const Area& area : OpenAreas()) {
            int cells = 0, open = 0;
            for (int row = area.y1 / 20; row <= area.y2 / 20; ++row) {
                for (int column = area.x1 / 20; column <= area.x2 / 20; ++column) {
                    if (!area.Holds(column * 20 + 10, row * 20 + 10)) continue;
                    ++cells;
                    open += Value({column, row}) < 255;
                }
            }
            if (open * 5 < cells * 4)
                faults.Add(std::string(area.what) + ": " + std::to_string(open) + " of " +
                           std::to_string(cells) + " cells open with " + Where(varied));
        }
    });
    faults.Expect();
}

TEST_F(GridLint, EverythingLiesInOneRegionAtEveryLevel) {
    Faults faults;
    ForEachConfiguration([&](const PlaceView* varied) {
        const std::set<Cell> region = Region(CellOf(kGreenX, kGreenY));
        for (const auto& [cell, what] : WorkCells()) {
            if (Value(cell) < 255 && !region.count(cell))
                faults.Add(what + " is cut off with " + Where(varied));
        }
        for (const auto& [p, what] : StagedPoints()) {
            const Cell c = CellOf(p.x, p.y);
            if (Value(c) < 255 && !region.count(c))
                faults.Add(what + " is cut off with " + Where(varied));
        }
        for (const Area& area : OpenAreas()) {
            for (int row = area.y1 / 20; row <= area.y2 / 20; ++row)
                for (int column = area.x1 / 20; column <= area.x2 / 20; ++column)
                    if (Value({column, row}) < 255 && !region.count({column, row}))
                        faults.Add(std::string(area.what) + " has cut off cells with " +
                                   Where(varied));
        }
    });
    faults.Expect();
}

TEST_F(GridLint, AWalkFromEveryMountPointToTheGreenCrossesNoBlockedCell) {
    Faults faults;
    GVWalkGrid grid;
    ASSERT_TRUE(grid.Allocate(120, 90));
    std::vector<GVCell> chain;
    const Cell green = CellOf(kGreenX, kGreenY);
    ForEachConfiguration([&](const PlaceView* varied) {
        for (int column = 0; column < 120; ++column)
            for (int row = 0; row < 90; ++row)
                grid.SetValue(column, row, uint8_t(Value({column, row})));
        // The start layout walks from every place; a changed place from its own.
        for (const auto& [cell, what] : WorkCells(varied)) {
            if (Value(cell) >= 255 || cell == green) continue;
            if (!grid.FindCellPath(cell.column, cell.row, green.column, green.row, chain, false,
                                   0.0f)) {
                faults.Add(what + " finds no walk with " + Where(varied));
                continue;
            }
            for (const GVCell& c : chain) {
                if (grid.GetValue(c.column, c.row) >= 255) {
                    faults.Add(what + " walks through the blocked cell " +
                               std::to_string(c.column) + "," + std::to_string(c.row) + " with " +
                               Where(varied));
                    break;
                }
            }
        }
    });
    faults.Expect();
}

}  // namespace
