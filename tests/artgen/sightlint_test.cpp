// The sight lint: where a figure stands to be seen — at a place's base point, at a place's mount
// point, at one of the program's fixed points — no place or decoration drawn in front of it
// (standing on a deeper base, so of greater depth) covers it with an opaque pixel, at any level
// and stock picture of any place. The pictures are the built ones (builtart.h), placed as the
// scene draws them: a place at its position with its root's and children's depth offsets, a
// decoration at its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "builtart.h"
#include "foundation/file/assetfolder.h"
#include "foundation/log.h"
#include "gv/gvfactory.h"
#include "island.h"
#include "simulation/walk/layoutcache.h"
#include "support/tempdir.h"

namespace {

using artgen::BuiltArt;
using namespace island_test;

// A pixel counts as opaque from this alpha on.
constexpr int kOpaque = 128;
// Where a figure standing at a point shows: its feet and, a little higher, its body.
constexpr double kBodyHeights[] = {0, -14};

double Depth(double x, double y) {
    return y * 10 + x * 0.004;
}

// Where a figure stands, and the place (and what it shows) it stands at, when it stands at one.
struct Stand {
    Point at;
    std::string what;
    const Placed* place = nullptr;
    std::string animator;
    int level = -1;  // -1: its base, any level
};

class SightLint : public island_test::BuiltFolderTest {
protected:
    // Every state a location view may show of the animator: its level and stock pictures, or
    // "normal" for a place without levels.
    static std::vector<std::string> States(const std::string& animator) {
        const GVLayout* layout = GVLayoutCache::Get(str(animator.c_str()));
        std::vector<std::string> states;
        if (animator == "loc_treasure" || animator.rfind("loc_bonus_", 0) == 0) return {"normal"};
        for (int level = 0; level < std::max(1, layout->perLevelImagesCount); ++level)
            for (int stock = 0; stock < std::max(1, layout->capacityImagesCount); ++stock)
                states.push_back("level" + std::to_string(level) + "_capacity" +
                                 std::to_string(stock));
        return states;
    }

    // The places' base points, their mount points at every level of their life, and the
    // program's fixed points.
    static std::vector<Stand> Stands() {
        const Island& island = Island::Get();
        std::vector<Stand> stands;
        for (const Placed& p : island.locations) {
            stands.push_back({{double(p.x), double(p.y)}, p.name + "'s base", &p, "", -1});
            for (const std::string& animator : island.Animators(p.name)) {
                const GVLayout* layout = GVLayoutCache::Get(str(animator.c_str()));
                for (size_t level = 0; level < layout->levels.size(); ++level) {
                    for (const TVec2& m : layout->levels[level].workMountPoints) {
                        const int column = p.x / 20 + int(m.x), row = p.y / 20 + int(m.y);
                        stands.push_back({{column * 20 + 10.0, row * 20 + 10.0},
                                          p.name + "'s mount point " + std::to_string(column) +
                                              "," + std::to_string(row) + " (" + animator +
                                              " level " + std::to_string(level) + ")",
                                          &p,
                                          animator,
                                          int(level)});
                    }
                }
            }
        }
        for (const Point& p : FixedPoints())
            stands.push_back({p,
                              "the fixed point (" + std::to_string(int(p.x)) + ", " +
                                  std::to_string(int(p.y)) + ")",
                              nullptr, "", -1});
        return stands;
    }
};

TEST_F(SightLint, NothingInFrontOfAFigureCoversWhereItStands) {
    const Island& island = Island::Get();
    BuiltArt art(ART_GAME_FOLDER);
    std::string error;
    const std::vector<Stand> stands = Stands();
    int faults = 0;
    // A place's picture hides no figure at its own mount points while it shows that level; it
    // never shows together with what the place is at other times; a figure at its base stands in
    // it (an explorer, put behind it).
    auto check = [&](const std::vector<BuiltArt::Layer>& layers, double x, double y,
                     const std::string& what, const Placed* place = nullptr,
                     const std::string& animator = "", int level = -1) {
        for (const Stand& s : stands) {
            if (place != nullptr && s.place == place &&
                (s.level < 0 || s.animator != animator || s.level != level))
                continue;
            const double figure = Depth(s.at.x, s.at.y);
            for (const BuiltArt::Layer& layer : layers) {
                if (Depth(x, y) + layer.depth <= figure) continue;
                for (double height : kBodyHeights) {
                    if (BuiltArt::AlphaAt(layer, s.at.x - x, s.at.y + height - y) < kOpaque)
                        continue;
                    if (++faults <= 30)
                        ADD_FAILURE() << what << " (" << layer.child << ") covers " << s.what;
                    break;
                }
            }
        }
    };
    std::vector<BuiltArt::Layer> layers;
    ASSERT_TRUE(art.Layers("level1", "normal", &layers, &error)) << error;
    for (const BuiltArt::Layer& layer : layers) {
        if (layer.depth < 0) continue;  // the tiles and what lies flat
        check({layer}, 0, 0, "the decoration");
    }
    for (const Placed& p : island.locations) {
        for (const std::string& animator : island.Animators(p.name)) {
            for (const std::string& state : States(animator)) {
                ASSERT_TRUE(art.Layers(animator, state, &layers, &error)) << error;
                int level = 0;
                std::sscanf(state.c_str(), "level%d", &level);
                check(layers, p.x, p.y, p.name + " as " + animator + " " + state, &p, animator,
                      level);
            }
        }
    }
    EXPECT_EQ(faults, 0);
}

}  // namespace
