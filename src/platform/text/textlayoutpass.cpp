// Laying a text out: the text is read once from the start, item by item (a tag or one
// character), into runs of one style and lines that fit the box width. A line that overflows
// breaks at its last blank, else before the character that overflows.
#include <algorithm>
#include <cstring>

#include "foundation/log.h"
#include "platform/font/fontcache.h"
#include "platform/font/vecfont.h"
#include "platform/platform.h"
#include "platform/text/textitems.h"
#include "platform/text/textlayout.h"

using textlayout::ClampPen;
using textlayout::QuarterToPixels;
using textlayout::RoundHalfAway;

class TTextLayoutPass {
public:
    explicit TTextLayoutPass(TTextLayout& layout);
    void Run();

private:
    // What a line keeps while it is read; a break at a blank goes back to the blank's copy.
    struct LineState {
        // Quarter pixels: the pen, and what the last glyph's advance still owes it.
        double penX = 0.0;
        double pending = 0.0;
        // The outline sizes of the first and of the last glyph (pixels).
        float leftMargin = 0.0f;
        float rightMargin = 0.0f;
        // Quarter pixels the first glyph moved the pen so that its ink starts one pixel in.
        double firstShift = 0.0;
        bool firstGlyphPending = true;
        bool italic = false;
        // A character has been laid on the line (so the next one may go to the next line).
        bool hasCharacter = false;
        // Characters are drawn with the fallback font.
        bool fallback = false;
    };
    struct Blank {
        int32_t position = 0;
        LineState line;
        TMarkupParser::TMark mark;
        // The runs closed before the blank's run.
        size_t runCount = 0;
    };

    void ReadLine();
    void StartRun();
    // Reads items into the run until it closes; fills in its end.
    void ReadRun();
    // A tag at the position: true when there was one (the run has closed).
    bool ReadTag();
    // True when the run closes at the character.
    bool ReadCharacter();
    void BreakAtBlank();
    void CloseRun();
    void EndLine();
    void PlaceVertically();
    TVecFont* FontOf(const str& face);
    static void AddRunToLine(TTextLine& line, const TTextRun& run);

    TTextLayout& mLayout;
    TMarkupParser& mParser;
    const char* mText;
    int32_t mLength;
    // Past the last ">" of the text no tag can start.
    int32_t mTagsEnd = 0;
    bool mLegacyWrap;
    TVecFont* mFallback = nullptr;
    str mLastFace;
    TVecFont* mLastFaceFont = nullptr;
    bool mFontMissingLogged = false;

    int32_t mPosition = 0;
    int64_t mTotalHeight = 0;

    // The line being read.
    std::shared_ptr<TTextLine> mLine;
    LineState mState;
    bool mHasBlank = false;
    Blank mBlank;
    int32_t mPad = 0;
    bool mLineEnded = false;
    int32_t mLineAlignment = TMarkupParser::kNoAlignment;

    // The run being read.
    TTextRun mRun;
    bool mRunHasContent = false;
    int mRunItems = 0;
    double mRunItalicMove = 0.0;
};

TTextLayoutPass::TTextLayoutPass(TTextLayout& layout)
    : mLayout(layout),
      mParser(layout.mParser),
      mText(layout.mText.c_str()),
      mLength(static_cast<int32_t>(std::min<unsigned>(layout.mText.Length(), INT32_MAX))),
      mLegacyWrap(IsLegacyLineWrap()) {
    for (int32_t i = mLength - 1; i >= 0; --i) {
        if (mText[i] == '>') {
            mTagsEnd = i + 1;
            break;
        }
    }
}

void TTextLayoutPass::Run() {
    mLayout.mLines.clear();
    mParser.Reset();
    TMarkupStyle& base = mParser.GetBaseStyle();
    base.face = mLayout.mFontName;
    base.size = mLayout.mFontSize;
    std::memcpy(base.color, mLayout.mColor, sizeof base.color);
    mFallback = GetVecFont(TVecFontCache::kDefaultFontName);
    while (mPosition < mLength)
        ReadLine();
    PlaceVertically();
}

void TTextLayoutPass::ReadLine() {
    mLine = std::make_shared<TTextLine>();
    const bool fallback = mState.fallback;
    mState = LineState();
    mState.fallback = fallback;
    mHasBlank = false;
    mPad = 0;
    mLineEnded = false;
    // An alignment tag ends the line it is on and takes effect from the next one.
    mLineAlignment = mParser.GetAlignment();
    mParser.ForgetMarks();
    while (!mLineEnded && mPosition < mLength) {
        StartRun();
        ReadRun();
        CloseRun();
    }
    EndLine();
}

TVecFont* TTextLayoutPass::FontOf(const str& face) {
    // Styles copied from one another share their name's text: most runs need no comparison.
    if (mLastFaceFont == nullptr || (face.c_str() != mLastFace.c_str() && face != mLastFace)) {
        mLastFace = face;
        mLastFaceFont = GetVecFont(face);
    }
    return mLastFaceFont;
}

void TTextLayoutPass::StartRun() {
    const TMarkupStyle& style = mParser.GetStyle();
    TVecFont* styleFont = FontOf(style.face);
    mRun = TTextRun();
    if (mState.fallback) {
        mRun.font = mFallback;
        mRun.styleFont = styleFont;
    } else {
        mRun.font = styleFont;
    }
    mRun.size = std::min(style.size, TTextLayout::kLargestFontSize);
    if (const TVecFont* font = mRun.font) {
        const float height = font->GetAscent() + font->GetDescent();
        if (height > 0.0f) {
            mRun.scale =
                4.0f * static_cast<float>(mRun.size) * TVecFont::GetLineFraction() / height;
        }
        mRun.baseline = TruncateToInt(
            static_cast<double>((font->GetLineMetric(true) + font->GetAscent()) * mRun.scale));
    }
    std::memcpy(mRun.color, style.color, sizeof mRun.color);
    mRun.bold = mParser.IsBold();
    mRun.italic = mParser.IsItalic();
    mRun.underline = mParser.IsUnderline();
    mRun.linkId = mParser.GetLinkId();
    std::memcpy(mRun.linkColor, mParser.GetLinkColor(), sizeof mRun.linkColor);
    mRun.outlineSize = mParser.GetOutlineSize();
    std::memcpy(mRun.outlineColor, mParser.GetOutlineColor(), sizeof mRun.outlineColor);
    mRun.start = mPosition;
    mRun.x = QuarterToPixels(mState.penX);

    mRunHasContent = false;
    mRunItems = 0;
    mRunItalicMove = 0.0;
    const bool italic = mRun.italic != 0;
    if (italic != mState.italic && mRun.font != nullptr) {
        // Slanted glyphs lean right above the baseline and left below it: leaving italic makes
        // room for the last one's top, entering it for the first one's foot.
        mState.italic = italic;
        const float reach = italic ? mRun.font->GetDescent() : mRun.font->GetAscent();
        mRunItalicMove = static_cast<double>(mRun.scale / 3.0f * reach);
        mState.penX = ClampPen(mState.penX + mRunItalicMove);
    }
    mState.italic = italic;
}

void TTextLayoutPass::ReadRun() {
    while (mPosition < mLength) {
        if (mText[mPosition] == '<' && mPosition < mTagsEnd && ReadTag()) return;
        if (ReadCharacter()) return;
    }
    // The text ended in this run (its last item was a character).
}

bool TTextLayoutPass::ReadTag() {
    int32_t consumed = 0;
    bool newline = false;
    bool cursor = false;
    bool alignmentChanged = false;
    int32_t tab = 0;
    if (!mParser.ParseTag(mText + mPosition, static_cast<size_t>(mTagsEnd - mPosition), consumed,
                          newline, mPad, cursor, alignmentChanged, tab)) {
        return false;
    }
    mRun.end = mPosition - 1;
    mPosition += consumed;
    if (cursor) {
        mRun.cursor = 1;
        mRunHasContent = true;
        // The caret goes where the text stands, before an italic change's move.
        if (mRunItems == 0) mState.penX = ClampPen(mState.penX - mRunItalicMove);
    }
    if (newline) mRunHasContent = true;
    if (tab != 0) {
        mRun.tab = tab;
        mState.penX = tab;
    }
    if (newline || alignmentChanged) mLineEnded = true;
    return true;
}

bool TTextLayoutPass::ReadCharacter() {
    const int32_t start = mPosition;
    const textlayout::TTextItem item = textlayout::ReadTextItem(mText, mLength, mPosition);
    mPosition = item.next;
    ++mRunItems;
    if (item.code == '\n') {
        mRun.end = start - 1;
        mRunHasContent = true;
        mLineEnded = true;
        return true;
    }
    if (item.code == ' ' && mState.penX != 0.0) {
        mHasBlank = true;
        mBlank.position = start;
        mBlank.line = mState;
        mBlank.mark = mParser.Mark();
        mBlank.runCount = mLine->runs.size();
    }

    const LineState before = mState;
    TVecFont* font = mRun.font;
    int glyph = -1;
    if (font == nullptr) {
        if (!mFontMissingLogged) {
            LogPrintf("ERROR: FONT missing in text when attempting to render string %s.", mText);
            mFontMissingLogged = true;
        }
    } else {
        glyph = font->FindGlyph(item.code);
    }
    if (mState.fallback && mRun.styleFont != nullptr && mRun.styleFont->FindGlyph(item.code) >= 0) {
        // Back to the style's own font; the next run reads the character again.
        mRun.end = start - 1;
        mPosition = start;
        mState.fallback = false;
        return true;
    }
    mRunHasContent = true;
    if (glyph >= 0) {
        mState.penX = ClampPen(mState.penX + mState.pending);
        const double scale = mRun.scale;
        const double advance = font->GetGlyphAdvance(glyph);
        const double right = font->GetGlyphMaxX(glyph);
        // A glyph whose ink reaches past its advance takes room to its ink; the next glyph gets
        // the difference back.
        if (advance < right) {
            mState.penX = ClampPen(mState.penX + right * scale);
            mState.pending = (advance - right) * scale;
        } else {
            mState.penX = ClampPen(mState.penX + advance * scale);
            mState.pending = 0.0;
        }
        if (mState.firstGlyphPending) {
            mState.firstShift = 4.0 - font->GetGlyphMinX(glyph) * scale;
            mState.penX = ClampPen(mState.penX + mState.firstShift);
            mState.leftMargin = mRun.outlineSize;
            mState.firstGlyphPending = false;
        }
        mState.rightMargin = mRun.outlineSize;
    } else if (font != mFallback && mFallback != nullptr && mFallback->FindGlyph(item.code) >= 0) {
        // Drawn by the fallback font: this run ends with the character, which its font does not
        // draw, and the next one starts at it.
        mRun.end = start;
        mPosition = start;
        mState.fallback = true;
        return true;
    }

    const double margins =
        (static_cast<double>(mState.leftMargin) + 1.0 + static_cast<double>(mState.rightMargin)) *
        4.0;
    if (textlayout::RoundsAbove(mState.penX + margins, 4 * static_cast<int64_t>(mLayout.mWidth))) {
        if (mHasBlank) {
            BreakAtBlank();
            return true;
        }
        // A word wider than the box. Every line keeps at least one character; the legacy mode
        // keeps the overflowing one as the last of the line.
        if (mLegacyWrap) {
            mRun.end = start;
            mLineEnded = true;
            return true;
        }
        if (before.hasCharacter) {
            mState = before;
            mRun.end = start - 1;
            mPosition = start;
            mLineEnded = true;
            --mRunItems;
            mRunHasContent = mRun.end >= mRun.start;
            return true;
        }
    }
    mState.hasCharacter = true;
    if (mPosition >= mLength) mRun.end = start;
    return false;
}

void TTextLayoutPass::BreakAtBlank() {
    const int32_t blank = mBlank.position;
    mState = mBlank.line;
    mPosition = blank + 1;
    mParser.Rewind(mBlank.mark);
    mLineEnded = true;
    if (mRun.start <= blank) {
        mRun.end = blank - 1;
        mRunHasContent = mRun.end >= mRun.start;
        return;
    }
    // The blank lies in an earlier run of the line: what came after it goes to the next line.
    std::vector<TTextRun>& runs = mLine->runs;
    runs.resize(std::min(runs.size(), mBlank.runCount + 1));
    const int32_t x = QuarterToPixels(mState.penX);
    if (!runs.empty() && runs.back().start <= blank) {
        TTextRun& cut = runs.back();
        cut.end = blank - 1;
        cut.endX = x;
        // A tag after the blank that closed the run is read again on the next line.
        cut.tab = 0;
        cut.cursor = 0;
        if (cut.end < cut.start) cut.size = cut.baseline = 0;
    }
    mLine->height = 0;
    mLine->baseline = 0;
    for (const TTextRun& run : runs)
        AddRunToLine(*mLine, run);
    mRun.end = mRun.start - 1;
    mRun.x = x;
    mRun.tab = 0;
    mRunHasContent = false;
}

void TTextLayoutPass::AddRunToLine(TTextLine& line, const TTextRun& run) {
    line.height = std::max(line.height, run.size);
    line.baseline = std::max(line.baseline, run.baseline);
}

void TTextLayoutPass::CloseRun() {
    if (mRun.end == TTextRun::kOpen) mRun.end = mLength - 1;
    mRun.endX = QuarterToPixels(mState.penX);
    if (!mRunHasContent) mRun.size = mRun.baseline = 0;
    AddRunToLine(*mLine, mRun);
    mLine->runs.push_back(std::move(mRun));
}

void TTextLayoutPass::EndLine() {
    TTextLine& line = *mLine;
    line.height = SaturateToInt(static_cast<int64_t>(line.height) + mPad);
    int32_t alignment = mLineAlignment;
    if (alignment == TMarkupParser::kNoAlignment) {
        if ((mLayout.mFlags & TTextLayout::kHAlignCenter) != 0) {
            alignment = TMarkupParser::kAlignCenter;
        } else if ((mLayout.mFlags & TTextLayout::kHAlignRight) != 0) {
            alignment = TMarkupParser::kAlignRight;
        }
    }
    const int32_t width = QuarterToPixels(mState.penX);
    if (alignment == TMarkupParser::kAlignCenter) {
        line.anchorX = mLayout.mWidth / 2;
        line.offset = static_cast<float>(-width) * 0.5f;
    } else if (alignment == TMarkupParser::kAlignRight) {
        line.anchorX = SaturateToInt(static_cast<int64_t>(mLayout.mWidth) -
                                     RoundHalfAway(mState.rightMargin) - 1);
        line.offset = static_cast<float>(-width);
    } else {
        line.anchorX = SaturateToInt(RoundHalfAway(mState.leftMargin));
        line.offset = 0.0f;
    }
    line.offset += static_cast<float>(mState.firstShift / 4.0) + 0.5f;
    mTotalHeight += line.height;
    mLayout.mLines.push_back(std::move(mLine));
}

void TTextLayoutPass::PlaceVertically() {
    const int32_t total = SaturateToInt(mTotalHeight);
    mLayout.mTotalHeight = total;
    if ((mLayout.mFlags & TTextLayout::kVAlignCenter) != 0) {
        mLayout.mAnchor = mLayout.mHeight / 2;
        mLayout.mVerticalOffset = static_cast<float>(-total) * 0.5f;
    } else if ((mLayout.mFlags & TTextLayout::kVAlignBottom) != 0) {
        mLayout.mAnchor = mLayout.mHeight;
        mLayout.mVerticalOffset = static_cast<float>(-total);
    } else {
        mLayout.mAnchor = 0;
        mLayout.mVerticalOffset = 0.0f;
    }
}

void TTextLayout::Layout() {
    TTextLayoutPass(*this).Run();
}
