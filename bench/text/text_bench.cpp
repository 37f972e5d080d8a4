// Laying out and drawing a page of text with markup (bench/text/README.md): about 20 KB of words
// with a tag every few words in a 600-pixel box, in the built-in font at 16 pixels, drawn into a
// glyph drawer that discards what it is handed. Its peer, in the same run, is plain measuring of
// the same characters in the same font: the sum of their glyph advances, with no markup, no
// breaking and no drawing. A page that does not change is drawn frame after frame with its text
// set again, as a window does, and must cost no layout work.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../support/besttimes.h"
#include "foundation/utf8.h"
#include "platform/draw/bvminivecdraw.h"
#include "platform/font/fontcache.h"
#include "platform/font/vecfont.h"
#include "platform/platform.h"
#include "platform/text/drawstringat.h"
#include "platform/text/textlayout.h"
#include "platform/win32platform.h"
#include "port/control.h"

namespace {

constexpr int kBoxWidth = 600;
// Tall enough that every line of a page is drawn.
constexpr int kBoxHeight = 1 << 20;
constexpr int kFontSize = 16;
constexpr size_t kPageBytes = 20000;
const char* const kFont = "__DEFAULT";

// Takes every call and draws nothing; counts the outlines it is handed.
class TDiscardingVecDraw : public TBvMiniVecDraw {
public:
    bool Begin(float, float, const std::shared_ptr<TTexture>& = nullptr,
               std::shared_ptr<TTexture> = nullptr) override {
        return true;
    }
    void SetShadeColors(int, uint32_t, float) override {}
    void DrawString(const TGlyphOutline& outline, int x, int y) override {
        benchmark::DoNotOptimize(outline.bytes);
        benchmark::DoNotOptimize(x + y);
        ++mOutlines;
    }
    void Flush() override {}
    int64_t mOutlines = 0;
};

// Counts the layouts whose text changed.
class TTextChanges : public TTextLayoutObserver {
public:
    void OnCreate(const TTextLayout*) override {}
    void OnSetText(const TTextLayout*, const str&) override { ++mChanges; }
    void OnDelete(const TTextLayout*) override {}
    int64_t mChanges = 0;
};

TDiscardingVecDraw& Drawer() {
    static TDiscardingVecDraw* drawer = [] {
        port::control::UseFakeClock(true);
        auto* app = new TPlatform();
        auto owned = std::make_unique<TDiscardingVecDraw>();
        TDiscardingVecDraw* discarding = owned.get();
        app->GetPlatform()->SetVecDraw(std::move(owned));
        return discarding;
    }();
    return *drawer;
}

// A page: the text with markup and the same characters without it.
struct Page {
    std::string marked;
    std::string plain;
};

// Three shapes of what the windows show: a tutorial's prose with a tag every dozen words, a
// dense page with a tag every two or three words (links, colours, bold), and a statistics table
// of short rows with tab stops and line breaks. Words from a small vocabulary of mixed lengths,
// some with accented letters, chosen by a fixed generator.
Page MakePage(int shape) {
    static const char* const kWords[] = {
        "the",    "tribe",    "gathers", "water",        "near", "idol",    "of",    "hyena",
        "ark",    "creature", "grows",   "hungry",       "and",  "thirsty", "a",     "location",
        "builds", "forage",   "doctor",  "Fever",        "café", "über",    "naïve", "settlement",
        "day",    "night",    "to",      "achievements", "map",  "history", "is",    "quickly"};
    const int tagEvery = shape == 0 ? 12 : shape == 1 ? 2 : 4;
    Page page;
    uint32_t random = 12345;
    auto next = [&random] {
        random = random * 1103515245u + 12345u;
        return random >> 16;
    };
    int word = 0;
    auto add = [&page](const std::string& text, bool shown) {
        page.marked += text;
        if (shown) page.plain += text;
    };
    while (page.marked.size() < kPageBytes) {
        const std::string w = kWords[next() % std::size(kWords)];
        ++word;
        if (word % tagEvery != 0) {
            add(w + " ", true);
            continue;
        }
        switch (next() % (shape == 2 ? 2 : 5)) {
            case 0:
                add(shape == 2 ? "<tab pos='" + std::to_string(120 + next() % 300) + "'>" : "<b>",
                    false);
                add(w, true);
                add(shape == 2 ? "" : "</b>", false);
                break;
            case 1:
                add(w, true);
                add(shape == 2 || word % 7 == 0 ? "<br>" : " ", false);
                break;
            case 2:
                add("<font color='#c02020'>", false);
                add(w, true);
                add("</font>", false);
                break;
            case 3:
                add("<a id='link" + std::to_string(word) + "' color='2040ff'><u>", false);
                add(w, true);
                add("</u></a>", false);
                break;
            default:
                add("<i>", false);
                add(w, true);
                add("</i>", false);
                break;
        }
        add(" ", true);
    }
    return page;
}

const Page& PageOf(int shape) {
    static std::map<int, Page> pages;
    auto found = pages.find(shape);
    if (found == pages.end()) found = pages.emplace(shape, MakePage(shape)).first;
    return found->second;
}

const char* ShapeName(int shape) {
    return shape == 0 ? "prose" : shape == 1 ? "dense" : "table";
}

// The peer: the advances of the characters summed in pixels at the page's size.
double PlainMeasure(const TVecFont& font, const std::string& text) {
    const float scale = static_cast<float>(kFontSize) * TVecFont::GetLineFraction() /
                        (font.GetAscent() + font.GetDescent());
    double width = 0.0;
    for (size_t i = 0; i < text.size();) {
        const int length = std::max(Utf8SequenceLength(static_cast<unsigned char>(text[i])), 1);
        const uint32_t code = Utf8Decode(text.c_str() + i);
        i += static_cast<size_t>(length);
        const int glyph = font.FindGlyph(code);
        if (glyph >= 0) width += font.GetGlyphAdvance(glyph) * scale;
    }
    return width;
}

void BM_PlainMeasure(benchmark::State& state) {
    Drawer();
    const std::string& text = PageOf(static_cast<int>(state.range(0))).plain;
    const TVecFont* font = GetVecFont(kFont);
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainMeasure(*font, text));
    state.SetLabel(ShapeName(static_cast<int>(state.range(0))));
    state.counters["chars"] = static_cast<double>(text.size());
}

// A full layout of the page (made and deleted).
void BM_Layout(benchmark::State& state) {
    Drawer();
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const str text = PageOf(static_cast<int>(state.range(0))).marked.c_str();
    int lines = 0;
    for (auto _ : state) {
        TTextLayout* layout =
            TTextLayout::Create(text, kBoxWidth, kBoxHeight, 0, kFont, kFontSize, white);
        lines = layout->GetLineCount();
        TTextLayout::Delete(layout);
    }
    state.SetLabel(ShapeName(static_cast<int>(state.range(0))));
    state.counters["lines"] = lines;
}

// A full layout and one draw of every line.
void BM_LayoutAndDraw(benchmark::State& state) {
    TDiscardingVecDraw& drawer = Drawer();
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const str text = PageOf(static_cast<int>(state.range(0))).marked.c_str();
    drawer.mOutlines = 0;
    for (auto _ : state) {
        TTextLayout* layout =
            TTextLayout::Create(text, kBoxWidth, kBoxHeight, 0, kFont, kFontSize, white);
        DrawStringAt(layout, TRect{0, 0, kBoxWidth, kBoxHeight}, 1.0f, 0, 1.0f);
        TTextLayout::Delete(layout);
    }
    state.SetLabel(ShapeName(static_cast<int>(state.range(0))));
    state.counters["outlines"] = benchmark::Counter(static_cast<double>(drawer.mOutlines),
                                                    benchmark::Counter::kAvgIterations);
}

// Frames of a page that does not change: its text set again, then drawn.
void BM_UnchangedFrame(benchmark::State& state) {
    Drawer();
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const str text = PageOf(static_cast<int>(state.range(0))).marked.c_str();
    TTextLayout* layout =
        TTextLayout::Create(text, kBoxWidth, kBoxHeight, 0, kFont, kFontSize, white);
    TTextChanges changes;
    TTextLayout::SetObserver(&changes);
    for (auto _ : state) {
        layout->SetText(text);
        DrawStringAt(layout, TRect{0, 0, kBoxWidth, kBoxHeight}, 1.0f, 0, 1.0f);
    }
    TTextLayout::SetObserver(nullptr);
    TTextLayout::Delete(layout);
    state.SetLabel(ShapeName(static_cast<int>(state.range(0))));
    state.counters["layouts_per_frame"] = benchmark::Counter(static_cast<double>(changes.mChanges),
                                                             benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_PlainMeasure)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Layout)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LayoutAndDraw)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UnchangedFrame)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// The console table, then per shape the layout's time over the plain measure's (best of the
// repetitions).
class TSummary : public bench::TBestTimesReporter {
public:
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nlayout and drawing against the plain measure (best times):\n");
        for (int shape = 0; shape <= 2; ++shape) {
            const std::string arg = std::to_string(shape);
            const double plain = Best("BM_PlainMeasure/" + arg);
            if (plain <= 0.0) continue;
            const double layout = Best("BM_Layout/" + arg);
            const double drawn = Best("BM_LayoutAndDraw/" + arg);
            std::printf(
                "  %-6s plain %8.1f us   layout %8.1f us (%.2fx)   layout+draw %8.1f us "
                "(%.2fx)   unchanged frame %8.1f us\n",
                ShapeName(shape), plain * 1e6, layout * 1e6, layout / plain, drawn * 1e6,
                drawn / plain, Best("BM_UnchangedFrame/" + arg) * 1e6);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    TSummary summary;
    return bench::RunWithReporter(argc, argv, summary);
}
