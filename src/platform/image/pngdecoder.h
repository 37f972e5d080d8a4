// DecodePng: reads a PNG file through the file layer (so a loose asset and an archive member load
// alike) with libpng into the square buffer of squarebuffer.h. Every colour type and depth comes
// out as 8-bit blue, green, red, alpha: 16-bit channels are stripped to 8, palettes and depths
// below 8 are expanded, a tRNS chunk becomes real alpha, grey is spread to the three colours,
// a missing alpha is filled with 0xFF, and a gAMA chunk is corrected for a screen gamma of 2.2.
// Interlaced files decode like the others. The buffer outside the image is zero.
//
// libpng's error messages are not kept: a decode that fails answers false and nothing reads
// them, so there is no process-wide error text or "last decode failed" flag. Its warnings are
// dropped. Each decode has its own libpng state, so decodes are independent of one another; the
// buffer belongs to the caller, who frees it with ReleasePngPixels.
//
// Any thread may decode, on files of its own.
#pragma once

#include <cstdint>

#include "foundation/str.h"

// Decodes the file into a new square buffer. On success: true, *pixels the buffer, *width and
// *height the image's size, *side the buffer's side, *hasAlpha whether the decoded colour type has
// an alpha channel (an alpha channel of the file, or a palette or colour key made transparent by
// tRNS). On failure (no such file, not a PNG, damaged data, an image wider or taller than
// largestSide, no memory): false, *pixels null, the other outputs untouched.
bool DecodePng(const str& fileName, uint8_t** pixels, int* width, int* height, int* side,
               bool* hasAlpha, int largestSide);

// Frees a buffer DecodePng made (null allowed).
void ReleasePngPixels(uint8_t* pixels);
