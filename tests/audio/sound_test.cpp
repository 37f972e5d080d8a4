// TSound as an asset: its kind, and TSound::Get (path, group and key, sharing, missing and
// damaged files) with an asset manager of the test's own and Ogg files in memory.
#include "audio/sound.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "foundation/assetmanager.h"
#include "oggfixture.h"

namespace {

using Messages = std::vector<std::string>;

class TOtherAsset : public TAssetKind<TOtherAsset, TAsset> {};

TEST(SoundTest, KindAndCast) {
    TAssetManager manager;
    auto sound = std::make_shared<TSound>();
    manager.AddAsset("sounds/drum.ogg;1;-1", sound);
    std::shared_ptr<TAsset> found = manager.FindAsset("sounds/drum.ogg;1;-1");
    EXPECT_STREQ(found->GetClassName(), "TSound");
    EXPECT_TRUE(found->IsKindOf(TAsset::TypeId()));
    EXPECT_NE(TSound::TypeId(), TAsset::TypeId());
    EXPECT_EQ(AssetCast<TSound>(found), sound);
    EXPECT_EQ(AssetCast<TOtherAsset>(found), nullptr);
    EXPECT_EQ(AssetCast<TSound>(std::make_shared<TOtherAsset>()), nullptr);
    EXPECT_EQ(AssetCast<TSound>(std::make_shared<TAsset>()), nullptr);
}

class SoundGetTest : public audio_testing::OggFilesTest {
protected:
    void SetUp() override {
        OggFilesTest::SetUp();
        SetAssetManager(&mManager);
        Put("audio/sfx/no.ogg", Short());
        Put("music/theme.ogg", Short());
    }
    void TearDown() override { SetAssetManager(nullptr); }

    static const std::string& Short() {
        static const std::string bytes = audio_testing::SweepOgg(0.2);
        return bytes;
    }

    TAssetManager mManager;
};

TEST_F(SoundGetTest, PathGroupAndKey) {
    struct Case {
        const char* name;
        bool preload;
        int defaultGroup;
        const char* path;
        int group;
        const char* key;
    } cases[] = {
        {"audio/sfx/no.ogg?group=1000", true, -1, "audio/sfx/no.ogg", 1000,
         "audio/sfx/no.ogg;1;1000"},
        {"audio/sfx/no.ogg", false, 1001, "audio/sfx/no.ogg", 1001, "audio/sfx/no.ogg;0;1001"},
        // A query without "group=" keeps the default; letters after it read as 0.
        {"audio/sfx/no.ogg?loud", true, 5, "audio/sfx/no.ogg", 5, "audio/sfx/no.ogg;1;5"},
        {"audio/sfx/no.ogg?group=abc", true, 5, "audio/sfx/no.ogg", 0, "audio/sfx/no.ogg;1;0"},
        // Only the first "?" counts, and "group=" is looked for from it on.
        {"audio/sfx/no.ogg?a?group=7", true, 0, "audio/sfx/no.ogg", 7, "audio/sfx/no.ogg;1;7"},
        // Negative groups, the widest among them, keep their sign in the key.
        {"audio/sfx/no.ogg", true, -1, "audio/sfx/no.ogg", -1, "audio/sfx/no.ogg;1;-1"},
        {"audio/sfx/no.ogg?group=-2147483648", false, 0, "audio/sfx/no.ogg", INT_MIN,
         "audio/sfx/no.ogg;0;-2147483648"},
    };
    for (const Case& c : cases) {
        std::shared_ptr<TSound> sound = TSound::Get(c.name, c.preload, c.defaultGroup);
        ASSERT_NE(sound, nullptr) << c.name;
        EXPECT_EQ(sound->GetName(), c.path) << c.name;
        EXPECT_EQ(sound->GetGroup(), c.group) << c.name;
        EXPECT_EQ(mManager.FindAsset(c.key), sound) << c.name;
    }
    EXPECT_EQ(mLog.Messages(), Messages{});
}

TEST_F(SoundGetTest, SameArgumentsShareOneSound) {
    std::shared_ptr<TSound> effect = TSound::Get("music/theme.ogg?group=1000", true, 0);
    std::shared_ptr<TSound> music = TSound::Get("music/theme.ogg?group=1001", true, 0);
    ASSERT_NE(effect, nullptr);
    ASSERT_NE(music, nullptr);
    EXPECT_NE(effect, music);
    EXPECT_EQ(TSound::Get("music/theme.ogg", true, 1000), effect);
    EXPECT_NE(TSound::Get("music/theme.ogg", false, 1000), effect);

    std::weak_ptr<TSound> watch = effect;
    effect.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_NE(TSound::Get("music/theme.ogg", true, 1000), nullptr);
}

TEST_F(SoundGetTest, MissingFileIsLoggedOnEveryCall) {
    EXPECT_EQ(TSound::Get("", true, 0), nullptr);
    EXPECT_EQ(TSound::Get("fx/late.ogg?group=3", true, 0), nullptr);
    EXPECT_EQ(TSound::Get("fx/late.ogg", true, 3), nullptr);
    EXPECT_EQ(mLog.Messages(), (Messages{"TSound::Get: No valid sound file found: fx/late.ogg",
                                         "TSound::Get: No valid sound file found: fx/late.ogg"}));
    EXPECT_EQ(mManager.FindAsset("fx/late.ogg;1;3"), nullptr);

    Put("fx/late.ogg", Short());
    EXPECT_NE(TSound::Get("fx/late.ogg", true, 3), nullptr);

    // Without an asset manager a sound is still made, only not shared.
    SetAssetManager(nullptr);
    std::shared_ptr<TSound> alone = TSound::Get("fx/late.ogg", true, 3);
    ASSERT_NE(alone, nullptr);
    EXPECT_NE(TSound::Get("fx/late.ogg", true, 3), alone);
}

// The sound's data: its length, from the source, whether streamed or preloaded.
TEST_F(SoundGetTest, TheLengthComesFromTheSource) {
    Put("music/long.ogg", audio_testing::SweepOgg(3.0));
    for (bool preload : {false, true}) {
        std::shared_ptr<TSound> sound = TSound::Get("music/long.ogg", preload, 1001);
        ASSERT_NE(sound, nullptr);
        EXPECT_NEAR(sound->GetLength(), 3.0f, 0.001f) << preload;
        EXPECT_EQ(sound->GetPlayingCount(), 0u);
    }
    EXPECT_EQ(std::make_shared<TSound>()->GetLength(), 0.0f);
}

// Another kind of asset (a texture, say) under a sound's key is not a sound: a new sound takes the
// key over.
TEST_F(SoundGetTest, AnotherKindUnderTheKeyCountsAsAbsent) {
    auto other = std::make_shared<TOtherAsset>();
    mManager.AddAsset("audio/sfx/no.ogg;1;1000", other);
    std::shared_ptr<TSound> sound = TSound::Get("audio/sfx/no.ogg?group=1000", true, 0);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(mManager.FindAsset("audio/sfx/no.ogg;1;1000"), sound);
    EXPECT_EQ(mLog.Messages(), Messages{});
}

// A file that is there but holds no Ogg sound: the decoder's line, then the sound's, each time.
TEST_F(SoundGetTest, AFileThatIsNoSoundGivesNone) {
    Put("fx/text.ogg", "OggS but nothing after it");
    for (int call = 0; call < 2; ++call)
        EXPECT_EQ(TSound::Get("fx/text.ogg", true, 1000), nullptr);
    EXPECT_EQ(mLog.Messages(), (Messages{"OGG file could not be opened",
                                         "TSound::Get: No valid sound file found: fx/text.ogg",
                                         "OGG file could not be opened",
                                         "TSound::Get: No valid sound file found: fx/text.ogg"}));
    EXPECT_EQ(mManager.FindAsset("fx/text.ogg;1;1000"), nullptr);
}

}  // namespace
