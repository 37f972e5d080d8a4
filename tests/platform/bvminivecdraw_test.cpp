// The glyph drawer's coverage, strokes and style rule, read from the line lists it draws.
#include "platform/draw/bvminivecdraw.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "vecdrawfixture.h"

namespace {

using testing_support::OutlineWriter;

// The coverage of a rectangle [x0, x1) x [y0, y1) in whole quarter pixels by the 4 x 4 rule:
// each pixel counts its samples inside.
CoverageMap RectCoverage(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t color) {
    CoverageMap map;
    auto floorDiv = [](int64_t v) { return static_cast<int>(v >= 0 ? v / 4 : -((-v + 3) / 4)); };
    for (int py = floorDiv(y0); py <= floorDiv(y1 - 1); ++py) {
        for (int px = floorDiv(x0); px <= floorDiv(x1 - 1); ++px) {
            int64_t w = std::min<int64_t>(x1, 4 * px + 4) - std::max<int64_t>(x0, 4 * px);
            int64_t h = std::min<int64_t>(y1, 4 * py + 4) - std::max<int64_t>(y0, 4 * py);
            if (w > 0 && h > 0) map[{px, py}][color] = static_cast<int>(w * h);
        }
    }
    return map;
}

TEST_F(VecDrawTest, ASquareCoversItsSamplesAtEveryPlaceAndPhase) {
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);  // outline pixels drawn at their own size
    struct Case {
        const char* what;
        float beginX, beginY;
        int dx, dy;        // DrawString's quarter pixels
        double left, top;  // the 8 x 8 square's corner in outline pixels
    } cases[] = {
        {"phase 0", 10, 20, 0, 0, 0, 0},
        {"quarter phase", 10, 20, 1, 0, 0, 0},
        {"three quarters down", 10, 20, 0, 3, 0, 0},
        {"above the baseline, left of the origin", 10, 20, 0, 0, -8, -8},
        {"above and left at a phase", 10, 20, 2, 1, -8, -8.25},
        {"negative Begin position", -3.25f, -7.5f, 0, 0, 0, 0},
        {"negative position and offsets", -3.25f, -7.5f, -5, -11, -4, -2},
        {"fractional square", 0, 0, 0, 0, 0.25, 0.5},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(mDraw->Begin(c.beginX, c.beginY));
        mDraw->DrawString(Outline(OutlineWriter().Rect(c.left, c.top, c.left + 8, c.top + 8).End()),
                          c.dx, c.dy);
        const int64_t qx =
            static_cast<int64_t>(std::floor(c.beginX * 4)) + c.dx + std::llround(c.left * 4);
        const int64_t qy =
            static_cast<int64_t>(std::floor(c.beginY * 4)) + c.dy + std::llround(c.top * 4);
        EXPECT_EQ(Drawn(), RectCoverage(qx, qy, qx + 32, qy + 32, kFill)) << c.what;
    }
    // The quarter phase's edge columns, spelled out.
    mDraw->Begin(10, 20);
    mDraw->DrawString(Outline(OutlineWriter().Rect(0, 0, 8, 8).End()), 1, 0);
    CoverageMap map = Drawn();
    EXPECT_EQ(At(map, 10, 23, kFill), 12);
    EXPECT_EQ(At(map, 11, 23, kFill), 16);
    EXPECT_EQ(At(map, 17, 23, kFill), 16);
    EXPECT_EQ(At(map, 18, 23, kFill), 4);
    EXPECT_EQ(At(map, 19, 23, kFill), 0);
}

TEST_F(VecDrawTest, CurvesAndSlantStayWithinTheirBoundsAndNeverPassSixteen) {
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);
    OutlineWriter round;
    round.Move(0, -8).Curve(8, -8, 8, 0).Curve(8, 8, 0, 8).Curve(-8, 8, -8, 0).Curve(-8, -8, 0, -8);
    for (bool slant : {false, true}) {
        mDraw->SetSlant(slant);
        mDraw->Begin(50, 50);
        mDraw->DrawString(Outline(round.End()), 0, 0);
        CoverageMap map = Drawn();
        EXPECT_EQ(At(map, 50, 50, kFill), 16);
        for (const auto& [pixel, colors] : map) {
            EXPECT_LE(colors.at(kFill), 16);
            EXPECT_GE(pixel.second, 42);
            EXPECT_LT(pixel.second, 58);
            // Slanted, x moves by -y / 3: up to 8 / 3 more each way.
            EXPECT_GE(pixel.first, slant ? 39 : 42);
            EXPECT_LT(pixel.first, slant ? 61 : 58);
        }
    }
}

TEST_F(VecDrawTest, RotationTurnsTheShapeAboutTheGlyphOrigin) {
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);
    mDraw->SetRotation(0.0f, 1.0f);  // 90 degrees: (x, y) -> (-y, x)
    mDraw->Begin(100, 100);
    mDraw->DrawString(Outline(OutlineWriter().Rect(0, 0, 8, 4).End()), 0, 0);
    EXPECT_EQ(Drawn(), RectCoverage(4 * 96, 400, 400, 4 * 108, kFill));
}

TEST_F(VecDrawTest, StrokesWidenTheCoverageMonotonicallyOutsideTheFill) {
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);
    const TGlyphOutline square = Outline(OutlineWriter().Rect(0, 0, 8, 8).End());
    CoverageMap previous;
    for (float width : {0.0f, 0.25f, 0.5f, 1.0f, 1.5f, 3.0f}) {
        mDraw->SetStrokeWidths(width, 0.0f);
        mDraw->Begin(20, 20);
        mDraw->DrawString(square, 0, 0);
        CoverageMap map = Drawn();
        for (const auto& [pixel, colors] : previous) {
            int before = 0;
            int now = 0;
            for (const auto& [color, c] : colors)
                before = std::max(before, c);
            for (const auto& [color, c] : map[pixel])
                now = std::max(now, c);
            EXPECT_GE(now, before)
                << "width " << width << " at " << pixel.first << "," << pixel.second;
        }
        EXPECT_GE(map.size(), previous.size());
        for (const auto& [pixel, colors] : map) {
            // A fully filled pixel shows no stroke: the fill is laid over it.
            if (At(map, pixel.first, pixel.second, kFill) == 16) {
                EXPECT_EQ(colors.size(), 1u) << pixel.first << "," << pixel.second;
            }
        }
        previous = map;
    }
    // A second width without a first draws no stroke.
    mDraw->SetStrokeWidths(0.0f, 2.0f);
    mDraw->Begin(20, 20);
    mDraw->DrawString(square, 0, 0);
    EXPECT_EQ(Drawn(), RectCoverage(80, 80, 112, 112, kFill));
}

TEST_F(VecDrawTest, AWidthOfOneGivesARingAboutAPixelWideAtTwoSizes) {
    OpenFrame();
    for (float scale : {4.0f, 12.0f}) {
        mDraw->SetScale(scale, scale);
        mDraw->SetStrokeWidths(1.0f, 0.0f);
        mDraw->Begin(40, 40);
        mDraw->DrawString(Outline(OutlineWriter().Rect(0, 0, 8, 8).End()), 0, 0);
        CoverageMap map = Drawn();
        const int size = static_cast<int>(8 * scale / 4);
        const int mid = 40 + size / 2;
        EXPECT_EQ(At(map, 39, mid, kStroke0), 16) << scale;
        EXPECT_EQ(At(map, 38, mid, 0), 0) << scale;
        EXPECT_TRUE(map.find({38, mid}) == map.end()) << scale;
        EXPECT_EQ(At(map, 40 + size, mid, kStroke0), 16) << scale;
        EXPECT_TRUE(map.find({41 + size, mid}) == map.end()) << scale;
        EXPECT_EQ(At(map, mid, 39, kStroke0), 16) << scale;
        EXPECT_TRUE(map.find({mid, 38}) == map.end()) << scale;
        EXPECT_EQ(At(map, mid, 40 + size, kStroke0), 16) << scale;
        EXPECT_TRUE(map.find({mid, 41 + size}) == map.end()) << scale;
        EXPECT_EQ(At(map, mid, mid, kFill), 16) << scale;
        EXPECT_EQ(At(map, mid, mid, kStroke0), 0) << scale;
    }
}

TEST_F(VecDrawTest, TheStrokeIsThickerVerticallyBySingleScaleRatio) {
    OpenFrame();
    mDraw->SetScale(4.0f, 8.0f);
    mDraw->SetStrokeWidths(1.0f, 0.0f);
    mDraw->Begin(40, 40);
    mDraw->DrawString(Outline(OutlineWriter().Rect(0, 0, 8, 8).End()), 0, 0);
    CoverageMap map = Drawn();
    // 8 x 16 pixels; the ring is 1 pixel left and right, 2 above and below.
    EXPECT_EQ(At(map, 39, 48, kStroke0), 16);
    EXPECT_TRUE(map.find({38, 48}) == map.end());
    EXPECT_EQ(At(map, 44, 38, kStroke0), 16);
    EXPECT_TRUE(map.find({44, 37}) == map.end());
}

TEST_F(VecDrawTest, OverlappingContoursOfOneDirectionFillWithoutAHole) {
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);
    mDraw->Begin(0, 0);
    mDraw->DrawString(Outline(OutlineWriter().Rect(0, 0, 6, 6).Rect(3, 3, 9, 9).End()), 0, 0);
    CoverageMap map = Drawn();
    EXPECT_EQ(At(map, 4, 4, kFill), 16);
    EXPECT_EQ(At(map, 1, 1, kFill), 16);
    EXPECT_EQ(At(map, 8, 8, kFill), 16);
    EXPECT_TRUE(map.find({7, 1}) == map.end());
    // A contour turned the other way cuts a hole, as outlines mean it.
    mDraw->DrawString(
        Outline(OutlineWriter().Rect(0, 0, 9, 9).Rect(3, 3, 6, 6, /*reversed=*/true).End()), 0, 0);
    map = Drawn();
    EXPECT_TRUE(map.find({4, 4}) == map.end());
    EXPECT_EQ(At(map, 1, 1, kFill), 16);
}

TEST_F(VecDrawTest, StyleOperationsLeaveTheLayoutsSlotsAlone) {
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);
    uint32_t before[3][4];
    uint32_t rampsBefore[4][32];
    const int slots[3] = {1, 254, 255};
    for (int s = 0; s < 3; ++s) {
        for (int i = 0; i < 4; ++i)
            before[s][i] = mDraw->GetShadeColor(slots[s], i);
    }
    for (int r = 0; r < 4; ++r) {
        for (int i = 0; i < 32; ++i)
            rampsBefore[r][i] = mDraw->GetRampColor(r, i);
    }
    // The fill square, then a square in the extra style (opcode 2 with 1), coloured by opcode 7;
    // opcodes 1 and 3 with 0 go back to the fill.
    OutlineWriter w;
    w.Rect(0, 0, 8, 8).Color(10, 20, 30).Style(2, 1).Rect(2, 2, 4, 4).Group().Style(3, 0);
    w.Rect(10, 0, 12, 2).Style(3, 5).Rect(20, 0, 22, 2).Style(2, 0).Rect(30, 0, 32, 2).End();
    mDraw->SetStrokeWidths(0.5f, 0.25f);
    mDraw->Begin(0, 0);
    mDraw->DrawString(Outline(w), 0, 0);
    CoverageMap map = Drawn();
    for (int s = 0; s < 3; ++s) {
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(mDraw->GetShadeColor(slots[s], i), before[s][i]);
    }
    for (int r : {0, 1, 3}) {
        for (int i = 0; i < 32; ++i)
            EXPECT_EQ(mDraw->GetRampColor(r, i), rampsBefore[r][i]);
    }
    EXPECT_EQ(mDraw->GetRampColor(2, 15), 0xFF0A141Eu);
    EXPECT_EQ(At(map, 3, 3, 0x0A141E), 16);  // the extra style wins over the fill
    EXPECT_EQ(At(map, 3, 3, kFill), 0);
    EXPECT_EQ(At(map, 5, 5, kFill), 16);
    EXPECT_EQ(At(map, 11, 1, kFill), 16);
    EXPECT_EQ(At(map, 21, 1, 0x0A141E), 16);
    EXPECT_EQ(At(map, 31, 1, kFill), 16);
}

TEST_F(VecDrawTest, OutlineBoldAndBothShowTheirLooks) {
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);
    const TGlyphOutline square = Outline(OutlineWriter().Rect(0, 0, 8, 8).End());
    struct Look {
        const char* what;
        float first, second;
        uint32_t slot255, slot254;
        uint32_t inside, oneOut, twoOut;  // 0: nothing drawn there
    } looks[] = {
        // The layout: an outline takes the first width in the outline colour (green here); bold
        // the next width in the fill colour; both widen the outline by the bold width.
        {"outline", 2, 0, kStroke0, kStroke1, kFill, kStroke0, kStroke0},
        {"bold", 1, 0, kFill, kStroke1, kFill, kFill, 0},
        {"outline and bold", 3, 1, kStroke0, kFill, kFill, kFill, kStroke0},
    };
    for (const Look& look : looks) {
        mDraw->SetShadeColors(255, 0xFF000000u | look.slot255, 1.0f);
        mDraw->SetShadeColors(254, 0xFF000000u | look.slot254, 1.0f);
        mDraw->SetStrokeWidths(look.first, look.second);
        mDraw->Begin(10, 10);
        mDraw->DrawString(square, 0, 0);
        CoverageMap map = Drawn();
        auto only = [&](int x, int y) -> uint32_t {
            auto pixel = map.find({x, y});
            if (pixel == map.end()) return 0;
            EXPECT_EQ(pixel->second.size(), 1u) << look.what << " at " << x << "," << y;
            EXPECT_EQ(pixel->second.begin()->second, 16) << look.what;
            return pixel->second.begin()->first;
        };
        EXPECT_EQ(only(14, 14), look.inside) << look.what;
        EXPECT_EQ(only(9, 14), look.oneOut) << look.what;
        EXPECT_EQ(only(8, 14), look.twoOut) << look.what;
        EXPECT_EQ(only(14, 9), look.oneOut) << look.what;
        EXPECT_EQ(only(14, 8), look.twoOut) << look.what;
    }
}

TEST_F(VecDrawTest, ShadeColorsAndRamps) {
    // Alpha 200 at factor 0.5: A = 100.
    mDraw->SetShadeColors(1, 0xC8123456u, 0.5f);
    const uint32_t shade[4] = {100 * 17 / 256, 100 * 40 / 256, 100 * 73 / 256, 100 * 128 / 256};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(mDraw->GetShadeColor(1, i), shade[i] << 24 | 0x123456);
    for (uint32_t i = 0; i < 32; ++i) {
        uint32_t alpha = i < 16 ? 100 * 16 * (i + 1) / 256 : 100 * 255 / 256;
        EXPECT_EQ(mDraw->GetRampColor(3, static_cast<int>(i)), alpha << 24 | 0x123456) << i;
    }
    struct {
        uint32_t color;
        float factor;
        uint32_t rampTop;  // entry 15's alpha
    } alphas[] = {{0xFF000000u, 1.0f, 255},
                  {0xC8000000u, 2.0f, 255},
                  {0xFF000000u, std::numeric_limits<float>::quiet_NaN(), 0},
                  {0xFF000000u, -1.0f, 0},
                  {0x10000000u, 1.0f, 16}};
    for (const auto& a : alphas) {
        mDraw->SetShadeColors(1, a.color, a.factor);
        EXPECT_EQ(mDraw->GetRampColor(3, 15) >> 24, a.rampTop);
    }
    // Each slot fills the ramp its style value selects.
    const int rampOf[][2] = {{0, 2}, {1, 3}, {2, 2}, {128, 2}, {253, 2}, {254, 1}, {255, 0}};
    for (const auto& [slot, ramp] : rampOf) {
        EXPECT_EQ(TBvMiniVecDraw::GetRampOfValue(slot), ramp) << slot;
        mDraw->SetShadeColors(slot, 0xFF000000u | static_cast<uint32_t>(slot), 1.0f);
        EXPECT_EQ(mDraw->GetRampColor(ramp, 31), 0xFE000000u | static_cast<uint32_t>(slot));
    }
}

TEST_F(VecDrawTest, NonFiniteTransformsAndPositionsDrawNothing) {
    OpenFrame();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const TGlyphOutline square = Outline(OutlineWriter().Rect(0, 0, 8, 8).End());
    for (auto [sx, sy] : {std::pair{nan, 4.0f}, {4.0f, inf}, {-inf, 4.0f}}) {
        mDraw->SetScale(sx, sy);
        mDraw->Begin(10, 10);
        mDraw->DrawString(square, 0, 0);
        EXPECT_TRUE(Drawn().empty());
    }
    mDraw->SetScale(4.0f, 4.0f);
    mDraw->SetRotation(nan, 0.0f);
    mDraw->Begin(10, 10);
    mDraw->DrawString(square, 0, 0);
    EXPECT_TRUE(Drawn().empty());
    mDraw->SetRotation(1.0f, 0.0f);
    for (float x : {nan, inf, 3e9f}) {
        EXPECT_TRUE(mDraw->Begin(x, 10));
        mDraw->DrawString(square, 0, 0);
        EXPECT_TRUE(Drawn().empty());
    }
}

TEST_F(VecDrawTest, AHugeScaleIsCutToTheWindow) {
    OpenFrame();
    mDraw->SetScale(1e6f, 1e6f);
    mDraw->Begin(0, 0);
    mDraw->DrawString(Outline(OutlineWriter().Rect(-8, -8, 8, 8).End()), 0, 0);
    mDraw->FlushBatch();
    // One full span a pixel row, across the window.
    size_t spans = 0;
    for (const auto& draw : mSink.mDraws) {
        for (size_t i = 0; i + 1 < draw.screenVertices.size(); i += 2) {
            EXPECT_EQ(draw.screenVertices[i].x, -1600.0f);
            EXPECT_EQ(draw.screenVertices[i + 1].x, 1600.0f);
            EXPECT_EQ(draw.screenVertices[i].y, -1600.0f + static_cast<float>(spans));
            ++spans;
        }
    }
    EXPECT_EQ(spans, 3200u);
    EXPECT_LE(mDraw->GetCache().GetMemory(), TSpanCache::kMemoryCap);

    // Scales near the float limit: still only the window.
    mSink.mDraws.clear();
    mDraw->SetScale(3e38f, -3e38f);
    mDraw->DrawString(Outline(OutlineWriter().Move(-8, -8).Line(8, 0).Line(-8, 8).End()), 0, 0);
    mDraw->FlushBatch();
    for (const auto& draw : mSink.mDraws) {
        for (const TTLVertex& v : draw.screenVertices) {
            EXPECT_GE(v.x, -1600.0f);
            EXPECT_LE(v.x, 1600.0f);
            EXPECT_GE(v.y, -1600.0f);
            EXPECT_LT(v.y, 1600.0f);
        }
    }
}

TEST_F(VecDrawTest, DamagedOutlinesDrawWhatWasComplete) {
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);
    std::vector<uint8_t> square = OutlineWriter().Rect(0, 0, 8, 8).Bytes();
    struct Case {
        const char* what;
        std::vector<uint8_t> tail;
    } cases[] = {
        {"end mark", {8, 5, 0, 0, 0, 0}},
        {"unknown opcode", {9, 5, 0, 0, 0, 0}},
        {"opcode 0", {0, 5, 0, 0, 0, 0}},
        {"line cut short", {5, 0, 4}},
        {"curve cut short", {6, 0, 4, 0, 4, 0}},
        {"colour cut short", {7, 1}},
        {"style cut short", {2}},
        {"no end", {}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = square;
        bytes.insert(bytes.end(), c.tail.begin(), c.tail.end());
        // Exactly the bytes, on the heap, so that reading past them is caught.
        auto exact = std::make_unique<uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), exact.get());
        mDraw->Begin(0, 0);
        mDraw->DrawString(TGlyphOutline{exact.get(), bytes.size(), 0, 0}, 0, 0);
        EXPECT_EQ(Drawn(), RectCoverage(0, 0, 32, 32, kFill)) << c.what;
    }
}

TEST_F(VecDrawTest, TheBatchHoldsTwoHundredFiftySixScreenVertices) {
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);
    mDraw->SetOffsets(0.25f, 0.5f, 0.75f);
    mDraw->Begin(0, 0);
    // 200 rows of one span each.
    mDraw->DrawString(Outline(OutlineWriter().Rect(0, 0, 4, 200).End()), 0, 0);
    mDraw->FlushBatch();
    size_t total = 0;
    for (const auto& draw : mSink.mDraws) {
        EXPECT_LE(draw.screenVertices.size(), 256u);
        total += draw.screenVertices.size();
        for (const TTLVertex& v : draw.screenVertices) {
            EXPECT_EQ(v.z, 0.1f);
            EXPECT_EQ(v.rhw, 0.5f);
        }
    }
    EXPECT_EQ(mSink.mDraws.size(), 2u);
    EXPECT_EQ(total, 400u);
    // The line ends carry the offsets.
    const TTLVertex& a = mSink.mDraws[0].screenVertices[0];
    const TTLVertex& b = mSink.mDraws[0].screenVertices[1];
    EXPECT_EQ(a.x, 0.25f);
    EXPECT_EQ(b.x, 4.5f);
    EXPECT_EQ(a.y, 0.75f);
}

}  // namespace
