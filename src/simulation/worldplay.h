// GWorldPlay: the world's clock and play fields, plain values with their start values. The tick
// (GWorld::Update) advances them; the timers and counters here belong to the rules that set them
// (events, tutorial, treasure, hidden object, hyenas, selection) and are saved with the world.
// A new game and a cleared world put the ones they name back; the rest live as long as the
// world. Main thread only.
#pragma once

#include <cstdint>

struct GWorldPlay {
    static constexpr int kArkPartCount = 4;
    static constexpr int kTreasureMapParts = 8;
    static constexpr int kLastDeaths = 3;

    // World states: 0 made, 1 loading a saved world, 2 catching up, 3 running.
    enum WorldState { kMade = 0, kLoading = 1, kCatchingUp = 2, kRunning = 3 };

    // ---- The clock (world ticks, and seconds of the calendar).
    uint32_t currentTime = 0;
    uint32_t lastCycleTime = 0;
    uint32_t lastAutoSaveTime = 0;
    // The last periodic hyena roll.
    uint32_t lastPeriodicTime = 0;
    // The calendar when SpentTime was last brought up to date; the calendar at the last save.
    int64_t realTimeStamp = 0;
    uint32_t spentTime = 0;
    int64_t saveRealTime = 0;

    // ---- Flags and states.
    bool simulating = false;
    bool paused = false;
    bool gameOverPending = false;
    // Set by the play screen's view task once it has run.
    bool viewsReady = false;
    int16_t worldState = kMade;
    // The creature windows read and clear it.
    bool creaturesChanged = false;
    // 0 slow, 1 normal, 2 fast (the speed factors of GlobalData).
    int16_t speedLevel = 1;
    // Catch-up steps per loading-window turn (a new game sets 10).
    int32_t stepCount = 0;
    // Three bytes a new game sets to 1, 0, 0 for the rules that read them.
    uint8_t startFlags[3] = {0, 0, 0};

    // ---- Catch-up and loading progress.
    uint32_t catchUpTarget = 0;
    uint32_t catchUpStart = 0;
    uint32_t catchUpSpan = 0;
    int32_t objectsToLoad = 0;
    int32_t objectsLoaded = 0;
    // The disease given to a creature at the end of catch-up.
    int32_t pendingInfection = 0;

    // ---- Timers of global events, the tutorial and the message line.
    int32_t globalTimer = 0;
    int32_t globalEvent = 0;
    int32_t globalTimer2 = 0;
    int32_t globalEvent2 = 0;
    int32_t tutorialTimer = 0;
    int32_t tutorialEvent = 0;
    // Ticks until the message line is cleared.
    int32_t messageCountdown = 0;
    // The tutorial step the play screen shows; 0 none.
    int32_t currentTutorialStep = 0;

    // ---- Hyenas.
    int16_t hyenaCountdown = 0;
    int16_t hyenaWaveSize = 0;
    int16_t hyenaWaveCount = 0;

    // ---- Treasure search and the hidden bonus object.
    int16_t treasureNum = 0;
    int16_t treasureMapParts = 0;
    int16_t treasureSearchState = 0;
    int16_t treasureTimer = 0;
    int16_t treasureMapPartsOrder[kTreasureMapParts] = {};
    int16_t hiddenObjectState = 0;
    int16_t hiddenObjectTimer = 0;

    // ---- Selection: creature indexes, -1 for none. The parked creature is A, counted down,
    // then B.
    int16_t selectionIndex = -1;
    int16_t selectionIndex2 = -1;
    int16_t parkedA = -1;
    int16_t parkedCountdown = -1;
    int16_t parkedB = -1;
    bool freezeSelection = false;

    // ---- The ark parts' opacity and the causes of the last three deaths, oldest first.
    float arkPartAlpha[kArkPartCount] = {1.0f, 1.0f, 1.0f, 1.0f};
    int32_t lastDeath[kLastDeaths] = {0, 0, 0};
};
