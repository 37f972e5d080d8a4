// Lints of the places' layouts against each other, over the whole life of every place of the
// start layout (each animator it shows, each level): no two places cover one cell; no two places
// that stay where they are share a work-area cell, so a drop or a hover counts on one of them;
// and the treasure and the bonuses, put at every hiding place, share no work-area cell with any
// place, so a drop there lands on them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "foundation/file/assetfolder.h"
#include "foundation/log.h"
#include "gv/gvfactory.h"
#include "island.h"
#include "simulation/walk/layoutcache.h"
#include "support/tempdir.h"

namespace {

using namespace island_test;

using Cells = std::set<std::pair<int, int>>;

bool Moves(const std::string& animator) {
    return animator == "loc_treasure" || animator.rfind("loc_bonus_", 0) == 0;
}

class LayoutLint : public island_test::BuiltFolderTest {
protected:
    // The cells of one list of every level of every animator of a place at (x, y).
    struct Covered {
        std::string what;
        Cells cells;
    };
    static std::vector<Covered> Each(const std::string& animator, int x, int y, bool areas) {
        std::vector<Covered> all;
        const GVLayout* layout = GVLayoutCache::Get(str(animator.c_str()));
        const int column = x / 20, row = y / 20;
        for (size_t level = 0; level < layout->levels.size(); ++level) {
            Covered c{animator + " level " + std::to_string(level), {}};
            const GVLayoutLevel& l = layout->levels[level];
            if (areas) {
                for (const TVec2& p : l.workAreas)
                    c.cells.emplace(column + int(p.x), row + int(p.y));
            } else {
                for (const GVLayoutCell& cell : l.walkabilityCells)
                    c.cells.emplace(column + cell.column, row + cell.row);
            }
            all.push_back(c);
        }
        return all;
    }
    static bool Meet(const Cells& a, const Cells& b) {
        for (const auto& c : a)
            if (b.count(c)) return true;
        return false;
    }
};

TEST_F(LayoutLint, NoTwoPlacesCoverACellNorShareAWorkArea) {
    const Island& island = Island::Get();
    int faults = 0;
    for (bool areas : {false, true}) {
        for (size_t a = 0; a < island.locations.size(); ++a) {
            for (size_t b = a + 1; b < island.locations.size(); ++b) {
                const Placed& pa = island.locations[a];
                const Placed& pb = island.locations[b];
                for (const std::string& ma : island.Animators(pa.name)) {
                    for (const std::string& mb : island.Animators(pb.name)) {
                        if (areas && (Moves(ma) || Moves(mb))) continue;
                        for (const Covered& ca : Each(ma, pa.x, pa.y, areas)) {
                            for (const Covered& cb : Each(mb, pb.x, pb.y, areas)) {
                                if (!Meet(ca.cells, cb.cells)) continue;
                                ADD_FAILURE()
                                    << pa.name << " (" << ca.what << ") and " << pb.name << " ("
                                    << cb.what << ") share " << (areas ? "work areas" : "cells");
                                if (++faults > 20) return;
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST_F(LayoutLint, TheTreasureAndTheBonusesAtEveryHidingPlaceShareNoWorkAreaWithAPlace) {
    const Island& island = Island::Get();
    std::vector<Point> spots = island.hidingPlaces;
    spots.push_back({550, 1075});
    std::vector<std::string> movers;
    for (const std::string& animator : island.AllAnimators())
        if (Moves(animator)) movers.push_back(animator);
    ASSERT_EQ(movers.size(), 6u);
    int faults = 0;
    for (const std::string& mover : movers) {
        for (const Point& spot : spots) {
            const Cells here = Each(mover, int(spot.x), int(spot.y), true).front().cells;
            ASSERT_FALSE(here.empty()) << mover;
            for (const Placed& p : island.locations) {
                for (const std::string& animator : island.Animators(p.name)) {
                    if (Moves(animator)) continue;
                    for (const Covered& c : Each(animator, p.x, p.y, true)) {
                        if (!Meet(here, c.cells)) continue;
                        ADD_FAILURE()
                            << mover << " at (" << spot.x << ", " << spot.y
                            << ") shares work areas with " << p.name << " (" << c.what << ")";
                        if (++faults > 20) return;
                    }
                }
            }
        }
    }
}

}  // namespace
