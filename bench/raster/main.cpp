// The benchmark program: the usual console output, then a table of the frame's parts side by
// side with pixman (when it is installed), each time the best of the runs made, beside how far the
// two pictures differ and how far the rounding rules let them (agreement.h). Exits with 1 when
// they differ beyond those limits.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include <unistd.h>

#include "parts.h"

#if UMBRAVA_HAVE_PIXMAN
#include "agreement.h"
#endif

namespace bench {

#if UMBRAVA_HAVE_PIXMAN
bool PixmanDisagreed();
#endif

namespace {

// The console reporter, keeping the best real time (µs) of each benchmark.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            double us = run.GetAdjustedRealTime() *
                        (run.time_unit == benchmark::kMillisecond
                             ? 1e3
                             : (run.time_unit == benchmark::kNanosecond ? 1e-3 : 1.0));
            auto [it, fresh] = mBest.emplace(run.run_name.str(), us);
            if (!fresh) it->second = std::min(it->second, us);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The best time of a benchmark, or 0 when it did not run.
    double Best(const std::string& name) const {
        auto it = mBest.find(name);
        return it == mBest.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> mBest;
};

void PrintSummary(const SummaryReporter& r) {
    std::printf("\nThe frame part by part (best times, µs)\n");
    std::printf("%-11s %10s %10s %8s %9s %9s %15s\n", "part", "raster", "pixman", "ratio", "max diff",
                "beyond 2", "allowed");
    for (int k = 0; k < kPartCount; ++k) {
        Part part = static_cast<Part>(k);
        std::string ours_name = "BM_RasterPart/", theirs_name = "BM_PixmanPart/";
        ours_name += std::to_string(k);
        theirs_name += std::to_string(k);
        double ours = r.Best(part == Part::Frame ? std::string("BM_RasterFrame") : ours_name);
        double theirs = r.Best(theirs_name);
        if (ours == 0.0 && theirs == 0.0) continue;
        auto time = [](double us) {
            if (us > 0.0) {
                std::printf(" %10.1f", us);
            } else {
                std::printf(" %10s", "-");
            }
        };
        std::printf("%-11s", PartName(part));
        time(ours);
        time(theirs);
        if (ours > 0.0 && theirs > 0.0) {
            std::printf(" %8.2f", ours / theirs);
        } else {
            std::printf(" %8s", "-");
        }
#if UMBRAVA_HAVE_PIXMAN
        if (theirs > 0.0) {
            const Agreement& a = CompareWithPixman(part);
            AgreementLimit limit = LimitOf(part);
            std::printf(" %9d %9lld %6d, %6lld", a.maxDiff, static_cast<long long>(a.over2),
                        limit.maxDiff, static_cast<long long>(limit.over2));
        }
#endif
        std::printf("\n");
    }
    double frame = r.Best("BM_RasterFrame");
    double copy = r.Best("BM_MemcpyFrameBytes");
    if (frame > 0.0 && copy > 0.0) {
        std::printf("frame / memcpy of the bytes it touches: %.2f\n", frame / copy);
    }
}

}  // namespace

}  // namespace bench

int main(int argc, char** argv) {
    // The summary goes with the console format; another format asked for is left alone.
    bool console = true;
    bool color = isatty(STDOUT_FILENO) != 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--benchmark_format=", 0) == 0) console = arg == "--benchmark_format=console";
        if (arg.rfind("--benchmark_color=", 0) == 0) {
            color = arg != "--benchmark_color=false" && arg != "--benchmark_color=no";
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (console) {
        bench::SummaryReporter reporter(color ? benchmark::ConsoleReporter::OO_ColorTabular
                                              : benchmark::ConsoleReporter::OO_Tabular);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        bench::PrintSummary(reporter);
    } else {
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
#if UMBRAVA_HAVE_PIXMAN
    std::fflush(stdout);
    if (bench::PixmanDisagreed()) {
        std::fprintf(stderr, "The rasterizer's picture differs from pixman's beyond the limits.\n");
        return 1;
    }
#endif
    return 0;
}
