#include "gv/gvregcalc.h"

#include <algorithm>

#include "gv/attributes.h"
#include "gv/centering.h"
#include "gv/gvframe.h"
#include "gv/gvobject.h"
#include "gv/gvtexture.h"

namespace {

struct Whole {
    int64_t x;
    int64_t y;
};

Whole RegOf(const GVFrame& frame) {
    return {TruncateToInt(frame.regX1), TruncateToInt(frame.regY1)};
}

Whole SizeOf(const GVFrame& frame) {
    return {frame.GetWidth(), frame.GetHeight()};
}

GVRegCalc::Point4 Make(int64_t x, int64_t y, int64_t mirroredX, int64_t mirroredY) {
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(mirroredX),
            static_cast<float>(mirroredY)};
}

}  // namespace

GVRegCalc::GVRegCalc(GVFrames& frames, GVBase* owner) {
    mCalculators = {&GVRegCalc::Old, &GVRegCalc::DeltaLeft, &GVRegCalc::Left, &GVRegCalc::Center};
    if (owner != nullptr && owner->GetKind() == GVBase::kObject)
        mTextures = static_cast<GVObject*>(owner)->GetTextures().get();

    for (int32_t i = 0; i < frames.GetCount(); ++i) {
        Whole reg = RegOf(*frames.GetAt(i));
        mMinX = std::min(mMinX, reg.x);
        mMinY = std::min(mMinY, reg.y);
    }

    for (int32_t i = 0; i < frames.GetCount(); ++i) {
        GVFrame& frame = *frames.GetAt(i);
        int32_t mode = frame.centering;
        if (mode == kCenteringNone) {
            const GVTexture* texture = TextureOf(frame);
            if (frames.centering != kCenteringNone)
                mode = frames.centering;
            else if (texture != nullptr && texture->centering != kCenteringNone)
                mode = texture->centering;
            else
                mode = kCenteringOld;
        }
        Point4 point{};
        if (mode >= 0 && mode < kCenteringNone) point = (this->*mCalculators[mode])(frame);
        frame.SetRegCorner(0, point[0], point[1]);
        frame.SetRegCorner(GVFrame::kCornerMirrorX | GVFrame::kCornerMirrorY, point[2], point[3]);
    }
}

const GVTexture* GVRegCalc::TextureOf(const GVFrame& frame) const {
    if (mTextures == nullptr || frame.image < 0 || frame.image >= mTextures->GetCount())
        return nullptr;
    return mTextures->GetAt(frame.image);
}

GVRegCalc::Point4 GVRegCalc::Old(const GVFrame& frame) const {
    Whole reg = RegOf(frame);
    Whole size = SizeOf(frame);
    return Make(reg.x - mMinX, reg.y - mMinY, size.x - reg.x - mMinX, size.y - reg.y - mMinY);
}

GVRegCalc::Point4 GVRegCalc::DeltaLeft(const GVFrame& frame) const {
    if (TextureOf(frame) == nullptr) return Old(frame);
    Whole reg = RegOf(frame);
    Whole size = SizeOf(frame);
    return Make(reg.x - mMinX, reg.y - mMinY, size.x - reg.x + mMinX, size.y - reg.y + mMinY);
}

GVRegCalc::Point4 GVRegCalc::Left(const GVFrame& frame) const {
    Whole reg = RegOf(frame);
    Whole size = SizeOf(frame);
    return Make(reg.x, reg.y, size.x - reg.x, size.y - reg.y);
}

GVRegCalc::Point4 GVRegCalc::Center(const GVFrame& frame) const {
    return Left(frame);
}
