// The centering keywords of textures, frame lists and frames: how the registration calculator
// (gvregcalc.h) places each frame's registration points. Texts are compared exactly, case
// included; any other text, the empty one too, means none was given.
#pragma once

#include <cstdint>

#include "foundation/str.h"

enum GVCentering : int32_t {
    kCenteringOld = 0,        // "old"
    kCenteringDeltaLeft = 1,  // "delta_left"
    kCenteringLeft = 2,       // "left"
    kCenteringCenter = 3,     // "center"
    kCenteringNone = 4,       // anything else
};

int32_t CenteringFromText(const str& text);
// The keyword, or empty text for kCenteringNone and above (and below 0).
str CenteringToText(int32_t centering);
