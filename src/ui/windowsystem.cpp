#include "ui/windowsystem.h"

#include "platform/windowsystemhooks.h"
#include "ui/gamestate.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

#include <memory>
#include <vector>

namespace {

// The plug-ins start-up loaded: the game state does not own its handlers, so they are kept here
// and deleted with the game state.
std::vector<std::unique_ptr<TDllGameState>> gPlugins;

TWindowManager* MakeWindowManager() {
    return new TWindowManager;
}

void DeleteWindowManager(TWindowManager* manager) {
    delete manager;
}

void MakeWindowScript(TWindowManager* manager) {
    manager->SetScript(new TWindowScript);
}

void SwitchScriptToUtf8(TWindowManager* manager) {
    manager->SetScriptUtf8(true);
}

bool DrawingSuspended(const TWindowManager* manager) {
    return manager->IsDrawingSuspended();
}

void SetGameState(const str& key, const str& value) {
    if (TGameState* state = TGameState::Get()) {
        state->SetState(key, value);
    }
}

void SetGameStateInt(const str& key, int value) {
    if (TGameState* state = TGameState::Get()) {
        state->SetStateInt(key, value);
    }
}

bool GameSuspended() {
    TGameState* state = TGameState::Get();
    return state != nullptr && state->IsSuspended();
}

void MarkDirty(TWindowManager* manager) {
    manager->MarkDirty();
}

bool InputLocked(const TWindowManager* manager) {
    return manager->IsInputLocked();
}

bool ScreenRect(const TWindowManager* manager, RECT* rect) {
    TScreen* screen = manager->GetScreen();
    if (screen == nullptr) {
        return false;
    }
    TScreen::TBounds bounds = screen->GetRect();
    *rect = RECT{bounds.left, bounds.top, bounds.right, bounds.bottom};
    return true;
}

void EndMovie(TWindowManager* manager) {
    if (TWindowScript* script = manager->GetScript()) {
        script->EndMovie();
    }
}

bool LoadPlugin(const str& path) {
    auto* plugin = new TDllGameState;
    if (!plugin->Load(path)) {
        delete plugin;
        return false;
    }
    TGameState::AddHandler(plugin);
    gPlugins.emplace_back(plugin);
    return true;
}

void DeleteGameState() {
    TGameState::DeleteInstance();
    gPlugins.clear();
}

// The first screen set-up's root window: installed as the bottom modal, then sized to the game's
// screen.
void InstallScreen(TWindowManager* manager, int width, int height) {
    if (manager->GetScreen() != nullptr) return;
    auto* screen = new TScreen;
    manager->SetScreen(screen);
    screen->SetSize(width, height);
}

}  // namespace

void RegisterWindowSystem() {
    windowsystemhooks::THooks hooks;
    hooks.createWindowManager = &MakeWindowManager;
    hooks.deleteWindowManager = &DeleteWindowManager;
    hooks.createWindowScript = &MakeWindowScript;
    hooks.setScriptUtf8 = &SwitchScriptToUtf8;
    hooks.isDrawingSuspended = &DrawingSuspended;
    hooks.setGameState = &SetGameState;
    hooks.setGameStateInt = &SetGameStateInt;
    hooks.isGameSuspended = &GameSuspended;
    hooks.markDirty = &MarkDirty;
    hooks.isInputLocked = &InputLocked;
    hooks.endMovie = &EndMovie;
    hooks.getScreenRect = &ScreenRect;
    hooks.deleteGameState = &DeleteGameState;
    hooks.loadPlugin = &LoadPlugin;
    hooks.installScreen = &InstallScreen;
    windowsystemhooks::Install(hooks);
}
