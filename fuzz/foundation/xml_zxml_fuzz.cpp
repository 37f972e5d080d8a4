// The XML reader on the compressed form, fed two ways:
//   - an input that begins with "ZXML" is read as it is (header sizes, inflation, then the text it
//     gives), which tries the header checks and the inflater on damaged streams;
//   - any other input is the text: it is packed into a sound "ZXML" stream first, so every input
//     reaches the reader through the inflater, and the tree must be the one the plain text gives.
// Random bytes seldom inflate, so without the second way the reader behind the inflater is hardly
// reached.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/xml/xmlnode.h"

namespace {

void Put32(std::vector<char>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The text as the program's packer writes it: "ZXML", the packed size, the text's size, the
// zlib stream.
std::vector<char> Pack(const uint8_t* text, size_t size) {
    uLongf packed = compressBound(static_cast<uLong>(size));
    std::vector<char> out(12 + packed);
    if (compress2(reinterpret_cast<Bytef*>(out.data() + 12), &packed, text,
                  static_cast<uLong>(size), Z_BEST_SPEED) != Z_OK)
        __builtin_trap();
    out.resize(12 + packed);
    std::memcpy(out.data(), "ZXML", 4);
    Put32(out, 4, static_cast<uint32_t>(packed));
    Put32(out, 8, static_cast<uint32_t>(size));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    if (size >= 4 && std::memcmp(bytes, "ZXML", 4) == 0) {
        TXmlNode doc;
        doc.ParseString(bytes, size);
        doc.ToString();
        return 0;
    }
    const std::vector<char> packed = Pack(data, size);
    TXmlNode throughZxml;
    throughZxml.ParseString(packed.data(), packed.size());
    TXmlNode plain;
    plain.ParseString(bytes, size);
    if (throughZxml.ToString() != plain.ToString()) __builtin_trap();
    return 0;
}
