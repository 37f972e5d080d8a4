// The built-in mouse cursor: a 32 x 32 arrow whose tip is the hot spot (2, 2), black outline
// around a white body on transparent pixels. DrawArrow gives its palette indices, EncodePng the
// PNG file (8-bit palette, colour type 3, a tRNS chunk making index 0 transparent, the image data
// in stored deflate blocks so that the bytes never depend on a compressor's version) and
// WriteSource the C++ source that keeps those bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace systemcursor {

constexpr int kSize = 32;
constexpr int kHotX = 2;
constexpr int kHotY = 2;

// Palette indices.
enum : uint8_t { kTransparent = 0, kOutline = 1, kFill = 2 };

// kSize * kSize indices, row by row from the top.
std::vector<uint8_t> DrawArrow();
std::vector<uint8_t> EncodePng(const std::vector<uint8_t>& indices);
// The source file of the program's copy of the bytes.
std::string WriteSource(const std::vector<uint8_t>& png);

}  // namespace systemcursor
