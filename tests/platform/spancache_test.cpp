// The glyph drawer's span cache: what replays, what is rasterised anew, and its bounds.
#include "platform/draw/spancache.h"

#include <gtest/gtest.h>

#include "platform/font/vecfont.h"
#include "vecdrawfixture.h"

namespace {

using testing_support::MvecGlyph;
using testing_support::OutlineWriter;
using testing_support::WriteMvec;

std::unique_ptr<TVecFont> SquareFont(double size) {
    MvecGlyph g;
    g.code = 'W';
    g.top = -size;
    g.advance = size;
    g.outline = OutlineWriter().Rect(0, -size, size, 0).End().Bytes();
    return std::make_unique<TVecFont>(WriteMvec({g}));
}

TEST_F(VecDrawTest, TheSameGlyphReplaysInAnyColourAndAnotherPhaseRasterisesAnew) {
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);
    std::unique_ptr<TVecFont> font = SquareFont(6);
    const TGlyphOutline glyph = font->GetGlyphShape(font->FindGlyph('W'));

    mDraw->Begin(10, 10);
    mDraw->DrawString(glyph, 0, 0);
    CoverageMap first = Drawn();
    EXPECT_EQ(mDraw->GetCache().GetRecordCount(), 1u);
    EXPECT_EQ(mDraw->GetStats().rasterised, 1u);

    // Elsewhere at the same phase, in another colour: replayed, moved, in the new colour.
    mDraw->SetShadeColors(1, 0xFF000000u | kStroke1, 1.0f);
    mDraw->Begin(30, 12);
    mDraw->DrawString(glyph, 0, 0);
    CoverageMap second = Drawn();
    EXPECT_EQ(mDraw->GetStats().replayed, 1u);
    EXPECT_EQ(mDraw->GetCache().GetRecordCount(), 1u);
    CoverageMap moved;
    for (const auto& [pixel, colors] : first) {
        moved[{pixel.first + 20, pixel.second + 2}][kStroke1] = colors.at(kFill);
    }
    EXPECT_EQ(second, moved);

    // Another phase, another transform, another stroke: each rasterised once more.
    mDraw->Begin(10.25f, 10);
    mDraw->DrawString(glyph, 0, 0);
    mDraw->Begin(10, 10);
    mDraw->DrawString(glyph, 0, 2);
    mDraw->SetScale(4.0f, 4.5f);
    mDraw->DrawString(glyph, 0, 0);
    mDraw->SetRotation(0.5f, 0.8660254f);
    mDraw->DrawString(glyph, 0, 0);
    mDraw->SetStrokeWidths(1.0f, 0.0f);
    mDraw->DrawString(glyph, 0, 0);
    mDraw->SetSlant(true);
    mDraw->DrawString(glyph, 0, 0);
    EXPECT_EQ(mDraw->GetStats().rasterised, 7u);
    EXPECT_EQ(mDraw->GetCache().GetRecordCount(), 7u);
    // A whole-pixel move of the offsets keeps the phase: replayed.
    mDraw->DrawString(glyph, 4, -8);
    EXPECT_EQ(mDraw->GetStats().replayed, 2u);
}

TEST_F(VecDrawTest, FontsAreKeptApartAndDroppedWhenDestroyed) {
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);
    std::unique_ptr<TVecFont> small = SquareFont(2);
    std::unique_ptr<TVecFont> large = SquareFont(5);
    // The same glyph index, at the same offset in two files.
    const TGlyphOutline a = small->GetGlyphShape(0);
    const TGlyphOutline b = large->GetGlyphShape(0);
    ASSERT_EQ(a.offset, b.offset);
    mDraw->Begin(0, 0);
    mDraw->DrawString(a, 0, 0);
    EXPECT_EQ(Drawn().size(), 4u);
    mDraw->DrawString(b, 0, 0);
    EXPECT_EQ(Drawn().size(), 25u);
    mDraw->DrawString(a, 0, 0);
    EXPECT_EQ(Drawn().size(), 4u);
    EXPECT_EQ(mDraw->GetCache().GetRecordCount(), 2u);

    small.reset();
    EXPECT_EQ(mDraw->GetCache().GetRecordCount(), 1u);
    // A new font, perhaps at the old one's address, is rasterised, not replayed.
    std::unique_ptr<TVecFont> other = SquareFont(3);
    mDraw->DrawString(other->GetGlyphShape(0), 0, 0);
    EXPECT_EQ(Drawn().size(), 9u);
    large.reset();
    other.reset();
    EXPECT_EQ(mDraw->GetCache().GetRecordCount(), 0u);
    EXPECT_EQ(mDraw->GetCache().GetBlockCount(), 0u);
}

TEST_F(VecDrawTest, OutlinesOfTheCallerAreKnownByTheirBytes) {
    OpenFrame();
    mDraw->SetScale(4.0f, 1.0f);
    // Caret rectangles of two heights in the same buffer, one after the other.
    std::vector<uint8_t> caret = OutlineWriter().Rect(0, -40, 0.75, 0).End().Bytes();
    mDraw->Begin(0, 100);
    mDraw->DrawString(TGlyphOutline{caret.data(), caret.size(), 0, 0}, 0, 0);
    EXPECT_EQ(Drawn().size(), 10u);
    caret = OutlineWriter().Rect(0, -60, 0.75, 0).End().Bytes();
    mDraw->DrawString(TGlyphOutline{caret.data(), caret.size(), 0, 0}, 0, 0);
    EXPECT_EQ(Drawn().size(), 15u);
    std::vector<uint8_t> again = OutlineWriter().Rect(0, -40, 0.75, 0).End().Bytes();
    mDraw->DrawString(TGlyphOutline{again.data(), again.size(), 0, 0}, 0, 0);
    EXPECT_EQ(Drawn().size(), 10u);
    EXPECT_EQ(mDraw->GetStats().replayed, 1u);
}

TEST_F(VecDrawTest, AGlyphAnimatedInScaleKeepsTheCacheUnderItsCap) {
    OpenFrame();
    // Up to 440 pixels tall: together far more spans than the cap holds.
    std::unique_ptr<TVecFont> font = SquareFont(160);
    const TGlyphOutline glyph = font->GetGlyphShape(0);
    mDraw->Begin(0, 0);
    size_t largest = 0;
    for (int i = 0; i < 10000; ++i) {
        mDraw->SetScale(1.0f + i * 0.001f, 1.0f + i * 0.001f);
        mDraw->DrawString(glyph, 0, 0);
        largest = std::max(largest, mDraw->GetCache().GetMemory());
        if (i % 256 == 0) mSink.mDraws.clear();
    }
    EXPECT_LE(largest, TSpanCache::kMemoryCap);
    EXPECT_EQ(mDraw->GetStats().rasterised, 10000u);
    EXPECT_LT(mDraw->GetCache().GetRecordCount(), 10000u);
}

TEST(SpanCache, AGlyphTooLargeToKeepIsDrawnButNotRecorded) {
    TSpanCache cache;
    TSpanKey key{};
    key.fontSerial = 7;
    cache.BeginRecord(key, nullptr, 0);
    size_t added = 0;
    while (cache.Add(TSpanRecord{0, 1, 0, 16, 3}))
        ++added;
    // All the blocks the cap leaves beside the record.
    EXPECT_EQ(added,
              (TSpanCache::kMemoryCap / TSpanCache::kBlockBytes - 1) * TSpanCache::kSpansPerBlock);
    EXPECT_LE(cache.GetMemory(), TSpanCache::kMemoryCap);
    cache.EndRecord();
    EXPECT_EQ(cache.Find(key, nullptr, 0), -1);
    EXPECT_EQ(cache.GetRecordCount(), 0u);
    // The next record starts afresh.
    key.fontSerial = 8;
    cache.BeginRecord(key, nullptr, 0);
    EXPECT_TRUE(cache.Add(TSpanRecord{0, 1, 0, 16, 3}));
    cache.EndRecord();
    EXPECT_EQ(cache.Find(key, nullptr, 0), 0);
    EXPECT_EQ(cache.GetBlockCount(), 1u);
}

}  // namespace
