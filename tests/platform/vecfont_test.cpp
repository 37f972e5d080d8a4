#include "platform/font/vecfont.h"

#include <gtest/gtest.h>

#include "mvecwriter.h"

namespace {

using testing_support::MvecGlyph;
using testing_support::OutlineWriter;
using testing_support::WriteMvec;

std::vector<uint8_t> Square() {
    return OutlineWriter().Rect(0, -8, 8, 0).End().Bytes();
}

MvecGlyph Glyph(uint32_t code, double top, double bottom, double advance = 9) {
    MvecGlyph g;
    g.code = code;
    g.x0 = 0.5;
    g.x1 = 7.5;
    g.top = top;
    g.bottom = bottom;
    g.advance = advance;
    g.outline = Square();
    return g;
}

TEST(VecFont, RecordsAndMetrics) {
    // 'W' 10 above; '_' 4 below (skipped), 'g' 3 below, code 200 5 below (beyond 127: skipped).
    TVecFont font(WriteMvec({Glyph('A', -12, 0), Glyph('W', -10, 0), Glyph('_', 0, 4),
                             Glyph('g', -6, 3), Glyph(200, -4, 5)}));
    ASSERT_EQ(font.GetGlyphCount(), 5);
    EXPECT_EQ(font.FindGlyph('A'), 0);
    EXPECT_EQ(font.FindGlyph('W'), 1);
    EXPECT_EQ(font.FindGlyph(200), 4);
    EXPECT_EQ(font.FindGlyph('B'), -1);
    EXPECT_EQ(font.FindGlyph(201), -1);
    EXPECT_EQ(font.FindGlyph(0), -1);
    EXPECT_FLOAT_EQ(font.GetAscent(), 10.0f);
    EXPECT_FLOAT_EQ(font.GetDescent(), 3.0f);
    EXPECT_FLOAT_EQ(font.GetGlyphAdvance(1), 9.0f);
    EXPECT_FLOAT_EQ(font.GetGlyphMinX(1), 0.5f);
    EXPECT_FLOAT_EQ(font.GetGlyphMaxX(1), 7.5f);
    EXPECT_FLOAT_EQ(TVecFont::GetLineFraction(), 1.0f - 0.15f - 0.05f);
    const float line = 13.0f / (1.0f - 0.2f);
    EXPECT_NEAR(font.GetLineMetric(true), line * 0.15f, 1e-5);
    EXPECT_NEAR(font.GetLineMetric(false), line * 0.05f, 1e-5);
    EXPECT_EQ(font.GetFlag(), 0);
    EXPECT_FLOAT_EQ(font.GetScale(), 1.0f);

    // The glyph's bytes to the end of the data, known by the font's serial and the offset.
    TGlyphOutline shape = font.GetGlyphShape(1);
    ASSERT_NE(shape.bytes, nullptr);
    EXPECT_EQ(shape.fontSerial, font.GetSerial());
    EXPECT_NE(font.GetSerial(), 0u);
    std::vector<uint8_t> square = Square();
    EXPECT_EQ(std::vector<uint8_t>(shape.bytes, shape.bytes + square.size()), square);
    EXPECT_EQ(shape.size, 4 * square.size());  // glyphs 1 to 4 follow
}

TEST(VecFont, BadIndicesAnswerTheDefaults) {
    TVecFont font(WriteMvec({Glyph('W', -10, 2)}));
    for (int index : {-1, 1, 1000}) {
        EXPECT_EQ(font.GetGlyphShape(index).bytes, nullptr);
        EXPECT_EQ(font.GetGlyphAdvance(index), 0.0f);
        EXPECT_EQ(font.GetGlyphMinX(index), 0.0f);
        EXPECT_EQ(font.GetGlyphMaxX(index), 0.0f);
        EXPECT_EQ(font.GetGlyphFitScale(index), 1.0f);
    }
}

TEST(VecFont, FitScalesBringTallGlyphsIntoTheLine) {
    // 'W' 8 above, descent 2: A = 8 + 12.5 x 0.15, D = 2 + 12.5 x 0.05.
    const double a = 8 + 12.5 * 0.15;
    const double d = 2 + 12.5 * 0.05;
    // Codes beyond 127 do not count for the descent.
    TVecFont font(WriteMvec({Glyph('W', -8, 2), Glyph(0x100, -2 * a, 0), Glyph(0x101, -4, 3 * d),
                             Glyph(0x102, -a, d)}));
    EXPECT_NEAR(font.GetGlyphFitScale(0), 1.0f, 1e-6);
    EXPECT_NEAR(font.GetGlyphFitScale(1), 0.5f, 1e-3);
    EXPECT_NEAR(font.GetGlyphFitScale(2), 1.0 / 3.0, 1e-3);
    EXPECT_NEAR(font.GetGlyphFitScale(3), 1.0f, 1e-3);  // exactly the line: kept
}

TEST(VecFont, DamagedDataGivesAnEmptyFontOrMissingGlyphs) {
    std::vector<uint8_t> good = WriteMvec({Glyph('A', -10, 0), Glyph('W', -10, 0)});
    struct Case {
        const char* what;
        std::vector<uint8_t> data;
        int glyphs;
    };
    std::vector<uint8_t> badMagic = good;
    badMagic[3] = '3';
    std::vector<uint8_t> unordered = WriteMvec({Glyph('W', -10, 0), Glyph('A', -10, 0)});
    std::vector<uint8_t> duplicate = WriteMvec({Glyph('A', -10, 0), Glyph('A', -10, 0)});
    const Case cases[] = {
        {"empty", {}, 0},
        {"short header", {'M', 'V', 'C', '4', 1, 0}, 0},
        {"not MVC4", badMagic, 0},
        {"count past the end", WriteMvec({Glyph('A', -10, 0)}, 3), 0},
        {"count 65535", WriteMvec({Glyph('A', -10, 0)}, 65535), 0},
        {"codes descending", unordered, 0},
        {"codes repeated", duplicate, 0},
        {"good", good, 2},
    };
    for (const Case& c : cases) {
        TVecFont font(c.data);
        EXPECT_EQ(font.GetGlyphCount(), c.glyphs) << c.what;
        if (c.glyphs == 0) {
            EXPECT_EQ(font.FindGlyph('A'), -1) << c.what;
            EXPECT_EQ(font.GetAscent(), 0.0f) << c.what;
        }
    }

    // An outline offset outside the data: that glyph is missing, the others stay.
    MvecGlyph lost = Glyph('B', -10, 0);
    lost.forcedOffset = 100000;
    TVecFont font(WriteMvec({Glyph('A', -10, 0), lost, Glyph('W', -10, 0)}));
    EXPECT_EQ(font.GetGlyphCount(), 3);
    EXPECT_EQ(font.FindGlyph('B'), -1);
    EXPECT_EQ(font.GetGlyphShape(1).bytes, nullptr);
    EXPECT_EQ(font.FindGlyph('W'), 2);
}

TEST(VecFont, WithoutWTheTallestGlyphGivesTheAscent) {
    TVecFont font(WriteMvec({Glyph('a', -6, 0), Glyph('b', -11, 0), Glyph('c', -3, 1)}));
    EXPECT_FLOAT_EQ(font.GetAscent(), 11.0f);
}

TEST(VecFont, NoLineHeightLeavesEveryFitScaleAtOne) {
    // Nothing above the baseline and nothing below: A = D = 0.
    TVecFont font(WriteMvec({Glyph('W', 0, 0), Glyph('x', 4, -3)}));
    EXPECT_EQ(font.GetAscent(), 0.0f);
    EXPECT_EQ(font.GetDescent(), 0.0f);
    EXPECT_EQ(font.GetGlyphFitScale(0), 1.0f);
    EXPECT_EQ(font.GetGlyphFitScale(1), 1.0f);
}

TEST(VecFont, SerialsAreUniqueAndDestructionIsAnnounced) {
    std::vector<uint32_t> destroyed;
    auto listener = [](void* context, uint32_t serial) {
        static_cast<std::vector<uint32_t>*>(context)->push_back(serial);
    };
    TVecFont::AddDestroyListener(listener, &destroyed);
    uint32_t first;
    uint32_t second;
    {
        TVecFont a(WriteMvec({Glyph('W', -10, 0)}));
        TVecFont b(WriteMvec({Glyph('W', -10, 0)}));
        first = a.GetSerial();
        second = b.GetSerial();
        EXPECT_NE(first, second);
    }
    TVecFont::RemoveDestroyListener(listener, &destroyed);
    { TVecFont c({}); }
    EXPECT_EQ(destroyed, (std::vector<uint32_t>{second, first}));
}

}  // namespace
