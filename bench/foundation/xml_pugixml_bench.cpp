// The same 5 MB document read by pugixml, for comparison (built only when pugixml is installed).
// Before timing, both readers' trees are compared: the same elements in the same order, with the
// same attributes. held_MB is the memory pugixml's tree holds, as BM_XmlParse reports ours.
#include <benchmark/benchmark.h>

#include <cstring>
#include <pugixml.hpp>
#include <string>

#include "foundation/xml/xmlnode.h"
#include "xmldocument.h"

namespace {

size_t AttributeCount(TXmlNode* node) {
    size_t count = 0;
    str name;
    str value;
    node->ResetAttributes();
    while (node->GetNextAttribute(name, value))
        ++count;
    return count;
}

pugi::xml_node NextElement(pugi::xml_node node) {
    while (node && node.type() != pugi::node_element)
        node = node.next_sibling();
    return node;
}

// Whether the element trees below ours and theirs hold the same elements and attributes. Our
// reader keeps the declaration as an element "?xml"; pugixml, by default, does not.
bool SameElements(const TXmlNode& ours, const pugi::xml_node& theirs) {
    pugi::xml_node child = NextElement(theirs.first_child());
    for (TXmlNode* element : ours.GetChildren()) {
        const str name = element->GetName();
        if (std::strcmp(name.c_str(), "?xml") == 0) continue;
        if (!child || std::strcmp(child.name(), name.c_str()) != 0) return false;
        size_t attributes = 0;
        for (pugi::xml_attribute attribute : child.attributes()) {
            if (std::strcmp(element->GetAttribute(attribute.name()).c_str(), attribute.value()) !=
                0)
                return false;
            ++attributes;
        }
        if (attributes != AttributeCount(element) || !SameElements(*element, child)) return false;
        child = NextElement(child.next_sibling());
    }
    return !child;
}

}  // namespace

static void BM_XmlParsePugixml(benchmark::State& state) {
    const std::string document = MakeBenchmarkDocument();
    {
        TXmlNode ours;
        ours.ParseString(document.data(), document.size());
        const size_t before = HeldBytes();
        pugi::xml_document doc;
        doc.load_buffer(document.data(), document.size());
        state.counters["held_MB"] = static_cast<double>(HeldBytes() - before) / 1e6;
        if (!SameElements(ours, doc)) {
            state.SkipWithError("the two readers' trees differ");
            return;
        }
    }
    for (auto _ : state) {
        pugi::xml_document doc;
        pugi::xml_parse_result result = doc.load_buffer(document.data(), document.size());
        if (!result) state.SkipWithError(result.description());
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}
BENCHMARK(BM_XmlParsePugixml)->Unit(benchmark::kMillisecond);
