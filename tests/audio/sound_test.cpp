#include "audio/sound.h"

#include <gtest/gtest.h>

#include "foundation/assetmanager.h"

namespace {

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

}  // namespace
