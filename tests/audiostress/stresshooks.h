// What the stress tests install for the sound engine: a window for the device's cooperative level
// and the sound hooks answering it and the test's manager. The hooks are read from any thread.
#pragma once

class TSoundManager;

namespace stress_testing {

class StressHooks {
public:
    // Registers a window class of that name, makes the window and installs the hooks.
    explicit StressHooks(const char* windowClass);
    // Puts the hooks' defaults back.
    ~StressHooks();
    StressHooks(const StressHooks&) = delete;
    StressHooks& operator=(const StressHooks&) = delete;

    // The manager the hooks answer (null: none).
    void SetManager(TSoundManager* manager);
};

}  // namespace stress_testing
