// The converter on DejaVu Sans: what it writes reads back through TVecFont and holds together
// byte by byte (records ascending and inside the file, outlines of moves, lines and quadratics
// only, every contour closed, curves flat enough for the drawer's three chords), and the runs it
// must refuse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "fontconverter.h"
#include "mvecreader.h"
#include "outlinewriter.h"
#include "platform/font/vecfont.h"
#include "support/tempdir.h"

namespace {

using fontconv::TOutlineWriter;
using fontconv::TPoint;
using fontconv_test::Op;
using fontconv_test::Record;

std::vector<uint8_t> Convert(const std::vector<uint32_t>& codes) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(fontconv::ConvertFont(DEJAVU_SANS, codes, &bytes, &error)) << error;
    return bytes;
}

// Checks the layout of converted data; counts the contours seen.
void CheckLayout(const std::vector<uint8_t>& data, int* contours) {
    std::vector<Record> records;
    std::string error;
    EXPECT_TRUE(fontconv_test::ReadRecords(data, &records, &error)) << error;
    for (size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        SCOPED_TRACE(fontconv::CodePointName(r.code));
        if (i > 0) {
            EXPECT_LT(records[i - 1].code, r.code);
        }
        EXPECT_GE(r.offset, 12 + 18 * records.size());
        EXPECT_LT(r.offset, data.size());
        std::vector<Op> ops;
        ASSERT_TRUE(fontconv_test::ReadOutline(data, r.offset, &ops, &error)) << error;
        ASSERT_FALSE(ops.empty());
        EXPECT_EQ(ops.back().opcode, 8);
        fontconv_test::Point start, pen;
        bool open = false;
        for (const Op& op : ops) {
            if (op.opcode == 4 || op.opcode == 8) {
                if (open) {
                    EXPECT_TRUE(pen.x == start.x && pen.y == start.y) << "contour left open";
                    ++*contours;
                }
                if (op.opcode == 4) {
                    start = pen = op.points[0];
                    open = true;
                }
                continue;
            }
            ASSERT_TRUE(open) << "a segment before any move";
            if (op.opcode == 6) {
                TPoint from{pen.x / 128.0, pen.y / 128.0};
                TPoint control{op.points[0].x / 128.0, op.points[0].y / 128.0};
                TPoint to{op.points[1].x / 128.0, op.points[1].y / 128.0};
                // The tolerance, and the rounding of three points to 1/128.
                EXPECT_LE(TOutlineWriter::ChordError(from, control, to), 0.1 + 4.0 / 128.0 / 36.0);
            }
            pen = op.points.back();
            // End points lie in the record's box (control points may not).
            EXPECT_GE(pen.x, r.x0 - 1);
            EXPECT_LE(pen.x, r.x1 + 1);
            EXPECT_GE(pen.y, r.top - 1);
            EXPECT_LE(pen.y, r.bottom + 1);
            for (const fontconv_test::Point& p : op.points) {
                EXPECT_LT(std::abs(p.x), 16384);
                EXPECT_LT(std::abs(p.y), 16384);
            }
        }
    }
}

TEST(FontConverter, TheGameFontReadsBackWholeThroughTheReader) {
    std::vector<uint32_t> codes = fontconv::GameCharacterSet();
    std::vector<uint8_t> data = Convert(codes);
    int contours = 0;
    CheckLayout(data, &contours);
    EXPECT_GT(contours, 300);

    TVecFont font(data);
    ASSERT_EQ(font.GetGlyphCount(), static_cast<int>(codes.size()));
    for (uint32_t code : codes) EXPECT_GE(font.FindGlyph(code), 0) << fontconv::CodePointName(code);
    EXPECT_EQ(font.FindGlyph(0x4E00), -1);
    // Ascent and descent about the nominal 64 pixels: the cap height of 'W' and the deepest
    // descender.
    int w = font.FindGlyph('W');
    ASSERT_GE(w, 0);
    EXPECT_NEAR(font.GetAscent(), 40.1, 0.5);
    EXPECT_GT(font.GetDescent(), 10.0f);
    EXPECT_LT(font.GetAscent() + font.GetDescent(), 64.0f);
    EXPECT_NEAR(font.GetGlyphAdvance(w), 2025.0 * 64.0 / 2384.0, 0.01);
    EXPECT_LT(font.GetGlyphMinX(w), font.GetGlyphMaxX(w));
    // A space has an advance and an outline of nothing but its end.
    int space = font.FindGlyph(' ');
    EXPECT_GT(font.GetGlyphAdvance(space), 10.0f);
    TGlyphOutline outline = font.GetGlyphShape(space);
    ASSERT_NE(outline.bytes, nullptr);
    EXPECT_EQ(outline.bytes[0], 8);
}

TEST(FontConverter, TheBuiltFontFileIsTheGameFontWithTheLicenceBesideIt) {
    std::string bytes = testing_support::ReadFileBytes(DEFAULT_FONT_FILE);
    ASSERT_FALSE(bytes.empty()) << DEFAULT_FONT_FILE;
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    int contours = 0;
    CheckLayout(data, &contours);
    std::vector<uint32_t> codes = fontconv::GameCharacterSet();
    std::string error;
    ASSERT_TRUE(fontconv::ReadStringsFile(GAME_STRINGS, &codes, &error)) << error;
    EXPECT_EQ(data, Convert(codes));

    std::string path = DEFAULT_FONT_FILE;
    std::string licence = testing_support::ReadFileBytes(
        path.substr(0, path.find_last_of('/') + 1) + "DejaVu-LICENSE.txt");
    EXPECT_NE(licence.find("DejaVu"), std::string::npos);
    EXPECT_NE(licence.find("Bitstream"), std::string::npos);
}

TEST(FontConverter, TheBuiltinSetIsAsciiAndLatin1) {
    std::vector<uint32_t> codes = fontconv::BuiltinCharacterSet();
    ASSERT_EQ(codes.size(), 95u + 96u);
    EXPECT_EQ(codes.front(), 32u);
    EXPECT_EQ(codes.back(), 255u);
    std::vector<uint32_t> game = fontconv::GameCharacterSet();
    EXPECT_EQ(game.size(), 191u + 128u + 20u + 1u);
}

TEST(FontConverter, AStringsCodePointTheFontLacksFailsTheRunNamingIt) {
    testing_support::TempDir dir;
    std::string strings = dir.File("strings.txt");
    ASSERT_TRUE(testing_support::WriteFileBytes(strings, "Caf\xc3\xa9 \xe4\xb8\x80\n"));
    std::vector<uint32_t> codes = fontconv::GameCharacterSet();
    std::string error;
    ASSERT_TRUE(fontconv::ReadStringsFile(strings, &codes, &error)) << error;
    std::vector<uint8_t> out;
    EXPECT_FALSE(fontconv::ConvertFont(DEJAVU_SANS, codes, &out, &error));
    EXPECT_NE(error.find("U+4E00"), std::string::npos) << error;

    // The program says so, fails, and leaves no output behind.
    std::string output = dir.File("out.mvec");
    std::string messages = dir.File("messages.txt");
    std::string command = std::string(FONTCONV) + " --strings " + strings + " " + DEJAVU_SANS +
                          " " + output + " 2>" + messages;
    int status = std::system(command.c_str());
    EXPECT_NE(status, 0);
    EXPECT_NE(testing_support::ReadFileBytes(messages).find("U+4E00"), std::string::npos);
    EXPECT_TRUE(testing_support::ReadFileBytes(output).empty());
}

TEST(FontConverter, RefusedRuns) {
    std::vector<uint8_t> out;
    std::string error;
    // 'W' is where the reader takes the ascent from.
    EXPECT_FALSE(fontconv::ConvertFont(DEJAVU_SANS, {'A', 'B'}, &out, &error));
    EXPECT_NE(error.find("'W'"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(fontconv::ConvertFont("/nonexistent/font.ttf", {'W'}, &out, &error));
    EXPECT_FALSE(error.empty());

    testing_support::TempDir dir;
    std::vector<uint32_t> codes;
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("bad.txt"), "ok\xc3("));
    error.clear();
    EXPECT_FALSE(fontconv::ReadStringsFile(dir.File("bad.txt"), &codes, &error));
    EXPECT_NE(error.find("not UTF-8"), std::string::npos) << error;
    EXPECT_FALSE(fontconv::ReadStringsFile(dir.File("none.txt"), &codes, &error));
}

TEST(FontConverter, StringsFilesGiveTheirPrintableCodePoints) {
    testing_support::TempDir dir;
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("s.txt"),
                                                "\xef\xbb\xbf" "a\tb\r\n\xe2\x82\xac\xf0\x9f\x98\x80"));
    std::vector<uint32_t> codes;
    std::string error;
    ASSERT_TRUE(fontconv::ReadStringsFile(dir.File("s.txt"), &codes, &error)) << error;
    EXPECT_EQ(codes, (std::vector<uint32_t>{'a', 'b', 0x20AC, 0x1F600}));
}

// The outline writer on its own: curves kept within the drawer's tolerance and contours closed.
std::vector<uint8_t> Written(double scale, void (*draw)(TOutlineWriter&)) {
    TOutlineWriter writer(scale);
    draw(writer);
    return writer.Finish();
}

TEST(OutlineWriter, ContoursEndWithAnExplicitLineBackToTheirStartOnlyWhenNeeded) {
    // An open triangle gets its closing line; y is turned down; 1/128 units.
    std::vector<uint8_t> open = Written(1.0, [](TOutlineWriter& w) {
        w.MoveTo({0, 0});
        w.LineTo({10, 0});
        w.LineTo({10, 10});
    });
    std::vector<Op> ops;
    std::string error;
    ASSERT_TRUE(fontconv_test::ReadOutline(open, 0, &ops, &error)) << error;
    ASSERT_EQ(ops.size(), 5u);
    EXPECT_EQ(ops[2].points[0].y, -1280);
    EXPECT_EQ(ops[3].opcode, 5);
    EXPECT_EQ(ops[3].points[0].x, 0);
    EXPECT_EQ(ops[3].points[0].y, 0);
    // Two contours, the first already closed by a curve: no extra line.
    std::vector<uint8_t> closed = Written(1.0, [](TOutlineWriter& w) {
        w.MoveTo({0, 0});
        w.LineTo({1, 0});
        w.ConicTo({1, 1}, {0, 0});
        w.MoveTo({5, 5});
        w.LineTo({6, 5});
    });
    ops.clear();
    ASSERT_TRUE(fontconv_test::ReadOutline(closed, 0, &ops, &error)) << error;
    std::vector<int> opcodes;
    for (const Op& op : ops) opcodes.push_back(op.opcode);
    EXPECT_EQ(opcodes, (std::vector<int>{4, 5, 6, 4, 5, 5, 8}));
}

TEST(OutlineWriter, SharpQuadraticsAreHalvedUntilThreeChordsFollowThem) {
    std::vector<uint8_t> bytes = Written(1.0, [](TOutlineWriter& w) {
        w.MoveTo({0, 0});
        w.ConicTo({50, 100}, {100, 0});
    });
    std::vector<Op> ops;
    std::string error;
    ASSERT_TRUE(fontconv_test::ReadOutline(bytes, 0, &ops, &error)) << error;
    int curves = 0;
    TPoint pen{0, 0};
    for (const Op& op : ops) {
        if (op.opcode != 6) continue;
        ++curves;
        TPoint c{op.points[0].x / 128.0, op.points[0].y / 128.0};
        TPoint to{op.points[1].x / 128.0, op.points[1].y / 128.0};
        EXPECT_LE(TOutlineWriter::ChordError(pen, c, to), 0.1 + 0.001);
        pen = to;
    }
    // |p0 - 2c + p1| = 200 must shrink 200 / 36 / 0.1 = 56 times, and each halving quarters it:
    // 3 halvings, 8 pieces.
    EXPECT_EQ(curves, 8);
    EXPECT_NEAR(pen.x, 100.0, 1e-9);
}

TPoint CubicAt(TPoint p0, TPoint c1, TPoint c2, TPoint p3, double t) {
    double u = 1 - t;
    return {u * u * u * p0.x + 3 * u * u * t * c1.x + 3 * u * t * t * c2.x + t * t * t * p3.x,
            u * u * u * p0.y + 3 * u * u * t * c1.y + 3 * u * t * t * c2.y + t * t * t * p3.y};
}

double ToSegment(TPoint p, TPoint a, TPoint b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

TEST(OutlineWriter, CubicsBecomeQuadraticsWithinTolerance) {
    struct Case {
        TPoint p0, c1, c2, p3;
    };
    const Case cases[] = {
        {{0, 0}, {0, 40}, {60, 40}, {60, 0}},      // an arch
        {{0, 0}, {80, 60}, {-20, 60}, {60, 0}},    // a loop-like S
        {{0, 0}, {10, 0}, {20, 0}, {30, 0}},       // a straight line
    };
    for (const Case& c : cases) {
        std::vector<TPoint> quads =
            TOutlineWriter::CubicToQuadratics(c.p0, c.c1, c.c2, c.p3, 0.05);
        ASSERT_EQ(quads.size() % 2, 0u);
        // Every point of the cubic lies near the chain of quadratics (drawn densely as lines).
        std::vector<TPoint> chain;
        TPoint from = c.p0;
        for (size_t i = 0; i < quads.size(); i += 2) {
            for (int k = 0; k <= 200; ++k) {
                double t = k / 200.0, u = 1 - t;
                chain.push_back({u * u * from.x + 2 * u * t * quads[i].x + t * t * quads[i + 1].x,
                                 u * u * from.y + 2 * u * t * quads[i].y + t * t * quads[i + 1].y});
            }
            from = quads[i + 1];
        }
        EXPECT_NEAR(from.x, c.p3.x, 1e-9);
        double worst = 0;
        for (int k = 0; k <= 2000; ++k) {
            TPoint p = CubicAt(c.p0, c.c1, c.c2, c.p3, k / 2000.0);
            double best = 1e9;
            for (size_t i = 0; i + 1 < chain.size(); ++i) best = std::min(best, ToSegment(p, chain[i], chain[i + 1]));
            worst = std::max(worst, best);
        }
        EXPECT_LE(worst, 0.05 + 0.01);
    }
}

}  // namespace
