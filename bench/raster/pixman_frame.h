// The typical frame composited by pixman, for comparison: the background with OVER (pixman sees
// the opaque source and copies), the sprites as premultiplied images with OVER, faded ones
// through a solid mask, scaled and rotated ones through a bilinear transform over their bounding
// box, and each glyph span as a one-row OVER of a solid colour. pixman is a comparison only: it
// is never linked into the program.
#pragma once

#include <pixman.h>

#include <cstdint>
#include <map>
#include <vector>

namespace bench {

class PixmanFrame {
public:
    PixmanFrame();
    ~PixmanFrame();
    PixmanFrame(const PixmanFrame&) = delete;
    PixmanFrame& operator=(const PixmanFrame&) = delete;

    void DrawBackground();
    // All sprites, or only those of one kind (SpriteKind); rotated false leaves out the rotated
    // ones.
    void DrawSprites(int kind = -1, bool rotated = true);
    void DrawSpans();
    void DrawFrame(bool rotated = true);

    // The target as 0xAARRGGBB pixels (alpha as stored), row after row, and the same written in.
    const std::vector<uint32_t>& Pixels() const { return mTargetBits; }
    // pixman keeps a pointer to the bits: they are copied in place.
    void SetPixels(const std::vector<uint32_t>& pixels);

private:
    struct Instance {
        pixman_image_t* image;
        pixman_image_t* mask;
        int x, y, w, h;
        bool transformed;
        int kind;
    };
    std::vector<uint32_t> mTargetBits;
    std::vector<uint32_t> mBackgroundBits;
    std::vector<std::vector<uint32_t>> mSpriteBits;
    std::vector<Instance> mInstances;
    std::map<uint32_t, pixman_image_t*> mSolids;
    std::vector<pixman_image_t*> mSpanSolids;  // the solid fill of each span
    pixman_image_t* mTarget;
    pixman_image_t* mBackground;
};

}  // namespace bench
