// What a player hears, through SDL's disk driver at the pace of real time: an effect played by
// the effect player, then the menu theme started by the music manager with its fade-in on the
// application clock. The driver's file is kept as a WAV in the test program's folder, to be
// listened to, and measured: the effect's decoded samples where it starts, the theme's loudness
// once its fade is over against its decoded loudness at the music volume, and no sample clipped.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "audio/soundmanager.h"
#include "gamesound/musicmanager.h"
#include "gamesound/soundeffects.h"
#include "measure.h"
#include "oggfixture.h"
#include "oggwriter.h"
#include "platform/platform.h"
#include "port/control.h"
#include "support/tempdir.h"

namespace {

using audio_testing::Correlation;
using audio_testing::Rms;
using Clock = std::chrono::steady_clock;

constexpr size_t kFrameRate = 44100;
constexpr float kMusicVolume = 0.7f;

// Turns the main loop's idle work for a while: the task list (the music's fade) and the sound
// callbacks.
void Idle(TPlatform& application, std::chrono::milliseconds duration) {
    const Clock::time_point until = Clock::now() + duration;
    while (Clock::now() < until) {
        application.UpdateTasks();
        application.GetSoundManager()->DispatchCallbacks();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

TEST(RealOutputTest, AnEffectAndTheMenuThemeAsThePlayerHearsThem) {
    const std::string folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string raw = folder + "/gamesound_disk.raw";
    const std::string wave = folder + "/gamesound_disk.wav";
    // The driver waits 23 ms for each block of 1,024 frames: real time.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "23", 1);
    ASSERT_TRUE(port::control::SetSoundBackend("sdl"));

    audio_testing::MemoryFiles files;
    const std::string effectBytes = audio_testing::SweepOgg(0.5);
    const std::string themeBytes = audio_testing::SweepOgg(4.0);
    files.Put("audio/sfx/buttonclick.ogg", effectBytes);
    files.Put(kMusicTracks[0], themeBytes);
    const std::vector<int16_t> effect = oggfile::DecodeOgg(effectBytes).samples;
    const std::vector<int16_t> theme = oggfile::DecodeOgg(themeBytes).samples;
    ASSERT_FALSE(effect.empty());
    ASSERT_FALSE(theme.empty());

    auto application = std::make_unique<TPlatform>();
    application->CreateMainWindow();
    ASSERT_TRUE(application->InitSound());
    TSoundManager* sound = application->GetSoundManager();
    sound->SetGroupVolume(GMusicManager::kMusicGroup, kMusicVolume);
    {
        GSoundEffects effects;
        GMusicManager music;
        const TVec2 noPosition{static_cast<float>(kNoSoundPosition.x),
                               static_cast<float>(kNoSoundPosition.y)};
        ASSERT_TRUE(effects.Play(0, 1, noPosition, false));
        Idle(*application, std::chrono::milliseconds(800));
        ASSERT_TRUE(music.PlayInterfaceMusic());
        Idle(*application, std::chrono::milliseconds(4200));
        EXPECT_FALSE(music.IsFading());
    }
    // The device closes, and its file with it, when the application object goes.
    application.reset();

    std::string written = testing_support::ReadFileBytes(raw);
    std::vector<int16_t> heard(written.size() / 2);
    std::memcpy(heard.data(), written.data(), heard.size() * 2);
    ASSERT_TRUE(port::control::WriteWaveFile(wave, heard));

    // The effect: where the first sound is, its own first sound, within a few frames.
    auto firstSound = [](const std::vector<int16_t>& samples, size_t from) {
        auto found = std::find_if(samples.begin() + static_cast<std::ptrdiff_t>(from),
                                  samples.end(), [](int16_t s) { return s != 0; });
        return static_cast<size_t>(found - samples.begin()) & ~size_t{1};
    };
    const size_t heardStart = firstSound(heard, 0);
    const size_t effectStart = firstSound(effect, 0);
    ASSERT_LT(heardStart, heard.size());
    ASSERT_GE(heardStart, effectStart);
    double best = 0.0;
    for (size_t lag = 0; lag <= 16; lag += 2) {
        for (size_t at : {heardStart - effectStart + lag, heardStart - effectStart - lag}) {
            if (at <= heard.size()) best = std::max(best, Correlation(effect, heard, at));
        }
    }
    std::printf("the effect's correlation where it starts: %.5f\n", best);
    EXPECT_GT(best, 0.99);

    // The theme starts silent and fades in: its first sound comes after the effect's end.
    const size_t effectEnd = heardStart - effectStart + effect.size();
    const size_t themeStart = firstSound(heard, effectEnd);
    ASSERT_LT(themeStart + (2500 + 1000) * kFrameRate / 1000 * 2, heard.size());
    const size_t window = themeStart + 2500 * kFrameRate / 1000 * 2;
    const double heardRms = Rms(heard.data() + window, kFrameRate * 2);
    const double gain = audio_testing::VolumeGain(kMusicVolume);
    const double expectedRms = Rms(theme.data(), theme.size()) * gain;
    const double difference = 20.0 * std::log10(heardRms / expectedRms);
    std::printf("the theme from 2.5 s: %.1f RMS, decoded at the music volume %.1f (%+.2f dB)\n",
                heardRms, expectedRms, difference);
    EXPECT_LT(std::abs(difference), 1.0);

    const auto clipped = std::count_if(heard.begin(), heard.end(),
                                       [](int16_t s) { return s == 32767 || s == -32768; });
    EXPECT_EQ(clipped, 0);
}

}  // namespace
