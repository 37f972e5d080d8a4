#include "port/control.h"

#include <cstring>

#include "port/startup.h"

namespace port::control {

void Reset() {
    ClearFailures();
    ResetSystem();
    // The windows go while their backend is current, so that it closes what it showed for them.
    ResetWindowing();
    ResetDisplay();
    ResetDevices();
    ResetSound();
    ResetHttp();
    if (std::strcmp(WindowBackendName(), "headless") != 0) SelectWindowBackend("headless");
    SetLogSink(nullptr);
}

}  // namespace port::control
