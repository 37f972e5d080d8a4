// The same 5 MB document read by pugixml, for comparison (built only when pugixml is installed).
#include <benchmark/benchmark.h>

#include <pugixml.hpp>

#include "xmldocument.h"

static void BM_XmlParsePugixml(benchmark::State& state) {
    const std::string document = MakeBenchmarkDocument();
    for (auto _ : state) {
        pugi::xml_document doc;
        pugi::xml_parse_result result = doc.load_buffer(document.data(), document.size());
        if (!result) state.SkipWithError(result.description());
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}
BENCHMARK(BM_XmlParsePugixml)->Unit(benchmark::kMillisecond);
