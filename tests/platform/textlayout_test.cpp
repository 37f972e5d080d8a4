// Laying text out against the monospace test font (textfixture.h): line breaking in both wrap
// modes, runs and their positions, alignment, fallback glyphs, the hit test, the bounds, and the
// setters that lay out again.
#include "platform/text/textlayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/drawstringat.h"
#include "platform/text/textlayoutrecorder.h"
#include "support/logcapture.h"
#include "textfixture.h"

namespace text_testing {
namespace {

using Lines = std::vector<std::string>;

TEST(TextLayoutAloneTest, KeepsWhatItIsMadeWith) {
    const float red[4] = {1, 0, 0, 1};
    TTextLayout* layout =
        TTextLayout::Create("hello", 512, 256, TTextLayout::kHAlignCenter, "arial", 16, red);
    EXPECT_EQ(layout->GetText(), str("hello"));
    EXPECT_EQ(layout->GetFontName(), str("arial"));
    EXPECT_EQ(layout->GetFontSize(), 16);
    EXPECT_EQ(layout->GetWidth(), 512);
    EXPECT_EQ(layout->GetHeight(), 256);
    EXPECT_EQ(layout->GetFlags(), 1u);
    TTextLayout::Delete(layout);
    // No font is the built-in one.
    for (const char* none : {static_cast<const char*>(nullptr), ""}) {
        layout = TTextLayout::Create("", 512, 512, 0, none, 16, nullptr);
        EXPECT_EQ(layout->GetFontName(), str("__DEFAULT"));
        TTextLayout::Delete(layout);
    }
}

TEST(TextLayoutAloneTest, TheRecorderSeesTextChangesAndReleases) {
    TRecordingTextLayouts recorder;
    TTextLayout* layout = TTextLayout::Create("a", 10, 10, 0, nullptr, 14, nullptr);
    layout->SetText("a");  // the same text: no change
    layout->SetText("b");
    TTextLayout::Delete(nullptr);
    TTextLayout::Delete(layout);
    ASSERT_EQ(recorder.mCreated.size(), 1u);
    EXPECT_EQ(recorder.mCreated[0], layout);
    ASSERT_EQ(recorder.mTexts.size(), 2u);
    EXPECT_EQ(recorder.mTexts[0].text, str("a"));
    EXPECT_EQ(recorder.mTexts[1].text, str("b"));
    EXPECT_EQ(recorder.mDeleted.size(), 1u);
    EXPECT_EQ(recorder.DeleteCount(layout), 1);
}

TEST(TextLayoutAloneTest, WithoutAnyFontTheTextTakesNoRoomAndSaysSo) {
    testing_support::LogCapture log;
    TTextLayout* layout = TTextLayout::Create("ab cd", 100, 100, 0, nullptr, 16, nullptr);
    ASSERT_EQ(layout->GetLineCount(), 1);
    EXPECT_EQ(layout->GetLines()[0]->runs[0].endX, 0);
    EXPECT_EQ(log.Messages(),
              (std::vector<std::string>{
                  "ERROR: FONT missing in text when attempting to render string ab cd."}));
    TTextLayout::Delete(layout);
}

class TextLayoutTest : public TextTest {};

TEST_F(TextLayoutTest, AnEmptyTextHasNoLinesAndBoundsAtTheAnchor) {
    const struct {
        uint32_t flags;
        int anchor;
    } rows[] = {{0, 0}, {TTextLayout::kVAlignCenter, 25}, {TTextLayout::kVAlignBottom, 50}};
    for (const auto& row : rows) {
        TTextLayout* layout = Make("", 100, 50, row.flags);
        EXPECT_EQ(layout->GetLineCount(), 0);
        TRect bounds;
        layout->GetBounds(bounds, 1.0f);
        EXPECT_EQ(bounds, (TRect{0, row.anchor, 0, row.anchor})) << row.flags;
    }
}

TEST_F(TextLayoutTest, RunsMeasureInQuarterPixelsAndKeepPixels) {
    TTextLayout* layout = Make("ab", 100);
    ASSERT_EQ(layout->GetLineCount(), 1);
    const TTextLine& line = Line(*layout, 0);
    EXPECT_EQ(line.height, kSize);
    EXPECT_EQ(line.baseline, 60);
    EXPECT_EQ(line.anchorX, 0);
    // The first glyph's pen move of one pixel, and half a pixel.
    EXPECT_EQ(line.offset, 1.5f);
    ASSERT_EQ(line.runs.size(), 1u);
    const TTextRun& run = line.runs[0];
    EXPECT_EQ(run.font, &Font());
    EXPECT_EQ(run.scale, 4.0f);
    EXPECT_EQ(run.size, kSize);
    EXPECT_EQ(run.start, 0);
    EXPECT_EQ(run.end, 1);
    EXPECT_EQ(run.x, 0);
    EXPECT_EQ(run.endX, 21);
    EXPECT_EQ(layout->GetTotalHeight(), kSize);
}

TEST_F(TextLayoutTest, AGlyphWhoseInkPassesItsAdvanceTakesRoomToItsInk) {
    // '~' reaches 14 pixels with an advance of 10: the next glyph gets the 4 back.
    EXPECT_EQ(Line(*Make("~", 100), 0).runs[0].endX, 15);
    EXPECT_EQ(Line(*Make("~a", 100), 0).runs[0].endX, 21);
}

TEST_F(TextLayoutTest, AWordWiderThanTheBoxBreaksBeforeTheCharacterThatOverflows) {
    EXPECT_EQ(LineTexts(*Make("abcdefg", 32)), (Lines{"abc", "def", "g"}));
    // A box narrower than one character: one character a line.
    EXPECT_EQ(LineTexts(*Make("abc", 5)), (Lines{"a", "b", "c"}));
    EXPECT_EQ(LineTexts(*Make("a b", 5)), (Lines{"a", "b"}));
    EXPECT_EQ(LineTexts(*Make("abc", -3)), (Lines{"a", "b", "c"}));
}

TEST_F(TextLayoutTest, ATextOnePixelTooWideBreaksAtTheBlankWhichNeitherLineShows) {
    EXPECT_EQ(LineTexts(*Make("a b", 32)), (Lines{"a b"}));
    TTextLayout* layout = Make("a b", 31);
    EXPECT_EQ(LineTexts(*layout), (Lines{"a", "b"}));
    EXPECT_EQ(Line(*layout, 0).runs[0].endX, 11);
    EXPECT_EQ(Line(*layout, 1).runs[0].start, 2);
    // A blank at the start of a line is no place to break.
    EXPECT_EQ(LineTexts(*Make(" abc", 32)), (Lines{" ab", "c"}));
}

TEST_F(TextLayoutTest, BreakingAtAnEarlierBlankDropsTheRunsAfterIt) {
    TTextLayout* layout = Make("ab <b>cd</b>ef gh", 62);
    EXPECT_EQ(LineTexts(*layout), (Lines{"ab", "cdef", "gh"}));
    const TTextLine& first = Line(*layout, 0);
    ASSERT_EQ(first.runs.size(), 2u);
    EXPECT_EQ(first.runs[0].end, 1);
    EXPECT_EQ(first.runs[0].endX, 21);
    // The run begun after the blank is left empty where the line ends.
    EXPECT_EQ(first.runs[1].end, first.runs[1].start - 1);
    EXPECT_EQ(first.runs[1].size, 0);
    EXPECT_TRUE(Line(*layout, 1).runs[1].bold);
}

TEST_F(TextLayoutTest, AFontTagAfterTheBreakingBlankCountsOnce) {
    TTextLayout* layout = Make("ab <font color='#ff0000'>cdefg</font> h", 52);
    ASSERT_EQ(LineTexts(*layout), (Lines{"ab", "cdefg", "h"}));
    auto runOf = [&](int line, char c) -> const TTextRun& {
        const std::string text = layout->GetText().c_str();
        for (const TTextRun& run : Line(*layout, line).runs) {
            if (run.end >= run.start && text[static_cast<size_t>(run.start)] == c) return run;
        }
        ADD_FAILURE() << "no run begins with " << c;
        return Line(*layout, line).runs.front();
    };
    EXPECT_EQ(runOf(1, 'c').color[1], 0.0f);  // red
    EXPECT_EQ(runOf(2, 'h').color[1], 1.0f);  // white again after the one "</font>"
}

TEST_F(TextLayoutTest, LineFeedsAndBreakTagsEndLines) {
    EXPECT_EQ(LineTexts(*Make("ab\n\ncd", 100)), (Lines{"ab", "", "cd"}));
    EXPECT_EQ(LineTexts(*Make("ab\n", 100)), (Lines{"ab"}));
    EXPECT_EQ(LineTexts(*Make("ab<BR>cd</p>e<p>f", 100)), (Lines{"ab", "cd", "ef"}));
    // An empty line of a line feed or a "br" is as high as the font.
    TTextLayout* layout = Make("a<br><br pad='10'>b\n\nc", 100);
    EXPECT_EQ(LineTexts(*layout), (Lines{"a", "", "b", "", "c"}));
    const int heights[] = {20, 30, 20, 20, 20};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Line(*layout, i).height, heights[i]) << i;
    EXPECT_EQ(layout->GetTotalHeight(), 110);
    // Runs of tags alone take no height.
    EXPECT_EQ(Line(*Make("<font size='50'><b></b></font>a", 100), 0).height, 20);
}

TEST_F(TextLayoutTest, ATabMovesThePenToItsPosition) {
    TTextLayout* layout = Make("a<tab pos='100'>b", 300);
    const TTextLine& line = Line(*layout, 0);
    ASSERT_EQ(line.runs.size(), 2u);
    EXPECT_EQ(line.runs[0].tab, 400);
    EXPECT_EQ(line.runs[0].endX, 100);
    EXPECT_EQ(line.runs[1].x, 100);
    EXPECT_EQ(line.runs[1].endX, 110);
}

TEST_F(TextLayoutTest, ItalicChangesMoveThePen) {
    // Entering italic: a third of the descent (4 × 4 / 3 quarter pixels); leaving: of the ascent.
    TTextLayout* layout = Make("a<i>b</i>c", 300);
    const TTextLine& line = Line(*layout, 0);
    ASSERT_EQ(line.runs.size(), 3u);
    EXPECT_TRUE(line.runs[1].italic);
    EXPECT_EQ(line.runs[1].x, 11);
    EXPECT_EQ(line.runs[1].endX, 22);  // 44 + 5.33 + 40
    EXPECT_EQ(line.runs[2].endX, 36);  // 89.33 + 16 + 40
    // A caret first in the italic run stands before the move.
    const TTextLine& caret = Line(*Make("a<i><cursor>b", 300), 0);
    ASSERT_EQ(caret.runs.size(), 3u);
    EXPECT_TRUE(caret.runs[1].cursor);
    EXPECT_EQ(caret.runs[1].endX, 11);
    EXPECT_EQ(caret.runs[2].endX, 21);
}

TEST_F(TextLayoutTest, FlagsAlignLinesAndTheText) {
    const struct {
        uint32_t flags;
        int anchorX;
        float offset;
        int anchor;
        float verticalOffset;
    } rows[] = {
        {0, 0, 1.5f, 0, 0.0f},
        {TTextLayout::kHAlignCenter, 50, -9.0f, 0, 0.0f},
        {TTextLayout::kHAlignRight, 99, -19.5f, 0, 0.0f},
        {TTextLayout::kHAlignCenter | TTextLayout::kHAlignRight, 50, -9.0f, 0, 0.0f},
        {TTextLayout::kVAlignCenter, 0, 1.5f, 50, -10.0f},
        {TTextLayout::kVAlignBottom, 0, 1.5f, 100, -20.0f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.flags);
        TTextLayout* layout = Make("ab", 100, 100, row.flags);
        EXPECT_EQ(Line(*layout, 0).anchorX, row.anchorX);
        EXPECT_EQ(Line(*layout, 0).offset, row.offset);
        EXPECT_EQ(layout->GetAnchor(), row.anchor);
        EXPECT_EQ(layout->GetVerticalOffset(), row.verticalOffset);
    }
}

TEST_F(TextLayoutTest, AnOutlineKeepsItsMarginFromTheBoxEdges) {
    EXPECT_EQ(Line(*Make("<outline size='3'>ab", 100, 100, TTextLayout::kHAlignRight), 0).anchorX,
              96);
    EXPECT_EQ(Line(*Make("<outline size='3'>ab", 100), 0).anchorX, 3);
    // The margins count in the width: 2 glyphs + 7 pixels.
    EXPECT_EQ(LineTexts(*Make("<outline size='3'>abc", 37)), (Lines{"ab", "c"}));
}

TEST_F(TextLayoutTest, AnAlignmentTagEndsTheLineAndAlignsTheNextOnes) {
    TTextLayout* layout = Make("ab<center>cd<br>e</center>fg<right>h", 100);
    EXPECT_EQ(LineTexts(*layout), (Lines{"ab", "cd", "e", "fg", "h"}));
    EXPECT_EQ(Line(*layout, 0).anchorX, 0);
    EXPECT_EQ(Line(*layout, 1).anchorX, 50);
    EXPECT_EQ(Line(*layout, 1).offset, -9.0f);
    EXPECT_EQ(Line(*layout, 2).anchorX, 50);
    EXPECT_EQ(Line(*layout, 3).anchorX, 0);
    EXPECT_EQ(Line(*layout, 4).anchorX, 99);
    // Markup's alignment wins over the flags.
    EXPECT_EQ(Line(*Make("<left>a<br>b", 100, 100, TTextLayout::kHAlignRight), 1).anchorX, 0);
}

TEST_F(TextLayoutTest, AMissingGlyphIsDrawnFromTheDefaultFontAndTheStyleFontComesBack) {
    UseFallbackFont();
    TTextLayout* layout = Make(
        "a\xC3\xA9"
        "b",
        200);
    TVecFont* fallback = GetVecFont(TVecFontCache::kDefaultFontName);
    const TTextLine& line = Line(*layout, 0);
    ASSERT_EQ(line.runs.size(), 3u);
    // The first run ends with the character its font lacks; the fallback run draws it.
    EXPECT_EQ(line.runs[0].font, &Font());
    EXPECT_EQ(line.runs[0].end, 1);
    EXPECT_EQ(line.runs[0].endX, 11);
    EXPECT_EQ(line.runs[1].font, fallback);
    EXPECT_EQ(line.runs[1].styleFont, &Font());
    EXPECT_EQ(line.runs[1].start, 1);
    EXPECT_EQ(line.runs[1].endX, 31);
    EXPECT_EQ(line.runs[2].font, &Font());
    EXPECT_EQ(line.runs[2].styleFont, nullptr);
    EXPECT_EQ(line.runs[2].start, 3);
    EXPECT_EQ(line.runs[2].endX, 41);

    DrawStringAt(layout, TRect{0, 0, 200, 100}, 1.0f, 0, 1.0f);
    EXPECT_EQ(mDrawer->Codes(Font()), (std::vector<uint32_t>{'a', 'b'}));
    EXPECT_EQ(mDrawer->Codes(*fallback), (std::vector<uint32_t>{0xE9}));
    // A character neither font has takes no room.
    EXPECT_EQ(Line(*Make("a\xE2\x82\xAC"
                         "b",
                         200),
                   0)
                  .runs.back()
                  .endX,
              21);
}

TEST_F(TextLayoutTest, BackslashesAndBrokenTagsAreShownAsText) {
    auto drawn = [&](const char* text) {
        mDrawer->Clear();
        DrawStringAt(Make(text, 2000), TRect{0, 0, 2000, 100}, 1.0f, 0, 1.0f);
        std::vector<uint32_t> codes = mDrawer->Codes(Font());
        return std::string(codes.begin(), codes.end());
    };
    EXPECT_EQ(drawn("\\<b>x"), "<b>x");
    EXPECT_EQ(drawn("a\\\\b"), "a\\b");
    // A backslash that ends the text is itself shown.
    EXPECT_EQ(drawn("ab\\"), "ab\\");
    EXPECT_EQ(drawn("a<b"), "a<b");
    // The rest of a tag cut at 128 characters is text: 199 - 127 characters and the ">".
    EXPECT_EQ(drawn(("<" + std::string(199, 'x') + ">").c_str()), std::string(72, 'x') + ">");
    // A character whose lead byte promises more than the text holds.
    EXPECT_EQ(drawn("ab\xE2"), "ab");
    EXPECT_EQ(drawn("ab\xF0\x9F"), "ab");
}

TEST_F(TextLayoutTest, UntrustedSizesAndPositionsStayInRange) {
    TTextLayout* huge = Make("<font size='99999999'>ab</font>c<tab pos='999999999'>d", 2000000);
    const TTextLine& line = Line(*huge, 0);
    EXPECT_EQ(line.height, TTextLayout::kLargestFontSize);
    EXPECT_EQ(line.runs[1].size, TTextLayout::kLargestFontSize);
    EXPECT_EQ(line.runs.back().x, TMarkupParser::kNumberLimit);
    TTextLayout* layout = Make("abc def", 100);
    layout->SetFontSize(INT32_MAX);
    EXPECT_EQ(Line(*layout, 0).height, TTextLayout::kLargestFontSize);
    layout->SetFontSize(-40);
    layout->SetFontSize(0);
    EXPECT_EQ(LineTexts(*layout), (Lines{"abc def"}));
}

TEST_F(TextLayoutTest, LinksAreFoundUnderThePoint) {
    TTextLayout* layout = Make("ab <a id='go' color='00ff00'>cd</a> ef<br><a id='next'>gh", 300);
    const struct {
        TPoint point;
        int padding;
        const char* link;
    } rows[] = {
        {{33, 5}, 0, "go"},    {{52, 19}, 0, "go"}, {{31, 5}, 0, ""},      {{53, 5}, 0, ""},
        {{33, 20}, 0, ""},     {{33, -1}, 0, ""},   {{10, 25}, 0, "next"}, {{10, 41}, 0, ""},
        {{10, 22}, 5, "next"}, {{33, -5}, 5, "go"}, {{10, 25}, 5, "next"}, {{400, 5}, 0, ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(layout->GetLinkAt(row.point, row.padding), str(row.link))
            << row.point.x << "," << row.point.y << " padding " << row.padding;
    }
    // From the first line shown.
    layout->SetScroll(1.0f);
    EXPECT_EQ(layout->GetLinkAt({10, 5}, 0), str("next"));
}

TEST_F(TextLayoutTest, TheHoveredLinkAndTheScrollSurviveANewLayout) {
    TTextLayout* layout = Make("<a id='go'>ab</a> cd", 300);
    const TPoint onLink{5, 5};
    const TPoint offLink{40, 5};
    EXPECT_TRUE(layout->SetHoverPoint(&onLink, 0));
    EXPECT_FALSE(layout->SetHoverPoint(&onLink, 0));
    EXPECT_EQ(layout->GetHoveredLink(), str("go"));
    layout->SetScroll(0.5f);
    layout->SetText("<a id='go'>ab</a> cd ef");
    EXPECT_EQ(layout->GetHoveredLink(), str("go"));
    EXPECT_EQ(layout->GetScroll(), 0.5f);
    EXPECT_TRUE(layout->SetHoverPoint(&offLink, 0));
    EXPECT_EQ(layout->GetHoveredLink(), str(""));
    EXPECT_TRUE(layout->SetHoverPoint(&onLink, 0));
    EXPECT_TRUE(layout->SetHoverPoint(nullptr, 0));
    EXPECT_EQ(layout->GetHoveredLink(), str(""));
}

TEST_F(TextLayoutTest, OverflowLinesCountFromTheEnd) {
    TTextLayout* layout = Make("a<br>b<br>c<br>d<br>e", 100, 50);
    EXPECT_EQ(layout->GetOverflowLines(1.0f, 0), 3);
    EXPECT_EQ(layout->GetOverflowLines(2.0f, 0), 4);
    EXPECT_EQ(layout->GetOverflowLines(1.0f, 5), 3);
    EXPECT_EQ(layout->GetOverflowLines(0.5f, 0), 0);  // 50 exactly fits
    EXPECT_EQ(Make("", 100, 50)->GetOverflowLines(1.0f, 0), 0);
}

TEST_F(TextLayoutTest, BoundsAtScalesOneAndTwo) {
    const struct {
        const char* text;
        uint32_t flags;
        float scale;
        float scroll;
        TRect bounds;
    } rows[] = {
        {"ab", 0, 1.0f, 0.0f, {1, 0, 22, 20}},
        {"ab", 0, 2.0f, 0.0f, {3, 0, 45, 40}},
        {"ab", TTextLayout::kVAlignCenter, 1.0f, 0.0f, {1, 40, 22, 60}},
        {"ab", TTextLayout::kVAlignCenter, 2.0f, 0.0f, {3, 30, 45, 70}},
        {"ab", TTextLayout::kHAlignCenter, 1.0f, 0.0f, {41, 0, 62, 20}},
        {"ab", TTextLayout::kHAlignCenter, 2.0f, 0.0f, {32, 0, 74, 40}},
        {"abcd<br>a", 0, 1.0f, 0.0f, {1, 0, 42, 40}},
        // From the first line shown; top and bottom still from the whole text.
        {"abcd<br>a", 0, 1.0f, 1.0f, {1, 0, 12, 40}},
    };
    for (const auto& row : rows) {
        TTextLayout* layout = Make(row.text, 100, 100, row.flags);
        layout->SetScroll(row.scroll);
        TRect bounds;
        layout->GetBounds(bounds, row.scale);
        EXPECT_EQ(bounds, row.bounds)
            << row.text << " flags " << row.flags << " scale " << row.scale << ": " << bounds.left
            << "," << bounds.top << "," << bounds.right << "," << bounds.bottom;
    }
}

TEST_F(TextLayoutTest, SettersLayOutAgainOnlyOnAChange) {
    TTextLayout* layout = Make("ab", 100);
    const std::shared_ptr<TTextLine> before = layout->GetLines().at(0);
    layout->SetText("ab");
    layout->SetFont(kMono);
    layout->SetFontSize(kSize);
    layout->SetRotation(0.0f, 0, 0);
    EXPECT_EQ(layout->GetLines().at(0), before);
    layout->SetFontSize(10);
    EXPECT_EQ(Line(*layout, 0).height, 10);
    EXPECT_EQ(Line(*layout, 0).runs[0].scale, 2.0f);
    layout->SetFont(nullptr);
    EXPECT_EQ(layout->GetFontName(), str("__DEFAULT"));
    EXPECT_NE(Line(*layout, 0).runs[0].font, &Font());
    layout->SetFont("");
    EXPECT_EQ(layout->GetFontName(), str("__DEFAULT"));
}

TEST_F(TextLayoutTest, ATurnWithinATenThousandthOfNoneIsNone) {
    TTextLayout* layout = Make("ab", 100);
    layout->SetRotation(0.005f, 3, 4);
    EXPECT_EQ(layout->GetCosine(), 1.0f);
    EXPECT_EQ(layout->GetSine(), 0.0f);
    layout->SetRotation(0.01f, 3, 4);
    EXPECT_NE(layout->GetSine(), 0.0f);
    layout->SetRotation(90.0f, 0, 0);
    EXPECT_NEAR(layout->GetCosine(), 0.0f, 1e-6f);
    EXPECT_EQ(layout->GetSine(), 1.0f);
}

TEST_F(TextLayoutTest, TheSpriteTextModeIsReadWhenTheLayoutIsMade) {
    TTextLayout* plain = Make("a", 100);
    TPlatform::SetConfig("textspriterender", "2");
    TTextLayout* sprite = Make("a", 100);
    TPlatform::SetConfig("textspriterender", "0");
    EXPECT_FALSE(plain->IsSpriteTextMode());
    EXPECT_TRUE(sprite->IsSpriteTextMode());
    EXPECT_FALSE(Make("a", 100)->IsSpriteTextMode());
}

// The legacy mode stays on for the rest of the process once set: this test comes last (CTest runs
// each test alone anyway).
TEST_F(TextLayoutTest, InTheLegacyModeTheOverflowingCharacterEndsItsLine) {
    TPlatform::SetConfig("legacylinewrap", "0");
    ASSERT_TRUE(IsLegacyLineWrap());
    EXPECT_EQ(LineTexts(*Make("abcdefg", 32)), (Lines{"abcd", "efg"}));
    EXPECT_EQ(LineTexts(*Make("abc", 5)), (Lines{"a", "b", "c"}));
    // Blanks still break first.
    EXPECT_EQ(LineTexts(*Make("ab cdef", 32)), (Lines{"ab", "cdef"}));
}

}  // namespace
}  // namespace text_testing
