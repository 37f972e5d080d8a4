#include "simulation/worldsounds.h"

namespace {

class SilentSounds : public GWorldSounds {
public:
    void PlayEvent(GObject*, float, float, int, int) override {}
    void StopEvent(GObject*, float, float, int) override {}
    void StopAll() override {}
    void Update() override {}
    bool IsEnabled() const override { return mEnabled; }
    void SetEnabled(bool enabled) override { mEnabled = enabled; }
    bool Load(TXmlNode*, const GNameRegistry*) override { return false; }

private:
    bool mEnabled = true;
};

SilentSounds& Silent() {
    static SilentSounds silent;
    return silent;
}

GWorldSounds* gInstalled = nullptr;

}  // namespace

GWorldSounds& WorldSounds() {
    return gInstalled != nullptr ? *gInstalled : Silent();
}

void SetWorldSounds(GWorldSounds* sounds) {
    gInstalled = sounds;
}
