// The writer of the binary animation form (".anm", see src/platform/animation/animationanm.cpp), always
// version 2: each frame written out whole, with the registration point and transform the XML
// form lets it inherit from the frame before, all six transform numbers (a = -10,000,000 for
// none) and its opacity. The script part is written only when the animation has a script of
// its own.
#pragma once

#include <string>

#include "foundation/str.h"

struct TAnimationData;

namespace tools {

// The ".anm" bytes of the animation; the "SCRP" part only with withScript.
std::string WriteAnm(const TAnimationData& data, bool withScript);

// Reads the XML animation at the file-layer name as the game reads it and writes its ".anm"
// bytes to *out. False when the game would not load it (its log lines say why).
bool ConvertXmlToAnm(const str& xmlName, std::string* out);

}  // namespace tools
