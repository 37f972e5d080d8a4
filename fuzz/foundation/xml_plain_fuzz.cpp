// The XML reader on plain text, read twice: from memory directly and through the virtual character
// source. Both roads must build the same tree; the tree is then written out.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/xml/getchar.h"
#include "foundation/xml/xmlnode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    if (size >= 4 && std::memcmp(text, "ZXML", 4) == 0) return 0;  // the other target's input
    TXmlNode direct;
    direct.ParseString(text, size);
    TGetCharString source(text, static_cast<uint32_t>(size));
    TXmlNode throughSource;
    throughSource.Parse(source);
    if (direct.ToString() != throughSource.ToString()) __builtin_trap();
    return 0;
}
