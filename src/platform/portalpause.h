// Portal pause and mute: what a portal page that hosts the game can do to it. The portal handler
// of the online services writes the portal state below as the host and the game talk (the host
// pauses, mutes or unmutes, a session starts or ends, the game announces a break of its own) and
// then calls PortalPause or PortalUpdateMute, which act on the game clock, the cursor and the
// sound manager's master volume. Ending a pause is the handler's own work: it clears the paused
// flag, adds the paused span to the portal pause time, and unless a break is set starts the clock
// again and shows the cursor.
//
// The state is plain fields of one process-wide record. Main thread only.
#pragma once

#include "foundation/task/clock.h"
#include "port/win32types.h"

struct TPortalState {
    // The two portal modes.
    bool msnMode = false;
    bool zylomMode = false;
    // The host asked for silence (its message code 2 sets it, code 3 clears it).
    bool hostMute = false;
    // The game's own mute request, passed on by the portal handler.
    bool gameMute = false;
    // The host holds the game paused, since pauseStart (GetTickCount).
    bool paused = false;
    DWORD pauseStart = 0;
    // The game has announced a pause of its own to the host; cleared when a new session starts.
    bool inBreak = false;
    // A session with the host runs (the host's message code 7 sets it, the game's end-of-game
    // message clears it).
    bool session = false;
    // The game clock the portal pauses.
    TClock gameClock;
};

TPortalState& GetPortalState();
// Puts the state back as the process starts, the mute's own flag and saved volume too (tests).
void ResetPortalState();

// Nothing while paused. Otherwise marks the pause and its start; unless a break is set, pauses
// the game clock, hides the game's cursor and sets the system arrow.
void PortalPause();
// Silence is wanted while the host mutes, the game is paused, a break is set or the game mutes,
// and, outside the second portal mode, while no session runs. Going silent saves the master
// volume and sets it to 0; leaving silence sets the saved volume back. Nothing otherwise.
void PortalUpdateMute();
