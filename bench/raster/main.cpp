// The benchmark program: the usual console output, then a table of the frame's parts side by
// side with pixman (when it is installed), the best and the median time of each side, beside how
// far the two pictures differ and how far the rounding rules let them (agreement.h). Exits with 1
// when they differ beyond those limits.
#include <cstdio>
#include <string>

#include "../support/summary.h"
#include "parts.h"

#if UMBRAVA_HAVE_PIXMAN
#include "agreement.h"
#endif

namespace bench {

#if UMBRAVA_HAVE_PIXMAN
bool PixmanDisagreed();
#endif

namespace {

void PrintSummary(const TSummaryReporter& times) {
    std::printf("\nThe frame part by part (µs; ratios of raster to pixman)\n");
    std::printf("%-30s %9s %9s %9s %9s %6s %6s %8s %8s %14s\n", "part", "raster", "median",
                "pixman", "median", "ratio", "median", "max diff", "beyond 2", "allowed");
    for (int k = 0; k < kPartCount; ++k) {
        Part part = static_cast<Part>(k);
        const std::string index = std::to_string(k);
        const std::string ours = part == Part::Frame ? "BM_RasterFrame" : "BM_RasterPart/" + index;
        const std::string theirs = "BM_PixmanPart/" + index;
        if (times.BestUs(ours) == 0.0 && times.BestUs(theirs) == 0.0) continue;
        std::printf("%-30s", PartName(part));
        PrintTime(times.BestUs(ours), 9);
        PrintTime(times.MedianUs(ours), 9);
        PrintTime(times.BestUs(theirs), 9);
        PrintTime(times.MedianUs(theirs), 9);
        PrintRatio(times.BestUs(ours), times.BestUs(theirs), 6);
        PrintRatio(times.MedianUs(ours), times.MedianUs(theirs), 6);
#if UMBRAVA_HAVE_PIXMAN
        if (times.BestUs(theirs) > 0.0) {
            const Agreement& a = CompareWithPixman(part);
            AgreementLimit limit = LimitOf(part);
            std::printf(" %8d %8lld %6d, %6lld", a.maxDiff, static_cast<long long>(a.over2),
                        limit.maxDiff, static_cast<long long>(limit.over2));
        }
#endif
        std::printf("\n");
    }
    double frame = times.BestUs("BM_RasterFrame");
    double copy = times.BestUs("BM_MemcpyFrameBytes");
    if (frame > 0.0 && copy > 0.0) {
        std::printf("frame / memcpy of the bytes it touches: %.2f\n", frame / copy);
    }
}

}  // namespace

}  // namespace bench

int main(int argc, char** argv) {
    return bench::RunWithSummary(argc, argv, bench::PrintSummary, [] {
#if UMBRAVA_HAVE_PIXMAN
        if (bench::PixmanDisagreed()) {
            std::fprintf(stderr,
                         "The rasterizer's picture differs from pixman's beyond the limits.\n");
            return 1;
        }
#endif
        return 0;
    });
}
