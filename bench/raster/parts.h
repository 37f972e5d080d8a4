// The benchmark loops shared by the rasterizer and pixman versions of the frame: a whole frame,
// one part of it, or the sprites of one kind. Frame is any type with DrawFrame, DrawBackground,
// DrawSprites(kind) and DrawSpans.
#pragma once

#include <benchmark/benchmark.h>

namespace bench {

template <typename Frame>
void RunFrames(benchmark::State& state, Frame& frame) {
    for (auto _ : state) {
        frame.DrawFrame();
        benchmark::ClobberMemory();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// range(0): 0 the background, 1 the sprites, 2 the glyph spans.
template <typename Frame>
void RunPart(benchmark::State& state, Frame& frame) {
    for (auto _ : state) {
        switch (state.range(0)) {
            case 0:
                frame.DrawBackground();
                break;
            case 1:
                frame.DrawSprites(-1);
                break;
            default:
                frame.DrawSpans();
                break;
        }
        benchmark::ClobberMemory();
    }
    static const char* const kNames[] = {"background", "sprites", "spans"};
    state.SetLabel(kNames[state.range(0)]);
}

// range(0): the kind of sprite (SpriteKind).
template <typename Frame>
void RunSprites(benchmark::State& state, Frame& frame) {
    for (auto _ : state) {
        frame.DrawSprites(static_cast<int>(state.range(0)));
        benchmark::ClobberMemory();
    }
    static const char* const kNames[] = {"plain", "faded", "scaled", "rotated"};
    state.SetLabel(kNames[state.range(0)]);
}

}  // namespace bench
