// GMusicManager on the null device and the fake clock: the tracks it takes and refuses, the game
// music that never loops and chains itself, quick starts, the fade volumes step by step as the
// device receives them, stops, missing tracks, the Lua functions, no sound manager, and the
// manager and its timer going in either order.
#include "gamesound/musicmanager.h"

#include <set>
#include <string>

#include "audio/sound.h"
#include "audio/soundinstance.h"
#include "audio/soundmanager.h"
#include "audio/soundstream.h"
#include "foundation/file/fileindex.h"
#include "foundation/random.h"
#include "gamesound/musictimer.h"
#include "gamesoundfixture.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace gamesound_testing {
namespace {

using Messages = std::vector<std::string>;

constexpr double kTrackSeconds = 2.5;

class MusicTest : public GameSoundTest {
protected:
    void SetUp() override {
        GameSoundTest::SetUp();
        for (const char* track : kMusicTracks)
            mFiles.Put(track, SweepFile(kTrackSeconds));
        GetMusicRandom().Seed(42);
        mExpectedRandom.Seed(42);
    }

    // The game track the music random picks next, as the manager will.
    std::string NextGameTrack() { return kMusicTracks[7 + mExpectedRandom.NextRange(0, 4)]; }
    static std::string Path(const GMusicManager& music, int channel) {
        return music.GetChannel(channel).path.c_str();
    }
    // The channel of the latest good start.
    static const GMusicManager::MusicChannel& Latest(const GMusicManager& music) {
        return music.GetChannel(1 - music.GetNextChannel());
    }
    // Until the fade in progress is over (at most 3 seconds).
    void FinishFade(const GMusicManager& music) {
        for (int step = 0; step < 30 && music.IsFading(); ++step)
            Run(100);
    }

    TRandom mExpectedRandom;
};

TEST_F(MusicTest, TracksOutsideTheTableAndTheCurrentOneAreRefused) {
    StartSound();
    GMusicManager music;
    for (int track : {8, -1, 1000}) {
        EXPECT_FALSE(music.PlayMusic(track, true, true, true)) << track;
        EXPECT_FALSE(music.PlayMusic(track, false, true, true)) << track;
    }
    EXPECT_TRUE(music.IsCurrentTrack(-1));
    EXPECT_EQ(music.GetChannel(0).sound, nullptr);
    EXPECT_TRUE(Buffers().empty());

    EXPECT_TRUE(music.PlayMusic(0, true, true, false));
    EXPECT_TRUE(music.IsCurrentTrack(0));
    EXPECT_EQ(Path(music, 0), kMusicTracks[0]);
    FinishFade(music);
    EXPECT_FALSE(music.PlayMusic(0, true, true, false));
    EXPECT_EQ(Buffers().size(), 1u);
    // Forced, the new copy fades in over the old one, which goes when it has faded out.
    EXPECT_TRUE(music.PlayMusic(0, true, true, true));
    EXPECT_EQ(Path(music, 1), kMusicTracks[0]);
    ASSERT_EQ(Buffers().size(), 2u);
    EXPECT_EQ(Buffers()[1].volume, DeviceVolume(0.0f));
    FinishFade(music);
    ASSERT_EQ(Buffers().size(), 1u);
    EXPECT_EQ(Buffers()[0].volume, DeviceVolume(1.0f));
    EXPECT_EQ(Path(music, 0), "");
    EXPECT_EQ(mLog.Messages(), Messages{});
}

// Track 7 picks one of the five game tracks and never loops; when it ends another one, picked
// again, fades in. The celebration chains game music the same way; the other tracks end in
// silence.
TEST_F(MusicTest, GameMusicChainsItself) {
    StartSound();
    GMusicManager music;
    EXPECT_TRUE(music.PlayMusic(7, true, true, false));
    std::string first = NextGameTrack();
    EXPECT_EQ(Path(music, 0), first);
    std::shared_ptr<TSoundInstance> playing = Latest(music).instance;
    for (int chained = 0; chained < 3; ++chained) {
        for (int ms = 0; ms < 6000 && Latest(music).instance == playing; ms += 50)
            Run(50);
        ASSERT_NE(Latest(music).instance, playing) << "a game track ended into silence";
        playing = Latest(music).instance;
        EXPECT_EQ(Latest(music).path.c_str(), NextGameTrack());
        EXPECT_TRUE(music.IsCurrentTrack(7));
        EXPECT_TRUE(music.IsFading());
        EXPECT_EQ(music.GetFadeSteps(), 0);
    }

    EXPECT_TRUE(music.PlayMusic(6, true, false, false));
    std::shared_ptr<TSoundInstance> celebration = Latest(music).instance;
    for (int ms = 0; ms < 6000 && Latest(music).instance == celebration; ms += 50)
        Run(50);
    EXPECT_EQ(Latest(music).path.c_str(), NextGameTrack());
    EXPECT_TRUE(music.IsCurrentTrack(7));

    EXPECT_TRUE(music.PlayMusic(1, false, false, false));
    Run(6000);
    EXPECT_TRUE(Buffers().empty());
    EXPECT_EQ(Latest(music).path.c_str(), std::string(kMusicTracks[1]));
    EXPECT_TRUE(music.IsCurrentTrack(1));
}

TEST_F(MusicTest, GameTracksComeFromTheFiveAtRandom) {
    GMusicManager music;
    std::set<std::string> heard;
    for (int start = 0; start < 60; ++start) {
        ASSERT_TRUE(music.PlayMusic(7, start % 2 == 0, false, true));
        std::string path = Latest(music).path.c_str();
        EXPECT_EQ(path, NextGameTrack());
        heard.insert(path);
    }
    EXPECT_EQ(heard, (std::set<std::string>(kMusicTracks + 7, kMusicTracks + 12)));
}

// With cross-fade, a third start stops at once what the first started, which still fades out.
TEST_F(MusicTest, TwoQuickStartsStopTheMusicTwoStartsBack) {
    StartSound();
    GMusicManager music;
    EXPECT_TRUE(music.PlayMusic(4, true, true, false));
    Run(100);
    EXPECT_TRUE(music.PlayMusic(5, true, true, false));
    Run(100);
    std::shared_ptr<TSoundInstance> first = music.GetChannel(0).instance;
    ASSERT_EQ(Buffers().size(), 2u);
    EXPECT_TRUE(music.PlayMusic(6, true, true, false));
    EXPECT_EQ(first->GetStream(), nullptr);
    EXPECT_EQ(Buffers().size(), 2u);
    EXPECT_EQ(Path(music, 0), kMusicTracks[6]);
    EXPECT_EQ(Path(music, 1), kMusicTracks[5]);
    EXPECT_EQ(music.GetNextChannel(), 1);
}

// At music volume 1 each step moves both channels by 0.05: the outgoing one stops at step 20 and
// the fade ends at step 21. At music volume 0 both happen at the first step.
TEST_F(MusicTest, TheFadeStepByStep) {
    TSoundManager* sound = StartSound();
    GMusicManager music;
    EXPECT_TRUE(music.PlayMusic(0, true, true, false));
    FinishFade(music);
    EXPECT_TRUE(music.PlayMusic(4, true, true, false));
    EXPECT_FLOAT_EQ(music.GetTargetVolume(), 1.0f);
    ASSERT_EQ(Buffers().size(), 2u);
    const uint32_t incoming = Buffers()[1].id;
    for (int step = 1; step <= 21; ++step) {
        Run(100);
        ASSERT_EQ(music.GetFadeSteps(), step);
        const auto f = static_cast<float>(step * 0.05);
        std::vector<port::control::SoundBufferInfo> buffers = Buffers();
        if (step < 20) {
            ASSERT_EQ(buffers.size(), 2u) << step;
            EXPECT_EQ(buffers[0].volume, DeviceVolume(1.0f - f)) << step;
        } else {
            ASSERT_EQ(buffers.size(), 1u) << step;
        }
        EXPECT_EQ(buffers.back().id, incoming);
        EXPECT_EQ(buffers.back().volume, DeviceVolume(step < 21 ? f : 1.0f)) << step;
        EXPECT_EQ(music.IsFading(), step < 21) << step;
    }
    EXPECT_EQ(Path(music, 0), "");

    sound->SetGroupVolume(1001, 0.0f);
    EXPECT_TRUE(music.PlayMusic(5, true, true, false));
    EXPECT_EQ(music.GetTargetVolume(), 0.0f);
    Run(100);
    EXPECT_FALSE(music.IsFading());
    ASSERT_EQ(Buffers().size(), 1u);
    EXPECT_EQ(Buffers()[0].volume, DeviceVolume(0.0f));
    EXPECT_EQ(Path(music, 1), "");
}

// A stop clears the paths first: the game track it stops chains nothing, and no music plays or
// fades in afterwards.
TEST_F(MusicTest, StopMusicDuringAGameTrackLeavesSilence) {
    StartSound();
    GMusicManager music;
    EXPECT_TRUE(music.PlayMusic(0, true, true, false));
    Run(500);
    EXPECT_TRUE(music.PlayMusic(7, true, true, false));
    Run(500);
    music.StopMusic();
    EXPECT_TRUE(music.IsCurrentTrack(-1));
    EXPECT_TRUE(Buffers().empty());
    EXPECT_EQ(Path(music, 0), "");
    EXPECT_EQ(Path(music, 1), "");
    Run(6000);
    EXPECT_TRUE(Buffers().empty());
    EXPECT_TRUE(music.IsCurrentTrack(-1));
    // Without cross-fade a start stops the music first.
    EXPECT_TRUE(music.PlayMusic(3, true, true, false));
    EXPECT_TRUE(music.PlayMusic(4, false, true, false));
    ASSERT_EQ(Buffers().size(), 1u);
    EXPECT_EQ(Buffers()[0].volume, DeviceVolume(1.0f));
}

// The current track names the track that failed; the music of the last good start plays on.
TEST_F(MusicTest, AMissingTrackLeavesThePreviousMusicPlaying) {
    StartSound();
    RegisterMemoryFile(kMusicTracks[2], nullptr, 0);
    GMusicManager music;
    EXPECT_TRUE(music.PlayMusic(0, true, true, false));
    FinishFade(music);
    EXPECT_FALSE(music.PlayMusic(2, true, true, false));
    EXPECT_EQ(mLog.Messages(),
              Messages{"TSound::Get: No valid sound file found: audio/music/lose.ogg"});
    EXPECT_TRUE(music.IsCurrentTrack(2));
    EXPECT_EQ(music.GetNextChannel(), 1);
    EXPECT_EQ(music.GetChannel(1).sound, nullptr);
    ASSERT_EQ(Buffers().size(), 1u);
    EXPECT_TRUE(Buffers()[0].playing);
    Run(3000);
    ASSERT_EQ(Buffers().size(), 1u);
    EXPECT_EQ(Buffers()[0].volume, DeviceVolume(1.0f));
}

TEST_F(MusicTest, WithoutASoundManagerNothingFails) {
    GMusicManager music;
    EXPECT_TRUE(music.PlayMusic(0, true, true, false));
    EXPECT_EQ(Latest(music).instance, nullptr);
    EXPECT_NE(Latest(music).sound, nullptr);
    Run(3000);
    EXPECT_TRUE(music.PlayMusic(7, false, true, false));
    Run(3000);
    music.StopMusic();
    EXPECT_TRUE(music.IsCurrentTrack(-1));
    EXPECT_EQ(mLog.Messages(), (Messages{"No Sound Manager", "No Sound Manager"}));
}

// The value of a Lua expression in the window script's state, as text.
std::string Lua(const char* expression) {
    lua_State* L = TWindowManager::Get()->GetScript()->GetState();
    std::string code = std::string("result = tostring(") + expression + ")";
    EXPECT_EQ(lua_dostring(L, code.c_str()), 0) << code;
    lua_pushstring(L, "result");
    lua_gettable(L, LUA_GLOBALSINDEX);
    std::string text = lua_tostring(L, -1) != nullptr ? lua_tostring(L, -1) : "";
    lua_pop(L, 1);
    return text;
}

TEST_F(MusicTest, TheLuaFunctionsAnswerFalseWhileTheirTrackIsCurrent) {
    StartSound();
    auto music = std::make_unique<GMusicManager>();
    EXPECT_EQ(Lua("PlayInterfaceMusic()"), "true");
    EXPECT_TRUE(music->IsCurrentTrack(0));
    EXPECT_EQ(Lua("PlayInterfaceMusic()"), "false");
    EXPECT_EQ(Lua("PlayGameMusic()"), "true");
    EXPECT_TRUE(music->IsCurrentTrack(7));
    EXPECT_EQ(Lua("PlayGameMusic()"), "false");
    EXPECT_EQ(Lua("PlayInterfaceMusic()"), "true");
    music.reset();
    EXPECT_EQ(Lua("PlayInterfaceMusic"), "nil");
    EXPECT_EQ(Lua("PlayGameMusic"), "nil");
}

// The manager goes first: its timer ends at its next run. The task list goes first: the manager
// has no timer any more. Then the whole application object goes with music playing, before the
// manager. AddressSanitizer sees each.
TEST_F(MusicTest, TheManagerAndItsTimerGoInEitherOrder) {
    StartSound();
    const size_t tasks = mApp->GetTaskList()->GetTaskCount();
    auto music = std::make_unique<GMusicManager>();
    GMusicTimer* timer = music->GetTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->GetOwner(), music.get());
    EXPECT_EQ(mApp->GetTaskList()->GetTaskCount(), tasks + 1);
    EXPECT_TRUE(music->PlayMusic(0, true, true, false));
    music.reset();
    EXPECT_EQ(timer->GetOwner(), nullptr);
    EXPECT_TRUE(Buffers().empty());
    Run(200);
    EXPECT_EQ(mApp->GetTaskList()->GetTaskCount(), tasks);

    music = std::make_unique<GMusicManager>();
    EXPECT_TRUE(music->PlayMusic(7, true, true, false));
    mApp->GetTaskList()->DeleteAll();
    EXPECT_EQ(music->GetTimer(), nullptr);
    Run(200);

    music = std::make_unique<GMusicManager>();
    EXPECT_TRUE(music->PlayMusic(0, true, true, false));
    Run(500);
    mApp.reset();
    EXPECT_EQ(music->GetTimer(), nullptr);
    music.reset();
}

}  // namespace
}  // namespace gamesound_testing
