// DecodeJp2: reads a JPEG-2000 file (a JP2 file, or a bare J2K codestream) through the file layer
// with OpenJPEG into the square buffer of squarebuffer.h.
//
// Components are mapped to bytes by the colour space: a grey image (grey, or an unknown colour
// space with one or two components) spreads component 0 to blue, green and red; an RGB image
// (sRGB, or unknown with three or more) takes red, green and blue from components 0, 1 and 2;
// any other colour space (sYCC, CMYK …) has no colour components. The opacity component is the
// one marked as opacity by the file's channel definitions; a premultiplied opacity is not taken as
// alpha. A colour component that is missing, marked as opacity, or not of the image's size
// (subsampled) leaves its byte 0 over the whole square; without an opacity component alpha is
// 255. Samples of up to 8 bits are shifted to the top of the byte (4-bit 0xF gives 0xF0); wider
// ones keep their top 8 bits, signed ones offset to unsigned first. The last image column and row
// are repeated to the buffer's edges, so the whole square is filled.
//
// The image is refused from its header, before OpenJPEG allocates anything of its size, when it is
// wider or taller than the largest side, has more than 16 components (OpenJPEG decodes every
// component at 4 bytes a sample) or palette columns (each expanded into such a component), or is
// cut into more than 4096 tiles (OpenJPEG keeps a record of several kilobytes a tile). OpenJPEG
// needs no process-wide set-up. The buffer belongs to the caller, who frees it with
// ReleaseJp2Pixels.
//
// Any thread may decode, on files of its own.
#pragma once

#include <cstdint>

#include "foundation/str.h"

// Decodes the file into a new square buffer. On success: true, *pixels the buffer, *width and
// *height the extent of the image area, *side the buffer's side, *hasAlpha whether an opacity
// component was read. On failure (no such file, neither the JP2 signature nor a codestream start,
// a failed decode, a refused image, no memory): false, *pixels null, the other outputs untouched.
bool DecodeJp2(const str& fileName, uint8_t** pixels, int* width, int* height, int* side,
               bool* hasAlpha, int largestSide);

// Frees a buffer DecodeJp2 made (null allowed).
void ReleaseJp2Pixels(uint8_t* pixels);
