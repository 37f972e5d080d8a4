// Sound streams on the null device and the fake clock: buffer sizes, one-shot and ring buffers,
// the choice of the half to refill from the device's cursors, volumes, stopping, lost buffers,
// failures while making the buffer, and queued continuations, heard through the capture.
#include <algorithm>
#include <cmath>

#include "audio/sound.h"
#include "audio/soundinstance.h"
#include "audio/streamspooler.h"
#include "enginefixture.h"
#include "port/sound/dsresult.h"

namespace audio_testing {
namespace {

constexpr uint32_t kOneSecond = 176400;  // 44,100 Hz stereo
constexpr uint32_t kHalf = kOneSecond;   // of the two-second buffer
constexpr size_t kFramesPerSecond = 44100;

std::shared_ptr<PatternSource> Pattern(double seconds, uint32_t rate = 44100,
                                       uint32_t channels = 2) {
    uint64_t frames = static_cast<uint64_t>(std::llround(seconds * rate));
    return std::make_shared<PatternSource>(rate, channels, frames * 2 * channels);
}

// The offsets of the halves the refills locked, in order.
std::vector<uint32_t> LockedOffsets() {
    std::vector<uint32_t> offsets;
    for (const std::string& args : Calls("IDirectSoundBuffer::Lock"))
        offsets.push_back(std::stoul(args.substr(args.find("offset=") + 7)));
    return offsets;
}

class SoundStreamTest : public SoundEngineTest {
protected:
    void SetUp() override {
        SoundEngineTest::SetUp();
        Start();
    }
};

TEST_F(SoundStreamTest, TheBufferHoldsTwoSecondsInWholeFramesRoundedUpTo8Bytes) {
    struct Case {
        uint32_t rate;
        uint32_t channels;
        float seconds;
        uint32_t size;
        float length;
    } cases[] = {
        {44100, 2, 2.0f, 352800, 2.0f},
        {11025, 1, 2.0f, 44104, 44104.0f / 22050.0f},
        {22050, 1, 2.0f, 88200, 2.0f},
        {44100, 1, 0.5f, 44104, 44104.0f / 88200.0f},
        // Nothing to hold: the smallest buffer.
        {44100, 2, 0.0f, 4, 4.0f / kOneSecond},
        {44100, 2, NAN, 4, 4.0f / kOneSecond},
    };
    for (const Case& c : cases) {
        TSoundStream* stream = MakeStream(Pattern(1.0, c.rate, c.channels));
        ASSERT_TRUE(stream->CreateBuffer(c.rate, c.channels, 16, c.seconds)) << c.size;
        EXPECT_EQ(stream->GetBufferSize(), c.size);
        EXPECT_FLOAT_EQ(stream->GetBufferLength(), c.length) << c.size;
        std::vector<port::control::SoundBufferInfo> buffers = Buffers();
        EXPECT_EQ(buffers.back().size, c.size);
        EXPECT_EQ(buffers.back().flags, 0x18180u);
        stream->Stop(false);
    }
    EXPECT_NEAR(44104.0 / 22050.0, 2.00018, 0.00001);
}

TEST_F(SoundStreamTest, ASoundShorterThanTheBufferPlaysOnceAndALongerOneStreams) {
    port::control::KeepCallLog(true);
    TSoundStream* once = PlaySound(Pattern(1.5));
    TSoundStream* ring = PlaySound(Pattern(3.3));
    TSoundStream* looping = PlaySound(Pattern(1.5), true);
    EXPECT_TRUE(once->IsOneShot());
    EXPECT_FALSE(ring->IsOneShot());
    EXPECT_FALSE(looping->IsOneShot());
    std::vector<std::string> plays = Calls("Play");
    ASSERT_EQ(plays.size(), 3u);
    EXPECT_NE(plays[0].find("flags=0x0"), std::string::npos) << plays[0];
    EXPECT_NE(plays[1].find("flags=0x1"), std::string::npos) << plays[1];
    EXPECT_NE(plays[2].find("flags=0x1"), std::string::npos) << plays[2];
    std::vector<port::control::SoundBufferInfo> buffers = Buffers();
    EXPECT_FALSE(buffers[0].looping);
    EXPECT_TRUE(buffers[1].looping);
    // Only the first half is filled before the sound starts.
    EXPECT_EQ(buffers[0].committed, kHalf);
    EXPECT_EQ(Calls("SetNotificationPositions").size(), 3u);
    EXPECT_NE(Calls("SetNotificationPositions")[0].find("count=2"), std::string::npos);
}

// The half is chosen from the cursors: the one the play position has left behind, once.
TEST_F(SoundStreamTest, ARefillFillsTheHalfThePlayPositionLeftAndOnlyOnce) {
    TSoundStream* stream = PlaySound(Pattern(30.0));
    struct Step {
        uint32_t at;  // ms since the start
        std::vector<uint32_t> locked;
    } steps[] = {
        // write in the first half: the second
        {100, {kHalf}},
        // again in the first half: nothing more
        {200, {}},
        // play in the first half, write in the second: neither
        {995, {}},
        // play in the second: the first
        {1100, {0}},
        {1500, {}},
        // write around to the first, play still in the last bytes of the second: neither
        {1995, {}},
        // around again
        {2100, {kHalf}},
    };
    uint32_t now = 0;
    for (const Step& step : steps) {
        port::control::AdvanceTime(step.at - now);
        now = step.at;
        port::control::KeepCallLog(true);
        EXPECT_TRUE(stream->Refill(false)) << step.at;
        EXPECT_EQ(LockedOffsets(), step.locked) << step.at;
    }
}

// A pass that comes while the play position is in the last bytes of the buffer, its write
// position already around at the start, writes nothing: the bytes still to be played there are
// heard as they were.
TEST_F(SoundStreamTest, ARefillNeverOverwritesWhatIsAboutToPlay) {
    auto source = Pattern(4.0);
    port::control::StartSoundCapture(kFramesPerSecond * 4);
    PlaySound(source);
    uint32_t now = 0;
    for (uint32_t at : {600u, 1200u, 1995u, 2600u, 3200u}) {
        port::control::AdvanceTime(at - now);
        now = at;
        mManager->RunWorkerPass();
    }
    port::control::AdvanceTime(300);
    std::vector<int16_t> heard = Captured();
    std::vector<int16_t> expected = PatternSource::Samples(0, 3 * kOneSecond);
    ASSERT_GE(heard.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), heard.begin()));
}

TEST_F(SoundStreamTest, VolumesInHundredthsOfADecibel) {
    struct Case {
        float volume;
        long level;
    } cases[] = {
        {0.0f, -10000}, {1.0f, 0},      {0.5f, -2500},   {2.0f, 0},       {NAN, -10000},
        {0.25f, -3750}, {-1.0f, -5000}, {0.001f, -4995}, {-0.0f, -10000}, {INFINITY, 0},
    };
    TSoundStream* stream = PlaySound(Pattern(3.0));
    for (const Case& c : cases) {
        stream->SetVolume(c.volume);
        EXPECT_EQ(Buffers()[0].volume, c.level) << c.volume;
    }
}

TEST_F(SoundStreamTest, ALostBufferIsRestoredBeforeItsVolumeChanges) {
    TSoundStream* stream = PlaySound(Pattern(3.0));
    port::control::LoseSoundBuffers();
    EXPECT_TRUE(Buffers()[0].lost);
    port::control::KeepCallLog(true);
    stream->SetVolume(0.5f);
    EXPECT_FALSE(Buffers()[0].lost);
    EXPECT_EQ(Buffers()[0].volume, -2500);
    EXPECT_EQ(Calls("IDirectSoundBuffer::Restore").size(), 1u);
    stream->SetVolume(0.5f);
    EXPECT_EQ(Calls("IDirectSoundBuffer::Restore").size(), 1u);
}

TEST_F(SoundStreamTest, StoppingTwiceStopsOnce) {
    for (bool notify : {false, true}) {
        auto target = std::make_shared<RecordingNotify>();
        std::shared_ptr<TSoundStream> held =
            PlaySound(Pattern(3.0), true, 0, target)->shared_from_this();
        port::control::KeepCallLog(true);
        held->Stop(notify);
        held->Stop(notify);
        EXPECT_EQ(Calls("Stop").size(), 1u) << notify;
        held.reset();
        mManager->DispatchCallbacks();
        EXPECT_EQ(target->told.size(), 1u) << notify;
        EXPECT_TRUE(Buffers().empty()) << notify;
    }
}

// A sound played once and paused (by the game, or by the application's deactivation) once both
// halves are filled stays paused as long as it is, whatever passes the worker makes: its stopped
// buffer is not taken for one that played to its end. Resumed, it plays the rest, then ends.
TEST_F(SoundStreamTest, APausedOneShotSoundWaitsForItsResumption) {
    for (bool deactivate : {false, true}) {
        auto source = Pattern(1.5);
        auto target = std::make_shared<RecordingNotify>();
        port::control::StartSoundCapture(kFramesPerSecond * 6);
        std::weak_ptr<TSoundStream> stream =
            PlaySound(source, false, 0, target)->shared_from_this();
        ASSERT_TRUE(stream.lock()->IsOneShot());
        auto hold = [&](bool held) {
            if (deactivate) {
                mManager->SetActive(!held);
            } else {
                stream.lock()->Pause(held);
            }
        };
        Run(600);  // the second half is filled
        hold(true);
        Run(2000);
        mManager->DispatchCallbacks();
        ASSERT_TRUE(Alive(stream)) << deactivate;
        EXPECT_TRUE(target->told.empty()) << deactivate;
        hold(false);
        Run(3000);
        mManager->DispatchCallbacks();
        EXPECT_FALSE(Alive(stream)) << deactivate;
        EXPECT_EQ(target->told.size(), 1u) << deactivate;
        // Every sample once, in order: the pause only put silence between them.
        std::vector<int16_t> heard = Captured();
        std::erase(heard, int16_t{0});
        EXPECT_EQ(heard, PatternSource::Samples(0, source->GetTotalBytes())) << deactivate;
    }
}

TEST_F(SoundStreamTest, AStopWithoutNotifyDestroysTheStreamWithTheLastReference) {
    auto target = std::make_shared<RecordingNotify>();
    TSoundStream* stream = PlaySound(Pattern(3.0), true, 0, target);
    stream->Stop(false);  // the manager held the only reference
    EXPECT_EQ(target->told, std::vector<TSoundStream*>{stream});
    EXPECT_TRUE(Buffers().empty());
}

// A buffer that cannot be made leaves a silent stream, timed by its clock. Every failed step is
// reported but the events'.
TEST_F(SoundStreamTest, AFailedBufferLeavesASilentStream) {
    struct Case {
        const char* operation;
        bool reported;
    } cases[] = {
        {"CreateSoundBuffer", true},
        {"CreateEventA", false},
        {"IDirectSoundBuffer::QueryInterface", true},
        {"SetNotificationPositions", true},
    };
    for (const Case& c : cases) {
        port::control::InjectFailure(c.operation, static_cast<uint32_t>(DSERR_OUTOFMEMORY), 1);
        mLog.Clear();
        auto target = std::make_shared<RecordingNotify>();
        TSoundStream* stream = MakeStream(Pattern(0.7), false, 0, target);
        EXPECT_FALSE(stream->CreateBuffer(44100, 2, 16, 2.0f)) << c.operation;
        EXPECT_FALSE(stream->HasBuffer()) << c.operation;
        EXPECT_EQ(stream->GetBufferSize(), 0u);
        EXPECT_TRUE(Buffers().empty()) << c.operation;
        std::vector<std::string> lines = mLog.Messages();
        EXPECT_EQ(lines.size(), c.reported ? 1u : 0u) << c.operation;
        if (c.reported && !lines.empty()) {
            EXPECT_EQ(lines[0].rfind("DX Error:  (0x88780807), File soundstream.cpp, Line ", 0), 0u)
                << lines[0];
        }
        stream->Play(false);
        Run(1100);
        mManager->DispatchCallbacks();
        EXPECT_EQ(target->told.size(), 1u) << c.operation;
        port::control::ClearFailures();
    }
}

TEST_F(SoundStreamTest, AFailedLockEndsTheStream) {
    auto target = std::make_shared<RecordingNotify>();
    PlaySound(Pattern(30.0), true, 0, target);
    port::control::InjectFailure("IDirectSoundBuffer::Lock",
                                 static_cast<uint32_t>(DSERR_BUFFERLOST), 1);
    mLog.Clear();
    Run(600);
    mManager->DispatchCallbacks();
    EXPECT_EQ(target->told.size(), 1u);
    ASSERT_EQ(mLog.Messages().size(), 1u);
    EXPECT_EQ(mLog.Messages()[0].rfind("DX Error:  (0x88780808), File streamrefill.cpp", 0), 0u);
}

// A sound queued behind another carries on where the first one's data ends, within the same
// half: the two are heard back to back, without a gap.
TEST_F(SoundStreamTest, AContinuationFollowsWithinTheHalf) {
    auto first = Pattern(2.3);  // its data ends in the middle of a half
    auto second = std::make_shared<PatternSource>(44100, 2, 44100 * 4);
    auto firstNotify = std::make_shared<RecordingNotify>();
    auto secondNotify = std::make_shared<RecordingNotify>();
    port::control::StartSoundCapture(44100 * 8);
    TSoundStream* stream = PlaySound(first, false, 0, firstNotify);
    ASSERT_TRUE(stream->QueueNext(secondNotify, std::make_unique<TStreamSpooler>(second)));
    std::weak_ptr<TSoundStream> watched = stream->weak_from_this();
    // The instance that controls the stream follows it to the queued sound.
    auto firstSound = std::make_shared<TSound>();
    auto secondSound = std::make_shared<TSound>();
    auto instance = std::make_shared<TSoundInstance>(stream);
    instance->SetSound(firstSound);
    instance->SetNext(secondSound);
    stream->SetInstance(instance);

    // The switch comes with the refill that reads the first one's end, ahead of the play
    // position (the pass at 1,100 ms).
    Run(1000);
    EXPECT_EQ(instance->GetSound(), firstSound);
    Run(1500);
    EXPECT_EQ(instance->GetSound(), secondSound);
    EXPECT_EQ(instance->GetNext(), nullptr);
    EXPECT_EQ(instance->GetStream(), stream);
    // The first sound's target hears of it on the main thread, while the stream plays on.
    EXPECT_TRUE(firstNotify->told.empty());
    mManager->DispatchCallbacks();
    EXPECT_EQ(firstNotify->told, std::vector<TSoundStream*>{stream});
    EXPECT_EQ(stream->GetNotify(), secondNotify);
    Run(3000);
    mManager->DispatchCallbacks();
    EXPECT_FALSE(Alive(watched));
    EXPECT_EQ(firstNotify->told.size(), 1u);
    EXPECT_EQ(secondNotify->told.size(), 1u);
    EXPECT_EQ(instance->GetStream(), nullptr);

    std::vector<int16_t> expected = PatternSource::Samples(0, first->GetTotalBytes());
    std::vector<int16_t> next = PatternSource::Samples(0, second->GetTotalBytes());
    expected.insert(expected.end(), next.begin(), next.end());
    std::vector<int16_t> heard = Captured();
    ASSERT_GE(heard.size(), expected.size() + 1000);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), heard.begin()));
    EXPECT_TRUE(std::all_of(heard.begin() + expected.size(), heard.end(),
                            [](int16_t s) { return s == 0; }));
}

// A continuation queued while the first sound already drains is heard whole: the drain starts
// over for it.
TEST_F(SoundStreamTest, AContinuationQueuedDuringTheDrainIsHeardToItsEnd) {
    auto first = Pattern(2.5);
    auto second = Pattern(1.8);
    port::control::StartSoundCapture(44100 * 10);
    TSoundStream* stream = PlaySound(first);
    std::weak_ptr<TSoundStream> watched = stream->weak_from_this();
    Run(2500);  // the data ended at the pass of 1,100 ms; the drain began at 2,200 ms
    ASSERT_TRUE(stream->QueueNext(nullptr, std::make_unique<TStreamSpooler>(second)));
    Run(5000);
    mManager->DispatchCallbacks();
    EXPECT_FALSE(Alive(watched));

    std::vector<int16_t> heard = Captured();
    std::vector<int16_t> one = PatternSource::Samples(0, first->GetTotalBytes());
    std::vector<int16_t> two = PatternSource::Samples(0, second->GetTotalBytes());
    ASSERT_GE(heard.size(), 2 * 44100 * 6u);
    EXPECT_TRUE(std::equal(one.begin(), one.end(), heard.begin()));
    // The second begins with the next half, at 4 seconds.
    auto start = heard.begin() + 2 * 44100 * 4;
    EXPECT_TRUE(std::all_of(heard.begin() + one.size(), start, [](int16_t s) { return s == 0; }));
    EXPECT_TRUE(std::equal(two.begin(), two.end(), start));
    EXPECT_TRUE(std::all_of(start + two.size(), heard.end(), [](int16_t s) { return s == 0; }));
}

// A looping sound without data cannot fill a half: its stream drains and ends.
TEST_F(SoundStreamTest, ALoopingSoundWithoutDataEndsItsStream) {
    auto empty = std::make_shared<PatternSource>(44100, 2, 176400 * 3);
    empty->Delivering(0);
    auto target = std::make_shared<RecordingNotify>();
    PlaySound(empty, true, 0, target);
    Run(3000);
    mManager->DispatchCallbacks();
    EXPECT_EQ(target->told.size(), 1u);
    EXPECT_TRUE(Buffers().empty());
}

TEST_F(SoundStreamTest, AContinuationIsRefusedOnceTheLastSoundHasDrained) {
    TSoundStream* stream = PlaySound(Pattern(2.5));
    std::shared_ptr<TSoundStream> held = stream->shared_from_this();
    Run(3300);  // drained: the stream has ended
    auto spooler = std::make_unique<TStreamSpooler>(Pattern(1.0));
    EXPECT_FALSE(held->QueueNext(nullptr, std::move(spooler)));
    EXPECT_NE(spooler, nullptr);  // still the caller's
}

}  // namespace
}  // namespace audio_testing
