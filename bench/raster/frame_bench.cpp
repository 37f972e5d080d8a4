// The typical frame through the rasterizer (with each kernel level, and with the fast paths off
// for reference), its parts, and a memcpy of as many bytes as the frame touches: the physical
// limit.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "parts.h"
#include "raster_frame.h"

namespace bench {

namespace {

using raster::TSimd;

// Bytes the frame must read and write at the least: every texel it copies or blends, every
// target pixel it blends (read and written) or stores (written).
int64_t BytesTouched() {
    static const int64_t bytes = [] {
        RasterFrame f(TSimd::Best, true);
        auto fragments = [&](auto draw) {
            f.Rasterizer().ResetStats();
            draw();
            return static_cast<int64_t>(f.Rasterizer().Stats().fragments);
        };
        int64_t background = fragments([&] { f.DrawBackground(); });
        int64_t sprites = fragments([&] { f.DrawSprites(); });
        int64_t spans = fragments([&] { f.DrawSpans(); });
        return background * 8 + sprites * 12 + spans * 8;
    }();
    return bytes;
}

const char* LevelName(TSimd level) {
    switch (level) {
        case TSimd::Avx512:
            return "avx512";
        case TSimd::Avx2:
            return "avx2";
        case TSimd::Sse2:
            return "sse2";
        default:
            return "scalar";
    }
}

void RunFrame(benchmark::State& state, TSimd simd, bool fastPaths, bool lowMemory = false) {
    RasterFrame frame(simd, fastPaths, lowMemory);
    for (auto _ : state) {
        frame.DrawFrame();
        benchmark::DoNotOptimize(frame.Target().Pixels());
        benchmark::ClobberMemory();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(state.iterations() * BytesTouched());
    state.SetLabel(LevelName(frame.Rasterizer().SimdLevel()));
}

void BM_RasterFrame(benchmark::State& state) {
    RunFrame(state, TSimd::Best, true);
}
void BM_RasterFrameAvx2(benchmark::State& state) {
    RunFrame(state, TSimd::Avx2, true);
}
void BM_RasterFrameSse2(benchmark::State& state) {
    RunFrame(state, TSimd::Sse2, true);
}
void BM_RasterFrameScalar(benchmark::State& state) {
    RunFrame(state, TSimd::Scalar, true);
}
void BM_RasterFrameLowMemory(benchmark::State& state) {
    RunFrame(state, TSimd::Best, true, true);
}
void BM_RasterFrameGeneralPath(benchmark::State& state) {
    RunFrame(state, TSimd::Scalar, false);
}

// The parts of the frame on their own.
void BM_RasterPart(benchmark::State& state) {
    RasterFrame frame(TSimd::Best, true);
    RunPart(state, frame);
}

void BM_MemcpyFrameBytes(benchmark::State& state) {
    // memcpy reads n bytes and writes n: 2n bytes touched.
    size_t n = static_cast<size_t>(BytesTouched() / 2);
    std::vector<uint8_t> from(n, 1), to(n, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), n);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["bytes_touched"] = static_cast<double>(BytesTouched());
    state.SetBytesProcessed(state.iterations() * BytesTouched());
}

}  // namespace

BENCHMARK(BM_RasterFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrameAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrameSse2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrameScalar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrameLowMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrameGeneralPath)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterPart)->DenseRange(0, kPartCount - 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyFrameBytes)->Unit(benchmark::kMicrosecond);

}  // namespace bench
