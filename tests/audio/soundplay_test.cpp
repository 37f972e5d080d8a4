// TSound on the null device and the fake clock: plays played once or through the ring, the
// instances' controls, stops and their callbacks (inside the stop, on the main thread after an
// end, never after the receiver or the sound is gone), whole-sound stops and pauses whose
// callbacks start and stop sounds, queued sounds, and plays without a manager or without data.
#include <algorithm>
#include <functional>
#include <string>

#include "audio/oggdatasource.h"
#include "audio/sound.h"
#include "audio/soundcallback.h"
#include "audio/soundinstance.h"
#include "enginefixture.h"
#include "oggfixture.h"

namespace audio_testing {
namespace {

using Messages = std::vector<std::string>;

// Records the instances it is told of, with the queued sound each came with.
class Receiver : public TSoundCallBack {
public:
    void OnSoundDone(const std::shared_ptr<TSoundInstance>& instance,
                     const std::shared_ptr<TSound>& next) override {
        told.push_back(instance.get());
        nexts.push_back(next);
        if (onDone) onDone(instance);
    }

    std::vector<TSoundInstance*> told;
    std::vector<std::shared_ptr<TSound>> nexts;
    std::function<void(const std::shared_ptr<TSoundInstance>&)> onDone;
};

class SoundPlayTest : public SoundEngineTest {
protected:
    void SetUp() override {
        SoundEngineTest::SetUp();
        RegisterOggDataSourceBuilder();
        mFiles.Put("fx/short.ogg", SweepOgg(1.5));
        mFiles.Put("fx/long.ogg", SweepOgg(3.0));
    }

    // The sound of a file put in SetUp, in group 1000; preloaded unless streamed.
    static std::shared_ptr<TSound> Sound(const char* name, bool streamed = false) {
        return TSound::Get(name, !streamed, 1000);
    }

    MemoryFiles mFiles;
};

TEST_F(SoundPlayTest, ASoundThatFitsTheBufferPlaysOnceTheRestGoRound) {
    Start();
    struct Case {
        const char* name;
        bool streamed;
        bool loop;
        bool oneShot;
    } cases[] = {
        {"fx/short.ogg", false, false, true}, {"fx/short.ogg", true, false, true},
        {"fx/short.ogg", false, true, false}, {"fx/long.ogg", false, false, false},
        {"fx/long.ogg", true, true, false},
    };
    for (const Case& c : cases) {
        std::shared_ptr<TSound> sound = Sound(c.name, c.streamed);
        ASSERT_NE(sound, nullptr);
        std::shared_ptr<TSoundInstance> instance = sound->Play(c.loop);
        ASSERT_NE(instance, nullptr) << c.name;
        TSoundStream* stream = instance->GetStream();
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(stream->IsOneShot(), c.oneShot) << c.name << " loop " << c.loop;
        EXPECT_EQ(stream->GetGroup(), 1000);
        EXPECT_EQ(instance->GetSound(), sound);
        EXPECT_EQ(sound->GetPlayingCount(), 1u);
        ASSERT_EQ(Buffers().size(), 1u);
        EXPECT_TRUE(Buffers()[0].playing);
        EXPECT_EQ(Buffers()[0].looping, !c.oneShot) << c.name << " loop " << c.loop;
        EXPECT_TRUE(sound->StopAll());
        EXPECT_TRUE(Buffers().empty());
        EXPECT_EQ(instance->GetStream(), nullptr);
    }
    EXPECT_EQ(mLog.Messages(), Messages{});
}

TEST_F(SoundPlayTest, PlayNeedsASoundManagerAndData) {
    std::shared_ptr<TSound> sound = Sound("fx/short.ogg");
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->Play(false), nullptr);
    Start();
    // A sound made without a file has nothing to play.
    EXPECT_EQ(std::make_shared<TSound>()->Play(false), nullptr);
    EXPECT_EQ(mLog.Messages(), (Messages{"No Sound Manager", "Play of uninitialized sound"}));
    EXPECT_EQ(sound->GetPlayingCount(), 0u);
    EXPECT_TRUE(Buffers().empty());
}

// The playing set keeps an instance its caller dropped; the end reaches the receiver on the main
// thread, once, and lets the instance go.
TEST_F(SoundPlayTest, AnInstanceThatEndsIsToldOnTheMainThread) {
    Start();
    std::shared_ptr<TSound> sound = Sound("fx/short.ogg");
    Receiver receiver;
    std::weak_ptr<TSoundInstance> watched;
    {
        std::shared_ptr<TSoundInstance> instance = sound->Play(false);
        instance->SetCallBack(&receiver, nullptr);
        EXPECT_EQ(instance->GetCallBack(), &receiver);
        EXPECT_TRUE(receiver.IsRegistered(instance));
        watched = instance;
    }
    Run(3000);
    EXPECT_FALSE(watched.expired());
    EXPECT_TRUE(receiver.told.empty());
    mManager->DispatchCallbacks();
    ASSERT_EQ(receiver.told.size(), 1u);
    EXPECT_EQ(receiver.nexts[0], nullptr);
    EXPECT_TRUE(watched.expired());
    EXPECT_EQ(sound->GetPlayingCount(), 0u);
    mManager->DispatchCallbacks();
    EXPECT_EQ(receiver.told.size(), 1u);
}

TEST_F(SoundPlayTest, AStopTellsTheReceiverBeforeItReturns) {
    Start();
    std::shared_ptr<TSound> sound = Sound("fx/long.ogg");
    Receiver receiver;
    bool returned = false;
    receiver.onDone = [&](const std::shared_ptr<TSoundInstance>&) { EXPECT_FALSE(returned); };
    std::shared_ptr<TSoundInstance> first = sound->Play(false);
    std::shared_ptr<TSoundInstance> second = sound->Play(true);
    first->SetCallBack(&receiver, nullptr);
    second->SetCallBack(&receiver, nullptr);

    EXPECT_TRUE(sound->StopInstance(first));
    returned = true;
    EXPECT_EQ(receiver.told, std::vector<TSoundInstance*>{first.get()});
    EXPECT_EQ(Buffers().size(), 1u);
    returned = false;
    second->Stop();
    returned = true;
    EXPECT_EQ(receiver.told.size(), 2u);
    EXPECT_TRUE(Buffers().empty());
    EXPECT_EQ(sound->GetPlayingCount(), 0u);

    // Stopped again: nothing more, and only an empty instance answers false.
    EXPECT_TRUE(sound->StopInstance(first));
    EXPECT_FALSE(sound->StopInstance(nullptr));
    EXPECT_EQ(receiver.told.size(), 2u);
}

// Controls on an instance that has finished find no stream and change nothing on the device.
TEST_F(SoundPlayTest, AFinishedInstanceIgnoresItsControls) {
    Start();
    std::shared_ptr<TSound> sound = Sound("fx/short.ogg");
    std::shared_ptr<TSoundInstance> instance = sound->Play(false);
    Run(3000);
    mManager->DispatchCallbacks();
    ASSERT_EQ(instance->GetStream(), nullptr);
    size_t calls = port::control::CallLog().size();
    instance->Pause(true);
    instance->SetVolume(0.5f);
    instance->Pause(false);
    instance->Stop();
    EXPECT_EQ(port::control::CallLog().size(), calls);
    EXPECT_EQ(sound->GetPlayingCount(), 0u);
    EXPECT_EQ(instance->GetSound(), sound);
}

TEST_F(SoundPlayTest, DestroyingASoundStopsItsInstancesInSilence) {
    Start();
    std::shared_ptr<TSound> sound = Sound("fx/long.ogg");
    Receiver receiver;
    std::shared_ptr<TSoundInstance> once = sound->Play(false);
    std::shared_ptr<TSoundInstance> looping = sound->Play(true);
    once->SetCallBack(&receiver, nullptr);
    looping->SetCallBack(&receiver, nullptr);
    ASSERT_EQ(Buffers().size(), 2u);
    sound.reset();
    EXPECT_TRUE(receiver.told.empty());
    EXPECT_FALSE(receiver.IsRegistered(once));
    EXPECT_TRUE(Buffers().empty());
    EXPECT_EQ(looping->GetStream(), nullptr);
    EXPECT_EQ(looping->GetSound(), nullptr);
    // Without its sound an instance does nothing at all.
    looping->Stop();
    looping->SetCallBack(&receiver, nullptr);
    EXPECT_EQ(looping->GetCallBack(), nullptr);
}

// A receiver destroyed while its instances play is forgotten by them: no call reaches it, from a
// stop or from an end (AddressSanitizer would see one).
TEST_F(SoundPlayTest, ADestroyedReceiverIsNeverCalled) {
    Start();
    std::shared_ptr<TSound> sound = Sound("fx/short.ogg");
    std::shared_ptr<TSoundInstance> stopped = sound->Play(false);
    std::shared_ptr<TSoundInstance> ending = sound->Play(false);
    auto receiver = std::make_unique<Receiver>();
    stopped->SetCallBack(receiver.get(), nullptr);
    ending->SetCallBack(receiver.get(), nullptr);
    receiver.reset();
    EXPECT_EQ(stopped->GetCallBack(), nullptr);
    EXPECT_EQ(ending->GetCallBack(), nullptr);
    stopped->Stop();
    Run(3000);
    mManager->DispatchCallbacks();
    EXPECT_EQ(sound->GetPlayingCount(), 0u);
}

// A second receiver takes the instance from the first; none takes it from both.
TEST_F(SoundPlayTest, ANewReceiverReplacesTheOld) {
    Start();
    std::shared_ptr<TSound> sound = Sound("fx/long.ogg");
    Receiver first;
    Receiver second;
    std::shared_ptr<TSoundInstance> instance = sound->Play(true);
    instance->SetCallBack(&first, nullptr);
    instance->SetCallBack(&second, nullptr);
    EXPECT_FALSE(first.IsRegistered(instance));
    instance->Stop();
    EXPECT_TRUE(first.told.empty());
    EXPECT_EQ(second.told.size(), 1u);

    instance = sound->Play(true);
    instance->SetCallBack(&first, nullptr);
    instance->SetCallBack(nullptr, nullptr);
    EXPECT_FALSE(first.IsRegistered(instance));
    instance->Stop();
    EXPECT_TRUE(first.told.empty());
}

// StopAll stops what played when it was called, while the callbacks start another instance of
// the same sound and stop one StopAll has not reached yet: each is told once, and the new one
// plays on. PauseAll reaches every playing stream.
TEST_F(SoundPlayTest, WholeSoundStopsAndPausesWithCallbacksThatPlayAndStop) {
    Start();
    std::shared_ptr<TSound> sound = Sound("fx/long.ogg");
    std::vector<std::shared_ptr<TSoundInstance>> instances;
    for (int i = 0; i < 3; ++i)
        instances.push_back(sound->Play(i == 0));
    std::shared_ptr<TSoundInstance> started;
    Receiver receiver;
    receiver.onDone = [&](const std::shared_ptr<TSoundInstance>& instance) {
        if (receiver.told.size() == 1) {
            started = sound->Play(true);
            for (const auto& other : instances) {
                if (other != instance) {
                    other->Stop();
                    break;
                }
            }
        }
    };
    for (const auto& instance : instances)
        instance->SetCallBack(&receiver, nullptr);

    EXPECT_TRUE(sound->PauseAll(true));
    for (const auto& buffer : Buffers())
        EXPECT_FALSE(buffer.playing);
    EXPECT_TRUE(sound->PauseAll(false));
    for (const auto& buffer : Buffers())
        EXPECT_TRUE(buffer.playing);

    EXPECT_TRUE(sound->StopAll());
    EXPECT_EQ(receiver.told.size(), 3u);
    std::sort(receiver.told.begin(), receiver.told.end());
    EXPECT_EQ(std::unique(receiver.told.begin(), receiver.told.end()), receiver.told.end());
    ASSERT_NE(started, nullptr);
    EXPECT_EQ(sound->GetPlayingCount(), 1u);
    EXPECT_EQ(Buffers().size(), 1u);
    EXPECT_TRUE(sound->StopAll());
    EXPECT_FALSE(sound->PauseAll(true));
    EXPECT_FALSE(sound->StopAll());
}

// A sound queued behind an instance follows on its stream; the receiver hears of the first end
// once. A stream that has drained refuses the queue and nothing changes.
TEST_F(SoundPlayTest, AQueuedSoundFollowsOnTheSameStream) {
    Start();
    std::shared_ptr<TSound> first = Sound("fx/long.ogg", true);
    std::shared_ptr<TSound> next = Sound("fx/short.ogg");
    Receiver receiver;
    std::shared_ptr<TSoundInstance> instance = first->Play(false);
    instance->SetCallBack(&receiver, next);
    EXPECT_EQ(instance->GetNext(), next);
    EXPECT_EQ(instance->GetCallBack(), &receiver);

    Run(4000);
    EXPECT_EQ(instance->GetSound(), next);
    EXPECT_EQ(instance->GetNext(), nullptr);
    mManager->DispatchCallbacks();
    ASSERT_EQ(receiver.told, std::vector<TSoundInstance*>{instance.get()});
    EXPECT_EQ(first->GetPlayingCount(), 0u);
    Run(4000);
    mManager->DispatchCallbacks();
    EXPECT_EQ(instance->GetStream(), nullptr);
    EXPECT_EQ(receiver.told.size(), 1u);

    // Drained, waiting for the dispatch: refused.
    std::shared_ptr<TSoundInstance> drained = first->Play(false);
    Run(6000);
    ASSERT_NE(drained->GetStream(), nullptr);
    first->SetCallBack(drained, &receiver, next);
    EXPECT_EQ(drained->GetNext(), nullptr);
    EXPECT_EQ(drained->GetCallBack(), nullptr);
    mManager->DispatchCallbacks();
    EXPECT_EQ(receiver.told.size(), 1u);
}

// A stream stopped while a sound is queued behind it tells the receiver with that sound, and the
// instance stays in its sound's playing set without a stream: PauseAll passes over it.
TEST_F(SoundPlayTest, AStopBeforeTheQueuedSoundStartsLeavesAnInstanceWithoutAStream) {
    Start();
    std::shared_ptr<TSound> first = Sound("fx/long.ogg");
    std::shared_ptr<TSound> next = Sound("fx/short.ogg");
    Receiver receiver;
    std::shared_ptr<TSoundInstance> instance = first->Play(true);
    instance->SetCallBack(&receiver, next);
    mManager->StopGroup(-1);
    ASSERT_EQ(receiver.told.size(), 1u);
    EXPECT_EQ(receiver.nexts[0], next);
    EXPECT_EQ(instance->GetStream(), nullptr);
    EXPECT_EQ(first->GetPlayingCount(), 1u);
    EXPECT_TRUE(first->PauseAll(true));
    EXPECT_TRUE(first->StopAll());
    EXPECT_EQ(first->GetPlayingCount(), 0u);
    EXPECT_EQ(receiver.told.size(), 1u);
}

}  // namespace
}  // namespace audio_testing
