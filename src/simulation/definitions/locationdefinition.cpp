// GNameRegistry::LoadLocationDefinition and LoadMonsterDefinition: a "Location" element (a
// location file, or a layout element over its prototype) and a "Monster" element.
#include <memory>

#include "foundation/xml/xmlnode.h"
#include "simulation/params/globaldata.h"
#include "simulation/nameregistry.h"
#include "simulation/data/savedvalues.h"

namespace {

GResourceRecord* FirstOfType(GLocationData& block, int type) {
    for (GResourceRecord& record : block.resources) {
        if (record.type == type) return &record;
    }
    return nullptr;
}

GComponentRecord* FirstComponentOfType(GLocationData& block, int type) {
    for (GComponentRecord& component : block.components) {
        if (component.type == type) return &component;
    }
    return nullptr;
}

// A new record from a resource child, every key at its default when not given.
GResourceRecord NewRecord(const TXmlNode* child, int type, const GNameRegistry& names) {
    GResourceRecord record;
    record.type = type;
    record.requiredType = names.GetResourceKind(child->GetAttribute("ResourceRequired"));
    record.quantity = ReadIntOr(child, "Quantity", 0);
    record.maxQuantity = ReadIntOr(child, "MaxQuantity", record.quantity);
    record.afterBuildQuantity = ReadIntOr(child, "AfterBuildQuantity", record.quantity);
    record.action = names.GetTaskKind(child->GetAttribute("Action"));
    record.addition = ReadIntOr(child, "Addition", 0);
    record.requiredItem = names.GetItemKind(child->GetAttribute("ItemRequired"));
    record.requiredItemSave = ReadShortOr(child, "SaveItemRequired", 0);
    record.productionItem = names.GetItemKind(child->GetAttribute("ItemProducted"));
    record.requiredName = child->GetAttribute("NameRequired");
    record.requiredLevel = ReadShortOr(child, "LevelRequired", 0);
    record.requiredEvent = ReadIntOr(child, "EventRequired", 0);
    return record;
}

// A resource child over the base's record of its type: only what the child sets.
void ChangeRecord(const TXmlNode* child, GResourceRecord& record, const GNameRegistry& names) {
    const int requiredType = names.GetResourceKind(child->GetAttribute("ResourceRequired"));
    if (requiredType != 0) record.requiredType = requiredType;
    auto setIfPositive = [](int value, int& field) {
        if (value > 0) field = value;
    };
    setIfPositive(ReadIntAttribute(child, "MaxQuantity"), record.maxQuantity);
    setIfPositive(ReadIntAttribute(child, "Quantity"), record.quantity);
    setIfPositive(ReadIntAttribute(child, "AfterBuildQuantity"), record.afterBuildQuantity);
    setIfPositive(ReadIntAttribute(child, "Addition"), record.addition);
    setIfPositive(names.GetTaskKind(child->GetAttribute("Action")), record.action);
    setIfPositive(names.GetItemKind(child->GetAttribute("ItemRequired")), record.requiredItem);
    setIfPositive(names.GetItemKind(child->GetAttribute("ItemProducted")), record.productionItem);
    const int16_t level = ReadShortAttribute(child, "LevelRequired");
    if (level > 0) record.requiredLevel = level;
    if (IsGiven(child, "NameRequired")) record.requiredName = child->GetAttribute("NameRequired");
    const int event = ReadIntAttribute(child, "EventRequired");
    if (event != 0) record.requiredEvent = event;
}

// "Resources"; answers the last "AfterBuildTransform" given by a child that was read.
str ReadResources(const TXmlNode* resources, bool hasBase, const GNameRegistry& names,
                  GLocationData& block) {
    str transform;
    if (resources == nullptr) return transform;
    for (const TXmlNode* child : resources->GetChildren()) {
        const int type = names.GetResourceKind(child->GetName());
        if (type == 0) continue;
        // Over a base a child is appended only while the list is still empty; the children
        // after it change the record of their type that the list holds by then.
        if (!hasBase || block.resources.empty()) {
            block.resources.push_back(NewRecord(child, type, names));
        } else {
            GResourceRecord* record = FirstOfType(block, type);
            if (record == nullptr) continue;
            ChangeRecord(child, *record, names);
        }
        if (IsGiven(child, "AfterBuildTransform")) {
            transform = child->GetAttribute("AfterBuildTransform");
        }
    }
    return transform;
}

void ReadComponents(const TXmlNode* components, bool hasBase, const GNameRegistry& names,
                    GLocationData& block) {
    if (components == nullptr) return;
    for (const TXmlNode* child : components->GetChildren()) {
        const int type = names.GetPlantKind(child->GetName());
        if (type == 0) continue;
        const int16_t research = ReadShortOr(child, "Research", 0);
        const int item = names.GetItemKind(child->GetAttribute("ItemRequiredToResearch"));
        // As with the resources: over a base, appended only while the list is still empty.
        if (!hasBase || block.components.empty()) {
            block.components.push_back({type, research, child->GetAttribute("NameRequired"), item});
            continue;
        }
        GComponentRecord* component = FirstComponentOfType(block, type);
        if (component == nullptr) continue;
        if (research > 0) component->researchQuantity = research;
        if (item != 0) component->itemRequiredToResearch = item;
    }
}

}  // namespace

GLoadedDefinition GNameRegistry::LoadLocationDefinition(TXmlNode* element,
                                                        const GLocationData* base) {
    GlobalData* params = ParamsFor("LoadLocationDefinition");
    if (element == nullptr || params == nullptr || !IsGiven(element, "Name")) {
        return GLoadedDefinition();
    }
    const str name = element->GetAttribute("Name");
    const str fullName = IsGiven(element, "FullName") ? element->GetAttribute("FullName") : name;
    auto block = base != nullptr ? std::make_unique<GLocationData>(*base)
                                 : std::make_unique<GLocationData>();
    // Over a base that is a variant (its name differs from its full name) the name stays.
    if (base == nullptr || base->name == base->fullName) block->name = name;
    block->fullName = fullName;

    const TXmlNode* animator = element->FindChild("Animator");
    const bool named = animator != nullptr && IsGiven(animator, "Name");
    if (base == nullptr && !named) return GLoadedDefinition();
    if (animator != nullptr) {
        if (named) block->animatorName = animator->GetAttribute("Name");
        block->animatorStartLevel = ReadTextFloatOr(animator, "StartLevel", 0.0f);
        block->animatorEndLevel = ReadTextFloatOr(animator, "EndLevel", 1.0f);
    }

    const str transform =
        ReadResources(element->FindChild("Resources"), base != nullptr, *this, *block);
    if (const TXmlNode* bonus = element->FindChild("Bonus")) {
        block->locationBonusID = GetTaskKind(bonus->GetAttribute("Action"));
        block->locationBonusPercents = ReadShortOr(bonus, "Bonus", 0);
    }
    ReadComponents(element->FindChild("Components"), base != nullptr, *this, *block);
    if (base == nullptr || block->afterBuildTransform.Length() == 0) {
        block->afterBuildTransform = transform;
    }
    if (const TXmlNode* canUse = element->FindChild("CanUse")) {
        for (const TXmlNode* child : canUse->GetChildren()) {
            if (IsGiven(child, "Level")) {
                block->canUse[child->GetName()] = ReadShortAttribute(child, "Level");
            }
        }
    }

    GLoadedDefinition loaded;
    if (base != nullptr) {
        loaded.owned = std::move(block);
    } else {
        loaded.stored = Store(std::move(block));
    }
    return loaded;
}

GLoadedDefinition GNameRegistry::LoadMonsterDefinition(TXmlNode* element,
                                                       const GMonsterData* base) {
    GlobalData* params = ParamsFor("LoadMonsterDefinition");
    if (element == nullptr || params == nullptr || !IsGiven(element, "Name")) {
        return GLoadedDefinition();
    }
    auto block =
        base != nullptr ? std::make_unique<GMonsterData>(*base) : std::make_unique<GMonsterData>();
    block->name = element->GetAttribute("Name");
    block->fullName =
        IsGiven(element, "FullName") ? element->GetAttribute("FullName") : block->name;

    const TXmlNode* animator = element->FindChild("Animator");
    if (animator == nullptr || !IsGiven(animator, "Name")) return GLoadedDefinition();
    block->animatorName = animator->GetAttribute("Name");
    block->speed = ReadTextFloatOr(animator, "Speed", 2.0f);
    block->animSpeedKoef = ReadTextFloatOr(animator, "AnimSpeedKoef", 1.0f);
    block->runSpeed = ReadTextFloatOr(animator, "RunSpeed", block->speed);
    block->runAnimSpeedKoef = ReadTextFloatOr(animator, "RunAnimSpeedKoef", block->animSpeedKoef);
    block->animatorsNum = static_cast<uint16_t>(ReadShortOr(animator, "AnimatorsNum", 0));
    block->currentAnimator = -1;

    if (const TXmlNode* ai = element->FindChild("AI")) {
        for (const TXmlNode* child : ai->GetChildren()) {
            if (child->GetName() != str("Task")) continue;
            const int kind = GetTaskKind(child->GetAttribute("Action"));
            if (kind == 0 || !IsGiven(child, "Weight") || !IsGiven(child, "Production")) continue;
            GMonsterAICoef coef;
            coef.weight = ReadIntAttribute(child, "Weight");
            coef.production = ReadShortAttribute(child, "Production");
            if (coef.production < 0) continue;
            coef.duration = ReadShortOr(child, "Duration", 0);
            if (coef.duration == 0) coef.duration = params->defaultTask;
            block->aiCoefs.emplace(kind, coef);
        }
    }

    const TXmlNode* health = element->FindChild("Health");
    if (health == nullptr || !IsGiven(health, "StartHealth")) return GLoadedDefinition();
    block->startHealth = ReadShortAttribute(health, "StartHealth");
    block->currentHealth = ReadShortOr(health, "CurrentHealth", block->startHealth);

    GLoadedDefinition loaded;
    loaded.stored = Store(std::move(block));
    return loaded;
}
