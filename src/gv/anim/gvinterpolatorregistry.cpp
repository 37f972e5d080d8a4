#include "gv/anim/gvinterpolatorregistry.h"

#include "gv/anim/gvinterpolator.h"

namespace {

template <class Kind>
GVEffect* Make() {
    return new Kind();
}

// Fills the registry before the program's entry, so that no order of start-up misses the
// built-in interpolators.
[[maybe_unused]] const bool kRegistryFilled = [] {
    GVInterpolatorRegistry::Instance();
    return true;
}();

}  // namespace

std::map<str, GVInterpolatorRegistry::Creator>& GVInterpolatorRegistry::Instance() {
    static std::map<str, Creator> creators = [] {
        std::map<str, Creator> builtIn;
        builtIn["ScaleInterpolator"] = &Make<GVScaleInterpolator>;
        builtIn["DeltaMoveInterpolator"] = &Make<GVDeltaMoveInterpolator>;
        builtIn["AlphaInterpolator"] = &Make<GVAlphaInterpolator>;
        builtIn["RotateInterpolator"] = &Make<GVRotateInterpolator>;
        return builtIn;
    }();
    return creators;
}

void GVInterpolatorRegistry::Register(const str& name, Creator creator) {
    Instance()[name] = creator;
}

GVInterpolatorRegistry::Creator GVInterpolatorRegistry::Find(const str& name) {
    auto found = Instance().find(name);
    return found != Instance().end() ? found->second : nullptr;
}
