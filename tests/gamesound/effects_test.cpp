// GSoundEffects on the null device: the table and its registration, the volume factor of a point
// against the view (inside, outside, far outside, no position, no view yet), the volume the
// device receives, looping plays and StopAll, a missing effect, and no sound manager.
#include "gamesound/soundeffects.h"

#include <string>

#include "audio/sound.h"
#include "audio/soundinstance.h"
#include "audio/soundmanager.h"
#include "foundation/file/fileindex.h"
#include "gamesoundfixture.h"
#include "gv/gvscene.h"

namespace gamesound_testing {
namespace {

using Messages = std::vector<std::string>;

const char* const kNames[] = {
    "picked_up",     "buttonclick",      "no",         "thinking",
    "scared",        "curious",          "success",    "angry",
    "fight",         "building",         "stampede",   "hyena_laugh",
    "kissing",       "evolution",        "lion_roar",  "giraffe_bray",
    "gorilla_grunt", "elephant_trumpet", "zebra_bray", "water_flowing",
    "land_slide",    "achievement",
};

std::string EffectFile(int id) {
    return std::string("audio/sfx/") + kNames[id] + ".ogg";
}

const TVec2 kNoPosition{static_cast<float>(kNoSoundPosition.x),
                        static_cast<float>(kNoSoundPosition.y)};

class EffectsTest : public GameSoundTest {
protected:
    void SetUp() override {
        GameSoundTest::SetUp();
        for (int id = 0; id < GSoundEffects::kEffectCount; ++id)
            mFiles.Put(EffectFile(id), SweepFile(id == 19 ? 3.0 : 0.5));
    }
};

// Every effect of the table is preloaded in group 1000, under the path with its query.
TEST_F(EffectsTest, TheTableIsPreloadedInTheEffectsGroup) {
    StartSound();
    GSoundEffects effects;
    EXPECT_EQ(mLog.Messages(), Messages{});
    for (int id = 0; id < GSoundEffects::kEffectCount; ++id) {
        std::shared_ptr<TSound> sound = TSound::Get(EffectFile(id).c_str(), true, 1000);
        EXPECT_EQ(sound->GetGroup(), 1000);
        ASSERT_TRUE(effects.Play(0, id, kNoPosition, false)) << id;
        EXPECT_EQ(sound->GetPlayingCount(), 1u) << kNames[id];
    }
    EXPECT_FALSE(effects.Play(0, 22, kNoPosition, false));
    EXPECT_FALSE(effects.Play(0, -1, kNoPosition, false));
    EXPECT_EQ(Buffers().size(), 22u);
}

TEST_F(EffectsTest, RegistrationTakesTheTableRangeOnce) {
    GSoundEffects effects;
    EXPECT_FALSE(effects.RegisterEffect(22, "x.ogg"));
    EXPECT_FALSE(effects.RegisterEffect(-1, "x.ogg"));
    EXPECT_FALSE(effects.RegisterEffect(3, nullptr));
    // Id 2 keeps the path it has.
    EXPECT_TRUE(effects.RegisterEffect(2, "audio/sfx/thinking.ogg?group=1000"));
    TSoundManager* sound = StartSound();
    ASSERT_TRUE(effects.Play(0, 2, kNoPosition, false));
    EXPECT_EQ(TSound::Get("audio/sfx/no.ogg", true, 1000)->GetPlayingCount(), 1u);
    EXPECT_EQ(TSound::Get("audio/sfx/thinking.ogg", true, 1000)->GetPlayingCount(), 0u);
    EXPECT_EQ(sound->GetStreamCount(), 1u);
}

TEST_F(EffectsTest, TheVolumeFallsOffOutsideTheView) {
    GSoundEffects effects;
    GVScene scene;
    // Before a view: no falling off.
    EXPECT_EQ(effects.GetVolumeFactor({5000.0f, -5000.0f}), 1.0f);
    effects.SetView(&scene);
    const GVRect& view = scene.GetViewPort().GetRect();
    ASSERT_EQ(view.right, 800.0f);
    ASSERT_EQ(view.bottom, 600.0f);
    struct Case {
        TVec2 point;
        float factor;
    } cases[] = {
        {{400.0f, 300.0f}, 1.0f},
        {{0.0f, 0.0f}, 1.0f},
        {{800.0f, 600.0f}, 1.0f},
        {{1300.0f, 300.0f}, 0.5f},
        {{-500.0f, 300.0f}, 0.5f},
        {{803.0f, 604.0f}, 0.995f},
        // Fractions of a unit are dropped first.
        {{800.9f, 300.0f}, 1.0f},
        {{400.0f, -1.9f}, 0.999f},
        {{1789.0f, 300.0f}, 1.0f - 989.0f / 1000.0f},
        {{1790.0f, 300.0f}, 0.01f},
        {{5000.0f, 5000.0f}, 0.01f},
        {{1e12f, 0.0f}, 0.01f},
        {{-1e30f, 1e30f}, 0.01f},
        {kNoPosition, 1.0f},
    };
    for (const Case& c : cases)
        EXPECT_EQ(effects.GetVolumeFactor(c.point), c.factor) << c.point.x << ", " << c.point.y;
}

// The device receives the effects group's volume times the factor; a far point still plays.
TEST_F(EffectsTest, TheDeviceHearsTheGroupVolumeTimesTheFactor) {
    TSoundManager* sound = StartSound();
    sound->SetMasterVolume(0.8f);
    sound->SetGroupVolume(1000, 0.5f);
    GSoundEffects effects;
    GVScene scene;
    effects.SetView(&scene);
    struct Case {
        TVec2 point;
        float factor;
    } cases[] = {{{400.0f, 300.0f}, 1.0f},
                 {{1300.0f, 300.0f}, 0.5f},
                 {{1e12f, 0.0f}, 0.01f},
                 {kNoPosition, 1.0f}};
    for (const Case& c : cases) {
        ASSERT_TRUE(effects.Play(0, 6, c.point, false));
        ASSERT_FALSE(Buffers().empty());
        EXPECT_EQ(Buffers().back().volume, DeviceVolume(sound->GetVolume(1000) * c.factor))
            << c.point.x;
    }
    EXPECT_TRUE(effects.GetPlaying().empty());
}

// Looping plays are recorded, two of one id twice; StopAll ends them and every other sound of
// the effects group, and leaves the music alone.
TEST_F(EffectsTest, StopAllEndsTheEffectsGroup) {
    StartSound();
    mFiles.Put("audio/music/theme.ogg", SweepFile(3.0));
    GSoundEffects effects;
    EXPECT_TRUE(effects.Play(7, 19, {10.0f, 20.0f}, true));
    EXPECT_TRUE(effects.Play(8, 19, kNoPosition, true));
    EXPECT_TRUE(effects.Play(9, 3, kNoPosition, false));
    ASSERT_EQ(effects.GetPlaying().count(19), 2u);
    EXPECT_EQ(effects.GetPlaying().size(), 2u);
    const GSoundEffects::PlayingEffect& first = effects.GetPlaying().begin()->second;
    EXPECT_EQ(first.tag, 7);
    EXPECT_EQ(first.x, 10.0f);
    EXPECT_EQ(first.y, 20.0f);
    std::shared_ptr<TSound> scheme = TSound::Get("audio/sfx/no.ogg?group=1000", true, 0);
    std::shared_ptr<TSoundInstance> other = scheme->Play(true);
    std::shared_ptr<TSound> music = TSound::Get("audio/music/theme.ogg", false, 1001);
    std::shared_ptr<TSoundInstance> theme = music->Play(true);
    ASSERT_EQ(Buffers().size(), 5u);

    effects.StopAll();
    EXPECT_TRUE(effects.GetPlaying().empty());
    EXPECT_EQ(other->GetStream(), nullptr);
    ASSERT_EQ(Buffers().size(), 1u);
    EXPECT_NE(theme->GetStream(), nullptr);
    EXPECT_TRUE(Buffers()[0].playing);
    EXPECT_EQ(TSound::Get(EffectFile(19).c_str(), true, 1000)->GetPlayingCount(), 0u);
}

// A missing effect is reported when it is preloaded and when it is first asked for; from then on
// it answers false in silence. The others play.
TEST_F(EffectsTest, AMissingEffectAnswersFalseFromThenOn) {
    StartSound();
    RegisterMemoryFile(EffectFile(11).c_str(), nullptr, 0);
    GSoundEffects effects;
    EXPECT_EQ(mLog.Messages(), (Messages{"TAssetMap::AddAsset: Failed to find asset "
                                         "audio/sfx/hyena_laugh.ogg?group=1000 with any standard "
                                         "extension (jpg/png/anm/xml/ogg/mesh)"}));
    mLog.Clear();
    EXPECT_FALSE(effects.Play(0, 11, kNoPosition, false));
    // The asset map tries to load it on demand, then reports it.
    const Messages firstLookup{
        "TAssetMap::AddAsset: Failed to find asset "
        "audio/sfx/hyena_laugh.ogg?group=1000 with any standard extension "
        "(jpg/png/anm/xml/ogg/mesh)",
        "Sound asset not found: audio/sfx/hyena_laugh.ogg?group=1000"};
    EXPECT_EQ(mLog.Messages(), firstLookup);
    for (int again = 0; again < 3; ++again)
        EXPECT_FALSE(effects.Play(0, 11, kNoPosition, true));
    EXPECT_EQ(mLog.Messages(), firstLookup);
    EXPECT_TRUE(effects.GetPlaying().empty());
    EXPECT_TRUE(effects.Play(0, 12, kNoPosition, false));
}

TEST_F(EffectsTest, WithoutASoundManagerPlaysAnswerTrueAndRecordNothing) {
    GSoundEffects effects;
    EXPECT_TRUE(effects.Play(0, 1, kNoPosition, true));
    EXPECT_TRUE(effects.Play(0, 1, {5.0f, 5.0f}, false));
    EXPECT_TRUE(effects.GetPlaying().empty());
    effects.StopAll();
    EXPECT_EQ(mLog.Messages(), (Messages{"No Sound Manager", "No Sound Manager"}));
}

}  // namespace
}  // namespace gamesound_testing
