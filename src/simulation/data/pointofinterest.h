// Points the world's tuning file names: a point of interest (a place creatures go to while
// global events allow it) and a whole-number point of a list (mini-game cells, ark-part routes).
#pragma once

#include "foundation/str.h"

struct GPointOfInterest {
    int x = 0;
    int y = 0;
    // The label of the point's text.
    str text;
    // Global events: the point counts from the start event until the stop event (0: none).
    int startEvent = 0;
    int stopEvent = 0;
};

struct GGridPoint {
    int x = 0;
    int y = 0;
};
