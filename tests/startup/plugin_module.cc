// A module plug-in for the start-up tests: its handler answers QuerySuspend with true, so that a
// test can tell it was loaded, and takes no state change.
#include "ui/gamestate.h"

namespace {

class PluginHandler : public TGameStateHandler {
public:
    bool HandleState(const char*, const char*) override { return false; }
    bool QuerySuspend() override { return true; }
};

}  // namespace

extern "C" TGameStateHandler* CreateHandler() {
    return new PluginHandler;
}

extern "C" void DestroyHandler(TGameStateHandler* handler) {
    delete handler;
}
