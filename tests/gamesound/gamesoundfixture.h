// A small game for the music and effect tests: the application object on the fake clock with its
// main window and the window system (the window script's Lua state), the null device without its
// real-time pump (each move of the clock plays the time that passed), the game's music and
// effect files as Ogg files in memory, and the sound manager with its worker asleep, so that the
// test runs the worker's passes itself as the clock moves, with the application's task list (the
// music timer) and the sound callbacks after each step.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "oggfixture.h"
#include "platform/platform.h"
#include "port/control.h"
#include "support/logcapture.h"

namespace gamesound_testing {

// A sweep of that length as an Ogg file, made once per length and process.
const std::string& SweepFile(double seconds);

// The device volume (hundredths of a decibel) a stream sets for a volume from 0 to 1.
long DeviceVolume(float volume);

class GameSoundTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the application's sound manager, with its worker asleep.
    TSoundManager* StartSound();
    // Moves the clock on by ms in 50 ms steps; after each, a worker pass, the task list and the
    // sound callbacks.
    void Run(uint32_t ms);
    // The live secondary buffers, in the order they were made.
    static std::vector<port::control::SoundBufferInfo> Buffers() {
        return port::control::SoundBuffers();
    }

    std::unique_ptr<TPlatform> mApp;
    audio_testing::MemoryFiles mFiles;
    testing_support::LogCapture mLog;
};

}  // namespace gamesound_testing
