// Name keys as the descriptions write them: a state's "id" and "nextstate" text to its key and
// back, through the process-wide name-key registry (namemaskregistry.h).
// Main thread only.
#pragma once

#include "foundation/str.h"
#include "gv/keys/namemask.h"

// 0 for empty text; else the registry's key, which keeps a copy of new words.
GNameMask ParseFlagMask(const str& text);
// The registry's name of the key (empty text for 0).
str FormatFlagMask(GNameMask key);
