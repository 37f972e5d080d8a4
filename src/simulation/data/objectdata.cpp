#include "simulation/data/objectdata.h"

#include "foundation/xml/xmlnode.h"

GObjectData::~GObjectData() = default;

void GObjectData::Load(TXmlNode* node) {
    name = node->GetAttribute("Name");
    fullName = node->GetAttribute("FullName");
    animatorName = node->GetAttribute("AnimatorName");
}

void GObjectData::Save(TXmlNode* node) const {
    node->SetAttribute("Name", name);
    node->SetAttribute("FullName", fullName);
    node->SetAttribute("AnimatorName", animatorName);
}
