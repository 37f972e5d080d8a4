// The text window: its font and label from the window table, the string table's labels, a window
// without a size, scrolling, links under the mouse, rotation, and the Lua label functions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "foundation/prefs/stringtable.h"
#include "support/logcapture.h"
#include "textfixture.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(TextWindowTest, FontDefaultsAndTheFontTable) {
    TText* plain = Make("Text{ name = 'plain', w = 100, h = 20, label = 'hi' }", "plain");
    ASSERT_NE(plain, nullptr);
    TTextLayout* layout = plain->GetLayout();
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->GetFontName(), str("__DEFAULT"));
    EXPECT_EQ(layout->GetFontSize(), 16);
    EXPECT_THAT(std::vector<float>(layout->GetColor(), layout->GetColor() + 4),
                ElementsAre(0.0f, 1.0f, 0.0f, 1.0f));
    EXPECT_EQ(plain->GetText(), str("hi"));
    EXPECT_STREQ(plain->GetClassName(), "TText");
    // The creator makes a text that pass 1 does not draw.
    EXPECT_EQ(plain->GetFlags() & TWindow::kDrawInPass1, 0u);
    EXPECT_NE(TText(true).GetFlags() & TWindow::kDrawInPass1, 0u);

    // A size of 0 is 12; a colour's missing components keep the default's.
    TText* zero = Make(
        "Text{ name = 'zero', w = 100, h = 20, padding = 3, flags = 5,\n"
        "  font = { 'fonts/mono.mvec', 0, { 1 } } }",
        "zero");
    ASSERT_NE(zero->GetLayout(), nullptr);
    EXPECT_EQ(zero->GetLayout()->GetFontName(), str("fonts/mono.mvec"));
    EXPECT_EQ(zero->GetLayout()->GetFontSize(), 12);
    EXPECT_THAT(
        std::vector<float>(zero->GetLayout()->GetColor(), zero->GetLayout()->GetColor() + 4),
        ElementsAre(1.0f, 1.0f, 0.0f, 1.0f));
    EXPECT_EQ(zero->GetLayout()->GetFlags(), 5u);
    EXPECT_EQ(zero->GetPadding(), 3);

    // Sizes are truncated; "flags" falls back to "defflags".
    TText* cut =
        Make("Text{ name = 'cut', w = 100, h = 20, defflags = 2, font = { nil, 18.9 } }", "cut");
    EXPECT_EQ(cut->GetLayout()->GetFontName(), str("__DEFAULT"));
    EXPECT_EQ(cut->GetLayout()->GetFontSize(), 18);
    EXPECT_EQ(cut->GetLayout()->GetFlags(), 2u);
}

TEST_F(TextWindowTest, LabelsComeFromTheStringTableInUtf8Mode) {
    std::string sheet = "<Row><Data>TITLE</Data><Data>The title</Data></Row>";
    mApp->GetStringTable()->LoadText(sheet.data(), sheet.size());
    const struct {
        const char* label;
        const char* utf8;
        const char* plain;
    } cases[] = {
        {"#Hello", "Hello", "#Hello"},
        {"12.5", "12.5", "12.5"},
        {"3", "3", "3"},
        {"TITLE", "The title", "TITLE"},
        {"MISSING", "#####", "MISSING"},
        {"", "", ""},
        {"#", "", "#"},
    };
    for (bool utf8 : {true, false}) {
        mManager->SetScriptUtf8(utf8);
        for (const auto& c : cases) {
            mDialog->DeleteChildren();
            mManager->DeleteQueued();
            std::string table =
                "Text{ name = 'label', w = 100, h = 20, label = '" + std::string(c.label) + "' }";
            TText* text = Make(table, "label");
            ASSERT_NE(text, nullptr);
            EXPECT_EQ(text->GetText(), str(utf8 ? c.utf8 : c.plain)) << c.label << " " << utf8;
        }
    }
}

TEST_F(TextWindowTest, AWindowWithoutASizeKeepsNoLayout) {
    testing_support::LogCapture log;
    TText* text = Make("Text{ name = 'flat', w = 100, label = 'words' }", "flat");
    ASSERT_NE(text, nullptr);
    EXPECT_THAT(log.Messages(),
                ElementsAre("ERROR: Attempting to create text window of size(0,0): named 'flat', "
                            "label 'words'"));
    EXPECT_EQ(text->GetLayout(), nullptr);
    text->SetText("other");
    EXPECT_EQ(text->GetText(), str());
    text->SetScroll(1.0f, 0);
    TRect bounds{1, 2, 3, 4};
    text->GetTextBounds(bounds);
    EXPECT_EQ(bounds, TRect{});
    EXPECT_FALSE(text->OnMouseDown({1, 1}));
    EXPECT_FALSE(text->OnMouseMove({1, 1}));
    EXPECT_FALSE(text->CreateLayout("x", 0, 10, 0, "__DEFAULT", 16, nullptr));
    text->Draw();
}

TEST_F(TextWindowTest, SetTextRedrawsOnlyWhenItReplacesSomething) {
    TText* text = Make("Text{ name = 't', w = 100, h = 20 }", "t");
    mManager->SetRedrawNeeded(false);
    text->SetText("first");
    EXPECT_FALSE(mManager->IsRedrawNeeded());
    text->SetText("second");
    EXPECT_TRUE(mManager->IsRedrawNeeded());
    mManager->SetRedrawNeeded(false);
    text->SetText("second");
    EXPECT_FALSE(mManager->IsRedrawNeeded());
    EXPECT_EQ(text->GetText(), str("second"));
}

TEST_F(TextWindowTest, ScrollingToTheEndShowsTheLastLinesThatFit) {
    // Ten lines of 20 pixels in a box of 85: the last four fit.
    TText* text = Make(
        "Text{ name = 't', w = 100, h = 85, font = { 'fonts/mono.mvec', 20 },\n"
        "  label = '0<br>1<br>2<br>3<br>4<br>5<br>6<br>7<br>8<br>9' }",
        "t");
    ASSERT_EQ(text->GetLayout()->GetLineCount(), 10);
    text->SetScroll(1.0f, 0);
    EXPECT_FLOAT_EQ(text->GetLayout()->GetScroll(), 6.5f);
    text->SetScroll(0.0f, 0);
    EXPECT_FLOAT_EQ(text->GetLayout()->GetScroll(), 0.0f);
    TRect bounds;
    text->GetTextBounds(bounds);
    EXPECT_GT(bounds.right, bounds.left);
}

// "ab cd ef": "ab" links to "one" (x 1 to 21), "ef" to "two" (x 61 to 81), "cd" is plain.
class TextLinkTest : public TextWindowTest {
protected:
    void SetUp() override {
        TextWindowTest::SetUp();
        mText = Make(
            "Text{ name = 'links', w = 200, h = 40, font = { 'fonts/mono.mvec', 20 },\n"
            "  label = \"<a id='one'>ab</a> cd <a id='two'>ef</a>\" }",
            "links");
        ASSERT_NE(mText, nullptr);
        mManager->SetRedrawNeeded(false);
    }
    // Whether the move asked for a redraw.
    bool MoveRedraws(TPoint point) {
        mManager->SetRedrawNeeded(false);
        mText->OnMouseMove(point);
        return mManager->IsRedrawNeeded();
    }

    TText* mText = nullptr;
};

TEST_F(TextLinkTest, MovingAcrossLinksRedrawsOncePerChange) {
    const struct {
        TPoint point;
        bool redraw;
    } moves[] = {
        {{35, 10}, false}, {{5, 10}, true},   {{15, 10}, false}, {{40, 10}, true},
        {{65, 10}, true},  {{75, 10}, false}, {{5, 10}, true},
    };
    for (const auto& m : moves)
        EXPECT_EQ(MoveRedraws(m.point), m.redraw) << m.point.x;
    EXPECT_THAT(mManager->GetTrackedWindows(), ElementsAre(mText));
    EXPECT_EQ(mText->GetLayout()->GetHoveredLink(), str("one"));
    EXPECT_TRUE(mText->OnMouseLeave());
    EXPECT_EQ(mText->GetLayout()->GetHoveredLink(), str());
    EXPECT_TRUE(mManager->IsRedrawNeeded());
    EXPECT_THAT(mManager->GetTrackedWindows(), IsEmpty());
}

TEST_F(TextLinkTest, PressesAreTakenOnlyOnLinks) {
    testing_support::LogCapture log;
    // Plain text: not taken, and a release then is not either.
    EXPECT_FALSE(mText->OnMouseDown({35, 10}));
    EXPECT_FALSE(mText->OnMouseUp({35, 10}));
    // A press on a link released on plain text presses nothing and clears the link.
    EXPECT_TRUE(mText->OnMouseDown({5, 10}));
    EXPECT_EQ(mText->GetCommand(), str("one"));
    EXPECT_TRUE(mText->OnMouseUp({35, 10}));
    EXPECT_EQ(mText->GetCommand(), str());
    EXPECT_THAT(log.Messages(), IsEmpty());
    // Released on the same link: the window of the name is looked up in the modal.
    EXPECT_TRUE(mText->OnMouseDown({65, 10}));
    EXPECT_TRUE(mText->OnMouseUp({70, 10}));
    Add(mDialog, {0, 100, 10, 110}, "one");
    EXPECT_TRUE(mText->OnMouseDown({5, 10}));
    EXPECT_TRUE(mText->OnMouseUp({5, 10}));
    EXPECT_EQ(mText->GetCommand(), str());
    EXPECT_THAT(log.Messages(),
                ElementsAre("ERROR: Command window two not found",
                            "ERROR: Command window one not a derived class of TButton"));
}

TEST_F(TextWindowTest, ALinkUnderNoModalLogsAndIsTaken) {
    testing_support::LogCapture log;
    TText text;
    ASSERT_TRUE(text.CreateLayout("<a id='go'>go</a>", 100, 20, 0, "fonts/mono.mvec", 20, nullptr));
    EXPECT_TRUE(text.OnMouseDown({3, 8}));
    EXPECT_TRUE(text.OnMouseUp({3, 8}));
    EXPECT_EQ(text.GetCommand(), str());
    EXPECT_THAT(log.Messages(), ElementsAre("ERROR: Command window go not found"));
}

TEST_F(TextWindowTest, RotationTurnsTheLayout) {
    TText* text = Make(
        "Text{ name = 'r', w = 100, h = 40, rotation = 90, label = 'x',\n"
        "  rotationOriginX = 80000, rotationOriginY = 10, rotationAlign = 1 }",
        "r");
    ASSERT_NE(text->GetLayout(), nullptr);
    EXPECT_NEAR(text->GetLayout()->GetSine(), 1.0f, 1e-6);
    EXPECT_NEAR(text->GetLayout()->GetCosine(), 0.0f, 1e-6);
    TText* flat = Make("Text{ name = 'f', w = 100, h = 40, label = 'x' }", "f");
    EXPECT_FLOAT_EQ(flat->GetLayout()->GetSine(), 0.0f);
}

TEST_F(TextWindowTest, LuaLabelFunctionsReachTexts) {
    Make("Text{ name = 'caption', w = 100, h = 20, label = 'old' }", "caption");
    EXPECT_EQ(Run("return GetLabel('caption')"), "old");
    EXPECT_EQ(Run("SetLabel('caption', 'new') return GetLabel('caption')"), "new");
    EXPECT_EQ(Run("SetLabel('nobody', 'x') return GetLabel('nobody')"), "nobody_is_not_found");
}

}  // namespace
}  // namespace uitest
