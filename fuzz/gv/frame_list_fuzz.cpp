// A "framelist" text against a frame count: the first two bytes give the count (0 to 4095), the
// rest is the text. Every frame parsed lies within the count; a successful parse is never empty
// when there are frames; and a list written back parses to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "foundation/str.h"
#include "gv/framelist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t count = static_cast<int32_t>((data[0] | (data[1] << 8)) & 0xFFF);
    const str text(reinterpret_cast<const char*>(data + 2), static_cast<int>(size - 2));
    std::vector<int32_t> frames;
    const bool ok = ParseFrameList(frames, count, text);
    for (int32_t frame : frames)
        if (frame < 0 || frame >= count) std::abort();
    if (ok && count > 0 && frames.empty()) std::abort();
    if (!frames.empty()) {
        std::vector<int32_t> again;
        if (!ParseFrameList(again, count, FormatFrameList(frames)) || again != frames) std::abort();
    }
    return 0;
}
