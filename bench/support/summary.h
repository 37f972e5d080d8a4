// The main of a benchmark program that sets us beside a peer: Google Benchmark's console output,
// then a summary table the program prints from the best and the median time of each benchmark
// (TBestTimesReporter).
//
// Unless the command line says otherwise, each benchmark runs kDefaultRepetitions times and the
// repetitions of all benchmarks are interleaved in random order, so that a change in the
// machine's load falls on both sides alike; the console then shows each benchmark's aggregates
// only. Another output format asked for (--benchmark_format) is left alone, without a summary.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "besttimes.h"

namespace bench {

constexpr int kDefaultRepetitions = 10;

// The console reporter of the summary: every repetition's time kept, the aggregates shown.
class TSummaryReporter : public TBestTimesReporter {
public:
    explicit TSummaryReporter(bool color) {
        output_options_ = color ? OO_ColorTabular : OO_Tabular;
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        Record(runs);
        std::vector<Run> shown;
        for (const Run& run : runs) {
            if (run.repetitions <= 1 || run.run_type == Run::RT_Aggregate || run.error_occurred)
                shown.push_back(run);
        }
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }

    // Microseconds, as the summaries print them.
    double BestUs(const std::string& name) const { return Best(name) * 1e6; }
    double MedianUs(const std::string& name) const { return Median(name) * 1e6; }
};

// " 12.3" or " -" for a time of 0, in width columns.
inline void PrintTime(double us, int width) {
    if (us > 0.0) {
        std::printf(" %*.1f", width, us);
    } else {
        std::printf(" %*s", width, "-");
    }
}

// The ratio of two times, or "-" when one is 0.
inline void PrintRatio(double ours, double theirs, int width) {
    if (ours > 0.0 && theirs > 0.0) {
        std::printf(" %*.2f", width, ours / theirs);
    } else {
        std::printf(" %*s", width, "-");
    }
}

// Runs the benchmarks the command line selects, then summary(reporter) when the console format is
// in use. Answers what main answers: 1 when the command line holds an unknown flag, else status()
// (0 when none is given).
inline int RunWithSummary(int argc, char** argv,
                          const std::function<void(const TSummaryReporter&)>& summary,
                          const std::function<int()>& status = nullptr) {
    bool console = true;
    bool color = isatty(STDOUT_FILENO) != 0;
    bool repetitions = false;
    bool interleaving = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--benchmark_format=", 0) == 0) console = arg == "--benchmark_format=console";
        if (arg.rfind("--benchmark_color=", 0) == 0)
            color = arg != "--benchmark_color=false" && arg != "--benchmark_color=no";
        repetitions |= arg.rfind("--benchmark_repetitions", 0) == 0;
        interleaving |= arg.rfind("--benchmark_enable_random_interleaving", 0) == 0;
    }
    std::vector<std::string> defaults;
    if (!repetitions)
        defaults.push_back("--benchmark_repetitions=" + std::to_string(kDefaultRepetitions));
    if (!interleaving) defaults.push_back("--benchmark_enable_random_interleaving=true");
    std::vector<char*> args(argv, argv + argc);
    for (std::string& flag : defaults)
        args.insert(args.begin() + 1, flag.data());
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    if (console) {
        TSummaryReporter reporter(color);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        summary(reporter);
    } else {
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    std::fflush(stdout);
    return status ? status() : 0;
}

}  // namespace bench
