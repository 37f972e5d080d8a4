// The keys of the two states every animated object knows: "normal", the state an object shows
// first, and "any", the state played when a key names no state of the object. They are made, in
// that order, the first time anyone asks, so no start-up order can hand out an empty key; the
// world's own keys (simulation/worldkeys.h) ask for these first.
#pragma once

#include "gv/keys/namemask.h"

struct GVStateKeys {
    GNameMask normal;
    GNameMask any;
};

// Made in the process-wide registry on first use.
const GVStateKeys& GetStateKeys();
