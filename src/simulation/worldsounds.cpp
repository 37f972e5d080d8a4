#include "simulation/worldsounds.h"

namespace {

class SilentSounds : public GWorldSounds {
public:
    bool PlayEvent(GObject*, float, float, int, int) override { return false; }
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
