// The parts of the typical frame, and the benchmark loop shared by the rasterizer and pixman
// versions of it. Frame is any type with DrawFrame(rotated), DrawBackground,
// DrawSprites(kind, rotated) and DrawSpans.
#pragma once

#include <benchmark/benchmark.h>

#include "scene.h"

namespace bench {

// The sprite kinds come in the order of SpriteKind. The frame without its rotated sprites is
// the frame where neither side draws more than the sprites cover: pixman composites the whole
// bounding box of a rotated sprite.
enum class Part {
    Plain,
    Faded,
    Scaled,
    Rotated,
    Background,
    Sprites,
    Spans,
    FrameWithoutRotated,
    Frame
};
constexpr int kPartCount = 9;

inline const char* PartName(Part part) {
    static const char* const kNames[] = {
        "plain",      "faded",   "scaled", "rotated",
        "background", "sprites", "spans",  "frame without rotated sprites",
        "frame"};
    return kNames[static_cast<int>(part)];
}

template <typename Frame>
void DrawPart(Frame& frame, Part part) {
    switch (part) {
        case Part::Background:
            frame.DrawBackground();
            break;
        case Part::Sprites:
            frame.DrawSprites(-1);
            break;
        case Part::Spans:
            frame.DrawSpans();
            break;
        case Part::FrameWithoutRotated:
            frame.DrawFrame(false);
            break;
        case Part::Frame:
            frame.DrawFrame();
            break;
        default:
            frame.DrawSprites(static_cast<int>(part));
            break;
    }
}

// range(0): the part.
template <typename Frame>
void RunPart(benchmark::State& state, Frame& frame) {
    Part part = static_cast<Part>(state.range(0));
    for (auto _ : state) {
        DrawPart(frame, part);
        benchmark::ClobberMemory();
    }
    if (part == Part::Frame || part == Part::FrameWithoutRotated) {
        state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    }
    state.SetLabel(PartName(part));
}

}  // namespace bench
