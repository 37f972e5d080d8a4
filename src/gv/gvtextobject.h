// GVTextObject: a visual object that shows a prepared text image instead of a frame of a frame
// list. It loads, saves, copies, composes and joins scenes as any GVObject; made by the "text"
// creator, with the defaults below and neither layout nor image. Only drawing differs: it needs no
// states or frames, is never culled against the view, and its registration point is its own
// block's center, so a center handed down by a parent or a state does not move the text.
//
// Ownership: the object owns its text layout (released with TTextLayout::Delete when the object
// dies or gets another) and shares its image. Clones get neither. Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/str.h"
#include "gv/gvobject.h"

class TTextLayout;
class TTexture;

class GVTextObject : public GVObject {
public:
    GVTextObject() = default;
    ~GVTextObject() override;

    // Visible: the image drawn through a copy of the draw record moved by the view's top-left,
    // unless a running effect vetoes it. Needs a layout and an image (UpdateDrawSpec).
    void Render(const GVRect& view) override;
    // The image draws itself with the draw spec; the frame is ignored.
    void DrawFrame(TDrawSpec& spec, const GVFrame* frame) override;
    // The image's rectangle in view coordinates; (0, 0, 0, 0) without a draw record. The frame
    // is ignored.
    void GetBounds(GVRect& bounds, const GVFrame* frame) override;
    // Only with both a layout and an image: the record made when missing and the transform
    // built; alpha and blend from the composed block (colour factors stay 1.0), the whole image
    // as source rectangle, the own block's center as origin, flags 12 plus the mirror bits.
    void UpdateDrawSpec(const GVFrame* frame) override;

    // Takes the layout (null: none); the one held before is released.
    void SetLayout(TTextLayout* layout);
    TTextLayout* GetLayout() const { return mLayout; }
    // The text image; its size becomes the object's width and height (0 without one).
    void SetImage(std::shared_ptr<TTexture> image);
    const std::shared_ptr<TTexture>& GetImage() const { return mImage; }
    uint32_t GetWidth() const { return mWidth; }
    uint32_t GetHeight() const { return mHeight; }

    const str& GetFontName() const { return mFontName; }
    int32_t GetFontSize() const { return mFontSize; }
    const float* GetColor() const { return mColor; }
    const str& GetText() const { return mText; }

private:
    TTextLayout* mLayout = nullptr;
    std::shared_ptr<TTexture> mImage;
    uint32_t mWidth = 0;
    uint32_t mHeight = 0;
    uint32_t mReserved = 0;
    str mFontName = "arial";
    int32_t mFontSize = 14;
    float mColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    str mText;
    int32_t mReservedInt = 0;
    float mReservedFloats[3] = {0.0f, 0.0f, 0.0f};
};
