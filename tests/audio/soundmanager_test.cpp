// The sound manager on the null device and the fake clock: volumes by group and their
// re-application, the worker's pacing, activation, pausing and stopping by group, the finished
// list and its notifications, the device's failures, and the worker's life.
#include <dirent.h>

#include <chrono>
#include <cmath>
#include <future>
#include <thread>

#include "audio/soundhooks.h"
#include "audio/soundlock.h"
#include "enginefixture.h"
#include "port/sound/dsresult.h"

namespace audio_testing {
namespace {

using Strings = std::vector<std::string>;

std::shared_ptr<PatternSource> Pattern(double seconds) {
    return std::make_shared<PatternSource>(44100, 2, static_cast<uint64_t>(seconds * 44100) * 4);
}

// The volumes the calls set, in order, for one buffer (0: any).
std::vector<long> VolumesSet(uint32_t buffer = 0) {
    std::vector<long> volumes;
    for (const std::string& args : Calls("SetVolume")) {
        if (buffer != 0 && args.find("buffer=" + std::to_string(buffer) + " ") != 0) continue;
        volumes.push_back(std::stol(args.substr(args.find("volume=") + 7)));
    }
    return volumes;
}

size_t Threads() {
    size_t count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(tasks)) {
            if (entry->d_name[0] != '.') ++count;
        }
        closedir(tasks);
    }
    return count;
}

class SoundManagerTest : public SoundEngineTest {};

TEST_F(SoundManagerTest, AGroupWithoutAFactorPlaysAtTheMasterVolume) {
    TSoundManager* sound = Start();
    EXPECT_FLOAT_EQ(sound->GetVolume(7), 1.0f);
    sound->SetMasterVolume(0.5f);
    // Asking stored nothing for the group: it still follows the master.
    EXPECT_FLOAT_EQ(sound->GetVolume(7), 0.5f);
    EXPECT_FLOAT_EQ(sound->GetVolume(-1), 0.5f);
    sound->SetGroupVolume(1000, 0.4f);
    EXPECT_FLOAT_EQ(sound->GetVolume(1000), 0.2f);
    EXPECT_FLOAT_EQ(sound->GetVolume(1001), 0.5f);
}

TEST_F(SoundManagerTest, ApplyingAVolumeSetsItTwiceEndingOnIt) {
    struct Case {
        float master;
        std::vector<long> set;
    } cases[] = {
        {0.5f, {-2750, -2500}},  {0.2f, {-3750, -4000}},  {1.0f, {-250, 0}},
        {0.0f, {-4750, -10000}}, {NAN, {-10000, -10000}},
    };
    TSoundManager* sound = Start();
    PlaySound(Pattern(3.0), true);
    port::control::KeepCallLog(true);
    for (const Case& c : cases) {
        port::control::KeepCallLog(true);  // starts it empty
        sound->SetMasterVolume(c.master);
        EXPECT_EQ(VolumesSet(), c.set) << c.master;
    }
}

TEST_F(SoundManagerTest, AGroupVolumeIsAppliedAtOnce) {
    TSoundManager* sound = Start();
    PlaySound(Pattern(3.0), true, 1000);
    PlaySound(Pattern(3.0), true, 1001);
    sound->SetGroupVolume(1000, 0.5f);
    std::vector<port::control::SoundBufferInfo> buffers = Buffers();
    ASSERT_EQ(buffers.size(), 2u);
    EXPECT_EQ(buffers[0].volume, -2500);
    EXPECT_EQ(buffers[1].volume, 0);
}

TEST_F(SoundManagerTest, TheWorkerRefillsOnlyAfterMoreThan500Milliseconds) {
    TSoundManager* sound = Start();
    PlaySound(Pattern(10.0), false);
    port::control::KeepCallLog(true);
    for (int round = 0; round < 2; ++round) {
        port::control::AdvanceTime(500);
        sound->RunWorkerPass();
        EXPECT_EQ(Calls("GetCurrentPosition").size(), 0u) << round;
        port::control::AdvanceTime(1);
        sound->RunWorkerPass();
        EXPECT_EQ(Calls("GetCurrentPosition").size(), 1u) << round;
        // Just refilled: the clock starts again.
        sound->RunWorkerPass();
        EXPECT_EQ(Calls("GetCurrentPosition").size(), 1u) << round;
        port::control::KeepCallLog(true);
    }
}

TEST_F(SoundManagerTest, AStreamThatEndedOnTheWorkerLivesUntilTheCallbacksAreDispatched) {
    TSoundManager* sound = Start();
    auto notify = std::make_shared<RecordingNotify>();
    TSoundStream* stream = PlaySound(Pattern(0.5), false, 0, notify);
    std::weak_ptr<TSoundStream> watched = stream->weak_from_this();
    Run(3000);
    EXPECT_TRUE(Alive(watched));
    EXPECT_TRUE(notify->told.empty());
    EXPECT_EQ(Buffers().size(), 1u);
    sound->DispatchCallbacks();
    EXPECT_FALSE(Alive(watched));
    EXPECT_EQ(notify->told, std::vector<TSoundStream*>{stream});
    EXPECT_TRUE(Buffers().empty());
    sound->DispatchCallbacks();
    EXPECT_EQ(notify->told.size(), 1u);
}

TEST_F(SoundManagerTest, ResumingAGroupAppliesEveryVolumeAndPausingNone) {
    TSoundManager* sound = Start();
    PlaySound(Pattern(3.0), true, 1);
    PlaySound(Pattern(3.0), true, 2);
    std::vector<port::control::SoundBufferInfo> buffers = Buffers();
    ASSERT_EQ(buffers.size(), 2u);
    const uint32_t first = buffers[0].id;
    const uint32_t second = buffers[1].id;

    port::control::KeepCallLog(true);
    sound->PauseGroup(true, 1);
    EXPECT_TRUE(VolumesSet().empty());
    EXPECT_FALSE(Buffers()[0].playing);
    EXPECT_TRUE(Buffers()[1].playing);

    port::control::KeepCallLog(true);
    sound->PauseGroup(false, 1);
    // The resumed stream plays at its volume, then every stream gets its volume again.
    EXPECT_EQ(VolumesSet(first), (std::vector<long>{0, -250, 0}));
    EXPECT_EQ(VolumesSet(second), (std::vector<long>{-250, 0}));
    EXPECT_TRUE(Buffers()[0].playing);

    sound->PauseGroup(true, -1);
    EXPECT_FALSE(Buffers()[0].playing);
    EXPECT_FALSE(Buffers()[1].playing);
}

TEST_F(SoundManagerTest, StoppingAGroupDestroysItsStreamsOneByOne) {
    TSoundManager* sound = Start();
    auto a = std::make_shared<RecordingNotify>();
    auto b = std::make_shared<RecordingNotify>();
    auto c = std::make_shared<RecordingNotify>();
    std::vector<TSoundStream*> order;
    TSoundStream* streamB = PlaySound(Pattern(3.0), true, 2, b);
    TSoundStream* streamA = PlaySound(Pattern(3.0), true, 1, a);
    TSoundStream* streamC = PlaySound(Pattern(3.0), true, 1, c);
    std::weak_ptr<TSoundStream> watchedB = streamB->weak_from_this();
    for (auto* notify : {a.get(), b.get(), c.get()})
        notify->onDone = [&order](TSoundStream* stream) { order.push_back(stream); };

    sound->StopGroup(1);
    EXPECT_EQ(order, (std::vector<TSoundStream*>{streamA, streamC}));
    EXPECT_TRUE(Alive(watchedB));
    EXPECT_EQ(Buffers().size(), 1u);

    // A notification that stops a stream further down the list: that one goes at once, inside
    // the notification, and the walk passes over it.
    TSoundStream* streamD = PlaySound(Pattern(3.0), true, 3, a);
    TSoundStream* streamE = PlaySound(Pattern(3.0), true, 4, c);
    a->onDone = [&](TSoundStream* stream) {
        order.push_back(stream);
        streamE->Stop(false);
    };
    order.clear();
    sound->StopGroup(-1);
    EXPECT_EQ(order, (std::vector<TSoundStream*>{streamB, streamD, streamE}));
    EXPECT_EQ(b->told.size(), 1u);
    EXPECT_EQ(c->told.size(), 2u);  // C earlier, E now
    EXPECT_TRUE(Buffers().empty());
    sound->DispatchCallbacks();
    EXPECT_EQ(order.size(), 3u);
}

TEST_F(SoundManagerTest, ActivationResumesOnlyWhatItSuspended) {
    TSoundManager* sound = Start();
    TSoundStream* playing = PlaySound(Pattern(3.0), true);
    TSoundStream* paused = PlaySound(Pattern(3.0), true);
    paused->Pause(true);

    sound->SetActive(false);
    EXPECT_FALSE(Buffers()[0].playing);
    EXPECT_FALSE(Buffers()[1].playing);
    EXPECT_TRUE(playing->IsSuspended());
    EXPECT_FALSE(paused->IsSuspended());

    // A sound started while inactive waits for the activation.
    TSoundStream* started = PlaySound(Pattern(3.0), true);
    EXPECT_FALSE(Buffers()[2].playing);
    EXPECT_TRUE(started->IsSuspended());

    port::control::KeepCallLog(true);
    sound->SetActive(true);
    EXPECT_TRUE(Buffers()[0].playing);
    EXPECT_FALSE(Buffers()[1].playing);
    EXPECT_TRUE(Buffers()[2].playing);
    EXPECT_TRUE(paused->IsPaused());
    EXPECT_FALSE(playing->IsSuspended());
    // The volumes go out again to every stream, once for each stream of the walk.
    EXPECT_EQ(VolumesSet(Buffers()[1].id).size(), 6u);
}

// Activation walks the streams, and after each stream's resumption every stream gets its volume
// again: the resumed one plays at its volume, then all of them go through ApplyVolume.
TEST_F(SoundManagerTest, ActivationAppliesEveryVolumeAfterEachStream) {
    TSoundManager* sound = Start();
    PlaySound(Pattern(3.0), true);
    PlaySound(Pattern(3.0), true);
    const std::string first = "buffer=" + std::to_string(Buffers()[0].id) + " ";
    const std::string second = "buffer=" + std::to_string(Buffers()[1].id) + " ";
    sound->SetActive(false);

    port::control::KeepCallLog(true);
    sound->SetActive(true);
    Strings set;
    for (const std::string& args : Calls("SetVolume"))
        set.push_back(args.substr(0, args.find(' ') + 1) + args.substr(args.find("volume=")));
    const Strings all = {first + "volume=-250", first + "volume=0", second + "volume=-250",
                         second + "volume=0"};
    Strings expected = {first + "volume=0"};
    expected.insert(expected.end(), all.begin(), all.end());
    expected.push_back(second + "volume=0");
    expected.insert(expected.end(), all.begin(), all.end());
    EXPECT_EQ(set, expected);
}

// Without a device the manager runs all the same: the worker goes on and each sound is timed by
// its stream's clock, whichever step of the device's start failed.
TEST_F(SoundManagerTest, WithoutADeviceSoundsEndAfterTheirLength) {
    struct Case {
        const char* operation;
        bool primaryOnly;
        size_t devices;  // the manager keeps a device it made until its end
    } cases[] = {
        {"DirectSoundCreate", false, 0},
        {"IDirectSound::SetCooperativeLevel", false, 1},
        {"CreateSoundBuffer", true, 1},
    };
    for (const Case& c : cases) {
        port::control::Failure failure;
        failure.code = static_cast<uint32_t>(DSERR_OUTOFMEMORY);
        if (c.primaryOnly) {
            failure.when = [](const port::CallInfo& call) {
                return call.Arg("flags") == DSBCAPS_PRIMARYBUFFER;
            };
        }
        port::control::InjectFailure(c.operation, failure);
        mLog.Clear();
        TSoundManager* sound = Start();
        EXPECT_FALSE(sound->IsStarted()) << c.operation;
        EXPECT_TRUE(sound->IsWorkerRunning()) << c.operation;
        Strings lines = mLog.Messages();
        ASSERT_EQ(lines.size(), 1u) << c.operation;
        EXPECT_EQ(lines[0].rfind("DX Error:  (0x88780807), File soundmanager.cpp, Line ", 0), 0u)
            << lines[0];
        EXPECT_EQ(port::control::SoundDevices().size(), c.devices) << c.operation;

        auto notify = std::make_shared<RecordingNotify>();
        TSoundStream* stream = PlaySound(Pattern(1.2), false, 0, notify);
        EXPECT_FALSE(stream->HasBuffer());
        std::weak_ptr<TSoundStream> watched = stream->weak_from_this();
        Run(1200);  // passes at 550 and 1,100 ms
        sound->DispatchCallbacks();
        EXPECT_TRUE(notify->told.empty()) << c.operation;
        Run(450);  // the pass at 1,650 ms
        EXPECT_TRUE(Alive(watched));
        sound->DispatchCallbacks();
        sound->DispatchCallbacks();
        EXPECT_EQ(notify->told.size(), 1u) << c.operation;
        EXPECT_FALSE(Alive(watched));
        EndManager();
        EXPECT_TRUE(port::control::SoundDevices().empty()) << c.operation;
        port::control::ClearFailures();
    }
}

TEST_F(SoundManagerTest, ALoopingSoundWithoutADeviceEndsAfterOneLength) {
    port::control::InjectFailure("DirectSoundCreate", static_cast<uint32_t>(DSERR_NODRIVER), 1);
    TSoundManager* sound = Start();
    auto notify = std::make_shared<RecordingNotify>();
    PlaySound(Pattern(0.8), true, 0, notify);
    Run(1100);
    sound->DispatchCallbacks();
    EXPECT_EQ(notify->told.size(), 1u);
}

// Without a device the clocks stand still while the application is inactive, and a sound the
// game paused stays paused through the deactivation and the activation: it does not end while
// paused, only once it has played its length.
TEST_F(SoundManagerTest, WithoutADeviceAPausedSoundStaysPausedAcrossActivation) {
    port::control::InjectFailure("DirectSoundCreate", static_cast<uint32_t>(DSERR_NODRIVER), 1);
    TSoundManager* sound = Start();
    auto pausedNotify = std::make_shared<RecordingNotify>();
    auto playingNotify = std::make_shared<RecordingNotify>();
    TSoundStream* paused = PlaySound(Pattern(1.2), false, 0, pausedNotify);
    PlaySound(Pattern(1.2), false, 0, playingNotify);
    Run(500);
    paused->Pause(true);
    sound->SetActive(false);
    Run(3000);
    sound->SetActive(true);
    EXPECT_TRUE(paused->IsPaused());
    Run(600);  // 1.1 s played by the one, 0.5 s by the other
    sound->DispatchCallbacks();
    EXPECT_TRUE(playingNotify->told.empty());
    Run(600);
    sound->DispatchCallbacks();
    EXPECT_EQ(playingNotify->told.size(), 1u);
    EXPECT_TRUE(pausedNotify->told.empty());
    paused->Pause(false);
    Run(600);
    sound->DispatchCallbacks();
    EXPECT_TRUE(pausedNotify->told.empty());
    Run(600);
    sound->DispatchCallbacks();
    EXPECT_EQ(pausedNotify->told.size(), 1u);
}

TEST_F(SoundManagerTest, ALaterStartTriesTheDeviceAgainWithTheSameWorker) {
    port::control::InjectFailure("DirectSoundCreate", static_cast<uint32_t>(DSERR_NODRIVER), 2);
    mManager = std::make_unique<TSoundManager>();
    TSoundManager* sound = mManager.get();
    // The process's first thread may bring one of the thread sanitizer's own: not counted.
    std::thread([] {}).join();
    size_t before = Threads();
    EXPECT_FALSE(sound->StartThread());
    size_t withWorker = Threads();
    EXPECT_EQ(withWorker, before + 1);
    EXPECT_FALSE(sound->StartThread());
    EXPECT_EQ(Threads(), withWorker);
    EXPECT_TRUE(sound->StartThread());
    EXPECT_TRUE(sound->StartThread());
    EXPECT_TRUE(sound->IsStarted());
    // The device: the output's thread (the null device's pump) and nothing more.
    EXPECT_EQ(port::control::SoundDevices().size(), 1u);
}

// A device that came up but failed a later step stays with the manager; trying again lets go of
// it first, so that one device is left whatever the number of tries.
TEST_F(SoundManagerTest, ATryAfterAFailedStepLetsGoOfTheDeviceItKept) {
    port::control::InjectFailure("IDirectSound::SetCooperativeLevel",
                                 static_cast<uint32_t>(DSERR_OUTOFMEMORY), 2);
    mManager = std::make_unique<TSoundManager>();
    TSoundManager* sound = mManager.get();
    EXPECT_FALSE(sound->StartThread());
    EXPECT_EQ(port::control::SoundDevices().size(), 1u);
    EXPECT_FALSE(sound->StartThread());
    EXPECT_EQ(port::control::SoundDevices().size(), 1u);
    EXPECT_TRUE(sound->StartThread());
    EXPECT_EQ(port::control::SoundDevices().size(), 1u);
    EXPECT_NE(sound->GetDevice(), nullptr);
    EndManager();
    EXPECT_TRUE(port::control::SoundDevices().empty());
}

TEST_F(SoundManagerTest, AManagerNeverStartedEndsWithoutAWorker) {
    mManager = std::make_unique<TSoundManager>();
    EXPECT_FALSE(mManager->IsWorkerRunning());
    mManager->SetMasterVolume(0.25f);
    EXPECT_FLOAT_EQ(mManager->GetVolume(3), 0.25f);
    EndManager();
}

TEST_F(SoundManagerTest, DestroyingTheManagerEndsEveryStreamAndTheDevice) {
    TSoundManager* sound = Start();
    auto notify = std::make_shared<RecordingNotify>();
    bool closing = false;
    notify->onDone = [&](TSoundStream*) { closing = sound->IsClosing(); };
    PlaySound(Pattern(3.0), true, 0, notify);
    TSoundStream* ended = PlaySound(Pattern(0.3), false, 0, notify);
    ended->Stop(true);  // waits in the finished list
    EndManager();
    EXPECT_EQ(notify->told.size(), 2u);
    EXPECT_TRUE(closing);
    EXPECT_TRUE(port::control::SoundDevices().empty());
    EXPECT_TRUE(Buffers().empty());
}

TEST_F(SoundManagerTest, TheSoundLockIsReentrantAndTakenOnlyWhileThereIsAManager) {
    TSoundManager* sound = Start();
    {
        TSoundLock outer;
        TSoundLock inner(sound);
        sound->SetMasterVolume(0.5f);  // takes it a third time
    }
    // Released as often as taken: another thread gets it.
    std::thread other([sound] { TSoundLock lock(sound); });
    other.join();
    EndManager();
    TSoundLock none;  // no manager: nothing taken, nothing released
}

// A lock releases what it took, even when the manager it would find now is another, or none.
TEST_F(SoundManagerTest, TheSoundLockReleasesWhatItTook) {
    TSoundManager* sound = Start();
    {
        TSoundLock lock;
        soundhooks::Install({});
    }
    auto taken = std::async(std::launch::async, [sound] { TSoundLock lock(sound); });
    EXPECT_EQ(taken.wait_for(std::chrono::seconds(10)), std::future_status::ready);
}

}  // namespace
}  // namespace audio_testing
