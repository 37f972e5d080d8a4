#include "gv/centering.h"

namespace {

const char* const kKeywords[] = {"old", "delta_left", "left", "center"};

}  // namespace

int32_t CenteringFromText(const str& text) {
    for (int32_t i = 0; i < kCenteringNone; ++i)
        if (text == kKeywords[i]) return i;
    return kCenteringNone;
}

str CenteringToText(int32_t centering) {
    if (centering < 0 || centering >= kCenteringNone) return str();
    return kKeywords[centering];
}
