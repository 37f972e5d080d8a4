// Building a group of places (placerecipe.h): every picture of its descriptions drawn with the
// figure renderer (figure.h; a place is a rig that mostly stands still), packed and described,
// and each place's ".layout" file. What the location view and the world send decides the
// children's states:
// - a level child has "normal" (stage 0) and "level<i>_capacity<j>" for every stage i and stock
//   picture j (j = 0 alone without stock), each showing stage i's picture;
// - a stock child has the same states, each showing stock picture j, so stages and stock
//   pictures are drawn once each and combined by the sprite;
// - a fixed child has the states listed under it.
// Every child's pictures are hit by their alpha ("alpha"), and so is the root. A state whose
// picture is empty is hidden. Two stages, or two stock pictures, that draw the same are a fault:
// every stage the world can show must look different.
#pragma once

#include <map>
#include <string>

#include "build.h"
#include "recipe.h"
#include "style.h"

namespace artgen {

// False with "file:line: what is wrong" in *error.
bool BuildPlaces(const Recipe& recipe, const drawkit::Style& style,
                 const std::map<std::string, Prop>& props, GroupArt* art, std::string* error);

// The state a location view shows at stage i and stock picture j.
std::string LevelStateId(int stage, int stock);

}  // namespace artgen
