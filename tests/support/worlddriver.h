// The world driver: a whole world run headless and deterministic, for the world's tests and
// fuzz targets. It sets up what the play screen would: the application object on the fake clock
// (its task list runs the sprites' timers), the game's data indexed from the repository's
// "assets/" (the working folder moves beside it until the driver goes), the player's
// preferences in a folder of its own, the stand-in sprites (worldsprites.h) under every
// definition's name, a scene without a window and a world view manager over it, and the
// recorders of worldrecorders.h as sound scheme, music, windows, message listener and starter
// listener. Then it loads the logic from the main file and, unless told not to, starts a new
// game.
//
// Tick runs one world tick (Update with CurrentTime + 1), then 33 view refreshes, each after
// 30 ms of the fake clock and a turn of the application's tasks, and checks that every scheduled
// task names only objects of the world (in its lists or waiting to be deleted). The first
// failure is kept (Problem).
//
// One driver at a time; main thread only. It uses the GoogleTest-free part of tests/support, so
// fuzz targets can run on it.
#pragma once

#include <memory>
#include <string>

#include "gv/gvscene.h"
#include "simulation/world.h"
#include "support/tempdir.h"
#include "support/worldrecorders.h"
#include "support/worldsprites.h"

class GVWorldManager;
class TPlatform;
class TPrefs;

namespace testing_support {

struct WorldDriverOptions {
    // The main file the logic and the new game read.
    std::string mainFile = "xml/logic/main.xml";
    bool newGame = true;
    // Every tutorial flag set after the new game, as when the tutorial is done.
    bool allTutorialFlags = false;
};

class WorldDriver {
public:
    static constexpr int kRefreshesPerTick = 33;
    static constexpr int kRefreshMilliseconds = 30;

    explicit WorldDriver(const WorldDriverOptions& options = WorldDriverOptions());
    ~WorldDriver();
    WorldDriver(const WorldDriver&) = delete;
    WorldDriver& operator=(const WorldDriver&) = delete;

    // The repository's asset folder the driver indexes.
    static std::string AssetFolder();

    GWorld& World() { return mWorld; }
    GVWorldManager& Manager() { return *mManager; }
    GVScene& Scene() { return mScene; }
    TPrefs& Prefs() { return *mPrefs; }
    WorldSprites& Sprites() { return *mSprites; }
    RecordingSounds& Sounds() { return mSounds; }
    RecordingMusic& Music() { return mMusic; }
    RecordingWindows& Windows() { return mWindows; }
    RecordingMessages& Messages() { return mMessages; }
    StarterLog& Starters() { return mStarters; }

    void SetAllTutorialFlags();
    // One tick; false when the check failed (this time or before).
    bool Tick();
    // count ticks, stopping at the first failed check.
    bool Ticks(int count);
    // The 33 view refreshes of a tick alone.
    void RefreshViews();
    // What the check found first; empty while all is well.
    const std::string& Problem() const { return mProblem; }
    // The check of the scheduled tasks now: empty when every party is the world's.
    std::string CheckTasks() const;

private:
    std::string mWorkingFolder;
    TempDir mFolder;
    RecordingSounds mSounds;
    RecordingMusic mMusic;
    RecordingWindows mWindows;
    RecordingMessages mMessages;
    StarterLog mStarters;
    // Destroyed last of the world's parts: the manager reads the world and the scene until it
    // goes.
    GWorld mWorld;
    GVScene mScene;
    std::unique_ptr<TPlatform> mApp;
    std::unique_ptr<TPrefs> mPrefs;
    std::unique_ptr<WorldSprites> mSprites;
    std::unique_ptr<GVWorldManager> mManager;
    std::string mProblem;
};

}  // namespace testing_support
