#include "gv/gvparams.h"

#include "foundation/xml/xmlnode.h"

const str& GVParams::Value::GetText() {
    if (type == kInt)
        text = str::Format("%d", intValue);
    else if (type == kFloat)
        text = str::Format("%f", static_cast<double>(floatValue));
    else if (type != kText)
        return text;
    type = kText;
    return text;
}

bool GVParams::Load(TXmlNode* node, GVBase* owner) {
    if (!GVBase::Load(node, owner)) return false;
    str name;
    str text;
    node->ResetAttributes();
    while (node->GetNextAttribute(name, text)) {
        Value value;
        value.type = Value::kText;
        value.text = text;
        mValues.push_back(value);
        mIndex.emplace(name, static_cast<int32_t>(mValues.size() - 1));
    }
    return true;
}

bool GVParams::Save(TXmlNode* node) {
    if (node == nullptr) return false;
    for (const auto& [name, position] : mIndex)
        node->SetAttribute(name, mValues[static_cast<size_t>(position)].GetText());
    return true;
}

void GVParams::CopyInto(GVParams& target) const {
    if (&target == this) return;
    target.mIndex = mIndex;
    target.mValues = mValues;
}

GVParams::Value* GVParams::Find(const str& name) {
    auto found = mIndex.find(name);
    return found != mIndex.end() ? &mValues[static_cast<size_t>(found->second)] : nullptr;
}
