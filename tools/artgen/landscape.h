// Building the landscape group: the level description "level1" and what it draws. The map and
// its legend (islandmap.h) give the ground, which the painter (groundpaint.h) paints over the
// whole world; the picture is cut into 20 tiles of 480 × 450 (5 × 4), each in a 512 × 512
// picture "anim/level1/tileNN.png" whose margin holds the neighbouring tiles' pixels, so a scaled
// drawing shows no seams. "level1" has no frames of its own: its children are the tiles, at
// depth -100000 under everything, and the decorations the map places, drawn from the group's
// parts (a layer per decoration kind, `when=variant:N`): a standing one sits at the middle of
// its cell at the depth of a figure standing there (base y × 10 + base x × 0.004), so figures
// pass behind and in front of it; a flat one lies at depth -90000. The cells' walk values go to
// "xml/level1.layout".
#pragma once

#include <map>
#include <string>

#include "build.h"
#include "recipe.h"
#include "style.h"

namespace artgen {

constexpr double kTileDeltaZ = -100000;
constexpr double kFlatDecorationDeltaZ = -90000;
constexpr int kTileWidth = 480;
constexpr int kTileHeight = 450;
constexpr int kTileSurface = 512;

// The folder of the recipe file, where its map lies.
std::string RecipeFolder(const Recipe& recipe);

// False with "file:line: what is wrong" in *error.
bool BuildLandscape(const Recipe& recipe, const drawkit::Style& style,
                    const std::map<std::string, Prop>& props, GroupArt* art, std::string* error);

}  // namespace artgen
