// The program's built-in font (DejaVu Sans in ASCII and Latin-1, made by the build) and the font
// cache's name for it.
#include "platform/font/builtinfont.h"

#include <gtest/gtest.h>

#include "foundation/file/fileindex.h"
#include "mvecwriter.h"
#include "platform/font/fontcache.h"
#include "platform/font/vecfont.h"
#include "support/logcapture.h"

namespace {

constexpr int kBuiltinGlyphs = 95 + 96;  // ASCII 32 to 126, Latin-1 160 to 255

TEST(BuiltinFont, LoadsWithEveryAsciiAndLatin1Glyph) {
    TVecFont font(std::vector<uint8_t>(kBuiltinVecFont, kBuiltinVecFont + kBuiltinVecFontSize));
    ASSERT_EQ(font.GetGlyphCount(), kBuiltinGlyphs);
    for (uint32_t code : {uint32_t{' '}, uint32_t{'W'}, uint32_t{'~'}, 0xA0u, 0xE9u, 0xFFu}) {
        EXPECT_GE(font.FindGlyph(code), 0) << code;
    }
    EXPECT_EQ(font.FindGlyph(0x7F), -1);
    EXPECT_EQ(font.FindGlyph(0x20AC), -1);  // the euro sign is the default font's, not this one's
    EXPECT_GT(font.GetAscent(), 30.0f);
    EXPECT_GT(font.GetDescent(), 5.0f);
    // Every glyph has an outline inside the data.
    for (int i = 0; i < font.GetGlyphCount(); ++i) EXPECT_NE(font.GetGlyphShape(i).bytes, nullptr);
}

class BuiltinFontCacheTest : public ::testing::Test {
protected:
    void TearDown() override { ClearFileIndex(); }
    testing_support::LogCapture mLog;
};

TEST_F(BuiltinFontCacheTest, TheDefaultNameAnswersACopyOfTheBuiltinFont) {
    // Even with a default font file present, "__DEFAULT" is the built-in one.
    testing_support::MvecGlyph g;
    g.code = 'd';
    g.outline = testing_support::OutlineWriter().Rect(0, -8, 8, 0).End().Bytes();
    std::vector<uint8_t> file = testing_support::WriteMvec({g});
    RegisterMemoryFile("fonts/default.mvec", file.data(), static_cast<uint32_t>(file.size()));

    TVecFontCache cache;
    TVecFont* font = cache.Get("__DEFAULT");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetGlyphCount(), kBuiltinGlyphs);
    EXPECT_EQ(cache.Get("__DEFAULT"), font);
    // A copy: the font owns its bytes, the constant data stays apart.
    const uint8_t* outline = font->GetGlyphShape(font->FindGlyph('W')).bytes;
    EXPECT_TRUE(outline < kBuiltinVecFont || outline >= kBuiltinVecFont + kBuiltinVecFontSize);
    // A missing named file still takes the default file first.
    EXPECT_EQ(cache.Get("fonts/missing.mvec")->FindGlyph('d'), 0);
    EXPECT_TRUE(mLog.Messages().empty());
}

TEST_F(BuiltinFontCacheTest, WithoutTheDefaultFileAMissingFontFallsBackToTheBuiltinOne) {
    TVecFontCache cache;
    TVecFont* font = cache.Get("fonts/title.mvec");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetGlyphCount(), kBuiltinGlyphs);
    // The default font's own name falls back the same way, each name with a font of its own.
    TVecFont* fallback = cache.Get("fonts/default.mvec");
    ASSERT_NE(fallback, nullptr);
    EXPECT_NE(fallback, font);
    EXPECT_EQ(fallback->GetGlyphCount(), kBuiltinGlyphs);
    EXPECT_TRUE(mLog.Messages().empty());
}

}  // namespace
