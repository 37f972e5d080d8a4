// The landscape's ground, painted rather than tiled. Every pixel of the 2400 × 1800 world takes
// the ground that weighs most among the four map cells around it, each weighted by how near its
// middle is (smoothly, so corners round off), after a smooth seeded wobble of at most kWobble
// pixels: edges wander organically while the middle of every cell keeps its cell's ground, so
// the material mask (GroundMask) agrees with the walk grid cell for cell, which the lints check.
// The painter then colours each ground: grass tinted by noise, hills lit from the top left,
// paths as smooth bands over the grass, sand edges softened into the grass by their distance from
// it, water deepening away from
// its shore with foam along it, cliffs shaded by their height and outlined, forest under a canopy
// of lumps; and it scatters stones, flowers, tufts and shells by seeded jittered grids.
//
// Pure functions of the map and the style; one thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"
#include "islandmap.h"
#include "style.h"

namespace artgen {

class GroundMask {
public:
    static constexpr int kWidth = IslandMap::kColumns * IslandMap::kCell;
    static constexpr int kHeight = IslandMap::kRows * IslandMap::kCell;
    // The largest wobble, in pixels: small enough that a cell's middle, moved by it, still
    // weighs most with its own cell (a third of a cell would).
    static constexpr double kWobble = 6;

    explicit GroundMask(const IslandMap& map);

    // The ground of a pixel; a pixel outside the world answers the nearest inside it.
    Ground At(int x, int y) const {
        x = x < 0 ? 0 : (x >= kWidth ? kWidth - 1 : x);
        y = y < 0 ? 0 : (y >= kHeight ? kHeight - 1 : y);
        return Ground(mPixels[size_t(y) * kWidth + size_t(x)]);
    }

private:
    std::vector<uint8_t> mPixels;
};

// Paints the ground of the whole world onto the canvas (kWidth × kHeight). False with *error
// when the style lacks a ramp the painter uses.
bool PaintGround(const GroundMask& mask, const drawkit::Style& style, drawkit::Canvas* canvas,
                 std::string* error);

}  // namespace artgen
