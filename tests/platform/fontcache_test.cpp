#include "platform/font/fontcache.h"

#include <gtest/gtest.h>

#include "foundation/file/fileindex.h"
#include "mvecwriter.h"
#include "platform/font/vecfont.h"
#include "support/logcapture.h"

namespace {

using testing_support::MvecGlyph;
using testing_support::OutlineWriter;
using testing_support::WriteMvec;

std::vector<uint8_t> FontWith(uint32_t code) {
    MvecGlyph g;
    g.code = code;
    g.top = -8;
    g.outline = OutlineWriter().Rect(0, -8, 8, 0).End().Bytes();
    return WriteMvec({g});
}

class FontCacheTest : public ::testing::Test {
protected:
    void TearDown() override { ClearFileIndex(); }
    testing_support::LogCapture mLog;
};

TEST_F(FontCacheTest, AFontIsReadOnceAndKeptByName) {
    std::vector<uint8_t> data = FontWith('a');
    RegisterMemoryFile("fonts/a.mvec", data.data(), static_cast<uint32_t>(data.size()));
    TVecFontCache cache;
    TVecFont* font = cache.Get("fonts/a.mvec");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->FindGlyph('a'), 0);
    // Gone from the files: the cache still answers the font it read.
    RegisterMemoryFile("fonts/a.mvec", nullptr, 0);
    EXPECT_EQ(cache.Get("fonts/a.mvec"), font);
    EXPECT_EQ(cache.GetSize(), 1u);
    EXPECT_TRUE(mLog.Messages().empty());
}

TEST_F(FontCacheTest, AMissingFileFallsBackToTheDefaultFont) {
    std::vector<uint8_t> fallback = FontWith('d');
    RegisterMemoryFile("fonts/default.mvec", fallback.data(),
                       static_cast<uint32_t>(fallback.size()));
    TVecFontCache cache;
    TVecFont* font = cache.Get("fonts/missing.mvec");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->FindGlyph('d'), 0);
    TVecFont* defaultFont = cache.Get("fonts/default.mvec");
    ASSERT_NE(defaultFont, nullptr);
    EXPECT_NE(defaultFont, font);  // each name holds a font of its own
    EXPECT_TRUE(mLog.Messages().empty());
}

TEST_F(FontCacheTest, WithNoFontFileAtAllTheBuiltinFontStandsIn) {
    TVecFontCache cache;
    TVecFont* font = cache.Get("fonts/none.mvec");
    ASSERT_NE(font, nullptr);
    EXPECT_GE(font->FindGlyph('W'), 0);
    EXPECT_EQ(cache.Get("fonts/none.mvec"), font);
    EXPECT_TRUE(mLog.Messages().empty());
    // A file of any other content still makes a font (an empty one).
    std::vector<uint8_t> junk = {'j', 'u', 'n', 'k'};
    RegisterMemoryFile("fonts/junk.mvec", junk.data(), 4);
    TVecFont* junkFont = cache.Get("fonts/junk.mvec");
    ASSERT_NE(junkFont, nullptr);
    EXPECT_EQ(junkFont->GetGlyphCount(), 0);
    cache.Clear();
    EXPECT_EQ(cache.GetSize(), 0u);
}

TEST_F(FontCacheTest, WithoutAnApplicationObjectThereIsNoCache) {
    EXPECT_EQ(GetVecFont("fonts/default.mvec"), nullptr);
    ClearVecFonts();
}

}  // namespace
