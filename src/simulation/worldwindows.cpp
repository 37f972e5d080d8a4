#include "simulation/worldwindows.h"

namespace {

class PlayScreenOnTop : public GWorldWindows {
public:
    str GetTopModalName() override { return "game"; }
};

GWorldWindows* gInstalled = nullptr;

}  // namespace

GWorldWindows& WorldWindows() {
    static PlayScreenOnTop playScreen;
    return gInstalled != nullptr ? *gInstalled : playScreen;
}

void SetWorldWindows(GWorldWindows* windows) {
    gInstalled = windows;
}
