#include "ui/image.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/draw/drawspec.h"
#include "platform/draw/renderer.h"
#include "platform/texture/texture.h"
#include "ui/windowmanager.h"
#include "ui/windowstyle.h"

namespace {

// A quarter turn, as the drawing turns a picture.
constexpr float kQuarterTurn = 1.5707964f;
// The largest side a scaled picture gives its window.
constexpr double kLargestSide = 65535.0;

// texels × scale rounded half up, in double and held to 0..65535 (a script's scale may be huge,
// infinite or NaN; NaN gives 0).
int ScaledSide(int texels, float scale) {
    double side = static_cast<double>(texels) * scale + 0.5;
    if (!(side > 0.0)) return 0;
    return static_cast<int>(std::min(side, kLargestSide));
}

void MarkDirty() {
    if (TWindowManager* manager = TWindowManager::Get()) manager->MarkDirty();
}

}  // namespace

TImage::TImage(bool firstPass) {
    if (firstPass) SetRawFlags(GetFlags() | kDrawInPass1);
    SetFlags(GetFlags() | kOpaque);
}

TImage::~TImage() = default;

void* TImage::Create() {
    return static_cast<TWindow*>(new TImage(true));
}

void TImage::SizeToTexture() {
    int width = ScaledSide(mTexture->GetWidth(), mScale);
    int height = ScaledSide(mTexture->GetHeight(), mScale);
    if (mRotated) std::swap(width, height);
    SetSize(width, height);
}

void TImage::SetTexture(std::shared_ptr<TTexture> texture, float scale) {
    mTexture = std::move(texture);
    mScale = scale;
    if (mTexture != nullptr) SizeToTexture();
    MarkDirty();
}

void TImage::SetAlpha(float alpha) {
    mAlpha = alpha;
    bool opaque = alpha == 1.0f && mTexture != nullptr && !mTexture->HasAlpha();
    SetFlags(opaque ? GetFlags() | kOpaque : GetFlags() & ~uint32_t{kOpaque});
    MarkDirty();
}

void TImage::SetDrawFlags(uint32_t flags) {
    mDrawFlags = flags;
    MarkDirty();
}

void TImage::SetRotated(bool rotated) {
    if (rotated != mRotated) {
        mRotated = rotated;
        if (mTexture != nullptr) SizeToTexture();
    }
    MarkDirty();
}

void TImage::Init(TWindowStyle& style) {
    str image = style.GetString("image", str());
    str mask = style.GetString("mask", str());
    float scale = static_cast<float>(style.GetNumber("scale", 1.0));
    int options = 0;
    if (style.GetBool("alpha", false)) {
        SetFlags(GetFlags() & ~uint32_t{kOpaque});
        options |= TTexture::kGetAlpha;
    }
    if (style.GetBool("mipmap", false)) options |= TTexture::kGetMipmap;
    if (style.GetBool("hflip", false)) mDrawFlags |= TDrawSpec::kFlipHorizontal;
    if (style.GetBool("vflip", false)) mDrawFlags |= TDrawSpec::kFlipVertical;
    if (style.GetBool("rotate", false)) mRotated = true;

    std::shared_ptr<TTexture> texture;
    if (image.Length() != 0 && mask.Length() != 0)
        texture = TTexture::GetWithMask(image, mask, options);
    else if (image.Length() != 0)
        texture = TTexture::Get(image, options);
    SetTexture(std::move(texture), scale);

    // The geometry fills in only a side that is still 0: an explicit "w" or "h" makes room for
    // itself, so that it overrides the texture's size.
    TRect rect = GetRect();
    if (!std::isnan(style.GetNumber("w", NAN))) rect.right = rect.left;
    if (!std::isnan(style.GetNumber("h", NAN))) rect.bottom = rect.top;
    SetRect(rect);
    TWindow::Init(style);
}

void TImage::Draw() {
    if (mTexture == nullptr) return;
    TRenderer* renderer = TRenderer::GetInstance();
    bool entered = !renderer->IsIn2d();
    if (entered && !renderer->Begin2d()) return;
    TDrawSpec spec(0.0f, 0.0f, mAlpha, mScale, mDrawFlags | TDrawSpec::kUseOffset);
    if (mRotated) {
        // Turned a quarter clockwise about the top-left corner, the picture's left edge then
        // runs down the window's right edge: it is moved right by its turned width.
        spec.mTransform.m[6] = static_cast<float>(mTexture->GetHeight()) * mScale;
        spec.mTransform.Rotate(kQuarterTurn);
    }
    mTexture->Draw(spec);
    if (entered) renderer->End2d();
}
