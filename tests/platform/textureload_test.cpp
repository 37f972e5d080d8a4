// TTextureData::Load through the getters, on in-memory texture data.
#include <gtest/gtest.h>

#include "support/printers.h"
#include "texturefixture.h"

namespace {

class TextureLoadTest : public TextureTest {
protected:
    void EnableAutomaticMasks() { TSettingsMap::GetInstance().Set("automergemask", "1"); }
};

// The PNG is tried first, then the JPEG, then the JPEG-2000; the stored name has the extension
// that loaded, and the option text after it.
TEST_F(TextureLoadTest, MissingExtensionIsTriedInOrder) {
    testing_support::Jp2Image jp2;
    jp2.width = 2;
    jp2.height = 2;
    jp2.colorSpace = 2;
    jp2.components.resize(1);
    jp2.components[0].samples = {1, 2, 3, 4};
    Put("both.png", SolidPng(2, 2, 0xFF000000u));
    Put("both.jpg", SolidJpeg(2, 2, 7));
    Put("photo.jpg", SolidJpeg(2, 2, 7));
    Put("deep.jp2", testing_support::WriteJp2(jp2));
    struct Case {
        const char* name;
        const char* stored;
    } cases[] = {
        {"both", "both.png"}, {"photo", "photo.jpg"}, {"photo?mipmap", "photo.jpg?mipmap"},
        {"deep", "deep.jp2"}, {"none", nullptr},
    };
    for (const Case& c : cases) {
        std::shared_ptr<TTexture> texture = TTexture::Get(c.name, 0);
        if (c.stored == nullptr) {
            EXPECT_EQ(texture, nullptr) << c.name;
            continue;
        }
        ASSERT_NE(texture, nullptr) << c.name;
        EXPECT_EQ(texture->GetData()->GetImageName(), str(c.stored)) << c.name;
    }

    // A name that already has an extension is not extended.
    Put("x.png.png", SolidPng(2, 2, 0xFF000000u));
    EXPECT_EQ(TTexture::Get("x.png", 0), nullptr);
}

TEST_F(TextureLoadTest, OptionsStayInTheNameAndSetFlags) {
    Put("a.png", SolidPng(4, 4, 0xFF336699u));
    struct Case {
        const char* name;
        uint8_t flags;
    } cases[] = {
        {"a.png?alpha", TTextureData::kHasAlpha},
        {"a.png?mipmap", TTextureData::kMipmaps},
        {"a.png?simple", TTextureData::kSimple},
        {"a.png?slow", TTextureData::kSimple | TTextureData::kLarge},
        {"a.png?alpha,mipmap", TTextureData::kHasAlpha | TTextureData::kMipmaps},
        {"a.png", 0},
    };
    for (const Case& c : cases) {
        std::shared_ptr<TTexture> texture = TTexture::Get(c.name, TTexture::kGetNoAlpha);
        ASSERT_NE(texture, nullptr) << c.name;
        EXPECT_EQ(Flags(texture), c.flags) << c.name;
        EXPECT_EQ(texture->GetData()->GetImageName(), str(c.name));
    }
    // "alpha" takes the choice from the image: an opaque image still has alpha.
    std::shared_ptr<TTexture> decided = TTexture::Get("a.png?alpha", 0);
    EXPECT_EQ(Flags(decided), TTextureData::kHasAlpha);
}

TEST_F(TextureLoadTest, ImageDecidesAlphaWhenAskedTo) {
    Put("opaque.png", SolidPng(2, 2, 0xFF000000u));
    Put("clear.png", SolidPng(2, 2, 0x10000000u, true));
    EXPECT_FALSE(TTexture::Get("opaque.png", 0)->HasAlpha());
    EXPECT_TRUE(TTexture::Get("clear.png", 0)->HasAlpha());
    EXPECT_FALSE(TTexture::Get("clear.png", TTexture::kGetNoAlpha)->HasAlpha());
    EXPECT_TRUE(TTexture::Get("opaque.png", TTexture::kGetAlpha)->HasAlpha());
}

TEST_F(TextureLoadTest, SurfaceSizeAndTheLargestSide) {
    Put("wide.png", SolidPng(64, 16, 0xFF000000u));
    mSink.mSquareTextures = true;
    std::shared_ptr<TTexture> square = TTexture::Get("wide.png", 0);
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(square->GetData()->GetSurfaceWidth(), 64u);
    EXPECT_EQ(square->GetData()->GetSurfaceHeight(), 64u);
    EXPECT_EQ(square->GetData()->GetBorderY(), 24);
    EXPECT_EQ(square->GetWidth(), 64);
    EXPECT_EQ(square->GetHeight(), 16);

    std::shared_ptr<TTexture> simple = TTexture::GetCursorTexture("wide.png");
    ASSERT_NE(simple, nullptr);
    EXPECT_EQ(simple->GetData()->GetSurfaceHeight(), 16u);
    EXPECT_EQ(simple->GetData()->GetBorderY(), 0);

    mSink.mSquareTextures = false;
    Put("odd.png", SolidPng(100, 60, 0xFF000000u));
    std::shared_ptr<TTexture> odd = TTexture::Get("odd.png", 0);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->GetData()->GetSurfaceWidth(), 128u);
    EXPECT_EQ(odd->GetData()->GetSurfaceHeight(), 64u);
    EXPECT_EQ(odd->GetData()->GetBorderX(), 14);
    EXPECT_EQ(odd->GetData()->GetBorderY(), 2);

    Put("big.png", SolidPng(1025, 2, 0xFF000000u));
    EXPECT_EQ(TTexture::Get("big.png", 0), nullptr);
    std::shared_ptr<TTexture> slow = TTexture::Get("big.png?slow", 0);
    ASSERT_NE(slow, nullptr);
    EXPECT_EQ(slow->GetData()->GetSurfaceWidth(), 2048u);
}

TEST_F(TextureLoadTest, FailedSurfaceStillLoads) {
    Put("a.png", SolidPng(8, 4, 0xFF000000u));
    TMemoryTextureData::SetCreateSurfaceFails(true);
    std::shared_ptr<TTexture> texture = TTexture::Get("a.png", 0);
    ASSERT_NE(texture, nullptr);
    EXPECT_FALSE(Memory(texture)->HasSurface());
    EXPECT_EQ(texture->GetWidth(), 8);
    EXPECT_EQ(texture->GetData()->GetImageName(), str("a.png"));

    // A restore once the device is back makes and fills it.
    TMemoryTextureData::SetCreateSurfaceFails(false);
    texture->Restore();
    EXPECT_TRUE(Memory(texture)->HasSurface());
}

TEST_F(TextureLoadTest, MaskNamesFallBackAndFail) {
    Put("img.png", SolidPng(8, 8, 0xFF000000u));
    Put("jpgmask.jpg", SolidJpeg(8, 8, 0x80));
    Put("pngmask.png", SolidPng(8, 8, 0xFF400000u));
    Put("badmask.png", "\x89PNG\r\n\x1A\n broken");
    Put("x.png.jpg", SolidJpeg(8, 8, 0x80));
    Put("deep.jp2", "not read");
    struct Case {
        const char* mask;
        const char* stored;  // null: the load fails
        uint8_t alpha;
    } cases[] = {
        {"jpgmask", "jpgmask.jpg", 0x80},
        {"pngmask", "pngmask.png", 0x40},
        {"x.png", nullptr, 0},   // a named mask that is missing fails at once
        {"nomask", nullptr, 0},  // neither fallback exists
        {"badmask.png", nullptr, 0},
        {"deep.jp2", "deep.jp2", 0xFF},  // never decoded, never merged
    };
    for (const Case& c : cases) {
        std::shared_ptr<TTexture> texture = TTexture::GetWithMask("img.png", c.mask, 0);
        if (c.stored == nullptr) {
            EXPECT_EQ(texture, nullptr) << c.mask;
            continue;
        }
        ASSERT_NE(texture, nullptr) << c.mask;
        EXPECT_EQ(texture->GetData()->GetMaskName(), str(c.stored)) << c.mask;
        EXPECT_NEAR(static_cast<int>(Memory(texture)->GetPixel(1, 1) >> 24), c.alpha, 2) << c.mask;
    }
}

TEST_F(TextureLoadTest, AutomaticMaskGivesAJpegItsAlpha) {
    Put("photo.jpg", SolidJpeg(8, 8, 200));
    Put("photo.mask.png", SolidPng(8, 8, 0xFF300000u));
    Put("other.jpg", SolidJpeg(8, 8, 200));
    Put("other.mask.png", SolidPng(16, 16, 0xFF300000u));

    std::shared_ptr<TTexture> plain = TTexture::Get("photo.jpg", 0);
    EXPECT_FALSE(plain->HasAlpha());
    EXPECT_EQ(Memory(plain)->GetPixel(0, 0) >> 24, 0xFFu);
    plain.reset();

    EnableAutomaticMasks();
    std::shared_ptr<TTexture> masked = TTexture::Get("photo.jpg", 0);
    ASSERT_NE(masked, nullptr);
    EXPECT_TRUE(masked->HasAlpha());
    EXPECT_EQ(masked->GetData()->GetMaskName(), str("photo.mask.png"));
    EXPECT_EQ(Memory(masked)->GetPixel(7, 7) >> 24, 0x30u);

    // A mask of another side is ignored and the load succeeds.
    std::shared_ptr<TTexture> other = TTexture::Get("other.jpg", 0);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(Memory(other)->GetPixel(0, 0) >> 24, 0xFFu);

    // "No alpha" stays without alpha, even with the mask (once the cached one is gone: the
    // choice is not part of the key).
    masked.reset();
    EXPECT_FALSE(TTexture::Get("photo.jpg", TTexture::kGetNoAlpha)->HasAlpha());
}

// An alpha channel the caller forced survives an automatic mask.
TEST_F(TextureLoadTest, ForcedAlphaSurvivesTheAutomaticMask) {
    Put("photo.jpg", SolidJpeg(8, 8, 200));
    Put("photo.mask.png", SolidPng(8, 8, 0xFF300000u));
    Put("own.png", SolidPng(8, 8, 0xFF500000u));
    EnableAutomaticMasks();

    std::shared_ptr<TTexture> forced = TTexture::Get("photo.jpg", TTexture::kGetAlpha);
    ASSERT_NE(forced, nullptr);
    EXPECT_TRUE(forced->HasAlpha());
    std::shared_ptr<TTexture> option = TTexture::Get("photo.jpg?alpha", TTexture::kGetMipmap);
    ASSERT_NE(option, nullptr);
    EXPECT_TRUE(option->HasAlpha());
    std::shared_ptr<TTexture> withMask = TTexture::GetWithMask("photo.jpg", "own.png", 0);
    ASSERT_NE(withMask, nullptr);
    EXPECT_TRUE(withMask->HasAlpha());
    EXPECT_EQ(withMask->GetData()->GetMaskName(), str("photo.mask.png"));
}

}  // namespace
