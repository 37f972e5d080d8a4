// Every generated sound as a player hears it: played once, one after another, through TSound on
// the sdl device with SDL's disk driver, and the driver's file measured against the decoded files.
// Each sound must be found where it starts (correlation above 0.99), as loud as its decoded file
// at its group's volume (within 1 dB), with no sample clipped and silence (below -60 dBFS) between
// two sounds. The capture is kept as a WAV in the test program's folder, to be listened to.
//
// The whole set is over eight minutes of sound, and the gaps between the sounds (each stream ends
// once its last half has drained) add a minute more. SDL's disk driver waits SDL_DISKAUDIODELAY
// ms after each block of 1,024 frames (23 ms of sound): at 2 ms it runs about ten times faster
// than real time and the whole set plays in about a minute, exactly, the capture matching every
// decoded file with a correlation of 1.0000. At 1 ms (twenty times faster, half a minute) the
// capture is exact on an idle machine, but on a loaded one the streaming worker is sometimes
// late by more than the 50 ms a half ring then lasts, a half plays twice and a sound is heard a
// second late.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "audio/sound.h"
#include "audio/soundmanager.h"
#include "gamesound/musicmanager.h"
#include "gamesound/soundeffects.h"
#include "measure.h"
#include "platform/platform.h"
#include "port/control.h"
#include "soundfiles.h"
#include "support/tempdir.h"

namespace soundlint {
namespace {

using audio_testing::Correlation;
using audio_testing::Rms;
using Clock = std::chrono::steady_clock;

// CI's runners are busier than the machine those figures come from, and a sanitizer slows the
// worker further: the check runs at 3 ms a block (about seven times real time, a minute and a
// half), under a sanitizer at 5 ms, leaving the worker half as much again to be late by.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr const char* kDiskDelayMs = "5";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr const char* kDiskDelayMs = "5";
#else
constexpr const char* kDiskDelayMs = "3";
#endif
#else
constexpr const char* kDiskDelayMs = "3";
#endif
// The game's worker wakes every 50 ms and refills after 500 ms, a quarter of its two-second ring;
// here, ten times faster, it wakes every 2 ms and refills after 10 ms, which leaves it some 80 ms
// to be late by on a busy machine before a half of a ring would play again.
constexpr TSoundManager::TWorkerPace kWorkerPace{2, 10};
constexpr float kMusicVolume = 0.7f;
constexpr float kEffectsVolume = 0.85f;
// Blocks of silence the driver writes between two sounds.
constexpr size_t kGapBlocks = 3;
// The largest sample of silence: -60 dBFS.
constexpr double kSilence = 32768.0 / 1000.0;

// Turns the main loop's idle work until done holds or the limit passes.
template <typename Done>
bool IdleUntil(TPlatform& application, Done done, std::chrono::seconds limit) {
    const Clock::time_point until = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > until) return false;
        application.UpdateTasks();
        application.GetSoundManager()->DispatchCallbacks();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The decoded file as the stereo device hears it at full volume (a mono frame on both sides).
std::vector<int16_t> Stereo(const Decoded& decoded) {
    if (decoded.channels == 2) return decoded.samples;
    std::vector<int16_t> stereo;
    stereo.reserve(decoded.samples.size() * 2);
    for (int16_t sample : decoded.samples) {
        stereo.push_back(sample);
        stereo.push_back(sample);
    }
    return stereo;
}

// The index of the first frame from `from` on with a sample at least that loud at the gain; the
// size when there is none.
size_t FirstAsLoudAs(const std::vector<int16_t>& samples, size_t from, double gain, double level) {
    const auto found =
        std::find_if(samples.begin() + static_cast<std::ptrdiff_t>(from), samples.end(),
                     [=](int16_t sample) { return std::abs(sample) * gain >= level; });
    return found == samples.end() ? samples.size()
                                  : static_cast<size_t>(found - samples.begin()) & ~size_t{1};
}

// Where in the capture, from `from` on, the sound starts: its first clearly loud sample (-42
// dBFS, far above the faint tail a loop folds into its head) lined up with the first heard,
// then the best correlation of a fifth of a second from there within 64 frames.
size_t FindSound(const std::vector<int16_t>& sound, double gain, const std::vector<int16_t>& heard,
                 size_t from) {
    constexpr double kLoud = 256.0;
    const size_t loud = FirstAsLoudAs(sound, 0, gain, kLoud);
    const size_t heardLoud = FirstAsLoudAs(heard, from, 1.0, kLoud);
    if (loud >= sound.size() || heardLoud >= heard.size() || loud > heardLoud - from)
        return heard.size();
    const std::vector<int16_t> part(
        sound.begin() + static_cast<std::ptrdiff_t>(loud),
        sound.begin() + static_cast<std::ptrdiff_t>(std::min(sound.size(), loud + 2 * 8820)));
    const size_t guess = heardLoud - loud;
    size_t best = guess;
    double bestCorrelation = -1.0;
    for (size_t frames = 0; frames <= 64; ++frames) {
        for (size_t at : {guess + 2 * frames, guess - 2 * frames}) {
            if (at < from || at > heard.size()) continue;
            const double correlation = Correlation(part, heard, at + loud);
            if (correlation > bestCorrelation) bestCorrelation = correlation, best = at;
        }
    }
    return best;
}

TEST(RealOutput, EveryGeneratedSoundPlaysThroughTheDiskDriverAsDecoded) {
    const std::string folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string raw = folder + "/soundlint_disk.raw";
    const std::string wave = folder + "/soundlint_disk.wav";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", kDiskDelayMs, 1);
    ASSERT_TRUE(port::control::SetSoundBackend("sdl"));
    const std::vector<Generated> files = GeneratedFiles();
    ASSERT_GT(files.size(), 100u);

    const Clock::time_point started = Clock::now();
    auto application = std::make_unique<TPlatform>();
    application->CreateMainWindow();
    ASSERT_TRUE(IndexGameFolder());
    ASSERT_TRUE(application->InitSound());
    TSoundManager* manager = application->GetSoundManager();
    manager->SetWorkerPace(kWorkerPace);
    manager->SetGroupVolume(GMusicManager::kMusicGroup, kMusicVolume);
    manager->SetGroupVolume(GSoundEffects::kEffectsGroup, kEffectsVolume);
    for (const Generated& file : files) {
        const int group = file.soundClass == SoundClass::kMusic ? GMusicManager::kMusicGroup
                                                                : GSoundEffects::kEffectsGroup;
        // Streamed from the file, as the game streams its music and its long loops.
        std::shared_ptr<TSound> sound = TSound::Get(str(file.path.c_str()), false, group);
        ASSERT_NE(sound, nullptr) << file.path;
        ASSERT_NE(sound->Play(false), nullptr) << file.path;
        ASSERT_TRUE(IdleUntil(
            *application, [&] { return sound->GetPlayingCount() == 0; }, std::chrono::seconds(60)))
            << file.path << " never ended";
        port::control::ClearSoundMixerCalls();
        ASSERT_TRUE(IdleUntil(
            *application, [] { return port::control::SoundMixerCalls().count >= kGapBlocks; },
            std::chrono::seconds(10)));
    }
    // The device closes, and its file with it, when the application object goes.
    application.reset();
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    // The game's folder went with it: indexed again for the decoding.
    ASSERT_TRUE(IndexGameFolder());

    const std::string written = testing_support::ReadFileBytes(raw);
    std::vector<int16_t> heard(written.size() / 2);
    std::memcpy(heard.data(), written.data(), heard.size() * 2);
    ASSERT_TRUE(port::control::WriteWaveFile(wave, heard));
    std::filesystem::remove(raw);  // the WAV holds the same samples
    std::printf("%zu sounds, %.1f s of output, played in %.1f s\n", files.size(),
                static_cast<double>(heard.size()) / 2 / 44100, seconds);

    std::vector<std::string> problems;
    double worstCorrelation = 1.0;
    double worstDecibels = 0.0;
    double loudestGap = 0.0;
    size_t end = 0;  // where the sound before ended
    for (const Generated& file : files) {
        const Decoded decoded = DecodeGameSound(file.path);
        ASSERT_TRUE(decoded.ok) << file.path;
        const std::vector<int16_t> sound = Stereo(decoded);
        const float volume = file.soundClass == SoundClass::kMusic ? kMusicVolume : kEffectsVolume;
        const double gain = audio_testing::VolumeGain(volume);
        const size_t at = FindSound(sound, gain, heard, end);
        if (at + sound.size() > heard.size()) {
            problems.push_back(file.path + ": not found in the capture");
            break;
        }
        for (size_t i = end; i < at; ++i)
            loudestGap = std::max(loudestGap, std::abs(static_cast<double>(heard[i])));
        const double correlation = Correlation(sound, heard, at);
        const double expected = Rms(sound.data(), sound.size()) * gain;
        const double decibels = 20.0 * std::log10(Rms(heard.data() + at, sound.size()) / expected);
        worstCorrelation = std::min(worstCorrelation, correlation);
        if (std::abs(decibels) > std::abs(worstDecibels)) worstDecibels = decibels;
        if (correlation <= 0.99 || std::abs(decibels) >= 1.0) {
            char line[160];
            std::snprintf(line, sizeof line, "%s at %.3f s: correlation %.5f, RMS %+.2f dB",
                          file.path.c_str(), static_cast<double>(at) / 2 / 44100, correlation,
                          decibels);
            problems.push_back(line);
        }
        end = at + sound.size();
    }
    for (size_t i = end; i < heard.size(); ++i)
        loudestGap = std::max(loudestGap, std::abs(static_cast<double>(heard[i])));
    const auto clipped = std::count_if(heard.begin(), heard.end(),
                                       [](int16_t s) { return s == 32767 || s == -32768; });
    std::printf(
        "worst correlation %.5f, worst RMS %+.3f dB, loudest sample between sounds %.0f, "
        "%td clipped\n",
        worstCorrelation, worstDecibels, loudestGap, clipped);
    EXPECT_TRUE(problems.empty()) << Joined(problems);
    EXPECT_LT(loudestGap, kSilence);
    EXPECT_EQ(clipped, 0);
}

}  // namespace
}  // namespace soundlint
