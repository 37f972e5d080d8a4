// DecodeJpeg: reads a JPEG file through the file layer (so a loose asset and an archive member
// load alike) with libjpeg into the square buffer of squarebuffer.h: blue, green, red and alpha
// 255 for every image pixel (grey images give equal colour bytes), zero outside the image.
// libjpeg works within 16 MiB of memory.
//
// A file that stops early still decodes: its missing rows are what libjpeg makes of a fake end of
// image, and the library's warning goes to the log. A fatal library error (an empty file, damaged
// or unsupported data) is logged with libjpeg's message and fails this decode alone; the program
// goes on. Each decode has its own libjpeg objects; the buffer belongs to the caller, who frees
// it with ReleaseJpegPixels.
//
// Any thread may decode, on files of its own.
#pragma once

#include <cstdint>

#include "foundation/str.h"

// Decodes the file into a new square buffer. On success: true, *pixels the buffer, *width and
// *height the image's size, *side the buffer's side. On failure (no such file, a fatal libjpeg
// error, an image wider or taller than largestSide, no memory): false, *pixels null, the other
// outputs untouched.
bool DecodeJpeg(const str& fileName, uint8_t** pixels, int* width, int* height, int* side,
                int largestSide);

// Frees a buffer DecodeJpeg made (null allowed).
void ReleaseJpegPixels(uint8_t* pixels);
