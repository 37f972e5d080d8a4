// The sound engine as the audio benchmarks drive it: a window, the sound hooks and a manager whose
// worker sleeps (the benchmark runs its passes), on the null device with the fake clock, and the
// Ogg builder registered. One at a time.
#pragma once

#include <memory>

class TSoundManager;

class Engine {
public:
    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    TSoundManager* Manager() { return mManager.get(); }

private:
    std::unique_ptr<TSoundManager> mManager;
};
