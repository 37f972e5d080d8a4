#include "summary.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace bench {

namespace {

double Microseconds(const benchmark::BenchmarkReporter::Run& run) {
    const double time = run.GetAdjustedRealTime();
    switch (run.time_unit) {
        case benchmark::kNanosecond:
            return time * 1e-3;
        case benchmark::kMillisecond:
            return time * 1e3;
        case benchmark::kSecond:
            return time * 1e6;
        default:
            return time;
    }
}

// The console reporter, keeping every repetition's time; with repetitions it shows the
// aggregates alone.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                mTimes.Add(run.run_name.str(), Microseconds(run));
            if (run.repetitions <= 1 || run.run_type == Run::RT_Aggregate || run.error_occurred)
                shown.push_back(run);
        }
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }

    const RunTimes& Times() const { return mTimes; }

private:
    RunTimes mTimes;
};

bool HasFlag(int argc, char** argv, const char* prefix) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0) return true;
    }
    return false;
}

}  // namespace

double RunTimes::Best(const std::string& name) const {
    auto it = mTimes.find(name);
    if (it == mTimes.end() || it->second.empty()) return 0.0;
    return *std::min_element(it->second.begin(), it->second.end());
}

double RunTimes::Median(const std::string& name) const {
    auto it = mTimes.find(name);
    if (it == mTimes.end() || it->second.empty()) return 0.0;
    std::vector<double> sorted = it->second;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

void PrintTime(double us, int width) {
    if (us > 0.0) {
        std::printf(" %*.1f", width, us);
    } else {
        std::printf(" %*s", width, "-");
    }
}

void PrintRatio(double ours, double theirs, int width) {
    if (ours > 0.0 && theirs > 0.0) {
        std::printf(" %*.2f", width, ours / theirs);
    } else {
        std::printf(" %*s", width, "-");
    }
}

int RunWithSummary(int argc, char** argv, const std::function<void(const RunTimes&)>& summary,
                   const std::function<int()>& status) {
    bool console = true;
    bool color = isatty(STDOUT_FILENO) != 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--benchmark_format=", 0) == 0) console = arg == "--benchmark_format=console";
        if (arg.rfind("--benchmark_color=", 0) == 0)
            color = arg != "--benchmark_color=false" && arg != "--benchmark_color=no";
    }
    std::vector<std::string> defaults;
    if (!HasFlag(argc, argv, "--benchmark_repetitions"))
        defaults.push_back("--benchmark_repetitions=" + std::to_string(kDefaultRepetitions));
    if (!HasFlag(argc, argv, "--benchmark_enable_random_interleaving"))
        defaults.push_back("--benchmark_enable_random_interleaving=true");
    std::vector<char*> args(argv, argv + argc);
    for (std::string& flag : defaults)
        args.insert(args.begin() + 1, flag.data());
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    if (console) {
        SummaryReporter reporter(color ? benchmark::ConsoleReporter::OO_ColorTabular
                                       : benchmark::ConsoleReporter::OO_Tabular);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        summary(reporter.Times());
    } else {
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    std::fflush(stdout);
    return status ? status() : 0;
}

}  // namespace bench
