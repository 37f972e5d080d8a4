// The program's XML reader (TXmlNode::ParseString) on each document, parse and free, and the
// writer on the world document. BM_XmlParse also reports the memory a parsed tree holds
// (held_MB), to set beside pugixml's.
#include <benchmark/benchmark.h>

#include "documents.h"
#include "foundation/xml/xmlnode.h"

namespace bench_xml {

namespace {

// range(0): the document.
void BM_XmlParse(benchmark::State& state) {
    const Document& document = Documents()[static_cast<size_t>(state.range(0))];
    {
        const size_t before = HeldBytes();
        std::vector<TXmlNode> roots(document.texts.size());
        for (size_t i = 0; i < roots.size(); ++i)
            roots[i].ParseString(document.texts[i].data(), document.texts[i].size());
        state.counters["held_MB"] = static_cast<double>(HeldBytes() - before) / 1e6;
    }
    for (auto _ : state) {
        for (const std::string& text : document.texts) {
            TXmlNode root;
            root.ParseString(text.data(), text.size());
            benchmark::DoNotOptimize(root.GetChildren().data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.Bytes()));
    state.SetLabel(document.name);
}

void BM_XmlToString(benchmark::State& state) {
    const std::string& text = Documents()[0].texts[0];
    TXmlNode root;
    root.ParseString(text.data(), text.size());
    TXmlNode* world = root.FindChild("World");
    size_t written = 0;
    for (auto _ : state) {
        str out = world->ToString();
        written = out.Length();
        benchmark::DoNotOptimize(out.c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
}

}  // namespace

BENCHMARK(BM_XmlParse)->DenseRange(0, kDocumentCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_XmlToString)->Unit(benchmark::kMillisecond);

}  // namespace bench_xml
