// A picture of the whole world as a new game shows it, drawn by the kit from what the generator
// wrote into the game folder (builtart.h): the level's tiles and decorations, every place of the
// start layout (main.xml's World/Locations, each drawn with its definition's animator) at its
// first build level and stock picture, and the ark finished; everything in the depth order the
// scene draws, at a scale (a quarter shows the island as the map does). For people reviewing the
// art; written beside the contact sheets.
#pragma once

#include <string>

#include "image.h"

namespace artgen {

// False with *error when a file cannot be read.
bool DrawWorldPicture(const std::string& gameFolder, const std::string& logicFolder, double scale,
                      drawkit::Image* out, std::string* error);

}  // namespace artgen
