// GlobalData: the world's store of everything that is not an object. It holds the tuning values
// of "xml/logic/main.xml" (read by GameParams::Load, gameparams.h, into the public fields below
// with their defaults), the 56 global-event flags with their labels, the 33 tutorial flags, the
// 20 progress events the player has seen, statistics, play hours and achievement counts, the
// nickname pool and the tables of points and hints.
//
// The run-time part is saved as the element "GlobalData" of a saved world (Save, Load); the
// nickname pool, the tables and the generator are not saved: they come from the files at every
// start. Event, tutorial and progress ids come from data files and saves, so every accessor
// checks its range: outside it a flag reads as not set, a value as 0, and a write does nothing.
//
// GlobalData draws from a generator of its own (nicknames, hunger coefficients), default-seeded
// when it is made. The world owns one. Main thread only.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "foundation/random.h"
#include "foundation/str.h"
#include "simulation/data/eventrecord.h"
#include "simulation/data/pointofinterest.h"

class TXmlNode;

struct GHint {
    int startEvent = 0;
    int stopEvent = 0;
    // The text label.
    str id;
};

class GlobalData {
public:
    static constexpr int kEventCount = 56;
    static constexpr int kTutorialEventCount = 33;
    static constexpr int kSeenProgressEventCount = 20;
    static constexpr int kArkPartCount = 4;
    static constexpr int kLevelCount = 5;

    GlobalData();
    GlobalData(const GlobalData&) = delete;
    GlobalData& operator=(const GlobalData&) = delete;

    bool IsEventSet(int id) const;
    bool IsTutorialEventSet(int id) const;
    void SetTutorialEventFlag(int id, bool value);
    int GetSeenProgressEvent(int index) const;
    void SetSeenProgressEvent(int index, int value);

    // Sets the flag of a global event. When that changes it, the answer carries the event id
    // and its localised title and text; otherwise (or for an id outside 0 to 55) it is an
    // empty record.
    GEventRecord SetEvent(int id, bool value);
    // The record of a set event; an empty record otherwise.
    GEventRecord GetEventRecord(int id) const;
    // The labels of an event's title and text; empty for ids without a row.
    static str GetEventTitleLabel(int id);
    static str GetEventTextLabel(int id);

    // The frozen counters while bFreezeTimeShownInStats is set.
    int GetTotalHoursPlayed() const;
    int GetRealHoursPlayed() const;

    // A nickname from the pool, as from a shuffled bag: every name once before any repeats.
    // The empty text for an empty pool.
    str PickRandomName();
    // Replaces the pool; the bag starts over.
    void SetNames(std::vector<str> names);
    const std::vector<str>& GetNames() const { return mNames; }

    // Point index (modulo the list, wrapping negative indices) of ark part part (0 to 3; any
    // other part reads list 0); (0, 0) for an empty list.
    GGridPoint GetArkPartPoint(int part, int index) const;
    // The highest level (0 to 4) whose level event is 0 or set.
    int GetCurrentLevel() const;
    // Sets event 16 (the piranhas) and answers 16 when event 2 is set and 16 is not; else 0.
    int CheckPiranhas();
    // The point of that name; a zero record when there is none.
    GPointOfInterest GetPointOfInterest(const str& name) const;
    // A value between HungerAddCoefMin and HungerAddCoefMax on a grid of 0.01.
    float RandomHungerAddCoef();
    // The same draw between min and max from another generator (the world's, for a new
    // creature): the bounds are taken in hundredths as saved floats are, so a minimum of 0.53 is
    // 53, not 52, and the span is drawn in 64 bits.
    static float DrawHundredths(TRandom& random, float min, float max);

    // The run-time part back to zero: events, tutorial flags, seen progress events, treasure
    // map, achievements, hours and counts.
    void ResetRunTime();

    // The saved element "GlobalData".
    void Save(TXmlNode* node) const;
    void Load(TXmlNode* node);

    TRandom& GetRandom() { return mRandom; }

    // ---- Tuning values ("xml/logic/main.xml"), with their defaults ----
    // "EventTresholds"
    int starvationMinFood = 0;
    int piranhasAppearTime = 100;
    int piranhasAppearAfter = 10;
    // World time between autosaves; 0 or less: none.
    int autosavePeriod = -1;
    int16_t secretMapMinTime = 0;
    int16_t secretMapMaxTime = 10;
    int16_t secretMapHideTime = 10000;
    int16_t hiddenObjectMinTime = 0;
    int16_t hiddenObjectMaxTime = 10;
    int16_t hiddenObjectHideTime = 10000;
    // The game-speed factors: slow, normal, fast.
    float speedMults[3] = {0.5f, 1.0f, 2.0f};
    int16_t inGameHintsNum = 0;
    // "Population"
    int16_t maxPopulation = 70;
    float breedFoodCoef = 1.0f;
    float breedWaterCoef = 1.0f;
    int16_t oldAge = 80;
    // "Duration"
    int defaultTask = 10;
    int cycleLength = 100;
    int tutorialDelay = 1;
    int yearLength = 100;
    // "AI": for an action's task kind, the weights that override the creature's own, by kind.
    int weightAddition = 5;
    int16_t overrideProbPercents = 90;
    std::map<int, std::map<int, int16_t>> aiOverrides;
    // "Health"
    float healthPercentsToEat = 15.0f;
    float hungerAddCoefMin = 1.0f;
    float hungerAddCoefMax = 1.0f;
    float hungerHRR = 1.0f;
    float thirstHRR = 1.0f;
    float globalHRR = 1.0f;
    float hungerHAR = 1.0f;
    float thirstHAR = 1.0f;
    int needFood = 0;
    int needWater = 0;
    int needFoodEasy = 0;
    int needWaterEasy = 0;
    int hungerReduction = 0;
    int hungerHealthLost = 0;
    int hungerHealthAdd = 0;
    int thirstReduction = 0;
    int thirstHealthLost = 0;
    int thirstHealthAdd = 0;
    int minAge = 0;
    float probMin = 0.0f;
    float diseaseHealthLost = 0.0f;
    float probMax = 100.0f;
    int16_t deathAgeMin = 0;
    int16_t deathAgeMax = 0;
    int16_t deathAgeMinHosp = 0;
    int16_t deathAgeMaxHosp = 0;
    // "POI", "Hints", "MiniGamePoints"
    std::map<str, GPointOfInterest> pointsOfInterest;
    std::vector<GHint> hints;
    std::vector<GGridPoint> miniGamePoints;
    // "Ark"
    int16_t monkeyNeed = 0;
    float alphaAddPerSecond = 0.0f;
    std::vector<GGridPoint> arkParts[kArkPartCount];
    // "World" / "Monsters"
    int16_t monstersMaxCount = 0;
    int16_t monstersPeriod = 0;
    int16_t monstersProbability = 0;
    int16_t healthPercentsToStop = 0;
    int16_t distanceToRun = 0;
    int16_t distanceToDefend = 0;
    int16_t tomahawkProb = 50;
    int16_t tomahawkHealthBoost = 100;
    int16_t tomahawkVulnerability = 100;
    int16_t additionDelay = 5;
    int levelEvents[kLevelCount] = {0, 0, 0, 0, 0};
    // "BlinkDelays", "MouseWheelScrollSpeed", "iSpeedCoef"
    int blinkDelayTopLeftIcon = 30;
    int blinkDelayBlinkingButtons = 30;
    int blinkDelayBlinkingImages = 30;
    int blinkDelayBlinkingProgressBars = 300;
    int mouseWheelScrollSpeed = 30;
    float speedCoef = 1.0f;

    // ---- Used by the world, neither read from main.xml nor saved ----
    // Walk durations are travel time x 30 / this.
    float walkingSpeedDivisor = 1000.0f;
    // What the food bin and the water tank hold at most; the world's binding sets them.
    int foodBinCapacity = 9999;
    int waterTankCapacity = 9999;
    int16_t worldValue3 = 1;

    // ---- Run-time part, saved ----
    int currentTutorialEvent = 0;
    int16_t previousTreasureMapOpenPartsNum = 0;
    bool stillShowTreasureMapButtonBlinking = false;
    int16_t maxAchievementsNum = 0;
    int16_t achievementsNum = 0;
    int16_t statMaxPopulation = 0;
    int totalHoursPlayed = 0;
    int realHoursPlayed = 0;
    int totalHoursPlayedFrozen = 0;
    int realHoursPlayedFrozen = 0;
    bool bFreezeTimeShownInStats = false;
    int16_t tribeMembersCreated = 0;
    int16_t giraffesNum = 0;
    int16_t elephantsNum = 0;
    int16_t zebrasNum = 0;
    int16_t lionsNum = 0;
    int16_t gorillasNum = 0;
    int16_t devolutionsNum = 0;

private:
    GEventRecord RecordOf(int id) const;

    uint8_t mEvents[kEventCount] = {};
    uint8_t mTutorialEvents[kTutorialEventCount] = {};
    int mSeenProgressEvents[kSeenProgressEventCount] = {};
    std::vector<str> mNames;
    int mShuffleIndex = -1;
    TRandom mRandom;
};
