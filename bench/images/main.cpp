// The benchmark program: the usual console output, then each format's decoder beside its library
// called directly, the best and the median time of each, and whether their pictures were the
// same. Exits with 1 when they were not.
#include <cstdio>

#include "../support/summary.h"
#include "benchimages.h"

namespace {

void PrintSummary(const bench::TSummaryReporter& times) {
    std::printf("\nDecoders beside their libraries (µs; ratios of ours to the library)\n");
    std::printf("%-10s %9s %9s %9s %9s %6s %6s %8s\n", "format", "ours", "median", "library",
                "median", "ratio", "median", "pictures");
    for (const bench_images::Format& format : bench_images::Formats()) {
        if (times.BestUs(format.ours) == 0.0 && times.BestUs(format.library) == 0.0) continue;
        std::printf("%-10s", format.name);
        bench::PrintTime(times.BestUs(format.ours), 9);
        bench::PrintTime(times.MedianUs(format.ours), 9);
        bench::PrintTime(times.BestUs(format.library), 9);
        bench::PrintTime(times.MedianUs(format.library), 9);
        bench::PrintRatio(times.BestUs(format.ours), times.BestUs(format.library), 6);
        bench::PrintRatio(times.MedianUs(format.ours), times.MedianUs(format.library), 6);
        std::printf(" %8s\n", bench_images::PicturesCompared(format));
    }
}

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithSummary(argc, argv, PrintSummary, [] {
        if (bench_images::PicturesDiffered()) {
            std::fprintf(stderr, "A decoder's picture differs from its library's.\n");
            return 1;
        }
        return 0;
    });
}
