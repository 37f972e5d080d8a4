#include "foundation/xml/xmlreference.h"

#include <cstring>

namespace {

bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// atoi over the text, keeping only the low 8 bits so that no number can overflow. The caller
// has seen a ";" ahead, which ends the number at the latest.
unsigned char ReferenceByte(const char* text) {
    while (IsSpace(static_cast<unsigned char>(*text)))
        ++text;
    bool negative = false;
    if (*text == '-' || *text == '+') negative = *text++ == '-';
    unsigned int value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = (value * 10 + static_cast<unsigned int>(*text - '0')) & 0xFFu;
    return static_cast<unsigned char>(negative ? (0u - value) & 0xFFu : value);
}

}  // namespace

size_t DecodeXmlReferences(char* t, size_t length, bool* fromReference) {
    static const struct {
        const char* name;
        size_t length;
        char value;
    } kNamed[] = {
        {"amp;", 4, '&'}, {"lt;", 3, '<'}, {"gt;", 3, '>'}, {"quot;", 5, '"'}, {"apos;", 5, '\''}};
    *fromReference = false;
    // The ";" that ends a numeric reference: found once, and reused by every "&#" before it, so a
    // text of many "&#" stays linear. Null once none is left.
    const char* semicolon = t;
    size_t out = 0;
    size_t i = 0;
    while (i < length) {
        if (t[i] == '&') {
            if (i + 1 < length && t[i + 1] == '#' && semicolon != nullptr) {
                if (semicolon < t + i + 2) {
                    semicolon =
                        static_cast<const char*>(std::memchr(t + i + 2, ';', length - (i + 2)));
                }
                if (semicolon != nullptr) {
                    const char byte = static_cast<char>(ReferenceByte(t + i + 2));
                    if (out == 0) *fromReference = true;
                    t[out++] = byte;
                    i = static_cast<size_t>(semicolon - t) + 1;
                    continue;
                }
            }
            bool named = false;
            for (const auto& entry : kNamed) {
                if (length - (i + 1) >= entry.length &&
                    std::memcmp(t + i + 1, entry.name, entry.length) == 0) {
                    if (out == 0) *fromReference = true;
                    t[out++] = entry.value;
                    i += 1 + entry.length;
                    named = true;
                    break;
                }
            }
            if (named) continue;
        }
        t[out++] = t[i++];
    }
    return out;
}

bool DecodeXmlReferences(std::string& text) {
    bool fromReference;
    text.resize(DecodeXmlReferences(text.data(), text.size(), &fromReference));
    return fromReference;
}
