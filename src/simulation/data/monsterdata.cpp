#include "simulation/data/monsterdata.h"

#include "foundation/xml/xmlnode.h"
#include "simulation/data/savedvalues.h"

GMonsterData::~GMonsterData() = default;

void GMonsterData::Save(TXmlNode* node) const {
    GObjectData::Save(node);
    WriteFloatAttribute(node, "Speed", speed);
    WriteFloatAttribute(node, "AnimSpeedKoef", animSpeedKoef);
    WriteFloatAttribute(node, "RunSpeed", runSpeed);
    WriteFloatAttribute(node, "RunAnimSpeedKoef", runAnimSpeedKoef);
    node->SetAttributeInt("StartHealth", startHealth);
    node->SetAttributeInt("CurrentHealth", currentHealth);
    node->SetAttributeInt("TomahawkVulnerability", tomahawkVulnerability);
    node->SetAttributeInt("AnimatorsNum", animatorsNum);
    node->SetAttributeInt("CurrentAnimator", currentAnimator);
    TXmlNode* coefs = node->AddChild("AICoefs");
    for (const auto& [kind, coef] : aiCoefs) {
        TXmlNode* child = coefs->AddChild("AICoef");
        child->SetAttributeInt("TaskID", kind);
        child->SetAttributeInt("Weight", coef.weight);
        child->SetAttributeInt("Production", coef.production);
        child->SetAttributeInt("Duration", coef.duration);
    }
}

void GMonsterData::Load(TXmlNode* node) {
    GObjectData::Load(node);
    speed = ReadFloatAttribute(node, "Speed");
    animSpeedKoef = ReadFloatAttribute(node, "AnimSpeedKoef");
    runSpeed = ReadFloatAttribute(node, "RunSpeed");
    runAnimSpeedKoef = ReadFloatAttribute(node, "RunAnimSpeedKoef");
    startHealth = ReadShortAttribute(node, "StartHealth");
    currentHealth = ReadShortAttribute(node, "CurrentHealth");
    tomahawkVulnerability = ReadShortAttribute(node, "TomahawkVulnerability");
    animatorsNum = static_cast<uint16_t>(ReadShortAttribute(node, "AnimatorsNum"));
    currentAnimator = ReadShortAttribute(node, "CurrentAnimator");
    if (const TXmlNode* coefs = node->FindChild("AICoefs")) {
        for (const TXmlNode* child : coefs->GetChildren()) {
            GMonsterAICoef coef;
            coef.weight = ReadIntAttribute(child, "Weight");
            coef.production = ReadShortAttribute(child, "Production");
            coef.duration = ReadIntAttribute(child, "Duration");
            aiCoefs[ReadIntAttribute(child, "TaskID")] = coef;
        }
    }
}
