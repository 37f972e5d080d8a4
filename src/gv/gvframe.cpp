#include "gv/gvframe.h"

#include "foundation/xml/xmlnode.h"
#include "gv/attributes.h"
#include "gv/gvregcalc.h"

bool GVFrame::Load(TXmlNode* node, GVBase* owner) {
    if (!GVBase::Load(node, owner)) return false;
    int32_t x = ReadIntAttr(node, "x", 0);
    int32_t y = ReadIntAttr(node, "y", 0);
    int32_t w = ReadIntAttr(node, "w", 0);
    int32_t h = ReadIntAttr(node, "h", 0);
    left = x;
    top = y;
    right = SaturateToInt(static_cast<int64_t>(x) + w);
    bottom = SaturateToInt(static_cast<int64_t>(y) + h);
    image = ReadIntAttr(node, "img", 0);
    regX1 = ReadFloatAttr(node, "regx", 0.0f);
    regY1 = ReadFloatAttr(node, "regy", 0.0f);
    centering = CenteringFromText(node->GetAttribute("centering"));
    return w != 0 || h != 0;
}

bool GVFrame::Save(TXmlNode* node) {
    if (node == nullptr) return false;
    WriteIntAttr(node, "x", left, 0);
    WriteIntAttr(node, "y", top, 0);
    // A saturated edge can lie further than an int from the other.
    WriteIntAttr(node, "w", SaturateToInt(GetWidth()), 0);
    WriteIntAttr(node, "h", SaturateToInt(GetHeight()), 0);
    WriteIntAttr(node, "img", image, 0);
    return true;
}

GVBase* GVFrame::CopyTo(GVBase* target) {
    if (GVBase::CopyTo(target) == nullptr) return nullptr;
    GVFrame* frame = dynamic_cast<GVFrame*>(target);
    if (frame == nullptr) return nullptr;
    frame->left = left;
    frame->top = top;
    frame->right = right;
    frame->bottom = bottom;
    frame->image = image;
    frame->regX1 = regX1;
    frame->regY1 = regY1;
    frame->regX2 = regX2;
    frame->regY2 = regY2;
    return target;
}

void GVFrame::SetRegCorner(int32_t corner, float x, float y) {
    ((corner & kCornerMirrorX) != 0 ? regX2 : regX1) = x;
    ((corner & kCornerMirrorY) != 0 ? regY2 : regY1) = y;
}

TVec2 GVFrame::GetRegCorner(int32_t corner) const {
    float x = (corner & kCornerMirrorX) != 0 ? regX2 : regX1;
    float y = (corner & kCornerMirrorY) != 0 ? regY2 : regY1;
    return TVec2(static_cast<float>(TruncateToInt(x)), static_cast<float>(TruncateToInt(y)));
}

bool GVFrames::Load(TXmlNode* node, GVBase* context) {
    if (!GVConteiner<GVFrame, int32_t>::Load(node, context)) return false;
    for (int32_t i = 0; i < GetCount(); ++i)
        GetAt(i)->index = i;
    centering = CenteringFromText(node->GetAttribute("centering"));
    GVRegCalc calculator(*this, context);
    return true;
}
