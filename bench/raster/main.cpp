// The benchmark program: the usual console output, then a table of the frame's parts side by
// side with pixman (when it is installed), the best and the median time of each side, beside how
// far the two pictures differ and how far the rounding rules let them (agreement.h). Exits with 1
// when they differ beyond those limits.
#include <cstdio>
#include <string>

#include "parts.h"
#include "summary.h"

#if UMBRAVA_HAVE_PIXMAN
#include "agreement.h"
#endif

namespace bench {

#if UMBRAVA_HAVE_PIXMAN
bool PixmanDisagreed();
#endif

namespace {

void PrintSummary(const RunTimes& times) {
    std::printf("\nThe frame part by part (µs; ratios of raster to pixman)\n");
    std::printf("%-30s %9s %9s %9s %9s %6s %6s %8s %8s %14s\n", "part", "raster", "median",
                "pixman", "median", "ratio", "median", "max diff", "beyond 2", "allowed");
    for (int k = 0; k < kPartCount; ++k) {
        Part part = static_cast<Part>(k);
        const std::string index = std::to_string(k);
        const std::string ours = part == Part::Frame ? "BM_RasterFrame" : "BM_RasterPart/" + index;
        const std::string theirs = "BM_PixmanPart/" + index;
        if (times.Best(ours) == 0.0 && times.Best(theirs) == 0.0) continue;
        std::printf("%-30s", PartName(part));
        PrintTime(times.Best(ours), 9);
        PrintTime(times.Median(ours), 9);
        PrintTime(times.Best(theirs), 9);
        PrintTime(times.Median(theirs), 9);
        PrintRatio(times.Best(ours), times.Best(theirs), 6);
        PrintRatio(times.Median(ours), times.Median(theirs), 6);
#if UMBRAVA_HAVE_PIXMAN
        if (times.Best(theirs) > 0.0) {
            const Agreement& a = CompareWithPixman(part);
            AgreementLimit limit = LimitOf(part);
            std::printf(" %8d %8lld %6d, %6lld", a.maxDiff, static_cast<long long>(a.over2),
                        limit.maxDiff, static_cast<long long>(limit.over2));
        }
#endif
        std::printf("\n");
    }
    double frame = times.Best("BM_RasterFrame");
    double copy = times.Best("BM_MemcpyFrameBytes");
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
