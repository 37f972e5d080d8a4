// Reading a 5 MB document with TXmlNode, and writing the tree back. BM_XmlParse also reports the
// memory a parsed tree holds (held_MB), to set beside pugixml's.
#include <benchmark/benchmark.h>

#include "foundation/xml/xmlnode.h"
#include "xmldocument.h"

static void BM_XmlParse(benchmark::State& state) {
    const std::string document = MakeBenchmarkDocument();
    {
        const size_t before = HeldBytes();
        TXmlNode root;
        root.ParseString(document.data(), document.size());
        state.counters["held_MB"] = static_cast<double>(HeldBytes() - before) / 1e6;
    }
    for (auto _ : state) {
        TXmlNode root;
        root.ParseString(document.data(), document.size());
        benchmark::DoNotOptimize(root.GetChildren().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}
BENCHMARK(BM_XmlParse)->Unit(benchmark::kMillisecond);

static void BM_XmlToString(benchmark::State& state) {
    const std::string document = MakeBenchmarkDocument();
    TXmlNode root;
    root.ParseString(document.data(), document.size());
    TXmlNode* world = root.FindChild("World");
    size_t written = 0;
    for (auto _ : state) {
        str text = world->ToString();
        written = text.Length();
        benchmark::DoNotOptimize(text.c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
}
BENCHMARK(BM_XmlToString)->Unit(benchmark::kMillisecond);
