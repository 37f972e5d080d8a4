#include "stresshooks.h"

#include <gtest/gtest.h>

#include <atomic>

#include "audio/soundhooks.h"
#include "port/window/window.h"

namespace stress_testing {
namespace {

std::atomic<TSoundManager*> gManager{nullptr};
std::atomic<HWND> gWindow{nullptr};

}  // namespace

StressHooks::StressHooks(const char* windowClass) {
    WNDCLASSA windowClassInfo{};
    windowClassInfo.lpfnWndProc = DefWindowProcA;
    windowClassInfo.lpszClassName = windowClass;
    EXPECT_NE(RegisterClassA(&windowClassInfo), 0);
    gWindow = CreateWindowExA(0, windowClass, "stress", 0, 0, 0, 100, 100, nullptr, nullptr,
                              nullptr, nullptr);
    soundhooks::Install({[] { return gManager.load(); }, [] { return gWindow.load(); }, nullptr});
}

StressHooks::~StressHooks() {
    soundhooks::Install({});
    gManager = nullptr;
}

void StressHooks::SetManager(TSoundManager* manager) {
    gManager = manager;
}

}  // namespace stress_testing
