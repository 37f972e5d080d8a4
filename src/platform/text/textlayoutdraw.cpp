// Drawing a laid-out text with the platform's glyph drawer (draw/bvminivecdraw.h): each shown
// line run by run from the line start at its baseline, glyph offsets in quarter pixels along the
// rotation, the caret and the underline as rectangles in the glyph outline format, one flush at
// the end so that the drawer batches the whole text.
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "platform/draw/bvminivecdraw.h"
#include "platform/draw/color.h"
#include "platform/draw/renderer.h"
#include "platform/font/vecfont.h"
#include "platform/platform.h"
#include "platform/text/textitems.h"
#include "platform/text/textlayout.h"
#include "platform/win32platform.h"

namespace {

// The underline: from 8 to 11 quarter pixels below the baseline.
constexpr int kUnderlineTop = 8;
constexpr int kUnderlineBottom = 11;
// The caret is 3 quarter pixels wide.
constexpr int kCaretWidth = 3;

// A filled rectangle as a glyph outline: a move to the first corner, four lines round it, the
// end. Coordinates are outline pixels (stored as 1/128 units in 16 bits). Built by the caller,
// it has font serial 0, so the drawer's cache knows it by its bytes.
class TRectangleOutline {
public:
    TRectangleOutline(int left, int top, int right, int bottom) {
        Op(4, left, top);
        Op(5, right, top);
        Op(5, right, bottom);
        Op(5, left, bottom);
        Op(5, left, top);
        mBytes[mSize++] = 8;
    }
    TGlyphOutline Get() const { return TGlyphOutline{mBytes.data(), mSize, 0, 0}; }

private:
    void Op(uint8_t op, int x, int y) {
        mBytes[mSize++] = op;
        Coordinate(x);
        Coordinate(y);
    }
    void Coordinate(int pixels) {
        // 255 pixels is the most a 16-bit outline coordinate holds.
        const int units = std::clamp(pixels, -255, 255) * 128;
        const auto value = static_cast<uint16_t>(static_cast<int16_t>(units));
        mBytes[mSize++] = static_cast<uint8_t>(value);
        mBytes[mSize++] = static_cast<uint8_t>(value >> 8);
    }

    std::array<uint8_t, 26> mBytes = {};
    size_t mSize = 0;
};

uint32_t Packed(const float color[4]) {
    return TColor(color[0], color[1], color[2], color[3]).GetPacked();
}

int RoundedQuarter(double pen) {
    return SaturateToInt(textlayout::RoundHalfAway(pen));
}

int TruncatedQuarter(double pen) {
    return TruncateToInt(pen);
}

}  // namespace

// One Draw of one layout.
class TTextLayoutDraw {
public:
    TTextLayoutDraw(const TTextLayout& layout, TBvMiniVecDraw& drawer,
                    const std::shared_ptr<TTexture>& target)
        : mLayout(layout),
          mDrawer(drawer),
          mTarget(target),
          mText(layout.mText.c_str()),
          mLength(static_cast<int32_t>(std::min<unsigned>(layout.mText.Length(), INT32_MAX))) {}

    void Draw(float originX, float originY, int32_t boxHeight, float scale, int32_t padding,
              float alpha);

private:
    void DrawLine(const TTextLine& line, double topY);
    void DrawRun(const TTextRun& run, double startX, double baselineY);

    const TTextLayout& mLayout;
    TBvMiniVecDraw& mDrawer;
    const std::shared_ptr<TTexture>& mTarget;
    const char* mText;
    int32_t mLength;
    double mOriginX = 0.0;
    double mOriginY = 0.0;
    float mScale = 1.0f;
    // The scale glyphs are drawn at: the caller's, times the display scale when embedded.
    double mEffective = 1.0;
    bool mEmbedded = false;
    float mDisplayScale = 1.0f;
    float mAlpha = 1.0f;
    // The pen offset along the line (quarter pixels) and the line's italic state.
    double mPenX = 0.0;
    double mPenY = 0.0;
    bool mItalic = false;
};

void TTextLayoutDraw::Draw(float originX, float originY, int32_t boxHeight, float scale,
                           int32_t padding, float alpha) {
    mScale = scale;
    mEffective = scale;
    mAlpha = alpha;
    if (mTarget == nullptr) {
        const TRect viewport = TRenderer::GetInstance()->GetViewport();
        originX += static_cast<float>(viewport.left);
        originY += static_cast<float>(viewport.top);
        TWin32Platform* platform = TPlatform::GetInstance()->GetPlatform();
        mEmbedded = platform->GetEmbeddedScale(&mDisplayScale);
        if (mEmbedded) mEffective = static_cast<double>(scale) * mDisplayScale;
    }
    mDrawer.SetBlend(mLayout.mDrawOptions[0]);
    mDrawer.SetReplace(mLayout.mDrawOptions[1]);
    mDrawer.SetRotation(mLayout.mCosine, mLayout.mSine);

    const double anchor = mLayout.mAnchor;
    const double verticalOffset = mLayout.mVerticalOffset;
    double topY =
        mLayout.mSpriteText ? anchor / scale + verticalOffset : verticalOffset * scale + anchor;
    // Scrolled by whole lines from the first shown, and by the fraction of a line.
    const double scroll = std::isfinite(mLayout.mScroll) ? mLayout.mScroll : 0.0;
    const double firstLine = std::trunc(scroll);
    mOriginX = originX;
    mOriginY = originY - (scroll - firstLine) * mLayout.mFontSize * scale;

    const std::vector<std::shared_ptr<TTextLine>>& lines = mLayout.mLines;
    for (size_t i = firstLine > 0.0 ? static_cast<size_t>(std::min(firstLine, 2.0e9)) : 0;
         i < lines.size(); ++i) {
        const TTextLine& line = *lines[i];
        const double bottom = mLayout.mSpriteText ? (mLayout.mFontSize + topY) * scale
                                                  : line.height * static_cast<double>(scale) + topY;
        if (bottom >= 0.0 && bottom <= boxHeight) DrawLine(line, topY);
        topY += static_cast<double>(line.height) + padding;
    }
    mDrawer.Flush();
}

void TTextLayoutDraw::DrawLine(const TTextLine& line, double topY) {
    mPenX = 0.0;
    mPenY = 0.0;
    mItalic = false;
    const double startX = line.anchorX + static_cast<double>(line.offset) * mScale;
    const double baselineY = (line.baseline / 4.0 + topY) * mScale;
    for (const TTextRun& run : line.runs)
        DrawRun(run, startX, baselineY);
}

void TTextLayoutDraw::DrawRun(const TTextRun& run, double startX, double baselineY) {
    TVecFont* font = run.font;
    if (font == nullptr) return;
    const float cosine = mLayout.mCosine;
    const float sine = mLayout.mSine;
    const float displayFactor = mEmbedded ? mDisplayScale : 1.0f;

    // The fill colour, the link's while its link is hovered.
    const float* fill = run.color;
    if (mLayout.mHoveredLink.c_str()[0] != '\0' && mLayout.mHoveredLink == run.linkId)
        fill = run.linkColor;
    mDrawer.SetSlant(run.italic != 0);
    // An outline is the first stroke in its colour; bold thickens the fill with the next stroke,
    // and the outline by as much.
    float strokes[2] = {0.0f, 0.0f};
    int nextSlot = 255;
    if (run.outlineSize != 0.0f) {
        strokes[0] = run.outlineSize;
        mDrawer.SetShadeColors(255, Packed(run.outlineColor), mAlpha);
        nextSlot = 254;
    }
    if (run.bold != 0 || font->GetFlag() != 0) {
        const float bold = static_cast<float>(run.size) * mScale * 0.0125f * font->GetScale();
        if (nextSlot == 254) {
            strokes[0] += bold;
            strokes[1] = bold;
        } else {
            strokes[0] = bold;
        }
        mDrawer.SetShadeColors(nextSlot, Packed(fill), mAlpha);
    }
    mDrawer.SetStrokeWidths(strokes[0] * displayFactor, strokes[1] * displayFactor);
    mDrawer.SetShadeColors(1, Packed(fill), mAlpha);

    double x = startX;
    double y = baselineY;
    if (sine != 0.0f) {
        const double ox = mLayout.mRotationX;
        const double oy = mLayout.mRotationY;
        x = ox + (startX - ox) * cosine - (baselineY - oy) * sine;
        y = oy + (startX - ox) * sine + (baselineY - oy) * cosine;
    }
    if (mEmbedded) {
        x = std::round(mOriginX * mDisplayScale) + x * mDisplayScale;
        y = std::round(mOriginY * mDisplayScale) + y * mDisplayScale;
    } else {
        x += mOriginX;
        y += mOriginY;
    }
    if (!mDrawer.Begin(static_cast<float>(x), static_cast<float>(y), mTarget)) return;

    const double runScale = static_cast<double>(run.scale) * mEffective;
    if ((run.italic != 0) != mItalic) {
        // At the caller's scale, without the display scale.
        mItalic = run.italic != 0;
        const double move = (mItalic ? font->GetDescent() : font->GetAscent()) * run.scale *
                            static_cast<double>(mScale) / 3.0;
        mPenX += move * cosine;
        mPenY += move * sine;
    }

    const double runPenX = mPenX;
    const double runPenY = mPenY;
    double advances = 0.0;
    const float glyphScale = static_cast<float>(runScale);
    for (int32_t i = run.start; i <= run.end && i < mLength;) {
        const textlayout::TTextItem item = textlayout::ReadTextItem(mText, mLength, i);
        i = item.next;
        const int glyph = font->FindGlyph(item.code);
        if (glyph < 0) continue;
        mDrawer.SetScale(glyphScale, glyphScale * font->GetGlyphFitScale(glyph));
        mDrawer.DrawString(font->GetGlyphShape(glyph), RoundedQuarter(mPenX),
                           TruncatedQuarter(mPenY));
        const double advance = font->GetGlyphAdvance(glyph);
        advances += advance;
        mPenX += advance * runScale * cosine;
        mPenY += advance * runScale * sine;
    }

    // The tab stop, measured at scale 1, scales with the text.
    if (run.tab != 0) {
        mPenX = run.tab * mEffective * cosine;
        mPenY = run.tab * mEffective * sine;
    }
    if (run.cursor != 0) {
        const int ascent = static_cast<int>(std::lround(font->GetAscent()));
        const int descent = static_cast<int>(std::lround(font->GetDescent()));
        const TRectangleOutline caret(0, -ascent, kCaretWidth, descent);
        mDrawer.SetScale(1.0f, glyphScale);
        mDrawer.DrawString(caret.Get(), RoundedQuarter(mPenX), TruncatedQuarter(mPenY));
    }
    if (run.underline != 0) {
        // One pixel wide, stretched over the run's advances.
        const TRectangleOutline underline(0, kUnderlineTop, 1, kUnderlineBottom);
        mDrawer.SetSlant(false);
        mDrawer.SetStrokeWidths(0.0f, 0.0f);
        mDrawer.SetScale(static_cast<float>(runScale * advances), 1.0f);
        mDrawer.DrawString(underline.Get(), RoundedQuarter(runPenX), TruncatedQuarter(runPenY));
    }
}

void TTextLayout::Draw(float originX, float originY, int32_t boxHeight, float scale,
                       int32_t padding, float alpha, const std::shared_ptr<TTexture>& target) {
    // A negative scale draws nothing. A scale of 0 draws at no size (and one that is no number
    // places every line outside the box).
    if (scale < 0.0f) return;
    TPlatform* application = TPlatform::GetInstance();
    TBvMiniVecDraw* drawer =
        application != nullptr ? application->GetPlatform()->GetVecDraw() : nullptr;
    if (drawer == nullptr) return;
    TTextLayoutDraw(*this, *drawer, target)
        .Draw(originX, originY, boxHeight, scale, padding, alpha);
}
