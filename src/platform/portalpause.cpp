#include "platform/portalpause.h"

#include "audio/soundmanager.h"
#include "platform/platform.h"
#include "port/system/clock.h"
#include "port/window/cursor.h"

namespace {

TPortalState gState;
// Private to the mute: whether it silenced the game, and the master volume it saved then.
bool gMuted = false;
float gSavedVolume = 0.0f;

}  // namespace

TPortalState& GetPortalState() {
    return gState;
}

void ResetPortalState() {
    gState = TPortalState{};
    gMuted = false;
    gSavedVolume = 0.0f;
}

void PortalPause() {
    if (gState.paused) return;
    gState.paused = true;
    gState.pauseStart = GetTickCount();
    if (gState.inBreak) return;
    gState.gameClock.Pause();
    if (TPlatform* application = TPlatform::GetInstance()) application->ShowCursor(false);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void PortalUpdateMute() {
    bool silence = gState.hostMute || gState.paused || gState.inBreak || gState.gameMute;
    if (!gState.zylomMode && !gState.session) silence = true;
    TPlatform* application = TPlatform::GetInstance();
    TSoundManager* sound = application != nullptr ? application->GetSoundManager() : nullptr;
    if (silence && !gMuted) {
        gMuted = true;
        if (sound != nullptr) {
            gSavedVolume = sound->GetVolume(-1);
            sound->SetMasterVolume(0.0f);
        }
    } else if (!silence && gMuted) {
        gMuted = false;
        if (sound != nullptr) sound->SetMasterVolume(gSavedVolume);
        gSavedVolume = 0.0f;
    }
}
