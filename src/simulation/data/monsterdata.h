// GMonsterData: the parameter block of a monster (objectdata.h): healths, speeds, the extra damage
// it takes from a tomahawk, its animators and, by task kind, the weight of choosing the task, its
// production (plunder or fighting strength) and its duration.
//
// Saved form (the monster's "Data" element): the names, "Speed", "AnimSpeedKoef", "RunSpeed",
// "RunAnimSpeedKoef" (saved floats), "StartHealth", "CurrentHealth", "TomahawkVulnerability",
// "AnimatorsNum", "CurrentAnimator", and a child "AICoefs" with an "AICoef" per kind in ascending
// order. Every child of "AICoefs" is read whatever its name; a repeated kind replaces the earlier.
// Main thread only.
#pragma once

#include <cstdint>
#include <map>

#include "simulation/data/objectdata.h"

struct GMonsterAICoef {
    int weight = 0;
    int16_t production = 0;
    int duration = 0;
};

class GMonsterData : public GObjectData {
public:
    GMonsterData() = default;
    GMonsterData(const GMonsterData&) = default;
    GMonsterData& operator=(const GMonsterData&) = default;
    ~GMonsterData() override;

    void Load(TXmlNode* node) override;
    void Save(TXmlNode* node) const override;

    int16_t startHealth = 0;
    int16_t currentHealth = 0;
    float speed = 0.0f;
    float animSpeedKoef = 0.0f;
    float runSpeed = 0.0f;
    float runAnimSpeedKoef = 0.0f;
    // Percent of extra damage taken from a defender that carries a tomahawk.
    int16_t tomahawkVulnerability = 0;
    std::map<int, GMonsterAICoef> aiCoefs;
    uint16_t animatorsNum = 0;
    // -1 until a variant is chosen.
    int16_t currentAnimator = -1;
};
