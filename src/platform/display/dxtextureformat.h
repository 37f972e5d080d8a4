// The pixel-format choices of texture surfaces (dxtexturedata.h): the mask helpers, and the
// alpha texture format taken from the device's list, kept for the process.
//
// Main thread only.
#pragma once

#include <cstdint>

#include "port/device/d3d.h"

// The number of set bits of a mask.
int CountBits(uint32_t mask);
// The index of the lowest set bit; 0 for 0.
int LowestBit(uint32_t mask);

// The alpha format for textures of bitCount bits: among the device's RGB formats with alpha
// pixels (not luminance) of that bit count, the one with most alpha bits, a later one replacing
// an earlier only with more alpha bits and a blue mask of at least 3 bits. Null when the device
// lists none. The answer is kept: the device is asked again only when the bit count changes, or
// always when `enumerateAgain` is set (an alpha render target after a render-target failure).
const DDPIXELFORMAT* ChooseAlphaTextureFormat(IDirect3DDevice7* device, uint32_t bitCount,
                                              bool enumerateAgain);
// Forgets the kept format (the display set-up does, since a new device may list others).
void ForgetAlphaTextureFormat();
