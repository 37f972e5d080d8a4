// GNameRegistry::LoadCreatureDefinition: one creature form's "Creature" element.
#include <algorithm>
#include <memory>

#include "foundation/xml/xmlnode.h"
#include "simulation/params/globaldata.h"
#include "simulation/nameregistry.h"
#include "simulation/data/savedvalues.h"

namespace {

// "Animator": names, speeds, ageing limit, patrol, variants; false without a given "Name".
bool ReadAnimator(TXmlNode* animator, GCreatureData& block) {
    if (animator == nullptr || !IsGiven(animator, "Name")) return false;
    block.animatorName = animator->GetAttribute("Name");
    block.baseAnimatorName = block.animatorName;
    block.speed = ReadTextFloatOr(animator, "Speed", 2.0f);
    block.animSpeedKoef = ReadTextFloatOr(animator, "AnimSpeedKoef", 1.0f);
    block.runSpeed = ReadTextFloatOr(animator, "RunSpeed", block.speed);
    block.runAnimSpeedKoef = ReadTextFloatOr(animator, "RunAnimSpeedKoef", block.animSpeedKoef);
    block.minAge = ReadIntOr(animator, "MinAge", 50);
    block.minSpeed = ReadTextFloatOr(animator, "MinSpeed", block.speed);
    block.minAnimSpeedKoef = ReadTextFloatOr(animator, "MinAnimSpeedKoef", block.animSpeedKoef);
    block.patrolDistance = ReadIntOr(animator, "PatrolDistance", 0);
    block.maxAnimatorsHeads = ReadShortOr(animator, "MaxHeadAnimatorsNum", 0);
    block.maxAnimatorsBodies = ReadShortOr(animator, "MaxBodyAnimatorsNum", 0);
    block.curAnimator = -1;
    block.curHeadAnimator = -1;
    block.curVoice = -1;
    if (const TXmlNode* patrol = animator->FindChild("Patrol")) {
        for (const TXmlNode* child : patrol->GetChildren()) {
            GPatrolZone zone;
            zone.x1 = ReadIntAttribute(child, "x1");
            zone.x2 = ReadIntAttribute(child, "x2");
            zone.y1 = ReadIntAttribute(child, "y1");
            zone.y2 = ReadIntAttribute(child, "y2");
            for (const TXmlNode* point : child->GetChildren()) {
                zone.points.push_back({ReadIntAttribute(point, "x"), ReadIntAttribute(point, "y")});
            }
            block.patrol.push_back(zone);
        }
    }
    return true;
}

void ReadEvolution(const TXmlNode* evolution, const GNameRegistry& names, GCreatureData& block) {
    for (const TXmlNode* child : evolution->GetChildren()) {
        if (child->GetName() != str("Evolve")) continue;
        const int kind = names.GetTaskKind(child->GetAttribute("Action"));
        if (kind == 0 || !IsGiven(child, "Next") || !IsGiven(child, "Time")) continue;
        const int time = ReadIntAttribute(child, "Time");
        if (time == 0) continue;
        GEvolutionData step;
        step.taskId = kind;
        step.nextFullName = child->GetAttribute("Next");
        for (int i = 0; i < 4; ++i) {
            step.time[i] = ReadIntOr(child, str::Format("Time%d", i).c_str(), time);
        }
        block.evolutionDatas.push_back(step);
    }
}

void ReadAI(const TXmlNode* ai, const GNameRegistry& names, int defaultTask, GCreatureData& block) {
    for (const TXmlNode* child : ai->GetChildren()) {
        if (child->GetName() != str("Task")) continue;
        const int kind = names.GetTaskKind(child->GetAttribute("Action"));
        if (kind == 0 || !IsGiven(child, "Weight")) continue;
        GAICoef coef;
        coef.weight = ReadIntAttribute(child, "Weight");
        coef.production = ReadShortOr(child, "Production", 0);
        if (coef.production < 0) continue;
        coef.hunger = ReadShortOr(child, "Hunger", 0);
        coef.thirst = ReadShortOr(child, "Thirst", 0);
        coef.minProb = ReadShortOr(child, "MinProb", 100);
        coef.probTop = ReadShortOr(child, "ProbTop", 0);
        coef.duration = ReadShortOr(child, "Duration", 0);
        if (coef.duration == 0) coef.duration = defaultTask;
        // The first task of a kind stays, and so does the base's.
        block.aiCoefs.emplace(kind, coef);
    }
}

void ReadConsumption(const TXmlNode* consumption, const GNameRegistry& names,
                     const GlobalData& params, GCreatureData& block) {
    for (const TXmlNode* child : consumption->GetChildren()) {
        const int type = names.GetResourceKind(child->GetName());
        if (type == 0 || !IsGiven(child, "Max")) continue;
        GConsumption need;
        need.maxLevel = ReadShortAttribute(child, "Max");
        if (need.maxLevel <= 0) continue;
        need.curLevel = need.maxLevel;
        need.portion = ReadShortOr(child, "Portion", need.maxLevel);
        need.duration =
            IsGiven(child, "Duration") ? ReadShortAttribute(child, "Duration") : params.defaultTask;
        const bool food = type == 1;
        need.healthLost = food ? params.hungerHealthLost : params.thirstHealthLost;
        need.healthAdd = food ? params.hungerHealthAdd : params.thirstHealthAdd;
        block.consumptions.emplace(type, need);
    }
}

// "Health"; false without a given "StartHealth".
bool ReadHealth(const TXmlNode* health, GlobalData& params, GCreatureData& block) {
    if (health == nullptr) return false;
    block.startHealth = ReadShortOr(health, "StartHealth", 0);
    block.currentHealth = ReadShortOr(health, "CurrentHealth", block.startHealth);
    block.healthPercentsToEat = params.healthPercentsToEat;
    block.hungerAddCoef = params.RandomHungerAddCoef();
    block.hungerHRR = ReadTextFloatOr(health, "HungerHRR", params.hungerHRR);
    block.thirstHRR = ReadTextFloatOr(health, "ThirstHRR", params.thirstHRR);
    block.globalHRR = ReadTextFloatOr(health, "GlobalHRR", params.globalHRR);
    block.hungerHAR = ReadTextFloatOr(health, "HungerHAR", params.hungerHAR);
    block.thirstHAR = ReadTextFloatOr(health, "ThirstHAR", params.thirstHAR);
    block.healthPercentsToStop =
        ReadShortOr(health, "HealthPercentsToStop", params.healthPercentsToStop);
    block.diseaseMinAge = ReadIntOr(health, "MinAge", params.minAge);
    block.diseaseProbMin = ReadTextFloatOr(health, "ProbMin", params.probMin);
    block.diseaseProbMax = ReadTextFloatOr(health, "ProbMax", params.probMax);
    block.diseaseHealthLost = params.diseaseHealthLost;
    return IsGiven(health, "StartHealth");
}

}  // namespace

GLoadedDefinition GNameRegistry::LoadCreatureDefinition(TXmlNode* element,
                                                        const GCreatureData* base) {
    GlobalData* params = ParamsFor("LoadCreatureDefinition");
    if (element == nullptr || params == nullptr || !IsGiven(element, "Name")) {
        return GLoadedDefinition();
    }
    auto block = base != nullptr ? std::make_unique<GCreatureData>(*base)
                                 : std::make_unique<GCreatureData>();
    block->name = element->GetAttribute("Name");
    block->fullName =
        IsGiven(element, "FullName") ? element->GetAttribute("FullName") : block->name;
    block->level = std::max<int16_t>(ReadShortOr(element, "Level", 0), 0);

    bool complete = ReadAnimator(element->FindChild("Animator"), *block);
    if (const TXmlNode* poi = element->FindChild("POI")) {
        for (const TXmlNode* child : poi->GetChildren()) {
            block->poi.push_back(params->GetPointOfInterest(child->GetAttribute("ID")));
        }
    }
    const TXmlNode* evolution = element->FindChild("Evolution");
    if (evolution != nullptr) ReadEvolution(evolution, *this, *block);
    const TXmlNode* ai = element->FindChild("AI");
    if (ai != nullptr) ReadAI(ai, *this, params->defaultTask, *block);
    if (const TXmlNode* consumption = element->FindChild("Consumption")) {
        ReadConsumption(consumption, *this, *params, *block);
    }
    block->hitRect = GHitRect();
    if (const TXmlNode* rect = element->FindChild("HitRect")) {
        block->hitRect.dx = ReadShortAttribute(rect, "dx");
        block->hitRect.dy = ReadShortAttribute(rect, "dy");
        block->hitRect.w = ReadShortAttribute(rect, "w");
        block->hitRect.h = ReadShortAttribute(rect, "h");
    }
    complete = ReadHealth(element->FindChild("Health"), *params, *block) && complete;
    if (!complete || evolution == nullptr || ai == nullptr) return GLoadedDefinition();

    GLoadedDefinition loaded;
    loaded.stored = Store(std::move(block));
    return loaded;
}
