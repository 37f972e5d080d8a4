// The rasterizer's picture against pixman's, part by part: both sides start from the same
// target, draw the part once into surfaces of their own, and their colour channels are compared
// (the unused byte of the X8R8G8B8 targets is not).
//
// The two sides round differently, so they are not expected to agree exactly; the limits below
// are what those rules allow:
//   - pixman blends premultiplied colours: the texel or span colour is rounded once when it is
//     premultiplied, the faded sprites' mask once more, the destination term once; the
//     rasterizer rounds each blend once, on straight colours. A pixel drawn once one texel per
//     pixel therefore differs by at most 2 per channel; each further layer blended over it keeps
//     part of the difference it finds and may add its own, so where sprites overlap a few
//     pixels reach 3 or 4.
//   - Filtered sprites (scaled, rotated): pixman interpolates premultiplied texels with 7-bit
//     weights and 16.16 coordinates from its transform, the rasterizer straight texels with
//     8-bit weights; inside a sprite that stays within 2 per channel except where neighbouring
//     texels differ sharply. On the sprite's rim pixman fades into transparent texels outside
//     the image while the rasterizer clamps to the edge texels (alpha up to 13 in this scene),
//     and pixman composites the whole bounding box while the rasterizer covers the quad by the
//     pixel-centre rule: there a few hundred pixels differ by up to about 8.
#pragma once

#include <cstdint>

#include "parts.h"

namespace bench {

struct Agreement {
    int maxDiff = 0;     // the largest difference of a colour channel
    int64_t over2 = 0;   // pixels with a channel differing by more than 2
    int64_t pixels = 0;  // pixels compared
};

struct AgreementLimit {
    int maxDiff;
    int64_t over2;
};

// Draws the part on both sides and compares; computed once per part.
const Agreement& CompareWithPixman(Part part);

AgreementLimit LimitOf(Part part);

inline bool Within(const Agreement& a, const AgreementLimit& limit) {
    return a.maxDiff <= limit.maxDiff && a.over2 <= limit.over2;
}

}  // namespace bench
