#include "simulation/worldmusic.h"

namespace {

class SilentMusic : public GWorldMusic {
public:
    bool IsCurrentTrack(int) override { return false; }
    void PlayMusic(int, bool, bool, bool) override {}
};

GWorldMusic* gInstalled = nullptr;

}  // namespace

GWorldMusic& WorldMusic() {
    static SilentMusic silent;
    return gInstalled != nullptr ? *gInstalled : silent;
}

void SetWorldMusic(GWorldMusic* music) {
    gInstalled = music;
}
