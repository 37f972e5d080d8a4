#include "foundation/utf8.h"

int Utf8SequenceLength(unsigned char leadByte) {
    if (leadByte == 0) return 0;
    if (leadByte >= 0xF0) return 4;
    if (leadByte >= 0xE0) return 3;
    if (leadByte >= 0xC0) return 2;
    return 1;
}

int Utf8Encode(uint32_t c, char* out) {
    auto put = [out](int i, uint32_t byte) { out[i] = static_cast<char>(byte & 0xFF); };
    if (c < 0x80) {
        put(0, c);
        return 1;
    }
    if (c < 0x800) {
        put(0, 0xC0 | (c >> 6));
        put(1, 0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        if (c == 0xFFFE || c == 0xFEFF || c == 0xFFFF) return 0;
        put(0, 0xE0 | (c >> 12));
        put(1, 0x80 | ((c >> 6) & 0x3F));
        put(2, 0x80 | (c & 0x3F));
        return 3;
    }
    if (c < 0x110000) {
        put(0, 0xF0 | (c >> 18));
        put(1, 0x80 | ((c >> 12) & 0x3F));
        put(2, 0x80 | ((c >> 6) & 0x3F));
        put(3, 0x80 | (c & 0x3F));
        return 4;
    }
    return 0;
}

uint32_t Utf8Decode(const char* bytes) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    static const uint32_t kOffsets[5] = {0, 0, 0x3080, 0xE2080, 0x3C82080};
    int k = Utf8SequenceLength(p[0]);
    if (k == 0) return 0;
    if (k == 1) return p[0] >= 0x80 ? 0 : p[0];
    uint32_t value = p[0];
    for (int i = 1; i < k; ++i) {
        if ((p[i] & 0x80) == 0) return 0;
        value = (value << 6) + p[i];
    }
    return value - kOffsets[k];
}

namespace {

// A step of the walks: a NUL byte is one byte long.
size_t StepAt(std::string_view text, size_t at) {
    int length = Utf8SequenceLength(static_cast<unsigned char>(text[at]));
    return length > 0 ? static_cast<size_t>(length) : 1;
}

}  // namespace

bool IsSingleByteText(std::string_view text) {
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte == 0 || byte >= 0xC0) return false;
    }
    return true;
}

size_t Utf8PrevCharLength(std::string_view text, size_t end) {
    if (end > text.size()) end = text.size();
    size_t start = 0;
    for (size_t at = 0; at < end; at += StepAt(text, at))
        start = at;
    return end - start;
}

size_t Utf8CharCount(std::string_view text) {
    size_t count = 0;
    for (size_t at = 0; at < text.size(); at += StepAt(text, at))
        ++count;
    return count;
}

size_t Utf8CharOffset(std::string_view text, size_t count) {
    size_t at = 0;
    for (; at < text.size() && count > 0; --count)
        at += StepAt(text, at);
    return at < text.size() ? at : text.size();
}
