#include "gamesoundfixture.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "audio/soundmanager.h"
#include "platform/windowsystemhooks.h"
#include "ui/windowsystem.h"

namespace gamesound_testing {

const std::string& SweepFile(double seconds) {
    static std::map<double, std::string> files;
    std::string& bytes = files[seconds];
    if (bytes.empty()) bytes = audio_testing::SweepOgg(seconds);
    return bytes;
}

long DeviceVolume(float volume) {
    if (volume == 0.0f) return -10000;
    return static_cast<long>(-(1.0f - std::clamp(volume, 0.0f, 1.0f)) * 5000.0f);
}

void GameSoundTest::SetUp() {
    port::control::UseFakeClock(true);
    port::control::SetTime(100000);
    port::control::SetSoundPump(false);
    RegisterWindowSystem();
    mApp = std::make_unique<TPlatform>();
    mApp->CreateMainWindow();
    mLog.Clear();
}

void GameSoundTest::TearDown() {
    mApp.reset();
    windowsystemhooks::Install({});
}

TSoundManager* GameSoundTest::StartSound() {
    mApp->CreateSoundManager();
    TSoundManager* sound = mApp->GetSoundManager();
    sound->SetWorkerPace({0, 500});
    return sound;
}

void GameSoundTest::Run(uint32_t ms) {
    for (uint32_t done = 0; done < ms; done += 50) {
        port::control::AdvanceTime(std::min<uint32_t>(50, ms - done));
        if (TSoundManager* sound = mApp->GetSoundManager()) sound->RunWorkerPass();
        mApp->UpdateTasks();
        if (TSoundManager* sound = mApp->GetSoundManager()) sound->DispatchCallbacks();
    }
}

}  // namespace gamesound_testing
