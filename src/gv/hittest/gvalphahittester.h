// GVAlphaHitTester ("alpha"): accepts only points inside the visible shape of a frame, by a mask
// built once per frame from the alpha channel of the frame's image (opaque: alpha above 80).
//
// A mask keeps, for each row of the frame, the first and last opaque column, the first lowered
// by one; and for each column the first and last opaque row, widened by one up and down within
// the frame. A point hits when it lies in both its row's and its column's span: holes inside the
// shape count as hits.
//
// Build locks each image once per run of frames cut from it and lets go of every lock before it
// returns. Pixels outside the locked surface count as transparent, so a frame reaching past its
// image reads nothing beyond it, and spans are kept only for the rows and columns that lie on
// the surface; a frame of zero or negative width or height, an image position outside the
// texture set, a missing image and a texture that refuses its lock all give frames that never
// hit.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gv/hittest/gvhittester.h"

class TTexture;

class GVAlphaHitTester : public GVHitTester {
public:
    // A row's or a column's opaque extent in frame pixels; first -1 when it has no opaque
    // pixel. 64-bit, as a frame may start far off its surface.
    struct Span {
        int64_t first = -1;
        int64_t last = -1;
    };
    // The mask of one frame. Width and height are the frame's; the spans cover the part of the
    // frame that lies on the surface (rows from rowStart, columns from columnStart, in frame
    // pixels), the rest being transparent.
    struct Mask {
        int64_t width = 0;
        int64_t height = 0;
        int64_t rowStart = 0;
        int64_t columnStart = 0;
        std::vector<Span> rows;
        std::vector<Span> columns;
    };

    GVAlphaHitTester();
    ~GVAlphaHitTester() override;

    bool HitTest(int32_t x, int32_t y, const GVFrame& frame) override;
    // False for a null object; an object without frames gets no masks.
    bool Build(GVObject* object) override;
    str GetTypeName() const override { return "alpha"; }

    // Builds the mask of frame i from the locked image, locking the frame's image first when
    // another one is locked; without keepLocked the lock is released afterwards.
    void BuildFrameMask(int32_t i, bool keepLocked);

    // Mask of frame i, or null.
    const Mask* GetMask(int32_t i) const;
    bool HoldsLock() const { return mLock != nullptr; }

private:
    struct TextureLock;

    void ReleaseLock();
    static void BuildSpans(const TextureLock& lock, int64_t left, int64_t top, int64_t right,
                           int64_t bottom, const GVFrame& frame, Mask& mask);

    std::unique_ptr<TextureLock> mLock;
    int32_t mLockedImage = -1;
    std::vector<std::unique_ptr<Mask>> mMasks;
    GVObject* mObject = nullptr;
};
