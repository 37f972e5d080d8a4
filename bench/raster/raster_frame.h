// The typical frame drawn by the rasterizer, as the game's 2-D pass draws it: the background as
// one textured quad, each sprite as a fan of four (scaled and rotated ones around their centre),
// each glyph span as a one-pixel line. The frame owns its target and its textures. The vertices
// are made once, as pixman_frame.h makes its images, transforms and solid fills once: both sides
// are timed on their drawing alone.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/rasterizer.h"

namespace bench {

class RasterFrame {
public:
    // lowMemory: the 16-bit display mode, with R5G6B5 target and background and A4R4G4B4
    // sprites.
    RasterFrame(raster::TSimd simd, bool fastPaths, bool lowMemory = false);

    void DrawBackground();
    // All sprites, or only those of one kind (SpriteKind); rotated false leaves out the rotated
    // ones.
    void DrawSprites(int kind = -1, bool rotated = true);
    void DrawSpans();
    void DrawFrame(bool rotated = true);

    // The target as 0xAARRGGBB pixels, row after row, and the same written in.
    std::vector<uint32_t> Pixels() const;
    void SetPixels(const std::vector<uint32_t>& pixels);

    raster::TRasterizer& Rasterizer() { return mRasterizer; }
    const raster::TSurface& Target() const { return mTarget; }

private:
    raster::TSurface mTarget;
    raster::TSurface mBackground;
    std::vector<raster::TSurface> mSprites;
    raster::TRasterizer mRasterizer;
    raster::TLitVertex mBackgroundQuad[4];
    std::vector<raster::TLitVertex> mSpriteQuads;        // four a sprite, in the scene's order
    std::vector<raster::TTransformedVertex> mSpanLines;  // two a span
};

}  // namespace bench
