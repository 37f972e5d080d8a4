// The costs every layer pays for passing texts: copies, appends and formatting.
#include <benchmark/benchmark.h>

#include "foundation/str.h"

static void BM_StrCopy(benchmark::State& state) {
    str text("assets/xml/logic/creature_settings.xml");
    for (auto _ : state) {
        str copy = text;
        benchmark::DoNotOptimize(copy.c_str());
    }
}
BENCHMARK(BM_StrCopy);

static void BM_StrAppendChar(benchmark::State& state) {
    for (auto _ : state) {
        str text;
        for (int i = 0; i < state.range(0); ++i)
            text += 'x';
        benchmark::DoNotOptimize(text.c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StrAppendChar)->Arg(16)->Arg(256);

static void BM_StrWriteAt(benchmark::State& state) {
    for (auto _ : state) {
        str text;
        int position = 0;
        for (int i = 0; i < state.range(0); ++i)
            position = text.WriteAt(position, "<Node>", 6, true);
        benchmark::DoNotOptimize(text.c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StrWriteAt)->Arg(1000);

static void BM_StrFormatShort(benchmark::State& state) {
    for (auto _ : state) {
        str text = str::Format("%s;%d;%d", "audio/sfx/buttonclick.ogg", 1, -1);
        benchmark::DoNotOptimize(text.c_str());
    }
}
BENCHMARK(BM_StrFormatShort);

static void BM_StrFormatLong(benchmark::State& state) {
    str big;
    big.Reserve(8192);
    for (int i = 0; i < 6000; ++i)
        big += 'y';
    for (auto _ : state) {
        str text = str::Format("<%s>", big.c_str());
        benchmark::DoNotOptimize(text.c_str());
    }
}
BENCHMARK(BM_StrFormatLong);

BENCHMARK_MAIN();
