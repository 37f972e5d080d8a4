// TBestTimesReporter: Google Benchmark's console table, keeping for each benchmark run (its name
// with its arguments, "BM_Layout/2") the best real time per iteration over its repetitions, so
// that a benchmark program can print its ratios to the peers after the tables (in Finalize).
// RunWithReporter is such a program's main.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

class TBestTimesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            const double perIteration = run.real_accumulated_time / run.iterations;
            const std::string name = run.run_name.function_name + "/" + run.run_name.args;
            auto found = mBest.find(name);
            if (found == mBest.end() || perIteration < found->second) mBest[name] = perIteration;
        }
    }

    // Seconds per iteration; 0 for a benchmark that did not run.
    double Best(const std::string& name) const {
        auto found = mBest.find(name);
        return found != mBest.end() ? found->second : 0.0;
    }

private:
    std::map<std::string, double> mBest;
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
