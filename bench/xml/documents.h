// The documents the XML benchmarks read, each a list of texts parsed one after another from
// memory (the same bytes on every run):
//   - "world": about 5 MB shaped like a saved world as the writer writes it (four spaces a
//     level, every attribute on a line of its own, a little text);
//   - "compact": the same elements, attributes and texts on one line, without indentation
//     (about 3.9 MB);
//   - "tabbed": about 5 MB of level data indented by tabs, elements of up to twelve attributes
//     on one line, most of them empty elements;
//   - "logic": every file of the game's assets/xml/logic, each a text of its own.
#pragma once

#include <malloc.h>

#include <cstddef>
#include <string>
#include <vector>

namespace bench_xml {

struct Document {
    const char* name;
    std::vector<std::string> texts;
    size_t Bytes() const {
        size_t bytes = 0;
        for (const std::string& text : texts)
            bytes += text.size();
        return bytes;
    }
};

// The documents in the order above; built on the first call.
const std::vector<Document>& Documents();
constexpr int kDocumentCount = 4;

// Bytes the heap holds for the program now. What either reader frees while it reads is small
// (ours gives back the child lists it grows, the largest 64 KiB on the world document), so what a
// parsed tree holds is also the most its parse held, within that.
inline size_t HeldBytes() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

#if UMBRAVA_HAVE_PUGIXML
// Whether both readers built the same tree of a document ("same", "differ", or "-" before the
// comparison was made), and whether they differed on any (pugixml_bench.cpp).
const char* TreesCompared(int document);
bool TreesDiffered();
#endif

}  // namespace bench_xml
