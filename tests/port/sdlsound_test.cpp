// The sdl backend's output as a player hears it, without sound hardware: SDL's disk driver
// writes what was mixed to a file, measured here (and kept as a WAV beside the test); the dummy
// driver plays in real time, so the cursors follow the wall clock and the callback keeps running
// while the program holds its locks; a driver that does not exist leaves no device.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "loggedlines.h"
#include "port/startup.h"
#include "port/system/sync.h"
#include "soundfixture.h"
#include "support/tempdir.h"

namespace {

using sound_testing::BufferPtr;
using sound_testing::PcmFormat;
using sound_testing::SoundPtr;
using Clock = std::chrono::steady_clock;

constexpr DWORD kOneSecond = 176400;

using port_testing::KeepLine;
using port_testing::LoggedLines;

class SdlSoundTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(port::control::SetSoundBackend("sdl")); }
    void TearDown() override {
        mBuffer.Reset();
        mSound.Reset();
    }

    HRESULT Open(const char* driver) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        return DirectSoundCreate(nullptr, mSound.Out(), nullptr);
    }

    void MakeBuffer(DWORD bytes) {
        WAVEFORMATEX format = PcmFormat(44100, 2);
        DSBUFFERDESC desc = sound_testing::BufferDesc(&format, bytes);
        ASSERT_EQ(mSound->CreateSoundBuffer(&desc, mBuffer.Out(), nullptr), DS_OK);
    }

    // Waits, on the real clock, for at most `limit` until `done` holds.
    template <typename Done>
    static bool WaitFor(Done done, std::chrono::milliseconds limit) {
        Clock::time_point end = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    SoundPtr mSound;
    BufferPtr mBuffer;
};

TEST_F(SdlSoundTest, TheDiskDriverWritesTheSignalBitForBitBetweenSilences) {
    // Beside the test program, so that a person can listen to what the test heard.
    const std::string folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string raw = folder + "/sdlsound_disk.raw";
    const std::string wave = folder + "/sdlsound_disk.wav";
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    ASSERT_EQ(Open("disk"), DS_OK);
    MakeBuffer(kOneSecond);
    std::vector<int16_t> signal = sound_testing::Pattern(kOneSecond / 2, 21);
    if (signal[0] == 0) signal[0] = 1;  // where the signal starts must show
    sound_testing::WriteSamples(mBuffer.get(), 0, signal);
    ASSERT_EQ(mBuffer->Play(0, 0, 0), DS_OK);
    // The disk driver runs faster than real time: no timing is assumed, only an order.
    ASSERT_TRUE(WaitFor([this] { return sound_testing::StatusOf(mBuffer.get()) == 0; },
                        std::chrono::seconds(30)));
    port::control::ClearSoundMixerCalls();
    ASSERT_TRUE(WaitFor([] { return port::control::SoundMixerCalls().count >= 12; },
                        std::chrono::seconds(30)));
    mBuffer.Reset();
    mSound.Reset();  // closes the device, and its file

    std::string bytes = testing_support::ReadFileBytes(raw);
    ASSERT_EQ(bytes.size() % 4, 0u);
    std::vector<int16_t> heard(bytes.size() / 2);
    std::memcpy(heard.data(), bytes.data(), bytes.size());
    ASSERT_TRUE(port::control::WriteWaveFile(wave, heard));

    size_t start = 0;
    while (start < heard.size() && heard[start] == 0)
        ++start;
    ASSERT_LT(start, heard.size());
    EXPECT_EQ(start % 2, 0u);
    ASSERT_GE(heard.size() - start, signal.size() + 2 * 1024);
    EXPECT_TRUE(std::equal(signal.begin(), signal.end(), heard.begin() + start));
    EXPECT_TRUE(std::all_of(heard.begin() + start + signal.size(), heard.end(),
                            [](int16_t sample) { return sample == 0; }));
    // The WAV holds the same samples behind its 44-byte header.
    std::string written = testing_support::ReadFileBytes(wave);
    ASSERT_EQ(written.size(), 44 + bytes.size());
    EXPECT_EQ(written.compare(0, 4, "RIFF"), 0);
    EXPECT_EQ(written.compare(8, 8, "WAVEfmt "), 0);
    EXPECT_EQ(written.compare(44, std::string::npos, bytes), 0);
}

TEST_F(SdlSoundTest, TheDummyDriverPlaysInRealTimeWhateverTheProgramHolds) {
    ASSERT_EQ(Open("dummy"), DS_OK);
    MakeBuffer(3 * kOneSecond);
    ASSERT_EQ(mBuffer->Play(0, 0, 0), DS_OK);
    DWORD from = sound_testing::CursorsOf(mBuffer.get()).play;
    Clock::time_point start = Clock::now();
    port::control::ClearSoundMixerCalls();

    // Another thread holds a program mutex and a lock of the playing buffer for a second.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    std::atomic<bool> holding{false};
    std::thread holder([&] {
        ASSERT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
        void* data = nullptr;
        DWORD bytes = 0;
        EXPECT_EQ(mBuffer->Lock(0, kOneSecond, &data, &bytes, nullptr, nullptr, 0), DS_OK);
        holding = true;
        std::this_thread::sleep_for(std::chrono::seconds(1));
        EXPECT_EQ(mBuffer->Unlock(data, 0, nullptr, 0), DS_OK);
        ReleaseMutex(mutex);
    });
    ASSERT_TRUE(WaitFor([&] { return holding.load(); }, std::chrono::seconds(10)));
    port::control::MixerCalls beforeHold = port::control::SoundMixerCalls();
    std::this_thread::sleep_for(std::chrono::milliseconds(900));
    port::control::MixerCalls duringHold = port::control::SoundMixerCalls();
    DWORD to = sound_testing::CursorsOf(mBuffer.get()).play;
    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    holder.join();
    CloseHandle(mutex);

    double played = static_cast<double>(to - from) / kOneSecond;
    EXPECT_NEAR(played, elapsed, 0.25);
    // About 40 callbacks of 1,024 frames in the 0.9 s: far more than none.
    EXPECT_GE(duringHold.count - beforeHold.count, 10u);
    EXPECT_LE(duringHold.longestMicroseconds, 50000u);
}

TEST_F(SdlSoundTest, ADriverThatDoesNotExistLeavesNoDeviceAndOneLogLine) {
    LoggedLines().clear();
    port::SetLogSink(&KeepLine);
    EXPECT_EQ(Open("nosuchdriver"), DSERR_NODRIVER);
    EXPECT_EQ(mSound.get(), nullptr);
    ASSERT_EQ(LoggedLines().size(), 1u);
    EXPECT_EQ(LoggedLines()[0].rfind("SDL audio could not start: ", 0), 0u) << LoggedLines()[0];
    // The null device is still there for whoever asks for it.
    ASSERT_TRUE(port::control::SetSoundBackend("headless"));
    EXPECT_EQ(DirectSoundCreate(nullptr, mSound.Out(), nullptr), DS_OK);
    EXPECT_EQ(LoggedLines().size(), 1u);
}

}  // namespace
