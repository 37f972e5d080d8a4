// The sound device under real threads: the null device's pump mixes in real time while other
// threads lock and commit, play and stop, set volumes, make and release buffers and lose them.
// ThreadSanitizer watches (label tsan); the tests watch for torn halves and refused calls.
// UMBRAVA_STRESS_SECONDS makes the stress run longer by hand.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "port/system/sync.h"
#include "soundfixture.h"

namespace {

using sound_testing::BufferPtr;
using sound_testing::PcmFormat;
using sound_testing::SoundPtr;
using Clock = std::chrono::steady_clock;

constexpr DWORD kOneSecond = 176400;  // 44,100 Hz stereo
constexpr DWORD kFrames = kOneSecond / 4;
constexpr DWORD kHalf = kOneSecond / 2;

// On the real clock, with the pump on: as a process starts.
class RealTimeSoundTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(DirectSoundCreate(nullptr, mSound.Out(), nullptr), DS_OK); }
    void TearDown() override { mSound.Reset(); }

    IDirectSoundBuffer* MakeBuffer(DWORD rate, WORD channels, DWORD bytes) {
        WAVEFORMATEX format = PcmFormat(rate, channels);
        DSBUFFERDESC desc = sound_testing::BufferDesc(&format, bytes);
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(mSound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        return buffer;
    }

    SoundPtr mSound;
};

// The sample of a pattern at a buffer frame: old, half written, new.
int16_t Old(size_t frame) {
    return static_cast<int16_t>(1000 + frame % 100);
}
int16_t HalfWritten(size_t frame) {
    return static_cast<int16_t>(-1000 - static_cast<int>(frame % 100));
}
int16_t New(size_t frame) {
    return static_cast<int16_t>(3000 + frame % 100);
}

void FillFrames(int16_t* samples, size_t firstFrame, size_t count, int16_t (*pattern)(size_t)) {
    for (size_t i = 0; i < count; ++i)
        samples[2 * i] = samples[2 * i + 1] = pattern(firstFrame + i);
}

TEST_F(RealTimeSoundTest, AHalfHeldLockedIsHeardWholeOldOrWholeNew) {
    BufferPtr buffer(MakeBuffer(44100, 2, kOneSecond));
    std::vector<int16_t> old(kOneSecond / 2);
    FillFrames(old.data(), 0, kFrames, &Old);
    sound_testing::WriteSamples(buffer.get(), 0, old);
    port::control::StartSoundCapture(10 * kFrames);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);

    // The second half, held for 200 ms while the pump plays: half written first, then whole.
    size_t beforeCommit = 0;
    size_t afterCommit = 0;
    size_t heardWhileHeld = 0;
    std::thread writer([&] {
        void* data = nullptr;
        DWORD bytes = 0;
        ASSERT_EQ(buffer->Lock(kHalf, kHalf, &data, &bytes, nullptr, nullptr, 0), DS_OK);
        auto* staging = static_cast<int16_t*>(data);
        size_t held = port::control::CapturedFrames();
        FillFrames(staging, kFrames / 2, kFrames / 4, &HalfWritten);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        FillFrames(staging, kFrames / 2, kFrames / 2, &New);
        heardWhileHeld = port::control::CapturedFrames() - held;
        beforeCommit = port::control::CapturedFrames();
        EXPECT_EQ(buffer->Unlock(data, bytes, nullptr, 0), DS_OK);
        afterCommit = port::control::CapturedFrames();
    });
    writer.join();
    // The pump did not wait for the lock.
    EXPECT_GT(heardWhileHeld, 0u);
    // Until the second half has played again after the commit.
    Clock::time_point limit = Clock::now() + std::chrono::seconds(30);
    while (port::control::CapturedFrames() < afterCommit + 2 * kFrames && Clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(buffer->Stop(), DS_OK);

    std::vector<int16_t> heard = port::control::CapturedSound();
    size_t start = 0;  // the first frame played: before it, the pump mixed silence
    while (start < heard.size() / 2 && heard[2 * start] == 0)
        ++start;
    ASSERT_LT(start, beforeCommit);
    // A block being mixed as the commit is made may be captured just after it.
    const size_t surelyNew = afterCommit + 1024;
    size_t wrong = 0;
    size_t newHeard = 0;
    for (size_t k = start; k < heard.size() / 2; ++k) {
        size_t frame = (k - start) % kFrames;
        int16_t left = heard[2 * k];
        bool isOld = left == Old(frame);
        bool isNew = frame >= kFrames / 2 && left == New(frame);
        if (isNew) ++newHeard;
        bool allowed = k < beforeCommit                           ? isOld
                       : (k >= surelyNew && frame >= kFrames / 2) ? isNew
                                                                  : (isOld || isNew);
        if (!allowed || heard[2 * k + 1] != left) ++wrong;
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_GE(newHeard, kFrames / 2);
}

int StressSeconds() {
    const char* asked = std::getenv("UMBRAVA_STRESS_SECONDS");
    int seconds = asked != nullptr ? std::atoi(asked) : 0;
    return seconds > 0 ? seconds : 5;
}

// Counts the answers a thread did not expect, and keeps the last.
struct Unexpected {
    std::atomic<int> count{0};
    std::atomic<HRESULT> last{DS_OK};
    std::atomic<int> line{0};
    void Check(HRESULT result, std::initializer_list<HRESULT> allowed, int at = __builtin_LINE()) {
        for (HRESULT answer : allowed) {
            if (result == answer) return;
        }
        ++count;
        last = result;
        line = at;
    }
};

TEST_F(RealTimeSoundTest, EightBuffersPlayWhileOtherThreadsLockPlayMakeReleaseAndLoseThem) {
    struct Shape {
        DWORD rate;
        WORD channels;
    };
    const Shape shapes[] = {{44100, 2}, {22050, 1}, {11025, 1}, {48000, 2},
                            {44100, 1}, {22050, 2}, {32000, 2}, {8000, 1}};
    std::vector<HANDLE> events;
    std::vector<IDirectSoundBuffer*> buffers;
    std::vector<DWORD> sizes;
    for (const Shape& shape : shapes) {
        DWORD bytes = shape.rate / 2 * shape.channels * 2;  // half a second
        buffers.push_back(MakeBuffer(shape.rate, shape.channels, bytes));
        ASSERT_NE(buffers.back(), nullptr);
        sizes.push_back(bytes);
        IDirectSoundNotify* notify = nullptr;
        ASSERT_EQ(buffers.back()->QueryInterface(IID_IDirectSoundNotify,
                                                 reinterpret_cast<void**>(&notify)),
                  DS_OK);
        events.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        events.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        DSBPOSITIONNOTIFY positions[] = {{0, events[events.size() - 2]},
                                         {bytes / 2, events.back()}};
        ASSERT_EQ(notify->SetNotificationPositions(2, positions), DS_OK);
        notify->Release();
        ASSERT_EQ(buffers.back()->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    }
    port::control::StartSoundCapture(44100);
    port::control::ClearSoundMixerCalls();

    std::atomic<bool> stop{false};
    Unexpected unexpected;
    std::vector<std::thread> threads;
    // Makes buffers and releases them, some while they play.
    threads.emplace_back([&] {
        std::mt19937 random(1);
        while (!stop) {
            WAVEFORMATEX format = PcmFormat(22050 + random() % 30000, 1 + random() % 2);
            DSBUFFERDESC desc =
                sound_testing::BufferDesc(&format, format.nBlockAlign * (2 + random() % 20000));
            IDirectSoundBuffer* buffer = nullptr;
            unexpected.Check(mSound->CreateSoundBuffer(&desc, &buffer, nullptr), {DS_OK});
            if (buffer == nullptr) continue;
            // The loser may have lost it already.
            if (random() % 2 == 0) {
                unexpected.Check(buffer->Play(0, 0, random() % 2), {DS_OK, DSERR_BUFFERLOST});
            }
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
            buffer->Release();
        }
    });
    // Locks halves and commits them, as the engine's worker does.
    threads.emplace_back([&] {
        std::mt19937 random(2);
        while (!stop) {
            size_t which = random() % buffers.size();
            DWORD half = sizes[which] / 2;
            void* data = nullptr;
            DWORD bytes = 0;
            HRESULT result = buffers[which]->Lock(random() % 2 == 0 ? 0 : half, half, &data, &bytes,
                                                  nullptr, nullptr, 0);
            unexpected.Check(result, {DS_OK, DSERR_BUFFERLOST});
            if (result != DS_OK) continue;
            std::memset(data, static_cast<int>(random() % 64), bytes);
            unexpected.Check(buffers[which]->Unlock(data, bytes, nullptr, 0), {DS_OK});
        }
    });
    // Plays, stops, sets volumes and asks where the buffers are, restoring the lost.
    threads.emplace_back([&] {
        std::mt19937 random(3);
        while (!stop) {
            IDirectSoundBuffer* buffer = buffers[random() % buffers.size()];
            DWORD status = 0;
            unexpected.Check(buffer->GetStatus(&status), {DS_OK});
            if (status == DSBSTATUS_BUFFERLOST) unexpected.Check(buffer->Restore(), {DS_OK});
            switch (random() % 4) {
                case 0:
                    unexpected.Check(buffer->Play(0, 0, DSBPLAY_LOOPING),
                                     {DS_OK, DSERR_BUFFERLOST});
                    break;
                case 1:
                    unexpected.Check(buffer->Stop(), {DS_OK});
                    break;
                case 2:
                    unexpected.Check(buffer->SetVolume(-static_cast<LONG>(random() % 10001)),
                                     {DS_OK});
                    break;
                default: {
                    DWORD play = 0;
                    DWORD write = 0;
                    unexpected.Check(buffer->GetCurrentPosition(&play, &write), {DS_OK});
                    break;
                }
            }
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    // Loses every buffer now and then, and takes the events the mixer sets.
    threads.emplace_back([&] {
        int turn = 0;
        while (!stop) {
            if (++turn % 20 == 0) port::control::LoseSoundBuffers();
            for (HANDLE event : events)
                WaitForSingleObject(event, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });

    std::this_thread::sleep_for(std::chrono::seconds(StressSeconds()));
    stop = true;
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(unexpected.count.load(), 0) << std::hex << "last 0x" << unexpected.last.load()
                                          << std::dec << " at line " << unexpected.line.load();
    EXPECT_GT(port::control::SoundMixerCalls().count, 0u);
    EXPECT_GT(port::control::CapturedFrames(), 0u);
    for (IDirectSoundBuffer* buffer : buffers)
        buffer->Release();
    for (HANDLE event : events)
        CloseHandle(event);
    EXPECT_TRUE(port::control::SoundBuffers().empty());
}

TEST_F(RealTimeSoundTest, TheDeviceMayGoWhileThePumpMixesItsBuffers) {
    BufferPtr first(MakeBuffer(44100, 2, kOneSecond));
    BufferPtr second(MakeBuffer(22050, 1, kOneSecond / 4));
    ASSERT_EQ(first->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(second->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    mSound.Reset();
    DWORD status = 0;
    EXPECT_EQ(first->GetStatus(&status), DSERR_UNINITIALIZED);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    first.Reset();
    second.Reset();
    EXPECT_TRUE(port::control::SoundBuffers().empty());
}

}  // namespace
