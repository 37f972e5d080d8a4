// TBestTimesReporter: Google Benchmark's console table, keeping for each benchmark run (its name
// with its arguments, "BM_Layout/2") the real time per iteration of each of its repetitions, so
// that a benchmark program can print its ratios to the peers after the tables (in Finalize): the
// best, or the median.
// RunWithReporter is such a program's main.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace bench {

class TBestTimesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        Record(runs);
    }

    // Seconds per iteration; 0 for a benchmark that did not run.
    double Best(const std::string& name) const {
        auto found = mTimes.find(name);
        return found != mTimes.end() ? *std::min_element(found->second.begin(), found->second.end())
                                     : 0.0;
    }
    // The median over the repetitions, the same way.
    double Median(const std::string& name) const {
        auto found = mTimes.find(name);
        if (found == mTimes.end()) return 0.0;
        std::vector<double> sorted = found->second;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }

protected:
    // Keeps the time per iteration of every repetition, by the benchmark's name with its
    // arguments ("BM_Layout/2", or "BM_Frame" without any).
    void Record(const std::vector<Run>& runs) {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.error_occurred)
                continue;
            const std::string& args = run.run_name.args;
            const std::string name = run.run_name.function_name + (args.empty() ? "" : "/" + args);
            mTimes[name].push_back(run.real_accumulated_time / run.iterations);
        }
    }

private:
    std::map<std::string, std::vector<double>> mTimes;
};

// Runs the benchmarks the command line selects, reported through the reporter; main's answer.
inline int RunWithReporter(int argc, char** argv, benchmark::BenchmarkReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
