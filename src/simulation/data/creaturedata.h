// GCreatureData: the parameter block of one creature (objectdata.h): speeds, health and need
// rates, disease and ageing limits, the animator choice, the hit rectangle, the task kinds it can
// do with their AI values (aiCoefs), what it eats and drinks (consumptions), how it evolves
// (evolutionDatas), its patrol zones and points of interest, and the time it spent on each task
// kind. The definition loader fills one prototype per creature form; each creature owns a copy,
// saved as its "Data" element.
//
// Saved form: attributes in a fixed order (floats as saved floats, savedvalues.h), then the
// children "HitRect", "EvolutionDatas", "Patrol", "POI", "AICoefs", "Consumptions" and
// "TimeSpent". A missing attribute reads 0, not the construction default; a missing child leaves
// its container as it was; the children of the containers are read in document order whatever
// their names. HealthPercentsToStop comes from the definition only: it is neither saved nor read.
// Main thread only.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "foundation/str.h"
#include "simulation/data/objectdata.h"
#include "simulation/data/pointofinterest.h"
#include "simulation/taskkind.h"

// One evolution step: doing task kind taskId long enough turns the creature into the definition
// named nextFullName. startLevel and maxLevel are the step's place on its chain, computed after
// the definitions load (GNameRegistry::ComputeEvolutionTimes).
struct GEvolutionData {
    int taskId = 0;
    str nextFullName;
    int time[4] = {0, 0, 0, 0};
    int timeSpent = 0;
    int startLevel = 0;
    int maxLevel = 0;
};

// The AI values of one task kind the creature can do.
struct GAICoef {
    int weight = 0;
    int16_t production = 0;
    int16_t hunger = 0;
    int16_t thirst = 0;
    int duration = 0;
    int minProb = 0;
    int probTop = 0;
};

// What the creature takes of one resource type.
struct GConsumption {
    int16_t maxLevel = 0;
    int16_t curLevel = 0;
    int16_t portion = 0;
    int duration = 0;
    int healthLost = 0;
    int healthAdd = 0;
};

// A patrol zone: its rectangle and its route.
struct GPatrolZone {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    std::vector<GGridPoint> points;
};

struct GHitRect {
    int16_t dx = 0;
    int16_t dy = 0;
    int16_t w = 0;
    int16_t h = 0;
};

class GCreatureData : public GObjectData {
public:
    GCreatureData() = default;
    GCreatureData(const GCreatureData&) = default;
    GCreatureData& operator=(const GCreatureData&) = default;
    ~GCreatureData() override;

    void Load(TXmlNode* node) override;
    void Save(TXmlNode* node) const override;

    // True for kind 0; otherwise whether aiCoefs has the kind.
    bool HasTaskData(int kind) const;
    // The kind's Duration; without an entry, for kind 15 (devolve) the Time0 of the first
    // evolution step of kind 15, else 0.
    int GetTaskDuration(int kind) const;
    // 0 without an entry.
    int GetConsumptionDuration(int resourceType) const;
    // The player's push toward a kind: its weight grows by percent of the total, and when every
    // non-zero weight has reached 100 all are divided by 100. Nothing for a kind without a
    // positive weight.
    void RaiseTaskWeight(int kind, int percent);
    // The kind of the largest weight, the lowest kind on a tie; 0 when no weight is above 0.
    int GetHeaviestTask() const;

    int16_t level = 0;
    int16_t startHealth = 0;
    int16_t currentHealth = 0;
    int16_t lostHealthD = 0;
    int16_t lostHealthT = 0;
    int16_t lostHealthH = 0;
    // Percent of StartHealth above which a defender takes the monster's damage.
    int16_t healthPercentsToStop = 0;
    float healthPercentsToEat = 15.0f;
    float hungerAddCoef = 1.0f;
    float hungerHRR = 1.0f;
    float thirstHRR = 1.0f;
    float globalHRR = 1.0f;
    float hungerHAR = 1.0f;
    float thirstHAR = 1.0f;
    int diseaseMinAge = 0;
    float diseaseProbMin = 0.0f;
    float diseaseProbMax = 0.0f;
    float diseaseHealthLost = 0.0f;
    float speed = 2.0f;
    float animSpeedKoef = 1.0f;
    float runSpeed = 2.0f;
    float runAnimSpeedKoef = 1.0f;
    // The age limit of the ageing rules.
    int minAge = 50;
    float minSpeed = 2.0f;
    float minAnimSpeedKoef = 1.0f;
    // 0: the creature does not patrol.
    int patrolDistance = 0;
    str baseAnimatorName;
    int16_t maxAnimatorsHeads = 0;
    int16_t maxAnimatorsBodies = 0;
    // Chosen variants; -1 until chosen.
    int16_t curAnimator = -1;
    int16_t curHeadAnimator = -1;
    int16_t curVoice = -1;
    GHitRect hitRect;
    std::vector<GEvolutionData> evolutionDatas;
    std::map<int, GAICoef> aiCoefs;
    std::map<int, GConsumption> consumptions;
    int timeSpent[kTaskKindCount] = {};
    std::vector<GPointOfInterest> poi;
    std::vector<GPatrolZone> patrol;
};
