#include "gv/keys/statekeys.h"

#include "gv/keys/namemaskregistry.h"

const GVStateKeys& GetStateKeys() {
    static const GVStateKeys keys = [] {
        GNameMaskRegistry& registry = GNameMaskRegistry::Instance();
        GVStateKeys made;
        made.normal = registry.Parse("normal", false);
        made.any = registry.Parse("any", false);
        return made;
    }();
    return keys;
}
