// The least text layout: what it keeps, when it reports a text change, and release.
#include "platform/text/textlayout.h"

#include <gtest/gtest.h>

#include "platform/text/textlayoutrecorder.h"

namespace {

TEST(TextLayoutTest, KeepsWhatItIsMadeWith) {
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

TEST(TextLayoutTest, TheRecorderSeesTextChangesAndReleases) {
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

}  // namespace
