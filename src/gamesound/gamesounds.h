// The installation of the game's sound library behind the world's hooks, which the game's entry
// makes at start and undoes at exit: InstallGameSounds puts the sound scheme (GSoundScheme::Get)
// behind the world's sound interface (simulation/worldsounds.h); RemoveGameSounds puts the world's
// silent scheme back. The world's music hook (simulation/worldmusic.h) is not filled here yet.
// Main thread.
#pragma once

void InstallGameSounds();
void RemoveGameSounds();
