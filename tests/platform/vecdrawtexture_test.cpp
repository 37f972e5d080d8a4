// The glyph drawer's texture path: Begin's target, locking, and the three ways a span's pixels
// are written.
#include <gtest/gtest.h>

#include "vecdrawfixture.h"

namespace {

using testing_support::OutlineWriter;

class VecDrawTextureTest : public VecDrawTest {
protected:
    std::shared_ptr<TTexture> Target(int width, int height, uint32_t fill) {
        std::shared_ptr<TTexture> texture = TTexture::Create(width, height, true);
        uint32_t* pixels = nullptr;
        int pitch = 0;
        EXPECT_TRUE(texture->Lock(&pixels, &pitch));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                pixels[y * pitch + x] = fill;
        }
        texture->Unlock();
        return texture;
    }
    static uint32_t Pixel(const std::shared_ptr<TTexture>& texture, int x, int y) {
        return Memory(texture)->GetPixel(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
    }
    static TMemoryTextureData* Memory(const std::shared_ptr<TTexture>& texture) {
        return dynamic_cast<TMemoryTextureData*>(texture->GetData());
    }
    // A full-coverage rectangle of whole pixels drawn into the target.
    void Fill(const std::shared_ptr<TTexture>& target, double x0, double y0, double x1, double y1) {
        mDraw->SetScale(4.0f, 4.0f);
        ASSERT_TRUE(mDraw->Begin(0, 0, target));
        mDraw->DrawString(Outline(OutlineWriter().Rect(x0, y0, x1, y1).End()), 0, 0);
        mDraw->Flush();
    }
};

TEST_F(VecDrawTextureTest, TheThreeModesToTheByte) {
    // Span colour 0x80 alpha (coverage 16 takes the whole of it) over 0x40FF0010.
    struct Mode {
        const char* what;
        uint8_t blend, replace;
        uint32_t expected;
    } modes[] = {
        {"replace", 0, 1, 0x804080C0u},
        {"replace wins over blend", 1, 1, 0x804080C0u},
        // alpha 64 + 128; (255 x 64 + 64 x 128) / 192 = 127, (128 x 128) / 192 = 85,
        // (16 x 64 + 192 x 128) / 192 = 133
        {"blend", 1, 0, 0xC07F5585u},
        // (255 x 127 + 64 x 128) / 255 = 159, (128 x 128) / 255 = 64,
        // (16 x 127 + 192 x 128) / 255 = 104; the destination's alpha kept
        {"default", 0, 0, 0x409F4068u},
    };
    for (const Mode& mode : modes) {
        std::shared_ptr<TTexture> target = Target(4, 2, 0x40FF0010u);
        mDraw->SetShadeColors(1, 0x804080C0u, 1.0f);
        mDraw->SetBlend(mode.blend);
        mDraw->SetReplace(mode.replace);
        Fill(target, 1, 0, 3, 1);
        EXPECT_EQ(Pixel(target, 0, 0), 0x40FF0010u) << mode.what;
        EXPECT_EQ(Pixel(target, 1, 0), mode.expected) << mode.what;
        EXPECT_EQ(Pixel(target, 2, 0), mode.expected) << mode.what;
        EXPECT_EQ(Pixel(target, 3, 0), 0x40FF0010u) << mode.what;
        EXPECT_EQ(Pixel(target, 1, 1), 0x40FF0010u) << mode.what;
    }
    EXPECT_TRUE(mSink.mDraws.empty());
}

TEST_F(VecDrawTextureTest, BlendingNothingOntoATransparentPixelLeavesIt) {
    std::shared_ptr<TTexture> target = Target(4, 1, 0x00123456u);
    // Alpha 15: ramp entries of low coverage are 15 x 16 x c / 256 = 0.
    mDraw->SetShadeColors(1, 0x0FFFFFFFu, 1.0f);
    mDraw->SetBlend(1);
    mDraw->SetScale(4.0f, 4.0f);
    ASSERT_TRUE(mDraw->Begin(0, 0, target));
    // One sample: coverage 1, alpha 0.
    mDraw->DrawString(Outline(OutlineWriter().Rect(1, 0, 1.25, 0.25).End()), 0, 0);
    mDraw->Flush();
    EXPECT_EQ(Pixel(target, 1, 0), 0x00123456u);
    // Fully transparent colour at full coverage too.
    mDraw->SetShadeColors(1, 0x00FFFFFFu, 1.0f);
    Fill(target, 0, 0, 4, 1);
    EXPECT_EQ(Pixel(target, 2, 0), 0x00123456u);
}

TEST_F(VecDrawTextureTest, SpansAreCutToTheTexture) {
    std::shared_ptr<TTexture> target = Target(4, 3, 0);
    mDraw->SetReplace(1);
    mDraw->SetShadeColors(1, 0xFFABCDEFu, 1.0f);
    // Reaching past the right edge: the last column is written.
    Fill(target, 2, 0, 10, 1);
    EXPECT_EQ(Pixel(target, 1, 0), 0u);
    EXPECT_EQ(Pixel(target, 2, 0), 0xFFABCDEFu);
    EXPECT_EQ(Pixel(target, 3, 0), 0xFFABCDEFu);
    // Starting left of it, and rows above and below it.
    Fill(target, -5, -3, 1, 5);
    EXPECT_EQ(Pixel(target, 0, 1), 0xFFABCDEFu);
    EXPECT_EQ(Pixel(target, 0, 2), 0xFFABCDEFu);
    EXPECT_EQ(Pixel(target, 1, 1), 0u);
    // Nowhere near it.
    Fill(target, -100, -100, -50, -50);
    Fill(target, 1000, 1000, 1050, 1050);
}

TEST_F(VecDrawTextureTest, BeginLocksAndLetsGoOfTargets) {
    OpenFrame();
    std::shared_ptr<TTexture> first = Target(8, 8, 0);
    std::shared_ptr<TTexture> second = Target(8, 8, 0);
    const int firstLocks = Memory(first)->GetLockCount();
    mDraw->SetScale(4.0f, 4.0f);
    const TGlyphOutline square = Outline(OutlineWriter().Rect(0, 0, 2, 2).End());

    ASSERT_TRUE(mDraw->Begin(0, 0, first));
    mDraw->DrawString(square, 0, 0);
    // The same target again keeps its lock.
    ASSERT_TRUE(mDraw->Begin(3, 3, first));
    mDraw->DrawString(square, 0, 0);
    EXPECT_EQ(Memory(first)->GetLockCount(), firstLocks + 1);
    EXPECT_EQ(Pixel(first, 1, 1), 0u);  // still batched
    // Another target: the first is drawn and unlocked, the second locked.
    ASSERT_TRUE(mDraw->Begin(0, 0, second));
    EXPECT_NE(Pixel(first, 1, 1), 0u);
    EXPECT_NE(Pixel(first, 4, 4), 0u);
    EXPECT_EQ(Memory(first)->GetUnlockCount(), Memory(first)->GetLockCount());
    EXPECT_EQ(Memory(second)->GetLockCount(), Memory(second)->GetUnlockCount() + 1);
    // No target: back to the screen, the renderer's texture unbound.
    mSink.mBoundTextures.clear();
    ASSERT_TRUE(mDraw->Begin(0, 0));
    EXPECT_EQ(Memory(second)->GetLockCount(), Memory(second)->GetUnlockCount());
    ASSERT_FALSE(mSink.mBoundTextures.empty());
    EXPECT_EQ(mSink.mBoundTextures.back(), nullptr);
    mDraw->DrawString(square, 0, 0);
    EXPECT_FALSE(Drawn().empty());

    // A target that cannot be locked: refused, and nothing is drawn until the next Begin.
    Memory(second)->SetLockFails(true);
    EXPECT_FALSE(mDraw->Begin(0, 0, second));
    mDraw->DrawString(square, 0, 0);
    mDraw->Flush();
    EXPECT_TRUE(Drawn().empty());
    EXPECT_TRUE(mDraw->Begin(0, 0));
    mDraw->DrawString(square, 0, 0);
    EXPECT_FALSE(Drawn().empty());

    // The drawer lets go of its target when it goes.
    ASSERT_TRUE(mDraw->Begin(0, 0, first));
    std::weak_ptr<TTexture> watch = first;
    first.reset();
    EXPECT_FALSE(watch.expired());
    mDraw.reset();
    EXPECT_TRUE(watch.expired());
}

}  // namespace
