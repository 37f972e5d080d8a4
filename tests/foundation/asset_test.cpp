#include "foundation/assetmanager.h"

#include <gtest/gtest.h>

#include "foundation/asset.h"
#include "support/printers.h"

namespace {

// A small family of kinds: TPicture : TAsset, TMovingPicture : TPicture, TTune : TAsset. The
// first is written out by hand, the others through TAssetKind.
class TPicture : public TAsset {
public:
    static TAssetClassId TypeId() {
        static const char marker = 0;
        return &marker;
    }
    const char* GetClassName() const override { return "TPicture"; }
    bool IsKindOf(TAssetClassId id) const override {
        return id == TypeId() || TAsset::IsKindOf(id);
    }
    void Release() override { ++released; }
    void Restore() override { ++restored; }
    int released = 0;
    int restored = 0;
};

class TMovingPicture : public TAssetKind<TMovingPicture, TPicture> {};

class TTune : public TAssetKind<TTune, TAsset> {};

// The usual loader: look the key up, take it when it is of the right kind, else make a new one.
std::shared_ptr<TPicture> GetPicture(TAssetManager& manager, const str& name, int* loads) {
    str key = name + ":pic";
    if (std::shared_ptr<TPicture> found = AssetCast<TPicture>(manager.FindAsset(key))) return found;
    auto picture = std::make_shared<TPicture>();
    ++*loads;
    manager.AddAsset(key, picture);
    return picture;
}

TEST(AssetTest, KindsAndNames) {
    auto moving = std::make_shared<TMovingPicture>();
    TAsset base;
    EXPECT_STREQ(base.GetClassName(), "TAsset");
    EXPECT_TRUE(base.IsKindOf(TAsset::TypeId()));
    EXPECT_FALSE(base.IsKindOf(TPicture::TypeId()));
    EXPECT_TRUE(moving->IsKindOf(TMovingPicture::TypeId()));
    EXPECT_TRUE(moving->IsKindOf(TPicture::TypeId()));
    EXPECT_TRUE(moving->IsKindOf(TAsset::TypeId()));
    EXPECT_FALSE(moving->IsKindOf(TTune::TypeId()));
    EXPECT_STREQ(moving->GetClassName(), "TPicture");
}

TEST(AssetTest, CastsShareOwnershipOrGiveEmpty) {
    std::shared_ptr<TAsset> asset = std::make_shared<TMovingPicture>();
    TAsset* raw = asset.get();
    std::shared_ptr<TPicture> picture = AssetCast<TPicture>(raw);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture.get(), raw);
    EXPECT_EQ(asset.use_count(), 2);
    EXPECT_EQ(AssetCast<TTune>(asset), nullptr);
    EXPECT_EQ(AssetCast<TMovingPicture>(std::shared_ptr<TAsset>()), nullptr);
    EXPECT_EQ(AssetCast<TPicture>(static_cast<TAsset*>(nullptr)), nullptr);
    TPicture unshared;  // not made into a shared_ptr: nothing to share
    EXPECT_EQ(AssetCast<TPicture>(&unshared), nullptr);
}

TEST(AssetManagerTest, AbsentKeyLeavesAnExpiredEntryThatOnlyReleaseAllPrunes) {
    TAssetManager manager;
    EXPECT_EQ(manager.FindAsset("ghost"), nullptr);
    EXPECT_TRUE(manager.HasEntry("ghost"));
    manager.RestoreAll();
    EXPECT_TRUE(manager.HasEntry("ghost"));
    manager.ReleaseAll();
    EXPECT_FALSE(manager.HasEntry("ghost"));
}

TEST(AssetManagerTest, SharedWhileHeldNewAfterwards) {
    TAssetManager manager;
    int loads = 0;
    std::shared_ptr<TPicture> first = GetPicture(manager, "tree", &loads);
    std::shared_ptr<TPicture> second = GetPicture(manager, "tree", &loads);
    EXPECT_EQ(first, second);
    EXPECT_EQ(loads, 1);
    TPicture* old = first.get();
    first.reset();
    second.reset();  // the manager does not keep it alive
    EXPECT_EQ(manager.FindAsset("tree:pic"), nullptr);
    std::shared_ptr<TPicture> third = GetPicture(manager, "tree", &loads);
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(manager.GetEntryCount(), 1u);
    (void)old;
}

TEST(AssetManagerTest, WrongKindUnderAKeyIsReplaced) {
    TAssetManager manager;
    auto tune = std::make_shared<TTune>();
    manager.AddAsset("tree:pic", tune);
    int loads = 0;
    std::shared_ptr<TPicture> picture = GetPicture(manager, "tree", &loads);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(manager.FindAsset("tree:pic"), picture);
}

TEST(AssetManagerTest, AddRemoveAndReplace) {
    TAssetManager manager;
    auto a = std::make_shared<TPicture>();
    auto b = std::make_shared<TPicture>();
    manager.AddAsset("k", a);
    manager.AddAsset("k", b);
    EXPECT_EQ(manager.FindAsset("k"), b);
    manager.AddAsset("k", nullptr);
    EXPECT_EQ(manager.FindAsset("k"), nullptr);
    EXPECT_TRUE(manager.HasEntry("k"));
    manager.RemoveAsset("k");
    manager.RemoveAsset("never");
    EXPECT_EQ(manager.GetEntryCount(), 0u);
    EXPECT_EQ(a.use_count(), 1);  // the manager never took a share
    manager.AddAsset("K", a);     // keys are case-sensitive
    EXPECT_EQ(manager.FindAsset("k"), nullptr);
}

TEST(AssetManagerTest, ReleaseAndRestoreOncePerLiveAsset) {
    TAssetManager manager;
    auto a = std::make_shared<TPicture>();
    auto b = std::make_shared<TMovingPicture>();
    manager.AddAsset("a", a);
    manager.AddAsset("b", b);
    manager.AddAsset("b2", b);  // one asset under two keys is told twice
    {
        auto gone = std::make_shared<TPicture>();
        manager.AddAsset("gone", gone);
    }
    manager.FindAsset("absent");
    manager.ReleaseAll();
    EXPECT_EQ(a->released, 1);
    EXPECT_EQ(b->released, 2);
    EXPECT_EQ(manager.GetEntryCount(), 3u);
    b.reset();
    manager.RestoreAll();
    EXPECT_EQ(a->restored, 1);
    EXPECT_EQ(manager.GetEntryCount(), 3u);  // b's expired entries stay until the next ReleaseAll
}

// An asset that erases its own entry when destroyed, as created textures do, and only while an
// application manager exists.
class TSelfErasing : public TPicture {
public:
    explicit TSelfErasing(str key) : mKey(key) {}
    ~TSelfErasing() override {
        if (TAssetManager* manager = GetAssetManager()) manager->RemoveAsset(mKey);
    }
    void Release() override {
        TPicture::Release();
        // Dropping its last holder from inside the walk: the walk must not trip over it.
        if (onRelease) onRelease();
    }
    std::function<void()> onRelease;

private:
    str mKey;
};

TEST(AssetManagerTest, AnAssetMayEraseEntriesDuringTheWalk) {
    TAssetManager manager;
    SetAssetManager(&manager);
    auto first = std::make_shared<TSelfErasing>("a");
    std::shared_ptr<TSelfErasing> second = std::make_shared<TSelfErasing>("b");
    auto third = std::make_shared<TPicture>();
    manager.AddAsset("a", first);
    manager.AddAsset("b", second);
    manager.AddAsset("c", third);
    first->onRelease = [&second] { second.reset(); };  // "b" erases itself while "a" is released
    manager.ReleaseAll();
    EXPECT_EQ(third->released, 1);
    EXPECT_FALSE(manager.HasEntry("b"));
    SetAssetManager(nullptr);
}

TEST(AssetManagerTest, AnAssetOutlivingTheApplicationManagerLeavesItAlone) {
    auto late = std::make_shared<TSelfErasing>("late");
    {
        TAssetManager manager;
        SetAssetManager(&manager);
        manager.AddAsset("late", late);
        SetAssetManager(nullptr);  // the application object's teardown
    }
    EXPECT_EQ(GetAssetManager(), nullptr);
    late.reset();  // must not reach the destroyed manager
}

}  // namespace
