#include "ui/gamestate.h"

#include <climits>
#include <cstdlib>

#include "audio/soundmanager.h"
#include "platform/platform.h"
#include "script/luabinding.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace {

TGameState* gGameState = nullptr;

std::vector<TGameStateHandler*>& Handlers() {
    static std::vector<TGameStateHandler*> handlers;
    return handlers;
}

// A value read as an integer: its leading number, 0 for anything else; numbers beyond the range
// of int stop at its ends.
int ReadInt(const str& value) {
    long long number = std::strtoll(value.c_str(), nullptr, 10);
    if (number > INT_MAX) return INT_MAX;
    if (number < INT_MIN) return INT_MIN;
    return static_cast<int>(number);
}

// The handlers are walked by index: a handler may add another while it is called.

// Asks the handlers in order until one answers true.
bool AnyHandler(bool (TGameStateHandler::*query)()) {
    for (size_t i = 0; i < Handlers().size(); ++i) {
        if ((Handlers()[i]->*query)()) return true;
    }
    return false;
}

// "_SetState": on the game state of the moment, as scripts may keep the function.
void ScriptSetState(str key, str value) {
    if (TGameState* state = TGameState::Get()) state->SetState(key, value);
}

}  // namespace

TGameState* TGameState::Get() {
    if (gGameState == nullptr && TPlatform::GetInstance() != nullptr) {
        gGameState = new TGameState;
    }
    return gGameState;
}

void TGameState::DeleteInstance() {
    delete gGameState;
    Handlers().clear();
}

void TGameState::ScriptAttached(TScript* script) {
    if (gGameState != nullptr) gGameState->BindScript(script);
}

TGameState::TGameState() {
    TWindowManager* manager = TWindowManager::Get();
    BindScript(manager != nullptr ? manager->GetScript() : nullptr);
}

TGameState::~TGameState() {
    if (gGameState == this) gGameState = nullptr;
    // The bindings set the globals to nil while the script lives.
    mBindings.reset();
}

void TGameState::BindScript(TScript* script) {
    // Bindings into a script that went are forgotten; those of a script that lives are undone.
    mBindings.reset();
    if (script == nullptr) return;
    mBindings = std::make_unique<TLuaBindings>(script);
    mBindings->Bind("GetState", this, &TGameState::GetStateValue);
    mBindings->BindFunction("_SetState", &ScriptSetState);
    mBindings->Bind("QueryMuteGame", this, &TGameState::QueryMuteGame);
    mBindings->Bind("QueryRestartMode", this, &TGameState::QueryRestartMode);
    mBindings->Bind("QueryJumpToMenu", this, &TGameState::QueryJumpToMenu);
}

void TGameState::AddHandler(TGameStateHandler* handler) {
    if (handler != nullptr) {
        Handlers().push_back(handler);
    }
}

const std::vector<TGameStateHandler*>& TGameState::GetHandlers() {
    return Handlers();
}

void TGameState::SetState(const str& key, const str& value) {
    str name = key;
    str stored = value;
    if (key.Length() >= 2 && key.GetAt(0) == '+' && key.GetAt(1) == '+') {
        name = key.Substring(2);
        int count = ReadInt(GetStateValue(name));
        stored = str::Format("%d", count < INT_MAX ? count + 1 : count);
    }
    const bool isMute = name == str("mute");
    const bool wasMuted = isMute && ReadInt(GetState(name)) != 0;

    mStore[name] = stored;
    for (size_t i = 0; i < Handlers().size(); ++i) {
        if (Handlers()[i]->HandleState(name.c_str(), stored.c_str())) {
            return;
        }
    }
    if (isMute) ApplyMute(wasMuted, ReadInt(stored) != 0);
}

void TGameState::ApplyMute(bool wasMuted, bool muted) {
    TPlatform* application = TPlatform::GetInstance();
    TSoundManager* sound = application != nullptr ? application->GetSoundManager() : nullptr;
    // Without a sound manager there is no volume to keep or to restore.
    if (sound == nullptr) return;
    if (muted && !wasMuted) {
        mSavedVolume = sound->GetVolume(-1);
        mVolumeSaved = true;
        sound->SetMasterVolume(0.0f);
    } else if (!muted && wasMuted && mVolumeSaved) {
        sound->SetMasterVolume(mSavedVolume);
        mSavedVolume = 0.0f;
        mVolumeSaved = false;
    }
}

void TGameState::SetStateInt(const str& key, int value) {
    SetState(key, str::Format("%d", value));
}

str TGameState::GetStateValue(const str& key) {
    str value = mStore[key];
    for (size_t i = 0; i < Handlers().size(); ++i) {
        const char* filtered = Handlers()[i]->FilterState(key.c_str(), value.c_str());
        value = filtered != nullptr ? str(filtered) : str();
    }
    return value;
}

str TGameState::GetState(const str& key) const {
    auto found = mStore.find(key);
    return found != mStore.end() ? found->second : str();
}

bool TGameState::IsSuspended() const {
    return AnyHandler(&TGameStateHandler::QuerySuspend);
}

bool TGameState::QueryRestartMode() {
    return AnyHandler(&TGameStateHandler::QueryRestartMode);
}

bool TGameState::QueryJumpToMenu() {
    return AnyHandler(&TGameStateHandler::QueryJumpToMenu);
}

bool TGameState::QueryMuteGame() {
    return AnyHandler(&TGameStateHandler::QueryMuteGame) || ReadInt(GetStateValue("mute")) != 0;
}
