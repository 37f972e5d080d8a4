// Writes a picture as a PNG the game reads back exactly: 8-bit RGBA, not interlaced, and no
// chunk but IHDR, IDAT and IEND: no gAMA (the game's decoder would gamma-correct the picture), no
// time or text chunk (the same picture always gives the same bytes). Fully transparent pixels
// first take their nearest inked neighbour's colour (image.h's BleedTransparent).
//
// Pure function; any thread may call it.
#pragma once

#include <string>

#include "image.h"

namespace drawkit {

// The zlib level of the game's pictures: one level, always the same.
constexpr int kPngZlibLevel = 6;

// The PNG's bytes in *out; false with *error when libpng refuses (an empty image).
bool EncodePng(const Image& image, int zlibLevel, std::string* out, std::string* error);

}  // namespace drawkit
