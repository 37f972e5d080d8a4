// GVRegCalc: completes the registration points of every frame of a freshly loaded frame list
// (gvframe.h). The list's loader makes one over the list and drops it; the work is done in the
// constructor.
//
// For each frame, reg is its registration point truncated to whole numbers and size its width
// and height; min is the smallest reg coordinate over the list. By the frame's centering:
//   "old"        unmirrored reg − min, mirrored size − reg − min
//   "delta_left" unmirrored reg − min, mirrored size − reg + min ("old" when the frame's image
//                has no entry in the owner's texture set)
//   "left", "center"  unmirrored reg, mirrored size − reg
// A frame without centering takes the list's, else its texture's, else "old". The unmirrored
// point becomes the frame's plain point, the mirrored one its point for both mirror axes.
// Computed in 64 bits, so no description makes it overflow.
//
// Main thread only.
#pragma once

#include <array>
#include <cstdint>

class GVBase;
class GVFrame;
class GVFrames;
class GVTexture;
class GVTextures;

class GVRegCalc {
public:
    // owner: the object the list belongs to (its texture set is used when it is a GVObject).
    GVRegCalc(GVFrames& frames, GVBase* owner);

    // The (unmirrored x, y, mirrored x, y) of a frame by each centering mode.
    using Point4 = std::array<float, 4>;
    using Calculator = Point4 (GVRegCalc::*)(const GVFrame& frame) const;

private:
    Point4 Old(const GVFrame& frame) const;
    Point4 DeltaLeft(const GVFrame& frame) const;
    Point4 Left(const GVFrame& frame) const;
    Point4 Center(const GVFrame& frame) const;
    // The texture of the frame's image, or null.
    const GVTexture* TextureOf(const GVFrame& frame) const;

    const GVTextures* mTextures = nullptr;
    int64_t mMinX = INT32_MAX;
    int64_t mMinY = INT32_MAX;
    std::array<Calculator, 4> mCalculators{};
};
