// The document the XML benchmarks read: about 5 MB shaped like a saved world (elements with
// several attributes, some text, a few levels), the same bytes on every run.
#pragma once

#include <malloc.h>

#include <cstdint>
#include <string>

// Bytes the heap holds for the program now. What either reader frees while it reads is small (ours
// gives back the child lists it grows, the largest 64 KiB on this document), so what a parsed tree
// holds is also the most its parse held, within that.
inline size_t HeldBytes() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

inline std::string MakeBenchmarkDocument(size_t size = 5 * 1024 * 1024) {
    std::string out = "<?xml version=\"1.0\"?>\n<World CurrentTime=\"123456\" Seed=\"42\">\n";
    uint32_t state = 12345;
    auto next = [&state] { return state = state * 1103515245u + 12345u; };
    for (int object = 0; out.size() < size; ++object) {
        out += "    <Creature\n        Id=\"" + std::to_string(object) +
               "\"\n        Name=\"Creature " + std::to_string(next() % 1000) +
               "\"\n        Health=\"" + std::to_string(next() % 100) + "\"\n        Position=\"" +
               std::to_string(next() % 4096) + "," + std::to_string(next() % 768) + "\">\n";
        for (int task = 0; task < 4; ++task) {
            out += "        <Task\n            Kind=\"" + std::to_string(next() % 12) +
                   "\"\n            Weight=\"0." + std::to_string(next() % 1000) +
                   "\">\n        gather water near the pool &amp; rest\n        </Task>\n";
        }
        out += "    </Creature>\n";
    }
    out += "</World>\n";
    return out;
}
