#include "gamesound/gamesounds.h"

#include "gamesound/soundscheme.h"
#include "simulation/worldsounds.h"

namespace {

// The scheme behind the world's sound interface, whose plays have no answer.
class SchemeWorldSounds final : public GWorldSounds {
public:
    void PlayEvent(GObject* object, float x, float y, int event, int variant) override {
        GSoundScheme::Get().PlayEvent(object, x, y, event, variant);
    }
    void StopEvent(GObject* object, float x, float y, int event) override {
        GSoundScheme::Get().StopEvent(object, x, y, event);
    }
    void StopAll() override { GSoundScheme::Get().StopAll(); }
    void Update() override { GSoundScheme::Get().Update(); }
    bool IsEnabled() const override { return GSoundScheme::Get().IsEnabled(); }
    void SetEnabled(bool enabled) override { GSoundScheme::Get().SetEnabled(enabled); }
    bool Load(TXmlNode* document, const GNameRegistry* names) override {
        return GSoundScheme::Get().Load(document, names);
    }
};

}  // namespace

void InstallGameSounds() {
    static SchemeWorldSounds sounds;
    SetWorldSounds(&sounds);
}

void RemoveGameSounds() {
    SetWorldSounds(nullptr);
}
