// TTexture::Draw, DrawAt and CopyRectTo, read back through the recording renderer sink.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/draw/drawspec.h"
#include "texturefixture.h"

namespace {

class TextureDrawTest : public TextureTest {
protected:
    void SetUp() override {
        TextureTest::SetUp();
        Put("a.png", SolidPng(100, 60, 0xFF204060u));
        mTexture = TTexture::Get("a.png", 0);
        ASSERT_NE(mTexture, nullptr);
    }
    void TearDown() override {
        mTexture.reset();
        TextureTest::TearDown();
    }
    void Begin2d() {
        ASSERT_TRUE(TRenderer::GetInstance()->BeginDraw(false));
        ASSERT_TRUE(TRenderer::GetInstance()->Begin2d());
    }
    // The corners of the one draw as (x, y) pairs.
    std::vector<std::pair<float, float>> DrawnCorners() const {
        std::vector<std::pair<float, float>> corners;
        if (mSink.mDraws.size() != 1) return corners;
        for (const TLVertex& vertex : mSink.mDraws[0].vertices)
            corners.emplace_back(vertex.x, vertex.y);
        return corners;
    }

    std::shared_ptr<TTexture> mTexture;
};

using CornerList = std::vector<std::pair<float, float>>;

TEST_F(TextureDrawTest, QuadIsCentredOnTheTransformOrigin) {
    Begin2d();
    TDrawSpec spec;
    spec.mFlags = TDrawSpec::kUseSourceRect;
    spec.mSourceRect = TRect{0, 0, 32, 16};
    mTexture->Draw(spec);
    ASSERT_EQ(mSink.mDraws.size(), 1u);
    const TRecordingRenderSink::Draw& draw = mSink.mDraws[0];
    EXPECT_EQ(draw.primitive, TRenderer::kTriangleFan);
    EXPECT_EQ(draw.kind, TVertexBatch::kLitVertexList);
    EXPECT_EQ(draw.texture, mTexture.get());
    EXPECT_EQ(DrawnCorners(), (CornerList{{-16, -8}, {16, -8}, {16, 8}, {-16, 8}}));
    EXPECT_TRUE(mSink.mBlendModes.empty());  // -1 keeps the current mode

    // 32 / 128 across, 16 / 64 down.
    EXPECT_EQ(draw.vertices[0].u, 0.0f);
    EXPECT_EQ(draw.vertices[2].u, 0.25f);
    EXPECT_EQ(draw.vertices[2].v, 0.25f);
    EXPECT_EQ(draw.vertices[0].diffuse, 0xFFFFFFFFu);
}

TEST_F(TextureDrawTest, WholeImageCoordinatesOverTheSurface) {
    Begin2d();
    TDrawSpec spec;
    spec.mBlendMode = 3;
    spec.mOpacity = 0.5f;
    mTexture->Draw(spec);
    ASSERT_EQ(mSink.mDraws.size(), 1u);
    const std::vector<TLVertex>& v = mSink.mDraws[0].vertices;
    EXPECT_EQ(DrawnCorners(), (CornerList{{-50, -30}, {50, -30}, {50, 30}, {-50, 30}}));
    EXPECT_EQ(v[1].u, 100.0f / 128.0f);
    EXPECT_EQ(v[1].v, 0.0f);
    EXPECT_EQ(v[3].u, 0.0f);
    EXPECT_EQ(v[3].v, 60.0f / 64.0f);
    EXPECT_EQ(v[0].diffuse, 0x7FFFFFFFu);
    EXPECT_EQ(mSink.mBlendModes, std::vector<int32_t>{3});
}

TEST_F(TextureDrawTest, FlipsAndOffset) {
    Begin2d();
    struct Case {
        uint32_t flags;
        CornerList corners;
    } cases[] = {
        {TDrawSpec::kFlipHorizontal, {{2, 0}, {0, 0}, {0, 4}, {2, 4}}},
        {TDrawSpec::kFlipVertical, {{0, 4}, {2, 4}, {2, 0}, {0, 0}}},
        {TDrawSpec::kFlipHorizontal | TDrawSpec::kFlipVertical, {{2, 4}, {0, 4}, {0, 0}, {2, 0}}},
    };
    for (const Case& c : cases) {
        mSink.mDraws.clear();
        TDrawSpec spec;
        spec.mFlags = c.flags | TDrawSpec::kUseSourceRect | TDrawSpec::kUseOffset;
        spec.mSourceRect = TRect{10, 10, 12, 14};
        spec.mOffset = TVec2(-0.0f, -0.0f);
        mTexture->Draw(spec);
        EXPECT_EQ(DrawnCorners(), c.corners) << c.flags;
    }

    // The offset is the registration point: the quad starts at minus the offset.
    mSink.mDraws.clear();
    TDrawSpec spec;
    spec.mFlags = TDrawSpec::kUseSourceRect | TDrawSpec::kUseOffset;
    spec.mSourceRect = TRect{0, 0, 10, 10};
    spec.mOffset = TVec2(3, 4);
    mTexture->Draw(spec);
    EXPECT_EQ(DrawnCorners(), (CornerList{{-3, -4}, {7, -4}, {7, 6}, {-3, 6}}));
}

TEST_F(TextureDrawTest, DrawAtPlacesScalesAndRotates) {
    Begin2d();
    mTexture->DrawAt(200, 100, 1.0f, 2.0f, static_cast<float>(M_PI / 2), 0);
    CornerList corners = DrawnCorners();
    ASSERT_EQ(corners.size(), 4u);
    // The first corner (-50, -30), scaled to (-100, -60), turned a quarter to (60, -100).
    EXPECT_NEAR(corners[0].first, 260.0f, 1e-3f);
    EXPECT_NEAR(corners[0].second, 0.0f, 1e-3f);
}

TEST_F(TextureDrawTest, NothingIsDrawnOutsideTwoDOrForASimpleTexture) {
    TDrawSpec spec;
    mTexture->Draw(spec);
    mTexture->DrawAt(0, 0, 1, 1, 0, 0);
    TRenderer::GetInstance()->BeginDraw(false);
    mTexture->Draw(spec);
    EXPECT_TRUE(mSink.mDraws.empty());

    ASSERT_TRUE(TRenderer::GetInstance()->Begin2d());
    std::shared_ptr<TTexture> simple = TTexture::GetCursorTexture("a.png");
    ASSERT_NE(simple, nullptr);
    simple->Draw(spec);
    EXPECT_TRUE(mSink.mDraws.empty());
}

TEST_F(TextureDrawTest, CopyRectIsClippedToTheImage) {
    std::shared_ptr<TTexture> target = TTexture::Create(128, 64, false);
    ASSERT_NE(target, nullptr);
    const TMemoryTextureData* data = Memory(mTexture);

    TRect everything{-5, -5, 10000, 10000};
    mTexture->CopyRectTo(0, 0, &everything, target);
    ASSERT_EQ(data->GetCopies().size(), 1u);
    EXPECT_EQ(data->GetCopies()[0].source, (TRect{0, 0, 100, 60}));
    EXPECT_EQ(data->GetCopies()[0].target, target.get());
    EXPECT_EQ(Memory(target)->GetPixel(99, 59), 0xFF204060u);
    EXPECT_EQ(Memory(target)->GetPixel(100, 59), 0u);

    TRect leftOf{-50, 0, -10, 10};
    TRect above{0, -40, 10, -1};
    mTexture->CopyRectTo(0, 0, &leftOf, target);
    mTexture->CopyRectTo(0, 0, &above, target);
    EXPECT_EQ(data->GetCopies().size(), 1u);

    mTexture->CopyRectTo(5, 6, nullptr, nullptr);
    ASSERT_EQ(data->GetCopies().size(), 2u);
    EXPECT_TRUE(data->GetCopies()[1].wholeImage);

    TRenderer::GetInstance()->BeginDraw(false);
    mTexture->CopyRectTo(0, 0, nullptr, target);
    EXPECT_EQ(data->GetCopies().size(), 2u);
}

}  // namespace
