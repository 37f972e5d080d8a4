#include "simulation/params/gameparams.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/params/globaldata.h"
#include "simulation/nameregistry.h"
#include "simulation/data/savedvalues.h"

namespace {

int ReadInt(const TXmlNode* node, const char* name) {
    return ReadIntAttribute(node, name);
}

int16_t ReadShort(const TXmlNode* node, const char* name) {
    return ReadShortAttribute(node, name);
}

float ReadFloat(const TXmlNode* node, const char* name) {
    return node->GetAttribute(name).ToFloat();
}

// "When present": an absent or empty key leaves the field as it was.
void ReadIfGiven(const TXmlNode* node, const char* name, int& field) {
    field = ReadIntOr(node, name, field);
}

void ReadIfGiven(const TXmlNode* node, const char* name, int16_t& field) {
    field = ReadShortOr(node, name, field);
}

void ReadIfGiven(const TXmlNode* node, const char* name, float& field) {
    field = ReadTextFloatOr(node, name, field);
}

void ReadNames(GlobalData& data, TXmlNode* namesList) {
    std::vector<str> names;
    for (TXmlNode* child : namesList->GetChildren())
        names.push_back(child->GetAttribute("Value"));
    data.SetNames(std::move(names));
}

void ReadEventTresholds(GlobalData& data, TXmlNode* node) {
    if (node == nullptr) return;
    data.starvationMinFood = ReadInt(node, "StarvationMinFood");
    data.piranhasAppearTime = ReadInt(node, "PiranhasAppearTime");
    data.piranhasAppearAfter = ReadInt(node, "PiranhasAppearAfter");
    ReadIfGiven(node, "AutosavePeriod", data.autosavePeriod);
    data.secretMapMinTime = ReadShort(node, "SecretMapMinTime");
    data.secretMapMaxTime = ReadShort(node, "SecretMapMaxTime");
    data.secretMapHideTime = ReadShort(node, "SecretMapHideTime");
    data.hiddenObjectMinTime = ReadShort(node, "HiddenObjectMinTime");
    data.hiddenObjectMaxTime = ReadShort(node, "HiddenObjectMaxTime");
    data.hiddenObjectHideTime = ReadShort(node, "HiddenObjectHideTime");
    data.speedMults[0] = ReadFloat(node, "SpeedMultSlow");
    data.speedMults[1] = 1.0f;
    data.speedMults[2] = ReadFloat(node, "SpeedMultFast");
    data.inGameHintsNum = ReadShort(node, "InGameHintsNum");
}

void ReadPopulation(GlobalData& data, TXmlNode* node) {
    if (node == nullptr) return;
    ReadIfGiven(node, "Max", data.maxPopulation);
    ReadIfGiven(node, "BreedFoodCoef", data.breedFoodCoef);
    ReadIfGiven(node, "BreedWaterCoef", data.breedWaterCoef);
    ReadIfGiven(node, "OldAge", data.oldAge);
}

void ReadDuration(GlobalData& data, TXmlNode* node) {
    if (node == nullptr) return;
    ReadIfGiven(node, "DefaultTask", data.defaultTask);
    ReadIfGiven(node, "CycleLength", data.cycleLength);
    ReadIfGiven(node, "TutorialDelay", data.tutorialDelay);
    ReadIfGiven(node, "YearLength", data.yearLength);
}

void ReadAI(GlobalData& data, TXmlNode* node, const GNameRegistry& names) {
    data.aiOverrides.clear();
    if (node == nullptr) return;
    ReadIfGiven(node, "WeightAddition", data.weightAddition);
    ReadIfGiven(node, "OverrideProbPercents", data.overrideProbPercents);
    for (TXmlNode* action : node->GetChildren()) {
        const int kind = names.GetTaskKind(action->GetAttribute("Action"));
        if (kind == 0) continue;
        std::map<int, int16_t> weights;
        for (TXmlNode* task : action->GetChildren()) {
            const int taskKind = names.GetTaskKind(task->GetName());
            if (taskKind != 0) weights[taskKind] = ReadShort(task, "Weight");
        }
        data.aiOverrides[kind] = std::move(weights);
    }
}

void ReadHealth(GlobalData& data, TXmlNode* node) {
    if (node == nullptr) return;
    ReadIfGiven(node, "HealthPercentsToEat", data.healthPercentsToEat);
    ReadIfGiven(node, "HungerAddCoefMin", data.hungerAddCoefMin);
    ReadIfGiven(node, "HungerAddCoefMax", data.hungerAddCoefMax);
    ReadIfGiven(node, "HungerHRR", data.hungerHRR);
    ReadIfGiven(node, "ThirstHRR", data.thirstHRR);
    ReadIfGiven(node, "GlobalHRR", data.globalHRR);
    ReadIfGiven(node, "HungerHAR", data.hungerHAR);
    ReadIfGiven(node, "ThirstHAR", data.thirstHAR);
    ReadIfGiven(node, "NeedFood", data.needFood);
    ReadIfGiven(node, "NeedWater", data.needWater);
    data.needFoodEasy = data.needFood;
    data.needWaterEasy = data.needWater;
    ReadIfGiven(node, "NeedFoodEasy", data.needFoodEasy);
    ReadIfGiven(node, "NeedWaterEasy", data.needWaterEasy);
    ReadIfGiven(node, "HungerReduction", data.hungerReduction);
    ReadIfGiven(node, "HungerHealthLost", data.hungerHealthLost);
    ReadIfGiven(node, "HungerHealthAdd", data.hungerHealthAdd);
    ReadIfGiven(node, "ThirstReduction", data.thirstReduction);
    ReadIfGiven(node, "ThirstHealthLost", data.thirstHealthLost);
    ReadIfGiven(node, "ThirstHealthAdd", data.thirstHealthAdd);
    ReadIfGiven(node, "MinAge", data.minAge);
    ReadIfGiven(node, "ProbMin", data.probMin);
    ReadIfGiven(node, "DiseaseHealthLost", data.diseaseHealthLost);
    ReadIfGiven(node, "ProbMax", data.probMax);
    ReadIfGiven(node, "DeathAgeMin", data.deathAgeMin);
    ReadIfGiven(node, "DeathAgeMax", data.deathAgeMax);
    ReadIfGiven(node, "DeathAgeMinHosp", data.deathAgeMinHosp);
    ReadIfGiven(node, "DeathAgeMaxHosp", data.deathAgeMaxHosp);
}

// A second point of the same name replaces the first, so that loading the file again changes
// nothing.
void ReadPointsOfInterest(GlobalData& data, TXmlNode* node) {
    if (node == nullptr) return;
    for (TXmlNode* child : node->GetChildren()) {
        GPointOfInterest point;
        point.x = ReadInt(child, "x");
        point.y = ReadInt(child, "y");
        point.text = child->GetAttribute("TextID");
        point.startEvent = ReadInt(child, "StartEvent");
        point.stopEvent = ReadInt(child, "StopEvent");
        data.pointsOfInterest[child->GetName()] = point;
    }
}

void ReadHints(GlobalData& data, TXmlNode* node) {
    data.hints.clear();
    if (node == nullptr) return;
    for (TXmlNode* child : node->GetChildren()) {
        GHint hint;
        hint.startEvent = ReadInt(child, "StartEvent");
        hint.stopEvent = ReadInt(child, "StopEvent");
        hint.id = child->GetAttribute("ID");
        data.hints.push_back(hint);
    }
}

// Ranges are walked with 64-bit counters (a range may end at the last int) and stop at the cap.
void ReadMiniGamePoints(GlobalData& data, TXmlNode* node) {
    data.miniGamePoints.clear();
    if (node == nullptr) return;
    bool capped = false;
    auto add = [&](int64_t x, int64_t y) {
        if (static_cast<int>(data.miniGamePoints.size()) >= GameParams::kMaxMiniGamePoints) {
            capped = true;
            return false;
        }
        data.miniGamePoints.push_back({static_cast<int>(x), static_cast<int>(y)});
        return true;
    };
    for (TXmlNode* child : node->GetChildren()) {
        const int x = ReadInt(child, "x");
        const int y = ReadInt(child, "y");
        if (!IsGiven(child, "x2")) {
            if (!add(x, y)) break;
            continue;
        }
        const int x2 = ReadInt(child, "x2");
        const int y2 = ReadInt(child, "y2");
        if (x > x2 || y > y2) continue;
        for (int64_t px = x; px <= x2 && !capped; ++px) {
            for (int64_t py = y; py <= y2; ++py) {
                if (!add(px, py)) break;
            }
        }
        if (capped) break;
    }
    if (capped) {
        LogPrintf("GameParams::Load: more than %d mini-game points, the rest are dropped",
                  GameParams::kMaxMiniGamePoints);
    }
}

void ReadArk(GlobalData& data, TXmlNode* node) {
    if (node == nullptr) return;
    data.monkeyNeed = ReadShort(node, "MonkeyNeed");
    data.alphaAddPerSecond = ReadFloat(node, "AlphaAddPerSecond");
    if (!(data.alphaAddPerSecond > 0.0f)) data.alphaAddPerSecond = 0.1f;
    for (int part = 0; part < GlobalData::kArkPartCount; ++part) {
        TXmlNode* list = node->FindChild(str::Format("Part%d", part + 1));
        if (list == nullptr) continue;
        for (TXmlNode* child : list->GetChildren()) {
            data.arkParts[part].push_back({ReadInt(child, "x"), ReadInt(child, "y")});
        }
    }
}

void ReadMonsters(GlobalData& data, TXmlNode* world) {
    TXmlNode* node = world != nullptr ? world->FindChild("Monsters") : nullptr;
    if (node == nullptr) return;
    data.monstersMaxCount = ReadShort(node, "MaxCount");
    data.monstersPeriod = ReadShort(node, "Period");
    if (data.monstersPeriod <= 0) data.monstersPeriod = 1;
    data.monstersProbability = ReadShort(node, "Probability");
    data.healthPercentsToStop = ReadShort(node, "HealthPercentsToStop");
    data.distanceToRun = ReadShort(node, "DistanceToRun");
    data.distanceToDefend = ReadShort(node, "DistanceToDefend");
    if (data.distanceToDefend <= 0) data.distanceToDefend = data.distanceToRun;
    data.tomahawkProb = ReadShort(node, "TomahawkProb");
    data.tomahawkHealthBoost = ReadShort(node, "TomahawkHealthBoost");
    data.tomahawkVulnerability = ReadShort(node, "TomahawkVulnerability");
    data.additionDelay = ReadShort(node, "AdditionDelay");
    if (data.additionDelay <= 0) data.additionDelay = 5;
    for (int level = 0; level < GlobalData::kLevelCount; ++level) {
        data.levelEvents[level] = ReadInt(node, str::Format("Level%dEvent", level + 1).c_str());
    }
}

void ReadInterface(GlobalData& data, TXmlNode* root) {
    if (TXmlNode* blink = root->FindChild("BlinkDelays")) {
        data.blinkDelayTopLeftIcon = ReadInt(blink, "iBlinkDelayTopLeftIcon");
        data.blinkDelayBlinkingButtons = ReadInt(blink, "iBlinkDelayBlinkingButtons");
        data.blinkDelayBlinkingImages = ReadInt(blink, "iBlinkDelayBlinkingImages");
        data.blinkDelayBlinkingProgressBars = ReadInt(blink, "iBlinkDelayBlinkingProgressBars");
    } else {
        data.blinkDelayTopLeftIcon = 30;
        data.blinkDelayBlinkingButtons = 30;
        data.blinkDelayBlinkingImages = 30;
        data.blinkDelayBlinkingProgressBars = 300;
    }
    TXmlNode* wheel = root->FindChild("MouseWheelScrollSpeed");
    data.mouseWheelScrollSpeed = wheel != nullptr ? ReadInt(wheel, "iMouseWheelScrollSpeed") : 30;
    TXmlNode* speed = root->FindChild("iSpeedCoef");
    data.speedCoef = speed != nullptr ? static_cast<float>(ReadInt(speed, "iSpeedCoef")) : 1.0f;
}

}  // namespace

void GameParams::Load(GlobalData& data, TXmlNode* root, TXmlNode* namesList,
                      const GNameRegistry& names) {
    if (root == nullptr || namesList == nullptr) return;
    ReadNames(data, namesList);
    ReadEventTresholds(data, root->FindChild("EventTresholds"));
    ReadPopulation(data, root->FindChild("Population"));
    ReadDuration(data, root->FindChild("Duration"));
    ReadAI(data, root->FindChild("AI"), names);
    ReadHealth(data, root->FindChild("Health"));
    ReadPointsOfInterest(data, root->FindChild("POI"));
    ReadHints(data, root->FindChild("Hints"));
    ReadMiniGamePoints(data, root->FindChild("MiniGamePoints"));
    ReadArk(data, root->FindChild("Ark"));
    ReadMonsters(data, root->FindChild("World"));
    data.ResetRunTime();
    ReadInterface(data, root);
    data.bFreezeTimeShownInStats = false;
}
