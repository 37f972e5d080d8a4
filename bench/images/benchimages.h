// The images the decoder benchmarks decode: 1024 × 1024, made once per run.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

namespace bench_images {

constexpr int kSide = 1024;

// A smooth, photo-like picture with a little noise, coded as PNG (RGBA or RGB) and as a
// quality-90 JPEG.
const std::string& RgbaPng();
const std::string& RgbPng();
const std::string& Jpeg90();

// Reports megapixels decoded per second, one image an iteration.
inline void CountMegapixels(benchmark::State& state) {
    state.counters["MP/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSide * kSide / 1e6, benchmark::Counter::kIsRate);
}

}  // namespace bench_images
