// What the scheme does where a plain reading would fail: a restart that comes due while a fresh
// play of its key runs (the key keeps one chain, the other plays out, every stop reaches both),
// a play before the view exists, plays without a sound manager, reversed ambient intervals, and
// points that are no number. AddressSanitizer watches the chains' shared records.
#include <cmath>
#include <set>

#include "audio/soundinstance.h"
#include "platform/platform.h"
#include "port/control.h"
#include "schemefixture.h"

namespace gamesound_testing {
namespace {

class SchemeFaultsTest : public SchemeTest {
protected:
    // Every playing entry's instance is recorded under the same key in the instances map.
    void ExpectConsistent() {
        for (const auto& [key, instance] : Scheme().GetPlaying()) {
            auto found = Scheme().GetInstances().find(instance);
            ASSERT_NE(found, Scheme().GetInstances().end());
            EXPECT_EQ(found->second.info, key.info);
            EXPECT_EQ(found->second.event, key.event);
        }
    }
    bool AnyBufferPlaying() {
        for (const auto& buffer : Buffers()) {
            if (buffer.playing) return true;
        }
        return false;
    }

    // A one-second ambient sound of no object at (0, 0) coming back 300 ms after each end: its
    // restart comes due while a fresh play started meanwhile still runs. Leaves the fresh
    // instance (which lost the key) and the restarted one (which holds it).
    void RestartDuringAFreshPlay(std::shared_ptr<TSoundInstance>& fresh,
                                 std::shared_ptr<TSoundInstance>& restarted) {
        Sounds().seconds = 1.0;
        ASSERT_TRUE(Load(R"(<E Event="Bonus"><O type="ambient" src="a.ogg" interval_min="300"
                                                interval_max="300"/></E>)"));
        ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 61, 0));
        ASSERT_TRUE(RunUntilPending(1));
        ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 61, 0));
        fresh = Scheme().GetPlaying().begin()->second;
        port::control::AdvanceTime(300);
        Scheme().StartDueSounds();
        ASSERT_EQ(Scheme().GetInstances().size(), 2u);
        ASSERT_EQ(Scheme().GetPlaying().size(), 1u);
        restarted = Scheme().GetPlaying().begin()->second;
        ASSERT_NE(restarted, fresh);
        ExpectConsistent();
    }
};

// Stopped while both play: both stop, nothing waits, nothing comes back.
TEST_F(SchemeFaultsTest, AStopReachesBothInstancesOfAReplacedKey) {
    std::shared_ptr<TSoundInstance> fresh, restarted;
    RestartDuringAFreshPlay(fresh, restarted);
    EXPECT_EQ(Buffers().size(), 2u);
    Scheme().StopEvent(nullptr, 0.0f, 0.0f, 61);
    EXPECT_TRUE(Scheme().GetPlaying().empty());
    EXPECT_TRUE(Scheme().GetInstances().empty());
    EXPECT_TRUE(Scheme().GetPending().empty());
    EXPECT_FALSE(AnyBufferPlaying());
    EXPECT_EQ(fresh->GetStream(), nullptr);
    EXPECT_EQ(restarted->GetStream(), nullptr);
    fresh.reset();
    restarted.reset();
    Run(6000);
    Scheme().StartDueSounds();
    EXPECT_TRUE(Scheme().GetInstances().empty());
    EXPECT_TRUE(Buffers().empty());
}

// The instance that lost the key ends first: its chain ends there, the key's entry stays with
// the other, which alone comes back; a stop then ends everything.
TEST_F(SchemeFaultsTest, TheInstanceThatLostItsKeyEndsItsChain) {
    std::shared_ptr<TSoundInstance> fresh, restarted;
    RestartDuringAFreshPlay(fresh, restarted);
    ASSERT_TRUE(RunUntil([&] { return Scheme().GetInstances().size() == 1; }));
    EXPECT_EQ(Scheme().GetInstances().begin()->first, restarted);
    EXPECT_TRUE(Scheme().GetPending().empty());
    EXPECT_TRUE(Scheme().IsPlaying(nullptr, 0.0f, 0.0f, 61));
    ExpectConsistent();
    fresh.reset();

    ASSERT_TRUE(RunUntilPending(1));
    EXPECT_TRUE(Scheme().GetInstances().empty());
    Scheme().StopEvent(nullptr, 0.0f, 0.0f, 61);
    EXPECT_TRUE(Scheme().GetPending().empty());
    restarted.reset();
    Run(6000);
    Scheme().StartDueSounds();
    EXPECT_TRUE(Buffers().empty());
    EXPECT_TRUE(Scheme().GetInstances().empty());
}

// StopAll reaches the instance that lost its key too.
TEST_F(SchemeFaultsTest, StopAllReachesEveryInstance) {
    std::shared_ptr<TSoundInstance> fresh, restarted;
    RestartDuringAFreshPlay(fresh, restarted);
    Scheme().StopAll();
    EXPECT_FALSE(AnyBufferPlaying());
    EXPECT_EQ(fresh->GetStream(), nullptr);
    EXPECT_TRUE(Scheme().GetInstances().empty());
    Run(3000);
    Scheme().StartDueSounds();
    EXPECT_TRUE(Buffers().empty());
}

// Before the play screen gives the view, positions are heard at full volume.
TEST_F(SchemeFaultsTest, APlayBeforeTheViewIsHeardInFull) {
    ASSERT_TRUE(Load(R"(<E Event="Bonus" PosX="-5000" PosY="-5000">
                          <O type="ambient" src="a.ogg" interval_min="100" interval_max="100"
                             volume="100"/></E>
                        <E Object="Zebra" Event="Sick"><O type="trigger" src="z.ogg"
                                                          volume="100"/></E>)"));
    Scheme().SetViewPort(nullptr);
    ASSERT_TRUE(Scheme().PlayEvent(MakeObjectAt("Zebra", 9000.0f, 9000.0f), 0.0f, 0.0f, 41, 0));
    EXPECT_EQ(LastVolume(), DeviceVolume(1.0f));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, -5000.0f, -5000.0f, 61, 0));
    const uint32_t point = LastBuffer();
    EXPECT_EQ(VolumeOf(point), DeviceVolume(1.0f));
    Scheme().UpdateVolumes();
    EXPECT_EQ(VolumeOf(point), DeviceVolume(1.0f));
    ASSERT_TRUE(RunUntilPending(1));
    port::control::AdvanceTime(100);
    Scheme().StartDueSounds();
    EXPECT_EQ(LastVolume(), DeviceVolume(1.0f));
}

class SchemeWithoutSoundTest : public SchemeFaultsTest {
protected:
    bool WithSound() const override { return false; }
};

// Without a sound manager nothing plays: PlayEvent answers false and keeps nothing, so the key
// stays free and no volume update or stop finds anything.
TEST_F(SchemeWithoutSoundTest, PlaysAnswerFalseAndRecordNothing) {
    ASSERT_TRUE(Load(R"(<E Event="Bonus" PosX="10"><O type="loop" src="a.ogg"/></E>
                        <E Event="Birth"><O type="ambient" src="b.ogg"/></E>)"));
    EXPECT_FALSE(Scheme().PlayEvent(nullptr, 10.0f, 0.0f, 61, 0));
    EXPECT_FALSE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 63, 0));
    EXPECT_FALSE(Scheme().IsPlaying(nullptr, 10.0f, 0.0f, 61));
    EXPECT_TRUE(Scheme().GetPlaying().empty());
    EXPECT_TRUE(Scheme().GetInstances().empty());
    EXPECT_FALSE(Scheme().IsStarted());
    Scheme().Update();
    Scheme().UpdateVolumes();
    Scheme().StartDueSounds();
    Scheme().StopEvent(nullptr, 10.0f, 0.0f, 61);
    Scheme().StopAll();
    EXPECT_TRUE(Scheme().GetInstances().empty());
}

// A sound manager that goes while a restart waits: the restart gets no instance and its chain
// ends.
TEST_F(SchemeFaultsTest, ARestartThatGetsNoInstanceEndsItsChain) {
    ASSERT_TRUE(Load(R"(<E Event="Birth"><O type="ambient" src="b.ogg" interval_min="100"
                                            interval_max="100"/></E>)"));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 63, 0));
    ASSERT_TRUE(RunUntilPending(1));
    mApp.reset();
    port::control::AdvanceTime(100);
    Scheme().StartDueSounds();
    EXPECT_TRUE(Scheme().GetPending().empty());
    EXPECT_TRUE(Scheme().GetInstances().empty());
    EXPECT_FALSE(Scheme().IsPlaying(nullptr, 0.0f, 0.0f, 63));
}

// An ambient option written 5000 / 3000 comes back between 3 and 5 seconds after each end, at
// times spread over the range.
TEST_F(SchemeFaultsTest, ReversedIntervalsComeBackWithinTheirRange) {
    ASSERT_TRUE(Load(R"(<E Event="Bonus" PosX="5"><O type="ambient" src="a.ogg" interval_min="5000"
                                                     interval_max="3000"/></E>)"));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 5.0f, 0.0f, 61, 0));
    std::set<uint32_t> waits;
    for (int round = 0; round < 8; ++round) {
        ASSERT_TRUE(RunUntilPending(1)) << round;
        const uint32_t wait = Scheme().GetPending()[0].start - TPlatform::GetTimer();
        EXPECT_GE(wait, 3000u) << round;
        EXPECT_LE(wait, 5000u) << round;
        waits.insert(wait);
        port::control::AdvanceTime(wait);
        Scheme().StartDueSounds();
        ASSERT_TRUE(Scheme().IsPlaying(nullptr, 5.0f, 0.0f, 61)) << round;
    }
    EXPECT_GT(waits.size(), 4u);
}

// The world's points are keys: one that is no number finds no entry, and plays, stops and
// restarts of it stay in order with the others.
TEST_F(SchemeFaultsTest, PointsThatAreNoNumberFindNothing) {
    ASSERT_TRUE(Load(R"(<E Event="Bonus" PosX="1"><O type="loop" src="a.ogg"/></E>
                        <E Event="Bonus" PosX="2"><O type="loop" src="b.ogg"/></E>
                        <E Object="Zebra" Event="Bonus"><O type="loop" src="z.ogg"/></E>)"));
    EXPECT_FALSE(Scheme().PlayEvent(nullptr, NAN, 0.0f, 61, 0));
    EXPECT_FALSE(Scheme().PlayEvent(nullptr, 1.0f, NAN, 61, 0));
    EXPECT_FALSE(Scheme().PlayEvent(MakeObject("Zebra"), NAN, NAN, 61, 0));
    EXPECT_TRUE(Scheme().PlayEvent(nullptr, 1.0f, 0.0f, 61, 0));
    EXPECT_TRUE(Scheme().PlayEvent(nullptr, 2.0f, 0.0f, 61, 0));
    EXPECT_FALSE(Scheme().IsPlaying(nullptr, NAN, 0.0f, 61));
    Scheme().StopEvent(nullptr, NAN, 0.0f, 61);
    EXPECT_EQ(Scheme().GetPlaying().size(), 2u);
    Scheme().StopEvent(nullptr, 2.0f, 0.0f, 61);
    EXPECT_EQ(Scheme().GetPlaying().size(), 1u);
    EXPECT_TRUE(Scheme().IsPlaying(nullptr, 1.0f, 0.0f, 61));
}

}  // namespace
}  // namespace gamesound_testing
