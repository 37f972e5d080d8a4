// GWorldMusic: the game's music as the world uses it: the tick plays the celebration track while a
// celebration runs and a game track after it. The music manager lives in the game's sound library
// above the world, which implements this interface and installs it with SetWorldMusic; until
// then the world talks to a silent one that plays nothing and has no current track.
// Main thread only.
#pragma once

class GWorldMusic {
public:
    // The tracks the world plays.
    enum { kCelebrationTrack = 6, kGameTrack = 7 };

    virtual ~GWorldMusic() = default;

    virtual bool IsCurrentTrack(int track) = 0;
    // The world plays with cross-fade and loop, not forced.
    virtual void PlayMusic(int track, bool crossFade, bool loop, bool force) = 0;
};

// The installed music, or the silent one.
GWorldMusic& WorldMusic();
// Installs music that outlives its use here; null puts the silent one back.
void SetWorldMusic(GWorldMusic* music);
