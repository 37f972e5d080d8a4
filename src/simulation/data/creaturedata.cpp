#include "simulation/data/creaturedata.h"

#include <cstdint>

#include "foundation/xml/xmlnode.h"
#include "simulation/data/saturate.h"
#include "simulation/data/savedvalues.h"

namespace {

struct FloatField {
    const char* name;
    float GCreatureData::*field;
};

struct IntField {
    const char* name;
    int GCreatureData::*field;
};

struct ShortField {
    const char* name;
    int16_t GCreatureData::*field;
};

void WriteFloats(TXmlNode* node, const GCreatureData& data,
                 std::initializer_list<FloatField> fields) {
    for (const FloatField& f : fields)
        WriteFloatAttribute(node, f.name, data.*f.field);
}

void ReadFloats(TXmlNode* node, GCreatureData& data, std::initializer_list<FloatField> fields) {
    for (const FloatField& f : fields)
        data.*f.field = ReadFloatAttribute(node, f.name);
}

void WriteShorts(TXmlNode* node, const GCreatureData& data,
                 std::initializer_list<ShortField> fields) {
    for (const ShortField& f : fields)
        node->SetAttributeInt(f.name, data.*f.field);
}

void ReadShorts(TXmlNode* node, GCreatureData& data, std::initializer_list<ShortField> fields) {
    for (const ShortField& f : fields)
        data.*f.field = ReadShortAttribute(node, f.name);
}

// The attribute groups in their saved order.
constexpr std::initializer_list<FloatField> kSpeeds = {
    {"Speed", &GCreatureData::speed},
    {"AnimSpeedKoef", &GCreatureData::animSpeedKoef},
    {"RunSpeed", &GCreatureData::runSpeed},
    {"RunAnimSpeedKoef", &GCreatureData::runAnimSpeedKoef}};
constexpr std::initializer_list<FloatField> kDisease = {
    {"DiseaseProbMin", &GCreatureData::diseaseProbMin},
    {"DiseaseProbMax", &GCreatureData::diseaseProbMax},
    {"DiseaseHealthLost", &GCreatureData::diseaseHealthLost}};
constexpr std::initializer_list<FloatField> kSlowest = {
    {"MinSpeed", &GCreatureData::minSpeed}, {"MinAnimSpeedKoef", &GCreatureData::minAnimSpeedKoef}};
constexpr std::initializer_list<ShortField> kHealth = {
    {"Level", &GCreatureData::level},
    {"StartHealth", &GCreatureData::startHealth},
    {"CurrentHealth", &GCreatureData::currentHealth},
    {"LostHealthD", &GCreatureData::lostHealthD},
    {"LostHealthT", &GCreatureData::lostHealthT},
    {"LostHealthH", &GCreatureData::lostHealthH}};
constexpr std::initializer_list<FloatField> kRates = {
    {"HealthPercentsToEat", &GCreatureData::healthPercentsToEat},
    {"HungerAddCoef", &GCreatureData::hungerAddCoef},
    {"HungerHRR", &GCreatureData::hungerHRR},
    {"ThirstHRR", &GCreatureData::thirstHRR},
    {"GlobalHRR", &GCreatureData::globalHRR},
    {"HungerHAR", &GCreatureData::hungerHAR},
    {"ThirstHAR", &GCreatureData::thirstHAR}};
constexpr std::initializer_list<ShortField> kAnimators = {
    {"MaxAnimatorsHeads", &GCreatureData::maxAnimatorsHeads},
    {"MaxAnimatorsBodies", &GCreatureData::maxAnimatorsBodies},
    {"CurAnimator", &GCreatureData::curAnimator},
    {"CurHeadAnimator", &GCreatureData::curHeadAnimator},
    {"CurVoice", &GCreatureData::curVoice}};

}  // namespace

GCreatureData::~GCreatureData() = default;

void GCreatureData::Save(TXmlNode* node) const {
    GObjectData::Save(node);
    WriteFloats(node, *this, kSpeeds);
    node->SetAttributeInt("DiseaseMinAge", diseaseMinAge);
    WriteFloats(node, *this, kDisease);
    node->SetAttributeInt("MinAge", minAge);
    WriteFloats(node, *this, kSlowest);
    node->SetAttributeInt("PatrolDistance", patrolDistance);
    WriteShorts(node, *this, kHealth);
    WriteFloats(node, *this, kRates);
    node->SetAttribute("BaseAnimatorName", baseAnimatorName);
    WriteShorts(node, *this, kAnimators);

    TXmlNode* rect = node->AddChild("HitRect");
    rect->SetAttributeInt("dx", hitRect.dx);
    rect->SetAttributeInt("dy", hitRect.dy);
    rect->SetAttributeInt("w", hitRect.w);
    rect->SetAttributeInt("h", hitRect.h);

    TXmlNode* steps = node->AddChild("EvolutionDatas");
    for (const GEvolutionData& step : evolutionDatas) {
        TXmlNode* child = steps->AddChild("EvolutionData");
        child->SetAttributeInt("TaskID", step.taskId);
        child->SetAttribute("NextFullName", step.nextFullName);
        child->SetAttributeInt("TimeSpent", step.timeSpent);
        child->SetAttributeInt("StartLevel", step.startLevel);
        child->SetAttributeInt("MaxLevel", step.maxLevel);
        for (int i = 0; i < 4; ++i)
            child->SetAttributeInt(str::Format("Time%d", i), step.time[i]);
    }

    TXmlNode* zones = node->AddChild("Patrol");
    for (const GPatrolZone& zone : patrol) {
        TXmlNode* child = zones->AddChild("Zone");
        child->SetAttributeInt("x1", zone.x1);
        child->SetAttributeInt("x2", zone.x2);
        child->SetAttributeInt("y1", zone.y1);
        child->SetAttributeInt("y2", zone.y2);
        for (const GGridPoint& point : zone.points) {
            TXmlNode* p = child->AddChild("Point");
            p->SetAttributeInt("x", point.x);
            p->SetAttributeInt("y", point.y);
        }
    }

    TXmlNode* points = node->AddChild("POI");
    for (const GPointOfInterest& point : poi) {
        TXmlNode* child = points->AddChild("Point");
        child->SetAttributeInt("X", point.x);
        child->SetAttributeInt("Y", point.y);
        child->SetAttribute("Text", point.text);
        child->SetAttributeInt("StartEvent", point.startEvent);
        child->SetAttributeInt("StopEvent", point.stopEvent);
    }

    TXmlNode* coefs = node->AddChild("AICoefs");
    for (const auto& [kind, coef] : aiCoefs) {
        TXmlNode* child = coefs->AddChild("AICoef");
        child->SetAttributeInt("TaskID", kind);
        child->SetAttributeInt("Weight", coef.weight);
        child->SetAttributeInt("Production", coef.production);
        child->SetAttributeInt("Hunger", coef.hunger);
        child->SetAttributeInt("Thirst", coef.thirst);
        child->SetAttributeInt("Duration", coef.duration);
        child->SetAttributeInt("MinProb", coef.minProb);
        child->SetAttributeInt("ProbTop", coef.probTop);
    }

    TXmlNode* needs = node->AddChild("Consumptions");
    for (const auto& [type, need] : consumptions) {
        TXmlNode* child = needs->AddChild("Consumption");
        child->SetAttributeInt("ResourceType", type);
        child->SetAttributeInt("MaxLevel", need.maxLevel);
        child->SetAttributeInt("CurLevel", need.curLevel);
        child->SetAttributeInt("Portion", need.portion);
        child->SetAttributeInt("Duration", need.duration);
        child->SetAttributeInt("HealthLost", need.healthLost);
        child->SetAttributeInt("HealthAdd", need.healthAdd);
    }

    TXmlNode* spent = node->AddChild("TimeSpent");
    for (int value : timeSpent)
        spent->AddChild("t")->SetAttributeInt("v", value);
}

void GCreatureData::Load(TXmlNode* node) {
    GObjectData::Load(node);
    ReadFloats(node, *this, kSpeeds);
    diseaseMinAge = ReadIntAttribute(node, "DiseaseMinAge");
    ReadFloats(node, *this, kDisease);
    minAge = ReadIntAttribute(node, "MinAge");
    ReadFloats(node, *this, kSlowest);
    patrolDistance = ReadIntAttribute(node, "PatrolDistance");
    ReadShorts(node, *this, kHealth);
    ReadFloats(node, *this, kRates);
    baseAnimatorName = node->GetAttribute("BaseAnimatorName");
    ReadShorts(node, *this, kAnimators);

    if (const TXmlNode* rect = node->FindChild("HitRect")) {
        hitRect.dx = ReadShortAttribute(rect, "dx");
        hitRect.dy = ReadShortAttribute(rect, "dy");
        hitRect.w = ReadShortAttribute(rect, "w");
        hitRect.h = ReadShortAttribute(rect, "h");
    }
    if (const TXmlNode* steps = node->FindChild("EvolutionDatas")) {
        for (const TXmlNode* child : steps->GetChildren()) {
            GEvolutionData step;
            step.taskId = ReadIntAttribute(child, "TaskID");
            step.nextFullName = child->GetAttribute("NextFullName");
            step.timeSpent = ReadIntAttribute(child, "TimeSpent");
            step.startLevel = ReadIntAttribute(child, "StartLevel");
            step.maxLevel = ReadIntAttribute(child, "MaxLevel");
            for (int i = 0; i < 4; ++i) {
                step.time[i] = ReadIntAttribute(child, str::Format("Time%d", i).c_str());
            }
            evolutionDatas.push_back(step);
        }
    }
    if (const TXmlNode* zones = node->FindChild("Patrol")) {
        for (const TXmlNode* child : zones->GetChildren()) {
            GPatrolZone zone;
            zone.x1 = ReadIntAttribute(child, "x1");
            zone.x2 = ReadIntAttribute(child, "x2");
            zone.y1 = ReadIntAttribute(child, "y1");
            zone.y2 = ReadIntAttribute(child, "y2");
            for (const TXmlNode* p : child->GetChildren()) {
                zone.points.push_back({ReadIntAttribute(p, "x"), ReadIntAttribute(p, "y")});
            }
            patrol.push_back(zone);
        }
    }
    if (const TXmlNode* points = node->FindChild("POI")) {
        for (const TXmlNode* child : points->GetChildren()) {
            GPointOfInterest point;
            point.x = ReadIntAttribute(child, "X");
            point.y = ReadIntAttribute(child, "Y");
            point.text = child->GetAttribute("Text");
            point.startEvent = ReadIntAttribute(child, "StartEvent");
            point.stopEvent = ReadIntAttribute(child, "StopEvent");
            poi.push_back(point);
        }
    }
    if (const TXmlNode* coefs = node->FindChild("AICoefs")) {
        for (const TXmlNode* child : coefs->GetChildren()) {
            GAICoef coef;
            coef.weight = ReadIntAttribute(child, "Weight");
            coef.production = ReadShortAttribute(child, "Production");
            coef.hunger = ReadShortAttribute(child, "Hunger");
            coef.thirst = ReadShortAttribute(child, "Thirst");
            coef.duration = ReadIntAttribute(child, "Duration");
            coef.minProb = ReadIntAttribute(child, "MinProb");
            coef.probTop = ReadIntAttribute(child, "ProbTop");
            aiCoefs[ReadIntAttribute(child, "TaskID")] = coef;
        }
    }
    if (const TXmlNode* needs = node->FindChild("Consumptions")) {
        for (const TXmlNode* child : needs->GetChildren()) {
            GConsumption need;
            need.maxLevel = ReadShortAttribute(child, "MaxLevel");
            need.curLevel = ReadShortAttribute(child, "CurLevel");
            need.portion = ReadShortAttribute(child, "Portion");
            need.duration = ReadIntAttribute(child, "Duration");
            need.healthLost = ReadIntAttribute(child, "HealthLost");
            need.healthAdd = ReadIntAttribute(child, "HealthAdd");
            consumptions[ReadIntAttribute(child, "ResourceType")] = need;
        }
    }
    if (const TXmlNode* spent = node->FindChild("TimeSpent")) {
        // Counters past the 39th have no task kind: they are ignored.
        for (int& value : timeSpent)
            value = 0;
        int kind = 0;
        for (const TXmlNode* child : spent->GetChildren()) {
            if (kind >= kTaskKindCount) break;
            timeSpent[kind++] = ReadIntAttribute(child, "v");
        }
    }
}

bool GCreatureData::HasTaskData(int kind) const {
    return kind == 0 || aiCoefs.count(kind) != 0;
}

int GCreatureData::GetTaskDuration(int kind) const {
    const auto found = aiCoefs.find(kind);
    if (found != aiCoefs.end()) return found->second.duration;
    if (kind == kTaskDevolve) {
        for (const GEvolutionData& step : evolutionDatas) {
            if (step.taskId == kTaskDevolve) return step.time[0];
        }
    }
    return 0;
}

int GCreatureData::GetConsumptionDuration(int resourceType) const {
    const auto found = consumptions.find(resourceType);
    return found != consumptions.end() ? found->second.duration : 0;
}

void GCreatureData::RaiseTaskWeight(int kind, int percent) {
    const auto found = aiCoefs.find(kind);
    if (found == aiCoefs.end() || found->second.weight <= 0) return;
    int64_t sum = 0;
    for (const auto& [k, coef] : aiCoefs)
        sum += coef.weight;
    const int total = SaturateToInt(sum);
    const int64_t raise = static_cast<int64_t>(total) * percent / 100;
    found->second.weight = SaturateToInt(found->second.weight + raise);
    for (const auto& [k, coef] : aiCoefs) {
        if (coef.weight != 0 && coef.weight < 100) return;
    }
    for (auto& [k, coef] : aiCoefs)
        coef.weight /= 100;
}

int GCreatureData::GetHeaviestTask() const {
    int kind = 0;
    int weight = 0;
    for (const auto& [k, coef] : aiCoefs) {
        if (coef.weight > weight) {
            kind = k;
            weight = coef.weight;
        }
    }
    return kind;
}
