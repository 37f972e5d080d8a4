// The headless display backend: nothing outside the process shows the screen.
#include "port/display/backend.h"

namespace port::display {
namespace {

class HeadlessDisplay : public DisplayBackend {
public:
    const char* Name() const override { return "headless"; }
};

}  // namespace

std::unique_ptr<DisplayBackend> MakeHeadlessDisplayBackend() {
    return std::make_unique<HeadlessDisplay>();
}

}  // namespace port::display
