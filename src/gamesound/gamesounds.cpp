#include "gamesound/gamesounds.h"

#include "gamesound/soundscheme.h"
#include "simulation/worldsounds.h"

void InstallGameSounds() {
    SetWorldSounds(&GSoundScheme::Get());
}

void RemoveGameSounds() {
    SetWorldSounds(nullptr);
}
