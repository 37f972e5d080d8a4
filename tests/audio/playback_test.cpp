// What a player hears: Ogg files played through the engine on the null device, captured frame by
// frame as the fake clock moves, and through SDL's disk driver in real time, compared with the
// PCM the plain decoder gives for the same files.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "audio/oggdatasource.h"
#include "audio/soundhooks.h"
#include "audio/streamspooler.h"
#include "enginefixture.h"
#include "oggfixture.h"
#include "port/window/window.h"
#include "support/tempdir.h"

namespace audio_testing {
namespace {

using oggfile::DecodeOgg;

constexpr size_t kFramesPerSecond = 44100;

bool AllSilent(std::vector<int16_t>::const_iterator from, std::vector<int16_t>::const_iterator to) {
    return std::all_of(from, to, [](int16_t sample) { return sample == 0; });
}

class PlaybackTest : public SoundEngineTest {
protected:
    void SetUp() override {
        SoundEngineTest::SetUp();
        RegisterOggDataSourceBuilder();
        Start();
    }

    MemoryFiles mFiles;
};

// Played from the file, heard from the play's start: exactly the decoded sound, then silence.
// The stream ends on the worker once the last half has drained and goes at the next dispatch.
TEST_F(PlaybackTest, AStreamedSoundIsHeardExactlyThenSilence) {
    struct Case {
        double seconds;
        bool stream;
        bool oneShot;
    } cases[] = {{3.3, true, false}, {1.5, false, true}};
    for (const Case& c : cases) {
        std::string bytes = SweepOgg(c.seconds);
        mFiles.Put("music/theme.ogg", bytes);
        std::vector<int16_t> expected = DecodeOgg(bytes).samples;
        std::shared_ptr<TSoundDataSource> source =
            CreateSoundDataSource("music/theme.ogg", c.stream);
        ASSERT_NE(source, nullptr);
        port::control::StartSoundCapture(kFramesPerSecond * 8);
        auto notify = std::make_shared<RecordingNotify>();
        TSoundStream* stream = PlaySound(source, false, 1001, notify);
        EXPECT_EQ(stream->IsOneShot(), c.oneShot);
        std::weak_ptr<TSoundStream> watched = stream->weak_from_this();

        Run(6000);
        EXPECT_TRUE(Alive(watched)) << c.seconds;
        EXPECT_TRUE(notify->told.empty());
        mManager->DispatchCallbacks();
        EXPECT_FALSE(Alive(watched)) << c.seconds;
        EXPECT_EQ(notify->told.size(), 1u);

        std::vector<int16_t> heard = Captured();
        ASSERT_EQ(heard.size(), kFramesPerSecond * 6 * 2);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), heard.begin())) << c.seconds;
        EXPECT_TRUE(AllSilent(heard.begin() + expected.size(), heard.end())) << c.seconds;
        port::control::ClearSoundCapture();
    }
}

// A looping sound never ends by itself, and every turn follows the one before without a seam.
TEST_F(PlaybackTest, ALoopingSoundPlaysTenMinutesSeamlessly) {
    std::string bytes = SweepOgg(2.5);
    mFiles.Put("loop.ogg", bytes);
    std::vector<int16_t> once = DecodeOgg(bytes).samples;
    auto notify = std::make_shared<RecordingNotify>();
    TSoundStream* stream = PlaySound(CreateSoundDataSource("loop.ogg", false), true, 1000, notify);
    EXPECT_FALSE(stream->IsOneShot());

    const uint32_t windowMs = 20000;
    const size_t windowSamples = kFramesPerSecond * 2 * windowMs / 1000;
    size_t played = 0;  // samples heard before the window
    size_t wrong = 0;
    for (uint32_t minute = 0; minute < 10 * 60 * 1000; minute += windowMs) {
        port::control::StartSoundCapture(windowSamples / 2);
        Run(windowMs);
        mManager->DispatchCallbacks();
        std::vector<int16_t> heard = Captured();
        ASSERT_EQ(heard.size(), windowSamples);
        for (size_t i = 0; i < heard.size(); ++i) {
            if (heard[i] != once[(played + i) % once.size()]) ++wrong;
        }
        played += heard.size();
        port::control::ClearSoundCapture();
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_TRUE(notify->told.empty());
    EXPECT_EQ(Buffers().size(), 1u);
    EXPECT_TRUE(Buffers()[0].playing);
}

// A 22,050 Hz mono sound is heard at its pitch: each of its frames spans two output frames, the
// second halfway to the next frame (the mixer's interpolation), on both sides.
TEST_F(PlaybackTest, AMonoSoundAtHalfTheRateKeepsItsPitch) {
    std::string bytes = SweepOgg(3.0, 22050, 1);
    mFiles.Put("mono.ogg", bytes);
    std::vector<int16_t> source = DecodeOgg(bytes).samples;
    ASSERT_EQ(source.size(), FramesOf(3.0, 22050));
    port::control::StartSoundCapture(kFramesPerSecond * 7);
    PlaySound(CreateSoundDataSource("mono.ogg", true));
    Run(7000);

    const float half = 22050.0f * (1.0f / 44100.0f);
    std::vector<int16_t> expected;
    for (size_t j = 0; j < 2 * source.size(); ++j) {
        size_t k = j / 2;
        float a = source[k];
        float b = k + 1 < source.size() ? source[k + 1] : 0.0f;
        float value = j % 2 == 0 ? a : a + (b - a) * half;
        auto sample = static_cast<int16_t>(std::nearbyint(value));
        expected.push_back(sample);
        expected.push_back(sample);
    }
    std::vector<int16_t> heard = Captured();
    ASSERT_GE(heard.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), heard.begin()));
    EXPECT_TRUE(AllSilent(heard.begin() + expected.size(), heard.end()));
}

// A sound stopped while it plays is cut there: what follows is silence.
TEST_F(PlaybackTest, AStoppedSoundFallsSilentAtOnce) {
    std::string bytes = SweepOgg(3.0);
    mFiles.Put("cut.ogg", bytes);
    std::vector<int16_t> expected = DecodeOgg(bytes).samples;
    port::control::StartSoundCapture(kFramesPerSecond * 3);
    TSoundStream* stream = PlaySound(CreateSoundDataSource("cut.ogg", true));
    Run(1000);
    stream->Stop(false);
    Run(1000);
    std::vector<int16_t> heard = Captured();
    const size_t cut = kFramesPerSecond * 2;
    ASSERT_EQ(heard.size(), 2 * cut);
    EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + cut, expected.begin()));
    EXPECT_TRUE(AllSilent(heard.begin() + cut, heard.end()));
}

// Through SDL's disk driver, in real time (faster than real: the driver waits 8 ms a block of
// 23 ms, and the worker keeps pace): the file the driver wrote holds the decoded sound exactly
// after its leading silence. The WAV stays in the test program's folder, to be listened to.
TEST(SdlPlaybackTest, TheDiskDriverHearsTheDecodedSound) {
    const std::string folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string raw = folder + "/playback_disk.raw";
    const std::string wave = folder + "/playback_disk.wav";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "8", 1);
    ASSERT_TRUE(port::control::SetSoundBackend("sdl"));
    RegisterOggDataSourceBuilder();
    MemoryFiles files;
    std::string bytes = SweepOgg(3.3);
    files.Put("music/theme.ogg", bytes);
    std::vector<int16_t> expected = DecodeOgg(bytes).samples;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "SDLSOUNDTEST";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    static HWND window = nullptr;
    window = CreateWindowExA(0, "SDLSOUNDTEST", "sound", 0, 0, 0, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
    static TSoundManager* sound = nullptr;
    soundhooks::Install({[] { return sound; }, [] { return window; }, nullptr});
    auto manager = std::make_unique<TSoundManager>();
    sound = manager.get();
    manager->SetWorkerPace({10, 20});
    ASSERT_TRUE(manager->StartThread());

    auto notify = std::make_shared<RecordingNotify>();
    auto* stream = new TSoundStream(
        sound, std::make_unique<TStreamSpooler>(CreateSoundDataSource("music/theme.ogg", true)),
        false, 1001, notify);
    ASSERT_TRUE(stream->CreateBuffer(44100, 2, 16, 2.0f));
    stream->Play(false);
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (notify->told.empty() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        manager->DispatchCallbacks();
    }
    ASSERT_EQ(notify->told.size(), 1u);
    // Some silence after it, then the device closes, and its file with it.
    port::control::ClearSoundMixerCalls();
    while (port::control::SoundMixerCalls().count < 8 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    sound = nullptr;
    manager.reset();
    soundhooks::Install({});

    std::string written = testing_support::ReadFileBytes(raw);
    std::vector<int16_t> heard(written.size() / 2);
    std::memcpy(heard.data(), written.data(), heard.size() * 2);
    ASSERT_TRUE(port::control::WriteWaveFile(wave, heard));
    size_t start = FirstSound(heard);
    ASSERT_LT(start, heard.size());
    ASSERT_GE(heard.size() - start, expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), heard.begin() + start));
    EXPECT_TRUE(AllSilent(heard.begin() + start + expected.size(), heard.end()));
}

}  // namespace
}  // namespace audio_testing
