// Loading an XML animation with the game's loader (TAnimatedTexture::LoadXml) at 10^4, 10^5 and
// 10^6 frames, served from memory by the file layer so that no run waits on a disk. The time per
// frame must stay flat: the reported complexity is fitted against N. Two shapes of frame:
//   - Plain: rectangles only, and no script, so the loader writes the default script that names
//     every frame ("frames{1,2,...}");
//   - Full: a name, an opacity, a registration point and a transform on every other frame (the
//     others inherit them), two anchors, and a script of the animation's own.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "foundation/file/fileindex.h"
#include "platform/animation/animatedtexture.h"
#include "platform/animation/animationdata.h"

namespace {

std::string Animation(int64_t frames, bool full) {
    std::string text =
        "<sequence name=\"walk\" source=\"walk.psd\">\n"
        "<img name=\"walk.png\" regx=\"0\" regy=\"0\" w=\"1024\" h=\"1024\"/>\n<framelist>\n";
    char frame[256];
    for (int64_t i = 0; i < frames; ++i) {
        const int x = static_cast<int>(i % 32) * 32;
        const int y = static_cast<int>(i / 32 % 32) * 32;
        int length;
        if (!full) {
            length = std::snprintf(frame, sizeof frame,
                                   "<frame x=\"%d\" y=\"%d\" w=\"32\" h=\"32\"/>\n", x, y);
        } else if (i % 2 == 0) {
            length = std::snprintf(
                frame, sizeof frame,
                "<frame name=\"f%lld\" x=\"%d\" y=\"%d\" w=\"32\" h=\"32\" alpha=\"0.5\" "
                "regx=\"16\" regy=\"30\" xform=\"1 0 0 1 %d 0\"><anchor name=\"hand\" x=\"3\" "
                "y=\"4\"/><anchor name=\"foot\" x=\"5\" y=\"6\"/></frame>\n",
                static_cast<long long>(i), x, y, x / 32);
        } else {
            length = std::snprintf(frame, sizeof frame,
                                   "<frame name=\"f%lld\" x=\"%d\" y=\"%d\" w=\"32\" h=\"32\">"
                                   "<anchor name=\"hand\" x=\"3\" y=\"4\"/></frame>\n",
                                   static_cast<long long>(i), x, y);
        }
        text.append(frame, static_cast<size_t>(length));
    }
    text += "</framelist>\n";
    if (full) text += "<script luascript=\"function DoAnim() delay(60); frames{1}; end\"/>\n";
    return text + "</sequence>\n";
}

void LoadAnimation(benchmark::State& state, bool full) {
    const std::string text = Animation(state.range(0), full);
    RegisterMemoryFile("walk.xml", text.data(), static_cast<uint32_t>(text.size()));
    for (auto _ : state) {
        auto animation = std::make_shared<TAnimatedTexture>("walk.xml");
        if (!animation->LoadXml("walk.xml")) state.SkipWithError("the animation did not load");
        benchmark::DoNotOptimize(animation->GetAnimation().GetFrameCount());
    }
    RegisterMemoryFile("walk.xml", nullptr, 0);
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["bytes"] = static_cast<double>(text.size());
}

void BM_LoadXmlAnimation_Plain(benchmark::State& state) {
    LoadAnimation(state, false);
}
void BM_LoadXmlAnimation_Full(benchmark::State& state) {
    LoadAnimation(state, true);
}

BENCHMARK(BM_LoadXmlAnimation_Plain)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadXmlAnimation_Full)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
