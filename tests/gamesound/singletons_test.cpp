// The singletons as the game has them: made on first use while the application object lives,
// destroyed at process exit after it, with music and a looping effect still playing when the
// sound manager goes. The process's exit runs their destructors (AddressSanitizer watches).
#include "gamesound/musicmanager.h"
#include "gamesound/soundeffects.h"
#include "gamesoundfixture.h"

namespace gamesound_testing {
namespace {

TEST_F(GameSoundTest, TheSingletonsOutliveTheApplicationObject) {
    mFiles.Put(kMusicTracks[0], SweepFile(3.0));
    mFiles.Put("audio/sfx/water_flowing.ogg", SweepFile(3.0));
    StartSound();
    GMusicManager& music = GMusicManager::Get();
    EXPECT_EQ(&GMusicManager::Get(), &music);
    GSoundEffects& effects = GSoundEffects::Get();
    EXPECT_EQ(&GSoundEffects::Get(), &effects);
    EXPECT_TRUE(music.PlayInterfaceMusic());
    EXPECT_TRUE(effects.Play(0, 19, {1.0f, 1.0f}, true));
    Run(1000);
    EXPECT_EQ(Buffers().size(), 2u);
    mApp.reset();
    EXPECT_EQ(music.GetTimer(), nullptr);
    // What the game might still ask of them plays nothing and fails nowhere (the files went with
    // the application object).
    music.PlayMusic(0, true, true, true);
    music.Update();
    effects.Play(0, 1, {1.0f, 1.0f}, false);
    effects.StopAll();
    EXPECT_TRUE(effects.GetPlaying().empty());
}

}  // namespace
}  // namespace gamesound_testing
