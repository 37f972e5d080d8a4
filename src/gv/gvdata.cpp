#include "gv/gvdata.h"

#include <cstdlib>
#include <cstring>

#include "foundation/xml/xmlnode.h"
#include "gv/attributes.h"

namespace {

// Whether text contains needle, letters compared without case.
bool ContainsNoCase(str text, const char* needle) {
    text.ToLower();
    return std::strstr(text.c_str(), needle) != nullptr;
}

}  // namespace

GVData::GVData(const GVData& other) : GVBase(other) {
    CopyParameters(other);
}

GVData& GVData::operator=(const GVData& other) {
    if (this != &other) CopyParameters(other);
    return *this;
}

void GVData::CopyParameters(const GVData& from) {
    deltaX = from.deltaX;
    deltaY = from.deltaY;
    deltaZ = from.deltaZ;
    rotate = from.rotate;
    scaling = from.scaling;
    centerX = from.centerX;
    centerY = from.centerY;
    visible = from.visible;
    alpha = from.alpha;
    for (int i = 0; i < 4; ++i)
        colors[i] = from.colors[i];
    flip = from.flip;
    blend = from.blend;
    changed = 1;
}

bool GVData::Load(TXmlNode* node, GVBase* owner) {
    if (!GVBase::Load(node, owner)) return false;
    deltaX = ReadFloatAttr(node, "deltaX", 0.0f);
    deltaY = ReadFloatAttr(node, "deltaY", 0.0f);
    deltaZ = ReadFloatAttr(node, "deltaZ", 0.0f);
    alpha = ReadFloatAttr(node, "alpha", 1.0f);
    visible = ReadBoolAttr(node, "visible", true) ? 1 : 0;

    // "x,y", or one number for both; empty keeps the centre.
    str center = node->GetAttribute("center");
    if (center.Length() != 0) {
        const char* text = center.c_str();
        const char* comma = std::strchr(text, ',');
        centerX = std::strtof(text, nullptr);
        centerY = std::strtof(comma != nullptr ? comma + 1 : text, nullptr);
    }

    str flipText = node->GetAttribute("flip");
    flip = 0;
    if (ContainsNoCase(flipText, "v")) flip |= kFlipVertical;
    if (ContainsNoCase(flipText, "h")) flip |= kFlipHorizontal;

    str blendText = node->GetAttribute("blend");
    blend = kBlendNormal;
    if (ContainsNoCase(blendText, "add"))
        blend = kBlendAdd;
    else if (ContainsNoCase(blendText, "sub"))
        blend = kBlendSub;
    else if (ContainsNoCase(blendText, "mul"))
        blend = kBlendMul;

    rotate = ReadFloatAttr(node, "rotate", 0.0f);
    scaling = ReadFloatAttr(node, "scaling", 1.0f);
    changed = 1;
    return true;
}

bool GVData::Save(TXmlNode* node) {
    if (node == nullptr) return false;
    WriteFloatAttr(node, "deltaX", deltaX, 0.0f);
    WriteFloatAttr(node, "deltaY", deltaY, 0.0f);
    WriteFloatAttr(node, "deltaZ", deltaZ, 0.0f);
    WriteFloatAttr(node, "alpha", alpha, 1.0f);
    node->SetAttribute("visible", visible != 0 ? str() : str("0"));
    str flipText;
    if ((flip & kFlipVertical) != 0) flipText += "V";
    if ((flip & kFlipHorizontal) != 0) flipText += "H";
    node->SetAttribute("flip", flipText);
    const char* blendText = blend == kBlendAdd   ? "add"
                            : blend == kBlendSub ? "sub"
                            : blend == kBlendMul ? "mul"
                                                 : "";
    node->SetAttribute("blend", blendText);
    WriteFloatAttr(node, "rotate", rotate, 0.0f);
    WriteFloatAttr(node, "scaling", scaling, 1.0f);
    return true;
}

GVBase* GVData::CopyTo(GVBase* target) {
    if (GVBase::CopyTo(target) == nullptr) return nullptr;
    // Only a parameter block can take parameters.
    GVData* data = dynamic_cast<GVData*>(target);
    if (data == nullptr) return nullptr;
    data->CopyParameters(*this);
    return target;
}

void GVData::Compose(const GVData& other) {
    deltaX += other.deltaX;
    deltaY += other.deltaY;
    deltaZ += other.deltaZ;
    rotate += other.rotate;
    centerX += other.centerX;
    centerY += other.centerY;
    scaling *= other.scaling;
    alpha *= other.alpha;
    for (int i = 0; i < 4; ++i)
        colors[i] *= other.colors[i];
    visible = static_cast<int8_t>((visible + other.visible) / 2);
    flip ^= other.flip;
    if (other.blend != kBlendNormal) blend = other.blend;
    changed = 1;
}
