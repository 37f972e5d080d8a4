// The XML reader on the compressed form: header sizes, inflation, then the text it gives.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/xmlnode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> input(reinterpret_cast<const char*>(data),
                            reinterpret_cast<const char*>(data) + size);
    if (size < 4 || std::memcmp(input.data(), "ZXML", 4) != 0) {
        input.insert(input.begin(), {'Z', 'X', 'M', 'L'});
    }
    TXmlNode doc;
    doc.ParseString(input.data(), input.size());
    doc.ToString();
    return 0;
}
