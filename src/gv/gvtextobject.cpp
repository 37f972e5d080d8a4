#include "gv/gvtextobject.h"

#include "gv/anim/gveffects.h"
#include "platform/draw/drawspec.h"
#include "platform/text/textlayout.h"
#include "platform/texture/texture.h"

GVTextObject::~GVTextObject() {
    TTextLayout::Delete(mLayout);
    mLayout = nullptr;
}

void GVTextObject::Render(const GVRect& view) {
    if (GetComposed().visible == 0) return;
    if (GetDrawSpec() == nullptr) UpdateDrawSpec(nullptr);
    if (GetDrawSpec() == nullptr) return;
    TDrawSpec spec = *GetDrawSpec();
    spec.mTransform.m[6] -= view.left;
    spec.mTransform.m[7] -= view.top;
    GVEffects* effects = GetEffects();
    if (effects != nullptr && !effects->CallBeforeDraw(spec)) return;
    DrawFrame(spec, nullptr);
    if (effects != nullptr) effects->CallAfterDraw(spec);
}

void GVTextObject::DrawFrame(TDrawSpec& spec, const GVFrame* /*frame*/) {
    if (mImage != nullptr) mImage->Draw(spec);
}

void GVTextObject::GetBounds(GVRect& bounds, const GVFrame* /*frame*/) {
    bounds = GVRect();
    if (GetDrawSpec() == nullptr) UpdateDrawSpec(nullptr);
    const TDrawSpec* spec = GetDrawSpec();
    if (spec == nullptr) return;
    const float s = GetComposed().scaling;
    bounds.left = spec->mTransform.m[6] - spec->mOffset.x * s;
    bounds.top = spec->mTransform.m[7] - spec->mOffset.y * s;
    bounds.right = bounds.left + static_cast<float>(mWidth) * s;
    bounds.bottom = bounds.top + static_cast<float>(mHeight) * s;
}

void GVTextObject::UpdateDrawSpec(const GVFrame* /*frame*/) {
    if (mLayout == nullptr || mImage == nullptr) return;
    TDrawSpec& spec = *EnsureDrawSpec();
    BuildMatrix();
    const GVData& composed = GetComposed();
    spec.mOpacity = composed.alpha;
    spec.mBlendMode = composed.blend;
    spec.mSourceRect = TRect{0, 0, static_cast<int>(mWidth), static_cast<int>(mHeight)};
    // The own block's center, not the composed one: a parent's or a state's center does not
    // move the text.
    spec.mOffset = TVec2(centerX, centerY);
    spec.mFlags = TDrawSpec::kUseSourceRect | TDrawSpec::kUseOffset;
    if ((composed.flip & kFlipVertical) != 0) spec.mFlags |= TDrawSpec::kFlipVertical;
    if ((composed.flip & kFlipHorizontal) != 0) spec.mFlags |= TDrawSpec::kFlipHorizontal;
}

void GVTextObject::SetLayout(TTextLayout* layout) {
    if (layout == mLayout) return;
    TTextLayout::Delete(mLayout);
    mLayout = layout;
}

void GVTextObject::SetImage(std::shared_ptr<TTexture> image) {
    mImage = std::move(image);
    mWidth = mImage != nullptr ? static_cast<uint32_t>(mImage->GetWidth()) : 0;
    mHeight = mImage != nullptr ? static_cast<uint32_t>(mImage->GetHeight()) : 0;
}
