// GVFrame and GVFrames: the frames of a visual object, from the "framelist" element of its
// description, one "frame" element each: a rectangle of one image of the object's texture set
// (gvtexture.h) and two registration points, the pixel that lies on the object's position when
// the frame is drawn unmirrored (x1, y1) and mirrored (x2, y2). The registration calculator
// (gvregcalc.h) completes the points when a list loads.
//
// Frames are found by position (GetAt): every frame is keyed by its index field, which is 0 when
// it is added, so the key index holds only the first frame.
//
// Numbers of descriptions are untrusted: "x" + "w" and "y" + "h" saturate at the int range, and
// so does every truncation of a registration point.
//
// Main thread only.
#pragma once

#include <cstdint>

#include "gv/centering.h"
#include "gv/gvbase.h"
#include "gv/gvconteiner.h"
#include "math/vec2.h"

class GVFrame : public GVBase {
public:
    // Bits of a registration corner: which mirrored coordinate to use.
    enum : int32_t { kCornerMirrorX = 1, kCornerMirrorY = 2 };

    GVFrame() : GVBase(kFrame) {}

    // "x", "y", "w", "h" and "img" as integers, "regx" and "regy" as floats, "centering" as its
    // keyword. False for a frame with both "w" and "h" 0; a negative size loads as it is.
    bool Load(TXmlNode* node, GVBase* owner) override;
    // "x", "y", "w", "h" and "img" (0 as empty text); not the registration or centering.
    bool Save(TXmlNode* node) override;
    // The rectangle, the image and the registration points; not centering or index. Null when
    // the target is no frame.
    GVBase* CopyTo(GVBase* target) override;

    // Sets the point of a corner: bit kCornerMirrorX sets x2 instead of x1, bit kCornerMirrorY
    // y2 instead of y1.
    void SetRegCorner(int32_t corner, float x, float y);
    // The point of a corner chosen the same way, each coordinate truncated toward zero to a whole
    // number (saturated; NaN gives 0). Drawing passes the object's flip bits.
    TVec2 GetRegCorner(int32_t corner) const;

    // In 64 bits: saturated edges can lie further apart than an int.
    int64_t GetWidth() const { return static_cast<int64_t>(right) - left; }
    int64_t GetHeight() const { return static_cast<int64_t>(bottom) - top; }

    float regX1 = 0.0f;
    float regY1 = 0.0f;
    float regX2 = 0.0f;
    float regY2 = 0.0f;
    int32_t centering = kCenteringNone;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    // Position of the frame's image in the object's texture set.
    int32_t image = 0;
    // Position of the frame in its list.
    int32_t index = 0;
};

class GVFrames : public GVConteiner<GVFrame, int32_t> {
public:
    GVFrames() : GVConteiner<GVFrame, int32_t>(kFrames, "frame") {}

    // Loads the "frame" children (false when none loads), numbers them 0 to n − 1, reads the
    // list's "centering" and runs the registration calculator with context as the owner.
    bool Load(TXmlNode* node, GVBase* context) override;

    int32_t centering = kCenteringNone;

protected:
    int32_t GetKey(const GVFrame* item) const override { return item->index; }
};
