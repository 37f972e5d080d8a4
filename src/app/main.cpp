// The program's entry. The game's screens are not part of this build yet: the program says so and
// shows that the framework underneath starts.
#include <cstdio>

#include "foundation/random.h"
#include "foundation/str.h"
#include "online/onlineservices.h"

int main() {
    // The layers below reach the online services through hooks installed here, first of all.
    RegisterOnlineServices();
    TRandom random;
    str banner = str::Format("Umbrava %s", UMBRAVA_VERSION);
    std::printf("%s\n", banner.c_str());
    std::printf("This build holds the framework's lower layers (system layer, renderer, files,\n"
                "settings, the extended Lua and its script host); the game cannot be played yet.\n"
                "First random number: %u\n",
                random.Next());
    return 0;
}
