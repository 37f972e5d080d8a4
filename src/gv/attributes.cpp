#include "gv/attributes.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "foundation/xml/xmlnode.h"

namespace {

// strtoll saturates at 64 bits, which the clamp then brings to 32; an invalid base reads 0.
int32_t ParseInt(const str& text, int base) {
    if (base != 0 && (base < 2 || base > 36)) return 0;
    return SaturateToInt(std::strtoll(text.c_str(), nullptr, base));
}

}  // namespace

int32_t ReadIntAttr(const TXmlNode* node, const str& name, int32_t def) {
    str text = node->GetAttribute(name);
    return text.Length() == 0 ? def : ParseInt(text, 10);
}

int32_t ReadIntAttrBase(const TXmlNode* node, const str& name, int32_t def, int base) {
    str text = node->GetAttribute(name);
    return text.Length() == 0 ? def : ParseInt(text, base);
}

float ReadFloatAttr(const TXmlNode* node, const str& name, float def) {
    str text = node->GetAttribute(name);
    return text.Length() == 0 ? def : std::strtof(text.c_str(), nullptr);
}

bool ReadBoolAttr(const TXmlNode* node, const str& name, bool def) {
    str text = node->GetAttribute(name);
    return text.Length() == 0 ? def : ParseInt(text, 10) != 0;
}

void WriteFloatAttr(TXmlNode* node, const str& name, float value, float def) {
    node->SetAttribute(name, value == def ? str() : str::Format("%g", static_cast<double>(value)));
}

void WriteIntAttr(TXmlNode* node, const str& name, int32_t value, int32_t def) {
    node->SetAttribute(name, value == def ? str() : str::Format("%d", value));
}
