// The typical frame and its parts composited by pixman, each benchmark followed by the
// comparison of pixman's picture with the rasterizer's (agreement.h): the largest channel
// difference and the pixels beyond 2 are reported beside the time, and a difference beyond the
// limits fails the run.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "agreement.h"
#include "parts.h"
#include "pixman_frame.h"

namespace bench {

namespace {

bool gDisagreed = false;

void BM_PixmanPart(benchmark::State& state) {
    PixmanFrame frame;
    RunPart(state, frame);
    Part part = static_cast<Part>(state.range(0));
    const Agreement& a = CompareWithPixman(part);
    state.counters["max_diff"] = a.maxDiff;
    state.counters["over_2"] = static_cast<double>(a.over2);
    AgreementLimit limit = LimitOf(part);
    if (!Within(a, limit)) {
        gDisagreed = true;
        char message[160];
        std::snprintf(message, sizeof message,
                      "%s: the pictures differ beyond the rounding rules: %d per channel and %lld "
                      "pixels beyond 2, where %d and %lld are allowed",
                      PartName(part), a.maxDiff, static_cast<long long>(a.over2), limit.maxDiff,
                      static_cast<long long>(limit.over2));
        state.SkipWithError(message);
    }
}

}  // namespace

bool PixmanDisagreed() {
    return gDisagreed;
}

BENCHMARK(BM_PixmanPart)->DenseRange(0, kPartCount - 1)->Unit(benchmark::kMicrosecond);

}  // namespace bench
