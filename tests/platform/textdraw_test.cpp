// Drawing laid-out text into a recording glyph drawer: where each run begins, the glyph offsets
// and scales, the shade slots and stroke widths of bold and outlined text, the caret and the
// underline as rectangle outlines, rotation, the embedded display scale, scrolling, the lines
// left out, the sprite-text mode, and one flush per draw.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/text/drawstringat.h"
#include "platform/texture/texture.h"
#include "textfixture.h"

namespace text_testing {
namespace {

using testing_support::OutlineWriter;
using Drawn = testing_support::TRecordingVecDraw::Drawn;

constexpr uint32_t kWhite = 0xFFFFFFFFu;

class TextDrawTest : public TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        TRenderer::GetInstance()->SetSink(&mSink);
    }
    void TearDown() override {
        TRenderer::DestroyInstance();
        TextTest::TearDown();
    }

    // Draws the layout with its box's top-left at (10, 20).
    void Draw(TTextLayout* layout, float scale = 1.0f, int boxHeight = 100, uint32_t padding = 0,
              float opacity = 1.0f) {
        mDrawer->Clear();
        DrawStringAt(layout, TRect{10, 20, 110, 20 + boxHeight}, scale, padding, opacity);
    }
    std::string Codes() const {
        std::vector<uint32_t> codes = mDrawer->Codes(Font());
        return std::string(codes.begin(), codes.end());
    }
    // The glyphs and rectangles drawn, as "x,y" offsets.
    std::vector<std::string> Offsets() const {
        std::vector<std::string> offsets;
        for (const Drawn& drawn : mDrawer->mDrawn)
            offsets.push_back(std::to_string(drawn.x) + "," + std::to_string(drawn.y));
        return offsets;
    }
    static std::vector<uint8_t> Rectangle(double left, double top, double right, double bottom) {
        return OutlineWriter().Rect(left, top, right, bottom).End().Bytes();
    }

    TRecordingRenderSink mSink;
};

TEST_F(TextDrawTest, EachRunBeginsAtItsLineStartAndBaselineAndGlyphsFollowThePen) {
    TTextLayout* layout = Make("ab<b>c", 100);
    Draw(layout, 1.0f, 100, 0, 0.5f);
    ASSERT_EQ(mDrawer->mBegins.size(), 2u);
    for (const auto& begun : mDrawer->mBegins) {
        // The line start 1.5 pixels in, the baseline 60 quarter pixels down.
        EXPECT_EQ(begun.x, 11.5f);
        EXPECT_EQ(begun.y, 35.0f);
        EXPECT_EQ(begun.target, nullptr);
    }
    EXPECT_EQ(Codes(), "abc");
    EXPECT_EQ(Offsets(), (std::vector<std::string>{"0,0", "40,0", "80,0"}));
    for (const Drawn& drawn : mDrawer->mDrawn) {
        EXPECT_EQ(drawn.scaleX, 4.0f);
        EXPECT_EQ(drawn.scaleY, 4.0f);
        EXPECT_EQ(drawn.fill, kWhite);
        EXPECT_EQ(drawn.fillFactor, 0.5f);
        EXPECT_EQ(drawn.cosine, 1.0f);
        EXPECT_EQ(drawn.sine, 0.0f);
        EXPECT_FALSE(drawn.slant);
        EXPECT_EQ(drawn.blend, 0);
        EXPECT_EQ(drawn.replace, 0);
    }
    EXPECT_EQ(mDrawer->mDrawn[1].strokes[0], 0.0f);
    // Bold: a stroke of size × scale × 0.0125 in the fill colour, slot 255.
    EXPECT_EQ(mDrawer->mDrawn[2].strokes[0], 0.25f);
    EXPECT_EQ(mDrawer->mDrawn[2].strokes[1], 0.0f);
    EXPECT_EQ(mDrawer->mDrawn[2].stroke0, kWhite);
    EXPECT_EQ(mDrawer->mFlushes, 1);
}

TEST_F(TextDrawTest, AnOutlineTakesTheFirstStrokeAndBoldTheNext) {
    const struct {
        const char* text;
        float strokes[2];
        uint32_t stroke0, stroke1;
    } rows[] = {
        {"<outline color='0000ff' size='3'>a", {3.0f, 0.0f}, 0xFF0000FFu, 0},
        {"<outline color='0000ff' size='3'><b>a", {3.25f, 0.25f}, 0xFF0000FFu, kWhite},
        {"<b><font color='#ff0000'>a", {0.25f, 0.0f}, 0xFFFF0000u, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        Draw(Make(row.text, 100));
        ASSERT_EQ(mDrawer->mDrawn.size(), 1u);
        const Drawn& drawn = mDrawer->mDrawn[0];
        EXPECT_EQ(drawn.strokes[0], row.strokes[0]);
        EXPECT_EQ(drawn.strokes[1], row.strokes[1]);
        EXPECT_EQ(drawn.stroke0, row.stroke0);
        if (row.stroke1 != 0) {
            EXPECT_EQ(drawn.stroke1, row.stroke1);
        }
    }
}

TEST_F(TextDrawTest, TheCaretAndTheUnderlineAreRectangleOutlines) {
    Draw(Make("ab<cursor>", 100));
    ASSERT_EQ(mDrawer->mDrawn.size(), 3u);
    const Drawn& caret = mDrawer->mDrawn[2];
    // 3 quarter pixels wide, from the ascent above the baseline to the descent below it.
    EXPECT_EQ(caret.fontSerial, 0u);
    EXPECT_EQ(caret.bytes, Rectangle(0, -12, 3, 4));
    EXPECT_EQ(caret.x, 80);
    EXPECT_EQ(caret.y, 0);
    EXPECT_EQ(caret.scaleX, 1.0f);
    EXPECT_EQ(caret.scaleY, 4.0f);

    Draw(Make("x<i><u>ab</u></i>c", 200));
    ASSERT_EQ(mDrawer->mDrawn.size(), 5u);
    const Drawn& underline = mDrawer->mDrawn[3];
    EXPECT_EQ(underline.fontSerial, 0u);
    EXPECT_EQ(underline.bytes, Rectangle(0, 8, 1, 11));
    // From where the run's glyphs begin (after the italic move), across their advances.
    EXPECT_EQ(underline.x, mDrawer->mDrawn[1].x);
    EXPECT_EQ(underline.x, 45);
    EXPECT_EQ(underline.scaleX, 80.0f);
    EXPECT_EQ(underline.scaleY, 1.0f);
    EXPECT_FALSE(underline.slant);
    EXPECT_EQ(underline.strokes[0], 0.0f);
    EXPECT_TRUE(mDrawer->mDrawn[2].slant);
    // Leaving italic moves the pen by a third of the ascent: 40 + 5.33 + 80 + 16.
    EXPECT_EQ(mDrawer->mDrawn[4].x, 141);
}

TEST_F(TextDrawTest, ATabSetsThePenAndScalesWithTheText) {
    Draw(Make("a<tab pos='50'>b", 300));
    EXPECT_EQ(Offsets(), (std::vector<std::string>{"0,0", "200,0"}));
    Draw(Make("a<tab pos='50'>b", 300), 2.0f);
    EXPECT_EQ(Offsets(), (std::vector<std::string>{"0,0", "400,0"}));
}

TEST_F(TextDrawTest, ARotationTurnsTheRunOriginAndThePen) {
    TTextLayout* layout = Make("ab", 100);
    layout->SetRotation(90.0f, 0, 0);
    Draw(layout);
    ASSERT_EQ(mDrawer->mBegins.size(), 1u);
    // (1.5, 15) turned a quarter about (0, 0) is (-15, 1.5).
    EXPECT_NEAR(mDrawer->mBegins[0].x, 10.0f - 15.0f, 1e-4f);
    EXPECT_NEAR(mDrawer->mBegins[0].y, 20.0f + 1.5f, 1e-4f);
    EXPECT_EQ(Offsets(), (std::vector<std::string>{"0,0", "0,40"}));
    EXPECT_EQ(mDrawer->mDrawn[0].sine, 1.0f);
    EXPECT_NEAR(mDrawer->mDrawn[0].cosine, 0.0f, 1e-6f);
    // About another origin.
    layout->SetRotation(90.0f, 10, 5);
    Draw(layout);
    EXPECT_NEAR(mDrawer->mBegins[0].x, 10.0f + 10.0f - 10.0f, 1e-4f);
    EXPECT_NEAR(mDrawer->mBegins[0].y, 20.0f + 5.0f - 8.5f, 1e-4f);
}

TEST_F(TextDrawTest, EmbeddedInAHostTheDisplayScaleScalesEverything) {
    TWin32Platform* platform = mApp->GetPlatform();
    platform->SetEmbedded(true);
    platform->SetScale(1.5f, 1.5f);
    Draw(Make("a<b>b", 100));
    ASSERT_EQ(mDrawer->mBegins.size(), 2u);
    // The origin scaled and rounded (15, 30), the rest scaled: (1.5, 15) × 1.5.
    EXPECT_EQ(mDrawer->mBegins[0].x, 17.25f);
    EXPECT_EQ(mDrawer->mBegins[0].y, 52.5f);
    EXPECT_EQ(Offsets(), (std::vector<std::string>{"0,0", "60,0"}));
    EXPECT_EQ(mDrawer->mDrawn[1].scaleX, 6.0f);
    EXPECT_EQ(mDrawer->mDrawn[1].strokes[0], 0.375f);
    // An italic change moves the pen by the caller's scale alone: 60 + 4 × 4 × 1 / 3.
    Draw(Make("x<i>a", 100));
    EXPECT_EQ(Offsets(), (std::vector<std::string>{"0,0", "65,0"}));
    // Into a target the display scale plays no part.
    std::shared_ptr<TTexture> target = TTexture::Create(64, 64, true);
    ASSERT_NE(target, nullptr);
    mDrawer->Clear();
    DrawStringAt(Make("a", 100), TRect{10, 20, 110, 120}, 1.0f, 0, 1.0f, target);
    ASSERT_EQ(mDrawer->mBegins.size(), 1u);
    EXPECT_EQ(mDrawer->mBegins[0].x, 11.5f);
    EXPECT_EQ(mDrawer->mBegins[0].target, target.get());
    EXPECT_EQ(mDrawer->mDrawn[0].scaleX, 4.0f);
}

TEST_F(TextDrawTest, TheViewportMovesScreenTextButNotTargetText) {
    TRenderer::GetInstance()->SetViewport(TRect{5, 7, 300, 300});
    Draw(Make("a", 100));
    ASSERT_EQ(mDrawer->mBegins.size(), 1u);
    EXPECT_EQ(mDrawer->mBegins[0].x, 16.5f);
    EXPECT_EQ(mDrawer->mBegins[0].y, 42.0f);
}

TEST_F(TextDrawTest, ANegativeScaleOrARefusedBeginDrawsNothing) {
    TTextLayout* layout = Make("ab", 100);
    Draw(layout, -1.0f);
    EXPECT_TRUE(mDrawer->mBegins.empty());
    EXPECT_TRUE(mDrawer->mDrawn.empty());
    EXPECT_EQ(mDrawer->mFlushes, 0);
    mDrawer->mRefuseBegin = true;
    Draw(Make("ab<b>cd", 100));
    EXPECT_EQ(mDrawer->mBegins.size(), 2u);
    EXPECT_TRUE(mDrawer->mDrawn.empty());
    EXPECT_EQ(mDrawer->mFlushes, 1);
}

TEST_F(TextDrawTest, AScaleOfZeroIsNoNegativeOneAndDrawsAtNoSize) {
    Draw(Make("ab", 100), 0.0f);
    ASSERT_EQ(mDrawer->mBegins.size(), 1u);
    EXPECT_EQ(mDrawer->mBegins[0].x, 10.0f);
    EXPECT_EQ(mDrawer->mBegins[0].y, 20.0f);
    EXPECT_EQ(Codes(), "ab");
    EXPECT_EQ(mDrawer->mDrawn[1].scaleX, 0.0f);
    EXPECT_EQ(mDrawer->mFlushes, 1);
}

TEST_F(TextDrawTest, LinesOutsideTheBoxAreLeftOut) {
    Draw(Make("a<br>b<br>c", 100), 1.0f, 45);
    EXPECT_EQ(Codes(), "ab");
    // Aligned to the bottom of a box of 30: the first line's bottom lies above the box.
    Draw(Make("a<br>b<br>c", 100, 30, TTextLayout::kVAlignBottom), 1.0f, 30);
    EXPECT_EQ(Codes(), "bc");
    // Padding between lines.
    Draw(Make("a<br>b<br>c", 100), 1.0f, 45, 5);
    EXPECT_EQ(Codes(), "ab");
    EXPECT_EQ(mDrawer->mBegins[1].y, 35.0f + 25.0f);
}

TEST_F(TextDrawTest, AScrollOfOneAndAHalfStartsAtTheSecondLineHalfALineUp) {
    TTextLayout* layout = Make("a<br>b<br>c", 100);
    layout->SetScroll(1.5f);
    Draw(layout);
    EXPECT_EQ(Codes(), "bc");
    ASSERT_EQ(mDrawer->mBegins.size(), 2u);
    EXPECT_EQ(mDrawer->mBegins[0].y, 20.0f + 15.0f - 10.0f);
    EXPECT_EQ(mDrawer->mBegins[1].y, 20.0f + 35.0f - 10.0f);
}

TEST_F(TextDrawTest, AHoveredLinkIsDrawnInItsLinkColour) {
    TTextLayout* layout = Make("x<a id='go' color='00ff00'>cd</a>", 100);
    const TPoint onLink{15, 5};
    ASSERT_TRUE(layout->SetHoverPoint(&onLink, 0));
    Draw(layout);
    ASSERT_EQ(mDrawer->mDrawn.size(), 3u);
    EXPECT_EQ(mDrawer->mDrawn[0].fill, kWhite);
    EXPECT_EQ(mDrawer->mDrawn[1].fill, 0xFF00FF00u);
    EXPECT_EQ(mDrawer->mDrawn[2].fill, 0xFF00FF00u);
    ASSERT_TRUE(layout->SetHoverPoint(nullptr, 0));
    Draw(layout);
    EXPECT_EQ(mDrawer->mDrawn[1].fill, kWhite);
}

TEST_F(TextDrawTest, TheSpriteTextModePlacesLinesFromTheAnchorOverTheScale) {
    TTextLayout* plain = Make("a<br>b", 100, 100, TTextLayout::kVAlignCenter);
    TPlatform::SetConfig("textspriterender", "1");
    TTextLayout* sprite = Make("a<br>b", 100, 100, TTextLayout::kVAlignCenter);
    // Anchor 50, offset -20, at scale 2. Plain: top = -20 × 2 + 50 = 10, baseline (15 + 10) × 2.
    // Sprite: top = 50 ÷ 2 - 20 = 5, baseline (15 + 5) × 2.
    Draw(plain, 2.0f, 200);
    ASSERT_EQ(mDrawer->mBegins.size(), 2u);
    EXPECT_EQ(mDrawer->mBegins[0].x, 13.0f);
    EXPECT_EQ(mDrawer->mBegins[0].y, 20.0f + 50.0f);
    EXPECT_EQ(mDrawer->mBegins[1].y, 20.0f + 90.0f);
    Draw(sprite, 2.0f, 200);
    ASSERT_EQ(mDrawer->mBegins.size(), 2u);
    EXPECT_EQ(mDrawer->mBegins[0].y, 20.0f + 40.0f);
    EXPECT_EQ(mDrawer->mBegins[1].y, 20.0f + 80.0f);
    // Sprite lines are left out by the font size: (20 + 25) × 2 = 90 > 80.
    Draw(sprite, 2.0f, 80);
    EXPECT_EQ(Codes(), "a");
}

TEST_F(TextDrawTest, AnUnchangedTextIsNotLaidOutAgainToBeDrawn) {
    TTextLayout* layout = Make("ab cd", 100);
    const std::shared_ptr<TTextLine> line = layout->GetLines().at(0);
    for (int frame = 0; frame < 3; ++frame) {
        layout->SetText("ab cd");
        Draw(layout);
    }
    EXPECT_EQ(layout->GetLines().at(0), line);
    EXPECT_EQ(Codes(), "ab cd");
}

}  // namespace
}  // namespace text_testing
