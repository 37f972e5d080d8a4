// A screen of text from the converted default font, drawn by the glyph drawer into a texture, and
// the same glyphs at the same sizes rendered by FreeType (anti-aliased, unhinted), as peer:
//   Drawer/TextureCold: a fresh drawer each frame, every glyph rasterised.
//   Drawer/TextureWarm: the cache filled by an earlier frame, every glyph replayed.
//   Drawer/LineListCold, Drawer/LineListWarm: the same through the line list, into a sink that only
//     counts the vertices (the device's cost is bench_vecfont's).
//   Rasterizer/DrawerWarm: the warm frame's line lists drawn by raster::TRasterizer, as the device
//     draws them; Rasterizer/SpansOnly: the same lists, recorded once, drawn straight through the
//     rasterizer (what the frame costs without the drawer).
//   Drawer/AnimatedHitRate: 60 frames with the first 50 glyphs animated in scale; counters give the
//     hit rate and how many glyphs each later frame rasterises.
//   FreeType/RenderGlyph: FT_Load_Glyph and FT_Render_Glyph for every glyph of the frame (FreeType
//     keeps no cache of its own, so its every frame is "cold"; nothing is blended).
// The frame: 40 lines of 50 glyphs of letters, digits and a few accented ones, the sizes of the
// lines going from 10 to 48 pixels (em), pen positions in quarter pixels.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "foundation/assetmanager.h"
#include "glyphsinks.h"
#include "platform/draw/bvminivecdraw.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/font/vecfont.h"
#include "platform/texture/texture.h"
#include "raster/rasterizer.h"

namespace {

using glyph_bench::kHeight;
using glyph_bench::kWidth;
using glyph_bench::LineListFrame;
using glyph_bench::NullSink;
using glyph_bench::RasterSink;
constexpr int kLines = 40;
constexpr int kPerLine = 50;
const char32_t kText[] =
    U"The quick brown fox jumps over a lazy dog: 0123456789 \u00e9\u00e8\u00fc\u00df \u20ac @WgO";

struct Glyph {
    uint32_t code;
    double size;
    double x, y;  // pixels
};

std::vector<Glyph> Frame() {
    std::vector<Glyph> glyphs;
    size_t t = 0;
    for (int line = 0; line < kLines; ++line) {
        double size = 10.0 + 38.0 * (line % 8) / 7.0;
        double y = 20.0 + line * 18.7;
        double x = 4.0 + line * 0.25;
        for (int i = 0; i < kPerLine; ++i, ++t) {
            uint32_t code = kText[t % (sizeof kText / sizeof kText[0] - 1)];
            glyphs.push_back({code, size, x, y});
            x += size * 0.45;
        }
    }
    return glyphs;
}

class Fixture {
public:
    Fixture() {
        SetAssetManager(&mManager);
        TRenderer::GetInstance()->SetSink(&mSink);
        std::ifstream file(DEFAULT_FONT_FILE, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
        mFont = std::make_unique<TVecFont>(std::move(bytes));
        mTarget = TTexture::Create(kWidth, kHeight, true);
        FT_Init_FreeType(&mLibrary);
        FT_New_Face(mLibrary, DEJAVU_SANS, 0, &mFace);
        mGlyphs = Frame();
    }
    ~Fixture() {
        FT_Done_Face(mFace);
        FT_Done_FreeType(mLibrary);
        mTarget.reset();
        TRenderer::DestroyInstance();
        SetAssetManager(nullptr);
    }
    bool Ready() const { return mFont->GetGlyphCount() > 0 && mFace != nullptr && mTarget; }

    // Into the texture, or through the line list; frame >= 0 animates the first 50 glyphs' scale.
    void DrawFrame(TBvMiniVecDraw& draw, bool texture = true, int frame = -1) {
        double height = static_cast<double>(mFace->ascender) - mFace->descender;
        draw.SetShadeColors(1, 0xFF1A2A6Cu, 1.0f);
        draw.Begin(0, 0, texture ? mTarget : nullptr);
        for (size_t i = 0; i < mGlyphs.size(); ++i) {
            const Glyph& g = mGlyphs[i];
            float scale = static_cast<float>(4.0 * g.size * height / (mFace->units_per_EM * 64.0));
            if (frame >= 0 && i < 50) scale *= 1.0f + 0.2f * std::sin(frame * 0.37f + i);
            draw.SetScale(scale, scale);
            draw.DrawString(mFont->GetGlyphShape(mFont->FindGlyph(g.code)),
                            static_cast<int>(std::lround(g.x * 4)), static_cast<int>(g.y * 4));
        }
        draw.Flush();
    }

    int RenderFreeType() {
        int pixels = 0;
        double size = -1;
        for (const Glyph& g : mGlyphs) {
            if (g.size != size) {
                size = g.size;
                FT_Set_Char_Size(mFace, 0, static_cast<FT_F26Dot6>(size * 64), 72, 72);
            }
            FT_Load_Char(mFace, g.code, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
            double fx = g.x - std::floor(g.x), fy = g.y - std::floor(g.y);
            FT_Outline_Translate(&mFace->glyph->outline, std::lround(fx * 64),
                                 -std::lround(fy * 64));
            FT_Render_Glyph(mFace->glyph, FT_RENDER_MODE_NORMAL);
            pixels += static_cast<int>(mFace->glyph->bitmap.rows * mFace->glyph->bitmap.width);
        }
        return pixels;
    }

    size_t Count() const { return mGlyphs.size(); }

private:
    TAssetManager mManager;
    TRecordingRenderSink mSink;
    std::unique_ptr<TVecFont> mFont;
    std::shared_ptr<TTexture> mTarget;
    FT_Library mLibrary = nullptr;
    FT_Face mFace = nullptr;
    std::vector<Glyph> mGlyphs;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void Drawer_TextureCold(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.Ready()) return state.SkipWithError("no converted font or FreeType face");
    for (auto _ : state) {
        TBvMiniVecDraw draw;
        f.DrawFrame(draw);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * f.Count()));
}
BENCHMARK(Drawer_TextureCold)->Unit(benchmark::kMillisecond);

void Drawer_TextureWarm(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.Ready()) return state.SkipWithError("no converted font or FreeType face");
    TBvMiniVecDraw draw;
    f.DrawFrame(draw);
    draw.ResetStats();
    for (auto _ : state)
        f.DrawFrame(draw);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * f.Count()));
    state.counters["rasterised"] = static_cast<double>(draw.GetStats().rasterised);
}
BENCHMARK(Drawer_TextureWarm)->Unit(benchmark::kMillisecond);

void LineList(benchmark::State& state, bool warm) {
    Fixture& f = Shared();
    if (!f.Ready()) return state.SkipWithError("no converted font or FreeType face");
    NullSink sink;
    LineListFrame frame(&sink);
    auto draw = std::make_unique<TBvMiniVecDraw>();
    if (warm) f.DrawFrame(*draw, false);
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            draw = std::make_unique<TBvMiniVecDraw>();
            state.ResumeTiming();
        }
        f.DrawFrame(*draw, false);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * f.Count()));
}
void Drawer_LineListCold(benchmark::State& state) {
    LineList(state, false);
}
void Drawer_LineListWarm(benchmark::State& state) {
    LineList(state, true);
}
BENCHMARK(Drawer_LineListCold)->Unit(benchmark::kMillisecond);
BENCHMARK(Drawer_LineListWarm)->Unit(benchmark::kMillisecond);

// The drawer with the calibrated line ends of the device's line rule.
std::unique_ptr<TBvMiniVecDraw> CalibratedDrawer() {
    auto draw = std::make_unique<TBvMiniVecDraw>();
    draw->SetOffsets(-0.75f, -0.75f, 0.0f);
    return draw;
}

void Rasterizer_DrawerWarm(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.Ready()) return state.SkipWithError("no converted font or FreeType face");
    RasterSink sink;
    LineListFrame frame(&sink);
    std::unique_ptr<TBvMiniVecDraw> draw = CalibratedDrawer();
    f.DrawFrame(*draw, false);
    for (auto _ : state)
        f.DrawFrame(*draw, false);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * f.Count()));
}
BENCHMARK(Rasterizer_DrawerWarm)->Unit(benchmark::kMillisecond);

void Rasterizer_SpansOnly(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.Ready()) return state.SkipWithError("no converted font or FreeType face");
    RasterSink sink;
    LineListFrame frame(&sink);
    std::unique_ptr<TBvMiniVecDraw> draw = CalibratedDrawer();
    f.DrawFrame(*draw, false);
    sink.record = true;
    f.DrawFrame(*draw, false);
    sink.record = false;
    for (auto _ : state) {
        for (const auto& list : sink.recorded)
            sink.Draw(list.data(), static_cast<int>(list.size()));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * f.Count()));
}
BENCHMARK(Rasterizer_SpansOnly)->Unit(benchmark::kMillisecond);

void Drawer_AnimatedHitRate(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.Ready()) return state.SkipWithError("no converted font or FreeType face");
    NullSink sink;
    LineListFrame frame(&sink);
    double hitRate = 0, laterRasterised = 0;
    for (auto _ : state) {
        TBvMiniVecDraw draw;
        f.DrawFrame(draw, false, 0);
        const uint64_t first = draw.GetStats().rasterised;
        for (int i = 1; i < 60; ++i)
            f.DrawFrame(draw, false, i);
        const TBvMiniVecDraw::Stats& stats = draw.GetStats();
        hitRate = static_cast<double>(stats.replayed) /
                  static_cast<double>(stats.replayed + stats.rasterised);
        laterRasterised = static_cast<double>(stats.rasterised - first) / 59.0;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * f.Count() * 60));
    state.counters["hit_rate"] = hitRate;
    state.counters["rasterised/later_frame"] = laterRasterised;
}
BENCHMARK(Drawer_AnimatedHitRate)->Unit(benchmark::kMillisecond);

void FreeType_RenderGlyph(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.Ready()) return state.SkipWithError("no converted font or FreeType face");
    for (auto _ : state)
        benchmark::DoNotOptimize(f.RenderFreeType());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * f.Count()));
}
BENCHMARK(FreeType_RenderGlyph)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
