// The surface utilities: colour fills, copies between formats (plain and scaled), the passes that
// turn red into alpha and make a surface opaque, the mip-chain build, and read-back and write-in
// of pixels as 0xAARRGGBB. They are the pixel work behind the port layer's surface blits, locks
// and texture uploads.
//
// Rectangles are TRect {left, top, right, bottom}, right and bottom exclusive. Every operation
// clips its rectangles to the surfaces it touches, so a rectangle partly outside only touches the
// part inside; an empty or inverted rectangle touches nothing. Callers that must refuse such a
// rectangle instead (DirectDraw answers an error) check it before calling. Conversions follow the
// rules of pixelformat.h: replication when a pixel is read for copying, truncation when it is
// written, the zero-fill rule for read-back.
//
// Formats: every colour format (IsColorFormat), R8G8B8 included; depth surfaces only by FillRaw
// and by plain copies between two depth surfaces.
//
// Not thread-safe per surface; different surfaces may be worked on from different threads.
#pragma once

#include <cstdint>

#include "math/rect.h"
#include "raster/surface.h"

namespace raster {

// The whole surface as a rectangle.
TRect SurfaceRect(const TSurface& surface);

// Fills the rectangle with a raw pixel value of the surface's format (its low bytesPerPixel
// bytes); for a D16 surface this is the depth value (65535 = 1.0).
void FillRaw(TSurface& surface, const TRect& rect, uint32_t rawPixel);

// Fills the rectangle with a colour converted to the surface's format (truncation).
void Fill(TSurface& surface, const TRect& rect, uint32_t color);

// Fills every byte of the surface, row padding included, with a pseudo-random pattern that
// depends only on the seed: what memory holds before anything was written to it, so that a
// missing clear or upload shows. Depth surfaces too.
void FillNoise(TSurface& surface, uint64_t seed);

// What a copy does with the X byte of X8R8G8B8.
enum class TXByte : uint8_t {
    // By the conversion rules: X reads as alpha 255, and a pixel written to X8R8G8B8 gets X 255.
    Opaque,
    // The stored bits are copied unchanged between X8R8G8B8 and A8R8G8B8 (either way) and
    // between two surfaces of one format, X byte and X bits included, as a display card's blit
    // copies words. Other pairs convert as under Opaque.
    Keep,
};

// Copies source rectangle `from` to (x, y) of the destination, converting the format. Both
// rectangles are clipped together. Two surfaces of one format always copy their stored bits
// unchanged. Within one surface overlapping rectangles copy as if through a temporary copy.
void CopyRect(const TSurface& source, const TRect& from, TSurface& dest, int x, int y,
              TXByte xByte = TXByte::Opaque);

// Copies `from` onto `to` scaled by nearest neighbour: destination pixel i of a row of width dw
// takes source column from.left + ((2i + 1) * sw) / (2 * dw), sw the source width (integer
// division; rows alike), which picks the source pixel under the destination pixel's centre. The
// source rectangle must lie inside the source (otherwise nothing is copied and false is
// returned); the destination is clipped pixel by pixel without changing the mapping. Source and
// destination must not be the same surface. When `clip` is given, only destination pixels inside
// it are written, again without changing the mapping (a window partly off the screen shows the
// part of the picture it would show whole). At the same size it gives the bytes CopyRect gives,
// except that under TXByte::Opaque a copy between two X8R8G8B8 (or X1R5G5B5) surfaces writes
// the X bits as ones.
bool StretchRect(const TSurface& source, const TRect& from, TSurface& dest, const TRect& to,
                 TXByte xByte = TXByte::Opaque, const TRect* clip = nullptr);

// For each pixel of `from`, the red channel of the source, taken by the zero-fill rule, becomes
// the alpha of the destination pixel at the same offset from (x, y) (truncated to the alpha
// bits); the destination's colour bits stay. Does nothing for a destination without alpha.
void RedToAlpha(const TSurface& source, const TRect& from, TSurface& dest, int x, int y);

// Sets every alpha bit inside the rectangle; formats without alpha are left as they are.
void MakeOpaque(TSurface& surface, const TRect& rect);

// How a mip level is made from the level above.
enum class TMipReduce : uint8_t {
    // A 2x2 box filter: destination (x, y) averages the source pixels (2x, 2y), (2x + 1, 2y),
    // (2x, 2y + 1), (2x + 1, 2y + 1), coordinates clamped into the source, each channel
    // (sum + 2) / 4 on replicated 8-bit values.
    Box,
    // Nearest: destination (x, y) takes the source pixel (2x, 2y), clamped into the source, the
    // top-left of its block, so every level samples the top level at whole multiples of its
    // scale. Between surfaces of one format the stored bits are copied unchanged (X bits
    // included); otherwise the pixel converts as CopyRect converts.
    Nearest,
};

// Builds `dest` from `source` by the reduction. Each side of the destination should be half the
// source's (at least 1); other sizes are filled by the same rule. Source and destination must
// be different surfaces.
void BuildMipLevel(const TSurface& source, TSurface& dest, TMipReduce reduce = TMipReduce::Box);
// levels[i + 1] from levels[i] for every i below count - 1.
void BuildMipChain(TSurface* levels, int count, TMipReduce reduce = TMipReduce::Box);

// Read-back: the rectangle's pixels as 0xAARRGGBB by the zero-fill rule (alpha 255 for formats
// without alpha), row by row into `out`, whose rows are outPitch pixels apart. Pixels of the
// rectangle outside the surface are left untouched in `out`.
void ReadPixels(const TSurface& surface, const TRect& rect, uint32_t* out, int outPitch);

// Write-in: the colours of `in` (rows inPitch pixels apart) into the rectangle, each channel
// keeping its top n bits. Pixels of the rectangle outside the surface are skipped.
void WritePixels(TSurface& surface, const TRect& rect, const uint32_t* in, int inPitch);

}  // namespace raster
