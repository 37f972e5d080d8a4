// The game's definition files in "xml/logic/", in the order the logic loading reads them: the 24
// creature forms (six animals, four forms each), the monster and the 77 locations. The root
// element of each decides what it defines.
#pragma once

#include <cstddef>

extern const char* const kDefinitionFiles[];
extern const size_t kDefinitionFileCount;
