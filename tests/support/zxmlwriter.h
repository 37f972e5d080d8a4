// Packs a text in the program's compressed XML form, "ZXML" (foundation/xml/zxml.h), so that
// tests make their own compressed files.
#pragma once

#include <string>

namespace testing_support {

// "ZXML", the packed size and the text's size (int32 little-endian each), then the zlib stream.
std::string PackZxml(const std::string& text);

}  // namespace testing_support
