// The island's map: 90 lines of 120 characters (recipes/island.map), one character a cell of
// 20 × 20 pixels of the 2400 × 1800 world. The landscape group's legend gives each character the
// ground painted there, its walk value (0 open, 1 to 254 a cost, 255 blocked) and, for a
// standing or looping thing, the decoration that stands on it:
//
//   legend CHAR GROUND WALK [DECORATION]
//   decoration NAME [variants=N] [motion=M] [flat]
//
// The painter (groundpaint.h) reads the grounds, the level's cell file the walk values, the
// level's description the decorations. The lints read the same map through this class.
//
// Read once; read-only afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recipetext.h"

namespace artgen {

enum class Ground : uint8_t {
    kGrass,
    kMeadow,
    kHill,
    kPath,
    kSand,
    kScree,
    kShallows,
    kWater,
    kCliff,
    kForest,
};
constexpr int kGroundCount = 10;

// The ground of a legend's name ("grass", "meadow", "hill", "path", "sand", "scree",
// "shallows", "water", "cliff", "forest"); false for another name.
bool GroundFromName(const std::string& name, Ground* ground);
// Grounds a figure never stands on: deep water and cliffs.
inline bool IsWaterOrCliff(Ground g) {
    return g == Ground::kWater || g == Ground::kCliff;
}

struct LegendEntry {
    char symbol = '.';
    Ground ground = Ground::kGrass;
    int walk = 0;
    std::string decoration;  // empty: none
    drawkit::Statement where;
};

struct DecorationKind {
    std::string name;
    int variants = 1;
    std::string motion;  // looping, or empty
    bool flat = false;   // lies on the ground (under every figure)
    drawkit::Statement where;
};

// A decoration standing on a cell of the map.
struct Placement {
    std::string kind;
    int column = 0;
    int row = 0;
};

class IslandMap {
public:
    static constexpr int kColumns = 120;
    static constexpr int kRows = 90;
    static constexpr int kCell = 20;

    // Reads the map file; every character must be in the legend. False with "file:line: what is
    // wrong" in *error.
    bool Read(const std::string& path, const std::vector<LegendEntry>& legend, std::string* error);

    // The cell's legend entry; a cell outside the map answers the nearest inside it.
    const LegendEntry& At(int column, int row) const;
    Ground GroundAt(int column, int row) const { return At(column, row).ground; }
    int WalkAt(int column, int row) const { return At(column, row).walk; }

    // The decorations, row by row.
    std::vector<Placement> Decorations() const;
    // The level's cell file: a little-endian signed 32-bit count, then column, row and walk value
    // (a byte each) for every cell whose walk value is not 0, row by row.
    std::string CellFile() const;

private:
    std::vector<LegendEntry> mLegend;
    std::vector<int> mCells;  // index into mLegend, row by row
};

}  // namespace artgen
