#include "foundation/xmlreference.h"

namespace {

bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// atoi over the text, keeping only the low 8 bits so that no number can overflow.
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

bool DecodeXmlReferences(std::string& text) {
    static const struct {
        const char* name;
        size_t length;
        char value;
    } kNamed[] = {
        {"amp;", 4, '&'}, {"lt;", 3, '<'}, {"gt;", 3, '>'}, {"quot;", 5, '"'}, {"apos;", 5, '\''}};
    std::string& t = text;
    bool fromReference = false;
    size_t out = 0;
    size_t i = 0;
    while (i < t.size()) {
        if (t[i] == '&') {
            size_t semicolon;
            if (i + 1 < t.size() && t[i + 1] == '#' &&
                (semicolon = t.find(';', i + 2)) != std::string::npos) {
                const char byte = static_cast<char>(ReferenceByte(t.c_str() + i + 2));
                if (out == 0) fromReference = true;
                t[out++] = byte;
                i = semicolon + 1;
                continue;
            }
            bool named = false;
            for (const auto& entry : kNamed) {
                if (t.compare(i + 1, entry.length, entry.name) == 0) {
                    if (out == 0) fromReference = true;
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
    t.resize(out);
    return fromReference;
}
