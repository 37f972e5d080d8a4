// The software cursor's pixel arithmetic: the pixel runs built from a cursor image for a display
// pixel format, and their blend into locked surface memory. Pure functions over memory the caller
// holds (the DirectX context calls them under its mouse mutex with the surfaces locked).
//
// Terms are premultiplied so that a channel costs one multiply and one shift: at 24 and 32 bits a
// term is alpha x component and a byte becomes (byte x (255 - alpha) + term) >> 8; at 15 and 16
// bits a term is ((alpha x component) >> (16 - n)) in the channel's place (n bits of mask) and a
// channel becomes ((((pixel & mask) x (255 - alpha)) >> 8) + term) & mask. Other depths draw
// nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/display/cursorrun.h"
#include "port/display/ddraw.h"

struct TCursorPixelFormat {
    int bitCount = 0;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;

    static TCursorPixelFormat From(const DDPIXELFORMAT& format);
};

// The runs of the image (0xAARRGGBB, pitch in pixels): one per maximal horizontal segment of
// pixels with non-zero alpha, scanned row by row, left to right.
std::vector<TCursorRun> BuildCursorRuns(const uint32_t* pixels, int pitch, int width, int height,
                                        const TCursorPixelFormat& format);

// Blends the runs into the memory holding the image's top-left pixel at `bits` (rows
// `pitchBytes` apart), only inside the image rectangle `clip` (left/top inclusive, right/bottom
// exclusive).
void BlendCursorRuns(const std::vector<TCursorRun>& runs, uint8_t* bits, long pitchBytes,
                     const TCursorPixelFormat& format, const RECT& clip);
