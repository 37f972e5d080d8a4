// The glyph drawer's costs on a typical screen of text: 40 lines of 50 glyphs, sizes 10 to 48
// pixels, from a font of 64 glyphs of one or two contours of about 20 lines and curves each.
//   LineList/Texture Cold: a fresh drawer each frame, every glyph rasterised.
//   LineList/Texture Warm: the cache filled by an earlier frame, every glyph replayed.
//   Rasterizer/DrawerWarm: the warm frame with its line lists drawn by raster::TRasterizer, as
//     the device draws them; Rasterizer/SpansOnly: the same lists, recorded once, drawn straight
//     through the rasterizer (the peer: what the frame costs without the drawer).
//   AnimatedHitRate: 60 frames with the first 50 glyphs animated in scale; counters give the hit
//     rate and how many glyphs each later frame rasterises.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "glyphsinks.h"
#include "mvecwriter.h"
#include "platform/draw/bvminivecdraw.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/font/vecfont.h"
#include "platform/texture/texture.h"
#include "raster/rasterizer.h"

namespace {

using testing_support::MvecGlyph;
using testing_support::OutlineWriter;

using glyph_bench::kHeight;
using glyph_bench::kWidth;
using glyph_bench::LineListFrame;
using glyph_bench::NullSink;
using glyph_bench::RasterSink;
constexpr int kGlyphs = 2000;
constexpr int kPerLine = 50;

// A closed wavy ring of 10 lines and 10 curves around (cx, cy).
void Contour(OutlineWriter& w, double cx, double cy, double radius, int seed, bool reversed) {
    auto point = [&](int i, double r) {
        double a = (reversed ? -1 : 1) * 2 * 3.14159265358979 * i / 20.0;
        double wobble = 1.0 + 0.15 * std::sin(seed * 1.7 + i * 2.3);
        return std::pair{cx + r * wobble * std::cos(a), cy - r * wobble * std::sin(a)};
    };
    auto [x0, y0] = point(0, radius);
    w.Move(x0, y0);
    for (int i = 1; i <= 20; ++i) {
        auto [x, y] = point(i % 20, radius);
        if (i % 2 == 0) {
            auto [qx, qy] = point(i - 1, radius * 1.1);
            w.Curve(qx, qy, x, y);
        } else {
            w.Line(x, y);
        }
    }
}

std::unique_ptr<TVecFont> MakeFont() {
    std::vector<MvecGlyph> glyphs;
    for (int i = 0; i < 64; ++i) {
        MvecGlyph g;
        g.code = 'A' + static_cast<uint32_t>(i);
        g.x0 = 0.5;
        g.x1 = 9.5;
        g.top = -10;
        g.bottom = i % 5 == 0 ? 3 : 0;
        g.advance = 10;
        OutlineWriter w;
        Contour(w, 5, -5, 4.5, i, false);
        if (i % 2 == 0) Contour(w, 5, -5, 2.0, i + 7, true);  // a hole
        g.outline = w.End().Bytes();
        glyphs.push_back(g);
    }
    return std::make_unique<TVecFont>(testing_support::WriteMvec(glyphs));
}

struct Placed {
    int glyph;
    float size;
};

// 40 lines of 50 glyphs; each line one size, from 10 to 48 pixels.
std::vector<Placed> MakeScreen() {
    std::vector<Placed> screen;
    const float sizes[] = {10, 12, 14, 16, 18, 20, 24, 32, 40, 48};
    for (int i = 0; i < kGlyphs; ++i) {
        screen.push_back({(i * 7 + i / kPerLine) % 64, sizes[(i / kPerLine) % 10]});
    }
    return screen;
}

// Draws the screen as the text layout does: one Begin per line, glyphs at pen offsets in quarter
// pixels. animated: the first 50 glyphs scaled by a factor that changes every frame.
void DrawScreen(TBvMiniVecDraw& draw, const TVecFont& font, const std::vector<Placed>& screen,
                const std::shared_ptr<TTexture>& target, int frame = -1) {
    const float lineFraction = TVecFont::GetLineFraction();
    const float unitScale = 4.0f * lineFraction / (font.GetAscent() + font.GetDescent());
    float y = 12.25f;
    for (size_t start = 0; start < screen.size(); start += kPerLine) {
        const float size = screen[start].size;
        draw.Begin(3.5f, y, target);
        float pen = 0.0f;
        for (size_t i = start; i < start + kPerLine && i < screen.size(); ++i) {
            float scale = size * unitScale;
            if (frame >= 0 && i < 50) scale *= 1.0f + 0.2f * std::sin(frame * 0.37f + i);
            draw.SetScale(scale, scale);
            draw.DrawString(font.GetGlyphShape(screen[i].glyph), static_cast<int>(std::lround(pen)),
                            0);
            pen += font.GetGlyphAdvance(screen[i].glyph) * scale;
        }
        y += size * 0.4f;
    }
    draw.Flush();
}

std::unique_ptr<TBvMiniVecDraw> MakeDrawer() {
    auto draw = std::make_unique<TBvMiniVecDraw>();
    draw->SetShadeColors(1, 0xFFF0E0D0u, 1.0f);
    // The calibrated line ends of the device's line rule.
    draw->SetOffsets(-0.75f, -0.75f, 0.0f);
    return draw;
}

void Run(benchmark::State& state, bool texture, bool warm) {
    NullSink sink;
    LineListFrame frame(&sink);
    std::unique_ptr<TVecFont> font = MakeFont();
    const std::vector<Placed> screen = MakeScreen();
    std::shared_ptr<TTexture> target = texture ? TTexture::Create(kWidth, kHeight, true) : nullptr;
    std::unique_ptr<TBvMiniVecDraw> draw = MakeDrawer();
    if (warm) DrawScreen(*draw, *font, screen, target);
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            draw = MakeDrawer();
            state.ResumeTiming();
        }
        DrawScreen(*draw, *font, screen, target);
    }
    state.SetItemsProcessed(state.iterations() * kGlyphs);
    state.counters["spans/frame"] = benchmark::Counter(static_cast<double>(sink.vertices) / 2.0 /
                                                       static_cast<double>(state.iterations()));
}

void LineListCold(benchmark::State& state) {
    Run(state, false, false);
}
void LineListWarm(benchmark::State& state) {
    Run(state, false, true);
}
void TextureCold(benchmark::State& state) {
    Run(state, true, false);
}
void TextureWarm(benchmark::State& state) {
    Run(state, true, true);
}

void RasterizerDrawerWarm(benchmark::State& state) {
    RasterSink sink;
    LineListFrame frame(&sink);
    std::unique_ptr<TVecFont> font = MakeFont();
    const std::vector<Placed> screen = MakeScreen();
    std::unique_ptr<TBvMiniVecDraw> draw = MakeDrawer();
    DrawScreen(*draw, *font, screen, nullptr);
    for (auto _ : state)
        DrawScreen(*draw, *font, screen, nullptr);
    state.SetItemsProcessed(state.iterations() * kGlyphs);
}

void RasterizerSpansOnly(benchmark::State& state) {
    RasterSink sink;
    LineListFrame frame(&sink);
    std::unique_ptr<TVecFont> font = MakeFont();
    const std::vector<Placed> screen = MakeScreen();
    std::unique_ptr<TBvMiniVecDraw> draw = MakeDrawer();
    DrawScreen(*draw, *font, screen, nullptr);
    sink.record = true;
    DrawScreen(*draw, *font, screen, nullptr);
    sink.record = false;
    for (auto _ : state) {
        for (const auto& list : sink.recorded) {
            sink.Draw(list.data(), static_cast<int>(list.size()));
        }
    }
    state.SetItemsProcessed(state.iterations() * kGlyphs);
}

void AnimatedHitRate(benchmark::State& state) {
    NullSink sink;
    LineListFrame frame(&sink);
    std::unique_ptr<TVecFont> font = MakeFont();
    const std::vector<Placed> screen = MakeScreen();
    double hitRate = 0;
    double laterRasterised = 0;
    double memory = 0;
    for (auto _ : state) {
        std::unique_ptr<TBvMiniVecDraw> draw = MakeDrawer();
        DrawScreen(*draw, *font, screen, nullptr, 0);
        const uint64_t firstFrame = draw->GetStats().rasterised;
        for (int frame = 1; frame < 60; ++frame)
            DrawScreen(*draw, *font, screen, nullptr, frame);
        const TBvMiniVecDraw::Stats& stats = draw->GetStats();
        hitRate = static_cast<double>(stats.replayed) /
                  static_cast<double>(stats.replayed + stats.rasterised);
        laterRasterised = static_cast<double>(stats.rasterised - firstFrame) / 59.0;
        memory = static_cast<double>(draw->GetCache().GetMemory());
    }
    state.SetItemsProcessed(state.iterations() * kGlyphs * 60);
    state.counters["hit_rate"] = hitRate;
    state.counters["rasterised/later_frame"] = laterRasterised;
    state.counters["cache_bytes"] = memory;
}

BENCHMARK(LineListCold)->Unit(benchmark::kMillisecond);
BENCHMARK(LineListWarm)->Unit(benchmark::kMicrosecond);
BENCHMARK(TextureCold)->Unit(benchmark::kMillisecond);
BENCHMARK(TextureWarm)->Unit(benchmark::kMicrosecond);
BENCHMARK(RasterizerDrawerWarm)->Unit(benchmark::kMicrosecond);
BENCHMARK(RasterizerSpansOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(AnimatedHitRate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
