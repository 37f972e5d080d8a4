// The square buffer every image decoder fills: side × side pixels of 4 bytes in the order blue,
// green, red, alpha, rows side × 4 bytes apart, the image at the top left. The side is the
// smallest power of two not below the larger of the image's width and height (1 for a 1 × 1
// image), so the texture surfaces that take the buffer get power-of-two sizes without a copy.
//
// The decoders refuse an image larger than the largest side their caller gives, right after
// reading its header and before allocating anything of its size: a header is outside input, and
// one claiming 40,000 × 40,000 pixels must fail rather than ask for gigabytes.
//
// Pure functions; any thread may call them.
#pragma once

#include <cstddef>
#include <cstdint>

// The largest sides the texture loader passes: its usual limit, and the one of its "slow" option.
constexpr int kImageLargestSide = 1024;
constexpr int kImageLargestSideSlow = 8192;
// No largest side goes beyond this, whatever the caller asks: the side then stays well inside an
// int and side × side × 4 inside size_t.
constexpr int kImageSideCeiling = 32768;

// Whether an image of width × height pixels may be decoded under largestSide: both at least 1,
// neither above largestSide nor kImageSideCeiling.
bool ImageFitsLargestSide(uint64_t width, uint64_t height, int largestSide);

// The side of the square buffer for an image that fits (see above).
int SquareSide(uint32_t width, uint32_t height);

// The byte count of a square buffer of that side; 0 when the side is not in 1..kImageSideCeiling.
size_t SquareBufferSize(int side);

// A new square buffer (freed with std::free) for a width × height image whose every pixel the
// decoder goes on to write: only the part right of and below the image is zeroed, so a full
// square costs no clearing. Null when memory runs out or the image does not fit the side.
uint8_t* NewSquareBuffer(int side, uint32_t width, uint32_t height);
