#include "audio/sound.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/assetmanager.h"
#include "foundation/file/fileindex.h"
#include "support/logcapture.h"

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

// TSound::Get with an asset manager of the test's own and sound files in memory.
class SoundGetTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAssetManager(&mManager);
        RegisterMemoryFile("audio/sfx/no.ogg", kBytes, 4);
        RegisterMemoryFile("music/theme.ogg", kBytes, 4);
    }
    void TearDown() override { SetAssetManager(nullptr); }

    static constexpr char kBytes[] = "OggS";
    TAssetManager mManager;
    testing_support::LogCapture mLog;
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

    RegisterMemoryFile("fx/late.ogg", kBytes, 4);
    EXPECT_NE(TSound::Get("fx/late.ogg", true, 3), nullptr);

    // Without an asset manager a sound is still made, only not shared.
    SetAssetManager(nullptr);
    std::shared_ptr<TSound> alone = TSound::Get("fx/late.ogg", true, 3);
    ASSERT_NE(alone, nullptr);
    EXPECT_NE(TSound::Get("fx/late.ogg", true, 3), alone);
}

}  // namespace
