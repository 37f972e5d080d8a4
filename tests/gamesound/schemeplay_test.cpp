// The scheme's playback on the null device and the fake clock: keys that play refuse, variants,
// the fall-back to the entry of no type, volumes by distance from the view and their updates,
// loops and ambient sounds coming back on time with their first choice, stops of waiting
// restarts, a fresh play while a restart waits, the fixed points, and the enabled flag.
#include <cmath>
#include <string>

#include "audio/sound.h"
#include "audio/soundinstance.h"
#include "audio/soundmanager.h"
#include "platform/platform.h"
#include "port/control.h"
#include "schemefixture.h"
#include "simulation/views/worldobject.h"

namespace gamesound_testing {
namespace {

// The sound an instance plays.
std::string SoundOf(const std::shared_ptr<TSoundInstance>& instance) {
    std::shared_ptr<TSound> sound = instance->GetSound();
    return sound != nullptr ? sound->GetName().c_str() : "";
}

class SchemePlayTest : public SchemeTest {
protected:
    // The one instance the scheme holds.
    std::shared_ptr<TSoundInstance> OnlyInstance() {
        EXPECT_EQ(Scheme().GetInstances().size(), 1u);
        return Scheme().GetInstances().empty() ? nullptr : Scheme().GetInstances().begin()->first;
    }
    uint32_t Now() const { return TPlatform::GetTimer(); }
};

TEST_F(SchemePlayTest, AKeyThatPlaysIsNotStartedAgain) {
    ASSERT_TRUE(Load(R"(<E Event="Bonus"><O type="trigger" src="a.ogg" volume="100"/></E>)"));
    EXPECT_FALSE(Scheme().IsStarted());
    EXPECT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 61, 0));
    EXPECT_TRUE(Scheme().IsStarted());
    EXPECT_TRUE(Scheme().IsPlaying(nullptr, 0.0f, 0.0f, 61));
    EXPECT_FALSE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 61, 0));
    EXPECT_EQ(Buffers().size(), 1u);
    // A trigger's end ends its chain; the key plays again.
    ASSERT_TRUE(RunUntil([&] { return !Scheme().IsPlaying(nullptr, 0.0f, 0.0f, 61); }));
    EXPECT_FALSE(Scheme().IsPlaying(nullptr, 0.0f, 0.0f, 61));
    EXPECT_TRUE(Scheme().GetInstances().empty());
    EXPECT_TRUE(Scheme().GetPending().empty());
    EXPECT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 61, 0));
    // Without an entry, and at another point, nothing plays.
    EXPECT_FALSE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 60, 0));
    EXPECT_FALSE(Scheme().PlayEvent(nullptr, 1.0f, 0.0f, 61, 0));
}

TEST_F(SchemePlayTest, VariantsWrapIntoTheFiveVoicePacks) {
    ASSERT_TRUE(Load(R"(<E Event="Sick" VoicePack="1"><O type="trigger" src="c.ogg"/></E>)"));
    struct Case {
        int variant;
        const char* heard;
    } cases[] = {{-3, "audio/sfx/vp1_c.ogg"},        {0, "audio/sfx/vp1_c.ogg"},
                 {4, "audio/sfx/vp5_c.ogg"},         {5, "audio/sfx/vp1_c.ogg"},
                 {7, "audio/sfx/vp3_c.ogg"},         {-2147483647 - 1, "audio/sfx/vp1_c.ogg"},
                 {2147483647, "audio/sfx/vp3_c.ogg"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 41, c.variant)) << c.variant;
        EXPECT_EQ(SoundOf(OnlyInstance()), c.heard) << c.variant;
        EXPECT_EQ(Scheme().GetInstances().begin()->second.info->variant,
                  c.variant > 0 ? c.variant % 5 : 0);
        Scheme().StopAll();
    }
}

// An object without an entry of its own takes the entry of no type at the point, unless a sound
// of no object plays there; an own entry, even an empty one, is never replaced.
TEST_F(SchemePlayTest, ObjectsFallBackOnTheEntryOfNoType) {
    Sounds().SetMissing("audio/sfx/gone.ogg");
    ASSERT_TRUE(Load(R"(<E Event="Sick"><O type="trigger" src="anyone.ogg"/></E>
                        <E Object="Zebra" Event="Sick"><O type="trigger" src="zebra.ogg"/></E>
                        <E Object="Lion" Event="Sick"><O type="trigger" src="gone.ogg"/></E>
                        <E Object="Gnu" Event="No"><O type="trigger" src="gnu.ogg"/></E>)"));
    SchemeObject* zebra = MakeObject("Zebra");
    SchemeObject* giraffe = MakeObject("Giraffe");
    SchemeObject* lion = MakeObject("Lion");
    SchemeObject* gnu = MakeObject("Gnu");
    EXPECT_TRUE(Scheme().PlayEvent(zebra, 0.0f, 0.0f, 41, 0));
    EXPECT_EQ(SoundOf(Scheme().GetPlaying().begin()->second), "audio/sfx/zebra.ogg");
    Scheme().StopAll();
    EXPECT_TRUE(Scheme().PlayEvent(giraffe, 0.0f, 0.0f, 41, 0));
    EXPECT_EQ(SoundOf(Scheme().GetPlaying().begin()->second), "audio/sfx/anyone.ogg");
    EXPECT_FALSE(Scheme().PlayEvent(lion, 0.0f, 0.0f, 41, 0));
    // No entry of no type for "No": a call without an object never takes an object's entry.
    EXPECT_FALSE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 42, 0));
    EXPECT_TRUE(Scheme().PlayEvent(gnu, 0.0f, 0.0f, 42, 0));
    Scheme().StopAll();
    // While the sound of no object plays there, an object of no entry is refused; one with its
    // own entry is not.
    EXPECT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 41, 0));
    EXPECT_FALSE(Scheme().PlayEvent(giraffe, 0.0f, 0.0f, 41, 0));
    EXPECT_TRUE(Scheme().PlayEvent(zebra, 0.0f, 0.0f, 41, 0));
    EXPECT_EQ(Scheme().GetPlaying().size(), 2u);
}

TEST_F(SchemePlayTest, TheDistanceFactorFallsWithTheDistanceOutsideTheView) {
    // Without a view: 1 everywhere.
    Scheme().SetViewPort(nullptr);
    EXPECT_EQ(Scheme().DistanceFactor(TVec2(-50000.0f, 0.0f)), 1.0f);
    Scheme().SetViewPort(&mView);
    struct Case {
        TVec2 point;
        float factor;
    } cases[] = {
        {{400.0f, 300.0f}, 1.0f},
        {{0.0f, 0.0f}, 1.0f},
        {{800.0f, 600.0f}, 1.0f},
        {{-1000.0f, 300.0f}, 0.5f},
        {{1800.0f, 300.0f}, 0.5f},
        {{400.0f, -1000.0f}, 0.5f},
        // 600 across and 800 down: 1000 away.
        {{1400.0f, 1400.0f}, 0.5f},
        {{-1800.0f, 300.0f}, 1.0f - 1800.0f / 2000.0f},
        {{-1801.0f, 300.0f}, 0.0f},
        {{-2000.0f, 300.0f}, 0.0f},
        {{-1e30f, 1e30f}, 0.0f},
        {{-0.5f, 300.0f}, 1.0f - 0.5f / 2000.0f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Scheme().DistanceFactor(c.point), c.factor) << c.point.x << ", " << c.point.y;
    }
    EXPECT_GE(Scheme().DistanceFactor(TVec2(-1800.0f, 0.0f)), 0.1f);
}

// Objects are heard where their views were when their sound started; sounds of no object at
// their points. UpdateVolumes follows the view, not the objects.
TEST_F(SchemePlayTest, VolumesFollowTheDistanceAndTheViewsScroll) {
    ASSERT_TRUE(Load(R"(<E Object="Zebra" Event="Sick"><O type="loop" src="z.ogg" volume="80"/></E>
                        <E Event="Bonus" PosX="-1000" PosY="300">
                          <O type="loop" src="b.ogg" volume="100"/></E>
                        <E Event="Bonus"><O type="loop" src="g.ogg" volume="100"/></E>)"));
    // The option's volume as the file gives it: 80 percent.
    const float volume = 80.0f * 0.01f;
    mView.MoveTo(TVec2(1400.0f, 0.0f));
    SchemeObject* near = MakeObjectAt("Zebra", 1500.0f, 300.0f);
    SchemeObject* half = MakeObjectAt("Zebra", 400.0f, 300.0f);
    SchemeObject* faint = MakeObjectAt("Zebra", -400.0f, 300.0f);
    SchemeObject* silent = MakeObjectAt("Zebra", -600.0f, 300.0f);
    struct Play {
        SchemeObject* object;
        float factor;
        // Against the view scrolled to the world's left edge.
        float after;
        uint32_t buffer = 0;
    } plays[] = {{near, 1.0f, 1.0f - 700.0f / 2000.0f},
                 {half, 0.5f, 1.0f},
                 {faint, 1.0f - 1800.0f / 2000.0f, 1.0f - 400.0f / 2000.0f},
                 {silent, 0.0f, 1.0f - 600.0f / 2000.0f}};
    for (Play& play : plays) {
        ASSERT_TRUE(Scheme().PlayEvent(play.object, 0.0f, 0.0f, 41, 0));
        play.buffer = LastBuffer();
        EXPECT_EQ(LastVolume(), DeviceVolume(volume * 1.0f * play.factor)) << play.factor;
    }
    EXPECT_EQ(VolumeOf(plays[3].buffer), -10000);
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, -1000.0f, 300.0f, 61, 0));
    const uint32_t point = LastBuffer();
    // 2400 units left of the view: silent.
    EXPECT_EQ(VolumeOf(point), DeviceVolume(0.0f));
    // (0, 0) of no object is heard at full volume wherever the view is, from its start.
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 61, 0));
    const uint32_t global = LastBuffer();
    EXPECT_EQ(VolumeOf(global), DeviceVolume(1.0f));

    // The objects move far away and the view scrolls to the world's left edge: the objects are
    // heard where they were when their sounds started.
    for (Play& play : plays)
        play.object->GetView()->SetPosition(9000.0f, 9000.0f);
    mView.MoveTo(TVec2(0.0f, 0.0f));
    Scheme().UpdateVolumes();
    for (const Play& play : plays)
        EXPECT_EQ(VolumeOf(play.buffer), DeviceVolume(volume * play.after * 1.0f)) << play.after;
    EXPECT_EQ(VolumeOf(point), DeviceVolume(0.5f));
    EXPECT_EQ(VolumeOf(global), DeviceVolume(1.0f));
    // The group's volume is part of it.
    mApp->GetSoundManager()->SetGroupVolume(1000, 0.5f);
    Scheme().UpdateVolumes();
    EXPECT_EQ(VolumeOf(point), DeviceVolume(1.0f * 0.5f * 0.5f));
    EXPECT_EQ(VolumeOf(plays[0].buffer), DeviceVolume(volume * plays[0].after * 0.5f));
}

// An option without a volume plays, silently.
TEST_F(SchemePlayTest, AnOptionWithoutVolumePlaysSilently) {
    ASSERT_TRUE(Load(R"(<E Event="No"><O type="loop" src="a.ogg"/></E>)"));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 42, 0));
    ASSERT_EQ(Buffers().size(), 1u);
    EXPECT_TRUE(Buffers()[0].playing);
    EXPECT_EQ(Buffers()[0].volume, -10000);
}

// A loop under 500 ms of delay loops on the device and never waits; one of 500 plays once and
// comes back on the first run at or after 500 ms past its end.
TEST_F(SchemePlayTest, LoopsLoopOrComeBackAfterTheirDelay) {
    ASSERT_TRUE(Load(R"(<E Event="No"><O type="loop" src="short.ogg" delay="499"/></E>
                        <E Event="Sick"><O type="loop" src="long.ogg" delay="500"/></E>)"));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 42, 0));
    ASSERT_EQ(Buffers().size(), 1u);
    EXPECT_TRUE(Buffers()[0].looping);
    Run(3000);
    Scheme().StartDueSounds();
    EXPECT_TRUE(Scheme().GetPending().empty());
    EXPECT_TRUE(Scheme().IsPlaying(nullptr, 0.0f, 0.0f, 42));
    ASSERT_EQ(Buffers().size(), 1u);
    EXPECT_TRUE(Buffers()[0].playing);
    Scheme().StopAll();

    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 41, 0));
    const std::shared_ptr<PlayInfo> info = Scheme().GetInstances().begin()->second.info;
    ASSERT_FALSE(Buffers().empty());
    EXPECT_FALSE(Buffers().back().looping);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(RunUntilPending(1)) << round;
        EXPECT_FALSE(Scheme().IsPlaying(nullptr, 0.0f, 0.0f, 41));
        const uint32_t end = Now();
        EXPECT_EQ(Scheme().GetPending()[0].start, end + 500);
        port::control::AdvanceTime(499);
        Scheme().StartDueSounds();
        EXPECT_FALSE(Scheme().IsPlaying(nullptr, 0.0f, 0.0f, 41));
        port::control::AdvanceTime(1);
        Scheme().StartDueSounds();
        EXPECT_TRUE(Scheme().IsPlaying(nullptr, 0.0f, 0.0f, 41));
        EXPECT_TRUE(Scheme().GetPending().empty());
        EXPECT_EQ(Scheme().GetInstances().begin()->second.info, info);
    }
}

// Every end of an ambient sound of 3000 / 3000 schedules it exactly 3000 ms later; it starts on
// the first run of the task that finds it due.
TEST_F(SchemePlayTest, AnAmbientSoundComesBackAfterItsInterval) {
    ASSERT_TRUE(Load(R"(<E Event="Bonus" PosX="100" PosY="100">
                          <O type="ambient" src="a.ogg" interval_min="3000" interval_max="3000"/>
                        </E>)"));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 100.0f, 100.0f, 61, 0));
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(RunUntilPending(1)) << round;
        const uint32_t start = Now() + 3000;
        EXPECT_EQ(Scheme().GetPending()[0].start, start);
        // The task runs every 30 ms: the first run at or after the start.
        while (Now() < start) {
            port::control::AdvanceTime(30);
            Scheme().StartDueSounds();
            EXPECT_EQ(Scheme().IsPlaying(nullptr, 100.0f, 100.0f, 61), Now() >= start);
        }
    }
}

// A restart plays the option and the voice pack its chain chose first.
TEST_F(SchemePlayTest, ARestartReplaysTheFirstChoice) {
    ASSERT_TRUE(Load(R"(<E Object="Zebra" Event="Sick" VoicePack="1">
                          <O type="ambient" src="a.ogg" interval_min="100" interval_max="100"/>
                          <O type="ambient" src="b.ogg" interval_min="100" interval_max="100"/>
                          <O type="ambient" src="c.ogg" interval_min="100" interval_max="100"/>
                        </E>)"));
    SchemeObject* zebra = MakeObject("Zebra");
    ASSERT_TRUE(Scheme().PlayEvent(zebra, 0.0f, 0.0f, 41, 3));
    const std::string first = SoundOf(OnlyInstance());
    EXPECT_EQ(first.substr(0, 14), "audio/sfx/vp4_");
    for (int round = 0; round < 5; ++round) {
        ASSERT_TRUE(RunUntilPending(1));
        port::control::AdvanceTime(100);
        Scheme().StartDueSounds();
        ASSERT_TRUE(Scheme().IsPlaying(zebra, 0.0f, 0.0f, 41));
        EXPECT_EQ(SoundOf(OnlyInstance()), first) << round;
    }
}

// A stop removes a waiting restart: the first of the object and the event, at any point.
TEST_F(SchemePlayTest, StopEventRemovesAWaitingRestart) {
    ASSERT_TRUE(Load(R"(<E Event="Bonus" PosX="100" PosY="100">
                          <O type="ambient" src="a.ogg" interval_min="1000" interval_max="1000"/></E>
                        <E Event="Bonus" PosX="200" PosY="200">
                          <O type="ambient" src="b.ogg" interval_min="1000" interval_max="1000"/></E>
                        <E Object="Zebra" Event="Sick">
                          <O type="loop" src="z.ogg" delay="1000"/></E>)"));
    SchemeObject* zebra = MakeObject("Zebra");
    ASSERT_TRUE(Scheme().PlayEvent(zebra, 0.0f, 0.0f, 41, 0));
    ASSERT_TRUE(RunUntilPending(1));
    Scheme().StopEvent(zebra, 0.0f, 0.0f, 41);
    EXPECT_TRUE(Scheme().GetPending().empty());

    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 200.0f, 200.0f, 61, 0));
    ASSERT_TRUE(RunUntilPending(1));
    EXPECT_EQ(Scheme().GetPending()[0].key.x, 200.0f);
    // Another event or object leaves it; the points are not compared.
    Scheme().StopEvent(nullptr, 100.0f, 100.0f, 60);
    Scheme().StopEvent(zebra, 200.0f, 200.0f, 61);
    EXPECT_EQ(Scheme().GetPending().size(), 1u);
    Scheme().StopEvent(nullptr, 100.0f, 100.0f, 61);
    EXPECT_TRUE(Scheme().GetPending().empty());
    Run(3000);
    Scheme().StartDueSounds();
    EXPECT_TRUE(Scheme().GetInstances().empty());
    EXPECT_TRUE(Buffers().empty());
}

// While its restart waits a key is free: a fresh play starts; when the restart comes due a
// second instance starts, and the key is the newer one's.
TEST_F(SchemePlayTest, AFreshPlayWhileARestartWaits) {
    Sounds().seconds = 1.0;
    ASSERT_TRUE(Load(R"(<E Event="Bonus"><O type="ambient" src="a.ogg" interval_min="300"
                                            interval_max="300"/></E>)"));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 61, 0));
    ASSERT_TRUE(RunUntilPending(1, 3000));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 61, 0));
    const std::shared_ptr<TSoundInstance> fresh = OnlyInstance();
    port::control::AdvanceTime(300);
    Scheme().StartDueSounds();
    EXPECT_EQ(Scheme().GetInstances().size(), 2u);
    ASSERT_EQ(Scheme().GetPlaying().size(), 1u);
    EXPECT_NE(Scheme().GetPlaying().begin()->second, fresh);
    EXPECT_EQ(Buffers().size(), 2u);
    for (const auto& buffer : Buffers())
        EXPECT_TRUE(buffer.playing);
}

// Update starts the fixed points of the table once a sound has started, and never the entries
// of (0, 0) or of a type.
TEST_F(SchemePlayTest, UpdateStartsTheFixedPoints) {
    ASSERT_TRUE(Load(R"(<E Event="Bonus" PosX="100" PosY="0"><O type="loop" src="a.ogg"/></E>
                        <E Event="Birth" PosX="0" PosY="-5"><O type="loop" src="b.ogg"/></E>
                        <E Event="Death"><O type="loop" src="c.ogg"/></E>
                        <E Object="Zebra" Event="Sick" PosX="7"><O type="loop" src="d.ogg"/></E>
                        <E Event="No" PosX="9"/>)"));
    Scheme().Update();
    EXPECT_TRUE(Scheme().GetInstances().empty());
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 64, 0));
    Scheme().Update();
    EXPECT_TRUE(Scheme().IsPlaying(nullptr, 100.0f, 0.0f, 61));
    EXPECT_TRUE(Scheme().IsPlaying(nullptr, 0.0f, -5.0f, 63));
    EXPECT_EQ(Scheme().GetPlaying().size(), 3u);
    // Again: what plays is refused.
    Scheme().Update();
    EXPECT_EQ(Scheme().GetPlaying().size(), 3u);
    EXPECT_EQ(Buffers().size(), 3u);
    // Disabled, nothing starts; StopAll leaves the scheme started.
    Scheme().StopAll();
    Scheme().SetEnabled(false);
    Scheme().Update();
    EXPECT_TRUE(Scheme().GetPlaying().empty());
    Scheme().SetEnabled(true);
    Scheme().Update();
    EXPECT_EQ(Scheme().GetPlaying().size(), 2u);
}

// Disabled, the scheme neither plays, restarts nor changes volumes; nothing is forgotten, and
// the waiting restarts start when it is enabled again.
TEST_F(SchemePlayTest, WhileDisabledRestartsWait) {
    ASSERT_TRUE(Load(R"(<E Event="Bonus" PosX="-1000" PosY="300">
                          <O type="ambient" src="a.ogg" interval_min="200" interval_max="200"
                             volume="100"/></E>
                        <E Event="Birth"><O type="loop" src="b.ogg" volume="50"/></E>)"));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, -1000.0f, 300.0f, 61, 0));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 63, 0));
    const uint32_t loop = LastBuffer();
    ASSERT_TRUE(RunUntilPending(1));
    Scheme().SetEnabled(false);
    EXPECT_FALSE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 61, 0));
    mApp->GetSoundManager()->SetGroupVolume(1000, 0.25f);
    const long applied = VolumeOf(loop);
    Scheme().UpdateVolumes();
    EXPECT_EQ(VolumeOf(loop), applied);
    Run(2000);
    Scheme().StartDueSounds();
    EXPECT_EQ(Scheme().GetPending().size(), 1u);
    EXPECT_EQ(Scheme().GetPlaying().size(), 1u);
    Scheme().SetEnabled(true);
    Scheme().StartDueSounds();
    EXPECT_TRUE(Scheme().GetPending().empty());
    EXPECT_TRUE(Scheme().IsPlaying(nullptr, -1000.0f, 300.0f, 61));
    // A restart of no object starts at its distance.
    const uint32_t restarted = LastBuffer();
    EXPECT_EQ(VolumeOf(restarted), DeviceVolume(1.0f * 0.5f * 0.25f));
    Scheme().UpdateVolumes();
    EXPECT_EQ(VolumeOf(restarted), DeviceVolume(1.0f * 0.5f * 0.25f));
    EXPECT_EQ(VolumeOf(loop), DeviceVolume(0.5f * 1.0f * 0.25f));
}

// While the world is paused nothing calls StartDueSounds; the restarts that fell due meanwhile
// all start on the first run after.
TEST_F(SchemePlayTest, RestartsDueDuringAPauseStartTogether) {
    ASSERT_TRUE(Load(R"(<E Event="Bonus" PosX="10"><O type="ambient" src="a.ogg" interval_min="100"
                                                      interval_max="400"/></E>
                        <E Event="Bonus" PosX="20"><O type="loop" src="b.ogg" delay="900"/></E>
                        <E Event="Birth"><O type="ambient" src="c.ogg" interval_min="2500"
                                            interval_max="2500"/></E>)"));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 10.0f, 0.0f, 61, 0));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 20.0f, 0.0f, 61, 0));
    ASSERT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 63, 0));
    ASSERT_TRUE(RunUntilPending(3));
    Run(2000);
    Scheme().StartDueSounds();
    EXPECT_EQ(Scheme().GetPlaying().size(), 2u);
    ASSERT_EQ(Scheme().GetPending().size(), 1u);
    EXPECT_EQ(Scheme().GetPending()[0].key.event, 63);
}

}  // namespace
}  // namespace gamesound_testing
