// Reads a PNG back into a picture (straight 8-bit RGBA), for the tools that look at what the
// generators wrote: the world picture and the art's lints. libpng's simplified reader; any
// format libpng reads comes back as RGBA.
//
// Pure function; any thread may call it.
#pragma once

#include <string>

#include "image.h"

namespace drawkit {

// False with *error when the bytes are not a PNG libpng reads.
bool DecodePng(const std::string& bytes, Image* out, std::string* error);

}  // namespace drawkit
