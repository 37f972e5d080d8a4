// Writes the sample sheet (vecfont_samples.png in this test program's build folder), drawn
// through the glyph drawer's texture path from the converted default font: sizes 10 to 48 px,
// then plain, bold, outline, bold with outline and italic at 24 px, a line turned 30 degrees and
// a line fading out. Stroke widths and shade slots are set as the text layout sets them: an
// outline takes the first width and slot 255 in its colour; bold the next width (size x 0.0125)
// and the next slot (255, or 254 after an outline) in the fill colour; with both, the outline's
// width grows by the bold width. A person looks at the sheet; the test checks that ink landed.
#include <cmath>
#include <string>

#include "glyphcanvas.h"
#include "support/imagewriter.h"

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 520;
constexpr uint32_t kPaper = 0xFFFFFFFFu;
constexpr uint32_t kInk = 0xFF1A2A6Cu;
constexpr uint32_t kOutlineColor = 0xFFE08020u;

struct Style {
    bool bold = false;
    float outline = 0.0f;
    bool italic = false;
    double angle = 0.0;
    bool fade = false;
};

class SampleSheetTest : public GlyphCanvasTest {
protected:
    // Draws UTF-8-free Latin-1 text on one line from (x, y), the baseline at y; answers the pen's
    // end in pixels.
    double Line(const std::shared_ptr<TTexture>& canvas, double x, double y, double size,
                const std::u32string& text, const Style& style) {
        const float scale = DrawerScale(size);
        const double cosine = std::cos(style.angle * M_PI / 180.0);
        const double sine = std::sin(style.angle * M_PI / 180.0);
        float first = 0.0f, second = 0.0f;
        const float bold = static_cast<float>(size * 0.0125);
        mDraw->SetShadeColors(1, kInk, 1.0f);
        if (style.outline > 0.0f) {
            first = style.outline + (style.bold ? bold : 0.0f);
            mDraw->SetShadeColors(255, kOutlineColor, 1.0f);
            if (style.bold) {
                second = bold;
                mDraw->SetShadeColors(254, kInk, 1.0f);
            }
        } else if (style.bold) {
            first = bold;
            mDraw->SetShadeColors(255, kInk, 1.0f);
        }
        mDraw->SetStrokeWidths(first, second);
        mDraw->SetSlant(style.italic);
        mDraw->SetRotation(static_cast<float>(cosine), static_cast<float>(sine));
        mDraw->SetScale(scale, scale);
        EXPECT_TRUE(mDraw->Begin(static_cast<float>(x), static_cast<float>(y), canvas));
        double pen = 0.0;
        for (size_t i = 0; i < text.size(); ++i) {
            int index = mFont->FindGlyph(text[i]);
            if (index < 0) continue;
            if (style.fade) {
                mDraw->SetShadeColors(1, kInk, 1.0f - static_cast<float>(i) / text.size());
            }
            // The text layout's pen: x rounded half away from zero, y truncated, quarter pixels.
            mDraw->DrawString(mFont->GetGlyphShape(index),
                              static_cast<int>(std::lround(pen * cosine * 4.0)),
                              static_cast<int>(pen * sine * 4.0));
            pen += mFont->GetGlyphAdvance(index) * scale / 4.0;
        }
        mDraw->Flush();
        return x + pen;
    }

    static std::u32string Latin1(const char* text) {
        std::u32string out;
        for (const char* c = text; *c != '\0'; ++c) out += static_cast<unsigned char>(*c);
        return out;
    }
};

TEST_F(SampleSheetTest, WritesTheSampleSheet) {
    std::shared_ptr<TTexture> canvas = Canvas(kWidth, kHeight, kPaper);
    std::u32string pangram = Latin1("The quick brown fox jumps over the lazy dog. @ g W O \xe9 ") +
                             U"\u20ac \u2013 \u2026";
    std::u32string shorter = Latin1("Quick brown fox @ g W O \xe9 ") + U"\u20ac \u2026";
    double y = 14;
    for (int size : {10, 12, 14, 16, 20, 24, 32, 40, 48}) {
        y += size * 1.2;
        Line(canvas, 60, y, size, size < 32 ? pangram : shorter, {});
        char label[8];
        std::snprintf(label, sizeof label, "%d", size);
        Line(canvas, 8, y, 12, Latin1(label), {});
    }
    const std::u32string sample = Latin1("Umbrava \xc9t\xe9 Na\xefve gW@O 0123");
    struct Row {
        const char* label;
        Style style;
    } rows[] = {
        {"plain", {}},
        {"bold", {.bold = true}},
        {"outline", {.outline = 1.5f}},
        {"bold+outline", {.bold = true, .outline = 1.5f}},
        {"italic", {.italic = true}},
    };
    for (const Row& row : rows) {
        y += 30;
        Line(canvas, 8, y, 12, Latin1(row.label), {});
        Line(canvas, 110, y, 24, sample, row.style);
    }
    Line(canvas, 600, 320, 24, Latin1("turned 30 degrees"), {.angle = 30.0});
    y += 34;
    Line(canvas, 110, y, 24, Latin1("fading out, glyph by glyph, to nothing"), {.fade = true});

    // Ink landed on the sheet, and the paper stayed where nothing was drawn.
    int inked = 0;
    testing_support::PngImage image;
    image.width = kWidth;
    image.height = kHeight;
    image.colorType = 2;  // RGB
    for (int py = 0; py < kHeight; ++py) {
        for (int px = 0; px < kWidth; ++px) {
            uint32_t p = Pixel(canvas, px, py);
            if (p != kPaper) ++inked;
            image.samples.push_back(static_cast<uint16_t>((p >> 16) & 0xFF));
            image.samples.push_back(static_cast<uint16_t>((p >> 8) & 0xFF));
            image.samples.push_back(static_cast<uint16_t>(p & 0xFF));
        }
    }
    EXPECT_GT(inked, kWidth * kHeight / 20);
    EXPECT_EQ(Pixel(canvas, kWidth - 1, kHeight - 1), kPaper);
    std::string png = testing_support::WritePng(image);
    ASSERT_FALSE(png.empty());
    ASSERT_TRUE(testing_support::WriteFileBytes(SAMPLE_SHEET, png));
    std::printf("sample sheet: %s\n", SAMPLE_SHEET);
}

}  // namespace
