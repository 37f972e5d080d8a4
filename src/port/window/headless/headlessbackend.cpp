// The headless backend: nothing outside the model. Waits follow the fake clock when it runs
// (moving it only when Sleep may), boxes answer at once.
#include <chrono>
#include <thread>

#include "port/system/clock.h"
#include "port/system/clockstate.h"
#include "port/window/backend.h"
#include "port/window/messagebox.h"

namespace port {
namespace {

class HeadlessBackend : public WindowBackend {
public:
    const char* Name() const override { return "headless"; }

    void WaitEvents(DWORD milliseconds) override {
        if (FakeClockOn()) {
            if (FakeSleepAdvances()) Sleep(milliseconds);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }

    int ShowMessageBox(const MessageBoxRecord& box) override {
        return ConfiguredMessageBoxAnswer(box.flags);
    }
};

}  // namespace

std::unique_ptr<WindowBackend> MakeHeadlessBackend() {
    return std::make_unique<HeadlessBackend>();
}

}  // namespace port
