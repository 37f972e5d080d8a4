#include "gv/hittest/gvhittester.h"

#include "gv/hittest/gvalphahittester.h"

namespace {

// Fills the registry before the program starts. The built-in testers are registered in this
// file, where the registry lives, so that every program that makes a tester by name has them (a
// static library drops object files nothing refers to, and with them any registration they
// would hold), and by the registry's first use, so that no order of start-up misses them.
[[maybe_unused]] const bool kRegistryFilled = [] {
    GVHitTesterRegistry::Create("");
    return true;
}();

}  // namespace

bool GVHitTester::Save(TXmlNode* node) {
    (void)node;
    return false;
}

bool GVDefHitTester::HitTest(int32_t x, int32_t y, const GVFrame& frame) {
    (void)x;
    (void)y;
    (void)frame;
    return true;
}

bool GVDefHitTester::Build(GVObject* object) {
    (void)object;
    return true;
}

std::map<str, GVHitTesterRegistry::Creator>& GVHitTesterRegistry::Creators() {
    static std::map<str, Creator> creators = [] {
        std::map<str, Creator> builtIn;
        builtIn["default"] = [] { return new GVDefHitTester(); };
        builtIn["alpha"] = [] { return new GVAlphaHitTester(); };
        return builtIn;
    }();
    return creators;
}

GVHitTester* GVHitTesterRegistry::Create(const str& name) {
    auto found = Creators().find(name);
    return found != Creators().end() ? found->second() : nullptr;
}
