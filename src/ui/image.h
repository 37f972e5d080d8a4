// TImage: the window that shows one texture, a picture, a background or a piece of another
// widget. Scripts make it from a "Bitmap" table. The window is sized to the texture times its
// scale (width and height swapped when the picture is turned a quarter); an image that is opaque
// and as large as its modal hides the modals below it (TModalWindow's cover set), which is why
// SetAlpha keeps kOpaque exactly when the picture covers every pixel it is drawn on.
//
// The window holds one share of its texture (textures live in TTexture's cache). Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/window.h"

class TTexture;

class TImage : public TWindow {
public:
    // firstPass adds kDrawInPass1; every image starts opaque.
    explicit TImage(bool firstPass = true);
    ~TImage() override;

    const char* GetClassName() const override { return "TImage"; }
    bool IsKindOf(TClassId id) const override { return id == TypeId() || TWindow::IsKindOf(id); }
    // "image", "mask", "scale", "alpha", "mipmap", "hflip", "vflip", "rotate", then the name and
    // the geometry, so that "w" and "h" default to the scaled texture size.
    void Init(TWindowStyle& style) override;
    // The texture placed by its top-left corner at the window's origin, at the scale, alpha and
    // draw flags; nothing without a texture.
    void Draw() override;

    static TClassId TypeId() { return &Create; }
    // Makes a TImage(true).
    static void* Create();

    // Stores both; a texture resizes the window to its size times the scale (rounded to the
    // nearest pixel, held to 0..65535) and asks for a redraw. kOpaque is left as it is.
    void SetTexture(std::shared_ptr<TTexture> texture, float scale);
    std::shared_ptr<TTexture> GetTexture() const { return mTexture; }
    // kOpaque is set exactly when the alpha is 1.0 and a texture without an alpha channel is
    // present.
    void SetAlpha(float alpha);
    float GetAlpha() const { return mAlpha; }
    float GetScale() const { return mScale; }
    // TDrawSpec::kFlipHorizontal and kFlipVertical.
    void SetDrawFlags(uint32_t flags);
    uint32_t GetDrawFlags() const { return mDrawFlags; }
    // A change resizes the window (width and height trade places) when there is a texture.
    void SetRotated(bool rotated);
    bool IsRotated() const { return mRotated; }

private:
    // The window's size for the texture, the scale and the turn.
    void SizeToTexture();

    std::shared_ptr<TTexture> mTexture;
    float mScale = 1.0f;
    float mAlpha = 1.0f;
    uint32_t mDrawFlags = 0;
    bool mRotated = false;
};
