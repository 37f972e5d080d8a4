#include "platform/display/hexformat.h"

#include <string>

str FormatHex(const void* bytes, int count) {
    if (bytes == nullptr || count <= 0) return str();
    static const char kDigits[] = "0123456789ABCDEF";
    const auto* in = static_cast<const unsigned char*>(bytes);
    std::string text(static_cast<size_t>(count) * 2, '0');
    for (int i = 0; i < count; ++i) {
        text[static_cast<size_t>(i) * 2] = kDigits[in[i] >> 4];
        text[static_cast<size_t>(i) * 2 + 1] = kDigits[in[i] & 0x0F];
    }
    return str(text.c_str());
}
