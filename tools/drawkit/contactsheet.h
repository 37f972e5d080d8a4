// Contact sheets, for people reviewing the art (never game data): one PNG per description, every
// frame of it in a labelled grid, each cell half on grass and half on sand. The composed figure
// of every state frame comes first (the children marked composite, drawn at their registration
// points), then every distinct picture of the other children. Labels are DejaVu Sans through
// cairo's FreeType backend.
#pragma once

#include <string>

#include "description.h"
#include "packer.h"
#include "style.h"

namespace drawkit {

// Writes the sheet of the description to path (tools::WriteOutputFile). False with *error.
bool WriteContactSheet(const Description& description, const Packer& packer, const Style& style,
                       const std::string& path, std::string* error);

}  // namespace drawkit
