#include "simulation/savedvalues.h"

#include <cmath>
#include <cstdint>

#include "foundation/xmlnode.h"
#include "simulation/saturate.h"

int ParseSavedInt(const char* text) {
    if (text == nullptr) return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    // Stop accumulating once past the range: the sign and the clamp do the rest.
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (value <= 0xFFFFFFFFLL) value = value * 10 + (*text - '0');
    }
    return SaturateToInt(negative ? -value : value);
}

int ReadIntAttribute(const TXmlNode* node, const char* name) {
    return ParseSavedInt(node->GetAttribute(name));
}

int TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(value);
}
