#include "simulation/data/savedvalues.h"

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "foundation/xml/xmlnode.h"
#include "simulation/data/saturate.h"

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

int16_t ReadShortAttribute(const TXmlNode* node, const char* name) {
    return static_cast<int16_t>(ReadIntAttribute(node, name));
}

bool IsGiven(const TXmlNode* node, const char* name) {
    return node->GetAttribute(name).Length() != 0;
}

int ReadIntOr(const TXmlNode* node, const char* name, int fallback) {
    return IsGiven(node, name) ? ReadIntAttribute(node, name) : fallback;
}

int16_t ReadShortOr(const TXmlNode* node, const char* name, int16_t fallback) {
    return IsGiven(node, name) ? ReadShortAttribute(node, name) : fallback;
}

float ReadTextFloatOr(const TXmlNode* node, const char* name, float fallback) {
    return IsGiven(node, name) ? node->GetAttribute(name).ToFloat() : fallback;
}

int SavedFloatToInt(double value, double factor) {
    const double scaled = value * factor;
    if (std::isnan(scaled)) return 0;
    const double nearest = std::round(scaled);
    const double slack = std::fabs(scaled) * 2.0 * FLT_EPSILON + 1e-6;
    return TruncateToInt(std::fabs(scaled - nearest) <= slack ? nearest : scaled);
}

float SavedIntToFloat(int saved, double factor) {
    return static_cast<float>(static_cast<double>(saved) / factor);
}

void WriteFloatAttribute(TXmlNode* node, const char* name, float value, double factor) {
    node->SetAttributeInt(name, SavedFloatToInt(value, factor));
}

float ReadFloatAttribute(const TXmlNode* node, const char* name, double factor) {
    return SavedIntToFloat(ReadIntAttribute(node, name), factor);
}
