// The main of a benchmark program that sets us beside a peer: Google Benchmark's console output,
// then a summary table the program prints from the times of every repetition (the best and the
// median of each benchmark).
//
// Unless the command line says otherwise, each benchmark runs kDefaultRepetitions times and the
// repetitions of all benchmarks are interleaved in random order, so that a change in the
// machine's load falls on both sides alike; the console then shows each benchmark's aggregates
// only. Another output format asked for (--benchmark_format) is left alone, without a summary.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace bench {

constexpr int kDefaultRepetitions = 10;

// Every repetition's real time of each benchmark, in µs, by its run name ("BM_Name/arg").
class RunTimes {
public:
    void Add(const std::string& name, double us) { mTimes[name].push_back(us); }
    // 0 when the benchmark did not run.
    double Best(const std::string& name) const;
    double Median(const std::string& name) const;

private:
    std::map<std::string, std::vector<double>> mTimes;
};

// Runs the benchmarks the command line selects, then summary(times) when the console format is
// in use. Answers what main answers: 1 when the command line holds an unknown flag, else
// status() (0 when none is given).
int RunWithSummary(int argc, char** argv, const std::function<void(const RunTimes&)>& summary,
                   const std::function<int()>& status = nullptr);

// "  12.3" or "     -" for a time of 0, in width columns.
void PrintTime(double us, int width);
// The ratio of two times, or "-" when one is 0.
void PrintRatio(double ours, double theirs, int width);

}  // namespace bench
