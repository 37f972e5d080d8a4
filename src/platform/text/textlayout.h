// TTextLayout: a UTF-8 text with markup (markup.h) laid out in a box: broken into lines at
// blanks, split into runs of one style each, aligned, and drawn with the vector fonts through the
// platform's glyph drawer. The windows' texts, the renderer's statistics overlay and the visual
// objects' text images hold one each; DrawStringAt (drawstringat.h) draws it.
//
// A layout is rebuilt whole, and only when the text, the font, the size or the rotation change
// (textlayoutpass.cpp); drawing (textlayoutdraw.cpp) reads the lines as they are, so a text that
// does not change costs no layout work per frame. While measuring, x counts quarter pixels; the
// lines and runs keep pixels, except the baselines, which stay in quarter pixels. A backslash
// makes the next character literal ("\<" shows a "<", "\\" one backslash).
//
// Fonts come from the platform's font cache (font/fontcache.h, GetVecFont) and belong to it. A
// character that the style's font lacks is drawn with "fonts/default.mvec" when that font has it.
// The hovered link and the scroll survive a new layout.
//
// Ownership: Create hands the caller a layout it owns; Delete destroys it (null is ignored).
// Tests watch layouts come and go through an observer (TTextLayoutObserver; the recording one is
// in textlayoutrecorder.h).
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/str.h"
#include "math/point.h"
#include "math/rect.h"
#include "platform/text/markup.h"

class TTextLayout;
class TTexture;
class TVecFont;

// Told of every layout made, every text change and every layout deleted (before it goes), and of
// every DrawStringAt (drawstringat.h) of a layout.
class TTextLayoutObserver {
public:
    virtual ~TTextLayoutObserver() = default;
    virtual void OnCreate(const TTextLayout* layout) = 0;
    virtual void OnSetText(const TTextLayout* layout, const str& text) = 0;
    virtual void OnDelete(const TTextLayout* layout) = 0;
    virtual void OnDraw(const TTextLayout* /*layout*/, const TRect& /*box*/, float /*scale*/,
                        uint32_t /*flags*/, float /*opacity*/, const TTexture* /*texture*/) {}
};

// One stretch of a line drawn in one style.
struct TTextRun {
    // The font that draws the run (the cache's; null when there was none).
    TVecFont* font = nullptr;
    // Quarter pixels per font pixel: 4 × size × the line fraction ÷ (ascent + descent).
    float scale = 0.0f;
    // The style's size in pixels, and the baseline in quarter pixels below the line top; both 0
    // for a run that holds nothing but tags.
    int32_t size = 0;
    int32_t baseline = 0;
    // The style's own font while the run is drawn with "fonts/default.mvec" in its place.
    TVecFont* styleFont = nullptr;
    float color[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    uint8_t bold = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    // The caret is drawn after the run's text.
    uint8_t cursor = 0;
    // Byte indexes of the first character and of the first byte of the last one; end is
    // start - 1 for a run of no characters.
    int32_t start = 0;
    int32_t end = kOpen;
    // Pixels from the line start where the run begins and ends.
    int32_t x = 0;
    int32_t endX = 0;
    str linkId;
    float linkColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float outlineSize = 0.0f;
    float outlineColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    // Quarter pixels from the line start: the position of a "tab" tag that closed the run, 0 for
    // none.
    int32_t tab = 0;

    static constexpr int32_t kOpen = -2;
};

struct TTextLine {
    // Pixels: the largest size among the runs that hold something, plus a "br" tag's pad.
    int32_t height = 0;
    // Quarter pixels below the line top: the largest baseline of the runs.
    int32_t baseline = 0;
    // Pixels from the box's left edge, and pixels added to it (negative for centred and
    // right-aligned lines).
    int32_t anchorX = 0;
    float offset = 0.0f;
    std::vector<TTextRun> runs;
};

class TTextLayout {
public:
    // The flag bits of Create.
    enum : uint32_t { kHAlignCenter = 1, kHAlignRight = 2, kVAlignCenter = 4, kVAlignBottom = 8 };
    // Font sizes above this count as this.
    static constexpr int32_t kLargestFontSize = 4096;

    // A new layout of the text in a box of width × height pixels. A null or empty font name is the
    // built-in font "__DEFAULT"; a null colour is opaque white. The caller owns the result.
    static TTextLayout* Create(const str& text, int32_t width, int32_t height, uint32_t flags,
                               const char* fontName, int32_t fontSize, const float* color);
    // Destroys and frees the layout; null is ignored.
    static void Delete(TTextLayout* layout);

    // Each setter lays the text out again only when it changes something.
    void SetText(const str& text);
    // Null or empty: "__DEFAULT".
    void SetFont(const char* fontName);
    void SetFontSize(int32_t size);
    // Turns the drawn text by the angle (degrees) about the origin (pixels in the box); within
    // 0.0001 of no turn it is exactly none.
    void SetRotation(float degrees, int32_t originX, int32_t originY);
    // The first line shown, with a fraction of a line (drawing and hit tests start there).
    void SetScroll(float lines) { mScroll = lines; }
    float GetScroll() const { return mScroll; }

    str GetText() const { return mText; }
    str GetFontName() const { return mFontName; }
    int32_t GetFontSize() const { return mFontSize; }
    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    uint32_t GetFlags() const { return mFlags; }
    // Red, green, blue, alpha.
    const float* GetColor() const { return mColor; }
    int GetLineCount() const { return static_cast<int>(mLines.size()); }
    const std::vector<std::shared_ptr<TTextLine>>& GetLines() const { return mLines; }
    // The vertical anchor (pixels from the box top) and the vertical offset added to it.
    int32_t GetAnchor() const { return mAnchor; }
    float GetVerticalOffset() const { return mVerticalOffset; }
    int32_t GetTotalHeight() const { return mTotalHeight; }
    float GetCosine() const { return mCosine; }
    float GetSine() const { return mSine; }
    // The point the rotation turns about (pixels in the box).
    TPoint GetRotationOrigin() const { return TPoint{mRotationX, mRotationY}; }
    bool IsSpriteTextMode() const { return mSpriteText; }

    // Counted from the last line up, (line height + padding) × scale summed: the line (counted
    // from 1) at which the sum first exceeds the box height; 0 when every line fits.
    int GetOverflowLines(float scale, int32_t padding) const;
    // The laid-out text's extent at the scale, from the first line shown: left and right from the
    // runs (0 and 0 without any), top and bottom from the vertical placement.
    void GetBounds(TRect& bounds, float scale) const;
    // The link id of the run under the point (box pixels at scale 1, rotation not counted); ""
    // for plain text and for no run.
    str GetLinkAt(const TPoint& point, int32_t padding) const;
    // The link under the point (none for null) becomes the hovered one, drawn in its link colour;
    // whether it changed.
    bool SetHoverPoint(const TPoint* point, int32_t padding);
    const str& GetHoveredLink() const { return mHoveredLink; }

    // Draws the lines that lie inside the box height, the box's top-left at the origin, scaled;
    // padding pixels between lines; alpha multiplies the colours'. Into the target when there is
    // one, else onto the screen, moved by the renderer's viewport (and, embedded in a host window,
    // scaled by the display scale). A negative scale draws nothing (textlayoutdraw.cpp).
    void Draw(float originX, float originY, int32_t boxHeight, float scale, int32_t padding,
              float alpha, const std::shared_ptr<TTexture>& target);

    // The observer told of every layout (not owned; null: none).
    static void SetObserver(TTextLayoutObserver* observer);
    static TTextLayoutObserver* GetObserver();

private:
    friend class TTextLayoutPass;
    friend class TTextLayoutDraw;

    TTextLayout();
    ~TTextLayout() = default;
    TTextLayout(const TTextLayout&) = delete;
    TTextLayout& operator=(const TTextLayout&) = delete;

    // Lays the whole text out again (textlayoutpass.cpp).
    void Layout();

    // In this order: the text and its parser; the vertical placement; the box; the rotation; the
    // drawer's two options; the lines; the font, size and colour; scrolling; the hovered link; the
    // flags; the sprite-text mode.
    str mText;
    TMarkupParser mParser;
    int32_t mAnchor = 0;
    int32_t mTotalHeight = 0;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    float mCosine = 1.0f;
    float mSine = 0.0f;
    int32_t mRotationX = 0;
    int32_t mRotationY = 0;
    uint8_t mDrawOptions[2] = {0, 0};
    std::vector<std::shared_ptr<TTextLine>> mLines;
    str mFontName;
    int32_t mFontSize = 0;
    float mColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float mScroll = 0.0f;
    float mVerticalOffset = 0.0f;
    str mHoveredLink;
    uint32_t mFlags = 0;
    // "textspriterender" above 0 when the layout was made: the vertical placement of sprite text.
    bool mSpriteText = false;
};
