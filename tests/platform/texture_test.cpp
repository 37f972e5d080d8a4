#include "platform/texture/texture.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>

#include "support/printers.h"
#include "texturefixture.h"

namespace {

TEST_F(TextureTest, KeysNameTheLoadChoices) {
    struct Case {
        str key, expected;
    } cases[] = {
        {TTexture::MakeKey("sprites\\a\\b.png", false, false, false), "sprites/a/b.png:tex"},
        {TTexture::MakeKey("b.png", true, true, true), "b.png:a:m:s:tex"},
        {TTexture::MakeKey("b.png", false, true, false), "b.png:m:tex"},
        {TTexture::MakeKey("b.png?alpha", false, false, true), "b.png?alpha:s:tex"},
        {TTexture::MakeMaskKey("x\\a.jpg", "m.png", false, false), "x\\a.jpg:m.png:tex"},
        {TTexture::MakeMaskKey("a.jpg", "m.png", true, true), "a.jpg:m.png:m:s:tex"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.key, c.expected);

    // The whole address, however wide a pointer is.
    TTexture* address = reinterpret_cast<TTexture*>(uintptr_t{0x7f12345678ab});
    char expected[64];
    std::snprintf(expected, sizeof expected, "%" PRIxPTR ":tex:r",
                  reinterpret_cast<uintptr_t>(address));
    EXPECT_EQ(TTexture::MakeCreatedKey(address), str(expected));
}

TEST_F(TextureTest, GetSharesOneTexturePerKey) {
    Put("sprites/a.png", SolidPng(4, 4, 0xFF102030u));
    std::shared_ptr<TTexture> slash = TTexture::Get("sprites/a.png", 0);
    std::shared_ptr<TTexture> backslash = TTexture::Get("sprites\\a.png", 0);
    ASSERT_NE(slash, nullptr);
    EXPECT_EQ(slash, backslash);
    EXPECT_EQ(TTexture::FindCached("sprites/a.png:tex"), slash);

    std::shared_ptr<TTexture> forced = TTexture::Get("sprites/a.png", TTexture::kGetAlpha);
    ASSERT_NE(forced, nullptr);
    EXPECT_NE(forced, slash);
    EXPECT_EQ(TTexture::FindCached("sprites/a.png:a:tex"), forced);
    EXPECT_TRUE(forced->HasAlpha());
    EXPECT_FALSE(slash->HasAlpha());

    EXPECT_EQ(TTexture::Get("sprites/a.png", TTexture::kGetNoAlpha), slash);
}

// The cached texture comes back with the flags of its first load, and no file is read.
TEST_F(TextureTest, CachedTextureIsReturnedUnchanged) {
    Put("a.png", SolidPng(4, 4, 0xFF102030u));
    std::shared_ptr<TTexture> first = TTexture::Get("a.png", TTexture::kGetNoAlpha);
    ASSERT_NE(first, nullptr);
    uint8_t firstFlags = Flags(first);
    RegisterMemoryFile("a.png", nullptr, 0);

    std::shared_ptr<TTexture> second = TTexture::Get("a.png", 0);
    EXPECT_EQ(second, first);
    EXPECT_EQ(Flags(second), firstFlags);
    EXPECT_EQ(TTexture::Get("a.png", 0), first);
}

TEST_F(TextureTest, FailedLoadGivesNothingAndLogsNothing) {
    mLog.Clear();
    EXPECT_EQ(TTexture::Get("missing.png", 0), nullptr);
    EXPECT_EQ(TTexture::Get("missing", 0), nullptr);
    EXPECT_EQ(TTexture::GetCursorTexture("missing.png"), nullptr);
    EXPECT_EQ(TTexture::GetWithMask("missing.png", "m.png", 0), nullptr);
    EXPECT_EQ(TTexture::FindCached("missing.png:tex"), nullptr);
    EXPECT_TRUE(mLog.Messages().empty());
}

TEST_F(TextureTest, CursorAndMaskGettersSetTheirFlags) {
    Put("cursor.png", SolidPng(32, 32, 0x80FFFFFFu, true));
    std::shared_ptr<TTexture> cursor = TTexture::GetCursorTexture("cursor.png");
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(TTexture::FindCached("cursor.png:s:tex"), cursor);
    EXPECT_TRUE(cursor->IsSimple());
    EXPECT_TRUE(cursor->HasAlpha());  // the image has alpha and decides

    Put("b.png", SolidPng(8, 8, 0xFF000000u));
    Put("m.png", SolidPng(8, 8, 0xFF400000u));
    std::shared_ptr<TTexture> masked =
        TTexture::GetWithMask("b.png", "m.png", TTexture::kGetMipmap);
    ASSERT_NE(masked, nullptr);
    EXPECT_EQ(TTexture::FindCached("b.png:m.png:m:tex"), masked);
    EXPECT_EQ(Flags(masked), TTextureData::kHasAlpha | TTextureData::kMipmaps);
    EXPECT_EQ(Memory(masked)->GetPixel(3, 3), 0x40000000u);
}

TEST_F(TextureTest, CreatedTexturesHaveKeysOfTheirOwn) {
    std::shared_ptr<TTexture> a = TTexture::Create(16, 8, true);
    std::shared_ptr<TTexture> b = TTexture::Create(4, 4, false);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Flags(a), TTextureData::kCreated | TTextureData::kHasAlpha);
    EXPECT_EQ(Flags(b), TTextureData::kCreated);
    EXPECT_EQ(a->GetWidth(), 16);
    EXPECT_EQ(a->GetHeight(), 8);
    EXPECT_TRUE(Memory(a)->HasSurface());

    str keyA = TTexture::MakeCreatedKey(a.get());
    str keyB = TTexture::MakeCreatedKey(b.get());
    EXPECT_NE(keyA, keyB);
    EXPECT_EQ(TTexture::FindCached(keyA), a);
    a.reset();
    EXPECT_FALSE(mManager.HasEntry(keyA));
    EXPECT_EQ(TTexture::FindCached(keyB), b);

    TMemoryTextureData::SetCreateSurfaceFails(true);
    EXPECT_EQ(TTexture::Create(4, 4, false), nullptr);
    TRenderer::GetInstance()->BeginDraw(false);
    EXPECT_EQ(TTexture::Create(4, 4, false), nullptr);
}

TEST_F(TextureTest, TexturesWorkWithoutAnAssetManager) {
    SetAssetManager(nullptr);
    Put("a.png", SolidPng(2, 2, 0xFF000000u));
    std::shared_ptr<TTexture> file = TTexture::Get("a.png", 0);
    std::shared_ptr<TTexture> made = TTexture::Create(2, 2, false);
    EXPECT_NE(file, nullptr);
    EXPECT_NE(made, nullptr);
    EXPECT_NE(TTexture::Get("a.png", 0), file);  // nothing is cached
    made.reset();                                // and the destructor finds no manager
}

TEST_F(TextureTest, AssetIdentityAndDeviceLoss) {
    Put("a.png", SolidPng(4, 2, 0xFF112233u));
    std::shared_ptr<TTexture> texture = TTexture::Get("a.png", 0);
    ASSERT_NE(texture, nullptr);
    EXPECT_STREQ(texture->GetClassName(), "TTexture");
    EXPECT_TRUE(texture->IsKindOf(TTexture::TypeId()));
    EXPECT_TRUE(texture->IsKindOf(TAsset::TypeId()));
    EXPECT_EQ(texture->GetShared(), texture);
    TTexture unowned;
    EXPECT_EQ(unowned.GetShared(), nullptr);

    mManager.ReleaseAll();
    EXPECT_FALSE(Memory(texture)->HasSurface());
    mManager.RestoreAll();
    ASSERT_TRUE(Memory(texture)->HasSurface());
    EXPECT_EQ(Memory(texture)->GetPixel(3, 1), 0xFF112233u);

    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(texture->Lock(&pixels, &pitch));
    EXPECT_EQ(pitch, 4);
    EXPECT_EQ(pixels[0], 0xFF112233u);
    texture->Unlock();
    EXPECT_EQ(Memory(texture)->GetLockCount(), 1);
    EXPECT_EQ(Memory(texture)->GetUnlockCount(), 1);

    // A refused lock hands out nothing and is not counted.
    Memory(texture)->SetLockFails(true);
    pixels = nullptr;
    EXPECT_FALSE(texture->Lock(&pixels, &pitch));
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(Memory(texture)->GetLockCount(), 1);
    Memory(texture)->SetLockFails(false);
    EXPECT_TRUE(texture->Lock(&pixels, &pitch));
    texture->Unlock();
}

TEST_F(TextureTest, AllocatedSizeCountsTheBorders) {
    mSink.mSquareTextures = true;
    Put("a.png", SolidPng(100, 50, 0xFF000000u));
    std::shared_ptr<TTexture> texture = TTexture::Get("a.png", 0);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetData()->GetBorderX(), 14);
    EXPECT_EQ(texture->GetData()->GetBorderY(), 39);
    int width = 0;
    int height = 0;
    texture->GetAllocatedSize(&width, &height);
    EXPECT_EQ(width, 128);
    EXPECT_EQ(height, 128);
}

}  // namespace
