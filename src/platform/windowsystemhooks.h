// What the application object asks of the window system, which sits above it: making and
// deleting the window manager and its script, switching the script to UTF-8 text, whether the
// manager has suspended drawing (the cursor worker asks), the manager's redraw and input lock and
// the script's movie (the event pump asks), and the game state (the start-up values, whether it
// holds the game, the module plug-ins, deleting it in the teardown). The window system installs its
// answers at start-up (ui/windowsystem.h); until then, and in tests of this layer, there is no
// window manager, nothing is suspended, the game state takes nothing and every plug-in fails to
// load.
//
// Installed on the main thread before the application object exists. isDrawingSuspended is also
// called by the cursor worker thread, so its answer must be safe to read there.
#pragma once

#include "foundation/str.h"
#include "port/win32types.h"

class TWindowManager;

namespace windowsystemhooks {

struct THooks {
    TWindowManager* (*createWindowManager)() = nullptr;
    void (*deleteWindowManager)(TWindowManager* manager) = nullptr;
    // Makes the window script and hands it to the manager.
    void (*createWindowScript)(TWindowManager* manager) = nullptr;
    void (*setScriptUtf8)(TWindowManager* manager) = nullptr;
    bool (*isDrawingSuspended)(const TWindowManager* manager) = nullptr;
    void (*setGameState)(const str& key, const str& value) = nullptr;
    void (*setGameStateInt)(const str& key, int value) = nullptr;
    bool (*isGameSuspended)() = nullptr;
    // Redraw the whole window tree next time.
    void (*markDirty)(TWindowManager* manager) = nullptr;
    bool (*isInputLocked)(const TWindowManager* manager) = nullptr;
    // The root screen window's rectangle; false while there is none.
    bool (*getScreenRect)(const TWindowManager* manager, RECT* rect) = nullptr;
    // Stops the window script's movie, if one plays.
    void (*endMovie)(TWindowManager* manager) = nullptr;
    void (*deleteGameState)() = nullptr;
    // Loads the module plug-in at the real path and adds its handler to the game state; false
    // (and nothing kept) when it does not load.
    bool (*loadPlugin)(const str& path) = nullptr;
    // When the manager has no root screen window: makes one, installs it and sizes it.
    void (*installScreen)(TWindowManager* manager, int width, int height) = nullptr;
};

// A null member keeps that answer's default.
void Install(const THooks& hooks);

TWindowManager* CreateWindowManager();
void DeleteWindowManager(TWindowManager* manager);
void CreateWindowScript(TWindowManager* manager);
void SetScriptUtf8(TWindowManager* manager);
bool IsDrawingSuspended(const TWindowManager* manager);
void SetGameState(const str& key, const str& value);
void SetGameStateInt(const str& key, int value);
bool IsGameSuspended();
void MarkDirty(TWindowManager* manager);
bool IsInputLocked(const TWindowManager* manager);
// The root screen window's rectangle, or zeros without one.
RECT GetScreenRect(const TWindowManager* manager);
void EndMovie(TWindowManager* manager);
void DeleteGameState();
bool LoadPlugin(const str& path);
void InstallScreen(TWindowManager* manager, int width, int height);

}  // namespace windowsystemhooks
