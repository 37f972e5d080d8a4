// The same documents read by pugixml, for comparison (built only when pugixml is installed):
// parse and free, from the same bytes in memory. Before timing, both readers' trees are compared
// (SameTrees); held_MB is the memory pugixml's tree holds, as BM_XmlParse reports ours.
#include <benchmark/benchmark.h>

#include <cstring>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "documents.h"
#include "foundation/xml/xmlnode.h"

namespace bench_xml {

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

// An element's text as our reader keeps it: the words of its character data, one space apart.
std::string Words(const pugi::xml_node& element) {
    std::string data;
    for (pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            data += ' ';
            data += child.value();
        }
    }
    std::istringstream in(data);
    std::string words;
    std::string word;
    while (in >> word)
        words += (words.empty() ? "" : " ") + word;
    return words;
}

// Whether the element trees below ours and theirs hold the same elements, attributes and texts.
// Our reader keeps the declaration, a document type and comments as elements; pugixml, by
// default, does not.
bool SameElements(const TXmlNode& ours, const pugi::xml_node& theirs) {
    pugi::xml_node child = NextElement(theirs.first_child());
    for (TXmlNode* element : ours.GetChildren()) {
        const str name = element->GetName();
        if (std::strcmp(name.c_str(), "?xml") == 0 || std::strcmp(name.c_str(), "!DOCTYPE") == 0 ||
            std::strncmp(name.c_str(), "!--", 3) == 0)
            continue;
        if (!child || std::strcmp(child.name(), name.c_str()) != 0) return false;
        size_t attributes = 0;
        for (pugi::xml_attribute attribute : child.attributes()) {
            if (std::strcmp(element->GetAttribute(attribute.name()).c_str(), attribute.value()) !=
                0)
                return false;
            ++attributes;
        }
        if (attributes != AttributeCount(element)) return false;
        if (Words(child) != element->GetText().c_str()) return false;
        if (!SameElements(*element, child)) return false;
        child = NextElement(child.next_sibling());
    }
    return !child;
}

// What the comparison found on each document: 0 not made, 1 the same trees, 2 different.
int gTrees[kDocumentCount] = {};

// range(0): the document.
void BM_PugixmlParse(benchmark::State& state) {
    const Document& document = Documents()[static_cast<size_t>(state.range(0))];
    state.SetLabel(document.name);
    {
        std::vector<TXmlNode> ours(document.texts.size());
        for (size_t i = 0; i < ours.size(); ++i)
            ours[i].ParseString(document.texts[i].data(), document.texts[i].size());
        const size_t before = HeldBytes();
        std::vector<pugi::xml_document> theirs(document.texts.size());
        for (size_t i = 0; i < theirs.size(); ++i)
            theirs[i].load_buffer(document.texts[i].data(), document.texts[i].size());
        state.counters["held_MB"] = static_cast<double>(HeldBytes() - before) / 1e6;
        int& trees = gTrees[state.range(0)];
        trees = 1;
        for (size_t i = 0; i < ours.size() && trees == 1; ++i) {
            if (!SameElements(ours[i], theirs[i])) trees = 2;
        }
        if (trees == 2) {
            state.SkipWithError("the two readers' trees differ");
            return;
        }
    }
    for (auto _ : state) {
        for (const std::string& text : document.texts) {
            pugi::xml_document doc;
            pugi::xml_parse_result result = doc.load_buffer(text.data(), text.size());
            if (!result) state.SkipWithError(result.description());
            benchmark::DoNotOptimize(doc.first_child());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.Bytes()));
}

}  // namespace

const char* TreesCompared(int document) {
    static const char* const kWords[] = {"-", "same", "differ"};
    return kWords[gTrees[document]];
}

bool TreesDiffered() {
    for (int trees : gTrees) {
        if (trees == 2) return true;
    }
    return false;
}

BENCHMARK(BM_PugixmlParse)->DenseRange(0, kDocumentCount - 1)->Unit(benchmark::kMicrosecond);

}  // namespace bench_xml
