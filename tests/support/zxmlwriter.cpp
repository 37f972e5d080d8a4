#include "support/zxmlwriter.h"

#include <zlib.h>

#include <cstdint>

namespace testing_support {

std::string PackZxml(const std::string& text) {
    uLongf packed = compressBound(text.size());
    std::string out(12 + packed, '\0');
    compress(reinterpret_cast<Bytef*>(out.data() + 12), &packed,
             reinterpret_cast<const Bytef*>(text.data()), text.size());
    out.resize(12 + packed);
    auto put = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    out.replace(0, 4, "ZXML");
    put(4, static_cast<uint32_t>(packed));
    put(8, static_cast<uint32_t>(text.size()));
    return out;
}

}  // namespace testing_support
