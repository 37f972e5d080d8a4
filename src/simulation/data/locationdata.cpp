#include "simulation/data/locationdata.h"

#include "foundation/xml/xmlnode.h"
#include "simulation/data/savedvalues.h"

GLocationData::~GLocationData() = default;

void GLocationData::Save(TXmlNode* node) const {
    GObjectData::Save(node);
    TXmlNode* list = node->AddChild("Resources");
    for (const GResourceRecord& record : resources) {
        TXmlNode* child = list->AddChild("Resource");
        child->SetAttributeInt("Type", record.type);
        child->SetAttributeInt("RequiredType", record.requiredType);
        child->SetAttributeInt("AfterBuildQuantity", record.afterBuildQuantity);
        child->SetAttributeInt("MaxQuantity", record.maxQuantity);
        child->SetAttributeInt("Quantity", record.quantity);
        child->SetAttributeInt("Addition", record.addition);
        child->SetAttributeInt("RequiredItem", record.requiredItem);
        child->SetAttributeInt("RequiredItemSave", record.requiredItemSave);
        child->SetAttributeInt("ProductionItem", record.productionItem);
        child->SetAttributeInt("Action", record.action);
        child->SetAttributeInt("RequiredEvent", record.requiredEvent);
        child->SetAttributeInt("RequiredLevel", record.requiredLevel);
        child->SetAttribute("RequiredName", record.requiredName);
    }
    list = node->AddChild("Components");
    for (const GComponentRecord& component : components) {
        TXmlNode* child = list->AddChild("Component");
        child->SetAttributeInt("Type", component.type);
        child->SetAttributeInt("ResearchQuantity", component.researchQuantity);
        child->SetAttributeInt("ItemRequiredToResearch", component.itemRequiredToResearch);
        child->SetAttribute("NameRequiredToResearch", component.nameRequiredToResearch);
    }
    list = node->AddChild("CanUseInfos");
    for (const auto& [who, level] : canUse) {
        TXmlNode* child = list->AddChild("CanUseInfo");
        child->SetAttribute("str", who);
        child->SetAttributeInt("val", level);
    }
    node->SetAttribute("AfterBuildTransform", afterBuildTransform);
    WriteFloatAttribute(node, "AnimatorStartLevel", animatorStartLevel);
    WriteFloatAttribute(node, "AnimatorEndLevel", animatorEndLevel);
    node->SetAttributeInt("LocationBonusID", locationBonusID);
    node->SetAttributeInt("LocationBonusPercents", locationBonusPercents);
}

void GLocationData::Load(TXmlNode* node) {
    GObjectData::Load(node);
    if (const TXmlNode* list = node->FindChild("Resources")) {
        for (const TXmlNode* child : list->GetChildren()) {
            GResourceRecord record;
            record.type = ReadIntAttribute(child, "Type");
            record.requiredType = ReadIntAttribute(child, "RequiredType");
            record.afterBuildQuantity = ReadIntAttribute(child, "AfterBuildQuantity");
            record.maxQuantity = ReadIntAttribute(child, "MaxQuantity");
            record.quantity = ReadIntAttribute(child, "Quantity");
            record.addition = ReadIntAttribute(child, "Addition");
            record.requiredItem = ReadIntAttribute(child, "RequiredItem");
            record.requiredItemSave = ReadShortAttribute(child, "RequiredItemSave");
            record.productionItem = ReadIntAttribute(child, "ProductionItem");
            record.action = ReadIntAttribute(child, "Action");
            record.requiredEvent = ReadIntAttribute(child, "RequiredEvent");
            record.requiredLevel = ReadShortAttribute(child, "RequiredLevel");
            record.requiredName = child->GetAttribute("RequiredName");
            resources.push_back(record);
        }
    }
    if (const TXmlNode* list = node->FindChild("Components")) {
        for (const TXmlNode* child : list->GetChildren()) {
            GComponentRecord component;
            component.type = ReadIntAttribute(child, "Type");
            component.researchQuantity = ReadShortAttribute(child, "ResearchQuantity");
            component.itemRequiredToResearch = ReadIntAttribute(child, "ItemRequiredToResearch");
            component.nameRequiredToResearch = child->GetAttribute("NameRequiredToResearch");
            components.push_back(component);
        }
    }
    if (const TXmlNode* list = node->FindChild("CanUseInfos")) {
        for (const TXmlNode* child : list->GetChildren()) {
            canUse[child->GetAttribute("str")] = ReadShortAttribute(child, "val");
        }
    }
    afterBuildTransform = node->GetAttribute("AfterBuildTransform");
    animatorStartLevel = ReadFloatAttribute(node, "AnimatorStartLevel");
    animatorEndLevel = ReadFloatAttribute(node, "AnimatorEndLevel");
    locationBonusID = ReadIntAttribute(node, "LocationBonusID");
    locationBonusPercents = ReadIntAttribute(node, "LocationBonusPercents");
}
