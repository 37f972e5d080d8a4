// The "framelist" text of an animation state: which frames of its object it shows, in play order,
// as positions in the object's frame list of count frames (0 .. count − 1).
//
// Items are separated by any characters other than digits and "..":
// - "n" appends n; n outside 0 .. count − 1 ends the parse with failure, keeping what came before;
// - "a..b" (or "..b") appends the numbers after the last single number a (−1 before any) up to
//   b; a b at or beyond count appends those below count and then fails the same way;
// - ".." at the end of the text runs from after the last single number to count − 1;
// - ".." followed by anything but a digit, not at the end, separates like any other character.
// A parse that ends without failure and without a number, and an empty text, give every frame.
//
// Plain functions; any thread.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/str.h"

// Fills frames (emptied first); false when a number was out of range.
bool ParseFrameList(std::vector<int32_t>& frames, int32_t count, const str& text);
// The frames separated by ","; a run of three or more consecutive increasing numbers as "a..b".
// Parsing the text again gives the same non-empty list.
str FormatFrameList(const std::vector<int32_t>& frames);
