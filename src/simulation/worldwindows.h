// GWorldWindows: what the world asks of the window system: the name of the top modal window,
// which must be the play screen ("game") before the world reports a game over. The window system
// never links the world: the game screens implement this and install it with SetWorldWindows.
// Until then the world sees "game" on top, so a world without screens reports its game over at
// once. Main thread only.
#pragma once

#include "foundation/str.h"

class GWorldWindows {
public:
    virtual ~GWorldWindows() = default;

    // The name of the top modal window; empty without one.
    virtual str GetTopModalName() = 0;
};

// The installed windows, or the default.
GWorldWindows& WorldWindows();
// Installs windows that outlive their use here; null puts the default back.
void SetWorldWindows(GWorldWindows* windows);
