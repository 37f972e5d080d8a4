// GVObject's drawing, bounds, hit test and picking (declared in gvobject.h).
#include <cmath>
#include <cstdint>

#include "gv/anim/gveffects.h"
#include "gv/gvchilds.h"
#include "gv/gvobject.h"
#include "gv/hittest/gvhittester.h"
#include "platform/draw/drawspec.h"
#include "platform/texture/texture.h"

void GVObject::Render(const GVRect& view) {
    if (mStates == nullptr || mComposed.visible == 0) return;
    const GVFrame* frame = GetCurrentFrame();
    if (frame == nullptr) return;
    if (mDrawSpec == nullptr) UpdateDrawSpec(frame);
    if (mDrawSpec == nullptr) return;
    TDrawSpec spec = *mDrawSpec;
    // A turned object's unturned bounds say nothing of where it lies: it is always drawn.
    GVRect bounds;
    GetBounds(bounds, frame);
    if (!bounds.Touches(view) && mComposed.rotate == 0.0f) return;
    spec.mTransform.m[6] -= view.left;
    spec.mTransform.m[7] -= view.top;
    if (mEffects != nullptr && !mEffects->CallBeforeDraw(spec)) return;
    DrawFrame(spec, frame);
    if (mEffects != nullptr) mEffects->CallAfterDraw(spec);
}

void GVObject::DrawFrame(TDrawSpec& spec, const GVFrame* frame) {
    // An image position the set lacks is a fault of the description: nothing is drawn.
    if (frame == nullptr || mTextures == nullptr || frame->image < 0 ||
        frame->image >= mTextures->GetCount())
        return;
    const GVTexture* image = mTextures->GetAt(frame->image);
    if (image != nullptr && image->texture != nullptr) image->texture->Draw(spec);
}

void GVObject::GetBounds(GVRect& bounds, const GVFrame* frame) {
    bounds = GVRect();
    if (frame == nullptr) frame = GetCurrentFrame();
    if (frame != nullptr && mDrawSpec == nullptr) UpdateDrawSpec(frame);
    if (frame != nullptr && mDrawSpec != nullptr) {
        const float s = mComposed.scaling;
        const TMat3& m = mDrawSpec->mTransform;
        bounds.left = m.m[6] - mDrawSpec->mOffset.x * s;
        bounds.top = m.m[7] - mDrawSpec->mOffset.y * s;
        bounds.right = bounds.left + static_cast<float>(frame->GetWidth()) * s;
        bounds.bottom = bounds.top + static_cast<float>(frame->GetHeight()) * s;
    }
    if (bounds.IsDegenerate() && GetChildCount() > 0) mChilds->GetAt(0)->GetBounds(bounds, nullptr);
}

bool GVObject::ScreenToLocal(const TVec2& point, TVec2& local) {
    local = point;
    if (mDrawSpec == nullptr) UpdateDrawSpec(nullptr);
    if (mDrawSpec == nullptr) return true;
    TMat3 inverse;
    if (!TMat3::Invert(inverse, mDrawSpec->mTransform)) return false;
    local = TMat3::TransformPoint(point + mDrawSpec->mOffset * mComposed.scaling, inverse);
    return true;
}

bool GVObject::HitTest(const TVec2& point) {
    const GVFrame* frame = GetCurrentFrame();
    const float s = mComposed.scaling;
    if (mComposed.visible == 0 || mHitTester == nullptr || frame == nullptr || !(s > 0.0f))
        return false;
    GVRect bounds;
    GetBounds(bounds, frame);
    const float w = (bounds.right - bounds.left) / s;
    const float h = (bounds.bottom - bounds.top) / s;
    TVec2 local;
    // A transform without an inverse maps nothing back: no hit, and nothing divided by 0.
    if (!ScreenToLocal(point, local)) return false;
    if (!(local.x >= 0.0f && local.x < w && local.y >= 0.0f && local.y < h)) return false;
    // The pixel under the point, mirrored after truncation: a whole-pixel point on a mirrored
    // object lands on its mirror pixel (0 on W − 1), not one past it.
    int64_t x = static_cast<int64_t>(local.x);
    int64_t y = static_cast<int64_t>(local.y);
    const int64_t width = frame->GetWidth();
    const int64_t height = frame->GetHeight();
    if ((mComposed.flip & kFlipHorizontal) != 0) x = width - 1 - x;
    if ((mComposed.flip & kFlipVertical) != 0) y = height - 1 - y;
    // Float rounding of the bounds must not take the pixel out of the frame.
    if (x < 0 || x >= width || y < 0 || y >= height || x > INT32_MAX || y > INT32_MAX) return false;
    return mHitTester->HitTest(static_cast<int32_t>(x), static_cast<int32_t>(y), *frame);
}

GVObject* GVObject::FindObjectAt(float x, float y, int32_t depth, const TVec2* offset) {
    TVec2 point(x, y);
    if (offset != nullptr) point += *offset;
    if (HitTest(point)) return this;
    if (mChilds == nullptr || depth <= 0) return nullptr;
    for (int32_t i = 0; i < mChilds->GetCount(); ++i)
        if (GVObject* found = mChilds->GetAt(i)->FindObjectAt(point.x, point.y, depth - 1, nullptr))
            return found;
    return nullptr;
}
